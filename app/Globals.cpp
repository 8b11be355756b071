#include "app/Globals.h"

#include "app/Messages.h"

#include <cmath>
#include <tuple>

AppState &G()
{
    static AppState state;
    return state;
}

namespace {

// f(a's member, b's member) for each member of the part (of channel ch).
template <typename A, typename B, typename F>
void eachOf(A &a, B &b, ModuleSettings::Part part, int ch, F f)
{
    using P = ModuleSettings::Part;
    switch (part) {
    case P::Type: f(a.TypeCode.at(ch), b.TypeCode.at(ch)); break;
    case P::Cjc: f(a.CjcSw.at(ch), b.CjcSw.at(ch)); break;
    case P::Do: f(a.CountDo.at(ch), b.CountDo.at(ch)); break;
    case P::Preset: f(a.CountPreset.at(ch), b.CountPreset.at(ch)); break;
    case P::Burnout: f(a.BurnoutType, b.BurnoutType); break;
    case P::Filter: f(a.FilterTime, b.FilterTime); break;
    case P::LineNoise: f(a.LineNoise, b.LineNoise); break;
    case P::Alarm: f(a.AlarmOut, b.AlarmOut); break;
    case P::Cjm:
        f(a.CjmTemp, b.CjmTemp);
        f(a.CjmVoltage, b.CjmVoltage);
        break;
    case P::Modbus:
        f(a.ModbusSet, b.ModbusSet);
        f(a.ModbusSetKx7, b.ModbusSetKx7);
        break;
    }
}

}  // namespace

ModuleSettings ModuleSettings::of(const AppState &s)
{
    return static_cast<const ModuleSettings &>(s);
}

void ModuleSettings::putInto(AppState &s) const
{
    static_cast<ModuleSettings &>(s) = *this;
    for (int ch = 1; ch <= 16; ++ch)
        TypeCodeSplit(ch, TypeCode[ch]);
}

void ModuleSettings::take(const ModuleSettings &from, Part part, int ch)
{
    eachOf(*this, from, part, ch, [](auto &mine, const auto &theirs) { mine = theirs; });
}

bool ModuleSettings::differs(const ModuleSettings &other, Part part, int ch) const
{
    bool differ = false;
    eachOf(*this, other, part, ch,
           [&differ](const auto &mine, const auto &theirs) { differ |= !(mine == theirs); });
    return differ;
}

bool ModuleSettings::operator==(const ModuleSettings &o) const
{
    const auto tie = [](const ModuleSettings &m) {
        return std::tie(m.TypeCode, m.CjcSw, m.CountDo, m.CountPreset, m.BurnoutType,
                        m.FilterTime, m.LineNoise, m.AlarmOut, m.CjmTemp, m.CjmVoltage,
                        m.ModbusSet, m.ModbusSetKx7);
    };
    return tie(*this) == tie(o);
}

std::optional<ModuleSettings> &ModuleHolds()
{
    static std::optional<ModuleSettings> held;
    return held;
}

int ModelRow(const QString &name)
{
    const AppState &s = G();
    for (int row = 1; row <= 10; ++row)
        if (s.ModelName[row] == name)
            return row;
    return 0;
}

QString NameAt(const QStringList &table, int index)
{
    return index >= 0 && index < table.size() ? table.at(index) : QString();
}

const QStringList &ModbusChoices(int position, bool baud57600)
{
    static const QStringList bauds{"9600", "19200", "38400"};
    static const QStringList bauds57600 = bauds + QStringList{"57600"};
    static const QStringList bits{"8 bit"};
    static const QStringList parity{"NONE", "ODD", "EVEN"};
    static const QStringList stops{"1 bit", "2 bits"};
    static const QStringList floats{"Normal Float", "Swapped Float"};
    static const QStringList *const lists[] = {&bauds, &bits, &parity, &stops, &floats};
    return position == 0 && baud57600 ? bauds57600 : *lists[qBound(0, position, 4)];
}

const QStringList &TypeNames(int kind)
{
    static const QStringList none;
    const AppState &s = G();
    switch (kind) {
        case 1: return s.TypeNameTc;
        case 2: return s.TypeNameRtd;
        case 6: return s.TypeNameKx7;
        default: return none;
    }
}

QString TypeName(int kind, int high, int low)
{
    switch (kind) {
        case 1: return NameAt(G().TypeNameTc, high * 7 + low);
        case 2: return NameAt(G().TypeNameRtd, (high - 3) * 6 + low);
        case 6: return NameAt(G().TypeNameKx7, high + low);
        default: return QString();
    }
}

bool ThermocoupleAt(int kind, int index)
{
    return (kind == 1 && index >= 7) || (kind == 6 && index >= 1);
}

void TypeCodeSplit(int channel, int code)
{
    if (channel < 0 || channel > 16)
        return;
    // floor division, so the split also holds for negative codes
    const int high = static_cast<int>(std::floor(code / 16.0));
    G().TypeHigh[channel] = high;
    G().TypeLow[channel] = code - 16 * high;
}

void NewConfiguration(int kind)
{
    AppState &s = G();
    const AppState fresh;
    s.ModelKind = kind;
    // resistance thermometers start on their first type (class 3), the others on code 0
    const int code = kind == 2 ? 48 : 0;
    for (int ch = 1; ch <= 16; ++ch) {
        s.TypeCode[ch] = code;
        TypeCodeSplit(ch, code);
        s.CjcSw[ch] = 0;
        s.CountDo[ch] = 0;
        s.CountPreset[ch] = "0";
    }
    s.BurnoutType = 0;
    s.FilterTime = "1.0";
    // only the second-generation module has a line-noise filter
    s.LineNoise = kind == 6 ? OptInt(0) : OptInt();
    s.AlarmOut = 0;
    s.CjmTemp.clear();
    s.CjmVoltage.clear();
    s.ModbusSet = fresh.ModbusSet;
    s.ModbusSetKx7 = fresh.ModbusSetKx7;
    s.ConfigIncomplete = false;
}

qint32 PositiveCheck(const QString &text)
{
    if (text.isEmpty())
        return -1;
    for (const QChar c : text) {
        if (c == '+' || c == '-' || c == '.') {
            // a hint while typing: the box is put right, nothing fails
            MsgBox("Please enter positive number.", "Kavix", MsgIcon::Information,
                   MsgOutcome::Note);
            return 0;
        }
    }
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString VisibleText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        switch (c) {
        case '\r': out += QLatin1String("<CR>"); break;
        case '\n': out += QLatin1String("<LF>"); break;
        case '\t': out += QLatin1String("<TAB>"); break;
        case 0x00: out += QLatin1String("<NUL>"); break;
        case 0x1b: out += QLatin1String("<ESC>"); break;
        default:
            if ((c >= 0x20 && c < 0x7f && c != '<') || c > 0xff)
                out += ch;
            else
                out += "<0x" + QString::number(c, 16).rightJustified(2, '0').toUpper() + ">";
        }
    }
    return out;
}

QString CommaToPoint(const QString &text)
{
    const int at = text.indexOf(',');
    if (at < 0)
        return text;
    return text.left(at) + "." + text.mid(at + 1);
}

std::optional<int> WholeNumber(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<double> NumberIn(const QString &text)
{
    bool ok = false;
    // locale-free: a point only; blanks around the number are skipped
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString Fmt3(double value)
{
    QString s = QString::number(value, 'f', 3);
    if (s == "-0.000")
        s = "0.000";
    return CommaToPoint(s);
}

QString NoNumber()
{
    return QStringLiteral("—");
}

std::optional<double> ShownNumber(const QString &reply, bool times1000)
{
    std::optional<double> x = NumberIn(reply);
    if (x && times1000)
        *x *= 1000.0;
    if (x && !std::isfinite(*x))
        return std::nullopt;
    return x;
}

QString NumberText(const QString &reply, bool times1000)
{
    const std::optional<double> x = ShownNumber(reply, times1000);
    return x ? Fmt3(*x) : NoNumber();
}

QString ValueUnit(int kind, int typeCode, bool raw)
{
    QString unit;
    if (kind == 1 || kind == 6)
        unit = typeCode < 3 ? "V" : typeCode < 16 ? "mV" : "degC";
    else if (kind == 2)
        unit = typeCode >= 64 ? "%" : "degC";
    if (raw && unit == "degC")
        unit = kind == 2 ? "ohm" : "mV";
    return unit;
}
