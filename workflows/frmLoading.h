#pragma once
// The workflows behind Connect, DisConnect and the Monitor menu. Never
// shown as a window: a holder of workflow code.

#include <QString>

class frmLoading {
public:
    static void Connecting();
    static void DisConnecting();
    static void Starting();
    static void Monitoring();
    static void Stopping();

    // Number after the last "V" of a version text (V3.00 gives 3.0), read
    // with a point as decimal separator whatever the locale; nullopt when
    // the tail is not a number.
    static double VersionValue(const QString &text, bool *ok = nullptr);

private:
    static void PauseCheck();
};
