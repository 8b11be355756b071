// The configuration file: exact bytes, round trips, the state mapping,
// line-exact errors on damaged files, and saves that never destroy a file.
#include "files/ConfigFile.h"
#include "tests/support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray golden(const QString &name)
{
    return fileBytes(QFINDTESTDATA("data/configfile/" + name));
}

// The state the golden files were written from. The files were made by hand;
// kind 1 is the documented example (type 18 with switch on everywhere, Modbus
// defaults, empty CJM texts, burnout 1, filter "1.0", no line noise, alarm 0).
AppState stateFor(int kind)
{
    AppState s;
    s.ModelKind = kind ? OptInt(kind) : OptInt();
    for (int ch = 1; ch <= 16; ++ch) {
        s.TypeCode[ch] = kind == 1 ? 18 : ch == 16 ? -5 : ch - 1;
        s.CjcSw[ch] = kind == 1 ? 1 : ch == 16 ? 0 : ch % 2;
    }
    if (kind == 1) {
        s.BurnoutType = 1;
        s.FilterTime = "1.0";
        return s;
    }
    s.ModbusSet = {3, 1, 2, 0, 1};
    s.ModbusSetKx7 = {4, 0, 0, 1, 1};
    s.CjmTemp = "25.0";
    s.CjmVoltage = "-1.234";
    s.BurnoutType = 2;
    s.FilterTime = "2,5";
    s.LineNoise = 1;
    s.AlarmOut = -3;
    return s;
}

QByteArray replaceLine(QByteArray file, int n, const QByteArray &text)
{
    QList<QByteArray> lines = file.split('\n');
    lines[n - 1] = text + '\r';
    return lines.join('\n');
}

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void kinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lines");
        QTest::newRow("kind 1") << 1 << "kind1.qv8" << 24;
        QTest::newRow("kind 2") << 2 << "kind2.qv8" << 24;
        QTest::newRow("kind 3") << 3 << "kind3.qv8" << 23;
        QTest::newRow("kind 4") << 4 << "kind4.qv8" << 23;
        QTest::newRow("kind 5") << 5 << "kind5.qv8" << 23;
        QTest::newRow("kind 6") << 6 << "kind6.qv8" << 24;
        QTest::newRow("no kind") << 0 << "nokind.qv8" << 23;
    }
    void kinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        QFETCH(int, lines);
        const QByteArray expected = golden(file);
        QVERIFY(!expected.isEmpty());
        ConfigData d = ConfigFromState(stateFor(kind));
        const QByteArray written = WriteConfig(d);
        QCOMPARE(written, expected);
        QCOMPARE(written.count("\r\n"), lines);
        QVERIFY(written.endsWith("\r\n"));

        ConfigReadResult r = ParseConfig(expected);
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.data == d);
        QCOMPARE(r.data.hasLine24, lines == 24);

        // the extremes of each field come back as they went
        d.TypeCode[1] = -32768;
        d.CjcSw[16] = 32767;
        d.Modbus = {-1, 0, 32767, -32768, 9};
        d.CjmTemp = " 1,5 °C ";
        d.CjmVoltage = "\t";
        if (d.hasLine24) {
            d.FilterTime = ",,";
            d.LineNoise.reset();
            d.BurnoutType = -2;
        }
        r = ParseConfig(WriteConfig(d));
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.data == d);
    }

    void stateMapping()
    {
        AppState s = stateFor(6);
        ConfigData d = ConfigFromState(s);
        QCOMPARE(d.Modbus, s.ModbusSetKx7);
        QCOMPARE(ConfigFromState(stateFor(2)).Modbus, s.ModbusSet);

        AppState t;  // Modbus defaults, line-24 fields at their starting values
        ConfigToState(d, t);
        QCOMPARE(t.ModelKind, OptInt(6));
        QCOMPARE(t.ModbusSetKx7, s.ModbusSetKx7);
        QCOMPARE(t.ModbusSet, (std::array<int, 5>{2, 0, 1, 0, 0}));
        QCOMPARE(t.TypeCode[16], -5);
        QCOMPARE(t.FilterTime, QString("2,5"));
        QCOMPARE(t.AlarmOut, -3);

        // A kind-5 file carries no line 24: those fields stay as they were.
        d = ConfigFromState(stateFor(5));
        QVERIFY(!d.hasLine24);
        QCOMPARE(d.FilterTime, QString());
        ConfigToState(d, t);
        QCOMPARE(t.ModelKind, OptInt(5));
        QCOMPARE(t.ModbusSet, (std::array<int, 5>{3, 1, 2, 0, 1}));
        QCOMPARE(t.ModbusSetKx7, s.ModbusSetKx7);
        QCOMPARE(t.FilterTime, QString("2,5"));
        QCOMPARE(t.LineNoise, OptInt(1));
        QCOMPARE(t.BurnoutType, 2);

        t.ModelKind = 0;  // the state's way of saying "no model"
        QCOMPARE(WriteConfig(ConfigFromState(t)).left(3), QByteArray("\r\n0"));
    }

    void tolerated()
    {
        const QByteArray crlf = golden("kind2.qv8");
        QByteArray lf = crlf;
        lf.replace("\r\n", "\n");
        QByteArray cr = crlf;  // an old Mac's line ends
        cr.replace("\r\n", "\r");
        const QByteArray variants[] = {lf, lf.chopped(1), crlf + "\r\n\n\r\n",
                                       "\xEF\xBB\xBF" + crlf, cr};
        for (const QByteArray &v : variants) {
            const ConfigReadResult r = ParseConfig(v);
            QVERIFY2(r.ok, qPrintable(r.error));
            QVERIFY(r.data == ParseConfig(crlf).data);
        }
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        const QByteArray k1 = golden("kind1.qv8");
        const QByteArray k3 = golden("kind3.qv8");
        QTest::newRow("empty") << QByteArray() << 1 << "line 1: missing; the file is empty";
        QTest::newRow("not a number")
            << replaceLine(k1, 5, "abc,1") << 5
            << "line 5: \"abc\" is not a whole number (type code of channel 4)";
        QTest::newRow("plus sign") << replaceLine(k1, 3, "18,+1") << 3 << "\"+1\" is not";
        QTest::newRow("space") << replaceLine(k1, 19, " 0") << 19 << "Modbus bit length";
        QTest::newRow("16-bit range") << replaceLine(k1, 2, "32768,1") << 2 << "outside the range";
        QTest::newRow("empty number") << replaceLine(k1, 17, "18,") << 17 << "empty field";
        QTest::newRow("quoted number") << replaceLine(k1, 20, "\"0\"") << 20 << "quoted text";
        QTest::newRow("too few fields") << replaceLine(k1, 2, "18") << 2 << "1 field where 2";
        QTest::newRow("too many fields") << replaceLine(k1, 18, "2,0") << 18 << "2 fields where 1";
        QTest::newRow("blank line") << replaceLine(k1, 9, "") << 9 << "an empty line";
        QTest::newRow("kind 7") << replaceLine(k1, 1, "7") << 1 << "model kind 7 is not one of 1 to 6";
        QTest::newRow("unterminated") << replaceLine(k1, 23, "\"\",\"1.5") << 23
                                      << "unterminated quote (CJM voltage)";
        QTest::newRow("after quote") << replaceLine(k1, 24, "1,\"1\"0,,0") << 24 << "after the closing";
        QTest::newRow("unquoted text") << replaceLine(k1, 24, "1,1.0,,0") << 24 << "double quotes";
        QTest::newRow("60 KB filter") << replaceLine(k1, 24, "1,\"" + QByteArray(60000, '1') + "\",,0")
                                      << 24 << "filter time text is 60000 characters long; a "
                                               "module holds at most 32";
        QTest::newRow("CJM text of 33")
            << replaceLine(k1, 23, "\"" + QByteArray(33, '1') + "\",\"\"") << 23
            << "CJM temperature text is 33 characters";
        QTest::newRow("NUL") << replaceLine(k1, 3, QByteArray("18,\0", 4)) << 3 << "NUL byte";
        QTest::newRow("control") << replaceLine(k1, 4, "18\x01,1") << 4 << "0x01";
        QTest::newRow("bad UTF-8") << replaceLine(k1, 23, "\"\xC3\x28\",\"\"") << 23 << "UTF-8";
        QTest::newRow("missing line 24") << k1.left(k1.lastIndexOf("1,\"")) << 24
                                         << "ends after line 23";
        QTest::newRow("extra after 24") << k1 + "\r\nx\r\n" << 26 << "model kind 1 file (24 lines)";
        QTest::newRow("line 24 on kind 3") << k3 + "1,\"1.0\",,0\r\n" << 24 << "(23 lines)";
        QTest::newRow("huge") << QByteArray(kMaxConfigBytes + 1, '\n') << 0 << "too large";
    }
    void malformed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, message);
        const ConfigReadResult r = ParseConfig(bytes);
        QVERIFY(!r.ok);
        QCOMPARE(r.line, line);
        if (line > 0)
            QVERIFY2(r.error.startsWith(QString("line %1: ").arg(line)), qPrintable(r.error));
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
        QVERIFY2(r.error.size() < 200, qPrintable(r.error));  // never the junk quoted whole
    }

    void everyTruncationFails()
    {
        // A file cut anywhere is refused, and the error names the line cut.
        const QByteArray full = golden("kind2.qv8");
        for (int i = 0; i < full.size() - 2; ++i) {
            if (i > 0 && full[i - 1] == '\r')
                continue;
            const QByteArray cut = full.left(i);
            const ConfigReadResult r = ParseConfig(cut);
            QVERIFY2(!r.ok, cut.constData());
            // A cut just before a line end leaves that line whole; the next one is missing.
            const int cutLine = int(cut.count('\n')) + 1;
            QCOMPARE(r.line, full[i] == '\r' ? cutLine + 1 : cutLine);
        }
        QVERIFY(ParseConfig(full.chopped(2)).ok);
    }

    // Only regular files are read or replaced (a FIFO would hang the open),
    // at once and without a change. (A device: see the batch test.)
    void notFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << "folder" << "is a folder, not a file";
        QTest::newRow("FIFO") << "fifo" << "is a FIFO (named pipe), not a file";
        QTest::newRow("link to nothing") << "gone" << "is a link to nothing";
    }
    void notFiles()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("target.qv8");
        if (target == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (target == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else
            QVERIFY(QFile::link(dir.filePath("gone"), path));
        const auto state = [&] {
            struct stat st{};
            ::lstat(QFile::encodeName(path).constData(), &st);
            return QList<quint64>{st.st_ino, st.st_mode, quint64(QDir(dir.path()).count())};
        };
        const auto before = state();
        QCOMPARE(ReadConfigFile(path).error, "target.qv8: " + reason);
        QString error;
        QVERIFY(!WriteConfigFile(path, ConfigFromState(stateFor(1)), &error));
        QCOMPARE(error, "target.qv8: " + reason);
        QCOMPARE(state(), before);
    }

    void writeFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("out.qv8");
        const ConfigData one = ConfigFromState(stateFor(1));
        const ConfigData three = ConfigFromState(stateFor(3));
        QString error = "stale";
        QVERIFY(WriteConfigFile(path, one, &error));
        QVERIFY(error.isEmpty());
        const auto onDisk = [&] { return fileBytes(path); };
        QCOMPARE(onDisk(), golden("kind1.qv8"));
        QVERIFY(WriteConfigFile(path, three, &error));
        QCOMPARE(onDisk(), golden("kind3.qv8"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.qv8"});

        QVERIFY(!WriteConfigFile(dir.filePath("no/such/x.qv8"), one, &error));
        QCOMPARE(error, "x.qv8: the folder " + dir.filePath("no/such") + " does not exist");
        error = ReadConfigFile(dir.filePath("missing.qv8")).error;
        QVERIFY2(error.startsWith("missing.qv8: ") && error.size() > 14, qPrintable(error));

        // Values the format or a module cannot hold are refused before the
        // file is touched.
        for (const QString filter : {QString("1\"0"), QString(33, '1')}) {
            ConfigData bad = one;
            bad.FilterTime = filter;
            QVERIFY(!WriteConfigFile(path, bad, &error));
            QVERIFY2(error.contains("filter time"), qPrintable(error));
        }
        QCOMPARE(onDisk(), golden("kind3.qv8"));

        // A disk that fills up mid-save: the old file must survive whole,
        // and the message says why in the system's words.
        {
            FileSizeLimit full(100);
            QVERIFY(!WriteConfigFile(path, one, &error));
        }
        QCOMPARE(error, QString("out.qv8: File too large"));
        QCOMPARE(onDisk(), golden("kind3.qv8"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.qv8"});
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
