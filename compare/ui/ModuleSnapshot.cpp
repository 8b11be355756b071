#include "compare/ui/ModuleSnapshot.h"

#include <QHash>

#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"
#include "workflows/Progress.h"

namespace ModuleSnapshot {

bool OfKind(int kind, const QString &title, const QString &what, const QString &nothing)
{
    if (G().LineKind == kind)
        return true;
    MsgBox(
        Tr("The module on the line is a %1 module, but %2 is for a %3 module.")
                .arg(DownloadCheck::KindName(G().LineKind), what, DownloadCheck::KindName(kind)) +
            ' ' + nothing,
        title, MsgIcon::Exclamation);
    return false;
}

bool ModuleOfKind(int kind, const QString &title, const QString &what, const QString &nothing)
{
    return ModuleReads::LinkUp() && DownloadCheck::ModuleKnown(title, nothing) &&
           OfKind(kind, title, what, nothing);
}

Read ReadSettings(int kind, const QList<SettingKey> &keys)
{
    Read r;
    Progress p("Reading settings", int(keys.size()), "settings read");
    for (const SettingKey &key : keys) {
        const auto [item, index] = SettingItems::ReadItem(kind, key);
        QString reply;
        if (!DataRead(item, index, reply) || !SettingItems::Store(key, reply, r.values))
            return r;
        r.read.insert(key);
        p.step();
    }
    r.complete = true;
    return r;
}

QSet<SettingKey> WriteSettings(int kind, const ModuleSettings &values, bool option10,
                               const QSet<SettingKey> &keys)
{
    QList<ItemWrite> writes;
    // a setting written in several items (burnout) is whole after its last one
    QHash<SettingKey, int> left;
    for (const ItemWrite &w : SettingItems::Writes(kind, values, option10))
        if (keys.contains(w.key)) {
            writes.append(w);
            ++left[w.key];
        }
    QSet<SettingKey> done;
    Progress p("Downloading", int(writes.size()), "writes");
    for (const ItemWrite &w : writes) {
        QString reply;
        if (!ParameterWrite(w.item, w.value, reply) || reply != w.expected)
            return done;
        p.step();
        if (--left[w.key] == 0)
            done.insert(w.key);
    }
    return done;
}

void ModuleNowHolds(const ModuleSettings &values, const QSet<SettingKey> &keys)
{
    std::optional<ModuleSettings> &holds = ModuleHolds();
    if (!holds)
        return;
    for (const SettingKey &key : keys) holds->take(values, key.part, key.ch);
    MainPanel::instance().settingsChanged();
}

}  // namespace ModuleSnapshot
