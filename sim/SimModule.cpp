#include "sim/SimModule.h"

#include <utility>

#include <QRegularExpression>

#include <chrono>
#include <cmath>
#include <cstring>
#include <deque>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

const QString kIllegal = QStringLiteral("illegal OPE");
const QString kInvalid = QStringLiteral("invalid data");

struct Catalog {
    const char *name;
    int kind;
};
// Catalog order matters: models() hands it out as is.
const Catalog kCatalog[] = {
    {"QV8_KX5", 1}, {"QV8T_KX7", 6}, {"QV8_L5", 2},   {"QV8_B6", 3},   {"QV8_E6", 4},
    {"QW8_KX5", 1}, {"QY8_KX5", 1},  {"QV8_B6F4", 3}, {"QV8_E6F4", 4}, {"QV8_H9", 5},
};

quint32 key(int item, int index) { return quint32(item) << 16 | quint32(index & 0xffff); }

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// A whole number as the module takes it: digits only, leading zeros allowed.
std::optional<int> wholeNumber(const QString &s)
{
    if (!allDigits(s) || s.size() > 9)
        return std::nullopt;
    return s.toInt();
}

// A plain decimal number with a point; no exponents, no blanks, no inf/nan.
std::optional<double> decimalNumber(const QString &s)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!re.match(s).hasMatch())
        return std::nullopt;
    return s.toDouble();
}

QString fmt4(double v)
{
    QString s = QString::number(v, 'f', 4);
    return s == QLatin1String("-0.0000") ? QStringLiteral("0.0000") : s;
}

bool validType(int kind, int code)
{
    switch (kind) {
    case 1:
        // 16..28 as the program writes thermocouples, 32..37 as a module
        // may report the last six of them
        return (code >= 0 && code <= 6) || (code >= 16 && code <= 28) || (code >= 32 && code <= 37);
    case 2:
        return (code >= 48 && code <= 53) || (code >= 64 && code <= 67);
    case 6:
        // and here 32..43 for the last twelve
        return code == 0 || (code >= 16 && code <= 28) || (code >= 32 && code <= 43);
    default:
        return false;
    }
}

// A slow wave per channel so live values drift without repeating in step.
double wave(int ch, qint64 ms)
{
    const double period = 30000.0 + 3000.0 * ch;
    const double twoPi = 6.283185307179586;
    return std::sin(twoPi * double(ms) / period + ch);
}

// What the changed-echo fault answers instead of the value written.
QString altered(const QString &p)
{
    if (auto n = wholeNumber(p))
        return QString::number(*n + 1);
    if (auto d = decimalNumber(p))
        return QString::number(*d + 1.0);
    return p + QLatin1Char('X');
}

}  // namespace

// ---------------------------------------------------------------- ModuleCore

ModuleCore::ModuleCore(const QString &model) : model_(model), kind_(kindOf(model))
{
    const auto t0 = std::chrono::steady_clock::now();
    clock_ = [t0] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - t0)
                          .count());
    };

    const int n = channels();
    type_ = cjc_ = burnout_ = zsState_ = comp_ = out_ = QList<int>(n + 1, 0);
    offset_ = QList<double>(n + 1, 0.0);
    coef_ = QList<double>(n + 1, 100.0);
    preset_ = QStringList();
    for (int i = 0; i <= n; ++i)
        preset_ << QStringLiteral("0");
    countFrom_ = QList<qint64>(n + 1, 0);

    // A mix of types, so every display rule has a channel to show it.
    for (int ch = 1; ch <= n; ++ch) {
        switch (kind_) {
        case 1:
            type_[ch] = ch == 4 ? 4 : ch == 8 ? 33 : (ch % 2 ? 17 : 0);
            cjc_[ch] = 1;
            burnout_[ch] = 1;
            break;
        case 2:
            type_[ch] = ch == 5 ? 49 : ch == 8 ? 64 : 48;
            burnout_[ch] = 1;
            break;
        case 6:
            type_[ch] = ch == 8 ? 0 : 17;
            cjc_[ch] = 1;
            break;
        case 3:
            out_[ch] = (ch == 2 || ch == 7) ? 1 : 0;
            break;
        case 4:
            // a module in service: counting for ten hours, presets set
            countFrom_[ch] = -36000000;
            if (ch <= 16)
                preset_[ch] = QString::number(ch * 500);
            break;
        case 5:
            out_[ch] = ch == 3 ? 1 : 0;
            preset_[ch] = QString::number(ch * 1000);
            break;
        default:
            break;
        }
    }
    if (kind_ == 6) {
        burnout_[0] = 1;
        stopBits_ = 1;
    }
}

QStringList ModuleCore::models()
{
    QStringList names;
    for (const auto &c : kCatalog)
        names << QLatin1String(c.name);
    return names;
}

int ModuleCore::kindOf(const QString &model)
{
    for (const auto &c : kCatalog)
        if (model == QLatin1String(c.name))
            return c.kind;
    return 0;
}

int ModuleCore::channels() const
{
    switch (kind_) {
    case 1:
        return 16;
    case 3:
    case 4:
        return 32;
    default:
        return 8;
    }
}

qint64 ModuleCore::now() const { return clock_ ? clock_() : 0; }

void ModuleCore::setBurnout(int channel, bool on)
{
    if (on)
        broken_.insert(channel);
    else
        broken_.remove(channel);
}

void ModuleCore::setValue(int item, int index, const QString &payload)
{
    values_.insert(key(item, index), payload);
}

QString ModuleCore::value(int item, int index) { return read(item, index); }

ModuleCore::Shape ModuleCore::shape(int item) const
{
    const int n = channels();
    const bool analog = kind_ == 1 || kind_ == 2 || kind_ == 6;
    Shape s;
    auto perChannel = [&](int last, bool ro = false) {
        s.exists = true;
        s.indexed = true;
        s.last = last;
        s.readOnly = ro;
    };
    auto plain = [&](bool ro = false) {
        s.exists = true;
        s.readOnly = ro;
    };
    switch (item) {
    case 2:
        if (analog) {
            perChannel(n, true);
            if (kind_ == 6)
                s.first = 0;   // element 0 holds the option bits
        }
        break;
    case 3:
    case 4:
        if (analog)
            perChannel(n, true);
        break;
    case 5:
    case 17:
    case 18:
    case 19:
        if (analog)
            perChannel(n);
        break;
    case 6:
        if (analog)
            perChannel(1, true);
        else if (kind_ == 4)
            perChannel(32, true);
        else if (kind_ == 5)
            perChannel(8, true);
        break;
    case 7:
        if (analog)
            perChannel(1);   // the alarm output contact
        else if (kind_ == 3 || kind_ == 5)
            perChannel(n);
        break;
    case 8:
    case 9:
        if (kind_ == 4)
            perChannel(16, item == 8);
        else if (kind_ == 5)
            perChannel(8, item == 8);
        break;
    case 10:
    case 11:
    case 14:
        if (kind_ == 5)
            plain();
        break;
    case 13:
        if (kind_ == 5)
            perChannel(8, true);
        break;
    case 15:
        if (kind_ == 6)
            plain();
        break;
    case 16:
        if (analog)
            plain();
        break;
    case 20:
        if (kind_ == 1 || kind_ == 2)
            perChannel(n);
        else if (kind_ == 6)
            plain();
        break;
    case 21:
        if (kind_ == 2)
            perChannel(n);
        break;
    case 23:
    case 24:
        if (kind_ == 1)
            plain();
        break;
    case 25:
        if (kind_ == 1 || kind_ == 6)
            perChannel(n);
        break;
    case 80:
    case 81:
    case 83:
    case 84:
    case 86:
        plain();
        break;
    case 82:   // bit length: fixed at 8 bit
    case 90:
    case 91:
    case 92:
    case 93:
    case 94:
    case 95:
        plain(true);
        break;
    default:
        break;
    }
    return s;
}

bool ModuleCore::hasItem(int item) const
{
    if (shape(item).exists)
        return true;
    // A pinned value makes an item answer even where this kind lacks it.
    for (auto it = values_.cbegin(); it != values_.cend(); ++it)
        if (int(it.key() >> 16) == item)
            return true;
    return false;
}

QString ModuleCore::modelName() const
{
    return !faults_.swapModel.isEmpty() && commands_ > faults_.swapAfter ? faults_.swapModel
                                                                          : model_;
}

QList<Reply> ModuleCore::feed(const QByteArray &bytes)
{
    QList<Reply> replies;
    pending_ += bytes;
    int cr;
    while ((cr = pending_.indexOf('\r')) >= 0) {
        QByteArray line = pending_.left(cr);
        pending_.remove(0, cr + 1);
        // A terminal may send CR LF; the LF belongs to no command.
        while (line.startsWith('\n'))
            line.remove(0, 1);
        received_.append(line);
        ++commands_;
        if (faults_.silent)
            continue;
        if (faults_.hangupAfter > 0 && commands_ >= faults_.hangupAfter)
            continue;
        if (faults_.stopAfter >= 0 && commands_ > faults_.stopAfter)
            continue;
        if (commands_ <= faults_.skipFirst)
            continue;
        const std::optional<QString> payload = handleLine(line);
        if (!payload)
            continue;
        Reply r;
        r.bytes = faults_.garbage ? QByteArray("?#~")
                                  : QByteArray("D") + faults_.noise + payload->toLatin1();
        if (!faults_.noCr)
            r.bytes += '\r';
        r.bytes.prepend(std::exchange(faults_.staleTail, QByteArray()));
        replies.append(r);
    }
    // A stream that never sends a CR must not grow without bound.
    if (pending_.size() > 4096)
        pending_.clear();
    return replies;
}

std::optional<QString> ModuleCore::handleLine(const QByteArray &line)
{
    if (line.isEmpty())
        return kIllegal;
    const char c = line.at(0);
    const QString rest = QString::fromLatin1(line.mid(1));

    if (c == 'G') {
        if (!allDigits(rest) || rest.size() > 2)
            return kIllegal;
        if (faults_.busyGroupSelects != 0) {
            if (faults_.busyGroupSelects > 0)
                --faults_.busyGroupSelects;
            return QStringLiteral("busy");
        }
        const int g = rest.toInt();
        item_ = -1;
        if (g != 1 && g != 99) {
            group_ = 0;
            return kIllegal;
        }
        group_ = g;
        return QStringLiteral("enter item");
    }

    if (c == 'I') {
        if (group_ == 0 || !allDigits(rest) || rest.size() > 2)
            return kIllegal;
        const int item = rest.toInt();
        const bool known = group_ == 99 ? item == 90 : hasItem(item);
        item_ = known ? item : -1;
        if (!known)
            return kIllegal;
        return QStringLiteral("%1").arg(item, 2, 10, QLatin1Char('0'));
    }

    if (c == 'D') {
        if (group_ == 0 || item_ < 0)
            return kIllegal;
        if (group_ == 99) {
            if (rest.isEmpty())
                return modelName();
            if (!faults_.refuseWrites.isEmpty())
                return faults_.refuseWrites;
            if (rest != QLatin1String("RESET"))
                return kInvalid;
            // The restart: no answer, and the module comes back outside any group.
            group_ = 0;
            item_ = -1;
            return std::nullopt;
        }
        return dataCommand(rest);
    }
    return kIllegal;
}

QString ModuleCore::dataCommand(const QString &data)
{
    const int item = item_;
    const Shape s = shape(item);
    if (!s.indexed) {
        if (data.isEmpty())
            return read(item, 0);
        return write(item, 0, data);
    }
    // Indexed items: two digits read one element, anything longer writes.
    if (data.isEmpty())
        return read(item, 0);
    if (data.size() < 2 || !allDigits(data.left(2)))
        return kInvalid;
    const int index = data.left(2).toInt();
    if (data.size() == 2)
        return read(item, index);
    return write(item, index, data.mid(2));
}

QString ModuleCore::read(int item, int index)
{
    if (!hasItem(item))
        return kIllegal;
    const auto pin = values_.constFind(key(item, index));
    if (pin != values_.cend())
        return *pin;
    const Shape s = shape(item);
    if (!s.exists)
        return kInvalid;   // only pinned elements of this item exist
    if (s.indexed ? (index < s.first || index > s.last) : index != 0)
        return kInvalid;
    return liveValue(item, index);
}

QString ModuleCore::liveValue(int item, int i)
{
    const qint64 t = now();
    switch (item) {
    case 2:
        if (i == 0)
            return QString::number(options_);
        return (broken_.contains(i) && sensorType(i)) ? QStringLiteral("1") : QStringLiteral("0");
    case 3:
        return fmt4(measured(i, t));
    case 4:
        return fmt4(rawInput(i, t));
    case 5:
        return QString::number(type_[i]);
    case 6:
        return QString::number(contactInput(i, t));
    case 7:
        return QString::number(kind_ == 3 || kind_ == 5 ? out_[i] : alarmOut_);
    case 8:
        return QString::number(count(i, t));
    case 9:
        return preset_[i];
    case 10:
        return QString::number(edge_);
    case 11:
        return QString::number(zeroClear_);
    case 13: {
        // Pulses per second, wobbling a little around the channel's rate.
        const double rate = 10.0 * i * (1.0 + 0.02 * wave(i, t));
        return fmt4(rate);
    }
    case 14:
        return QString::number(rateMem_);
    case 15:
        return QString::number(lineNoise_);
    case 16:
        return filter_;
    case 17:
        return QString::number(zsState_[i]);
    case 18:
        return fmt4(offset_[i]);
    case 19:
        return fmt4(coef_[i]);
    case 20:
        return QString::number(burnout_[i]);
    case 21:
        return QString::number(comp_[i]);
    case 23:
        return cjmTemp_;
    case 24:
        return cjmVolt_;
    case 25:
        return QString::number(cjc_[i]);
    case 80:
        return QString::number(node_);
    case 81:
        return QString::number(baud_);
    case 82:
        return QStringLiteral("0");
    case 83:
        return QString::number(parity_);
    case 84:
        return QString::number(stopBits_);
    case 86:
        return QString::number(float_);
    case 90:
        return modelName();
    case 91:
        return QStringLiteral("V1.02");
    case 92:
        return model_ == QLatin1String("QV8_E6") ? QStringLiteral("V2.50") : QStringLiteral("V3.00");
    case 93: {
        int row = models().indexOf(model_) + 1;
        return QStringLiteral("2503%1").arg(1000 + 137 * row, 4, 10, QLatin1Char('0'));
    }
    case 94:
        return QStringLiteral("2024/11/05");
    case 95:
        return QStringLiteral("2025/03/14");
    default:
        return kIllegal;
    }
}

QString ModuleCore::write(int item, int i, const QString &text)
{
    if (faults_.forgetItem > 0 && faults_.forgetItem == item) {
        const ModuleCore before = *this;
        faults_.forgetItem = 0;
        const QString answer = write(item, i, text);
        *this = before;  // answered as kept, but nothing kept
        return answer;
    }
    if (!faults_.refuseWrites.isEmpty() && (faults_.refuseItem <= 0 || faults_.refuseItem == item))
        return faults_.refuseWrites;
    if (!hasItem(item))
        return kIllegal;
    const Shape s = shape(item);
    if (!s.exists || s.readOnly)
        return kIllegal;
    if (s.indexed && (i < 1 || i > s.last))
        return kInvalid;

    const std::optional<int> n = wholeNumber(text);
    auto inRange = [&](int lo, int hi) { return n && *n >= lo && *n <= hi; };
    QString answer;

    switch (item) {
    case 5:
        if (!n || !validType(kind_, *n))
            return kInvalid;
        type_[i] = *n;
        answer = QString::number(*n);
        break;
    case 7:
        if (!inRange(0, 1))
            return kInvalid;
        (kind_ == 3 || kind_ == 5 ? out_[i] : alarmOut_) = *n;
        answer = QString::number(*n);
        break;
    case 9:
        if (!n)
            return kInvalid;
        preset_[i] = text;   // kept as written, leading zeros and all
        answer = text;
        break;
    case 10:
    case 14:
        if (!inRange(0, 1))
            return kInvalid;
        (item == 10 ? edge_ : rateMem_) = *n;
        answer = QString::number(*n);
        break;
    case 11:
        if (!inRange(0, 1))
            return kInvalid;
        zeroClear_ = *n;
        if (*n == 1) {
            const qint64 t = now();
            for (qint64 &from : countFrom_)
                from = t;
            answer = QStringLiteral("OK");
        } else {
            answer = QStringLiteral("0");
        }
        break;
    case 15:
        if (!inRange(0, 2))
            return kInvalid;
        lineNoise_ = *n;
        answer = QString::number(*n);
        break;
    case 16: {
        const auto d = decimalNumber(text);
        if (!d || *d < 0.0 || *d > 100.0)
            return kInvalid;
        filter_ = text;
        answer = faults_.echoDecimals >= 0 ? QString::number(*d, 'f', faults_.echoDecimals) : text;
        break;
    }
    case 17:
        // Only a reset can be written: back to no adjustment at all.
        if (!inRange(0, 0))
            return kInvalid;
        zsState_[i] = 0;
        offset_[i] = 0.0;
        coef_[i] = 100.0;
        answer = QStringLiteral("0");
        break;
    case 18: {
        const auto real = decimalNumber(text);
        if (!real)
            return kInvalid;
        // Zero adjustment: shift the channel so it reads the applied value now.
        offset_[i] = *real - baseInput(i, now());
        zsState_[i] |= 1;
        answer = fmt4(offset_[i]);
        break;
    }
    case 19: {
        const auto real = decimalNumber(text);
        if (!real)
            return kInvalid;
        if (!(zsState_[i] & 1))
            return kIllegal;   // a span needs a zero adjustment first
        const double zeroed = baseInput(i, now()) + offset_[i];
        if (std::fabs(zeroed) < 1e-9)
            return kInvalid;
        coef_[i] = *real / zeroed * 100.0;
        zsState_[i] |= 2;
        answer = fmt4(coef_[i]);
        break;
    }
    case 20:
        if (!inRange(0, 2))
            return kInvalid;
        burnout_[i] = *n;   // kind 6 keeps its single setting in element 0
        answer = QString::number(*n);
        break;
    case 21:
        if (!inRange(0, 2))
            return kInvalid;
        comp_[i] = *n;
        answer = QString::number(*n);
        break;
    case 23:
    case 24: {
        const auto d = decimalNumber(text);
        const double hi = item == 23 ? 100.0 : 2.0;
        if (!d || *d < 0.0 || *d > hi)
            return kInvalid;
        (item == 23 ? cjmTemp_ : cjmVolt_) = QString::number(*d, 'f', 3);
        // 25.500 comes back as 25.5
        answer = faults_.echoDecimals >= 0 ? QString::number(*d, 'f', faults_.echoDecimals)
                                           : QString::number(*d);
        break;
    }
    case 25:
        if (!inRange(0, 1))
            return kInvalid;
        cjc_[i] = *n;
        answer = QString::number(*n);
        break;
    case 80:
        if (!inRange(1, 247))
            return kInvalid;
        node_ = *n;
        answer = QString::number(*n);
        break;
    case 81:
        if (!inRange(0, kind_ == 6 ? 3 : 2))
            return kInvalid;
        baud_ = *n;
        answer = QString::number(*n);
        break;
    case 83:
        if (!inRange(0, 2))
            return kInvalid;
        parity_ = *n;
        answer = QString::number(*n);
        break;
    case 84:
    case 86:
        if (!inRange(0, 1))
            return kInvalid;
        (item == 84 ? stopBits_ : float_) = *n;
        answer = QString::number(*n);
        break;
    default:
        return kIllegal;
    }
    values_.remove(key(item, i));
    return faults_.changedEcho ? altered(answer) : answer;
}

bool ModuleCore::sensorType(int ch) const
{
    if (ch < 1 || ch > channels())
        return false;
    if (kind_ == 2)
        return type_[ch] < 64;
    return (kind_ == 1 || kind_ == 6) && type_[ch] >= 16;
}

// The input as the sensor delivers it, before any zero/span adjustment.
double ModuleCore::baseInput(int ch, qint64 t) const
{
    const int c = type_[ch];
    const double w = wave(ch, t);
    if (kind_ == 2) {
        if (c >= 64)
            return 50.0 + 20.0 * w;   // percent of the range
        // A channel without line compensation reads its wires as a degree warmer.
        return 22.0 + 3.0 * w + (comp_[ch] == 0 ? 1.0 : 0.0);
    }
    if (c >= 16)
        return 25.0 + 4.0 * w;   // degC
    if (c >= 3) {
        static const double span[] = {0.8, 0.2, 0.05, 0.01};
        return span[c - 3] * (0.0625 + 0.02 * w);   // volts, small
    }
    static const double span[] = {20.0, 5.0, 1.0};
    const double fs = kind_ == 6 ? 10.0 : span[c];
    return fs * (0.1 + 0.05 * w);   // volts
}

double ModuleCore::measured(int ch, qint64 t) const
{
    if (broken_.contains(ch) && sensorType(ch)) {
        const int b = burnout_[kind_ == 6 ? 0 : ch];
        if (b == 1)
            return 9999.0;
        if (b == 2)
            return -9999.0;
    }
    return (baseInput(ch, t) + offset_[ch]) * coef_[ch] / 100.0;
}

double ModuleCore::rawInput(int ch, qint64 t) const
{
    const int c = type_[ch];
    const double x = baseInput(ch, t);
    if (kind_ == 2) {
        if (c >= 64)
            return x;
        double r0 = 100.0, alpha = 0.00385;
        if (c == 51)
            r0 = 50.0;
        else if (c == 52)
            r0 = 508.4, alpha = 0.00618;
        else if (c == 53)
            r0 = 1000.0;
        return r0 * (1.0 + alpha * x);   // ohm
    }
    if (c >= 16)
        return x * 0.00004;   // thermocouple EMF in volts
    return x;
}

int ModuleCore::contactInput(int i, qint64 t) const
{
    const qint64 period = kind_ == 5 ? 1000 + 250 * i : 3000 + 500 * i;
    return int((t / period + i) % 2);
}

quint32 ModuleCore::count(int ch, qint64 t) const
{
    const qint64 from = countFrom_.value(ch, 0);
    if (t <= from)
        return 0;
    if (kind_ == 4) {
        // Rising edges of the input contact since the last clear.
        const qint64 period = 3000 + 500 * ch;
        auto rises = [&](qint64 at) { return (at / period + ch + 1) / 2; };
        return quint32(rises(t) - rises(from));
    }
    return quint32((t - from) * 10 * ch / 1000);   // wraps like a 32-bit counter
}

// ----------------------------------------------------------------- PtyModule

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    QByteArray bytes;
};

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

PtyModule::PtyModule(const QString &model) : core_(model) {}

PtyModule::~PtyModule() { stop(); }

bool PtyModule::start(QString *error)
{
    if (running_)
        return true;
    auto fail = [&](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
        closeFd(master_);
        closeFd(slave_);
        closeFd(wakeRead_);
        closeFd(wakeWrite_);
        return false;
    };

    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        return fail("openpty");
    // Raw from the start: no echo, no CR/NL translation, whoever opens it.
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe");
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    path_ = QString::fromLocal8Bit(name);

    running_ = true;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void PtyModule::stop()
{
    if (thread_.joinable()) {
        running_ = false;
        const char b = 1;
        ssize_t ignored = ::write(wakeWrite_, &b, 1);
        (void)ignored;
        thread_.join();
    }
    running_ = false;
    closeFd(master_);
    closeFd(slave_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

QList<QByteArray> PtyModule::received()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return core_.received();
}

void PtyModule::clearReceived()
{
    std::lock_guard<std::mutex> lock(mutex_);
    core_.clearReceived();
}

void PtyModule::setFaults(const Faults &f)
{
    std::lock_guard<std::mutex> lock(mutex_);
    core_.faults() = f;
}

void PtyModule::setValue(int item, int index, const QString &payload)
{
    std::lock_guard<std::mutex> lock(mutex_);
    core_.setValue(item, index, payload);
}

void PtyModule::setTrace(std::function<void(const QByteArray &)> trace)
{
    std::lock_guard<std::mutex> lock(mutex_);
    trace_ = std::move(trace);
}

void PtyModule::setPacing(const Pacing &p)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pacing_ = p;
}

void PtyModule::serve()
{
    using std::chrono::duration_cast;
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    using std::chrono::nanoseconds;

    std::deque<Chunk> out;               // due times never decrease
    Clock::time_point txFree = Clock::now();   // when the module's transmitter is idle
    qsizetype lineLen = 0;               // bytes of the command line so far
    bool blocked = false;                // the pty buffer was full at the last write

    // Lay one reply out on the time line: turnaround, delay, then the
    // characters at wire speed, in pieces when the split fault asks for it.
    auto schedule = [&](const QByteArray &reply, qsizetype cmdLen, Clock::time_point at,
                        const Pacing &pace, const Faults &f) {
        const nanoseconds charTime =
            pace.baud > 0 ? nanoseconds(10LL * 1000000000LL / pace.baud) : nanoseconds(0);
        Clock::time_point start = at + charTime * cmdLen + milliseconds(pace.turnaroundMs) +
                                  milliseconds(f.delayMs);
        if (start < txFree)
            start = txFree;
        const int pieces = f.splitPieces > 1 ? std::min<int>(f.splitPieces, int(reply.size())) : 1;
        const milliseconds gap(std::max(0, f.splitGapMs));
        const qsizetype size = reply.size();
        Clock::time_point end = start;
        for (int p = 0; p < pieces; ++p) {
            const qsizetype from = size * p / pieces, to = size * (p + 1) / pieces;
            if (charTime.count() > 0) {
                // Each character after its own wire time, handed over one at
                // a time or gathered into pieces.
                const nanoseconds piece = milliseconds(std::max(0, pace.pieceMs));
                Clock::time_point pieceStart{};
                bool gathering = false;  // the last chunk is a piece still filling
                for (qsizetype i = from; i < to; ++i) {
                    end = start + gap * p + charTime * (i + 1);
                    if (gathering && end - pieceStart <= piece) {
                        out.back().due = end;
                        out.back().bytes += reply.at(i);
                    } else {
                        out.push_back({end, reply.mid(i, 1)});
                        pieceStart = end - charTime;
                        gathering = piece.count() > 0;
                    }
                }
            } else {
                end = start + gap * p;
                out.push_back({end, reply.mid(from, to - from)});
            }
        }
        txFree = end;
    };

    while (running_) {
        const Clock::time_point now = Clock::now();

        // Send whatever is due, joined into one write.
        if (!out.empty() && out.front().due <= now) {
            QByteArray due;
            size_t n = 0;
            while (n < out.size() && out[n].due <= now)
                due += out[n++].bytes;
            const ssize_t w = ::write(master_, due.constData(), size_t(due.size()));
            blocked = false;
            if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                blocked = true;
            } else if (w >= 0) {
                qsizetype left = w;
                while (left > 0 && !out.empty()) {
                    Chunk &c = out.front();
                    if (c.bytes.size() <= left) {
                        left -= c.bytes.size();
                        out.pop_front();
                    } else {
                        c.bytes.remove(0, left);
                        left = 0;
                        blocked = true;   // partial write: the buffer is full
                    }
                }
            } else {
                out.clear();   // the pty is gone; nothing can be delivered
            }
        }

        pollfd pfd[2] = {};
        pfd[0].fd = master_;
        pfd[0].events = POLLIN | (blocked ? POLLOUT : 0);
        pfd[1].fd = wakeRead_;
        pfd[1].events = POLLIN;
        timespec ts{};
        timespec *timeout = nullptr;
        if (!out.empty() && !blocked) {
            nanoseconds wait = out.front().due - Clock::now();
            if (wait.count() < 0)
                wait = nanoseconds(0);
            ts.tv_sec = time_t(wait.count() / 1000000000LL);
            ts.tv_nsec = long(wait.count() % 1000000000LL);
            timeout = &ts;
        }
        const int r = ::ppoll(pfd, 2, timeout, nullptr);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (pfd[1].revents & POLLIN) {
            char buf[64];
            while (::read(wakeRead_, buf, sizeof buf) > 0) {
            }
        }
        if (pfd[0].revents & POLLOUT)
            blocked = false;
        bool broken = (pfd[0].revents & (POLLHUP | POLLERR)) != 0;
        bool pulled = false;
        if (pfd[0].revents & POLLIN) {
            char buf[1024];
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0 && errno != EAGAIN && errno != EINTR)
                broken = true;
            if (got > 0) {
                const Clock::time_point at = Clock::now();
                const QByteArray bytes(buf, int(got));
                std::lock_guard<std::mutex> lock(mutex_);
                // Feed line by line so each reply knows the length of its command.
                qsizetype pos = 0;
                while (pos < bytes.size()) {
                    qsizetype cr = bytes.indexOf('\r', pos);
                    const qsizetype end = cr < 0 ? bytes.size() : cr + 1;
                    const QByteArray piece = bytes.mid(pos, end - pos);
                    lineLen += piece.size();
                    const qsizetype before = core_.received().size();
                    const QList<Reply> replies = core_.feed(piece);
                    if (trace_)
                        for (qsizetype i = before; i < core_.received().size(); ++i)
                            trace_(core_.received().at(i));
                    const int hangup = core_.faults().hangupAfter;
                    if (hangup > 0 && core_.received().size() >= hangup)
                        pulled = true;
                    if (cr >= 0) {
                        if (!out.empty())
                            ++overlaps_;
                        for (const Reply &rep : replies)
                            schedule(rep.bytes, lineLen, at, pacing_, core_.faults());
                        lineLen = 0;
                    }
                    pos = end;
                }
            }
        }
        if (pulled) {
            // The cable is pulled: the other end sees the port vanish at once.
            out.clear();
            closeFd(master_);
            running_ = false;
            break;
        }
        if (broken) {
            // Should not happen while we hold the slave open; never spin on it.
            pollfd w{wakeRead_, POLLIN, 0};
            ::poll(&w, 1, 50);
        }
    }
}

}  // namespace sim
