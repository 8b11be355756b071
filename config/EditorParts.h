#pragma once
// What the editor windows share: the download's link, module check and
// checked writes.

#include <QList>
#include <QString>

#include <functional>

namespace EditorParts {

// One write of a download and how its reply is judged.
struct CheckedWrite {
    int item;
    QString value;
    std::function<bool(const QString &payload)> same;
    std::function<void()> before = nullptr;  // runs just before the write
};

// Read-back checks: the payload as written, as the same number, or as the
// same whole number.
std::function<bool(const QString &)> exactly(const QString &expected);
std::function<bool(const QString &)> sameNumber(const QString &expected);
std::function<bool(const QString &)> sameWhole(int expected);

enum class Sent {
    Done,        // every write went out and came back as meant
    LinkDown,    // the link could not be opened (or the port dialog was closed)
    Refused,     // the module on the line is not the one meant; told already
    Incomplete,  // a write failed or came back different
};

// What a download writes, as the status bar names it with its result:
// {"Filter time", "2.5 s"} gives "Filter time downloaded and verified: 2.5 s".
struct Written {
    QString what;
    QString value;
};

// The module on the line checked, then the writes in order until the first
// that fails; the result goes to the status bar. Call inside the window's
// Exchange, with the link up.
Sent WriteChecked(const QString &title, const QList<CheckedWrite> &writes, const Written &written);
// The link opened first, then WriteChecked.
Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes, const Written &written);

// Why a write failed, for the status bar: "failed: no reply", "refused by
// the module" (its refusal in `reply`), or, when the module answered,
// "not verified: the module echoed X".
QString WriteFailure(bool answered, const QString &reply);

// "Download Incomplete" after a write that failed or a link that could not
// be opened; nothing when the user closed the port dialog.
void ReportIncomplete(Sent sent, const QString &title);

}  // namespace EditorParts
