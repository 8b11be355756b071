#pragma once
// Where the line trace and the monitored values leave the program: the
// Monitor menu's CSV logging and batch mode's --trace.

#include <QString>

namespace Logging {

// "Log to CSV…" in the Monitor menu: asks for a file and logs every
// monitoring pass to it; chosen again while logging, stops.
void LogToCsv();
bool CsvOn();

// Batch mode: writes every exchange's trace line to the file ("-": standard
// error) as it happens.
bool TraceTo(const QString &file, QString *error);

}  // namespace Logging
