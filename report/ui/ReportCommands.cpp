// Batch mode's report: the Commissioning Report window filled and its
// Write pressed, through the File menu's own handler.

#include <QLineEdit>

#include "app/ui/BatchCommands.h"
#include "app/ui/frmMain.h"
#include "report/ui/frmReport.h"

void AddReportCommands()
{
    static const QStringList keys{"plan", "operator", "note"};
    AddBatchCommand({"report", 1, 4, "FILE [plan=FILE] [operator=NAME] [note=TEXT]",
                     "write the commissioning report to FILE (.pdf, or .html); status 1 when it is "
                     "incomplete or the module differs from the plan",
                     [](const QStringList &a) {
                         QHash<QString, QString> values;
                         return NeedKeyValues(a.mid(1), keys, &values);
                     },
                     [](const QStringList &a) {
                         QHash<QString, QString> values;
                         NeedKeyValues(a.mid(1), keys, &values);
                         DriveWindow<frmReport>(
                             [&](frmReport *w) {
                                 w->txtFile->setText(a[0]);
                                 w->txtPlan->setText(values.value("plan"));
                                 w->txtOperator->setText(values.value("operator"));
                                 w->txtNote->setText(values.value("note"));
                                 w->cmdWrite_Click();
                             },
                             [] { MainForm()->mnuFileReport_Click(); });
                     },
                     false});
}
