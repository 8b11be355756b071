#pragma once
// The analog monitor windows (universal input, RTD input, universal input
// with alarm output): one table of channels, written once here and
// configured per model kind by the thin windows frmKx5, frmL5 and frmKx7.

#include "app/Globals.h"
#include "monitor/MonitorWindow.h"

#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;

class AnalogMonitor : public MonitorWindow {
    Q_OBJECT
public:
    // Which column of the menu table a window follows.
    enum class MenuColumn { Kx5, L5, Kx7 };

    struct Layout {
        const char *form;     // window name: frmKx5, frmL5 or frmKx7
        int kind;             // model kind: 1, 2 or 6
        int channels;         // table rows, 16 or 8
        const char *suffix;   // shown in row 0 of the identity panel
        bool hasCjc;          // cold-junction switch column
        bool kx7Extras;       // alarm output and line-noise filter
        MenuColumn menus;
    };

    ~AnalogMonitor() override;

    const Layout &layoutInfo() const { return cfg_; }
    int channels() const { return cfg_.channels; }

    // Channel button handler: opens the input type editor for ch.
    void cmdCh_Click(int ch);

    // What the editors read and write: the window's settings as shown.
    // Channels 1..N; the texts of a missing label (the RTD window's CJC
    // switch, the line noise and alarm output of the others) read empty
    // and are not written.
    QString typeText(int ch) const;
    void setTypeText(int ch, const QString &text);
    QString cjcText(int ch) const;
    void setCjcText(int ch, const QString &text);
    QString unitText(int ch, bool raw) const;
    QString burnoutText() const;
    void setBurnoutText(const QString &text);
    QString filterText() const;
    void setFilterText(const QString &text);
    QString lineNoiseText() const;
    void setLineNoiseText(const QString &text);
    QString alarmText() const;
    // 0 "OFF" in green, 1 "ON" in red
    void setAlarmState(int state);

    // The settings of the state shown (a file read), or those that differ
    // from `was` (edits discarded).
    void fillFromState(const ModuleSettings *was = nullptr);
    // The settings the module does not hold as shown are marked.
    void markEdits();

    // Arrays indexed by channel 1..N; element 0 and rows past N are null.
    std::array<QPushButton *, 17> cmdCh{};
    std::array<QLabel *, 17> lblType{};
    std::array<QLabel *, 17> lblReal{};
    std::array<QLabel *, 17> lblUnit1{};
    std::array<QLabel *, 17> lblRaw{};
    std::array<QLabel *, 17> lblUnit2{};
    std::array<QLabel *, 17> lblCjmSw{};  // null on the RTD window
    std::array<QFrame *, 17> shpOut{};

    QLabel *lblDiscInput = nullptr;
    QLabel *lblBurnout = nullptr;
    QLabel *lblFilter = nullptr;
    QLabel *lblDiscOutput = nullptr;  // frmKx7 only
    QLabel *lblLineNoise = nullptr;   // frmKx7 only

    // Column headers by column: 0 channel, 1 type, 2 real, 3 raw, 4 CJC
    // switch, 5 status. The top row has no status entry; the RTD window
    // has no CJC entries.
    std::array<QLabel *, 6> lblTitle1{};
    std::array<QLabel *, 6> lblTitle2{};

    QLabel *Label1 = nullptr;  // "Filter Time Const."
    QLabel *Label2 = nullptr;  // trigger input
    QLabel *Label3 = nullptr;  // "Sec."
    QLabel *Label4 = nullptr;  // burnout type
    QLabel *Label5 = nullptr;  // alarm output (frmKx7)
    QLabel *Label7 = nullptr;  // "Line Noise Filter Type" (frmKx7)
    QFrame *Frame1 = nullptr;
    QFrame *linSep = nullptr;
    QFrame *Line1 = nullptr;

protected:
    explicit AnalogMonitor(const Layout &cfg);

    // The display method of the window: menus, show, and the fill from the
    // state after a configuration file was read.
    void display();

private:
    void buildTable();
    void buildFooter(QVBoxLayout *outer);
    void applyMenus();

    Layout cfg_;
};
