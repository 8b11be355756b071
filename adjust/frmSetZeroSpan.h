#pragma once
// The zero/span adjustment dialog: the channel's present offset (zero) or
// span coefficient (span), its live input value, and the real value of the
// applied signal, which OK sends so the module adjusts the channel to it.

#include "adjust/LiveReading.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSetZeroSpan : public LiveReadingDialog {
    Q_OBJECT
public:
    frmSetZeroSpan();
    ~frmSetZeroSpan() override;

    // Opens the dialog for ZsChannel in mode ZsMode (0 zero, else span),
    // below the chooser, whose controls are off until it returns. When
    // the channel's values cannot be read it returns without showing.
    void SetZeroSpan();
    // The live reading of the channel's input value.
    void DataReading() { runLiveReading(); }

    void cmdOK_Click();

    // The module's reply to the last read of the live input value, as it came.
    const QString &inputReply() const { return inputReply_; }

    QLabel *Label1 = nullptr;
    QLabel *lblInput = nullptr;
    QLabel *lblInputreal = nullptr;
    QLabel *lblUnit3 = nullptr;
    QLabel *lblRet = nullptr;
    QLabel *lblRetdata = nullptr;
    QLabel *lblUnit1 = nullptr;
    QLabel *lblReal = nullptr;
    QLineEdit *txtReal = nullptr;
    QLabel *lblUnit2 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;
    QFrame *Frame1 = nullptr;
    QFrame *Frame2 = nullptr;

protected:
    bool readLive() override;

private:
    void showInput(const QString &reply);
    QString inputReply_;
};
