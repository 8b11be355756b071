#include "workflows/Progress.h"

#include "app/Init.h"
#include "app/MainPanel.h"

Progress::Progress(const QString &what, int total) : what_(Tr(what)), total_(total)
{
    MainPanel::instance().showProgress(what_, 0, total_);
}

Progress::~Progress()
{
    MainPanel::instance().hideProgress();
}

void Progress::step()
{
    ++done_;
    MainPanel::instance().showProgress(what_, done_, total_);
}
