#include "tests/support/MainFixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/EditorDialog.h"
#include "app/ui/Forms.h"
#include "app/ui/Settings.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"
#include "link/Ports.h"
#include "workflows/ModuleReads.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {
// The choices a test keeps go to a folder of this test process: never the
// user's, never another test's running beside it.
void ownSettingsFolder()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(ownSettingsFolder)

MainFixture::MainFixture(const QString &model, TextLanguage language)
{
    AppEnding() = false;
    QuietAfterPortLoss() = false;
    // kept choices go to a test location, never the user's own, and every
    // test starts without any
    QStandardPaths::setTestModeEnabled(true);
    Settings().clear();
    setTextLanguage(language);
    if (!model.isEmpty()) {
        module_ = startedModule(model);
        usePort(module_->portPath());
    } else {
        Hooks().commPort = [] {};
    }
    frmDialog::answer = [this](const QString &message) {
        questions << message;
        return answer;
    };
    main_ = MainForm();
    main_->show();
}

MainFixture::~MainFixture()
{
    if (FormRegistry::instance().find(typeid(frmMain)))
        main_->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmDialog::answer = nullptr;
    EditorDialog::script() = nullptr;
    dlgFile() = FileDialog{};
    Hooks().commPort = nullptr;
    PortLister() = nullptr;
    PortFactsSeam() = nullptr;
    if (module_)
        module_->stop();
    AppEnding() = false;
    setTextLanguage(TextLanguage::English);
}

void MainFixture::click(const QString &menuName)
{
    main_->menu(menuName)->trigger();
}

void MainFixture::connect()
{
    click("mnuConnConn");
}

void MainFixture::connectWith(const QStringList &pins)
{
    pin(pins);
    connect();
    clearReceived();
    log.clear();
}

void MainFixture::afterExchange(std::function<bool()> pred, std::function<void()> act)
{
    auto fired = std::make_shared<bool>(false);
    QObject::connect(main_->comm(), &LinkHost::exchangeEnded, main_, [=] {
        if (*fired || !pred())
            return;
        *fired = true;
        act();
    });
}

void MainFixture::afterLines(int n, std::function<void()> act)
{
    afterExchange([this, n] { return received().size() >= n; }, std::move(act));
}

bool MainFixture::startAndWait(int limitMs)
{
    bool overran = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        overran = true;
        if (FormRegistry::instance().find(typeid(frmMain)))
            main_->mnuMonitorStop_Click();
    });
    guard.start(limitMs);
    click("mnuMonitorStart");
    return !overran;
}

bool menuOn(const QString &name)
{
    return MainForm()->menu(name)->isEnabled();
}

bool toolOn(int position)
{
    return MainForm()->tb(position)->isEnabled();
}

QString commandState()
{
    static const QStringList names = {"mnuConfig", "mnuMonitor",    "mnuMonitorStart",
                                      "mnuMonitorStop", "mnuModel", "mnuConnConn",
                                      "mnuConnDisConn", "tb4",      "tb5",
                                      "tb6",            "tb8",      "tb9"};
    static const QList<QPair<QString, QStringList>> states = {
        {"at start", {"mnuConfig", "mnuModel", "mnuConnConn"}},
        {"not connected", {"mnuModel", "mnuConnConn"}},
        {"connected", {"mnuConfig", "mnuMonitor", "mnuMonitorStart", "mnuConnDisConn", "tb4",
                       "tb5", "tb8", "tb9"}},
        {"monitoring", {"mnuMonitor", "mnuMonitorStop", "tb6"}}};
    QStringList on;
    for (const QString &name : names)
        if (name.startsWith("tb") ? toolOn(name.mid(2).toInt()) : menuOn(name))
            on << name;
    for (const auto &s : states)
        if (s.second == on)
            return s.first;
    return "on: " + on.join(' ');
}

AnalogMonitor *analogWindow()
{
    return ModuleReads::AnalogWindow(orZero(G().ModelKind));
}

void scripted(const std::function<void()> &open, std::function<void(EditorDialog *)> drive)
{
    EditorDialog::script() = std::move(drive);
    open();
    EditorDialog::script() = nullptr;
}
