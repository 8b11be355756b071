#pragma once
// What every download does before its first write, the whole-module one
// and each editor's: the values are checked, and the module on the line
// must be the kind the configuration is for. When a check fails the user
// is told why and nothing at all is written.

#include "app/Globals.h"

#include <QString>

namespace DownloadCheck {

// The module on the line has been identified in this connection (its model
// looked up, and for kind 6 its option bits read; done here when not yet),
// still answers with that model name (read here, one exchange) and is of the
// configuration's model kind. Call with the link up, before the first write.
bool ModuleFits(const QString &title);
// Its first part: the module on the line is identified and still answers
// with that model name; a message ending in `nothing` when not.
bool ModuleKnown(const QString &title, const QString &nothing);
// "KX5", "L5", ... for model kinds 1..6; "no model" for any other.
QString KindName(int kind);

// Refuses a setting that cannot be sent as it stands; always false.
bool Refuse(const QString &setting, const QString &value, const QString &title);

// A filter time constant text: a decimal number, point or comma, no
// longer than a module reports one.
bool FilterTextOk(const QString &text);
// A count preset: 1 to 9 digits.
bool PresetOk(const QString &text);
// An input type code of the kind's type list.
bool TypeCodeOk(int kind, int code);

// The DO option and count preset of channel ch of the pulse counter.
bool CounterChannelOk(int ch, const QString &title, const ModuleSettings &s = G());

// Every value the whole-module download of this kind would send.
bool SettingsOk(int kind, const QString &title, const ModuleSettings &s = G());

}  // namespace DownloadCheck
