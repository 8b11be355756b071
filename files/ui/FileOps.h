#pragma once
// The File menu: open a configuration file into the state, save it.

#include <QString>

#include <functional>

void FileOpen();
void FileSave();
void FileSaveAs();
// Writes the state to the file name the dialog holds now.
void FileWrite();

// The common file dialog. `ask` shows it (or a script answers instead:
// tests, batch mode) and returns the chosen name, or a null string when
// the user cancels.
struct FileDialog {
    enum class Mode { Open, Save };
    QString FileName;
    std::function<QString(Mode mode, const QString &title, const QString &filter)> ask;
};
FileDialog &dlgFile();

// "User Files (*.qv8)", "Text Files (*.txt)", "All Files (*.*)", first one selected.
QString FileFilter();
