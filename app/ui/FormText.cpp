#include "app/ui/FormText.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/Forms.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const char *kTag = "Tag";

// "as a whole number": the whole text must be a number.
std::optional<int> wholeId(const QString &text)
{
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

// "as the leading number of the text".
int leadingId(const QString &text)
{
    int i = 0;
    while (i < text.size() && text[i].isDigit())
        ++i;
    return i ? text.left(i).toInt() : 0;
}

// The text of an id, or nothing when the id is not in the table.
std::optional<QString> textOf(std::optional<int> id)
{
    if (!id || !HasResString(*id))
        return std::nullopt;
    return LoadResString(*id);
}

QString tagOf(const QObject *o)
{
    return o->property(kTag).toString();
}

void localiseAction(QAction *a)
{
    if (a->isSeparator())
        return;
    if (auto t = textOf(wholeId(a->text())))
        a->setText(*t);
    if (a->menu())
        for (QAction *sub : a->menu()->actions())
            localiseAction(sub);
}

}  // namespace

void setTag(QWidget *w, const QString &tag)
{
    w->setProperty(kTag, tag);
}

void FormTextSet(QWidget *window)
{
    // 1. caption from the window's Tag
    if (auto t = textOf(wholeId(tagOf(window))))
        window->setWindowTitle(*t);
    // 2. fonts: the table holds no font ids, windows keep their design font.

    // 3. every control by kind
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (auto t = textOf(wholeId(tagOf(label))))
                label->setText(*t);
        } else if (auto *bar = qobject_cast<QMenuBar *>(w)) {
            for (QAction *a : bar->actions())
                localiseAction(a);
        } else if (auto *tool = qobject_cast<QToolBar *>(w)) {
            for (QAction *a : tool->actions())
                if (auto t = textOf(wholeId(a->toolTip())))
                    a->setToolTip(*t);
        } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QVariantMap tab = tabs->tabData(i).toMap();
                if (auto t = textOf(wholeId(tab.value(kTag).toString())))
                    tabs->setTabText(i, *t);
                if (auto t = textOf(wholeId(tabs->tabToolTip(i))))
                    tabs->setTabToolTip(i, *t);
            }
        } else if (auto *tree = qobject_cast<QTreeWidget *>(w)) {
            QTreeWidgetItem *header = tree->headerItem();
            for (int c = 0; c < header->columnCount(); ++c)
                if (auto t = textOf(wholeId(header->data(c, Qt::UserRole).toString())))
                    header->setText(c, *t);
        } else {
            const int id = leadingId(tagOf(w));
            if (id >= 1 && HasResString(id)) {
                if (auto *b = qobject_cast<QAbstractButton *>(w))
                    b->setText(LoadResString(id));
                else if (auto *g = qobject_cast<QGroupBox *>(w))
                    g->setTitle(LoadResString(id));
            }
            const int tip = leadingId(w->toolTip());
            if (tip >= 1 && HasResString(tip))
                w->setToolTip(LoadResString(tip));
        }
    }
    // Menus live in their own popup widgets, not always below the window.
    for (QMenu *m : window->findChildren<QMenu *>())
        for (QAction *a : m->actions())
            localiseAction(a);
    ownTexts(window);
}

void ownTexts(QWidget *window)
{
    // The design texts the string table does not hold: in Japanese from
    // the program's own table. A control showing data starts empty.
    window->setWindowTitle(Tr(window->windowTitle()));
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    // A dialog's buttons get access keys from their English captions, each
    // letter once: Alt+letter presses them in either language.
    const bool dialog = qobject_cast<QDialog *>(window) != nullptr;
    QString used;
    for (auto *b : window->findChildren<QPushButton *>())
        if (const int at = b->text().indexOf('&'); at >= 0 && at + 1 < b->text().size())
            used += b->text().at(at + 1).toUpper();
    for (QWidget *w : widgets) {
        if (!w->toolTip().isEmpty())
            w->setToolTip(Tr(w->toolTip()));
        if (auto *label = qobject_cast<QLabel *>(w)) {
            label->setText(Tr(label->text()));
        } else if (auto *b = qobject_cast<QPushButton *>(w);
                   b && dialog && !b->text().contains('&')) {
            const int id = leadingId(tagOf(b));
            const QString english =
                id >= 1 && HasResString(id) ? ResStringIn(id, TextLanguage::English) : b->text();
            QString text = Tr(b->text());
            for (const QChar c : english) {
                if (!c.isLetter() || c.unicode() > 127 || used.contains(c.toUpper()))
                    continue;
                used += c.toUpper();
                const int at = text.indexOf(c);
                text = text == english && at >= 0 ? text.insert(at, '&')
                                                  : QString("%1(&%2)").arg(text, c.toUpper());
                break;
            }
            b->setText(text);
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            b->setText(Tr(b->text()));
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            g->setTitle(Tr(g->title()));
        } else if (auto *list = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < list->count(); ++i)
                list->setItemText(i, Tr(list->itemText(i)));
        }
    }
}

void ShowForm(QWidget *window)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (sub) {
        // hide every other data window, newest first
        for (QWidget *w : FormRegistry::instance().loadedNewestFirst()) {
            if (w == window)
                continue;
            if (auto *other = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
                other->hide();
        }
        sub->setGeometry(tw(-30), tw(-50), tw(8850), tw(7880));
        sub->show();
        window->show();
        sub->raise();
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        window->resize(tw(8850), tw(7880));
        window->show();
    }
}

QColor ActiveBorderColor()
{
    return QColor(180, 180, 180);
}

void setForeColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

QColor foreColor(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}

void setBackColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setAutoFillBackground(true);
    w->setPalette(p);
}

QColor backColor(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}

void ShowOnOffValue(QLabel *label, int value)
{
    if (value == 0) {
        label->setText("OFF");
        setForeColor(label, OffColor());
    } else if (value == 1) {
        label->setText("ON");
        setForeColor(label, OnColor());
    } else {
        label->setText(QString());
    }
}

void ShowOnOff(QLabel *label, const QString &payload)
{
    ShowOnOffValue(label, WholeNumber(payload).value_or(-1));
}
