#include "monitor/AnalogMonitor.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/Entry.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "monitor/TypeNames.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum class Rule { On, Off, Keep, OffForQy8, ByOption10 };

struct MenuRow {
    const char *item;
    Rule rule[3];  // by AnalogMonitor::MenuColumn
};

// What each analog window does to the configuration menus of its kind.
const MenuRow kMenuTable[] = {
    {"mnuConfigCJM", {Rule::On, Rule::Off, Rule::Off}},
    {"mnuConfigCount", {Rule::Off, Rule::Off, Rule::Off}},
    {"mnuAdjZeroSpan", {Rule::On, Rule::On, Rule::On}},
    {"mnuAdjComp", {Rule::Off, Rule::On, Rule::Off}},
    {"mnuConfigModBus", {Rule::OffForQy8, Rule::Keep, Rule::On}},
    {"mnuConfigFilter", {Rule::On, Rule::On, Rule::On}},
    {"mnuConfigLineNoise", {Rule::Off, Rule::Off, Rule::ByOption10}},
    {"mnuConfigBurnout", {Rule::On, Rule::On, Rule::ByOption10}},
    {"mnuAlarm", {Rule::Off, Rule::Off, Rule::On}},
};

// Widths of the table columns, in pixels.
constexpr int kButtonW = 34;
constexpr int kTypeW = 138;
constexpr int kValueW = 78;
constexpr int kUnitW = 38;
constexpr int kSwitchW = 42;

enum Col { ColCh, ColType, ColReal, ColUnit1, ColRaw, ColUnit2, ColCjc, ColStatus, ColCount };

}  // namespace

AnalogMonitor::AnalogMonitor(const Layout &cfg)
    : cfg_(cfg)
{
    setObjectName(QString::fromLatin1(cfg_.form));
    setWindowTitle(QString::fromLatin1(cfg_.suffix));
    connect(&MainPanel::instance(), &MainPanel::editsChanged, this, &AnalogMonitor::markEdits);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    buildTable();
    outer->addWidget(Frame1);

    Line1 = separator("Line1");
    outer->addWidget(Line1);

    buildFooter(outer);
    outer->addStretch(1);

    // Load: texts first, then an empty table and the kind's initial state.
    FormTextSet(this);

    AppState &s = G();
    for (int ch = 1; ch <= cfg_.channels; ++ch) {
        for (QLabel *l : {lblType[ch], lblReal[ch], lblUnit1[ch], lblRaw[ch], lblUnit2[ch]})
            l->setText(QString());
        if (lblCjmSw[ch])
            lblCjmSw[ch]->setText(QString());
        if (cfg_.kind == 2) {
            // the RTD module's first type: JPt100
            s.TypeCode[ch] = 48;
            s.TypeHigh[ch] = 3;
            s.TypeLow[ch] = 0;
        } else {
            s.TypeCode[ch] = 0;
            s.TypeHigh[ch] = 0;
            s.TypeLow[ch] = 0;
            s.CjcSw[ch] = 0;
        }
    }
    lblDiscInput->setText(QString());
    lblBurnout->setText(QString());
    lblFilter->setText(QString());
    s.BurnoutType = 0;
    if (cfg_.kx7Extras) {
        lblDiscOutput->setText(QString());
        lblLineNoise->setText(QString());
        s.LineNoise = 0;
        s.FilterTime.clear();
    }
}

AnalogMonitor::~AnalogMonitor() = default;

void AnalogMonitor::buildTable()
{
    Frame1 = tableFrame();

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(2);

    // Two header rows: top row over bottom row, as the columns read.
    lblTitle1[0] = header("lblTitle1(0)", "Ch.", "2100");
    lblTitle1[1] = header("lblTitle1(1)", "Input", "2101");
    lblTitle1[2] = header("lblTitle1(2)", "Input", "2101");
    lblTitle1[3] = header("lblTitle1(3)", "Raw", "2102");
    lblTitle2[0] = header("lblTitle2(0)", "No.", "2105");
    lblTitle2[1] = header("lblTitle2(1)", "Type", "2106");
    lblTitle2[2] = header("lblTitle2(2)", "Real", "2107");
    lblTitle2[3] = header("lblTitle2(3)", "Input", "2108");
    lblTitle2[5] = header("lblTitle2(5)", "Status", "2111");
    if (cfg_.hasCjc) {
        lblTitle1[4] = header("lblTitle1(4)", "CJC", "2104");
        lblTitle2[4] = header("lblTitle2(4)", "SW", "2110");
    }
    grid->addWidget(lblTitle1[0], 0, ColCh);
    grid->addWidget(lblTitle1[1], 0, ColType);
    grid->addWidget(lblTitle1[2], 0, ColReal, 1, 2);
    grid->addWidget(lblTitle1[3], 0, ColRaw, 1, 2);
    grid->addWidget(lblTitle2[0], 1, ColCh);
    grid->addWidget(lblTitle2[1], 1, ColType);
    grid->addWidget(lblTitle2[2], 1, ColReal, 1, 2);
    grid->addWidget(lblTitle2[3], 1, ColRaw, 1, 2);
    grid->addWidget(lblTitle2[5], 1, ColStatus);
    if (cfg_.hasCjc) {
        grid->addWidget(lblTitle1[4], 0, ColCjc);
        grid->addWidget(lblTitle2[4], 1, ColCjc);
    }

    linSep = separator("linSep");
    grid->addWidget(linSep, 2, 0, 1, ColCount);

    for (int ch = 1; ch <= cfg_.channels; ++ch) {
        const int row = ch + 2;
        cmdCh[ch] = rowButton(indexed("cmdCh", ch), channelCaption(ch), kButtonW);
        connect(cmdCh[ch], &QPushButton::clicked, this, [this, ch] { cmdCh_Click(ch); });
        BindCommand(cmdCh[ch], objectName() + ".cmdCh");
        lblType[ch] = readout(indexed("lblType", ch), Qt::AlignLeft, kTypeW);
        lblReal[ch] = readout(indexed("lblReal", ch), Qt::AlignRight, kValueW);
        lblUnit1[ch] = caption(indexed("lblUnit1", ch), QString());
        lblUnit1[ch]->setFixedWidth(kUnitW);
        lblRaw[ch] = readout(indexed("lblRaw", ch), Qt::AlignRight, kValueW);
        lblUnit2[ch] = caption(indexed("lblUnit2", ch), QString());
        lblUnit2[ch]->setFixedWidth(kUnitW);
        shpOut[ch] = lamp(indexed("shpOut", ch));

        grid->addWidget(cmdCh[ch], row, ColCh);
        grid->addWidget(lblType[ch], row, ColType);
        grid->addWidget(lblReal[ch], row, ColReal);
        grid->addWidget(lblUnit1[ch], row, ColUnit1);
        grid->addWidget(lblRaw[ch], row, ColRaw);
        grid->addWidget(lblUnit2[ch], row, ColUnit2);
        if (cfg_.hasCjc) {
            lblCjmSw[ch] = readout(indexed("lblCjmSw", ch), Qt::AlignHCenter, kSwitchW);
            grid->addWidget(lblCjmSw[ch], row, ColCjc);
        }
        grid->addWidget(shpOut[ch], row, ColStatus, Qt::AlignCenter);
    }
    // Keep the columns together on the left when the frame is wider.
    grid->setColumnStretch(ColCount, 1);
}

void AnalogMonitor::buildFooter(QVBoxLayout *outer)
{
    // Contact states on the left, module settings on the right.
    auto *grid = new QGridLayout;
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    outer->addLayout(grid);

    Label2 = caption("Label2", "Trigger Input", "2035");
    lblDiscInput = readout("lblDiscInput", Qt::AlignHCenter, 56);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(lblDiscInput, 0, 1);

    Label4 = caption("Label4", "Burnout Type", "2036");
    lblBurnout = readout("lblBurnout", Qt::AlignLeft, 110);
    grid->addWidget(Label4, 0, 3);
    grid->addWidget(lblBurnout, 0, 4, 1, 2);

    Label1 = caption("Label1", Tr("Filter Time Const."));
    lblFilter = readout("lblFilter", Qt::AlignRight, 70);
    Label3 = caption("Label3", Tr("Sec."));
    grid->addWidget(Label1, 1, 3);
    grid->addWidget(lblFilter, 1, 4);
    grid->addWidget(Label3, 1, 5);

    if (cfg_.kx7Extras) {
        Label5 = caption("Label5", "Alarm Output", "2113");
        lblDiscOutput = readout("lblDiscOutput", Qt::AlignHCenter, 56);
        grid->addWidget(Label5, 1, 0);
        grid->addWidget(lblDiscOutput, 1, 1);

        Label7 = caption("Label7", Tr("Line Noise Filter Type"));
        lblLineNoise = readout("lblLineNoise", Qt::AlignLeft, 110);
        grid->addWidget(Label7, 2, 3);
        grid->addWidget(lblLineNoise, 2, 4, 1, 2);
    }
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(6, 1);
}

void AnalogMonitor::cmdCh_Click(int ch)
{
    G().SelChannel = ch;
    Editors::TypeSet();
}

namespace {
QString textOf(const QLabel *l)
{
    return l ? l->text() : QString();
}
void setTextOf(QLabel *l, const QString &text)
{
    if (l)
        l->setText(text);
}
}  // namespace

QString AnalogMonitor::typeText(int ch) const { return textOf(lblType.at(ch)); }
void AnalogMonitor::setTypeText(int ch, const QString &text) { setTextOf(lblType.at(ch), text); }
QString AnalogMonitor::cjcText(int ch) const { return textOf(lblCjmSw.at(ch)); }
void AnalogMonitor::setCjcText(int ch, const QString &text) { setTextOf(lblCjmSw.at(ch), text); }
QString AnalogMonitor::unitText(int ch, bool raw) const
{
    return textOf(raw ? lblUnit2.at(ch) : lblUnit1.at(ch));
}
QString AnalogMonitor::burnoutText() const { return textOf(lblBurnout); }
void AnalogMonitor::setBurnoutText(const QString &text) { setTextOf(lblBurnout, text); }
QString AnalogMonitor::filterText() const { return textOf(lblFilter); }
void AnalogMonitor::setFilterText(const QString &text) { setTextOf(lblFilter, text); }
QString AnalogMonitor::lineNoiseText() const { return textOf(lblLineNoise); }
void AnalogMonitor::setLineNoiseText(const QString &text) { setTextOf(lblLineNoise, text); }
QString AnalogMonitor::alarmText() const { return textOf(lblDiscOutput); }
void AnalogMonitor::setAlarmState(int state)
{
    if (lblDiscOutput)
        ShowOnOffValue(lblDiscOutput, state);
}

void AnalogMonitor::applyMenus()
{
    const AppState &s = G();
    const int column = static_cast<int>(cfg_.menus);
    for (const MenuRow &row : kMenuTable) {
        bool on = false;
        switch (row.rule[column]) {
        case Rule::Keep:
            continue;
        case Rule::On:
            on = true;
            break;
        case Rule::Off:
            on = false;
            break;
        case Rule::OffForQy8:
            // the QY8 variant of the module has no Modbus side
            on = MainPanel::instance().data(1) != s.ModelName[7];
            break;
        case Rule::ByOption10:
            on = s.HwOption10;
            break;
        }
        Commands::instance().set(QString::fromLatin1(row.item), on);
    }
}

void AnalogMonitor::display()
{
    applyMenus();
    // While the cycle runs the Save commands stay as the cycle left them.
    if (!G().MonitorRun)
        setSaveEnabled(true);
    // Without a module the editors change the configuration in hand (a
    // file to prepare, also after a disconnect); what talks to a module waits.
    if (!G().Connected)
        setMenus({{"mnuConfig", true},
                  {"mnuConfigModBus", false},
                  {"mnuConfigCJM", false},
                  {"mnuConfigUpload", false},
                  {"mnuConfigDownload", false}});
    showAsDataWindow(QString::fromLatin1(cfg_.suffix));

    // Otherwise the labels keep what the workflows wrote.
    if (!G().FileMode)
        return;
    fillFromState();
    G().FileMode = false;
}

void AnalogMonitor::markEdits()
{
    using P = ModuleSettings::Part;
    const std::optional<ModuleSettings> &held = ModuleHolds();
    const ModuleSettings now = ModuleSettings::of(G());
    const auto mark = [&](QLabel *l, P part, int ch) {
        markNotDownloaded(l, held && held->differs(now, part, ch));
    };
    for (int ch = 1; ch <= cfg_.channels; ++ch) {
        mark(lblType[ch], P::Type, ch);
        mark(lblCjmSw[ch], P::Cjc, ch);
    }
    mark(lblBurnout, P::Burnout, 0);
    mark(lblFilter, P::Filter, 0);
    mark(lblLineNoise, P::LineNoise, 0);
}

void AnalogMonitor::fillFromState(const ModuleSettings *was)
{
    AppState &s = G();
    using P = ModuleSettings::Part;
    const ModuleSettings now = ModuleSettings::of(s);
    // every label, or those whose setting changed
    const auto changed = [&](P part, int ch = 0) { return !was || was->differs(now, part, ch); };
    for (int ch = 1; ch <= cfg_.channels; ++ch) {
        if (!changed(P::Type, ch) && !changed(P::Cjc, ch))
            continue;
        TypeCodeSplit(ch, s.TypeCode[ch]);
        lblType[ch]->setText(TypeNameFor(cfg_.kind, ch));
        if (lblCjmSw[ch])
            lblCjmSw[ch]->setText(CjcText(ch));
    }
    if (changed(P::Burnout))
        lblBurnout->setText(NameAt(s.BurnoutName, s.BurnoutType));
    if (lblLineNoise && changed(P::LineNoise))
        lblLineNoise->setText(NameAt(s.LineNoiseName, orZero(s.LineNoise)));
    // A file may hold "2,5", typed with a decimal comma: it is 2.5 all the same.
    if (changed(P::Filter))
        lblFilter->setText(NumberText(CommaToPoint(s.FilterTime)));
    if (lblDiscOutput && changed(P::Alarm))
        ShowOnOffValue(lblDiscOutput, s.AlarmOut);
}
