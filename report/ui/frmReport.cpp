#include "report/ui/frmReport.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/PassSamples.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/Settings.h"
#include "compare/ui/ModuleSnapshot.h"
#include "files/ConfigFile.h"
#include "files/FileWrite.h"
#include "files/ui/FileOps.h"
#include "report/Report.h"
#include "workflows/DownloadCheck.h"
#include "workflows/frmLoading.h"

using namespace Controls;

namespace {

const char *const kTitle = "Commissioning Report";

QHBoxLayout *withButton(QLineEdit *edit, QPushButton *button)
{
    auto *h = new QHBoxLayout;
    h->addWidget(edit, 1);
    h->addWidget(button);
    return h;
}

}  // namespace

frmReport::frmReport()
{
    setObjectName("frmReport");
    setWindowTitle(Tr(kTitle));
    txtOperator = textBox("txtOperator");
    txtNote = textBox("txtNote");
    txtNote->setMaxLength(400);
    txtPlan = textBox("txtPlan");
    txtPlan->setMaxLength(4096);
    txtFile = textBox("txtFile");
    txtFile->setMaxLength(4096);
    cmdPlan = button("cmdPlan", Tr("Browse..."));
    cmdFile = button("cmdFile", Tr("Browse..."));
    cmdWrite = button("cmdWrite", Tr("Write Report"));
    cmdExit = button("cmdExit", Tr("Cancel"));

    auto *form = new QFormLayout;
    form->addRow(Tr("Operator"), txtOperator);
    form->addRow(Tr("Note"), txtNote);
    form->addRow(Tr("Plan file (optional)"), withButton(txtPlan, cmdPlan));
    form->addRow(Tr("Report file (PDF or HTML)"), withButton(txtFile, cmdFile));
    auto *v = new QVBoxLayout(this);
    v->addWidget(heading("lblHeading", Tr(kTitle), 1.15));
    v->addLayout(form);
    v->addLayout(rightAligned({cmdWrite, cmdExit}));
    cmdWrite->setDefault(true);

    connect(cmdPlan, &QPushButton::clicked, this, [this] { cmdPlan_Click(); });
    connect(cmdFile, &QPushButton::clicked, this, [this] { cmdFile_Click(); });
    connect(cmdWrite, &QPushButton::clicked, this, [this] { cmdWrite_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    FormTextSet(this);
    resize(tw(8400), sizeHint().height());
}

frmReport::~frmReport() = default;

void frmReport::Report()
{
    if (!G().Connected && orZero(G().ModelKind) == 0) {
        MsgBox(Tr("Nothing to report: connect to a module or open a configuration file first."),
               Tr(kTitle), MsgIcon::Exclamation);
        return;
    }
    // the operator and the note of the last report
    txtOperator->setText(Settings().value("report/operator").toString());
    txtNote->setText(Settings().value("report/note").toString());
    showModal();
}

void frmReport::cmdPlan_Click()
{
    const QString name = AskFileName(FileDialog::Mode::Open, Tr("Plan file"));
    if (!name.isEmpty())
        txtPlan->setText(name);
}

void frmReport::cmdFile_Click()
{
    const QString name =
        AskFileName(FileDialog::Mode::Save, Tr(kTitle), "PDF (*.pdf);;HTML (*.html)");
    if (!name.isEmpty())
        txtFile->setText(name);
}

QList<QPair<int, QString>> frmReport::livePass()
{
    QList<QPair<int, QString>> live;
    const auto taken = connect(
        &PassSamples::instance(), &PassSamples::pass, this, [&live](const PassSample &pass) {
            for (int i = 0; i < pass.channels.size(); ++i) {
                const ChannelSample &c = pass.channels.at(i);
                live.append(
                    {i + 1, c.text.isEmpty() ? NoNumber() : (c.text + ' ' + c.unit).trimmed()});
            }
            G().MonitorRun = false;  // one pass is enough
        });
    // no Monitor menu is open over this pass
    G().MenuPause = false;
    frmLoading::Starting();
    frmLoading::Monitoring();
    frmLoading::Stopping();
    disconnect(taken);
    return live;
}

void frmReport::cmdWrite_Click()
{
    const QString title = Tr(kTitle);
    const QString path = txtFile->text().trimmed();
    const QString planPath = txtPlan->text().trimmed();
    if (path.isEmpty()) {
        MsgBox(Tr("No file name given."), title, MsgIcon::Exclamation);
        return;
    }
    // what the user typed is offered next time; a script's words are its own
    if (isVisible()) {
        Settings().setValue("report/operator", txtOperator->text());
        Settings().setValue("report/note", txtNote->text());
    }

    AppState &s = G();
    const MainPanel &panel = MainPanel::instance();
    ReportData d;
    d.version = QStringLiteral(KAVIX_VERSION);
    d.when = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss t");
    d.host = QSysInfo::machineHostName();
    d.operatorName = txtOperator->text().trimmed();
    d.note = txtNote->text().trimmed();
    d.kind = orZero(s.ModelKind);
    d.source = panel.configSource();
    d.values = ModuleSettings::of(s);
    const bool module = s.Connected;
    d.keys = module ? SettingItems::Transfer(d.kind, d.kind != 6 || s.HwOption10)
                    : SettingItems::InFile(d.kind);
    if (s.ConfigIncomplete)
        d.missing << Tr("the configuration in the window was not read whole");

    std::optional<ModuleSettings> plan;
    if (!planPath.isEmpty()) {
        d.plan = FileLabel(planPath);
        const ConfigReadResult r = ReadConfigFile(planPath);
        const int planKind = r.ok ? orZero(r.data.ModelKind) : 0;
        if (!r.ok) {
            d.missing << Tr("the plan could not be read: %1").arg(r.error);
        } else if (planKind != d.kind) {
            d.missing << Tr("%1 is for a %2 module, not for a %3 module: not compared")
                             .arg(d.plan, DownloadCheck::KindName(planKind),
                                  DownloadCheck::KindName(d.kind));
        } else {
            plan = SettingsIn(r.data);
        }
    }

    if (module) {
        d.port = panel.port();
        for (int row = 1; row <= 6; ++row)
            if (!panel.title(row).isEmpty())
                d.identity.append({panel.title(row), VisibleText(panel.data(row))});
        d.model = panel.data(1);
        d.kept = SettingItems::FileOnly(d.kind);
        d.keptValues = ModuleSettings::of(s);
        d.serial = VisibleText(panel.data(4));
        {
            Exchange x(this);
            const QString says = Tr("The report says so.");
            if (ModuleSnapshot::ModuleOfKind(d.kind, title, Tr("the configuration in the window"),
                                             says)) {
                const ModuleSnapshot::Read r = ModuleSnapshot::ReadSettings(d.kind, d.keys);
                if (r.complete) {
                    d.values = r.values;
                    d.source = Tr("Read from the module for this report");
                } else {
                    d.missing << Tr("the module stopped answering after %1 of %2 settings; the "
                                    "configuration shown is the window's")
                                     .arg(r.read.size())
                                     .arg(d.keys.size());
                }
                if (plan) {
                    d.planComparison =
                        Comparison::of(d.kind, d.keys, *plan, "plan", r.values, "module", &r.read);
                    d.planCompared = true;
                }
                if (r.complete)
                    d.live = livePass();
                if (d.live.isEmpty())
                    d.missing << Tr("the live values could not be read");
            } else {
                d.missing << Tr(
                    "the module's settings were not read; the configuration shown is "
                    "the window's");
            }
        }
        d.workKnown = true;
        d.work = Report::WorkSince(s.TraceFrom);
    } else if (plan) {
        d.planComparison = Comparison::of(d.kind, d.keys, *plan, "plan", d.values, "configuration");
        d.planCompared = true;
    }
    if (d.planCompared && d.planComparison.unknown() > 0)
        d.missing << Tr("the comparison with the plan was cut short");

    QString error;
    if (!Report::Write(path, d, &error)) {
        MsgBox(error, title, MsgIcon::Critical);
        return;
    }
    MainPanel::instance().setLastResult(Tr("Report written to %1").arg(FileLabel(path)));
    if (!d.missing.isEmpty())
        MsgBox(Tr("%1 is written but incomplete: %2.").arg(FileLabel(path), d.missing.join("; ")),
               title, MsgIcon::Exclamation);
    else if (d.planCompared && !d.planComparison.matches())
        MsgBox(Tr("The module differs from %1: %2. %3 says so on its first page.")
                   .arg(d.plan, d.planComparison.summary(), FileLabel(path)),
               title, MsgIcon::Exclamation);
    else
        Outcome::done();
    cmdExit_Click();
}
