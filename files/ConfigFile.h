#pragma once
// The configuration file: module settings as comma-separated text lines.
// No windows here; the File menu reads and writes through these functions.

#include "app/Globals.h"

#include <QByteArray>
#include <QString>

#include <array>

// Everything a configuration file holds.
struct ConfigData {
    OptInt ModelKind;
    ChannelArray<int> TypeCode{}, CjcSw{};  // channels 1..16, element 0 stays 0
    std::array<int, 5> Modbus{};            // ModbusSetKx7 for kind 6, else ModbusSet
    QString CjmTemp, CjmVoltage;
    bool hasLine24 = false;                 // kinds 1, 2, 6
    int BurnoutType = 0;
    QString FilterTime;
    OptInt LineNoise;
    int AlarmOut = 0;
};

bool operator==(const ConfigData &a, const ConfigData &b);
inline bool operator!=(const ConfigData &a, const ConfigData &b) { return !(a == b); }

// Kinds whose file carries the burnout / filter / line noise / alarm line.
bool KindHasLine24(const OptInt &kind);

// A valid file is well under 1 KiB; anything beyond this is not one.
constexpr qint64 kMaxConfigBytes = 64 * 1024;

// The longest text kept for the filter time constant and the CJM
// temperature and voltage: what a module may report for them ("0.5000000")
// and an editor's box holds; longer ones are refused.
constexpr int kMaxTextChars = 32;

// What a save writes. Line-24 fields are filled only for the kinds that have it.
ConfigData ConfigFromState(const AppState &s);

// Puts a whole, checked file into the state: Modbus into ModbusSetKx7 for
// kind 6 else ModbusSet, the line-24 fields only when the file has that line.
void ConfigToState(const ConfigData &d, AppState &s);

// The module settings a file holds, as a state of its own would hold them
// after ConfigToState: what a file is compared by.
ModuleSettings SettingsIn(const ConfigData &d);

// The exact bytes of the file. Line 24 follows the model kind, so the output
// is always a file ParseConfig accepts when the values themselves are valid.
QByteArray WriteConfig(const ConfigData &d);

struct ConfigReadResult {
    bool ok = false;
    ConfigData data;
    QString error;  // "line 5: ..." (or a bare reason when no line is to blame)
    int line = 0;   // line the error is on, 0 when none
};

// Strict reading with line-exact errors; never throws, never touches the state.
ConfigReadResult ParseConfig(const QByteArray &bytes);

// Reads a regular file only (a FIFO or device is refused before it is
// opened), at most kMaxConfigBytes (+1 to notice a larger file); errors
// start with the file name: "settings.qv8, line 5: ...".
ConfigReadResult ReadConfigFile(const QString &path);

// Writes through a temporary file renamed over the target, so a failed save
// leaves an existing file whole. Only a regular file (or a new name) is
// replaced. Refuses data the format cannot hold.
bool WriteConfigFile(const QString &path, const ConfigData &d, QString *error);
