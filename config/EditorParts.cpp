#include "config/EditorParts.h"

#include "app/Globals.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <cmath>

namespace EditorParts {

std::function<bool(const QString &)> exactly(const QString &expected)
{
    return [expected](const QString &payload) { return payload == expected; };
}

std::optional<double> numberOf(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // locale-free: a point only
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::function<bool(const QString &)> sameNumber(const QString &expected)
{
    return [expected](const QString &payload) {
        const auto a = numberOf(expected);
        const auto b = numberOf(payload);
        return a && b && *a == *b;
    };
}

Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes)
{
    if (!ModuleReads::LinkUp())
        return Sent::LinkDown;
    if (!DownloadCheck::ModuleFits(title))
        return Sent::Refused;
    for (const CheckedWrite &w : writes) {
        if (w.before)
            w.before();
        QString reply;
        if (!ParameterWrite(w.item, w.value, reply) || !w.same(reply))
            return Sent::Incomplete;
    }
    return Sent::Done;
}

}  // namespace EditorParts
