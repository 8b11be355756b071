#include "monitor/ContactMonitor.h"

#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kBlocks = 4;                          // side-by-side blocks of contacts
constexpr int kPerBlock = ContactMonitor::kContacts / kBlocks;
}  // namespace

ContactMonitor::ContactMonitor(const Layout &cfg)
    : cfg_(cfg)
{
    setWindowTitle(QString::fromLatin1(cfg_.suffix));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);

    lblTitle = heading("lblTitle", QString::fromLatin1(cfg_.titleTag));
    lblTitle->setText(QString::fromLatin1(cfg_.titleText));
    outer->addWidget(lblTitle);

    Frame1 = tableFrame();
    outer->addWidget(Frame1);

    auto *grid = new QGridLayout(Frame1);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    // Contacts run down each block: 1..8 in the first, 9..16 in the next.
    const int perBlockCols = cfg_.switchButtons ? 3 : 2;
    for (int i = 1; i <= kContacts; ++i) {
        const int block = (i - 1) / kPerBlock;
        const int row = (i - 1) % kPerBlock;
        const int col = block * perBlockCols;

        lblNo[i] = caption(indexed("lblNo", i), QString::number(i));
        lblNo[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // wide enough to keep the blocks apart
        lblNo[i]->setFixedWidth(cfg_.switchButtons ? 30 : 44);
        Label1[i] = readout(indexed("Label1", i), Qt::AlignHCenter, 44);
        grid->addWidget(lblNo[i], row, col);
        grid->addWidget(Label1[i], row, col + 1);
        if (cfg_.switchButtons) {
            // Switching is possible only while monitoring runs; the cycle
            // enables the buttons.
            cmdOut[i] = rowButton(indexed("cmdOut", i), Tr("Switch"), 50);
            BindCommand(cmdOut[i], "frmB6.cmdOut");
            grid->addWidget(cmdOut[i], row, col + 2);
        }
    }
    grid->setColumnStretch(kBlocks * perBlockCols, 1);

    footer_ = new QHBoxLayout;
    footer_->setContentsMargins(0, 0, 0, 0);
    footer_->addStretch(1);
    outer->addLayout(footer_);
    outer->addStretch(1);
}

ContactMonitor::~ContactMonitor() = default;

void ContactMonitor::loadWindow()
{
    FormTextSet(this);
    for (int i = 1; i <= kContacts; ++i)
        Label1[i]->setText(QString());
}

void ContactMonitor::display()
{
    setMenus({{"mnuConfigCJM", false},
              {"mnuConfigCount", false},
              {"mnuAdjZeroSpan", false},
              {"mnuAdjComp", false},
              {"mnuConfigFilter", false},
              {"mnuConfigLineNoise", false},
              {"mnuConfigBurnout", false},
              {"mnuAlarm", false}});
    setSaveEnabled(false);
    showAsDataWindow(QString::fromLatin1(cfg_.suffix));
}
