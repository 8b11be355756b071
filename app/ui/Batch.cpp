#include "app/ui/Batch.h"

#include "app/Messages.h"
#include "app/ui/CommandLine.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

// The name the next file dialog is answered with.
QString fileAnswer;

QString oneLine(QString text)
{
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    return text.simplified();
}

const BatchCommand *findCommand(const QString &name)
{
    for (const BatchCommand &c : BatchCommands())
        if (name == c.name)
            return &c;
    return nullptr;
}

struct Step {
    const BatchCommand *command;
    QStringList args;
};

}  // namespace

const QList<BatchCommand> &BatchCommands()
{
    // Adding a command is one line here.
    static const QList<BatchCommand> commands = {
        {"connect", "", "connect to the module on PORT and identify it",
         [](frmMain &m, const QStringList &) { m.mnuConnConn_Click(); }},
        {"upload", "", "read the module's whole configuration",
         [](frmMain &m, const QStringList &) { m.mnuConfigUpload_Click(); }},
        {"download", "", "write the configuration to the module (needs --yes)",
         [](frmMain &m, const QStringList &) { m.mnuConfigDownload_Click(); }},
        {"open", "FILE", "read a configuration file",
         [](frmMain &m, const QStringList &a) {
             fileAnswer = a.value(0);
             m.mnuFileOpen_Click();
         }},
        {"save", "", "save the configuration to the file it came from",
         [](frmMain &m, const QStringList &) { m.mnuFileSave_Click(); }},
        {"saveas", "FILE", "save the configuration to FILE",
         [](frmMain &m, const QStringList &a) {
             fileAnswer = a.value(0);
             m.mnuFileSaveAs_Click();
         }},
        {"disconnect", "", "disconnect from the module",
         [](frmMain &m, const QStringList &) { m.mnuConnDisConn_Click(); }},
    };
    return commands;
}

int RunBatch(int argc, char *argv[])
{
    // No window is shown; run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString port;
    bool yes = false;
    QList<Step> steps;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (const CommandLine::Option *o = CommandLine::findOption(a)) {
            if (!(o->modes & CommandLine::Batch))
                return CommandLine::usageError(a + " does not work with --batch");
            if (*o->arg && i + 1 >= args.size())
                return CommandLine::usageError(QString("%1 needs %2").arg(a, o->arg));
            const QString value = *o->arg ? args[++i] : QString();
            if (a == "--help") {
                std::fputs(qPrintable(CommandLine::helpText()), stdout);
                return 0;
            } else if (a == "--version") {
                std::fputs(qPrintable(CommandLine::versionText()), stdout);
                return 0;
            } else if (a == "--yes") {
                yes = true;
            } else if (a == "--port") {
                port = value;
            }
        } else if (const BatchCommand *c = findCommand(a)) {
            // Required arguments are the next words whatever they are; an
            // optional one is the next word unless that is a command or option.
            Step step{c, {}};
            for (const QString &arg : QString(c->args).split(' ', Qt::SkipEmptyParts)) {
                const bool optional = arg.startsWith('[');
                const bool more = i + 1 < args.size();
                if (optional &&
                    (!more || findCommand(args[i + 1]) || CommandLine::findOption(args[i + 1])))
                    break;
                if (!more)
                    return CommandLine::usageError(QString("%1 needs %2").arg(a, arg));
                step.args << args[++i];
            }
            steps.append(step);
        } else {
            return CommandLine::usageError("unknown argument \"" + a + "\"");
        }
    }
    if (port.isEmpty())
        return CommandLine::usageError("--port is required");
    if (steps.isEmpty())
        return CommandLine::usageError("no command given");

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
    dlgFile().ask = [](FileDialog::Mode, const QString &, const QString &) { return fileAnswer; };

    // The main window makes the program's folder the current one; a batch
    // run's relative file names are the shell's, so take its folder back.
    const QString shellFolder = QDir::currentPath();
    frmMain *main = MainForm();
    QDir::setCurrent(shellFolder);
    for (const Step &step : steps) {
        fileAnswer.clear();
        step.command->run(*main, step.args);
        if (failed)
            break;
    }
    main->mnuFileExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return failed ? 1 : 0;
}
