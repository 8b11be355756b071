#include "app/ui/Controls.h"

#include "app/ui/FormText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace Controls {

QString indexed(const QString &array, int i)
{
    return QString("%1(%2)").arg(array).arg(i);
}

QLabel *label(const QString &name, const QString &text, const QString &tag)
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    if (!tag.isEmpty())
        setTag(l, tag);
    return l;
}

QLabel *heading(const QString &name, const QString &text, double scale, const QString &tag)
{
    QLabel *l = label(name, text, tag);
    QFont f = l->font();
    f.setBold(true);
    if (scale != 1.0)
        f.setPointSizeF(f.pointSizeF() * scale);
    l->setFont(f);
    return l;
}

QLabel *readout(const QString &name)
{
    QLabel *l = label(name);
    l->setTextFormat(Qt::PlainText);  // as the module sent it
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

QPushButton *button(const QString &name, const QString &text, const QString &tag)
{
    auto *b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!tag.isEmpty())
        setTag(b, tag);
    return b;
}

QRadioButton *option(const QString &name, const QString &text)
{
    auto *o = new QRadioButton(text);
    o->setObjectName(name);
    return o;
}

void optionPair(std::array<QRadioButton *, 2> &options, const QString &array, const QString &first,
                const QString &second, QBoxLayout *into)
{
    options[0] = option(indexed(array, 0), first);
    options[1] = option(indexed(array, 1), second);
    into->addWidget(options[0]);
    into->addWidget(options[1]);
}

QComboBox *list(const QString &name, const QStringList &items)
{
    auto *c = new QComboBox;
    c->setObjectName(name);
    c->setEditable(false);
    c->addItems(items);
    return c;
}

QLineEdit *textBox(const QString &name)
{
    auto *t = new QLineEdit;
    t->setObjectName(name);
    // far more than any value a module takes
    t->setMaxLength(kTextBoxChars);
    return t;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets, QWidget *parent)
{
    auto *r = parent ? new QHBoxLayout(parent) : new QHBoxLayout;
    for (QWidget *w : widgets) r->addWidget(w);
    return r;
}

QHBoxLayout *rightAligned(std::initializer_list<QWidget *> widgets, QWidget *parent)
{
    QHBoxLayout *r = row({}, parent);
    r->addStretch(1);
    for (QWidget *w : widgets) r->addWidget(w);
    return r;
}

}  // namespace Controls
