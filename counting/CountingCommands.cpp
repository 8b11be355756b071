// Batch commands of the counting windows (and of the Modbus window, which
// adds its own): each fills its window as a user would and presses its
// button, through the window's own handlers.

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/frmMain.h"
#include "config/ModbusWindow.h"
#include "counting/frmCntPreset.h"
#include "counting/frmCount.h"
#include "counting/frmCountSet.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "workflows/DownloadCheck.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QString needPreset(const QString &text, const QString &what)
{
    if (DownloadCheck::PresetOk(text))
        return QString();
    return QString("%1 must be 0 to 999999999 in at most 9 digits, not \"%2\"").arg(what, text);
}

// The window's menu item or button is on for a module of its kind.
bool available(int kind, const QString &command, const QString &title)
{
    if (orZero(G().ModelKind) == kind && Commands::instance().enabled(command))
        return true;
    MsgBox(Tr("This window is not available now: connect to a module that has it first. "
              "Nothing was sent."),
           title, MsgIcon::Exclamation);
    return false;
}

const QStringList kCounterKeys{"edge", "zero", "rate"};

QString checkCounter(const QStringList &args)
{
    QHash<QString, QString> v;
    QString problem = NeedKeyValues(args, kCounterKeys, &v);
    for (const QString &key : kCounterKeys)
        if (problem.isEmpty() && !v.contains(key))
            problem = QString("%1= is missing").arg(key);
    if (problem.isEmpty())
        problem = NeedOneOf(v.value("edge"), {"0", "1"}, "edge");
    if (problem.isEmpty())
        problem = NeedOneOf(v.value("zero"), {"clear", "keep"}, "zero");
    if (problem.isEmpty())
        problem = NeedOneOf(v.value("rate"), {"backup", "none"}, "rate");
    return problem;
}

QString checkCount(const QStringList &a)
{
    QString problem = NeedChannel(a[0], frmH9::kChannels);
    if (problem.isEmpty())
        problem = NeedOneOf(a[1], {"on", "off"}, "DO");
    if (problem.isEmpty())
        problem = needPreset(a[2], "PRESET");
    return problem;
}

// Through the counter monitor window's channel button.
void runCount(const QStringList &a)
{
    if (!available(5, "frmH9.cmdCh", "Count Download"))
        return;
    DriveWindow<frmCount>(
        [&](frmCount *w) {
            w->optDO[a[1] == "on" ? 1 : 0]->click();
            w->txtPreset->setText(a[2]);
            w->cmdDownload->click();
        },
        [&] { form<frmH9>()->cmdCh_Click(a[0].toInt()); });
}

void runCounter(const QStringList &a)
{
    const QString title = "Count Settings";
    if (!available(5, "mnuConfigCount", title))
        return;
    QHash<QString, QString> v;
    NeedKeyValues(a, kCounterKeys, &v);
    const bool opened = DriveWindow<frmCountSet>(
        [&](frmCountSet *w) {
            w->optEdge[v.value("edge").toInt()]->click();
            w->optCntZero[v.value("zero") == "clear" ? 0 : 1]->click();
            w->optCntRate[v.value("rate") == "backup" ? 1 : 0]->click();
            w->cmdDnload->click();
        },
        [] { MainForm()->mnuConfigCount_Click(); });
    if (!opened)
        MsgBox(Tr("The counter options could not be read, so the window did not open. Nothing "
                  "was sent."),
               title, MsgIcon::Critical);
}

QString checkPresets(const QStringList &a)
{
    for (int i = 0; i < a.size(); ++i)
        if (QString problem = needPreset(a[i], QString("P%1").arg(i + 1)); !problem.isEmpty())
            return problem;
    return QString();
}

// Through the contact input monitor window's count data button; a failed
// read says so itself.
void runPresets(const QStringList &a)
{
    if (!available(4, "frmE6.cmdCntPre", "Count Data"))
        return;
    DriveWindow<frmCntPreset>(
        [&](frmCntPreset *w) {
            for (int i = 1; i <= frmCntPreset::kRows; ++i) w->txtPreset[i]->setText(a[i - 1]);
            w->cmdDownload->click();
        },
        [] { form<frmE6>()->cmdCntPre_Click(); });
}

}  // namespace

void AddCountingCommands()
{
    AddModbusCommands();
    AddBatchCommand({"count", 3, 3, "CH on|off PRESET",
                     "download channel CH's DO and count preset (pulse counter; needs --yes)",
                     checkCount, runCount});
    AddBatchCommand({"counter", 3, 3, "edge=0|1 zero=clear|keep rate=backup|none",
                     "download the counter options (pulse counter; needs --yes)", checkCounter,
                     runCounter});
    AddBatchCommand({"presets", 16, 16, "P1 P2 ... P16",
                     "download the 16 count presets (contact input module; needs --yes)",
                     checkPresets, runPresets});
}
