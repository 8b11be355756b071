#pragma once
// The trend plot: the monitored values of each pass against time, one line
// per channel, the channels chosen by ticking them. It follows the newest
// values until the user zooms or pans; Follow takes it back to them.

#include "app/PassSamples.h"

#include <QWidget>

class QCPAxis;
class QCustomPlot;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class frmTrend : public QWidget {
    Q_OBJECT
public:
    frmTrend();

    // Opens the window (or brings it to the front).
    static void ShowTrend();

    QCustomPlot *picPlot = nullptr;
    QListWidget *lstChannels = nullptr;   // one checkable row per channel
    QPushButton *cmdFollow = nullptr;
    QPushButton *cmdClear = nullptr;

    // One monitoring pass into the plot (the window listens for them).
    void AddPass(const PassSample &p);
    bool following() const { return follow_; }
    // Seconds of the newest values shown while following.
    double span() const { return span_; }

    // Values older than this are dropped, so a plot left open for days
    // stays bounded.
    static constexpr double KeepSeconds = 24 * 3600;

private:
    void rebuild(const PassSample &p);
    void channelTicked(QListWidgetItem *item);
    void updateAxes();
    void setFollow(bool on);
    void followNewest();
    void setXRange(double lower, double upper);

    int kind_ = 0;
    QStringList names_;   // column names, "Ch1 K(CA) [degC]"
    QStringList units_;
    bool follow_ = true;
    bool settingRange_ = false;
    double span_ = 600;
    double newest_ = 0;
    int passes_ = 0;
};
