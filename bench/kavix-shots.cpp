// kavix-shots: drives the real program on an X display (xvfb-run) and takes
// the screenshots of the README with imagemagick's import.
//
//   xvfb-run -s "-screen 0 1024x700x24" build/bench/kavix-shots docs/screenshots

#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "app/ui/GuiMessages.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>

namespace {

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void shoot(const QString &path)
{
    QProcess::execute("import", {"-window", "root", path});
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString dir = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("docs/screenshots")).absolutePath();
    InstallGuiMessages();
    QString model;
    Hooks().commPort = [&model] {
        QString error;
        frmCommPort::choosePort("sim:" + model, &error);
    };

    frmMain *main = MainForm();
    main->move(0, 0);
    main->show();
    wait(500);

    // The idle program with its Configuration menu open.
    QMenu *config = main->findChild<QMenu *>("mnuConfig");
    QTimer::singleShot(400, [&] {
        shoot(dir + "/main-window.png");
        config->close();
    });
    config->exec(main->menuBar()->mapToGlobal(main->menuBar()->actionGeometry(config->menuAction()).bottomLeft()));

    for (const QString m : {"QV8_KX5", "QV8_B6", "QV8_H9"}) {
        model = m;
        main->menu("mnuConnConn")->trigger();
        QTimer::singleShot(2500, [&, m] {
            shoot(dir + "/monitor-" + m + ".png");
            main->menu("mnuMonitorStop")->trigger();
        });
        main->menu("mnuMonitorStart")->trigger();
        main->menu("mnuConnDisConn")->trigger();
        wait(200);
    }
    // The zero/span dialog of channel 3 with its live value.
    model = "QV8_KX5";
    main->menu("mnuConnConn")->trigger();
    QTimer::singleShot(500, [&] {
        frmZeroSpan *chooser = loaded<frmZeroSpan>();
        chooser->cboChannel->setCurrentText("3");
        QTimer::singleShot(1500, [&] {
            frmSetZeroSpan *dialog = loaded<frmSetZeroSpan>();
            dialog->txtReal->setText("25.000");
            QTimer::singleShot(1200, [&, dialog] {
                shoot(dir + "/zero-span.png");
                dialog->cmdExit->click();
                QTimer::singleShot(300, [] { loaded<frmZeroSpan>()->cmdExit->click(); });
            });
        });
        chooser->cmdZero->click();
    });
    main->menu("mnuAdjZeroSpan")->trigger();
    main->menu("mnuConnDisConn")->trigger();

    main->close();
    return 0;
}
