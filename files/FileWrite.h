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

// The file's name without its folder (the path when it has none).
QString FileLabel(const QString &path);
// Why the path (through links) is nothing a file may be read from or saved
// over, or "" for a regular file or a new name.
QString NotAFile(const QString &path);
// Why a save that could not create its temporary file failed, naming the
// culprit: the file, or the folder it is replaced in.
QString WhyNotSaved(const QString &path, const QString &platformError);
// Writes bytes through a temporary file renamed over the target: all of
// them or, with "NAME: why" in error, nothing (an existing file stays whole).
// Only a regular file (or a new name) is replaced.
bool SaveWhole(const QString &path, const QByteArray &bytes, QString *error);
