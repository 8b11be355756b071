#pragma once
// Line resistance compensation of the RTD input module: a channel, its live
// input and raw values, and the requests that make the module compensate
// the resistance of the channel's wiring ("0%" and "100%", or the single
// "Line Res." for the channels whose type class asks for it) or cancel it.

#include "adjust/LiveReading.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

class frmSetComp : public LiveReadingDialog {
    Q_OBJECT
public:
    frmSetComp();
    ~frmSetComp() override;

    // Opens the dialog modally on channel 1.
    void SetComp();
    // The live reading of the chosen channel's input and raw values.
    void CompDataReading() { runLiveReading(); }

    void cboChannel_Click();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmd0_Click() { request(1); }
    void cmd100_Click() { request(2); }
    void cmdReset_Click() { request(0); }

    // The channel chosen (the number in cboChannel's text), 0 when none.
    int channel() const;
    // The single wide "Line Res." button instead of "0%" and "100%".
    bool lineResLayout() const;

    QLabel *lblTitle = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboChannel = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QLabel *lblInput = nullptr;
    QLabel *lblInputreal = nullptr;
    QLabel *lblUnit1 = nullptr;
    QLabel *lblRaw = nullptr;
    QLabel *lblRawreal = nullptr;
    QLabel *lblUnit2 = nullptr;
    QPushButton *cmd0 = nullptr;
    QPushButton *cmd100 = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdExit = nullptr;
    QFrame *Frame1 = nullptr;
    QFrame *Frame2 = nullptr;
    QFrame *Frame3 = nullptr;
    QFrame *Frame4 = nullptr;

protected:
    bool readLive() override;

private:
    void showChannel(int ch);
    void stepChannel(int delta);
    // Asks the module for compensation request `code` on the chosen channel.
    void request(int code);
};
