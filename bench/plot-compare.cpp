// plot-compare: the two plotting libraries of the Debian archive side by side
// on the trend plot's load: 8 hours of 16 channels at the pass rate of a
// kind-1 module at 9600 baud. Prints redraw time and memory of each, so the
// choice of library can be checked again. Built only when both are installed.

#include "bench/TrendLoad.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Seconds one kind-1 pass takes on the wire at 9600 baud (characters only).
double passSeconds()
{
    return bench::WireSeconds("QV8_KX5", bench::TrendPass(), 9600, 0, 1);
}

constexpr int kChannels = 16;

void customPlot(int n, double step, double *redrawMs, double *mb)
{
    const double before = bench::RssMb();
    auto *plot = new QCustomPlot;
    plot->resize(1000, 600);
    plot->xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
    for (int ch = 0; ch < kChannels; ++ch) {
        QCPGraph *g = plot->addGraph();
        g->setPen(QPen(QColor::fromHsv(ch * 22, 255, 200)));
        QVector<double> keys(n), values(n);
        for (int i = 0; i < n; ++i) {
            keys[i] = 1.7e9 + i * step;
            values[i] = bench::TrendValue(ch, i);
        }
        g->setData(keys, values, true);
    }
    plot->rescaleAxes();
    plot->show();
    plot->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    *mb = bench::RssMb() - before;
    *redrawMs = bench::RedrawMs(plot, 1.7e9, 1.7e9 + n * step);
    delete plot;
}

void qtCharts(int n, double step, double *redrawMs, double *mb)
{
    const double before = bench::RssMb();
    auto *chart = new QChart;
    auto *x = new QDateTimeAxis;
    auto *y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (int ch = 0; ch < kChannels; ++ch) {
        auto *s = new QLineSeries;
        QList<QPointF> points(n);
        for (int i = 0; i < n; ++i)
            points[i] = QPointF((1.7e9 + i * step) * 1000, bench::TrendValue(ch, i));
        s->replace(points);
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    y->setRange(10, 45);
    auto *view = new QChartView(chart);
    view->resize(1000, 600);
    view->show();
    x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(1.7e12)),
                QDateTime::fromMSecsSinceEpoch(qint64((1.7e9 + n * step) * 1000)));
    view->grab();
    QApplication::processEvents();
    *mb = bench::RssMb() - before;
    QList<double> times;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        t.start();
        x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(1.7e12) + r * 1000),
                    QDateTime::fromMSecsSinceEpoch(qint64((1.7e9 + n * step + r) * 1000)));
        view->grab();
        times << t.nsecsElapsed() / 1e6;
    }
    *redrawMs = bench::Median(times);
    delete view;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double step = passSeconds();
    const int n = int(8 * 3600 / step);
    std::printf("pass_seconds: %.3f\npoints_per_channel_8h: %d\n", step, n);
    double ms = 0, mb = 0;
    customPlot(n, step, &ms, &mb);
    std::printf("qcustomplot_redraw_ms: %.2f\nqcustomplot_mb: %.1f\n", ms, mb);
    qtCharts(n, step, &ms, &mb);
    std::printf("qtcharts_redraw_ms: %.2f\nqtcharts_mb: %.1f\n", ms, mb);
    return 0;
}
