// Connecting, disconnecting and the monitoring cycle, driven through the
// real main window against a simulated module on a pty.

#include "tests/support/MainFixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "monitor/frmB6.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "monitor/frmKx5.h"
#include "monitor/frmKx7.h"
#include "monitor/frmL5.h"
#include "workflows/frmLoading.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const ShownMessage kUploadIncomplete{"Upload Incomplete", "Monitoring", MsgIcon::Critical};

AnalogMonitor *analog(int kind)
{
    switch (kind) {
    case 1: return form<frmKx5>();
    case 2: return form<frmL5>();
    case 6: return form<frmKx7>();
    default: return nullptr;
    }
}

QWidget *kindWindow(int kind)
{
    switch (kind) {
    case 3: return form<frmB6>();
    case 4: return form<frmE6>();
    case 5: return form<frmH9>();
    default: return analog(kind);
    }
}

QString idx(int i) { return QString("D%1").arg(i, 2, 10, QLatin1Char('0')); }

// Lines one channel of the poll sends, by kind.
QStringList channelLines(int kind, int ch)
{
    QList<int> items;
    switch (kind) {
    case 1:
    case 6: items = {5, 3, 4, 25, 2}; break;
    case 2: items = {5, 3, 4, 2}; break;
    case 3: items = {7}; break;
    case 4: items = {6}; break;
    case 5: items = {6, 7, 8, 9, 13}; break;
    }
    QStringList out;
    for (int item : items)
        out << QString("I%1").arg(item, 2, 10, QLatin1Char('0')) << idx(ch);
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

void checkConnectedMenus()
{
    for (const char *on : {"mnuConfig", "mnuMonitor", "mnuConnDisConn", "mnuMonitorStart"})
        QVERIFY2(menuOn(on), on);
    for (const char *off : {"mnuModel", "mnuConnConn", "mnuMonitorStop"})
        QVERIFY2(!menuOn(off), off);
    for (int pos : {4, 5, 8, 9})
        QVERIFY2(toolOn(pos), qPrintable(QString::number(pos)));
}

}  // namespace

class TestMonitoring : public QObject {
    Q_OBJECT
private slots:
    // connecting
    void connectIdentity_data();
    void connectIdentity();
    void connectModelLookup_data();
    void connectModelLookup();
    void connectTypeNames_data();
    void connectTypeNames();
    void connectKx7Options_data();
    void connectKx7Options();
    void connectE6CountButton_data();
    void connectE6CountButton();
    void versionValue_data();
    void versionValue();

    // monitoring
    void analogValues_data();
    void analogValues();
    void statusLamps_data();
    void statusLamps();
    void contactStates_data();
    void contactStates();
    void counterValues();
    void stopAtBoundary_data();
    void stopAtBoundary();
    void outputSwitch_data();
    void outputSwitch();
    void moduleFallsSilent_data();
    void moduleFallsSilent();
    void kx7ComesToFront();

    // disconnecting
    void disconnect_data();
    void disconnect();
};

// ---- connecting

void TestMonitoring::connectIdentity_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("row6Title");
    QTest::addColumn<QString>("row6Data");
    QTest::addColumn<bool>("adjustment");

    QTest::newRow("kind1") << "QV8_KX5" << 1 << "V3.00" << "Calibration Date" << "2025/03/14" << true;
    QTest::newRow("kind2") << "QV8_L5" << 2 << "V3.00" << "Calibration Date" << "2025/03/14" << true;
    QTest::newRow("kind3") << "QV8_B6" << 3 << "V3.00" << "" << "" << true;
    QTest::newRow("kind4") << "QV8_E6" << 4 << "V2.50" << "" << "" << true;
    // the counter window switches the Adjustment menu off
    QTest::newRow("kind5") << "QV8_H9" << 5 << "V3.00" << "Calibration Date" << "2025/03/14" << false;
    // row 6 is left as it was
    QTest::newRow("kind6") << "QV8T_KX7" << 6 << "V3.00" << "stale title" << "stale data" << true;
}

void TestMonitoring::connectIdentity()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(QString, firmware);
    QFETCH(QString, row6Title);
    QFETCH(QString, row6Data);
    QFETCH(bool, adjustment);

    MainFixture f(model);
    frmMain *m = f.main();
    m->lblTitle[6]->setText("stale title");
    m->lblData[6]->setText("stale data");
    f.connect();

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QVERIFY(G().Connected);
    QCOMPARE(orZero(G().ModelKind), kind);
    const QStringList titles = {"Model Name", "Hardware Version", "Firmware Version",
                                "Serial Number", "Manufacture Date"};
    const QStringList data = {model, "V1.02", firmware, f.module().withCore([](sim::ModuleCore &c) {
                                  return c.value(93, 0);
                              }),
                              "2024/11/05"};
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(m->lblTitle[row]->text(), titles[row - 1]);
        QCOMPARE(m->lblData[row]->text(), data[row - 1]);
    }
    QCOMPARE(m->lblTitle[6]->text(), row6Title);
    QCOMPARE(m->lblData[6]->text(), row6Data);
    QVERIFY(kindWindow(kind)->isVisible());
    checkConnectedMenus();
    QCOMPARE(menuOn("mnuAdjustment"), adjustment);
    if (kind == 3)
        for (int ch = 1; ch <= 32; ++ch)
            QVERIFY2(!form<frmB6>()->cmdOut[ch]->isEnabled(), qPrintable(QString::number(ch)));
}

void TestMonitoring::connectModelLookup_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("pinnedName");
    QTest::addColumn<int>("kind");  // 0: not found

    QTest::newRow("second catalog row of kind 1") << "QY8_KX5" << "" << 1;
    QTest::newRow("lower case is not found") << "QV8_KX5" << "qy8_kx5" << 0;
    QTest::newRow("unknown name") << "QV8_L5" << "QV9_ZZ" << 0;
}

void TestMonitoring::connectModelLookup()
{
    QFETCH(QString, model);
    QFETCH(QString, pinnedName);
    QFETCH(int, kind);

    MainFixture f(model);
    if (!pinnedName.isEmpty())
        f.module().setValue(90, 0, pinnedName);
    f.connect();

    QCOMPARE(orZero(G().ModelKind), kind);
    QVERIFY(G().Connected);
    checkConnectedMenus();
    if (kind) {
        QCOMPARE(f.log.messages, QList<ShownMessage>{});
        QVERIFY(form<frmKx5>()->isVisible());
        // the second-generation name has no Modbus settings
        QVERIFY(!menuOn("mnuConfigModBus"));
        return;
    }
    QCOMPARE(f.log.messages, QList<ShownMessage>{kUploadIncomplete});
    // nothing is read after the last identity row
    const QStringList got = f.received();
    QCOMPARE(got.mid(got.size() - 2), (QStringList{"I94", "D"}));
    QVERIFY(!got.contains("I95"));
    QCOMPARE(f.main()->lblData[1]->text(), pinnedName);
}

void TestMonitoring::connectTypeNames_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("ch");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("cjc");
    QTest::addColumn<int>("storedCode");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("cjcText");

    QTest::newRow("kind1 code 32 index 14") << "QV8_KX5" << 3 << "32" << "1" << 32 << "S" << "ON";
    QTest::newRow("kind1 code 20") << "QV8_KX5" << 16 << "20" << "0" << 20 << "T(CC)" << "OFF";
    QTest::newRow("kind1 index 20 past table") << "QV8_KX5" << 4 << "38" << "1" << 38 << "" << "ON";
    QTest::newRow("kind1 voltage with cjc on") << "QV8_KX5" << 5 << "5" << "1" << 5 << "-50 to 50mV" << "";
    QTest::newRow("kind1 cjc out of range") << "QV8_KX5" << 6 << "22" << "2" << 22 << "R" << "";
    QTest::newRow("kind2 code 30 limited") << "QV8_L5" << 2 << "30" << "" << 48 << "JPt100(JIS'89)" << "";
    QTest::newRow("kind2 code 58 empty") << "QV8_L5" << 3 << "58" << "" << 58 << "" << "";
    QTest::newRow("kind2 code 65") << "QV8_L5" << 8 << "65" << "" << 65 << "0 to 500ohm" << "";
    QTest::newRow("kind2 code 70 limited") << "QV8_L5" << 1 << "70" << "" << 48 << "JPt100(JIS'89)" << "";
    QTest::newRow("kind6 code 16") << "QV8T_KX7" << 2 << "16" << "1" << 16 << "(PR)" << "ON";
    QTest::newRow("kind6 code 0") << "QV8T_KX7" << 8 << "0" << "1" << 0 << "-10 to 10V" << "";
    QTest::newRow("kind6 index 14 past table") << "QV8T_KX7" << 5 << "30" << "0" << 30 << "" << "OFF";
}

void TestMonitoring::connectTypeNames()
{
    QFETCH(QString, model);
    QFETCH(int, ch);
    QFETCH(QString, code);
    QFETCH(QString, cjc);
    QFETCH(int, storedCode);
    QFETCH(QString, typeName);
    QFETCH(QString, cjcText);

    MainFixture f(model);
    f.module().setValue(5, ch, code);
    if (!cjc.isEmpty())
        f.module().setValue(25, ch, cjc);
    f.connect();

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    const int kind = orZero(G().ModelKind);
    AnalogMonitor *w = analog(kind);
    QVERIFY(w);
    QCOMPARE(G().TypeCode[ch], storedCode);
    QCOMPARE(w->lblType[ch]->text(), typeName);
    if (kind != 2)
        QCOMPARE(w->lblCjmSw[ch]->text(), cjcText);
    else
        QVERIFY(!f.received().contains("I25"));
}

void TestMonitoring::connectKx7Options_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("before10");
    QTest::addColumn<bool>("before20");
    QTest::addColumn<bool>("after10");
    QTest::addColumn<bool>("after20");

    QTest::newRow("16") << "16" << false << true << true << false;
    QTest::newRow("32") << "32" << true << false << false << true;
    QTest::newRow("48") << "48" << false << false << true << true;
    QTest::newRow("0") << "0" << true << true << false << false;
    QTest::newRow("8 keeps true/false") << "8" << true << false << true << false;
    QTest::newRow("8 keeps false/true") << "8" << false << true << false << true;
}

void TestMonitoring::connectKx7Options()
{
    QFETCH(QString, payload);
    QFETCH(bool, before10);
    QFETCH(bool, before20);
    QFETCH(bool, after10);
    QFETCH(bool, after20);

    MainFixture f("QV8T_KX7");
    G().HwOption10 = before10;
    G().HwOption20 = before20;
    f.module().setValue(2, 0, payload);
    f.connect();

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(G().HwOption10, after10);
    QCOMPARE(G().HwOption20, after20);
    QVERIFY(!G().ForceIndex);
    const QStringList got = f.received();
    const int at = got.indexOf("I02");
    QVERIFY(at >= 0);
    QCOMPARE(got.value(at + 1), QString("D00"));
    // the window's menus follow the option just read
    QCOMPARE(menuOn("mnuConfigLineNoise"), after10);
    QCOMPARE(menuOn("mnuConfigBurnout"), after10);
}

void TestMonitoring::connectE6CountButton_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("E6 V2.99") << "QV8_E6" << "V2.99" << false;
    QTest::newRow("E6 V3.00") << "QV8_E6" << "V3.00" << true;
    QTest::newRow("E6 V10.5") << "QV8_E6" << "V10.5" << true;
    QTest::newRow("E6 no V 3.5") << "QV8_E6" << "3.5" << true;
    QTest::newRow("E6F4 V1.00") << "QV8_E6F4" << "V1.00" << true;
    QTest::newRow("E6F4 V2.99") << "QV8_E6F4" << "V2.99" << true;
}

void TestMonitoring::connectE6CountButton()
{
    QFETCH(QString, model);
    QFETCH(QString, version);
    QFETCH(bool, enabled);

    MainFixture f(model);
    f.module().setValue(92, 0, version);
    f.connect();

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(f.main()->lblData[3]->text(), version);
    QCOMPARE(form<frmE6>()->cmdCntPre->isEnabled(), enabled);
}

void TestMonitoring::versionValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("V3.00") << "V3.00" << 3.0;
    QTest::newRow("V1.02") << "V1.02" << 1.02;
    QTest::newRow("no V") << "1.50" << 1.5;
    QTest::newRow("last V counts") << "HV2V2.99" << 2.99;
}

void TestMonitoring::versionValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);

    const QLocale saved;
    // a decimal-comma locale must not turn 3.00 into 300 or fail it
    QLocale::setDefault(QLocale(QLocale::German));
    bool ok = false;
    const double got = frmLoading::VersionValue(text, &ok);
    QLocale::setDefault(saved);
    QVERIFY(ok);
    QCOMPARE(got, value);
}

// ---- monitoring

void TestMonitoring::analogValues_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("real");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("realText");
    QTest::addColumn<QString>("unit1");
    QTest::addColumn<QString>("rawText");
    QTest::addColumn<QString>("unit2");

    QTest::newRow("kind1 thermocouple") << "QV8_KX5" << "20" << "123.4567" << "0.004"
                                        << "123.457" << "degC" << "4.000" << "mV";
    QTest::newRow("kind1 millivolt") << "QV8_KX5" << "4" << "0.0125" << "0.0125"
                                     << "12.500" << "mV" << "12.500" << "mV";
    QTest::newRow("kind1 volt") << "QV8_KX5" << "0" << "1.5" << "-0.25"
                                << "1.500" << "V" << "-0.250" << "V";
    QTest::newRow("kind1 boundary code 3") << "QV8_KX5" << "3" << "0.5" << "0.5"
                                           << "500.000" << "mV" << "500.000" << "mV";
    QTest::newRow("kind1 leading number") << "QV8_KX5" << "2" << "12abc" << "x"
                                          << "12.000" << "V" << "0.000" << "V";
    QTest::newRow("kind6 thermocouple") << "QV8T_KX7" << "16" << "25" << "0.5"
                                        << "25.000" << "degC" << "500.000" << "mV";
    QTest::newRow("kind6 volt") << "QV8T_KX7" << "0" << "-9.8765" << "-9.8765"
                                << "-9.877" << "V" << "-9.877" << "V";
    QTest::newRow("kind2 resistance") << "QV8_L5" << "65" << "42.5" << "42.5"
                                      << "42.500" << "%" << "42.500" << "%";
    QTest::newRow("kind2 rtd") << "QV8_L5" << "49" << "21.25" << "108.1"
                               << "21.250" << "degC" << "108.100" << "ohm";
}

void TestMonitoring::analogValues()
{
    QFETCH(QString, model);
    QFETCH(QString, code);
    QFETCH(QString, real);
    QFETCH(QString, raw);
    QFETCH(QString, realText);
    QFETCH(QString, unit1);
    QFETCH(QString, rawText);
    QFETCH(QString, unit2);

    MainFixture f(model);
    f.connect();
    const int kind = orZero(G().ModelKind);
    AnalogMonitor *w = analog(kind);
    QVERIFY(w);
    QCOMPARE(w->lblReal[1]->text(), QString());
    f.module().setValue(5, 1, code);
    f.module().setValue(3, 1, real);
    f.module().setValue(4, 1, raw);
    f.clearReceived();
    f.afterLines(2, [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(w->lblReal[1]->text(), realText);
    QCOMPARE(w->lblUnit1[1]->text(), unit1);
    QCOMPARE(w->lblRaw[1]->text(), rawText);
    QCOMPARE(w->lblUnit2[1]->text(), unit2);
}

void TestMonitoring::statusLamps_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QColor>("lamp");

    const QColor green(0, 255, 0), red(255, 0, 0);
    for (const char *model : {"QV8_KX5", "QV8_L5", "QV8T_KX7"}) {
        QTest::addRow("%s 0", model) << model << "0" << green;
        QTest::addRow("%s 00", model) << model << "00" << red;
        QTest::addRow("%s 1", model) << model << "1" << red;
    }
}

void TestMonitoring::statusLamps()
{
    QFETCH(QString, model);
    QFETCH(QString, status);
    QFETCH(QColor, lamp);

    MainFixture f(model);
    f.connect();
    const int kind = orZero(G().ModelKind);
    AnalogMonitor *w = analog(kind);
    f.module().setValue(2, 1, status);
    f.clearReceived();

    QColor during;
    bool buttonsOn = true;
    bool stopOn = false, startOn = true;
    // the second channel has begun: the first lamp is lit
    f.afterExchange([&] { return f.received().count("I05") == 2; }, [&] {
        during = backColor(w->shpOut[1]);
        buttonsOn = w->cmdCh[1]->isEnabled() || w->cmdCh[w->channels()]->isEnabled();
        stopOn = toolOn(6) && menuOn("mnuMonitorStop");
        startOn = toolOn(5) || menuOn("mnuMonitorStart");
        f.click("mnuMonitorStop");
    });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(during, lamp);
    QVERIFY(!buttonsOn);
    QVERIFY(stopOn);
    QVERIFY(!startOn);
    for (int ch = 1; ch <= w->channels(); ++ch) {
        QCOMPARE(backColor(w->shpOut[ch]), ActiveBorderColor());
        QVERIFY(w->cmdCh[ch]->isEnabled());
    }
    QVERIFY(!toolOn(6));
    QVERIFY(toolOn(5));
    QCOMPARE(menuOn("mnuAlarm"), kind == 6);
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

    MainFixture f(model);
    f.module().setValue(item, 1, "0");
    f.module().setValue(item, 2, "1");
    f.module().setValue(item, 3, "1");
    f.connect();
    ContactMonitor *w = item == 7 ? static_cast<ContactMonitor *>(form<frmB6>())
                                  : static_cast<ContactMonitor *>(form<frmE6>());
    QCOMPARE(w->Label1[3]->text(), QString("ON"));

    f.module().setValue(item, 1, "1");
    f.module().setValue(item, 2, "0");
    f.module().setValue(item, 3, "7");
    f.module().setValue(item, 32, "1");
    f.clearReceived();
    bool countOn = true;
    f.afterLines(2, [&] {
        if (item == 6)
            countOn = form<frmE6>()->cmdCntPre->isEnabled();
        f.click("mnuMonitorStop");
    });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    const QColor on(255, 0, 0), off(0, 128, 0);
    QCOMPARE(w->Label1[1]->text(), QString("ON"));
    QCOMPARE(foreColor(w->Label1[1]), on);
    QCOMPARE(w->Label1[2]->text(), QString("OFF"));
    QCOMPARE(foreColor(w->Label1[2]), off);
    // an unknown state empties the caption and keeps the colour
    QCOMPARE(w->Label1[3]->text(), QString());
    QCOMPARE(foreColor(w->Label1[3]), on);
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
    f.connect();
    frmH9 *w = form<frmH9>();
    f.module().setValue(6, 3, "1");
    f.module().setValue(7, 3, "1");
    f.module().setValue(8, 3, "4294967295");
    f.module().setValue(9, 3, "000123");
    f.module().setValue(13, 3, "12.5");
    f.module().setValue(6, 4, "3");
    f.module().setValue(7, 4, "0");
    f.clearReceived();
    // stop once channel 4 has begun: it still completes
    f.afterExchange([&] { return f.received().count("I06") == 4; },
                  [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait());

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QCOMPARE(w->lblDI[3]->text(), QString("ON"));
    QCOMPARE(w->lblDO[3]->text(), QString("ON"));
    QCOMPARE(G().CountDo[3], 1);
    QCOMPARE(w->lbl32bit[3]->text(), QString("4294967295"));
    QCOMPARE(w->lblPreset[3]->text(), QString("000123"));
    QCOMPARE(G().CountPreset[3], QString("000123"));
    QCOMPARE(w->lblRate[3]->text(), QString("12.5"));
    QCOMPARE(w->lblDI[4]->text(), QString());
    QCOMPARE(w->lblDO[4]->text(), QString("OFF"));
    QVERIFY(!toolOn(2));
    QVERIFY(!toolOn(3));
    QVERIFY(!menuOn("mnuAdjustment"));
}

void TestMonitoring::stopAtBoundary_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("paused");

    const struct { const char *model; int kind; } models[] = {
        {"QV8_KX5", 1}, {"QV8_L5", 2}, {"QV8_B6", 3}, {"QV8_E6", 4}, {"QV8_H9", 5}, {"QV8T_KX7", 6}};
    for (const auto &m : models) {
        QTest::addRow("kind%d stop", m.kind) << m.model << m.kind << false;
        QTest::addRow("kind%d menu then stop", m.kind) << m.model << m.kind << true;
    }
}

void TestMonitoring::stopAtBoundary()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(bool, paused);

    MainFixture f(model);
    f.connect();
    QCOMPARE(orZero(G().ModelKind), kind);
    f.clearReceived();

    // Act during the second channel of the first pass.
    const int perChannel = int(channelLines(kind, 1).size());
    const int inSecond = 1 + perChannel + 1;
    int sizeAtPause = -1, sizeLater = -1;
    f.afterLines(inSecond, [&] {
        if (!paused) {
            f.click("mnuMonitorStop");
            return;
        }
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
    const bool wholePass = kind == 3 || kind == 4;
    const int last = wholePass ? 32 : 2;
    for (int ch = 1; ch <= last; ++ch)
        expected << channelLines(kind, ch);
    expected << closingLines(kind);
    if (paused) {
        // held before the third channel: nothing reached the module
        QCOMPARE(sizeAtPause, 1 + 2 * perChannel);
        QCOMPARE(sizeLater, sizeAtPause);
    }
    QCOMPARE(f.received(), expected);
    QVERIFY(!G().MonitorRun);
    QVERIFY(!G().MenuPause);
    QVERIFY(menuOn("mnuMonitorStart"));
    QVERIFY(!menuOn("mnuMonitorStop"));
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
    f.module().setValue(7, 5, "0");
    f.connect();
    frmB6 *w = form<frmB6>();
    QCOMPARE(w->Label1[5]->text(), QString("OFF"));
    sim::Faults faults;
    faults.changedEcho = changedEcho;
    faults.refuseWrites = refuse;
    f.module().setFaults(faults);
    f.clearReceived();

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
    // served at the pause check before contact 3
    QCOMPARE(got.mid(0, 9),
             (QStringList{"G01", "I07", "D01", "I07", "D02", "I07", "D051", "I07", "D03"}));
    if (reply.isEmpty()) {
        QCOMPARE(f.log.messages, QList<ShownMessage>{});
        QCOMPARE(G().DoRequest, 0);
        QCOMPARE(got.count("D051"), 1);
        QCOMPARE(w->Label1[5]->text(), QString("ON"));
        QCOMPARE(foreColor(w->Label1[5]), QColor(255, 0, 0));
    } else {
        // a failed switch is reported once and dropped, not retried
        QCOMPARE(got.count("D051"), 1);
        QCOMPARE(G().DoRequest, 0);
        QList<ShownMessage> expected;
        if (!refuse.isEmpty())
            expected << ShownMessage{"invalid data D051\r\r\nat item 7", "Parameter Write",
                                     MsgIcon::Critical};
        expected << ShownMessage{LoadResString(3003) + "\r\nOut= 051\r In= " + reply,
                                 "Descrete Down", MsgIcon::Critical};
        QCOMPARE(f.log.messages, expected);
    }
    for (int ch = 1; ch <= 32; ++ch)
        QVERIFY(!w->cmdOut[ch]->isEnabled());
}

void TestMonitoring::moduleFallsSilent_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("answered");  // commands answered after the cycle began

    QTest::newRow("kind1 mid channel") << "QV8_KX5" << 14;
    QTest::newRow("kind1 closing reads") << "QV8_KX5" << 1 + 16 * 10 + 3;
    QTest::newRow("kind2") << "QV8_L5" << 20;
    QTest::newRow("kind3") << "QV8_B6" << 40;
    QTest::newRow("kind4") << "QV8_E6" << 7;
    QTest::newRow("kind5") << "QV8_H9" << 30;
    QTest::newRow("kind6") << "QV8T_KX7" << 1 + 8 * 10 + 6;
}

void TestMonitoring::moduleFallsSilent()
{
    QFETCH(QString, model);
    QFETCH(int, answered);

    MainFixture f(model);
    f.connect();
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    f.main()->comm()->Timer1.setInterval(200);  // a quick time-out keeps the test short
    sim::Faults faults;
    faults.stopAfter = int(f.received().size()) + answered;
    f.module().setFaults(faults);
    f.clearReceived();

    QVERIFY(f.startAndWait());

    QCOMPARE(f.received().size(), answered + 1);
    QVERIFY(f.log.messages.size() >= 2);
    QCOMPARE(f.log.messages.first(), (ShownMessage{"Timeout", "Send/Receive", MsgIcon::Critical}));
    QCOMPARE(f.log.messages.last(), kUploadIncomplete);
    QCOMPARE(f.log.messages.count(kUploadIncomplete), 1);
    QVERIFY(!G().MonitorRun);
    QVERIFY(!toolOn(6));
    QVERIFY(toolOn(5));
    QVERIFY(menuOn("mnuMonitorStart"));
    QVERIFY(!menuOn("mnuMonitorStop"));
    QVERIFY(menuOn("mnuConn"));
}

void TestMonitoring::kx7ComesToFront()
{
    MainFixture f("QV8T_KX7");
    f.connect();
    f.clearReceived();
    ShowForm(form<frmKx5>());
    QVERIFY(!form<frmKx7>()->isVisible());

    bool kx7Shown = false, kx5Hidden = false, alarmOn = true;
    f.afterLines(2, [&] {
        kx7Shown = form<frmKx7>()->isVisible();
        kx5Hidden = !form<frmKx5>()->isVisible();
        alarmOn = menuOn("mnuAlarm");  // only Stop acts while the cycle runs
        f.click("mnuMonitorStop");
    });
    QVERIFY(f.startAndWait());
    QVERIFY(kx7Shown);
    QVERIFY(kx5Hidden);
    QVERIFY(!alarmOn);
    QCOMPARE(f.main()->lblData[0]->text(), QString("KX7"));
}

// ---- disconnecting

void TestMonitoring::disconnect_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");

    QTest::newRow("kind1") << "QV8_KX5" << 1;
    QTest::newRow("kind2") << "QV8_L5" << 2;
    QTest::newRow("kind3") << "QV8_B6" << 3;
    QTest::newRow("kind5") << "QV8_H9" << 5;
    QTest::newRow("kind6") << "QV8T_KX7" << 6;
}

void TestMonitoring::disconnect()
{
    QFETCH(QString, model);
    QFETCH(int, kind);

    MainFixture f(model);
    f.connect();
    f.clearReceived();
    f.afterLines(3, [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait());
    AnalogMonitor *w = (kind == 1 || kind == 2 || kind == 6) ? analog(kind) : nullptr;
    if (w)
        QVERIFY(!w->lblReal[1]->text().isEmpty());

    f.click("mnuConnDisConn");

    QCOMPARE(f.log.messages, QList<ShownMessage>{});
    QVERIFY(!G().Connected);
    QVERIFY(!f.main()->comm()->MSComm1.isOpen());
    QVERIFY(!G().PortNumber);
    for (const char *off : {"mnuConfig", "mnuMonitor", "mnuAdjustment", "mnuConnDisConn"})
        QVERIFY2(!menuOn(off), off);
    for (const char *on : {"mnuModel", "mnuConnConn"})
        QVERIFY2(menuOn(on), on);
    QVERIFY(f.main()->mnuModelModel(1)->isEnabled());
    QVERIFY(f.main()->mnuModelModel(2)->isEnabled());
    for (int pos : {4, 5, 8, 9})
        QVERIFY2(!toolOn(pos), qPrintable(QString::number(pos)));
    for (int row = 1; row <= 6; ++row) {
        QCOMPARE(f.main()->lblTitle[row]->text(), QString());
        QCOMPARE(f.main()->lblData[row]->text(), QString());
    }
    if (w) {
        for (int ch = 1; ch <= w->channels(); ++ch)
            for (QLabel *l : {w->lblReal[ch], w->lblUnit1[ch], w->lblRaw[ch], w->lblUnit2[ch]})
                QCOMPARE(l->text(), QString());
    }
    QCOMPARE(orZero(G().ModelKind), kind);

    // and Connect works again
    f.connect();
    QVERIFY(G().Connected);
    QCOMPARE(f.main()->lblData[1]->text(), model);
}

QTEST_MAIN(TestMonitoring)
#include "tst_monitoring.moc"
