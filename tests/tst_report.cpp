// The commissioning report, written through its window against simulated
// modules of every kind and read back as any viewer would (pdftotext).

#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "app/Globals.h"
#include "app/MainPanel.h"
#include "app/ui/frmMain.h"
#include "files/ConfigFile.h"
#include "report/ui/frmReport.h"
#include "tests/support/MainFixture.h"

namespace {

QTemporaryDir &dir()
{
    static QTemporaryDir d;
    return d;
}

// The report window filled and its Write pressed; the file's path.
QString report(MainFixture &f, const QString &name, const QString &plan = QString())
{
    const QString path = dir().filePath(name);
    inWindow<frmReport>([&f] { f.click("mnuFileReport"); },
                        [&](frmReport *w) {
                            w->txtFile->setText(path);
                            w->txtPlan->setText(plan);
                            w->txtOperator->setText("A. Tanaka");
                            w->cmdWrite_Click();
                        });
    return path;
}

// The PDF's text as a viewer extracts it; CJK radicals read as the characters they are.
QString pdfText(const QString &path)
{
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir().isValid()); }
    void everyKind_data();
    void everyKind();
    void planWritesAndJapanese();
    void htmlAndRefusals();
};

void TestReport::everyKind_data()
{
    QTest::addColumn<QString>("model");
    for (const char *m : {"QV8_KX5", "QV8_L5", "QV8_B6", "QV8_E6", "QV8_H9", "QV8T_KX7"})
        QTest::newRow(m) << QString(m);
}

// Identity, every channel's type as the upload read it, the page footer.
void TestReport::everyKind()
{
    QFETCH(QString, model);
    Connected f(model);
    const QString text = pdfText(report(f, model + ".pdf"));
    QVERIFY2(f.log.messages.isEmpty(), qPrintable(f.log.titles().join(", ")));
    const MainPanel &panel = MainPanel::instance();
    for (int row = 1; row <= 6; ++row)
        if (!panel.data(row).isEmpty())
            QVERIFY2(text.contains(panel.data(row)), qPrintable(panel.data(row)));
    const AppState &s = G();
    const int kind = orZero(s.ModelKind);
    for (int ch = 1; ch <= (kind == 1 ? 16 : 8) && (kind == 1 || kind == 2 || kind == 6); ++ch) {
        const QString type = TypeName(kind, s.TypeHigh[ch], s.TypeLow[ch]);
        QVERIFY2(text.contains(QString("%1 %2").arg(ch).arg(type).simplified()) ||
                     text.contains(QRegularExpression(
                         QString("\\b%1\\s+%2").arg(ch).arg(QRegularExpression::escape(type)))),
                 qPrintable(type));
    }
    QVERIFY(text.contains("Live values") && !text.contains("incomplete"));
    QVERIFY(text.contains(QRegularExpression("page 1 of \\d")));
    QVERIFY(text.contains("Operator: A. Tanaka"));
}

// A plan that differs in one setting, the writes of this connection, and
// the same report in Japanese.
void TestReport::planWritesAndJapanese()
{
    Connected f("QV8_KX5");
    AppState plan = G();
    plan.FilterTime = "7.5";
    const QString planPath = dir().filePath("plan.qv8");
    QVERIFY(WriteConfigFile(planPath, ConfigFromState(plan), nullptr));
    f.click("mnuConfigDownload");
    QString text = pdfText(report(f, "plan.pdf", planPath));
    QVERIFY(text.contains("Differs from plan.qv8: 1 of 34 settings differ."));
    QVERIFY(text.contains(QRegularExpression("Filter time\\s+7.5\\s+1.0")));
    QCOMPARE(text.count("verified"), 49);
    QCOMPARE(f.log.titles(), QStringList{"Commissioning Report"});

    setTextLanguage(TextLanguage::Japanese);
    text = pdfText(report(f, "ja.pdf"));
    setTextLanguage(TextLanguage::English);
    QVERIFY(text.contains("試運転報告書") && text.contains("入力タイプ") &&
            text.contains("現在値"));
}

void TestReport::htmlAndRefusals()
{
    MainFixture f("");
    f.main()->mnuModelModel(2)->trigger();
    // no module: the configuration of the window, said so
    QFile html(report(f, "offline.html"));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QByteArray bytes = html.readAll();
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(bytes.contains("no module: the configuration of a file") && bytes.contains("JPt100"));
    QVERIFY(f.log.messages.isEmpty());

    // a plan of another kind: written, and its first page says so
    const QString k1 = dir().filePath("k1.qv8");
    AppState other = G();
    other.ModelKind = 1;
    QVERIFY(WriteConfigFile(k1, ConfigFromState(other), nullptr));
    const QString text = pdfText(report(f, "otherplan.pdf", k1));
    QVERIFY(text.indexOf("k1.qv8 is for a KX5 module, not for a L5 module") <
            text.indexOf("page 1 of"));
    QCOMPARE(f.log.messages.last().title, "Commissioning Report");

    // a target that cannot be written: told, nothing left behind
    report(f, "no/such/folder/r.pdf");
    QVERIFY(f.log.messages.last().text.startsWith("r.pdf: the folder"));
    QVERIFY(!QFile::exists(dir().filePath("no/such/folder/r.pdf")));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
