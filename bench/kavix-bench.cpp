// kavix-bench: figures of the link and the monitoring cycle, each a ratio
// measured inside one run, printed as "name: value" lines.

#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "sim/SimModule.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

void print(const char *name, double value)
{
    std::printf("%s: %.4f\n", name, value);
    std::fflush(stdout);
}

std::unique_ptr<sim::PtyModule> startModule(const QString &model)
{
    auto m = std::make_unique<sim::PtyModule>(model);
    QString error;
    if (!m->start(&error))
        qFatal("simulator: %s", qPrintable(error));
    return m;
}

void useModule(const sim::PtyModule &m)
{
    const QString path = m.portPath();
    Hooks().commPort = [path] {
        G().PortNumber = 3;
        G().PortName = path;
    };
}

// DataRead against an instant module, through the program's own link.
double dataReadsPerSecond()
{
    auto m = startModule("QV8_KX5");
    useModule(*m);
    LinkHost host;
    G().CommForm = &host;
    CommOpen();
    QString reply;
    int n = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) {
        if (!DataRead(5, 1 + n % 16, reply))
            qFatal("DataRead failed");
        ++n;
    }
    const double rate = n / (t.nsecsElapsed() / 1e9);
    CommClose();
    G().CommForm = nullptr;
    return rate;
}

// A bare write-line / read-line loop over the same kind of pty.
double rawRoundTripsPerSecond()
{
    auto m = startModule("QV8_KX5");
    const int fd = ::open(m->portPath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    auto roundTrip = [fd](const char *line) {
        if (::write(fd, line, strlen(line)) < 0)
            qFatal("write failed");
        char c = 0;
        while (::read(fd, &c, 1) == 1 && c != '\r') {
        }
    };
    roundTrip("G01\r");
    int n = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) {
        roundTrip(n % 2 ? "D01\r" : "I05\r");
        ++n;
    }
    const double rate = n / (t.nsecsElapsed() / 1e9);
    ::close(fd);
    return rate;
}

// CPU used while one exchange waits for a module that never answers.
double timeoutWaitCpuRatio()
{
    auto m = startModule("QV8_KX5");
    sim::Faults silent;
    silent.silent = true;
    m->setFaults(silent);
    LinkHost host;
    G().CommForm = &host;
    host.MSComm1.setPortName(m->portPath());
    if (!host.MSComm1.open(QIODevice::ReadWrite))
        qFatal("open failed");
    Hooks().msgBox = [](const QString &, const QString &, MsgIcon) {};
    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuSeconds();
    SendReceive("I90\r");
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = t.nsecsElapsed() / 1e9;
    Hooks().msgBox = nullptr;
    G().TimeoutFlag = false;
    host.MSComm1.close();
    G().CommForm = nullptr;
    return cpu / wall;
}

// Wire time of the exchanges a module received: command and reply
// characters at 10 bits each, plus the module's turnaround per exchange.
double wireSeconds(const QString &model, const QList<QByteArray> &lines, int baud, int turnaroundMs)
{
    sim::ModuleCore replay(model);
    qint64 chars = 0;
    for (const QByteArray &line : lines) {
        chars += line.size() + 1;
        for (const sim::Reply &r : replay.feed(line + "\r"))
            chars += r.bytes.size();
    }
    return chars * 10.0 / baud + lines.size() * turnaroundMs / 1000.0;
}

void monitorPass(double *wireRatio, double *cpuRatio)
{
    auto m = startModule("QV8_KX5");
    useModule(*m);
    Hooks().msgBox = [](const QString &text, const QString &title, MsgIcon) {
        qFatal("unexpected message %s: %s", qPrintable(title), qPrintable(text));
    };
    frmMain *main = MainForm();
    main->menu("mnuConnConn")->trigger();
    if (!G().Connected)
        qFatal("connect failed");

    sim::Pacing pacing;
    pacing.baud = 9600;
    pacing.turnaroundMs = 5;
    m->setPacing(pacing);
    m->clearReceived();

    // Two passes or so, then Stop; the cycle ends at a channel boundary.
    QTimer::singleShot(7000, main, [main] { main->menu("mnuMonitorStop")->trigger(); });
    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuSeconds();
    main->menu("mnuMonitorStart")->trigger();
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = t.nsecsElapsed() / 1e9;

    const QList<QByteArray> lines = m->received();
    *wireRatio = wall / wireSeconds("QV8_KX5", lines, pacing.baud, pacing.turnaroundMs);
    *cpuRatio = cpu / wall;
    main->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Hooks().msgBox = nullptr;
}

// CPU used while the zero/span dialog shows a channel's live value from a
// module at 9600 baud with a 5 ms turnaround: a read every 500 ms, and
// nothing but waiting in between.
double liveReadCpuRatio()
{
    auto m = startModule("QV8_KX5");
    useModule(*m);
    Hooks().msgBox = [](const QString &text, const QString &title, MsgIcon) {
        qFatal("unexpected message %s: %s", qPrintable(title), qPrintable(text));
    };
    frmMain *main = MainForm();
    main->menu("mnuConnConn")->trigger();
    if (!G().Connected)
        qFatal("connect failed");
    sim::Pacing pacing;
    pacing.baud = 9600;
    pacing.turnaroundMs = 5;
    m->setPacing(pacing);

    // The chooser and the dialog are modal: a timer presses their buttons,
    // and stands still while the dialog is measured.
    double cpu = 0, wall = 0;
    QElapsedTimer measured;
    int stage = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, main, [&] {
        frmZeroSpan *chooser = loaded<frmZeroSpan>();
        frmSetZeroSpan *dialog = loaded<frmSetZeroSpan>();
        if (stage == 0 && chooser && chooser->isVisible()) {
            stage = 1;
            QTimer::singleShot(0, chooser->cmdZero, &QPushButton::click);
        } else if (stage == 1 && dialog && dialog->isVisible() && dialog->reading()) {
            stage = 2;
            tick.stop();
            measured.start();
            cpu = threadCpuSeconds();
            QTimer::singleShot(5000, dialog, [&, dialog] {
                cpu = threadCpuSeconds() - cpu;
                wall = measured.nsecsElapsed() / 1e9;
                stage = 3;
                tick.start();
                dialog->cmdExit->click();
            });
        } else if (stage == 3 && chooser && chooser->cmdExit->isEnabled()) {
            stage = 4;
            QTimer::singleShot(0, chooser->cmdExit, &QPushButton::click);
        }
    });
    tick.start(50);
    main->menu("mnuAdjZeroSpan")->trigger();
    tick.stop();
    if (stage != 4 || wall <= 0)
        qFatal("the live reading did not run");
    main->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Hooks().msgBox = nullptr;
    return cpu / wall;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitData();

    const double reads = dataReadsPerSecond();
    const double raw = rawRoundTripsPerSecond();
    print("datareads_per_s", reads);
    print("raw_roundtrips_per_s", raw);
    print("overhead_ratio", 2 * reads / raw);
    print("timeout_wait_cpu_ratio", timeoutWaitCpuRatio());

    double wireRatio = 0, cpuRatio = 0;
    monitorPass(&wireRatio, &cpuRatio);
    print("monitor_pass_wire_ratio", wireRatio);
    print("monitor_cpu_ratio", cpuRatio);
    print("live_read_cpu_ratio", liveReadCpuRatio());
    return 0;
}
