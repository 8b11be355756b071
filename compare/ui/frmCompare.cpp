#include "compare/ui/frmCompare.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "compare/ui/ModuleSnapshot.h"
#include "files/ConfigFile.h"
#include "files/ui/FileOps.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

using namespace Controls;

namespace {

enum Column { Mark, Setting, Channel, Left, Right, Result, Columns };

// The configuration in the window, and where it came from.
QString windowHeading()
{
    const MainPanel &panel = MainPanel::instance();
    const QString source = panel.edited()              ? Tr("edited")
                           : !G().FileName.isEmpty()   ? QFileInfo(G().FileName).fileName()
                           : ModuleHolds().has_value() ? Tr("module")
                                                       : panel.configSource();
    return Tr("Window (%1)").arg(source);
}

}  // namespace

frmCompare::frmCompare()
{
    setObjectName("frmCompare");
    lblHeading = heading("lblHeading", QString(), 1.15);
    lblSides = label("lblSides");
    grdSettings = new QTableWidget(0, Columns);
    grdSettings->setObjectName("grdSettings");
    grdSettings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdSettings->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdSettings->verticalHeader()->hide();
    grdSettings->verticalHeader()->setDefaultSectionSize(grdSettings->fontMetrics().height() + 6);
    grdSettings->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdSettings->horizontalHeader()->setStretchLastSection(true);
    lblSummary = label("lblSummary");
    QFont bold = lblSummary->font();
    bold.setBold(true);
    lblSummary->setFont(bold);

    cmdPlan = button("cmdPlan", Tr("Compare with File..."));
    cmdDownload = button("cmdDownload", Tr("Download the differences"));
    cmdTake = button("cmdTake", Tr("Take the module's values"));
    cmdCopy = button("cmdCopy", Tr("Copy"));
    cmdExit = button("cmdExit", Tr("Close"));

    auto *v = new QVBoxLayout(this);
    v->addWidget(lblHeading);
    v->addWidget(lblSides);
    v->addWidget(grdSettings, 1);
    v->addWidget(lblSummary);
    v->addLayout(rightAligned({cmdPlan, cmdDownload, cmdTake, cmdCopy, cmdExit}));

    connect(cmdPlan, &QPushButton::clicked, this, [this] { cmdPlan_Click(); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdTake, &QPushButton::clicked, this, [this] { cmdTake_Click(); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    FormTextSet(this);
    resize(tw(11000), tw(7600));
}

frmCompare::~frmCompare() = default;

void frmCompare::setMode(Mode mode)
{
    mode_ = mode;
    const bool module = mode == Mode::Module;
    const QString title = module ? Tr("Compare with Module") : Tr("Compare Files");
    setWindowTitle(title);
    lblHeading->setText(title);
    for (QPushButton *b : {cmdPlan, cmdDownload, cmdTake}) b->setVisible(module);
}

bool frmCompare::readFile(const QString &title, QString *name, int *kind, ModuleSettings *values)
{
    *name = AskFileName(FileDialog::Mode::Open, title);
    if (name->isEmpty())
        return false;
    const ConfigReadResult r = ReadConfigFile(*name);
    if (!r.ok) {
        MsgBox(r.error, title, MsgIcon::Critical);
        return false;
    }
    *kind = orZero(r.data.ModelKind);
    *values = SettingsIn(r.data);
    return true;
}

void frmCompare::CompareModule()
{
    setMode(Mode::Module);
    const QString title = windowTitle();
    AppState &s = G();
    if (!s.Connected) {
        MsgBox(Tr("Not connected to a module: use connect first."), title, MsgIcon::Exclamation);
        return;
    }
    kind_ = orZero(s.ModelKind);
    {
        Exchange x(this);
        if (!ModuleSnapshot::ModuleOfKind(kind_, title, Tr("the configuration in the window"),
                                          Tr("Nothing was compared.")))
            return;
        option10_ = kind_ != 6 || s.HwOption10;
        keys_ = SettingItems::Transfer(kind_, option10_);
        if (keys_.isEmpty()) {
            MsgBox(
                Tr("A %1 module holds no settings to compare.").arg(DownloadCheck::KindName(kind_)),
                title, MsgIcon::Information, MsgOutcome::Note);
            Outcome::done();
            return;
        }
        left_ = ModuleSettings::of(s);
        leftIsWindow_ = true;
        leftHeading_ = windowHeading();
        rightHeading_ = Tr("Module %1").arg(s.LineModel);
        const ModuleSnapshot::Read r = ModuleSnapshot::ReadSettings(kind_, keys_);
        right_ = r.values;
        read_ = r.read;
        compared_ = r.complete;
    }
    lblSides->setText(Tr("Module %1, serial number %2")
                          .arg(s.LineModel, VisibleText(MainPanel::instance().data(4))));
    compare();
    MainPanel::instance().setLastResult(comparison_.summary());
    if (!compared_)
        MsgBox(Tr("The module stopped answering: %1 of %2 settings were read.")
                   .arg(read_.size())
                   .arg(keys_.size()),
               title, MsgIcon::Critical);
    else if (comparison_.outside())
        MsgBox(Tr("The module reports settings outside their lists (marked). Nothing is written "
                  "from this comparison; Download writes the whole configuration."),
               title, MsgIcon::Exclamation);
    else
        Outcome::done();
    showModal();
}

void frmCompare::CompareFiles()
{
    setMode(Mode::Files);
    const QString title = windowTitle();
    QString a, b;
    int ka = 0, kb = 0;
    if (!readFile(Tr("Compare Files: first file"), &a, &ka, &left_) ||
        !readFile(Tr("Compare Files: second file"), &b, &kb, &right_))
        return;
    const QString na = QFileInfo(a).fileName();
    const QString nb = QFileInfo(b).fileName();
    if (ka != kb) {
        MsgBox(Tr("%1 holds a %2 configuration and %3 a %4 configuration: files of different "
                  "kinds are not compared.")
                   .arg(na, DownloadCheck::KindName(ka), nb, DownloadCheck::KindName(kb)),
               title, MsgIcon::Exclamation);
        return;
    }
    kind_ = ka;
    keys_ = SettingItems::InFile(kind_);
    leftHeading_ = na;
    rightHeading_ = nb;
    lblSides->setText(Tr("Configurations for a %1 module").arg(DownloadCheck::KindName(kind_)));
    compared_ = true;
    compare();
    MainPanel::instance().setLastResult(comparison_.summary());
    Outcome::done();
    showModal();
}

void frmCompare::cmdPlan_Click()
{
    const QString title = Tr("Compare with File");
    QString name;
    int kind = 0;
    ModuleSettings values;
    if (!readFile(title, &name, &kind, &values))
        return;
    const QString shortName = QFileInfo(name).fileName();
    if (!ModuleSnapshot::OfKind(kind, windowTitle(), shortName, Tr("Nothing was compared.")))
        return;
    // a pulse counter's file keeps only its reference and Modbus settings
    if (kind == 5) {
        MsgBox(Tr("%1 holds no counter settings to compare with the module.").arg(shortName), title,
               MsgIcon::Exclamation);
        return;
    }
    left_ = values;
    leftIsWindow_ = false;
    planName_ = shortName;
    leftHeading_ = Tr("File %1").arg(shortName);
    results_.clear();
    compare();
    MainPanel::instance().setLastResult(comparison_.summary());
    if (compared_ && !comparison_.outside())
        Outcome::done();
}

void frmCompare::cmdDownload_Click()
{
    const QString title = Tr("Download the differences");
    QSet<SettingKey> keys;
    for (const CompareRow &row : comparison_.rows)
        if (row.differs)
            keys.insert(row.key);
    if (keys.isEmpty() || !compared_ || comparison_.outside())
        return;
    const int n = int(keys.size());
    if (!frmDialog::Dialog(n == 1 ? Tr("Starting download for 1 setting that differs.")
                                  : Tr("Starting download for %1 settings that differ.").arg(n)))
        return;
    if (!DownloadCheck::SettingsOk(kind_, title, left_))
        return;
    QSet<SettingKey> done;
    {
        Exchange x(this);
        if (!ModuleSnapshot::ModuleOfKind(
                kind_, title, leftIsWindow_ ? Tr("the configuration in the window") : planName_,
                Tr("Nothing was written.")))
            return;
        done = ModuleSnapshot::WriteSettings(kind_, left_, option10_, keys);
    }
    for (const SettingKey &key : keys) {
        if (done.contains(key))
            right_.take(left_, key.part, key.ch);
        results_.insert(key, done.contains(key) ? Tr("written, verified") : Tr("not written"));
    }
    ModuleSnapshot::ModuleNowHolds(left_, done);
    compare();
    // a configuration from a file is the module's now, as after a whole download
    if (!ModuleHolds() && leftIsWindow_ && comparison_.matches())
        MainPanel::instance().moduleHoldsAll();
    if (done.size() < keys.size()) {
        MainPanel::instance().setLastResult(LoadResString(3003));
        MsgBox(LoadResString(3003), title, MsgIcon::Critical);
        return;
    }
    MainPanel::instance().setLastResult(
        Tr("Downloaded %1 differing settings, each verified").arg(n));
    Outcome::done();
}

void frmCompare::cmdTake_Click()
{
    if (!compared_ || comparison_.outside())
        return;
    AppState &s = G();
    const ModuleSettings was = ModuleSettings::of(s);
    ModuleSettings taken = was;
    for (const SettingKey &key : keys_) taken.take(right_, key.part, key.ch);
    taken.putInto(s);
    ConfigFromModule();
    s.ConfigIncomplete = false;
    ModuleReads::ShowSettings(was);
    MainPanel::instance().moduleHoldsAll();
    MainPanel::instance().setLastResult(Tr("Took the module's values"));
    left_ = taken;
    leftIsWindow_ = true;
    leftHeading_ = windowHeading();
    compare();
    Outcome::done();
}

void frmCompare::cmdCopy_Click()
{
    QStringList lines;
    QStringList heading;
    for (int c = 0; c < Columns; ++c) heading << grdSettings->horizontalHeaderItem(c)->text();
    lines << heading.join('\t');
    for (int r = 0; r < grdSettings->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < Columns; ++c) cells << grdSettings->item(r, c)->text();
        lines << cells.join('\t');
    }
    lines << lblSummary->text();
    QGuiApplication::clipboard()->setText(lines.join('\n') + '\n');
    Outcome::done();
}

void frmCompare::compare()
{
    const bool module = mode_ == Mode::Module;
    comparison_ = Comparison::of(kind_, keys_, left_,
                                 module ? (leftIsWindow_ ? "configuration" : "file") : "first",
                                 right_, module ? "module" : "second", module ? &read_ : nullptr);
    for (CompareRow &row : comparison_.rows) row.result = results_.value(row.key);
    showTable();
}

void frmCompare::showTable()
{
    grdSettings->setHorizontalHeaderLabels(
        {QString(), Tr("Setting"), Tr("Channel"), leftHeading_, rightHeading_, Tr("Result")});
    grdSettings->setRowCount(int(comparison_.rows.size()));
    const QColor differs(255, 222, 218);
    const QColor unknown(236, 236, 236);
    for (int r = 0; r < comparison_.rows.size(); ++r) {
        const CompareRow &row = comparison_.rows.at(r);
        const QString mark = !row.known    ? QStringLiteral("?")
                             : row.differs ? QStringLiteral("≠")
                                           : QString();
        const QString cells[Columns] = {mark,
                                        Tr(Compare::SettingName(row.key)),
                                        row.key.ch > 0 ? QString::number(row.key.ch) : QString(),
                                        row.left,
                                        row.known ? row.right : Tr("not read"),
                                        row.outside ? Tr("outside the list") : row.result};
        for (int c = 0; c < Columns; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (row.differs || !row.known)
                item->setBackground(row.differs ? differs : unknown);
            grdSettings->setItem(r, c, item);
        }
    }
    lblSummary->setText(comparison_.summary());
    updateButtons();
}

void frmCompare::updateButtons()
{
    const bool usable = compared_ && !comparison_.outside();
    cmdDownload->setEnabled(usable && comparison_.differing() > 0 && G().Connected);
    cmdTake->setEnabled(usable);
    cmdPlan->setEnabled(compared_);
}
