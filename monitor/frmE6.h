#pragma once
// Monitor of the 32-contact discrete input module (model kind 4).

#include "monitor/ContactMonitor.h"

class QPushButton;

class frmE6 : public ContactMonitor {
    Q_OBJECT
public:
    frmE6();
    ~frmE6() override;

    // Makes this the visible data window and sets the menus for its kind.
    void E6();
    // Opens the count preset window.
    void cmdCntPre_Click();

    QPushButton *cmdCntPre = nullptr;
};
