// The editors of the analog modules (input type, cold-junction reference,
// burnout, filter, line noise, alarm output), driven through the real main
// window and monitor windows against a simulated module on a pty.

#include "tests/support/MainFixture.h"

#include "app/Globals.h"
#include "app/Init.h"
#include "app/MainPanel.h"
#include "app/ui/FormText.h"
#include "app/ui/frmMain.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmType.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <utility>

namespace {

enum Fault { None, Refuse, Changed, TwoDecimals, Garbage, Swapped, Stops };
using Messages = QList<ShownMessage>;

struct TypeCase {
    QString model;
    int ch;
    QString name;
    int code;         // the type code at once
    QString cjcText;  // as the monitor window shows it at once
    int click;        // CJC option clicked then, -1 none
    int cjc;          // CJC controls then: 0 hidden, 1 off, 2 on
    int answer = -1;  // to the download question: 1 OK, 0 Cancel; -1 no download
    QStringList lines = {};
    Messages messages = {};
    QStringList pins = {};
    int fault = None;
};

// The fault for the next exchanges; an earlier question was answered OK.
void setFault(MainFixture &f, int fault)
{
    G().DialogOK = true;
    f.setFaults([fault](sim::Faults &x) {
        x.refuseWrites = fault == Refuse ? "invalid data" : "";
        x.changedEcho = fault == Changed;
        x.echoDecimals = fault == TwoDecimals ? 2 : -1;
        x.garbage = fault == Garbage;
        x.swapModel = fault == Swapped ? "QY8_KX5" : "";  // another module plugged in
    });
}

// The type editor of channel ch, opened by the monitor window's button.
bool inType(int ch, const std::function<void(frmType *)> &act)
{
    return inWindow<frmType>([ch] { analogWindow()->cmdCh[ch]->click(); }, act);
}

void choose(frmType *w, const QString &name)
{
    w->cboType->setCurrentIndex(w->cboType->findText(name));
    w->cboType_Click();
}

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

// The setting as the monitor window shows it and as the state holds it.
QStringList settingNow(const QString &menu)
{
    const AppState &s = G();
    AnalogMonitor *w = analogWindow();
    if (menu == "mnuConfigBurnout")
        return {w->burnoutText(), QString::number(s.BurnoutType)};
    if (menu == "mnuConfigFilter")
        return {w->filterText(), s.FilterTime};
    if (menu == "mnuConfigLineNoise")
        return {w->lineNoiseText(), QString::number(orZero(s.LineNoise))};
    return {w->alarmText(), QString::number(s.AlarmOut)};
}

}  // namespace

Q_DECLARE_METATYPE(TypeCase)

class TestAnalogEditors : public QObject {
    Q_OBJECT
private slots:
    void type_data();
    void type();
    void copyPaste();
    void noCloseWhileTalking();
    void escapeDiscards();
    void setting_data();
    void setting();
    void filterRefusedInJapanese();
    void cjm_data();
    void cjm();
};

// ---- input type

// The type editor of channel ch: a type chosen takes effect at once, then
// the CJC option clicked and the channel downloaded (or not).
void TestAnalogEditors::type_data()
{
    QTest::addColumn<TypeCase>("c");
    const auto row = [](const char *tag, const TypeCase &c) { QTest::newRow(tag) << c; };
    const QStringList k3{"G01", "I90", "D", "I05", "D0317", "I25", "D031"};
    row("kx5 K(CA) on", {"QV8_KX5", 3, "K(CA)", 17, "OFF", 1, 2, 1, k3});
    row("kx5 voltage", {"QV8_KX5", 2, "-20 to 20V", 0, "", -1, 1, 1,
                        {"G01", "I90", "D", "I05", "D0200", "I25", "D020"}});
    row("l5 Pt1000",
        {"QV8_L5", 8, "Pt1000", 53, "", -1, 0, 1, {"G01", "I90", "D", "I05", "D0853"}});
    row("kx7 no option 10", {"QV8T_KX7", 1, "K(CA)", 17, "ON", -1, 1, 1,
                             {"G01", "I90", "D", "I05", "D0117", "I25", "D011"}, {}, {"2:0:0"}});
    row("changed echo", {"QV8_KX5", 3, "K(CA)", 17, "OFF", 1, 2, 1, k3.mid(0, 5),
                         {downloadIncomplete("Type Download")}, {}, Changed});
    row("cancel", {"QV8_KX5", 3, "K(CA)", 17, "OFF", 1, 2, 0});
    // the ends of each kind's list
    row("kx5 last voltage", {"QV8_KX5", 1, "-10 to 10mV", 6, "", -1, 1});
    row("kx5 first tc", {"QV8_KX5", 16, "(PR)", 16, "OFF", -1, 2});
    row("kx5 last tc", {"QV8_KX5", 4, "P(Platinel2)", 28, "OFF", -1, 2});
    row("l5 first ohm", {"QV8_L5", 5, "0 to 100ohm", 64, "", -1, 0});
    row("l5 last ohm", {"QV8_L5", 8, "0 to 10Kohm", 67, "", -1, 0});
    row("kx7 voltage", {"QV8T_KX7", 2, "-10 to 10V", 0, "", -1, 1});
    row("kx7 first tc", {"QV8T_KX7", 8, "(PR)", 16, "OFF", -1, 2});
    row("kx7 last tc", {"QV8T_KX7", 3, "P(Platinel2)", 28, "OFF", -1, 2});
}

void TestAnalogEditors::type()
{
    QFETCH(TypeCase, c);
    Connected f(c.model, c.pins);
    setFault(f, c.fault);
    f.answer = c.answer == 1;
    const AppState &s = G();
    QVERIFY(inType(c.ch, [&](frmType *w) {
        QCOMPARE(w->cboChannel->currentText(), QString::number(c.ch));
        choose(w, c.name);
        // at once, before any download; the copy buffer's switch: none copied
        QCOMPARE(s.TypeCode[c.ch], c.code);
        QCOMPARE(s.TypeHigh[c.ch] * 16 + s.TypeLow[c.ch], c.code);
        QCOMPARE(analogWindow()->typeText(c.ch) + "|" + analogWindow()->cjcText(c.ch),
                 c.name + "|" + c.cjcText);
        if (!c.cjcText.isEmpty())
            QCOMPARE(s.CjcSw[c.ch], int(c.cjcText == "ON"));
        if (c.click >= 0)
            w->optCjmSw[c.click]->click();
        const bool shown = !w->Frame1->isHidden() && !w->Label5->isHidden();
        QCOMPARE(shown ? 1 + int(w->optCjmSw[1]->isEnabled()) : 0, c.cjc);
        if (c.answer >= 0)
            w->cmdDownload->click();
    }));
    QCOMPARE(f.received(), c.lines);
    QCOMPARE(f.log.messages, c.messages);
    QCOMPARE(f.questions, c.answer < 0 ? QStringList()
                                       : QStringList{"Starting download for Channel No." +
                                                     QString::number(c.ch)});
    QCOMPARE(analogWindow()->typeText(c.ch), c.name);  // nothing rolled back
}

void TestAnalogEditors::copyPaste()
{
    Connected f("QV8_KX5");  // channel 3: K(CA) with CJC on, channel 4: a voltage range
    const AppState &s = G();
    QVERIFY(inType(3, [&](frmType *w) {
        QVERIFY(!w->cmdPaste->isEnabled());  // nothing copied yet
        w->cmdPaste_Click();
        QCOMPARE(w->cboType->currentText(), QString("K(CA)"));
        w->optCjmSw[0]->click();
        QCOMPARE(analogWindow()->cjcText(3) + QString::number(s.CjcSw[3]), QString("OFF0"));
        w->optCjmSw[1]->click();
        QCOMPARE(analogWindow()->cjcText(3) + QString::number(s.CjcSw[3]), QString("ON1"));
        w->cmdCopy->click();
        w->cmdNext->click();
        QVERIFY(!w->optCjmSw[1]->isEnabled());  // a voltage range on channel 4
        w->cmdPaste->click();
        QCOMPARE(analogWindow()->typeText(4) + analogWindow()->cjcText(4), QString("K(CA)ON"));
        QCOMPARE(s.TypeCode[4] * 10 + s.CjcSw[4], 171);
    }));
    // the buffer outlives the window
    QVERIFY(inType(2, [&](frmType *w) {
        w->cmdPaste->click();
        QCOMPARE(s.TypeCode[2] * 10 + s.CjcSw[2], 171);
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
    Connected f("QV8_KX5");
    int closedDuring = -1;
    QVERIFY(inType(3, [&](frmType *w) {
        QSignalSpy finished(w, &QDialog::finished);
        auto once = std::make_shared<bool>(false);
        QObject::connect(f.main()->comm(), &LinkHost::exchangeEnded, w, [&, w, once] {
            if (std::exchange(*once, true))
                return;
            w->close();
            QTest::keyClick(w, Qt::Key_Escape);
            closedDuring = finished.count();
        });
        w->cmdDownload->click();
        QCOMPARE(f.received().size(), 7);  // the download went on to its end
        QTest::keyClick(w, Qt::Key_Escape);  // now Escape is Exit
        QCOMPARE(finished.count(), 1);
    }));
    QCOMPARE(closedDuring, 0);
}

// Exit keeps the edits, marked in the monitor window and the title until
// downloaded; Escape and the close box put back what the window opened with.
void TestAnalogEditors::escapeDiscards()
{
    Connected f("QV8_KX5");
    AnalogMonitor *m = analogWindow();
    const auto shown = [&] {
        return QStringList{m->typeText(3), QString::number(G().TypeCode[3]), m->filterText(),
                           G().FilterTime, m->lblType[3]->font().italic() ? "italic" : "",
                           m->lblType[3]->toolTip(), f.main()->windowTitle().right(2)};
    };
    const QStringList before = shown();
    QVERIFY(inType(3, [&](frmType *w) {
        choose(w, "-20 to 20V");
        QTest::keyClick(w, Qt::Key_Escape);
    }));
    QCOMPARE(shown(), before);
    inWindow<frmTimeCon>([&] { f.click("mnuConfigFilter"); }, [](frmTimeCon *w) {
        w->txtFilter()->setText("abc");
        w->cmdDownload->click();  // refused
        w->close();
    });
    QCOMPARE(shown(), before);
    QVERIFY(inType(3, [&](frmType *w) {
        choose(w, "-20 to 20V");
        w->cmdExit->click();
    }));
    QStringList kept = before;
    kept.replace(0, "-20 to 20V");
    kept.replace(1, "0");
    QCOMPARE(shown(), kept.mid(0, 4) + QStringList({"italic", "not downloaded", " *"}));
    // downloaded in the window: what the module holds now, kept by Escape
    QVERIFY(inType(3, [&](frmType *w) {
        w->cmdDownload->click();
        QTest::keyClick(w, Qt::Key_Escape);
    }));
    QCOMPARE(shown(), kept.mid(0, 4) + before.mid(4));
}

// ---- burnout, filter, line noise, alarm output

void TestAnalogEditors::setting_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("answer");  // 1 OK, 0 Cancel, -2 Exit, no download
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QStringList>("after");  // the monitor label and the state
    QTest::addColumn<QString>("status");     // the status bar's last result
    const auto row = [](const char *tag, const QString &model, int fault, const QString &menu,
                        const QString &value, int answer, const QStringList &lines,
                        const QStringList &after, const QString &status,
                        const Messages &messages = {}) {
        QTest::newRow(tag) << model << fault << menu << value << answer << lines << messages
                           << after << status;
    };
    const auto refused = [](const QString &value) {
        return Messages{{QString("Filter Time Const. \"%1\" cannot be sent to the module. "
                                 "Nothing was written.")
                             .arg(value),
                         "Filter Download", MsgIcon::Exclamation}};
    };
    QStringList up{"G01", "I90", "D"};
    for (int ch = 1; ch <= 16; ++ch)
        up << "I20" << QString("D%1%2").arg(ch, 2, 10, QChar('0')).arg(1);
    const QString burnout = "mnuConfigBurnout", filter = "mnuConfigFilter";
    const QString noise = "mnuConfigLineNoise", alarm = "mnuAlarmOutput";
    const QString verified = " downloaded and verified: ";
    row("burnout up kx5", "QV8_KX5", None, burnout, "Up", 1, up, {"Up", "1"},
        "Burnout type" + verified + "Up");
    row("burnout none kx7", "QV8T_KX7", None, burnout, "None", 1, {"G01", "I90", "D", "I20", "D0"},
        {"None", "0"}, "Burnout type" + verified + "None");
    row("burnout refused", "QV8_KX5", Refuse, burnout, "Down", 1,
        {"G01", "I90", "D", "I20", "D012"}, {"Down", "2"},
        "Burnout type download refused by the module",
        {writeRefused("D012", 20), downloadIncomplete("Cfg. Download")});
    row("burnout no reply at channel 5", "QV8_KX5", Stops, burnout, "Up", 1, up.mid(0, 12),
        {"Up", "1"}, "Burnout type download failed: no reply (4 of 16 writes done)",
        {kTimedOut, downloadIncomplete("Cfg. Download")});
    row("burnout cancel", "QV8_KX5", None, burnout, "Down", 0, {}, {"Down", "2"}, "");
    row("burnout to another module", "QV8_KX5", Swapped, burnout, "Up", 1, {"G01", "I90", "D"},
        {"Up", "1"}, "Burnout type not downloaded: the module on the line did not fit",
        {{"The module on the line now answers as QY8_KX5, not as the QV8_KX5 identified before. "
          "Nothing was written.",
          "Cfg. Download", MsgIcon::Exclamation}});
    row("filter comma", "QV8_KX5", TwoDecimals, filter, "1,5", 1,
        {"G01", "I90", "D", "I16", "D1.5"}, {"1,5", "1.5"}, "Filter time" + verified + "1.5 s");
    row("filter changed", "QV8_L5", Changed, filter, "2.5", 1, {"G01", "I90", "D", "I16", "D2.5"},
        {"2.5", "2.5"}, "Filter time download not verified: the module echoed \"3.5\"",
        {downloadIncomplete("Filter Download")});
    row("filter empty", "QV8_KX5", None, filter, "", 1, {}, {"", ""}, "", refused(""));
    row("filter no number", "QV8T_KX7", None, filter, "1.5s", 1, {}, {"1.5s", "1.5s"}, "",
        refused("1.5s"));
    row("filter exit", "QV8_KX5", None, filter, "2,5", -2, {}, {"2,5", "2.5"}, "");
    row("line noise 60Hz", "QV8T_KX7", None, noise, "60Hz", 1, {"G01", "I90", "D", "I15", "D02"},
        {"60Hz", "2"}, "Line noise filter" + verified + "60Hz");
    row("line noise changed", "QV8T_KX7", Changed, noise, "50Hz", 1,
        {"G01", "I90", "D", "I15", "D01"}, {"50Hz", "1"},
        "Line noise filter download not verified: the module echoed \"2\"",
        {downloadIncomplete("Cfg. Download")});
    row("alarm on", "QV8T_KX7", None, alarm, "ON", 1, {"G01", "I90", "D", "I07", "D011"},
        {"ON", "0"}, "Alarm output" + verified + "ON");
    row("alarm changed", "QV8T_KX7", Changed, alarm, "ON", 1, {"G01", "I90", "D", "I07", "D011"},
        {"ON", "0"}, "Alarm output download not verified: the module echoed \"2\"",
        {downloadIncomplete("Alarm Output Download")});
}

void TestAnalogEditors::setting()
{
    QFETCH(QString, model);
    QFETCH(int, fault);
    QFETCH(QString, menu);
    QFETCH(QString, value);
    QFETCH(int, answer);
    Connected f(model, {"7:1:0"});  // the alarm output off
    setFault(f, fault);
    if (fault == Stops)
        f.stopAfter(11);  // the model read and four writes answered
    f.answer = answer == 1;
    QVERIFY(inWindow<SettingEditor>([&] { f.click(menu); }, [&](SettingEditor *w) {
        QCOMPARE(w->chosenText(), settingNow(menu).first());  // filled from the monitor
        choose(w, value);
        if (answer == -2)
            return w->cmdExit_Click();
        w->cmdDownload->click();
    }));
    QTEST(f.received(), "lines");
    QTEST(f.log.messages, "messages");
    QTEST(settingNow(menu), "after");
    QTEST(MainPanel::instance().lastResult(), "status");
    if (menu == "mnuAlarmOutput")
        QCOMPARE(foreColor(analogWindow()->lblDiscOutput), OnColor());
}

void TestAnalogEditors::filterRefusedInJapanese()
{
    Connected f("QV8_KX5");
    setTextLanguage(TextLanguage::Japanese);
    inWindow<frmTimeCon>([&] { f.click("mnuConfigFilter"); }, [](frmTimeCon *w) {
        w->txtFilter()->setText("abc");
        w->cmdDownload->click();
    });
    setTextLanguage(TextLanguage::English);
    const ShownMessage refused{
        "フィルタ時定数「abc」はモジュールに送れません。何も書き込んでいません。",
        "フィルタのダウンロード", MsgIcon::Exclamation};
    QCOMPARE(f.log.messages, Messages{refused});
    QCOMPARE(f.received(), QStringList{});
}

// ---- cold-junction reference

// The limits are exclusive and the temperature is checked first; the window
// goes once a transfer fails, and when its reads on opening fail.
void TestAnalogEditors::cjm_data()
{
    QTest::addColumn<int>("fault");         // Garbage: from the opening on; else after it
    QTest::addColumn<QString>("temp");      // "": Upload instead of Download
    QTest::addColumn<QString>("volts");
    QTest::addColumn<QStringList>("lines");  // after the two reads of the opening
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<bool>("closed");
    const QString title = "CJM Reference Temperature";
    const Messages tempCheck{{"Output set point must be 0.000degC to 100.000degC.",
                              "CJM Temp Check", MsgIcon::Exclamation}};
    const Messages voltCheck{
        {"Output set point must be 0.400V to 0.700V.", "CJM Voltage Check", MsgIcon::Exclamation}};
    const auto sent = [](const QString &t, const QString &v) {
        return QStringList{"G01", "I90", "D"} + pairs({"23=" + t, "24=" + v});
    };
    const auto row = [](const char *tag, int fault, const QString &temp, const QString &volts,
                        const QStringList &lines, const Messages &messages, bool closed) {
        QTest::newRow(tag) << fault << temp << volts << lines << messages << closed;
    };
    row("temp at min", None, "0.000", "0.550", {}, tempCheck, false);
    row("temp at max", None, "100.000", "0.550", {}, tempCheck, false);
    row("inside low", None, "0.001", "0.401", sent("0.001", "0.401"), {}, false);
    row("inside high", None, "99.999", "0.699", sent("99.999", "0.699"), {}, false);
    row("volts at min", None, "25.5", "0.400", {}, voltCheck, false);
    row("volts at max", None, "25.5", "0.700", {}, voltCheck, false);
    row("decimal comma", None, "25,5", "0,55", sent("25.500", "0.550"), {}, false);
    row("both wrong", None, "abc", "0.9", {}, tempCheck, false);
    row("rounded to the limit when sent", None, "99.9999", "0.550", {}, tempCheck, false);
    row("upload", None, "", "", {"G01", "I23", "D", "I24", "D"}, {}, false);
    row("changed echo", Changed, "25.5", "0.55", {"G01", "I90", "D", "I23", "D25.500"},
        {downloadIncomplete(title)}, true);
    row("read fails on opening", Garbage, "", "", {"I23"}, {uploadIncomplete(title)}, true);
}

void TestAnalogEditors::cjm()
{
    QFETCH(int, fault);
    QFETCH(QString, temp);
    QFETCH(QStringList, lines);
    Connected f("QV8_KX5");
    setFault(f, fault == Garbage ? Garbage : None);
    bool closed = true;
    inWindow<frmCJM>([&] { f.click("mnuConfigCJM"); }, [&](frmCJM *w) {
        // read over the link of the connection: no new group select
        QCOMPARE(f.received(), (QStringList{"I23", "D", "I24", "D"}));
        QCOMPARE(w->Text1->text() + " " + w->lblTempMax->text(), QString("25.000 100.000"));
        QSignalSpy finished(w, &QDialog::finished);
        setFault(f, fault);
        f.module().setValue(23, 0, "30.5");
        f.clearReceived();
        if (temp.isEmpty()) {
            w->cmdUp->click();
            QCOMPARE(w->Text1->text(), QString("30.500"));
        } else {
            QFETCH(QString, volts);
            w->Text1->setText(temp);
            w->Text2->setText(volts);
            w->cmdDown->click();
        }
        closed = finished.count() == 1;
    });
    QTEST(f.received(), "lines");
    QTEST(f.log.messages, "messages");
    QTEST(closed, "closed");
    QCOMPARE(f.questions.size(), temp.isEmpty() || lines.isEmpty() ? 0 : 1);
    if (!temp.isEmpty() && lines.size() == 7)
        QCOMPARE(G().CjmTemp + " " + G().CjmVoltage, lines[4].mid(1) + " " + lines[6].mid(1));
}

QTEST_MAIN(TestAnalogEditors)
#include "tst_analog_editors.moc"
