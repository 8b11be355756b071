// Whole-module upload/download and the configuration file commands, through
// the real main window against a simulated module.

#include "app/Globals.h"
#include "app/ui/Forms.h"
#include "app/ui/Settings.h"
#include "app/ui/frmMain.h"
#include "config/SettingEditors.h"
#include "files/ConfigFile.h"
#include "files/ui/FileOps.h"
#include "link/TxtBus.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "tests/support/MainFixture.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFilter = "User Files (*.qv8);;Text Files (*.txt);;All Files (*.*)";

// The lines a download must send, from what the module held at upload time.
QStringList expectedDownload(sim::PtyModule &m, int kind, bool option10)
{
    const auto text = [&](int item, int index) { return valueIn(m, item, index); };
    const auto num = [&](int item, int index) { return QString::number(text(item, index).toInt()); };
    QStringList out{"G01"};
    if (kind != 3 && kind != 4)
        out << "I90" << "D";  // the model name, read before the first write
    const auto write = [&](int item, const QString &data) {
        out << "I" + Fmt00(item) << "D" + data;
    };
    if (kind == 5) {
        for (int ch = 1; ch <= 8; ++ch) {
            write(7, Fmt00(ch) + num(7, ch));
            write(9, Fmt00(ch) + text(9, ch));
        }
    } else if (kind == 1 || kind == 2 || kind == 6) {
        for (int ch = 1; ch <= (kind == 1 ? 16 : 8); ++ch) {
            const int code = text(5, ch).toInt();
            write(5, Fmt00(ch) + Fmt00(kind == 2 && (code < 48 || code >= 68) ? 48 : code));
            if (kind == 1 || option10)
                write(25, Fmt00(ch) + num(25, ch));
            if (kind != 6)
                write(20, Fmt00(ch) + num(20, 1));
        }
        if (kind == 6) {
            if (option10)
                write(20, num(20, 0));
            write(7, "01" + num(7, 1));
            if (option10)
                write(15, num(15, 0));
        }
        write(16, text(16, 0));
    }
    return out;
}

// What a file can hold of the state, to see that a refused file changed nothing.
QByteArray settings() { return WriteConfig(ConfigFromState(G())); }

int codeOf(int ch) { return QList<int>{20, 1, 18, 33}[ch % 4]; }

// A kind-1 file: channel ch has type code codeOf(ch) and switch ch % 2.
QByteArray kind1File(const QString &filter = "1.0")
{
    QByteArray b = "1\r\n";
    for (int ch = 1; ch <= 16; ++ch)
        b += QByteArray::number(codeOf(ch)) + "," + QByteArray::number(ch % 2) + "\r\n";
    return b + "3\r\n0\r\n2\r\n1\r\n0\r\n\"\",\"\"\r\n2,\"" + filter.toLatin1() + "\",,0\r\n";
}

QByteArray kind6File()
{
    QByteArray b = "6\r\n";
    for (int ch = 1; ch <= 16; ++ch)
        b += "21,1\r\n";
    return b + "2\r\n0\r\n1\r\n1\r\n0\r\n\"\",\"\"\r\n1,\"1.0\",2,1\r\n";
}

QTemporaryDir &dir()
{
    static QTemporaryDir d;
    return d;
}

// Writes a file into the test's folder; returns its path.
QString put(const QString &name, const QByteArray &bytes)
{
    QFile f(dir().filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}

// The file dialog answers with path; returns what it was asked, as "open
// Open" or "save SaveAs", each time (with the filter of the program's files).
const QStringList &answerFile(const QString &path)
{
    static QStringList asked;
    asked.clear();
    dlgFile().ask = [path](FileDialog::Mode mode, const QString &title, const QString &filter) {
        asked << (mode == FileDialog::Mode::Open ? "open " : "save ") + title +
                     (filter == kFilter ? "" : " with another filter");
        return path;
    };
    return asked;
}

}  // namespace

class TestTransfer : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void download_data();
    void download();
    void downloadRefused_data();
    void downloadRefused();

    void saveAs();
    void openThenDownload();
    void openRefused_data();
    void openRefused();
    void saveOverOtherKind();
    void incompleteNotSaved();
    void fileModuleAndModel();
    void dialogFolder();
};

// ---- transfer

void TestTransfer::roundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("pins");  // item:index:payload set before connecting
    QTest::addColumn<int>("writes");
    QTest::newRow("kx5") << "QV8_KX5" << 1
                         << QStringList{"5:3:18", "25:3:1", "20:1:1", "16:0:2.5", "5:16:33"}
                         << 16 * 3 + 1;
    // a filter time as long as a module may report it
    QTest::newRow("l5") << "QV8_L5" << 2 << QStringList{"5:2:65", "20:1:2", "16:0:0.5000000"}
                        << 8 * 2 + 1;
    QTest::newRow("b6") << "QV8_B6" << 3 << QStringList{"7:5:1"} << 0;
    QTest::newRow("e6") << "QV8_E6" << 4 << QStringList{} << 0;
    QTest::newRow("h9") << "QV8_H9" << 5 << QStringList{"7:2:1", "9:4:00001234"} << 8 * 2;
    QTest::newRow("kx7") << "QV8T_KX7" << 6
                         << QStringList{"5:1:20", "25:1:1", "20:0:2", "7:1:1", "15:0:2", "16:0:3.0",
                                        "5:2:32", "5:3:40"}  // reported as K(CA) and N
                         << 8 * 2 + 4;
    // without option bit 0x10 only the type codes, alarm and filter go out
    QTest::newRow("kx7 without option 10") << "QV8T_KX7" << 6 << QStringList{"2:0:32"} << 8 + 2;
}

void TestTransfer::roundTrip()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(QStringList, pins);
    QFETCH(int, writes);
    MainFixture f(model);
    f.pin(pins);
    f.connect();
    G().ModelKind.reset();  // the upload must set it again
    f.click("mnuConfigUpload");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().ModelKind, OptInt(kind));
    QCOMPARE(f.main()->lblData[1]->text(), model);

    answerFile(dir().filePath(model + ".qv8"));
    f.click("mnuFileSaveAs");  // what the module reported can be kept
    QCOMPARE(f.log.messages, QList<ShownMessage>{});

    const QStringList expected = expectedDownload(f.module(), kind, G().HwOption10);
    QCOMPARE(expected.size(), (writes ? 3 : 1) + 2 * writes);
    f.clearReceived();
    f.click("mnuConfigDownload");
    QCOMPARE(f.questions, QStringList{"Starting download for All Channels."});
    QCOMPARE(f.received(), expected);
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    if (kind == 1) {
        // the worked example: channel 3, type 18, switch on, burnout Up
        QCOMPARE(expected.mid(expected.indexOf("D0318") - 1, 6),
                 (QStringList{"I05", "D0318", "I25", "D031", "I20", "D031"}));
        QCOMPARE(form<frmKx5>()->lblType[3]->text() + " " + form<frmKx5>()->lblCjmSw[3]->text(),
                 QString("E(CRC) ON"));
    }
}

// Only OK downloads, however the question was answered before; a write the
// module refuses or echoes changed ends the download there.
void TestTransfer::download_data()
{
    QTest::addColumn<int>("answer");    // 0 Cancel, -1 the close box, 1 OK
    QTest::addColumn<QString>("fault");  // "changed", or the payload of a refusal
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("cancel") << 0 << "" << QStringList();
    QTest::newRow("close box") << -1 << "" << QStringList();
    QTest::newRow("changed echo") << 1 << "changed" << QStringList{"Download all channels"};
    QTest::newRow("invalid data") << 1 << "invalid data"
                                  << QStringList{"Parameter Write", "Download all channels"};
}

void TestTransfer::download()
{
    QFETCH(int, answer);
    QFETCH(QString, fault);
    QFETCH(QStringList, titles);
    MainFixture f("QV8_KX5");
    f.connectWith();
    f.setFaults([&](sim::Faults &x) {
        x.changedEcho = fault == "changed";
        x.refuseWrites = x.changedEcho ? "" : fault;
    });
    G().DialogOK = true;  // an earlier download was confirmed
    f.answer = answer < 0 ? std::nullopt : std::optional<bool>(answer == 1);
    f.click("mnuConfigDownload");
    QCOMPARE(f.questions, QStringList{"Starting download for All Channels."});
    QCOMPARE(f.received(), answer > 0 ? QStringList({"G01", "I90", "D", "I05",
                                                     "D01" + Fmt00(G().TypeCode[1])})
                                      : QStringList());
    QCOMPARE(f.log.titles(), titles);
    if (answer > 0)
        QCOMPARE(f.log.messages.last(), downloadIncomplete("Download all channels"));
    QVERIFY(f.main()->isVisible());  // the main window stays open after the failure
}

// Nothing goes to a module of another kind than the configuration's: the
// module is identified (kind 6: option bits too) before the first write. A
// value that cannot go out as it stands (an empty one would be sent as "D",
// a read) refuses the whole download before anything is sent; without a
// model only the link is checked.
void TestTransfer::downloadRefused_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("steps");  // before the download
    QTest::addColumn<QByteArray>("file");    // what "open" opens
    QTest::addColumn<QStringList>("lines");  // first lines the module gets
    QTest::addColumn<int>("writes");         // writes after them
    QTest::addColumn<QList<ShownMessage>>("messages");
    const auto refused = [](const QString &why) {
        return QList<ShownMessage>{{why + " Nothing was written.", "Download all channels",
                                    MsgIcon::Exclamation}};
    };
    const auto otherKind = [&](const QString &line, const QString &file) {
        return refused(QString("The module on the line is a %1 module, but the settings are for "
                               "a %2 module.").arg(line, file));
    };
    const auto unsent = [&](const QString &setting) {
        return refused(setting + " cannot be sent to the module.");
    };
    const QStringList identify{"G01", "I90", "D"}, none;
    QTest::newRow("file of another kind opened offline")
        << "QV8_KX5" << QStringList{"open"} << kind6File() << identify << 0
        << otherKind("KX5", "KX7");
    QTest::newRow("upload, then Model menu") << "QV8_KX5" << QStringList{"upload", "model 2"}
                                             << QByteArray() << identify << 0
                                             << otherKind("KX5", "L5");
    QTest::newRow("another module plugged in after connect")
        << "QV8_KX5" << QStringList{"connect", "swap"} << QByteArray() << identify << 0
        << refused("The module on the line now answers as QW8_KX5, not as the QV8_KX5 "
                   "identified before.");
    // option bits 48: the cold-junction, burnout and line-noise writes too
    QTest::newRow("same kind offline")
        << "QV8T_KX7" << QStringList{"open"} << kind6File() << identify + QStringList{"I02", "D00"}
        << 8 * 2 + 4 << QList<ShownMessage>();
    // a name the program does not know, quoted as the trace shows it
    QTest::newRow("unknown model") << "QV8_KX5" << QStringList{"open", "name \x1b]0;x\x07QV8"}
                                   << kind1File() << identify << 0
                                   << refused("The module on the line is a model this program "
                                              "does not know (<ESC>]0;x<0x07>QV8).");
    QTest::newRow("empty filter in a file") << "QV8_KX5" << QStringList{"open"} << kind1File("")
                                            << none << 0 << unsent("Filter Time Const. \"\"");
    QTest::newRow("empty count presets")  // a file holds no presets
        << "QV8_H9" << QStringList{"open"} << fileBytes(QFINDTESTDATA("data/configfile/kind5.qv8"))
        << none << 0 << unsent("Count preset of channel 1 \"\"");
    QTest::newRow("filter longer than a module holds")
        << "QV8_KX5" << QStringList{"long filter", "upload"} << QByteArray() << none << 0
        << unsent("Filter Time Const. \"" + QString(24, '1') + "…\"");
    QTest::newRow("no model") << "QV8_KX5" << QStringList{"connect", "no model"} << QByteArray()
                              << QStringList{"G01"} << 0
                              << QList<ShownMessage>{{"No Model", "Type set", MsgIcon::None}};
}

void TestTransfer::downloadRefused()
{
    QFETCH(QString, model);
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    QFETCH(int, writes);
    MainFixture f(model);
    f.module().setValue(2, 0, "48");
    answerFile(put("refused.qv8", file));
    for (const QString &step : steps) {
        if (step == "open")
            f.click("mnuFileOpen");
        else if (step == "upload")
            f.click("mnuConfigUpload");
        else if (step == "connect")
            f.connect();
        else if (step == "no model")
            G().ModelKind.reset();
        else if (step == "long filter")
            f.module().setValue(16, 0, QString(33, '1'));
        else if (step.startsWith("name "))
            f.module().setValue(90, 0, step.mid(5));
        else if (step == "swap")
            f.module().setValue(90, 0, "QW8_KX5");
        else
            f.main()->mnuModelModel(step.mid(6).toInt())->trigger();
    }
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    f.clearReceived();
    f.main()->mnuConfigDownload_Click();  // as batch mode does: the menu is off offline
    const QStringList got = f.received();
    QCOMPARE(got.mid(0, lines.size()), lines);
    QCOMPARE(got.size(), lines.size() + 2 * writes);
    QTEST(f.log.messages, "messages");
}

// ---- files

// Save As writes the file and names it in the title; a folder that does not
// exist is named.
void TestTransfer::saveAs()
{
    MainFixture f("");
    AppState &s = G();  // the documented kind-1 example
    s.ModelKind = 1;
    for (int ch = 1; ch <= 16; ++ch) {
        s.TypeCode[ch] = 18;
        s.CjcSw[ch] = 1;
    }
    s.BurnoutType = 1;
    s.FilterTime = "1.0";
    const QStringList &asked = answerFile(dir().filePath("save1.qv8"));
    f.click("mnuFileSaveAs");
    QCOMPARE(asked, QStringList{"save SaveAs"});
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(s.FileName, dir().filePath("save1.qv8"));
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX - save1.qv8"));
    QCOMPARE(fileBytes(s.FileName), fileBytes(QFINDTESTDATA("data/configfile/kind1.qv8")));

    answerFile(dir().filePath("no/such/lost.qv8"));
    f.main()->mnuFileSaveAs_Click();
    QCOMPARE(f.log.messages, (QList<ShownMessage>{{"lost.qv8: the folder " +
                                                       dir().filePath("no/such") + " does not exist",
                                                   "Open Error", MsgIcon::None}}));
    QCOMPARE(s.FileName, dir().filePath("no/such/lost.qv8"));
}

// Opened without a module: the window's first load keeps the file's values,
// and a download identifies the module first and sends the filter "2,5" with
// a point, which the module echoes so.
void TestTransfer::openThenDownload()
{
    MainFixture f("QV8_KX5");
    QVERIFY(!loaded<frmKx5>());
    const QStringList &asked = answerFile(put("first.qv8", kind1File("2,5")));
    f.click("mnuFileOpen");
    QCOMPARE(asked, QStringList{"open Open"});
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().ModelKind, OptInt(1));
    QCOMPARE(G().FileName, dir().filePath("first.qv8"));
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX - first.qv8"));
    QCOMPARE(G().BurnoutType, 2);
    QCOMPARE(G().ModbusSet, (std::array<int, 5>{3, 0, 2, 1, 0}));
    frmKx5 *w = loaded<frmKx5>();
    QVERIFY(w && w->isVisible());
    QStringList want{"G01", "I90", "D"};
    for (int ch = 1; ch <= 16; ++ch) {
        QCOMPARE(G().TypeCode[ch] * 10 + G().CjcSw[ch], codeOf(ch) * 10 + ch % 2);
        const int code = codeOf(ch);
        QCOMPARE(w->lblType[ch]->text(), G().TypeNameTc.value(7 * (code >> 4) + (code & 15)));
        want << pairs({"05=" + Fmt00(ch) + Fmt00(code), "25=" + Fmt00(ch) + QString::number(ch % 2),
                       "20=" + Fmt00(ch) + "2"});
    }
    QCOMPARE(w->lblType[4]->text(), QString("T(CC)"));
    // the filter editor shows the file's text and Exit alone keeps it
    QVERIFY(inWindow<frmTimeCon>([&] { f.click("mnuConfigFilter"); }, [](frmTimeCon *e) {
        QCOMPARE(e->txtFilter()->text(), QString("2,5"));
        e->cmdExit_Click();
    }));

    f.main()->mnuConfigDownload_Click();  // as batch mode does: the menu is off offline
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(f.received(), want + QStringList({"I16", "D2.5"}));
}

// A file that is not taken changes nothing: the user cancels, it is of
// another kind than the connected module, or it is damaged.
void TestTransfer::openRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");  // empty: the user cancels
    QTest::addColumn<QString>("message");   // how it starts
    const QByteArray good = kind1File();
    QTest::newRow("cancel") << QByteArray() << "";
    QTest::newRow("other kind") << kind6File()
                                << "Model of Open file is different from Connected Model.";
    QTest::newRow("ends early") << good.left(good.indexOf("3\r\n")) << "bad.qv8, line 18: ";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01\x80junk\x00\x00", 11)
                            << "bad.qv8, line 1: ";
    QTest::newRow("huge") << good + QByteArray(200 * 1024, 'x') << "bad.qv8: ";
}

void TestTransfer::openRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    MainFixture f("QV8_KX5");
    f.connect();
    G().FileMode = false;
    const QByteArray before = settings();
    const QStringList &asked = answerFile(bytes.isEmpty() ? QString() : put("bad.qv8", bytes));
    f.click("mnuFileOpen");
    QCOMPARE(asked, QStringList{"open Open"});
    QVERIFY(G().FileMode);
    QCOMPARE(settings(), before);
    QCOMPARE(G().FileName, QString());
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX - QV8_KX5"));
    QVERIFY(!loaded<frmKx7>());
    QCOMPARE(f.log.messages.size(), message.isEmpty() ? 0 : 1);
    for (const ShownMessage &m : f.log.messages)
        QCOMPARE((ShownMessage{m.text.left(message.size()), m.title, m.icon}),
                 (ShownMessage{message, "File Read", MsgIcon::Critical}));
}

// Save asks for a name, as Save As does, before a file is known and once the
// configuration is of another kind than its file; else it writes over it.
void TestTransfer::saveOverOtherKind()
{
    MainFixture f("");
    G().ModelKind = 1;
    const QString kx5 = dir().filePath("plant.qv8"), l5 = dir().filePath("plant-l5.qv8");
    const QStringList &asked = answerFile(kx5);
    f.main()->tbToolbar_ButtonClick("Save");
    QCOMPARE(asked, QStringList{"save SaveAs"});
    QVERIFY(QFile::exists(kx5));

    put("plant.qv8", kind1File());
    f.click("mnuFileOpen");
    G().TypeCode[7] = 34;
    f.click("mnuFileSave");
    QCOMPARE(asked, QStringList({"save SaveAs", "open Open"}));
    QCOMPARE(fileBytes(kx5).split('\n').value(7), QByteArray("34,1\r"));

    f.main()->mnuModelModel(2)->trigger();
    const QByteArray saved = fileBytes(kx5);
    const QStringList &askedAgain = answerFile(l5);
    f.click("mnuFileSave");
    QCOMPARE(askedAgain, QStringList{"save SaveAs"});
    QCOMPARE(fileBytes(kx5), saved);
    QCOMPARE(fileBytes(l5).left(3), QByteArray("2\r\n"));
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX - plant-l5.qv8"));
    f.click("mnuFileSave");  // the new file holds this kind
    QCOMPARE(askedAgain, QStringList{"save SaveAs"});
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

// An upload cut short leaves a mix of the module's values and earlier ones:
// Save and Save As refuse it until a file is opened (or an upload completes).
void TestTransfer::incompleteNotSaved()
{
    Connected f("QV8_KX5");
    const QString name = dir().filePath("mix.qv8");
    const QStringList &asked = answerFile(name);
    f.stopAfter(30);
    f.click("mnuConfigUpload");
    f.log.messages.clear();
    f.click("mnuFileSaveAs");
    f.click("mnuFileSave");
    const ShownMessage refusal{"The configuration is incomplete: reading it from the module was "
                               "interrupted. Upload again or open a file, then save.",
                               "SaveAs", MsgIcon::Exclamation};
    QCOMPARE(f.log.messages, (QList<ShownMessage>{refusal, {refusal.text, "Save", refusal.icon}}));
    QVERIFY(asked.isEmpty() && !QFile::exists(name));
    answerFile(put("whole.qv8", kind1File()));
    f.click("mnuFileOpen");
    answerFile(name);
    f.click("mnuFileSaveAs");
    QCOMPARE(fileBytes(name), kind1File());
}

// A file opened offline, then a module connected: the configuration is the
// module's, so the file's name goes and Save asks. After a disconnect the
// Model menu starts from the kind's defaults with the editors available
// again, Download off.
void TestTransfer::fileModuleAndModel()
{
    MainFixture f("QV8_KX5");
    const QString plan = put("plan.qv8", kind1File("2,5"));
    answerFile(plan);
    f.click("mnuFileOpen");
    QCOMPARE(f.main()->lblSource->text(), QString("File plan.qv8"));
    f.connect();
    QCOMPARE(f.main()->windowTitle(), QString("KAVIX - QV8_KX5"));
    QCOMPARE(f.main()->lblSource->text(), QString("Read from the module"));
    const QStringList &asked = answerFile(QString());
    f.click("mnuFileSave");
    QCOMPARE(asked, QStringList{"save SaveAs"});
    QCOMPARE(fileBytes(plan), kind1File("2,5"));

    f.click("mnuConnDisConn");
    QVERIFY(!menuOn("mnuConfig"));
    f.main()->mnuModelModel(2)->trigger();
    QVERIFY(menuOn("mnuConfig") && menuOn("mnuConfigFilter") && !menuOn("mnuConfigDownload"));
    QCOMPARE(G().FilterTime, QString("1.0"));
    QCOMPARE(G().TypeCode[1], 48);
    QCOMPARE(f.main()->lblSource->text(), QString("New L5 configuration"));
    QCOMPARE(analogWindow()->lblFilter->text(), QString("1.000"));
}

// The file dialogs open in the folder used last, kept for the next run,
// else in the user's home: never in the folder the program runs in.
void TestTransfer::dialogFolder()
{
    MainFixture f("");
    const QString file = put("picked.qv8", kind1File());
    Settings().remove("files/folder");
    QStringList opened;  // the folder each dialog showed
    const auto next = [&](bool pick) {
        QTimer::singleShot(0, [&, pick] {
            auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            opened << (dlg ? dlg->directory().absolutePath() : QString("no dialog"));
            if (dlg && pick)
                dlg->selectFile(file);
            if (dlg)
                pick ? static_cast<QDialog *>(dlg)->accept() : dlg->reject();
        });
    };
    next(false);
    f.click("mnuFileOpen");
    next(true);
    f.click("mnuFileOpen");
    QCOMPARE(G().FileName, file);
    const QSettings kept(Settings().fileName(), QSettings::IniFormat);  // as a new run reads it
    QCOMPARE(kept.value("files/folder").toString(), dir().path());
    next(false);
    f.click("mnuFileSaveAs");
    Settings().setValue("files/folder", dir().filePath("gone"));
    next(false);
    f.click("mnuFileOpen");
    const QString home = QDir::homePath();
    QCOMPARE(opened, (QStringList{home, home, dir().path(), home}));
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    Settings().remove("files/folder");
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
