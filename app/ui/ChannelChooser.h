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

// The caption (named as the window has it), the list and the two buttons,
// made into the window's members, in one row of `frame`.
void make(QWidget *frame, QLabel *&caption, QComboBox *&cboChannel, QPushButton *&cmdPrev,
          QPushButton *&cmdNext, const QString &captionName, const QString &captionTag);

// "1".."count" into the list, `chosen` shown (channel 1 when it is not one
// of them); returns the channel shown.
int fill(QComboBox *list, int count, int chosen = 1);

// Shows the channel `delta` away from the one shown, wrapping at either
// end; returns it (0 when the list is empty, which shows nothing new).
int step(QComboBox *list, int delta);

}  // namespace ChannelChooser
