#pragma once
// Two configurations of one model kind side by side, setting by setting,
// compared by meaning: a number by its value ("2.5" is "2.50"), an input
// type by the type its code names (the two code ranges of one type name
// are one type), a choice by its position, a text exactly. No windows, no
// module here: the values come from the state, a file or what the module
// reported.

#include <QList>
#include <QSet>
#include <QString>

#include "compare/SettingItems.h"

namespace Compare {

// The setting as lines and tables name it: "input type", "filter time".
QString SettingName(const SettingKey &key);
// "ch 3" for a channel's setting, "" for a module-wide one.
QString Where(const SettingKey &key);
// The value as a person reads it: "K(CA)", "ON", "1.0"; a value outside
// the kind's list shows as a number ("code 99" for a type).
QString ValueText(int kind, const SettingKey &key, const ModuleSettings &s);
// The value is one of the kind's list for the setting (numbers and texts always are).
bool InList(int kind, const SettingKey &key, const ModuleSettings &s);
bool Same(int kind, const SettingKey &key, const ModuleSettings &a, const ModuleSettings &b);

}  // namespace Compare

struct CompareRow {
    SettingKey key;
    QString left;
    QString right;
    bool known = true;  // the right side's value was read (a cut-short read leaves some not)
    bool differs = false;
    bool outside = false;  // a side holds a value outside the setting's list
    QString result;        // what a download of the differences did to it
};

struct Comparison {
    int kind = 0;
    QString leftName;   // "file", "configuration", "first"
    QString rightName;  // "module", "second"
    QList<CompareRow> rows;

    // The keys in order, the two sides, and which keys of the right side
    // are known (all when `known` is null).
    static Comparison of(int kind, const QList<SettingKey> &keys, const ModuleSettings &left,
                         const QString &leftName, const ModuleSettings &right,
                         const QString &rightName, const QSet<SettingKey> *known = nullptr);

    int differing() const;
    int unknown() const;
    bool matches() const { return differing() == 0 && unknown() == 0; }
    bool outside() const;

    // "ch 3 input type: file K(CA), module J(IC)"
    QString line(const CompareRow &row) const;
    // One line per difference.
    QStringList lines() const;
    // "3 of 34 settings differ", "All 34 settings match", and what was not read.
    QString summary() const;
};
