#include "app/ui/EditorDialog.h"

#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "workflows/ModuleReads.h"

#include "app/MainPanel.h"

#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>

namespace {
// The editors' and adjustment windows' buttons that exchange with the module.
const QStringList kModuleButtons{"cmdDownload", "cmdDown",  "cmdDnload", "cmdUpload",
                                 "cmdUp",       "cmdOK",    "cmdZero",   "cmdSpan",
                                 "cmdReset",    "cmd0",     "cmd100",    "cmdQV8Res"};
}  // namespace

EditorDialog::EditorDialog(QWidget *parent)
    : QDialog(parent ? parent : MainWindowWidget())
{
    setModal(true);
    // the window's own font and place, as designed; no help button
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The end of the program is the window's Exit too, so that the work
    // it belongs to unwinds and the program can close.
    connect(&Commands::instance(), &Commands::wake, this, [this] {
        if (AppEnding() && isVisible())
            cmdExit_Click();
    });
    // A line lost while the window is open: its buttons that would talk to
    // the module are off at once, as the main window's commands are.
    const auto linkUp = [] {
        return MainPanel::instance().linkState() != MainPanel::LinkState::NotConnected;
    };
    connect(&MainPanel::instance(), &MainPanel::statusChanged, this,
            [this, linkUp, wasUp = linkUp()]() mutable {
                const bool up = linkUp();
                if (wasUp && !up)
                    for (QPushButton *b : findChildren<QPushButton *>())
                        if (kModuleButtons.contains(b->objectName()))
                            b->setEnabled(false);
                wasUp = up;
            });
}

EditorDialog::~EditorDialog() = default;

EditorDialog::Exchange::Exchange(EditorDialog *d) : d_(d), wasEnabled_(d->isEnabled())
{
    ++d_->exchanges_;
    d_->setEnabled(false);
}

EditorDialog::Exchange::~Exchange()
{
    --d_->exchanges_;
    d_->setEnabled(wasEnabled_);
}

std::function<void(EditorDialog *)> &EditorDialog::script()
{
    static std::function<void(EditorDialog *)> s;
    return s;
}

void DriveWindows(std::function<void(EditorDialog *)> drive, const std::function<void()> &open)
{
    EditorDialog::script() = std::move(drive);
    open();
    EditorDialog::script() = nullptr;
}

void EditorDialog::showModal()
{
    opened_ = ModuleSettings::of(G());
    if (script()) {
        QPointer<EditorDialog> self = this;
        script()(this);
        if (self && self->isVisible())
            self->done(QDialog::Rejected);
    } else {
        exec();
    }
    // the monitor window marks what the window left not downloaded
    MainPanel::instance().settingsChanged();
}

void EditorDialog::placeBelowMain(int topTwips, int leftTwips)
{
    QWidget *main = MainWindowWidget();
    if (main)
        move(main->x() + tw(leftTwips), main->y() + tw(topTwips));
    // a scaled screen may have no room there
    resize(sizeHint());  // adjustSize would stop at two thirds of the screen
    KeepOnScreen(this, main);
}

void EditorDialog::cmdExit_Click()
{
    done(QDialog::Rejected);
}

void EditorDialog::closeEvent(QCloseEvent *e)
{
    // never while the window talks to the module
    e->ignore();
    if (!exchanging())
        leaveDiscarding();
}

void EditorDialog::reject()
{
    if (!exchanging())
        leaveDiscarding();
}

void EditorDialog::leaveDiscarding()
{
    QPointer<EditorDialog> self = this;
    cmdExit_Click();
    if (self)
        discardEdits();
}

void EditorDialog::discardEdits()
{
    AppState &s = G();
    const ModuleSettings was = ModuleSettings::of(s);
    if (was != opened_) {
        opened_.putInto(s);
        ModuleReads::ShowSettings(was);
    }
    MainPanel::instance().settingsChanged();
}

void EditorDialog::confirmed(std::initializer_list<ModuleSettings::Part> parts, int ch)
{
    const ModuleSettings now = ModuleSettings::of(G());
    for (const ModuleSettings::Part part : parts) {
        opened_.take(now, part, ch);
        if (ModuleHolds())
            ModuleHolds()->take(now, part, ch);
    }
    MainPanel::instance().settingsChanged();
}

