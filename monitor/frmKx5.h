#pragma once
// Monitor of the 16-channel universal analog input module (model kind 1).

#include "monitor/AnalogMonitor.h"

class frmKx5 : public AnalogMonitor {
    Q_OBJECT
public:
    frmKx5();
    ~frmKx5() override;

    // Makes this the visible data window and sets the menus for its kind.
    void Kx5() { display(); }
};
