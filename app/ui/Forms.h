#pragma once
// Windows as single instances: a window is loaded at its first use, keeps
// its state, and is unloaded on demand. Loading = constructing; the
// constructor does what the window's load handler does.

#include <QList>
#include <QPointer>
#include <QWidget>

class QMdiArea;

#include <typeindex>
#include <unordered_map>

class FormRegistry {
public:
    static FormRegistry &instance();

    QWidget *find(std::type_index type) const;
    void add(std::type_index type, QWidget *w);
    void remove(QWidget *w);
    // Most recently loaded first.
    QList<QWidget *> loadedNewestFirst() const;
    // Unloads every window but the first one loaded (the main window), newest first.
    void unloadAllBut(QWidget *keep);

private:
    std::unordered_map<std::type_index, QPointer<QWidget>> byType_;
    QList<QPointer<QWidget>> order_;
};

// The instance of a window, loading it on first use.
template <typename T>
T *form()
{
    auto &reg = FormRegistry::instance();
    if (QWidget *w = reg.find(typeid(T)))
        return static_cast<T *>(w);
    T *w = new T();
    reg.add(typeid(T), w);
    return w;
}

// The instance if it is loaded, nullptr otherwise (never loads).
template <typename T>
T *loaded()
{
    return static_cast<T *>(FormRegistry::instance().find(typeid(T)));
}

// Destroys the window. Deletion is deferred: a handler of the window may
// still be on the stack inside a nested wait.
void unloadForm(QWidget *w);

template <typename T>
void unload()
{
    if (T *w = loaded<T>())
        unloadForm(w);
}

// The main window's area that holds the data windows.
QMdiArea *&DataArea();
// The main window (the parent and place of the other windows); nullptr
// before it is loaded.
QWidget *MainWindowWidget();

// The widget follows the enabled state of a command of the command unit
// (app/Commands.h), so it is off while a workflow runs.
void BindCommand(QWidget *w, const QString &name);

// Moves a window, shrinking it if it must, so that all of it, frame
// included, lies inside the free area of the screen (of `near`'s screen
// when given): at any scale factor no part of it is out of reach.
void KeepOnScreen(QWidget *window, QWidget *near = nullptr);

// Places a window of its own beside the main window: to its right, else
// below or to its left, else over its work area below the menu bar and
// toolbar, which it never covers; always on the screen.
void PlaceBesideMain(QWidget *window);
// Shows a window of its own (trace, trend, manual) in front: beside the
// main window when it opens, where the user left it when it is open.
void ShowBesideMain(QWidget *window);
