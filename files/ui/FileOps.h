#pragma once
// The File menu: open a configuration file into the state, save it.

#include <QString>

#include <functional>

void FileOpen();
void FileSave();
void FileSaveAs();
// Writes the state to the file name the dialog holds now.
void FileWrite();
// The configuration is being replaced by the module's (connect, upload): no
// file stands behind it any more, so Save asks for a name.
void ConfigFromModule();
// The configuration became a new one of the kind's defaults (Model menu).
void ConfigNew(const QString &model);

// The common file dialog. It opens in the folder used last (kept between
// runs), else the user's home. `ask`, when set, answers instead (tests,
// batch mode). Either returns the chosen name, or a null string when the
// user cancels.
struct FileDialog {
    enum class Mode { Open, Save };
    using Ask = std::function<QString(Mode mode, const QString &title, const QString &filter)>;
    QString FileName;
    Ask ask;
};
FileDialog &dlgFile();
// Asks for a name as Open and Save As do (the dialog, or the answer
// installed), with the configuration files' filter unless another is
// given; "" when the user cancels.
QString AskFileName(FileDialog::Mode mode, const QString &title,
                    const QString &filter = QString());

// "User Files (*.qv8)", "Text Files (*.txt)", "All Files (*.*)", first one selected.
QString FileFilter();
