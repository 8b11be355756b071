#include "app/ui/Batch.h"

#include "app/Init.h"
#include "app/Messages.h"
#include "app/Process.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/CommandLine.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "workflows/Logging.h"
#include "workflows/Progress.h"
#include "files/ui/FileOps.h"
#include "link/Transport.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

QString oneLine(QString text)
{
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
    return text.simplified();
}

struct Step {
    const BatchCommand *command;
    QStringList args;
};

}  // namespace

void QuietMessageHandler()
{
    // Standard error carries the program's messages only.
    if (qEnvironmentVariableIsEmpty("KAVIX_DEBUG"))
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
            if (type == QtFatalMsg)
                std::fprintf(stderr, "kavix: %s\n", qPrintable(msg));
        });
}

void InstallBatchMessages()
{
    Hooks().msgBox = [](const QString &text, const QString &title, MsgIcon) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(oneLine(title)), qPrintable(oneLine(text)));
        std::fflush(stderr);
    };
    // No file dialog without a window: a command that gives no name fails.
    dlgFile().ask = [](FileDialog::Mode, const QString &title, const QString &) {
        MsgBox(Tr("No file name given."), title, MsgIcon::Exclamation);
        return QString();
    };
}

int RunBatch(int argc, char *argv[])
{
    // No window is shown; run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString port, trace;
    bool yes = false;
    QList<Step> steps;
    const auto isWord = [](const QString &a) {
        return FindBatchCommand(a) || CommandLine::findOption(a);
    };
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
            } else if (a == "--trace") {
                trace = value;
            }
        } else if (const BatchCommand *c = FindBatchCommand(a)) {
            // The required arguments are the next words whatever they are;
            // an optional one is the next word unless that is a command or
            // an option.
            Step step{c, {}};
            // a word of the command's own that is also a command ("download
            // verify") is the command's when no argument follows it
            const auto ownWord = [&](int at) {
                return c->words.contains(args[at]) &&
                       (at + 1 >= args.size() || isWord(args[at + 1]));
            };
            while (step.args.size() < c->maxArgs && i + 1 < args.size() &&
                   (step.args.size() < c->minArgs || !isWord(args[i + 1]) || ownWord(i + 1)))
                step.args << args[++i];
            if (step.args.size() < c->minArgs)
                return CommandLine::usageError(QString("%1 needs %2").arg(a, c->args));
            // a value the window would not take is refused before anything is sent
            if (c->check)
                if (const QString problem = c->check(step.args); !problem.isEmpty())
                    return CommandLine::usageError(a + ": " + problem);
            steps.append(step);
        } else {
            return CommandLine::usageError("unknown argument \"" + a + "\"");
        }
    }
    // a file can be prepared without a module; talking to one needs its port
    if (port.isEmpty())
        for (const Step &step : steps)
            if (step.command->needsPort)
                return CommandLine::usageError(step.command->name + " needs --port");
    if (steps.isEmpty())
        return CommandLine::usageError("no command given");
    QString badPort;
    if (IsNetworkPort(port) && !ParseNetworkPort(port, &badPort))
        return CommandLine::usageError(badPort);

    QuietMessageHandler();
    QApplication app(argc, argv);
    InstallBatchMessages();
    Hooks().commPort = [port] {
        QString error;
        if (!frmCommPort::choosePort(port, &error))
            MsgBox(error, "Communication", MsgIcon::Exclamation);
    };
    frmDialog::answer = [yes](const QString &message) -> std::optional<bool> {
        if (!yes)
            MsgBox(message + " Refused: confirm downloads with --yes.", "DOWNLOAD",
                   MsgIcon::Exclamation);
        return yes;
    };

    frmMain *main = MainForm();
    // SIGINT, SIGTERM: the exchange in progress ends, nothing new starts
    // (a monitoring cycle stops after it), and the run ends with 128 + signal.
    Process::install([main](int signal) {
        if (Process::received())
            return;
        Process::setReceived(signal);
        // Stop ends the cycle and wakes every wait
        main->mnuMonitorStop_Click();
    });
    // A trace that cannot be written is a failure before anything is sent.
    int status = 0;
    QString traceError;
    if (!trace.isEmpty() && !Logging::TraceTo(trace, &traceError)) {
        MsgBox(traceError, "Trace", MsgIcon::Exclamation);
        steps.clear();
        status = 1;
    }
    for (const Step &step : steps) {
        Outcome::begin();
        Progress::clearLast();
        step.command->run(step.args);
        // What came in meanwhile is told now: a port that vanished is seen
        // in one turn of the event loop and told in the next.
        for (int turn = 0; turn < 2; ++turn)
            QCoreApplication::processEvents();
        if (const int signal = Process::received()) {
            const QString count = Progress::lastCount();
            QString name = step.command->name;
            name[0] = name[0].toUpper();
            std::fprintf(stderr, "Interrupted: %s\n",
                         qPrintable(count.isEmpty()
                                        ? Tr("%1 interrupted").arg(name)
                                        : Tr("%1 interrupted after %2").arg(name, count)));
            status = 128 + signal;
            break;
        }
        // The command's result decides; a failure said why already, a
        // command that did nothing and said nothing is told here.
        if (!Outcome::succeeded()) {
            if (!Outcome::failureShown())
                std::fprintf(stderr, "%s: %s\n", qPrintable(step.command->name),
                             qPrintable(Tr("the command did not do its work.")));
            status = 1;
            break;
        }
    }
    main->mnuFileExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::fflush(stdout);
    if (status == 0 && std::ferror(stdout))
        status = 1;
    return status;
}
