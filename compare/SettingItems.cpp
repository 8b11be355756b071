#include "compare/SettingItems.h"

#include <QHashFunctions>

#include "link/TxtBus.h"

using Part = ModuleSettings::Part;

size_t qHash(const SettingKey &k, size_t seed)
{
    return qHashMulti(seed, int(k.part), k.ch, k.index);
}

namespace SettingItems {

int Channels(int kind)
{
    return kind == 1 ? 16 : 8;
}

QList<SettingKey> Transfer(int kind, bool option10)
{
    QList<SettingKey> keys;
    const int n = Channels(kind);
    switch (kind) {
        case 1:
        case 2:
        case 6:
            for (int ch = 1; ch <= n; ++ch) {
                keys.append({Part::Type, ch});
                if (kind == 1 || (kind == 6 && option10))
                    keys.append({Part::Cjc, ch});
            }
            // kinds 1 and 2 write the burnout per channel, but it is one setting
            if (kind != 6 || option10)
                keys.append({Part::Burnout});
            if (kind == 6) {
                keys.append({Part::Alarm});
                if (option10)
                    keys.append({Part::LineNoise});
            }
            keys.append({Part::Filter});
            break;
        case 5:
            for (int ch = 1; ch <= n; ++ch) {
                keys.append({Part::Do, ch});
                keys.append({Part::Preset, ch});
            }
            break;
        default: break;
    }
    return keys;
}

QList<SettingKey> FileOnly(int kind)
{
    if (kind < 1 || kind > 6)
        return {};
    QList<SettingKey> keys{{Part::Cjm, 0, 0}, {Part::Cjm, 0, 1}};
    for (int i = 0; i < 5; ++i) keys.append({Part::Modbus, 0, i});
    return keys;
}

QList<SettingKey> InFile(int kind)
{
    // a pulse counter's file keeps no counter settings
    const bool hasLine24 = kind == 1 || kind == 2 || kind == 6;
    return (hasLine24 ? Transfer(kind, true) : QList<SettingKey>()) + FileOnly(kind);
}

std::pair<int, int> ReadItem(int kind, const SettingKey &key)
{
    switch (key.part) {
        case Part::Type: return {5, key.ch};
        case Part::Cjc: return {25, key.ch};
        case Part::Do: return {7, key.ch};
        case Part::Preset: return {9, key.ch};
        // kind 6 reads the burnout type without an index
        case Part::Burnout: return {20, kind == 6 ? 0 : 1};
        case Part::Filter: return {16, 0};
        case Part::LineNoise: return {15, 0};
        case Part::Alarm: return {7, 1};
        default: return {0, 0};
    }
}

bool Store(const SettingKey &key, const QString &payload, ModuleSettings &into)
{
    const std::optional<int> n = WholeNumber(payload);
    switch (key.part) {
        case Part::Filter: into.FilterTime = payload; return true;
        case Part::Preset: into.CountPreset.at(key.ch) = payload; return true;
        default: break;
    }
    if (!n)
        return false;
    switch (key.part) {
        case Part::Type: into.TypeCode.at(key.ch) = *n; break;
        case Part::Cjc: into.CjcSw.at(key.ch) = *n; break;
        case Part::Do: into.CountDo.at(key.ch) = *n; break;
        case Part::Burnout: into.BurnoutType = *n; break;
        case Part::LineNoise: into.LineNoise = *n; break;
        case Part::Alarm: into.AlarmOut = *n; break;
        default: return false;
    }
    return true;
}

QList<ItemWrite> Writes(int kind, const ModuleSettings &s, bool option10)
{
    const auto cc = [](int ch) { return Fmt00(ch); };
    const auto num = [](int v) { return QString::number(v); };
    const auto type = [&](int ch) {
        return ItemWrite{{Part::Type, ch}, 5, cc(ch) + Fmt00(s.TypeCode[ch]), num(s.TypeCode[ch])};
    };
    const auto cjc = [&](int ch) {
        return ItemWrite{{Part::Cjc, ch}, 25, cc(ch) + num(s.CjcSw[ch]), num(s.CjcSw[ch])};
    };
    // kinds 1 and 2 write the one burnout type to every channel
    const auto burnout = [&](int ch) {
        return ItemWrite{{Part::Burnout}, 20, cc(ch) + num(s.BurnoutType), num(s.BurnoutType)};
    };
    // the value goes out with a point and comes back so
    const ItemWrite filter{{Part::Filter}, 16, s.FilterTime, CommaToPoint(s.FilterTime)};
    QList<ItemWrite> w;
    switch (kind) {
        case 6:
            for (int ch = 1; ch <= 8; ++ch) {
                w.append(type(ch));
                if (option10)
                    w.append(cjc(ch));
            }
            if (option10)
                w.append({{Part::Burnout}, 20, num(s.BurnoutType), num(s.BurnoutType)});
            w.append({{Part::Alarm}, 7, "01" + num(s.AlarmOut), num(s.AlarmOut)});
            if (option10)
                w.append(
                    {{Part::LineNoise}, 15, num(orZero(s.LineNoise)), num(orZero(s.LineNoise))});
            w.append(filter);
            break;
        case 5:
            for (int ch = 1; ch <= 8; ++ch) {
                w.append({{Part::Do, ch}, 7, cc(ch) + num(s.CountDo[ch]), num(s.CountDo[ch])});
                w.append({{Part::Preset, ch}, 9, cc(ch) + s.CountPreset[ch], s.CountPreset[ch]});
            }
            break;
        case 2:
            for (int ch = 1; ch <= 8; ++ch) {
                w.append(type(ch));
                w.append(burnout(ch));
            }
            w.append(filter);
            break;
        case 1:
            for (int ch = 1; ch <= 16; ++ch) {
                w.append(type(ch));
                w.append(cjc(ch));
                w.append(burnout(ch));
            }
            w.append(filter);
            break;
        default: break;
    }
    return w;
}

}  // namespace SettingItems
