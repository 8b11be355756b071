// kavix-shots: drives the real program on an X display (xvfb-run) and takes
// the screenshots of the README with imagemagick's import.
//
//   xvfb-run -s "-screen 0 1024x700x24" build/bench/kavix-shots docs/screenshots
//   xvfb-run -s "-screen 0 1400x800x24" build/bench/kavix-shots docs/screenshots trace
//     (the line trace beside a monitor window, the trend plot after a minute)
//   xvfb-run -s "-screen 0 1024x768x24" build/bench/kavix-shots docs/screenshots compare
//   xvfb-run -s "-screen 0 1400x800x24" build/bench/kavix-shots docs/screenshots manual
//     (the manual in its window beside the main window)
// With LANG=ja_JP.UTF-8 and docs/screenshots/ja the Japanese manual's pictures.

#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "app/ui/GuiMessages.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmHelp.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "config/frmType.h"
#include "monitor/frmKx5.h"
#include "monitor/frmTrace.h"
#include "monitor/frmTrend.h"
#include "monitor/frmE6.h"

#include <QAction>
#include <QPushButton>
#include <QDir>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
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
    // the main window keeps its place in a folder of this run, not the user's
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
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

    if (argc > 2 && QString(argv[2]) == "manual") {
        // The manual beside the main window, at the input type editor's section.
        frmHelp::ShowManual(textLanguage(), frmHelp::sectionOf("frmType"));
        wait(800);
        shoot(dir + "/manual.png");
        main->close();
        return 0;
    }
    if (argc > 2 && QString(argv[2]) == "trace") {
        model = "QV8_KX5";
        main->resize(760, 760);
        main->menu("mnuConnConn")->trigger();
        frmTrace::ShowTrace();
        QWidget *trace = loaded<frmTrace>();
        trace->setGeometry(770, 30, 620, 740);
        QTimer::singleShot(3000, [&] { shoot(dir + "/trace-beside-monitor.png"); });
        QTimer::singleShot(4000, [&] {
            trace->hide();
            frmTrend::ShowTrend();
            loaded<frmTrend>()->setGeometry(100, 60, 1200, 640);
        });
        QTimer::singleShot(64000, [&] {
            shoot(dir + "/trend-QV8_KX5.png");
            main->menu("mnuMonitorStop")->trigger();
        });
        main->menu("mnuMonitorStart")->trigger();
        main->close();
        return 0;
    }

    if (argc > 2 && QString(argv[2]) == "compare") {
        // Compare with Module after three settings were changed and not downloaded
        model = "QV8_KX5";
        main->resize(1000, 740);
        main->menu("mnuConnConn")->trigger();
        G().TypeCode[3] = 19;
        G().CjcSw[4] = 1;
        G().FilterTime = "2.5";
        MainPanel::instance().settingsChanged();
        QTimer::singleShot(1500, [&] {
            shoot(dir + "/compare-with-module.png");
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        main->menu("mnuConfigCompare")->trigger();
        // the commissioning report's questions
        QTimer::singleShot(800, [&] {
            shoot(dir + "/report-dialog.png");
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        main->menu("mnuFileReport")->trigger();
        main->close();
        return 0;
    }

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
        if (m == "QV8_KX5") {
            // The input type editor of channel 3 over the monitor window.
            QTimer::singleShot(800, [&] {
                shoot(dir + "/type-editor.png");
                if (frmType *t = loaded<frmType>())
                    t->cmdExit_Click();
            });
            form<frmKx5>()->cmdCh[3]->click();
            wait(200);
        }
        QTimer::singleShot(2500, [&, m] {
            shoot(dir + "/monitor-" + m + ".png");
            main->menu("mnuMonitorStop")->trigger();
        });
        main->menu("mnuMonitorStart")->trigger();
        main->menu("mnuConnDisConn")->trigger();
        wait(200);
    }
    // Two editor windows over their monitor windows: a shot, then closed.
    const auto editor = [&](const QString &m, const QString &file,
                            const std::function<void()> &open) {
        model = m;
        main->menu("mnuConnConn")->trigger();
        QTimer::singleShot(1500, [&, file] {
            shoot(dir + "/" + file);
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        open();
        main->menu("mnuConnDisConn")->trigger();
        wait(200);
    };
    editor("QV8T_KX7", "modbus-settings.png", [&] { main->menu("mnuConfigModBus")->trigger(); });
    editor("QV8_E6F4", "count-preset-data.png", [] { form<frmE6>()->cmdCntPre_Click(); });
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
