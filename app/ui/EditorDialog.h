#pragma once
// Common ground of the editor and adjustment windows: a modal dialog placed
// relative to the main window, whose exchanges with the module run as a
// workflow. Exit keeps the edits made in the window; Escape and the close
// box act as Exit and then put back the module settings the window opened
// with (except what it downloaded meanwhile).
//
// While the window talks to the module (an Exchange lives), its controls
// are off and it cannot be closed: nothing the user clicks can start a
// second exchange or unload the window under the one that waits. Batch
// mode and tests drive the window through the same handlers with a script
// instead of showing it.

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/ui/Forms.h"

#include <QDialog>

#include <functional>

class EditorDialog : public QDialog {
    Q_OBJECT
public:
    ~EditorDialog() override;

    // While one lives the window's exchange with the module is on the
    // stack: a workflow for the command unit, the controls off, no close.
    class Exchange {
    public:
        explicit Exchange(EditorDialog *d);
        ~Exchange();
        Exchange(const Exchange &) = delete;
        Exchange &operator=(const Exchange &) = delete;

    private:
        Workflow workflow_;
        EditorDialog *d_;
        bool wasEnabled_;
    };
    bool exchanging() const { return exchanges_ > 0; }

    // Shows the window modally until it is closed. With a script installed
    // the window is not shown: the script fills it and presses its buttons,
    // and the window closes when the script returns (if still open).
    void showModal();

    // The script that drives every editor window instead of the user (batch
    // mode, tests). It gets the window when it would be shown.
    static std::function<void(EditorDialog *)> &script();

    // Top-left corner relative to the main window, in twips.
    void placeBelowMain(int topTwips = 1800, int leftTwips = 90);

protected:
    explicit EditorDialog(QWidget *parent = nullptr);

    // What the window's Exit does; the close box, Escape and the end of
    // the program run it too. The default closes the window.
    virtual void cmdExit_Click();
    // After Escape or the close box: the settings the window opened with
    // are put back, and the monitor window shows them again.
    virtual void discardEdits();

    // A write (or a read) of these settings succeeded: the module holds
    // them now, and Escape keeps them.
    void confirmed(std::initializer_list<ModuleSettings::Part> parts, int ch = 0);

    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    // Exit, then the edits discarded.
    void leaveDiscarding();

    int exchanges_ = 0;
    ModuleSettings opened_;
};

// Runs `open` with every window it would show handed to `drive` instead of
// the user (batch mode): the script is installed for that time only.
void DriveWindows(std::function<void(EditorDialog *)> drive, const std::function<void()> &open);

// The same for the windows of type T only; true when one of them came.
template <typename T>
bool DriveWindow(const std::function<void(T *)> &fill, const std::function<void()> &open)
{
    bool opened = false;
    DriveWindows(
        [&](EditorDialog *d) {
            if (auto *w = qobject_cast<T *>(d)) {
                opened = true;
                fill(w);
            }
        },
        open);
    return opened;
}

// Loads an editor window, runs its opening operation (which shows it
// modally) and unloads it when that returns: a workflow the whole time.
template <typename T>
void OpenEditor(void (T::*open)())
{
    Workflow w;
    QPointer<T> window = form<T>();
    (window->*open)();
    if (window)
        unloadForm(window);
}
