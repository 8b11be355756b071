#pragma once
// The confirmation asked before every download, and the Yes/No question
// asked before a write of a channel's calibration.

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

class frmDialog : public QDialog {
    Q_OBJECT
public:
    explicit frmDialog(QWidget *parent = nullptr);

    // Shows the question modally; the answer is left in DialogOK and
    // returned: true for OK only. Cancel, the close box and Escape all back out.
    static bool Dialog(const QString &message);
    // The same question as Yes/No under `title`, No the default: a second
    // Enter after the one that asked must not write a calibration.
    static bool Ask(const QString &question, const QString &title);

    // A scripted answer instead of the window (tests, batch mode): true =
    // OK/Yes, false = Cancel/No, nullopt = the close box (so Cancel too).
    static std::function<std::optional<bool>(const QString &message)> answer;

    QLabel *lblMsg = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
};
