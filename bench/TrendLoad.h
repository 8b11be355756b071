#pragma once
// What kavix-bench and plot-compare both measure against: the lines of one
// monitoring pass of a 16-channel kind-1 module, its time on the wire, the
// values the trend plot is filled with, its redraw time and the memory the
// process holds.

#include "sim/SimModule.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <qcustomplot.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace bench {

// One pass as the monitoring cycle reads it, the group entry first.
inline QList<QByteArray> TrendPass()
{
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
    return lines;
}

// Wire time of the lines a module received: command and reply characters
// at 10 bits each, plus the module's turnaround per exchange. The first
// `skip` lines are sent to the module but not counted.
inline double WireSeconds(const QString &model, const QList<QByteArray> &lines, int baud,
                          int turnaroundMs, int skip = 0)
{
    sim::ModuleCore replay(model);
    qint64 chars = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QList<sim::Reply> replies = replay.feed(lines[i] + "\r");
        if (i < skip)
            continue;
        chars += lines[i].size() + 1;
        for (const sim::Reply &r : replies)
            chars += r.bytes.size();
    }
    return chars * 10.0 / baud + (lines.size() - skip) * turnaroundMs / 1000.0;
}

// Resident memory of the process in MiB.
inline double RssMb()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        qFatal("no /proc/self/statm");
    const QList<QByteArray> v = f.readAll().split(' ');
    return v.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The value of channel ch (from 0) at pass i of the trend plot's load.
inline double TrendValue(int ch, int i)
{
    return 20 + ch + 5 * std::sin(i / 300.0 + ch);
}

inline double Median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One redraw of the plot, in ms, as the median of 15 with [from, to] in
// view, moved on by a second each time.
inline double RedrawMs(QCustomPlot *plot, double from, double to)
{
    QList<double> times;
    for (int r = 0; r < 15; ++r) {
        QElapsedTimer t;
        t.start();
        plot->xAxis->setRange(from + r, to + r);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        plot->grab();
        times << t.nsecsElapsed() / 1e6;
    }
    return Median(times);
}

}  // namespace bench
