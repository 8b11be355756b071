#pragma once
// Writing to a file so that a failure is never missed: a disk that fills up
// in the middle of a write takes part of it and refuses the rest, and Qt
// then reports "Unknown error". The system's own reason is what the user
// needs ("No space left on device", "File too large").

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writes every byte and flushes them to the system. False with the system's
// reason when the bytes did not all get there.
bool WriteFully(QFileDevice &file, const QByteArray &bytes, QString *why);
