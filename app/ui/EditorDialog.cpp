#include "app/ui/EditorDialog.h"

#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"

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
    if (script()) {
        QPointer<EditorDialog> self = this;
        script()(this);
        if (self && self->isVisible())
            self->done(QDialog::Rejected);
        return;
    }
    exec();
}

void EditorDialog::placeBelowMain(int topTwips, int leftTwips)
{
    if (QWidget *main = MainWindowWidget())
        move(main->x() + tw(leftTwips), main->y() + tw(topTwips));
}

void EditorDialog::cmdExit_Click()
{
    done(QDialog::Rejected);
}

void EditorDialog::closeEvent(QCloseEvent *e)
{
    // the close box is the window's Exit; never while it talks to the module
    e->ignore();
    if (!exchanging())
        cmdExit_Click();
}

void EditorDialog::reject()
{
    if (!exchanging())
        cmdExit_Click();
}
