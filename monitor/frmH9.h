#pragma once
// Monitor of the 8-channel pulse counter module (model kind 5).

#include "monitor/MonitorWindow.h"

#include <array>

class QFrame;
class QLabel;
class QPushButton;

class frmH9 : public MonitorWindow {
    Q_OBJECT
public:
    static constexpr int kChannels = 8;

    frmH9();
    ~frmH9() override;

    // Makes this the visible data window and sets the menus for its kind.
    void H9();
    // Channel button handler: opens the count setting window for ch.
    void cmdCh_Click(int ch);

    // What the count setting window reads and writes, channels 1..8.
    QString doText(int ch) const;
    void setDoText(int ch, const QString &text);
    QString presetText(int ch) const;
    void setPresetText(int ch, const QString &text);

    // The DO and presets of the state shown (a file read, edits discarded).
    void fillFromState();
    // The settings the module does not hold as shown are marked.
    void markEdits();

    // Arrays indexed by channel 1..8; element 0 is null.
    std::array<QPushButton *, kChannels + 1> cmdCh{};
    std::array<QLabel *, kChannels + 1> lblDI{};
    std::array<QLabel *, kChannels + 1> lblDO{};
    std::array<QLabel *, kChannels + 1> lbl32bit{};
    std::array<QLabel *, kChannels + 1> lblPreset{};
    std::array<QLabel *, kChannels + 1> lblRate{};

    // Column headers by column: 0 channel, 1 DI, 2 DO, 3 count, 4 preset, 5 rate.
    std::array<QLabel *, 6> lblTitle1{};
    std::array<QLabel *, 6> lblTitle2{};

    QFrame *Frame1 = nullptr;
    QFrame *linSep = nullptr;
    QFrame *Line1 = nullptr;
};
