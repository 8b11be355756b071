// kavix: configure and watch one remote I/O module over a serial line.
// `kavix --help` lists the options and batch commands (app/ui/CommandLine.cpp).

#include "app/Process.h"
#include "app/ui/Batch.h"
#include "app/ui/CommandLine.h"
#include "app/ui/Find.h"
#include "app/ui/GuiMessages.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmMain.h"
#include "compare/ui/CompareCommands.h"

#include <QApplication>

#include <cstring>

int main(int argc, char *argv[])
{
    Process::prepare();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--batch") == 0)
            return RunBatch(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--find") == 0)
            return RunFind(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--diff") == 0)
            return RunDiff(argc, argv);

    // Our own options before the window system starts, so --help, --version
    // and a mistake need no display.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString simulate;
    if (const auto status = CommandLine::parseWindow(args, true, &simulate))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavix");
    QApplication::setApplicationVersion(KAVIX_VERSION);
    QGuiApplication::setDesktopFileName("io.github.kavix.Kavix");

    // Qt has taken its own options out; what is left must all be ours.
    if (const auto status = CommandLine::parseWindow(app.arguments().mid(1), false, &simulate))
        return *status;
    if (!simulate.isEmpty())
        frmCommPort::preselectSimulated(simulate);

    InstallGuiMessages();
    InstallQtTranslations();
    frmMain *main = MainForm();
    // SIGTERM or SIGINT ends the program as File -> Exit does
    Process::install([main](int) { main->mnuFileExit_Click(); });
    main->show();
    return app.exec();
}
