// The editors of the analog modules (input type, cold-junction reference,
// burnout, filter, line noise, alarm output), driven through the real main
// window and monitor windows against a simulated module on a pty.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <functional>

#include "app/Globals.h"
#include "app/Init.h"
#include "app/ui/EditorDialog.h"
#include "app/ui/FormText.h"
#include "app/ui/frmMain.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmType.h"
#include "link/Communication.h"
#include "monitor/AnalogMonitor.h"
#include "tests/support/MainFixture.h"
#include "workflows/ModuleReads.h"

namespace {

enum Fault { None, Refuse, Changed, TwoDecimals, Garbage };

QString two(int n)
{
    return QString::number(n).rightJustified(2, '0');
}

ShownMessage incomplete(const QString &title)
{
    return {"Download Incomplete", title, MsgIcon::Critical};
}
ShownMessage invalid(const QString &line, int item)
{
    return {QString("invalid data %1\r\r\nat item %2").arg(line).arg(item), "Parameter Write",
            MsgIcon::Critical};
}

int kindOf(const QString &model)
{
    return sim::ModuleCore::kindOf(model);
}
AnalogMonitor *monitor()
{
    return ModuleReads::AnalogWindow(orZero(G().ModelKind));
}

// A module of the model with its pins, connected; then the faults.
void start(MainFixture &f, const QStringList &pins, int fault = None)
{
    for (const QString &p : pins) {
        const QStringList v = p.split(':');
        f.module().setValue(v[0].toInt(), v[1].toInt(), v[2]);
    }
    f.connect();
    QVERIFY(G().Connected);
    sim::Faults faults;
    faults.refuseWrites = fault == Refuse ? "invalid data" : "";
    faults.changedEcho = fault == Changed;
    faults.echoDecimals = fault == TwoDecimals ? 2 : -1;
    faults.garbage = fault == Garbage;
    f.module().setFaults(faults);
    f.clearReceived();
    f.log.clear();
    G().DialogOK = true;  // an earlier question answered OK
}

// Opens an editor as open() does and lets act() work in it; false when
// the window was not shown.
template <typename T>
bool inEditor(const std::function<void()> &open, const std::function<void(T *)> &act)
{
    bool shown = false;
    EditorDialog::script() = [&](EditorDialog *d) {
        if (auto *w = qobject_cast<T *>(d)) {
            shown = true;
            act(w);
        }
    };
    open();
    EditorDialog::script() = nullptr;
    return shown;
}

// The type editor of channel ch, opened by the monitor window's button.
bool inType(int ch, const std::function<void(frmType *)> &act)
{
    return inEditor<frmType>([ch] { monitor()->cmdCh[ch]->click(); }, act);
}

void choose(frmType *w, const QString &name)
{
    w->cboType->setCurrentIndex(w->cboType->findText(name));
    w->cboType_Click();
}

// A choice in a setting editor as a user makes it.
void choose(SettingEditor *w, const QString &value)
{
    if (w->list) {
        w->list->setCurrentIndex(w->list->findText(value));
        w->choice_Click(w->list->currentIndex());
    } else if (w->text) {
        w->text->setText(value);
    } else {
        w->options[value == "ON" ? 1 : 0]->click();
    }
}

// The setting as the monitor shows it and as the state holds it.
QPair<QString, QString> settingShown(const QString &menu)
{
    const AppState &s = G();
    AnalogMonitor *w = monitor();
    if (menu == "mnuConfigBurnout")
        return {w->burnoutText(), QString::number(s.BurnoutType)};
    if (menu == "mnuConfigFilter")
        return {w->filterText(), s.FilterTime};
    if (menu == "mnuConfigLineNoise")
        return {w->lineNoiseText(), QString::number(orZero(s.LineNoise))};
    return {w->alarmText(), QString::number(s.AlarmOut)};
}

}  // namespace

class TestAnalogEditors : public QObject {
    Q_OBJECT
private slots:
    void typeDownload_data();
    void typeDownload();
    void typeChoice_data();
    void typeChoice();
    void prevNext_data();
    void prevNext();
    void copyPaste();
    void noCloseWhileTalking();
    void setting_data();
    void setting();
    void filterRefusedInJapanese();
    void cjmDownload_data();
    void cjmDownload();
    void cjmReadsAndFailures_data();
    void cjmReadsAndFailures();
};

// ---- input type

void TestAnalogEditors::typeDownload_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("pins");
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("ok");  // the download question's answer
    QTest::addColumn<int>("ch");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cjc");  // option clicked after the type, -1 none
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<ShownMessage>>("messages");
    QTest::addColumn<bool>("cjcShown");
    QTest::addColumn<bool>("cjcOn");
    const QList<ShownMessage> quiet;
    QTest::newRow("kx5 K(CA) on") << "QV8_KX5" << QStringList{} << int(None) << true << 3 << "K(CA)"
                                  << 1 << QStringList{"G01", "I05", "D0317", "I25", "D031"} << quiet
                                  << true << true;
    QTest::newRow("kx5 voltage") << "QV8_KX5" << QStringList{} << int(None) << true << 2
                                 << "-20 to 20V" << -1
                                 << QStringList{"G01", "I05", "D0200", "I25", "D020"} << quiet
                                 << true << false;
    QTest::newRow("l5 Pt1000") << "QV8_L5" << QStringList{} << int(None) << true << 8 << "Pt1000"
                               << -1 << QStringList{"G01", "I05", "D0853"} << quiet << false
                               << false;
    QTest::newRow("kx7 no option 10")
        << "QV8T_KX7" << QStringList{"2:0:0"} << int(None) << true << 1 << "K(CA)" << -1
        << QStringList{"G01", "I05", "D0117", "I25", "D011"} << quiet << true << false;
    QTest::newRow("refused") << "QV8_KX5" << QStringList{} << int(Refuse) << true << 3 << "K(CA)"
                             << 1 << QStringList{"G01", "I05", "D0317"}
                             << QList<ShownMessage>{invalid("D0317", 5),
                                                    incomplete("Type Download")}
                             << true << true;
    QTest::newRow("changed echo") << "QV8_KX5" << QStringList{} << int(Changed) << true << 3
                                  << "K(CA)" << 1 << QStringList{"G01", "I05", "D0317"}
                                  << QList<ShownMessage>{incomplete("Type Download")} << true
                                  << true;
    QTest::newRow("cancel") << "QV8_KX5" << QStringList{} << int(None) << false << 3 << "K(CA)" << 1
                            << QStringList{} << quiet << true << true;
}

void TestAnalogEditors::typeDownload()
{
    QFETCH(QString, model);
    QFETCH(QStringList, pins);
    QFETCH(int, fault);
    QFETCH(bool, ok);
    QFETCH(int, ch);
    QFETCH(QString, name);
    QFETCH(int, cjc);
    QFETCH(bool, cjcShown);
    QFETCH(bool, cjcOn);
    MainFixture f(model);
    start(f, pins, fault);
    f.answer = ok;
    QVERIFY(inType(ch, [&](frmType *w) {
        QCOMPARE(w->cboChannel->currentText(), QString::number(ch));
        choose(w, name);
        if (cjc >= 0)
            w->optCjmSw[cjc]->click();
        QCOMPARE(!w->Frame1->isHidden() && !w->Label5->isHidden(), cjcShown);
        QCOMPARE(!w->Frame1->isHidden() && w->optCjmSw[1]->isEnabled(), cjcOn);
        QVERIFY(w->cmdDownload->isEnabled());
        w->cmdDownload->click();
    }));
    QTEST(f.received(), "lines");
    QTEST(f.log.messages, "messages");
    QCOMPARE(f.questions, QStringList{QString("Starting download for Channel No.%1").arg(ch)});
    QCOMPARE(monitor()->typeText(ch), name);  // nothing rolled back
}

void TestAnalogEditors::typeChoice_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("ch");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("cjcText");
    QTest::newRow("kx5 last voltage") << "QV8_KX5" << 1 << "-10 to 10mV" << 6 << "";
    QTest::newRow("kx5 first tc") << "QV8_KX5" << 16 << "(PR)" << 16 << "OFF";
    QTest::newRow("kx5 last tc") << "QV8_KX5" << 4 << "P(Platinel2)" << 28 << "OFF";
    QTest::newRow("l5 last rtd") << "QV8_L5" << 1 << "Pt1000" << 53 << "";
    QTest::newRow("l5 first ohm") << "QV8_L5" << 5 << "0 to 100ohm" << 64 << "";
    QTest::newRow("l5 last ohm") << "QV8_L5" << 8 << "0 to 10Kohm" << 67 << "";
    QTest::newRow("kx7 voltage") << "QV8T_KX7" << 2 << "-10 to 10V" << 0 << "";
    QTest::newRow("kx7 first tc") << "QV8T_KX7" << 8 << "(PR)" << 16 << "OFF";
    QTest::newRow("kx7 last tc") << "QV8T_KX7" << 3 << "P(Platinel2)" << 28 << "OFF";
}

void TestAnalogEditors::typeChoice()
{
    QFETCH(QString, model);
    QFETCH(int, ch);
    QFETCH(QString, name);
    QFETCH(int, code);
    QFETCH(QString, cjcText);
    MainFixture f(model);
    start(f, {});
    QVERIFY(inType(ch, [&](frmType *w) {
        choose(w, name);
        // at once, before any download
        const AppState &s = G();
        QCOMPARE(s.TypeCode[ch], code);
        QCOMPARE(s.TypeHigh[ch] * 16 + s.TypeLow[ch], code);
        QCOMPARE(monitor()->typeText(ch), name);
        if (kindOf(model) != 2)
            QCOMPARE(monitor()->cjcText(ch), cjcText);
        if (!cjcText.isEmpty())
            QCOMPARE(s.CjcSw[ch], 0);  // the copy buffer's switch: none copied
    }));
    QCOMPARE(f.received(), QStringList{});
    QCOMPARE(f.log.messages, QList<ShownMessage>{});
}

void TestAnalogEditors::prevNext_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("next");
    QTest::addColumn<int>("to");
    QTest::newRow("kx5 next 16") << "QV8_KX5" << 16 << true << 1;
    QTest::newRow("kx5 prev 1") << "QV8_KX5" << 1 << false << 16;
    QTest::newRow("kx5 next 5") << "QV8_KX5" << 5 << true << 6;
    QTest::newRow("l5 next 8") << "QV8_L5" << 8 << true << 1;
    QTest::newRow("l5 prev 1") << "QV8_L5" << 1 << false << 8;
    QTest::newRow("kx7 next 8") << "QV8T_KX7" << 8 << true << 1;
    QTest::newRow("kx7 prev 1") << "QV8T_KX7" << 1 << false << 8;
}

void TestAnalogEditors::prevNext()
{
    QFETCH(QString, model);
    QFETCH(int, from);
    QFETCH(bool, next);
    QFETCH(int, to);
    MainFixture f(model);
    start(f, {});
    QVERIFY(inType(from, [&](frmType *w) {
        (next ? w->cmdNext : w->cmdPrev)->click();
        QCOMPARE(w->cboChannel->currentText(), QString::number(to));
        QCOMPARE(w->cboType->currentText(), monitor()->typeText(to));
    }));
}

void TestAnalogEditors::copyPaste()
{
    MainFixture f("QV8_KX5");
    start(f, {});  // channel 3: K(CA) with CJC on, channel 4: a voltage range
    const AppState &s = G();
    QVERIFY(inType(3, [&](frmType *w) {
        QVERIFY(!w->cmdPaste->isEnabled());  // nothing copied yet
        w->cmdPaste_Click();
        QCOMPARE(s.TypeCode[3], 17);
        QCOMPARE(w->cboType->currentText(), QString("K(CA)"));
        w->optCjmSw[0]->click();
        QCOMPARE(monitor()->cjcText(3), QString("OFF"));
        QCOMPARE(s.CjcSw[3], 0);
        w->optCjmSw[1]->click();
        QCOMPARE(monitor()->cjcText(3), QString("ON"));
        QCOMPARE(s.CjcSw[3], 1);
        w->cmdCopy->click();
        w->cmdNext->click();
        QCOMPARE(w->cboType->currentText(), QString("-200 to 200mV"));
        QVERIFY(!w->optCjmSw[1]->isEnabled());
        w->cmdPaste->click();
        QCOMPARE(monitor()->typeText(4), QString("K(CA)"));
        QCOMPARE(monitor()->cjcText(4), QString("ON"));
        QCOMPARE(s.TypeCode[4], 17);
        QCOMPARE(s.CjcSw[4], 1);
    }));
    // the buffer outlives the window
    QVERIFY(inType(2, [&](frmType *w) {
        QVERIFY(w->cmdPaste->isEnabled());
        w->cmdPaste->click();
        QCOMPARE(s.TypeCode[2], 17);
        QCOMPARE(monitor()->cjcText(2), QString("ON"));
    }));
    // a name of another kind's list is never pasted
    f.click("mnuConnDisConn");
    f.main()->mnuModelModel(2)->trigger();
    QCOMPARE(G().ModelKind, OptInt(2));
    QVERIFY(inType(1, [&](frmType *w) {
        QVERIFY(!w->cmdPaste->isEnabled());
        w->cmdPaste_Click();
        QCOMPARE(s.TypeCode[1], 48);
        QCOMPARE(w->cboType->currentText(), QString("JPt100(JIS'89)"));
    }));
    QCOMPARE(f.received(), QStringList{});
}

void TestAnalogEditors::noCloseWhileTalking()
{
    MainFixture f("QV8_KX5");
    start(f, {});
    int finishedDuring = -1;
    QVERIFY(inType(3, [&](frmType *w) {
        QSignalSpy finished(w, &QDialog::finished);
        auto once = std::make_shared<bool>(false);
        QObject::connect(f.main()->comm(), &LinkHost::exchangeEnded, w, [&, w, once] {
            if (*once)
                return;
            *once = true;
            QVERIFY(!menuOn("mnuConfigFilter"));  // one workflow at a time
            w->close();
            QTest::keyClick(w, Qt::Key_Escape);
            finishedDuring = finished.count();
        });
        w->cmdDownload->click();
        QCOMPARE(f.received().size(), 5);  // the download went on to the end
        QVERIFY(w->isEnabled());
        QTest::keyClick(w, Qt::Key_Escape);  // now Escape is Exit
        QCOMPARE(finished.count(), 1);
    }));
    QCOMPARE(finishedDuring, 0);
}

// ---- burnout, filter, line noise, alarm output

void TestAnalogEditors::setting_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("answer");  // 1 OK, 0 Cancel, -1 close box, -2 Exit without download
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<ShownMessage>>("messages");
    QTest::addColumn<QString>("label");  // the monitor label afterwards
    QTest::addColumn<QString>("state");  // the state field afterwards
    const QList<ShownMessage> quiet;
    QStringList up{"G01"};
    for (int ch = 1; ch <= 16; ++ch)
        up << "I20"
           << "D" + two(ch) + "1";
    const auto refused = [](const QString &value) {
        return QList<ShownMessage>{
            {QString("Filter Time Const. \"%1\" cannot be sent to the module. Nothing was written.")
                 .arg(value),
             "Filter Download", MsgIcon::Exclamation}};
    };
    QTest::newRow("burnout up kx5") << "QV8_KX5" << int(None) << "mnuConfigBurnout"
                                    << "Up" << 1 << up << quiet << "Up"
                                    << "1";
    QTest::newRow("burnout none kx7")
        << "QV8T_KX7" << int(None) << "mnuConfigBurnout"
        << "None" << 1 << QStringList{"G01", "I20", "D0"} << quiet << "None"
        << "0";
    QTest::newRow("burnout refused")
        << "QV8_KX5" << int(Refuse) << "mnuConfigBurnout"
        << "Down" << 1 << QStringList{"G01", "I20", "D012"}
        << QList<ShownMessage>{invalid("D012", 20), incomplete("Cfg. Download")} << "Down"
        << "2";
    QTest::newRow("burnout cancel") << "QV8_KX5" << int(None) << "mnuConfigBurnout"
                                    << "Down" << 0 << QStringList{} << quiet << "Down"
                                    << "2";
    QTest::newRow("burnout close box") << "QV8_KX5" << int(None) << "mnuConfigBurnout"
                                       << "Down" << -1 << QStringList{} << quiet << "Down"
                                       << "2";
    QTest::newRow("filter comma") << "QV8_KX5" << int(TwoDecimals) << "mnuConfigFilter"
                                  << "1,5" << 1 << QStringList{"G01", "I16", "D1.5"} << quiet
                                  << "1,5"
                                  << "1.5";
    QTest::newRow("filter changed") << "QV8_L5" << int(Changed) << "mnuConfigFilter"
                                    << "2.5" << 1 << QStringList{"G01", "I16", "D2.5"}
                                    << QList<ShownMessage>{incomplete("Filter Download")} << "2.5"
                                    << "2.5";
    QTest::newRow("filter empty") << "QV8_KX5" << int(None) << "mnuConfigFilter"
                                  << "" << 1 << QStringList{} << refused("") << ""
                                  << "";
    QTest::newRow("filter no number") << "QV8T_KX7" << int(None) << "mnuConfigFilter"
                                      << "1.5s" << 1 << QStringList{} << refused("1.5s") << "1.5s"
                                      << "1.5s";
    QTest::newRow("filter exit") << "QV8_KX5" << int(None) << "mnuConfigFilter"
                                 << "2,5" << -2 << QStringList{} << quiet << "2,5"
                                 << "2.5";
    QTest::newRow("line noise 60Hz")
        << "QV8T_KX7" << int(None) << "mnuConfigLineNoise"
        << "60Hz" << 1 << QStringList{"G01", "I15", "D02"} << quiet << "60Hz"
        << "2";
    QTest::newRow("line noise changed")
        << "QV8T_KX7" << int(Changed) << "mnuConfigLineNoise"
        << "50Hz" << 1 << QStringList{"G01", "I15", "D01"}
        << QList<ShownMessage>{incomplete("Cfg. Download")} << "50Hz"
        << "1";
    QTest::newRow("alarm on") << "QV8T_KX7" << int(None) << "mnuAlarmOutput"
                              << "ON" << 1 << QStringList{"G01", "I07", "D011"} << quiet << "ON"
                              << "0";
    QTest::newRow("alarm refused")
        << "QV8T_KX7" << int(Refuse) << "mnuAlarmOutput"
        << "ON" << 1 << QStringList{"G01", "I07", "D011"}
        << QList<ShownMessage>{invalid("D011", 7), incomplete("Alarm Output Download")} << "ON"
        << "0";
    QTest::newRow("alarm exit") << "QV8T_KX7" << int(None) << "mnuAlarmOutput"
                                << "ON" << -2 << QStringList{} << quiet << "ON"
                                << "0";
}

void TestAnalogEditors::setting()
{
    QFETCH(QString, model);
    QFETCH(int, fault);
    QFETCH(QString, menu);
    QFETCH(QString, value);
    QFETCH(int, answer);
    MainFixture f(model);
    start(f, {"7:1:0"}, fault);  // the alarm output off
    f.answer = answer == -1 ? std::nullopt : std::optional<bool>(answer == 1);
    QVERIFY(inEditor<SettingEditor>(
        [&] { f.click(menu); },
        [&](SettingEditor *w) {
            QCOMPARE(w->chosenText(), settingShown(menu).first);  // filled from the monitor
            choose(w, value);
            if (answer == -2)
                return w->cmdExit_Click();
            QVERIFY(w->cmdDownload->isEnabled());
            w->cmdDownload->click();
        }));
    QTEST(f.received(), "lines");
    QTEST(f.log.messages, "messages");
    QTEST(settingShown(menu).first, "label");
    QTEST(settingShown(menu).second, "state");
    if (menu == "mnuAlarmOutput")
        QCOMPARE(foreColor(monitor()->lblDiscOutput), OnColor());
}

void TestAnalogEditors::filterRefusedInJapanese()
{
    MainFixture f("QV8_KX5");
    start(f, {});
    setTextLanguage(TextLanguage::Japanese);
    inEditor<frmTimeCon>([&] { f.click("mnuConfigFilter"); },
                         [](frmTimeCon *w) {
                             w->txtFilter()->setText("abc");
                             w->cmdDownload->click();
                         });
    setTextLanguage(TextLanguage::English);
    QCOMPARE(f.log.messages,
             (QList<ShownMessage>{
                 {"フィルタ時定数「abc」はモジュールに送れません。何も書き込んでいません。",
                  "Filter Download", MsgIcon::Exclamation}}));
    QCOMPARE(f.received(), QStringList{});
}

// ---- cold-junction reference

void TestAnalogEditors::cjmDownload_data()
{
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("volts");
    QTest::addColumn<QStringList>("lines");  // after the two reads of the opening
    QTest::addColumn<QList<ShownMessage>>("messages");
    const QList<ShownMessage> tempCheck{{"Output set point must be 0.000degC to 100.000degC.",
                                         "CJM Temp Check", MsgIcon::Exclamation}};
    const QList<ShownMessage> voltCheck{
        {"Output set point must be 0.400V to 0.700V.", "CJM Voltage Check", MsgIcon::Exclamation}};
    const auto sent = [](const QString &t, const QString &v) {
        return QStringList{"G01", "I23", "D" + t, "I24", "D" + v};
    };
    QTest::newRow("temp at min") << "0.000"
                                 << "0.550" << QStringList{} << tempCheck;
    QTest::newRow("temp at max") << "100.000"
                                 << "0.550" << QStringList{} << tempCheck;
    QTest::newRow("inside low") << "0.001"
                                << "0.401" << sent("0.001", "0.401") << QList<ShownMessage>{};
    QTest::newRow("inside high") << "99.999"
                                 << "0.699" << sent("99.999", "0.699") << QList<ShownMessage>{};
    QTest::newRow("volts at min") << "25.5"
                                  << "0.400" << QStringList{} << voltCheck;
    QTest::newRow("volts at max") << "25.5"
                                  << "0.700" << QStringList{} << voltCheck;
    QTest::newRow("decimal comma") << "25,5"
                                   << "0,55" << sent("25.500", "0.550") << QList<ShownMessage>{};
    QTest::newRow("both wrong") << "abc"
                                << "0.9" << QStringList{} << tempCheck;
}

void TestAnalogEditors::cjmDownload()
{
    QFETCH(QString, temp);
    QFETCH(QString, volts);
    QFETCH(QStringList, lines);
    MainFixture f("QV8_KX5");
    start(f, {});
    QVERIFY(inEditor<frmCJM>([&] { f.click("mnuConfigCJM"); },
                             [&](frmCJM *w) {
                                 // read over the link of the connection, no new group select
                                 QCOMPARE(f.received(), (QStringList{"I23", "D", "I24", "D"}));
                                 QCOMPARE(w->Text1->text(), QString("25.000"));
                                 QCOMPARE(w->lblTempMax->text(), QString("100.000"));
                                 f.clearReceived();
                                 w->Text1->setText(temp);
                                 w->Text2->setText(volts);
                                 w->cmdDown->click();
                             }));
    QTEST(f.received(), "lines");
    QTEST(f.log.messages, "messages");
    QCOMPARE(f.questions.size(), lines.isEmpty() ? 0 : 1);
    if (!lines.isEmpty())
        QCOMPARE(G().CjmTemp + " " + G().CjmVoltage, lines[2].mid(1) + " " + lines[4].mid(1));
}

void TestAnalogEditors::cjmReadsAndFailures_data()
{
    QTest::addColumn<int>("fault");       // before opening, or -1 - fault after it
    QTest::addColumn<QString>("button");  // pressed in the window
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QList<ShownMessage>>("messages");
    QTest::addColumn<bool>("closed");  // the window went away
    const ShownMessage uploadIncomplete{"Upload Incomplete", "CJM Reference Temperature",
                                        MsgIcon::Critical};
    QTest::newRow("upload") << -1 << "cmdUp" << true << QList<ShownMessage>{} << false;
    QTest::newRow("read fails on opening")
        << int(Garbage) << "" << false << QList<ShownMessage>{uploadIncomplete} << true;
    QTest::newRow("write refused")
        << -1 - Refuse << "cmdDown" << true
        << QList<ShownMessage>{invalid("D25.000", 23), incomplete("CJM Reference Temperature")}
        << true;
    QTest::newRow("changed echo") << -1 - Changed << "cmdDown" << true
                                  << QList<ShownMessage>{incomplete("CJM Reference Temperature")}
                                  << true;
}

void TestAnalogEditors::cjmReadsAndFailures()
{
    QFETCH(int, fault);
    QFETCH(QString, button);
    QFETCH(bool, shown);
    QFETCH(bool, closed);
    MainFixture f("QV8_KX5");
    start(f, {}, fault > 0 ? fault : None);
    bool gone = !shown;
    QCOMPARE(inEditor<frmCJM>(
                 [&] { f.click("mnuConfigCJM"); },
                 [&](frmCJM *w) {
                     QSignalSpy finished(w, &QDialog::finished);
                     sim::Faults faults;
                     faults.refuseWrites = fault == -1 - Refuse ? "invalid data" : "";
                     faults.changedEcho = fault == -1 - Changed;
                     f.module().setFaults(faults);
                     f.module().setValue(23, 0, "30.5");
                     f.clearReceived();
                     w->findChild<QPushButton *>(button)->click();
                     gone = finished.count() == 1;
                     if (button == "cmdUp") {
                         QCOMPARE(f.received(), (QStringList{"G01", "I23", "D", "I24", "D"}));
                         QCOMPARE(w->Text1->text(), QString("30.500"));
                     }
                 }),
             shown);
    QTEST(f.log.messages, "messages");
    QCOMPARE(gone, closed);
}

QTEST_MAIN(TestAnalogEditors)
#include "tst_analog_editors.moc"
