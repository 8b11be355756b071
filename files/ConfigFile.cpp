#include "files/ConfigFile.h"

#include "app/Init.h"
#include "files/FileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

constexpr int kChannels = 16;
constexpr int kBaseLines = 23;  // every file; kinds 1, 2, 6 add line 24
constexpr int kFirstModbusLine = 2 + kChannels;
constexpr int kMin16 = -32768;
constexpr int kMax16 = 32767;

const char *const kModbusNames[5] = {"baud rate", "bit length", "parity", "stop bits",
                                     "floating type"};

enum class FieldType { Number, OptNumber, Text };

struct FieldRule {
    FieldType type;
    QString name;
};

struct Field {
    QString text;
    bool quoted = false;
};

struct Value {
    OptInt number;
    QString text;
};

// A bad field can be a whole junk line; keep the message readable.
QString shown(const QString &text)
{
    return text.size() > 40 ? text.left(40) + "..." : text;
}

QString countOf(int n)
{
    return n == 1 ? QStringLiteral("1 field") : QStringLiteral("%1 fields").arg(n);
}

class Parser {
public:
    explicit Parser(const QByteArray &bytes)
    {
        QByteArray body = bytes;
        if (body.startsWith("\xEF\xBB\xBF"))  // editors on Windows like to add one
            body.remove(0, 3);
        // Lines end in CR LF as written, in LF, or in CR alone (old Macs).
        body.replace("\r\n", "\n");
        body.replace('\r', '\n');
        m_lines = body.split('\n');
        while (!m_lines.isEmpty() && m_lines.last().isEmpty())
            m_lines.removeLast();
    }

    ConfigReadResult run()
    {
        ConfigReadResult r;
        ConfigData &d = r.data;
        QList<Value> v;

        if (!line(1, {{FieldType::OptNumber, "model kind"}}, "model kind", &v))
            return fail();
        d.ModelKind = v[0].number;
        if (d.ModelKind && (*d.ModelKind < 1 || *d.ModelKind > 6))
            return failAt(1, QStringLiteral("model kind %1 is not one of 1 to 6")
                                 .arg(*d.ModelKind));

        for (int ch = 1; ch <= kChannels; ++ch) {
            const QString of = QStringLiteral(" of channel %1").arg(ch);
            if (!line(1 + ch,
                      {{FieldType::Number, "type code" + of},
                       {FieldType::Number, "cold-junction switch" + of}},
                      "type code and cold-junction switch" + of, &v))
                return fail();
            d.TypeCode[ch] = *v[0].number;
            d.CjcSw[ch] = *v[1].number;
        }

        for (int i = 0; i < 5; ++i) {
            const QString name = QStringLiteral("Modbus ") + kModbusNames[i];
            if (!line(kFirstModbusLine + i, {{FieldType::Number, name}}, name, &v))
                return fail();
            d.Modbus[i] = *v[0].number;
        }

        if (!line(kBaseLines,
                  {{FieldType::Text, "CJM temperature"}, {FieldType::Text, "CJM voltage"}},
                  "CJM temperature and CJM voltage", &v))
            return fail();
        d.CjmTemp = v[0].text;
        d.CjmVoltage = v[1].text;

        d.hasLine24 = KindHasLine24(d.ModelKind);
        if (d.hasLine24) {
            if (!line(kBaseLines + 1,
                      {{FieldType::Number, "burnout type"},
                       {FieldType::Text, "filter time"},
                       {FieldType::OptNumber, "line noise filter"},
                       {FieldType::Number, "alarm output"}},
                      "burnout type, filter time, line noise filter and alarm output", &v))
                return fail();
            d.BurnoutType = *v[0].number;
            d.FilterTime = v[1].text;
            d.LineNoise = v[2].number;
            d.AlarmOut = *v[3].number;
        }

        // Trailing empty lines are gone already, so anything left is content.
        const int last = d.hasLine24 ? kBaseLines + 1 : kBaseLines;
        for (int n = last + 1; n <= m_lines.size(); ++n) {
            if (m_lines[n - 1].isEmpty())
                continue;
            const QString kind = d.ModelKind
                ? QStringLiteral("a model kind %1 file").arg(*d.ModelKind)
                : QStringLiteral("a file without model kind");
            return failAt(n, QStringLiteral("unexpected text after the last line of %1 "
                                            "(%2 lines)")
                                 .arg(kind)
                                 .arg(last));
        }

        r.ok = true;
        return r;
    }

private:
    // Reads line n (1-based) into values, one per rule; false with m_error set.
    bool line(int n, const QList<FieldRule> &rules, const QString &what, QList<Value> *out)
    {
        out->clear();
        if (n > m_lines.size()) {
            setError(n, m_lines.isEmpty()
                            ? QStringLiteral("missing; the file is empty")
                            : QStringLiteral("missing; the file ends after line %1 "
                                             "(%2 expected)")
                                  .arg(m_lines.size())
                                  .arg(what));
            return false;
        }
        QString text;
        if (!decode(n, &text))
            return false;
        QList<Field> fields;
        if (!split(n, text, rules, &fields))
            return false;
        if (fields.size() != rules.size()) {
            const QString found = text.isEmpty() ? QStringLiteral("an empty line")
                                                 : countOf(fields.size());
            setError(n, QStringLiteral("%1 where %2 %3 expected (%4)")
                            .arg(found, countOf(rules.size()),
                                 rules.size() == 1 ? "is" : "are", what));
            return false;
        }
        for (int i = 0; i < rules.size(); ++i) {
            Value val;
            if (!convert(n, fields[i], rules[i], &val))
                return false;
            out->append(val);
        }
        return true;
    }

    bool decode(int n, QString *text)
    {
        const QByteArray &raw = m_lines[n - 1];
        for (const char c : raw) {
            const auto u = static_cast<unsigned char>(c);
            if (u == 0) {
                setError(n, "binary data (a NUL byte), not a text file");
                return false;
            }
            if (u < 0x20 && u != '\t') {
                setError(n, QStringLiteral("binary data (control character 0x%1), "
                                           "not a text file")
                                .arg(u, 2, 16, QChar('0')));
                return false;
            }
        }
        *text = QString::fromUtf8(raw);
        // Invalid sequences decode to replacement characters and do not come back.
        if (text->toUtf8() != raw) {
            setError(n, "not valid UTF-8 text");
            return false;
        }
        return true;
    }

    bool split(int n, const QString &text, const QList<FieldRule> &rules, QList<Field> *out)
    {
        const auto nameOf = [&](int i) {
            return i < rules.size() ? rules[i].name : QStringLiteral("field %1").arg(i + 1);
        };
        int pos = 0;
        for (;;) {
            Field f;
            const int index = out->size();
            if (pos < text.size() && text[pos] == '"') {
                const int close = text.indexOf('"', pos + 1);
                if (close < 0) {
                    setError(n, QStringLiteral("unterminated quote (%1)").arg(nameOf(index)));
                    return false;
                }
                f.text = text.mid(pos + 1, close - pos - 1);
                f.quoted = true;
                pos = close + 1;
                if (pos < text.size() && text[pos] != ',') {
                    setError(n, QStringLiteral("unexpected text after the closing quote (%1)")
                                    .arg(nameOf(index)));
                    return false;
                }
            } else {
                int end = text.indexOf(',', pos);
                if (end < 0)
                    end = text.size();
                f.text = text.mid(pos, end - pos);
                if (f.text.contains('"')) {
                    setError(n, QStringLiteral("stray double quote in \"%1\" (%2)")
                                    .arg(shown(f.text), nameOf(index)));
                    return false;
                }
                pos = end;
            }
            out->append(f);
            if (pos >= text.size())
                return true;
            ++pos;  // the comma
        }
    }

    bool convert(int n, const Field &f, const FieldRule &rule, Value *out)
    {
        if (rule.type == FieldType::Text) {
            // Texts are always written quoted; an unquoted one means a broken line.
            if (!f.quoted) {
                setError(n, QStringLiteral("\"%1\" is not between double quotes (%2)")
                                .arg(shown(f.text), rule.name));
                return false;
            }
            if (f.text.size() > kMaxTextChars) {
                setError(n, Tr("the %1 text is %2 characters long; a module holds at most %3")
                                .arg(rule.name)
                                .arg(f.text.size())
                                .arg(kMaxTextChars));
                return false;
            }
            out->text = f.text;
            return true;
        }
        if (f.quoted) {
            setError(n, QStringLiteral("\"%1\" is a quoted text where a whole number is "
                                       "expected (%2)")
                            .arg(shown(f.text), rule.name));
            return false;
        }
        if (f.text.isEmpty()) {
            if (rule.type == FieldType::OptNumber)
                return true;
            setError(n, QStringLiteral("empty field where a whole number is expected (%1)")
                            .arg(rule.name));
            return false;
        }
        // Decimal digits with an optional minus, nothing else: no '+', no spaces.
        const bool negative = f.text[0] == '-';
        const int start = negative ? 1 : 0;
        bool digits = f.text.size() > start;
        qint64 value = 0;
        for (int i = start; digits && i < f.text.size(); ++i) {
            const QChar c = f.text[i];
            if (c < '0' || c > '9')
                digits = false;
            else if (value <= kMax16 + 1)  // stop growing once out of range
                value = value * 10 + (c.unicode() - '0');
        }
        if (!digits) {
            setError(n, QStringLiteral("\"%1\" is not a whole number (%2)")
                            .arg(shown(f.text), rule.name));
            return false;
        }
        if (negative)
            value = -value;
        if (value < kMin16 || value > kMax16) {
            setError(n, QStringLiteral("%1 is outside the range %2 to %3 (%4)")
                            .arg(shown(f.text))
                            .arg(kMin16)
                            .arg(kMax16)
                            .arg(rule.name));
            return false;
        }
        out->number = static_cast<int>(value);
        return true;
    }

    void setError(int n, const QString &what)
    {
        m_errorLine = n;
        m_error = QStringLiteral("line %1: %2").arg(n).arg(what);
    }

    ConfigReadResult fail() const
    {
        ConfigReadResult r;
        r.error = m_error;
        r.line = m_errorLine;
        return r;
    }

    ConfigReadResult failAt(int n, const QString &what)
    {
        setError(n, what);
        return fail();
    }

    QList<QByteArray> m_lines;
    QString m_error;
    int m_errorLine = 0;
};

// Why these values cannot be written so that they read back, or "" when they can.
QString writeProblem(const ConfigData &d)
{
    if (d.ModelKind && (*d.ModelKind < 1 || *d.ModelKind > 6))
        return QStringLiteral("model kind %1 is not one of 1 to 6").arg(*d.ModelKind);
    const auto badNumber = [](int v) { return v < kMin16 || v > kMax16; };
    for (int ch = 1; ch <= kChannels; ++ch)
        if (badNumber(d.TypeCode[ch]) || badNumber(d.CjcSw[ch]))
            return QStringLiteral("a setting of channel %1 is outside the range %2 to %3")
                .arg(ch)
                .arg(kMin16)
                .arg(kMax16);
    for (int v : d.Modbus)
        if (badNumber(v))
            return QStringLiteral("a Modbus setting is outside the range %1 to %2")
                .arg(kMin16)
                .arg(kMax16);
    const bool line24 = KindHasLine24(d.ModelKind);
    if (line24 && (badNumber(d.BurnoutType) || badNumber(d.AlarmOut)
                   || (d.LineNoise && badNumber(*d.LineNoise))))
        return QStringLiteral("a burnout, line noise or alarm setting is outside the range "
                              "%1 to %2")
            .arg(kMin16)
            .arg(kMax16);
    // Texts are written between quotes with nothing escaped.
    const auto badText = [](const QString &t) {
        for (const QChar c : t)
            if (c == '"' || (c.unicode() < 0x20 && c != '\t'))
                return true;
        return false;
    };
    const QList<QPair<QString, QString>> texts = {
        {"CJM temperature", d.CjmTemp},
        {"CJM voltage", d.CjmVoltage},
        {"filter time", line24 ? d.FilterTime : QString()},
    };
    for (const auto &t : texts)
        if (t.second.size() > kMaxTextChars)
            return Tr("the %1 text is %2 characters long; a module holds at most %3")
                .arg(t.first)
                .arg(t.second.size())
                .arg(kMaxTextChars);
    for (const auto &t : texts)
        if (badText(t.second))
            return QStringLiteral("the %1 text contains a double quote or a control "
                                  "character, which the file cannot hold")
                .arg(t.first);
    return {};
}

QString optText(const OptInt &v)
{
    return v ? QString::number(*v) : QString();
}

}  // namespace

bool operator==(const ConfigData &a, const ConfigData &b)
{
    return a.ModelKind == b.ModelKind && a.TypeCode == b.TypeCode && a.CjcSw == b.CjcSw
        && a.Modbus == b.Modbus && a.CjmTemp == b.CjmTemp && a.CjmVoltage == b.CjmVoltage
        && a.hasLine24 == b.hasLine24 && a.BurnoutType == b.BurnoutType
        && a.FilterTime == b.FilterTime && a.LineNoise == b.LineNoise
        && a.AlarmOut == b.AlarmOut;
}

bool KindHasLine24(const OptInt &kind)
{
    const int k = orZero(kind);
    return k == 1 || k == 2 || k == 6;
}

ConfigData ConfigFromState(const AppState &s)
{
    ConfigData d;
    // The state tests "no model" as 0; the file says it with an empty field.
    if (orZero(s.ModelKind) != 0)
        d.ModelKind = s.ModelKind;
    for (int ch = 1; ch <= kChannels; ++ch) {
        d.TypeCode[ch] = s.TypeCode[ch];
        d.CjcSw[ch] = s.CjcSw[ch];
    }
    d.Modbus = orZero(d.ModelKind) == 6 ? s.ModbusSetKx7 : s.ModbusSet;
    d.CjmTemp = s.CjmTemp;
    d.CjmVoltage = s.CjmVoltage;
    d.hasLine24 = KindHasLine24(d.ModelKind);
    if (d.hasLine24) {
        d.BurnoutType = s.BurnoutType;
        d.FilterTime = s.FilterTime;
        d.LineNoise = s.LineNoise;
        d.AlarmOut = s.AlarmOut;
    }
    return d;
}

void ConfigToState(const ConfigData &d, AppState &s)
{
    s.ModelKind = d.ModelKind;
    for (int ch = 1; ch <= kChannels; ++ch) {
        s.TypeCode[ch] = d.TypeCode[ch];
        s.CjcSw[ch] = d.CjcSw[ch];
    }
    (orZero(d.ModelKind) == 6 ? s.ModbusSetKx7 : s.ModbusSet) = d.Modbus;
    s.CjmTemp = d.CjmTemp;
    s.CjmVoltage = d.CjmVoltage;
    if (d.hasLine24) {
        s.BurnoutType = d.BurnoutType;
        s.FilterTime = d.FilterTime;
        s.LineNoise = d.LineNoise;
        s.AlarmOut = d.AlarmOut;
    }
}

ModuleSettings SettingsIn(const ConfigData &d)
{
    AppState from;
    ConfigToState(d, from);
    return ModuleSettings::of(from);
}

QByteArray WriteConfig(const ConfigData &d)
{
    QStringList lines;
    lines << optText(d.ModelKind);
    for (int ch = 1; ch <= kChannels; ++ch)
        lines << QStringLiteral("%1,%2").arg(d.TypeCode[ch]).arg(d.CjcSw[ch]);
    for (int v : d.Modbus)
        lines << QString::number(v);
    lines << QStringLiteral("\"%1\",\"%2\"").arg(d.CjmTemp, d.CjmVoltage);
    if (KindHasLine24(d.ModelKind))
        lines << QStringLiteral("%1,\"%2\",%3,%4")
                     .arg(QString::number(d.BurnoutType), d.FilterTime, optText(d.LineNoise),
                          QString::number(d.AlarmOut));
    QByteArray out;
    for (const QString &l : lines)
        out += l.toUtf8() + "\r\n";
    return out;
}

ConfigReadResult ParseConfig(const QByteArray &bytes)
{
    if (bytes.size() > kMaxConfigBytes) {
        ConfigReadResult r;
        r.error = QStringLiteral("more than %1 bytes, too large for a configuration file")
                      .arg(kMaxConfigBytes);
        return r;
    }
    return Parser(bytes).run();
}

ConfigReadResult ReadConfigFile(const QString &path)
{
    const QString label = FileLabel(path);
    ConfigReadResult r;
    if (const QString why = NotAFile(path); !why.isEmpty()) {
        r.error = label + ": " + why;
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = label + ": " + file.errorString();
        return r;
    }
    // One byte past the cap tells a too-large file without reading all of it.
    const QByteArray bytes = file.read(kMaxConfigBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        r.error = label + ": " + file.errorString();
        return r;
    }
    r = ParseConfig(bytes);
    if (!r.ok)
        r.error = label + (r.line > 0 ? ", " : ": ") + r.error;
    return r;
}

bool WriteConfigFile(const QString &path, const ConfigData &d, QString *error)
{
    if (const QString problem = writeProblem(d); !problem.isEmpty()) {
        if (error)
            *error = FileLabel(path) + ": " + problem;
        return false;
    }
    return SaveWhole(path, WriteConfig(d), error);
}
