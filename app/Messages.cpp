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

void MsgBox(const QString &text, const QString &title, MsgIcon icon, MsgOutcome outcome)
{
    if (outcome == MsgOutcome::Failure)
        ++FailuresShown();
    if (AppEnding())
        return;
    if (Hooks().msgBox) {
        Hooks().msgBox(text, title, icon);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
}
