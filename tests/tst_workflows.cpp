// One workflow at a time: whatever the user chooses while a workflow waits
// for the module, nothing crashes, hangs or reaches the module that the
// running workflow did not send, and the commands come back as the workflow
// left them. Also the menu tables of the monitor windows, the closing reads
// of a monitoring pass and contact switching.

#include "tests/support/MainFixture.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/ui/EditorDialog.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "workflows/ModuleReads.h"

#include <QApplication>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using State = QMap<QString, bool>;

// The monitor windows, whose buttons open editors.
QList<QWidget *> dataWindows()
{
    QList<QWidget *> out;
    for (QWidget *w : FormRegistry::instance().loadedNewestFirst())
        if (qobject_cast<MonitorWindow *>(w))
            out << w;
    return out;
}

// What the user can choose now: every named action and window button.
State snapshot()
{
    State s;
    for (QAction *a : MainForm()->findChildren<QAction *>())
        if (a->objectName().startsWith("mnu") || a->objectName().startsWith("tb"))
            s.insert(a->objectName(), a->isEnabled());
    for (QWidget *w : dataWindows())
        for (QPushButton *b : w->findChildren<QPushButton *>())
            s.insert(w->objectName() + "." + b->objectName(), b->isEnabled());
    return s;
}

// The editor windows shown (driven by script) since the flow began.
QList<QPointer<EditorDialog>> &openEditors()
{
    static QList<QPointer<EditorDialog>> editors;
    return editors;
}

// Drives each editor window as it is shown.
void drive(std::function<void(EditorDialog *)> act)
{
    openEditors().clear();
    EditorDialog::script() = [act](EditorDialog *d) {
        openEditors() << d;
        act(d);
    };
}

// Chooses every command once, as a user clicking about would: the Monitor
// menu opened, each action triggered, each button of the data windows
// clicked (contact switches aside: they belong to the running cycle).
void chooseEverything()
{
    frmMain *m = MainForm();
    // a window that opens modally (the About box, a file dialog) is closed
    // again at once
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(20);
    emit m->findChild<QMenu *>("mnuMonitor")->aboutToShow();
    for (QAction *a : m->findChildren<QAction *>()) {
        const QString name = a->objectName();
        if ((name.startsWith("mnu") || name.startsWith("tb")) && name != "mnuFileExit")
            a->trigger();
    }
    for (QWidget *w : dataWindows())
        for (QPushButton *b : w->findChildren<QPushButton *>())
            if (!b->objectName().startsWith("cmdOut"))
                b->click();
    // and in the editor windows open just now: every button, then the close box
    for (const QPointer<EditorDialog> &editor : openEditors())
        if (editor) {
            for (QAbstractButton *b : editor->findChildren<QAbstractButton *>())
                b->click();
            editor->close();
        }
}

void press(EditorDialog *d, const char *button)
{
    d->findChild<QAbstractButton *>(button)->click();
}

// Runs act once, as soon as the module has received the line.
void whenReceived(MainFixture &f, const QString &line, std::function<void()> act)
{
    auto *poll = new QTimer(f.main());
    QObject::connect(poll, &QTimer::timeout, [&f, poll, line, act] {
        if (!f.received().contains(line))
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(5);
}

enum Flow { Connect, Upload, Download, Monitor, OpenFile, TypeDownload, Restart, Presets, ZeroAdj };

// Runs the flow; interfere is called once while it waits.
void run(MainFixture &f, int flow, const QString &file, std::function<void()> interfere)
{
    if (flow != Connect && flow != OpenFile)
        f.connect();
    f.clearReceived();
    if (flow == OpenFile) {
        dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) {
            interfere();
            return file;
        };
        f.click("mnuFileOpen");
        return;
    }
    if (flow < TypeDownload)
        f.afterLines(3, interfere);
    switch (flow) {
    case Connect: f.connect(); break;
    case Upload: f.click("mnuConfigUpload"); break;
    case Download: f.click("mnuConfigDownload"); break;
    case Monitor:
        // the cycle is stopped once it has run a while
        f.afterLines(400, [&] { f.main()->mnuMonitorStop_Click(); });
        QVERIFY(f.startAndWait(20000));
        break;
    // an editor's own exchange: the window is driven as a user would
    case TypeDownload:
        whenReceived(f, "I05", interfere);
        drive([](EditorDialog *d) { press(d, "cmdDownload"); });
        form<frmKx5>()->cmdCh_Click(3);
        break;
    case Restart:
        // during the 2 s the module needs to come back
        whenReceived(f, "DRESET", interfere);
        drive([](EditorDialog *d) { press(d, "cmdQV8Res"); });
        f.click("mnuConfigModBus");
        break;
    case Presets:
        whenReceived(f, "I09", interfere);
        drive([](EditorDialog *d) { press(d, "cmdDownload"); });
        form<frmE6>()->cmdCntPre_Click();
        break;
    case ZeroAdj:
        whenReceived(f, "I18", interfere);
        drive([](EditorDialog *d) {
            if (d->objectName() == "frmZeroSpan") {
                press(d, "cmdZero");
            } else {
                d->findChild<QLineEdit *>("txtReal")->setText("1");
                press(d, "cmdOK");
            }
        });
        f.click("mnuAdjZeroSpan");
        break;
    }
    EditorDialog::script() = nullptr;
}


}  // namespace

class TestWorkflows : public QObject {
    Q_OBJECT
private slots:
    void everyCommandWhileAWorkflowWaits_data();
    void everyCommandWhileAWorkflowWaits();
    void monitorMenuLeavesOtherWaitsTimed();
    void failedConnectLeavesIdle_data();
    void failedConnectLeavesIdle();
    void transferBackAfterOfflineModel();
    void displayMenus_data();
    void displayMenus();
    void closingReads_data();
    void closingReads();
    void contactSwitches();
};

void TestWorkflows::everyCommandWhileAWorkflowWaits_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("flow");
    QTest::newRow("connect") << "QV8T_KX7" << int(Connect);
    QTest::newRow("upload") << "QV8_KX5" << int(Upload);
    QTest::newRow("download") << "QV8_L5" << int(Download);
    QTest::newRow("monitor analog") << "QV8_KX5" << int(Monitor);
    QTest::newRow("monitor contacts") << "QV8_B6" << int(Monitor);
    QTest::newRow("monitor counter") << "QV8_H9" << int(Monitor);
    QTest::newRow("file open") << "QV8_KX5" << int(OpenFile);
    QTest::newRow("type editor download") << "QV8_KX5" << int(TypeDownload);
    QTest::newRow("module restart") << "QV8_KX5" << int(Restart);
    QTest::newRow("count presets download") << "QV8_E6F4" << int(Presets);
    QTest::newRow("zero adjustment") << "QV8_KX5" << int(ZeroAdj);
}

void TestWorkflows::everyCommandWhileAWorkflowWaits()
{
    QFETCH(QString, model);
    QFETCH(int, flow);
    QTemporaryDir dir;
    const QString file = dir.filePath("k.qv8");
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("1\r\n") + QByteArray("17,1\r\n").repeated(16) +
                  "2\r\n0\r\n1\r\n0\r\n0\r\n\"\",\"\"\r\n1,\"1.5\",,0\r\n");
    }

    // the same flow untouched, for what it sends and leaves behind
    QStringList expectedLines;
    State expectedState;
    {
        MainFixture f(model);
        run(f, flow, file, [] {});
        expectedLines = f.received();
        expectedState = snapshot();
    }

    MainFixture f(model);
    sim::Faults slow;
    slow.delayMs = 20;
    f.module().setFaults(slow);
    bool chose = false;
    run(f, flow, file, [&] {
        chose = true;
        chooseEverything();
    });
    QVERIFY(chose);
    const QStringList got = f.received();
    if (flow == Monitor || flow == ZeroAdj) {
        // the cycle (or live reading) may have been paused and resumed, never
        // joined by another workflow: every line is one of its own
        for (const QString &line : got)
            QVERIFY2(expectedLines.contains(line), qPrintable(line));
    } else {
        QCOMPARE(got, expectedLines);
    }
    QCOMPARE(snapshot(), expectedState);
    QVERIFY(!Commands::instance().workflowRunning());
}

void TestWorkflows::monitorMenuLeavesOtherWaitsTimed()
{
    // Opening the Monitor menu while a connect waits for a silent module
    // must not stop the time-out: the connect still ends.
    MainFixture f("QV8_KX5");
    sim::Faults silent;
    silent.silent = true;
    f.module().setFaults(silent);
    QTimer::singleShot(300, [&] { emit f.main()->findChild<QMenu *>("mnuMonitor")->aboutToShow(); });
    f.connect();
    QCOMPARE(f.log.messages.mid(0, 3), (QList<ShownMessage>{kTimedOut, kTimedOut, kTimedOut}));
    QVERIFY(f.log.messages.last().text.startsWith("Communication failed"));
    QVERIFY(!G().Connected);
}

void TestWorkflows::failedConnectLeavesIdle_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("port dialog closed") << true;
    QTest::newRow("no module answers") << false;
}

void TestWorkflows::failedConnectLeavesIdle()
{
    QFETCH(bool, cancel);
    MainFixture f("QV8_KX5");
    const State idle = snapshot();
    if (cancel) {
        Hooks().commPort = [] {};
    } else {
        sim::Faults silent;
        silent.silent = true;
        f.module().setFaults(silent);
    }
    f.connect();
    QCOMPARE(snapshot(), idle);
    QVERIFY(!f.main()->comm()->lineOpen());
    if (cancel)
        QCOMPARE(f.log.messages, QList<ShownMessage>{});
    else
        QVERIFY(!f.log.titles().contains("Type set"));  // no "No Model" afterwards
}

void TestWorkflows::transferBackAfterOfflineModel()
{
    MainFixture f("QV8_KX5");
    f.main()->mnuModelModel(1)->trigger();
    QVERIFY(!menuOn("mnuConfigUpload"));
    QVERIFY(!menuOn("mnuConfigDownload"));
    f.connect();
    QVERIFY(menuOn("mnuConfigUpload"));
    QVERIFY(menuOn("mnuConfigDownload"));
}

void TestWorkflows::displayMenus_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("model");  // shown in identity row 1
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("option10");
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QStringList>("off");

    QTest::newRow("kx5") << "Kx5" << "QV8_KX5" << true << false
                         << QStringList{"mnuConfigCJM", "mnuAdjZeroSpan", "mnuConfigModBus",
                                        "mnuConfigFilter", "mnuConfigBurnout", "mnuFileSave",
                                        "tb2", "tb3"}
                         << QStringList{"mnuConfigCount", "mnuAdjComp", "mnuConfigLineNoise",
                                        "mnuAlarm"};
    QTest::newRow("kx5 qy8") << "Kx5" << "QY8_KX5" << true << false
                             << QStringList{"mnuConfigCJM"} << QStringList{"mnuConfigModBus"};
    QTest::newRow("kx5 offline") << "Kx5" << "" << false << false
                                 << QStringList{"mnuConfigFilter", "mnuFileSaveAs"}
                                 << QStringList{"mnuConfigModBus", "mnuConfigCJM",
                                                "mnuConfigUpload", "mnuConfigDownload"};
    QTest::newRow("l5") << "L5" << "QV8_L5" << true << false
                        << QStringList{"mnuAdjZeroSpan", "mnuAdjComp", "mnuConfigFilter",
                                       "mnuConfigBurnout"}
                        << QStringList{"mnuConfigCJM", "mnuConfigCount", "mnuConfigLineNoise",
                                       "mnuAlarm"};
    QTest::newRow("kx7 option10") << "Kx7" << "QV8T_KX7" << true << true
                                  << QStringList{"mnuConfigModBus", "mnuConfigLineNoise",
                                                 "mnuConfigBurnout", "mnuAlarm"}
                                  << QStringList{"mnuConfigCJM", "mnuAdjComp"};
    QTest::newRow("kx7 without option10") << "Kx7" << "QV8T_KX7" << true << false
                                          << QStringList{"mnuConfigFilter", "mnuAlarm"}
                                          << QStringList{"mnuConfigLineNoise",
                                                         "mnuConfigBurnout"};
    for (const char *w : {"B6", "E6"})
        QTest::newRow(w) << w << "" << true << false << QStringList{}
                         << QStringList{"mnuConfigCJM", "mnuConfigCount", "mnuAdjZeroSpan",
                                        "mnuAdjComp", "mnuFileSave", "mnuFileSaveAs", "tb2",
                                        "tb3", "mnuConfigFilter", "mnuConfigLineNoise",
                                        "mnuConfigBurnout", "mnuAlarm"};
    QTest::newRow("H9") << "H9" << "" << true << false << QStringList{"mnuConfigCount"}
                        << QStringList{"mnuConfigCJM", "mnuAdjustment", "mnuFileSave", "tb3",
                                       "mnuConfigFilter", "mnuAlarm"};
}

void TestWorkflows::displayMenus()
{
    QFETCH(QString, window);
    QFETCH(QString, model);
    QFETCH(bool, connected);
    QFETCH(bool, option10);
    QFETCH(QStringList, on);
    QFETCH(QStringList, off);
    MainFixture f("");
    Commands &cmd = Commands::instance();
    // everything the table may change starts the other way round
    for (const QString &name : on)
        cmd.set(name, false);
    for (const QString &name : off)
        cmd.set(name, true);
    G().Connected = connected;
    G().HwOption10 = option10;
    MainPanel::instance().setRow(1, "Model Name", model);
    if (window == "Kx5") form<frmKx5>()->Kx5();
    if (window == "L5") form<frmL5>()->L5();
    if (window == "Kx7") form<frmKx7>()->Kx7();
    if (window == "B6") form<frmB6>()->B6();
    if (window == "E6") form<frmE6>()->E6();
    if (window == "H9") form<frmH9>()->H9();
    for (const QString &name : on)
        QVERIFY2(cmd.state(name), qPrintable(name));
    for (const QString &name : off)
        QVERIFY2(!cmd.state(name), qPrintable(name));
    G().Connected = false;
}

void TestWorkflows::closingReads_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");  // item:index:payload
    QTest::addColumn<QStringList>("shown");  // input, output, burnout, line noise, filter
    QTest::addColumn<int>("burnout");
    QTest::addColumn<QString>("filter");

    QTest::newRow("kx5") << "QV8_KX5" << QStringList{"6:1:1", "20:1:2", "16:0:2,5"}
                         << QStringList{"ON", "", "Down", "", "2,5"} << 2 << "2,5";
    QTest::newRow("l5 unknown values") << "QV8_L5" << QStringList{"6:1:7", "20:1:5", "16:0:0.5"}
                                       << QStringList{"", "", "", "", "0.5"} << 5 << "0.5";
    QTest::newRow("kx7") << "QV8T_KX7"
                         << QStringList{"6:1:0", "7:1:1", "20:0:1", "15:0:2", "16:0:3.0"}
                         << QStringList{"OFF", "ON", "Up", "60Hz", "3.0"} << 1 << "3.0";
}

void TestWorkflows::closingReads()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    QFETCH(QStringList, shown);
    QFETCH(int, burnout);
    QFETCH(QString, filter);
    MainFixture f(model);
    f.connect();
    f.pin(pins);
    // one whole pass, then stop
    f.afterExchange([&] { return f.received().filter("I16").size() == 2; },
                    [&] { f.main()->mnuMonitorStop_Click(); });
    QVERIFY(f.startAndWait());
    AnalogMonitor *w = ModuleReads::AnalogWindow(orZero(G().ModelKind));
    QLabel *labels[] = {w->lblDiscInput, w->lblDiscOutput, w->lblBurnout, w->lblLineNoise,
                        w->lblFilter};
    for (int i = 0; i < 5; ++i) {
        if (!labels[i])
            continue;
        QCOMPARE(labels[i]->text(), shown[i]);
        if (i < 2 && !shown[i].isEmpty())
            QCOMPARE(foreColor(labels[i]),
                     shown[i] == "ON" ? QColor(255, 0, 0) : QColor(0, 128, 0));
    }
    QCOMPARE(G().BurnoutType, burnout);
    QCOMPARE(G().FilterTime, filter);
    if (model == "QV8T_KX7") {
        QCOMPARE(G().AlarmOut, 1);
        QCOMPARE(G().LineNoise, OptInt(2));
    }
}

void TestWorkflows::contactSwitches()
{
    // A later click replaces an earlier one; a request not served when the
    // cycle stops does not outlive its run.
    MainFixture f("QV8_B6");
    f.connect();
    frmB6 *w = form<frmB6>();
    f.clearReceived();
    f.afterLines(3, [&] {
        w->cmdOut[3]->click();
        w->cmdOut[7]->click();
    });
    // during the last contact of a later pass: asked for, never served
    f.afterExchange([&] { return f.received().count("D32") == 2; }, [&] {
        w->cmdOut[9]->click();
        f.main()->mnuMonitorStop_Click();
    });
    QVERIFY(f.startAndWait());
    QStringList writes = f.received().filter(QRegularExpression("^D\\d\\d\\d$"));
    QCOMPARE(writes.size(), 1);
    QVERIFY(writes.first().startsWith("D07"));
    QCOMPARE(G().DoRequest, 0);

    f.clearReceived();
    f.afterLines(6, [&] { f.main()->mnuMonitorStop_Click(); });
    QVERIFY(f.startAndWait());
    QVERIFY(f.received().filter(QRegularExpression("^D\\d\\d\\d$")).isEmpty());
}

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
