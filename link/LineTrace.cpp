#include "link/LineTrace.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "link/TxtBus.h"

#include <QDateTime>

#include <utility>

namespace {

// The trace's words in the display language while the window shows them;
// files and standard error keep them English.
bool &inDisplayLanguage()
{
    static bool shown = false;
    return shown;
}

QString L(const char *english)
{
    return inDisplayLanguage() ? Tr(english) : QString::fromUtf8(english);
}

// Runs f with the words in the display language.
template <typename F>
QString shownIn(bool display, F f)
{
    const bool was = std::exchange(inDisplayLanguage(), display);
    QString text = f();
    inDisplayLanguage() = was;
    return text;
}

// What each item holds, worded to follow "read channel 3 ...", as the
// connected kind uses it.
QString itemName(int item, int group, int kind)
{
    if (group == 99 && item == 90)
        return L("restart");
    const bool analog = kind == 1 || kind == 2 || kind == 6;
    if (item == 6 && analog)
        return L("trigger input state");
    if (item == 6 && kind == 5)
        return L("DI state");
    if (item == 7 && kind == 6)
        return L("alarm output");
    if (item == 7 && kind == 5)
        return L("DO setting");
    if ((item == 8 || item == 9) && kind == 4)
        return item == 8 ? L("32-bit count") : L("count preset");
    switch (item) {
    case 2: return L("status");
    case 3: return L("measured value");
    case 4: return L("raw value");
    case 5: return L("input type");
    case 6: return L("input state");
    case 7: return L("output state");
    case 8: return L("count");
    case 9: return L("count preset");
    case 10: return L("count edge");
    case 11: return L("count clear");
    case 13: return L("count rate");
    case 14: return L("rate memory");
    case 15: return L("line noise filter");
    case 16: return L("filter time constant");
    case 17: return L("zero/span state");
    case 18: return L("zero adjustment");
    case 19: return L("span adjustment");
    case 20: return L("burnout type");
    case 21: return L("line resistance compensation");
    case 23: return L("cold-junction temperature");
    case 24: return L("cold-junction voltage");
    case 25: return L("cold-junction switch");
    case 80: return L("Modbus node address");
    case 81: return L("Modbus baud rate");
    case 82: return L("Modbus bit length");
    case 83: return L("Modbus parity");
    case 84: return L("Modbus stop bits");
    case 86: return L("Modbus float type");
    case 90: return L("model name");
    case 91: return L("hardware version");
    case 92: return L("firmware version");
    case 93: return L("serial number");
    case 94: return L("manufacture date");
    case 95: return L("calibration date");
    default: return item < 0 ? L("(no item selected)") : L("item %1").arg(item);
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
    case 21: name = NameAt({L("reset"), L("0% or Line Res."), "100%"}, v); break;  // the request
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

// What a line meant, in the words L gives.
QString meaningOf(const LineTrace::Entry &e)
{
    if (e.result == LineTrace::Result::LateInput)
        return e.behindReply ? L("behind the end of a reply") : L("no exchange waiting");
    QByteArray c = e.command;
    if (c.endsWith('\r'))
        c.chop(1);
    if (c.isEmpty())
        return QString();
    const QByteArray data = c.mid(1);
    switch (c.at(0)) {
    case 'G': {
        const int g = twoDigits(c, 1);
        return g == 99 ? L("enter group 99 (restart)") : L("enter group %1").arg(g);
    }
    case 'I':
        return L("select %1").arg(itemName(e.item, e.group, e.kind));
    case 'D': {
        const QString name = itemName(e.item, e.group, e.kind);
        if (e.group == 99 && e.item == 90)
            return L("restart the module");
        if (data.isEmpty())
            return L("read %1").arg(name);
        // the contact modules number contacts; the others channels
        const auto element = [&e, &name](const QByteArray &digits) {
            return (e.kind == 3 || e.kind == 4 ? L("contact %1 %2") : L("channel %1 %2"))
                .arg(digits.toInt())
                .arg(name);
        };
        if (data.size() == 2 && allDigits(data)) {
            if (e.item == 2 && data == "00")
                return L("read option bits");
            if (e.item == 20)  // one burnout type for the module, read at index 1
                return L("read %1 (whole module)").arg(name);
            if (wholeModule(e.item, e.kind))
                return L("read %1").arg(name);
            if (indexed(e.item, e.kind))
                return L("read %1").arg(element(data));
        }
        const QString written = QStringLiteral("%1 ← %2");
        if (wholeModule(e.item, e.kind) && data.size() > 2 && allDigits(data.left(2)))
            return written.arg(name, valueText(e.item, e.kind, data.mid(2)));
        if (indexed(e.item, e.kind) && data.size() > 2 && allDigits(data.left(2)))
            return written.arg(element(data.left(2)), valueText(e.item, e.kind, data.mid(2)));
        return written.arg(name, valueText(e.item, e.kind, data));
    }
    default:
        return QString();
    }
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

QString LineTrace::resultText(const Entry &e, bool shown)
{
    return shownIn(shown, [&e] {
        QString t;
        switch (e.result) {
        case Result::Done: t = noNumber(e) ? L("done, no number") : L("done"); break;
        case Result::Timeout: t = L("time-out"); break;
        case Result::Refused: t = L("refused"); break;
        case Result::InvalidReply:
            t = e.reply.size() < 3     ? L("invalid reply: too short")
                : e.reply.at(0) != 'D' ? L("invalid reply: no leading D")
                                       : L("invalid reply: no CR");
            break;
        case Result::PortError: t = L("port error: %1").arg(e.error); break;
        case Result::LateInput: t = L("late input dropped"); break;
        case Result::RestartWrite: t = L("sent, no reply awaited"); break;
        case Result::Abandoned: t = L("abandoned"); break;
        }
        return e.retry ? L("%1 (retry)").arg(t) : t;
    });
}

bool LineTrace::isError(const Entry &e)
{
    return (e.result != Result::Done && e.result != Result::RestartWrite) || noNumber(e);
}

QString LineTrace::meaning(const Entry &e, bool shown)
{
    return shownIn(shown, [&e] { return meaningOf(e); });
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
