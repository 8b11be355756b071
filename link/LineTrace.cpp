#include "link/LineTrace.h"

#include "app/Globals.h"
#include "link/TxtBus.h"

#include <QDateTime>

#include <utility>

namespace {

// What each item holds, worded to follow "read channel 3 ...", as the
// connected kind uses it.
QString itemName(int item, int group, int kind)
{
    if (group == 99 && item == 90)
        return "restart";
    const bool analog = kind == 1 || kind == 2 || kind == 6;
    if (item == 6 && analog)
        return "trigger input state";
    if (item == 6 && kind == 5)
        return "DI state";
    if (item == 7 && kind == 6)
        return "alarm output";
    if (item == 7 && kind == 5)
        return "DO setting";
    if ((item == 8 || item == 9) && kind == 4)
        return item == 8 ? "32-bit count" : "count preset";
    switch (item) {
    case 2: return "status";
    case 3: return "measured value";
    case 4: return "raw value";
    case 5: return "input type";
    case 6: return "input state";
    case 7: return "output state";
    case 8: return "count";
    case 9: return "count preset";
    case 10: return "count edge";
    case 11: return "count clear";
    case 13: return "count rate";
    case 14: return "rate memory";
    case 15: return "line noise filter";
    case 16: return "filter time constant";
    case 17: return "zero/span state";
    case 18: return "zero adjustment";
    case 19: return "span adjustment";
    case 20: return "burnout type";
    case 21: return "line resistance compensation";
    case 23: return "cold-junction temperature";
    case 24: return "cold-junction voltage";
    case 25: return "cold-junction switch";
    case 80: return "Modbus node address";
    case 81: return "Modbus baud rate";
    case 82: return "Modbus bit length";
    case 83: return "Modbus parity";
    case 84: return "Modbus stop bits";
    case 86: return "Modbus float type";
    case 90: return "model name";
    case 91: return "hardware version";
    case 92: return "firmware version";
    case 93: return "serial number";
    case 94: return "manufacture date";
    case 95: return "calibration date";
    default: return item < 0 ? QString("(no item selected)") : "item " + QString::number(item);
    }
}

// Items an analog module holds once, addressed as its first element.
bool wholeModule(int item, int kind)
{
    const bool analog = kind == 1 || kind == 2 || kind == 6;
    return (item == 6 && analog) || (item == 7 && kind == 6);
}

// Items whose data lines start with a two-digit channel or contact.
bool indexed(int item, int kind)
{
    switch (item) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 13:
    case 17: case 18: case 19: case 21: case 25:
        return true;
    case 20:
        return kind != 6;  // the second-generation module has one burnout type
    default:
        return false;
    }
}

bool allDigits(const QByteArray &b)
{
    if (b.isEmpty())
        return false;
    for (char c : b)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A written value with the name it stands for, where the item has names.
QString valueText(int item, int kind, const QByteArray &data)
{
    const QString text = QString::fromLatin1(data);
    if (!allDigits(data))
        return text;
    const int v = data.toInt();
    const AppState &s = G();
    QString name;
    switch (item) {
    case 5:
        if (kind != 2 || (v >= 48 && v <= 67))
            name = TypeName(kind, v / 16, v % 16);
        break;
    case 7:
    case 25: name = NameAt(s.OnOffName, v); break;
    case 15: name = NameAt(s.LineNoiseName, v); break;
    case 20: name = NameAt(s.BurnoutName, v); break;
    case 21: name = NameAt({"reset", "0% or Line Res.", "100%"}, v); break;  // the request
    default: break;
    }
    return name.isEmpty() ? text : text + " " + name;
}

int twoDigits(const QByteArray &b, int from)
{
    const QByteArray d = b.mid(from, 2);
    return allDigits(d) ? d.toInt() : -1;
}

// A read of a measured or set value whose reply the module gave, but with
// no number in it: the windows show a dash, the log an empty cell.
bool noNumber(const LineTrace::Entry &e)
{
    static const QList<int> valueItems = {3, 4, 13, 16, 18, 19, 23, 24};
    if (e.result != LineTrace::Result::Done || e.group == 99 || !valueItems.contains(e.item) ||
        !e.command.startsWith('D'))
        return false;
    QByteArray data = e.command.mid(1);
    if (data.endsWith('\r'))
        data.chop(1);
    if (!data.isEmpty() && !(data.size() == 2 && allDigits(data)))
        return false;  // a write
    const std::optional<QString> payload = ReplyPayload(QString::fromLatin1(e.reply));
    return payload && !NumberIn(*payload);
}

}  // namespace

LineTrace &LineTrace::instance()
{
    static LineTrace trace;
    return trace;
}

void LineTrace::markRetry()
{
    instance().retryPending_ = true;
}

bool LineTrace::takeRetry()
{
    return std::exchange(instance().retryPending_, false);
}

const LineTrace::Entry *LineTrace::find(quint64 seq) const
{
    if (seq < firstSeq() || seq >= nextSeq_)
        return nullptr;
    return &entries_[size_t(seq - firstSeq())];
}

void LineTrace::clear()
{
    entries_.clear();
    counters_ = Counters{};
    pendingTail_.clear();
    emit cleared();
}

void LineTrace::append(Entry &&e)
{
    e.seq = nextSeq_++;
    if (entries_.size() >= size_t(Capacity))
        entries_.pop_front();
    entries_.push_back(std::move(e));
    emit appended(entries_.back());
}

LineTrace::Result LineTrace::judge(const QByteArray &command, const QByteArray &reply)
{
    const std::optional<QString> payload = ReplyPayload(QString::fromLatin1(reply));
    if (!payload)
        return Result::InvalidReply;
    if (*payload == "illegal OPE" || *payload == "invalid data")
        return Result::Refused;
    if (command.startsWith('G') && *payload != "enter item")
        return Result::Refused;
    return Result::Done;
}

void LineTrace::record(const QByteArray &command, const QByteArray &reply, qint64 wallMs,
                       qint64 elapsedNs, Result result, const QString &error,
                       std::optional<bool> retry)
{
    Entry e;
    e.wallMs = wallMs;
    e.command = command;
    e.reply = QByteArray(reply.constData(), reply.size());  // no spare capacity kept
    e.error = error;
    e.roundTripUs = quint32(qBound<qint64>(0, elapsedNs / 1000, 0xffffffffLL));
    e.result = result;
    e.retry = retry ? *retry : takeRetry();
    e.kind = qint8(orZero(G().ModelKind));
    e.group = group_;

    // The line's place in the protocol: a group select leaves no item
    // selected, an item select selects its item.
    const char c = command.isEmpty() ? 0 : command.at(0);
    const int n = twoDigits(command, 1);
    if (c == 'G') {
        group_ = qint8(n);
        item_ = -1;
        e.group = group_;
    } else if (c == 'I') {
        item_ = qint8(n);
    }
    e.item = item_;

    Counters &k = counters_;
    ++k.exchanges;
    k.retries += e.retry;
    switch (result) {
    case Result::Timeout: ++k.timeouts; break;
    case Result::Refused: ++k.refusals; break;
    case Result::InvalidReply: ++k.invalid; break;
    case Result::PortError: ++k.portErrors; break;
    default: break;
    }
    if (result == Result::Done || result == Result::Refused || result == Result::InvalidReply) {
        const double ms = e.roundTripUs / 1000.0;
        ++k.replies;
        k.totalMs += ms;
        k.longestMs = std::max(k.longestMs, ms);
    }
    append(std::move(e));

    if (!pendingTail_.isEmpty())
        appendLate(std::exchange(pendingTail_, QByteArray()), pendingTailMs_, true);
}

void LineTrace::lateInput(const QByteArray &bytes, bool behindReply)
{
    if (bytes.isEmpty())
        return;
    if (behindReply) {
        if (pendingTail_.isEmpty())
            pendingTailMs_ = QDateTime::currentMSecsSinceEpoch();
        pendingTail_ += bytes;
        return;
    }
    appendLate(bytes, QDateTime::currentMSecsSinceEpoch(), false);
}

void LineTrace::appendLate(const QByteArray &bytes, qint64 wallMs, bool behindReply)
{
    Entry e;
    e.wallMs = wallMs;
    e.reply = bytes;
    e.result = Result::LateInput;
    e.behindReply = behindReply;
    e.kind = qint8(orZero(G().ModelKind));
    e.group = group_;
    e.item = item_;
    ++counters_.lateInputs;
    append(std::move(e));
}

QString LineTrace::visible(const QByteArray &bytes)
{
    return VisibleText(QString::fromLatin1(bytes));
}

QString LineTrace::timeText(const Entry &e)
{
    return QDateTime::fromMSecsSinceEpoch(e.wallMs).toString("yyyy-MM-dd HH:mm:ss.zzz");
}

QString LineTrace::roundTripText(const Entry &e)
{
    if (e.result == Result::LateInput)
        return QString();
    return QString::number(e.roundTripUs / 1000.0, 'f', 1);
}

QString LineTrace::resultText(const Entry &e)
{
    QString t;
    switch (e.result) {
    case Result::Done: t = noNumber(e) ? "done, no number" : "done"; break;
    case Result::Timeout: t = "time-out"; break;
    case Result::Refused: t = "refused"; break;
    case Result::InvalidReply:
        t = e.reply.size() < 3         ? "invalid reply: too short"
            : e.reply.at(0) != 'D'     ? "invalid reply: no leading D"
                                       : "invalid reply: no CR";
        break;
    case Result::PortError: t = "port error: " + e.error; break;
    case Result::LateInput: t = "late input dropped"; break;
    case Result::RestartWrite: t = "sent, no reply awaited"; break;
    case Result::Abandoned: t = "abandoned"; break;
    }
    return e.retry ? t + " (retry)" : t;
}

bool LineTrace::isError(const Entry &e)
{
    return (e.result != Result::Done && e.result != Result::RestartWrite) || noNumber(e);
}

QString LineTrace::meaning(const Entry &e)
{
    if (e.result == Result::LateInput)
        return e.behindReply ? "behind the end of a reply" : "no exchange waiting";
    QByteArray c = e.command;
    if (c.endsWith('\r'))
        c.chop(1);
    if (c.isEmpty())
        return QString();
    const QByteArray data = c.mid(1);
    switch (c.at(0)) {
    case 'G': {
        const int g = twoDigits(c, 1);
        return g == 99 ? "enter group 99 (restart)" : "enter group " + QString::number(g);
    }
    case 'I':
        return "select " + itemName(e.item, e.group, e.kind);
    case 'D': {
        const QString name = itemName(e.item, e.group, e.kind);
        if (e.group == 99 && e.item == 90)
            return "restart the module";
        if (data.isEmpty())
            return "read " + name;
        // the contact modules number contacts; the others channels
        const QString element = e.kind == 3 || e.kind == 4 ? "contact " : "channel ";
        if (data.size() == 2 && allDigits(data)) {
            if (e.item == 2 && data == "00")
                return "read option bits";
            if (e.item == 20)  // one burnout type for the module, read at index 1
                return "read " + name + " (whole module)";
            if (wholeModule(e.item, e.kind))
                return "read " + name;
            if (indexed(e.item, e.kind))
                return "read " + element + QString::number(data.toInt()) + " " + name;
        }
        if (wholeModule(e.item, e.kind) && data.size() > 2 && allDigits(data.left(2)))
            return name + " ← " + valueText(e.item, e.kind, data.mid(2));
        if (indexed(e.item, e.kind) && data.size() > 2 && allDigits(data.left(2)))
            return element + QString::number(data.left(2).toInt()) + " " + name + " ← " +
                   valueText(e.item, e.kind, data.mid(2));
        return name + " ← " + valueText(e.item, e.kind, data);
    }
    default:
        return QString();
    }
}

QString LineTrace::line(const Entry &e)
{
    return timeText(e) + '\t' + visible(e.command) + '\t' + visible(e.reply) + '\t' +
           roundTripText(e) + '\t' + resultText(e) + '\t' + meaning(e);
}

QString LineTrace::header()
{
    return "time\tcommand\treply\tms\tresult\tmeaning";
}

TracedExchange::TracedExchange(const QByteArray &command)
    : command_(command), wallMs_(QDateTime::currentMSecsSinceEpoch()),
      retry_(LineTrace::takeRetry())
{
    clock_.start();
}

void TracedExchange::sending()
{
    wallMs_ = QDateTime::currentMSecsSinceEpoch();
    clock_.start();
}

TracedExchange::~TracedExchange()
{
    abandoned();
}

void TracedExchange::end(LineTrace::Result r, const QByteArray &reply, const QString &error)
{
    if (recorded_)
        return;
    recorded_ = true;
    LineTrace::instance().record(command_, reply, wallMs_, clock_.nsecsElapsed(), r, error,
                                 retry_);
}

void TracedExchange::abandoned()
{
    end(LineTrace::Result::Abandoned, QByteArray(), QString());
}

void TracedExchange::ended(const QByteArray &reply, bool timedOut)
{
    end(timedOut ? LineTrace::Result::Timeout : LineTrace::judge(command_, reply), reply,
        QString());
}

void TracedExchange::restartWrite()
{
    end(LineTrace::Result::RestartWrite, QByteArray(), QString());
}

const QString &TracedExchange::portError(const QString &text)
{
    end(LineTrace::Result::PortError, QByteArray(), text);
    return text;
}
