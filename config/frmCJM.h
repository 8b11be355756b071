#pragma once
// The cold-junction reference editor: the module's CJM temperature and
// voltage, read when it opens and on Upload, range-checked and written
// on Download.

#include "app/ui/EditorDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class frmCJM : public EditorDialog {
    Q_OBJECT
public:
    frmCJM();
    ~frmCJM() override;

    // Reads both values over the link of the connection and shows the
    // window; a failed read shows "Upload Incomplete" instead.
    void CJM();

    void cmdUp_Click();
    void cmdDown_Click();
    void cmdExit_Click() override { EditorDialog::cmdExit_Click(); }

    QLabel *Label1 = nullptr;  // "CJC Sensor(CJM) Settings"
    QLabel *Label2 = nullptr;  // "CJM Temp."
    QLabel *lblTempMin = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *lblTempMax = nullptr;
    QLabel *lblUnit1 = nullptr;
    QLabel *Label3 = nullptr;  // "CJM Voltage"
    QLabel *lblVolMin = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *lblVolMax = nullptr;
    QLabel *lblUnit2 = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QPushButton *cmdExit = nullptr;

private:
    bool readValues();
    // Within the limits shown, both excluded; false after telling why.
    bool inRange(const QLineEdit *text, const QLabel *min, const QLabel *max, const QString &unit,
                 const QString &title);
};
