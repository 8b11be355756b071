#include "config/EditorParts.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
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

QString WriteFailure(bool answered, const QString &reply)
{
    if (answered)
        return Tr("not verified: the module echoed \"%1\"").arg(VisibleText(reply));
    if (reply == "illegal OPE" || reply == "invalid data")
        return Tr("refused by the module");
    return Tr("failed: no reply");
}

Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes, const Written &written)
{
    if (!ModuleReads::LinkUp()) {
        MainPanel::instance().setLastResult(
            Tr("%1 not downloaded: no link to the module").arg(written.what));
        return Sent::LinkDown;
    }
    return WriteChecked(title, writes, written);
}

Sent WriteChecked(const QString &title, const QList<CheckedWrite> &writes, const Written &written)
{
    MainPanel &panel = MainPanel::instance();
    if (!DownloadCheck::ModuleFits(title)) {
        panel.setLastResult(
            Tr("%1 not downloaded: the module on the line did not fit").arg(written.what));
        return Sent::Refused;
    }
    for (int i = 0; i < writes.size(); ++i) {
        const CheckedWrite &w = writes.at(i);
        if (w.before)
            w.before();
        QString reply;
        const bool answered = ParameterWrite(w.item, w.value, reply);
        if (answered && w.same(reply))
            continue;
        // some writes of a long download may have reached the module
        QString result = Tr("%1 download %2").arg(written.what, WriteFailure(answered, reply));
        if (i > 0)
            result += " " + Tr("(%1 of %2 writes done)").arg(i).arg(writes.size());
        panel.setLastResult(result);
        return Sent::Incomplete;
    }
    panel.setLastResult(Tr("%1 downloaded and verified: %2").arg(written.what, written.value));
    Outcome::done();
    return Sent::Done;
}

void ReportIncomplete(Sent sent, const QString &title)
{
    if (sent == Sent::Incomplete || (sent == Sent::LinkDown && !CommOpenCancelled()))
        MsgBox(LoadResString(3003), title, MsgIcon::Critical);
}

}  // namespace EditorParts
