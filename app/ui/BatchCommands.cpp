#include "app/ui/BatchCommands.h"

#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"

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

void AddFileAndTransferCommands()
{
    const auto menu = [](void (frmMain::*handler)()) {
        return [handler](const QStringList &) { (MainForm()->*handler)(); };
    };
    AddBatchCommand({"connect", 0, 0, "", "connect to the module on PORT and identify it",
                     nullptr, menu(&frmMain::mnuConnConn_Click)});
    AddBatchCommand({"upload", 0, 0, "", "read the module's whole configuration", nullptr,
                     menu(&frmMain::mnuConfigUpload_Click)});
    AddBatchCommand({"download", 0, 0, "",
                     "write the configuration to the module (needs --yes)", nullptr,
                     menu(&frmMain::mnuConfigDownload_Click)});
    // the file dialog answers with the command's file name
    const auto withFile = [](void (frmMain::*handler)()) {
        return [handler](const QStringList &args) {
            const QString file = args.value(0);
            dlgFile().ask = [file](FileDialog::Mode, const QString &, const QString &) {
                return file;
            };
            (MainForm()->*handler)();
        };
    };
    AddBatchCommand({"open", 1, 1, "FILE", "read a configuration file", nullptr,
                     withFile(&frmMain::mnuFileOpen_Click)});
    AddBatchCommand({"save", 0, 0, "", "save the configuration to the file it came from", nullptr,
                     menu(&frmMain::mnuFileSave_Click)});
    AddBatchCommand({"saveas", 1, 1, "FILE", "save the configuration to FILE", nullptr,
                     withFile(&frmMain::mnuFileSaveAs_Click)});
    AddBatchCommand({"disconnect", 0, 0, "", "disconnect from the module", nullptr,
                     menu(&frmMain::mnuConnDisConn_Click)});
}

// The editors come in their own files; until then they add nothing.
void AddAnalogEditorCommands() {}
void AddCountingCommands() {}
