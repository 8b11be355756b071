#include "monitor/frmKx7.h"

frmKx7::frmKx7()
    : AnalogMonitor({"frmKx7", 6, 8, "KX7", true, true, MenuColumn::Kx7})
{
}

frmKx7::~frmKx7() = default;
