#pragma once
// The counter options of the pulse counter module: the input pulse edge
// that counts, whether the count is cleared, and whether the count rate is
// kept in backed-up memory. The options live only in the option buttons.

#include <array>

#include "app/ui/EditorDialog.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmCountSet : public EditorDialog {
    Q_OBJECT
public:
    frmCountSet();
    ~frmCountSet() override;

    // Reads the three options from the module and shows the window; the
    // window does not appear when the module cannot be read.
    void CountSet();

    void cmdUpload_Click();
    void cmdDnload_Click();

    QLabel *lblTitle = nullptr;
    QGroupBox *Frame6 = nullptr;  // "Pulse Edge."
    QGroupBox *Frame2 = nullptr;  // "Count Zero."
    QGroupBox *Frame3 = nullptr;  // "Count Rate Mem"
    std::array<QRadioButton *, 2> optEdge{};
    std::array<QRadioButton *, 2> optCntZero{};
    std::array<QRadioButton *, 2> optCntRate{};
    QPushButton *cmdUpload = nullptr;
    QPushButton *cmdDnload = nullptr;
    QPushButton *cmdExit = nullptr;

private:
    // Items 10, 11 and 14 into the options; false at the first failed read.
    bool readOptions();
};
