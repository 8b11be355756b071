#pragma once
// The real main window against a simulated module on a pty, with every
// message recorded and the download question answered by script.

#include "app/Init.h"
#include "app/ui/EditorDialog.h"
#include "monitor/AnalogMonitor.h"
#include "tests/support/Fixture.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class frmMain;
class QAction;

class MainFixture {
public:
    // Starts a module of this model (empty: none) and loads the main window
    // in that language.
    explicit MainFixture(const QString &model = "QV8_KX5",
                         TextLanguage language = TextLanguage::English);
    ~MainFixture();

    frmMain *main() const { return main_; }
    sim::PtyModule &module() { return *module_; }
    QStringList received() { return linesOf(*module_); }
    void clearReceived()
    {
        cleared_ += int(module_->received().size());
        module_->clearReceived();
    }
    void pin(const QStringList &pins) { ::pin(*module_, pins); }
    void setFaults(const std::function<void(sim::Faults &)> &set)
    {
        module_->setFaults(faults(set));
    }
    // Writes (to item, or to any) answered with payload instead of the echo.
    void refuseWrites(const QString &payload, int item = 0)
    {
        setFaults([&](sim::Faults &x) {
            x.refuseWrites = payload;
            x.refuseItem = item;
        });
    }
    // The module answers `more` further commands, then no more.
    void stopAfter(int more)
    {
        const int at = cleared_ + int(module_->received().size()) + more;
        setFaults([at](sim::Faults &x) { x.stopAfter = at; });
    }

    // Clicks a menu item by name as the user would (the action is triggered).
    void click(const QString &menuName);
    // Connect through the menu; the port dialog answers with the module.
    void connect();
    // Pins values, connects, then forgets what connecting sent and showed.
    void connectWith(const QStringList &pins = {});
    // Runs act once, right after the first exchange after which pred holds
    // (act then runs while the workflow is still on the stack).
    void afterExchange(std::function<bool()> pred, std::function<void()> act);
    // ... after which the module has received at least n lines.
    void afterLines(int n, std::function<void()> act);
    // Starts monitoring and returns when the cycle has ended; a cycle still
    // running after the limit is stopped and false is returned.
    bool startAndWait(int limitMs = 8000);

    // Answer of the download question: true OK, false Cancel, nullopt close box.
    std::optional<bool> answer = true;
    QStringList questions;  // texts the download question was asked with

    MessageLog log;

private:
    std::unique_ptr<sim::PtyModule> module_;
    int cleared_ = 0;  // lines the module received before the last clearReceived
    frmMain *main_ = nullptr;
};

// Connected at once, with pins set first (connectWith).
struct Connected : MainFixture {
    explicit Connected(const QString &model, const QStringList &pins = {}) : MainFixture(model)
    {
        connectWith(pins);
    }
};

// Enabled state of a menu item or top-level menu of the main window.
bool menuOn(const QString &name);
bool toolOn(int position);
// The state the main window's commands show: "at start", "not connected",
// "connected" or "monitoring"; else the commands of those that are on.
QString commandState();

// The monitor window of the model kind now, for the analog kinds.
AnalogMonitor *analogWindow();

// Runs open() with every editor window it would show given to drive
// instead (as batch mode does).
void scripted(const std::function<void()> &open, std::function<void(EditorDialog *)> drive);
// ... windows of type T given to act; true when one was shown.
template <typename T>
bool inWindow(const std::function<void()> &open, const std::function<void(T *)> &act)
{
    bool shown = false;
    scripted(open, [&](EditorDialog *d) {
        if (auto *w = qobject_cast<T *>(d)) {
            shown = true;
            act(w);
        }
    });
    return shown;
}
