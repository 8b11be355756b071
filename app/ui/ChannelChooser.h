#pragma once
// The channel chooser of the editor and adjustment windows: "Channel", a
// list of the channels "1".."N" and Prev./Next, which step through them and
// wrap from the last to the first and back. Each window keeps its own names
// and handlers; this makes the controls and does the stepping.

#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace ChannelChooser {

struct Row {
    QLabel *caption = nullptr;
    QComboBox *cboChannel = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
};

// The caption (named as the window has it), the list and the two buttons
// in one row of `frame`.
Row make(QWidget *frame, const QString &captionName, const QString &captionTag);

// "1".."count" into the list, `chosen` shown (channel 1 when it is not one
// of them); returns the channel shown.
int fill(QComboBox *list, int count, int chosen = 1);

// Shows the channel `delta` away from the one shown, wrapping at either
// end; returns it (0 when the list is empty, which shows nothing new).
int step(QComboBox *list, int delta);

}  // namespace ChannelChooser
