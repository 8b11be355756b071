#pragma once
// The settings a whole-module transfer covers, per model kind, each with
// the item the upload reads it from and the writes the download sets it
// with: one description for the whole download, the comparison with the
// module and the download of the differences.

#include <QList>
#include <QString>
#include <utility>

#include "app/Globals.h"

// One setting: a part of the module settings, of channel ch (0 for a
// module-wide one); `index` tells the cold-junction temperature (0) from
// its voltage (1) and the Modbus positions 0..4 apart.
struct SettingKey {
    ModuleSettings::Part part = ModuleSettings::Part::Type;
    int ch = 0;
    int index = 0;
    bool operator==(const SettingKey &o) const
    {
        return part == o.part && ch == o.ch && index == o.index;
    }
};
size_t qHash(const SettingKey &k, size_t seed = 0);

// A write of a download and the payload the module must echo.
struct ItemWrite {
    SettingKey key;
    int item = 0;
    QString value;
    QString expected;
};

namespace SettingItems {

// Channels of the kind's settings: 16 for kind 1, 8 for the others with settings.
int Channels(int kind);

// The settings a whole download of the kind writes (and an upload reads),
// in the order of the download. Kind 6 has the cold-junction switch,
// burnout and line-noise filter only with option bit 0x10.
QList<SettingKey> Transfer(int kind, bool option10);
// What a configuration file of the kind holds besides: the cold-junction
// reference and the Modbus settings, which have their own windows.
QList<SettingKey> FileOnly(int kind);
// Everything a configuration file of the kind holds.
QList<SettingKey> InFile(int kind);

// Item and index an upload reads the setting from.
std::pair<int, int> ReadItem(int kind, const SettingKey &key);
// A payload read so into the settings; false when a number was due and
// the payload is none.
bool Store(const SettingKey &key, const QString &payload, ModuleSettings &into);

// The writes of a whole download of these settings, in order.
QList<ItemWrite> Writes(int kind, const ModuleSettings &s, bool option10);

}  // namespace SettingItems
