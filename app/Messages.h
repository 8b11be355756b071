#pragma once
// Every message box of the program goes through MsgBox. The parts without
// windows reach the screen only through the callbacks installed here.

#include <QString>

#include <functional>

enum class MsgIcon { None, Critical, Exclamation, Information };

void MsgBox(const QString &text, const QString &title, MsgIcon icon);

struct UiHooks {
    // Shows a message; the application installs the real message box.
    std::function<void(const QString &text, const QString &title, MsgIcon icon)> msgBox;
    // The port dialog: leaves its answer in PortNumber / PortName.
    std::function<void()> commPort;
    // Returns the main window to its idle state after a failed link check.
    std::function<void()> stopping;
};

UiHooks &Hooks();

// True once the program is ending: waits give up at once and no more
// messages are shown, so every workflow on the stack unwinds quickly.
bool &AppEnding();
