#include "config/frmCJM.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "link/TxtBus.h"
#include "workflows/ModuleReads.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtNumeric>

using namespace Controls;
using namespace EditorParts;

namespace {

const QString kTitle = QStringLiteral("CJM Reference Temperature");

// The number of an entry, comma or point, as single precision; NaN, which
// no range takes, when it is not one.
float entryValue(const QString &text)
{
    return float(NumberIn(CommaToPoint(text)).value_or(qQNaN()));
}

// An entry as it goes out: its number with three decimals; "" when it has none.
QString sentText(const QLineEdit *entry)
{
    const std::optional<double> x = NumberIn(CommaToPoint(entry->text()));
    return x ? Fmt3(*x) : QString();
}

}  // namespace

frmCJM::frmCJM()
{
    setObjectName("frmCJM");
    setTag(this, "1040");
    setWindowTitle("CJM");

    Label1 = heading("Label1", "CJC Sensor(CJM) Settings");

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(6);
    const auto row = [g](int r, QLabel *title, QLabel *min, QLabel *lt1, QLineEdit *entry,
                         QLabel *lt2, QLabel *max, QLabel *unit) {
        g->addWidget(title, r, 0);
        g->addWidget(min, r, 1, Qt::AlignRight);
        g->addWidget(lt1, r, 2);
        g->addWidget(entry, r, 3);
        g->addWidget(lt2, r, 4);
        g->addWidget(max, r, 5);
        g->addWidget(unit, r, 6);
    };
    Label2 = label("Label2", "CJM Temp.");
    lblTempMin = label("lblTempMin", QString());
    Label5 = label("Label5", "<");
    Text1 = textBox("Text1");
    Label6 = label("Label6", "<");
    lblTempMax = label("lblTempMax", QString());
    lblUnit1 = label("lblUnit1", "degC");
    row(0, Label2, lblTempMin, Label5, Text1, Label6, lblTempMax, lblUnit1);
    Label3 = label("Label3", "CJM Voltage");
    lblVolMin = label("lblVolMin", QString());
    Label4 = label("Label4", "<");
    Text2 = textBox("Text2");
    Label7 = label("Label7", "<");
    lblVolMax = label("lblVolMax", QString());
    lblUnit2 = label("lblUnit2", "V");
    row(1, Label3, lblVolMin, Label4, Text2, Label7, lblVolMax, lblUnit2);
    for (QLineEdit *t : {Text1, Text2}) {
        t->setFixedWidth(80);
        t->setAlignment(Qt::AlignRight);
    }

    cmdUp = button("cmdUp", "Upload", "2027");
    cmdDown = button("cmdDown", "Download", "2028");
    cmdExit = button("cmdExit", "Exit");

    auto *v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addLayout(g);
    v->addSpacing(6);
    v->addLayout(rightAligned({cmdUp, cmdDown, cmdExit}));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdUp, &QPushButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { cmdDown_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

    // load
    FormTextSet(this);
}

frmCJM::~frmCJM() = default;

bool frmCJM::readValues()
{
    QString reply;
    if (!DataRead(23, 0, reply))
        return false;
    Text1->setText(NumberText(reply));
    if (!DataRead(24, 0, reply))
        return false;
    Text2->setText(NumberText(reply));
    return true;
}

void frmCJM::CJM()
{
    placeBelowMain();
    lblTempMin->setText("0.000");
    lblTempMax->setText("100.000");
    lblVolMin->setText("0.400");
    lblVolMax->setText("0.700");
    bool read = false;
    {
        // over the link of the connection the menu was offered for
        Exchange x(this);
        read = readValues();
    }
    if (!read) {
        MsgBox(LoadResString(3004), kTitle, MsgIcon::Critical);
        return;
    }
    showModal();
}

void frmCJM::cmdUp_Click()
{
    bool linked = false;
    bool read = false;
    {
        Exchange x(this);
        linked = ModuleReads::LinkUp();
        read = linked && readValues();
    }
    if (linked && !read)
        MsgBox(LoadResString(3004), kTitle, MsgIcon::Critical);
    if (!read)
        cmdExit_Click();
}

bool frmCJM::inRange(const QLineEdit *text, const QLabel *min, const QLabel *max,
                     const QString &unit, const QString &title)
{
    // Both limits excluded, compared in single precision as the labels show,
    // on the value as it will be sent: 99.9999 goes out as 100.000.
    const float v = entryValue(sentText(text));
    if (v > entryValue(min->text()) && v < entryValue(max->text()))
        return true;
    MsgBox("Output set point must be " + min->text() + unit + " to " + max->text() + unit + ".",
           title, MsgIcon::Exclamation);
    return false;
}

void frmCJM::cmdDown_Click()
{
    AppState &s = G();
    if (!inRange(Text1, lblTempMin, lblTempMax, "degC", "CJM Temp Check") ||
        !inRange(Text2, lblVolMin, lblVolMax, "V", "CJM Voltage Check"))
        return;
    if (!frmDialog::Dialog("Starting download for CJM Setting."))
        return;
    const QString temp = sentText(Text1);
    const QString volts = sentText(Text2);
    Sent sent;
    {
        Exchange x(this);
        sent = SendChecked(kTitle,
                           {{23, temp, sameNumber(temp), [&s, temp] { s.CjmTemp = temp; }},
                            {24, volts, sameNumber(volts), [&s, volts] { s.CjmVoltage = volts; }}},
                           {Tr("Cold-junction reference"), temp + " degC, " + volts + " V"});
    }
    if (sent == Sent::Done)
        confirmed({ModuleSettings::Part::Cjm});
    if (sent == Sent::Incomplete)
        MsgBox(LoadResString(3003), kTitle, MsgIcon::Critical);
    // the window goes when the link or a write failed
    if (sent == Sent::LinkDown || sent == Sent::Incomplete)
        cmdExit_Click();
}
