#include "app/ui/CommandLine.h"

#include "app/ui/BatchCommands.h"
#include "sim/SimModule.h"

#include <cstdio>

namespace CommandLine {

namespace {

// Every option of the program: adding one is one line here (and its effect).
const Option kOptions[] = {
    {"--help", "", Any, "show this help and exit"},
    {"--version", "", Any, "show the version and exit"},
    {"--simulate", "MODEL", Window, "start with a simulated MODEL preselected in the port dialog"},
    {"--find", "[PORT]...", Find,
     "try every serial port (or the PORTs given, socket:// and rfc2217:// URLs too); print PORT "
     "MODEL where a module answers"},
    {"--diff", "A B", Diff,
     "compare two configuration files; one line per difference, status 0 same, 1 different, 2 trouble"},
    {"--batch", "", Batch, "run the COMMANDs in order without a window"},
    {"--port", "PORT", Batch,
     "COM1, COM2, a device path such as /dev/ttyUSB0, socket://HOST:PORT (raw TCP to a serial "
     "device server), rfc2217://HOST:PORT (RFC 2217), or sim:MODEL (for the commands that talk "
     "to a module)"},
    {"--yes", "", Batch,
     "confirm every download and calibration write (without it they are refused)"},
    {"--trace", "FILE", Batch, "write every exchange to FILE as it happens (- for standard error)"},
};

QString entry(const QString &name, const QString &arg)
{
    return arg.isEmpty() ? name : QString("%1 %2").arg(name, arg);
}

}  // namespace

const Option *findOption(const QString &name)
{
    for (const Option &o : kOptions)
        if (name == o.name)
            return &o;
    return nullptr;
}

QString helpText()
{
    // An entry too long for the column gets a line of its own.
    constexpr int kMaxWidth = 32;
    int width = 0;
    const auto fit = [&](const QString &e) {
        if (e.size() <= kMaxWidth)
            width = qMax(width, int(e.size()));
    };
    for (const Option &o : kOptions)
        fit(entry(o.name, o.arg));
    for (const BatchCommand &c : BatchCommands())
        fit(entry(c.name, c.args));
    auto row = [width](const QString &name, const QString &arg, const QString &help) {
        const QString e = entry(name, arg);
        if (e.size() > width)
            return QString("  %1\n  %2  %3\n").arg(e, QString(width, ' '), help);
        return QString("  %1  %2\n").arg(e.leftJustified(width), help);
    };
    auto options = [&](int modes) {
        QString rows;
        for (const Option &o : kOptions)
            if (o.modes == modes)
                rows += row(o.name, o.arg, o.help);
        return rows;
    };
    QString commands;
    for (const BatchCommand &c : BatchCommands())
        commands += row(c.name, c.args, c.help);

    return "usage: kavix [OPTION]...\n"
           "usage: kavix --find [PORT]...\n"
           "usage: kavix --diff A B\n"
           "usage: kavix --batch --port PORT [OPTION]... COMMAND...\n"
           "Configures and watches one remote I/O module over a serial line.\n"
           "\nOptions:\n" +
           options(Any) + "\nWindow:\n" + options(Window) + "\nFinding a module:\n" +
           options(Find) + "\nComparing two files:\n" + options(Diff) + "\nBatch mode:\n" + options(Batch) +
           "\nBatch commands, run in order with the menus' own handlers:\n" + commands +
           "\nMODEL is one of " + sim::ModuleCore::models().join(", ") +
           ".\n"
           "\nIn batch mode every message goes to standard error as one line TITLE: TEXT.\n"
           "Exit status: 0 when every command did its work; 1 when one did not (the run\n"
           "ends there; the message says why); 2 for a bad command line (nothing sent);\n"
           "130 or 143 when SIGINT or SIGTERM stopped the run after the exchange in progress.\n"
           "\nA difference is one line: [ch N ]SETTING: SIDE VALUE, SIDE VALUE, the sides\n"
           "being file or configuration and module (verify), first and second (--diff).\n";
}

QString versionText()
{
    return QString("kavix %1\n").arg(KAVIX_VERSION);
}

int usageError(const QString &problem)
{
    std::fprintf(stderr, "kavix: %s\n%s", qPrintable(problem), qPrintable(helpText()));
    return 2;
}

std::optional<int> parseWindow(const QStringList &args, bool leaveOthers, QString *simulate)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const Option *o = findOption(a);
        if (!o) {
            // Qt's options have one dash; a plain word after one may be its value.
            const bool qtOption = a.startsWith('-') && !a.startsWith("--");
            const bool qtValue = !a.startsWith('-') && i > 0 && args[i - 1].startsWith('-') &&
                                 !args[i - 1].startsWith("--");
            if (leaveOthers && (qtOption || qtValue))
                continue;
            return usageError(
                QString("unknown %1 \"%2\"").arg(a.startsWith('-') ? "option" : "argument", a));
        }
        if (!(o->modes & Window))
            return usageError(a + " works with --batch only");
        if (*o->arg && i + 1 >= args.size())
            return usageError(QString("%1 needs %2").arg(a, o->arg));
        const QString value = *o->arg ? args[++i] : QString();
        if (a == "--help") {
            std::fputs(qPrintable(helpText()), stdout);
            return 0;
        }
        if (a == "--version") {
            std::fputs(qPrintable(versionText()), stdout);
            return 0;
        }
        if (a == "--simulate") {
            if (!sim::ModuleCore::models().contains(value))
                return usageError("unknown model \"" + value + "\"");
            *simulate = value;
        }
    }
    return std::nullopt;
}

}  // namespace CommandLine
