#include "counting/frmCntPreset.h"

#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "counting/PresetBox.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using Controls::indexed;

namespace {
// As large as all its rows, where the screen has room.
class RowsArea : public QScrollArea {
public:
    QSize sizeHint() const override
    {
        return widget()->sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0);
    }
};
}  // namespace

frmCntPreset::frmCntPreset()
{
    setObjectName("frmCntPreset");
    setWindowTitle("Count Data");
    auto *outer = new QVBoxLayout(this);

    // Headings: the window's title over the two column captions.
    const char *const titles[4] = {"Count Data", "32bit", "Count", "Preset Data"};
    lblTitle[0] = Controls::heading(indexed("lblTitle", 0), titles[0], 1.25);
    for (int t = 1; t < 4; ++t) lblTitle[t] = Controls::label(indexed("lblTitle", t), titles[t]);
    outer->addWidget(lblTitle[0]);

    // The column captions line up with the cells of the rows below.
    constexpr int kNoW = 24, kCellW = 110, kGap = 8;
    auto *head = new QGridLayout;
    head->setContentsMargins(4 + kNoW + kGap, 0, 4, 0);
    head->setHorizontalSpacing(kGap);
    head->setVerticalSpacing(0);
    head->addWidget(lblTitle[1], 0, 0, Qt::AlignHCenter);
    head->addWidget(lblTitle[2], 1, 0, Qt::AlignHCenter);
    head->addWidget(lblTitle[3], 1, 1, Qt::AlignHCenter);
    head->setColumnMinimumWidth(0, kCellW);
    head->setColumnMinimumWidth(1, kCellW);
    outer->addLayout(head);

    // The rows scroll when the screen has no room for all 16 (a large scale).
    auto *rows = new QWidget;
    auto *grid = new QVBoxLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (int i = 1; i <= kRows; ++i) {
        frame[i] = new QFrame;
        frame[i]->setObjectName(indexed("frame", i));
        frame[i]->setFrameShape(QFrame::StyledPanel);
        auto *row = new QHBoxLayout(frame[i]);
        row->setContentsMargins(4, 1, 4, 1);
        lblNo[i] = Controls::label(indexed("lblNo", i), QString::number(i));
        lblNo[i]->setFixedWidth(kNoW);
        lblNo[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lbl32bitCnt[i] = Controls::readout(indexed("lbl32bitCnt", i));
        lbl32bitCnt[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lbl32bitCnt[i]->setFixedWidth(kCellW);
        txtPreset[i] = new QLineEdit;
        txtPreset[i]->setObjectName(indexed("txtPreset", i));
        txtPreset[i]->setAlignment(Qt::AlignRight);
        txtPreset[i]->setFixedWidth(kCellW);
        row->setSpacing(kGap);
        row->addWidget(lblNo[i]);
        row->addWidget(lbl32bitCnt[i]);
        row->addWidget(txtPreset[i]);
        grid->addWidget(frame[i]);
        connect(txtPreset[i], &QLineEdit::textChanged, this, [this, i] { txtPreset_Change(i); });
    }
    auto *scroll = new RowsArea;
    scroll->setObjectName("scrRows");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(rows);
    scroll->setMinimumWidth(rows->sizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width());
    outer->addWidget(scroll, 1);

    cmdUpload = Controls::button("cmdUpload", "Upload", "2027");
    cmdDownload = Controls::button("cmdDownload", "Download", "2028");
    cmdExit = Controls::button("cmdExit", "Exit");
    outer->addLayout(Controls::rightAligned({cmdUpload, cmdDownload, cmdExit}));

    connect(cmdUpload, &QPushButton::clicked, this, &frmCntPreset::cmdUpload_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmCntPreset::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCntPreset::cmdExit_Click);

    // Load: the window keeps its designed texts; every row starts at 0.
    for (int i = 1; i <= kRows; ++i) {
        lbl32bitCnt[i]->setText("0");
        txtPreset[i]->setText("0");
    }
    FormTextSet(this);
}

frmCntPreset::~frmCntPreset() = default;

bool frmCntPreset::readRows()
{
    QString reply;
    for (int i = 1; i <= kRows; ++i) {
        if (!DataRead(8, i, reply))
            return false;
        lbl32bitCnt[i]->setText(reply);
        if (!DataRead(9, i, reply))
            return false;
        txtPreset[i]->setText(reply);
    }
    return true;
}

void frmCntPreset::CntPreset()
{
    placeBelowMain(1080, 3100);
    bool read = false;
    {
        Exchange x(this);
        read = readRows();
    }
    if (!read) {
        MsgBox(LoadResString(3004), "Reading", MsgIcon::Critical);
        return;
    }
    showModal();
}

void frmCntPreset::cmdUpload_Click()
{
    bool read = false;
    {
        Exchange x(this);
        read = readRows();
    }
    if (!read)
        MsgBox(LoadResString(3004), "Uploading", MsgIcon::Critical);
}

void frmCntPreset::cmdDownload_Click()
{
    const QString title = "Downloading";
    if (!frmDialog::Dialog("Starting download for Count Preset Data."))
        return;
    for (int i = 1; i <= kRows; ++i)
        if (!DownloadCheck::PresetOk(txtPreset[i]->text())) {
            DownloadCheck::Refuse(Tr("Count preset of input %1").arg(i), txtPreset[i]->text(),
                                  title);
            return;
        }
    QList<EditorParts::CheckedWrite> writes;
    for (int i = 1; i <= kRows; ++i) {
        const QString text = txtPreset[i]->text();
        writes.append({9, Fmt00(i) + text, EditorParts::exactly(text)});
    }
    EditorParts::Sent sent;
    {
        Exchange x(this);
        sent = EditorParts::SendChecked(title, writes,
                                        {Tr("Count presets"), Tr("inputs 1 to %1").arg(kRows)});
    }
    EditorParts::ReportIncomplete(sent, title);
}

void frmCntPreset::txtPreset_Change(int i)
{
    PresetBox::Change(txtPreset[i]);
}
