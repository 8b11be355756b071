#pragma once
// The adjustment dialogs show their channel's live values while they are
// open: read, wait 500 ms, read again, for as long as WaitFlag holds. The
// loop starts when the dialog is shown and runs inside its modal event
// processing, so the dialog's buttons run while the loop waits. A button
// sets ReadStop (ReadNow) and the pending wait ends as soon as the button
// is done, so the new value is read at once. Exchanges never overlap: an
// exchange started by a button waits in the link until the loop's is over.
//
// Any close is Exit: the close box, Escape, the Exit button and the end of
// the program all end the loop, and the dialog's opening operation returns
// only after the loop has left the stack.

#include "app/ui/Controls.h"
#include "app/ui/EditorDialog.h"

#include <QTimer>

class QFrame;
class QGridLayout;
class QLabel;
class QPushButton;

class LiveReadingDialog : public EditorDialog {
    Q_OBJECT
public:
    ~LiveReadingDialog() override;

    // Waits milisec ms with the window's events running, without using the
    // processor. Ends early when ReadStop is set (and clears it), when the
    // reading is ended (WaitFlag false), the window goes or the program ends.
    void WaitFor(int milisec);

    // ReadStop: the pending wait of the live loop ends at once (as soon as
    // the handler that calls it returns).
    void ReadNow();

    // True while the live loop is on the stack.
    bool reading() const { return reading_; }

signals:
    // ReadStop was set or the reading was ended: the pending wait looks again.
    void waitEnds();

protected:
    explicit LiveReadingDialog(QWidget *parent = nullptr);

    // Shows the dialog modally; the live loop runs from its activation
    // until any close. Returns when the dialog is closed and the loop is over.
    void showLive();

    // The live loop: readLive, then WaitFor(500), while WaitFlag holds.
    void runLiveReading();

    // One reading of the live values; false when a read failed, which ends
    // the loop for good (the last values stay shown).
    virtual bool readLive() = 0;

    // DataRead for the loop: false, with nothing sent, once the reading is
    // ended; false too when the window went away during the read.
    bool liveRead(int item, int channel, QString &reply);

    // Exit: the live loop ends, then the window closes.
    void cmdExit_Click() override;

    void showEvent(QShowEvent *e) override;

    QTimer WaitForTimer;

private:
    bool timeUp_ = false;
    bool reading_ = false;
};

// A write of the adjustment windows, with the link up: the module on the
// line checked, then the write, which counts as done when the module took
// it (not "illegal OPE"); a failed one is tried once more. A failed write
// is told with string `failText` (not when the program ends). The status
// bar gets the result, named by `what` ("Zero adjustment of channel 3").
bool AdjustmentWrite(const QString &title, int item, const QString &value, QString &reply,
                     int failText, const QString &what);

// The real value typed for an adjustment: a decimal number with a point or
// a comma and an optional sign. Anything else would be sent as 0.
bool RealValueOk(const QString &text);

// Building blocks of the adjustment windows.
namespace AdjustUi {
using Controls::button;
using Controls::label;
// The window's heading.
QLabel *title(const char *name, const QString &text);
// A value from the module: plain text, right-aligned in a sunken box.
QLabel *readout(const char *name);
QLabel *unit(const char *name);
QFrame *frame(const char *name);
// The grid of a frame's rows of caption, value and unit; the captions take
// the room to spare.
QGridLayout *valueGrid(QFrame *frame);
void valueRow(QGridLayout *grid, int row, QWidget *caption, QWidget *value, QLabel *unit);
}  // namespace AdjustUi
