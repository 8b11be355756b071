#pragma once
// Count setting of one channel of the pulse counter module: its DO option
// and its count preset. The window keeps no copy of its own: it shows the
// counter monitor window's labels and writes every change back into them
// and into CountDo / CountPreset at once.

#include <array>

#include "app/ui/EditorDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmCount : public EditorDialog {
    Q_OBJECT
public:
    frmCount();
    ~frmCount() override;

    // Fills the window for SelChannel (channel 1 when none) and shows it.
    void CountSet();

    void cboChannel_Click();
    void cmdPrev_Click();
    void cmdNext_Click();
    void optDO_Click(int index);
    void txtPreset_Change();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDownload_Click();

    // The channel shown (the number in cboChannel).
    int channel() const;

    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *cboChannel = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 2> optDO{};
    QLineEdit *txtPreset = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdPaste = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdExit = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;

private:
    // Steps 4 and 5 of the filling: DO option and preset of channel ch.
    void showChannel(int ch);
};
