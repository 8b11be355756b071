#pragma once
// The channel chooser of the zero/span adjustment: a channel of the analog
// module, then Zero or Span opens the adjustment dialog for it, Reset
// clears the channel's adjustment in the module.

#include "app/ui/EditorDialog.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

class frmZeroSpan : public EditorDialog {
    Q_OBJECT
public:
    frmZeroSpan();
    ~frmZeroSpan() override;

    // Opens the chooser modally with channel 1 chosen.
    void ZeroSpan();

    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdZero_Click();
    void cmdSpan_Click();
    void cmdReset_Click();

    // Channels of the connected model kind: 16, 8 or none.
    static int channelCount();
    // The channel chosen (the number in cboChannel's text), 0 when none.
    int channel() const;
    // The controls that start work, off while the adjustment dialog is open.
    void setControls(bool on);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboChannel = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdZero = nullptr;
    QPushButton *cmdSpan = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdExit = nullptr;
    QFrame *Frame2 = nullptr;
    QFrame *Frame3 = nullptr;
};
