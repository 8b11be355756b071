#pragma once
// The input type editor: per channel of an analog module the input type
// and, for thermocouples, the cold-junction switch. Every choice goes at
// once into the shared arrays and the monitor window's labels; Download
// sends the shown channel to the module.

#include "app/ui/EditorDialog.h"

#include <array>

class AnalogMonitor;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmType : public EditorDialog {
    Q_OBJECT
public:
    frmType();
    ~frmType() override;

    // Fills the window for channel SelChannel and shows it modally.
    void TypeSet();
    // The CJC controls for the type shown; Download only while connected.
    void OpeDisable(int &Index);

    void cboChannel_Click();
    void cboType_Click();
    void optCjmSw_Click(int Index);
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDownload_Click();
    void cmdExit_Click() override { EditorDialog::cmdExit_Click(); }

    QLabel *Label1 = nullptr;  // "Channel"
    QComboBox *cboChannel = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QLabel *Label2 = nullptr;  // "Input Type"
    QComboBox *cboType = nullptr;
    QLabel *Label4 = nullptr;  // "Type Setting"
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 2> optCjmSw{};  // 0 "OFF", 1 "ON"
    QLabel *Label5 = nullptr;                  // "CJC SW"
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdPaste = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdExit = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;

private:
    int kind() const;
    int channel() const;
    AnalogMonitor *monitor() const;
    const QStringList &types() const;
    // Position of a name in the kind's type list; -1 when it is not there.
    int indexOf(const QString &name) const;
    bool thermocouple(int index) const;
    void showType(const QString &name);
    void setCjcEnabled(bool on);
    int switchValue() const;
    void updatePaste();
};
