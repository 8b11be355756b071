#include "adjust/frmSetZeroSpan.h"

#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <optional>

using namespace AdjustUi;

frmSetZeroSpan::frmSetZeroSpan()
{
    setObjectName("frmSetZeroSpan");
    auto *v = new QVBoxLayout(this);

    Label1 = title("Label1", "Zero Adj. Setting");
    v->addWidget(Label1);

    Frame1 = frame("Frame1");
    QGridLayout *values = valueGrid(Frame1);
    lblInput = label("lblInput", "Input Real");
    lblInputreal = readout("lblInputreal");
    lblUnit3 = unit("lblUnit3");
    lblRet = label("lblRet", "Offset data");
    lblRetdata = readout("lblRetdata");
    lblUnit1 = unit("lblUnit1");
    valueRow(values, 0, lblInput, lblInputreal, lblUnit3);
    valueRow(values, 1, lblRet, lblRetdata, lblUnit1);
    v->addWidget(Frame1);

    Frame2 = frame("Frame2");
    lblReal = label("lblReal", "Real data");
    txtReal = Controls::textBox("txtReal");
    txtReal->setAlignment(Qt::AlignRight);
    txtReal->setMinimumWidth(tw(1400));
    lblUnit2 = unit("lblUnit2");
    valueRow(valueGrid(Frame2), 0, lblReal, txtReal, lblUnit2);
    v->addWidget(Frame2);

    cmdOK = button("cmdOK", "OK");
    cmdOK->setDefault(true);
    cmdExit = button("cmdExit", "Exit");
    v->addLayout(Controls::rightAligned({cmdOK, cmdExit}));

    connect(cmdOK, &QPushButton::clicked, this, &frmSetZeroSpan::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    setWindowTitle("Zero/Span Adj.");
    ownTexts(this);
}

frmSetZeroSpan::~frmSetZeroSpan() = default;

void frmSetZeroSpan::SetZeroSpan()
{
    AppState &s = G();
    const int ch = s.ZsChannel;
    const bool span = s.ZsMode != 0;

    // Below the chooser, whose controls come back however this ends.
    QPointer<frmZeroSpan> chooser = loaded<frmZeroSpan>();
    if (chooser) {
        move(chooser->frameGeometry().left(), chooser->frameGeometry().bottom() + 1);
        resize(sizeHint());
        KeepOnScreen(this, chooser);
        chooser->setControls(false);
    }
    const auto restore = qScopeGuard([chooser] {
        if (chooser)
            chooser->setControls(true);
    });

    Label1->setText(Tr(span ? "Span Adj. Setting" : "Zero Adj. Setting"));
    lblReal->setText(Tr("Real data"));
    const int kind = orZero(s.ModelKind);
    const QString u = ValueUnit(kind, s.TypeCode.at(qBound(0, ch, 16)));
    if (u.isEmpty())
        MsgBox("No Model", "Type set", MsgIcon::None);
    lblRet->setText(Tr(span ? "Span coefficient" : "Offset data"));
    lblUnit1->setText(span ? "%" : u);
    lblUnit2->setText(u);
    lblUnit3->setText(u);
    const bool mV = lblUnit2->text() == "mV";

    QPointer<frmSetZeroSpan> self = this;
    {
        // the chooser cannot be closed under these reads
        std::optional<Exchange> x;
        if (chooser)
            x.emplace(chooser);
        QString reply;
        const int item = span ? 19 : 18;
        if (!DataRead(item, ch, reply) && (AppEnding() || !self || !DataRead(item, ch, reply)))
            return;
        if (!self)
            return;
        lblRetdata->setText(NumberText(reply, !span && mV));
        if (!DataRead(3, ch, reply) || !self)
            return;
        showInput(reply);
    }
    if (AppEnding())
        return;
    showLive();
}

bool frmSetZeroSpan::readLive()
{
    QString reply;
    if (!liveRead(3, G().ZsChannel, reply))
        return false;
    showInput(reply);
    return true;
}

void frmSetZeroSpan::showInput(const QString &reply)
{
    inputReply_ = reply;
    lblInputreal->setText(NumberText(reply, lblUnit2->text() == "mV"));
}

void frmSetZeroSpan::cmdOK_Click()
{
    AppState &s = G();
    ReadNow();
    const bool span = s.ZsMode != 0;
    const QString title = LoadResString(2043);
    // A typing slip or an empty box would otherwise be sent as 0 and adjust
    // the channel to it.
    if (!RealValueOk(txtReal->text())) {
        DownloadCheck::Refuse(lblReal->text(), txtReal->text(), title);
        return;
    }
    const bool mV = lblUnit2->text() == "mV";
    double x = NumberIn(CommaToPoint(txtReal->text())).value_or(0);
    if (mV)
        x /= 1000.0;
    const QString value = Fmt00(s.ZsChannel) + Fmt3(x);
    // the value as it goes out, in the unit the user reads
    const QString real = NumberText(Fmt3(x), mV) + " " + lblUnit2->text();
    const QString question =
        (span ? Tr("Span adjustment of channel %1 to %2: write it to the module?")
              : Tr("Zero adjustment of channel %1 to %2: write it to the module?"))
            .arg(s.ZsChannel)
            .arg(real.trimmed());
    if (!frmDialog::Ask(question, title))
        return;

    Exchange ex(this);
    QString reply;
    const QString what =
        Tr(span ? "Span adjustment of channel %1" : "Zero adjustment of channel %1");
    if (!AdjustmentWrite(title, span ? 19 : 18, value, reply, span ? 3011 : 3010,
                         what.arg(s.ZsChannel)))
        return;
    lblRetdata->setText(NumberText(reply, lblUnit1->text() == "mV"));
}
