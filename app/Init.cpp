#include "app/Init.h"

#include "app/Globals.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QTextStream>

// The table is compiled into a static library: make sure the linker keeps it.
static void loadTextResource()
{
    Q_INIT_RESOURCE(texts);
}

namespace {

struct Entry {
    QString english;
    QString japanese;
};

const QHash<int, Entry> &table()
{
    static const QHash<int, Entry> t = [] {
        QHash<int, Entry> t;
        loadTextResource();
        QFile f(":/texts/strings.tsv");
        if (!f.open(QIODevice::ReadOnly))
            qFatal("string table missing from the build");
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (const QByteArray &raw : lines) {
            const QString line = QString::fromUtf8(raw).remove('\r');
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList cols = line.split('\t');
            if (cols.size() != 3)
                continue;
            t.insert(cols[0].toInt(), Entry{cols[1], cols[2]});
        }
        return t;
    }();
    return t;
}

const QHash<QString, QString> &ownTexts()
{
    static const QHash<QString, QString> t = [] {
        QHash<QString, QString> t;
        loadTextResource();
        QFile f(":/texts/texts-own.tsv");
        if (!f.open(QIODevice::ReadOnly))
            qFatal("own text table missing from the build");
        for (const QByteArray &raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).remove('\r');
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            QStringList cols = line.split('\t');
            // "\n" in the file is a line break of the text
            for (QString &c : cols)
                c.replace(QLatin1String("\\n"), QLatin1String("\n"));
            if (cols.size() == 2)
                t.insert(cols[0], cols[1]);
        }
        return t;
    }();
    return t;
}

std::optional<TextLanguage> &chosenLanguage()
{
    static std::optional<TextLanguage> lang;
    return lang;
}

}  // namespace

TextLanguage languageOfSystem()
{
    return QLocale::system().language() == QLocale::Japanese ? TextLanguage::Japanese
                                                             : TextLanguage::English;
}

TextLanguage textLanguage()
{
    return chosenLanguage().value_or(languageOfSystem());
}

void setTextLanguage(TextLanguage lang)
{
    chosenLanguage() = lang;
}

QString ResStringIn(int id, TextLanguage lang)
{
    const auto it = table().constFind(id);
    if (it == table().constEnd())
        return QString();
    return lang == TextLanguage::Japanese ? it->japanese : it->english;
}

QString LoadResString(int id)
{
    return ResStringIn(id, textLanguage());
}

QString Tr(const QString &english)
{
    if (textLanguage() != TextLanguage::Japanese)
        return english;
    return ownTexts().value(english, english);
}

QString Tr(const char *english)
{
    return Tr(QString::fromUtf8(english));
}

bool HasResString(int id)
{
    return table().contains(id);
}

QList<int> ResStringIds()
{
    QList<int> ids = table().keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

void InitData()
{
    AppState &s = G();
    s = AppState{};  // a complete reset, so a test can start clean

    static const char *names[] = {"QV8_KX5", "QV8T_KX7", "QV8_L5",   "QV8_B6",   "QV8_E6",
                                  "QW8_KX5", "QY8_KX5",  "QV8_B6F4", "QV8_E6F4", "QV8_H9"};
    static const int kinds[] = {1, 6, 2, 3, 4, 1, 1, 3, 4, 5};
    for (int row = 1; row <= 10; ++row) {
        s.ModelName[row] = names[row - 1];
        s.ModelKindList[row] = kinds[row - 1];
    }

    s.TypeNameTc = {"-20 to 20V", "-5 to 5V",  "-1 to 1V", "-800 to 800mV", "-200 to 200mV",
                    "-50 to 50mV", "-10 to 10mV", "(PR)",  "K(CA)",         "E(CRC)",
                    "J(IC)",      "T(CC)",     "B(RH)",    "R",             "S",
                    "C(Wre 5-26)", "N",        "U",        "L",             "P(Platinel2)"};
    s.TypeNameRtd = {"JPt100(JIS'89)", "Pt100(JIS'89)", "Pt100(JIS'97)", "Pt50(JIS'81)",
                     "Ni508.4",        "Pt1000",        "0 to 100ohm",   "0 to 500ohm",
                     "0 to 1Kohm",     "0 to 10Kohm"};
    s.TypeNameKx7 = QStringList{"-10 to 10V"} + s.TypeNameTc.mid(7);
    s.BurnoutName = {LoadResString(2037), LoadResString(2038), LoadResString(2039)};
    s.OnOffName = {"OFF", "ON"};
    s.OnOffName2 = {"OFF", "ON"};
    s.LineNoiseName = {"50/60Hz", "50Hz", "60Hz"};
}
