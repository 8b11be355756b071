#include "config/ModbusWindow.h"

#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/Messages.h"
#include "app/ui/Controls.h"
#include "app/ui/FormText.h"
#include "app/ui/frmDialog.h"
#include "config/EditorParts.h"
#include "link/TxtBus.h"
#include "workflows/DownloadCheck.h"
#include "workflows/ModuleReads.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// The module items of the lists that are transferred, in their order.
struct Transferred {
    int list;
    int item;
};
const Transferred kItems[] = {{0, 81}, {2, 83}, {3, 84}, {4, 86}};

const char *const kUploadTitle = "ModBus Setting";
const char *const kDownloadTitle = "ModBus Settings";

// A list position as the module gives it: a whole number within the list.
std::optional<int> position(const QString &payload, const QComboBox *list)
{
    const std::optional<int> p = WholeNumber(payload);
    if (!p || *p < 0 || *p >= list->count())
        return std::nullopt;
    return p;
}

}  // namespace

ModbusWindow::ModbusWindow(const Variant &v) : v_(v)
{
    setObjectName(v.form);
    setTag(this, "2019");

    auto *outer = new QVBoxLayout(this);
    lblTitle[0] = Controls::heading("lblTitle(0)", "Modbus Settings(RTU)", 1.25, "2019");
    outer->addWidget(lblTitle[0]);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    outer->addLayout(grid);
    static const char *const captions[] = {"Node Address", "Baud Rate", "Bit Length",
                                           "Parity",       "Stop Bits", "Floating Type"};
    static const char *const tags[] = {"2020", "2021", "2022", "2023", "2024", "2026"};
    for (int i = 1; i <= 6; ++i) {
        lblTitle[i] =
            Controls::label(Controls::indexed("lblTitle", i), captions[i - 1], tags[i - 1]);
        grid->addWidget(lblTitle[i], i - 1, 0);
    }

    if (v.addressBox) {
        txtAddress = new QLineEdit;
        txtAddress->setObjectName("txtAddress");
        txtAddress->setMaxLength(16);
        connect(txtAddress, &QLineEdit::textChanged, this, &ModbusWindow::txtAddress_Change);
        grid->addWidget(txtAddress, 0, 1);
    } else {
        lblAddress = Controls::readout("lblAddress");
        grid->addWidget(lblAddress, 0, 1);
    }

    for (int i = 0; i < 5; ++i) {
        // a choice from the list only; nothing can be typed
        cboData[i] = Controls::list(Controls::indexed("cboData", i), ModbusChoices(i, v.baud57600));
        grid->addWidget(cboData[i], i + 1, 1);
    }
    grid->setColumnMinimumWidth(1, 150);

    cmdUpload = Controls::button("cmdUpload", "Upload", "2027");
    cmdDnload = Controls::button("cmdDnload", "Download", "2028");
    cmdQV8Res = Controls::button("cmdQV8Res", "System Restart", "2042");
    cmdExit = Controls::button("cmdExit", "Exit");
    outer->addSpacing(8);
    outer->addLayout(Controls::row({cmdUpload, cmdDnload, cmdQV8Res, cmdExit}));
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdUpload, &QPushButton::clicked, this, &ModbusWindow::cmdUpload_Click);
    connect(cmdDnload, &QPushButton::clicked, this, &ModbusWindow::cmdDnload_Click);
    connect(cmdQV8Res, &QPushButton::clicked, this, &ModbusWindow::cmdQV8Res_Click);
    connect(cmdExit, &QPushButton::clicked, this, &ModbusWindow::cmdExit_Click);

    WaitForTimer.setSingleShot(true);
    WaitForTimer.setTimerType(Qt::PreciseTimer);  // never early: the module needs its time
    connect(&WaitForTimer, &QTimer::timeout, this, &ModbusWindow::WaitForTimer_Timer);

    FormTextSet(this);
}

ModbusWindow::~ModbusWindow() = default;

std::array<int, 5> &ModbusWindow::settings() const
{
    return G().*(v_.settings);
}

bool ModbusWindow::DownloadAllowed()
{
    const QString model = MainPanel::instance().data(1);
    return !model.startsWith("QW8") && !model.startsWith("QY8");
}

bool ModbusWindow::addressWritten() const
{
    return v_.addressBox && G().HwOption20;
}

void ModbusWindow::ModSet()
{
    QString reply;
    {
        Exchange x(this);
        if (!ModuleReads::LinkUp())
            return;
        if (!DataRead(80, 0, reply))
            return;
    }
    if (txtAddress) {
        txtAddress->setText(reply);
        txtAddress->setEnabled(G().HwOption20);
    } else {
        lblAddress->setText(reply);
    }
    // From the shared state, not from the module; a position outside a
    // list (a file from elsewhere) selects nothing there.
    for (int i = 0; i < 5; ++i) {
        const int p = settings()[i];
        cboData[i]->setCurrentIndex(p >= 0 && p < cboData[i]->count() ? p : -1);
    }
    if (!DownloadAllowed())
        cmdDnload->setEnabled(false);
    placeBelowMain();
    showModal();
}

void ModbusWindow::cmdUpload_Click()
{
    {
        Exchange x(this);
        bool ok = true;
        for (const Transferred &t : kItems) {
            QString reply;
            // a payload that is no position of the list is no answer
            std::optional<int> p;
            if (!DataRead(t.item, 0, reply) || !(p = position(reply, cboData[t.list]))) {
                ok = false;
                break;
            }
            settings()[t.list] = *p;
            cboData[t.list]->setCurrentIndex(*p);
        }
        if (ok) {
            confirmed({ModuleSettings::Part::Modbus});
            return;
        }
    }
    MsgBox(LoadResString(3004), kUploadTitle, MsgIcon::Critical);
    unloadWindow();
}

void ModbusWindow::cmdDnload_Click()
{
    AppState &s = G();
    const bool address = v_.addressRangeTest && s.HwOption20;
    int a = 0;
    if (address) {
        // a whole number in digits, nothing else, 1..247
        static const QRegularExpression digits(R"(^\s*\d{1,9}\s*$)");
        const QString text = txtAddress->text();
        a = digits.match(text).hasMatch() ? text.trimmed().toInt() : 0;
        if (a < 1 || a > 247) {
            MsgBox("NodeAddress set point must be 1 to 247.", "Modbus Setting Data Check",
                   MsgIcon::Information);
            return;
        }
    }
    if (!frmDialog::Dialog("Starting download for ModBus Setting."))
        return;
    for (const Transferred &t : kItems)
        if (cboData[t.list]->currentIndex() < 0) {
            DownloadCheck::Refuse(lblTitle[t.list + 2]->text(), Tr("none chosen"), kDownloadTitle);
            return;
        }
    using namespace EditorParts;
    QList<CheckedWrite> writes;
    QStringList value;
    if (address && v_.addressWrite) {
        writes.append({80, QString::number(a), sameWhole(a)});
        value << Tr("address %1").arg(a);
    }
    for (const Transferred &t : kItems) {
        const int p = cboData[t.list]->currentIndex();
        writes.append(
            {t.item, QString::number(p), sameWhole(p), [this, t, p] { settings()[t.list] = p; }});
        value << cboData[t.list]->currentText();
    }
    Sent sent;
    {
        Exchange x(this);
        sent = WriteChecked(kDownloadTitle, writes, {Tr("Modbus settings"), value.join(", ")});
    }
    if (sent == Sent::Done)
        confirmed({ModuleSettings::Part::Modbus});
    if (sent != Sent::Incomplete)
        return;
    MsgBox(LoadResString(3003), kDownloadTitle, MsgIcon::Critical);
    unloadWindow();
}

void ModbusWindow::cmdQV8Res_Click()
{
    AppState &s = G();
    bool ok = false;
    QString result = Tr("System restart failed: no reply");
    {
        // The whole restart is one exchange: nothing else can talk to the
        // module, and the window cannot be closed, until the module is back.
        Exchange x(this);
        QString reply;
        if (GroupCommand(99, reply)) {
            s.RestartPending = true;
            const bool sent = ParameterWrite(90, "RESET", reply);
            // a write that never went out must not leave the next data
            // command without its reply
            s.RestartPending = false;
            if (sent) {
                setRestartControls(false);
                WaitFor(2000);
                setRestartControls(true);
                if (AppEnding())
                    return;
                ok = GroupCommand(1, reply);
                result = ok ? Tr("System restart done: the module answered again")
                            : Tr("System restart failed: no reply after the restart");
            } else {
                result = Tr("System restart %1").arg(EditorParts::WriteFailure(false, reply));
            }
        }
    }
    MainPanel::instance().setLastResult(result);
    if (ok) {
        Outcome::done();
        return;
    }
    MsgBox(LoadResString(3007), kUploadTitle, MsgIcon::Critical);
    unloadWindow();
}

void ModbusWindow::setRestartControls(bool on)
{
    for (QComboBox *c : cboData) c->setEnabled(on);
    cmdUpload->setEnabled(on);
    cmdDnload->setEnabled(on && DownloadAllowed());
    cmdQV8Res->setEnabled(on);
    cmdExit->setEnabled(on);
}

void ModbusWindow::WaitFor(int milisec)
{
    waitDone_ = false;
    WaitForTimer.setInterval(milisec);
    WaitForTimer.start();
    // Sleeps in a nested event loop until the timer fires, the program
    // ends or the window goes away; never spins.
    QPointer<ModbusWindow> self = this;
    while (self && !waitDone_ && !AppEnding()) {
        QEventLoop loop;
        connect(&WaitForTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&Commands::instance(), &Commands::wake, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (self)
        WaitForTimer.stop();
}

void ModbusWindow::WaitForTimer_Timer()
{
    waitDone_ = true;
}

void ModbusWindow::txtAddress_Change()
{
    PositiveCheck(txtAddress->text());
}

void ModbusWindow::cmdExit_Click()
{
    // choices made without a download stay in the shared state
    for (int i = 0; i < 5; ++i)
        if (cboData[i]->currentIndex() >= 0)
            settings()[i] = cboData[i]->currentIndex();
    EditorDialog::cmdExit_Click();
}

void ModbusWindow::unloadWindow()
{
    done(QDialog::Rejected);
}
