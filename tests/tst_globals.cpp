// The state record, the string table and the small shared helpers.
#include "app/Globals.h"
#include "app/Init.h"
#include "tests/support/Fixture.h"

#include <QTest>

class TestGlobals : public QObject {
    Q_OBJECT
private slots:
    void init() { InitData(); }

    void initDataResetsEverything()
    {
        AppState &s = G();
        s.Connected = true;
        s.TypeCode[3] = 18;
        s.ModbusSet[0] = 0;
        s.ModelKind = 4;
        s.FilterTime = "2.5";
        InitData();
        QVERIFY(!s.Connected);
        QCOMPARE(s.TypeCode[3], 0);
        QVERIFY(!s.ModelKind.has_value());
        QCOMPARE(orZero(s.ModelKind), 0);
        QCOMPARE(s.ModbusSet, (std::array<int, 5>{2, 0, 1, 0, 0}));
        QCOMPARE(s.ModbusSetKx7, (std::array<int, 5>{2, 0, 1, 1, 0}));
        QVERIFY(s.FilterTime.isEmpty());
    }

    void positiveCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("message");
        QTest::newRow("12") << "12" << 12 << false;
        QTest::newRow("1.5") << "1.5" << 0 << true;
        QTest::newRow("empty") << "" << -1 << false;
        QTest::newRow("+3") << "+3" << 0 << true;
        QTest::newRow("-7") << "-7" << 0 << true;
        QTest::newRow("letters") << "12a" << 0 << false;
    }
    void positiveCheck()
    {
        QFETCH(QString, text);
        QFETCH(bool, message);
        MessageLog log;
        QTEST(PositiveCheck(text), "result");
        if (message)
            QCOMPARE(log.messages, (QList<ShownMessage>{{"Please enter positive number.", "Kavix",
                                                         MsgIcon::Information}}));
        else
            QVERIFY(log.messages.isEmpty());
    }

    // Payloads of the module are read with a point whatever the locale; one
    // that is not a finite number as a whole gives no value.
    void numberText_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("shown");
        QTest::newRow("point") << " 1.5 " << "1.500";
        QTest::newRow("leading zero") << ".5" << "0.500";
        QTest::newRow("negative") << "-12.3" << "-12.300";
        QTest::newRow("tiny negative") << "-0.0001" << "0.000";
        for (const char *none : {"2,5", "12abc", "illegal OPE", "", "nan", "-inf", "1e400"})
            QTest::addRow("no number: %s", none) << none << "—";
    }
    void numberText()
    {
        QFETCH(QString, payload);
        const QLocale old;
        for (const QLocale &l : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
            QLocale::setDefault(l);
            QTEST(NumberText(payload), "shown");
        }
        QLocale::setDefault(old);
        QCOMPARE(NumberText("1e306", true), "—");  // beyond a double once in millivolts
    }

    void stringTable()
    {
        QList<int> expected;
        for (int id = 1000; id <= 1025; ++id)
            if (id != 1001 && id != 1003 && (id < 1006 || id > 1009))
                expected << id;
        expected << 1029 << 1030 << 1031;
        for (const auto &[from, to] : QList<QPair<int, int>>{
                 {1036, 1048}, {2000, 2009}, {2013, 2049}, {2100, 2113}, {3000, 3011}})
            for (int id = from; id <= to; ++id)
                expected << id;
        QCOMPARE(ResStringIds(), expected);
        for (int id : expected) {
            QVERIFY2(!ResStringIn(id, TextLanguage::English).isEmpty(), qPrintable(QString::number(id)));
            QVERIFY2(!ResStringIn(id, TextLanguage::Japanese).isEmpty(), qPrintable(QString::number(id)));
        }
        QCOMPARE(ResStringIn(2027, TextLanguage::English), QString("Upload"));
        QCOMPARE(ResStringIn(2008, TextLanguage::English), QString("Input Contancts"));
        QCOMPARE(ResStringIn(3011, TextLanguage::English), QString("Span Adj. Setting Incomplete"));
        QVERIFY(ResStringIn(3000, TextLanguage::Japanese) != ResStringIn(3000, TextLanguage::English));
        QVERIFY(ResStringIn(9999, TextLanguage::English).isEmpty());
        QVERIFY(!HasResString(20));
        setTextLanguage(TextLanguage::Japanese);
        QCOMPARE(LoadResString(1043), ResStringIn(1043, TextLanguage::Japanese));
        setTextLanguage(TextLanguage::English);
        QCOMPARE(LoadResString(1043), QString("Start"));
        QVERIFY(LoadResString(4242).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGlobals)
#include "tst_globals.moc"
