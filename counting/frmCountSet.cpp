#include "counting/frmCountSet.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "link/TxtBus.h"
#include "workflows/ModuleReads.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char *const kTitle = "Count Settings";

}  // namespace

frmCountSet::frmCountSet()
{
    setObjectName("frmCountSet");
    setWindowTitle("Count Settings");
    auto *outer = new QVBoxLayout(this);

    lblTitle = Controls::heading("lblTitle", "Count Settings", 1.25);
    outer->addWidget(lblTitle);

    const auto group = [&](QGroupBox *&frame, const char *name, const char *caption,
                           std::array<QRadioButton *, 2> &opts, const char *array,
                           const char *first, const char *second) {
        frame = new QGroupBox(caption);
        frame->setObjectName(name);
        Controls::optionPair(opts, array, first, second, new QVBoxLayout(frame));
        outer->addWidget(frame);
    };
    group(Frame6, "Frame6", "Pulse Edge.", optEdge, "optEdge", R"("H"or"OPEN"-->"GND")",
          R"("GND"-->"H"or"OPEN")");
    group(Frame2, "Frame2", "Count Zero.", optCntZero, "optCntZero", "Clear", "Non Clear");
    group(Frame3, "Frame3", "Count Rate Mem", optCntRate, "optCntRate", "Non Backup Data",
          "Backup Data");

    cmdUpload = Controls::button("cmdUpload", "Upload", "2027");
    cmdDnload = Controls::button("cmdDnload", "Download", "2028");
    cmdExit = Controls::button("cmdExit", "Exit");
    outer->addLayout(Controls::row({cmdUpload, cmdDnload, cmdExit}));
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdUpload, &QPushButton::clicked, this, &frmCountSet::cmdUpload_Click);
    connect(cmdDnload, &QPushButton::clicked, this, &frmCountSet::cmdDnload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCountSet::cmdExit_Click);

    FormTextSet(this);
}

frmCountSet::~frmCountSet() = default;

bool frmCountSet::readOptions()
{
    // A payload that is no number is no answer: the option stays as shown.
    QString reply;
    if (!DataRead(10, 0, reply) || !WholeNumber(reply))
        return false;
    optEdge[*WholeNumber(reply) != 0 ? 1 : 0]->setChecked(true);
    if (!DataRead(11, 0, reply))
        return false;
    optCntZero[reply == "1" ? 0 : 1]->setChecked(true);
    if (!DataRead(14, 0, reply) || !WholeNumber(reply))
        return false;
    optCntRate[*WholeNumber(reply) != 0 ? 1 : 0]->setChecked(true);
    return true;
}

void frmCountSet::CountSet()
{
    {
        Exchange x(this);
        if (!ModuleReads::LinkUp() || !readOptions())
            return;
    }
    placeBelowMain();
    showModal();
}

void frmCountSet::cmdUpload_Click()
{
    Exchange x(this);
    readOptions();
}

void frmCountSet::cmdDnload_Click()
{
    if (!frmDialog::Dialog("Starting download for Count Setting."))
        return;
    using namespace EditorParts;
    const int edge = optEdge[0]->isChecked() ? 0 : 1;
    const int rate = optCntRate[0]->isChecked() ? 0 : 1;
    QList<CheckedWrite> writes{{10, QString::number(edge), sameWhole(edge)}};
    if (optCntZero[0]->isChecked())
        writes.append({11, "1", exactly("OK")});
    writes.append({14, QString::number(rate), sameWhole(rate)});
    // the options as the window names them
    const int zero = optCntZero[0]->isChecked() ? 0 : 1;
    QStringList value;
    for (const QRadioButton *o : {optEdge[edge], optCntZero[zero], optCntRate[rate]})
        value << o->text();
    Sent sent;
    {
        // No link check of its own: the link of the opening is used.
        Exchange x(this);
        sent = WriteChecked(kTitle, writes, {Tr("Counter options"), value.join(", ")});
    }
    if (sent != Sent::Incomplete)
        return;
    MsgBox(LoadResString(3003), kTitle, MsgIcon::Critical);
    done(QDialog::Rejected);
}
