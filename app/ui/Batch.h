#pragma once
// Batch mode: the menu handlers in order, without a window.

#include <QList>
#include <QStringList>

class frmMain;

struct BatchCommand {
    const char *name;
    const char *args;  // "FILE", "SECONDS [FILE]": [] marks an optional one
    const char *help;
    void (*run)(frmMain &main, const QStringList &args);
};

// Every batch command: parsing and the help text both read this table.
const QList<BatchCommand> &BatchCommands();

int RunBatch(int argc, char *argv[]);
