// Batch commands of the Adjustment menu, for calibration rigs: a known
// signal is applied from a calibrator, then the module is asked to adjust.
// Each fills the adjustment windows unshown and presses their buttons.

#include "adjust/LiveReading.h"
#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/BatchCommands.h"
#include "app/ui/Controls.h"
#include "app/ui/frmMain.h"
#include "link/LineTrace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString checkChannel(const QStringList &args)
{
    return NeedChannel(args.value(0), 16);
}

QString checkReal(const QStringList &args)
{
    if (const QString problem = checkChannel(args); !problem.isEmpty())
        return problem;
    const QString real = args.value(1).trimmed();
    if (real.isEmpty() || !RealValueOk(real))
        return QString("REAL must be a decimal number, not \"%1\"").arg(args.value(1));
    // the box would cut it into another number
    if (real.size() > Controls::kTextBoxChars)
        return QString("REAL may have at most %1 characters, not %2")
            .arg(Controls::kTextBoxChars)
            .arg(real.size());
    return QString();
}

QString checkComp(const QStringList &args)
{
    if (const QString problem = NeedChannel(args.value(0), 8); !problem.isEmpty())
        return problem;
    return NeedOneOf(args.value(1), {"0", "100", "line", "reset"}, "the request");
}

// The menu item is on only with a connected module of a kind that has it.
bool menuReady(const char *item, const QString &need, const QString &title)
{
    if (Commands::instance().enabled(QString::fromLatin1(item)))
        return true;
    MsgBox(need, title, MsgIcon::Exclamation);
    return false;
}

// Counts the messages shown while it lives; they are shown as before.
class MessageCount {
public:
    MessageCount() : previous_(Hooks().msgBox)
    {
        Hooks().msgBox = [this](const QString &text, const QString &title, MsgIcon icon) {
            ++count;
            if (previous_)
                previous_(text, title, icon);
        };
    }
    ~MessageCount() { Hooks().msgBox = previous_; }
    int count = 0;

private:
    std::function<void(const QString &, const QString &, MsgIcon)> previous_;
};

// Runs a menu handler with the windows driven by `drive` instead of a user.
void driven(void (frmMain::*handler)(), std::function<void(EditorDialog *)> drive)
{
    DriveWindows(std::move(drive), [handler] { (MainForm()->*handler)(); });
}

enum class ZeroSpanOp { Zero, Span, Reset, Read };

// The chooser on channel ch, then its Zero, Span or Reset; for Zero and
// Span the dialog's OK with the real value, for Read its live value printed.
void zeroSpan(ZeroSpanOp op, const QStringList &args)
{
    const QString title = LoadResString(2043);
    if (!menuReady("mnuAdjZeroSpan", Tr("Connect to an analog input module first."), title))
        return;
    const int ch = args.value(0).toInt();
    const QString real = args.value(1).trimmed();
    bool chosen = false, shown = false;
    MessageCount messages;
    driven(&frmMain::mnuAdjZeroSpan_Click, [&](EditorDialog *w) {
        if (auto *chooser = qobject_cast<frmZeroSpan *>(w)) {
            const int last = frmZeroSpan::channelCount();
            if (ch > last) {
                MsgBox(Tr("The module has channels 1 to %1, not %2.").arg(last).arg(ch), title,
                       MsgIcon::Exclamation);
            } else {
                chosen = true;
                chooser->cboChannel->setCurrentText(QString::number(ch));
                switch (op) {
                    case ZeroSpanOp::Span: chooser->cmdSpan->click(); break;
                    case ZeroSpanOp::Reset: chooser->cmdReset->click(); break;
                    default: chooser->cmdZero->click(); break;
                }
            }
            chooser->cmdExit->click();
        } else if (auto *dialog = qobject_cast<frmSetZeroSpan *>(w)) {
            shown = true;
            if (op == ZeroSpanOp::Read) {
                // a reply that is no number is no reading, whatever it was
                if (NumberIn(dialog->inputReply())) {
                    errno = 0;
                    std::printf("%s %s\n", qPrintable(dialog->lblInputreal->text()),
                                qPrintable(dialog->lblUnit3->text()));
                    // a value printed only when it reached standard output
                    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
                        Outcome::done();
                    else
                        MsgBox("standard output: " +
                                   QString::fromLocal8Bit(std::strerror(errno ? errno : EIO)),
                               title, MsgIcon::Critical);
                } else {
                    MsgBox(Tr("The module answered the read of channel %1 with \"%2\", which "
                              "is not a number.")
                               .arg(ch)
                               .arg(LineTrace::visible(dialog->inputReply().toLatin1())),
                           title, MsgIcon::Critical);
                }
            } else {
                dialog->txtReal->setText(real);
                dialog->cmdOK->click();
            }
            dialog->cmdExit->click();
        }
    });
    // The dialog stays shut when its readings fail; a failure that showed
    // nothing must not pass for success.
    if (chosen && !shown && op != ZeroSpanOp::Reset && messages.count == 0)
        MsgBox(Tr("The channel's values could not be read. Nothing was written."), title,
               MsgIcon::Critical);
}

void comp(const QStringList &args)
{
    const QString title = "Compensation Request";
    if (!menuReady("mnuAdjComp", Tr("Connect to an RTD input module first."), title))
        return;
    const int ch = args.value(0).toInt();
    const QString request = args.value(1);
    driven(&frmMain::mnuAdjComp_Click, [&](EditorDialog *w) {
        auto *dialog = qobject_cast<frmSetComp *>(w);
        if (!dialog)
            return;
        dialog->cboChannel->setCurrentText(QString::number(ch));
        dialog->cboChannel_Click();
        const bool lineRes = dialog->lineResLayout();
        QPushButton *button = nullptr;
        if (request == "reset")
            button = dialog->cmdReset;
        else if (request == "line")
            button = lineRes ? dialog->cmd0 : nullptr;
        else if (!lineRes)
            button = request == "0" ? dialog->cmd0 : dialog->cmd100;
        if (button)
            button->click();
        else
            MsgBox((lineRes ? Tr("Channel %1 takes the single request Line Res., not 0% or 100%.")
                            : Tr("Channel %1 takes the requests 0% and 100%, not Line Res."))
                       .arg(ch),
                   title, MsgIcon::Exclamation);
        dialog->cmdExit->click();
    });
}

}  // namespace

void AddAdjustmentCommands()
{
    AddBatchCommand({"zero", 2, 2, "CH REAL",
                     "zero adjustment of channel CH: the signal applied is REAL in the "
                     "channel's unit (needs --yes)",
                     checkReal, [](const QStringList &a) { zeroSpan(ZeroSpanOp::Zero, a); }});
    AddBatchCommand({"span", 2, 2, "CH REAL",
                     "span adjustment of channel CH (after its zero adjustment; needs --yes)",
                     checkReal,
                     [](const QStringList &a) { zeroSpan(ZeroSpanOp::Span, a); }});
    AddBatchCommand({"adjreset", 1, 1, "CH",
                     "reset the zero/span adjustment of channel CH (needs --yes)",
                     checkChannel, [](const QStringList &a) { zeroSpan(ZeroSpanOp::Reset, a); }});
    AddBatchCommand({"comp", 2, 2, "CH 0|100|line|reset",
                     "line resistance compensation request for channel CH (needs --yes)",
                     checkComp, comp});
    AddBatchCommand({"read", 1, 1, "CH", "print the live input value of channel CH with its unit",
                     checkChannel, [](const QStringList &a) { zeroSpan(ZeroSpanOp::Read, a); }});
}
