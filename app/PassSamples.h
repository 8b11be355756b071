#pragma once
// The values of one monitoring pass, handed to whoever listens (the CSV log,
// the trend plot) when the pass is complete. The cycle opens a pass, each
// channel read adds its value, and the end of the pass hands it on; reads
// outside a pass (connecting, the upload) add nothing.

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

struct ChannelSample {
    bool read = false;
    // As shown: x 1000 for millivolt ranges, a count rate, a 0/1 state; NaN
    // (a gap in the plot) when the module's reply gave no number.
    double value = 0;
    QString text;       // the value as the window shows it; empty when there is none
    QString unit;       // "degC", "mV", "V", "%", "ohm"; empty where there is none
    QString type;       // type name, "rate", "input" or "output"
};

struct PassSample {
    quint64 number = 0;              // passes begun before it and it, from 1
    qint64 timeMs = 0;               // end of the pass, ms since the epoch
    int kind = 0;
    QList<ChannelSample> channels;   // [0] is channel 1
    // It follows the pass before it with no pause, stop or new run between.
    bool continues = false;
};

class PassSamples : public QObject {
    Q_OBJECT
public:
    static PassSamples &instance();

    // The monitoring cycle's side.
    static void begin(int kind, int channels);
    // A channel's value, or none when the module's reply gave no number.
    static void add(int ch, std::optional<double> value, const QString &text,
                    const QString &unit, const QString &type);
    // Hands the pass on if every channel of it was read, and closes it.
    static void end();
    // The cycle paused, or a new run begins: the pass open now, or else the
    // next one, does not continue the one before it.
    static void interrupt();
    // Passes begun so far: the next pass to begin has this number + 1.
    static quint64 begun() { return instance().current_.number; }

signals:
    void pass(const PassSample &sample);

private:
    PassSample current_;
    bool open_ = false;
    bool broken_ = true;
};
