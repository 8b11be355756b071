#include "app/ui/frmCommPort.h"

#include "app/Globals.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include <map>
#include <memory>

namespace {

QString &preselected()
{
    static QString model;
    return model;
}

// Simulated modules live as long as the program, one per model, so a
// module keeps what was written to it across connections.
std::map<QString, std::unique_ptr<sim::PtyModule>> &simulated()
{
    static std::map<QString, std::unique_ptr<sim::PtyModule>> modules;
    return modules;
}

}  // namespace

frmCommPort::frmCommPort(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmCommPort");
    setWindowTitle("Communication Port");
    setModal(true);

    auto *v = new QVBoxLayout(this);
    Label1 = new QLabel("Communication Port");
    Label1->setObjectName("Label1");
    setTag(Label1, "3001");
    QFont f = Label1->font();
    f.setBold(true);
    Label1->setFont(f);
    v->addWidget(Label1);

    auto *Frame1 = new QGroupBox;
    Frame1->setObjectName("Frame1");
    auto *g = new QGridLayout(Frame1);
    for (int i = 1; i <= 2; ++i) {
        Option1[i] = new QRadioButton;
        Option1[i]->setObjectName(QString("Option1(%1)").arg(i));
        Label2[i] = new QLabel(i == 1 ? "COM1" : "COM2");
        Label2[i]->setObjectName(QString("Label2(%1)").arg(i));
        Label2[i]->setBuddy(Option1[i]);
        g->addWidget(Option1[i], i - 1, 0);
        g->addWidget(Label2[i], i - 1, 1);
    }
    Option1[3] = new QRadioButton("Other port");
    Option1[3]->setObjectName("Option1(3)");
    cboPort = new QComboBox;
    cboPort->setObjectName("cboPort");
    cboPort->setEditable(true);
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        cboPort->addItem(info.systemLocation());
    cboPort->setCurrentText(cboPort->count() ? cboPort->itemText(0) : "/dev/ttyUSB0");
    g->addWidget(Option1[3], 2, 0);
    g->addWidget(cboPort, 2, 1);

    Option1[4] = new QRadioButton("Simulated module");
    Option1[4]->setObjectName("Option1(4)");
    cboModel = new QComboBox;
    cboModel->setObjectName("cboModel");
    cboModel->addItems(sim::ModuleCore::models());
    g->addWidget(Option1[4], 3, 0);
    g->addWidget(cboModel, 3, 1);
    g->setColumnStretch(1, 1);
    v->addWidget(Frame1);

    Command1 = new QPushButton("OK");
    Command1->setObjectName("Command1");
    Command1->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(Command1);
    v->addLayout(row);
    connect(Command1, &QPushButton::clicked, this, &frmCommPort::Command1_Click);
    // picking from a list selects its option
    connect(cboPort, &QComboBox::activated, this, [this] { Option1[3]->setChecked(true); });
    connect(cboPort, &QComboBox::editTextChanged, this, [this] { Option1[3]->setChecked(true); });
    connect(cboModel, &QComboBox::activated, this, [this] { Option1[4]->setChecked(true); });

    // load
    FormTextSet(this);
    Option1[1]->setChecked(true);
    if (!preselected().isEmpty()) {
        cboModel->setCurrentText(preselected());
        Option1[4]->setChecked(true);
    }
    setMinimumWidth(320);
}

void frmCommPort::Command1_Click()
{
    AppState &s = G();
    if (Option1[1]->isChecked()) {
        s.PortNumber = 1;
    } else if (Option1[2]->isChecked()) {
        s.PortNumber = 2;
    } else if (Option1[3]->isChecked()) {
        s.PortNumber = 3;
        s.PortName = cboPort->currentText().trimmed();
    } else if (Option1[4]->isChecked()) {
        QString error;
        const QString path = simulatedPort(cboModel->currentText(), &error);
        if (path.isEmpty()) {
            MsgBox(error, "Simulated module", MsgIcon::Exclamation);
            return;
        }
        s.PortNumber = 3;
        s.PortName = path;
    }
    accept();
}

void frmCommPort::CommPort()
{
    frmCommPort dlg(QApplication::activeWindow());
    dlg.exec();
}

void frmCommPort::preselectSimulated(const QString &model)
{
    preselected() = model;
}

QString frmCommPort::simulatedPort(const QString &model, QString *error)
{
    if (!sim::ModuleCore::models().contains(model)) {
        *error = QString("Unknown model \"%1\"; one of: %2")
                     .arg(model, sim::ModuleCore::models().join(", "));
        return QString();
    }
    auto &mods = simulated();
    auto it = mods.find(model);
    if (it == mods.end()) {
        auto m = std::make_unique<sim::PtyModule>(model);
        if (!m->start(error))
            return QString();
        it = mods.emplace(model, std::move(m)).first;
    }
    return it->second->portPath();
}

bool frmCommPort::choosePort(const QString &portText, QString *error)
{
    AppState &s = G();
    const QString t = portText.trimmed();
    if (t.compare("COM1", Qt::CaseInsensitive) == 0 || t == "1") {
        s.PortNumber = 1;
    } else if (t.compare("COM2", Qt::CaseInsensitive) == 0 || t == "2") {
        s.PortNumber = 2;
    } else if (t.startsWith("sim:")) {
        const QString path = simulatedPort(t.mid(4), error);
        if (path.isEmpty())
            return false;
        s.PortNumber = 3;
        s.PortName = path;
    } else if (!t.isEmpty()) {
        s.PortNumber = 3;
        s.PortName = t;
    } else {
        *error = "No port given";
        return false;
    }
    return true;
}
