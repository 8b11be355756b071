#pragma once
// Monitor of the 32-contact discrete output module (model kind 3), and the
// sender of a contact switch request.

#include "monitor/ContactMonitor.h"

class frmB6 : public ContactMonitor {
    Q_OBJECT
public:
    frmB6();
    ~frmB6() override;

    // Makes this the visible data window and sets the menus for its kind.
    void B6();
    // Requests switching contact i; the monitoring cycle sends it.
    void cmdOut_Click(int i);
    // Sends the switch request held in DoRequest (called by the cycle).
    void DiscreteDown();
};
