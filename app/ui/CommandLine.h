#pragma once
// The program's command line: one table of options, the batch commands'
// table (Batch.h), and the one help text made from both.

#include <QString>
#include <QStringList>

#include <optional>

namespace CommandLine {

// Where an option applies.
enum Mode { Window = 1, Batch = 2, Any = Window | Batch, Find = 4, Diff = 8 };

struct Option {
    const char *name;  // "--simulate"
    const char *arg;   // the value's name ("MODEL"), or "" for a switch
    int modes;
    const char *help;
};

const Option *findOption(const QString &name);

QString helpText();
QString versionText();  // "kavix 1.5"

// Prints "kavix: PROBLEM" and the help on standard error; returns status 2.
int usageError(const QString &problem);

// Reads the window's command line. Returns the exit status when the program
// should end now (help, version, a mistake), nothing to start the window.
// With `leaveOthers`, single-dash words and the word after one are left
// alone: Qt's own options (-platform xcb, -style fusion) are not taken out yet.
std::optional<int> parseWindow(const QStringList &args, bool leaveOthers, QString *simulate);

}  // namespace CommandLine
