#include "app/ui/BatchCommands.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/frmMain.h"
#include "config/Transfer.h"
#include "files/ui/FileOps.h"
#include "app/Messages.h"
#include "files/CsvLog.h"

#include <QAction>
#include <QTimer>

#include <cmath>

namespace {
QList<BatchCommand> &table()
{
    static QList<BatchCommand> commands;
    return commands;
}
}  // namespace

const QList<BatchCommand> &BatchCommands()
{
    static bool filled = false;
    if (!filled) {
        filled = true;
        AddFileAndTransferCommands();
        AddCompareCommands();
        AddReportCommands();
        AddAnalogEditorCommands();
        AddCountingCommands();
        AddAdjustmentCommands();
    }
    return table();
}

void AddBatchCommand(const BatchCommand &c)
{
    table().append(c);
}

const BatchCommand *FindBatchCommand(const QString &name)
{
    for (const BatchCommand &c : BatchCommands())
        if (c.name == name)
            return &c;
    return nullptr;
}

QString NeedChannel(const QString &text, int last)
{
    bool ok = false;
    const int ch = text.toInt(&ok);
    if (!ok || ch < 1 || ch > last)
        return QString("channel must be 1 to %1, not \"%2\"").arg(last).arg(text);
    return QString();
}

QString NeedOneOf(const QString &text, const QStringList &choices, const QString &what)
{
    if (choices.contains(text))
        return QString();
    return QString("%1 must be one of %2, not \"%3\"").arg(what, choices.join(", "), text);
}

QString NeedKeyValues(const QStringList &args, const QStringList &keys,
                      QHash<QString, QString> *values)
{
    for (const QString &a : args) {
        const int eq = a.indexOf('=');
        const QString key = a.left(eq);
        if (eq < 0 || !keys.contains(key))
            return QString("\"%1\" is none of %2").arg(a, keys.join("=, ") + "=");
        if (values->contains(key))
            return QString("%1= given twice").arg(key);
        values->insert(key, a.mid(eq + 1));
    }
    return QString();
}

namespace {

// The analog models the Model menu prepares a file for, by its three items.
int modelKindItem(int kind)
{
    return kind == 1 ? 1 : kind == 2 ? 2 : kind == 6 ? 3 : 0;
}

}  // namespace

QStringList ModelMenuNames()
{
    QStringList names;
    const AppState &s = G();
    if (s.ModelName[1].isEmpty())
        InitData();
    for (int row = 1; row <= 10; ++row)
        if (modelKindItem(s.ModelKindList[row]))
            names << s.ModelName[row];
    return names;
}

int ModelMenuItem(const QString &name)
{
    return ModelMenuNames().contains(name) ? modelKindItem(G().ModelKindList[ModelRow(name)]) : 0;
}

namespace {

// The monitoring cycle through the main window's Start handler for this
// long, then its Stop handler, the CSV going to the file (standard output
// for an empty name).
void monitorFor(double seconds, const QString &file)
{
    CsvLog &log = CsvLog::instance();
    QString error;
    if (!(file.isEmpty() ? log.startOnStdout(&error) : log.start(file, &error))) {
        MsgBox(error, "Log to CSV", MsgIcon::Exclamation);
        return;
    }
    frmMain *main = MainForm();
    QTimer stop;
    stop.setSingleShot(true);
    stop.setTimerType(Qt::PreciseTimer);
    QObject::connect(&stop, &QTimer::timeout, main, [main] { main->mnuMonitorStop_Click(); });
    stop.start(int(std::ceil(seconds * 1000)));
    main->mnuMonitorStart_Click();
    log.stop();
    // the cycle ran its time with the module answering (a failed pass or
    // write has said so and counts as failed)
    if (G().Connected)
        Outcome::done();
}

// The stop timer counts whole milliseconds in an int.
constexpr int kMaxMonitorSeconds = 2000000;

}  // namespace

void AddFileAndTransferCommands()
{
    const auto menu = [](void (frmMain::*handler)()) {
        return [handler](const QStringList &) { (MainForm()->*handler)(); };
    };
    AddBatchCommand({"connect", 0, 0, "", "connect to the module on PORT and identify it",
                     nullptr, menu(&frmMain::mnuConnConn_Click)});
    AddBatchCommand({"upload", 0, 0, "", "read the module's whole configuration", nullptr,
                     menu(&frmMain::mnuConfigUpload_Click)});
    AddBatchCommand({"download", 0, 1, "[verify]",
                     "write the configuration to the module (needs --yes); with verify, read "
                     "every setting back",
                     [](const QStringList &a) {
                         return a.isEmpty() || a[0] == "verify"
                                    ? QString()
                                    : QString("the only word download takes is verify, not \"%1\"")
                                          .arg(a[0]);
                     },
                     [](const QStringList &a) {
                         // a script's download does what it says, whatever the menu holds
                         const bool before = VerifyAfterDownload();
                         VerifyAfterDownload() = !a.isEmpty();
                         MainForm()->mnuConfigDownload_Click();
                         VerifyAfterDownload() = before;
                     },
                     true, {"verify"}});
    // The file dialog, if the handler asks, answers with `answer`; batch
    // mode's own answer (no dialog) is back afterwards.
    const auto withDialog = [](void (frmMain::*handler)(), const FileDialog::Ask &answer) {
        FileDialog &d = dlgFile();
        const FileDialog::Ask before = d.ask;
        d.ask = answer;
        (MainForm()->*handler)();
        d.ask = before;
    };
    // An empty name is not a file: said so, as a dialog left empty would be.
    const auto withFile = [withDialog](void (frmMain::*handler)()) {
        return [handler, withDialog](const QStringList &args) {
            const QString file = args.value(0);
            withDialog(handler, [file](FileDialog::Mode, const QString &title, const QString &) {
                if (file.isEmpty())
                    MsgBox(Tr("No file name given."), title, MsgIcon::Exclamation);
                return file;
            });
        };
    };
    AddBatchCommand({"model", 1, 1, "NAME",
                     "a new configuration of NAME's defaults, without a module (the Model menu)",
                     [](const QStringList &a) {
                         return ModelMenuItem(a[0]) ? QString()
                                                    : QString("NAME must be one of %1, not \"%2\"")
                                                          .arg(ModelMenuNames().join(", "), a[0]);
                     },
                     [](const QStringList &a) {
                         QAction *item = MainForm()->mnuModelModel(ModelMenuItem(a[0]));
                         if (!item->isEnabled())
                             MsgBox(Tr("The Model menu is off while a module is connected: "
                                       "disconnect first."),
                                    "Model", MsgIcon::Exclamation);
                         item->trigger();
                     },
                     false});
    AddBatchCommand({"open", 1, 1, "FILE", "read a configuration file", nullptr,
                     withFile(&frmMain::mnuFileOpen_Click), false});
    // Save asks for a name when no file is behind the configuration or the
    // file holds another model kind; a script cannot answer, so it is told why.
    AddBatchCommand({"save", 0, 0, "", "save the configuration to the file it came from", nullptr,
                     [withDialog](const QStringList &) {
                         withDialog(&frmMain::mnuFileSave_Click,
                                    [](FileDialog::Mode, const QString &title, const QString &) {
                                        MsgBox(G().FileName.isEmpty()
                                                   ? Tr("No file is behind the configuration: "
                                                        "use saveas FILE.")
                                                   : Tr("%1 holds another model kind than the "
                                                        "configuration now; it is not written "
                                                        "over. Use saveas FILE.")
                                                         .arg(G().FileName),
                                               title, MsgIcon::Exclamation);
                                        return QString();
                                    });
                     },
                     false});
    AddBatchCommand({"saveas", 1, 1, "FILE", "save the configuration to FILE", nullptr,
                     withFile(&frmMain::mnuFileSaveAs_Click), false});
    AddBatchCommand({"disconnect", 0, 0, "", "disconnect from the module", nullptr,
                     menu(&frmMain::mnuConnDisConn_Click)});
    AddBatchCommand({"monitor", 1, 2, "SECONDS [FILE]",
                     "monitor for SECONDS, one CSV row per pass to FILE or standard output",
                     [](const QStringList &a) {
                         bool ok = false;
                         const double seconds = a.value(0).toDouble(&ok);
                         return ok && seconds > 0 && seconds <= kMaxMonitorSeconds
                                    ? QString()
                                    : QString("SECONDS must be a number above 0 and at most "
                                              "%1, not \"%2\"")
                                          .arg(kMaxMonitorSeconds)
                                          .arg(a.value(0));
                     },
                     [](const QStringList &a) { monitorFor(a.value(0).toDouble(), a.value(1)); }});
}

