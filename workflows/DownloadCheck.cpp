#include "workflows/DownloadCheck.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "files/ConfigFile.h"
#include "link/TxtBus.h"
#include "workflows/ModuleReads.h"

#include <QRegularExpression>

namespace DownloadCheck {

namespace {


// A message never quotes a value (or a module's reply) longer than a module
// could hold, nor its control characters.
QString shown(const QString &value)
{
    return VisibleText(value.size() > 24 ? value.left(24) + QStringLiteral("…") : value);
}

}  // namespace

bool ModuleKnown(const QString &title, const QString &nothing)
{
    AppState &s = G();
    const auto tell = [&](const QString &text, MsgIcon icon) {
        MsgBox(text + ' ' + nothing, title, icon);
        return false;
    };
    // The model name is read before every download: a module put on the
    // line after it was identified must not get the settings of another.
    QString name;
    if (!DataRead(90, 0, name))
        return tell(Tr("The module did not tell its model."), MsgIcon::Critical);
    if (s.Identified && name != s.LineModel)
        return tell(Tr("The module on the line now answers as %1, not as the %2 identified before.")
                        .arg(shown(name), s.LineModel),
                    MsgIcon::Exclamation);
    if (!s.Identified) {
        const int row = ModelRow(name);
        if (!row)
            return tell(Tr("The module on the line is a model this program does not know (%1).")
                            .arg(shown(name)),
                        MsgIcon::Exclamation);
        const int kind = s.ModelKindList[row];
        if (kind == 6 && !ModuleReads::OptionBits())
            return tell(Tr("The module's options could not be read."), MsgIcon::Critical);
        s.LineModel = name;
        s.LineKind = kind;
        s.Identified = true;
    }
    return true;
}

QString KindName(int kind)
{
    static const char *const names[] = {"", "KX5", "L5", "B6", "E6", "H9", "KX7"};
    return kind >= 1 && kind <= 6 ? QString::fromLatin1(names[kind]) : Tr("no model");
}

bool ModuleFits(const QString &title)
{
    const QString nothing = Tr("Nothing was written.");
    if (!ModuleKnown(title, nothing))
        return false;
    const int wanted = orZero(G().ModelKind);
    if (G().LineKind != wanted) {
        MsgBox(Tr("The module on the line is a %1 module, but the settings are for a %2 module.")
                       .arg(KindName(G().LineKind), KindName(wanted)) +
                   ' ' + nothing,
               title, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

bool Refuse(const QString &setting, const QString &value, const QString &title)
{
    MsgBox(Tr("%1 \"%2\" cannot be sent to the module. Nothing was written.")
               .arg(setting, shown(value)),
           title, MsgIcon::Exclamation);
    return false;
}

bool FilterTextOk(const QString &text)
{
    static const QRegularExpression number(R"(^(\d+([.,]\d*)?|[.,]\d+)$)");
    // digits alone would make a command line as long as the text
    return text.size() <= kMaxTextChars && number.match(text).hasMatch();
}

bool PresetOk(const QString &text)
{
    static const QRegularExpression digits(R"(^\d{1,9}$)");
    return digits.match(text).hasMatch();
}

bool TypeCodeOk(int kind, int code)
{
    // A thermocouple as a module may report it, in class 2, goes back as it
    // came wherever the kind's table names it (kind 1: 32..37, kind 6: 32..43).
    if ((kind == 1 || kind == 6) && code >= 32 && code < 48)
        return !TypeName(kind, code / 16, code % 16).isEmpty();
    switch (kind) {
    // the thermocouples as written: 16..28
    case 1: return (code >= 0 && code <= 6) || (code >= 16 && code <= 28);
    case 2: return (code >= 48 && code <= 53) || (code >= 64 && code <= 67);
    case 6: return code == 0 || (code >= 16 && code <= 28);
    default: return false;
    }
}

namespace {

bool inRange(int v, int last)
{
    return v >= 0 && v <= last;
}

QString ofChannel(const QString &what, int ch)
{
    return Tr("%1 of channel %2").arg(what).arg(ch);
}

}  // namespace

bool CounterChannelOk(int ch, const QString &title, const ModuleSettings &s)
{
    if (!inRange(s.CountDo[ch], 1))
        return Refuse(ofChannel("DO", ch), QString::number(s.CountDo[ch]), title);
    if (!PresetOk(s.CountPreset[ch]))
        return Refuse(ofChannel(Tr("Count preset"), ch), s.CountPreset[ch], title);
    return true;
}

bool SettingsOk(int kind, const QString &title, const ModuleSettings &s)
{
    const int channels = kind == 1 ? 16 : 8;
    if (kind == 1 || kind == 2 || kind == 6) {
        for (int ch = 1; ch <= channels; ++ch) {
            if (!TypeCodeOk(kind, s.TypeCode[ch]))
                return Refuse(ofChannel(Tr("Input type"), ch), QString::number(s.TypeCode[ch]),
                              title);
            if (kind != 2 && !inRange(s.CjcSw[ch], 1))
                return Refuse(ofChannel(Tr("CJC switch"), ch), QString::number(s.CjcSw[ch]), title);
        }
        if (!inRange(s.BurnoutType, 2))
            return Refuse(LoadResString(2036), QString::number(s.BurnoutType), title);
        if (!FilterTextOk(s.FilterTime))
            return Refuse(LoadResString(2048), s.FilterTime, title);
    }
    if (kind == 6) {
        if (!inRange(orZero(s.LineNoise), 2))
            return Refuse(LoadResString(2049), QString::number(orZero(s.LineNoise)), title);
        if (!inRange(s.AlarmOut, 1))
            return Refuse(LoadResString(2113), QString::number(s.AlarmOut), title);
    }
    if (kind == 5) {
        for (int ch = 1; ch <= 8; ++ch)
            if (!CounterChannelOk(ch, title, s))
                return false;
    }
    return true;
}

}  // namespace DownloadCheck
