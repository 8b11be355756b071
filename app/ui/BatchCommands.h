#pragma once
// The commands of batch mode, one table. Each command names its arguments,
// checks them before anything is sent (a bad one is a usage error), and
// runs the windows' own handlers: a menu handler, or an editor window
// filled and driven by script (EditorDialog::script) instead of the user.

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

struct BatchCommand {
    QString name;
    int minArgs = 0;  // the first minArgs words after the name are its arguments
    int maxArgs = 0;  // more, up to maxArgs, unless a word is a command or option
    QString args;     // the arguments as the help shows them: "SECONDS [FILE]"
    QString help;     // one line
    // Returns why the arguments cannot be taken (usage error), or "".
    std::function<QString(const QStringList &args)> check;
    std::function<void(const QStringList &args)> run;
    // Talks to the module: the run needs --port. The others work on the
    // configuration in hand (a file prepared without a module).
    bool needsPort = true;
    // Optional words the command takes although they name a command too.
    QStringList words = {};
};

// Every command, in the order of the help text.
const QList<BatchCommand> &BatchCommands();
const BatchCommand *FindBatchCommand(const QString &name);

// Each group of windows adds its commands, once, when the table is first used.
void AddBatchCommand(const BatchCommand &c);
void AddFileAndTransferCommands();
void AddCompareCommands();
void AddReportCommands();
void AddAnalogEditorCommands();
void AddCountingCommands();
void AddAdjustmentCommands();

// The model names the Model menu takes (analog kinds), and the menu item
// (1..3) for one of them; 0 for any other name.
QStringList ModelMenuNames();
int ModelMenuItem(const QString &name);

// Helpers for the checks: "" when fine, else the problem.
QString NeedChannel(const QString &text, int last);
QString NeedOneOf(const QString &text, const QStringList &choices, const QString &what);
// Words "KEY=VALUE" with keys from `keys`, each at most once, into values.
QString NeedKeyValues(const QStringList &args, const QStringList &keys,
                      QHash<QString, QString> *values);
