#pragma once
// The port dialog: COM1, COM2, any other port the system has (USB serial
// adapters included) or a path typed in, or a simulated module.

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmCommPort : public QDialog {
    Q_OBJECT
public:
    explicit frmCommPort(QWidget *parent = nullptr);

    // Shows the dialog modally; the answer is left in PortNumber (and
    // PortName for another port or a simulated module). Closing it with
    // the close box leaves PortNumber as it was.
    static void CommPort();

    // The model preselected under "Simulated module" (kavix --simulate).
    static void preselectSimulated(const QString &model);

    // Puts a port given as text into PortNumber/PortName the way the dialog
    // would: "COM1"/"COM2" (or "1"/"2"), "sim:MODEL", or a device path.
    static bool choosePort(const QString &portText, QString *error);

    // Starts (once per model) the simulated module and returns its port path.
    static QString simulatedPort(const QString &model, QString *error);

    std::array<QRadioButton *, 5> Option1{};
    std::array<QLabel *, 3> Label2{};
    QLabel *Label1 = nullptr;
    QComboBox *cboPort = nullptr;
    QComboBox *cboModel = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();
};
