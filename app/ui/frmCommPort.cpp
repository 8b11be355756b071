#include "app/ui/frmCommPort.h"

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/FormText.h"
#include "app/ui/Settings.h"
#include "link/ModuleFinder.h"
#include "link/Ports.h"
#include "link/Transport.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QFileInfo>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
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

// A click on a caption beside a radio button chooses it.
class ClickChooses : public QObject {
public:
    explicit ClickChooses(QRadioButton *choice) : QObject(choice), choice_(choice) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonRelease && choice_->isEnabled())
            choice_->click();
        return QObject::eventFilter(o, e);
    }

private:
    QRadioButton *choice_;
};

}  // namespace

frmCommPort::frmCommPort(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmCommPort");
    setWindowTitle(Tr("Communication Port"));
    setModal(true);

    auto *v = new QVBoxLayout(this);
    Label1 = new QLabel("Communication Port");
    Label1->setObjectName("Label1");
    setTag(Label1, "3001");
    QFont f = Label1->font();
    f.setBold(true);
    Label1->setFont(f);
    v->addWidget(Label1);

    Frame1 = new QGroupBox;
    Frame1->setObjectName("Frame1");
    auto *g = new QGridLayout(Frame1);
    for (int i = 1; i <= 2; ++i) {
        Option1[i] = new QRadioButton;
        Option1[i]->setObjectName(QString("Option1(%1)").arg(i));
        Label2[i] = new QLabel(i == 1 ? "COM1" : "COM2");
        Label2[i]->setObjectName(QString("Label2(%1)").arg(i));
        Label2[i]->setBuddy(Option1[i]);
        // the label is the choice's caption: a click on it chooses
        Label2[i]->installEventFilter(new ClickChooses(Option1[i]));
        g->addWidget(Option1[i], i - 1, 0);
        g->addWidget(Label2[i], i - 1, 1);
    }
    Option1[3] = new QRadioButton(Tr("Other port"));
    Option1[3]->setObjectName("Option1(3)");
    cboPort = new QComboBox;
    cboPort->setObjectName("cboPort");
    cboPort->setEditable(true);
    cboPort->setInsertPolicy(QComboBox::NoInsert);
    cboPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboPort->setMinimumContentsLength(28);
    g->addWidget(Option1[3], 2, 0);
    g->addWidget(cboPort, 2, 1);

    Option1[4] = new QRadioButton(Tr("Simulated module"));
    Option1[4]->setObjectName("Option1(4)");
    cboModel = new QComboBox;
    cboModel->setObjectName("cboModel");
    cboModel->addItems(sim::ModuleCore::models());
    g->addWidget(Option1[4], 3, 0);
    g->addWidget(cboModel, 3, 1);

    // A serial device server: host, TCP port and how it carries the line.
    Option1[5] = new QRadioButton(Tr("Network port"));
    Option1[5]->setObjectName("Option1(5)");
    txtHost = new QLineEdit;
    txtHost->setObjectName("txtHost");
    txtHost->setPlaceholderText(Tr("host name or address"));
    txtHost->setMinimumWidth(
        txtHost->fontMetrics().horizontalAdvance(txtHost->placeholderText()) + 16);
    spnTcpPort = new QSpinBox;
    spnTcpPort->setObjectName("spnTcpPort");
    spnTcpPort->setRange(1, 65535);
    spnTcpPort->setValue(4001);
    cboProtocol = new QComboBox;
    cboProtocol->setObjectName("cboProtocol");
    cboProtocol->addItem(Tr("Raw TCP"), "socket");
    cboProtocol->addItem(Tr("RFC 2217"), "rfc2217");
    auto *net = new QHBoxLayout;
    net->addWidget(txtHost, 1);
    net->addWidget(spnTcpPort);
    net->addWidget(cboProtocol);
    g->addWidget(Option1[5], 4, 0);
    g->addLayout(net, 4, 1);
    g->setColumnStretch(1, 1);
    v->addWidget(Frame1);

    lblFind = new QLabel;
    lblFind->setObjectName("lblFind");
    lblFind->setTextFormat(Qt::PlainText);  // port names and models come from outside
    lblFind->setWordWrap(true);
    v->addWidget(lblFind);

    cmdFind = new QPushButton(Tr("Find module"));
    cmdFind->setObjectName("cmdFind");
    cmdFind->setAutoDefault(false);
    cmdFind->setToolTip(Tr("Try every port for a module and select the first that answers"));
    Command1 = new QPushButton("OK");
    Command1->setObjectName("Command1");
    Command1->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addWidget(cmdFind);
    row->addStretch(1);
    row->addWidget(Command1);
    v->addLayout(row);

    // load: the ports as they are now, then the choice of the last time
    FormTextSet(this);
    refreshPorts();
    remembered();

    connect(Command1, &QPushButton::clicked, this, &frmCommPort::Command1_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmCommPort::cmdFind_Click);
    // picking from a list selects its option; the edit shows the port itself
    connect(cboPort, &QComboBox::activated, this, [this](int i) {
        cboPort->setEditText(cboPort->itemData(i).toString());
        Option1[3]->setChecked(true);
    });
    connect(cboPort, &QComboBox::editTextChanged, this, [this] { Option1[3]->setChecked(true); });
    connect(cboModel, &QComboBox::activated, this, [this] { Option1[4]->setChecked(true); });
    const auto network = [this] { Option1[5]->setChecked(true); };
    connect(txtHost, &QLineEdit::textEdited, this, network);
    connect(spnTcpPort, &QSpinBox::valueChanged, this, network);
    connect(cboProtocol, &QComboBox::activated, this, network);
    setMinimumWidth(360);
}

frmCommPort::~frmCommPort()
{
    if (finder_)
        finder_->cancel();
}

namespace {

QString entryText(const QString &path, const QString &description, const QString &model)
{
    QStringList what;
    if (!model.isEmpty())
        what << Tr("%1 answers").arg(model);
    if (!description.isEmpty())
        what << description;
    return what.isEmpty() ? path : path + QString::fromUtf8("  —  ") + what.join(", ");
}

}  // namespace

void frmCommPort::refreshPorts()
{
    const QString typed = cboPort->currentText();
    QSignalBlocker quiet(cboPort);
    cboPort->clear();
    for (const PortEntry &e : SerialPorts()) {
        cboPort->addItem(entryText(e.path, e.description, QString()), e.path);
        cboPort->setItemData(cboPort->count() - 1, e.description, Qt::ToolTipRole);
    }
    cboPort->setEditText(!typed.isEmpty() ? typed
                         : cboPort->count() ? cboPort->itemData(0).toString()
                                            : QString("/dev/ttyUSB0"));
}

QString frmCommPort::networkPort() const
{
    NetworkPort n;
    n.rfc2217 = cboProtocol->currentData().toString() == "rfc2217";
    n.host = txtHost->text().trimmed();
    n.port = quint16(spnTcpPort->value());
    return n.url();
}

QString frmCommPort::otherPortPath() const
{
    const QString text = cboPort->currentText().trimmed();
    const int i = cboPort->findText(text);
    return i >= 0 ? cboPort->itemData(i).toString() : text;
}

void frmCommPort::remembered()
{
    QSettings &st = Settings();
    const QString choice = st.value("port/choice").toString();
    if (!preselected().isEmpty()) {
        cboModel->setCurrentText(preselected());
        Option1[4]->setChecked(true);
    } else if (choice == "COM2") {
        Option1[2]->setChecked(true);
    } else if (choice == "other") {
        cboPort->setEditText(st.value("port/path").toString());
        Option1[3]->setChecked(true);
    } else if (choice == "simulated") {
        cboModel->setCurrentText(st.value("port/model").toString());
        Option1[4]->setChecked(true);
    } else if (choice == "network") {
        if (const auto n = ParseNetworkPort(st.value("port/url").toString())) {
            txtHost->setText(n->host);
            spnTcpPort->setValue(n->port);
            cboProtocol->setCurrentIndex(n->rfc2217 ? 1 : 0);
        }
        Option1[5]->setChecked(true);
    } else {
        Option1[1]->setChecked(true);
    }
}

void frmCommPort::remember()
{
    QSettings &st = Settings();
    if (Option1[1]->isChecked()) {
        st.setValue("port/choice", "COM1");
    } else if (Option1[2]->isChecked()) {
        st.setValue("port/choice", "COM2");
    } else if (Option1[3]->isChecked()) {
        st.setValue("port/choice", "other");
        st.setValue("port/path", otherPortPath());
    } else if (Option1[5]->isChecked()) {
        st.setValue("port/choice", "network");
        st.setValue("port/url", networkPort());
    } else {
        st.setValue("port/choice", "simulated");
        st.setValue("port/model", cboModel->currentText());
    }
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
        s.PortName = otherPortPath();
    } else if (Option1[4]->isChecked()) {
        QString error;
        const QString path = simulatedPort(cboModel->currentText(), &error);
        if (path.isEmpty()) {
            MsgBox(error, Tr("Simulated module"), MsgIcon::Exclamation);
            return;
        }
        s.PortNumber = 3;
        s.PortName = path;
    } else if (Option1[5]->isChecked()) {
        QString error;
        if (!ParseNetworkPort(networkPort(), &error)) {
            MsgBox(Tr("Give the host name or address of the device server."), Tr("Network port"),
                   MsgIcon::Exclamation);
            txtHost->setFocus();
            return;
        }
        s.PortNumber = 3;
        s.PortName = networkPort();
    }
    remember();
    accept();
}

void frmCommPort::cmdFind_Click()
{
    // One workflow: the dialog's choices wait until the search is over.
    Workflow w;
    QStringList ports;
    for (int i = 0; i < cboPort->count(); ++i)
        ports << cboPort->itemData(i).toString();
    const QString typed = otherPortPath();
    if (!typed.isEmpty() && !ports.contains(typed) && QFileInfo::exists(typed))
        ports << typed;

    Frame1->setEnabled(false);
    Command1->setEnabled(false);
    cmdFind->setEnabled(false);
    lblFind->setText(Tr("Looking for a module on %1 ports…").arg(ports.size()));
    ModuleFinder finder;
    finder_ = &finder;
    const QList<FoundModule> found = finder.find(ports);
    finder_ = nullptr;
    Frame1->setEnabled(true);
    Command1->setEnabled(true);
    cmdFind->setEnabled(true);

    if (found.isEmpty()) {
        lblFind->setText(Tr("No module answered on the %1 ports tried.").arg(ports.size()));
        return;
    }
    QStringList where;
    for (const FoundModule &m : found) {
        where << QString("%1 (%2)").arg(m.port, m.model);
        int i = cboPort->findData(m.port);
        if (i < 0) {
            cboPort->addItem(m.port, m.port);
            i = cboPort->count() - 1;
        }
        cboPort->setItemText(
            i, entryText(m.port, cboPort->itemData(i, Qt::ToolTipRole).toString(), m.model));
    }
    lblFind->setText(Tr("A module answers on: %1").arg(where.join(", ")));
    cboPort->setEditText(found.first().port);
    Option1[3]->setChecked(true);
}

void frmCommPort::reject()
{
    // closing the dialog ends a search in progress
    if (finder_)
        finder_->cancel();
    QDialog::reject();
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
        *error = Tr("Unknown model \"%1\"; one of: %2")
                     .arg(model, sim::ModuleCore::models().join(", "));
        return QString();
    }
    auto &mods = simulated();
    auto it = mods.find(model);
    if (it == mods.end()) {
        auto m = std::make_unique<sim::PtyModule>(model);
        m->setPacing(builtInPacing());
        if (!m->start(error))
            return QString();
        it = mods.emplace(model, std::move(m)).first;
    }
    return it->second->portPath();
}

QString frmCommPort::simulatedModelAt(const QString &path)
{
    for (const auto &[model, module] : simulated())
        if (module->portPath() == path)
            return model;
    return QString();
}

sim::Pacing frmCommPort::builtInPacing()
{
    // 9600 baud and a few milliseconds of thought per line, like the real
    // module, its characters handed over in pieces as a USB adapter does: a
    // demo then shows the real pace and leaves the computer idle.
    sim::Pacing p;
    p.baud = 9600;
    p.turnaroundMs = 5;
    p.pieceMs = 4;
    return p;
}

bool frmCommPort::choosePort(const QString &portText, QString *error)
{
    AppState &s = G();
    const QString t = portText.trimmed();
    if (t.compare("COM1", Qt::CaseInsensitive) == 0 || t == "1") {
        s.PortNumber = 1;
    } else if (t.compare("COM2", Qt::CaseInsensitive) == 0 || t == "2") {
        s.PortNumber = 2;
    } else if (IsNetworkPort(t)) {
        if (!ParseNetworkPort(t, error))
            return false;
        s.PortNumber = 3;
        s.PortName = t;
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
        *error = Tr("No port given");
        return false;
    }
    return true;
}
