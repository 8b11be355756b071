#include "adjust/frmZeroSpan.h"

#include "adjust/LiveReading.h"
#include "adjust/frmSetZeroSpan.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/ChannelChooser.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "link/TxtBus.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using namespace AdjustUi;

frmZeroSpan::frmZeroSpan()
{
    setObjectName("frmZeroSpan");
    auto *v = new QVBoxLayout(this);

    Label1 = title("Label1", "Zero/Span Adj.");
    setTag(Label1, "2043");
    v->addWidget(Label1);

    Frame2 = frame("Frame2");
    ChannelChooser::make(Frame2, Label2, cboChannel, cmdPrev, cmdNext, "Label2", "2000");
    cboChannel->setMinimumWidth(tw(900));
    v->addWidget(Frame2);

    Frame3 = frame("Frame3");
    cmdZero = button("cmdZero", "Zero");
    cmdSpan = button("cmdSpan", "Span");
    cmdReset = button("cmdReset", "Reset");
    cmdExit = button("cmdExit", "Exit");
    Controls::row({cmdZero, cmdSpan, cmdReset, cmdExit}, Frame3);
    v->addWidget(Frame3);

    connect(cmdPrev, &QPushButton::clicked, this, &frmZeroSpan::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmZeroSpan::cmdNext_Click);
    connect(cmdZero, &QPushButton::clicked, this, &frmZeroSpan::cmdZero_Click);
    connect(cmdSpan, &QPushButton::clicked, this, &frmZeroSpan::cmdSpan_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmZeroSpan::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    FormTextSet(this);
    setWindowTitle(Label1->text());
}

frmZeroSpan::~frmZeroSpan() = default;

int frmZeroSpan::channelCount()
{
    switch (orZero(G().ModelKind)) {
        case 1: return 16;
        case 2:
        case 6: return 8;
        default: return 0;
    }
}

int frmZeroSpan::channel() const
{
    return cboChannel->currentText().toInt();
}

void frmZeroSpan::ZeroSpan()
{
    placeBelowMain();
    ChannelChooser::fill(cboChannel, channelCount());
    showModal();
}

void frmZeroSpan::setControls(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{cboChannel, cmdNext, cmdPrev, cmdReset,
                                                       cmdZero, cmdSpan, cmdExit})
        w->setEnabled(on);
}

void frmZeroSpan::cmdPrev_Click()
{
    ChannelChooser::step(cboChannel, -1);
}
void frmZeroSpan::cmdNext_Click()
{
    ChannelChooser::step(cboChannel, +1);
}

void frmZeroSpan::cmdZero_Click()
{
    const int ch = channel();
    if (ch < 1)
        return;
    G().ZsChannel = ch;
    G().ZsMode = 0;
    OpenEditor(&frmSetZeroSpan::SetZeroSpan);
}

void frmZeroSpan::cmdSpan_Click()
{
    AppState &s = G();
    const int ch = channel();
    if (ch < 1)
        return;
    s.ZsChannel = ch;
    {
        Exchange x(this);
        if (!ModuleReads::LinkUp())
            return;
        QString reply;
        if (!DataRead(17, ch, reply))
            return;
        // a span is taken only on top of a zero adjustment (a state that is
        // no number counts as none)
        if (qRound(NumberIn(reply).value_or(0)) == 0) {
            MsgBox(LoadResString(3008), LoadResString(2043), MsgIcon::Exclamation);
            return;
        }
    }
    s.ZsMode = 1;
    OpenEditor(&frmSetZeroSpan::SetZeroSpan);
}

void frmZeroSpan::cmdReset_Click()
{
    const int ch = channel();
    if (ch < 1)
        return;
    G().ZsChannel = ch;
    if (!frmDialog::Ask(
            Tr("Reset of the zero/span adjustment of channel %1: write it to the module?").arg(ch),
            LoadResString(2043)))
        return;
    Exchange x(this);
    if (!ModuleReads::LinkUp())
        return;
    QString reply;
    AdjustmentWrite(LoadResString(2043), 17, Fmt00(ch) + "0", reply, 3009,
                    Tr("Adjustment reset of channel %1").arg(ch));
}
