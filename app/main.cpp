// kavix: configure and watch one remote I/O module over a serial line.
//
//   kavix                        the program
//   kavix --simulate MODEL       with a simulated module preselected
//   kavix --batch --port PORT [--yes] COMMAND...   without windows

#include "app/ui/Batch.h"
#include "app/ui/GuiMessages.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmMain.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--batch") == 0)
            return RunBatch(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavix");
    QApplication::setApplicationVersion("1.5");

    const QStringList args = QApplication::arguments();
    const int at = args.indexOf("--simulate");
    if (at >= 0) {
        const QString model = args.value(at + 1);
        if (!sim::ModuleCore::models().contains(model)) {
            std::fprintf(stderr, "usage: kavix [--simulate MODEL]\nMODEL is one of: %s\n",
                         qPrintable(sim::ModuleCore::models().join(", ")));
            return 2;
        }
        frmCommPort::preselectSimulated(model);
    }

    InstallGuiMessages();
    frmMain *main = MainForm();
    main->show();
    return app.exec();
}
