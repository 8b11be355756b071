#include "app/MainPanel.h"

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
}
