#include "workflows/Progress.h"

#include "app/ui/frmMain.h"

Progress::Progress(frmMain *m, const QString &what, int total) : m_(m), what_(what), total_(total)
{
    if (m_)
        m_->showProgress(what_, 0, total_);
}

Progress::~Progress()
{
    if (m_)
        m_->hideProgress();
}

void Progress::step()
{
    ++done_;
    if (m_)
        m_->showProgress(what_, done_, total_);
}
