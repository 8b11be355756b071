#include "app/ui/Forms.h"

#include "app/Commands.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>

FormRegistry &FormRegistry::instance()
{
    static FormRegistry reg;
    return reg;
}

QWidget *FormRegistry::find(std::type_index type) const
{
    const auto it = byType_.find(type);
    return it == byType_.end() ? nullptr : it->second.data();
}

void FormRegistry::add(std::type_index type, QWidget *w)
{
    byType_[type] = w;
    order_.append(w);
}

void FormRegistry::remove(QWidget *w)
{
    for (auto it = byType_.begin(); it != byType_.end();) {
        if (it->second == w || it->second.isNull())
            it = byType_.erase(it);
        else
            ++it;
    }
    order_.removeIf([w](const QPointer<QWidget> &p) { return p.isNull() || p == w; });
}

QList<QWidget *> FormRegistry::loadedNewestFirst() const
{
    QList<QWidget *> out;
    for (auto it = order_.crbegin(); it != order_.crend(); ++it)
        if (*it)
            out.append(it->data());
    return out;
}

void FormRegistry::unloadAllBut(QWidget *keep)
{
    for (QWidget *w : loadedNewestFirst())
        if (w != keep)
            unloadForm(w);
}

void unloadForm(QWidget *w)
{
    if (!w)
        return;
    FormRegistry::instance().remove(w);
    // A monitor window lives inside an MDI frame; the frame goes with it.
    QWidget *outer = w;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        outer = sub;
    outer->hide();
    outer->deleteLater();
}

QMdiArea *&DataArea()
{
    static QMdiArea *area = nullptr;
    return area;
}

QWidget *MainWindowWidget()
{
    return DataArea() ? DataArea()->window() : nullptr;
}

void BindCommand(QWidget *w, const QString &name)
{
    Commands &cmd = Commands::instance();
    cmd.track(name);
    w->setEnabled(cmd.enabled(name));
    QObject::connect(&cmd, &Commands::changed, w, [w, name](const QString &changed, bool on) {
        if (changed == name)
            w->setEnabled(on);
    });
}

namespace {

QRect availableFor(QWidget *w)
{
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The frame around a top-level window's contents; before the window system
// has framed it, room for a title bar and borders.
QMargins frameOf(const QWidget *w)
{
    const QRect f = w->frameGeometry();
    const QRect g = w->geometry();
    const QMargins m(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                     f.bottom() - g.bottom());
    if (w->isVisible() && !m.isNull())
        return m;
    const int border = 4;
    return {border, border + w->style()->pixelMetric(QStyle::PM_TitleBarHeight), border, border};
}

}  // namespace

void KeepOnScreen(QWidget *window, QWidget *near)
{
    const QRect free = availableFor(near ? near : window);
    if (free.isEmpty())
        return;
    const QMargins m = frameOf(window);
    const QSize room(free.width() - m.left() - m.right(), free.height() - m.top() - m.bottom());
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    const QSize outer = window->size().grownBy(m);
    const QPoint at = window->frameGeometry().topLeft();
    // top left last, so that a window larger than the screen shows its title bar
    window->move(qMax(free.left(), qMin(at.x(), free.right() + 1 - outer.width())),
                 qMax(free.top(), qMin(at.y(), free.bottom() + 1 - outer.height())));
}

void PlaceBesideMain(QWidget *window)
{
    auto *main = qobject_cast<QMainWindow *>(MainWindowWidget());
    if (!main || !main->isVisible()) {
        KeepOnScreen(window);
        return;
    }
    const QRect free = availableFor(main);
    const QRect m = main->frameGeometry();
    const QMargins frame = frameOf(window);
    const QSize outer = window->size().grownBy(frame);
    // at least this much of it must show where it goes
    const int minW = qMin(outer.width(), 360), minH = qMin(outer.height(), 200);
    QRect to;
    bool leftOf = false;
    if (free.right() - m.right() >= minW) {
        to = QRect(m.right() + 1, m.top(), free.right() - m.right(), free.bottom() + 1 - m.top());
    } else if (free.bottom() - m.bottom() >= minH) {
        to = QRect(m.left(), m.bottom() + 1, free.right() + 1 - m.left(),
                   free.bottom() - m.bottom());
    } else if (m.left() - free.left() >= minW) {
        to = QRect(free.left(), m.top(), m.left() - free.left(), free.bottom() + 1 - m.top());
        leftOf = true;
    } else {
        // over the work area, below the menu bar and the toolbar
        const int top = main->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
        to = QRect(free.left(), top, free.width(), free.bottom() + 1 - top);
    }
    const QSize fits = outer.boundedTo(to.size());
    window->resize(fits.shrunkBy(frame));
    window->move(leftOf ? to.right() + 1 - fits.width() : to.left(), to.top());
    KeepOnScreen(window, main);
}

void ShowBesideMain(QWidget *window)
{
    if (!window->isVisible())
        PlaceBesideMain(window);
    window->show();
    window->raise();
    window->activateWindow();
}
