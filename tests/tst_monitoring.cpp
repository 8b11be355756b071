// Connecting, disconnecting and the monitoring cycle, driven through the
// real main window against a simulated module on a pty.

#include "tests/support/MainFixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const ShownMessage kUploadIncomplete = uploadIncomplete("Monitoring");

// Lines one channel of the poll sends, by kind.
QStringList channelLines(int kind, int ch)
{
    static const QList<QList<int>> items = {
        {}, {5, 3, 4, 25, 2}, {5, 3, 4, 2}, {7}, {6}, {6, 7, 8, 9, 13}, {5, 3, 4, 25, 2}};
    QStringList out;
    for (int item : items[kind])
        out << "I" + Fmt00(item) << "D" + Fmt00(ch);
    return out;
}

QStringList closingLines(int kind)
{
    switch (kind) {
    case 1:
    case 2: return {"I06", "D01", "I20", "D01", "I16", "D"};
    case 6: return {"I06", "D01", "I07", "D01", "I20", "D", "I15", "D", "I16", "D"};
    default: return {};
    }
}

// The monitor window on screen, by name; "" when none.
QString shownWindow()
{
    for (QWidget *w : FormRegistry::instance().loadedNewestFirst())
        if (qobject_cast<MonitorWindow *>(w) && w->isVisible())
            return w->metaObject()->className();
    return {};
}

// A command as the user sees it: a window's buttons are on when any is.
bool shownOn(const QString &name)
{
    if (name == "frmE6.cmdCntPre")
        return form<frmE6>()->cmdCntPre->isEnabled();
    if (name != "frmB6.cmdOut")
        return menuOn(name);
    for (int ch = 1; ch <= 32; ++ch)
        if (form<frmB6>()->cmdOut[ch]->isEnabled())
            return true;
    return false;
}

QString shownAs(const QLabel *l) { return l->text() + " " + foreColor(l).name(); }

}  // namespace

class TestMonitoring : public QObject {
    Q_OBJECT
private slots:
    void connecting_data();
    void connecting();
    void typeNames_data();
    void typeNames();
    void kx7Options_data();
    void kx7Options();

    void analogPass_data();
    void analogPass();
    void contactStates_data();
    void contactStates();
    void counterValues();
    void passEnds_data();
    void passEnds();
    void outputSwitch_data();
    void outputSwitch();
};

// ---- connecting

void TestMonitoring::connecting_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<int>("kind");  // 0: the model is not found
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("row6");          // title|data
    QTest::addColumn<QStringList>("commands");  // on, or off with a "!"
    const auto row = [](const char *tag, const char *model, const QStringList &pins, int kind,
                        const char *window, const char *row6, const QStringList &commands) {
        QTest::newRow(tag) << model << pins << kind << window << row6 << commands;
    };
    const char *calibrated = "Calibration Date|2025/03/14";
    row("kind1", "QV8_KX5", {}, 1, "frmKx5", calibrated, {"mnuAdjustment", "mnuConfigModBus"});
    row("kind2", "QV8_L5", {}, 2, "frmL5", calibrated, {"mnuAdjustment"});
    row("kind3", "QV8_B6", {}, 3, "frmB6", "|", {"mnuAdjustment", "!frmB6.cmdOut"});
    row("kind4 V2.50", "QV8_E6", {}, 4, "frmE6", "|", {"mnuAdjustment", "!frmE6.cmdCntPre"});
    // the counter window switches the Adjustment menu off
    row("kind5", "QV8_H9", {}, 5, "frmH9", calibrated, {"!mnuAdjustment"});
    // row 6 is left as it was
    row("kind6", "QV8T_KX7", {}, 6, "frmKx7", "stale|stale", {"mnuAdjustment"});
    // the second-generation name has no Modbus settings
    row("second catalog row of kind 1", "QY8_KX5", {}, 1, "frmKx5", calibrated,
        {"!mnuConfigModBus"});
    row("lower case is not found", "QV8_KX5", {"90:0:qy8_kx5"}, 0, "", "stale|stale", {});
    row("unknown name", "QV8_L5", {"90:0:QV9_ZZ"}, 0, "", "stale|stale", {});
    // count preset data from firmware 3 on (the last V counts), on the F4 model always
    for (const char *v : {"V2.99", "HV4V2.99", "V3.00", "V10.5", "3.5"})
        row(qPrintable(QString("firmware ") + v), "QV8_E6", {QString("92:0:") + v}, 4, "frmE6",
            "|", {QString(QString(v).endsWith("2.99") ? "!" : "") + "frmE6.cmdCntPre"});
    row("firmware E6F4 V1.00", "QV8_E6F4", {"92:0:V1.00"}, 4, "frmE6", "|", {"frmE6.cmdCntPre"});
}

void TestMonitoring::connecting()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    QFETCH(int, kind);
    QFETCH(QStringList, commands);
    MainFixture f(model);
    f.pin(pins);
    frmMain *m = f.main();
    m->lblTitle[6]->setText("stale");
    m->lblData[6]->setText("stale");
    // the firmware is a number in any locale: 3.00 is not 300
    const QLocale saved;
    if (QString(QTest::currentDataTag()).startsWith("firmware"))
        QLocale::setDefault(QLocale(QLocale::German));
    f.connect();
    QLocale::setDefault(saved);

    QVERIFY(G().Connected);
    QCOMPARE(orZero(G().ModelKind), kind);
    QCOMPARE(commandState(), QString("connected"));
    const QStringList titles = {"Model Name", "Hardware Version", "Firmware Version",
                                "Serial Number", "Manufacture Date"};
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(m->lblTitle[row]->text(), titles[row - 1]);
        QCOMPARE(m->lblData[row]->text(), valueIn(f.module(), 89 + row, 0));
    }
    QTEST(m->lblTitle[6]->text() + "|" + m->lblData[6]->text(), "row6");
    QTEST(shownWindow(), "window");
    for (QString name : commands)
        QVERIFY2(shownOn(name.remove('!')) == !commands.contains("!" + name), qPrintable(name));
    if (kind) {
        QCOMPARE(f.log.messages, QList<ShownMessage>{});
        return;
    }
    QCOMPARE(f.log.messages, QList<ShownMessage>{kUploadIncomplete});
    // nothing is read after the last identity row
    QCOMPARE(f.received().mid(f.received().size() - 2), (QStringList{"I94", "D"}));
}

void TestMonitoring::typeNames_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<int>("code");  // as it is kept
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("cjcText");
    const auto row = [](const char *tag, const char *model, const QStringList &pins, int code,
                        const char *name, const char *cjc) {
        QTest::newRow(tag) << model << pins << code << name << cjc;
    };
    row("kind1 code 32 index 14", "QV8_KX5", {"5:3:32", "25:3:1"}, 32, "S", "ON");
    row("kind1 code 20", "QV8_KX5", {"5:16:20", "25:16:0"}, 20, "T(CC)", "OFF");
    row("kind1 index 20 past table", "QV8_KX5", {"5:4:38", "25:4:1"}, 38, "", "ON");
    row("kind1 voltage with cjc on", "QV8_KX5", {"5:5:5", "25:5:1"}, 5, "-50 to 50mV", "");
    row("kind1 cjc out of range", "QV8_KX5", {"5:6:22", "25:6:2"}, 22, "R", "");
    row("kind2 code 30 limited", "QV8_L5", {"5:2:30"}, 48, "JPt100(JIS'89)", "");
    row("kind2 code 58 empty", "QV8_L5", {"5:3:58"}, 58, "", "");
    row("kind2 code 65", "QV8_L5", {"5:8:65"}, 65, "0 to 500ohm", "");
    row("kind2 code 70 limited", "QV8_L5", {"5:1:70"}, 48, "JPt100(JIS'89)", "");
    row("kind6 code 16", "QV8T_KX7", {"5:2:16", "25:2:1"}, 16, "(PR)", "ON");
    row("kind6 code 0", "QV8T_KX7", {"5:8:0", "25:8:1"}, 0, "-10 to 10V", "");
    row("kind6 index 14 past table", "QV8T_KX7", {"5:5:30", "25:5:0"}, 30, "", "OFF");
}

// A channel's type and CJC switch as connecting reads them.
void TestMonitoring::typeNames()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    const int ch = pins[0].section(':', 1, 1).toInt();
    MainFixture f(model);
    f.pin(pins);
    f.connect();
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QTEST(G().TypeCode[ch], "code");
    QTEST(analogWindow()->lblType[ch]->text(), "typeName");
    if (model != "QV8_L5")
        QTEST(analogWindow()->lblCjmSw[ch]->text(), "cjcText");
    else
        QVERIFY(!f.received().contains("I25"));
}

// The option bits 0x10 and 0x20 of item 2; a value with neither keeps both.
void TestMonitoring::kx7Options_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("before");  // HwOption10 and HwOption20 as 0/1
    QTest::addColumn<QString>("after");
    QTest::newRow("16") << "16" << "01" << "10";
    QTest::newRow("32") << "32" << "10" << "01";
    QTest::newRow("48") << "48" << "00" << "11";
    QTest::newRow("0") << "0" << "11" << "00";
    QTest::newRow("8 keeps 10") << "8" << "10" << "10";
    QTest::newRow("8 keeps 01") << "8" << "01" << "01";
}

void TestMonitoring::kx7Options()
{
    QFETCH(QString, payload);
    QFETCH(QString, before);
    MainFixture f("QV8T_KX7");
    G().HwOption10 = before[0] == '1';
    G().HwOption20 = before[1] == '1';
    f.pin({"2:0:" + payload});
    f.connect();

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QTEST(QString("%1%2").arg(int(G().HwOption10)).arg(int(G().HwOption20)), "after");
    QVERIFY(!G().ForceIndex);
    const QStringList got = f.received();
    QCOMPARE(got.value(got.indexOf("I02") + 1), QString("D00"));
    // the window's menus follow the option just read
    QCOMPARE(menuOn("mnuConfigLineNoise"), G().HwOption10);
    QCOMPARE(menuOn("mnuConfigBurnout"), G().HwOption10);
}

// ---- monitoring

void TestMonitoring::analogPass_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("values");  // type code, real, raw, status of channel 1
    QTest::addColumn<QStringList>("shown");   // real, unit, raw, unit
    QTest::addColumn<QColor>("lamp");

    const QColor green(0, 255, 0), red(255, 0, 0);
    const auto row = [](const char *tag, const char *model, const QStringList &values,
                        const QStringList &shown, const QColor &lamp) {
        QTest::newRow(tag) << model << values << shown << lamp;
    };
    row("kind1 thermocouple", "QV8_KX5", {"20", "123.4567", "0.004", "0"},
        {"123.457", "degC", "4.000", "mV"}, green);
    row("kind1 millivolt", "QV8_KX5", {"4", "0.0125", "0.0125", "00"},
        {"12.500", "mV", "12.500", "mV"}, red);
    row("kind1 volt", "QV8_KX5", {"0", "1.5", "-0.25", "1"}, {"1.500", "V", "-0.250", "V"}, red);
    row("kind1 boundary code 3", "QV8_KX5", {"3", "0.5", "0.5", "0"},
        {"500.000", "mV", "500.000", "mV"}, green);
    // a reply that is no finite number is no value
    row("kind1 no number", "QV8_KX5", {"2", "12abc", "illegal OPE", "0"},
        {"—", "V", "—", "V"}, green);
    row("kind1 not finite", "QV8_KX5", {"4", "nan", "1e308", "0"}, {"—", "mV", "—", "mV"}, green);
    row("kind6 thermocouple", "QV8T_KX7", {"16", "25", "0.5", "1"},
        {"25.000", "degC", "500.000", "mV"}, red);
    row("kind6 volt", "QV8T_KX7", {"0", "-9.8765", "-9.8765", "0"},
        {"-9.877", "V", "-9.877", "V"}, green);
    row("kind2 resistance", "QV8_L5", {"65", "42.5", "42.5", "00"},
        {"42.500", "%", "42.500", "%"}, red);
    row("kind2 rtd", "QV8_L5", {"49", "21.25", "108.1", "0"}, {"21.250", "degC", "108.100", "ohm"},
        green);
}

void TestMonitoring::analogPass()
{
    QFETCH(QString, model);
    QFETCH(QStringList, values);
    QFETCH(QColor, lamp);
    MainFixture f(model);
    f.connectWith({"5:1:" + values[0], "3:1:" + values[1], "4:1:" + values[2], "2:1:" + values[3]});
    AnalogMonitor *w = analogWindow();
    QCOMPARE(w->lblReal[1]->text(), QString());
    const QString window = shownWindow();
    if (window == "frmKx7")
        ShowForm(form<frmKx5>());  // the kind's window comes to the front for the pass

    QColor during;
    bool buttonsOn = true;
    QString state;
    // the second channel has begun: the first lamp is lit
    f.afterExchange([&] { return f.received().count("I05") == 2; }, [&] {
        during = backColor(w->shpOut[1]);
        buttonsOn = w->cmdCh[1]->isEnabled() || w->cmdCh[w->channels()]->isEnabled();
        // only Stop acts while the cycle runs
        state = commandState() + (menuOn("mnuAlarm") ? " alarm" : "") + " " + shownWindow();
        f.click("mnuMonitorStop");
    });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QTEST((QStringList{w->lblReal[1]->text(), w->lblUnit1[1]->text(), w->lblRaw[1]->text(),
                       w->lblUnit2[1]->text()}),
          "shown");
    QCOMPARE(during, lamp);
    QVERIFY(!buttonsOn);
    QCOMPARE(state, "monitoring " + window);
    for (int ch = 1; ch <= w->channels(); ++ch) {
        QCOMPARE(backColor(w->shpOut[ch]), ActiveBorderColor());
        QVERIFY(w->cmdCh[ch]->isEnabled());
    }
    QCOMPARE(commandState(), QString("connected"));
    QCOMPARE(menuOn("mnuAlarm"), model == "QV8T_KX7");
    QVERIFY(!form<frmKx5>()->isVisible() || window == "frmKx5");
    QCOMPARE(f.main()->lblData[0]->text(), window.mid(3).toUpper());
}

void TestMonitoring::contactStates_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("item");
    QTest::newRow("kind3 outputs") << "QV8_B6" << 7;
    QTest::newRow("kind4 inputs") << "QV8_E6" << 6;
}

void TestMonitoring::contactStates()
{
    QFETCH(QString, model);
    QFETCH(int, item);
    const auto pins = [item](const QStringList &values) {
        QStringList out;
        for (const QString &v : values)
            out << QString::number(item) + ":" + v;
        return out;
    };
    MainFixture f(model);
    f.connectWith(pins({"1:0", "2:1", "3:1"}));
    auto *w = qobject_cast<ContactMonitor *>(form<frmB6>()->isVisible()
                                                 ? static_cast<QWidget *>(form<frmB6>())
                                                 : form<frmE6>());
    QCOMPARE(w->Label1[3]->text(), QString("ON"));

    f.pin(pins({"1:1", "2:0", "3:7", "32:1"}));
    bool countOn = true;
    f.afterLines(2, [&] {
        countOn = item == 6 && form<frmE6>()->cmdCntPre->isEnabled();
        f.click("mnuMonitorStop");
    });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(shownAs(w->Label1[1]), QString("ON #ff0000"));
    QCOMPARE(shownAs(w->Label1[2]), QString("OFF #008000"));
    // an unknown state empties the caption and keeps the colour
    QCOMPARE(shownAs(w->Label1[3]), QString(" #ff0000"));
    QCOMPARE(w->Label1[32]->text(), QString("ON"));
    if (item == 6) {
        QVERIFY(!countOn);
        // enabled after monitoring whatever the firmware rule said
        QVERIFY(form<frmE6>()->cmdCntPre->isEnabled());
    }
}

void TestMonitoring::counterValues()
{
    MainFixture f("QV8_H9");
    f.connectWith();
    f.pin({"6:3:1", "7:3:1", "8:3:4294967295", "9:3:000123", "13:3:12.5", "6:4:3", "7:4:0",
           "13:4:1e400"});
    // stop once channel 4 has begun: it still completes
    f.afterExchange([&] { return f.received().count("I06") == 4; },
                    [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    frmH9 *w = form<frmH9>();
    QCOMPARE((QStringList{w->lblDI[3]->text(), w->lblDO[3]->text(), w->lbl32bit[3]->text(),
                          w->lblPreset[3]->text(), w->lblRate[3]->text(), w->lblDI[4]->text(),
                          w->lblDO[4]->text(), w->lblRate[4]->text()}),
             (QStringList{"ON", "ON", "4294967295", "000123", "12.5", "", "OFF", "—"}));
    QCOMPARE(G().CountDo[3], 1);
    QCOMPARE(G().CountPreset[3], QString("000123"));
    QVERIFY(!toolOn(2) && !toolOn(3) && !menuOn("mnuAdjustment"));
}

// How a pass ends: Stop during a channel, Stop after the Monitor menu held
// the cycle, or a module that stops answering (after `answered` commands).
void TestMonitoring::passEnds_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<int>("answered");  // 0: the module keeps answering
    const char *models[] = {"QV8_KX5", "QV8_L5", "QV8_B6", "QV8_E6", "QV8_H9", "QV8T_KX7"};
    const int silentAfter[] = {14, 20, 40, 7, 30, 1 + 8 * 10 + 6};
    for (int kind = 1; kind <= 6; ++kind) {
        const char *model = models[kind - 1];
        QTest::addRow("kind%d stop, disconnect", kind) << model << kind << false << 0;
        QTest::addRow("kind%d menu then stop", kind) << model << kind << true << 0;
        QTest::addRow("kind%d falls silent", kind) << model << kind << false << silentAfter[kind - 1];
    }
    QTest::newRow("kind1 falls silent in the closing reads")
        << "QV8_KX5" << 1 << false << 1 + 16 * 10 + 3;
}

void TestMonitoring::passEnds()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(bool, paused);
    QFETCH(int, answered);
    MainFixture f(model);
    f.connectWith();
    if (answered) {
        f.main()->comm()->Timer1.setInterval(200);  // a quick time-out keeps the test short
        f.stopAfter(answered);
        QVERIFY(f.startAndWait());
        QCOMPARE(f.received().size(), answered + 1);
        QVERIFY(f.log.messages.size() >= 2);
        QCOMPARE(f.log.messages.first(), kTimedOut);
        QCOMPARE(f.log.messages.last(), kUploadIncomplete);
        QCOMPARE(f.log.messages.count(kUploadIncomplete), 1);
        QVERIFY(!G().MonitorRun);
        QCOMPARE(commandState(), QString("connected"));
        QVERIFY(menuOn("mnuConn"));
        return;
    }

    // Act during the second channel of the first pass.
    const int perChannel = int(channelLines(kind, 1).size());
    int sizeAtPause = -1, sizeLater = -1;
    f.afterLines(1 + perChannel + 1, [&] {
        if (!paused)
            return f.click("mnuMonitorStop");
        f.main()->mnuMonitor_Open();
        QTimer::singleShot(100, f.main(), [&] {
            sizeAtPause = int(f.received().size());
            QTimer::singleShot(300, f.main(), [&] {
                sizeLater = int(f.received().size());
                f.click("mnuMonitorStop");
            });
        });
    });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QStringList expected{"G01"};
    // the contact kinds read every contact in one pass
    for (int ch = 1; ch <= (kind == 3 || kind == 4 ? 32 : 2); ++ch)
        expected << channelLines(kind, ch);
    QCOMPARE(f.received(), expected + closingLines(kind));
    if (paused) {
        // held before the third channel: nothing reached the module
        QCOMPARE(sizeAtPause, 1 + 2 * perChannel);
        QCOMPARE(sizeLater, sizeAtPause);
    }
    QVERIFY(!G().MonitorRun);
    QVERIFY(!G().MenuPause);
    QCOMPARE(commandState(), QString("connected"));
    if (paused)
        return;

    // then Disconnect empties the identity rows and the live values
    AnalogMonitor *w = analogWindow();
    QVERIFY(!w || !w->lblReal[1]->text().isEmpty());
    f.click("mnuConnDisConn");
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QVERIFY(!G().Connected);
    QVERIFY(!f.main()->comm()->lineOpen());
    QVERIFY(!G().PortNumber);
    QCOMPARE(commandState(), QString("not connected"));
    QVERIFY(!menuOn("mnuAdjustment"));
    QVERIFY(f.main()->mnuModelModel(1)->isEnabled() && f.main()->mnuModelModel(2)->isEnabled());
    for (int row = 1; row <= 6; ++row)
        QCOMPARE(f.main()->lblTitle[row]->text() + f.main()->lblData[row]->text(), QString());
    for (int ch = 1; w && ch <= w->channels(); ++ch)
        for (QLabel *l : {w->lblReal[ch], w->lblUnit1[ch], w->lblRaw[ch], w->lblUnit2[ch]})
            QCOMPARE(l->text(), QString());
    QCOMPARE(orZero(G().ModelKind), kind);
    // and Connect works again
    f.connect();
    QVERIFY(G().Connected);
    QCOMPARE(f.main()->lblData[1]->text(), model);
}

void TestMonitoring::outputSwitch_data()
{
    QTest::addColumn<bool>("changedEcho");
    QTest::addColumn<QString>("refuse");
    QTest::addColumn<QString>("reply");  // empty: the switch is confirmed
    QTest::newRow("confirmed") << false << "" << "";
    QTest::newRow("other state echoed") << true << "" << "2";
    QTest::newRow("refused") << false << "invalid data" << "invalid data";
}

void TestMonitoring::outputSwitch()
{
    QFETCH(bool, changedEcho);
    QFETCH(QString, refuse);
    QFETCH(QString, reply);
    MainFixture f("QV8_B6");
    f.connectWith({"7:5:0"});
    frmB6 *w = form<frmB6>();
    QCOMPARE(w->Label1[5]->text(), QString("OFF"));
    f.setFaults([&](sim::Faults &x) {
        x.changedEcho = changedEcho;
        x.refuseWrites = refuse;
    });

    bool buttonOn = false;
    // during the select of contact 2
    f.afterLines(4, [&] {
        buttonOn = w->cmdOut[5]->isEnabled();
        w->cmdOut[5]->click();
    });
    f.afterExchange([&] { return f.received().contains("D051"); },
                    [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait());
    QVERIFY(buttonOn);

    const QStringList got = f.received();
    // served at the pause check before contact 3, once: a failed switch is
    // reported once and dropped, not retried
    QCOMPARE(got.mid(0, 9),
             (QStringList{"G01", "I07", "D01", "I07", "D02", "I07", "D051", "I07", "D03"}));
    QCOMPARE(got.count("D051"), 1);
    QCOMPARE(G().DoRequest, 0);
    QList<ShownMessage> expected;
    if (!refuse.isEmpty())
        expected << writeRefused("D051", 7);
    if (!reply.isEmpty())
        expected << ShownMessage{LoadResString(3003) + "\r\nOut= 051\r In= " + reply,
                                 "Descrete Down", MsgIcon::Critical};
    QCOMPARE(f.log.messages, expected);
    if (reply.isEmpty())
        QCOMPARE(shownAs(w->Label1[5]), QString("ON #ff0000"));
    QVERIFY(!shownOn("frmB6.cmdOut"));
}

QTEST_MAIN(TestMonitoring)
#include "tst_monitoring.moc"
