// The main window, its menus and toolbar, the screen-text walk and the
// small dialogs, offscreen against a simulated module.
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/Settings.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "tests/support/MainFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

const ShownMessage kNoModel{"No Model", "Type set", MsgIcon::None};
const ShownMessage kNotSupported{"Not supported.", "KAVIX", MsgIcon::Information};

void flushDeletes()
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // kept choices in a test location, none at the start of a test
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { Settings().clear(); }

    // ---- menu tree and toolbar
    void menuCaptions_data();
    void menuCaptions();
    void windowCaptionAndSize();
    void toolbarLayout();

    // ---- enabling
    void idleEnabling();
    void stopWithoutCycleReturnsToStoppedSet();

    // ---- screen texts
    void formTextSet();
    void stringTableComplete();

    // ---- small dialogs
    void portDialog_data();
    void portDialog();
    void portDialogSimulatedModuleIsShared();
    void confirmDialog_data();
    void confirmDialog();
    void aboutBox();

    // ---- handlers
    void helpNotSupported_data();
    void helpNotSupported();
    void monitorMenuPauses();
    void modelMenu();
    void disconnectWithoutModel();

    // ---- end
    void exit_data();
    void exit();
};

void TestMainWindow::menuCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<QPair<const char *, const char *>> items = {
        {"mnuFile", "File(&F)"},
        {"mnuFileOpen", "Open(&O)"},
        {"mnuFileSave", "Save(&S)"},
        {"mnuFileSaveAs", "SaveAs(&A)"},
        {"mnuFileExit", "End(&X)"},
        {"mnuConn", "&Connect"},
        {"mnuConnConn", "&Connect"},
        {"mnuConnDisConn", "&DisConnect"},
        {"mnuModel", "&Model"},
        {"mnuConfig", "Confi&guration"},
        {"mnuConfigModBus", "&Modbus"},
        {"mnuConfigBurnout", "&Burnout Type"},
        {"mnuConfigFilter", "&Filter Time Const."},
        {"mnuConfigLineNoise", "&Line Noise Filter"},
        {"mnuConfigCJM", "C&JM"},
        {"mnuConfigCount", "&Count Set"},
        {"mnuConfigUpload", "&Upload"},
        {"mnuConfigDownload", "&Download"},
        {"mnuMonitor", "M&onitor"},
        {"mnuMonitorStart", "&Start"},
        {"mnuMonitorStop", "S&top"},
        {"mnuAdjustment", "&Adjustment"},
        {"mnuAdjZeroSpan", "&Zero/Span"},
        {"mnuAdjComp", "&Compensation"},
        {"mnuAlarm", "A&larm"},
        {"mnuAlarmOutput", "&Alarm Output"},
        {"mnuSpace1", ""},
        {"mnuHelp", "Help(&H)"},
        {"mnuHelpIndex", "Index(&C)"},
        {"mnuHelpContents", "Contents(&S)"},
        {"mnuHelpContentsEnglish", "&English"},
        {"mnuHelpContentsJapanese", "&Japanese"},
        {"mnuHelpAbout", "Version(&A)"},
        {"mnuModelModel(1)", "&KX5"},
        {"mnuModelModel(2)", "&L5"},
        {"mnuModelModel(3)", "K&X7"},
    };
    for (const auto &i : items)
        QTest::newRow(i.first) << QString(i.first) << QString(i.second);
}

void TestMainWindow::menuCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    MainFixture f;
    QAction *a = nullptr;
    if (name.startsWith("mnuModelModel("))
        a = f.main()->mnuModelModel(name.mid(14, 1).toInt());
    else
        a = f.main()->menu(name);
    QVERIFY(a);
    QCOMPARE(a->objectName(), name);
    QCOMPARE(a->text(), caption);
}

void TestMainWindow::windowCaptionAndSize()
{
    MainFixture f;
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX"));
    QCOMPARE(f.main()->size(), QSize(800, 573));
}

void TestMainWindow::toolbarLayout()
{
    MainFixture f;
    const QList<QPair<const char *, const char *>> expected = {
        {"Open", "Open File"}, {"Save", "Save"},  {"SaveAs", "Save As"}, {nullptr, nullptr},
        {"MonitorStart", "Start"}, {"MonitorStop", "Stop"}, {nullptr, nullptr},
        {"ConfigUpload", "Upload"}, {"ConfigDownload", "Download"}, {nullptr, nullptr},
        {"HelpContent", "Help"}};
    auto *bar = f.main()->findChild<QToolBar *>("tbToolbar");
    QVERIFY(bar);
    QCOMPARE(bar->actions().size(), 11);
    for (int pos = 1; pos <= 11; ++pos) {
        QAction *a = f.main()->tb(pos);
        QCOMPARE(bar->actions().at(pos - 1), a);
        const auto &e = expected[pos - 1];
        if (!e.first) {
            QVERIFY2(a->isSeparator(), qPrintable(QString::number(pos)));
            continue;
        }
        QVERIFY(!a->isSeparator());
        QCOMPARE(a->data().toString(), QString(e.first));
        QCOMPARE(a->toolTip(), QString(e.second));
        QCOMPARE(f.main()->tbByKey(e.first), a);
    }
    QCOMPARE(f.main()->tbByKey("NoSuchKey"), nullptr);
    // an unknown key does nothing
    f.main()->tbToolbar_ButtonClick("NoSuchKey");
    QVERIFY(f.log.messages.isEmpty());
}

void TestMainWindow::idleEnabling()
{
    MainFixture f;
    for (const char *on : {"mnuFile", "mnuConn", "mnuConnConn", "mnuModel", "mnuConfig",
                           "mnuConfigModBus", "mnuConfigBurnout", "mnuConfigFilter",
                           "mnuConfigLineNoise", "mnuConfigUpload", "mnuConfigDownload",
                           "mnuHelp"})
        QVERIFY2(menuOn(on), on);
    for (const char *off : {"mnuMonitor", "mnuAdjustment", "mnuAlarm", "mnuConfigCJM",
                            "mnuConfigCount", "mnuConnDisConn"})
        QVERIFY2(!menuOn(off), off);
    for (int pos : {1, 2, 3, 11})
        QVERIFY2(toolOn(pos), qPrintable(QString::number(pos)));
    for (int pos : {4, 5, 6, 8, 9})
        QVERIFY2(!toolOn(pos), qPrintable(QString::number(pos)));
    QVERIFY(!f.main()->comm()->Timer1.isActive());
    QCOMPARE(f.main()->comm()->Timer1.interval(), 2000);
}

void TestMainWindow::stopWithoutCycleReturnsToStoppedSet()
{
    MainFixture f;
    f.connect();
    QVERIFY(!G().MonitorRun);
    f.main()->mnuMonitorStop_Click();
    QCOMPARE(G().MenuPause, false);
    for (int pos = 1; pos <= 11; ++pos)
        QCOMPARE(toolOn(pos), pos != 6);
    QVERIFY(menuOn("mnuMonitorStart"));
    QVERIFY(!menuOn("mnuMonitorStop"));
    QVERIFY(f.log.messages.isEmpty());
    // without a model Stopping says so
    G().ModelKind.reset();
    f.main()->mnuMonitorStop_Click();
    QCOMPARE(f.log.messages, QList<ShownMessage>{kNoModel});
}

void TestMainWindow::formTextSet()
{
    QWidget w;
    setTag(&w, "1029");
    auto *plain = new QLabel("designed", &w);
    auto *tagged = new QLabel("x", &w);
    setTag(tagged, "2005");
    auto *upload = new QPushButton("btn", &w);
    setTag(upload, "2027");
    auto *zero = new QPushButton("keep", &w);
    setTag(zero, "0");
    auto *unknown = new QPushButton("unknown", &w);
    setTag(unknown, "9999");
    auto *tipped = new QPushButton("tip", &w);
    tipped->setToolTip("1018");
    auto *leading = new QPushButton("lead", &w);
    setTag(leading, "2028 trailing");
    auto *menu = new QMenu(&w);
    QAction *start = menu->addAction("1043");
    QAction *english = menu->addAction("English");
    QAction *missing = menu->addAction("9999");

    FormTextSet(&w);

    QCOMPARE(w.windowTitle(), QString("Version Kavix"));
    QCOMPARE(plain->text(), QString("designed"));
    QCOMPARE(tagged->text(), QString("Serial Number"));
    QCOMPARE(upload->text(), QString("Upload"));
    QCOMPARE(zero->text(), QString("keep"));
    QCOMPARE(unknown->text(), QString("unknown"));
    QCOMPARE(tipped->toolTip(), QString("Open File"));
    QCOMPARE(leading->text(), QString("Download"));
    QCOMPARE(start->text(), QString("Start"));
    QCOMPARE(english->text(), QString("English"));
    QCOMPARE(missing->text(), QString("9999"));
}

void TestMainWindow::stringTableComplete()
{
    QList<int> expected;
    for (int id = 1000; id <= 1025; ++id)
        if (id != 1001 && id != 1003 && (id < 1006 || id > 1009))
            expected << id;
    expected << 1029 << 1030 << 1031;
    for (int id = 1036; id <= 1048; ++id)
        expected << id;
    for (int id = 2000; id <= 2009; ++id)
        expected << id;
    for (int id = 2013; id <= 2049; ++id)
        expected << id;
    for (int id = 2100; id <= 2113; ++id)
        expected << id;
    for (int id = 3000; id <= 3011; ++id)
        expected << id;
    QCOMPARE(ResStringIds(), expected);
    for (int id : expected) {
        const QString en = ResStringIn(id, TextLanguage::English);
        const QString ja = ResStringIn(id, TextLanguage::Japanese);
        QVERIFY2(!en.isEmpty(), qPrintable(QString::number(id)));
        QVERIFY2(!ja.isEmpty(), qPrintable(QString::number(id)));
    }
    QCOMPARE(ResStringIn(2027, TextLanguage::English), QString("Upload"));
    QCOMPARE(ResStringIn(3011, TextLanguage::English), QString("Span Adj. Setting Incomplete"));
    QVERIFY(ResStringIn(9999, TextLanguage::English).isEmpty());
    setTextLanguage(TextLanguage::Japanese);
    QCOMPARE(LoadResString(1043), ResStringIn(1043, TextLanguage::Japanese));
    setTextLanguage(TextLanguage::English);
    QCOMPARE(LoadResString(1043), QString("Start"));
}

void TestMainWindow::portDialog_data()
{
    QTest::addColumn<QString>("how");    // ok, close (the close box), reject (Escape)
    QTest::addColumn<int>("option");     // 0: untouched
    QTest::addColumn<OptInt>("before");
    QTest::addColumn<OptInt>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("untouched") << "ok" << 0 << OptInt() << OptInt(1) << "before";
    QTest::newRow("COM1") << "ok" << 1 << OptInt() << OptInt(1) << "before";
    QTest::newRow("COM2") << "ok" << 2 << OptInt() << OptInt(2) << "before";
    QTest::newRow("other") << "ok" << 3 << OptInt() << OptInt(3) << "/dev/ttyXYZ9";
    // closing it leaves the port as it was
    QTest::newRow("2, close") << "close" << 2 << OptInt(2) << OptInt(2) << "before";
    QTest::newRow("2, reject") << "reject" << 1 << OptInt(2) << OptInt(2) << "before";
    QTest::newRow("empty, close") << "close" << 2 << OptInt() << OptInt() << "before";
    QTest::newRow("empty, reject") << "reject" << 2 << OptInt() << OptInt() << "before";
}

void TestMainWindow::portDialog()
{
    QFETCH(QString, how);
    QFETCH(int, option);
    QFETCH(OptInt, before);
    QFETCH(OptInt, port);
    QFETCH(QString, name);
    G().PortNumber = before;
    G().PortName = "before";
    frmCommPort dlg;
    QVERIFY(dlg.Option1[1]->isChecked());
    QCOMPARE(dlg.Label1->text(), QString("Communication"));
    if (option > 0)
        dlg.Option1[option]->setChecked(true);
    if (option == 3)
        dlg.cboPort->setCurrentText("/dev/ttyXYZ9");
    QVERIFY(dlg.Option1[option > 0 ? option : 1]->isChecked());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    if (how == "ok")
        QTest::mouseClick(dlg.Command1, Qt::LeftButton);
    else if (how == "close")
        dlg.close();
    else
        dlg.reject();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(G().PortNumber, port);
    QCOMPARE(G().PortName, name);
}

void TestMainWindow::portDialogSimulatedModuleIsShared()
{
    MessageLog log;
    QString first;
    for (int round = 0; round < 2; ++round) {
        G().PortNumber = 1;
        G().PortName.clear();
        frmCommPort dlg;
        dlg.cboModel->setCurrentText("QV8_L5");
        dlg.Option1[4]->setChecked(true);
        dlg.Command1_Click();
        QCOMPARE(G().PortNumber, OptInt(3));
        QVERIFY(QFileInfo::exists(G().PortName));
        if (round == 0)
            first = G().PortName;
        else
            QCOMPARE(G().PortName, first);
    }
    QVERIFY(log.messages.isEmpty());
}

void TestMainWindow::confirmDialog_data()
{
    // only OK says yes, whatever an earlier question was answered
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");
    QTest::newRow("OK") << "ok" << false << true;
    for (const char *how : {"cancel", "close", "escape", "reject", "script none"})
        QTest::newRow(how) << how << true << false;
}

void TestMainWindow::confirmDialog()
{
    QFETCH(QString, how);
    QFETCH(bool, before);
    QFETCH(bool, after);
    G().DialogOK = before;
    if (how == "script none") {
        QString asked;
        frmDialog::answer = [&asked](const QString &m) {
            asked = m;
            return std::optional<bool>();
        };
        frmDialog::Dialog("Starting download for All Channels.");
        frmDialog::answer = nullptr;
        QCOMPARE(asked, QString("Starting download for All Channels."));
        QCOMPARE(G().DialogOK, after);
        return;
    }
    frmDialog dlg;
    QCOMPARE(dlg.windowTitle(), QString("DOWNLOAD"));
    dlg.lblMsg->setText("Starting download for Burnout Type.");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    if (how == "ok")
        QTest::mouseClick(dlg.OKButton, Qt::LeftButton);
    else if (how == "cancel")
        QTest::mouseClick(dlg.CancelButton, Qt::LeftButton);
    else if (how == "close")
        dlg.close();
    else if (how == "escape")
        QTest::keyClick(&dlg, Qt::Key_Escape);
    else
        dlg.reject();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(G().DialogOK, after);
}

void TestMainWindow::aboutBox()
{
    frmAbout about;
    QCOMPARE(about.windowTitle(), QString("Version Kavix"));
    QCOMPARE(about.lblName[1]->text(), QString("1.5"));
    QCOMPARE(about.lblTitle[1]->text(), QString("Version"));
    QCOMPARE(about.lblTitle[2]->text(), QString("Orvane"));
    QCOMPARE(about.lblTitle[3]->text(), QString("KAVIX"));
    QCOMPARE(about.cmdOK->text(), QString("OK"));
}

void TestMainWindow::helpNotSupported_data()
{
    QTest::addColumn<QString>("menu");
    QTest::newRow("index") << "mnuHelpIndex";
    QTest::newRow("contents English") << "mnuHelpContentsEnglish";
    QTest::newRow("contents Japanese") << "mnuHelpContentsJapanese";
    QTest::newRow("toolbar") << "";
}

void TestMainWindow::helpNotSupported()
{
    QFETCH(QString, menu);
    MainFixture f;
    if (menu.isEmpty())
        f.main()->tbByKey("HelpContent")->trigger();
    else
        f.click(menu);
    QCOMPARE(f.log.messages, QList<ShownMessage>{kNotSupported});
}

void TestMainWindow::monitorMenuPauses()
{
    MainFixture f;
    G().MenuPause = false;
    f.main()->comm()->Timer1.start();
    auto *monitor = f.main()->findChild<QMenu *>("mnuMonitor");
    QVERIFY(monitor);
    // the pause belongs to the cycle: without one the time-out runs on
    emit monitor->aboutToShow();
    QCOMPARE(G().MenuPause, false);
    QVERIFY(f.main()->comm()->Timer1.isActive());
    G().MonitorRun = true;
    emit monitor->aboutToShow();
    QCOMPARE(G().MenuPause, true);
    QVERIFY(!f.main()->comm()->Timer1.isActive());
    // closing the menu without a choice keeps the pause
    emit monitor->aboutToHide();
    QCOMPARE(G().MenuPause, true);
    QVERIFY(!f.main()->comm()->Timer1.isActive());
    G().MonitorRun = false;
}

void TestMainWindow::modelMenu()
{
    MainFixture f;
    struct Step {
        int item;
        int kind;
        bool kx5, l5, kx7;
    };
    const Step steps[] = {{3, 6, false, false, true},
                          {1, 1, true, false, false},
                          {2, 2, false, true, false},
                          {3, 6, false, false, true}};
    for (const Step &s : steps) {
        f.main()->mnuModelModel(s.item)->trigger();
        flushDeletes();
        const QString at = QString("item %1").arg(s.item);
        QVERIFY2(G().ModelKind == OptInt(s.kind), qPrintable(at));
        QVERIFY2(bool(loaded<frmKx5>()) == s.kx5, qPrintable(at));
        QVERIFY2(bool(loaded<frmL5>()) == s.l5, qPrintable(at));
        QVERIFY2(bool(loaded<frmKx7>()) == s.kx7, qPrintable(at));
    }
    QVERIFY(loaded<frmKx7>()->isVisible());
    QVERIFY(f.log.messages.isEmpty());
}

void TestMainWindow::disconnectWithoutModel()
{
    MainFixture f;
    for (int row = 1; row <= 6; ++row) {
        f.main()->lblTitle[row]->setText("title");
        f.main()->lblData[row]->setText("data");
    }
    QStringList seen;
    Hooks().msgBox = [&](const QString &text, const QString &title, MsgIcon icon) {
        // the rows are already empty when the message shows
        for (int row = 1; row <= 6; ++row)
            if (!f.main()->lblTitle[row]->text().isEmpty() ||
                !f.main()->lblData[row]->text().isEmpty())
                seen << QString("row %1 not cleared").arg(row);
        f.log.messages.append({text, title, icon});
    };
    G().ModelKind.reset();
    f.main()->mnuConnDisConn_Click();
    QCOMPARE(f.log.messages.last(), kNoModel);
    QVERIFY2(seen.isEmpty(), qPrintable(seen.join(", ")));
    for (int row = 1; row <= 6; ++row) {
        QVERIFY(f.main()->lblTitle[row]->text().isEmpty());
        QVERIFY(f.main()->lblData[row]->text().isEmpty());
    }
}

void TestMainWindow::exit_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("idle") << "idle";
    QTest::newRow("connected") << "connected";
    // the close box: the File menu is off while monitoring
    QTest::newRow("monitoring") << "monitoring";
}

void TestMainWindow::exit()
{
    QFETCH(QString, state);
    MainFixture f;
    QPointer<frmMain> m = f.main();
    f.main()->mnuModelModel(1)->trigger();
    QVERIFY(loaded<frmKx5>());
    bool portClosed = false;
    if (state != "idle") {
        f.connect();
        QVERIFY(f.main()->comm()->MSComm1.isOpen());
        QObject::connect(&f.main()->comm()->MSComm1, &QIODevice::aboutToClose,
                         [&portClosed] { portClosed = true; });
    }
    if (state == "monitoring") {
        bool ranDuringCycle = false;
        QTimer::singleShot(300, [&] {
            ranDuringCycle = G().MonitorRun;
            if (m)
                m->close();
        });
        f.click("mnuMonitorStart");  // returns only when the cycle has ended
        QVERIFY(ranDuringCycle);
        QVERIFY(!G().MonitorRun);
    } else {
        f.click("mnuFileExit");
    }
    QCOMPARE(portClosed, state != "idle");
    flushDeletes();
    QTRY_VERIFY(m.isNull());
    QCOMPARE(FormRegistry::instance().find(typeid(frmMain)), nullptr);
    QCOMPARE(loaded<frmKx5>(), nullptr);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
