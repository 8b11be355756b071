#pragma once
// The port dialog: COM1, COM2, any other port the system has (USB serial
// adapters included, with what the system knows about them) or a path
// typed in, a serial device server on the network, or a simulated module. It opens with the port chosen last time
// and can look for the port where a module answers.

#include <QDialog>
#include <QPointer>

#include <array>

class ModuleFinder;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace sim {
struct Pacing;
}

class frmCommPort : public QDialog {
    Q_OBJECT
public:
    explicit frmCommPort(QWidget *parent = nullptr);
    ~frmCommPort() override;

    // Shows the dialog modally; the answer is left in PortNumber (and
    // PortName for another port or a simulated module). Closing it with
    // the close box leaves PortNumber as it was.
    static void CommPort();

    // The model preselected under "Simulated module" (kavix --simulate);
    // it wins over the port remembered from the last run.
    static void preselectSimulated(const QString &model);

    // Puts a port given as text into PortNumber/PortName the way the dialog
    // would: "COM1"/"COM2" (or "1"/"2"), "sim:MODEL", socket://HOST:PORT,
    // rfc2217://HOST:PORT, or a device path.
    static bool choosePort(const QString &portText, QString *error);

    // Starts (once per model) the simulated module and returns its port path.
    static QString simulatedPort(const QString &model, QString *error);
    // The model of the simulated module served on this path, or "".
    static QString simulatedModelAt(const QString &path);
    // The built-in module answers at the pace of a real one on its line.
    static sim::Pacing builtInPacing();

    std::array<QRadioButton *, 6> Option1{};  // 5: a network port
    std::array<QLabel *, 3> Label2{};
    QLabel *Label1 = nullptr;
    QComboBox *cboPort = nullptr;
    QComboBox *cboModel = nullptr;
    QLineEdit *txtHost = nullptr;
    QSpinBox *spnTcpPort = nullptr;
    QComboBox *cboProtocol = nullptr;  // raw TCP or RFC 2217
    QPushButton *cmdFind = nullptr;
    QLabel *lblFind = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();
    // Tries every port of the list (and a path typed in) for a module.
    void cmdFind_Click();
    // The "Other port" list as the system has it now.
    void refreshPorts();
    // The path under "Other port": the port of a listed entry, or the text typed.
    QString otherPortPath() const;
    // The URL of the "Network port" choice.
    QString networkPort() const;

    void reject() override;

private:
    void remembered();
    void remember();

    QGroupBox *Frame1 = nullptr;
    QPointer<ModuleFinder> finder_;
};
