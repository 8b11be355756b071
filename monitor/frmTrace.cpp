#include "monitor/frmTrace.h"

#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "files/FileWrite.h"
#include "files/ui/FileOps.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

// ---- model

TraceModel::TraceModel(QObject *parent) : QAbstractTableModel(parent)
{
    connect(&LineTrace::instance(), &LineTrace::cleared, this, [this] {
        beginResetModel();
        rows_.clear();
        seen_ = LineTrace::instance().nextSeq();
        endResetModel();
    });
    seen_ = LineTrace::instance().firstSeq();
}

int TraceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TraceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColCount;
}

const LineTrace::Entry *TraceModel::entry(int row) const
{
    if (row < 0 || row >= int(rows_.size()))
        return nullptr;
    return LineTrace::instance().find(rows_[size_t(row)]);
}

QVariant TraceModel::data(const QModelIndex &index, int role) const
{
    const LineTrace::Entry *e = entry(index.row());
    if (!e)
        return QVariant();
    if (role == Qt::ForegroundRole)
        return LineTrace::isError(*e) ? QVariant(QColor(Qt::red)) : QVariant();
    if (role == Qt::TextAlignmentRole && index.column() == ColMs)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case ColTime: return LineTrace::timeText(*e);
    case ColCommand: return LineTrace::visible(e->command);
    case ColReply: return LineTrace::visible(e->reply);
    case ColMs: return LineTrace::roundTripText(*e);
    case ColResult: return LineTrace::resultText(*e, true);
    case ColMeaning: return LineTrace::meaning(*e, true);
    default: return QVariant();
    }
}

QVariant TraceModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *names[] = {"Time", "Command", "Reply", "ms", "Result", "Meaning"};
    return section >= 0 && section < ColCount ? Tr(names[section]) : QVariant();
}

bool TraceModel::passes(const LineTrace::Entry &e) const
{
    switch (filter_) {
    case Filter::Errors: return LineTrace::isError(e);
    case Filter::Item: return e.item == item_ && e.result != LineTrace::Result::LateInput;
    default: return true;
    }
}

void TraceModel::sync()
{
    const LineTrace &t = LineTrace::instance();
    // Entries that left the ring leave the view from the top.
    size_t gone = 0;
    while (gone < rows_.size() && rows_[gone] < t.firstSeq())
        ++gone;
    if (gone > 0) {
        beginRemoveRows(QModelIndex(), 0, int(gone) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + long(gone));
        endRemoveRows();
    }
    std::vector<quint64> fresh;
    for (quint64 seq = std::max(seen_, t.firstSeq()); seq < t.nextSeq(); ++seq)
        if (passes(*t.find(seq)))
            fresh.push_back(seq);
    seen_ = t.nextSeq();
    if (fresh.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows(QModelIndex(), first, first + int(fresh.size()) - 1);
    rows_.insert(rows_.end(), fresh.begin(), fresh.end());
    endInsertRows();
}

void TraceModel::rebuild()
{
    beginResetModel();
    rows_.clear();
    seen_ = LineTrace::instance().firstSeq();
    endResetModel();
    sync();
}

void TraceModel::setFilter(Filter f, int item)
{
    filter_ = f;
    item_ = item;
    rebuild();
}

// ---- window

void frmTrace::ShowTrace()
{
    frmTrace *w = form<frmTrace>();
    w->Refresh();
    ShowBesideMain(w);
}

// A window of its own: it can go behind the main window.
frmTrace::frmTrace() : QWidget(nullptr, Qt::Window)
{
    setObjectName("frmTrace");
    setWindowTitle("Line Trace");
    resize(820, 420);

    model_ = new TraceModel(this);
    grdTrace = new QTableView;
    grdTrace->setObjectName("grdTrace");
    grdTrace->setModel(model_);
    grdTrace->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTrace->setWordWrap(false);
    grdTrace->verticalHeader()->hide();
    // Fixed row heights and column widths keep a view of 100,000 rows cheap.
    grdTrace->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdTrace->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grdTrace->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {165, 70, 120, 45, 110};
    for (int c = 0; c < 5; ++c)
        grdTrace->setColumnWidth(c, widths[c]);
    // a count preset write, the longest line of a pass; longer ones widen it
    fitCommand(QStringLiteral("D01999999999<CR>"));
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { measured_ = 0; });

    lblCounters = new QLabel;
    lblCounters->setObjectName("lblCounters");
    lblCounters->setTextFormat(Qt::PlainText);
    lblCounters->setWordWrap(true);  // a narrow window keeps all of them

    cmdPause = new QPushButton("Pause");
    cmdPause->setObjectName("cmdPause");
    cmdPause->setCheckable(true);
    cmdPause->setToolTip("Hold the view still; the trace goes on recording.");
    cmdClear = new QPushButton("Clear");
    cmdClear->setObjectName("cmdClear");
    cmdCopy = new QPushButton("Copy");
    cmdCopy->setObjectName("cmdCopy");
    cmdSave = new QPushButton("Save...");
    cmdSave->setObjectName("cmdSave");
    cboFilter = new QComboBox;
    cboFilter->setObjectName("cboFilter");
    cboFilter->addItems({"All exchanges", "Errors only", "One item:"});
    txtItem = new QSpinBox;
    txtItem->setObjectName("txtItem");
    txtItem->setRange(0, 99);
    txtItem->setValue(5);
    txtItem->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPause);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdSave);
    buttons->addSpacing(16);
    buttons->addWidget(new QLabel("Show:"));
    buttons->addWidget(cboFilter);
    buttons->addWidget(txtItem);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grdTrace, 1);
    layout->addWidget(lblCounters);
    layout->addLayout(buttons);

    connect(cmdPause, &QPushButton::toggled, this, [this](bool paused) {
        cmdPause->setText(Tr(paused ? "Resume" : "Pause"));
        if (!paused)
            Refresh();
    });
    connect(cmdClear, &QPushButton::clicked, this, &frmTrace::cmdClear_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmTrace::cmdCopy_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmTrace::cmdSave_Click);
    connect(cboFilter, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(txtItem, &QSpinBox::valueChanged, this, [this] { applyFilter(); });

    // The view catches up a few times a second, never once per exchange:
    // the trace must cost the line nothing.
    refresh_ = new QTimer(this);
    refresh_->setInterval(200);
    connect(refresh_, &QTimer::timeout, this, [this] {
        if (isVisible())
            Refresh();
    });
    refresh_->start();
    ownTexts(this);
    QScrollBar *bar = grdTrace->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following_ = value >= bar->maximum(); });
    Refresh();
}

void frmTrace::Refresh()
{
    if (!cmdPause->isChecked()) {
        model_->sync();
        // the newest rows only: a view of 100,000 rows stays cheap
        const int rows = model_->rowCount();
        for (int r = std::max(std::min(measured_, rows), rows - 2000); r < rows; ++r)
            fitCommand(model_->index(r, TraceModel::ColCommand).data().toString());
        measured_ = rows;
        if (following_)
            grdTrace->scrollToBottom();
    }
    const LineTrace::Counters &k = LineTrace::instance().counters();
    lblCounters->setText(Tr("Exchanges %1   Time-outs %2   Refusals %3   Invalid replies %4   "
                                 "Port errors %5   Late input %6   Retries %7   "
                                 "Round trip mean %8 ms, longest %9 ms")
                             .arg(k.exchanges)
                             .arg(k.timeouts)
                             .arg(k.refusals)
                             .arg(k.invalid)
                             .arg(k.portErrors)
                             .arg(k.lateInputs)
                             .arg(k.retries)
                             .arg(k.meanMs(), 0, 'f', 1)
                             .arg(k.longestMs, 0, 'f', 1));
}

void frmTrace::fitCommand(const QString &command)
{
    const int wide = grdTrace->fontMetrics().horizontalAdvance(command) + 16;
    if (wide > grdTrace->columnWidth(TraceModel::ColCommand))
        grdTrace->setColumnWidth(TraceModel::ColCommand, wide);
}

void frmTrace::applyFilter()
{
    const int f = cboFilter->currentIndex();
    txtItem->setEnabled(f == 2);
    model_->setFilter(f == 1 ? TraceModel::Filter::Errors
                             : f == 2 ? TraceModel::Filter::Item : TraceModel::Filter::All,
                      txtItem->value());
    grdTrace->scrollToBottom();
}

void frmTrace::cmdClear_Click()
{
    LineTrace::instance().clear();
    Refresh();
}

void frmTrace::cmdCopy_Click()
{
    QList<int> rows;
    for (const QModelIndex &i : grdTrace->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (int r : rows)
        if (const LineTrace::Entry *e = model_->entry(r))
            text += LineTrace::line(*e) + '\n';
    QApplication::clipboard()->setText(text);
}

void frmTrace::cmdSave_Click()
{
    const QString title = Tr("Save Trace");
    const QString filter = Tr("Text Files (*.txt);;All Files (*.*)");
    QString name;
    if (dlgFile().ask) {
        name = dlgFile().ask(FileDialog::Mode::Save, title, filter);
    } else {
        QFileDialog dlg(this, title, QString(), filter);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix("txt");
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            name = dlg.selectedFiles().first();
    }
    if (!name.isEmpty())
        SaveTo(name);
}

bool frmTrace::SaveTo(const QString &name)
{
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) {
        MsgBox(Tr("%1 is not a regular file.").arg(name), "Save Trace", MsgIcon::Exclamation);
        return false;
    }
    // Written in pieces, each checked: the file replaces an older one only
    // when all of it reached the disk.
    QSaveFile file(name);
    QString why;
    bool written = file.open(QIODevice::WriteOnly);
    QByteArray piece = (LineTrace::header() + '\n').toUtf8();
    for (int r = 0; written && r <= model_->rowCount(); ++r) {
        if (const LineTrace::Entry *e = model_->entry(r))
            piece += (LineTrace::line(*e) + '\n').toUtf8();
        if (piece.size() >= (1 << 16) || r == model_->rowCount())
            written = WriteFully(file, std::exchange(piece, QByteArray()), &why);
    }
    if (written && file.commit())
        return true;
    if (written || why.isEmpty())
        why = file.errorString();
    file.cancelWriting();
    MsgBox(name + ": " + why, "Save Trace", MsgIcon::Critical);
    return false;
}
