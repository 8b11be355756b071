#pragma once
// What the program keeps between runs: a few choices of the user (the
// last port, the window's place, the folder of the last file). One
// settings file under the user's configuration folder; tests and batch
// runs write theirs to a test location (QStandardPaths test mode).

#include <QSettings>

QSettings &Settings();
