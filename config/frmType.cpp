#include "config/frmType.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/ChannelChooser.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "link/TxtBus.h"
#include "monitor/AnalogMonitor.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Controls;
using namespace EditorParts;

namespace {
const QString kTitle = QStringLiteral("Type Download");
}

frmType::frmType()
{
    setObjectName("frmType");
    setTag(this, "2041");
    setWindowTitle("Type Setting");

    Frame2 = new QGroupBox;
    Frame2->setObjectName("Frame2");
    ChannelChooser::make(Frame2, Label1, cboChannel, cmdPrev, cmdNext, "Label1", "2000");
    cboChannel->setMinimumContentsLength(3);

    Frame3 = new QGroupBox;
    Frame3->setObjectName("Frame3");
    auto *g = new QGridLayout(Frame3);
    Label4 = heading("Label4", "Type Setting", 1.0, "2041");
    Label2 = label("Label2", "Input Type", "2033");
    cboType = list("cboType");
    cboType->setMinimumContentsLength(14);
    Label5 = label("Label5", "CJC SW", "3006");
    Frame1 = new QGroupBox;
    Frame1->setObjectName("Frame1");
    auto *sw = new QHBoxLayout(Frame1);
    sw->setContentsMargins(8, 2, 8, 2);
    optionPair(optCjmSw, "optCjmSw", "OFF", "ON", sw);
    optCjmSw[0]->setChecked(true);
    cmdCopy = button("cmdCopy", "Copy");
    cmdPaste = button("cmdPaste", "Paste");
    g->addWidget(Label4, 0, 0, 1, 2);
    g->addWidget(Label2, 1, 0);
    g->addWidget(cboType, 1, 1);
    g->addWidget(Label5, 2, 0);
    g->addWidget(Frame1, 2, 1);
    g->addLayout(rightAligned({cmdCopy, cmdPaste}), 3, 0, 1, 2);
    g->setColumnStretch(1, 1);

    cmdDownload = button("cmdDownload", "Download", "2028");
    cmdExit = button("cmdExit", "Exit");

    auto *v = new QVBoxLayout(this);
    v->addWidget(Frame2);
    v->addWidget(Frame3);
    v->addLayout(rightAligned({cmdDownload, cmdExit}));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // user choices only: what the code selects runs no handler
    connect(cboChannel, &QComboBox::activated, this, [this] { cboChannel_Click(); });
    connect(cboType, &QComboBox::activated, this, [this] { cboType_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(optCjmSw[i], &QRadioButton::clicked, this, [this, i] { optCjmSw_Click(i); });
    connect(cmdPrev, &QPushButton::clicked, this, [this] { cmdPrev_Click(); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdPaste, &QPushButton::clicked, this, [this] { cmdPaste_Click(); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    // load
    FormTextSet(this);
}

frmType::~frmType() = default;

int frmType::kind() const
{
    const int k = orZero(G().ModelKind);
    return k == 1 || k == 2 || k == 6 ? k : 0;
}

int frmType::channel() const
{
    return cboChannel->currentText().toInt();
}

AnalogMonitor *frmType::monitor() const
{
    return ModuleReads::AnalogWindow(kind());
}

const QStringList &frmType::types() const
{
    return TypeNames(kind());
}

int frmType::indexOf(const QString &name) const
{
    return name.isEmpty() ? -1 : int(types().indexOf(name));
}

bool frmType::thermocouple(int index) const
{
    return ThermocoupleAt(kind(), index);
}

void frmType::showType(const QString &name)
{
    // a name not in the list shows no type at all
    cboType->setCurrentIndex(indexOf(name));
}

void frmType::setCjcEnabled(bool on)
{
    optCjmSw[0]->setEnabled(on);
    optCjmSw[1]->setEnabled(on);
    Label5->setEnabled(on);
}

int frmType::switchValue() const
{
    return optCjmSw[0]->isChecked() ? 0 : 1;
}

void frmType::updatePaste()
{
    // only a type this kind of module has can be pasted
    cmdPaste->setEnabled(indexOf(G().CopyType) >= 0);
}

void frmType::TypeSet()
{
    AppState &s = G();
    s.TypeLoading = true;
    placeBelowMain();
    const int k = kind();
    AnalogMonitor *w = monitor();
    if (!w) {
        // only the analog modules have input types
        s.TypeLoading = false;
        MsgBox("No Model", "Type set", MsgIcon::None);
        return;
    }
    if (k == 2) {
        Frame1->hide();
        Label5->hide();
    }
    const int ch = ChannelChooser::fill(cboChannel, k == 1 ? 16 : 8, s.SelChannel);

    cboType->clear();
    cboType->addItems(types());
    const QString shown = w->typeText(ch);
    if (!shown.isEmpty()) {
        showType(shown);
    } else {
        cboType->setCurrentIndex(0);
        s.TypeCode[ch] = k == 2 ? 48 : 0;
    }
    if (k != 2 && w->cjcText(ch) == "ON")
        optCjmSw[1]->setChecked(true);
    int index = ch;
    OpeDisable(index);
    updatePaste();
    s.TypeLoading = false;
    showModal();
}

void frmType::OpeDisable(int &)
{
    const AppState &s = G();
    const int i = indexOf(cboType->currentText());
    if (kind() == 1)
        setCjcEnabled(i >= 7);
    else if (kind() == 6)
        setCjcEnabled(i >= 1 && s.HwOption10);
    cmdDownload->setEnabled(s.Connected);
}

void frmType::cboChannel_Click()
{
    int ch = channel();
    AnalogMonitor *w = monitor();
    if (!w) {
        MsgBox("No Model", "Type set", MsgIcon::None);
        return;
    }
    const QString shown = w->typeText(ch);
    if (shown.isEmpty()) {
        cboType->setCurrentIndex(0);
    } else {
        showType(shown);
        if (kind() != 2 && thermocouple(indexOf(shown)))
            optCjmSw[w->cjcText(ch) == "OFF" ? 0 : 1]->setChecked(true);
    }
    OpeDisable(ch);
}

void frmType::cboType_Click()
{
    AppState &s = G();
    AnalogMonitor *w = monitor();
    const int p = cboType->currentIndex();
    if (s.TypeLoading || !w || p < 0)
        return;
    const int k = kind();
    if ((k == 1 && p < 7) || (k == 6 && (p < 1 || !s.HwOption10))) {
        setCjcEnabled(false);
    } else if (k == 1 || k == 6) {
        optCjmSw[0]->setChecked(true);
        setCjcEnabled(true);
        optCjmSw[s.CopyCjcSw == 1 ? 1 : 0]->setChecked(true);
    }

    const int ch = channel();
    w->setTypeText(ch, cboType->currentText());
    // the code's high nibble is the type class, the low one the position in it
    int high = 0;
    int low = p;
    if (k == 1 && p >= 7) {
        high = 1;
        low = p - 7;
    } else if (k == 2) {
        high = p < 6 ? 3 : 4;
        low = p < 6 ? p : p - 6;
    } else if (k == 6 && p >= 1) {
        high = 1;
        low = p - 1;
    }
    s.TypeHigh[ch] = high;
    s.TypeLow[ch] = low;
    if (k != 2)
        w->setCjcText(ch, thermocouple(p) ? (switchValue() ? "ON" : "OFF") : "");
    s.TypeCode[ch] = high * 16 + low;
    s.CjcSw[ch] = switchValue();
}

void frmType::optCjmSw_Click(int Index)
{
    AppState &s = G();
    AnalogMonitor *w = monitor();
    if (s.TypeLoading || !w)
        return;
    const int ch = channel();
    if (kind() != 2)
        w->setCjcText(ch, Index == 1 ? "ON" : "OFF");
    s.CjcSw[ch] = switchValue();
}

void frmType::cmdPrev_Click()
{
    ChannelChooser::step(cboChannel, -1);
    cboChannel_Click();
}

void frmType::cmdNext_Click()
{
    ChannelChooser::step(cboChannel, +1);
    cboChannel_Click();
}

void frmType::cmdCopy_Click()
{
    AppState &s = G();
    const int i = indexOf(cboType->currentText());
    if (i < 0)
        return;  // no type shown: nothing to copy
    s.CopyType = cboType->currentText();
    s.CopyTypeIndex = i;
    if (thermocouple(i))
        s.CopyCjcSw = switchValue();
    updatePaste();
}

void frmType::cmdPaste_Click()
{
    // Nothing copied yet, or a type of another kind of module: a name that
    // is not in this kind's list never becomes a type code.
    const int i = indexOf(G().CopyType);
    if (i < 0)
        return;
    cboType->setCurrentIndex(i);
    cboType_Click();
}

void frmType::cmdDownload_Click()
{
    AppState &s = G();
    const int k = kind();
    int ch = channel();
    if (!frmDialog::Dialog(QString("Starting download for Channel No.%1").arg(ch)))
        return;
    const int code = s.TypeCode[ch];
    const int sw = s.CjcSw[ch];
    if (!DownloadCheck::TypeCodeOk(k, code)) {
        DownloadCheck::Refuse(Tr("Input type of channel %1").arg(ch), QString::number(code),
                              kTitle);
        return;
    }
    if (k != 2 && sw != 0 && sw != 1) {
        DownloadCheck::Refuse(Tr("CJC switch of channel %1").arg(ch), QString::number(sw), kTitle);
        return;
    }
    QList<CheckedWrite> writes{{5, Fmt00(ch) + Fmt00(code), exactly(QString::number(code))}};
    if (k != 2)
        writes.append({25, Fmt00(ch) + QString::number(sw), exactly(QString::number(sw))});
    Sent sent;
    {
        Exchange x(this);
        QString value = TypeName(k, s.TypeHigh[ch], s.TypeLow[ch]);
        if (k != 2)
            value += sw ? ", CJC ON" : ", CJC OFF";
        sent = SendChecked(kTitle, writes, {Tr("Input type of channel %1").arg(ch), value});
    }
    ReportIncomplete(sent, kTitle);
    if (sent == Sent::Done)
        confirmed({ModuleSettings::Part::Type, ModuleSettings::Part::Cjc}, ch);
    // the link may have been lost meanwhile
    OpeDisable(ch);
}
