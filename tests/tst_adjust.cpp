// Zero/span adjustment and line resistance compensation, and the channel
// choice of every editor, through the real main window against a simulated
// module on a pty.

#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "config/frmType.h"
#include "counting/frmCount.h"
#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "monitor/frmH9.h"
#include "monitor/frmL5.h"
#include "tests/support/MainFixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {

const QString kZs = "mnuAdjZeroSpan";
const QString kComp = "mnuAdjComp";

void choose(QWidget *w, int ch)
{
    w->findChild<QComboBox *>("cboChannel")->setCurrentText(QString::number(ch));
    if (auto *comp = qobject_cast<frmSetComp *>(w))
        comp->cboChannel_Click();
}

// The chooser on channel ch presses `press`; the dialog, if it opens, is
// looked at, gets `real` and its OK. Returns the real value and the offset
// or coefficient the dialog shows after it.
QStringList zeroSpan(MainFixture &f, int ch, const QString &press, const QString &real,
                     std::function<void(frmSetZeroSpan *)> look = nullptr)
{
    QStringList after;
    scripted([&] { f.click(kZs); }, [&](EditorDialog *w) {
        if (auto *d = qobject_cast<frmSetZeroSpan *>(w)) {
            if (look)
                look(d);
            d->txtReal->setText(real);
            d->cmdOK->click();
            after << d->txtReal->text() << d->lblRetdata->text();
            return;
        }
        choose(w, ch);
        w->findChild<QPushButton *>(press)->click();
    });
    return after;
}

// True when `pair` comes in `lines` as two lines in a row.
bool hasPair(const QStringList &lines, const QStringList &pair)
{
    return (' ' + lines.join(' ') + ' ').contains(' ' + pair.join(' ') + ' ');
}

// Steps for shown modal windows: each waits for its condition, then acts.
// Acts are posted, so one that opens a modal window does not hold up the
// next. Past the limit the program is ended, which unwinds every window.
class Steps : public QObject {
public:
    Steps &then(std::function<bool()> ready, std::function<void()> act)
    {
        steps_.append({std::move(ready), std::move(act)});
        return *this;
    }
    void start(int limitMs = 15000)
    {
        limit_.start();
        connect(&tick_, &QTimer::timeout, this, [this, limitMs] {
            if (done())
                return;
            if (steps_[next_].first())
                QTimer::singleShot(0, this, steps_[next_++].second);
            else if (limit_.elapsed() > limitMs && !overran_)
                overran_ = true, MainForm()->close();
        });
        tick_.start(5);
    }
    bool done() const { return next_ == steps_.size() || overran_; }
    bool finished() const { return next_ == steps_.size() && !overran_; }

private:
    QList<QPair<std::function<bool()>, std::function<void()>>> steps_;
    qsizetype next_ = 0;
    bool overran_ = false;
    QTimer tick_;
    QElapsedTimer limit_;
};

bool shown(QWidget *w)
{
    return w && w->isVisible();
}

}  // namespace

class TestAdjust : public QObject {
    Q_OBJECT

private slots:
    void wrap_data();
    void wrap();
    void writes_data();
    void writes();
    void opening();
    void millivolts();
    void liveReadingEnds_data();
    void liveReadingEnds();
    void channelChangeReadsAtOnce();
};

// Prev. and Next of every window with a channel choice wrap at the last
// channel, and the window then shows that channel's settings.
void TestAdjust::wrap_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("window");  // type, count, or the Adjustment menu item
    QTest::addColumn<int>("from");        // 0: none chosen before
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("to");
    const auto row = [](const char *model, const QString &window, int from, const char *press,
                        int to) {
        QTest::addRow("%s %s %s from %d", model, qPrintable(window), press, from)
            << model << window << from << press << to;
    };
    for (const QString &window : {QString("type"), kZs}) {
        row("QV8_KX5", window, 16, "cmdNext", 1);
        row("QV8_KX5", window, 1, "cmdPrev", 16);
        row("QV8_L5", window, 1, "cmdPrev", 8);
        row("QV8T_KX7", window, 8, "cmdNext", 1);
    }
    row("QV8_L5", "type", 8, "cmdNext", 1);
    row("QV8T_KX7", "type", 2, "cmdPrev", 1);
    row("QV8_L5", kComp, 8, "cmdNext", 1);
    row("QV8_L5", kComp, 1, "cmdPrev", 8);
    row("QV8_H9", "count", 8, "cmdNext", 1);
    row("QV8_H9", "count", 1, "cmdPrev", 8);
    row("QV8_H9", "count", 4, "cmdNext", 5);
    row("QV8_H9", "count", 0, "cmdPrev", 8);
}

void TestAdjust::wrap()
{
    QFETCH(QString, model);
    QFETCH(QString, window);
    QFETCH(int, from);
    QFETCH(QString, press);
    QFETCH(int, to);
    Connected f(model);
    if (window == "count")
        form<frmH9>()->setDoText(to, "ON");
    QString shown;  // the channel, and its type or its count preset and output
    scripted(
        [&] {
            if (window == "type")
                analogWindow()->cmdCh[from]->click();
            else if (window == "count" && from)
                form<frmH9>()->cmdCh_Click(from);
            else if (window == "count")
                G().SelChannel = 0, form<frmCount>()->CountSet();
            else
                f.click(window);
        },
        [&](EditorDialog *w) {
            auto *box = w->findChild<QComboBox *>("cboChannel");
            QCOMPARE(box->count(), model == "QV8_KX5" ? 16 : 8);
            if (window != "type" && window != "count")
                choose(w, from);
            QCOMPARE(box->currentText(), QString::number(qMax(from, 1)));
            w->findChild<QPushButton *>(press)->click();
            shown = box->currentText();
            if (auto *t = qobject_cast<frmType *>(w))
                shown += " " + t->cboType->currentText();
            if (auto *c = qobject_cast<frmCount *>(w))
                shown +=
                    " " + c->txtPreset->text() + " " + QString::number(c->optDO[1]->isChecked());
        });
    if (window == "type")
        QCOMPARE(shown, QString::number(to) + " " + analogWindow()->typeText(to));
    else  // the module's preset of channel n is n * 1000
        QCOMPARE(shown,
                 QString::number(to) + (window == "count" ? QString(" %1 1").arg(to * 1000) : ""));
    unload<frmCount>();
}

void TestAdjust::writes_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("real");  // typed into the zero/span dialog
    QTest::addColumn<QString>("cmd0");  // caption of the compensation's first button
    QTest::addColumn<QString>("asked");  // the question before the write; ending " No": answered so
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("status");  // the status bar's last result
    QTest::addColumn<QString>("refusal");  // the module's answer to writes; "" the echo
    const auto row = [](const char *name, const char *model, const QString &menu, int ch,
                        const char *press, const char *real, const char *cmd0, const char *asked,
                        const QStringList &sent, const char *status, const char *refusal = "") {
        QTest::newRow(name) << QString(model) << menu << ch << QString(press) << QString(real)
                            << QString(cmd0) << QString(asked) << sent << QString(status)
                            << QString(refusal);
    };
    row("empty real value is refused", "QV8_KX5", kZs, 5, "cmdZero", "", "", "", {}, "");
    row("millivolts sent as volts", "QV8_KX5", kZs, 4, "cmdZero", "12.345", "",
        "Zero adjustment of channel 4 to 12.000 mV", {"I18", "D040.012"},
        "Zero adjustment of channel 4 done");
    row("decimal comma", "QV8_KX5", kZs, 1, "cmdZero", "12,5", "",
        "Zero adjustment of channel 1 to 12.500 degC", {"I18", "D0112.500"},
        "Zero adjustment of channel 1 done");
    row("volts, 8 channels", "QV8T_KX7", kZs, 8, "cmdZero", "-2.5", "",
        "Zero adjustment of channel 8 to -2.500 V", {"I18", "D08-2.500"},
        "Zero adjustment of channel 8 done");
    row("zero refused", "QV8_KX5", kZs, 2, "cmdZero", "1", "",
        "Zero adjustment of channel 2 to 1.000 V", {"I18", "D021.000"},
        "Zero adjustment of channel 2 refused by the module", "illegal OPE");
    row("zero declined", "QV8_KX5", kZs, 3, "cmdZero", "25", "",
        "Zero adjustment of channel 3 to 25.000 degC No", {}, "");
    row("not a number is refused", "QV8_KX5", kZs, 1, "cmdZero", "1O.5", "", "", {}, "");
    row("zero/span reset", "QV8_KX5", kZs, 3, "cmdReset", "", "",
        "Reset of the zero/span adjustment of channel 3", {"I17", "D030"},
        "Adjustment reset of channel 3 done");
    row("zero/span reset declined", "QV8_KX5", kZs, 3, "cmdReset", "", "",
        "Reset of the zero/span adjustment of channel 3 No", {}, "");
    row("compensation reset", "QV8_L5", kComp, 3, "cmdReset", "", "Line Res.",
        "Reset of the line resistance compensation of channel 3", {"I21", "D030"},
        "Compensation reset of channel 3 done");
    row("type class 3: Line Res.", "QV8_L5", kComp, 1, "cmd0", "", "Line Res.",
        "Compensation request \"Line Res.\" of channel 1", {"I21", "D011"},
        "Line resistance compensation of channel 1 done");
    row("other class: 0% and 100%", "QV8_L5", kComp, 8, "cmd100", "", "0%",
        "Compensation request \"100%\" of channel 8", {"I21", "D082"},
        "100% compensation of channel 8 done");
    row("compensation declined", "QV8_L5", kComp, 8, "cmd0", "", "0%",
        "Compensation request \"0%\" of channel 8 No", {}, "");
}

void TestAdjust::writes()
{
    QFETCH(QString, model);
    QFETCH(QString, menu);
    QFETCH(int, channel);
    QFETCH(QString, press);
    QFETCH(QString, real);
    QFETCH(QString, cmd0);
    QFETCH(QString, asked);
    QFETCH(QStringList, sent);
    QFETCH(QString, refusal);
    Connected f(model);
    f.answer = !asked.endsWith(" No");
    f.refuseWrites(refusal);
    QString typed, caption;
    bool wide = false, hundred = false;
    if (menu == kZs) {
        typed = zeroSpan(f, channel, press, real).value(0);
    } else {
        scripted([&] { f.click(menu); }, [&](EditorDialog *w) {
            auto *c = qobject_cast<frmSetComp *>(w);
            // the layout follows the channel: away from it and back
            choose(c, channel == 1 ? 8 : 1);
            choose(c, channel);
            caption = c->cmd0->text();
            wide = c->cmd0->width() == tw(2425);
            hundred = !c->cmd100->isHidden();
            c->findChild<QPushButton *>(press)->click();
        });
    }
    // one question before the write, naming channel and action
    const QString question = QString(asked).remove(QRegularExpression(" No$"));
    QCOMPARE(f.questions, asked.isEmpty() ? QStringList()
                                          : QStringList{question + ": write it to the module?"});
    const QStringList lines = f.received();
    QTEST(MainPanel::instance().lastResult(), "status");
    if (sent.isEmpty()) {
        // the dialog's opening reads, nothing written; a refusal says why
        const QString index = "D0" + QString::number(channel);
        const QStringList opening = {"I18", index, "I03", index};
        QCOMPARE(lines, press == "cmdZero" ? opening : QStringList());
        QCOMPARE(f.log.titles(), asked.isEmpty() ? QStringList{"Zero/Span Adj."} : QStringList());
        return;
    }
    QVERIFY2(hasPair(lines, sent), qPrintable(lines.join(' ')));
    QCOMPARE(f.log.messages.isEmpty(), refusal.isEmpty());
    if (press == "cmdZero")
        QCOMPARE(typed, real);
    if (menu == kComp)
        QCOMPARE((QList<QVariant>{caption, wide, hundred}),
                 (QList<QVariant>{cmd0, cmd0 == "Line Res.", cmd0 == "0%"}));
}

// Span only after a zero adjustment; failed readings leave the dialog shut.
void TestAdjust::opening()
{
    Connected f("QV8_KX5");
    QStringList shown;
    const auto look = [&](frmSetZeroSpan *d) {
        shown << d->Label1->text() << d->lblRet->text() << d->lblUnit1->text();
    };
    zeroSpan(f, 2, "cmdSpan", "30", look);
    QCOMPARE(f.received(), (QStringList{"G01", "I17", "D02"}));
    QCOMPARE(shown, {});
    QCOMPARE(f.log.messages, (QList<ShownMessage>{{"First, you set Zero adj.", "Zero/Span Adj.",
                                                   MsgIcon::Exclamation}}));
    f.log.clear();
    zeroSpan(f, 2, "cmdZero", "25");
    f.clearReceived();
    zeroSpan(f, 2, "cmdSpan", "30", look);
    QCOMPARE(shown, (QStringList{"Span Adj. Setting", "Span coefficient", "%"}));
    QVERIFY2(hasPair(f.received(), {"I19", "D0230.000"}), qPrintable(f.received().join(' ')));
    QCOMPARE(f.log.messages, {});

    f.setFaults([](sim::Faults &x) { x.garbage = true; });
    shown.clear();
    bool back = false;
    scripted([&] { f.click(kZs); }, [&](EditorDialog *w) {
        if (auto *chooser = qobject_cast<frmZeroSpan *>(w)) {
            chooser->cmdZero->click();
            back = chooser->cmdZero->isEnabled() && chooser->cboChannel->isEnabled();
        } else {
            shown << "dialog";
        }
    });
    QCOMPARE(shown, {});
    QVERIFY(back);
}

void TestAdjust::millivolts()
{
    Connected f("QV8_KX5");
    f.module().setValue(18, 4, "0.0025");
    f.module().setValue(3, 4, "0.0123");
    QStringList before;
    const QStringList after = zeroSpan(f, 4, "cmdZero", "12.345", [&](frmSetZeroSpan *d) {
        before << d->lblRetdata->text() << d->lblInputreal->text() << d->lblUnit1->text()
               << d->lblUnit2->text() << d->lblUnit3->text();
    });
    QCOMPARE(before, (QStringList{"2.500", "12.300", "mV", "mV", "mV"}));
    // the new offset as the module answered it, in millivolts
    QCOMPARE(after.value(1), Fmt3(valueIn(f.module(), 18, 4).toDouble() * 1000));
    QCOMPARE(f.log.messages, {});
}

// The live value moves on screen; OK pressed while the loop's read waits
// for a slow module does not overlap it; any way the dialog closes ends the
// reading, gives the chooser back and leaves the module alone.
void TestAdjust::liveReadingEnds_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"close box", "Escape", "Exit", "program end", "end during a write"})
        QTest::newRow(how) << QString(how);
}

void TestAdjust::liveReadingEnds()
{
    QFETCH(QString, how);
    const bool ending = how.contains("end"), duringWrite = how == "end during a write";
    Connected f("QV8_KX5");
    f.setFaults([](sim::Faults &x) { x.delayMs = 80; });
    f.module().setValue(3, 1, "1.0000");
    QPointer<frmZeroSpan> chooser;
    QPointer<frmSetZeroSpan> dialog;
    QStringList seen, written, afterClose;
    bool chooserBack = false, stillReading = true;
    const auto close = [&] {
        seen << dialog->lblRetdata->text();
        written = f.received();
        if (how == "close box")
            dialog->close();
        else if (how == "Escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (how == "Exit")
            dialog->cmdExit->click();
        else
            MainForm()->close();
    };
    Steps steps;
    steps.then([&] { return shown(chooser = loaded<frmZeroSpan>()); },
               [&] { chooser->cmdZero->click(); })
        .then([&] { return shown(dialog = loaded<frmSetZeroSpan>()) &&
                           dialog->lblInputreal->text() == "1.000"; },
              [&] { f.module().setValue(3, 1, "2.5000"); })
        .then([&] { return dialog->lblInputreal->text() == "2.500" &&
                           MainForm()->comm()->exchangeInProgress(); },
              [&] {
                  seen << dialog->lblInputreal->text();
                  f.clearReceived();
                  dialog->txtReal->setText("12.5");
                  if (duringWrite)
                      QTimer::singleShot(40, MainForm(), close);
                  dialog->cmdOK->click();
              });
    if (!duringWrite)
        steps.then([&] { return f.received().contains("D0112.500") && dialog->isEnabled(); },
                   close);
    if (!ending)
        steps.then([&] { return chooser->cmdZero->isEnabled(); },
                   [&] {
                       chooserBack = !dialog || !dialog->isVisible();
                       stillReading = G().WaitFlag || (dialog && dialog->reading());
                       f.clearReceived();
                       QTimer::singleShot(1200, chooser, [&] {
                           afterClose = f.received();
                           chooser->cmdExit->click();
                       });
                   });
    steps.start();
    f.click(kZs);
    QVERIFY(steps.finished());
    QCOMPARE(f.module().overlaps(), 0);
    QCOMPARE(seen.value(0), "2.500");
    QVERIFY(!G().WaitFlag);
    if (!duringWrite) {
        QVERIFY2(hasPair(written, {"I18", "D0112.500"}), qPrintable(written.join(' ')));
        QCOMPARE(seen.value(1), Fmt3(valueIn(f.module(), 18, 1).toDouble()));
    }
    if (ending) {
        // everything unwound and the main window closed
        QVERIFY(!loaded<frmMain>());
        return;
    }
    QVERIFY(chooserBack);
    QVERIFY(!stillReading);
    QCOMPARE(afterClose, {});
    QCOMPARE(f.log.messages, {});
}

void TestAdjust::channelChangeReadsAtOnce()
{
    Connected f("QV8_L5");
    // the units come from the RTD monitor as its last pass showed them
    form<frmL5>()->lblUnit1[2]->setText("degC");
    form<frmL5>()->lblUnit2[2]->setText("ohm");
    f.module().setValue(3, 2, "21.5");
    f.module().setValue(4, 2, "nan");
    QPointer<frmSetComp> dialog;
    QElapsedTimer sinceChange;
    qint64 firstRead = -1;
    QStringList shownValues;
    // right after a pass (its last line the raw value of channel 1) the
    // loop waits 500 ms; Next cuts that wait short
    const auto passDone = [&] {
        const QStringList lines = f.received();
        return lines.size() >= 2 && lines.last() == "D01" && lines[lines.size() - 2] == "I04";
    };
    Steps steps;
    steps
        .then([&] { return shown(dialog = loaded<frmSetComp>()) && passDone(); },
              [&] {
                  f.clearReceived();
                  sinceChange.start();
                  dialog->cmdNext->click();
              })
        .then([&] { return f.received().contains("D02"); },
              [&] { firstRead = sinceChange.elapsed(); })
        .then([&] { return dialog->lblInputreal->text() == "21.500"; },
              [&] {
                  shownValues << dialog->lblUnit1->text() << dialog->lblUnit2->text()
                              << dialog->lblRawreal->text();
                  dialog->close();
              });
    steps.start();
    f.click(kComp);
    QVERIFY(steps.finished());
    QVERIFY2(firstRead >= 0 && firstRead < 400, qPrintable(QString::number(firstRead)));
    QCOMPARE(f.received().mid(0, 2), (QStringList{"I03", "D02"}));
    QCOMPARE(shownValues, (QStringList{"degC", "ohm", "—"}));
}

QTEST_MAIN(TestAdjust)
#include "tst_adjust.moc"
