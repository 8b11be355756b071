#include "app/MainPanel.h"

#include "app/Globals.h"

MainPanel &MainPanel::instance()
{
    static MainPanel panel;
    return panel;
}

void MainPanel::setRow(int row, const QString &title, const QString &data)
{
    title_.at(row) = title;
    data_.at(row) = data;
    emit rowChanged(row);
}

void MainPanel::setData(int row, const QString &data)
{
    data_.at(row) = data;
    emit rowChanged(row);
}

void MainPanel::clearRows()
{
    for (int row = 1; row < kRows; ++row)
        setRow(row, QString(), QString());
}

void MainPanel::showProgress(const QString &what, int done, int total)
{
    emit progressChanged(what, done, total);
}

void MainPanel::hideProgress()
{
    emit progressHidden();
}

void MainPanel::setFileName(const QString &path)
{
    fileName_ = path;
    emit fileNameChanged(path);
}

void MainPanel::reset()
{
    setFileName(QString());
    for (int row = 0; row < kRows; ++row)
        setRow(row, QString(), QString());
    hideProgress();
    port_.clear();
    linkState_ = LinkState::NotConnected;
    lastResult_.clear();
    configSource_.clear();
    ModuleHolds().reset();
    edited_ = false;
    emit statusChanged();
    emit editsChanged();
}

void MainPanel::setConfigSource(const QString &text)
{
    configSource_ = text;
    emit statusChanged();
}

void MainPanel::setPort(const QString &port)
{
    port_ = port;
    emit statusChanged();
}

void MainPanel::setLinkState(LinkState state)
{
    linkState_ = state;
    emit statusChanged();
}

void MainPanel::settingsChanged()
{
    const std::optional<ModuleSettings> &held = ModuleHolds();
    edited_ = held && *held != ModuleSettings::of(G());
    emit editsChanged();
}

void MainPanel::moduleHoldsAll()
{
    ModuleHolds() = ModuleSettings::of(G());
    settingsChanged();
}

void MainPanel::moduleHoldsNone()
{
    ModuleHolds().reset();
    settingsChanged();
}

void MainPanel::setLastResult(const QString &text)
{
    lastResult_ = text;
    emit statusChanged();
}
