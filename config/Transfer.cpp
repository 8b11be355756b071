#include "config/Transfer.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "app/ui/frmDialog.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "files/ui/FileOps.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"
#include "workflows/Progress.h"

#include <QLabel>

namespace {

// One write of the download and its read-back check.
struct Write {
    int item;
    QString value;
    QString expected;
};

QList<Write> downloadSequence(int kind)
{
    const AppState &s = G();
    const auto cc = [](int ch) { return Fmt00(ch); };
    const auto num = [](int v) { return QString::number(v); };
    // the value goes out with a point and comes back so
    const auto filter = [&s] {
        return Write{16, s.FilterTime, CommaToPoint(s.FilterTime)};
    };
    QList<Write> w;
    switch (kind) {
    case 6:
        for (int ch = 1; ch <= 8; ++ch) {
            w.append({5, cc(ch) + Fmt00(s.TypeCode[ch]), num(s.TypeCode[ch])});
            if (s.HwOption10)
                w.append({25, cc(ch) + num(s.CjcSw[ch]), num(s.CjcSw[ch])});
        }
        if (s.HwOption10)
            w.append({20, num(s.BurnoutType), num(s.BurnoutType)});
        w.append({7, "01" + num(s.AlarmOut), num(s.AlarmOut)});
        if (s.HwOption10)
            w.append({15, num(orZero(s.LineNoise)), num(orZero(s.LineNoise))});
        w.append(filter());
        break;
    case 5:
        for (int ch = 1; ch <= 8; ++ch) {
            w.append({7, cc(ch) + num(s.CountDo[ch]), num(s.CountDo[ch])});
            w.append({9, cc(ch) + s.CountPreset[ch], s.CountPreset[ch]});
        }
        break;
    case 2:
        for (int ch = 1; ch <= 8; ++ch) {
            w.append({5, cc(ch) + Fmt00(s.TypeCode[ch]), num(s.TypeCode[ch])});
            w.append({20, cc(ch) + num(s.BurnoutType), num(s.BurnoutType)});
        }
        w.append(filter());
        break;
    case 1:
        for (int ch = 1; ch <= 16; ++ch) {
            w.append({5, cc(ch) + Fmt00(s.TypeCode[ch]), num(s.TypeCode[ch])});
            w.append({25, cc(ch) + num(s.CjcSw[ch]), num(s.CjcSw[ch])});
            w.append({20, cc(ch) + num(s.BurnoutType), num(s.BurnoutType)});
        }
        w.append(filter());
        break;
    default:
        break;
    }
    return w;
}

void downloadIncomplete()
{
    MainPanel::instance().setLastResult(LoadResString(3003));
    MsgBox(LoadResString(3003), Tr("Download all channels"), MsgIcon::Critical);
}

int channelsOf(int kind)
{
    return kind == 1 ? 16 : (kind == 3 || kind == 4) ? 32 : 8;
}

}  // namespace

void Upload()
{
    AppState &s = G();
    if (!ModuleReads::LinkUp())
        return;

    Commands::instance().set({{"mnuConfig", true},
                              {"mnuMonitor", true},
                              {"mnuAdjustment", true},
                              {"mnuConnDisConn", true},
                              {"mnuConnConn", false},
                              // a display step while not connected turned these off
                              {"mnuConfigUpload", true},
                              {"mnuConfigDownload", true},
                              {"tb4", true},
                              {"tb5", true}});

    const auto fail = [] {
        MainPanel::instance().setLastResult(LoadResString(3004));
        MsgBox(LoadResString(3004), Tr("Monitoring"), MsgIcon::Critical);
    };
    // The model is read again; until it is known, a download identifies the
    // module itself. Option bits that connecting read stay valid for kind 6.
    const bool optionsRead = s.Identified && s.LineKind == 6;
    s.Identified = false;
    const int known = orZero(s.ModelKind);
    const int rows = (known == 1 || known == 2 || known == 5) ? 6 : 5;
    for (int row = 1; row <= rows; ++row)
        if (!ModuleReads::IdentityRow(row))
            return fail();
    const int row = ModelRow(MainPanel::instance().data(1));
    if (!row)
        return fail();
    const int kind = s.ModelKindList[row];
    // from here the settings change one by one; whole again when all are read
    s.ConfigIncomplete = true;
    ConfigFromModule();
    s.ModelKind = kind;
    // the upload does not read the option bits of kind 6
    s.Identified = kind != 6 || optionsRead;
    s.LineModel = s.ModelName[row];
    s.LineKind = kind;
    ModuleReads::ShowKindWindow(kind);
    if (!ModuleReads::Settings(kind))
        return fail();
    s.ConfigIncomplete = false;
    MainPanel::instance().moduleHoldsAll();
    MainPanel::instance().setLastResult(Tr("Upload done, %1 channels").arg(channelsOf(kind)));
    Outcome::done();
}

void Download()
{
    AppState &s = G();
    const QString title = Tr("Download all channels");
    if (!frmDialog::Dialog(Tr("Starting download for All Channels.")))
        return;
    const int kind = orZero(s.ModelKind);
    // every value is checked before anything goes out
    if (!DownloadCheck::SettingsOk(kind, title))
        return;
    if (!ModuleReads::LinkUp()) {
        if (!CommOpenCancelled())
            downloadIncomplete();
        return;
    }

    if (kind == 3 || kind == 4) {
        // the contact modules hold no settings to download: nothing to do is done
        MainPanel::instance().setLastResult(Tr("Nothing to download: the module has no settings"));
        Outcome::done();
        return;
    }
    if (kind == 0) {
        MsgBox(Tr("No Model"), Tr("Type set"), MsgIcon::None);
        return;
    }
    if (!DownloadCheck::ModuleFits(title))
        return;
    const QList<Write> writes = downloadSequence(kind);
    Progress p("Downloading", writes.size(), "writes");
    for (const Write &w : writes) {
        QString reply;
        if (!ParameterWrite(w.item, w.value, reply) || reply != w.expected)
            return downloadIncomplete();
        p.step();
    }
    // the module holds all it was sent; its reference and Modbus settings stay as they were
    std::optional<ModuleSettings> before = ModuleHolds();
    MainPanel::instance().moduleHoldsAll();
    if (before) {
        ModuleHolds()->take(*before, ModuleSettings::Part::Cjm);
        ModuleHolds()->take(*before, ModuleSettings::Part::Modbus);
        MainPanel::instance().settingsChanged();
    }
    MainPanel::instance().setLastResult(Tr("Download done, %1 channels").arg(channelsOf(kind)));
    Outcome::done();
    // Success shows nothing but the status bar; the main window stays open (closing it would
    // end the program and lose the user's settings).
}
