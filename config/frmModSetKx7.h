#pragma once
// Modbus settings of model kind 6: 57600 baud, and a node address that the
// module's option bit lets the user change.

#include "config/ModbusWindow.h"

class frmModSetKx7 : public ModbusWindow {
    Q_OBJECT
public:
    frmModSetKx7();
};
