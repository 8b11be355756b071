#include "app/ui/Batch.h"

#include "app/Messages.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

void addCommands()
{
    if (!BatchCommands().isEmpty())
        return;
    AddFileAndTransferCommands();
    AddAnalogEditorCommands();
    AddCountingCommands();
    AddAdjustmentCommands();
}

QString usageText()
{
    QString text =
        "usage: kavix --batch --port PORT [--yes] COMMAND...\n"
        "  PORT     COM1, COM2, a device path such as /dev/ttyUSB0, or sim:MODEL\n"
        "  --yes    confirm every download (without it a download is refused)\n"
        "Commands, run in order:\n";
    for (const BatchCommand &c : BatchCommands())
        text += QString("  %1 %2\n      %3\n").arg(c.name, c.args, c.help);
    text += "Every message goes to standard error as one line TITLE: TEXT; the first\n"
            "error or warning ends the run with status 1.\n";
    return text;
}

struct Command {
    const BatchCommand *command;
    QStringList args;
};

int usage(const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "kavix: %s\n", qPrintable(problem));
    std::fputs(qPrintable(usageText()), stderr);
    return 2;
}

QString oneLine(QString text)
{
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    return text.simplified();
}

}  // namespace

int RunBatch(int argc, char *argv[])
{
    // No window is shown; run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    addCommands();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString port;
    bool yes = false;
    QList<Command> commands;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == "--batch") {
            continue;
        } else if (a == "--yes") {
            yes = true;
        } else if (a == "--port") {
            if (i + 1 >= args.size())
                return usage("--port needs a port");
            port = args[++i];
        } else if (const BatchCommand *c = FindBatchCommand(a)) {
            // a command takes the words after it, up to the next command
            Command cmd{c, {}};
            while (i + 1 < args.size() && cmd.args.size() < c->maxArgs &&
                   !(cmd.args.size() >= c->minArgs && FindBatchCommand(args[i + 1])))
                cmd.args << args[++i];
            if (cmd.args.size() < c->minArgs)
                return usage(QString("%1 needs %2").arg(a, c->args));
            if (c->check)
                if (const QString problem = c->check(cmd.args); !problem.isEmpty())
                    return usage(a + ": " + problem);
            commands.append(cmd);
        } else {
            return usage("unknown argument \"" + a + "\"");
        }
    }
    if (port.isEmpty())
        return usage("--port is required");
    if (commands.isEmpty())
        return usage("no command given");

    // Standard error carries the program's messages only.
    if (qEnvironmentVariableIsEmpty("KAVIX_DEBUG"))
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
            if (type == QtFatalMsg)
                std::fprintf(stderr, "kavix: %s\n", qPrintable(msg));
        });
    QApplication app(argc, argv);
    bool failed = false;
    Hooks().msgBox = [&failed](const QString &text, const QString &title, MsgIcon icon) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(oneLine(title)), qPrintable(oneLine(text)));
        std::fflush(stderr);
        if (icon == MsgIcon::Critical || icon == MsgIcon::Exclamation)
            failed = true;
    };
    Hooks().commPort = [port] {
        QString error;
        if (!frmCommPort::choosePort(port, &error))
            MsgBox(error, "Communication", MsgIcon::Exclamation);
    };
    frmDialog::answer = [yes, &failed](const QString &message) -> std::optional<bool> {
        if (!yes) {
            std::fprintf(stderr, "DOWNLOAD: %s Refused: confirm downloads with --yes.\n",
                         qPrintable(message));
            failed = true;
        }
        return yes;
    };
    frmMain *main = MainForm();
    for (const Command &c : commands) {
        c.command->run(c.args);
        if (failed)
            break;
    }
    main->mnuFileExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return failed ? 1 : 0;
}
