#include "counting/frmCount.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/ChannelChooser.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "counting/PresetBox.h"
#include "link/TxtBus.h"
#include "monitor/frmH9.h"
#include "workflows/DownloadCheck.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kChannels = frmH9::kChannels;
const char *const kTitle = "Count Download";

}  // namespace

using namespace Controls;
using namespace EditorParts;

frmCount::frmCount()
{
    setObjectName("frmCount");
    setTag(this, "2047");
    auto *outer = new QVBoxLayout(this);

    Label4 = heading("Label4", "Count Setting", 1.25, "2047");
    outer->addWidget(Label4);

    Frame2 = new QGroupBox;
    Frame2->setObjectName("Frame2");
    ChannelChooser::make(Frame2, Label1, cboChannel, cmdPrev, cmdNext, "Label1", "2000");
    outer->addWidget(Frame2);

    Frame3 = new QGroupBox;
    Frame3->setObjectName("Frame3");
    auto *mid = new QGridLayout(Frame3);
    Frame1 = new QGroupBox("DO");
    Frame1->setObjectName("Frame1");
    optionPair(optDO, "optDO", "OFF", "ON", new QHBoxLayout(Frame1));
    Label5 = label("Label5", "Count  Preset");
    txtPreset = new QLineEdit("999999999");
    txtPreset->setObjectName("txtPreset");
    txtPreset->setAlignment(Qt::AlignRight);
    cmdCopy = button("cmdCopy", "Copy");
    cmdPaste = button("cmdPaste", "Paste");
    mid->addWidget(Frame1, 0, 0, 1, 2);
    mid->addWidget(Label5, 1, 0);
    mid->addWidget(txtPreset, 1, 1);
    mid->addLayout(rightAligned({cmdCopy, cmdPaste}), 2, 0, 1, 2);
    outer->addWidget(Frame3);

    cmdDownload = button("cmdDownload", "Download", "2028");
    cmdExit = button("cmdExit", "Exit");
    outer->addLayout(rightAligned({cmdDownload, cmdExit}));
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(cboChannel, &QComboBox::currentIndexChanged, this, &frmCount::cboChannel_Click);
    connect(cmdPrev, &QPushButton::clicked, this, &frmCount::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCount::cmdNext_Click);
    for (int i = 0; i < 2; ++i) {
        connect(optDO[i], &QRadioButton::clicked, this, [this, i] { optDO_Click(i); });
        connect(optDO[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optDO_Click(i);
        });
    }
    connect(txtPreset, &QLineEdit::textChanged, this, &frmCount::txtPreset_Change);
    connect(cmdCopy, &QPushButton::clicked, this, &frmCount::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmCount::cmdPaste_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmCount::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCount::cmdExit_Click);

    FormTextSet(this);
}

frmCount::~frmCount() = default;

void frmCount::CountSet()
{
    AppState &s = G();
    s.CountLoading = true;
    placeBelowMain();
    showChannel(ChannelChooser::fill(cboChannel, kChannels, s.SelChannel));
    s.CountLoading = false;
    showModal();
}

int frmCount::channel() const
{
    const int ch = cboChannel->currentText().toInt();
    return ch >= 1 && ch <= kChannels ? ch : 1;
}

void frmCount::showChannel(int ch)
{
    frmH9 *h9 = form<frmH9>();
    const QString d = h9->doText(ch);
    const bool off = d.isEmpty() || d == NameAt(G().OnOffName2, 0);
    optDO[off ? 0 : 1]->setChecked(true);
    txtPreset->setText(h9->presetText(ch));
}

void frmCount::cboChannel_Click()
{
    if (cboChannel->currentIndex() >= 0)
        showChannel(channel());
}

void frmCount::cmdPrev_Click()
{
    ChannelChooser::step(cboChannel, -1);
}

void frmCount::cmdNext_Click()
{
    ChannelChooser::step(cboChannel, +1);
}

void frmCount::optDO_Click(int index)
{
    AppState &s = G();
    if (s.CountLoading)
        return;
    const int ch = channel();
    form<frmH9>()->setDoText(ch, index == 1 ? "ON" : "OFF");
    s.CountDo[ch] = optDO[0]->isChecked() ? 0 : 1;
}

void frmCount::txtPreset_Change()
{
    AppState &s = G();
    if (s.CountLoading)
        return;
    if (!PresetBox::Change(txtPreset))
        return;
    const int ch = channel();
    form<frmH9>()->setPresetText(ch, txtPreset->text());
    s.CountPreset[ch] = txtPreset->text();
}

void frmCount::cmdCopy_Click()
{
    AppState &s = G();
    s.CopyCountMode = optDO[0]->isChecked() ? 0 : 1;
    s.CopyPreset = txtPreset->text();
}

void frmCount::cmdPaste_Click()
{
    const AppState &s = G();
    const int index = s.CopyCountMode != 0 ? 1 : 0;
    optDO[index]->setChecked(true);
    optDO_Click(index);
    txtPreset->setText(s.CopyPreset);
}

void frmCount::cmdDownload_Click()
{
    AppState &s = G();
    const int ch = channel();
    if (!frmDialog::Dialog("Starting download for Channel No." + QString::number(ch)))
        return;
    if (!DownloadCheck::CounterChannelOk(ch, kTitle))
        return;
    const QString preset = s.CountPreset[ch];
    const QString d = QString::number(s.CountDo[ch]);
    Sent sent;
    {
        Exchange x(this);
        sent = SendChecked(
            kTitle, {{7, Fmt00(ch) + d, exactly(d)}, {9, Fmt00(ch) + preset, exactly(preset)}},
            {Tr("Count setting of channel %1").arg(ch), "DO " + d + ", preset " + preset});
    }
    ReportIncomplete(sent, kTitle);
    if (sent == Sent::Done)
        confirmed({ModuleSettings::Part::Do, ModuleSettings::Part::Preset}, ch);
}
