#include "app/Globals.h"

#include "app/Messages.h"

#include <cmath>

AppState &G()
{
    static AppState state;
    return state;
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

qint32 PositiveCheck(const QString &text)
{
    if (text.isEmpty())
        return -1;
    for (const QChar c : text) {
        if (c == '+' || c == '-' || c == '.') {
            MsgBox("Please enter positive number.", "Kavix", MsgIcon::Information);
            return 0;
        }
    }
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
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
