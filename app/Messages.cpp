#include "app/Messages.h"

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

int &FailuresShown()
{
    static int count = 0;
    return count;
}

bool &QuietAfterPortLoss()
{
    static bool quiet = false;
    return quiet;
}

void MsgBox(const QString &text, const QString &title, MsgIcon icon, MsgOutcome outcome)
{
    if (AppEnding() || QuietAfterPortLoss())
        return;
    if (outcome == MsgOutcome::Failure)
        ++FailuresShown();
    if (Hooks().msgBox) {
        Hooks().msgBox(text, title, icon);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
}
