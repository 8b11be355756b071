#pragma once
// The controls of the editor and adjustment windows, made one way: named as
// designed, buttons that never take Enter for themselves, lists nothing can
// be typed into. A tag is a string-table id for FormTextSet.

#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace Controls {

// "name(i)": a control of a control array.
QString indexed(const QString &array, int i);

QLabel *label(const QString &name, const QString &text = QString(), const QString &tag = QString());
// A heading: bold, `scale` times the usual size.
QLabel *heading(const QString &name, const QString &text, double scale = 1.0,
                const QString &tag = QString());
// A value from the module: plain text in a sunken box.
QLabel *readout(const QString &name);
QPushButton *button(const QString &name, const QString &text, const QString &tag = QString());
QRadioButton *option(const QString &name, const QString &text);
// Two option buttons array(0) and array(1), added to `into`.
void optionPair(std::array<QRadioButton *, 2> &options, const QString &array, const QString &first,
                const QString &second, QBoxLayout *into);
QComboBox *list(const QString &name, const QStringList &items = {});
// A text box; it holds at most kTextBoxChars characters.
constexpr int kTextBoxChars = 32;
QLineEdit *textBox(const QString &name);

// The widgets in a row (the row of `parent` if given), or pushed to its right.
QHBoxLayout *row(std::initializer_list<QWidget *> widgets, QWidget *parent = nullptr);
QHBoxLayout *rightAligned(std::initializer_list<QWidget *> widgets, QWidget *parent = nullptr);

}  // namespace Controls
