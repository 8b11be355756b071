#include "link/TxtBus.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "link/Communication.h"
#include "link/LineTrace.h"

QString Fmt00(int n)
{
    return n < 0 ? "-" + QString::number(-n).rightJustified(2, '0')
                 : QString::number(n).rightJustified(2, '0');
}

std::optional<QString> ReplyPayload(const QString &line)
{
    if (line.size() < 3 || !line.startsWith('D') || !line.endsWith('\r'))
        return std::nullopt;
    // only spaces are trimmed; any other character belongs to the payload
    const QString payload = line.mid(1, line.size() - 2);
    int from = 0, to = payload.size();
    while (from < to && payload[from] == ' ')
        ++from;
    while (to > from && payload[to - 1] == ' ')
        --to;
    return payload.mid(from, to - from);
}

bool ReplyCheck(QString &reply)
{
    AppState &s = G();
    if (s.TimeoutFlag) {
        s.TimeoutFlag = false;
        return false;
    }
    const std::optional<QString> payload = ReplyPayload(reply);
    if (!payload)
        return false;
    reply = *payload;
    return true;
}

namespace {
// Long enough for a whole reply at 9600 baud and a device server's delay.
constexpr int kSettleMs = 200;
}  // namespace

bool GroupCommand(int group, QString &reply)
{
    const QString line = "G" + Fmt00(group) + "\r";
    for (int attempt = 1; attempt <= 3; ++attempt) {
        if (attempt > 1)
            LineTrace::markRetry();
        reply = SendReceive(line);
        const bool timedOut = G().TimeoutFlag;
        if (ReplyCheck(reply) && reply == "enter item")
            return true;
        if (AppEnding() || (G().CommForm && G().CommForm->portLost()))
            return false;
        // Something else came, perhaps the tail of a reply from before
        // (a device server restarted mid-reply): this select's own answer
        // may still be on its way. Let it come, and go as late input,
        // before asking again, or it would be taken for the next answer.
        if (!timedOut && attempt < 3)
            LetLineSettle(kSettleMs);
    }
    // the reply as the trace shows it: a module's control bytes never reach a terminal
    MsgBox("Out=" + line + "\r\n" + "In =" + VisibleText(reply), Tr("Group Command Error"),
           MsgIcon::Exclamation);
    return false;
}

bool ItemCommand(int item)
{
    QString reply = SendReceive("I" + Fmt00(item) + "\r");
    return ReplyCheck(reply);
}

namespace {

// Selects the item for the data command that follows. An event handler may
// talk to the module while the select waits for its reply and leave another
// item selected; then the select is sent again.
bool SelectItem(int item)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0)
            LineTrace::markRetry();
        const quint64 before = ExchangeCount();
        if (!ItemCommand(item))
            return false;
        if (ExchangeCount() == before + 1)
            return true;
    }
    return false;
}

}  // namespace

bool DataRead(int item, int index, QString &reply)
{
    if (!SelectItem(item))
        return false;
    QString line = "D";
    if (G().ForceIndex || index != 0)
        line += Fmt00(index);
    reply = SendReceive(line + "\r");
    return ReplyCheck(reply);
}

bool ParameterWrite(int item, const QString &value, QString &reply)
{
    const QString converted = CommaToPoint(value);
    if (!SelectItem(item))
        return false;
    const QString line = "D" + converted + "\r";
    reply = SendReceive(line);
    if (!ReplyCheck(reply))
        return false;
    if (reply == "illegal OPE" || reply == "invalid data") {
        // the caller may try again, and reports the write's failure itself
        MsgBox("invalid data " + line + "\r\n" + "at item " + QString::number(item),
               Tr("Parameter Write"), MsgIcon::Critical, MsgOutcome::Note);
        return false;
    }
    return true;
}
