#include "config/frmModSet.h"

frmModSet::frmModSet()
    : ModbusWindow({"frmModSet", false, false, false, false, &AppState::ModbusSet})
{
}
