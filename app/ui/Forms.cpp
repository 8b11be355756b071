#include "app/ui/Forms.h"

#include "app/Commands.h"

#include <QMdiArea>
#include <QMdiSubWindow>

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
