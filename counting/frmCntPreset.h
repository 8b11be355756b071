#pragma once
// Count data of the contact input module: the 32-bit count and the count
// preset of each of its 16 counting inputs. The presets are held only in
// the boxes until Download.

#include <array>

#include "app/ui/EditorDialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmCntPreset : public EditorDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 16;

    frmCntPreset();
    ~frmCntPreset() override;

    // Reads every row and shows the window; when a read fails the window
    // is not shown.
    void CntPreset();

    void cmdUpload_Click();
    void cmdDownload_Click();
    void txtPreset_Change(int i);

    // Column headings: "Count Data", "32bit", "Count", "Preset Data".
    std::array<QLabel *, 4> lblTitle{};
    // Rows 1..16; element 0 is null.
    std::array<QFrame *, kRows + 1> frame{};
    std::array<QLabel *, kRows + 1> lblNo{};
    std::array<QLabel *, kRows + 1> lbl32bitCnt{};
    std::array<QLineEdit *, kRows + 1> txtPreset{};
    QPushButton *cmdUpload = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdExit = nullptr;

private:
    // Items 8 and 9 of every input in order; false at the first failed read.
    bool readRows();
};
