#pragma once
// The module's settings read into a value of their own, without touching
// the configuration in hand, and the download of chosen settings: the
// exchanges of the whole upload and download, one setting at a time.

#include <QSet>

#include "compare/SettingItems.h"

namespace ModuleSnapshot {

struct Read {
    ModuleSettings values;
    QSet<SettingKey> read;  // the settings the module answered for
    bool complete = false;
};

// The link up and the module on it identified and of this kind; false
// after telling why, the message ending in `nothing` ("Nothing was compared.").
// `what` names what the kind came from ("the configuration in the window").
bool ModuleOfKind(int kind, const QString &title, const QString &what, const QString &nothing);
// Its last part: the module identified before is of this kind.
bool OfKind(int kind, const QString &title, const QString &what, const QString &nothing);

// Reads these settings of a module of the kind, in order, with the link up
// and the module identified; stops at the first read that fails.
Read ReadSettings(int kind, const QList<SettingKey> &keys);

// The writes of a whole download of `values` whose setting is one of
// `keys`, in the download's order, each checked against the module's
// reply; stops at the first that fails. Returns the settings the module
// confirmed whole (every write of them echoed).
QSet<SettingKey> WriteSettings(int kind, const ModuleSettings &values, bool option10,
                               const QSet<SettingKey> &keys);

// The module confirmed these settings of `values`: what it holds follows.
void ModuleNowHolds(const ModuleSettings &values, const QSet<SettingKey> &keys);

}  // namespace ModuleSnapshot
