#pragma once
// The one application-wide state record and the small shared helpers.
// Every window and workflow reads and writes these fields directly.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class LinkHost;

using OptInt = std::optional<int>;

// An empty optional integer compares equal to 0.
inline int orZero(const OptInt &v) { return v.value_or(0); }

template <typename T>
using ChannelArray = std::array<T, 17>;  // element 0 unused, channels 1..16

// The settings a module holds, as one value: what an editor puts back when
// it is left by Escape or its close box, and the configuration as the
// module last confirmed it. The state record holds these fields as its own.
struct AppState;
struct ModuleSettings {
    // What one write covers: a setting of channel ch, or a module-wide one.
    enum class Part { Type, Cjc, Do, Preset, Burnout, Filter, LineNoise, Alarm, Cjm, Modbus };

    ChannelArray<int> TypeCode{};
    ChannelArray<int> CjcSw{};
    ChannelArray<int> CountDo{};
    ChannelArray<QString> CountPreset{};
    int BurnoutType = 0;
    QString FilterTime;
    OptInt LineNoise;
    int AlarmOut = 0;
    QString CjmTemp;
    QString CjmVoltage;
    std::array<int, 5> ModbusSet{2, 0, 1, 0, 0};
    std::array<int, 5> ModbusSetKx7{2, 0, 1, 1, 0};

    static ModuleSettings of(const AppState &s);
    // Into the state, the split type codes with them.
    void putInto(AppState &s) const;
    // The part (of channel ch) as `from` has it.
    void take(const ModuleSettings &from, Part part, int ch = 0);
    bool differs(const ModuleSettings &other, Part part, int ch = 0) const;
    bool operator==(const ModuleSettings &o) const;
    bool operator!=(const ModuleSettings &o) const { return !(*this == o); }
};

struct AppState : ModuleSettings {
    // Link and protocol
    bool Connected = false;
    OptInt PortNumber;          // 1, 2 (COM1/COM2) or 3 (a port named in PortName)
    QString PortName;           // device path used for PortNumber 3
    bool TimeoutFlag = false;
    LinkHost *CommForm = nullptr;
    bool RestartPending = false;
    bool ForceIndex = false;

    // Model
    OptInt ModelKind;
    // What this connection found out about the module on the line: its
    // model was looked up (and for kind 6 its option bits read) since the
    // link came up. A download writes only to a module identified so, and
    // only while it still answers with the same model name.
    bool Identified = false;
    QString LineModel;
    int LineKind = 0;
    // The line trace's first entry of this connection: what was written to
    // the module since is the work a report lists.
    quint64 TraceFrom = 0;
    bool HwOption10 = false;
    bool HwOption20 = false;

    // Module settings: those of ModuleSettings, and the type codes split
    ChannelArray<int> TypeHigh{};
    ChannelArray<int> TypeLow{};

    // Workflow signals
    bool MonitorRun = false;
    bool MenuPause = false;
    bool WaitFlag = false;
    bool ReadStop = false;
    bool FileMode = false;
    bool DialogOK = false;
    bool TypeLoading = false;
    bool CountLoading = false;
    int DoRequest = 0;
    int SelChannel = 0;
    QString CopyType;
    int CopyTypeIndex = 0;
    int CopyCjcSw = 0;
    int CopyCountMode = 0;
    QString CopyPreset;
    int ZsChannel = 0;
    int ZsMode = 0;

    // File
    QString FileName;
    // The settings are a mix: reading them from the module was cut short.
    bool ConfigIncomplete = false;

    // Catalogs (filled by InitData)
    std::array<QString, 11> ModelName{};   // rows 1..10
    std::array<int, 11> ModelKindList{};
    QStringList TypeNameTc, TypeNameRtd, TypeNameKx7;
    QStringList BurnoutName, OnOffName, OnOffName2, LineNoiseName;
};

// The state record.
AppState &G();

// The configuration as the module on the line last confirmed it (connect,
// upload, every verified write); none while the configuration is not the
// module's (not connected, a file, a new model, a read cut short).
std::optional<ModuleSettings> &ModuleHolds();

// The module settings of a new configuration of this kind, as a module
// leaves the factory: nothing of an earlier module or file stays behind.
void NewConfiguration(int kind);

// Catalog row (1..10) of a model name, exact comparison, first match; 0 when none.
int ModelRow(const QString &name);

// The choices of the Modbus settings' position 0..4 (baud rate, bit length,
// parity, stop bits, floating type); the kind-6 module has 57600 baud too.
const QStringList &ModbusChoices(int position, bool baud57600);

// Entry of a name table, or "" when the index is outside it.
QString NameAt(const QStringList &table, int index);

// The input type names of an analog model kind (1, 2, 6); empty for the others.
const QStringList &TypeNames(int kind);
// Name of the input type with this split type code (TypeHigh, TypeLow);
// "" when the index falls outside the kind's table.
QString TypeName(int kind, int high, int low);
// The type at this position of the kind's list is a thermocouple.
bool ThermocoupleAt(int kind, int index);

void TypeCodeSplit(int channel, int code);
qint32 PositiveCheck(const QString &text);
QString CommaToPoint(const QString &text);

// Text from the module as the line trace shows it, safe on a terminal or in
// a file: control characters, DEL and the bytes 0x80..0xFF as "<CR>",
// "<ESC>", "<0x07>", "<0x85>", and "<" itself as "<0x3C>" so a code is never
// faked. Characters beyond 0xFF only come from the program's own texts and stay.
QString VisibleText(const QString &text);

// Payload as a whole number; nullopt when it is not one.
std::optional<int> WholeNumber(const QString &text);

// The number a text gives: the whole text, blanks around it aside, read as a
// decimal number with a point whatever the locale. None for anything else
// and for what is not finite: "illegal OPE", "12abc", "2,5", "nan", "1e400".
std::optional<double> NumberIn(const QString &text);

// Mask "#0.000" with a point: at least one integer digit, three decimals.
QString Fmt3(double value);
// What the windows show where the module's reply gave no number.
QString NoNumber();
// A number from the module as the windows show it: times 1000 when shown in
// millivolts; none when the reply gives no finite number.
std::optional<double> ShownNumber(const QString &reply, bool times1000 = false);
// ... as Fmt3, or NoNumber().
QString NumberText(const QString &reply, bool times1000 = false);

// Unit of an analog channel's value by model kind and input type code:
// "V", "mV", "degC", "%"; its raw value has "mV" (kinds 1 and 6) or "ohm"
// (kind 2) for "degC". "" for a kind without analog channels.
QString ValueUnit(int kind, int typeCode, bool raw = false);
