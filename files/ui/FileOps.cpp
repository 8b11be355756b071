#include "files/ui/FileOps.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "app/ui/Settings.h"
#include "files/ConfigFile.h"
#include "workflows/ModuleReads.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const char *const kFolderKey = "files/folder";

// The file the configuration was last read from or written to, and the
// model kind it holds: Save writes over it only while the kind is the same.
struct CurrentFile {
    QString name;
    int kind = 0;
};
CurrentFile &current()
{
    static CurrentFile file;
    return file;
}

void setFileName(const QString &name)
{
    G().FileName = name;
    dlgFile().FileName = name;
    MainPanel::instance().setFileName(name);
    if (!name.isEmpty())
        MainPanel::instance().setConfigSource(Tr("File %1").arg(QFileInfo(name).fileName()));
}

// No file stands behind the configuration any more.
void dropFile(const QString &source)
{
    setFileName(QString());
    current() = {};
    MainPanel::instance().setConfigSource(source);
    // until a read completes the configuration is not the module's
    MainPanel::instance().moduleHoldsNone();
}

QString showDialog(FileDialog::Mode mode, const QString &title, const QString &filter)
{
    // The folder used last (also in an earlier run), else the user's home;
    // never the folder the program happens to run in.
    const QString last = Settings().value(kFolderKey).toString();
    const QString folder = !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
    QFileDialog dlg(QApplication::activeWindow(), title, folder, filter);
    dlg.setAcceptMode(mode == FileDialog::Mode::Open ? QFileDialog::AcceptOpen
                                                     : QFileDialog::AcceptSave);
    dlg.setFileMode(mode == FileDialog::Mode::Open ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    // the first pattern of the filter: "User Files (*.qv8)" gives qv8
    dlg.setDefaultSuffix(filter.section("*.", 1, 1).section(')', 0, 0).section(' ', 0, 0));
    dlg.selectNameFilter(filter.section(";;", 0, 0));
    if (!dlgFile().FileName.isEmpty())
        dlg.selectFile(QFileInfo(dlgFile().FileName).fileName());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dlg.selectedFiles().first();
    Settings().setValue(kFolderKey, QFileInfo(chosen).absolutePath());
    Settings().sync();
    return chosen;
}

QString ask(FileDialog::Mode mode, const QString &title, const QString &filter = FileFilter())
{
    FileDialog &d = dlgFile();
    return d.ask ? d.ask(mode, Tr(title), Tr(filter)) : showDialog(mode, Tr(title), Tr(filter));
}

}  // namespace

QString AskFileName(FileDialog::Mode mode, const QString &title, const QString &filter)
{
    return ask(mode, title, filter.isEmpty() ? FileFilter() : filter);
}

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
    setFileName(name);
    current() = {name, kind};

    // Load the kind's window before the values go into the state: its first
    // load resets the channel settings, which must not wipe the file's.
    ModuleReads::AnalogWindow(kind);
    ConfigToState(r.data, s);
    s.ConfigIncomplete = false;
    MainPanel::instance().moduleHoldsNone();

    if (kind != 5)  // a counter file shows no window
        ModuleReads::ShowKindWindow(kind);
    MainPanel::instance().setLastResult(Tr("Opened %1").arg(QFileInfo(name).fileName()));
    Outcome::done();
}

void ConfigFromModule()
{
    dropFile(Tr("Read from the module"));
}

void ConfigNew(const QString &model)
{
    dropFile(Tr("New %1 configuration").arg(model));
}

void FileWrite()
{
    QString error;
    const QString name = dlgFile().FileName;
    if (!WriteConfigFile(name, ConfigFromState(G()), &error)) {
        MsgBox(error, "Open Error", MsgIcon::None);
        return;
    }
    current() = {name, orZero(G().ModelKind)};
    MainPanel::instance().setConfigSource(Tr("File %1").arg(QFileInfo(name).fileName()));
    MainPanel::instance().setLastResult(Tr("Saved %1").arg(QFileInfo(name).fileName()));
    Outcome::done();
}

namespace {

// An upload or connect cut short left a mix of the module's values and
// earlier ones: such a configuration is not written to any file.
bool savable(const QString &title)
{
    if (!G().ConfigIncomplete)
        return true;
    MsgBox(Tr("The configuration is incomplete: reading it from the module was interrupted. "
              "Upload again or open a file, then save."),
           title, MsgIcon::Exclamation);
    return false;
}

}  // namespace

void FileSaveAs()
{
    if (!savable("SaveAs"))
        return;
    const QString name = ask(FileDialog::Mode::Save, "SaveAs");
    if (name.isEmpty())
        return;
    setFileName(name);
    FileWrite();
}

void FileSave()
{
    const QString name = G().FileName;
    if (!savable("Save"))
        return;
    // no file behind the configuration: ask for one
    if (name.isEmpty()) {
        FileSaveAs();
        return;
    }
    // A file of another kind (the Model menu or an upload changed it since)
    // is not written over without asking.
    if (current().name != name || current().kind != orZero(G().ModelKind)) {
        FileSaveAs();
        return;
    }
    dlgFile().FileName = name;
    FileWrite();
}
