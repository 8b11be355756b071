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

// The module on the line checked, then the writes in order until the first
// that fails. Call inside the window's Exchange, with the link up.
Sent WriteChecked(const QString &title, const QList<CheckedWrite> &writes);
// The link opened first, then WriteChecked.
Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes);

// "Download Incomplete" after a write that failed or a link that could not
// be opened; nothing when the user closed the port dialog.
void ReportIncomplete(Sent sent, const QString &title);

}  // namespace EditorParts
