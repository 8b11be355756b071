#pragma once
// The small editors of one module-wide setting of an analog module:
// burnout type, filter time constant, line-noise filter and alarm output.
// One window written once and configured per setting: they differ only in
// their control (a list, a text box or two option buttons), where they take
// the value from (a monitor label, or the state for the filter text), the
// label they write it back to, the state field, the writes and how a reply
// is checked, and their texts.

#include "app/ui/EditorDialog.h"
#include "config/EditorParts.h"

#include <array>

class AnalogMonitor;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class SettingEditor : public EditorDialog {
    Q_OBJECT
public:
    enum class Control { List, Text, Options };

    struct Config {
        const char *form;      // window name
        const char *titleTag;  // string id of the window's caption
        const char *headingName;
        const char *heading;
        const char *headingTag;
        Control control;
        const char *valueName;     // the list, text box or option array
        QStringList (*choices)();  // list entries or option captions
        const char *unit;          // caption after the text box, or nullptr
        bool kx7Only;              // only the kind-6 window shows the setting
        QString (*shown)(AnalogMonitor *w);
        void (*show)(AnalogMonitor *w, int index, const QString &text);
        void (*store)(int index, const QString &text);  // into the state, or nullptr
        // Before anything is sent: false after telling why the value cannot go.
        bool (*valueOk)(int index, const QString &text, const QString &title);
        QList<EditorParts::CheckedWrite> (*writes)(int kind, int index, const QString &text);
        const char *question;
        const char *failTitle;
        bool textOnExit;  // the typed text takes effect on Exit and before a download
        const char *what;  // the setting as the status bar names it
        ModuleSettings::Part part;
    };

    ~SettingEditor() override;

    // Enables Download while connected.
    void OpeDisable();

    // A choice in the list or of an option button.
    void choice_Click(int index);
    void cmdDownload_Click();
    void cmdExit_Click() override;

    // The control's current choice: list position or option (-1: none),
    // and the text shown.
    int chosen() const;
    QString chosenText() const;

    QGroupBox *Frame3 = nullptr;
    QLabel *heading = nullptr;
    QComboBox *list = nullptr;
    QLineEdit *text = nullptr;
    std::array<QRadioButton *, 2> options{};
    QLabel *unit = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdExit = nullptr;

protected:
    explicit SettingEditor(const Config &cfg);
    // The opening operation: placed, filled from the monitor window, shown.
    void open();

private:
    AnalogMonitor *monitor() const;
    void takeText();
    void discardEdits() override;

    Config cfg_;
    QString openedText_;  // the monitor's label when the window opened
};

class frmBurnout : public SettingEditor {
    Q_OBJECT
public:
    frmBurnout();
    void BurnoutSet() { open(); }
    QComboBox *cboBurnout() const { return list; }
    void cboBurnout_Click() { choice_Click(chosen()); }
};

class frmTimeCon : public SettingEditor {
    Q_OBJECT
public:
    frmTimeCon();
    void FilterSet() { open(); }
    QLineEdit *txtFilter() const { return text; }
};

class frmLineNoise : public SettingEditor {
    Q_OBJECT
public:
    frmLineNoise();
    void LineNoiseSet() { open(); }
    QComboBox *cboLineNoise() const { return list; }
    void cboLineNoise_Click() { choice_Click(chosen()); }
};

class frmAlarm : public SettingEditor {
    Q_OBJECT
public:
    frmAlarm();
    void AlarmSet() { open(); }
    QRadioButton *optAlarm(int i) const { return options.at(i); }
    void optAlarm_Click(int Index) { choice_Click(Index); }
};
