#include "config/frmModSetKx7.h"

frmModSetKx7::frmModSetKx7()
    : ModbusWindow({"frmModSetKx7", true, true, true, true, &AppState::ModbusSetKx7})
{
}
