#pragma once
// File -> Commissioning Report: asks for the operator, a note, an optional
// plan file and the report's name, then gathers what the report says (the
// module's identity and settings read now, the comparison with the plan,
// the writes of this connection, one pass of live values) and writes it.

#include <QList>
#include <QPair>

#include "app/ui/EditorDialog.h"

class QLineEdit;
class QPushButton;

class frmReport : public EditorDialog {
    Q_OBJECT
public:
    frmReport();
    ~frmReport() override;

    // Shows the window when there is something to report on.
    void Report();

    void cmdPlan_Click();
    void cmdFile_Click();
    // Gathers and writes the report, then closes the window.
    void cmdWrite_Click();
    void cmdExit_Click() override { EditorDialog::cmdExit_Click(); }

    QLineEdit *txtOperator = nullptr;
    QLineEdit *txtNote = nullptr;
    QLineEdit *txtPlan = nullptr;
    QPushButton *cmdPlan = nullptr;
    QLineEdit *txtFile = nullptr;
    QPushButton *cmdFile = nullptr;
    QPushButton *cmdWrite = nullptr;
    QPushButton *cmdExit = nullptr;

protected:
    void discardEdits() override {}

private:
    // One pass of the monitoring cycle: each channel's value with its unit.
    QList<QPair<int, QString>> livePass();
};
