#include "workflows/frmLoading.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/PassSamples.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "files/ui/FileOps.h"
#include "link/Communication.h"
#include "link/LineTrace.h"
#include "link/TxtBus.h"
#include "monitor/TypeNames.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "workflows/ModuleReads.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

void failUpload()
{
    MsgBox(LoadResString(3004), Tr("Monitoring"), MsgIcon::Critical);
}

// Lets pending window events run once, as the cycle does between reads.
void yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Item 3 or 4 of an analog channel into its value and unit labels.
bool readValue(int kind, AnalogMonitor *w, int ch, bool raw)
{
    QString reply;
    if (!DataRead(raw ? 4 : 3, ch, reply))
        return false;
    const QString unit = ValueUnit(kind, G().TypeCode[ch], raw);
    // a reply that is no number is no value: a dash, and nothing logged
    const std::optional<double> shown = ShownNumber(reply, unit == "mV");
    const QString text = NumberText(reply, unit == "mV");
    (raw ? w->lblRaw : w->lblReal)[ch]->setText(text);
    (raw ? w->lblUnit2 : w->lblUnit1)[ch]->setText(unit);
    if (!raw)
        PassSamples::add(ch, shown, text, unit, w->lblType[ch]->text());
    return true;
}

bool readLamp(AnalogMonitor *w, int ch)
{
    QString reply;
    if (!DataRead(2, ch, reply))
        return false;
    setBackColor(w->shpOut[ch], reply == "0" ? LampGood() : LampBad());
    return true;
}

// One pass of the poll; false on a failed read.
bool pollPass(int kind, void (*pause)())
{
    AppState &s = G();
    const int n = (kind == 3 || kind == 4) ? 32 : (kind == 1 ? 16 : 8);
    const bool wholePass = kind == 3 || kind == 4;
    AnalogMonitor *w = ModuleReads::AnalogWindow(kind);
    PassSamples::begin(kind, n);
    for (int ch = 1; ch <= n; ++ch) {
        if (!wholePass && !s.MonitorRun)
            break;
        yieldOnce();
        pause();
        if (AppEnding())
            return false;
        // a Stop chosen while the menu held the cycle ends the loop here
        if (!wholePass && !s.MonitorRun)
            break;
        switch (kind) {
        case 1:
        case 2:
        case 6:
            if (!ModuleReads::Type(kind, w, ch) || !readValue(kind, w, ch, false) ||
                !readValue(kind, w, ch, true))
                return false;
            if (kind != 2 && !ModuleReads::Cjc(w, ch))
                return false;
            if (!readLamp(w, ch))
                return false;
            break;
        case 3:
        case 4:
            if (!ModuleReads::Contact(kind, ch))
                return false;
            break;
        case 5:
            if (!ModuleReads::CounterChannel(ch))
                return false;
            break;
        default:
            return false;
        }
    }
    if (w)
        return ModuleReads::AnalogTail(kind, w);
    return true;
}

// The channel buttons open the editors; they are locked while the cycle runs.
void setChannelButtons(int kind, bool on)
{
    static const char *const names[] = {nullptr,        "frmKx5.cmdCh", "frmL5.cmdCh", nullptr,
                                        nullptr,        "frmH9.cmdCh",  "frmKx7.cmdCh"};
    if (kind >= 1 && kind <= 6 && names[kind])
        Commands::instance().set(QString::fromLatin1(names[kind]), on);
}

// Every toolbar button on or off, but Stop (tb6) the other way.
void setToolbar(bool on)
{
    Commands &cmd = Commands::instance();
    for (int pos = 1; pos <= 11; ++pos)
        cmd.set(Commands::tb(pos), on);
    cmd.set("tb6", !on);
}

}  // namespace

double frmLoading::VersionValue(const QString &text, bool *ok)
{
    const int v = text.lastIndexOf('V');
    const QString tail = v >= 0 ? text.mid(v + 1) : text;
    bool good = false;
    // a point is the decimal separator whatever the user's locale
    const double value = tail.trimmed().toDouble(&good);
    if (ok)
        *ok = good;
    return good ? value : 0.0;
}

void frmLoading::Connecting()
{
    AppState &s = G();
    s.TraceFrom = LineTrace::instance().nextSeq();
    if (!ModuleReads::LinkUp())
        return;

    Commands::instance().set({{"mnuConfig", true},
                              {"mnuMonitor", true},
                              {"mnuAdjustment", true},
                              {"mnuModel", false},
                              {"mnuConnConn", false},
                              {"mnuConnDisConn", true},
                              {"mnuMonitorStop", false},
                              // a display step while not connected turned these off
                              {"mnuConfigUpload", true},
                              {"mnuConfigDownload", true},
                              {"tb4", true},
                              {"tb5", true},
                              {"tb8", true},
                              {"tb9", true}});

    for (int row = 1; row <= 5; ++row)
        if (!ModuleReads::IdentityRow(row))
            return failUpload();
    const int row = ModelRow(MainPanel::instance().data(1));
    if (!row)
        return failUpload();
    const int kind = s.ModelKindList[row];
    // from here the settings change one by one; whole again when all are read
    s.ConfigIncomplete = true;
    ConfigFromModule();
    s.ModelKind = kind;

    if ((kind == 1 || kind == 2 || kind == 5) && !ModuleReads::IdentityRow(6))
        return failUpload();
    if (kind == 6 && !ModuleReads::OptionBits())
        return failUpload();
    s.LineModel = s.ModelName[row];
    s.LineKind = kind;
    s.Identified = true;

    ModuleReads::ShowKindWindow(kind);

    if (kind == 4) {
        bool ok = false;
        const double version = VersionValue(MainPanel::instance().data(3), &ok);
        const bool countData = s.ModelName[row] == "QV8_E6F4" || (ok && version >= 3.0);
        Commands::instance().set("frmE6.cmdCntPre", countData);
    }
    const bool read = ModuleReads::Settings(kind);
    if (kind == 3) {
        // outputs are switched only while monitoring
        Commands::instance().set("frmB6.cmdOut", false);
    }
    if (!read)
        return failUpload();
    s.ConfigIncomplete = false;
    MainPanel::instance().moduleHoldsAll();
    Outcome::done();
}

void frmLoading::DisConnecting()
{
    CommClose();
    MainPanel::instance().moduleHoldsNone();
    Outcome::done();
    Commands::instance().set({{"mnuConfig", false},
                              {"mnuMonitor", false},
                              {"mnuAdjustment", false},
                              {"mnuModel", true},
                              {"mnuConnConn", true},
                              {"mnuConnDisConn", false},
                              {"mnuModelModel(1)", true},
                              {"mnuModelModel(2)", true},
                              {"tb4", false},
                              {"tb5", false},
                              {"tb8", false},
                              {"tb9", false}});
}

void frmLoading::Starting()
{
    Commands &cmd = Commands::instance();
    AppState &s = G();
    // a contact switch lives only within the run it was asked for
    s.DoRequest = 0;
    cmd.set({{"mnuFile", false},
             {"mnuConn", false},
             {"mnuModel", false},
             {"mnuConfig", false},
             {"mnuMonitorStart", false},
             {"mnuMonitorStop", true},
             {"mnuHelp", false},
             {"mnuAdjustment", false},
             {"mnuAlarm", false}});
    setToolbar(false);
    // Start in the Monitor menu resumes a cycle the menu paused
    cmd.letIn("mnuMonitorStart");

    const int kind = orZero(s.ModelKind);
    switch (kind) {
    case 1:
    case 2:
    case 5:
    case 6: setChannelButtons(kind, false); break;
    case 3: cmd.set("frmB6.cmdOut", true); break;
    case 4: cmd.set("frmE6.cmdCntPre", false); break;
    default: MsgBox(Tr("No Model"), Tr("Type set"), MsgIcon::None); break;
    }
}

void frmLoading::Monitoring()
{
    AppState &s = G();
    // The cycle runs from here: a Stop chosen during the link check ends it
    // before its first pass instead of being lost.
    s.MonitorRun = true;
    if (!ModuleReads::LinkUp() || !s.MonitorRun) {
        s.MonitorRun = false;
        return;
    }
    const int row = ModelRow(MainPanel::instance().data(1));
    if (!row) {
        s.MonitorRun = false;
        return failUpload();
    }
    MainPanel::instance().setLinkState(MainPanel::LinkState::Monitoring);
    // a new run: its values do not join the last run's
    PassSamples::interrupt();
    const int kind = s.ModelKindList[row];
    s.ModelKind = kind;
    // Every kind's window comes to the front, the second-generation one too;
    // that one only by ShowForm, since its menu table would turn the Alarm
    // menu back on in the middle of the cycle.
    if (kind == 6)
        ShowForm(form<frmKx7>());
    else
        ModuleReads::ShowKindWindow(kind);

    while (s.MonitorRun) {
        yieldOnce();
        if (AppEnding() || !pollPass(kind, &frmLoading::PauseCheck)) {
            // a failed pass ends the cycle for good
            s.MonitorRun = false;
            if (!AppEnding())
                failUpload();
            return;
        }
        PassSamples::end();
    }
}

void frmLoading::PauseCheck()
{
    AppState &s = G();
    if (s.DoRequest != 0)
        form<frmB6>()->DiscreteDown();
    // Wait, without spinning, until Start or Stop clears the pause.
    while (s.MenuPause && !AppEnding()) {
        QEventLoop loop;
        QObject::connect(&Commands::instance(), &Commands::wake, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void frmLoading::Stopping()
{
    AppState &s = G();
    Commands &cmd = Commands::instance();
    cmd.keepOut("mnuMonitorStart");
    s.DoRequest = 0;
    cmd.set({{"mnuFile", true},
             {"mnuConn", true},
             {"mnuConfig", true},
             {"mnuMonitorStart", true},
             {"mnuMonitorStop", false},
             {"mnuAdjustment", true},
             {"mnuHelp", true}});
    setToolbar(true);
    s.TimeoutFlag = false;

    const int kind = orZero(s.ModelKind);
    switch (kind) {
    case 1:
    case 2:
    case 6: {
        setChannelButtons(kind, true);
        AnalogMonitor *w = ModuleReads::AnalogWindow(kind);
        for (int ch = 1; ch <= w->channels(); ++ch)
            setBackColor(w->shpOut[ch], ActiveBorderColor());
        if (kind == 6)
            cmd.set("mnuAlarm", true);
        break;
    }
    case 3: cmd.set("frmB6.cmdOut", false); break;
    case 4: cmd.set("frmE6.cmdCntPre", true); break;
    case 5:
        setChannelButtons(kind, true);
        cmd.set({{"tb2", false}, {"tb3", false}, {"mnuAdjustment", false}});
        break;
    default: MsgBox(Tr("No Model"), Tr("Type set"), MsgIcon::None); break;
    }
    MainPanel::instance().setLinkState(s.Connected ? MainPanel::LinkState::Connected
                                                   : MainPanel::LinkState::NotConnected);
    // A link that went down under the cycle leaves the disconnected state.
    if (!s.Connected)
        cmd.set({{"mnuConnConn", true},
                 {"mnuConnDisConn", false},
                 {"mnuModel", true},
                 {"mnuConfig", false},
                 {"mnuMonitor", false},
                 {"mnuAdjustment", false},
                 {"mnuAlarm", false},
                 {"tb4", false},
                 {"tb5", false},
                 {"tb8", false},
                 {"tb9", false}});
}
