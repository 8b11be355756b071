// The Modbus settings window with its restart, and the three counting
// windows, through the real main window against a simulated module.

#include "app/Commands.h"
#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/ui/Forms.h"
#include "config/frmModSet.h"
#include "config/frmModSetKx7.h"
#include "counting/frmCntPreset.h"
#include "counting/frmCount.h"
#include "counting/frmCountSet.h"
#include "link/TxtBus.h"
#include "monitor/frmE6.h"
#include "monitor/frmH9.h"
#include "tests/support/MainFixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <mutex>



namespace {

// Every download reads the model name before its first write.
const QStringList kModelRead{"I90", "D"};

const ShownMessage kAddressRefused{"NodeAddress set point must be 1 to 247.",
                                   "Modbus Setting Data Check", MsgIcon::Information};
const ShownMessage kNotPositive{"Please enter positive number.", "Kavix", MsgIcon::Information};
const ShownMessage kTooLong{"Output set point must be 0 to 999999999.", "Preset Data Check",
                            MsgIcon::Information};

// Drives the window of type T that open() shows.
template <typename T>
void drive(const std::function<void()> &open, const std::function<void(T *)> &act)
{
    QVERIFY2(inWindow<T>(open, act), "the window did not open");
}

QList<int> modbusState(bool kx7)
{
    const auto &a = kx7 ? G().ModbusSetKx7 : G().ModbusSet;
    return QList<int>(a.begin(), a.end());
}

}  // namespace

class TestCounting : public QObject {
    Q_OBJECT
private slots:
    void modbusDownload_data();
    void modbusDownload();
    void modbusUpload_data();
    void modbusUpload();
    void restartWaitsWithWindowLocked();
    void restartFailingAtItemSelect();
    void closeBoxDiscardsUnsentParity();

    void countDownload_data();
    void countDownload();
    void presetBox_data();
    void presetBox();

    void counterOptions_data();
    void counterOptions();

    void cntPresetUploadStops();
    void cntPresetDownload_data();
    void cntPresetDownload();
};

// ---- Modbus settings

void TestCounting::modbusDownload_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QList<int>>("choices");  // baud, parity, stop bits, floating type
    QTest::addColumn<QStringList>("lines");   // "" = refused
    QTest::addColumn<QString>("status");      // the status bar's last result

    const QList<int> all{3, 2, 1, 1};
    const QString done = "Modbus settings downloaded and verified: ";
    QTest::newRow("kx7 address 1, 57600 EVEN 2 bits swapped")
        << "QV8T_KX7" << QStringList() << "1" << all
        << pairs({"80=1", "81=3", "83=2", "84=1", "86=1"})
        << done + "address 1, 57600, EVEN, 2 bits, Swapped Float";
    QTest::newRow("kx7 address 247")
        << "QV8T_KX7" << QStringList() << "247" << QList<int>{0, 0, 0, 0}
        << pairs({"80=247", "81=0", "83=0", "84=0", "86=0"})
        << done + "address 247, 9600, NONE, 1 bit, Normal Float";
    for (const char *bad : {"0", "248", "1.5", "99999999999"})
        QTest::addRow("kx7 address \"%s\" refused", bad)
            << "QV8T_KX7" << QStringList() << bad << all << QStringList{""} << "";
    QTest::newRow("kx7 without option bit 20: no address")
        << "QV8T_KX7" << QStringList{"2:0:16"} << "0" << all
        << pairs({"81=3", "83=2", "84=1", "86=1"}) << done + "57600, EVEN, 2 bits, Swapped Float";
    QTest::newRow("kx5: three baud rates, address shown")
        << "QV8_KX5" << QStringList() << "" << QList<int>{2, 1, 0, 1}
        << pairs({"81=2", "83=1", "84=0", "86=1"}) << done + "38400, ODD, 1 bit, Swapped Float";
}

void TestCounting::modbusDownload()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    QFETCH(QString, address);
    QFETCH(QList<int>, choices);
    QFETCH(QStringList, lines);
    Connected f(model, pins);
    const bool kx7 = model == "QV8T_KX7";
    const QList<int> before = modbusState(kx7);
    drive<ModbusWindow>([&] { f.click("mnuConfigModBus"); }, [&](ModbusWindow *w) {
        QCOMPARE(bool(qobject_cast<frmModSetKx7 *>(w)), kx7);
        QCOMPARE(w->cboData[0]->count(), kx7 ? 4 : 3);
        if (kx7) {
            QCOMPARE(w->txtAddress->text(), "1");  // as the module holds it
            QCOMPARE(w->txtAddress->isEnabled(), G().HwOption20);
            w->txtAddress->setText(address);
        } else {
            QCOMPARE(w->lblAddress->text(), "1");
        }
        for (int i = 0; i < 4; ++i) w->cboData[i == 0 ? 0 : i + 1]->setCurrentIndex(choices[i]);
        f.clearReceived();
        w->cmdDnload->click();
    });
    QTEST(MainPanel::instance().lastResult(), "status");
    if (lines == QStringList{""}) {
        // a point is taken out as it is typed
        QList<ShownMessage> told{kAddressRefused};
        if (address.contains('.'))
            told.prepend(kNotPositive);
        QCOMPARE(f.log.messages, told);
        QCOMPARE(f.questions + f.received(), QStringList());
        QCOMPARE(modbusState(kx7), before);
        return;
    }
    QCOMPARE(f.log.messages, QList<ShownMessage>());
    QCOMPARE(f.questions, QStringList{"Starting download for ModBus Setting."});
    QCOMPARE(f.received(), kModelRead + lines);
    QCOMPARE(modbusState(kx7), (QList<int>{choices[0], 0, choices[1], choices[2], choices[3]}));
}

void TestCounting::modbusUpload_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<QList<int>>("state");
    QTest::addColumn<bool>("failed");

    QTest::newRow("read into lists") << "QV8T_KX7" << QStringList{"81:0:3", "83:0:2", "86:0:1"}
                                     << QList<int>{3, 0, 2, 1, 1} << false;
    // the earlier reads stand; the bad one and those after it change nothing
    QTest::newRow("parity outside its list")
        << "QV8_KX5" << QStringList{"81:0:1", "83:0:3", "84:0:1"} << QList<int>{1, 0, 1, 0, 0}
        << true;
    QTest::newRow("parity no number")
        << "QV8_KX5" << QStringList{"81:0:0", "83:0:two"} << QList<int>{0, 0, 1, 0, 0} << true;
    QTest::newRow("57600 is no entry of the kx5 window")
        << "QV8_KX5" << QStringList{"81:0:3"} << QList<int>{2, 0, 1, 0, 0} << true;
}

void TestCounting::modbusUpload()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    QFETCH(QList<int>, state);
    QFETCH(bool, failed);
    Connected f(model, pins);
    drive<ModbusWindow>([&] { f.click("mnuConfigModBus"); }, [&](ModbusWindow *w) {
        w->cmdUpload->click();
        for (int i = 0; i < 5; ++i) QCOMPARE(w->cboData[i]->currentIndex(), state[i]);
    });
    QCOMPARE(modbusState(model == "QV8T_KX7"), state);
    QCOMPARE(f.log.messages, failed ? QList<ShownMessage>{uploadIncomplete("ModBus Setting")}
                                    : QList<ShownMessage>());
}

void TestCounting::restartWaitsWithWindowLocked()
{
    Connected f("QW8_KX5");
    QElapsedTimer clock;
    clock.start();
    QList<QPair<QString, qint64>> seen;
    std::mutex seenLock;
    f.module().setTrace([&](const QByteArray &line) {
        std::lock_guard<std::mutex> lock(seenLock);
        seen.append({QString::fromLatin1(line), clock.elapsed()});
    });
    bool checkedDuringWait = false;
    drive<ModbusWindow>([&] { f.click("mnuConfigModBus"); }, [&](ModbusWindow *w) {
        QVERIFY(!w->cmdDnload->isEnabled());
        w->cboData[2]->setCurrentIndex(2);
        QTimer::singleShot(700, w, [&, w] {
            // inside the wait: nothing can start, nothing can close the window
            QVERIFY(!w->isEnabled());
            w->close();
            QCOMPARE(G().ModbusSet[2], 1);  // no Exit ran
            w->cmdUpload->click();
            f.click("mnuConfigUpload");
            QVERIFY(!menuOn("mnuConfigUpload"));
            checkedDuringWait = true;
        });
        w->cmdQV8Res->click();
        QVERIFY(w->isEnabled());
        QVERIFY(w->cmdUpload->isEnabled() && w->cmdExit->isEnabled());
        QVERIFY(!w->cmdDnload->isEnabled());  // QW8: still no download
    });
    f.module().setTrace(nullptr);
    QVERIFY(checkedDuringWait);
    QCOMPARE(f.log.messages, QList<ShownMessage>());
    QCOMPARE(G().RestartPending, false);
    QStringList lines;
    for (const auto &s : seen) lines << s.first;
    QCOMPARE(lines, (QStringList{"G01", "I80", "D", "G99", "I90", "DRESET", "G01"}));
    QCOMPARE(MainPanel::instance().lastResult(), "System restart done: the module answered again");
    const qint64 waited = seen[6].second - seen[5].second;
    // about 2 s: never sooner; the upper bound only catches a wait that never ends
    QVERIFY2(waited >= 1900 && waited < 6000, qPrintable(QString::number(waited)));
}

void TestCounting::restartFailingAtItemSelect()
{
    Connected f("QV8_KX5");
    drive<ModbusWindow>([&] { f.click("mnuConfigModBus"); }, [&](ModbusWindow *w) {
        f.stopAfter(1);  // G99 is answered, the item select is not
        f.clearReceived();
        w->cmdQV8Res->click();
    });
    QCOMPARE(f.received(), (QStringList{"G99", "I90"}));
    QCOMPARE(MainPanel::instance().lastResult(), "System restart failed: no reply");
    QCOMPARE(f.log.messages,
             (QList<ShownMessage>{
                 kTimedOut, {"System Reset Incomplete", "ModBus Setting", MsgIcon::Critical}}));
    QCOMPARE(G().RestartPending, false);
}

void TestCounting::closeBoxDiscardsUnsentParity()
{
    Connected f("QV8_KX5");
    drive<ModbusWindow>([&] { f.click("mnuConfigModBus"); }, [](ModbusWindow *w) {
        w->cboData[2]->setCurrentIndex(2);
        w->close();
    });
    QCOMPARE(G().ModbusSet[2], 1);
    QCOMPARE(f.received(), (QStringList{"G01", "I80", "D"}));
    QCOMPARE(valueIn(f.module(), 83, 0), "1");
}

// ---- count setting per channel

void TestCounting::countDownload_data()
{
    QTest::addColumn<int>("ch");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("answer9");  // what the module answers to item 9 writes
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");  // "" none
    QTest::addColumn<QString>("status");

    QTest::newRow("ch 3 ON 1500")
        << 3 << true << "1500"
        << "" << pairs({"07=031", "09=031500"}) << ""
        << "Count setting of channel 3 downloaded and verified: DO 1, preset 1500";
    QTest::newRow("leading zeros sent as typed, answered without")
        << 5 << false << "0012"
        << "12" << pairs({"07=050", "09=050012"}) << "Download Incomplete"
        << "Count setting of channel 5 download not verified: the module echoed \"12\" (1 of 2 "
           "writes done)";
    QTest::newRow("empty preset not sent")
        << 2 << true << ""
        << "" << QStringList()
        << "Count preset of channel 2 \"\" cannot be sent to the module. Nothing was written."
        << "";
}

void TestCounting::countDownload()
{
    QFETCH(int, ch);
    QFETCH(bool, on);
    QFETCH(QString, preset);
    QFETCH(QString, answer9);
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    Connected f("QV8_H9");
    if (!answer9.isEmpty())
        f.refuseWrites(answer9, 9);
    drive<frmCount>([&] { form<frmH9>()->cmdCh_Click(ch); }, [&](frmCount *w) {
        QCOMPARE(w->channel(), ch);
        w->optDO[on ? 1 : 0]->click();
        w->txtPreset->setText(preset);
        f.clearReceived();
        w->cmdDownload->click();
    });
    // the monitor window and the shared arrays follow the window at once
    QCOMPARE(form<frmH9>()->doText(ch) + " " + form<frmH9>()->presetText(ch),
             (on ? "ON " : "OFF ") + preset);
    QCOMPARE(G().CountDo[ch], on ? 1 : 0);
    QCOMPARE(G().CountPreset[ch], preset);
    // kept, and marked until downloaded
    QCOMPARE(form<frmH9>()->lblPreset[ch]->font().italic(), !message.isEmpty());
    QCOMPARE(f.questions, QStringList{"Starting download for Channel No." + QString::number(ch)});
    QCOMPARE(f.received(), lines.isEmpty() ? lines : QStringList{"G01"} + kModelRead + lines);
    QCOMPARE(f.log.titles(), message.isEmpty() ? QStringList() : QStringList{"Count Download"});
    QCOMPARE(f.log.messages.value(0).text, message);
    QTEST(MainPanel::instance().lastResult(), "status");
}

// Both windows' boxes follow the same rules.
void TestCounting::presetBox_data()
{
    QTest::addColumn<bool>("cntPreset");  // the count preset window, else the count setting
    QTest::addColumn<QString>("before");  // the box's text, "|" the cursor
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<ShownMessage>>("messages");
    const QList<ShownMessage> notPositive{kNotPositive};
    QTest::newRow("tenth digit") << false << "123456789|" << "0" << "123456789|"
                                 << QList<ShownMessage>{kTooLong};
    QTest::newRow("plus taken out, cursor stays") << false << "12|34" << "+" << "12|34"
                                                  << notPositive;
    QTest::newRow("point then digit") << false << "12|" << ".5" << "125|" << notPositive;
    QTest::newRow("a zero stays") << false << "|" << "0" << "0|" << QList<ShownMessage>();
    QTest::newRow("preset window: letter taken out") << true << "7|" << "a" << "7|" << notPositive;
}

void TestCounting::presetBox()
{
    QFETCH(bool, cntPreset);
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Connected f(cntPreset ? "QV8_E6F4" : "QV8_H9");
    const auto type = [&](QLineEdit *box) {
        box->setText(QString(before).remove('|'));
        box->setCursorPosition(int(before.indexOf('|')));
        f.log.clear();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text().insert(box->cursorPosition(), '|'), after);
        QTEST(f.log.messages, "messages");
    };
    if (cntPreset) {
        drive<frmCntPreset>([] { form<frmE6>()->cmdCntPre_Click(); },
                            [&](frmCntPreset *w) { type(w->txtPreset[4]); });
    } else {
        drive<frmCount>([] { form<frmH9>()->cmdCh_Click(2); },
                        [&](frmCount *w) { type(w->txtPreset); });
        QCOMPARE(G().CountPreset[2], QString(after).remove('|'));
    }
}

// ---- counter options

void TestCounting::counterOptions_data()
{
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<QList<int>>("shown");   // option buttons: edge, zero clear, rate memory
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QString>("answer11");  // what the module answers to item 11 writes
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("status");
    const QString done = "Counter options downloaded and verified: ";
    QTest::newRow("01 is not 1; Clear writes 10, 11, 14")
        << QStringList{"10:0:0", "11:0:01", "14:0:0"} << QList<int>{0, 1, 0}
        << QList<int>{1, 0, 1} << "" << pairs({"10=1", "11=1", "14=1"})
        << done + R"("GND"-->"H"or"OPEN", Clear, Backup Data)";
    QTest::newRow("1 is Clear; Non Clear writes 10 and 14 only")
        << QStringList{"10:0:3", "11:0:1", "14:0:1"} << QList<int>{1, 0, 1}
        << QList<int>{0, 1, 0} << "" << pairs({"10=0", "14=0"})
        << done + R"("H"or"OPEN"-->"GND", Non Clear, Non Backup Data)";
    QTest::newRow("item 11 answering other than OK")
        << QStringList() << QList<int>{0, 1, 0} << QList<int>{0, 0, 0} << "1"
        << pairs({"10=0", "11=1"})
        << R"(Counter options download not verified: the module echoed "1" (1 of 3 writes done))";
}

void TestCounting::counterOptions()
{
    QFETCH(QStringList, pins);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, chosen);
    QFETCH(QString, answer11);
    QFETCH(QStringList, lines);
    Connected f("QV8_H9", pins);
    if (!answer11.isEmpty())
        f.refuseWrites(answer11, 11);
    drive<frmCountSet>([&] { f.click("mnuConfigCount"); }, [&](frmCountSet *w) {
        QCOMPARE(f.received(), (QStringList{"G01", "I10", "D", "I11", "D", "I14", "D"}));
        const std::array<std::array<QRadioButton *, 2>, 3> groups{w->optEdge, w->optCntZero,
                                                                  w->optCntRate};
        for (int g = 0; g < 3; ++g) {
            QVERIFY(groups[g][shown[g]]->isChecked());
            groups[g][chosen[g]]->click();
        }
        f.clearReceived();
        w->cmdDnload->click();
    });
    QCOMPARE(f.questions, QStringList{"Starting download for Count Setting."});
    QCOMPARE(f.received(), kModelRead + lines);
    QCOMPARE(f.log.messages, answer11.isEmpty()
                                 ? QList<ShownMessage>()
                                 : QList<ShownMessage>{downloadIncomplete("Count Settings")});
    QTEST(MainPanel::instance().lastResult(), "status");
}

// ---- count preset data

void TestCounting::cntPresetUploadStops()
{
    Connected f("QV8_E6F4");
    QStringList old, fresh;
    for (int i = 1; i <= 16; ++i) {
        old << QString("8:%1:%2").arg(i).arg(100 + i) << QString("9:%1:%2").arg(i).arg(i);
        fresh << QString("8:%1:%2").arg(i).arg(500 + i) << QString("9:%1:%2").arg(i).arg(50 + i);
    }
    f.pin(old);
    drive<frmCntPreset>([] { form<frmE6>()->cmdCntPre_Click(); }, [&](frmCntPreset *w) {
        f.pin(fresh);
        f.stopAfter(4 * 4);  // rows 1..4 are answered
        w->cmdUpload->click();
        for (int i = 1; i <= 16; ++i) {
            QCOMPARE(w->lbl32bitCnt[i]->text(), QString::number((i <= 4 ? 500 : 100) + i));
            QCOMPARE(w->txtPreset[i]->text(), QString::number(i <= 4 ? 50 + i : i));
        }
        QVERIFY(w->cmdDownload->isEnabled() && w->cmdExit->isEnabled());
    });
    QCOMPARE(f.log.messages, (QList<ShownMessage>{kTimedOut, uploadIncomplete("Uploading")}));
}

void TestCounting::cntPresetDownload_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("answer9");
    QTest::addColumn<int>("rowsSent");
    QTest::addColumn<QString>("failure");  // "" none
    QTest::addColumn<QString>("status");
    QStringList all, seventh, empty;
    for (int i = 1; i <= 16; ++i) {
        all << QString::number(i * 11);
        seventh << (i < 7 ? "12" : i == 7 ? "0012" : "5");
        empty << (i == 3 ? "" : "1");
    }
    QTest::newRow("16 writes in order")
        << all << "" << 16 << "" << "Count presets downloaded and verified: inputs 1 to 16";
    QTest::newRow("changed echo stops at row 7")
        << seventh << "12" << 7 << "Download Incomplete"
        << R"(Count presets download not verified: the module echoed "12" (6 of 16 writes done))";
    QTest::newRow("empty box: nothing sent")
        << empty << "" << 0
        << "Count preset of input 3 \"\" cannot be sent to the module. Nothing was written."
        << "";
}

void TestCounting::cntPresetDownload()
{
    QFETCH(QStringList, boxes);
    QFETCH(QString, answer9);
    QFETCH(int, rowsSent);
    QFETCH(QString, failure);
    Connected f("QV8_E6F4");
    if (!answer9.isEmpty())
        f.refuseWrites(answer9, 9);
    drive<frmCntPreset>([] { form<frmE6>()->cmdCntPre_Click(); }, [&](frmCntPreset *w) {
        for (int i = 1; i <= 16; ++i) w->txtPreset[i]->setText(boxes[i - 1]);
        f.clearReceived();
        w->cmdDownload->click();
        QVERIFY(w->cmdUpload->isEnabled() && w->cmdExit->isEnabled());
    });
    QStringList lines;
    for (int i = 1; i <= rowsSent; ++i)
        lines << "I09" << "D" + Fmt00(i) + boxes[i - 1];
    QCOMPARE(f.received(), rowsSent ? QStringList{"G01"} + kModelRead + lines : lines);
    QCOMPARE(f.questions, QStringList{"Starting download for Count Preset Data."});
    QCOMPARE(f.log.messages.value(0).text, failure);
    QCOMPARE(f.log.messages.size(), failure.isEmpty() ? 0 : 1);
    QTEST(MainPanel::instance().lastResult(), "status");
}

QTEST_MAIN(TestCounting)
#include "tst_counting.moc"
