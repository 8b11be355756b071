#include "adjust/LiveReading.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "config/EditorParts.h"
#include "link/LineTrace.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"

#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QShowEvent>

LiveReadingDialog::LiveReadingDialog(QWidget *parent) : EditorDialog(parent)
{
    WaitForTimer.setSingleShot(true);
    connect(&WaitForTimer, &QTimer::timeout, this, [this] { timeUp_ = true; });
}

LiveReadingDialog::~LiveReadingDialog() = default;

void LiveReadingDialog::WaitFor(int milisec)
{
    AppState &s = G();
    QPointer<LiveReadingDialog> self = this;
    timeUp_ = false;
    WaitForTimer.start(milisec);
    for (;;) {
        if (s.ReadStop) {
            s.ReadStop = false;
            break;
        }
        if (timeUp_ || !s.WaitFlag || AppEnding())
            break;
        // Sleeps until one of the reasons above may have changed; a button
        // handler runs inside this loop and ends it when it returns.
        QEventLoop loop;
        connect(&WaitForTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &LiveReadingDialog::waitEnds, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(&Commands::instance(), &Commands::wake, &loop, &QEventLoop::quit);
        loop.exec();
        if (!self)
            return;
    }
    WaitForTimer.stop();
}

void LiveReadingDialog::ReadNow()
{
    G().ReadStop = true;
    emit waitEnds();
}

void LiveReadingDialog::showEvent(QShowEvent *e)
{
    EditorDialog::showEvent(e);
    // Activation: the loop starts once the modal processing has begun.
    if (!e->spontaneous())
        QTimer::singleShot(0, this, &LiveReadingDialog::runLiveReading);
}

void LiveReadingDialog::showLive()
{
    showModal();
    // However the dialog ended, its reading has ended with it: the loop ran
    // inside the modal processing that has just returned.
    G().WaitFlag = false;
    G().ReadStop = false;
}

void LiveReadingDialog::runLiveReading()
{
    if (reading_ || !isVisible())
        return;
    AppState &s = G();
    QPointer<LiveReadingDialog> self = this;
    reading_ = true;
    s.WaitFlag = true;
    s.ReadStop = false;
    while (s.WaitFlag && !AppEnding()) {
        if (!readLive() || !self)
            break;
        WaitFor(500);
        if (!self)
            break;
    }
    if (self)
        reading_ = false;
}

bool LiveReadingDialog::liveRead(int item, int channel, QString &reply)
{
    if (!G().WaitFlag || AppEnding() || !isVisible())
        return false;
    QPointer<LiveReadingDialog> self = this;
    const bool ok = DataRead(item, channel, reply);
    return ok && self;
}

void LiveReadingDialog::cmdExit_Click()
{
    G().WaitFlag = false;
    emit waitEnds();
    EditorDialog::cmdExit_Click();
}

namespace {

bool writeWithRetry(int item, const QString &value, QString &reply)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0)
            LineTrace::markRetry();
        reply.clear();
        if (ParameterWrite(item, value, reply) && reply != "illegal OPE")
            return true;
        if (AppEnding())
            return false;
    }
    return false;
}

}  // namespace

bool AdjustmentWrite(const QString &title, int item, const QString &value, QString &reply,
                     int failText, const QString &what)
{
    MainPanel &panel = MainPanel::instance();
    if (!DownloadCheck::ModuleFits(title)) {
        panel.setLastResult(Tr("%1 not done: the module on the line did not fit").arg(what));
        return false;
    }
    if (writeWithRetry(item, value, reply)) {
        panel.setLastResult(Tr("%1 done").arg(what));
        Outcome::done();
        return true;
    }
    // an "illegal OPE" the write took as an answer is a refusal all the same
    panel.setLastResult(what + " " + EditorParts::WriteFailure(false, reply));
    if (!AppEnding())
        MsgBox(LoadResString(failText), title, MsgIcon::Critical);
    return false;
}

bool RealValueOk(const QString &text)
{
    static const QRegularExpression number(R"(^\s*[+-]?(\d+([.,]\d*)?|[.,]\d+)\s*$)");
    return number.match(text).hasMatch();
}

namespace AdjustUi {

QLabel *title(const char *name, const QString &text)
{
    return Controls::heading(name, text, 1.2);
}

QLabel *readout(const char *name)
{
    QLabel *l = Controls::readout(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(tw(1400));
    return l;
}

QLabel *unit(const char *name)
{
    QLabel *l = label(name);
    l->setTextFormat(Qt::PlainText);
    l->setMinimumWidth(tw(600));
    return l;
}

QFrame *frame(const char *name)
{
    auto *f = new QFrame;
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

QGridLayout *valueGrid(QFrame *frame)
{
    auto *grid = new QGridLayout(frame);
    grid->setColumnStretch(0, 1);
    return grid;
}

void valueRow(QGridLayout *grid, int row, QWidget *caption, QWidget *value, QLabel *unit)
{
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    grid->addWidget(unit, row, 2);
}

}  // namespace AdjustUi
