// The state record, the catalogs and the small shared helpers.
#include "app/Globals.h"
#include "app/Init.h"
#include "tests/support/Fixture.h"

#include <QTest>

class TestGlobals : public QObject {
    Q_OBJECT
private slots:
    void init() { InitData(); }

    void catalog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("kind");
        QTest::newRow("first") << "QV8_KX5" << 1 << 1;
        QTest::newRow("second generation") << "QV8T_KX7" << 2 << 6;
        QTest::newRow("row 7") << "QY8_KX5" << 7 << 1;
        QTest::newRow("counter") << "QV8_H9" << 10 << 5;
        QTest::newRow("trailing space") << "QV8_KX5 " << 0 << 0;
        QTest::newRow("lower case") << "qy8_kx5" << 0 << 0;
    }
    void catalog()
    {
        QFETCH(QString, name);
        QFETCH(int, row);
        QFETCH(int, kind);
        QCOMPARE(ModelRow(name), row);
        if (row)
            QCOMPARE(G().ModelKindList[row], kind);
    }

    void nameTables()
    {
        const AppState &s = G();
        QCOMPARE(s.TypeNameTc.size(), 20);
        QCOMPARE(s.TypeNameTc[14], QString("S"));
        QCOMPARE(s.TypeNameRtd.size(), 10);
        QCOMPARE(s.TypeNameKx7.size(), 14);
        QCOMPARE(s.TypeNameKx7[0], QString("-10 to 10V"));
        QCOMPARE(s.TypeNameKx7[1], s.TypeNameTc[7]);
        QCOMPARE(s.TypeNameKx7[13], s.TypeNameTc[19]);
        QCOMPARE(NameAt(s.TypeNameTc, 20), QString());
        QCOMPARE(NameAt(s.TypeNameTc, -1), QString());
        QCOMPARE(s.BurnoutName, QStringList({LoadResString(2037), LoadResString(2038),
                                             LoadResString(2039)}));
        QCOMPARE(s.LineNoiseName, QStringList({"50/60Hz", "50Hz", "60Hz"}));
    }

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

    void typeCodeSplit_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::newRow("0x1C") << 0x1C << 1 << 12;
        QTest::newRow("0") << 0 << 0 << 0;
        QTest::newRow("0x12") << 0x12 << 1 << 2;
        QTest::newRow("67") << 67 << 4 << 3;
    }
    void typeCodeSplit()
    {
        QFETCH(int, code);
        QFETCH(int, high);
        QFETCH(int, low);
        TypeCodeSplit(5, code);
        QCOMPARE(G().TypeHigh[5], high);
        QCOMPARE(G().TypeLow[5], low);
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
        QFETCH(int, result);
        QFETCH(bool, message);
        MessageLog log;
        QCOMPARE(PositiveCheck(text), result);
        if (message)
            QCOMPARE(log.messages, (QList<ShownMessage>{{"Please enter positive number.", "Kavix",
                                                         MsgIcon::Information}}));
        else
            QVERIFY(log.messages.isEmpty());
    }

    void commaToPoint_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("0,25") << "0,25" << "0.25";
        QTest::newRow("only first") << "1,000,5" << "1.000,5";
        QTest::newRow("none") << "7" << "7";
        QTest::newRow("leading") << ",5" << ".5";
    }
    void commaToPoint()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(CommaToPoint(in), out);
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rounding") << "123.4567" << 1.0 << "123.457";
        QTest::newRow("millivolts") << "0.004" << 1000.0 << "4.000";
        QTest::newRow("mv range") << "0.0125" << 1000.0 << "12.500";
        QTest::newRow("leading zero") << ".5" << 1.0 << "0.500";
        QTest::newRow("comma stops the number") << "2,5" << 1.0 << "2.000";
        QTest::newRow("no number") << "abc" << 1.0 << "0.000";
        QTest::newRow("negative") << "-12.3" << 1.0 << "-12.300";
        QTest::newRow("tiny negative") << "-0.0001" << 1.0 << "0.000";
    }
    void numberText()
    {
        QFETCH(QString, payload);
        QFETCH(double, scale);
        QFETCH(QString, shown);
        QCOMPARE(Fmt3(LeadingNumber(payload) * scale), shown);
    }

    void numberTextIgnoresLocale()
    {
        const QLocale old;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Fmt3(LeadingNumber("1.5")), QString("1.500"));
        QLocale::setDefault(old);
    }

    void stringTableBothLanguages()
    {
        const QList<int> ids = ResStringIds();
        QCOMPARE(ids.size(), 109);
        QVERIFY(ids.contains(1000) && ids.contains(2113) && ids.contains(3011));
        for (int id : ids) {
            QVERIFY2(!ResStringIn(id, TextLanguage::English).isEmpty(), qPrintable(QString::number(id)));
            QVERIFY2(!ResStringIn(id, TextLanguage::Japanese).isEmpty(), qPrintable(QString::number(id)));
        }
        QCOMPARE(ResStringIn(2027, TextLanguage::English), QString("Upload"));
        QCOMPARE(ResStringIn(1043, TextLanguage::English), QString("Start"));
        QCOMPARE(ResStringIn(2008, TextLanguage::English), QString("Input Contancts"));
        QCOMPARE(ResStringIn(3004, TextLanguage::English), QString("Upload Incomplete"));
        QVERIFY(ResStringIn(3000, TextLanguage::Japanese) != ResStringIn(3000, TextLanguage::English));
        QVERIFY(!HasResString(20));
        QVERIFY(LoadResString(4242).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGlobals)
#include "tst_globals.moc"
