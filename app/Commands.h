#pragma once
// Which commands the user can choose now, held in one place below the
// windows: every menu item, menu, toolbar button and monitor-window button
// that starts work. The windows show it; the workflows, the monitor windows
// and the transfer set it here instead of reaching into each other.
//
// One workflow at a time: while a workflow is on the stack (a handler of
// the main window, an editor's transfer) every command that would start
// another one, or unload a window the running one uses, is off. When the
// last workflow returns, however it returns, the commands come back as the
// workflows left them: that is the idle state that follows.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <initializer_list>
#include <utility>

class Commands : public QObject {
    Q_OBJECT
public:
    static Commands &instance();

    // Names: menus and menu items by their names ("mnuConfig",
    // "mnuConfigCJM"), toolbar positions by tb(1..11), buttons of the
    // monitor windows as "frmB6.cmdOut".
    static QString tb(int position) { return QStringLiteral("tb%1").arg(position); }

    // The state a workflow leaves behind.
    void set(const QString &name, bool on);
    void set(std::initializer_list<std::pair<const char *, bool>> items);
    bool state(const QString &name) const
    {
        const auto leader = follows_.constFind(name);
        return leader != follows_.cend() ? state(*leader) : state_.value(name, true);
    }
    // The command is on and off with another (a second way to the same kind of work).
    void follow(const QString &name, const QString &leader);
    // A command a window shows; on until something sets it.
    void track(const QString &name)
    {
        if (!state_.contains(name))
            state_.insert(name, true);
    }

    // A menu item is reachable only while its menu is.
    void setMenuOf(const QString &item, const QString &menu) { menuOf_.insert(item, menu); }

    // What the user can choose now: the state, its menu's state, and off
    // while a workflow runs unless the running workflow takes it in.
    bool enabled(const QString &name) const;

    // Why a command is off now, in the display language, for its tooltip;
    // empty while it is on.
    QString why(const QString &name) const;

    // Every command a window shows or the unit was told of.
    QStringList names() const { return state_.keys(); }

    bool workflowRunning() const { return depth_ > 0; }
    int workflowDepth() const { return depth_; }

    // Commands the running workflow handles itself: the Monitor menu's
    // pause, Stop, a contact switch, End, and windows that only look.
    void letIn(const QString &name);
    void keepOut(const QString &name);

    // Back to nothing set (a new main window, a test).
    void reset();

signals:
    // The enabled state of a command may have changed.
    void changed(const QString &name, bool enabled);
    // The last workflow on the stack has returned.
    void idle();
    // MenuPause or the end of the program changed: a paused wait looks again.
    void wake();

private:
    friend class Workflow;
    Commands();
    void enter();
    void leave();
    void announce(const QString &name);
    void announceAll();

    QHash<QString, bool> state_;
    QHash<QString, QString> menuOf_;
    QHash<QString, QString> follows_;
    QSet<QString> letIn_;
    int depth_ = 0;
};

// While one lives, a workflow is on the stack.
class Workflow {
public:
    Workflow() { Commands::instance().enter(); }
    ~Workflow() { Commands::instance().leave(); }
    Workflow(const Workflow &) = delete;
    Workflow &operator=(const Workflow &) = delete;
};
