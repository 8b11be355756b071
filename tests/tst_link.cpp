// The serial line and the text protocol, against the simulated module over
// a real pseudo-terminal, through the same QSerialPort code a real port uses.
#include "app/Globals.h"
#include "link/Communication.h"
#include "link/Ports.h"
#include "link/TxtBus.h"
#include "tests/support/Fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A bare pty whose far end the test drives by hand, for framing cases the
// module never produces on its own; the link opens it without the group check.
struct RawPty {
    int master = -1, slave = -1;
    explicit RawPty(LinkHost &host)
    {
        char name[256];
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        QString error;
        if (!host.openLine(QString::fromLatin1(name), &error))
            qFatal("cannot open %s", name);
    }
    ~RawPty()
    {
        ::close(master);
        ::close(slave);
    }
    void send(const QByteArray &b) { QVERIFY(::write(master, b.constData(), b.size()) == b.size()); }
    QByteArray drain()
    {
        QByteArray out;
        char buf[512];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0)
            out.append(buf, int(n));
        return out;
    }
};

}  // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void commOpenChecksTheLink()
    {
        LinkFixture f;
        int dialogs = 0;
        const auto dialog = Hooks().commPort;
        Hooks().commPort = [&] { ++dialogs; dialog(); };
        CommOpen();
        QVERIFY(G().Connected);
        QCOMPARE(dialogs, 1);
        QCOMPARE(f.received(), QStringList{"G01"});
        // Connected: the dialog is skipped, G01 goes out again.
        CommOpen();
        QCOMPARE(dialogs, 1);
        QCOMPARE(f.received(), (QStringList{"G01", "G01"}));
        QVERIFY(f.log.messages.isEmpty());
        CommClose();
        QVERIFY(!G().Connected);
        QVERIFY(!G().PortNumber.has_value());
        QVERIFY(!f.host().lineOpen());
        CommClose();  // on a closed port: only the state
        QVERIFY(!G().Connected);
    }

    void readLines_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("channel") << 5 << 3 << false << QStringList{"I05", "D03"};
        QTest::newRow("no index") << 90 << 0 << false << QStringList{"I90", "D"};
        QTest::newRow("forced index") << 2 << 0 << true << QStringList{"I02", "D00"};
    }
    void readLines()
    {
        QFETCH(int, item);
        QFETCH(int, index);
        QFETCH(bool, force);
        LinkFixture f("QV8T_KX7");
        CommOpen();
        f.clearReceived();
        G().ForceIndex = force;
        QString reply;
        QVERIFY(DataRead(item, index, reply));
        QTEST(f.received(), "lines");
        QCOMPARE(reply, valueIn(f.module(), item, index));
    }

    void replyFraming()
    {
        // A piece ending in CR ends the reply even with more behind it; what
        // follows is never taken as the next answer.
        LinkFixture f;
        RawPty pty(f.host());
        QTimer::singleShot(50, [&] { pty.send("D"); });
        QTimer::singleShot(100, [&] { pty.send("12"); });
        QTimer::singleShot(150, [&] { pty.send("\rD99\r"); });
        QCOMPARE(SendReceive("I05\r"), QString("D12\r"));
        pump(100);
        QTimer::singleShot(50, [&] { pty.send("D34\r"); });
        QCOMPARE(SendReceive("D03\r"), QString("D34\r"));
        QCOMPARE(pty.drain(), QByteArray("I05\rD03\r"));
        QVERIFY(f.log.messages.isEmpty());
    }

    void charactersWithoutCrTimeOut()
    {
        LinkFixture f;
        RawPty pty(f.host());
        QTimer::singleShot(50, [&] { pty.send("D05"); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(SendReceive("I05\r"), QString("D05"));
        QVERIFY(t.elapsed() >= 1900);
        QCOMPARE(f.log.messages, QList<ShownMessage>{kTimedOut});
        // The next check fails once and clears the flag, whatever it is given.
        QString good = "D18\r";
        QVERIFY(!ReplyCheck(good));
        QVERIFY(!G().TimeoutFlag);
        QVERIFY(ReplyCheck(good));
        QCOMPARE(good, QString("18"));
    }

    void overLongLineIsCapped_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("no end of line") << QByteArray(3000, 'x');
        QTest::newRow("whole line in one read") << "D" + QByteArray(1100, '7') + "\r";
    }
    void overLongLineIsCapped()
    {
        QFETCH(QByteArray, line);
        LinkFixture f;
        RawPty pty(f.host());
        QTimer::singleShot(20, [&] { pty.send(line); });
        QElapsedTimer t;
        t.start();
        QCOMPARE(SendReceive("D\r"), QString());
        QVERIFY(t.elapsed() < 1900);  // ended by the cap, not by the time-out
        QCOMPARE(f.log.messages.size(), 1);
        QCOMPARE(f.log.messages[0].title, QString("Send/Receive"));
        QCOMPARE(f.log.messages[0].icon, MsgIcon::Critical);
        QVERIFY(f.log.messages[0].text.contains("too long"));
        QString any = "D1\r";
        QVERIFY(!ReplyCheck(any));
    }

    void answerJustInTime()
    {
        // A coarse 2 s timer ends on a whole or half second of the monotonic
        // clock, up to 100 ms early: started 100-250 ms past one, at 1.9 s.
        LinkFixture f;
        CommOpen();
        f.module().setFaults(faults([](sim::Faults &x) { x.delayMs = 1930; }));
        QElapsedTimer clock;
        clock.start();
        pump(int((675 - clock.msecsSinceReference() % 500) % 500));
        for (int i = 0; i < 2; ++i)
            QCOMPARE(SendReceive("I90\r"), QString("D90\r"));
        QVERIFY(f.log.messages.isEmpty());
    }

    void replyCheck_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("payload");
        QTest::newRow("D CR only") << "D\r" << false << "D\r";
        QTest::newRow("space payload") << "D \r" << true << "";
        QTest::newRow("trimmed") << "D  12.5 \r" << true << "12.5";
        QTest::newRow("only spaces trimmed") << "D\t7 \r" << true << "\t7";
        QTest::newRow("no D") << "X12\r" << false << "X12\r";
        QTest::newRow("no CR") << "D12" << false << "D12";
    }
    void replyCheck()
    {
        QFETCH(QString, reply);
        G().TimeoutFlag = false;
        QTEST(ReplyCheck(reply), "ok");
        QTEST(reply, "payload");
    }

    void silentModule()
    {
        LinkFixture f;
        f.host().Timer1.setInterval(200);  // a quick time-out keeps the test short
        f.module().setFaults(faults([](sim::Faults &x) { x.silent = true; }));
        QList<bool> lost;
        Hooks().linkLost = [&](bool wasConnected) { lost << wasConnected; };
        CommOpen();
        QVERIFY(!G().Connected);
        QCOMPARE(lost, QList<bool>{false});
        const ShownMessage groupError{"Out=G01\r\r\nIn =", "Group Command Error",
                                      MsgIcon::Exclamation};
        // the last word names the port and what to check
        QCOMPARE(f.log.titles(), (QStringList{"Send/Receive", "Send/Receive", "Send/Receive",
                                              "Group Command Error", "Communication"}));
        QCOMPARE(f.log.messages.mid(0, 4),
                 (QList<ShownMessage>{kTimedOut, kTimedOut, kTimedOut, groupError}));
        const ShownMessage last = f.log.messages.last();
        QCOMPARE(last.icon, MsgIcon::Exclamation);
        QVERIFY(last.text.startsWith("Communication failed\n"));
        for (const QString &word : {f.module().portPath(), QString("cable"), QString("power"),
                                    QString("address settings")})
            QVERIFY2(last.text.contains(word), qPrintable(word));
        QCOMPARE(f.received(), (QStringList{"G01", "G01", "G01"}));
        QVERIFY(!f.host().lineOpen());  // a failed connect does not hold the port

        // so the next choice of port counts
        sim::PtyModule other("QV8_L5");
        QVERIFY(other.start());
        usePort(other.portPath());
        CommOpen();
        QVERIFY(G().Connected);
        QCOMPARE(f.received().size(), 3);
        QCOMPARE(other.received(), QList<QByteArray>{"G01"});
    }

    void busyModule_data()
    {
        QTest::addColumn<int>("busy");
        QTest::addColumn<bool>("connected");
        QTest::newRow("busy twice") << 2 << true;
        QTest::newRow("busy three times") << 3 << false;
    }
    void busyModule()
    {
        QFETCH(int, busy);
        QFETCH(bool, connected);
        LinkFixture f;
        f.module().setFaults(faults([busy](sim::Faults &x) { x.busyGroupSelects = busy; }));
        QString reply;
        G().PortNumber = 3;
        G().PortName = f.module().portPath();
        QString error;
        QVERIFY(f.host().openLine(G().PortName, &error));
        QCOMPARE(GroupCommand(1, reply), connected);
        QCOMPARE(f.received().size(), 3);
        const ShownMessage busyError{"Out=G01\r\r\nIn =busy", "Group Command Error",
                                     MsgIcon::Exclamation};
        QCOMPARE(f.log.messages,
                 connected ? QList<ShownMessage>() : QList<ShownMessage>{busyError});
    }

    // The tail of a reply from before comes first: the select's own answer,
    // still on its way, is let go before the select is repeated, so every
    // later reply belongs to its command.
    void staleReplyTail()
    {
        LinkFixture f;
        f.module().setPacing({9600, 5, 2});
        f.module().setFaults(faults([](sim::Faults &x) { x.staleTail = "009\r"; }));
        CommOpen();
        QVERIFY(G().Connected);
        QString model;
        QVERIFY(DataRead(90, 0, model));
        QCOMPARE(model, QString("QV8_KX5"));
    }

    void writesConvertTheFirstComma()
    {
        LinkFixture f;
        CommOpen();
        f.clearReceived();
        QString reply;
        QVERIFY(ParameterWrite(16, "2,5", reply));
        QCOMPARE(reply, QString("2.5"));
        ParameterWrite(16, "2,5,0", reply);
        QCOMPARE(f.received(), (QStringList{"I16", "D2.5", "I16", "D2.5,0"}));
    }

    void failedItemSelectSendsNoData()
    {
        LinkFixture f;
        CommOpen();
        f.clearReceived();
        f.module().setFaults(faults([](sim::Faults &x) { x.garbage = true; }));
        QString reply;
        QVERIFY(!DataRead(5, 1, reply));
        QVERIFY(!ParameterWrite(5, "0118", reply));
        QCOMPARE(f.received(), (QStringList{"I05", "I05"}));
        QVERIFY(f.log.messages.isEmpty());
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::newRow("illegal OPE") << "illegal OPE";
        QTest::newRow("invalid data") << "invalid data";
    }
    void refusedWrites()
    {
        QFETCH(QString, payload);
        LinkFixture f;
        CommOpen();
        f.module().setFaults(faults([&](sim::Faults &x) { x.refuseWrites = payload; }));
        QString reply;
        QVERIFY(!ParameterWrite(5, "0318", reply));
        QCOMPARE(f.log.messages, QList<ShownMessage>{writeRefused("D0318", 5)});
    }

    void lateReplyIsNeverTakenForTheNextCommand()
    {
        LinkFixture f;
        CommOpen();
        f.host().Timer1.setInterval(200);  // a quick time-out keeps the test short
        f.module().setFaults(faults([](sim::Faults &x) { x.delayMs = 300; }));
        QString reply;
        QVERIFY(!DataRead(5, 3, reply));
        QCOMPARE(f.log.messages, QList<ShownMessage>{kTimedOut});
        pump(250);  // the late answer to I05 has arrived by now
        f.module().setFaults(sim::Faults{});
        QVERIFY(DataRead(90, 0, reply));
        QCOMPARE(reply, QString("QV8_KX5"));
        QVERIFY(DataRead(93, 0, reply));
        QCOMPARE(reply, valueIn(f.module(), 93, 0));
    }

    void overlappingExchangesTakeTurns()
    {
        LinkFixture f;
        CommOpen();
        f.clearReceived();
        f.module().setValue(5, 3, "18");
        f.module().setFaults(faults([](sim::Faults &x) { x.delayMs = 300; }));
        QString inner;
        bool innerOk = false;
        // An event handler that talks to the module while the outer read waits.
        QTimer::singleShot(100, [&] { innerOk = DataRead(90, 0, inner); });
        QString outer;
        QVERIFY(DataRead(5, 3, outer));
        QVERIFY(innerOk);
        QCOMPARE(outer, QString("18"));
        QCOMPARE(inner, QString("QV8_KX5"));
        // the outer read selects its item again after the inner one
        QCOMPARE(f.received(), (QStringList{"I05", "I90", "D", "I05", "D03"}));
        QVERIFY(f.log.messages.isEmpty());
    }

    // Why a port cannot be opened, and what to do: the facts of a denied or
    // busy device are acted out through the seam; a missing path and a pty
    // another port holds are real.
    void portThatCannotOpen_data()
    {
        QTest::addColumn<QString>("where");  // missing, file, held
        QTest::addColumn<int>("facts");      // 0 real, 1 denied to group dialout, 2 held by minicom
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QStringList>("says");
        const QStringList two = {"/dev/serial/by-id/usb-FTDI_A1-if00-port0", "/dev/ttyUSB7"};
        QTest::newRow("not found") << "missing" << 0 << two
                                   << QStringList{"was not found", two[0], two[1]};
        QTest::newRow("not found, no ports")
            << "missing" << 0 << QStringList() << QStringList{"no serial ports at all"};
        QTest::newRow("no permission")
            << "file" << 1 << two
            << QStringList{"group \"dialout\"", "sudo usermod -aG dialout $USER", "log out"};
        QTest::newRow("busy, named") << "file" << 2 << two
                                     << QStringList{"is busy", "(minicom, process 4242)"};
        // the lock file of the port held here names this process
        QTest::newRow("busy, held here")
            << "held" << 0 << two
            << QStringList{"is busy",
                           QString("process %1").arg(QCoreApplication::applicationPid())};
    }
    void portThatCannotOpen()
    {
        QFETCH(QString, where);
        QFETCH(int, facts);
        QFETCH(QStringList, ports);
        QFETCH(QStringList, says);
        LinkFixture f;
        QTemporaryDir dir;
        QString path = dir.filePath("ttyGONE");
        QSerialPort holder;
        if (where == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (where == "held") {
            path = f.module().portPath();
            holder.setPortName(path);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        }
        PortLister() = [ports] {
            QList<PortEntry> list;
            for (const QString &p : ports)
                list.append({p, p, QString()});
            return list;
        };
        if (facts)
            PortFactsSeam() = [facts](const QString &) {
                PortFacts pf;
                pf.exists = true;
                pf.accessible = facts != 1;
                pf.group = "dialout";
                pf.holder = facts == 2 ? "minicom, process 4242" : "";
                return pf;
            };
        usePort(path);
        QList<bool> lost;
        Hooks().linkLost = [&](bool wasConnected) { lost << wasConnected; };
        CommOpen();
        QVERIFY(!G().Connected);
        QCOMPARE(lost, QList<bool>{false});
        QVERIFY(!f.host().lineOpen());
        QCOMPARE(f.log.titles(), QStringList{"Communication"});
        QCOMPARE(f.log.messages[0].icon, MsgIcon::Exclamation);
        for (const QString &s : says << path)
            QVERIFY2(f.log.messages[0].text.contains(s), qPrintable(f.log.messages[0].text));
    }

    void stableNamesFirst()
    {
        const QList<QSerialPortInfo> system = QSerialPortInfo::availablePorts();
        if (system.isEmpty())
            QSKIP("no serial port on this machine to give a stable name");
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Maker_Adapter_A1-if00-port0");
        QVERIFY(QFile::link(system.last().systemLocation(), link));
        const QList<PortEntry> ports = SystemPorts(byId.path());
        QCOMPARE(ports.size(), system.size());
        QCOMPARE(ports.first().path, link);
        QCOMPARE(ports.first().device, system.last().systemLocation());
        QVERIFY(ports.first().description.startsWith(system.last().portName()));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
