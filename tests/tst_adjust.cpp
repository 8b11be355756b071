// Zero/span adjustment and line resistance compensation, through the real
// main window and adjustment windows against a simulated module on a pty.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/ui/FormText.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "link/Communication.h"
#include "monitor/frmL5.h"
#include "tests/support/MainFixture.h"

namespace {

const QString kZs = "mnuAdjZeroSpan";
const QString kComp = "mnuAdjComp";

// Opens an Adjustment menu item with its windows driven by `drive`
// instead of shown (as batch mode does).
void scripted(MainFixture &f, const QString &menu, std::function<void(EditorDialog *)> drive)
{
    EditorDialog::script() = std::move(drive);
    f.click(menu);
    EditorDialog::script() = nullptr;
}

QPushButton *button(QWidget *w, const QString &name)
{
    return w->findChild<QPushButton *>(name);
}

void choose(QWidget *w, int ch)
{
    w->findChild<QComboBox *>("cboChannel")->setCurrentText(QString::number(ch));
    if (auto *comp = qobject_cast<frmSetComp *>(w))
        comp->cboChannel_Click();
}

// True when `pair` comes in `lines` as two lines in a row.
bool hasPair(const QStringList &lines, const QStringList &pair)
{
    for (int i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == pair[0] && lines[i + 1] == pair[1])
            return true;
    return false;
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
            if (next_ < steps_.size() && steps_[next_].first()) {
                QTimer::singleShot(0, this, steps_[next_++].second);
            } else if (next_ < steps_.size() && limit_.elapsed() > limitMs && !overran) {
                overran = true;
                qWarning("step %d never became ready", int(next_));
                MainForm()->close();
            }
        });
        tick_.start(5);
    }
    bool done() const { return next_ == steps_.size() && !overran; }
    bool overran = false;

private:
    QList<QPair<std::function<bool()>, std::function<void()>>> steps_;
    qsizetype next_ = 0;
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
    void spanNeedsZero();
    void resetRefused();
    void millivolts();
    void liveReadingEnds_data();
    void liveReadingEnds();
    void channelChangeReadsAtOnce();
    void buttonDuringSlowExchange();
};

void TestAdjust::wrap_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("to");
    QTest::newRow("16 channels, Next from 16") << "QV8_KX5" << kZs << 16 << "cmdNext" << 1;
    QTest::newRow("16 channels, Prev. from 1") << "QV8_KX5" << kZs << 1 << "cmdPrev" << 16;
    QTest::newRow("RTD, Prev. from 1") << "QV8_L5" << kZs << 1 << "cmdPrev" << 8;
    QTest::newRow("8 channels, Next from 8") << "QV8T_KX7" << kZs << 8 << "cmdNext" << 1;
    QTest::newRow("compensation, Next from 8") << "QV8_L5" << kComp << 8 << "cmdNext" << 1;
    QTest::newRow("compensation, Prev. from 1") << "QV8_L5" << kComp << 1 << "cmdPrev" << 8;
}

void TestAdjust::wrap()
{
    QFETCH(QString, model);
    QFETCH(QString, menu);
    QFETCH(int, from);
    QFETCH(QString, press);
    QFETCH(int, to);
    MainFixture f(model);
    f.connect();
    int count = 0, now = 0;
    scripted(f, menu, [&](EditorDialog *w) {
        count = w->findChild<QComboBox *>("cboChannel")->count();
        choose(w, from);
        button(w, press)->click();
        now = w->findChild<QComboBox *>("cboChannel")->currentText().toInt();
    });
    QCOMPARE(count, model == "QV8_KX5" ? 16 : 8);
    QCOMPARE(now, to);
}

void TestAdjust::writes_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("real");  // typed into the zero/span dialog
    QTest::addColumn<QString>("cmd0");  // caption of the compensation's first button
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("empty real value") << "QV8_KX5" << kZs << 5 << "cmdZero"
                                      << ""
                                      << "" << QStringList{"I18", "D050.000"};
    QTest::newRow("millivolts sent as volts") << "QV8_KX5" << kZs << 4 << "cmdZero"
                                              << "12.345"
                                              << "" << QStringList{"I18", "D040.012"};
    QTest::newRow("decimal comma") << "QV8_KX5" << kZs << 1 << "cmdZero"
                                   << "12,5"
                                   << "" << QStringList{"I18", "D0112.500"};
    QTest::newRow("volts, 8 channels") << "QV8T_KX7" << kZs << 8 << "cmdZero"
                                       << "-2.5"
                                       << "" << QStringList{"I18", "D08-2.500"};
    QTest::newRow("not a number is refused") << "QV8_KX5" << kZs << 1 << "cmdZero"
                                             << "1O.5"
                                             << "" << QStringList{};
    QTest::newRow("zero/span reset") << "QV8_KX5" << kZs << 3 << "cmdReset"
                                     << ""
                                     << "" << QStringList{"I17", "D030"};
    QTest::newRow("compensation reset") << "QV8_L5" << kComp << 3 << "cmdReset"
                                        << ""
                                        << "Line Res." << QStringList{"I21", "D030"};
    QTest::newRow("type class 3: Line Res.") << "QV8_L5" << kComp << 1 << "cmd0"
                                             << ""
                                             << "Line Res." << QStringList{"I21", "D011"};
    QTest::newRow("other class: 0% and 100%") << "QV8_L5" << kComp << 8 << "cmd100"
                                              << ""
                                              << "0%" << QStringList{"I21", "D082"};
}

void TestAdjust::writes()
{
    QFETCH(QString, model);
    QFETCH(QString, menu);
    QFETCH(int, channel);
    QFETCH(QString, press);
    QFETCH(QString, real);
    QFETCH(QString, cmd0);
    QFETCH(QStringList, sent);
    MainFixture f(model);
    f.connect();
    f.clearReceived();
    QString typed, caption;
    bool wide = false, hundred = false;
    scripted(f, menu, [&](EditorDialog *w) {
        if (auto *d = qobject_cast<frmSetZeroSpan *>(w)) {
            d->txtReal->setText(real);
            d->cmdOK->click();
            typed = d->txtReal->text();
            return;
        }
        if (auto *c = qobject_cast<frmSetComp *>(w)) {
            // the layout follows the channel: away from it and back
            choose(c, channel == 1 ? 8 : 1);
            choose(c, channel);
            caption = c->cmd0->text();
            wide = c->cmd0->width() == tw(2425);
            hundred = !c->cmd100->isHidden();
        } else {
            choose(w, channel);
        }
        button(w, press)->click();
    });
    const QStringList lines = f.received();
    if (sent.isEmpty()) {
        // the dialog's opening reads, nothing written
        QCOMPARE(lines, (QStringList{"I18", "D01", "I03", "D01"}));
        QCOMPARE(f.log.titles(), QStringList{"Zero/Span Adj."});
        return;
    }
    QVERIFY2(hasPair(lines, sent), qPrintable(lines.join(' ')));
    QCOMPARE(f.log.messages, {});
    if (press == "cmdZero")
        QCOMPARE(typed, real.isEmpty() ? "0" : real);
    if (menu == kComp) {
        QCOMPARE(caption, cmd0);
        QCOMPARE(wide, cmd0 == "Line Res.");
        QCOMPARE(hundred, cmd0 == "0%");
    }
}

void TestAdjust::spanNeedsZero()
{
    MainFixture f("QV8_KX5");
    f.connect();
    f.clearReceived();
    QStringList titles;
    const auto span = [&](const QString &real) {
        titles.clear();
        scripted(f, kZs, [&](EditorDialog *w) {
            if (auto *d = qobject_cast<frmSetZeroSpan *>(w)) {
                titles << d->Label1->text() << d->lblRet->text() << d->lblUnit1->text();
                d->txtReal->setText(real);
                d->cmdOK->click();
                return;
            }
            choose(w, 2);
            button(w, "cmdSpan")->click();
        });
    };
    span("30");
    QCOMPARE(f.received(), (QStringList{"G01", "I17", "D02"}));
    QCOMPARE(titles, {});
    QCOMPARE(f.log.messages, (QList<ShownMessage>{{"First, you set Zero adj.", "Zero/Span Adj.",
                                                   MsgIcon::Exclamation}}));

    f.log.clear();
    scripted(f, kZs, [&](EditorDialog *w) {
        if (auto *d = qobject_cast<frmSetZeroSpan *>(w)) {
            d->txtReal->setText("25");
            d->cmdOK->click();
            return;
        }
        choose(w, 2);
        button(w, "cmdZero")->click();
    });
    f.clearReceived();
    span("30");
    QCOMPARE(titles, (QStringList{"Span Adj. Setting", "Span coefficient", "%"}));
    QVERIFY2(hasPair(f.received(), {"I19", "D0230.000"}), qPrintable(f.received().join(' ')));
    QCOMPARE(f.log.messages, {});
}

void TestAdjust::resetRefused()
{
    MainFixture f("QV8_KX5");
    f.connect();
    sim::Faults refuse;
    refuse.refuseWrites = "illegal OPE";
    f.module().setFaults(refuse);
    scripted(f, kZs, [&](EditorDialog *w) {
        choose(w, 6);
        button(w, "cmdReset")->click();
    });
    QCOMPARE(f.log.titles(), (QStringList{"Parameter Write", "Parameter Write", "Zero/Span Adj."}));
    QCOMPARE(f.log.messages.last(), (ShownMessage{"Zero/Span Adj. Reset Incomplete",
                                                  "Zero/Span Adj.", MsgIcon::Critical}));
}

void TestAdjust::millivolts()
{
    MainFixture f("QV8_KX5");
    f.connect();
    f.module().setValue(18, 4, "0.0025");
    f.module().setValue(3, 4, "0.0123");
    QStringList before, after;
    scripted(f, kZs, [&](EditorDialog *w) {
        if (auto *d = qobject_cast<frmSetZeroSpan *>(w)) {
            before << d->lblRetdata->text() << d->lblInputreal->text() << d->lblUnit1->text()
                   << d->lblUnit2->text() << d->lblUnit3->text();
            d->txtReal->setText("12.345");
            d->cmdOK->click();
            after << d->lblRetdata->text();
            return;
        }
        choose(w, 4);
        button(w, "cmdZero")->click();
    });
    QCOMPARE(before, (QStringList{"2.500", "12.300", "mV", "mV", "mV"}));
    // the new offset as the module answered it, in millivolts
    const QString offset = f.module().withCore([](sim::ModuleCore &c) { return c.value(18, 4); });
    QCOMPARE(after, QStringList{Fmt3(offset.toDouble() * 1000)});
    QCOMPARE(f.log.messages, {});
}

// The live value moves on screen; any way the dialog closes ends the
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
    const bool ending = how.contains("end");
    MainFixture f("QV8_KX5");
    f.connect();
    f.module().setValue(3, 1, "1.0000");
    QPointer<frmZeroSpan> chooser;
    QPointer<frmSetZeroSpan> dialog;
    QStringList seen, afterClose;
    bool chooserBack = false, stillReading = true;
    Steps steps;
    steps
        .then([&] { return shown(chooser = loaded<frmZeroSpan>()); },
              [&] { chooser->cmdZero->click(); })
        .then(
            [&] {
                return shown(dialog = loaded<frmSetZeroSpan>()) &&
                       dialog->lblInputreal->text() == "1.000";
            },
            [&] {
                seen << dialog->lblInputreal->text();
                f.module().setValue(3, 1, "2.5000");
            })
        .then([&] { return dialog->lblInputreal->text() == "2.500"; },
              [&] {
                  seen << dialog->lblInputreal->text();
                  if (how == "close box")
                      dialog->close();
                  else if (how == "Escape")
                      QTest::keyClick(dialog, Qt::Key_Escape);
                  else if (how == "Exit")
                      dialog->cmdExit->click();
                  else if (how == "program end")
                      MainForm()->close();
                  else {
                      sim::Faults slow;
                      slow.delayMs = 300;
                      f.module().setFaults(slow);
                      dialog->txtReal->setText("1");
                      QTimer::singleShot(100, MainForm(), [] { MainForm()->close(); });
                      dialog->cmdOK->click();
                  }
              });
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
    f.clearReceived();
    f.click(kZs);
    QVERIFY(steps.done());
    QCOMPARE(seen, (QStringList{"1.000", "2.500"}));
    if (ending) {
        // everything unwound and the main window closed
        QVERIFY(!loaded<frmMain>() || !MainForm()->isVisible());
        QVERIFY(!G().WaitFlag);
        return;
    }
    QVERIFY(chooserBack);
    QVERIFY(!stillReading);
    QCOMPARE(afterClose, {});
    QCOMPARE(f.log.messages, {});
}

void TestAdjust::channelChangeReadsAtOnce()
{
    MainFixture f("QV8_L5");
    f.connect();
    // the units come from the RTD monitor as its last pass showed them
    form<frmL5>()->lblUnit1[2]->setText("degC");
    form<frmL5>()->lblUnit2[2]->setText("ohm");
    f.module().setValue(3, 2, "21.5");
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
                  shownValues << dialog->lblUnit1->text() << dialog->lblUnit2->text();
                  dialog->close();
              });
    steps.start();
    f.click(kComp);
    QVERIFY(steps.done());
    QVERIFY2(firstRead >= 0 && firstRead < 400, qPrintable(QString::number(firstRead)));
    QCOMPARE(f.received().mid(0, 2), (QStringList{"I03", "D02"}));
    QCOMPARE(shownValues, (QStringList{"degC", "ohm"}));
}

void TestAdjust::buttonDuringSlowExchange()
{
    MainFixture f("QV8_KX5");
    f.connect();
    sim::Faults slow;
    slow.delayMs = 150;
    f.module().setFaults(slow);
    QPointer<frmZeroSpan> chooser;
    QPointer<frmSetZeroSpan> dialog;
    QString offsetShown;
    Steps steps;
    steps
        .then([&] { return shown(chooser = loaded<frmZeroSpan>()); },
              [&] { chooser->cmdZero->click(); })
        // OK while the live loop's read waits for its slow reply
        .then(
            [&] {
                return shown(dialog = loaded<frmSetZeroSpan>()) && dialog->reading() &&
                       MainForm()->comm()->exchangeInProgress();
            },
            [&] {
                f.clearReceived();
                dialog->txtReal->setText("12.5");
                dialog->cmdOK->click();
            })
        .then([&] { return f.received().contains("D0112.500") && dialog->isEnabled(); },
              [&] {
                  offsetShown = dialog->lblRetdata->text();
                  dialog->close();
              })
        .then([&] { return chooser->cmdExit->isEnabled(); }, [&] { chooser->cmdExit->click(); });
    steps.start(20000);
    f.click(kZs);
    QVERIFY(steps.done());
    QCOMPARE(f.module().overlaps(), 0);
    QVERIFY2(hasPair(f.received(), {"I18", "D0112.500"}), qPrintable(f.received().join(' ')));
    const QString offset = f.module().withCore([](sim::ModuleCore &c) { return c.value(18, 1); });
    QCOMPARE(offsetShown, Fmt3(offset.toDouble()));
    QCOMPARE(f.log.messages, {});
}

QTEST_MAIN(TestAdjust)
#include "tst_adjust.moc"
