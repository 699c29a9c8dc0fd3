// The numbers of the setting dialog: the one rule a typed number follows, the
// general number text, and the single-precision limits.
#include "editors/numberentry.h"

#include "values/commalocale.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestNumberEntry : public QObject {
    Q_OBJECT
private slots:
    void typedNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");

        QTest::newRow("whole") << "5" << true << 5.0;
        QTest::newRow("decimal") << "0.5" << true << 0.5;
        QTest::newRow("no leading digit") << ".25" << true << 0.25;
        QTest::newRow("trailing point") << "3." << true << 3.0;
        QTest::newRow("negative") << "-1.5" << true << -1.5;
        QTest::newRow("plus sign") << "+2" << true << 2.0;
        QTest::newRow("blanks around") << "  0.5  " << true << 0.5;
        QTest::newRow("tab before") << "\t7" << true << 7.0;
        QTest::newRow("blank after the sign") << "- 4" << true << -4.0;
        QTest::newRow("exponent") << "1e-3" << true << 0.001;
        QTest::newRow("capital exponent with sign") << "2.5E+2" << true << 250.0;
        QTest::newRow("exponent form of the entry") << "1.000E-6" << true << 0.000001;
        QTest::newRow("large but finite") << "1e30" << true << 1e30;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("comma decimal") << "1,5" << false << 0.0;
        QTest::newRow("grouping comma") << "1,000" << false << 0.0;
        QTest::newRow("hex form") << "&H1F" << false << 0.0;
        QTest::newRow("currency") << "$5" << false << 0.0;
        QTest::newRow("unit letter") << "5m" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("point only") << "." << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("two signs") << "--1" << false << 0.0;
        QTest::newRow("blank inside the digits") << "1 5" << false << 0.0;
        QTest::newRow("beyond a double") << "1e400" << false << 0.0;
        QTest::newRow("infinity word") << "inf" << false << 0.0;
        QTest::newRow("not a number word") << "nan" << false << 0.0;
        QTest::newRow("full-width digit") << QString::fromUtf8("５") << false << 0.0;
    }
    void typedNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        double got = -12345;
        QCOMPARE(ReadTypedNumber(text, &got), accepted);
        if (accepted)
            QCOMPARE(got, value);
        else
            QCOMPARE(got, -12345.0); // a refused text leaves the value alone
    }

    void typedNumberIgnoresTheLocale()
    {
        CommaLocale comma;
        double got = 0;
        QVERIFY(ReadTypedNumber(QStringLiteral("0.5"), &got));
        QCOMPARE(got, 0.5);
        QVERIFY(!ReadTypedNumber(QStringLiteral("0,5"), &got));
        QCOMPARE(GeneralNumberText(0.005), QStringLiteral("0.005"));
    }

    void generalText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("milli") << 0.005 << "0.005";
        QTest::newRow("product of 5 and m") << 5 * 0.001 << "0.005";
        QTest::newRow("smallest plain") << 0.0001 << "0.0001";
        QTest::newRow("first exponent below") << 0.00001 << "1E-05";
        QTest::newRow("product of 5 and u") << 5 * 0.000001 << "5E-06";
        QTest::newRow("product of 5 and p") << 5 * 0.000000000001 << "5E-12";
        QTest::newRow("negative decimal") << -1.5 << "-1.5";
        QTest::newRow("offset bound") << 400000.0 << "400000";
        QTest::newRow("negative bound") << -400000.0 << "-400000";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("first exponent above") << 1e15 << "1E+15";
        QTest::newRow("time limit") << double(1e20f) << "1.00000002004088E+20";
        QTest::newRow("rounded to fifteen digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("sixteen nines round up") << 9.999999999999999 << "10";
        QTest::newRow("three digit exponent") << 1.5e-300 << "1.5E-300";
    }
    void generalText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(GeneralNumberText(value), text);
        // What is written reads back as the same number (to 15 digits).
        double back = 0;
        QVERIFY(ReadTypedNumber(text, &back));
        QVERIFY(std::fabs(back - value) <= std::fabs(value) * 1e-14);
    }

    void generalTextOfNonFinite()
    {
        QCOMPARE(GeneralNumberText(std::numeric_limits<double>::infinity()), QString());
        QCOMPARE(GeneralNumberText(std::numeric_limits<double>::quiet_NaN()), QString());
    }

    void limit_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<float>("limit");
        QTest::addColumn<double>("expected");

        QTest::newRow("inside keeps its double value") << 0.1 << TypedOffsetLimit << 0.1;
        QTest::newRow("at the bound") << 400000.0 << TypedOffsetLimit << 400000.0;
        QTest::newRow("above") << 1000000.0 << TypedOffsetLimit << 400000.0;
        QTest::newRow("below") << -1000000.0 << TypedOffsetLimit << -400000.0;
        // Just above the bound in double, equal to it in single precision.
        QTest::newRow("above only in double") << 400000.01 << TypedOffsetLimit << 400000.01;
        QTest::newRow("time above") << 1e25 << TypedTimeLimit << double(1e20f);
        QTest::newRow("time below") << -1e25 << TypedTimeLimit << -double(1e20f);
        QTest::newRow("beyond single precision") << 1e300 << TypedTimeLimit << double(1e20f);
        QTest::newRow("beyond single precision, negative") << -1e300 << TypedTimeLimit << -double(1e20f);
        QTest::newRow("exactly 1e20 in double") << 1e20 << TypedTimeLimit << 1e20;
    }
    void limit()
    {
        QFETCH(double, x);
        QFETCH(float, limit);
        QFETCH(double, expected);
        QCOMPARE(LimitBySingle(x, limit), expected);
    }
};

QTEST_APPLESS_MAIN(TestNumberEntry)
#include "tst_numberentry.moc"
