#include "monitor/frmE6.h"

#include "app/ui/Entry.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"

#include <QHBoxLayout>
#include <QPushButton>

frmE6::frmE6()
    : ContactMonitor({"E6", "2031", "Input Contacts", false})
{
    cmdCntPre = new QPushButton("Count Data", this);
    cmdCntPre->setObjectName("cmdCntPre");
    cmdCntPre->setAutoDefault(false);
    cmdCntPre->setMinimumWidth(110);
    setTag(cmdCntPre, "2045");
    connect(cmdCntPre, &QPushButton::clicked, this, &frmE6::cmdCntPre_Click);
    BindCommand(cmdCntPre, "frmE6.cmdCntPre");
    footer()->addWidget(cmdCntPre);
    loadWindow();
}

frmE6::~frmE6() = default;

void frmE6::E6()
{
    display();
}

void frmE6::cmdCntPre_Click()
{
    Editors::CntPreset();
}
