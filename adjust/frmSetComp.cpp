#include "adjust/frmSetComp.h"

#include "adjust/frmSetZeroSpan.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/ChannelChooser.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "link/TxtBus.h"
#include "monitor/frmL5.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kChannels = 8;
}  // namespace

using namespace AdjustUi;

frmSetComp::frmSetComp()
{
    setObjectName("frmSetComp");
    auto *v = new QVBoxLayout(this);

    // Not localised: the string ids of these captions are only marks.
    lblTitle = title("lblTitle", "Compensation");
    v->addWidget(lblTitle);

    Frame1 = frame("Frame1");
    ChannelChooser::make(Frame1, Label2, cboChannel, cmdPrev, cmdNext, "Label2", QString());
    cboChannel->setMinimumWidth(tw(900));
    v->addWidget(Frame1);

    Frame2 = frame("Frame2");
    QGridLayout *values = valueGrid(Frame2);
    lblInput = label("lblInput", "Input Real");
    lblInputreal = readout("lblInputreal");
    lblUnit1 = unit("lblUnit1");
    lblRaw = label("lblRaw", "Raw Real");
    lblRawreal = readout("lblRawreal");
    lblUnit2 = unit("lblUnit2");
    valueRow(values, 0, lblInput, lblInputreal, lblUnit1);
    valueRow(values, 1, lblRaw, lblRawreal, lblUnit2);
    v->addWidget(Frame2);

    Frame3 = frame("Frame3");
    auto *requests = new QHBoxLayout(Frame3);
    requests->setSpacing(tw(2425) - 2 * tw(1095));
    cmd0 = button("cmd0", "0%");
    cmd100 = button("cmd100", "100%");
    cmd100->setFixedWidth(tw(1095));
    requests->addStretch(1);
    requests->addWidget(cmd0);
    requests->addWidget(cmd100);
    requests->addStretch(1);
    v->addWidget(Frame3);

    Frame4 = frame("Frame4");
    cmdReset = button("cmdReset", "Reset");
    cmdExit = button("cmdExit", "Exit");
    Controls::rightAligned({cmdReset, cmdExit}, Frame4);
    v->addWidget(Frame4);

    connect(cboChannel, &QComboBox::activated, this, &frmSetComp::cboChannel_Click);
    connect(cmdPrev, &QPushButton::clicked, this, &frmSetComp::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmSetComp::cmdNext_Click);
    connect(cmd0, &QPushButton::clicked, this, &frmSetComp::cmd0_Click);
    connect(cmd100, &QPushButton::clicked, this, &frmSetComp::cmd100_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmSetComp::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    setWindowTitle(lblTitle->text());
    ownTexts(this);

    // Load: the request buttons as channel 1 has them.
    showChannel(1);
}

frmSetComp::~frmSetComp() = default;

int frmSetComp::channel() const
{
    return cboChannel->currentText().toInt();
}

bool frmSetComp::lineResLayout() const
{
    return cmd100->isHidden();
}

void frmSetComp::SetComp()
{
    placeBelowMain();
    showChannel(ChannelChooser::fill(cboChannel, kChannels));
    showLive();
}

void frmSetComp::showChannel(int ch)
{
    const int c = qBound(0, ch, 16);
    if (G().TypeHigh.at(c) == 3) {
        cmd0->setText(Tr("Line Res."));
        cmd0->setFixedWidth(tw(2425));
        cmd100->hide();
    } else {
        cmd0->setText("0%");
        cmd0->setFixedWidth(tw(1095));
        cmd100->setText("100%");
        cmd100->show();
    }
    // the units as the RTD monitor shows them; empty until it has been filled
    const frmL5 *monitor = loaded<frmL5>();
    const bool known = monitor && c >= 1 && c <= monitor->channels();
    lblUnit1->setText(known ? monitor->unitText(c, false) : QString());
    lblUnit2->setText(known ? monitor->unitText(c, true) : QString());
}

void frmSetComp::cboChannel_Click()
{
    ReadNow();
    showChannel(channel());
}

void frmSetComp::stepChannel(int delta)
{
    ReadNow();
    showChannel(ChannelChooser::step(cboChannel, delta));
}

void frmSetComp::cmdPrev_Click()
{
    stepChannel(-1);
}
void frmSetComp::cmdNext_Click()
{
    stepChannel(+1);
}

bool frmSetComp::readLive()
{
    const int ch = channel();
    QString input, raw;
    if (!liveRead(3, ch, input) || !liveRead(4, ch, raw))
        return false;
    // values of a channel the user has just left are not shown under the new one
    if (channel() == ch) {
        lblInputreal->setText(NumberText(input, false));
        lblRawreal->setText(NumberText(raw, false));
    }
    return true;
}

void frmSetComp::request(int code)
{
    ReadNow();
    const int ch = channel();
    if (ch < 1)
        return;
    const QString title = "Compensation Request";
    const QString action = code == 0 ? Tr("Reset of the line resistance compensation")
                                     : Tr("Compensation request \"%1\"")
                                           .arg((code == 1 ? cmd0 : cmd100)->text());
    if (!frmDialog::Ask(Tr("%1 of channel %2: write it to the module?").arg(action).arg(ch), title))
        return;
    Exchange x(this);
    QString reply;
    const char *what = code == 0         ? "Compensation reset of channel %1"
                       : code == 2       ? "100% compensation of channel %1"
                       : lineResLayout() ? "Line resistance compensation of channel %1"
                                         : "0% compensation of channel %1";
    AdjustmentWrite(title, 21, Fmt00(ch) + QString::number(code), reply, 3003, Tr(what).arg(ch));
}
