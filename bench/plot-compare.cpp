// plot-compare: the two plotting libraries of the Debian archive side by side
// on the trend plot's load: 8 hours of 16 channels at the pass rate of a
// kind-1 module at 9600 baud. Prints redraw time and memory of each, so the
// choice of library can be checked again. Built only when both are installed.

#include "sim/SimModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <qcustomplot.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double rssMb()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> v = f.readAll().split(' ');
    return v.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Seconds one kind-1 pass takes on the wire at 9600 baud (characters only).
double passSeconds()
{
    sim::ModuleCore m("QV8_KX5");
    QList<QByteArray> lines{"G01"};
    auto read = [&](int item, int index) {
        lines << "I" + QByteArray::number(item).rightJustified(2, '0')
              << (index ? "D" + QByteArray::number(index).rightJustified(2, '0') : QByteArray("D"));
    };
    for (int ch = 1; ch <= 16; ++ch)
        for (int item : {5, 3, 4, 25, 2})
            read(item, ch);
    read(6, 1);
    read(20, 1);
    read(16, 0);
    m.feed("G01\r");
    qint64 chars = 0;
    for (const QByteArray &l : lines.mid(1)) {
        chars += l.size() + 1;
        for (const sim::Reply &r : m.feed(l + "\r"))
            chars += r.bytes.size();
    }
    return chars * 10.0 / 9600;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr int kChannels = 16;

double value(int ch, int i)
{
    return 20 + ch + 5 * std::sin(i / 300.0 + ch);
}

void customPlot(int n, double step, double *redrawMs, double *mb)
{
    const double before = rssMb();
    auto *plot = new QCustomPlot;
    plot->resize(1000, 600);
    plot->xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
    for (int ch = 0; ch < kChannels; ++ch) {
        QCPGraph *g = plot->addGraph();
        g->setPen(QPen(QColor::fromHsv(ch * 22, 255, 200)));
        QVector<double> keys(n), values(n);
        for (int i = 0; i < n; ++i) {
            keys[i] = 1.7e9 + i * step;
            values[i] = value(ch, i);
        }
        g->setData(keys, values, true);
    }
    plot->rescaleAxes();
    plot->show();
    plot->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    *mb = rssMb() - before;
    QList<double> times;
    for (int r = 0; r < 15; ++r) {
        QElapsedTimer t;
        t.start();
        plot->xAxis->setRange(1.7e9 + r, 1.7e9 + n * step + r);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        plot->grab();
        times << t.nsecsElapsed() / 1e6;
    }
    *redrawMs = median(times);
    delete plot;
}

void qtCharts(int n, double step, double *redrawMs, double *mb)
{
    const double before = rssMb();
    auto *chart = new QChart;
    auto *x = new QDateTimeAxis;
    auto *y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (int ch = 0; ch < kChannels; ++ch) {
        auto *s = new QLineSeries;
        QList<QPointF> points(n);
        for (int i = 0; i < n; ++i)
            points[i] = QPointF((1.7e9 + i * step) * 1000, value(ch, i));
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
    *mb = rssMb() - before;
    QList<double> times;
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        t.start();
        x->setRange(QDateTime::fromMSecsSinceEpoch(qint64(1.7e12) + r * 1000),
                    QDateTime::fromMSecsSinceEpoch(qint64((1.7e9 + n * step + r) * 1000)));
        view->grab();
        times << t.nsecsElapsed() / 1e6;
    }
    *redrawMs = median(times);
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
