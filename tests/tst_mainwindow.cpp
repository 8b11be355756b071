// The main window, its menus and toolbar, the screen-text walk and the
// small dialogs, offscreen against a simulated module.
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/Settings.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmHelp.h"
#include "app/ui/frmMain.h"
#include "config/frmType.h"
#include "link/Transport.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "tests/support/MainFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

namespace {

const ShownMessage kNoModel{"No Model", "Type set", MsgIcon::None};

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

    void startup();
    void stopWithoutCycleReturnsToStoppedSet();
    void formTextSet();

    // ---- small dialogs
    void confirmDialog_data();
    void confirmDialog();
    void aboutBox();

    // ---- handlers
    void helpOpensTheManual_data();
    void helpOpensTheManual();
    void manualHasEverySection();
    void monitorMenuPauses();
    void modelMenu();
    void disconnectWithoutModel();

    // ---- end
    void exit_data();
    void exit();
};

// The window as it opens: caption, size, menu captions, toolbar, enabling.
void TestMainWindow::startup()
{
    MainFixture f;
    frmMain *m = f.main();
    QCOMPARE(m->windowTitle(), QString("KAVIX"));
    // 800 x 573, a little narrower on the test's screen only 800 wide: its frame must fit
    QVERIFY2(m->height() == 573 && m->width() <= 800 && m->width() > 780,
             qPrintable(QString::number(m->width())));
    const QStringList captions = {
        "mnuFile=File(&F)", "mnuFileOpen=Open(&O)", "mnuFileSave=Save(&S)",
        "mnuFileSaveAs=SaveAs(&A)", "mnuFileExit=End(&X)", "mnuConn=&Connect",
        "mnuConnConn=&Connect", "mnuConnDisConn=&DisConnect", "mnuModel=&Model",
        "mnuConfig=Confi&guration", "mnuConfigModBus=&Modbus", "mnuConfigBurnout=&Burnout Type",
        "mnuConfigFilter=&Filter Time Const.", "mnuConfigLineNoise=&Line Noise Filter",
        "mnuConfigCJM=C&JM", "mnuConfigCount=&Count Set", "mnuConfigUpload=&Upload",
        "mnuConfigDownload=&Download", "mnuConfigCompare=Compare &with Module...",
        "mnuConfigVerify=&Verify after download", "mnuFileCompare=&Compare Files...",
        "mnuFileReport=Commissioning &Report...",
        "mnuMonitor=M&onitor", "mnuMonitorStart=&Start",
        "mnuMonitorStop=S&top", "mnuAdjustment=&Adjustment", "mnuAdjZeroSpan=&Zero/Span",
        "mnuAdjComp=&Compensation", "mnuAlarm=A&larm", "mnuAlarmOutput=&Alarm Output",
        "mnuSpace1=", "mnuHelp=Help(&H)", "mnuHelpIndex=Index(&C)",
        "mnuHelpContents=Contents(&S)", "mnuHelpContentsEnglish=&English",
        "mnuHelpContentsJapanese=&Japanese", "mnuHelpAbout=Version(&A)"};
    for (const QString &c : captions) {
        QAction *a = m->menu(c.section('=', 0, 0));
        QVERIFY2(a, qPrintable(c));
        QCOMPARE(a->objectName() + "=" + a->text(), c);
    }
    for (int item = 1; item <= 3; ++item)
        QCOMPARE(m->mnuModelModel(item)->text(), QStringList({"&KX5", "&L5", "K&X7"})[item - 1]);

    // what each does, and why it is off when it is
    const QString connect = " — Connect to a module first";
    const QStringList tools = {"Open=Open File", "Save=Save", "SaveAs=Save As", "",
                               "MonitorStart=Start" + connect,
                               "MonitorStop=Stop — Monitoring is not running", "",
                               "ConfigUpload=Upload" + connect,
                               "ConfigDownload=Download" + connect, "", "HelpContent=Help"};
    auto *bar = m->findChild<QToolBar *>("tbToolbar");
    QVERIFY(bar);
    QList<QAction *> shown = bar->actions();
    QCOMPARE(shown.takeAt(9), m->menu("mnuConfigCompare"));  // beside Upload and Download
    QCOMPARE(shown.size(), 11);
    for (int pos = 1; pos <= 11; ++pos) {
        QAction *a = m->tb(pos);
        QCOMPARE(shown.at(pos - 1), a);
        if (a->isSeparator()) {
            QCOMPARE(tools[pos - 1], QString());
            continue;
        }
        QCOMPARE(a->data().toString() + "=" + a->toolTip(), tools[pos - 1]);
        QCOMPARE(m->tbByKey(a->data().toString()), a);
    }
    QCOMPARE(m->tbByKey("NoSuchKey"), nullptr);
    m->tbToolbar_ButtonClick("NoSuchKey");  // does nothing

    QCOMPARE(commandState(), QString("at start"));
    for (const char *on : {"mnuFile", "mnuConn", "mnuConfigModBus", "mnuConfigBurnout",
                           "mnuConfigFilter", "mnuConfigLineNoise", "mnuConfigUpload",
                           "mnuConfigDownload", "mnuHelp"})
        QVERIFY2(menuOn(on), on);
    for (const char *off : {"mnuAdjustment", "mnuAlarm", "mnuConfigCJM", "mnuConfigCount"})
        QVERIFY2(!menuOn(off), off);
    for (int pos : {1, 2, 3, 11})
        QVERIFY2(toolOn(pos), qPrintable(QString::number(pos)));
    QVERIFY(!m->comm()->Timer1.isActive());
    QCOMPARE(m->comm()->Timer1.interval(), 2000);
    QVERIFY(f.log.messages.isEmpty());
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
    QCOMPARE(commandState(), QString("connected"));
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
    QList<QWidget *> shown;  // designed text and tag
    for (const auto &[text, tag] : QList<QPair<const char *, const char *>>{
             {"designed", ""}, {"x", "2005"}, {"btn", "2027"}, {"keep", "0"},
             {"unknown", "9999"}, {"lead", "2028 trailing"}}) {
        shown << (shown.size() < 2 ? static_cast<QWidget *>(new QLabel(text, &w))
                                   : new QPushButton(text, &w));
        if (*tag)
            setTag(shown.last(), tag);
    }
    auto *tipped = new QPushButton("tip", &w);
    tipped->setToolTip("1018");
    auto *menu = new QMenu(&w);
    for (const char *text : {"1043", "English", "9999"})
        menu->addAction(text);

    FormTextSet(&w);

    QCOMPARE(w.windowTitle(), QString("Version Kavix"));
    QStringList texts;
    for (QWidget *x : shown)
        texts << (qobject_cast<QLabel *>(x) ? qobject_cast<QLabel *>(x)->text()
                                            : qobject_cast<QPushButton *>(x)->text());
    for (QAction *a : menu->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{"designed", "Serial Number", "Upload", "keep", "unknown",
                                 "Download", "Start", "English", "9999"}));
    QCOMPARE(tipped->toolTip(), QString("Open File"));
}

// Only OK says yes, whatever an earlier question was answered.
void TestMainWindow::confirmDialog_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"ok", "cancel", "close", "escape"})
        QTest::newRow(how) << how;
}

void TestMainWindow::confirmDialog()
{
    QFETCH(QString, how);
    G().DialogOK = how != "ok";
    frmDialog dlg;
    QCOMPARE(dlg.windowTitle(), QString("DOWNLOAD"));
    dlg.lblMsg->setText("Starting download for Burnout Type.");
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    if (how == "ok" || how == "cancel")
        QTest::mouseClick(how == "ok" ? dlg.OKButton : dlg.CancelButton, Qt::LeftButton);
    else if (how == "close")
        dlg.close();
    else
        QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(G().DialogOK, how == "ok");
}

void TestMainWindow::aboutBox()
{
    frmAbout about;
    QCOMPARE(QStringList({about.windowTitle(), about.lblName[1]->text(), about.lblTitle[1]->text(),
                          about.lblTitle[2]->text(), about.lblTitle[3]->text(),
                          about.cmdOK->text()}),
             QStringList({"Version Kavix", "1.5", "Version", "Orvane", "KAVIX", "&OK"}));
}

using HelpAction = std::function<void(MainFixture &)>;

void TestMainWindow::helpOpensTheManual_data()
{
    QTest::addColumn<HelpAction>("open");
    QTest::addColumn<QString>("section");
    const auto menu = [](const char *name) {
        return HelpAction([name](MainFixture &f) { f.click(name); });
    };
    QTest::newRow("Index") << menu("mnuHelpIndex") << "index";
    QTest::newRow("English") << menu("mnuHelpContentsEnglish") << "";
    QTest::newRow("Japanese") << menu("mnuHelpContentsJapanese") << "";
    QTest::newRow("toolbar")
        << HelpAction([](MainFixture &f) { f.main()->tbByKey("HelpContent")->trigger(); }) << "";
    QTest::newRow("F1") << HelpAction([](MainFixture &f) {
        f.main()->show();
        f.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main()));
        QTest::keyClick(f.main(), Qt::Key_F1);
    }) << "";
    // F1 in an editor: its own section
    QTest::newRow("F1 in the type editor") << HelpAction([](MainFixture &f) {
        f.connectWith();
        QVERIFY(inWindow<frmType>([] { form<frmKx5>()->cmdCh[3]->click(); },
                                  [](frmType *w) { QTest::keyClick(w, Qt::Key_F1); }));
    }) << "frmType";
    // ... shown modally: the manual is usable beside it, and stays when it closes
    QTest::newRow("F1 in a modal editor") << HelpAction([](MainFixture &f) {
        f.connectWith();
        QPointer<QWidget> owner;
        QTimer::singleShot(300, [&owner] {
            QWidget *editor = QApplication::activeModalWidget();
            QTest::keyClick(editor, Qt::Key_F1);
            owner = loaded<frmHelp>()->parentWidget();
            editor->close();
        });
        form<frmKx5>()->cmdCh[3]->click();
        QVERIFY(owner && owner->objectName() == "frmType");
        QVERIFY(!loaded<frmHelp>()->parentWidget());
    }) << "frmType";
}

void TestMainWindow::helpOpensTheManual()
{
    QFETCH(HelpAction, open);
    MainFixture f;
    open(f);
    QTRY_VERIFY(loaded<frmHelp>() && loaded<frmHelp>()->isVisible());
    const QUrl shown = loaded<frmHelp>()->txtManual->source();
    const bool japanese = QTest::currentDataTag() == QString("Japanese");
    QCOMPARE(shown.fileName(), japanese ? "ja.html" : "en.html");
    QTEST(shown.fragment(), "section");
    QVERIFY(f.log.messages.isEmpty());
    unload<frmHelp>();
}

// Every window F1 can be pressed in has its section, in both languages.
void TestMainWindow::manualHasEverySection()
{
    for (const char *page : {":/doc/manual/en.html", ":/doc/manual/ja.html"}) {
        form<frmHelp>();  // loads the manual into the resources
        QFile file(page);
        QVERIFY2(file.open(QIODevice::ReadOnly), page);
        const QString html = QString::fromUtf8(file.readAll());
        for (const char *window :
             {"frmType", "frmCJM", "frmModSet", "frmModSetKx7", "frmBurnout", "frmTimeCon",
              "frmLineNoise", "frmAlarm", "frmCount", "frmCountSet", "frmCntPreset", "frmZeroSpan",
              "frmSetZeroSpan", "frmSetComp", "frmCommPort", "frmTrace", "frmTrend", "frmCompare",
              "frmReport"})
            QVERIFY2(html.contains(QString("<a name=\"%1\">").arg(frmHelp::sectionOf(window))),
                     qPrintable(QString(page) + " " + window));
    }
    // followed to the other language's page, Contents stays in that language
    frmHelp *help = form<frmHelp>();
    help->txtManual->setSource(QUrl("qrc:/doc/manual/ja.html#frmType"));
    help->cmdContents->click();
    QCOMPARE(help->txtManual->source().toString(), QString("qrc:/doc/manual/ja.html#contents"));
    unload<frmHelp>();
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
    for (int item : {3, 1, 2, 3}) {
        f.main()->mnuModelModel(item)->trigger();
        flushDeletes();
        // the kind, and which of the KX5, L5 and KX7 windows is loaded
        QCOMPARE(QString("%1 %2%3%4")
                     .arg(orZero(G().ModelKind))
                     .arg(bool(loaded<frmKx5>()))
                     .arg(bool(loaded<frmL5>()))
                     .arg(bool(loaded<frmKx7>())),
                 (QStringList{"1 100", "2 010", "6 001"}[item - 1]));
    }
    QVERIFY(loaded<frmKx7>()->isVisible());
    QVERIFY(f.log.messages.isEmpty());
}

void TestMainWindow::disconnectWithoutModel()
{
    MainFixture f;
    const auto rows = [&] {
        QString t;
        for (int row = 1; row <= 6; ++row)
            t += f.main()->lblTitle[row]->text() + f.main()->lblData[row]->text();
        return t;
    };
    for (int row = 1; row <= 6; ++row)
        MainPanel::instance().setRow(row, "title", "data");
    QString atMessage = "no message";
    Hooks().msgBox = [&](const QString &text, const QString &title, MsgIcon icon) {
        atMessage = rows();
        f.log.messages.append({text, title, icon});
    };
    G().ModelKind.reset();
    f.main()->mnuConnDisConn_Click();
    QCOMPARE(f.log.messages.last(), kNoModel);
    QCOMPARE(atMessage, QString());  // the rows are already empty when the message shows
    QCOMPARE(rows(), QString());
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
        QVERIFY(f.main()->comm()->lineOpen());
        QObject::connect(f.main()->comm()->line(), &QIODevice::aboutToClose,
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
