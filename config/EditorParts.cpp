#include "config/EditorParts.h"

#include "app/Globals.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

namespace EditorParts {

QLabel *label(const QString &name, const QString &text, const QString &tag)
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    if (!tag.isEmpty())
        setTag(l, tag);
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
    t->setMaxLength(32);
    return t;
}

bool Confirmed(const QString &question)
{
    // the dialog leaves the answer as it was when its close box is used
    G().DialogOK = false;
    frmDialog::Dialog(question);
    return G().DialogOK;
}

std::function<bool(const QString &)> exactly(const QString &expected)
{
    return [expected](const QString &payload) { return payload == expected; };
}

std::optional<double> numberOf(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // locale-free: a point only
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::function<bool(const QString &)> sameNumber(const QString &expected)
{
    return [expected](const QString &payload) {
        const auto a = numberOf(expected);
        const auto b = numberOf(payload);
        return a && b && *a == *b;
    };
}

Sent SendChecked(const QString &title, const QList<CheckedWrite> &writes)
{
    if (!ModuleReads::LinkUp())
        return Sent::LinkDown;
    if (!DownloadCheck::ModuleFits(title))
        return Sent::Refused;
    for (const CheckedWrite &w : writes) {
        if (w.before)
            w.before();
        QString reply;
        if (!ParameterWrite(w.item, w.value, reply) || !w.same(reply))
            return Sent::Incomplete;
    }
    return Sent::Done;
}

}  // namespace EditorParts
