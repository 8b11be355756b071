#pragma once
// The commands of batch mode, one table. Each command names its arguments,
// checks them before anything is sent (a bad one is a usage error), and
// runs the windows' own handlers: a menu handler, or an editor window
// filled and driven by script (EditorDialog::script) instead of the user.

#include <QString>
#include <QStringList>

#include <functional>

struct BatchCommand {
    QString name;
    int minArgs = 0;
    int maxArgs = 0;
    QString args;  // the arguments as the usage text shows them
    QString help;  // one line
    // Returns why the arguments cannot be taken (usage error), or "".
    std::function<QString(const QStringList &args)> check;
    std::function<void(const QStringList &args)> run;
};

// Every command, in the order of the usage text.
QList<BatchCommand> &BatchCommands();
void AddBatchCommand(const BatchCommand &c);
const BatchCommand *FindBatchCommand(const QString &name);

// Each group of windows adds its commands here; Batch calls them once.
void AddFileAndTransferCommands();
void AddAnalogEditorCommands();
void AddCountingCommands();
void AddAdjustmentCommands();

// Helpers for the checks: "" when fine, else the problem.
QString NeedChannel(const QString &text, int last);
QString NeedOneOf(const QString &text, const QStringList &choices, const QString &what);
