// Batch commands of the Modbus window: its Download with the choices given,
// and its System Restart, through the window's own handlers.

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "config/ModbusWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const char *const kTitle = "ModBus Settings";
const QStringList kKeys{"address", "baud", "parity", "stop", "float"};
const QStringList kBauds{"9600", "19200", "38400", "57600"};
const QStringList kParities{"NONE", "ODD", "EVEN"};
const QStringList kStops{"1", "2"};
const QStringList kFloats{"normal", "swapped"};

QString checkModbus(const QStringList &args)
{
    QHash<QString, QString> v;
    QString problem = NeedKeyValues(args, kKeys, &v);
    if (problem.isEmpty() && v.contains("address")) {
        static const QRegularExpression digits(R"(^\d{1,3}$)");
        const QString a = v.value("address");
        if (!digits.match(a).hasMatch() || a.toInt() < 1 || a.toInt() > 247)
            problem = QString("address must be 1 to 247, not \"%1\"").arg(a);
    }
    const auto oneOf = [&](const char *key, const QStringList &choices) {
        if (problem.isEmpty() && v.contains(key))
            problem = NeedOneOf(v.value(key), choices, key);
    };
    oneOf("baud", kBauds);
    oneOf("parity", kParities);
    oneOf("stop", kStops);
    oneOf("float", kFloats);
    return problem;
}

// Runs the Modbus menu with the window driven by `drive`; says so when the
// menu is off or the window did not open.
void viaModbusMenu(const std::function<void(ModbusWindow *)> &drive)
{
    // both commands talk to the module at once: without one there is nothing to set
    if (!G().Connected) {
        MsgBox(Tr("Not connected to a module: use connect first. Nothing was sent."), kTitle,
               MsgIcon::Exclamation);
        return;
    }
    if (!Commands::instance().enabled("mnuConfigModBus")) {
        MsgBox(Tr("The Modbus settings are not available now: connect to a module that has "
                  "them first. Nothing was sent."),
               kTitle, MsgIcon::Exclamation);
        return;
    }
    const bool opened =
        DriveWindow<ModbusWindow>(drive, [] { MainForm()->mnuConfigModBus_Click(); });
    // a link that went down meanwhile has been told already
    if (!opened && G().Connected)
        MsgBox(Tr("The Modbus window did not open: the module's node address could not be "
                  "read. Nothing was sent."),
               kTitle, MsgIcon::Critical);
}

void runModbus(const QStringList &args)
{
    QHash<QString, QString> v;
    NeedKeyValues(args, kKeys, &v);
    viaModbusMenu([&](ModbusWindow *w) {
        // what this window cannot take is refused before anything is sent
        if (v.contains("baud") && w->cboData[0]->findText(v.value("baud")) < 0) {
            MsgBox(Tr("%1 baud is only available on a QV8T_KX7 module. Nothing was sent.")
                       .arg(v.value("baud")),
                   kTitle, MsgIcon::Exclamation);
            return;
        }
        if (v.contains("address") && !w->addressWritten()) {
            MsgBox(Tr("The node address of this module cannot be changed. Nothing was sent."),
                   kTitle, MsgIcon::Exclamation);
            return;
        }
        if (!w->cmdDnload->isEnabled()) {
            MsgBox(Tr("The Modbus settings of this model cannot be downloaded. Nothing was "
                      "sent."),
                   kTitle, MsgIcon::Exclamation);
            return;
        }
        if (v.contains("address"))
            w->txtAddress->setText(v.value("address"));
        const auto choose = [&](int list, const char *key, const QStringList &choices) {
            if (v.contains(key))
                w->cboData[list]->setCurrentIndex(int(choices.indexOf(v.value(key))));
        };
        choose(0, "baud", kBauds);
        choose(2, "parity", kParities);
        choose(3, "stop", kStops);
        choose(4, "float", kFloats);
        w->cmdDnload->click();
    });
}

}  // namespace

void AddModbusCommands()
{
    AddBatchCommand({"modbus", 0, 5,
                     "[address=N] [baud=9600|19200|38400|57600] [parity=NONE|ODD|EVEN] "
                     "[stop=1|2] [float=normal|swapped]",
                     "download the module's Modbus settings (needs --yes); those not given "
                     "as the window shows them",
                     checkModbus, runModbus});
    AddBatchCommand({"restart", 0, 0, "", "restart the module (System Restart)", nullptr,
                     [](const QStringList &) {
                         // The module drops off its field bus while it restarts: confirmed
                         // as a download is (--yes), and only with a module connected.
                         viaModbusMenu([](ModbusWindow *w) {
                             if (frmDialog::Dialog(Tr("Starting restart of the module.")))
                                 w->cmdQV8Res->click();
                         });
                     }});
}
