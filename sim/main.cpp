// kavix-sim: serve one simulated module on a pseudo-terminal until killed.

#include "sim/SimModule.h"
#include "sim/TcpRelay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <cstdio>

#include <pthread.h>
#include <unistd.h>

namespace {

int usageError(const QString &text)
{
    std::fprintf(stderr, "kavix-sim: %s\n", qPrintable(text));
    return 2;
}

}  // namespace

int main(int argc, char *argv[])
{
    // Block the stop signals before any thread exists, so only sigwait below
    // sees them and every thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kavix-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KAVIX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves a simulated remote I/O module on a pseudo-terminal and prints its "
                       "port path.\nNAME is one of %1.")
            .arg(sim::ModuleCore::models().join(QStringLiteral(", "))));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Model name."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Emulate the wire at this baud rate (0: instant)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption turnaround(QStringLiteral("turnaround"),
                                        QStringLiteral("Module turnaround time in ms."),
                                        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Answer this many ms later."), QStringLiteral("MS"),
                                   QStringLiteral("0"));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Send each reply in N pieces."), QStringLiteral("N"),
                                   QStringLiteral("0"));
    const QCommandLineOption busy(QStringLiteral("busy"),
                                  QStringLiteral("Answer busy to N group selects (-1: always)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption garbage(QStringLiteral("garbage"),
                                     QStringLiteral("Answer every command with junk."));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer every write with this payload."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption refuseItem(QStringLiteral("refuse-item"),
                                        QStringLiteral("Answer with the --refuse payload only the "
                                                       "writes to item N."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption forget(QStringLiteral("forget"),
                                    QStringLiteral("Echo writes to item N as if kept, but keep "
                                                   "the old value."),
                                    QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption changedEcho(QStringLiteral("changed-echo"),
                                         QStringLiteral("Echo another value than was written."));
    const QCommandLineOption echoDecimals(
        QStringLiteral("echo-decimals"),
        QStringLiteral("Echo a decimal value written with N decimals (-1: as the module keeps it)."),
        QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption stopAfter(QStringLiteral("stop-after"),
                                       QStringLiteral("Stop answering after N commands."),
                                       QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption noCr(QStringLiteral("no-cr"),
                                  QStringLiteral("Leave the final CR off every reply."));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Put these bytes (hex) after the D of every reply."),
                                   QStringLiteral("HEX"));
    const QCommandLineOption skip(QStringLiteral("skip"),
                                  QStringLiteral("Leave the first N commands unanswered."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption hangupAfter(
        QStringLiteral("hangup-after"),
        QStringLiteral("Close the port, as a pulled cable does, when the Nth command arrives."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption swapModel(
        QStringLiteral("swap-model"),
        QStringLiteral("After N commands answer with the model name NAME, as if another module "
                       "had been plugged in."),
        QStringLiteral("NAME:N"));
    const QCommandLineOption value(
        QStringLiteral("value"),
        QStringLiteral("Answer reads of item ITEM, index INDEX (0: none) with PAYLOAD until a "
                       "write replaces it; may be given more than once."),
        QStringLiteral("ITEM:INDEX:PAYLOAD"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Print every command line received on standard "
                                                  "error."));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also make PATH a symlink to the port."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Serve the module as a raw TCP line on 127.0.0.1:PORT (0: a free port) "
                       "and print socket://127.0.0.1:PORT instead of the port path."),
        QStringLiteral("PORT"));
    parser.addOptions({listen, model, baud, turnaround, silent, delay, split, busy, garbage, refuse,
                       refuseItem, forget, changedEcho, echoDecimals, stopAfter, noCr, noise, skip,
                       hangupAfter, swapModel, value,
                       trace, link});
    // A bad command line ends with status 2, as kavix's does.
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText() + QStringLiteral(" (see --help)"));
    parser.process(app);  // --help, --help-all and --version print and exit

    const QString name = parser.value(model);
    if (name.isEmpty())
        return usageError(QStringLiteral("--model NAME is required (see --help)"));
    if (sim::ModuleCore::kindOf(name) == 0)
        return usageError(QStringLiteral("unknown model \"%1\"; known models: %2")
                              .arg(name, sim::ModuleCore::models().join(QStringLiteral(", "))));

    auto number = [&](const QCommandLineOption &o, int min, int *out) {
        bool ok = false;
        *out = parser.value(o).toInt(&ok);
        return ok && *out >= min;
    };
    sim::Faults faults;
    sim::Pacing pacing;
    if (!number(baud, 0, &pacing.baud) || !number(turnaround, 0, &pacing.turnaroundMs) ||
        !number(delay, 0, &faults.delayMs) || !number(split, 0, &faults.splitPieces) ||
        !number(busy, -1, &faults.busyGroupSelects) || !number(stopAfter, -1, &faults.stopAfter) ||
        !number(echoDecimals, -1, &faults.echoDecimals) || !number(refuseItem, 0, &faults.refuseItem) ||
        !number(forget, 0, &faults.forgetItem) ||
        !number(hangupAfter, 0, &faults.hangupAfter) || !number(skip, 0, &faults.skipFirst))
        return usageError(QStringLiteral("numeric options take whole numbers (see --help)"));
    faults.silent = parser.isSet(silent);
    faults.garbage = parser.isSet(garbage);
    faults.refuseWrites = parser.value(refuse);
    faults.changedEcho = parser.isSet(changedEcho);
    faults.noCr = parser.isSet(noCr);
    faults.noise = QByteArray::fromHex(parser.value(noise).toLatin1());
    if (parser.isSet(swapModel)) {
        const QString swap = parser.value(swapModel);
        bool ok = false;
        faults.swapModel = swap.section(QLatin1Char(':'), 0, -2);
        faults.swapAfter = swap.section(QLatin1Char(':'), -1).toInt(&ok);
        if (!ok || faults.swapAfter < 0 || faults.swapModel.isEmpty())
            return usageError(QStringLiteral("--swap-model takes NAME:N, not \"%1\"").arg(swap));
    }

    sim::PtyModule module(name);
    module.setFaults(faults);
    for (const QString &v : parser.values(value)) {
        bool item = false, index = false;
        const int i = v.section(QLatin1Char(':'), 0, 0).toInt(&item);
        const int x = v.section(QLatin1Char(':'), 1, 1).toInt(&index);
        if (!item || !index || v.count(QLatin1Char(':')) < 2)
            return usageError(
                QStringLiteral("--value takes ITEM:INDEX:PAYLOAD, not \"%1\"").arg(v));
        module.setValue(i, x, v.section(QLatin1Char(':'), 2));
    }
    module.setPacing(pacing);
    const bool tracing = parser.isSet(trace);
    std::atomic<int> seen{0};
    if (tracing || faults.hangupAfter > 0)
        module.setTrace([&](const QByteArray &line) {
            if (tracing) {
                std::fprintf(stderr, "%s\n", line.constData());
                std::fflush(stderr);
            }
            // the module closes the port itself; the program ends with it
            if (faults.hangupAfter > 0 && ++seen == faults.hangupAfter)
                ::kill(::getpid(), SIGTERM);
        });
    QString error;
    if (!module.start(&error)) {
        std::fprintf(stderr, "kavix-sim: %s\n", qPrintable(error));
        return 1;
    }

    const QString linkPath = parser.value(link);
    if (!linkPath.isEmpty()) {
        // Replace a link left behind by an earlier run, but nothing else.
        const QFileInfo info(linkPath);
        if (info.isSymLink()) {
            QFile::remove(linkPath);
        } else if (info.exists()) {
            std::fprintf(stderr, "kavix-sim: %s exists and is not a symlink\n", qPrintable(linkPath));
            return 1;
        }
        if (::symlink(module.portPath().toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
            std::perror("kavix-sim: symlink");
            return 1;
        }
    }

    sim::TcpRelay relay;
    QString shown = module.portPath();
    if (parser.isSet(listen)) {
        bool ok = false;
        const int port = parser.value(listen).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            return usageError(QStringLiteral("--listen takes a port number from 0 to 65535"));
        const quint16 at = relay.start(quint16(port), module.portPath());
        if (at == 0) {
            std::perror("kavix-sim: listen");
            return 1;
        }
        shown = QStringLiteral("socket://127.0.0.1:%1").arg(at);
    }
    std::printf("%s\n", qPrintable(shown));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);

    module.stop();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    return 0;
}
