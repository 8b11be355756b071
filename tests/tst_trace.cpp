// The line trace against the simulated module's faults, its window's saved
// file, and the CSV log of the monitoring passes.
#include "app/Globals.h"
#include "app/Init.h"
#include "app/PassSamples.h"
#include "app/ui/Forms.h"
#include "app/ui/frmMain.h"
#include "files/CsvLog.h"
#include "files/ui/FileOps.h"
#include "link/LineTrace.h"
#include "link/TxtBus.h"
#include "monitor/frmTrace.h"
#include "monitor/frmTrend.h"
#include "tests/support/MainFixture.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <qcustomplot.h>

#include <cmath>
#include <functional>
#include <optional>

namespace {

using FaultSetup = std::function<void(sim::Faults &)>;
using Action = std::function<void()>;

// The columns a test can know: command, reply, result, meaning.
QStringList fixedColumns()
{
    QStringList out;
    const LineTrace &t = LineTrace::instance();
    for (quint64 s = t.firstSeq(); s < t.nextSeq(); ++s) {
        QStringList c = LineTrace::line(*t.find(s)).split('\t');
        out << QStringList{c[1], c[2], c[4], c[5]}.join('|');
    }
    return out;
}

QString counters()
{
    const LineTrace::Counters &k = LineTrace::instance().counters();
    return QString("%1 %2 %3 %4 %5")
        .arg(k.exchanges)
        .arg(k.timeouts)
        .arg(k.refusals)
        .arg(k.retries)
        .arg(k.lateInputs);
}

void feedPass(const QList<QStringList> &channels)  // {text, unit, type}
{
    PassSamples::begin(1, int(channels.size()));
    for (int i = 0; i < channels.size(); ++i)
        PassSamples::add(i + 1, channels[i][0].toDouble(), channels[i][0], channels[i][1],
                         channels[i][2]);
    PassSamples::end();
}

QStringList fileLines(const QString &path, const char *end = "\r\n")
{
    return QString::fromUtf8(fileBytes(path)).split(end);
}

}  // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void exchanges_data();
    void exchanges();
    void meaningsPerKind_data();
    void meaningsPerKind();
    void keepsTheNewest100000();
    void savedFile();
    void trendFollowsTicksAndZoom();
    void trendGapsAndTimeLabels();
    void csvHeaderRowsAndQuoting();
    void csvWriteFailsMidway();
    void csvFromTheMonitorMenu();
};

void TestTrace::exchanges_data()
{
    QTest::addColumn<FaultSetup>("faults");
    QTest::addColumn<Action>("act");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("counts");  // exchanges time-outs refusals retries late
    QTest::addColumn<double>("longestAtLeast");
    const auto row = [](const char *tag, FaultSetup faults, Action act, const QStringList &lines,
                        const char *counts, double longest = 0) {
        QTest::newRow(tag) << faults << act << lines << QString(counts) << longest;
    };
    const auto read = [](int item, int index) {
        return [=] {
            QString r;
            DataRead(item, index, r);
        };
    };
    row("good exchange", [](sim::Faults &) {}, read(90, 0),
        {"I90<CR>|D90<CR>|done|select model name", "D<CR>|DQV8_KX5<CR>|done|read model name"},
        "2 0 0 0 0");
    row("value that is no number", [](sim::Faults &f) { f.noise = "?"; }, read(16, 0),
        {"I16<CR>|D?16<CR>|done|select filter time constant",
         "D<CR>|D?1.0<CR>|done, no number|read filter time constant"},
        "2 0 0 0 0");
    row("time-out", [](sim::Faults &f) { f.silent = true; }, read(5, 3),
        {"I05<CR>||time-out|select input type"}, "1 1 0 0 0");
    row("refusal", [](sim::Faults &f) { f.refuseWrites = "illegal OPE"; },
        [] { QString r; ParameterWrite(5, "0317", r); },
        {"I05<CR>|D05<CR>|done|select input type",
         "D0317<CR>|Dillegal OPE<CR>|refused|channel 3 input type ← 17 K(CA)"},
        "2 0 1 0 0");
    row("split reply", [](sim::Faults &f) { f.splitPieces = 4; f.splitGapMs = 30; }, read(16, 0),
        {"I16<CR>|D16<CR>|done|select filter time constant",
         "D<CR>|D1.0<CR>|done|read filter time constant"},
        "2 0 0 0 0", 60.0);
    row("late input", [](sim::Faults &f) { f.delayMs = 300; },
        [] { SendReceive("I90\r"); pump(450); },
        {"I90<CR>||time-out|select model name",
         "|D90<CR>|late input dropped|no exchange waiting"},
        "1 1 0 0 1");
    row("control characters", [](sim::Faults &f) { f.noise = QByteArray("\x07\0\x1b<\t", 5); },
        read(25, 2),
        {"I25<CR>|D<0x07><NUL><ESC><0x3C><TAB>25<CR>|done|select cold-junction switch",
         "D02<CR>|D<0x07><NUL><ESC><0x3C><TAB>1<CR>|done|read channel 2 cold-junction switch"},
        "2 0 0 0 0");
    row("module-wide burnout, compensation of one channel", [](sim::Faults &) {},
        [] { QString r; DataRead(20, 1, r); ParameterWrite(21, "082", r); },
        {"I20<CR>|D20<CR>|done|select burnout type",
         "D01<CR>|D1<CR>|done|read burnout type (whole module)",
         "I21<CR>|Dillegal OPE<CR>|refused|select line resistance compensation",
         "D082<CR>|Dillegal OPE<CR>|refused|channel 8 line resistance compensation ← 2 100%"},
        "4 0 2 0 0");
    // a handler's read queued while the data line of another waits: each in
    // the order it went out, under its own item
    row("exchange a handler queued", [](sim::Faults &f) { f.delayMs = 100; }, [read] {
        QObject scope;
        QObject::connect(&LineTrace::instance(), &LineTrace::appended, &scope,
                         [&](const LineTrace::Entry &e) {
                             if (e.command == "I05\r")
                                 QTimer::singleShot(30, &scope, read(25, 2));
                         });
        read(5, 3)();
    },
        {"I05<CR>|D05<CR>|done|select input type",
         "D03<CR>|D17<CR>|done|read channel 3 input type",
         "I25<CR>|D25<CR>|done|select cold-junction switch",
         "D02<CR>|D1<CR>|done|read channel 2 cold-junction switch"},
        "4 0 0 0 0");
    row("group select retried", [](sim::Faults &f) { f.busyGroupSelects = 1; },
        [] { QString r; GroupCommand(1, r); },
        {"G01<CR>|Dbusy<CR>|refused|enter group 1",
         "G01<CR>|Denter item<CR>|done (retry)|enter group 1"},
        "2 0 1 1 0");
}

void TestTrace::exchanges()
{
    QFETCH(FaultSetup, faults);
    QFETCH(Action, act);
    QFETCH(double, longestAtLeast);
    LinkFixture f;
    f.host().Timer1.setInterval(150);  // a quick time-out keeps the test short
    CommOpen();
    QVERIFY(G().Connected);
    G().ModelKind = 1;
    LineTrace::instance().clear();
    sim::Faults fs;
    faults(fs);
    f.module().setFaults(fs);
    act();
    QTEST(fixedColumns(), "lines");
    QTEST(counters(), "counts");
    QVERIFY(LineTrace::instance().counters().longestMs >= longestAtLeast);
}

void TestTrace::meaningsPerKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("KX5 trigger") << 1 << 6 << QByteArray("D01\r") << "read trigger input state";
    QTest::newRow("KX7 alarm") << 6 << 7 << QByteArray("D011\r") << "alarm output ← 1 ON";
    QTest::newRow("KX7 burnout") << 6 << 20 << QByteArray("D2\r") << "burnout type ← 2 Down";
    QTest::newRow("H9 DO") << 5 << 7 << QByteArray("D041\r") << "channel 4 DO setting ← 1 ON";
    QTest::newRow("H9 DI") << 5 << 6 << QByteArray("D02\r") << "read channel 2 DI state";
    QTest::newRow("B6 output") << 3 << 7 << QByteArray("D321\r")
                               << "contact 32 output state ← 1 ON";
    QTest::newRow("E6 count") << 4 << 8 << QByteArray("D16\r") << "read contact 16 32-bit count";
}

void TestTrace::meaningsPerKind()
{
    QFETCH(int, kind);
    QFETCH(int, item);
    QFETCH(QByteArray, command);
    InitData();
    LineTrace::Entry e;
    e.kind = qint8(kind);
    e.group = 1;
    e.item = qint8(item);
    e.command = command;
    QTEST(LineTrace::meaning(e), "meaning");
    // the window shows it in the display language; files keep it English
    setTextLanguage(TextLanguage::Japanese);
    const QString shown = LineTrace::meaning(e, true) + LineTrace::resultText(e, true);
    QTEST(LineTrace::meaning(e), "meaning");
    setTextLanguage(TextLanguage::English);
    QVERIFY2(!shown.contains(QRegularExpression("[a-z]{4,}")), qPrintable(shown));
}

void TestTrace::keepsTheNewest100000()
{
    LineTrace &t = LineTrace::instance();
    t.clear();
    const int n = LineTrace::Capacity + 5;
    for (int i = 0; i < n; ++i)
        t.record("D" + QByteArray::number(i) + "\r", "D0\r", 0, 1000, LineTrace::Result::Done);
    QCOMPARE(t.size(), LineTrace::Capacity);
    QVERIFY(!t.find(t.firstSeq() - 1));
    QCOMPARE(t.find(t.firstSeq())->command, QByteArray("D5\r"));
    QCOMPARE(t.find(t.nextSeq() - 1)->command, "D" + QByteArray::number(n - 1) + "\r");
    QCOMPARE(t.counters().exchanges, quint64(n));
}

void TestTrace::savedFile()
{
    LineTrace::instance().clear();
    Connected f("QV8_KX5");
    frmTrace::ShowTrace();
    frmTrace *w = loaded<frmTrace>();
    QVERIFY(w && w->isVisible());
    w->cboFilter->setCurrentIndex(2);  // one item
    w->txtItem->setValue(90);
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.txt");
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) { return path; };
    w->cmdSave->click();
    QStringList lines = fileLines(path, "\n");
    QCOMPARE(lines.takeFirst(), LineTrace::header());
    QCOMPARE(lines.takeLast(), QString());
    QStringList meanings;
    for (const QString &l : lines)
        meanings << l.section('\t', 1, 1) + " " + l.section('\t', 5);
    QCOMPARE(meanings, (QStringList{"I90<CR> select model name", "D<CR> read model name"}));
    const QRegularExpression time(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\t)");
    QVERIFY(time.match(lines[1]).hasMatch());

    // a disk that fills up keeps the file saved before; a folder is never saved over
    const QByteArray saved = fileBytes(path);
    {
        FileSizeLimit full(saved.size() / 2);
        QVERIFY(!w->SaveTo(path));
    }
    QCOMPARE(fileBytes(path), saved);
    QVERIFY(!w->SaveTo(dir.path()));
    const ShownMessage refused{dir.path() + " is not a regular file.", "Save Trace",
                               MsgIcon::Exclamation};
    QCOMPARE(f.log.messages,
             (QList<ShownMessage>{{path + ": File too large", "Save Trace", MsgIcon::Critical},
                                  refused}));

    // the Command column as wide as the longest line: a count preset, then a longer write
    w->cboFilter->setCurrentIndex(0);
    QString reply;
    for (const QString &line : {QString("D01999999999"), "D03" + QString(32, '9')}) {
        ParameterWrite(18, line.mid(1), reply);
        w->Refresh();
        QVERIFY(w->grdTrace->columnWidth(TraceModel::ColCommand) >
                w->grdTrace->fontMetrics().horizontalAdvance(line + "<CR>"));
    }
}

void TestTrace::trendFollowsTicksAndZoom()
{
    MainFixture f("");
    frmTrend::ShowTrend();
    frmTrend *w = loaded<frmTrend>();
    QCustomPlot *plot = w->picPlot;
    for (int pass = 0; pass < 3; ++pass)
        feedPass({{"20.000", "degC", "K(CA)"}, {"1.500", "V", "-20 to 20V"}});
    QCOMPARE(plot->graphCount(), 2);
    QCOMPARE(plot->graph(1)->dataCount(), 3);
    QCOMPARE(w->lstChannels->item(1)->text(), QString("Ch2 -20 to 20V [V]"));
    QCOMPARE(plot->yAxis->label() + "|" + plot->yAxis2->label(), QString("degC|V"));
    w->lstChannels->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!plot->graph(0)->visible());
    QCOMPARE(plot->yAxis->label(), QString("V"));

    // a zoom or pan by the user stops the following; Follow takes it up again
    const double newest = plot->graph(1)->data()->at(2)->key;
    QVERIFY(plot->xAxis->range().contains(newest));
    plot->xAxis->setRange(newest - 100, newest - 50);
    feedPass({{"20.000", "degC", "K(CA)"}, {"1.500", "V", "-20 to 20V"}});
    QVERIFY(!w->following() && w->cmdFollow->isEnabled());
    QVERIFY(!plot->xAxis->range().contains(newest));
    w->cmdFollow->click();
    QVERIFY(w->following() && plot->xAxis->range().contains(plot->graph(1)->data()->at(3)->key));
}

// A pause and a new run leave a gap in each line, not a ramp; the time
// labels never repeat and never overlap, at any zoom or width.
void TestTrace::trendGapsAndTimeLabels()
{
    Connected f("QV8_B6");
    frmTrend::ShowTrend();
    QCustomPlot *plot = loaded<frmTrend>()->picPlot;
    int passes = 0;
    auto *menu = f.main()->findChild<QMenu *>("mnuMonitor");
    const auto c = connect(&PassSamples::instance(), &PassSamples::pass, this, [&] {
        if (++passes == 2) {  // paused by opening the Monitor menu, then Start
            emit menu->aboutToShow();
            QTimer::singleShot(100, f.main(), &frmMain::mnuMonitorStart_Click);
        } else if (passes == 4 || passes == 6) {
            f.main()->mnuMonitorStop_Click();
        }
    });
    QVERIFY(f.startAndWait());
    QVERIFY(f.startAndWait());  // another run
    disconnect(c);
    QString shape;
    for (const QCPGraphData &d : *plot->graph(0)->data())
        shape += std::isnan(d.value) ? "_" : "v";
    QCOMPARE(shape, QString("vv_vv_vv"));

    frmTrend *w = loaded<frmTrend>();
    const QFontMetrics fm(plot->xAxis->tickLabelFont());
    for (int width : {260, 500, 1200}) {
        w->resize(width + 240, 360);
        w->layout()->activate();
        for (double span : {0.001, 0.7, 9.0, 400.0, 7200.0, 30 * 3600.0}) {
            plot->xAxis->setRange(1.7e9, 1.7e9 + span);
            plot->replot();
            const QVector<double> ticks = plot->xAxis->tickVector();
            const QVector<QString> labels = plot->xAxis->tickVectorLabels();
            const QString at =
                QString("%1 px, %2 s: %3").arg(width).arg(span).arg(labels.toList().join(" "));
            QVERIFY2(QSet<QString>(labels.begin(), labels.end()).size() == labels.size() &&
                         (width < 1200 || labels.size() >= 4),
                     qPrintable(at));
            for (int i = 1; i < ticks.size(); ++i)
                QVERIFY2(plot->xAxis->coordToPixel(ticks[i]) -
                                 plot->xAxis->coordToPixel(ticks[i - 1]) >
                             fm.horizontalAdvance(labels[i]),
                         qPrintable(at));
        }
    }
}

void TestTrace::csvHeaderRowsAndQuoting()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.csv");
    CsvLog &log = CsvLog::instance();
    QString error;
    QVERIFY(log.start(path, &error));
    feedPass({{"12.500", "degC", "K(CA)"}, {"1,5", "mV", "Type \"A\", B"}});
    // a module's NUL, C1 and escape bytes in a value
    const QString bytes = QString::fromLatin1("2\0\x85\x1b", 4);
    feedPass({{"13.000", "degC", "K(CA)"}, {bytes, "mV", "Type \"A\", B"}});
    PassSamples::begin(1, 2);  // a pass cut short by Stop is no row
    PassSamples::add(1, 1, "1", "degC", "K(CA)");
    PassSamples::end();
    log.stop();
    QStringList lines = fileLines(path);
    QCOMPARE(lines.takeFirst(), QString(R"(time,"Ch1 K(CA) [degC]","Ch2 Type ""A"", B [mV]")"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.size(), 2);
    const QRegularExpression time(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,)");
    QVERIFY(time.match(lines[0]).hasMatch());
    QCOMPARE(lines[0].section(',', 1), QString("12.500,\"1,5\""));
    QCOMPARE(lines[1].section(',', 1), QString("13.000,2<NUL><0x85><ESC>"));
}

void TestTrace::csvWriteFailsMidway()
{
    MessageLog messages;
    QTemporaryDir dir;
    const QString path = dir.filePath("log.csv");
    CsvLog &log = CsvLog::instance();
    QString error;
    QVERIFY(log.start(path, &error));
    for (int pass = 1; pass <= 4; ++pass) {
        // the disk fills up halfway through the third row
        std::optional<FileSizeLimit> full;
        if (pass >= 3)
            full.emplace(QFileInfo(path).size() + 10);
        feedPass({{QString::number(pass), "V", "-20 to 20V"}});
    }
    QVERIFY(!log.isRunning());
    const ShownMessage stopped{"Logging to " + path +
                                   " stopped: File too large\nThe rows written "
                                   "before remain in the file.",
                               "Log to CSV", MsgIcon::Critical};
    QCOMPARE(messages.messages, QList<ShownMessage>{stopped});
    QStringList lines = fileLines(path);
    // header, two rows, nothing after the last CRLF
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0] + "|" + lines[1].section(',', 1) + "|" + lines[2].section(',', 1) + "|" +
                 lines[3],
             QString(R"(time,"Ch1 -20 to 20V [V]"|1|2|)"));
}

// Log to CSV chosen halfway through a pass, the values changing while its
// file dialog is open: every row holds the values of one whole pass.
void TestTrace::csvFromTheMonitorMenu()
{
    Connected f("QV8_KX5");
    const auto values = [&](const char *v) {
        for (int ch = 1; ch <= 16; ++ch)
            f.module().setValue(3, ch, v);
    };
    values("1");
    QTemporaryDir dir;
    const QString path = dir.filePath("log.csv");
    dlgFile().ask = [&](FileDialog::Mode, const QString &, const QString &) {
        values("2");
        return path;
    };
    f.afterExchange([&] { return f.received().count("I03") == 8; },
                    [&] { f.click("mnuMonitorLog"); });
    f.afterExchange([&] { return fileLines(path).size() >= 4; },
                    [&] { f.click("mnuMonitorStop"); });
    QVERIFY(f.startAndWait(20000));
    QVERIFY(CsvLog::instance().isRunning());
    CsvLog::instance().stop();
    QStringList rows = fileLines(path).mid(1, 2);
    for (QString &row : rows)
        row = row.section(',', 1);
    const QRegularExpression secondValues(R"(^2(000)?\.000(,2(000)?\.000){15}$)");
    QVERIFY2(secondValues.match(rows.value(0)).hasMatch() &&
                 secondValues.match(rows.value(1)).hasMatch(),
             qPrintable(rows.join('|')));
}

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
