#pragma once
// The module's own Modbus RTU settings (node address, baud rate, parity,
// stop bits, float word order) and its restart: one window written once
// here, configured per model kind by the thin windows frmModSet (kinds 1
// to 5) and frmModSetKx7 (kind 6). What sets the kind-6 window apart is
// data: a fourth baud rate, the address in an editable box, its range
// test and its write.

#include <QTimer>
#include <array>

#include "app/Globals.h"
#include "app/ui/EditorDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ModbusWindow : public EditorDialog {
    Q_OBJECT
public:
    struct Variant {
        const char *form;                        // window name
        bool baud57600;                          // "57600" as the fourth baud rate
        bool addressBox;                         // the address in a box (editable with HwOption20)
        bool addressRangeTest;                   // the box must hold 1..247 before a download
        bool addressWrite;                       // the download writes the address first
        std::array<int, 5> AppState::*settings;  // the shared list positions
    };

    ~ModbusWindow() override;

    const Variant &variant() const { return v_; }

    // Reads the node address, fills the lists from the shared state and
    // shows the window; returns at once when the module cannot be reached.
    void ModSet();
    // Waits milisec milliseconds without using the processor; window
    // events keep running. Ends early when the program ends.
    void WaitFor(int milisec);

    void cmdUpload_Click();
    void cmdDnload_Click();
    void cmdQV8Res_Click();
    void WaitForTimer_Timer();
    void txtAddress_Change();

    // The shared list positions of this window (ModbusSet or ModbusSetKx7).
    std::array<int, 5> &settings() const;
    // The model shown in the main window may take a download.
    static bool DownloadAllowed();
    // The address box is editable and its value is written.
    bool addressWritten() const;

    // lblTitle(0) heading, then the captions of address, baud rate, bit
    // length, parity, stop bits and floating type.
    std::array<QLabel *, 7> lblTitle{};
    QLabel *lblAddress = nullptr;     // frmModSet
    QLineEdit *txtAddress = nullptr;  // frmModSetKx7
    std::array<QComboBox *, 5> cboData{};
    QPushButton *cmdUpload = nullptr;
    QPushButton *cmdDnload = nullptr;
    QPushButton *cmdQV8Res = nullptr;
    QPushButton *cmdExit = nullptr;
    QTimer WaitForTimer;

protected:
    explicit ModbusWindow(const Variant &v);
    void cmdExit_Click() override;

private:
    // Unloads the window without storing its choices (after a failure).
    void unloadWindow();
    void setRestartControls(bool on);

    Variant v_;
    bool waitDone_ = false;
};

// The batch commands of the Modbus window (modbus, restart).
void AddModbusCommands();
