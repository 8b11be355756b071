// Batch mode's comparisons, and `kavix --diff A B`: the Compare windows
// driven by script through the main window's own handlers, their
// differences printed one per line.

#include "compare/ui/CompareCommands.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Batch.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/CommandLine.h"
#include "app/ui/frmMain.h"
#include "compare/ui/frmCompare.h"
#include "files/ui/FileOps.h"

namespace {

// Lines to standard output; false when they did not get there.
bool print(const QStringList &lines)
{
    for (const QString &line : lines) std::fputs(qPrintable(line + '\n'), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// The file dialogs the handlers open get these names, in order.
void answerFiles(const QStringList &names, const std::function<void()> &work)
{
    FileDialog &d = dlgFile();
    const FileDialog::Ask before = d.ask;
    int next = 0;
    d.ask = [&](FileDialog::Mode mode, const QString &title, const QString &filter) {
        return next < names.size() ? names.at(next++) : before(mode, title, filter);
    };
    work();
    d.ask = before;
}

const char *const kVerifyTitle = "Verify";

void verify(const QStringList &args)
{
    const QString file = args.value(0);
    DriveWindow<frmCompare>(
        [&](frmCompare *w) {
            if (!w->compared())
                return;  // cut short: said so already
            if (!file.isEmpty()) {
                answerFiles({file}, [w] { w->cmdPlan_Click(); });
                if (w->comparison().leftName != "file")
                    return;  // the file was refused: said so
            }
            const Comparison &c = w->comparison();
            if (!print(c.lines() << c.summary()))
                MsgBox(Tr("The result could not be written to standard output."), kVerifyTitle,
                       MsgIcon::Critical);
            else if (!c.matches())
                MsgBox(file.isEmpty() ? Tr("The module differs from the configuration in hand.")
                                      : Tr("The module differs from %1.").arg(file),
                       kVerifyTitle, MsgIcon::Exclamation);
        },
        [] { MainForm()->mnuConfigCompare_Click(); });
}

void downloadChanges()
{
    DriveWindow<frmCompare>(
        [](frmCompare *w) {
            if (!w->compared())
                return;
            const Comparison &c = w->comparison();
            if (c.differing() == 0) {
                print({c.summary()});
                return;
            }
            print(c.lines());
            w->cmdDownload_Click();
            if (Outcome::succeeded())
                print({MainPanel::instance().lastResult()});
        },
        [] { MainForm()->mnuConfigCompare_Click(); });
}

}  // namespace

void AddCompareCommands()
{
    AddBatchCommand({"verify", 0, 1, "[FILE]",
                     "compare the module with FILE (or the configuration in hand); one line per "
                     "difference, status 1 when they differ",
                     nullptr, verify});
    AddBatchCommand({"download-changes", 0, 0, "",
                     "write only the settings that differ from the module's (needs --yes)", nullptr,
                     [](const QStringList &) { downloadChanges(); }});
}

int RunDiff(int argc, char *argv[])
{
    QStringList files;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--diff") != 0)
            files << QString::fromLocal8Bit(argv[i]);
    if (files.size() != 2)
        return CommandLine::usageError("--diff needs two files: --diff A B");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietMessageHandler();
    QApplication app(argc, argv);
    InstallBatchMessages();
    frmMain *main = MainForm();
    // 0 the same, 1 different, 2 trouble, as diff(1) says it
    int status = 2;
    Outcome::begin();
    answerFiles(files, [&] {
        DriveWindow<frmCompare>(
            [&](frmCompare *w) {
                const Comparison &c = w->comparison();
                if (!print(c.lines())) {
                    MsgBox(Tr("The result could not be written to standard output."),
                           Tr("Compare Files"), MsgIcon::Critical);
                    return;
                }
                std::fprintf(stderr, "%s\n", qPrintable(c.summary()));
                status = c.matches() ? 0 : 1;
            },
            [main] { main->mnuFileCompare_Click(); });
    });
    main->mnuFileExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
