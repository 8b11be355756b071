#include "app/PassSamples.h"

#include <QDateTime>
#include <QtNumeric>

PassSamples &PassSamples::instance()
{
    static PassSamples samples;
    return samples;
}

void PassSamples::begin(int kind, int channels)
{
    PassSamples &p = instance();
    ++p.current_.number;
    p.current_.kind = kind;
    p.current_.channels = QList<ChannelSample>(channels);
    p.current_.continues = !p.broken_;
    p.broken_ = false;
    p.open_ = true;
}

void PassSamples::add(int ch, std::optional<double> value, const QString &text,
                      const QString &unit, const QString &type)
{
    PassSamples &p = instance();
    if (!p.open_ || ch < 1 || ch > p.current_.channels.size())
        return;
    p.current_.channels[ch - 1] = ChannelSample{true, value.value_or(qQNaN()),
                                                value ? text : QString(), unit, type};
}

void PassSamples::interrupt()
{
    PassSamples &p = instance();
    if (p.open_)
        p.current_.continues = false;
    else
        p.broken_ = true;
}

void PassSamples::end()
{
    PassSamples &p = instance();
    if (!p.open_)
        return;
    p.open_ = false;
    // A pass cut short by Stop lacks channels: it is not a pass of values.
    for (const ChannelSample &c : p.current_.channels)
        if (!c.read) {
            p.broken_ = true;
            return;
        }
    p.current_.timeMs = QDateTime::currentMSecsSinceEpoch();
    emit p.pass(p.current_);
}
