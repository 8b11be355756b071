#include "config/EditorParts.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

namespace EditorParts {

std::function<bool(const QString &)> exactly(const QString &expected)
{
    return [expected](const QString &payload) { return payload == expected; };
}

std::function<bool(const QString &)> sameNumber(const QString &expected)
{
    return [expected](const QString &payload) {
        const auto a = NumberIn(expected);
        const auto b = NumberIn(payload);
        return a && b && *a == *b;
    };
}

std::function<bool(const QString &)> sameWhole(int expected)
{
    return [expected](const QString &payload) { return WholeNumber(payload) == expected; };
}

Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes)
{
    if (!ModuleReads::LinkUp())
        return Sent::LinkDown;
    return WriteChecked(title, writes);
}

Sent WriteChecked(const QString &title, const QList<CheckedWrite> &writes)
{
    if (!DownloadCheck::ModuleFits(title))
        return Sent::Refused;
    for (const CheckedWrite &w : writes) {
        if (w.before)
            w.before();
        QString reply;
        if (!ParameterWrite(w.item, w.value, reply) || !w.same(reply))
            return Sent::Incomplete;
    }
    Outcome::done();
    return Sent::Done;
}

void ReportIncomplete(Sent sent, const QString &title)
{
    if (sent == Sent::Incomplete || (sent == Sent::LinkDown && !CommOpenCancelled()))
        MsgBox(LoadResString(3003), title, MsgIcon::Critical);
}

}  // namespace EditorParts
