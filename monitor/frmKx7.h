#pragma once
// Monitor of the 8-channel universal input module with alarm output (model kind 6).

#include "monitor/AnalogMonitor.h"

class frmKx7 : public AnalogMonitor {
    Q_OBJECT
public:
    frmKx7();
    ~frmKx7() override;

    // Makes this the visible data window and sets the menus for its kind.
    void Kx7() { display(); }
};
