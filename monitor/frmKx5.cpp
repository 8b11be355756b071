#include "monitor/frmKx5.h"

frmKx5::frmKx5()
    : AnalogMonitor({"frmKx5", 1, 16, "KX5", true, false, MenuColumn::Kx5})
{
}

frmKx5::~frmKx5() = default;
