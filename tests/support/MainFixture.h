#pragma once
// The real main window against a simulated module on a pty, with every
// message recorded and the download question answered by script.

#include "app/Init.h"
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
    QStringList received();
    void clearReceived() { module_->clearReceived(); }

    // Clicks a menu item by name as the user would (the action is triggered).
    void click(const QString &menuName);
    // Connect through the menu; the port dialog answers with the module.
    void connect();
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
    frmMain *main_ = nullptr;
};

// Enabled state of a menu item or top-level menu of the main window.
bool menuOn(const QString &name);
bool toolOn(int position);
