#pragma once
// Compare with Module and Compare Files: two configurations of one kind in
// one table, every setting a row, the differing ones marked and counted.
// Against the module, the window's configuration (or a plan file) on the
// left and what the module reported on the right, read with the exchanges
// of an upload; the differences can then be downloaded alone, each write
// checked, or the module's values taken into the window.

#include <QSet>

#include "app/ui/EditorDialog.h"
#include "compare/Comparison.h"

class QLabel;
class QPushButton;
class QTableWidget;

class frmCompare : public EditorDialog {
    Q_OBJECT
public:
    frmCompare();
    ~frmCompare() override;

    // Reads the connected module's settings and shows them beside the
    // configuration in the window.
    void CompareModule();
    // Asks for two configuration files and shows them side by side.
    void CompareFiles();

    // The left side becomes a configuration file (asked for), compared
    // with what the module reported.
    void cmdPlan_Click();
    void cmdDownload_Click();
    void cmdTake_Click();
    void cmdCopy_Click();
    void cmdExit_Click() override { EditorDialog::cmdExit_Click(); }

    const Comparison &comparison() const { return comparison_; }
    // The module's side was read whole, or two files were read.
    bool compared() const { return compared_; }

    QLabel *lblHeading = nullptr;
    QLabel *lblSides = nullptr;
    QTableWidget *grdSettings = nullptr;
    QLabel *lblSummary = nullptr;
    QPushButton *cmdPlan = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdTake = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdExit = nullptr;

protected:
    // Nothing to put back: the window changes the configuration only by
    // Take, which is as final as an upload.
    void discardEdits() override {}

private:
    enum class Mode { Module, Files };
    void setMode(Mode mode);
    // A file's settings, or false after telling why there are none.
    bool readFile(const QString &title, QString *name, int *kind, ModuleSettings *values);
    void compare();
    void showTable();
    void updateButtons();

    Mode mode_ = Mode::Module;
    int kind_ = 0;
    bool option10_ = true;
    QList<SettingKey> keys_;
    ModuleSettings left_;
    QString leftHeading_;
    bool leftIsWindow_ = true;
    QString planName_;
    ModuleSettings right_;
    QString rightHeading_;
    QSet<SettingKey> read_;
    QHash<SettingKey, QString> results_;
    Comparison comparison_;
    bool compared_ = false;
};
