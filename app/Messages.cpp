#include "app/Messages.h"

#include "app/Init.h"
#include "app/Process.h"

#include <cstdio>

UiHooks &Hooks()
{
    static UiHooks hooks;
    return hooks;
}

bool &AppEnding()
{
    static bool ending = false;
    return ending;
}

namespace Outcome {
struct State {
    bool done = false;
    bool failed = false;
    bool shown = false;
};
State &state()
{
    static State s;
    return s;
}

void begin() { state() = State{}; }
void done() { state().done = true; }
void failed() { state().failed = true; }
bool succeeded() { return state().done && !state().failed; }
bool failureShown() { return state().shown; }
}  // namespace Outcome

bool &QuietAfterPortLoss()
{
    static bool quiet = false;
    return quiet;
}

void MsgBox(const QString &text, const QString &title, MsgIcon icon, MsgOutcome outcome)
{
    // A failure told or kept quiet (after a lost port, at the end) is a failure.
    if (outcome == MsgOutcome::Failure)
        Outcome::failed();
    if (AppEnding() || QuietAfterPortLoss() || Process::received())
        return;
    if (outcome == MsgOutcome::Failure)
        Outcome::state().shown = true;
    // a fixed text or title in the display language; composed ones come translated
    if (Hooks().msgBox) {
        Hooks().msgBox(Tr(text), Tr(title), icon);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(Tr(title)), qPrintable(Tr(text)));
}
