#include "monitor/frmTrend.h"

#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "files/CsvLog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtNumeric>

#include <qcustomplot.h>

namespace {

// What a value axis says for a unit; the kinds without one get a word.
QString axisLabel(const QString &unit, int kind)
{
    if (!unit.isEmpty())
        return unit;
    return Tr(kind == 5 ? "count rate" : "state (0/1)");
}

// Time labels that never repeat: the finer the ticks, the more of the time
// each label shows; a range of a day or more names the date too.
class TimeTicker : public QCPAxisTickerDateTime {
protected:
    double getTickStep(const QCPRange &range) override
    {
        const double step = QCPAxisTickerDateTime::getTickStep(range);
        setDateTimeFormat(step < 1              ? "HH:mm:ss.zzz"
                          : step < 60           ? "HH:mm:ss"
                          : range.size() < 82800 ? "HH:mm"
                                                 : "MM-dd HH:mm");
        return step;
    }
};

// The widest label a TimeTicker writes.
const char *const kWidestTime = "00:00:00.000";
// Zoomed in no further: a label of milliseconds still tells each tick apart.
constexpr double kNarrowestSeconds = 0.02;

}  // namespace

void frmTrend::ShowTrend()
{
    frmTrend *w = form<frmTrend>();
    ShowBesideMain(w);
}

// A window of its own: it can go behind the main window.
frmTrend::frmTrend() : QWidget(nullptr, Qt::Window)
{
    setObjectName("frmTrend");
    setWindowTitle("Trend");
    resize(900, 500);

    picPlot = new QCustomPlot;
    picPlot->setObjectName("picPlot");
    picPlot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Drag and zoom work along the time axis; the values follow the data.
    picPlot->axisRect()->setRangeDrag(Qt::Horizontal);
    picPlot->axisRect()->setRangeZoom(Qt::Horizontal);
    picPlot->xAxis->setTicker(QSharedPointer<TimeTicker>::create());
    // As many time labels as the axis has room for, none over another: the
    // ticker may pick a step down to half the one asked for.
    connect(picPlot, &QCustomPlot::beforeReplot, this, [this] {
        const QFontMetrics labels(picPlot->xAxis->tickLabelFont());
        const int label = labels.horizontalAdvance(kWidestTime);
        const int room = picPlot->xAxis->axisRect()->width() / (2 * (label + 12));
        picPlot->xAxis->ticker()->setTickCount(std::max(1, room));
    });
    // The channel list beside the plot names the lines in their colours;
    // a legend of 16 or 32 entries would only cover the values.
    // Antialiased lines cost a lot with many points and add little here.
    picPlot->setNotAntialiasedElements(QCP::aeAll);
    connect(picPlot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange &range) {
                if (range.size() < kNarrowestSeconds)
                    picPlot->xAxis->setRange(range.center(), kNarrowestSeconds, Qt::AlignCenter);
                if (!settingRange_)
                    setFollow(false);  // the user zoomed or panned
            });

    lstChannels = new QListWidget;
    lstChannels->setObjectName("lstChannels");
    lstChannels->setMaximumWidth(200);
    connect(lstChannels, &QListWidget::itemChanged, this, &frmTrend::channelTicked);

    cmdFollow = new QPushButton("Follow");
    cmdFollow->setObjectName("cmdFollow");
    cmdFollow->setEnabled(false);
    connect(cmdFollow, &QPushButton::clicked, this, [this] { setFollow(true); });
    cmdClear = new QPushButton("Clear");
    cmdClear->setObjectName("cmdClear");
    connect(cmdClear, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < picPlot->graphCount(); ++i)
            picPlot->graph(i)->data()->clear();
        picPlot->replot();
    });

    auto *side = new QVBoxLayout;
    side->addWidget(lstChannels, 1);
    side->addWidget(cmdFollow);
    side->addWidget(cmdClear);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(picPlot, 1);
    layout->addLayout(side);

    connect(&PassSamples::instance(), &PassSamples::pass, this, &frmTrend::AddPass);
    ownTexts(this);
}

void frmTrend::rebuild(const PassSample &p)
{
    kind_ = p.kind;
    names_.clear();
    units_.clear();
    picPlot->clearGraphs();
    const QSignalBlocker block(lstChannels);
    lstChannels->clear();
    const int n = int(p.channels.size());
    for (int i = 0; i < n; ++i) {
        QCPGraph *g = picPlot->addGraph();
        const QColor colour = QColor::fromHsv(i * 360 / n % 360, 230, i % 2 ? 150 : 220);
        g->setPen(QPen(colour));
        if (kind_ == 3 || kind_ == 4)
            g->setLineStyle(QCPGraph::lsStepLeft);
        QPixmap swatch(12, 12);
        swatch.fill(colour);
        auto *item = new QListWidgetItem(QIcon(swatch), QString(), lstChannels);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Checked);
        names_ << QString();
        units_ << QString();
    }
}

void frmTrend::AddPass(const PassSample &p)
{
    if (p.kind != kind_ || p.channels.size() != picPlot->graphCount())
        rebuild(p);
    const double t = p.timeMs / 1000.0;
    // after a pause, a stop or a new connection the lines break off: no
    // straight line across the time nothing was read
    if (!p.continues)
        for (int i = 0; i < picPlot->graphCount(); ++i)
            if (!picPlot->graph(i)->data()->isEmpty())
                picPlot->graph(i)->addData((newest_ + t) / 2, qQNaN());
    bool renamed = false;
    for (int i = 0; i < p.channels.size(); ++i) {
        const ChannelSample &c = p.channels[i];
        QCPGraph *g = picPlot->graph(i);
        const QString name = CsvLog::columnName(i + 1, c);
        if (name != names_[i]) {
            // Another type or unit: the old values do not belong on this line.
            if (c.unit != units_[i])
                g->data()->clear();
            names_[i] = name;
            units_[i] = c.unit;
            g->setName(name);
            lstChannels->item(i)->setText(name);
            renamed = true;
        }
        g->addData(t, c.value);
    }
    newest_ = t;
    if (++passes_ % 1000 == 0)
        for (int i = 0; i < picPlot->graphCount(); ++i)
            picPlot->graph(i)->data()->removeBefore(t - KeepSeconds);
    if (renamed)
        updateAxes();
    followNewest();
    picPlot->replot(QCustomPlot::rpQueuedReplot);
}

void frmTrend::channelTicked(QListWidgetItem *item)
{
    const int i = lstChannels->row(item);
    if (i >= 0 && i < picPlot->graphCount())
        picPlot->graph(i)->setVisible(item->checkState() == Qt::Checked);
    updateAxes();
    followNewest();
    picPlot->replot();
}

// The ticked channels' first unit goes on the left axis, a second one on
// the right; a third and more share the left axis and its label says so.
void frmTrend::updateAxes()
{
    QStringList units;
    for (int i = 0; i < picPlot->graphCount(); ++i)
        if (picPlot->graph(i)->visible() && !units.contains(units_[i]))
            units << units_[i];
    for (int i = 0; i < picPlot->graphCount(); ++i) {
        QCPGraph *g = picPlot->graph(i);
        g->setValueAxis(units.size() > 1 && units_[i] == units[1] ? picPlot->yAxis2
                                                                  : picPlot->yAxis);
    }
    QStringList left;
    for (int u = 0; u < units.size(); ++u)
        if (u != 1)
            left << axisLabel(units[u], kind_);
    picPlot->yAxis->setLabel(left.join(", "));
    picPlot->yAxis2->setVisible(units.size() > 1);
    picPlot->yAxis2->setLabel(units.size() > 1 ? axisLabel(units[1], kind_) : QString());
}

void frmTrend::setXRange(double lower, double upper)
{
    settingRange_ = true;
    picPlot->xAxis->setRange(lower, upper);
    settingRange_ = false;
}

void frmTrend::setFollow(bool on)
{
    if (on)
        span_ = picPlot->xAxis->range().size();
    follow_ = on;
    cmdFollow->setEnabled(!on);
    if (on) {
        followNewest();
        picPlot->replot();
    }
}

void frmTrend::followNewest()
{
    if (!follow_ || newest_ <= 0)
        return;
    // Until the values fill the span, the plot starts at the oldest one.
    double oldest = newest_;
    for (int i = 0; i < picPlot->graphCount(); ++i)
        if (!picPlot->graph(i)->data()->isEmpty())
            oldest = std::min(oldest, picPlot->graph(i)->data()->constBegin()->key);
    const double from = std::max(newest_ - span_, oldest);
    setXRange(from, newest_ + std::max(newest_ - from, 1.0) * 0.02);
    const QCPRange shown = picPlot->xAxis->range();
    for (QCPAxis *axis : {picPlot->yAxis, picPlot->yAxis2}) {
        QCPRange range;
        bool any = false;
        for (int i = 0; i < picPlot->graphCount(); ++i) {
            QCPGraph *g = picPlot->graph(i);
            if (!g->visible() || g->valueAxis() != axis)
                continue;
            bool found = false;
            const QCPRange r = g->getValueRange(found, QCP::sdBoth, shown);
            if (!found)
                continue;
            range = any ? QCPRange(std::min(range.lower, r.lower), std::max(range.upper, r.upper))
                        : r;
            any = true;
        }
        if (!any)
            continue;
        const double margin = std::max(range.size() * 0.05, 1e-3);
        axis->setRange(range.lower - margin, range.upper + margin);
    }
}
