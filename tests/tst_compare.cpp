// Compare with Module, the download of the differences and Verify after
// download, through the real main window against a simulated module; and
// the rules by which two values are the same setting.

#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/ui/frmMain.h"
#include "compare/Comparison.h"
#include "compare/ui/frmCompare.h"
#include "config/Transfer.h"
#include "link/TxtBus.h"
#include "tests/support/MainFixture.h"

using Part = ModuleSettings::Part;

namespace {

// The configuration's settings against the module's, the window driven by `act`.
bool compared(MainFixture &f, const std::function<void(frmCompare *)> &act)
{
    return inWindow<frmCompare>([&f] { f.click("mnuConfigCompare"); }, act);
}

}  // namespace

class TestCompare : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitData(); }
    void rules_data();
    void rules();
    void settingsOfKind();
    void downloadDifferences();
    void takeAndCutShort();
    void outsideList();
    void verifyAfterDownload();
};

void TestCompare::rules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("part");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("same");
    QTest::addColumn<bool>("outside");
    const int type = int(Part::Type), filter = int(Part::Filter);
    QTest::newRow("a number by its value") << 1 << filter << "2.5"
                                           << "2.50" << true << false;
    QTest::newRow("another number") << 1 << filter << "2.5"
                                    << "2.6" << false << false;
    QTest::newRow("not a number: the text") << 1 << filter << "1,5"
                                            << "1.5" << false << false;
    QTest::newRow("preset, leading zeros") << 5 << int(Part::Preset) << "012"
                                           << "12" << true << false;
    QTest::newRow("kind 1: codes 7 and 16 name one type") << 1 << type << "7"
                                                          << "16" << true << false;
    QTest::newRow("kind 6: codes 1 and 16") << 6 << type << "1"
                                            << "16" << true << false;
    QTest::newRow("kind 2: codes 54 and 64") << 2 << type << "54"
                                             << "64" << true << false;
    QTest::newRow("kind 1: another type") << 1 << type << "16"
                                          << "17" << false << false;
    QTest::newRow("outside the list, the same code") << 1 << type << "99"
                                                     << "99" << true << true;
    QTest::newRow("outside against a type") << 1 << type << "99"
                                            << "16" << false << true;
    QTest::newRow("switch") << 1 << int(Part::Cjc) << "1"
                            << "0" << false << false;
    QTest::newRow("switch outside") << 1 << int(Part::Cjc) << "2"
                                    << "2" << true << true;
}

void TestCompare::rules()
{
    QFETCH(int, kind);
    QFETCH(int, part);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, same);
    QFETCH(bool, outside);
    const SettingKey key{Part(part), part == int(Part::Filter) ? 0 : 1};
    ModuleSettings a, b;
    QVERIFY(SettingItems::Store(key, left, a));
    QVERIFY(SettingItems::Store(key, right, b));
    const Comparison c = Comparison::of(kind, {key}, a, "file", b, "module");
    QCOMPARE(c.differing() == 0, same);
    QCOMPARE(c.outside(), outside);
    QCOMPARE(c.lines().size(), same ? 0 : 1);
    if (outside && part == int(Part::Type))
        QVERIFY(c.rows[0].left.startsWith("code "));
}

void TestCompare::settingsOfKind()
{
    // kind 6 has the switch, burnout and line-noise filter with option bit 0x10 only
    const QList<std::tuple<int, bool, int>> sizes{{1, true, 34}, {2, true, 10},  {5, true, 16},
                                                  {6, true, 20}, {6, false, 10}, {3, true, 0}};
    for (const auto &[kind, option, n] : sizes)
        QCOMPARE(SettingItems::Transfer(kind, option).size(), n);

    Connected f("QV8T_KX7", {"2:0:0"});
    f.clearReceived();
    QVERIFY(compared(
        f, [](frmCompare *w) { QCOMPARE(w->comparison().summary(), "All 10 settings match"); }));
    for (const QString &line : f.received())
        QVERIFY2(!QStringList({"I25", "I20", "I15", "I02"}).contains(line), qPrintable(line));
}

// Only the differing settings go out, in the order of a whole download,
// each write checked; the table and the module's record follow.
void TestCompare::downloadDifferences()
{
    Connected f("QV8_KX5");
    AppState &s = G();
    s.TypeCode[3] = s.TypeCode[3] == 16 ? 17 : 16;
    s.BurnoutType = (s.BurnoutType + 1) % 3;
    s.FilterTime = "2.5";
    MainPanel::instance().settingsChanged();
    QVERIFY(compared(f, [&](frmCompare *w) {
        QCOMPARE(w->comparison().summary(), "3 of 34 settings differ");
        QCOMPARE(w->grdSettings->rowCount(), 34);
        QVERIFY(w->cmdDownload->isEnabled());
        f.clearReceived();
        w->cmdDownload_Click();
        QStringList expected{"G01", "I90", "D"};
        for (int ch = 1; ch <= 16; ++ch) {
            if (ch == 3)
                expected << "I05"
                         << "D03" + Fmt00(s.TypeCode[3]);
            expected << "I20" << QString("D%1%2").arg(Fmt00(ch)).arg(s.BurnoutType);
        }
        expected << "I16"
                 << "D2.5";
        QCOMPARE(f.received(), expected);
        QCOMPARE(f.questions.last(), "Starting download for 3 settings that differ.");
        QCOMPARE(w->comparison().summary(), "All 34 settings match");
        QCOMPARE(w->grdSettings->item(int(w->comparison().rows.size()) - 1, 5)->text(),
                 "written, verified");
        QVERIFY(!w->cmdDownload->isEnabled());
    }));
    QVERIFY(!MainPanel::instance().edited());
    QCOMPARE(MainPanel::instance().lastResult(), "Downloaded 3 differing settings, each verified");

    // a refused write ends it there: the module's record keeps the old value
    s.FilterTime = "3.5";
    s.TypeCode[2] = s.TypeCode[2] == 16 ? 17 : 16;
    f.refuseWrites("invalid data", 16);
    QVERIFY(compared(f, [&](frmCompare *w) {
        w->cmdDownload_Click();
        QCOMPARE(w->comparison().summary(), "1 of 34 settings differ");
        QCOMPARE(f.log.messages.last(), downloadIncomplete("Download the differences"));
    }));
    QCOMPARE(ModuleHolds()->FilterTime, "2.5");
    QCOMPARE(ModuleHolds()->TypeCode[2], s.TypeCode[2]);
}

void TestCompare::takeAndCutShort()
{
    Connected f("QV8_KX5");
    const ModuleSettings module = ModuleSettings::of(G());
    G().TypeCode[5] = 0;
    G().FilterTime = "9";
    QVERIFY(compared(f, [](frmCompare *w) {
        QVERIFY(w->cmdTake->isEnabled());
        w->cmdTake_Click();
        QCOMPARE(w->comparison().summary(), "All 34 settings match");
    }));
    QVERIFY(ModuleSettings::of(G()) == module);
    QCOMPARE(MainPanel::instance().configSource(), "Read from the module");

    // a module that stops answering: the rows read so far, the rest marked
    f.stopAfter(3 + 2 * 10);
    QVERIFY(compared(f, [](frmCompare *w) {
        QCOMPARE(w->comparison().unknown(), 24);
        QCOMPARE(w->grdSettings->item(10, 0)->text(), "?");
        QVERIFY(!w->cmdDownload->isEnabled() && !w->cmdTake->isEnabled());
    }));
    QVERIFY(f.log.messages.last().text.startsWith(
        "The module stopped answering: 10 of 34 settings were read."));
}

void TestCompare::outsideList()
{
    Connected f("QV8_KX5");
    f.pin({"5:2:99"});
    QVERIFY(compared(f, [](frmCompare *w) {
        QCOMPARE(w->comparison().differing(), 1);
        QCOMPARE(w->comparison().lines().first().section(", ", 1), "module code 99");
        QVERIFY(!w->cmdDownload->isEnabled() && !w->cmdTake->isEnabled());
    }));
    QCOMPARE(f.log.titles().last(), "Compare with Module");
}

// Read back after the download: a setting the module echoed but did not keep is named.
void TestCompare::verifyAfterDownload()
{
    Connected f("QV8_KX5");
    G().FilterTime = "4.5";
    f.setFaults([](sim::Faults &x) { x.forgetItem = 16; });
    VerifyAfterDownload() = true;
    f.click("mnuConfigDownload");
    VerifyAfterDownload() = false;
    QCOMPARE(f.log.messages.last().text,
             "The module did not keep 1 of 34 settings: filter time: sent 4.5, module 1.0");
    QCOMPARE(MainPanel::instance().lastResult(), "Download not verified");
    QVERIFY(MainPanel::instance().edited());
}

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
