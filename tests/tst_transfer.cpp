// Whole-module upload/download and the configuration file commands, through
// the real main window against a simulated module.

#include "app/Globals.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "files/ui/FileOps.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "tests/support/MainFixture.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFilter = "User Files (*.qv8);;Text Files (*.txt);;All Files (*.*)";
const ShownMessage kDownloadIncomplete{"Download Incomplete", "Download all channels",
                                       MsgIcon::Critical};
const ShownMessage kUploadIncomplete{"Upload Incomplete", "Monitoring", MsgIcon::Critical};

QString two(int n) { return QString::number(n).rightJustified(2, '0'); }

// The lines a download must send, from what the module held at upload time.
QStringList expectedDownload(sim::PtyModule &m, int kind, bool option10 = true)
{
    const auto text = [&](int item, int index) {
        return m.withCore([&](sim::ModuleCore &c) { return c.value(item, index); });
    };
    const auto num = [&](int item, int index) { return text(item, index).toInt(); };
    QStringList out{"G01"};
    const auto write = [&](int item, const QString &value) { out << "I" + two(item) << "D" + value; };
    switch (kind) {
    case 1:
        for (int ch = 1; ch <= 16; ++ch) {
            write(5, two(ch) + two(num(5, ch)));
            write(25, two(ch) + QString::number(num(25, ch)));
            write(20, two(ch) + QString::number(num(20, 1)));
        }
        write(16, text(16, 0));
        break;
    case 2:
        for (int ch = 1; ch <= 8; ++ch) {
            int code = num(5, ch);
            if (code < 48 || code >= 68)
                code = 48;
            write(5, two(ch) + two(code));
            write(20, two(ch) + QString::number(num(20, 1)));
        }
        write(16, text(16, 0));
        break;
    case 5:
        for (int ch = 1; ch <= 8; ++ch) {
            write(7, two(ch) + QString::number(num(7, ch)));
            write(9, two(ch) + text(9, ch));
        }
        break;
    case 6:
        for (int ch = 1; ch <= 8; ++ch) {
            write(5, two(ch) + two(num(5, ch)));
            if (option10)
                write(25, two(ch) + QString::number(num(25, ch)));
        }
        if (option10)
            write(20, QString::number(num(20, 0)));
        write(7, "01" + QString::number(num(7, 1)));
        if (option10)
            write(15, QString::number(num(15, 0)));
        write(16, text(16, 0));
        break;
    default:
        break;
    }
    return out;
}

// The settings a file can touch, to compare before and after.
struct Snapshot {
    OptInt kind;
    ChannelArray<int> type, cjc;
    std::array<int, 5> modbus, modbusKx7;
    QString filter, cjmTemp;
    int burnout;
    static Snapshot take()
    {
        const AppState &s = G();
        return {s.ModelKind, s.TypeCode,  s.CjcSw,   s.ModbusSet,
                s.ModbusSetKx7, s.FilterTime, s.CjmTemp, s.BurnoutType};
    }
    bool operator==(const Snapshot &o) const
    {
        return kind == o.kind && type == o.type && cjc == o.cjc && modbus == o.modbus &&
               modbusKx7 == o.modbusKx7 && filter == o.filter && cjmTemp == o.cjmTemp &&
               burnout == o.burnout;
    }
};

// A kind-1 file: channel ch has type code codes[ch-1] and switch ch % 2.
QByteArray kind1File(const QList<int> &codes, const QString &filter = "1.0")
{
    QByteArray b = "1\r\n";
    for (int ch = 1; ch <= 16; ++ch)
        b += QByteArray::number(codes[ch - 1]) + "," + QByteArray::number(ch % 2) + "\r\n";
    b += "3\r\n0\r\n2\r\n1\r\n0\r\n\"\",\"\"\r\n";
    b += "2,\"" + filter.toLatin1() + "\",,0\r\n";
    return b;
}

QByteArray kind6File()
{
    QByteArray b = "6\r\n";
    for (int ch = 1; ch <= 16; ++ch)
        b += "21,1\r\n";
    b += "2\r\n0\r\n1\r\n1\r\n0\r\n\"\",\"\"\r\n1,\"1.0\",2,1\r\n";
    return b;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString kx5Type(int code) { return G().TypeNameTc.value(7 * (code >> 4) + (code & 15)); }

}  // namespace

class TestTransfer : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void downloadQuestion_data();
    void downloadQuestion();
    void noModel();
    void kx7WithoutOption10();
    void downloadStopsOnBadReply_data();
    void downloadStopsOnBadReply();
    void uploadUnknownModel();
    void toolbarUploadReEnabled();

    void saveAsLines_data();
    void saveAsLines();
    void openFirstLoadKeepsFile();
    void downloadAfterOpen();
    void openOtherKindWhileConnected();
    void openCancel();
    void openMalformed_data();
    void openMalformed();
    void commaFilterRoundTrip();
    void saveAfterOpen();
    void saveWithoutName();
    void saveFailure();

private:
    QTemporaryDir dir_;
};

// ---- transfer

void TestTransfer::roundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("pins");  // item:index:payload set before connecting
    QTest::newRow("kx5") << "QV8_KX5" << 1
                         << QStringList{"5:3:18", "25:3:1", "20:1:1", "16:0:2.5", "5:16:33"};
    QTest::newRow("l5") << "QV8_L5" << 2 << QStringList{"5:2:65", "20:1:2", "16:0:0.5"};
    QTest::newRow("b6") << "QV8_B6" << 3 << QStringList{"7:5:1"};
    QTest::newRow("e6") << "QV8_E6" << 4 << QStringList{};
    QTest::newRow("h9") << "QV8_H9" << 5 << QStringList{"7:2:1", "9:4:00001234"};
    QTest::newRow("kx7") << "QV8T_KX7" << 6
                         << QStringList{"5:1:20", "25:1:1", "20:0:2", "7:1:1", "15:0:2", "16:0:3.0"};
}

void TestTransfer::roundTrip()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(QStringList, pins);
    MainFixture f(model);
    for (const QString &p : pins) {
        const QStringList parts = p.split(':');
        f.module().setValue(parts[0].toInt(), parts[1].toInt(), parts[2]);
    }
    f.connect();
    QVERIFY(G().Connected);
    G().ModelKind.reset();  // the upload must set it again
    f.click("mnuConfigUpload");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().ModelKind, OptInt(kind));
    QCOMPARE(f.main()->lblData[1]->text(), model);

    const QStringList expected = expectedDownload(f.module(), kind);
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.questions, QStringList{"Starting download for All Channels."});
    QCOMPARE(f.received(), expected);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});

    if (kind == 1) {
        // the worked example: channel 3, type 18, switch on, burnout Up
        const QStringList ch3{"I05", "D0318", "I25", "D031", "I20", "D031"};
        const int at = expected.indexOf("D0318") - 1;
        QVERIFY(at > 0);
        QCOMPARE(f.received().mid(at, ch3.size()), ch3);
        QCOMPARE(form<frmKx5>()->lblType[3]->text(), QString("E(CRC)"));
        QCOMPARE(form<frmKx5>()->lblCjmSw[3]->text(), QString("ON"));
    }
}

void TestTransfer::downloadQuestion_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("cancel") << false;
    QTest::newRow("ok") << true;
}

void TestTransfer::downloadQuestion()
{
    QFETCH(bool, ok);
    MainFixture f("QV8_KX5");
    f.connect();
    f.clearReceived();
    f.answer = ok;
    f.click("mnuConfigDownload");
    QCOMPARE(f.questions, QStringList{"Starting download for All Channels."});
    const QStringList got = f.received();
    QCOMPARE(got.contains("G01"), ok);
    QCOMPARE(got.size() > 1, ok);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

void TestTransfer::noModel()
{
    MainFixture f("QV8_KX5");
    f.connect();
    G().ModelKind.reset();
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.log.messages, (QList<ShownMessage>{{"No Model", "Type set", MsgIcon::None}}));
    QCOMPARE(f.received(), QStringList{"G01"});  // the link check only
}

void TestTransfer::kx7WithoutOption10()
{
    MainFixture f("QV8T_KX7");
    f.module().setValue(2, 0, "32");
    f.connect();
    QVERIFY(!G().HwOption10);
    f.click("mnuConfigUpload");
    const QStringList expected = expectedDownload(f.module(), 6, false);
    QCOMPARE(expected.size(), 1 + 2 * (8 + 2));
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.received(), expected);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

void TestTransfer::downloadStopsOnBadReply_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("refuse");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("changed echo") << true << QString() << QStringList{"Download all channels"};
    QTest::newRow("invalid data") << false << "invalid data"
                                  << QStringList{"Parameter Write", "Download all channels"};
    QTest::newRow("illegal OPE") << false << "illegal OPE"
                                 << QStringList{"Parameter Write", "Download all channels"};
}

void TestTransfer::downloadStopsOnBadReply()
{
    QFETCH(bool, changed);
    QFETCH(QString, refuse);
    QFETCH(QStringList, titles);
    MainFixture f("QV8_KX5");
    f.connect();
    const QString first = "D01" + two(G().TypeCode[1]);
    sim::Faults faults;
    faults.changedEcho = changed;
    faults.refuseWrites = refuse;
    f.module().setFaults(faults);
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.received(), (QStringList{"G01", "I05", first}));
    QCOMPARE(f.log.titles(), titles);
    QCOMPARE(f.log.messages.last(), kDownloadIncomplete);
    // the main window stays open after the failure
    QVERIFY(FormRegistry::instance().find(typeid(frmMain)));
    QVERIFY(f.main()->isVisible());
}

void TestTransfer::uploadUnknownModel()
{
    MainFixture f("QV8_KX5");
    f.connect();
    f.module().setValue(90, 0, "QV9_NONE");
    f.click("mnuConfigUpload");
    QCOMPARE(f.log.messages, QList<ShownMessage>{kUploadIncomplete});
    const QStringList captions{"Model Name", "Hardware Version", "Firmware Version",
                               "Serial Number", "Manufacture Date"};
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(f.main()->lblTitle[row]->text(), captions[row - 1]);
        const QString want =
            f.module().withCore([&](sim::ModuleCore &c) { return c.value(89 + row, 0); });
        QCOMPARE(f.main()->lblData[row]->text(), want);
    }
    QVERIFY(menuOn("mnuConfig"));
    QVERIFY(menuOn("mnuConnDisConn"));
    QVERIFY(!menuOn("mnuConnConn"));
}

void TestTransfer::toolbarUploadReEnabled()
{
    MainFixture f("QV8_KX5");
    f.connect();
    f.module().setValue(90, 0, "QV9_NONE");
    QVERIFY(toolOn(8));
    // while the failure message shows, the upload is still running
    QList<bool> onDuringUpload;
    auto recorder = Hooks().msgBox;
    Hooks().msgBox = [&](const QString &t, const QString &ti, MsgIcon i) {
        onDuringUpload << toolOn(8);
        recorder(t, ti, i);
    };
    f.main()->tbToolbar_ButtonClick("ConfigUpload");
    Hooks().msgBox = recorder;
    QCOMPARE(onDuringUpload, QList<bool>{false});
    QCOMPARE(f.log.messages, QList<ShownMessage>{kUploadIncomplete});
    QVERIFY(toolOn(8));
}

// ---- files

void TestTransfer::saveAsLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("lines");
    QTest::newRow("1") << 1 << 24;
    QTest::newRow("2") << 2 << 24;
    QTest::newRow("3") << 3 << 23;
    QTest::newRow("4") << 4 << 23;
    QTest::newRow("5") << 5 << 23;
    QTest::newRow("6") << 6 << 24;
}

void TestTransfer::saveAsLines()
{
    QFETCH(int, kind);
    QFETCH(int, lines);
    MainFixture f("");
    AppState &s = G();
    s.ModelKind = kind;
    for (int ch = 1; ch <= 16; ++ch) {
        s.TypeCode[ch] = 18;
        s.CjcSw[ch] = 1;
    }
    s.ModbusSet = {2, 0, 1, 0, 0};
    s.ModbusSetKx7 = {7, 6, 5, 4, 3};
    s.CjmTemp.clear();
    s.CjmVoltage.clear();
    s.BurnoutType = 1;
    s.FilterTime = "1.0";
    s.LineNoise.reset();
    s.AlarmOut = 0;

    const QString path = dir_.filePath(QString("save%1.qv8").arg(kind));
    int asked = 0;
    dlgFile().ask = [&](FileDialog::Mode mode, const QString &title, const QString &filter) {
        ++asked;
        [&] {
            QCOMPARE(mode, FileDialog::Mode::Save);
            QCOMPARE(title, QString("SaveAs"));
            QCOMPARE(filter, kFilter);
        }();
        return path;
    };
    f.click("mnuFileSaveAs");
    QCOMPARE(asked, 1);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(s.FileName, path);

    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), lines);
    QCOMPARE(bytes.count('\n'), lines);
    const QList<QByteArray> got = bytes.split('\n');
    QCOMPARE(got[0], QByteArray::number(kind) + "\r");
    QCOMPARE(got[17], QByteArray(kind == 6 ? "7\r" : "2\r"));  // first Modbus value
    if (kind == 1) {
        QByteArray want = "1\r\n";
        for (int ch = 1; ch <= 16; ++ch)
            want += "18,1\r\n";
        want += "2\r\n0\r\n1\r\n0\r\n0\r\n\"\",\"\"\r\n1,\"1.0\",,0\r\n";
        QCOMPARE(bytes, want);
    }
}

void TestTransfer::openFirstLoadKeepsFile()
{
    MainFixture f("QV8_KX5");
    QList<int> codes;
    for (int ch = 1; ch <= 16; ++ch)
        codes << QList<int>{20, 1, 18, 33}[ch % 4];
    const QString path = dir_.filePath("first.qv8");
    writeFile(path, kind1File(codes, "4.5"));
    QVERIFY(!loaded<frmKx5>());
    QVERIFY(!G().Connected);

    dlgFile().ask = [&](FileDialog::Mode mode, const QString &title, const QString &filter) {
        [&] {
            QCOMPARE(mode, FileDialog::Mode::Open);
            QCOMPARE(title, QString("Open"));
            QCOMPARE(filter, kFilter);
        }();
        return path;
    };
    f.click("mnuFileOpen");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().ModelKind, OptInt(1));
    QCOMPARE(G().FileName, path);
    QCOMPARE(G().FilterTime, QString("4.5"));
    QCOMPARE(G().BurnoutType, 2);
    QCOMPARE(G().ModbusSet, (std::array<int, 5>{3, 0, 2, 1, 0}));
    frmKx5 *w = loaded<frmKx5>();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    for (int ch = 1; ch <= 16; ++ch) {
        QCOMPARE(G().TypeCode[ch], codes[ch - 1]);
        QCOMPARE(G().CjcSw[ch], ch % 2);
        QCOMPARE(w->lblType[ch]->text(), kx5Type(codes[ch - 1]));
    }
    QCOMPARE(w->lblType[1]->text(), QString("-5 to 5V"));
    QCOMPARE(w->lblType[4]->text(), QString("T(CC)"));
    QCOMPARE(w->lblFilter->text(), QString("4.500"));

}

void TestTransfer::downloadAfterOpen()
{
    MainFixture f("QV8_KX5");
    f.connect();
    QList<int> codes;
    for (int ch = 1; ch <= 16; ++ch)
        codes << QList<int>{20, 1, 18, 33}[ch % 4];
    const QString path = dir_.filePath("todownload.qv8");
    writeFile(path, kind1File(codes, "4.5"));
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    f.click("mnuFileOpen");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});

    // the download writes what the file held
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    const QStringList got = f.received();
    QCOMPARE(got.size(), 1 + 16 * 6 + 2);
    for (int ch = 1; ch <= 16; ++ch) {
        const QStringList want{"I05", "D" + two(ch) + two(codes[ch - 1]),
                               "I25", "D" + two(ch) + QString::number(ch % 2),
                               "I20", "D" + two(ch) + "2"};
        QCOMPARE(got.mid(1 + 6 * (ch - 1), 6), want);
    }
    QCOMPARE(got.mid(got.size() - 2), (QStringList{"I16", "D4.5"}));
}

void TestTransfer::openOtherKindWhileConnected()
{
    MainFixture f("QV8_KX5");
    f.connect();
    const Snapshot before = Snapshot::take();
    const QString path = dir_.filePath("kx7.qv8");
    writeFile(path, kind6File());
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    f.click("mnuFileOpen");
    QCOMPARE(f.log.messages,
             (QList<ShownMessage>{{"Model of Open file is different from Connected Model.",
                                   "File Read", MsgIcon::Critical}}));
    QCOMPARE(G().ModelKind, OptInt(1));
    QVERIFY(Snapshot::take() == before);
    QVERIFY(!loaded<frmKx7>());
}

void TestTransfer::openCancel()
{
    MainFixture f("QV8_KX5");
    f.connect();
    G().FileMode = false;
    const Snapshot before = Snapshot::take();
    const QString name = G().FileName;
    int asked = 0;
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) {
        ++asked;
        return QString();
    };
    f.click("mnuFileOpen");
    QCOMPARE(asked, 1);
    QVERIFY(G().FileMode);
    QVERIFY(Snapshot::take() == before);
    QCOMPARE(G().FileName, name);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

void TestTransfer::openMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");  // 0: no line to blame
    const QByteArray good = kind1File(QList<int>(16, 20));
    const QList<QByteArray> lines = good.split('\n');
    QTest::newRow("ends early") << lines.mid(0, 10).join('\n') + '\n' << 11;
    QTest::newRow("no line 24") << lines.mid(0, 23).join('\n') + '\n' << 24;
    QByteArray word = good;
    word.replace("20,0\r\n3\r\n", "20,x\r\n3\r\n");  // switch of channel 16
    QTest::newRow("not a number") << word << 17;
    QByteArray kindWord = good;
    kindWord[0] = 'k';
    QTest::newRow("kind not a number") << kindWord << 1;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01\x80junk\x00\x00", 11) << 1;
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("huge") << good + QByteArray(200 * 1024, 'x') << 0;
}

void TestTransfer::openMalformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    MainFixture f("QV8_KX5");
    f.connect();
    const QString name = QString("bad_%1.qv8").arg(QTest::currentDataTag()).replace(' ', '_');
    const QString path = dir_.filePath(name);
    writeFile(path, bytes);
    const Snapshot before = Snapshot::take();
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    f.click("mnuFileOpen");
    QCOMPARE(f.log.messages.size(), 1);
    const ShownMessage m = f.log.messages[0];
    QCOMPARE(m.title, QString("File Read"));
    QCOMPARE(m.icon, MsgIcon::Critical);
    QVERIFY2(m.text.contains(name), qPrintable(m.text));
    if (line)
        QVERIFY2(m.text.contains(QString("line %1").arg(line)), qPrintable(m.text));
    QVERIFY(Snapshot::take() == before);
    QVERIFY(f.main()->isVisible());
}

void TestTransfer::commaFilterRoundTrip()
{
    MainFixture f("");
    G().ModelKind = 1;
    G().FileMode = false;
    G().FilterTime = "2,5";
    const QString path = dir_.filePath("comma.qv8");
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    f.click("mnuFileSaveAs");
    QVERIFY(readFile(path).endsWith(",\"2,5\",,0\r\n"));
    G().FilterTime = "9.0";
    f.main()->mnuFileOpen_Click();
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().FilterTime, QString("2,5"));
}

void TestTransfer::saveAfterOpen()
{
    MainFixture f("");
    const QString path = dir_.filePath("resave.qv8");
    writeFile(path, kind1File(QList<int>(16, 18)));
    int asked = 0;
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) {
        ++asked;
        return path;
    };
    f.main()->mnuFileOpen_Click();
    QCOMPARE(asked, 1);
    G().TypeCode[7] = 34;
    f.main()->mnuFileSave_Click();
    QCOMPARE(asked, 1);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    const QList<QByteArray> lines = readFile(path).split('\n');
    QCOMPARE(lines.size(), 25);
    QCOMPARE(lines[7], QByteArray("34,1\r"));
}

void TestTransfer::saveWithoutName()
{
    MainFixture f("");
    G().ModelKind = 1;
    G().FileName.clear();
    int asked = 0;
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) {
        ++asked;
        return dir_.filePath("never.qv8");
    };
    f.main()->mnuFileSave_Click();
    f.main()->tbToolbar_ButtonClick("Save");
    QCOMPARE(asked, 0);
    QVERIFY(!QFile::exists(dir_.filePath("never.qv8")));
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

void TestTransfer::saveFailure()
{
    MainFixture f("");
    G().ModelKind = 1;
    G().FilterTime = "1.0";
    QString path = dir_.filePath("no/such/dir/lost.qv8");
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    f.main()->mnuFileSaveAs_Click();
    QCOMPARE(f.log.messages.size(), 1);
    QCOMPARE(f.log.messages[0].title, QString("Open Error"));
    QCOMPARE(f.log.messages[0].icon, MsgIcon::None);
    QVERIFY2(f.log.messages[0].text.contains("lost.qv8"), qPrintable(f.log.messages[0].text));
    QVERIFY(!QFile::exists(path));

    // a save that cannot be written leaves the existing file as it was
    path = dir_.filePath("keep.qv8");
    const QByteArray old = kind1File(QList<int>(16, 1));
    writeFile(path, old);
    G().CjmTemp = "a\"b";  // a quote cannot be written between quotes
    f.log.clear();
    f.main()->mnuFileSaveAs_Click();
    QCOMPARE(f.log.titles(), QStringList{"Open Error"});
    QCOMPARE(readFile(path), old);
    QCOMPARE(G().FileName, path);
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
