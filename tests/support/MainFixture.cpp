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

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
#include <QTimer>

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
        module_ = std::make_unique<sim::PtyModule>(model);
        QString error;
        if (!module_->start(&error))
            qFatal("cannot start simulated module: %s", qPrintable(error));
        const QString path = module_->portPath();
        Hooks().commPort = [path] {
            G().PortNumber = 3;
            G().PortName = path;
        };
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

QStringList MainFixture::received()
{
    QStringList out;
    for (const QByteArray &line : module_->received())
        out << QString::fromLatin1(line);
    return out;
}

void MainFixture::click(const QString &menuName)
{
    main_->menu(menuName)->trigger();
}

void MainFixture::connect()
{
    click("mnuConnConn");
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
