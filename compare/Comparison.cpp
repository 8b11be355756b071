#include "compare/Comparison.h"

#include <QStringList>
#include <algorithm>

#include "app/Init.h"

using Part = ModuleSettings::Part;

namespace Compare {

namespace {

// The position a type code names in the kind's type list, -1 when none.
int typeIndex(int kind, int code)
{
    // a negative code names no type, whatever its split would give
    const QString name = code >= 0 ? TypeName(kind, code / 16, code % 16) : QString();
    return name.isEmpty() ? -1 : int(TypeNames(kind).indexOf(name));
}

int modbusValue(int kind, int index, const ModuleSettings &s)
{
    return (kind == 6 ? s.ModbusSetKx7 : s.ModbusSet).at(size_t(qBound(0, index, 4)));
}

// The choice list of a setting whose value is a position in it; null for
// numbers and texts.
const QStringList *choicesOf(int kind, const SettingKey &key)
{
    const AppState &g = G();
    switch (key.part) {
        case Part::Type: return &TypeNames(kind);
        case Part::Cjc:
        case Part::Alarm: return &g.OnOffName;
        case Part::Do: return &g.OnOffName2;
        case Part::Burnout: return &g.BurnoutName;
        case Part::LineNoise: return &g.LineNoiseName;
        case Part::Modbus: return &ModbusChoices(key.index, kind == 6);
        default: return nullptr;
    }
}

int position(int kind, const SettingKey &key, const ModuleSettings &s)
{
    switch (key.part) {
        case Part::Type: return typeIndex(kind, s.TypeCode.at(key.ch));
        case Part::Cjc: return s.CjcSw.at(key.ch);
        case Part::Alarm: return s.AlarmOut;
        case Part::Do: return s.CountDo.at(key.ch);
        case Part::Burnout: return s.BurnoutType;
        case Part::LineNoise: return s.LineNoise.value_or(-1);
        case Part::Modbus: return modbusValue(kind, key.index, s);
        default: return -1;
    }
}

// The raw value of a choice setting, for what is outside its list.
QString rawText(int kind, const SettingKey &key, const ModuleSettings &s)
{
    switch (key.part) {
        case Part::Type: return QStringLiteral("code %1").arg(s.TypeCode.at(key.ch));
        case Part::LineNoise: return s.LineNoise ? QString::number(*s.LineNoise) : QString();
        default: return QString::number(position(kind, key, s));
    }
}

QString text(const SettingKey &key, const ModuleSettings &s)
{
    switch (key.part) {
        case Part::Filter: return s.FilterTime;
        case Part::Preset: return s.CountPreset.at(key.ch);
        case Part::Cjm: return key.index == 0 ? s.CjmTemp : s.CjmVoltage;
        default: return QString();
    }
}

}  // namespace

QString SettingName(const SettingKey &key)
{
    static const char *const modbus[] = {"Modbus baud rate", "Modbus bit length", "Modbus parity",
                                         "Modbus stop bits", "Modbus floating type"};
    switch (key.part) {
        case Part::Type: return QStringLiteral("input type");
        case Part::Cjc: return QStringLiteral("cold-junction switch");
        case Part::Do: return QStringLiteral("counter output");
        case Part::Preset: return QStringLiteral("count preset");
        case Part::Burnout: return QStringLiteral("burnout");
        case Part::Filter: return QStringLiteral("filter time");
        case Part::LineNoise: return QStringLiteral("line noise filter");
        case Part::Alarm: return QStringLiteral("alarm output");
        case Part::Cjm:
            return key.index == 0 ? QStringLiteral("cold-junction temperature")
                                  : QStringLiteral("cold-junction voltage");
        case Part::Modbus: return QString::fromLatin1(modbus[qBound(0, key.index, 4)]);
    }
    return QString();
}

QString Where(const SettingKey &key)
{
    return key.ch > 0 ? QStringLiteral("ch %1").arg(key.ch) : QString();
}

bool InList(int kind, const SettingKey &key, const ModuleSettings &s)
{
    const QStringList *choices = choicesOf(kind, key);
    if (!choices)
        return true;
    const int p = position(kind, key, s);
    return p >= 0 && p < choices->size();
}

QString ValueText(int kind, const SettingKey &key, const ModuleSettings &s)
{
    if (const QStringList *choices = choicesOf(kind, key))
        return InList(kind, key, s) ? choices->at(position(kind, key, s)) : rawText(kind, key, s);
    return VisibleText(text(key, s));
}

bool Same(int kind, const SettingKey &key, const ModuleSettings &a, const ModuleSettings &b)
{
    if (choicesOf(kind, key)) {
        // outside the list only the same raw value is the same
        if (InList(kind, key, a) && InList(kind, key, b))
            return position(kind, key, a) == position(kind, key, b);
        return InList(kind, key, a) == InList(kind, key, b) &&
               rawText(kind, key, a) == rawText(kind, key, b);
    }
    const QString x = text(key, a);
    const QString y = text(key, b);
    const std::optional<double> nx = NumberIn(x);
    const std::optional<double> ny = NumberIn(y);
    return nx && ny ? *nx == *ny : x == y;
}

}  // namespace Compare

Comparison Comparison::of(int kind, const QList<SettingKey> &keys, const ModuleSettings &left,
                          const QString &leftName, const ModuleSettings &right,
                          const QString &rightName, const QSet<SettingKey> *known)
{
    Comparison c;
    c.kind = kind;
    c.leftName = leftName;
    c.rightName = rightName;
    for (const SettingKey &key : keys) {
        CompareRow row;
        row.key = key;
        row.left = Compare::ValueText(kind, key, left);
        row.known = !known || known->contains(key);
        if (row.known) {
            row.right = Compare::ValueText(kind, key, right);
            row.differs = !Compare::Same(kind, key, left, right);
            row.outside = !Compare::InList(kind, key, left) || !Compare::InList(kind, key, right);
        }
        c.rows.append(row);
    }
    return c;
}

int Comparison::differing() const
{
    return int(
        std::count_if(rows.cbegin(), rows.cend(), [](const CompareRow &r) { return r.differs; }));
}

int Comparison::unknown() const
{
    return int(
        std::count_if(rows.cbegin(), rows.cend(), [](const CompareRow &r) { return !r.known; }));
}

bool Comparison::outside() const
{
    return std::any_of(rows.cbegin(), rows.cend(), [](const CompareRow &r) { return r.outside; });
}

QString Comparison::line(const CompareRow &row) const
{
    const QString where = Compare::Where(row.key);
    return QStringLiteral("%1%2: %3 %4, %5 %6")
        .arg(where.isEmpty() ? QString() : where + ' ', Compare::SettingName(row.key), leftName,
             row.left, rightName, row.known ? row.right : QStringLiteral("(not read)"));
}

QStringList Comparison::lines() const
{
    QStringList out;
    for (const CompareRow &row : rows)
        if (row.differs)
            out << line(row);
    return out;
}

QString Comparison::summary() const
{
    const int n = int(rows.size());
    QString s = differing() == 0 && unknown() == 0
                    ? Tr("All %1 settings match").arg(n)
                    : Tr("%1 of %2 settings differ").arg(differing()).arg(n);
    if (unknown() > 0)
        s += Tr("; %1 of %2 settings were not read").arg(unknown()).arg(n);
    return s;
}
