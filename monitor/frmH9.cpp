#include "monitor/frmH9.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/Entry.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Column {
    const char *top;
    const char *bottom;
    const char *topTag;
    const char *bottomTag;
};

const Column kColumns[6] = {
    {"Ch.", "No.", "2100", "2105"},
    {"Discrete", "Input", "", ""},
    {"Discrete", "Output", "", ""},
    {"32bit", "Count", "", ""},
    {"Count", "Preset", "", ""},
    {"Count", "Rate", "", ""},
};

}  // namespace

frmH9::frmH9()
{
    setWindowTitle("H9");
    connect(&MainPanel::instance(), &MainPanel::editsChanged, this, &frmH9::markEdits);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    Frame1 = tableFrame();
    outer->addWidget(Frame1);

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    for (int c = 0; c < 6; ++c) {
        const Column &col = kColumns[c];
        lblTitle1[c] = header(indexed("lblTitle1", c), Tr(col.top), col.topTag);
        lblTitle2[c] = header(indexed("lblTitle2", c), Tr(col.bottom), col.bottomTag);
        const int at = c == 0 ? 0 : c + 1;
        grid->addWidget(lblTitle1[c], 0, at);
        grid->addWidget(lblTitle2[c], 1, at);
    }
    linSep = separator("linSep");
    grid->addWidget(linSep, 2, 0, 1, 7);
    // The channel buttons stand apart from the data they open.
    Line1 = separator("Line1");
    Line1->setFrameShape(QFrame::VLine);
    grid->addWidget(Line1, 3, 1, kChannels, 1);

    for (int ch = 1; ch <= kChannels; ++ch) {
        const int row = ch + 2;
        cmdCh[ch] = rowButton(indexed("cmdCh", ch), channelCaption(ch), 34);
        BindCommand(cmdCh[ch], "frmH9.cmdCh");
        connect(cmdCh[ch], &QPushButton::clicked, this, [this, ch] { cmdCh_Click(ch); });
        lblDI[ch] = readout(indexed("lblDI", ch), Qt::AlignHCenter, 64);
        lblDO[ch] = readout(indexed("lblDO", ch), Qt::AlignHCenter, 64);
        lbl32bit[ch] = readout(indexed("lbl32bit", ch), Qt::AlignRight, 112);
        lblPreset[ch] = readout(indexed("lblPreset", ch), Qt::AlignRight, 112);
        lblRate[ch] = readout(indexed("lblRate", ch), Qt::AlignRight, 96);
        grid->addWidget(cmdCh[ch], row, 0);
        grid->addWidget(lblDI[ch], row, 2);
        grid->addWidget(lblDO[ch], row, 3);
        grid->addWidget(lbl32bit[ch], row, 4);
        grid->addWidget(lblPreset[ch], row, 5);
        grid->addWidget(lblRate[ch], row, 6);
    }
    grid->setColumnStretch(7, 1);
    outer->addStretch(1);

    // Load: texts, then an empty table.
    FormTextSet(this);
    for (int ch = 1; ch <= kChannels; ++ch)
        for (QLabel *l : {lblDI[ch], lblDO[ch], lbl32bit[ch], lblPreset[ch], lblRate[ch]})
            l->setText(QString());
}

frmH9::~frmH9() = default;

void frmH9::H9()
{
    setMenus({{"mnuConfigCJM", false},
              {"mnuConfigCount", true},
              {"mnuAdjustment", false},
              {"mnuConfigFilter", false},
              {"mnuConfigLineNoise", false},
              {"mnuConfigBurnout", false},
              {"mnuAlarm", false}});
    setSaveEnabled(false);
    showAsDataWindow("H9");

    AppState &s = G();
    if (s.FileMode)
        fillFromState();
    // One-shot: consumed by this call whether it was set or not.
    s.FileMode = false;
}

void frmH9::fillFromState()
{
    const AppState &s = G();
    for (int ch = 1; ch <= kChannels; ++ch) {
        // a DO value other than 0 or 1 leaves the caption empty
        lblDO[ch]->setText(NameAt(s.OnOffName2, s.CountDo[ch]));
        lblPreset[ch]->setText(s.CountPreset[ch]);
    }
}

void frmH9::markEdits()
{
    const std::optional<ModuleSettings> &held = ModuleHolds();
    const ModuleSettings now = ModuleSettings::of(G());
    for (int ch = 1; ch <= kChannels; ++ch) {
        markNotDownloaded(lblDO[ch], held && held->differs(now, ModuleSettings::Part::Do, ch));
        markNotDownloaded(lblPreset[ch],
                          held && held->differs(now, ModuleSettings::Part::Preset, ch));
    }
}

void frmH9::cmdCh_Click(int ch)
{
    G().SelChannel = ch;
    Editors::CountSet();
}

QString frmH9::doText(int ch) const { return lblDO.at(ch)->text(); }
void frmH9::setDoText(int ch, const QString &text) { lblDO.at(ch)->setText(text); }
QString frmH9::presetText(int ch) const { return lblPreset.at(ch)->text(); }
void frmH9::setPresetText(int ch, const QString &text) { lblPreset.at(ch)->setText(text); }
