#pragma once
// Monitor of the 8-channel RTD and resistance input module (model kind 2).

#include "monitor/AnalogMonitor.h"

class frmL5 : public AnalogMonitor {
    Q_OBJECT
public:
    frmL5();
    ~frmL5() override;

    // Makes this the visible data window and sets the menus for its kind.
    void L5() { display(); }
};
