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

// Failures reported through MsgBox so far; batch mode ends with status 1
// after a command that added one.
int &FailuresShown();

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
};

UiHooks &Hooks();

// True once the program is ending: waits give up at once and no more
// messages are shown, so every workflow on the stack unwinds quickly.
bool &AppEnding();

// True from the moment the serial port vanished until the work that was
// using it has unwound (or a link is opened again): that work's own failure
// messages would only repeat the one message about the lost port.
bool &QuietAfterPortLoss();
