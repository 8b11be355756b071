#pragma once
// The count preset boxes of the counting windows: a whole number of at
// most nine digits, 0 to 999999999.

class QLineEdit;

namespace PresetBox {

// The rules of a change of the box's text. True when the text stands as
// it is. False when it was corrected: a tenth character cuts the text to
// nine, a character other than a digit is taken out again with the cursor
// left where it was; either way a message says why, and the corrected text
// raises the change once more.
bool Change(QLineEdit *box);

}  // namespace PresetBox
