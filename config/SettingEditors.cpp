#include "config/SettingEditors.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "link/TxtBus.h"
#include "monitor/AnalogMonitor.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Controls;
using namespace EditorParts;

namespace {

QString num(int v)
{
    return QString::number(v);
}

// A setting of 0, 1 or 2 that came from a module or a file.
bool oneOfThree(int v, int id, const QString &title)
{
    return (v >= 0 && v <= 2) || DownloadCheck::Refuse(LoadResString(id), num(v), title);
}

// clang-format off
const SettingEditor::Config kBurnout{
    "frmBurnout", "2036", "lblBurnout", "Burnout Type", "2036",
    SettingEditor::Control::List, "cboBurnout",
    [] { return QStringList{LoadResString(2037), LoadResString(2038), LoadResString(2039)}; },
    nullptr, false,
    [](AnalogMonitor *w) { return w->burnoutText(); },
    [](AnalogMonitor *w, int, const QString &text) { w->setBurnoutText(text); },
    // anything but None and Up is Down
    [](int index, const QString &) { G().BurnoutType = index == 0 ? 0 : index == 1 ? 1 : 2; },
    [](int, const QString &, const QString &title) { return oneOfThree(G().BurnoutType, 2036, title); },
    [](int kind, int, const QString &) {
        const QString type = num(G().BurnoutType);
        QList<CheckedWrite> w;
        // per channel on the first two kinds, one setting for the whole module on kind 6
        const int channels = kind == 1 ? 16 : kind == 2 ? 8 : 0;
        for (int ch = 1; ch <= channels; ++ch)
            w.append({20, Fmt00(ch) + type, exactly(type)});
        if (!channels)
            w.append({20, type, exactly(type)});
        return w;
    },
    "Starting download for Burnout Type.", "Cfg. Download", false, "Burnout type",
    ModuleSettings::Part::Burnout};

const SettingEditor::Config kFilter{
    "frmTimeCon", "2048", "lblFilter", "Filter Time Const.", "2048",
    SettingEditor::Control::Text, "txtFilter", [] { return QStringList{}; }, "Sec.", false,
    // the text the configuration holds, not the monitor's formatted label
    [](AnalogMonitor *) { return G().FilterTime; },
    [](AnalogMonitor *w, int, const QString &text) { w->setFilterText(text); },
    [](int, const QString &text) { G().FilterTime = CommaToPoint(text); },
    // An empty text would go out as a bare read line, anything not a number
    // as it is: neither is sent. The range is the module's to judge.
    [](int, const QString &text, const QString &title) {
        return DownloadCheck::FilterTextOk(text) ||
               DownloadCheck::Refuse(LoadResString(2048), text, title);
    },
    [](int, int, const QString &) {
        // sent with a point; equal when both read the same with one decimal
        const QString sent = G().FilterTime;
        const auto same = [sent](const QString &payload) {
            const auto a = NumberIn(sent);
            const auto b = NumberIn(payload);
            return a && b && QString::number(*a, 'f', 1) == QString::number(*b, 'f', 1);
        };
        return QList<CheckedWrite>{{16, sent, same}};
    },
    "Starting download for Filter Time Const.", "Filter Download", true, "Filter time",
    ModuleSettings::Part::Filter};

const SettingEditor::Config kLineNoise{
    "frmLineNoise", "2049", "lblLineNoise", "Line Noise Filter Type", nullptr,
    SettingEditor::Control::List, "cboLineNoise", [] { return G().LineNoiseName; }, nullptr, true,
    [](AnalogMonitor *w) { return w->lineNoiseText(); },
    [](AnalogMonitor *w, int, const QString &text) { w->setLineNoiseText(text); },
    [](int index, const QString &) { G().LineNoise = index == 0 ? 0 : index == 1 ? 1 : 2; },
    [](int, const QString &, const QString &title) {
        return oneOfThree(orZero(G().LineNoise), 2049, title);
    },
    [](int, int, const QString &) {
        const int v = orZero(G().LineNoise);
        return QList<CheckedWrite>{{15, Fmt00(v), exactly(num(v))}};
    },
    "Starting download for Line Noise Filter Type.", "Cfg. Download", false,
    "Line noise filter", ModuleSettings::Part::LineNoise};

const SettingEditor::Config kAlarm{
    "frmAlarm", "2113", "lblAlarm", "Alarm Output Set", nullptr,
    SettingEditor::Control::Options, "optAlarm", [] { return QStringList{"OFF", "ON"}; }, nullptr,
    true,
    [](AnalogMonitor *w) { return w->alarmText(); },
    [](AnalogMonitor *w, int index, const QString &) { w->setAlarmState(index); },
    // the editor leaves AlarmOut to the transfer and the monitoring cycle
    nullptr,
    [](int index, const QString &, const QString &title) {
        return index >= 0 || DownloadCheck::Refuse(LoadResString(2113), QString(), title);
    },
    [](int, int index, const QString &) {
        // contact 01 and its state; the reply read as a number
        const QString state = num(index == 0 ? 0 : 1);
        const auto same = [state](const QString &payload) {
            const auto p = NumberIn(payload);
            return p && float(*p) == state.toFloat();
        };
        return QList<CheckedWrite>{{7, "01" + state, same}};
    },
    "Starting download for Discrete Output.", "Alarm Output Download", false,
    "Alarm output", ModuleSettings::Part::Alarm};
// clang-format on

}  // namespace

SettingEditor::SettingEditor(const Config &cfg) : cfg_(cfg)
{
    setObjectName(cfg_.form);
    setTag(this, cfg_.titleTag);

    Frame3 = new QGroupBox;
    Frame3->setObjectName("Frame3");
    auto *g = new QGridLayout(Frame3);
    heading = label(cfg_.headingName, cfg_.heading, cfg_.headingTag ? cfg_.headingTag : "");
    g->addWidget(heading, 0, 0);
    const QString name = cfg_.valueName;
    switch (cfg_.control) {
        case Control::List:
            list = Controls::list(name, cfg_.choices());
            list->setMinimumContentsLength(12);
            g->addWidget(list, 0, 1);
            connect(list, &QComboBox::activated, this, [this](int i) { choice_Click(i); });
            break;
        case Control::Text:
            text = textBox(name);
            text->setFixedWidth(90);
            text->setAlignment(Qt::AlignRight);
            g->addWidget(text, 0, 1);
            break;
        case Control::Options: {
            auto *row = new QHBoxLayout;
            const QStringList captions = cfg_.choices();
            optionPair(options, name, captions.value(0), captions.value(1), row);
            for (int i = 0; i < 2; ++i)
                connect(options[i], &QRadioButton::clicked, this, [this, i] { choice_Click(i); });
            g->addLayout(row, 0, 1);
            break;
        }
    }
    if (cfg_.unit) {
        unit = label("Label1", cfg_.unit);
        g->addWidget(unit, 0, 2);
    }
    g->setColumnStretch(3, 1);

    cmdDownload = button("cmdDownload", "Download", "2028");
    cmdExit = button("cmdExit", "Exit");
    auto *v = new QVBoxLayout(this);
    v->addWidget(Frame3);
    v->addLayout(rightAligned({cmdDownload, cmdExit}));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    // load
    FormTextSet(this);
}

SettingEditor::~SettingEditor() = default;

AnalogMonitor *SettingEditor::monitor() const
{
    const int kind = orZero(G().ModelKind);
    if (cfg_.kx7Only && kind != 6)
        return nullptr;
    return ModuleReads::AnalogWindow(kind);
}

int SettingEditor::chosen() const
{
    if (list)
        return list->currentIndex();
    if (options[0])
        return options[0]->isChecked() ? 0 : options[1]->isChecked() ? 1 : -1;
    return -1;
}

QString SettingEditor::chosenText() const
{
    if (text)
        return text->text();
    if (list)
        return list->currentText();
    return chosen() >= 0 ? options[chosen()]->text() : QString();
}

void SettingEditor::open()
{
    placeBelowMain();
    // the kinds without the setting show nothing chosen
    if (AnalogMonitor *w = monitor()) {
        const QString shown = cfg_.shown(w);
        // the label as it reads (the filter's may be formatted)
        openedText_ = text ? w->filterText() : shown;
        switch (cfg_.control) {
            case Control::List:
                list->setCurrentIndex(shown.isEmpty() ? 0
                                                      : list->findText(shown, Qt::MatchExactly));
                break;
            case Control::Text: text->setText(shown); break;
            case Control::Options:
                options[shown == options[0]->text() ? 0 : 1]->setChecked(true);
                break;
        }
    } else if (list) {
        list->setCurrentIndex(-1);
    }
    OpeDisable();
    showModal();
}

void SettingEditor::OpeDisable()
{
    cmdDownload->setEnabled(G().Connected);
}

void SettingEditor::choice_Click(int index)
{
    if (index < 0)
        return;
    const QString t = chosenText();
    if (AnalogMonitor *w = monitor())
        cfg_.show(w, index, t);
    if (cfg_.store)
        cfg_.store(index, t);
}

void SettingEditor::takeText()
{
    if (!cfg_.textOnExit)
        return;
    if (AnalogMonitor *w = monitor())
        cfg_.show(w, -1, text->text());
    cfg_.store(-1, text->text());
}

void SettingEditor::discardEdits()
{
    EditorDialog::discardEdits();
    // the label as it was when the window opened (also the alarm output,
    // which has no state field to put back)
    if (AnalogMonitor *w = monitor())
        cfg_.show(w, options[1] && openedText_ == options[1]->text() ? 1 : 0, openedText_);
}

void SettingEditor::cmdExit_Click()
{
    takeText();
    EditorDialog::cmdExit_Click();
}

void SettingEditor::cmdDownload_Click()
{
    const QString title = cfg_.failTitle;
    if (!frmDialog::Dialog(cfg_.question))
        return;
    takeText();
    const int index = chosen();
    const QString t = chosenText();
    if (!cfg_.valueOk(index, t, title))
        return;
    const QList<CheckedWrite> writes = cfg_.writes(orZero(G().ModelKind), index, t);
    Sent sent;
    {
        Exchange x(this);
        // the filter's text as it went out, with its unit
        const QString value = text ? G().FilterTime + " s" : t;
        sent = SendChecked(title, writes, {Tr(cfg_.what), value});
    }
    ReportIncomplete(sent, title);
    if (sent == Sent::Done) {
        confirmed({cfg_.part});
        if (AnalogMonitor *w = monitor())
            openedText_ = text ? w->filterText() : cfg_.shown(w);
    }
    OpeDisable();
}

frmBurnout::frmBurnout() : SettingEditor(kBurnout) {}
frmTimeCon::frmTimeCon() : SettingEditor(kFilter) {}
frmLineNoise::frmLineNoise() : SettingEditor(kLineNoise) {}
frmAlarm::frmAlarm() : SettingEditor(kAlarm) {}
