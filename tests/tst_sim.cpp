// The module simulator: its protocol core on its own, then over a real pty.

#include "sim/SimModule.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <functional>

using FaultSetup = std::function<void(sim::Faults &)>;
Q_DECLARE_METATYPE(FaultSetup)

namespace {

// Feed command lines one by one and return everything the core answered.
QByteArray talk(sim::ModuleCore &core, const QStringList &lines)
{
    QByteArray all;
    for (const QString &l : lines)
        for (const sim::Reply &r : core.feed(l.toLatin1() + '\r'))
            all += r.bytes;
    return all;
}

// Group 1, item select, one data line: the payload of the data reply.
QString exchange(sim::ModuleCore &core, int item, const QString &data)
{
    talk(core, {QStringLiteral("G01"), QStringLiteral("I%1").arg(item, 2, 10, QLatin1Char('0'))});
    const QByteArray r = talk(core, {QLatin1Char('D') + data});
    if (r.size() < 2 || r.front() != 'D' || r.back() != '\r')
        return QStringLiteral("<bad reply: %1>").arg(QString::fromLatin1(r));
    return QString::fromLatin1(r.mid(1, r.size() - 2));
}

// Read from fd until a CR arrives or the time is up; every read() is kept apart.
QList<QByteArray> readPieces(int fd, int timeoutMs)
{
    QList<QByteArray> pieces;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(timeoutMs - t.elapsed())) <= 0)
            break;
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        pieces.append(QByteArray(buf, int(n)));
        if (pieces.last().endsWith('\r'))
            break;
    }
    return pieces;
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void catalog();
    void framing_data();
    void framing();
    void refusals_data();
    void refusals();
    void typeCodes_data();
    void typeCodes();
    void liveValuesMoveWithTheClock();
    void burnoutShowsInStatus();
    void zeroSpanAdjusts();
    void pinsAndLog();
    void faults_data();
    void faults();
    void overThePty();
};

void TestSim::catalog()
{
    const QStringList names = sim::ModuleCore::models();
    QCOMPARE(names, QStringList({"QV8_KX5", "QV8T_KX7", "QV8_L5", "QV8_B6", "QV8_E6", "QW8_KX5",
                                 "QY8_KX5", "QV8_B6F4", "QV8_E6F4", "QV8_H9"}));
    const int kinds[] = {1, 6, 2, 3, 4, 1, 1, 3, 4, 5};
    const int chans[] = {16, 8, 8, 32, 32, 16, 16, 32, 32, 8};
    for (int i = 0; i < names.size(); ++i) {
        sim::ModuleCore core(names[i]);
        QCOMPARE(core.kind(), kinds[i]);
        QCOMPARE(core.channels(), chans[i]);
        QCOMPARE(exchange(core, 90, QString()), names[i]);
    }
    QCOMPARE(sim::ModuleCore::kindOf("qv8_kx5"), 0);
}

void TestSim::framing_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("replies");
    auto row = [](const char *name, const char *model, QStringList lines, const char *replies) {
        QTest::newRow(name) << model << lines << QByteArray(replies);
    };
    row("group 1", "QV8_KX5", {"G01"}, "Denter item\r");
    row("unknown group", "QV8_KX5", {"G05"}, "Dillegal OPE\r");
    row("item before group", "QV8_KX5", {"I05"}, "Dillegal OPE\r");
    row("data before item", "QV8_KX5", {"G01", "D03"}, "Denter item\rDillegal OPE\r");
    row("junk line", "QV8_KX5", {"G01", "X12"}, "Denter item\rDillegal OPE\r");
    row("item not on kind", "QV8_B6", {"G01", "I05", "D01"}, "Denter item\rDillegal OPE\rDillegal OPE\r");
    row("type read", "QV8_KX5", {"G01", "I05", "D03"}, "Denter item\rD05\rD17\r");
    row("type write then read", "QV8_KX5", {"G01", "I05", "D0318", "D03"}, "Denter item\rD05\rD18\rD18\r");
    row("code 0 without zeros", "QV8_KX5", {"G01", "I05", "D0200"}, "Denter item\rD05\rD0\r");
    row("identity", "QV8_KX5", {"G01", "I91", "D", "I92", "D"}, "Denter item\rD91\rDV1.02\rD92\rDV3.00\r");
    row("old firmware", "QV8_E6", {"G01", "I92", "D"}, "Denter item\rD92\rDV2.50\r");
    row("option bits", "QV8T_KX7", {"G01", "I02", "D00"}, "Denter item\rD02\rD48\r");
    row("status ok", "QV8_KX5", {"G01", "I02", "D16"}, "Denter item\rD02\rD0\r");
    row("line noise 00 form", "QV8T_KX7", {"G01", "I15", "D01", "D"}, "Denter item\rD15\rD1\rD1\r");
    row("line noise 0 form", "QV8T_KX7", {"G01", "I15", "D2", "D"}, "Denter item\rD15\rD2\rD2\r");
    row("filter text", "QV8_L5", {"G01", "I16", "D", "D2.5", "D"}, "Denter item\rD16\rD1.0\rD2.5\rD2.5\r");
    row("preset text", "QV8_H9", {"G01", "I09", "D0312345", "D03"}, "Denter item\rD09\rD12345\rD12345\r");
    row("preset as typed", "QV8_E6", {"G01", "I09", "D070012"}, "Denter item\rD09\rD0012\r");
    row("cjm", "QV8_KX5", {"G01", "I23", "D25.500", "D"}, "Denter item\rD23\rD25.5\rD25.500\r");
    row("burnout per channel", "QV8_KX5", {"G01", "I20", "D012", "D01"}, "Denter item\rD20\rD2\rD2\r");
    row("burnout whole", "QV8T_KX7", {"G01", "I20", "D0", "D"}, "Denter item\rD20\rD0\rD0\r");
    row("alarm output", "QV8T_KX7", {"G01", "I07", "D011", "D01"}, "Denter item\rD07\rD1\rD1\r");
    row("contact outputs switch, neighbours untouched", "QV8_B6",
        {"G01", "I07", "D02", "D051", "D05", "D050", "D05", "D321", "D32", "D02"},
        "Denter item\rD07\rD1\rD1\rD1\rD0\rD0\rD1\rD1\rD1\r");
    row("counter options", "QV8_H9", {"G01", "I10", "D1", "I14", "D"}, "Denter item\rD10\rD1\rD14\rD0\r");
    row("count clear", "QV8_H9", {"G01", "I11", "D", "D1", "D"}, "Denter item\rD11\rD0\rDOK\rD1\r");
    row("node address", "QV8T_KX7", {"G01", "I80", "D", "D247", "D"}, "Denter item\rD80\rD1\rD247\rD247\r");
    row("modbus defaults", "QV8T_KX7", {"G01", "I81", "D", "I83", "D", "I84", "D"},
        "Denter item\rD81\rD2\rD83\rD1\rD84\rD1\r");
    row("zero/span reset", "QV8_KX5", {"G01", "I17", "D050", "D05"}, "Denter item\rD17\rD0\rD0\r");
    row("span needs zero", "QV8_KX5", {"G01", "I19", "D0512.500"}, "Denter item\rD19\rDillegal OPE\r");
    row("compensation", "QV8_L5", {"G01", "I21", "D051"}, "Denter item\rD21\rD1\r");
    row("restart", "QV8_KX5", {"G99", "I90", "DRESET", "I90", "G01"},
        "Denter item\rD90\rDillegal OPE\rDenter item\r");
}

void TestSim::framing()
{
    QFETCH(QString, model);
    QFETCH(QStringList, lines);
    sim::ModuleCore core(model);
    QTEST(talk(core, lines), "replies");
}

void TestSim::refusals_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("payload");
    const QString inv = "invalid data", ill = "illegal OPE";
    QTest::newRow("channel 17 write") << "QV8_KX5" << 5 << "1717" << inv;
    QTest::newRow("channel 17 read") << "QV8_KX5" << 5 << "17" << inv;
    QTest::newRow("channel 0 read") << "QV8_KX5" << 3 << "00" << inv;
    QTest::newRow("one digit") << "QV8_KX5" << 5 << "3" << inv;
    QTest::newRow("cjc switch 7") << "QV8_KX5" << 25 << "017" << inv;
    QTest::newRow("type not a number") << "QV8_KX5" << 5 << "01ab" << inv;
    QTest::newRow("filter not a number") << "QV8_KX5" << 16 << "abc" << inv;
    QTest::newRow("burnout 3") << "QV8T_KX7" << 20 << "3" << inv;
    QTest::newRow("node 0") << "QV8T_KX7" << 80 << "0" << inv;
    QTest::newRow("node 248") << "QV8T_KX7" << 80 << "248" << inv;
    QTest::newRow("57600 on kind 1") << "QV8_KX5" << 81 << "3" << inv;
    QTest::newRow("57600 on kind 6") << "QV8T_KX7" << 81 << "3" << "3";
    QTest::newRow("parity 3") << "QV8_KX5" << 83 << "3" << inv;
    QTest::newRow("preset with sign") << "QV8_H9" << 9 << "01-5" << inv;
    QTest::newRow("contact 33") << "QV8_B6" << 7 << "331" << inv;
    QTest::newRow("measured") << "QV8_KX5" << 3 << "0112.5" << ill;
    QTest::newRow("raw") << "QV8_L5" << 4 << "01100" << ill;
    QTest::newRow("status") << "QV8_KX5" << 2 << "010" << ill;
    QTest::newRow("option bits") << "QV8T_KX7" << 2 << "0016" << ill;
    QTest::newRow("contact input") << "QV8_E6" << 6 << "011" << ill;
    QTest::newRow("count") << "QV8_H9" << 8 << "015" << ill;
    QTest::newRow("rate") << "QV8_H9" << 13 << "015" << ill;
    QTest::newRow("model name") << "QV8_KX5" << 90 << "QV8_L5" << ill;
    QTest::newRow("firmware") << "QV8_KX5" << 92 << "V9.99" << ill;
}

void TestSim::refusals()
{
    QFETCH(QString, model);
    QFETCH(int, item);
    QFETCH(QString, data);
    sim::ModuleCore core(model);
    QTEST(exchange(core, item, data), "payload");
}

void TestSim::typeCodes_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QList<int>>("valid");
    auto range = [](int a, int b) { QList<int> l; for (int i = a; i <= b; ++i) l << i; return l; };
    QTest::newRow("kind 1") << "QY8_KX5" << range(0, 6) + range(16, 28) + range(32, 37);
    QTest::newRow("kind 2") << "QV8_L5" << range(48, 53) + range(64, 67);
    QTest::newRow("kind 6") << "QV8T_KX7" << QList<int>{0} + range(16, 28) + range(32, 43);
}

void TestSim::typeCodes()
{
    QFETCH(QString, model);
    QFETCH(QList<int>, valid);
    sim::ModuleCore core(model);
    for (int code = 0; code < 100; ++code) {
        const QString want = valid.contains(code) ? QString::number(code) : "invalid data";
        QCOMPARE(exchange(core, 5, QStringLiteral("02%1").arg(code, 2, 10, QLatin1Char('0'))), want);
    }
}

void TestSim::liveValuesMoveWithTheClock()
{
    qint64 now = 1000;
    const auto module = [&](const char *model) {
        auto core = std::make_unique<sim::ModuleCore>(model);
        core->setClock([&] { return now; });
        return core;
    };
    const auto kx5 = module("QV8_KX5");  // channel 1 degC, channel 2 volts
    const QString t1 = kx5->value(3, 1), v1 = kx5->value(3, 2);
    QVERIFY2(QRegularExpression("^-?\\d+\\.\\d{4}$").match(t1).hasMatch(), qPrintable(t1));
    QVERIFY2(t1.toDouble() > 15 && t1.toDouble() < 35, qPrintable(t1));
    QVERIFY2(qAbs(kx5->value(4, 1).toDouble()) < 0.01, qPrintable(kx5->value(4, 1)));
    QVERIFY2(qAbs(v1.toDouble()) <= 20, qPrintable(v1));
    now += 7000;
    QVERIFY(kx5->value(3, 1) != t1);
    const double ohm = module("QV8_L5")->value(4, 1).toDouble();
    QVERIFY2(ohm > 100 && ohm < 120, qPrintable(QString::number(ohm)));

    // counts grow, and start again from 0 when cleared
    const auto h9 = module("QV8_H9");
    const quint32 c1 = h9->value(8, 2).toUInt();
    now += 2000;
    QVERIFY2(h9->value(8, 2).toUInt() > c1, qPrintable(h9->value(8, 2)));
    QCOMPARE(exchange(*h9, 11, "1"), "OK");
    QCOMPARE(h9->value(8, 2), "0");
    now += 1000;
    QVERIFY(h9->value(8, 2).toUInt() > 0);

    // contact inputs toggle over time, and their counts follow
    const auto e6 = module("QV8_E6");
    QSet<QString> seen;
    const quint32 before = e6->value(8, 1).toUInt();
    for (int i = 0; i < 20; ++i, now += 1000)
        seen << e6->value(6, 1);
    QCOMPARE(seen, QSet<QString>({"0", "1"}));
    QVERIFY(e6->value(8, 1).toUInt() > before);
}

void TestSim::burnoutShowsInStatus()
{
    sim::ModuleCore core("QV8_KX5");   // channel 1 thermocouple, channel 2 volts
    core.setBurnout(1, true);
    core.setBurnout(2, true);
    QVERIFY(exchange(core, 2, "01") != "0");
    QCOMPARE(exchange(core, 2, "02"), "0");
    QCOMPARE(exchange(core, 2, "03"), "0");
    core.setBurnout(1, false);
    QCOMPARE(exchange(core, 2, "01"), "0");
}

void TestSim::zeroSpanAdjusts()
{
    qint64 now = 5000;
    sim::ModuleCore core("QV8_KX5");   // channel 2: -20 to 20V
    core.setClock([&] { return now; });
    QCOMPARE(exchange(core, 17, "02"), "0");
    const QString offset = exchange(core, 18, "0212.500");
    QVERIFY2(offset.toDouble() != 0.0, qPrintable(offset));
    QCOMPARE(exchange(core, 18, "02"), offset);
    QVERIFY(exchange(core, 17, "02") != "0");
    QCOMPARE(core.value(3, 2).toDouble(), 12.5);   // reads the applied value now
    const QString coef = exchange(core, 19, "0225.000");
    QVERIFY2(qAbs(coef.toDouble() - 200.0) < 0.01, qPrintable(coef));
    QVERIFY(qAbs(core.value(3, 2).toDouble() - 25.0) < 0.001);
    QCOMPARE(exchange(core, 17, "020"), "0");
    QCOMPARE(exchange(core, 18, "02"), "0.0000");
    QCOMPARE(exchange(core, 19, "02"), "100.0000");
}

void TestSim::pinsAndLog()
{
    sim::ModuleCore core("QV8_L5");
    core.setValue(92, 0, "V2.99");
    core.setValue(5, 3, "30");
    QCOMPARE(exchange(core, 92, QString()), "V2.99");
    QCOMPARE(core.value(5, 3), "30");
    QCOMPARE(exchange(core, 5, "0349"), "49");   // a write replaces the pin
    QCOMPARE(exchange(core, 5, "03"), "49");

    core.clearReceived();
    QVERIFY(core.feed("G0").isEmpty());           // no CR yet: held back
    const QList<sim::Reply> r = core.feed("1\rI90\rD");
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[1].bytes, QByteArray("D90\r"));
    QCOMPARE(core.feed("\r").value(0).bytes, QByteArray("DQV8_L5\r"));
    QCOMPARE(core.received(), QList<QByteArray>({"G01", "I90", "D"}));
}

// The faults the line trace does not show byte for byte.
void TestSim::faults_data()
{
    QTest::addColumn<FaultSetup>("setup");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("replies");
    const auto row = [](const char *tag, FaultSetup setup, const QStringList &lines,
                        const QByteArray &replies) {
        QTest::newRow(tag) << setup << lines << replies;
    };
    row("busy always", [](sim::Faults &f) { f.busyGroupSelects = -1; },
        {"G01", "G01", "G01", "I90"}, "Dbusy\rDbusy\rDbusy\rDillegal OPE\r");
    row("stop after 2", [](sim::Faults &f) { f.stopAfter = 2; }, {"G01", "I90", "D", "G01"},
        "Denter item\rD90\r");
    row("no cr", [](sim::Faults &f) { f.noCr = true; }, {"G01"}, "Denter item");
    row("changed echo", [](sim::Faults &f) { f.changedEcho = true; },
        {"G01", "I05", "D0318", "D03"}, "Denter item\rD05\rD19\rD18\r");
    row("garbage", [](sim::Faults &f) { f.garbage = true; }, {"G01"}, "?#~\r");
}

void TestSim::faults()
{
    QFETCH(FaultSetup, setup);
    QFETCH(QStringList, lines);
    sim::ModuleCore core("QV8_KX5");
    setup(core.faults());
    QTEST(talk(core, lines), "replies");
    QCOMPARE(core.received().size(), lines.size());   // logged even when unanswered
}

void TestSim::overThePty()
{
    sim::PtyModule module("QV8_KX5");
    QString error;
    QVERIFY2(module.start(&error), qPrintable(error));
    const QByteArray path = module.portPath().toLocal8Bit();

    int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "G01\r", 4), ssize_t(4));
    QCOMPARE(readPieces(fd, 3000).join(), QByteArray("Denter item\r"));
    QCOMPARE(module.received(), QList<QByteArray>({"G01"}));

    // Closing the port is no hang-up: the module still answers a new opener.
    ::close(fd);
    fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);

    sim::Faults split;
    split.splitPieces = 3;
    split.splitGapMs = 150;
    module.setFaults(split);
    QCOMPARE(::write(fd, "I90\r", 4), ssize_t(4));
    const QList<QByteArray> pieces = readPieces(fd, 3000);
    QVERIFY2(pieces.size() >= 2, qPrintable(QString::number(pieces.size())));
    QCOMPARE(pieces.join(), QByteArray("D90\r"));

    // 1200 baud: 16 characters on the wire plus the turnaround.
    module.setFaults(sim::Faults());
    module.setPacing({1200, 40});
    QElapsedTimer t;
    t.start();
    QCOMPARE(::write(fd, "G01\r", 4), ssize_t(4));
    QCOMPARE(readPieces(fd, 3000).join(), QByteArray("Denter item\r"));
    const qint64 wire = (4 + 12) * 10 * 1000 / 1200 + 40;
    QVERIFY2(t.elapsed() >= wire - 2, qPrintable(QStringLiteral("%1 ms").arg(t.elapsed())));
    // handed over in pieces of at most 50 ms of wire time: 6 characters each
    module.setPacing({1200, 40, 50});
    t.restart();
    QCOMPARE(::write(fd, "G01\r", 4), ssize_t(4));
    QCOMPARE(readPieces(fd, 3000), (QList<QByteArray>{"Denter", " item\r"}));
    QVERIFY2(t.elapsed() >= wire - 2, qPrintable(QStringLiteral("%1 ms").arg(t.elapsed())));

    module.withCore([](sim::ModuleCore &c) { c.faults().silent = true; });
    QCOMPARE(::write(fd, "G01\r", 4), ssize_t(4));
    QVERIFY(readPieces(fd, 300).isEmpty());
    ::close(fd);
    module.stop();
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
