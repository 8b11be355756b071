#include "monitor/TypeNames.h"

#include "app/Globals.h"

QString TypeNameFor(int kind, int ch)
{
    if (ch < 0 || ch > 16)
        return QString();
    return TypeName(kind, G().TypeHigh[ch], G().TypeLow[ch]);
}

int LimitRtdCode(int code)
{
    return code < 48 || code > 67 ? 48 : code;
}

QString CjcText(int ch)
{
    if (ch < 0 || ch > 16)
        return QString();
    const AppState &s = G();
    const int sw = s.CjcSw[ch];
    if (s.TypeCode[ch] >= 16 && (sw == 0 || sw == 1))
        return NameAt(s.OnOffName, sw);
    return QString();
}
