#pragma once
// The program's own pictures, drawn in code so nothing needs shipping.

#include <QIcon>

namespace Icons {
QIcon program();
QIcon module();
QIcon toolbar(const QString &key);
QIcon question();
}  // namespace Icons
