#include "app/Commands.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"

Commands &Commands::instance()
{
    static Commands commands;
    return commands;
}

Commands::Commands()
{
    reset();
}

void Commands::reset()
{
    state_.clear();
    menuOf_.clear();
    follows_.clear();
    letIn_.clear();
    // End and the Monitor menu's pause and Stop belong to the running work.
    for (const char *name : {"mnuFile", "mnuFileExit", "mnuMonitor", "mnuMonitorStop",
                             "frmB6.cmdOut"})
        letIn_.insert(QString::fromLatin1(name));
    letIn_.insert(tb(6));
    announceAll();
}

bool Commands::enabled(const QString &name) const
{
    if (!state(name))
        return false;
    if (depth_ > 0 && !letIn_.contains(name))
        return false;
    const auto menu = menuOf_.constFind(name);
    return menu == menuOf_.cend() || enabled(*menu);
}

QString Commands::why(const QString &name) const
{
    if (enabled(name))
        return QString();
    const AppState &s = G();
    const auto any = [&name](std::initializer_list<const char *> names) {
        for (const char *n : names)
            if (name == QLatin1String(n))
                return true;
        return false;
    };
    const bool stop = any({"mnuMonitorStop", "tb6"});
    if (s.MonitorRun && !stop)
        return Tr("Stop monitoring first");
    if (depth_ > 0 && !letIn_.contains(name))
        return Tr("Wait until the work in progress ends");
    if (state(name)) {
        const auto menu = menuOf_.constFind(name);
        return menu != menuOf_.cend() ? why(*menu) : QString();
    }
    if (stop)
        return Tr("Monitoring is not running");
    if (name == QLatin1String("frmB6.cmdOut"))
        return Tr("Outputs are switched only while monitoring");
    if (s.Connected && (any({"mnuConnConn", "mnuModel"}) || name.startsWith("mnuModelModel")))
        return Tr("Disconnect first");
    if (!s.Connected && any({"mnuConnDisConn", "mnuMonitor", "mnuMonitorStart", "mnuAdjustment",
                             "mnuAdjZeroSpan", "mnuAdjComp", "mnuConfigUpload",
                             "mnuConfigDownload", "tb4", "tb5", "tb8", "tb9"}))
        return Tr("Connect to a module first");
    if (!s.ModelKind)
        return Tr("Connect to a module, open a file or choose a model first");
    return Tr("Not available for this model");
}

void Commands::set(const QString &name, bool on)
{
    if (state_.contains(name) && state_.value(name) == on)
        return;
    state_.insert(name, on);
    announce(name);
    // the items of a menu follow it, and the commands that follow this one
    for (auto it = menuOf_.cbegin(); it != menuOf_.cend(); ++it)
        if (it.value() == name)
            announce(it.key());
    for (auto it = follows_.cbegin(); it != follows_.cend(); ++it)
        if (it.value() == name)
            announce(it.key());
}

void Commands::follow(const QString &name, const QString &leader)
{
    follows_.insert(name, leader);
    announce(name);
}

void Commands::set(std::initializer_list<std::pair<const char *, bool>> items)
{
    for (const auto &[name, on] : items)
        set(QString::fromLatin1(name), on);
}

void Commands::letIn(const QString &name)
{
    letIn_.insert(name);
    announce(name);
}

void Commands::keepOut(const QString &name)
{
    letIn_.remove(name);
    announce(name);
}

void Commands::announce(const QString &name)
{
    emit changed(name, enabled(name));
}

void Commands::announceAll()
{
    QSet<QString> names(state_.keyBegin(), state_.keyEnd());
    for (auto it = menuOf_.cbegin(); it != menuOf_.cend(); ++it)
        names << it.key() << it.value();
    for (const QString &name : names)
        announce(name);
}

void Commands::enter()
{
    if (depth_++ == 0)
        announceAll();
}

void Commands::leave()
{
    if (--depth_ == 0) {
        // the work a lost port ended has unwound: messages count again
        QuietAfterPortLoss() = false;
        announceAll();
        emit idle();
    }
}
