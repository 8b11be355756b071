#pragma once
// The main window: MDI frame with the menu bar, the toolbar and the
// identity panel, owner of the serial port and Timer1. Every user action
// enters here and is routed to its workflow.

#include <QElapsedTimer>
#include <QMainWindow>

#include <array>

class LinkHost;
class QLabel;
class QMdiArea;
class QMenu;
class QProgressBar;
class QToolBar;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // Menu item or top-level menu by its name ("mnuConfigCJM", "mnuConfig").
    QAction *menu(const QString &name) const;
    QAction *mnuModelModel(int i) const { return modelItems_.at(i); }
    // Toolbar position 1..11 (separators included).
    QAction *tb(int position) const { return toolbarItems_.at(position); }
    QAction *tbByKey(const QString &key) const;

    QMdiArea *mdi() const { return mdi_; }
    LinkHost *comm() const { return comm_; }

    // Identity panel rows 0..6.
    std::array<QLabel *, 7> lblTitle{};
    std::array<QLabel *, 7> lblData{};

    // Progress of long transfers, shown in the status bar.
    QProgressBar *progressBar() const { return progress_; }

    // The status bar: state, port, model and the result of the last
    // transfer or save; and the hint on the empty work area.
    QLabel *lblState = nullptr;
    QLabel *lblPort = nullptr;
    QLabel *lblModel = nullptr;
    QLabel *lblSource = nullptr;  // where the configuration came from
    QLabel *lblResult = nullptr;
    QLabel *lblHint = nullptr;

    // Handlers
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileExit_Click();
    void mnuConnConn_Click();
    void mnuConnDisConn_Click();
    void mnuModelModel_Click(int i);
    void mnuConfigModBus_Click();
    void mnuConfigBurnout_Click();
    void mnuConfigFilter_Click();
    void mnuConfigLineNoise_Click();
    void mnuConfigCJM_Click();
    void mnuConfigCount_Click();
    void mnuConfigUpload_Click();
    void mnuConfigDownload_Click();
    void mnuConfigCompare_Click();
    void mnuFileCompare_Click();
    void mnuFileReport_Click();
    void mnuMonitor_Open();
    void mnuMonitorStart_Click();
    void mnuMonitorStop_Click();
    void mnuMonitorLog_Click();
    void mnuAdjZeroSpan_Click();
    void mnuAdjComp_Click();
    void mnuAlarmOutput_Click();
    void mnuHelpAbout_Click();
    void mnuHelpIndex_Click();
    void tbToolbar_ButtonClick(const QString &key);

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool event(QEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPanel();
    void buildStatus();
    void addMnemonics();
    void showStatus();
    QAction *addItem(QMenu *m, const QString &name, const QString &caption);
    QAction *command(const QString &name) const;
    void showCommand(const QString &name, bool enabled);
    void showWhy(const QString &name);
    void showRow(int row);
    // Start, Stop or another choice in the Monitor menu ends its pause.
    void endMenuPause();
    void endProgram();

    QMdiArea *mdi_ = nullptr;
    LinkHost *comm_ = nullptr;
    QToolBar *toolbar_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QHash<QString, QAction *> menus_;
    std::array<QAction *, 4> modelItems_{};
    std::array<QAction *, 12> toolbarItems_{};
    QElapsedTimer lastPaint_;
    bool paintPending_ = false;
    bool tipsPending_ = false;
    bool framed_ = false;
    bool endRequested_ = false;
    bool closing_ = false;
};

// The main window (loaded on first use).
frmMain *MainForm();
