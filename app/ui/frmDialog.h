#pragma once
// The confirmation asked before every download.

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

    // A scripted answer instead of the window (tests, batch mode): true =
    // OK, false = Cancel, nullopt = the close box (so Cancel too).
    static std::function<std::optional<bool>(const QString &message)> answer;

    QLabel *lblMsg = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
};
