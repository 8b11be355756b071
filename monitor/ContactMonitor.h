#pragma once
// The two contact monitor windows (output contacts and input contacts):
// 32 contacts, each a number and its ON/OFF state, the output window with
// a switch button per contact. frmB6 and frmE6 configure it.

#include "monitor/MonitorWindow.h"

#include <array>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;

class ContactMonitor : public MonitorWindow {
    Q_OBJECT
public:
    static constexpr int kContacts = 32;

    struct Layout {
        const char *suffix;     // shown in row 0 of the identity panel
        const char *titleTag;   // string id of the heading
        const char *titleText;  // heading as designed
        bool switchButtons;     // a cmdOut button per contact
    };

    ~ContactMonitor() override;

    // Arrays indexed by contact 1..32; element 0 is null.
    std::array<QLabel *, kContacts + 1> lblNo{};
    std::array<QLabel *, kContacts + 1> Label1{};
    std::array<QPushButton *, kContacts + 1> cmdOut{};  // frmB6 only

    QLabel *lblTitle = nullptr;
    QFrame *Frame1 = nullptr;

protected:
    explicit ContactMonitor(const Layout &cfg);

    // Load, once the window's own controls are added: texts, empty states.
    void loadWindow();
    // Menus, show, suffix.
    void display();
    // Row under the table for a window's own buttons.
    QHBoxLayout *footer() const { return footer_; }

private:
    Layout cfg_;
    QHBoxLayout *footer_ = nullptr;
};
