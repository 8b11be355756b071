#pragma once
// Modbus settings of the model kinds 1 to 5: the node address shown only.

#include "config/ModbusWindow.h"

class frmModSet : public ModbusWindow {
    Q_OBJECT
public:
    frmModSet();
};
