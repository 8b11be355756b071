#include "app/ui/Batch.h"

#include "app/Messages.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"
#include "workflows/Logging.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

const char *kUsage =
    "usage: kavix --batch --port PORT [--yes] COMMAND...\n"
    "  PORT     COM1, COM2, a device path such as /dev/ttyUSB0, or sim:MODEL\n"
    "  --yes    confirm every download (without it a download is refused)\n"
    "  COMMAND  connect | upload | download | open FILE | save | saveas FILE | disconnect\n"
    "           | monitor SECONDS [FILE]  (CSV to FILE or standard output); --trace FILE|-\n"
    "Runs the commands in order without a window. Every message goes to standard\n"
    "error as one line TITLE: TEXT; the first error or warning ends the run with\n"
    "status 1.\n";

struct Command {
    QString name;
    QString file;
    double seconds = 0;
};

const QStringList kCommandWords = {"connect", "upload", "download", "open", "save",
                                   "saveas", "disconnect", "monitor"};

int usage(const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "kavix: %s\n", qPrintable(problem));
    std::fputs(kUsage, stderr);
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

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString port, trace;
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
        } else if (a == "connect" || a == "upload" || a == "download" || a == "save" ||
                   a == "disconnect") {
            commands.append({a, QString()});
        } else if (a == "--trace") {
            if (i + 1 >= args.size())
                return usage("--trace needs a file name or -");
            trace = args[++i] == "-" ? "-" : QFileInfo(args[i]).absoluteFilePath();
        } else if (a == "monitor") {
            const double seconds = args.value(i + 1).toDouble();
            if (!(seconds > 0))
                return usage("monitor needs a number of seconds");
            ++i;
            // a FILE follows unless the next word is a command or an option
            const QString next = args.value(i + 1);
            const bool file =
                !next.isEmpty() && !next.startsWith("--") && !kCommandWords.contains(next);
            // the shell's folder: the main window changes the program's own
            const QString name = file ? QFileInfo(args[++i]).absoluteFilePath() : QString();
            commands.append({a, name, seconds});
        } else if (a == "open" || a == "saveas") {
            if (i + 1 >= args.size())
                return usage(a + " needs a file name");
            commands.append({a, args[++i]});
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
    QString file;
    dlgFile().ask = [&file](FileDialog::Mode, const QString &, const QString &) { return file; };

    frmMain *main = MainForm();
    QString traceError;
    if (!trace.isEmpty() && !Logging::TraceTo(trace, &traceError))
        MsgBox(traceError, "Trace", MsgIcon::Exclamation);
    for (const Command &c : commands) {
        if (failed)
            break;
        file = c.file;
        if (c.name == "connect")
            main->mnuConnConn_Click();
        else if (c.name == "upload")
            main->mnuConfigUpload_Click();
        else if (c.name == "download")
            main->mnuConfigDownload_Click();
        else if (c.name == "open")
            main->mnuFileOpen_Click();
        else if (c.name == "save")
            main->mnuFileSave_Click();
        else if (c.name == "saveas")
            main->mnuFileSaveAs_Click();
        else if (c.name == "disconnect")
            main->mnuConnDisConn_Click();
        else if (c.name == "monitor")
            Logging::MonitorFor(c.seconds, c.file);
    }
    main->mnuFileExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return failed ? 1 : 0;
}
