#include "config/Transfer.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "app/ui/frmDialog.h"
#include "compare/Comparison.h"
#include "compare/ui/ModuleSnapshot.h"
#include "link/Communication.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "files/ui/FileOps.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QLabel>

namespace {

void downloadIncomplete()
{
    MainPanel::instance().setLastResult(LoadResString(3003));
    MsgBox(LoadResString(3003), Tr("Download all channels"), MsgIcon::Critical);
}

int channelsOf(int kind)
{
    return (kind == 3 || kind == 4) ? 32 : SettingItems::Channels(kind);
}

// The first few lines, and how many more there are.
QString shortList(const QStringList &lines)
{
    constexpr int kShown = 5;
    QString text = lines.mid(0, kShown).join("; ");
    if (lines.size() > kShown)
        text += Tr("; and %1 more").arg(lines.size() - kShown);
    return text;
}

// Every setting read back after a download: false after telling which the
// module did not keep, or that it stopped answering.
bool readBack(int kind, const QString &title)
{
    const AppState &s = G();
    const QList<SettingKey> keys = SettingItems::Transfer(kind, kind != 6 || s.HwOption10);
    const ModuleSnapshot::Read r = ModuleSnapshot::ReadSettings(kind, keys);
    const Comparison c = Comparison::of(kind, keys, s, "sent", r.values, "module", &r.read);
    if (!r.complete) {
        MsgBox(Tr("The download was not verified: the module stopped answering after %1 of %2 "
                  "settings were read back.")
                   .arg(r.read.size())
                   .arg(keys.size()),
               title, MsgIcon::Critical);
        return false;
    }
    if (c.differing() > 0) {
        // what the module holds is what it read back
        QSet<SettingKey> lost;
        for (const CompareRow &row : c.rows)
            if (row.differs)
                lost.insert(row.key);
        ModuleSnapshot::ModuleNowHolds(r.values, lost);
        MsgBox(Tr("The module did not keep %1 of %2 settings: %3")
                   .arg(c.differing())
                   .arg(keys.size())
                   .arg(shortList(c.lines())),
               title, MsgIcon::Critical);
        return false;
    }
    return true;
}

}  // namespace

bool &VerifyAfterDownload()
{
    static bool on = false;
    return on;
}

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
    const QList<SettingKey> keys = SettingItems::Transfer(kind, kind != 6 || s.HwOption10);
    const QSet<SettingKey> all(keys.cbegin(), keys.cend());
    if (ModuleSnapshot::WriteSettings(kind, s, s.HwOption10, all) != all)
        return downloadIncomplete();
    // the module holds all it was sent; its reference and Modbus settings stay as they were
    std::optional<ModuleSettings> before = ModuleHolds();
    MainPanel::instance().moduleHoldsAll();
    if (before) {
        ModuleHolds()->take(*before, ModuleSettings::Part::Cjm);
        ModuleHolds()->take(*before, ModuleSettings::Part::Modbus);
        MainPanel::instance().settingsChanged();
    }
    if (VerifyAfterDownload()) {
        if (!readBack(kind, title)) {
            MainPanel::instance().setLastResult(Tr("Download not verified"));
            return;
        }
        MainPanel::instance().setLastResult(
            Tr("Download done, %1 channels, read back and verified").arg(channelsOf(kind)));
    } else {
        MainPanel::instance().setLastResult(Tr("Download done, %1 channels").arg(channelsOf(kind)));
    }
    Outcome::done();
    // Success shows nothing but the status bar; the main window stays open (closing it would
    // end the program and lose the user's settings).
}
