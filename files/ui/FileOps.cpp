#include "files/ui/FileOps.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "files/ConfigFile.h"
#include "workflows/ModuleReads.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QString showDialog(FileDialog::Mode mode, const QString &title, const QString &filter)
{
    QFileDialog dlg(QApplication::activeWindow(), title, QString(), filter);
    dlg.setAcceptMode(mode == FileDialog::Mode::Open ? QFileDialog::AcceptOpen
                                                     : QFileDialog::AcceptSave);
    dlg.setFileMode(mode == FileDialog::Mode::Open ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    dlg.setDefaultSuffix("qv8");
    dlg.selectNameFilter(filter.section(";;", 0, 0));
    if (!dlgFile().FileName.isEmpty())
        dlg.selectFile(dlgFile().FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

QString ask(FileDialog::Mode mode, const QString &title)
{
    FileDialog &d = dlgFile();
    return d.ask ? d.ask(mode, title, FileFilter()) : showDialog(mode, title, FileFilter());
}

}  // namespace

FileDialog &dlgFile()
{
    static FileDialog dialog;
    return dialog;
}

QString FileFilter()
{
    return "User Files (*.qv8);;Text Files (*.txt);;All Files (*.*)";
}

void FileOpen()
{
    AppState &s = G();
    s.FileMode = true;  // also when the user cancels
    const int remembered = orZero(s.ModelKind);

    const QString name = ask(FileDialog::Mode::Open, "Open");
    if (name.isEmpty())
        return;

    // The whole file is read and checked first; the state changes only when
    // it is whole and fits, so a bad file never leaves a mix of settings.
    const ConfigReadResult r = ReadConfigFile(name);
    if (!r.ok) {
        MsgBox(r.error, "File Read", MsgIcon::Critical);
        return;
    }
    const int kind = orZero(r.data.ModelKind);
    if (s.Connected && kind != remembered) {
        MsgBox("Model of Open file is different from Connected Model.", "File Read",
               MsgIcon::Critical);
        return;
    }
    dlgFile().FileName = name;
    s.FileName = name;

    // Load the kind's window before the values go into the state: its first
    // load resets the channel settings, which must not wipe the file's.
    ModuleReads::AnalogWindow(kind);
    ConfigToState(r.data, s);

    if (kind != 5)  // a counter file shows no window
        ModuleReads::ShowKindWindow(kind);
    MainPanel::instance().setLastResult(Tr("Opened %1").arg(QFileInfo(name).fileName()));
}

void FileWrite()
{
    QString error;
    if (!WriteConfigFile(dlgFile().FileName, ConfigFromState(G()), &error))
        MsgBox(error, "Open Error", MsgIcon::None);
    else
        MainPanel::instance().setLastResult(
            Tr("Saved %1").arg(QFileInfo(dlgFile().FileName).fileName()));
}

void FileSaveAs()
{
    const QString name = ask(FileDialog::Mode::Save, "SaveAs");
    if (name.isEmpty())
        return;
    G().FileName = name;
    dlgFile().FileName = name;
    FileWrite();
}

void FileSave()
{
    if (G().FileName.isEmpty())
        return;
    dlgFile().FileName = G().FileName;
    FileWrite();
}
