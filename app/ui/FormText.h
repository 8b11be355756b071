#pragma once
// Screen texts on windows: a window's design stores string-table ids in
// the "Tag" property of widgets, in menu captions and in tooltips;
// FormTextSet replaces every id by its text.

#include <QColor>
#include <QString>

class QWidget;
class QLabel;

// Marks a widget with a string-table id (the designed Tag).
void setTag(QWidget *w, const QString &tag);

void FormTextSet(QWidget *window);
// The window's design texts beyond the string table in the display
// language (FormTextSet does it too).
void ownTexts(QWidget *window);

// Shows a data window in the standard place: every other child window of
// the main window hidden, fixed size and position.
void ShowForm(QWidget *window);

// Twips to pixels at 96 dpi.
constexpr int tw(int twips) { return twips / 15; }

// Colours of the ON/OFF texts and the status lamps.
inline QColor OnColor() { return QColor(255, 0, 0); }
inline QColor OffColor() { return QColor(0, 128, 0); }
inline QColor LampGood() { return QColor(0, 255, 0); }
inline QColor LampBad() { return QColor(255, 0, 0); }
QColor ActiveBorderColor();

// ON/OFF label from a payload: 0 gives "OFF" green, 1 "ON" red, anything
// else an empty caption with the colour left as it was.
void ShowOnOff(QLabel *label, const QString &payload);
void ShowOnOffValue(QLabel *label, int value);
void setForeColor(QWidget *w, const QColor &c);
QColor foreColor(const QWidget *w);
void setBackColor(QWidget *w, const QColor &c);
QColor backColor(const QWidget *w);
