// kavix-bench: figures of the link and the monitoring cycle, each a ratio
// measured inside one run, printed as "name: value" lines.

#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/Init.h"
#include "app/Messages.h"
#include "app/ui/EditorDialog.h"
#include "app/ui/Forms.h"
#include "app/ui/frmCommPort.h"
#include "app/ui/frmDialog.h"
#include "app/ui/frmMain.h"
#include "bench/TrendLoad.h"
#include "compare/ui/frmCompare.h"
#include "config/ModbusWindow.h"
#include "files/CsvLog.h"
#include "link/Communication.h"
#include "link/LineTrace.h"
#include "link/Transport.h"
#include "link/TxtBus.h"
#include "monitor/frmTrace.h"
#include "monitor/frmTrend.h"
#include "sim/SimModule.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <qcustomplot.h>

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

// The whole program's CPU, the threads that serve simulated modules included.
double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
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

// The pace of a module at 9600 baud that answers after 5 ms.
sim::Pacing slowLine()
{
    sim::Pacing pacing;
    pacing.baud = 9600;
    pacing.turnaroundMs = 5;
    return pacing;
}

// The module's pty opened raw, for a bare write-line / read-line loop.
int openRaw(const sim::PtyModule &m)
{
    const int fd = ::open(m.portPath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Any message ends the run: the figure would mean nothing.
void failOnMessages()
{
    Hooks().msgBox = [](const QString &text, const QString &title, MsgIcon) {
        qFatal("unexpected message %s: %s", qPrintable(title), qPrintable(text));
    };
}

// Connects the main window through its menu, as a user would.
void connectMain(frmMain *main)
{
    main->menu("mnuConnConn")->trigger();
    if (!G().Connected)
        qFatal("connect failed");
}

// The main window closed and gone; messages no longer end the run.
void closeMain(frmMain *main)
{
    main->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Hooks().msgBox = nullptr;
}

void useModule(const sim::PtyModule &m, const QString &port = QString())
{
    const QString path = port.isEmpty() ? m.portPath() : port;
    Hooks().commPort = [path] {
        G().PortNumber = 3;
        G().PortName = path;
    };
}

// The main window connected to the module; any message ends the run.
frmMain *connectedTo(const sim::PtyModule &m, const QString &port = QString())
{
    useModule(m, port);
    failOnMessages();
    frmMain *main = MainForm();
    connectMain(main);
    return main;
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
    const int fd = openRaw(*m);
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
    QString error;
    if (!host.openLine(m->portPath(), &error))
        qFatal("open failed: %s", qPrintable(error));
    Hooks().msgBox = [](const QString &, const QString &, MsgIcon) {};
    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuSeconds();
    SendReceive("I90\r");
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = t.nsecsElapsed() / 1e9;
    Hooks().msgBox = nullptr;
    G().TimeoutFlag = false;
    CommClose();
    G().CommForm = nullptr;
    return cpu / wall;
}

struct PassRun {
    double wireRatio = 0;
    double cpuRatio = 0;     // CPU seconds per wall second
    double cpuSeconds = 0;
    QList<QByteArray> lines;
};

// CPU seconds of this thread and of the link's own reader threads.
double linkCpuSeconds()
{
    const LinkHost *h = G().CommForm;
    return threadCpuSeconds() + (h && h->line() ? h->line()->helperCpuSeconds() : 0);
}

// ser2net in front of a module's pty, raw TCP on a free port of 127.0.0.1;
// empty when ser2net is not there or does not come up. By default ser2net
// holds what the serial port gives until the line has been quiet for two
// characters' time (chardelay); sendOnCr sends a reply on as soon as its CR
// has come, as the README's configuration does.
struct Ser2net {
    QProcess process;
    QTemporaryDir dir;
    QString url;
    Ser2net(const QString &pty, bool sendOnCr)
    {
        QTcpSocket probe;
        quint16 port = 0;
        {
            // a port free now; ser2net takes it a moment later
            QTcpServer s;
            s.listen(QHostAddress::LocalHost);
            port = s.serverPort();
        }
        QFile conf(dir.filePath("ser2net.yaml"));
        if (!conf.open(QIODevice::WriteOnly))
            return;
        conf.write(QString("connection: &bench\n  accepter: tcp,127.0.0.1,%1\n"
                           "  connector: serialdev,%2,9600n81,local\n%3")
                       .arg(port)
                       .arg(pty, sendOnCr ? "  options:\n    sendon: '\\r'\n" : "")
                       .toUtf8());
        conf.close();
        process.start("ser2net", {"-n", "-c", conf.fileName()});
        if (!process.waitForStarted(3000))
            return;
        for (int i = 0; i < 100 && url.isEmpty(); ++i) {
            probe.connectToHost("127.0.0.1", port);
            if (probe.waitForConnected(100))
                url = QString("socket://127.0.0.1:%1").arg(port);
            probe.abort();
            QThread::msleep(50);
        }
    }
    ~Ser2net()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();  // this ser2net only, by its process
            process.waitForFinished(3000);
        }
    }
};

// Monitoring over a paced module, through the main window's Start and Stop.
// With allOn the trace window is open, the trend plot shows every channel
// and the passes are logged to a CSV file. Over TCP the module is reached
// through ser2net, sending each reply on at its CR or as by default.
enum class Line { Pty, Tcp, TcpSer2netDefaults };
PassRun monitorPass(bool allOn, Line line = Line::Pty)
{
    auto m = startModule("QV8_KX5");
    std::unique_ptr<Ser2net> server;
    if (line != Line::Pty) {
        server = std::make_unique<Ser2net>(m->portPath(), line == Line::Tcp);
        if (server->url.isEmpty())
            return PassRun{};
    }
    frmMain *main = connectedTo(*m, server ? server->url : QString());

    QTemporaryDir dir;
    if (allOn) {
        frmTrace::ShowTrace();
        frmTrend::ShowTrend();
        QString error;
        if (!CsvLog::instance().start(dir.filePath("bench.csv"), &error))
            qFatal("csv: %s", qPrintable(error));
    }

    const sim::Pacing pacing = slowLine();
    m->setPacing(pacing);
    m->clearReceived();

    // Two passes or so, then Stop; the cycle ends at a channel boundary.
    QTimer::singleShot(7000, main, [main] { main->menu("mnuMonitorStop")->trigger(); });
    QElapsedTimer t;
    t.start();
    const double cpu0 = linkCpuSeconds();
    main->menu("mnuMonitorStart")->trigger();
    PassRun run;
    run.cpuSeconds = linkCpuSeconds() - cpu0;
    const double wall = t.nsecsElapsed() / 1e9;

    run.lines = m->received();
    run.wireRatio =
        wall / bench::WireSeconds("QV8_KX5", run.lines, pacing.baud, pacing.turnaroundMs);
    run.cpuRatio = run.cpuSeconds / wall;
    if (allOn) {
        CsvLog::instance().stop();
        if (loaded<frmTrend>()->picPlot->graph(0)->dataCount() < 2)
            qFatal("the trend plot got no passes");
    }
    closeMain(main);
    return run;
}

// CPU of a bare write-line / read-line loop sending these lines to a module
// paced like the one above: the floor for a program that takes the reply
// as it arrives, character by character.
double bareLoopCpuSeconds(const QList<QByteArray> &lines)
{
    auto m = startModule("QV8_KX5");
    const sim::Pacing pacing = slowLine();
    m->setPacing(pacing);
    const int fd = openRaw(*m);
    const double cpu0 = threadCpuSeconds();
    for (const QByteArray &line : lines) {
        const QByteArray out = line + "\r";
        if (::write(fd, out.constData(), size_t(out.size())) != out.size())
            qFatal("write failed");
        char c = 0;
        while (::read(fd, &c, 1) == 1 && c != '\r') {
        }
    }
    const double cpu = threadCpuSeconds() - cpu0;
    ::close(fd);
    return cpu;
}

// Memory of the trace after a million exchanges went through the recorder
// the link uses.
double traceMbAfterMillion()
{
    const double before = bench::RssMb();
    for (int i = 0; i < 1000000; ++i) {
        const QByteArray command =
            QString(i % 2 ? "D%1\r" : "I%1\r").arg(i % 16 + 1, 2, 10, QChar('0')).toLatin1();
        TracedExchange exchange(command);
        exchange.ended(QString("D%1\r").arg(i % 997 / 7.0, 0, 'f', 4).toLatin1(), false);
    }
    if (LineTrace::instance().size() != LineTrace::Capacity)
        qFatal("the trace keeps %d entries", LineTrace::instance().size());
    return bench::RssMb() - before;
}

// The trend plot holding 8 hours of 16 channels at the pass rate of a kind-1
// module at 9600 baud: its memory and one redraw with all of it in view.
void trend8h(double *redrawMs, double *mb, int *points)
{
    // the group entry is replayed, not counted
    const double step = bench::WireSeconds("QV8_KX5", bench::TrendPass(), 9600, 0, 1);
    *points = int(8 * 3600 / step);

    const double before = bench::RssMb();
    frmTrend *w = form<frmTrend>();
    w->resize(1000, 600);
    w->show();
    PassSample p;
    p.kind = 1;
    p.channels = QList<ChannelSample>(16);
    const qint64 t0 = QDateTime::currentMSecsSinceEpoch() - qint64(8 * 3600 * 1000.0);
    for (int i = 0; i < *points; ++i) {
        p.timeMs = t0 + qint64(i * step * 1000);
        for (int ch = 0; ch < 16; ++ch) {
            const double v = bench::TrendValue(ch, i);
            p.channels[ch] = ChannelSample{true, v, Fmt3(v), "degC", "K(CA)"};
        }
        w->AddPass(p);
    }
    QCustomPlot *plot = w->picPlot;
    plot->xAxis->setRange(t0 / 1000.0, p.timeMs / 1000.0);  // all of it in view
    plot->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    *mb = bench::RssMb() - before;
    *redrawMs = bench::RedrawMs(plot, t0 / 1000.0, p.timeMs / 1000.0);
    unload<frmTrend>();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// CPU / wall while the window monitors the built-in simulated module, as
// the demo does: the module answers at its own pace and the program waits.
double builtinSimMonitorCpuRatio()
{
    QString error;
    const QString path = frmCommPort::simulatedPort("QV8_KX5", &error);
    if (path.isEmpty())
        qFatal("simulated module: %s", qPrintable(error));
    Hooks().commPort = [path] {
        G().PortNumber = 3;
        G().PortName = path;
    };
    failOnMessages();
    frmMain *main = MainForm();
    main->show();
    connectMain(main);
    QTimer::singleShot(5000, main, [main] { main->menu("mnuMonitorStop")->trigger(); });
    QElapsedTimer t;
    t.start();
    const double cpu0 = processCpuSeconds();
    main->menu("mnuMonitorStart")->trigger();
    const double ratio = (processCpuSeconds() - cpu0) / (t.nsecsElapsed() / 1e9);
    closeMain(main);
    return ratio;
}

// CPU used by a module restart from the Modbus window: the 2 s wait for
// the module to come back and the few exchanges around it.
double restartWaitCpuRatio()
{
    auto m = startModule("QV8_KX5");
    frmMain *main = connectedTo(*m);
    double cpu = 0, wall = 0;
    EditorDialog::script() = [&](EditorDialog *d) {
        auto *w = qobject_cast<ModbusWindow *>(d);
        if (!w)
            qFatal("no Modbus window");
        QElapsedTimer t;
        t.start();
        const double cpu0 = threadCpuSeconds();
        w->cmdQV8Res->click();
        cpu = threadCpuSeconds() - cpu0;
        wall = t.nsecsElapsed() / 1e9;
    };
    main->menu("mnuConfigModBus")->trigger();
    EditorDialog::script() = nullptr;
    if (wall < 2.0)
        qFatal("the restart did not wait");
    closeMain(main);
    return cpu / wall;
}

// CPU used while the zero/span dialog shows a channel's live value from a
// module at 9600 baud with a 5 ms turnaround: a read every 500 ms, and
// nothing but waiting in between.
double liveReadCpuRatio()
{
    auto m = startModule("QV8_KX5");
    frmMain *main = connectedTo(*m);
    const sim::Pacing pacing = slowLine();
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
    closeMain(main);
    return cpu / wall;
}

}  // namespace

// Against a kind-1 module at 9600 baud: comparing with the module against
// an upload, and writing one changed setting (the download of the
// differences) against a whole download.
void compareFigures(double *compareVsUpload, double *diffVsFull)
{
    auto m = startModule("QV8_KX5");
    frmMain *main = connectedTo(*m);
    m->setPacing(slowLine());
    frmDialog::answer = [](const QString &) { return std::optional<bool>(true); };
    const auto seconds = [](const std::function<void()> &work) {
        QElapsedTimer t;
        t.start();
        work();
        return t.nsecsElapsed() / 1e9;
    };
    const double upload = seconds([main] { main->menu("mnuConfigUpload")->trigger(); });
    const double full = seconds([main] { main->menu("mnuConfigDownload")->trigger(); });
    G().FilterTime = G().FilterTime == "2.5" ? "3.5" : "2.5";
    QElapsedTimer t;
    double compare = 0, diff = 0;
    t.start();
    const bool shown = DriveWindow<frmCompare>(
        [&](frmCompare *w) {
            compare = t.nsecsElapsed() / 1e9;
            if (w->comparison().differing() != 1)
                qFatal("the comparison found %d differences, not 1", w->comparison().differing());
            diff = seconds([w] { w->cmdDownload_Click(); });
        },
        [main] { main->menu("mnuConfigCompare")->trigger(); });
    if (!shown)
        qFatal("the comparison did not open");
    frmDialog::answer = nullptr;
    closeMain(main);
    *compareVsUpload = compare / upload;
    *diffVsFull = diff / full;
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // the main window keeps its place in a folder of this run, not the user's
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    InitData();

    // Memory first, while nothing has been freed that a later part could
    // take again without the figure showing it.
    print("trace_mb_1m", traceMbAfterMillion());
    double redrawMs = 0, mb = 0;
    int points = 0;
    trend8h(&redrawMs, &mb, &points);
    print("trend_points_per_channel_8h", points);
    print("trend_redraw_ms_8h", redrawMs);
    print("trend_mb_8h", mb);

    const double reads = dataReadsPerSecond();
    const double raw = rawRoundTripsPerSecond();
    print("datareads_per_s", reads);
    print("raw_roundtrips_per_s", raw);
    print("overhead_ratio", 2 * reads / raw);
    print("timeout_wait_cpu_ratio", timeoutWaitCpuRatio());
    print("restart_wait_cpu_ratio", restartWaitCpuRatio());

    const PassRun plain = monitorPass(false);
    print("monitor_pass_wire_ratio", plain.wireRatio);
    print("monitor_cpu_ratio", plain.cpuRatio);
    print("monitor_cpu_vs_bare", plain.cpuSeconds / bareLoopCpuSeconds(plain.lines));
    print("monitor_pass_wire_ratio_all_on", monitorPass(true).wireRatio);
    for (const Line line : {Line::Tcp, Line::TcpSer2netDefaults}) {
        const char *suffix = line == Line::Tcp ? "" : "_ser2net_defaults";
        const PassRun tcp = monitorPass(false, line);
        if (tcp.lines.isEmpty()) {
            std::printf("tcp_monitor_pass_wire_ratio%s: skipped, ser2net did not run\n", suffix);
            continue;
        }
        print(qPrintable(QString("tcp_monitor_pass_wire_ratio") + suffix), tcp.wireRatio);
        print(qPrintable(QString("tcp_monitor_cpu_ratio") + suffix), tcp.cpuRatio);
    }
    print("builtin_sim_monitor_cpu_ratio", builtinSimMonitorCpuRatio());
    print("live_read_cpu_ratio", liveReadCpuRatio());
    double compareVsUpload = 0, diffVsFull = 0;
    compareFigures(&compareVsUpload, &diffVsFull);
    print("compare_vs_upload_ratio", compareVsUpload);
    print("diff_download_vs_full_ratio", diffVsFull);
    return 0;
}
