#include "monitor/frmTrend.h"

#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "files/CsvLog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

namespace {

// What a value axis says for a unit; the kinds without one get a word.
QString axisLabel(const QString &unit, int kind)
{
    if (!unit.isEmpty())
        return unit;
    return Tr(kind == 5 ? "count rate" : "state (0/1)");
}

}  // namespace

void frmTrend::ShowTrend()
{
    frmTrend *w = form<frmTrend>();
    if (!w->isVisible())
        PlaceBesideMain(w);
    w->show();
    w->raise();
    w->activateWindow();
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
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat("HH:mm:ss");
    picPlot->xAxis->setTicker(ticker);
    // The channel list beside the plot names the lines in their colours;
    // a legend of 16 or 32 entries would only cover the values.
    // Antialiased lines cost a lot with many points and add little here.
    picPlot->setNotAntialiasedElements(QCP::aeAll);
    connect(picPlot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [this] {
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
