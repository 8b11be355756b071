// Batch commands of the analog editors: each fills its editor window
// (not shown) and presses its buttons through the window's own handlers.

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/EditorDialog.h"
#include "app/ui/frmMain.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmType.h"
#include "monitor/AnalogMonitor.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

// The command line is checked before the main window fills the catalogs.
const AppState &catalogs()
{
    if (G().TypeNameTc.isEmpty())
        InitData();
    return G();
}

bool refuse(const QString &text, const QString &title)
{
    MsgBox(text, title, MsgIcon::Exclamation);
    return false;
}

// What a user could choose now: with a module, every editor command ends in
// a download; without one it changes the configuration in hand (model NAME or
// open FILE first). The menu item must be on for the kind.
bool available(const QString &menuItem, const QString &title)
{
    if (!G().Connected && orZero(G().ModelKind) == 0)
        return refuse(Tr("Not connected to a module: use connect first, or model NAME to "
                         "prepare a file."),
                      title);
    if (!menuItem.isEmpty() && !Commands::instance().enabled(menuItem))
        return refuse(Tr("The module at hand does not have this setting."), title);
    return true;
}

template <typename T>
QPushButton *downloadButton(T *w)
{
    return w->cmdDownload;
}
template <>
QPushButton *downloadButton(frmCJM *w)
{
    return w->cmdDown;
}

// Opens the editor through open() and lets fill() choose in it as a user
// would; then its Download button is pressed.
template <typename T>
void drive(const std::function<void()> &open, const std::function<void(T *)> &fill,
           const QString &title)
{
    DriveWindow<T>(
        [&](T *w) {
            fill(w);
            QPushButton *b = downloadButton(w);
            if (!G().Connected) {
                // offline: Exit keeps the choice in the configuration
                w->cmdExit_Click();
                Outcome::done();
            } else if (!b->isEnabled()) {
                refuse(Tr("Download is off: no module is connected."), title);
            } else {
                b->click();
            }
        },
        open);
}

std::function<void()> menu(void (frmMain::*handler)())
{
    return [handler] { (MainForm()->*handler)(); };
}

QString needNumber(const QString &text, const QString &what)
{
    static const QRegularExpression number(R"(^[+-]?(\d+([.,]\d*)?|[.,]\d+)$)");
    if (number.match(text).hasMatch())
        return QString();
    return QString("%1 must be a number such as 1.5, not \"%2\"").arg(what, text);
}

void typeCommand(const QStringList &a)
{
    const QString title = "Type set";
    const AppState &s = G();
    const int ch = a[0].toInt();
    const QString name = a[1];
    const QString sw = a.value(2);
    const int kind = orZero(s.ModelKind);
    if (!available(QString(), title))
        return;
    AnalogMonitor *w = ModuleReads::AnalogWindow(kind);
    if (!w) {
        refuse(Tr("The module at hand has no input types."), title);
        return;
    }
    if (ch > w->channels()) {
        refuse(Tr("The module at hand has channels 1 to %1 only.").arg(w->channels()), title);
        return;
    }
    const int index = TypeNames(kind).indexOf(name);
    if (index < 0) {
        refuse(Tr("\"%1\" is not an input type of the module at hand.").arg(name), title);
        return;
    }
    if (!sw.isEmpty() && !(ThermocoupleAt(kind, index) && (kind == 1 || s.HwOption10))) {
        refuse(Tr("The CJC switch cannot be set for this type on the module at hand."), title);
        return;
    }
    drive<frmType>([w, ch] { w->cmdCh_Click(ch); },
                   [index, sw](frmType *t) {
                       t->cboType->setCurrentIndex(index);
                       t->cboType_Click();
                       if (!sw.isEmpty())
                           t->optCjmSw[sw == "on" ? 1 : 0]->click();
                   },
                   title);
}

}  // namespace

void AddAnalogEditorCommands()
{
    AddBatchCommand(
        {"type", 2, 3, "CH NAME [on|off]",
         "channel CH: input type NAME [and CJC switch], downloaded (needs --yes)",
         [](const QStringList &a) {
             if (QString p = NeedChannel(a[0], 16); !p.isEmpty())
                 return p;
             // the kind is known only once connected: here a name of any kind
             const AppState &s = catalogs();
             QStringList all = s.TypeNameTc + s.TypeNameRtd + s.TypeNameKx7;
             all.removeDuplicates();
             if (!all.contains(a[1]))
                 return QString("\"%1\" is no input type; the types are %2")
                     .arg(a[1], all.join(", "));
             return a.size() > 2 ? NeedOneOf(a[2], {"on", "off"}, "the CJC switch") : QString();
         },
         typeCommand, false});

    AddBatchCommand({"cjm", 2, 2, "TEMP VOLTS",
                     "cold-junction reference in degC and V, downloaded (needs --yes)",
                     [](const QStringList &a) {
                         const QString p = needNumber(a[0], "TEMP");
                         return p.isEmpty() ? needNumber(a[1], "VOLTS") : p;
                     },
                     [](const QStringList &a) {
                         const QString title = "CJM Reference Temperature";
                         if (!available("mnuConfigCJM", title))
                             return;
                         drive<frmCJM>(
                             menu(&frmMain::mnuConfigCJM_Click),
                             [a](frmCJM *w) {
                                 w->Text1->setText(a[0]);
                                 w->Text2->setText(a[1]);
                             },
                             title);
                     }});

    AddBatchCommand({"burnout", 1, 1, "None|Up|Down", "burnout type, downloaded (needs --yes)",
                     [](const QStringList &a) {
                         return NeedOneOf(a[0], {"None", "Up", "Down"}, "the burnout type");
                     },
                     [](const QStringList &a) {
                         const QString title = "Cfg. Download";
                         if (!available("mnuConfigBurnout", title))
                             return;
                         // by position, whatever the display language calls them
                         const int index = QStringList{"None", "Up", "Down"}.indexOf(a[0]);
                         drive<frmBurnout>(
                             menu(&frmMain::mnuConfigBurnout_Click),
                             [index](frmBurnout *w) {
                                 w->cboBurnout()->setCurrentIndex(index);
                                 w->cboBurnout_Click();
                             },
                             title);
                     },
                     false});

    AddBatchCommand(
        {"filter", 1, 1, "SECONDS", "filter time constant in seconds, downloaded (needs --yes)",
         [](const QStringList &a) {
             return DownloadCheck::FilterTextOk(a[0])
                        ? QString()
                        : QString("SECONDS must be a number such as 1.5, not \"%1\"").arg(a[0]);
         },
         [](const QStringList &a) {
             const QString title = "Filter Download";
             if (!available("mnuConfigFilter", title))
                 return;
             drive<frmTimeCon>(
                 menu(&frmMain::mnuConfigFilter_Click),
                 [a](frmTimeCon *w) { w->txtFilter()->setText(a[0]); }, title);
         },
         false});

    AddBatchCommand(
        {"linenoise", 1, 1, "50/60Hz|50Hz|60Hz", "line-noise filter, downloaded (needs --yes)",
         [](const QStringList &a) {
             return NeedOneOf(a[0], {"50/60Hz", "50Hz", "60Hz"}, "the line-noise filter");
         },
         [](const QStringList &a) {
             const QString title = "Cfg. Download";
             if (!available("mnuConfigLineNoise", title))
                 return;
             const int index = QStringList{"50/60Hz", "50Hz", "60Hz"}.indexOf(a[0]);
             drive<frmLineNoise>(
                 menu(&frmMain::mnuConfigLineNoise_Click),
                 [index](frmLineNoise *w) {
                     w->cboLineNoise()->setCurrentIndex(index);
                     w->cboLineNoise_Click();
                 },
                 title);
         },
         false});

    AddBatchCommand({"alarm", 1, 1, "on|off", "alarm output contact, downloaded (needs --yes)",
                     [](const QStringList &a) {
                         return NeedOneOf(a[0], {"on", "off"}, "the alarm output");
                     },
                     [](const QStringList &a) {
                         const QString title = "Alarm Output Download";
                         if (!available("mnuAlarmOutput", title))
                             return;
                         drive<frmAlarm>(
                             menu(&frmMain::mnuAlarmOutput_Click),
                             [a](frmAlarm *w) { w->optAlarm(a[0] == "on" ? 1 : 0)->click(); },
                             title);
                     },
                     false});
}
