#pragma once
// Every message box of the program goes through MsgBox. The parts without
// windows reach the screen only through the callbacks installed here.

#include <QString>

#include <functional>

enum class MsgIcon { None, Critical, Exclamation, Information };

// What a message says about the command that shows it, decided where the
// message is raised: the command did not do its work (almost every message
// does say that, whatever its icon), or the message only informs.
enum class MsgOutcome { Failure, Note };

void MsgBox(const QString &text, const QString &title, MsgIcon icon,
            MsgOutcome outcome = MsgOutcome::Failure);

// What the command in progress achieved, reported by its work where it
// knows (every write echoed, every value a number, every byte on disk).
// Messages only carry that to the user: a failure message marks the command
// failed, an informing one does not. Batch mode starts each command afresh
// and ends the run at the first one that did not do its work.
namespace Outcome {
void begin();   // a new command: nothing done, nothing failed yet
void done();    // the command did its work, confirmed
void failed();  // it did not (whatever was done before)
bool succeeded();
// A failure was reported by a message (so a batch run need not add one).
bool failureShown();
}  // namespace Outcome

struct UiHooks {
    // Shows a message; the application installs the real message box.
    std::function<void(const QString &text, const QString &title, MsgIcon icon)> msgBox;
    // The port dialog: leaves its answer in PortNumber / PortName; a
    // cancelled dialog leaves PortNumber empty.
    std::function<void()> commPort;
    // The link check failed and the port is closed again; wasConnected
    // tells whether a connection was lost (the main window then returns to
    // the disconnected state) or only a new one did not come up.
    std::function<void(bool wasConnected)> linkLost;
    // The port vanished: what the windows show as live is cleared at once,
    // even while the work that used the port is still unwinding.
    std::function<void()> portGone;
};

UiHooks &Hooks();

// True once the program is ending: waits give up at once and no more
// messages are shown, so every workflow on the stack unwinds quickly.
bool &AppEnding();

// True from the moment the serial port vanished until the work that was
// using it has unwound (or a link is opened again): that work's own failure
// messages would only repeat the one message about the lost port.
bool &QuietAfterPortLoss();
