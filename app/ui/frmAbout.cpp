#include "app/ui/frmAbout.h"

#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Icons.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmAbout");
    setTag(this, "1029");
    setWindowTitle("Version Kavix");
    auto *g = new QGridLayout(this);
    picIcon = new QLabel;
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(Icons::program().pixmap(64, 64));
    g->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);

    lblTitle[3] = new QLabel("KAVIX");
    QFont big = lblTitle[3]->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    lblTitle[3]->setFont(big);
    lblTitle[2] = new QLabel("Orvane");
    setTag(lblTitle[2], "1022");
    lblTitle[1] = new QLabel("Version");
    setTag(lblTitle[1], "1024");
    lblName[1] = new QLabel;
    for (int i = 1; i <= 3; ++i)
        lblTitle[i]->setObjectName(QString("lblTitle(%1)").arg(i));
    lblName[1]->setObjectName("lblName(1)");
    g->addWidget(lblTitle[3], 0, 1, 1, 2);
    g->addWidget(lblTitle[2], 1, 1, 1, 2);
    g->addWidget(lblTitle[1], 2, 1);
    g->addWidget(lblName[1], 2, 2);

    for (int row : {3, 5}) {
        auto *Line1 = new QFrame;
        Line1->setObjectName(QString("Line1(%1)").arg(row == 3 ? 0 : 1));
        Line1->setFrameShape(QFrame::HLine);
        Line1->setFrameShadow(QFrame::Sunken);
        g->addWidget(Line1, row, 0, 1, 3);
    }
    auto *note = new QLabel(Tr("Configuration and monitoring tool for remote I/O modules."));
    g->addWidget(note, 4, 0, 1, 3);

    cmdOK = new QPushButton("OK");
    cmdOK->setObjectName("cmdOK");
    setTag(cmdOK, "1031");
    cmdOK->setDefault(true);
    g->addWidget(cmdOK, 6, 2, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    // load
    FormTextSet(this);
    lblName[1]->setText(KAVIX_VERSION);
}
