#include "app/ui/frmDialog.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/Icons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

std::function<std::optional<bool>(const QString &)> frmDialog::answer;

frmDialog::frmDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmDialog");
    setWindowTitle(Tr("DOWNLOAD"));
    setModal(true);
    auto *v = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setPixmap(Icons::question().pixmap(40, 40));
    Image1->setAlignment(Qt::AlignTop);
    top->addWidget(Image1);
    auto *texts = new QVBoxLayout;
    lblMsg = new QLabel;
    lblMsg->setObjectName("lblMsg");
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(true);
    QFont f = lblMsg->font();
    f.setBold(true);
    lblMsg->setFont(f);
    Label1 = new QLabel(Tr("The module's settings will be overwritten."));
    Label1->setObjectName("Label1");
    texts->addWidget(lblMsg);
    texts->addWidget(Label1);
    top->addLayout(texts, 1);
    v->addLayout(top);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKButton = new QPushButton("OK");
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton(Tr("Cancel"));
    CancelButton->setObjectName("CancelButton");
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    v->addLayout(buttons);
    setMinimumWidth(360);

    connect(OKButton, &QPushButton::clicked, this, [this] {
        G().DialogOK = true;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Cancel, the close box and Escape all end here: any way out but OK is
    // Cancel, whatever an earlier question was answered.
    connect(this, &QDialog::rejected, this, [] { G().DialogOK = false; });
}

bool frmDialog::Dialog(const QString &message)
{
    if (answer) {
        G().DialogOK = answer(message).value_or(false);
        return G().DialogOK;
    }
    frmDialog dlg(QApplication::activeWindow());
    dlg.lblMsg->setText(message);
    G().DialogOK = false;  // however the window goes away, only OK says yes
    dlg.exec();
    return G().DialogOK;
}

bool frmDialog::Ask(const QString &question, const QString &title)
{
    if (answer) {
        G().DialogOK = answer(question).value_or(false);
        return G().DialogOK;
    }
    frmDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(title);
    dlg.lblMsg->setText(question);
    dlg.Label1->setText(Tr("The channel's calibration in the module will be overwritten."));
    dlg.OKButton->setText(Tr("Yes"));
    dlg.CancelButton->setText(Tr("No"));
    dlg.OKButton->setDefault(false);
    dlg.CancelButton->setDefault(true);
    dlg.CancelButton->setFocus();
    G().DialogOK = false;
    dlg.exec();
    return G().DialogOK;
}
