#include "counting/PresetBox.h"

#include "app/Globals.h"
#include "app/Messages.h"
#include "workflows/DownloadCheck.h"

#include <QLineEdit>

namespace PresetBox {

// The hints here only inform: the box is put right as the user types.
bool Change(QLineEdit *box)
{
    const QString text = box->text();
    if (text.size() > 9) {
        MsgBox("Output set point must be 0 to 999999999.", "Preset Data Check",
               MsgIcon::Information, MsgOutcome::Note);
        box->setText(text.left(9));
        return false;
    }
    // nothing typed yet, or digits as a download takes them
    if (text.isEmpty() || DownloadCheck::PresetOk(text))
        return true;
    // PositiveCheck tells about "+", "-" and "."; any other character that
    // is no digit gets the same words.
    bool told = false;
    for (const QChar c : text) told = told || c == '+' || c == '-' || c == '.';
    PositiveCheck(text);

    QString digits;
    const int cursor = box->cursorPosition();
    int removedBeforeCursor = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits += text[i];
        else if (i < cursor)
            ++removedBeforeCursor;
    }
    if (!told)
        MsgBox("Please enter positive number.", "Kavix", MsgIcon::Information,
               MsgOutcome::Note);
    box->setText(digits);
    box->setCursorPosition(cursor - removedBeforeCursor);
    return false;
}

}  // namespace PresetBox
