// Reading numbers out of texts, digit patterns, the plain number text and
// the two rounding rules. Every number text uses "." whatever the locale.

#include "app/appstate.h"
#include "values/commalocale.h"
#include "values/numbertext.h"
#include "values/rounding.h"

#include <QtTest>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void commaLocaleIsInForce()
    {
        // The guard the other tests use really switches to a comma: Qt's own
        // number writing shows it, and so does the C library where the
        // system has the German locale.
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(QLocale().toString(1.5, 'f', 1), QStringLiteral("1,5"));
        if (comma.cLibraryToo()) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%.1f", 1.5);
            QCOMPARE(QByteArray(buf), QByteArray("1,5"));
        } else {
            qInfo("de_DE.UTF-8 is not installed: only Qt's default locale uses the comma");
        }
        QCOMPARE(ApplyNumberPattern(1.5, u"0.00"), QStringLiteral("1.50"));
        QCOMPARE(ReadNumber(u"1,5"), 1.0);
    }

    void readNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain") << "1.5" << 1.5;
        QTest::newRow("leading point") << ".75" << 0.75;
        QTest::newRow("negative leading point") << "-.25" << -0.25;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("exponent") << "-2.5e3xyz" << -2500.0;
        QTest::newRow("capital exponent with sign") << "1.5E+2" << 150.0;
        QTest::newRow("blanks inside the number") << "1 2 3" << 123.0;
        QTest::newRow("blanks tabs line feeds first") << " \t\n4.5" << 4.5;
        QTest::newRow("blank in the exponent") << "2.5E -1" << 0.25;
        QTest::newRow("blank after the sign") << "- 5" << -5.0;
        QTest::newRow("unit after the number") << "12kHz" << 12.0;
        QTest::newRow("trailing line feed") << "2.00\n" << 2.0;
        QTest::newRow("carriage return stops") << "\r5" << 0.0;
        QTest::newRow("carriage return after") << "5\r" << 5.0;
        QTest::newRow("exponent without digits") << "1.5E" << 1.5;
        QTest::newRow("exponent sign without digits") << "1.5e-x" << 1.5;
        QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("two signs") << "--5" << 0.0;
        QTest::newRow("letters first") << "abc1" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no infinity word") << "inf" << 0.0;
        QTest::newRow("no nan word") << "nan" << 0.0;
        QTest::newRow("hex is not read") << "0x1F" << 0.0;
        QTest::newRow("overflow saturates") << "1e400" << DBL_MAX;
        QTest::newRow("negative overflow saturates") << "-1e400" << -DBL_MAX;
        QTest::newRow("huge exponent") << "1e99999999999999999999" << DBL_MAX;
        QTest::newRow("underflow reads 0") << "1e-400" << 0.0;
        QTest::newRow("small mantissa, large exponent") << "0.0001e-400" << 0.0;
        QTest::newRow("zero with huge exponent") << "0e99999" << 0.0;
        QTest::newRow("400 digits") << QString(u'9').repeated(400) << DBL_MAX;
        QTest::newRow("many decimals") << "0." + QString(u'3').repeated(500) << 1.0 / 3.0;
    }
    void readNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(ReadNumber(text), expected);
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(ReadNumber(text), expected);
    }

    void applyNumberPattern_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integer digits beyond ###") << 12345.6 << "###" << "12346";
        QTest::newRow("# adds no leading zero") << 0.5 << "#.00" << ".50";
        QTest::newRow("0 pads") << 5.0 << "#000.0" << "005.0";
        QTest::newRow("half away from zero") << 2.5 << "###" << "3";
        QTest::newRow("negative half away") << -2.5 << "###" << "-3";
        QTest::newRow("decimal half as written") << 1.005 << "#.00" << "1.01";
        QTest::newRow("9.995 carries") << 9.995 << "#.00" << "10.00";
        QTest::newRow("999.5 carries into a new digit") << 999.5 << "###" << "1000";
        QTest::newRow("negative rounding to zero has no sign") << -0.001 << "0.00" << "0.00";
        QTest::newRow("percent multiplies") << 0.125 << "0.00%" << "12.50%";
        QTest::newRow("percent 0%") << 0.45 << "0%" << "45%";
        QTest::newRow("suffix letters") << 1.5 << "#0.00dB" << "1.50dB";
        QTest::newRow("negative with suffix") << -120.0 << "#000.0dB" << "-120.0dB";
        QTest::newRow("optional decimals") << 0.00012345 << "0.000###########" << "0.00012345";
        QTest::newRow("optional decimals, minimum kept") << 500.0 << "0.000###########" << "500.000";
        QTest::newRow("fifteen significant digits") << 0.1 + 0.2 << "0.0##########################" << "0.3";
        QTest::newRow("large value") << 1e20 << "###" << "100000000000000000000";
        QTest::newRow("zero") << 0.0 << "0.000" << "0.000";
        QTest::newRow("infinity gives no text") << std::numeric_limits<double>::infinity() << "###" << "";
        QTest::newRow("nan gives no text") << std::numeric_limits<double>::quiet_NaN() << "0.00" << "";
    }
    void applyNumberPattern()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(ApplyNumberPattern(value, pattern), expected);
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(ApplyNumberPattern(value, pattern), expected);
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.2") << 0.2 << " .2";
        QTest::newRow("-0.25") << -0.25 << "-.25";
        QTest::newRow("1") << 1.0 << " 1";
        QTest::newRow("0") << 0.0 << " 0";
        QTest::newRow("0.75") << 0.75 << " .75";
        QTest::newRow("1234.5") << 1234.5 << " 1234.5";
        QTest::newRow("-12.5") << -12.5 << "-12.5";
        QTest::newRow("15 significant digits") << 0.1 + 0.2 << " .3";
        QTest::newRow("15 digits kept") << 123456789012345.0 << " 123456789012345";
        QTest::newRow("2 mV") << 0.002 << " .002";
        QTest::newRow("1e-10 still fixed") << 1e-10 << " .0000000001";
        QTest::newRow("1e-15 exponent") << 1e-15 << " 1E-15";
        QTest::newRow("1.5e-11 exponent") << 1.5e-11 << " 1.5E-11";
        QTest::newRow("1e15 exponent") << 1e15 << " 1E+15";
        QTest::newRow("-1.5e20 exponent") << -1.5e20 << "-1.5E+20";
        QTest::newRow("infinity gives no text") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("nan gives no text") << std::numeric_limits<double>::quiet_NaN() << "";
    }
    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(NumberText(value), expected);
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(NumberText(value), expected);
        if (!expected.isEmpty()) // the text reads back as the value
            QCOMPARE(ReadNumber(expected), ReadNumber(QString::number(value, 'g', 15)));
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("even");
        QTest::addColumn<double>("away");
        QTest::newRow("12.5") << 12.5 << 12.0 << 13.0;
        QTest::newRow("13.5") << 13.5 << 14.0 << 14.0;
        QTest::newRow("-2.5") << -2.5 << -2.0 << -3.0;
        QTest::newRow("-3.5") << -3.5 << -4.0 << -4.0;
        QTest::newRow("0.5") << 0.5 << 0.0 << 1.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0 << 3.0;
        QTest::newRow("-0.2") << -0.2 << 0.0 << 0.0;
        QTest::newRow("large") << 4503599627370497.0 << 4503599627370497.0 << 4503599627370497.0;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(double, even);
        QFETCH(double, away);
        QCOMPARE(RoundHalfEven(value), even);
        QCOMPARE(RoundHalfAway(value), away);
    }

    void roundingKeepsNonFinite()
    {
        QVERIFY(std::isnan(RoundHalfEven(std::nan(""))));
        QVERIFY(std::isinf(RoundHalfAway(HUGE_VAL)));
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
