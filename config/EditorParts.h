#pragma once
// What the editor windows of the configuration share: the download's link,
// module check and checked writes.

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace EditorParts {

// One write of a download and how its reply is judged.
struct CheckedWrite {
    int item;
    QString value;
    std::function<bool(const QString &payload)> same;
    std::function<void()> before = nullptr;  // runs just before the write
};

// Read-back checks: the payload as written, or as the same number.
std::function<bool(const QString &)> exactly(const QString &expected);
std::function<bool(const QString &)> sameNumber(const QString &expected);
// A text that is a number as a whole (point as separator), else nullopt.
std::optional<double> numberOf(const QString &text);

enum class Sent {
    Done,        // every write went out and came back as meant
    LinkDown,    // the link could not be opened (or the port dialog was closed)
    Refused,     // the module on the line is not the one meant; told already
    Incomplete,  // a write failed or came back different
};

// The link opened, the module on it checked, then the writes in order until
// the first that fails. Call inside the window's Exchange.
Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes);

}  // namespace EditorParts
