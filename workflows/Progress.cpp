#include "workflows/Progress.h"

#include "app/Init.h"
#include "app/MainPanel.h"

namespace {
QString &last()
{
    static QString text;
    return text;
}
}  // namespace

Progress::Progress(const QString &what, int total, const QString &unit)
    : what_(Tr(what)), unit_(Tr(unit)), total_(total)
{
    MainPanel::instance().showProgress(what_, 0, total_);
    last() = Tr("%1 of %2 %3").arg(0).arg(total_).arg(unit_);
}

Progress::~Progress()
{
    MainPanel::instance().hideProgress();
}

void Progress::step()
{
    ++done_;
    MainPanel::instance().showProgress(what_, done_, total_);
    last() = Tr("%1 of %2 %3").arg(done_).arg(total_).arg(unit_);
}

QString Progress::lastCount()
{
    return last();
}

void Progress::clearLast()
{
    last().clear();
}
