#include "workflows/ModuleReads.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/PassSamples.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "monitor/TypeNames.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "workflows/Progress.h"

#include <QLabel>

namespace ModuleReads {

namespace {

bool readInt(int item, int index, int &out, QString *payload = nullptr)
{
    QString reply;
    if (!DataRead(item, index, reply))
        return false;
    const std::optional<int> v = WholeNumber(reply);
    if (!v)
        return false;  // a number was expected: treat it like a failed read
    out = *v;
    if (payload)
        *payload = reply;
    return true;
}

}  // namespace

bool LinkUp()
{
    G().CommForm = MainLink();
    CommOpen();
    return G().Connected;
}

AnalogMonitor *AnalogWindow(int kind)
{
    switch (kind) {
    case 1: return form<frmKx5>();
    case 2: return form<frmL5>();
    case 6: return form<frmKx7>();
    default: return nullptr;
    }
}

void ShowSettings(const ModuleSettings &was)
{
    const int kind = orZero(G().ModelKind);
    AnalogMonitor *w = kind == 1   ? loaded<frmKx5>()
                       : kind == 2 ? static_cast<AnalogMonitor *>(loaded<frmL5>())
                       : kind == 6 ? loaded<frmKx7>()
                                   : nullptr;
    if (w)
        w->fillFromState(&was);
    if (frmH9 *h = kind == 5 ? loaded<frmH9>() : nullptr)
        h->fillFromState();
}

void ShowKindWindow(int kind)
{
    switch (kind) {
    case 1: form<frmKx5>()->Kx5(); break;
    case 2: form<frmL5>()->L5(); break;
    case 3: form<frmB6>()->B6(); break;
    case 4: form<frmE6>()->E6(); break;
    case 5: form<frmH9>()->H9(); break;
    case 6: form<frmKx7>()->Kx7(); break;
    default: break;
    }
}

bool IdentityRow(int row)
{
    static const int captions[] = {0, 2002, 2003, 2004, 2005, 2006, 2007};
    QString reply;
    if (!DataRead(89 + row, 0, reply))
        return false;
    MainPanel::instance().setRow(row, LoadResString(captions[row]), reply);
    return true;
}

bool OptionBits()
{
    AppState &s = G();
    QString reply;
    s.ForceIndex = true;
    const bool ok = DataRead(2, 0, reply);
    s.ForceIndex = false;
    if (!ok)
        return false;
    const std::optional<int> v = WholeNumber(reply);
    if (!v)
        return false;
    if (*v == 48 || *v == 16 || *v == 32 || *v == 0) {
        s.HwOption10 = (*v & 16) != 0;
        s.HwOption20 = (*v & 32) != 0;
    }
    return true;
}

bool ClearLiveValues(int kind)
{
    if (kind >= 3 && kind <= 5)
        return true;
    if (kind != 1 && kind != 2 && kind != 6)
        return false;
    AnalogMonitor *w = nullptr;
    switch (kind) {
    case 1: w = loaded<frmKx5>(); break;
    case 2: w = loaded<frmL5>(); break;
    default: w = loaded<frmKx7>(); break;
    }
    if (w)
        for (int ch = 1; ch <= w->channels(); ++ch)
            for (QLabel *l : {w->lblReal[ch], w->lblRaw[ch], w->lblUnit1[ch], w->lblUnit2[ch]})
                l->setText(QString());
    return true;
}

bool Type(int kind, AnalogMonitor *w, int ch)
{
    int code = 0;
    if (!readInt(5, ch, code))
        return false;
    if (kind == 2)
        code = LimitRtdCode(code);
    G().TypeCode[ch] = code;
    TypeCodeSplit(ch, code);
    w->lblType[ch]->setText(TypeNameFor(kind, ch));
    return true;
}

bool Cjc(AnalogMonitor *w, int ch)
{
    int sw = 0;
    if (!readInt(25, ch, sw))
        return false;
    G().CjcSw[ch] = sw;
    w->lblCjmSw[ch]->setText(CjcText(ch));
    return true;
}

bool AnalogTail(int kind, AnalogMonitor *w)
{
    AppState &s = G();
    int v = 0;
    QString payload;
    if (!readInt(6, 1, v, &payload))
        return false;
    ShowOnOffValue(w->lblDiscInput, v);
    if (kind == 6) {
        if (!readInt(7, 1, v))
            return false;
        s.AlarmOut = v;
        ShowOnOffValue(w->lblDiscOutput, v);
    }
    // kind 6 reads the burnout type without an index
    if (!readInt(20, kind == 6 ? 0 : 1, v))
        return false;
    s.BurnoutType = v;
    w->lblBurnout->setText(NameAt(s.BurnoutName, v));
    if (kind == 6) {
        if (!readInt(15, 0, v))
            return false;
        s.LineNoise = v;
        w->lblLineNoise->setText(NameAt(s.LineNoiseName, v));
    }
    QString filter;
    if (!DataRead(16, 0, filter))
        return false;
    s.FilterTime = filter;
    w->lblFilter->setText(filter);
    return true;
}

bool CounterChannel(int ch)
{
    AppState &s = G();
    frmH9 *w = form<frmH9>();
    int v = 0;
    if (!readInt(6, ch, v))
        return false;
    w->lblDI[ch]->setText(v == 0 ? "OFF" : v == 1 ? "ON" : QString());
    if (!readInt(7, ch, v))
        return false;
    s.CountDo[ch] = v;
    w->lblDO[ch]->setText(NameAt(s.OnOffName2, v));
    QString reply;
    if (!DataRead(8, ch, reply))
        return false;
    w->lbl32bit[ch]->setText(reply);
    if (!DataRead(9, ch, reply))
        return false;
    s.CountPreset[ch] = reply;
    w->lblPreset[ch]->setText(reply);
    if (!DataRead(13, ch, reply))
        return false;
    const std::optional<double> rate = NumberIn(reply);
    w->lblRate[ch]->setText(rate ? reply : NoNumber());
    PassSamples::add(ch, rate, reply, QString(), "rate");
    return true;
}

bool Contact(int kind, int ch)
{
    int v = 0;
    if (kind == 3) {
        if (!readInt(7, ch, v))
            return false;
        ShowOnOffValue(form<frmB6>()->Label1[ch], v);
    } else {
        if (!readInt(6, ch, v))
            return false;
        ShowOnOffValue(form<frmE6>()->Label1[ch], v);
    }
    PassSamples::add(ch, v, QString::number(v), QString(), kind == 3 ? "output" : "input");
    return true;
}

bool Settings(int kind)
{
    switch (kind) {
    case 1:
    case 2:
    case 6: {
        AnalogMonitor *w = AnalogWindow(kind);
        const int n = kind == 1 ? 16 : 8;
        Progress p("Reading settings", n + 1, "channels read");
        for (int ch = 1; ch <= n; ++ch, p.step()) {
            if (!Type(kind, w, ch))
                return false;
            if (kind != 2 && !Cjc(w, ch))
                return false;
        }
        return AnalogTail(kind, w);
    }
    case 3:
    case 4: {
        MainPanel::instance().setRow(6, QString(), QString());
        Progress p("Reading contacts", 32, "contacts read");
        for (int ch = 1; ch <= 32; ++ch, p.step())
            if (!Contact(kind, ch))
                return false;
        return true;
    }
    case 5: {
        Progress p("Reading counters", 8, "channels read");
        for (int ch = 1; ch <= 8; ++ch, p.step())
            if (!CounterChannel(ch))
                return false;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace ModuleReads
