// The time column's number texts: the form at any count of digits, and the
// count of digits a column needs so that consecutive times never read the
// same, checked against the texts themselves.

#include "values/commalocale.h"
#include "values/sampletime.h"

#include <QSet>
#include <QtTest>

#include <cmath>
#include <limits>

class TestSampleTime : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        // Three digits: the data table's and the CSV's own form.
        QTest::newRow("1.5") << 1.5 << 3 << "1.50E+00";
        QTest::newRow("12.5") << 12.5 << 3 << "1.25E+01";
        QTest::newRow("1") << 1.0 << 3 << "1.00E+00";
        QTest::newRow("0.5") << 0.5 << 3 << "5.00E-01";
        QTest::newRow("0.0012") << 0.0012 << 3 << "1.20E-03";
        QTest::newRow("-0.002") << -0.002 << 3 << "-2.00E-03";
        QTest::newRow("-1.5: sign of the exponent only when negative") << -1.5 << 3 << "-1.50E00";
        QTest::newRow("zero") << 0.0 << 3 << "0.00E00";
        QTest::newRow("half away from zero") << 1.125 << 3 << "1.13E+00";
        QTest::newRow("negative half away from zero") << -1.125 << 3 << "-1.13E00";
        QTest::newRow("three-digit exponent") << 1.5e-100 << 3 << "1.50E-100";
        // More digits, the same rules.
        QTest::newRow("five digits") << 9.4002e-4 << 5 << "9.4002E-04";
        QTest::newRow("zero, five digits") << 0.0 << 5 << "0.0000E00";
        QTest::newRow("rounding carries into the exponent") << 9.99996e-4 << 5 << "1.0000E-03";
        QTest::newRow("carried to 1 from below: no plus") << 0.99996 << 4 << "1.000E00";
        QTest::newRow("fifteen digits") << 1.23456789012345 << 15 << "1.23456789012345E+00";
        QTest::newRow("fewer than three asked: three") << 0.5 << 1 << "5.00E-01";
        QTest::newRow("more than fifteen asked: fifteen") << -0.5 << 40 << "-5.00000000000000E-01";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 3 << "";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 5 << "";
    }
    void texts()
    {
        QFETCH(double, t);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(SampleTimeText(t, digits), text);
        CommaLocale comma; // the decimal point stays a point
        QCOMPARE(SampleTimeText(t, digits), text);
    }

    void digits_data()
    {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("digits");
        // Data tables (600 rows): 1 ms/div without delay keeps three digits;
        // 10 us/div around a delay of 1 ms needs five.
        QTest::newRow("table, 1 ms/div") << -6e-3 << 2e-5 << 600 << 3;
        QTest::newRow("table, 50 us/div") << -3e-4 << 1e-6 << 600 << 3;
        QTest::newRow("table, 10 us/div at 1 ms") << 9.4e-4 << 2e-7 << 600 << 5;
        QTest::newRow("table, 5 ns/div at -2.5 us") << -2.5e-6 - 300 * 1e-10 << 1e-10 << 600 << 5;
        // Stored records.
        QTest::newRow("record, 1 MS/s, 2000 points") << -1e-3 << 1e-6 << 2000 << 3;
        QTest::newRow("record, 1 MS/s, 20000 points") << -1e-2 << 1e-6 << 20000 << 4;
        QTest::newRow("record, 100 MS/s at 1 ms") << 1e-3 - 8192e-8 << 1e-8 << 16384 << 6;
        QTest::newRow("record, 1 GS/s at 10 s") << 10.0 << 1e-9 << 100000 << 11;
        // Nothing to tell apart.
        QTest::newRow("one row") << 1e-3 << 1e-9 << 1 << 3;
        QTest::newRow("zero step") << 1e-3 << 0.0 << 100 << 3;
        QTest::newRow("negative step") << 1e-3 << -1e-6 << 100 << 3;
        QTest::newRow("step not a number") << 1e-3 << std::numeric_limits<double>::quiet_NaN() << 100 << 3;
        QTest::newRow("all at zero") << 0.0 << 0.0 << 10 << 3;
        // Beyond what a double can show: the most there is.
        QTest::newRow("step below the fifteenth digit") << 1.0 << 1e-16 << 10 << 15;
    }
    void digits()
    {
        QFETCH(double, first);
        QFETCH(double, step);
        QFETCH(int, rows);
        QFETCH(int, digits);
        const double last = first + (rows - 1) * (std::isfinite(step) ? step : 0.0);
        const int n = SampleTimeDigits(first, last, step);
        QCOMPARE(n, digits);
        if (!(step > 0) || n == SampleTimeMaxDigits)
            return;
        // The count is enough: every row reads differently from the one before.
        QString before;
        for (int k = 0; k < rows; ++k) {
            const QString text = SampleTimeText(first + k * step, n);
            QVERIFY2(text != before, qPrintable(QString::number(k) + u' ' + text));
            before = text;
        }
        // ... and one fewer is not, where there is one fewer to give.
        if (n > SampleTimeMinDigits) {
            QSet<QString> fewer;
            for (int k = 0; k < rows; ++k)
                fewer.insert(SampleTimeText(first + k * step, n - 1));
            QVERIFY(fewer.size() < rows);
        }
    }
};

QTEST_GUILESS_MAIN(TestSampleTime)
#include "tst_sampletime.moc"
