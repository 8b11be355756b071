#include "app/ui/frmMain.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/PassSamples.h"
#include "app/Messages.h"
#include "app/ui/Entry.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/Icons.h"
#include "app/ui/Settings.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmHelp.h"
#include "compare/ui/frmCompare.h"
#include "report/ui/frmReport.h"
#include "config/Transfer.h"
#include "files/ui/FileOps.h"
#include "link/Communication.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "files/CsvLog.h"
#include "monitor/frmTrace.h"
#include "monitor/frmTrend.h"
#include "workflows/Logging.h"
#include "workflows/ModuleReads.h"
#include "workflows/frmLoading.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const char *const kCaption = "KAVIX";

// A menu's name as the user reads it, without its access key.
QString plain(int id)
{
    return LoadResString(id).remove(QRegularExpression("\\(&.\\)")).remove('&');
}
}

frmMain *MainForm()
{
    return form<frmMain>();
}

frmMain::frmMain()
{
    setObjectName("frmMain");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(Icons::program());
    comm_ = new LinkHost(this);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("mdiArea");
    mdi_->setBackground(QColor(0x6d, 0x7b, 0x8d));
    // a main window smaller than the data window scrolls it
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    DataArea() = mdi_;
    setCentralWidget(mdi_);

    buildMenus();
    buildToolbar();
    buildPanel();
    progress_ = new QProgressBar;
    progress_->setObjectName("progress");
    progress_->setTextVisible(true);
    statusBar()->addPermanentWidget(progress_);
    progress_->hide();
    buildStatus();

    // The commands and the panel are shown as the unit below holds them.
    Commands &cmd = Commands::instance();
    cmd.reset();
    for (auto it = menus_.cbegin(); it != menus_.cend(); ++it)
        cmd.track(it.key());
    for (int i = 1; i <= 3; ++i)
        cmd.track(modelItems_[i]->objectName());
    for (int pos = 1; pos <= 11; ++pos)
        cmd.track(Commands::tb(pos));
    // comparing reads what an upload reads: offered when an upload is
    cmd.follow("mnuConfigCompare", "mnuConfigUpload");
    for (auto it = menus_.cbegin(); it != menus_.cend(); ++it)
        if (auto *menu = qobject_cast<QMenu *>(it.value()->parent()))
            if (menu->menuAction() != it.value())
                cmd.setMenuOf(it.key(), menu->objectName());
    for (int i = 1; i <= 3; ++i)
        cmd.setMenuOf(modelItems_[i]->objectName(), "mnuModel");
    for (const char *help : {"mnuHelp", "mnuHelpIndex", "mnuHelpContents",
                             "mnuHelpContentsEnglish", "mnuHelpContentsJapanese", "mnuHelpAbout"})
        cmd.letIn(QString::fromLatin1(help));
    cmd.letIn(Commands::tb(11));
    for (const char *look : {"mnuView", "mnuViewTrace", "mnuViewTrend", "mnuMonitorLog"})
        cmd.letIn(QString::fromLatin1(look));
    connect(&CsvLog::instance(), &CsvLog::runningChanged, menus_.value("mnuMonitorLog"),
            &QAction::setChecked);
    connect(&cmd, &Commands::changed, this, &frmMain::showCommand);
    connect(&cmd, &Commands::idle, this, [this] {
        if (endRequested_)
            endProgram();
    });
    MainPanel &panel = MainPanel::instance();
    panel.reset();
    connect(&panel, &MainPanel::rowChanged, this, &frmMain::showRow);
    connect(&panel, &MainPanel::progressChanged, this,
            [this](const QString &what, int done, int total) {
                progress_->setRange(0, total);
                progress_->setValue(done);
                progress_->setFormat(what + "  %p%");
                // wide enough for the whole text at 100 %, whatever the font
                const QString widest = what + "  100%";
                progress_->setMinimumWidth(progress_->fontMetrics().horizontalAdvance(widest) +
                                           progress_->fontMetrics().averageCharWidth() * 4);
                progress_->show();
            });
    connect(&panel, &MainPanel::progressHidden, progress_, &QWidget::hide);
    // The title names the configuration in hand: its file, else the model.
    const auto showTitle = [this] {
        const MainPanel &panel = MainPanel::instance();
        QString name = QFileInfo(panel.fileName()).fileName();
        if (name.isEmpty())
            name = panel.data(1).isEmpty() ? panel.data(0) : panel.data(1);
        // edited and not downloaded
        if (!name.isEmpty() && panel.edited())
            name += " *";
        setWindowTitle(name.isEmpty() ? QString(kCaption) : QString("%1 - %2").arg(kCaption, name));
    };
    connect(&panel, &MainPanel::editsChanged, this, showTitle);
    connect(&panel, &MainPanel::fileNameChanged, this, showTitle);
    connect(&panel, &MainPanel::rowChanged, this, showTitle);
    connect(&panel, &MainPanel::statusChanged, this, &frmMain::showStatus);
    connect(&panel, &MainPanel::rowChanged, this, &frmMain::showStatus);

    // Start: texts, size, state, idle enabling.
    FormTextSet(this);
    addMnemonics();
    resize(tw(12000), tw(8600));
    // the size and place the user left it in
    if (const QByteArray geometry = Settings().value("window/geometry").toByteArray();
        !geometry.isEmpty())
        restoreGeometry(geometry);
    // on this screen, at this scale: the size left on another may not fit
    KeepOnScreen(this);

    InitData();
    G().CommForm = comm_;
    MainLink() = comm_;
    comm_->Timer1.stop();
    comm_->Timer1.setInterval(2000);
    cmd.set({{"tb6", false}, {"mnuConfigCJM", false}, {"mnuConfigCount", false},
             {"mnuAlarm", false}});
    // contacts are switched only while monitoring
    cmd.set("frmB6.cmdOut", false);
    cmd.set({{"mnuConfig", true},
             {"mnuMonitor", false},
             {"mnuAdjustment", false},
             {"mnuConnConn", true},
             {"mnuConnDisConn", false},
             {"tb4", false},
             {"tb5", false},
             {"tb8", false},
             {"tb9", false}});

    if (!Hooks().commPort)
        Hooks().commPort = [] { frmCommPort::CommPort(); };
    // A connection that is lost returns the window to the disconnected state.
    Hooks().linkLost = [](bool wasConnected) {
        if (wasConnected)
            frmLoading::DisConnecting();
    };
    // A pulled cable clears what Disconnect clears: no old value looks live.
    Hooks().portGone = [] {
        MainPanel::instance().clearRows();
        ModuleReads::ClearLiveValues(orZero(G().ModelKind));
    };
    showStatus();
}

frmMain::~frmMain()
{
    if (G().CommForm == comm_)
        G().CommForm = nullptr;
    if (MainLink() == comm_)
        MainLink() = nullptr;
    if (DataArea() == mdi_)
        DataArea() = nullptr;
}

QAction *frmMain::addItem(QMenu *m, const QString &name, const QString &caption)
{
    QAction *a = m->addAction(caption);
    a->setObjectName(name);
    menus_.insert(name, a);
    return a;
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto top = [&](const QString &name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(name);
        m->setToolTipsVisible(true);  // an item that is off says why
        m->menuAction()->setObjectName(name);
        menus_.insert(name, m->menuAction());
        return m;
    };
    auto on = [this](QAction *a, void (frmMain::*f)()) {
        connect(a, &QAction::triggered, this, [this, f] { (this->*f)(); });
    };

    QMenu *file = top("mnuFile", "1000");
    on(addItem(file, "mnuFileOpen", "1002"), &frmMain::mnuFileOpen_Click);
    on(addItem(file, "mnuFileSave", "1004"), &frmMain::mnuFileSave_Click);
    on(addItem(file, "mnuFileSaveAs", "1005"), &frmMain::mnuFileSaveAs_Click);
    on(addItem(file, "mnuFileCompare", Tr("Compare Files...")), &frmMain::mnuFileCompare_Click);
    on(addItem(file, "mnuFileReport", Tr("Commissioning Report...")), &frmMain::mnuFileReport_Click);
    file->addSeparator()->setObjectName("mnuFileBar0");
    on(addItem(file, "mnuFileExit", "1012"), &frmMain::mnuFileExit_Click);

    QMenu *conn = top("mnuConn", "1010");
    on(addItem(conn, "mnuConnConn", "1010"), &frmMain::mnuConnConn_Click);
    on(addItem(conn, "mnuConnDisConn", "1011"), &frmMain::mnuConnDisConn_Click);

    QMenu *model = top("mnuModel", "1037");
    const char *models[] = {"", "KX5", "L5", "KX7"};
    for (int i = 1; i <= 3; ++i) {
        QAction *a = model->addAction(models[i]);
        a->setObjectName(QString("mnuModelModel(%1)").arg(i));
        modelItems_[i] = a;
        connect(a, &QAction::triggered, this, [this, i] { mnuModelModel_Click(i); });
    }

    QMenu *config = top("mnuConfig", "1045");
    on(addItem(config, "mnuConfigModBus", "1036"), &frmMain::mnuConfigModBus_Click);
    config->addSeparator()->setObjectName("mnuConfigBar0");
    on(addItem(config, "mnuConfigBurnout", "2036"), &frmMain::mnuConfigBurnout_Click);
    on(addItem(config, "mnuConfigFilter", "2048"), &frmMain::mnuConfigFilter_Click);
    on(addItem(config, "mnuConfigLineNoise", "2049"), &frmMain::mnuConfigLineNoise_Click);
    on(addItem(config, "mnuConfigCJM", "1040"), &frmMain::mnuConfigCJM_Click);
    config->addSeparator()->setObjectName("mnuConfigBar2");
    on(addItem(config, "mnuConfigCount", "1048"), &frmMain::mnuConfigCount_Click);
    config->addSeparator()->setObjectName("mnuConfigBar1");
    on(addItem(config, "mnuConfigUpload", "2027"), &frmMain::mnuConfigUpload_Click);
    on(addItem(config, "mnuConfigDownload", "2028"), &frmMain::mnuConfigDownload_Click);
    QAction *compare = addItem(config, "mnuConfigCompare", Tr("Compare with Module..."));
    compare->setIcon(Icons::toolbar("ConfigCompare"));
    compare->setToolTip(Tr("Compare with Module"));
    on(compare, &frmMain::mnuConfigCompare_Click);
    QAction *verify = addItem(config, "mnuConfigVerify", Tr("Verify after download"));
    verify->setCheckable(true);
    VerifyAfterDownload() = Settings().value("transfer/verifyAfterDownload", false).toBool();
    verify->setChecked(VerifyAfterDownload());
    connect(verify, &QAction::toggled, this, [](bool on) {
        VerifyAfterDownload() = on;
        Settings().setValue("transfer/verifyAfterDownload", on);
    });

    QMenu *monitor = top("mnuMonitor", "1042");
    connect(monitor, &QMenu::aboutToShow, this, &frmMain::mnuMonitor_Open);
    on(addItem(monitor, "mnuMonitorStart", "1043"), &frmMain::mnuMonitorStart_Click);
    on(addItem(monitor, "mnuMonitorStop", "1044"), &frmMain::mnuMonitorStop_Click);
    monitor->addSeparator()->setObjectName("mnuMonitorBar0");
    QAction *log = addItem(monitor, "mnuMonitorLog", Tr("Log to CSV..."));
    log->setCheckable(true);
    on(log, &frmMain::mnuMonitorLog_Click);

    QMenu *adj = top("mnuAdjustment", "1046");
    on(addItem(adj, "mnuAdjZeroSpan", "1047"), &frmMain::mnuAdjZeroSpan_Click);
    on(addItem(adj, "mnuAdjComp", "1041"), &frmMain::mnuAdjComp_Click);

    QMenu *alarm = top("mnuAlarm", "2112");
    on(addItem(alarm, "mnuAlarmOutput", "2113"), &frmMain::mnuAlarmOutput_Click);

    // windows that only look at the line and the values: open at any time
    QMenu *view = top("mnuView", Tr("View(&V)"));
    QAction *trace = addItem(view, "mnuViewTrace", Tr("Line Trace"));
    trace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(trace, &QAction::triggered, this, [] { frmTrace::ShowTrace(); });
    QAction *trend = addItem(view, "mnuViewTrend", Tr("Trend Plot"));
    trend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(trend, &QAction::triggered, this, [] { frmTrend::ShowTrend(); });

    QAction *space = bar->addAction(QString());
    space->setObjectName("mnuSpace1");
    menus_.insert("mnuSpace1", space);

    QMenu *help = top("mnuHelp", "1013");
    on(addItem(help, "mnuHelpIndex", "1014"), &frmMain::mnuHelpIndex_Click);
    QMenu *contents = help->addMenu("1015");
    contents->setObjectName("mnuHelpContents");
    contents->setToolTipsVisible(true);
    contents->menuAction()->setObjectName("mnuHelpContents");
    menus_.insert("mnuHelpContents", contents->menuAction());
    connect(addItem(contents, "mnuHelpContentsEnglish", "English"), &QAction::triggered, this,
            [] { frmHelp::ShowManual(TextLanguage::English); });
    connect(addItem(contents, "mnuHelpContentsJapanese", "Japanese"), &QAction::triggered, this,
            [] { frmHelp::ShowManual(TextLanguage::Japanese); });
    help->addSeparator()->setObjectName("mnuHelpBar0");
    on(addItem(help, "mnuHelpAbout", "1016"), &frmMain::mnuHelpAbout_Click);
}

void frmMain::buildToolbar()
{
    toolbar_ = addToolBar(Tr("Toolbar"));
    toolbar_->setObjectName("tbToolbar");
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(24, 24));
    struct Button {
        const char *key;
        const char *tip;
    };
    const Button buttons[12] = {{},
                                {"Open", "1018"},
                                {"Save", "1019"},
                                {"SaveAs", "1017"},
                                {nullptr, nullptr},
                                {"MonitorStart", "1043"},
                                {"MonitorStop", "1044"},
                                {nullptr, nullptr},
                                {"ConfigUpload", "2027"},
                                {"ConfigDownload", "2028"},
                                {nullptr, nullptr},
                                {"HelpContent", "1020"}};
    for (int pos = 1; pos <= 11; ++pos) {
        QAction *a;
        if (!buttons[pos].key) {
            a = toolbar_->addSeparator();
        } else {
            const QString key = buttons[pos].key;
            a = toolbar_->addAction(Icons::toolbar(key), QString());
            a->setData(key);
            a->setProperty("tip", LoadResString(QString(buttons[pos].tip).toInt()));
            a->setToolTip(a->property("tip").toString());
            a->setObjectName("tb" + key);
            connect(a, &QAction::triggered, this, [this, key] { tbToolbar_ButtonClick(key); });
        }
        toolbarItems_[pos] = a;
    }
    // beside Upload and Download, on and off with Upload
    toolbar_->insertAction(toolbarItems_[10], menus_.value("mnuConfigCompare"));
}

void frmMain::buildPanel()
{
    auto *picCommon = new QWidget;
    picCommon->setObjectName("picCommon");
    picCommon->setFixedWidth(tw(3000));
    setBackColor(picCommon, QColor(0xf4, 0xf5, 0xf7));
    auto *v = new QVBoxLayout(picCommon);
    v->setContentsMargins(10, 12, 10, 12);
    v->setSpacing(2);

    auto *Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setPixmap(Icons::module().pixmap(96, 96));
    Image1->setAlignment(Qt::AlignHCenter);
    v->addWidget(Image1);
    auto *Label2 = new QLabel("Orvane");
    Label2->setObjectName("Label2");
    Label2->setAlignment(Qt::AlignHCenter);
    QFont big = Label2->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    Label2->setFont(big);
    v->addWidget(Label2);

    lblData[0] = new QLabel;
    lblData[0]->setObjectName("lblData(0)");
    lblData[0]->setAlignment(Qt::AlignHCenter);
    lblData[0]->setTextFormat(Qt::PlainText);
    QFont suffix = lblData[0]->font();
    suffix.setPointSize(suffix.pointSize() + 6);
    suffix.setBold(true);
    lblData[0]->setFont(suffix);
    setForeColor(lblData[0], QColor(0x1d, 0x4e, 0x89));
    v->addWidget(lblData[0]);
    v->addSpacing(10);

    for (int row = 1; row <= 6; ++row) {
        lblTitle[row] = new QLabel;
        lblTitle[row]->setObjectName(QString("lblTitle(%1)").arg(row));
        setForeColor(lblTitle[row], QColor(0x55, 0x5d, 0x66));
        QFont small = lblTitle[row]->font();
        small.setPointSize(qMax(7, small.pointSize() - 1));
        lblTitle[row]->setFont(small);
        lblData[row] = new QLabel;
        lblData[row]->setObjectName(QString("lblData(%1)").arg(row));
        lblData[row]->setTextFormat(Qt::PlainText);
        lblData[row]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = lblData[row]->font();
        bold.setBold(true);
        lblData[row]->setFont(bold);
        lblData[row]->setMinimumHeight(18);
        v->addWidget(lblTitle[row]);
        v->addWidget(lblData[row]);
        v->addSpacing(6);
    }
    v->addStretch(1);

    auto *dock = new QWidget;
    auto *h = new QHBoxLayout(dock);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    h->addWidget(picCommon);
    h->addWidget(mdi_, 1);
    setCentralWidget(dock);
}

void frmMain::buildStatus()
{
    const auto label = [this](const char *name, int stretch) {
        auto *l = new QLabel;
        l->setObjectName(name);
        l->setTextFormat(Qt::PlainText);  // ports and models come from outside
        l->setContentsMargins(4, 0, 14, 0);
        statusBar()->addWidget(l, stretch);
        return l;
    };
    lblState = label("lblState", 0);
    lblPort = label("lblPort", 0);
    lblModel = label("lblModel", 0);
    lblSource = label("lblSource", 0);
    lblResult = label("lblResult", 1);

    // How to begin, on the empty work area.
    lblHint = new QLabel(mdi_->viewport());
    lblHint->setObjectName("lblHint");
    lblHint->setAlignment(Qt::AlignCenter);
    lblHint->setWordWrap(true);
    lblHint->setMargin(24);
    lblHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    setForeColor(lblHint, QColor(0xf4, 0xf5, 0xf7));
    QFont f = lblHint->font();
    f.setPointSizeF(f.pointSizeF() * 1.15);
    lblHint->setFont(f);
    lblHint->setText(Tr("Not connected.\n\nTo work with a module, choose %1 \u25b8 %2.\n"
                        "To prepare a configuration file without a module, choose a model in "
                        "the %3 menu, or open a file with %4 \u25b8 %5.")
                         .arg(plain(1010), plain(1010), plain(1037), plain(1000), plain(1002)));
    mdi_->viewport()->installEventFilter(this);
    showStatus();
}

void frmMain::showStatus()
{
    if (!lblState)
        return;
    const MainPanel &panel = MainPanel::instance();
    // the pause outlasts the menu that made it: say how to end it
    static const char *const states[] = {"Not connected", "Connected", "Monitoring",
                                         "Paused \u2014 choose %1 \u25b8 %2 to go on"};
    QString state = Tr(states[int(panel.linkState())]);
    if (panel.linkState() == MainPanel::LinkState::Paused)
        state = state.arg(plain(1042), plain(1043));
    lblState->setText(state);
    QString port = panel.port();
    if (const QString model = frmCommPort::simulatedModelAt(port); !model.isEmpty())
        port = Tr("simulated %1 (%2)").arg(model, port);
    for (int n : {1, 2})
        if (!port.isEmpty() && port == PortDevice(QString(), n))
            port = QString("COM%1 (%2)").arg(n).arg(port);
    lblPort->setText(port.isEmpty() ? QString() : Tr("Port: %1").arg(port));
    lblPort->setVisible(!port.isEmpty());
    const QString model = panel.data(1).isEmpty() ? panel.data(0) : panel.data(1);
    lblModel->setText(model.isEmpty() ? QString() : Tr("Model: %1").arg(model));
    lblModel->setVisible(!model.isEmpty());
    lblSource->setText(panel.configSource());
    lblSource->setVisible(!panel.configSource().isEmpty());
    lblResult->setText(panel.lastResult());

    bool dataWindow = false;
    for (QMdiSubWindow *sub : mdi_->subWindowList())
        dataWindow = dataWindow || sub->isVisible();
    lblHint->setVisible(panel.linkState() == MainPanel::LinkState::NotConnected && !dataWindow);
}

bool frmMain::eventFilter(QObject *o, QEvent *e)
{
    if (lblHint && o == mdi_->viewport() && e->type() == QEvent::Resize)
        lblHint->setGeometry(mdi_->viewport()->rect());
    return QMainWindow::eventFilter(o, e);
}

void frmMain::addMnemonics()
{
    // Latin captions get the letter marked where it stands, the others
    // (Japanese) get it behind them, as the table's own captions do: "(&C)".
    const auto mark = [](QAction *a, char key) {
        const QString text = a->text();
        if (text.isEmpty() || text.contains('&'))
            return;
        const int at = text.indexOf(QLatin1Char(key), 0, Qt::CaseInsensitive);
        a->setText(at >= 0 ? QString(text).insert(at, '&')
                           : QString("%1(&%2)").arg(text, QChar(key)));
    };
    const std::pair<const char *, char> keys[] = {
        {"mnuConn", 'C'},          {"mnuConnConn", 'C'},        {"mnuConnDisConn", 'D'},
        {"mnuModel", 'M'},         {"mnuConfig", 'G'},          {"mnuConfigModBus", 'M'},
        {"mnuConfigBurnout", 'B'}, {"mnuConfigFilter", 'F'},    {"mnuConfigLineNoise", 'L'},
        {"mnuConfigCJM", 'J'},     {"mnuConfigCount", 'C'},     {"mnuConfigUpload", 'U'},
        {"mnuConfigDownload", 'D'}, {"mnuConfigCompare", 'W'},  {"mnuConfigVerify", 'V'},
        {"mnuFileCompare", 'C'},   {"mnuFileReport", 'R'},      {"mnuMonitor", 'O'},
        {"mnuMonitorStart", 'S'},
        {"mnuMonitorStop", 'T'},   {"mnuAdjustment", 'A'},      {"mnuAdjZeroSpan", 'Z'},
        {"mnuAdjComp", 'C'},       {"mnuAlarm", 'L'},           {"mnuAlarmOutput", 'A'},
        {"mnuHelpContentsEnglish", 'E'}, {"mnuHelpContentsJapanese", 'J'},
        {"mnuMonitorLog", 'L'},    {"mnuViewTrace", 'L'},       {"mnuViewTrend", 'T'}};
    for (const auto &[name, key] : keys)
        mark(menu(name), key);
    mark(modelItems_[1], 'K');
    mark(modelItems_[2], 'L');
    mark(modelItems_[3], 'X');

    // A shortcut acts only while its command does: a disabled action (its
    // menu off, or a workflow running) ignores it.
    const std::pair<const char *, QKeySequence> shortcuts[] = {
        {"mnuConnConn", QKeySequence(Qt::CTRL | Qt::Key_K)},
        {"mnuConnDisConn", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)},
        {"mnuMonitorStart", QKeySequence(Qt::Key_F5)},
        {"mnuMonitorStop", QKeySequence(Qt::SHIFT | Qt::Key_F5)},
        {"mnuConfigUpload", QKeySequence(Qt::CTRL | Qt::Key_U)},
        {"mnuConfigDownload", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"mnuConfigCompare", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"mnuFileOpen", QKeySequence(QKeySequence::Open)},
        {"mnuFileSave", QKeySequence(QKeySequence::Save)},
        {"mnuFileSaveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"mnuFileExit", QKeySequence(Qt::CTRL | Qt::Key_Q)}};
    for (const auto &[name, keys] : shortcuts)
        menu(name)->setShortcut(keys);
    // F1: the manual in the language of the screens; in another window, its section
    menu(textLanguage() == TextLanguage::Japanese ? "mnuHelpContentsJapanese"
                                                 : "mnuHelpContentsEnglish")
        ->setShortcut(QKeySequence(QKeySequence::HelpContents));
    static bool helpKey = false;
    if (!std::exchange(helpKey, true))
        frmHelp::installF1(QCoreApplication::instance());
}

QAction *frmMain::menu(const QString &name) const
{
    QAction *a = menus_.value(name);
    Q_ASSERT_X(a, "frmMain::menu", qPrintable(name));
    return a;
}

QAction *frmMain::tbByKey(const QString &key) const
{
    for (int pos = 1; pos <= 11; ++pos)
        if (toolbarItems_[pos]->data().toString() == key)
            return toolbarItems_[pos];
    return nullptr;
}

QAction *frmMain::command(const QString &name) const
{
    if (QAction *a = menus_.value(name))
        return a;
    if (name.startsWith("mnuModelModel("))
        return modelItems_.at(qBound(1, name.mid(14, 1).toInt(), 3));
    if (name.startsWith("tb"))
        if (const int pos = name.mid(2).toInt(); pos >= 1 && pos <= 11)
            return toolbarItems_[pos];
    return nullptr;
}

void frmMain::showCommand(const QString &name, bool enabled)
{
    if (QAction *a = command(name)) {
        a->setEnabled(enabled);
        showWhy(name);
    }
    // why another command is off may have changed with this one
    if (!tipsPending_) {
        tipsPending_ = true;
        QTimer::singleShot(0, this, [this] {
            tipsPending_ = false;
            for (const QString &name : Commands::instance().names())
                showWhy(name);
        });
    }
}

void frmMain::showWhy(const QString &name)
{
    QAction *a = command(name);
    if (!a || a->isSeparator())
        return;
    // a toolbar button says what it does, and when off, why
    const QString tip = a->property("tip").toString();
    const QString why = Commands::instance().why(name);
    a->setToolTip(why.isEmpty() ? tip : tip.isEmpty() ? why : tip + " — " + why);
}

void frmMain::showRow(int row)
{
    const MainPanel &panel = MainPanel::instance();
    if (row > 0)
        lblTitle[row]->setText(panel.title(row));
    lblData[row]->setText(panel.data(row));
}

// ---- handlers

void frmMain::mnuFileOpen_Click()
{
    Workflow w;
    FileOpen();
}

void frmMain::mnuFileSave_Click()
{
    Workflow w;
    FileSave();
}

void frmMain::mnuFileSaveAs_Click()
{
    Workflow w;
    FileSaveAs();
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::mnuConnConn_Click()
{
    Workflow w;
    G().MenuPause = true;
    comm_->Timer1.stop();
    frmLoading::Connecting();
}

void frmMain::mnuConnDisConn_Click()
{
    Workflow w;
    frmLoading::DisConnecting();
    MainPanel::instance().clearRows();
    // the link is closed all the same: this only informs
    if (!ModuleReads::ClearLiveValues(orZero(G().ModelKind)))
        MsgBox(Tr("No Model"), Tr("Type set"), MsgIcon::None, MsgOutcome::Note);
}

void frmMain::mnuModelModel_Click(int i)
{
    Workflow w;
    if (i < 1 || i > 3)
        return;
    // A new configuration of the kind's defaults, every value of it shown:
    // nothing of the module used before goes into a file prepared now.
    const int kind = i == 3 ? 6 : i;
    if (kind != 1)
        unload<frmKx5>();
    if (kind != 2)
        unload<frmL5>();
    if (kind != 6)
        unload<frmKx7>();
    ModuleReads::AnalogWindow(kind);  // its first load resets the channels: before the defaults
    NewConfiguration(kind);
    ConfigNew(modelItems_.at(i)->text().remove('&'));
    G().FileMode = true;
    ModuleReads::ShowKindWindow(kind);
    Outcome::done();
}

void frmMain::mnuConfigModBus_Click() { Workflow w; Editors::ModSet(); }
void frmMain::mnuConfigBurnout_Click() { Workflow w; Editors::BurnoutSet(); }
void frmMain::mnuConfigFilter_Click() { Workflow w; Editors::FilterSet(); }
void frmMain::mnuConfigLineNoise_Click() { Workflow w; Editors::LineNoiseSet(); }
void frmMain::mnuConfigCJM_Click() { Workflow w; Editors::CJM(); }
void frmMain::mnuConfigCount_Click() { Workflow w; Editors::CounterOptions(); }
void frmMain::mnuAdjZeroSpan_Click() { Workflow w; Editors::ZeroSpan(); }
void frmMain::mnuAdjComp_Click() { Workflow w; Editors::SetComp(); }
void frmMain::mnuAlarmOutput_Click() { Workflow w; Editors::AlarmSet(); }

void frmMain::mnuConfigUpload_Click()
{
    Workflow w;
    Upload();
}

void frmMain::mnuConfigDownload_Click()
{
    Workflow w;
    Download();
}

void frmMain::mnuConfigCompare_Click()
{
    Workflow w;
    OpenEditor(&frmCompare::CompareModule);
}

void frmMain::mnuFileCompare_Click()
{
    Workflow w;
    OpenEditor(&frmCompare::CompareFiles);
}

void frmMain::mnuFileReport_Click()
{
    Workflow w;
    OpenEditor(&frmReport::Report);
}

void frmMain::mnuMonitor_Open()
{
    // The menu's pause belongs to the monitoring cycle alone: any other
    // work waiting for a reply keeps its time-out.
    if (!G().MonitorRun)
        return;
    G().MenuPause = true;
    comm_->Timer1.stop();
    PassSamples::interrupt();  // the plot shows the pause as a gap
    MainPanel::instance().setLinkState(MainPanel::LinkState::Paused);
    // a paused cycle can be resumed from the menu
    Commands::instance().set("mnuMonitorStart", true);
}

void frmMain::endMenuPause()
{
    G().MenuPause = false;
    comm_->Timer1.start();
    if (G().MonitorRun)
        MainPanel::instance().setLinkState(MainPanel::LinkState::Monitoring);
    emit Commands::instance().wake();
}

void frmMain::mnuMonitorStart_Click()
{
    endMenuPause();
    if (Commands::instance().workflowRunning()) {
        // Start in the menu of a paused cycle resumes it; nothing new
        // starts under a running workflow
        Commands::instance().set("mnuMonitorStart", false);
        return;
    }
    Workflow w;
    frmLoading::Starting();
    frmLoading::Monitoring();
    frmLoading::Stopping();
}

void frmMain::mnuMonitorStop_Click()
{
    endMenuPause();
    if (G().MonitorRun) {
        G().MonitorRun = false;
        Commands::instance().set("mnuMonitorStart", false);
    } else if (!Commands::instance().workflowRunning()) {
        Workflow w;
        frmLoading::Stopping();
    }
}

void frmMain::mnuMonitorLog_Click()
{
    // a choice in the Monitor menu ends the pause its opening made
    if (G().MonitorRun && G().MenuPause) {
        endMenuPause();
        Commands::instance().set("mnuMonitorStart", false);
    }
    Logging::LogToCsv();
    menus_.value("mnuMonitorLog")->setChecked(Logging::CsvOn());
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::mnuHelpIndex_Click()
{
    frmHelp::ShowManual(textLanguage(), "index");
}

void frmMain::tbToolbar_ButtonClick(const QString &key)
{
    if (key == "Open") {
        mnuFileOpen_Click();
    } else if (key == "Save") {
        mnuFileSave_Click();
    } else if (key == "SaveAs") {
        mnuFileSaveAs_Click();
    } else if (key == "MonitorStart") {
        mnuMonitorStart_Click();
    } else if (key == "MonitorStop") {
        mnuMonitorStop_Click();
    } else if (key == "ConfigUpload") {
        // disabled while its upload runs, so it cannot start twice
        Commands::instance().set("tb8", false);
        mnuConfigUpload_Click();
        Commands::instance().set("tb8", true);
    } else if (key == "ConfigDownload") {
        mnuConfigDownload_Click();
    } else if (key == "HelpContent") {
        frmHelp::ShowManual(textLanguage());
    }
}

// ---- end

void frmMain::endProgram()
{
    endRequested_ = false;
    closing_ = true;
    close();
}

bool frmMain::event(QEvent *e)
{
    // Live values change with every reply; painting them more often than
    // the eye can follow only takes time from the line. Repaints of the
    // whole frame are held to about 25 a second, none is ever lost.
    if (e->type() == QEvent::UpdateRequest) {
        constexpr int kFrameMs = 40;
        if (lastPaint_.isValid() && lastPaint_.elapsed() < kFrameMs) {
            if (!paintPending_) {
                paintPending_ = true;
                QTimer::singleShot(kFrameMs - int(lastPaint_.elapsed()), this, [this] {
                    paintPending_ = false;
                    QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest),
                                                Qt::LowEventPriority);
                });
            }
            return true;
        }
        lastPaint_.start();
    }
    return QMainWindow::event(e);
}

void frmMain::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // once the window system has put its frame around it, all of it on the screen
    if (!std::exchange(framed_, true))
        QTimer::singleShot(0, this, [this] { KeepOnScreen(this); });
}

void frmMain::closeEvent(QCloseEvent *e)
{
    if (Commands::instance().workflowRunning()) {
        // A workflow is on the stack: let it unwind first (every wait now
        // gives up at once), then close.
        AppEnding() = true;
        endRequested_ = true;
        comm_->abortExchange();
        emit Commands::instance().wake();
        e->ignore();
        return;
    }
    if (isVisible())
        Settings().setValue("window/geometry", saveGeometry());
    CommClose();
    FormRegistry::instance().unloadAllBut(this);
    FormRegistry::instance().remove(this);
    Hooks().linkLost = nullptr;
    Hooks().portGone = nullptr;
    e->accept();
}
