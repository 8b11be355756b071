// Serial ports from the user's side, offscreen against simulated modules:
// the port dialog remembers and finds, a port that vanishes ends the work
// with one message, the status bar says where things stand, shortcuts obey
// the commands, and the Japanese screens hold no English of their own.
#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/Forms.h"
#include "app/ui/GuiMessages.h"
#include "app/ui/Settings.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmHelp.h"
#include "app/ui/frmMain.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmModSet.h"
#include "config/frmModSetKx7.h"
#include "config/frmType.h"
#include "counting/frmCntPreset.h"
#include "counting/frmCount.h"
#include "counting/frmCountSet.h"
#include "files/ui/FileOps.h"
#include "link/Ports.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "monitor/frmTrace.h"
#include "monitor/frmTrend.h"
#include "sim/TcpRelay.h"
#include "compare/ui/frmCompare.h"
#include "report/ui/frmReport.h"
#include "tests/support/MainFixture.h"
#include "workflows/ModuleReads.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QScreen>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

sim::Pacing wire()
{
    sim::Pacing p;
    p.baud = 9600;
    p.turnaroundMs = 2;
    return p;
}

QString shown(const QLabel *l)
{
    return l->isVisibleTo(l->window()) ? l->text() : QString();
}

// Texts a user reads on a window and its menus, mnemonics taken out.
QStringList textsOf(QWidget *root)
{
    QStringList texts;
    const auto add = [&texts](QString t) {
        t.remove(QRegularExpression("\\(&?[A-Z]\\)")).remove('&');
        if (!t.trimmed().isEmpty())
            texts << t;
    };
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        // the port and model lists hold data: port names, model names
        if (w->objectName() == "cboPort" || w->objectName() == "cboModel" ||
            qobject_cast<QComboBox *>(w->parentWidget()))
            continue;
        if (auto *c = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                add(c->itemText(i));
        if (auto *v = qobject_cast<QAbstractItemView *>(w); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c)
                add(v->model()->headerData(c, Qt::Horizontal).toString());
        add(w->windowTitle());
        add(w->toolTip());
        if (auto *l = qobject_cast<QLabel *>(w))
            add(l->text());
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            add(b->text());
        if (auto *g = qobject_cast<QGroupBox *>(w))
            add(g->title());
        for (QAction *a : w->actions()) {
            add(a->text());
            add(a->toolTip());
        }
    }
    return texts;
}

// The texts that hold a Latin word the program could have said in Japanese.
// Allowed: the string table's own Japanese texts, and what is data or a
// name in either language.
QStringList englishIn(QWidget *root)
{
    QSet<QString> allowed = {"OK",  "KAVIX", "ON",  "OFF", "COM1", "COM2", "English", "Japanese",
                             "KX5", "L5",    "KX7", "B6",  "E6",   "H9",   "degC",    "mV",
                             "V",   "ohm", "CSV"};
    for (int row = 1; row <= 10; ++row)
        allowed << G().ModelName[row];
    // type names, units and the protocol's own words
    for (const QString &t : G().TypeNameTc + G().TypeNameRtd + G().TypeNameKx7 + G().LineNoiseName)
        for (const QString &w : t.split(QRegularExpression("[^A-Za-z0-9_.]+")))
            allowed << w;
    allowed += {"DO", "CJC", "SW", "CJM", "ModBus", "Modbus", "RTU", "ms", "Hz", "bit", "bps",
                "NONE", "ODD", "EVEN", "Ver", "qv8", "txt", "csv", "I", "O", "H", "OPEN", "GND",
                "TCP", "RFC", "PDF", "HTML"};
    QSet<QString> table;
    for (int id : ResStringIds())
        table << ResStringIn(id, TextLanguage::Japanese);
    const QRegularExpression word("[A-Za-z][A-Za-z0-9_.]*");
    QStringList english;
    for (const QString &t : textsOf(root)) {
        if (table.contains(t))
            continue;
        for (const auto &m : word.globalMatch(t))
            if (!allowed.contains(m.captured()) && !english.contains(t))
                english << t;
    }
    return english;
}

}  // namespace

class TestPorts : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        Settings().clear();
    }
    void cleanup()
    {
        frmCommPort::preselectSimulated(QString());
        PortLister() = nullptr;
        Settings().clear();
    }

    void portDialog_data();
    void portDialog();
    void windowKeepsItsPlace();
    void findModule();
    void vanishingPort_data();
    void vanishingPort();
    void newLinkInsideTheWorkStays();
    void statusBarAndShortcuts();
    void emptyAreaAndScrolling();
    void japaneseThroughout();
    void windowsFit();
};

// OK takes the choice and keeps it for the next time (kavix --simulate wins
// over it); the close box or Escape changes nothing and keeps nothing.
void TestPorts::portDialog_data()
{
    QTest::addColumn<QString>("how");  // ok, close, reject
    QTest::addColumn<int>("option");   // 0: untouched
    QTest::addColumn<QString>("value");  // the other port's path or the simulated model
    QTest::addColumn<OptInt>("before");
    QTest::addColumn<OptInt>("port");
    QTest::addColumn<QString>("simulate");  // kavix --simulate MODEL
    const QString byId = "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
    QTest::newRow("untouched") << "ok" << 0 << "" << OptInt() << OptInt(1) << "";
    QTest::newRow("COM2") << "ok" << 2 << "" << OptInt() << OptInt(2) << "";
    QTest::newRow("other port") << "ok" << 3 << byId << OptInt() << OptInt(3) << "";
    QTest::newRow("simulated") << "ok" << 4 << "QV8_L5" << OptInt() << OptInt(3) << "";
    QTest::newRow("network") << "ok" << 5 << "rfc2217://gw.example:4002" << OptInt() << OptInt(3) << "";
    QTest::newRow("--simulate wins") << "ok" << 2 << "" << OptInt() << OptInt(2) << "QV8_B6";
    QTest::newRow("2, close") << "close" << 1 << "" << OptInt(2) << OptInt(2) << "";
    QTest::newRow("2, reject") << "reject" << 1 << "" << OptInt(2) << OptInt(2) << "";
    QTest::newRow("empty, reject") << "reject" << 2 << "" << OptInt() << OptInt() << "";
}

void TestPorts::portDialog()
{
    QFETCH(QString, how);
    QFETCH(int, option);
    QFETCH(QString, value);
    QFETCH(OptInt, before);
    QFETCH(QString, simulate);
    MessageLog log;
    G().PortNumber = before;
    G().PortName = "before";
    {
        frmCommPort dlg;
        QCOMPARE(dlg.Label1->text(), QString("Communication"));
        QVERIFY(dlg.Option1[1]->isChecked());  // nothing kept yet
        dlg.Option1[qMax(option, 1)]->setChecked(true);
        if (option == 3)
            dlg.cboPort->setEditText(value);
        if (option == 4)
            dlg.cboModel->setCurrentText(value);
        if (option == 5) {
            QTest::keyClicks(dlg.txtHost, "gw.example");
            dlg.spnTcpPort->setValue(4002);
            dlg.cboProtocol->setCurrentIndex(1);
        }
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        if (how == "ok")
            QTest::mouseClick(dlg.Command1, Qt::LeftButton);
        else
            how == "close" ? void(dlg.close()) : dlg.reject();
        QVERIFY(!dlg.isVisible());
    }
    QTEST(G().PortNumber, "port");
    if (how == "ok" && option == 4)
        QVERIFY(QFileInfo::exists(G().PortName));  // the simulated module's pty
    else
        QCOMPARE(G().PortName, how == "ok" && (option == 3 || option == 5) ? value : QString("before"));
    frmCommPort::preselectSimulated(simulate);
    frmCommPort next;
    const int keeps = !simulate.isEmpty() ? 4 : how == "ok" ? qMax(option, 1) : 1;
    QVERIFY(next.Option1[keeps]->isChecked());
    QCOMPARE(keeps == 3   ? next.otherPortPath()
             : keeps == 4 ? next.cboModel->currentText()
             : keeps == 5 ? next.networkPort()
                          : "",
             simulate.isEmpty() ? (keeps < 3 ? "" : value) : simulate);
    if (option == 4) {  // the same simulated module again
        const QString pty = G().PortName;
        G().PortName.clear();
        next.Command1_Click();
        QCOMPARE(G().PortName, pty);
    }
    QVERIFY(log.messages.isEmpty());
}

void TestPorts::windowKeepsItsPlace()
{
    MessageLog log;
    Hooks().commPort = [] {};
    QPointer<frmMain> m = MainForm();
    m->show();
    m->setGeometry(60, 70, 700, 520);
    const QRect left = m->geometry();
    m->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m.isNull());
    m = MainForm();
    QCOMPARE(m->geometry(), left);
    m->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Hooks().commPort = nullptr;
}

void TestPorts::findModule()
{
    MessageLog log;
    struct Module {
        const char *model;
        bool silent;
    };
    const Module modules[] = {
        {"QV8_B6", true}, {"QV8_KX5", false}, {"QV8_KX5", true}, {"QV8_L5", false}};
    std::vector<std::unique_ptr<sim::PtyModule>> sims;
    QList<PortEntry> list;
    for (const Module &m : modules) {
        sims.push_back(std::make_unique<sim::PtyModule>(m.model));
        sims.back()->setFaults(faults([&](sim::Faults &x) { x.silent = m.silent; }));
        QVERIFY(sims.back()->start());
        const QString path = sims.back()->portPath();
        list.append({path, path, m.silent ? "Silent adapter" : "USB adapter"});
    }
    PortLister() = [list] { return list; };
    const QString kx5 = list[1].path, l5 = list[3].path;

    frmCommPort dlg;
    QCOMPARE(dlg.cboPort->count(), 4);
    QVERIFY(dlg.cboPort->itemText(0).contains("Silent adapter"));  // what the system knows
    bool waitedResponsively = false;
    QTimer::singleShot(100, [&] {
        waitedResponsively = !dlg.Command1->isEnabled() && !dlg.cmdFind->isEnabled();
    });
    QTest::mouseClick(dlg.cmdFind, Qt::LeftButton);
    QVERIFY(waitedResponsively);
    QVERIFY(dlg.Command1->isEnabled());
    QCOMPARE(dlg.lblFind->text(),
             QString("A module answers on: %1 (QV8_KX5), %2 (QV8_L5)").arg(kx5, l5));
    QVERIFY(dlg.cboPort->itemText(3).contains("QV8_L5 answers"));
    QVERIFY(dlg.Option1[3]->isChecked());
    QCOMPARE(dlg.otherPortPath(), kx5);
    for (const auto &s : sims) {
        const bool answers = s->portPath() == kx5 || s->portPath() == l5;
        QCOMPARE(s->received(), answers ? (QList<QByteArray>{"G01", "I90", "D"})
                                        : QList<QByteArray>{"G01"});
        QSerialPort again(s->portPath());  // nothing holds the port now
        QVERIFY(again.open(QIODevice::ReadWrite));
    }
    dlg.Command1_Click();
    QCOMPARE(G().PortName, kx5);
    QVERIFY(log.messages.isEmpty());
}

void TestPorts::vanishingPort_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<bool>("tcp");  // a network line whose server goes away
    for (const bool tcp : {false, true}) {
        const char *line = tcp ? ", tcp" : "";
        QTest::addRow("idle%s", line) << "" << tcp;
        QTest::addRow("monitoring%s", line) << "mnuMonitorStart" << tcp;
        QTest::addRow("upload%s", line) << "mnuConfigUpload" << tcp;
        QTest::addRow("download%s", line) << "mnuConfigDownload" << tcp;
        QTest::addRow("editor open%s", line) << "mnuConfigFilter" << tcp;
    }
}

void TestPorts::vanishingPort()
{
    QFETCH(QString, work);
    QFETCH(bool, tcp);
    MainFixture f;
    sim::TcpRelay server;
    QString path = f.module().portPath();
    if (tcp) {
        path = QString("127.0.0.1:%1").arg(server.start(0, path));
        usePort("socket://" + path);
    }
    f.connect();
    QVERIFY(G().Connected);
    const auto goAway = [&] { tcp ? server.stop() : f.module().stop(); };
    // at a module's pace, so the work is in the middle when the module goes
    f.module().setPacing(wire());
    f.clearReceived();
    if (work.isEmpty()) {
        goAway();
    } else if (work == "mnuConfigFilter") {
        // the open editor shows the loss at once: Download off, status bar too
        QVERIFY(inWindow<frmTimeCon>([&] { f.click(work); }, [&](frmTimeCon *w) {
            QVERIFY(w->cmdDownload->isEnabled());
            goAway();
            QTRY_COMPARE(f.log.messages.size(), 1);
            QVERIFY(!w->cmdDownload->isEnabled());
            QCOMPARE(f.main()->lblState->text(), QString("Not connected"));
        }));
    } else {
        QTimer::singleShot(300, goAway);
        f.click(work);  // returns when the work has ended
        QVERIFY(!f.module().received().isEmpty());
    }
    QTRY_COMPARE(f.log.messages.size(), 1);
    pump(300);  // nothing follows it
    QCOMPARE(f.log.titles(), QStringList{"Communication"});
    const ShownMessage &m = f.log.messages[0];
    QCOMPARE(m.icon, MsgIcon::Exclamation);
    QVERIFY2(m.text.startsWith("The connection to the module was lost: " +
                               QString(tcp ? "the connection to " : "") + path),
             qPrintable(m.text));
    // disconnected, and the port closed: nothing spins on it
    QVERIFY(!G().Connected && !G().MonitorRun);
    QVERIFY(!f.main()->comm()->lineOpen());
    QCOMPARE(commandState(), QString("not connected"));
    QVERIFY(!menuOn("mnuAdjustment"));
    QCOMPARE(f.main()->lblState->text(), QString("Not connected"));
    // nothing old looks live: identity and values cleared as by Disconnect
    QCOMPARE(f.main()->lblData[1]->text(), QString());
    for (int ch = 1; ch <= 16; ++ch)
        QCOMPARE(analogWindow()->lblReal[ch]->text() + analogWindow()->lblRaw[ch]->text(), QString());

    // the adapter is back: connecting works again
    sim::PtyModule back("QV8_KX5");
    QVERIFY(back.start());
    usePort(back.portPath());
    f.connect();
    QCOMPARE(commandState(), QString("connected"));
    QCOMPARE(f.log.messages.size(), 1);
}

void TestPorts::newLinkInsideTheWorkStays()
{
    // An editor stays open after its download lost the port; connecting
    // again from it keeps the new link when the editor closes.
    MainFixture f;
    f.connect();
    sim::PtyModule back("QV8_KX5");
    QVERIFY(back.start());
    {
        Workflow editor;
        f.module().stop();
        QTRY_COMPARE(f.log.messages.size(), 1);
        usePort(back.portPath());
        QVERIFY(ModuleReads::LinkUp());
    }
    QVERIFY(G().Connected);
    QVERIFY(f.main()->comm()->lineOpen());
    QCOMPARE(f.log.messages.size(), 1);
}

// The status bar says where things stand; the keyboard shortcuts obey the
// commands.
void TestPorts::statusBarAndShortcuts()
{
    MainFixture f;
    frmMain *m = f.main();
    QApplication::setActiveWindow(m);
    QVERIFY(QTest::qWaitForWindowActive(m));
    QCOMPARE(m->lblState->text(), QString("Not connected"));
    QCOMPARE(shown(m->lblPort), QString());
    QCOMPARE(m->menu("mnuMonitorStart")->shortcut(), QKeySequence(Qt::Key_F5));
    // a command that is off says why
    QTRY_COMPARE(m->tb(8)->toolTip(), QString("Upload — Connect to a module first"));
    QCOMPARE(m->menu("mnuMonitorStart")->toolTip(), QString("Connect to a module first"));
    // not connected: the Monitor menu is off, and with it its Start
    QTest::keyClick(m, Qt::Key_F5);
    QVERIFY(!G().MonitorRun);
    QVERIFY(f.received().isEmpty());
    QTest::keyClick(m, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(m->lblState->text(), QString("Connected"));
    QCOMPARE(shown(m->lblPort), "Port: " + f.module().portPath());
    QCOMPARE(shown(m->lblModel), QString("Model: QV8_KX5"));
    f.clearReceived();
    QTest::keyClick(m, Qt::Key_K, Qt::ControlModifier);  // Connect is off now
    QVERIFY(f.received().isEmpty());

    QStringList during;
    QTimer::singleShot(200, [&] {
        during << m->lblState->text() << m->tb(1)->toolTip();
        emit m->findChild<QMenu *>("mnuMonitor")->aboutToShow();
        during << m->lblState->text();
        m->mnuMonitorStart_Click();  // Start in the open menu resumes
        during << m->lblState->text();
        QTest::keyClick(m, Qt::Key_F5, Qt::ShiftModifier);  // Stop
    });
    QTest::keyClick(m, Qt::Key_F5);  // returns when the cycle has ended
    QCOMPARE(during,
             (QStringList{"Monitoring", "Open File — Stop monitoring first",
                          "Paused — choose Monitor ▸ Start to go on", "Monitoring"}));
    QTRY_COMPARE(m->tb(1)->toolTip(), QString("Open File"));
    QVERIFY(!G().MonitorRun);
    QCOMPARE(m->lblState->text(), QString("Connected"));

    f.click("mnuConfigUpload");
    QCOMPARE(m->lblResult->text(), QString("Upload done, 16 channels"));
    QTemporaryDir dir;
    QStringList asked;
    dlgFile().ask = [&](FileDialog::Mode, const QString &title, const QString &) {
        asked << title;
        return asked.size() == 1 ? dir.filePath("plant.qv8") : QString();
    };
    QTest::keyClick(m, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m->lblResult->text(), QString("Saved plant.qv8"));
    QTest::keyClick(m, Qt::Key_S, Qt::ControlModifier);  // Save: the same file, no question
    QTest::keyClick(m, Qt::Key_O, Qt::ControlModifier);  // Open, cancelled
    QCOMPARE(asked, (QStringList{"SaveAs", "Open"}));
    QCOMPARE(m->menu("mnuFileExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    f.click("mnuConnDisConn");
    QCOMPARE(m->lblState->text(), QString("Not connected"));
    QCOMPARE(shown(m->lblPort), QString());
    QVERIFY(f.log.messages.isEmpty());
}

void TestPorts::emptyAreaAndScrolling()
{
    MainFixture f("");
    frmMain *m = f.main();
    QVERIFY(m->lblHint->isVisible());
    QVERIFY(m->lblHint->text().contains("Connect \u25b8 Connect"));
    m->mnuModelModel(1)->trigger();
    QVERIFY(!m->lblHint->isVisible());
    m->resize(420, 320);  // smaller than the monitor window: it scrolls
    QTRY_VERIFY(m->mdi()->verticalScrollBar()->isVisible());
    QVERIFY(m->mdi()->horizontalScrollBar()->maximum() > 0);
}

void TestPorts::japaneseThroughout()
{
    MainFixture f("QV8_KX5", TextLanguage::Japanese);
    const auto ja = [](int id) { return ResStringIn(id, TextLanguage::Japanese); };
    QCOMPARE(f.main()->menu("mnuFile")->text(), ja(1000));
    QCOMPARE(f.main()->menu("mnuConn")->text(), ja(1010) + "(&C)");
    QCOMPARE(f.main()->tb(1)->toolTip(), ja(1018));
    QStringList english = englishIn(f.main());
    frmCommPort port;
    english << englishIn(&port);
    frmDialog question;
    question.lblMsg->setText(Tr("Starting download for All Channels."));
    english << englishIn(&question);
    const QList<QWidget *> windows = {
        form<frmKx5>(),  form<frmL5>(),         form<frmKx7>(),       form<frmB6>(),
        form<frmE6>(),   form<frmH9>(),         form<frmTrace>(),     form<frmTrend>(),
        form<frmCount>(), form<frmCountSet>(),  form<frmCntPreset>(), form<frmZeroSpan>(),
        form<frmSetZeroSpan>(), form<frmSetComp>(), form<frmType>(),  form<frmCJM>(),
        form<frmModSet>(), form<frmModSetKx7>(), form<frmBurnout>(),  form<frmTimeCon>(),
        form<frmLineNoise>(), form<frmAlarm>(), form<frmCompare>(), form<frmReport>()};
    for (QWidget *w : windows)
        english << englishIn(w);
    frmAbout about;
    english << englishIn(&about);
    // file dialogs and message titles
    QStringList asked;
    dlgFile().ask = [&asked](FileDialog::Mode, const QString &title, const QString &filter) {
        asked << title + " " + filter;
        return QString();
    };
    f.main()->menu("mnuFileOpen")->trigger();
    f.main()->menu("mnuFileSaveAs")->trigger();
    form<frmTrace>()->cmdSave_Click();
    dlgFile().ask = nullptr;
    QCOMPARE(asked.size(), 3);
    for (const QString &t : asked)
        QVERIFY2(!t.contains("Files") && !t.contains("Save"), qPrintable(t));
    f.log.clear();
    form<frmTrace>()->SaveTo(QDir::tempPath());
    QVERIFY(!f.log.titles().isEmpty() && !f.log.titles().constFirst().contains("Save"));
    QVERIFY2(english.isEmpty(), qPrintable(english.join(" | ")));

    // Qt's own dialogs speak Japanese too
    const QList<QTranslator *> qt = InstallQtTranslations();
    QCOMPARE(qt.size(), 2);
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != "Cancel");
    for (QTranslator *t : qt) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// At any scale factor (this test also runs at QT_SCALE_FACTOR=2 on a screen
// of 1280x1024): every window on the screen; the trace, the trend and the
// manual windows of their own beside the main window, never over its menu
// bar and toolbar; the progress text whole.
void TestPorts::windowsFit()
{
    MainFixture f;
    frmMain *m = f.main();
    m->show();
    QVERIFY(QTest::qWaitForWindowExposed(m));
    const QRect free = m->screen()->availableGeometry();
    const auto inside = [&free](QWidget *w) {
        QString where;
        QDebug(&where) << w->objectName() << w->frameGeometry() << "in" << free;
        return where;
    };
    QVERIFY2(free.contains(m->frameGeometry()), qPrintable(inside(m)));
    const int workTop = m->centralWidget()->mapToGlobal(QPoint()).y();
    const QRect bars(m->frameGeometry().topLeft(), QPoint(m->frameGeometry().right(), workTop - 1));
    frmTrace::ShowTrace();
    frmTrend::ShowTrend();
    frmHelp::ShowManual(TextLanguage::English);
    for (QWidget *w : QList<QWidget *>{loaded<frmTrace>(), loaded<frmTrend>(), loaded<frmHelp>()}) {
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY2(free.contains(w->frameGeometry()) && !w->frameGeometry().intersects(bars),
                 qPrintable(inside(w)));
        QVERIFY(!w->parentWidget());  // not kept above the main window
    }
    for (QWidget *w :
         QList<QWidget *>{form<frmCJM>(), form<frmModSetKx7>(), form<frmCntPreset>()}) {
        qobject_cast<EditorDialog *>(w)->placeBelowMain();
        QVERIFY2(free.contains(w->frameGeometry()), qPrintable(inside(w)));
        // whole where the screen has room for it
        if (free.height() > w->sizeHint().height() + 80)
            QCOMPARE(w->size(), w->sizeHint());
    }
    MainPanel::instance().showProgress(Tr("Downloading the whole configuration of the module"), 3,
                                       49);
    QProgressBar *p = m->progressBar();
    QTRY_VERIFY(p->isVisible());
    QTRY_VERIFY2(p->width() >= p->fontMetrics().horizontalAdvance(p->text()),
                 qPrintable(p->text()));
    // the port names choose their port
    frmCommPort port;
    port.show();
    QTest::mouseClick(port.Label2[2], Qt::LeftButton);
    QVERIFY(port.Option1[2]->isChecked());
}

QTEST_MAIN(TestPorts)
#include "tst_ports.moc"
