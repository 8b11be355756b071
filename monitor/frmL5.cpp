#include "monitor/frmL5.h"

frmL5::frmL5()
    : AnalogMonitor({"frmL5", 2, 8, "L5", false, false, MenuColumn::L5})
{
}

frmL5::~frmL5() = default;
