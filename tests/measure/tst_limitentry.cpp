// Limit entry: the unit lists, the number test of the limit boxes, the
// conversion of a typed number and unit into base units, and how a stored
// limit is shown again.

#include "app/appstate.h"
#include "measure/limitentry.h"
#include "measure/meastable.h"

#include <QtTest>

Q_DECLARE_METATYPE(MeasKind)

class TestLimitEntry : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }

    void unitLists()
    {
        QCOMPARE(limitUnits(MeasKind::Volt), QStringList({"MV", "kV", "V", "mV", "uV"}));
        QCOMPARE(limitUnits(MeasKind::Frequency), QStringList({"GHz", "MHz", "kHz", "Hz", "mHz"}));
        QCOMPARE(limitUnits(MeasKind::Time), QStringList({"ps", "ns", "us", "ms", "s"}));
        QCOMPARE(limitUnits(MeasKind::Percent), QStringList({"%"}));
    }

    void classify_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const int ignore = int(LimitInput::Ignore), store = int(LimitInput::Store), invalid = int(LimitInput::Invalid);
        QTest::newRow("empty") << "" << ignore;
        QTest::newRow("lone minus") << "-" << ignore;
        QTest::newRow("integer") << "5" << store;
        QTest::newRow("negative") << "-5" << store;
        QTest::newRow("decimal") << "1.5" << store;
        QTest::newRow("trailing point") << "5." << store;
        QTest::newRow("leading point") << ".5" << store;
        QTest::newRow("exponent") << "2e3" << store;
        QTest::newRow("signed exponent") << "-1.5E-3" << store;
        QTest::newRow("plus") << "+2" << store;
        QTest::newRow("letters") << "abc" << invalid;
        QTest::newRow("number and unit") << "5mV" << invalid;
        QTest::newRow("two points") << "1.2.3" << invalid;
        QTest::newRow("double minus") << "--5" << invalid;
        QTest::newRow("minus plus") << "-+5" << invalid;
        QTest::newRow("blank") << " 5" << invalid;
        QTest::newRow("lone point") << "." << invalid;
        QTest::newRow("open exponent") << "2e" << invalid;
        QTest::newRow("comma") << "1,5" << invalid;
    }
    void classify()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(ClassifyLimitInput(text)), expected);
    }

    // While a limit is typed: a number is stored, a text that can still
    // become one waits, and only a text no typing can make a number is
    // refused.
    void classifyTyping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const int ignore = int(LimitInput::Ignore), store = int(LimitInput::Store), invalid = int(LimitInput::Invalid);
        QTest::newRow("empty") << "" << ignore;
        QTest::newRow("lone minus") << "-" << ignore;
        QTest::newRow("lone plus") << "+" << ignore;
        QTest::newRow("lone point") << "." << ignore;
        QTest::newRow("minus point") << "-." << ignore;
        QTest::newRow("open exponent") << "1e" << ignore;
        QTest::newRow("open capital exponent") << "2.5E" << ignore;
        QTest::newRow("exponent sign") << "1e-" << ignore;
        QTest::newRow("exponent plus") << "-1.e+" << ignore;
        QTest::newRow("leading point") << ".8" << store;
        QTest::newRow("exponent") << "1e3" << store;
        QTest::newRow("negative exponent") << "-1e-3" << store;
        QTest::newRow("trailing point") << "5." << store;
        QTest::newRow("letters") << "abc" << invalid;
        QTest::newRow("number and letter") << "1x" << invalid;
        QTest::newRow("two points") << "1.2." << invalid;
        QTest::newRow("exponent without a digit") << ".e" << invalid;
        QTest::newRow("lone exponent") << "e" << invalid;
        QTest::newRow("point in the exponent") << "1e5." << invalid;
        QTest::newRow("two exponents") << "1e5e" << invalid;
        QTest::newRow("double minus") << "--" << invalid;
        QTest::newRow("minus plus") << "-+" << invalid;
        QTest::newRow("blank") << " " << invalid;
        QTest::newRow("comma") << "1," << invalid;
    }
    void classifyTyping()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(ClassifyLimitTyping(text)), expected);
        // Whatever waits while typed is judged whole as the number test says.
        if (expected == int(LimitInput::Ignore) && !text.isEmpty() && text != QLatin1String("-"))
            QCOMPARE(int(ClassifyLimitInput(text)), int(LimitInput::Invalid));
    }

    void convertAndShow_data()
    {
        QTest::addColumn<MeasKind>("kind");
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shownNumber");
        QTest::addColumn<int>("shownUnit");

        QTest::newRow("1.5 mV") << MeasKind::Volt << "1.5" << 3 << 0.0015 << "1.500" << 3;
        QTest::newRow("1500 mV") << MeasKind::Volt << "1500" << 3 << 1.5 << "1.500" << 2;
        QTest::newRow("-2 ms") << MeasKind::Time << "-2" << 3 << -0.002 << "-2.000" << 3;
        QTest::newRow("2e3 Hz") << MeasKind::Frequency << "2e3" << 3 << 2000.0 << "2.000" << 2;
        QTest::newRow("12.5 %") << MeasKind::Percent << "12.5" << 0 << 0.125 << "12.50" << 0;
        QTest::newRow("5. V") << MeasKind::Volt << "5." << 2 << 5.0 << "5.000" << 2;
        QTest::newRow("5. mV") << MeasKind::Volt << "5." << 3 << 0.005 << "5.000" << 3;
        QTest::newRow("3 MV") << MeasKind::Volt << "3" << 0 << 3000000.0 << "3.000" << 0;
        QTest::newRow("250 uV") << MeasKind::Volt << "250" << 4 << 0.00025 << "250.000" << 4;
        QTest::newRow("-250 uV") << MeasKind::Volt << "-250" << 4 << -0.00025 << "-250.000" << 4;
        QTest::newRow("-1.5 kV") << MeasKind::Volt << "-1.5" << 1 << -1500.0 << "-1.500" << 1;
        QTest::newRow("1.5 GHz") << MeasKind::Frequency << "1.5" << 0 << 1.5e9 << "1.500" << 0;
        QTest::newRow("500 mHz") << MeasKind::Frequency << "500" << 4 << 0.5 << "500.000" << 4;
        QTest::newRow("10 ns") << MeasKind::Time << "10" << 1 << 1e-8 << "10.000" << 1;
        QTest::newRow("30 ps") << MeasKind::Time << "30" << 0 << 3e-11 << "30.000" << 0;
        QTest::newRow("2 s") << MeasKind::Time << "2" << 4 << 2.0 << "2.000" << 4;
        QTest::newRow("zero volt") << MeasKind::Volt << "0" << 2 << 0.0 << "0.000" << 4;
        QTest::newRow("zero freq") << MeasKind::Frequency << "0" << 3 << 0.0 << "0.000" << 4;
        QTest::newRow("zero time") << MeasKind::Time << "0" << 4 << 0.0 << "0.000" << 0;
        QTest::newRow("zero percent") << MeasKind::Percent << "0" << 0 << 0.0 << "0.00" << 0;
        QTest::newRow("2e9 V") << MeasKind::Volt << "2e9" << 2 << 2e9 << "???.?" << 2;
        QTest::newRow("1e9 V") << MeasKind::Volt << "1e9" << 2 << 1e9 << "1000.000" << 0;
        QTest::newRow("negative freq") << MeasKind::Frequency << "-5" << 3 << -5.0 << "???.?" << 3;
        QTest::newRow("-1000 s") << MeasKind::Time << "-1000" << 4 << -1000.0 << "???.?" << 4;
        QTest::newRow("not a number") << MeasKind::Volt << "abc" << 2 << 0.0 << "0.000" << 4;
        QTest::newRow("huge") << MeasKind::Volt << "1e400" << 0 << std::numeric_limits<double>::max() << "???.?" << 2;
    }
    void convertAndShow()
    {
        QFETCH(MeasKind, kind);
        QFETCH(QString, number);
        QFETCH(int, unit);
        QFETCH(double, stored);
        QFETCH(QString, shownNumber);
        QFETCH(int, shownUnit);
        const double v = ConvertLimitText(kind, number, unit);
        QCOMPARE(v, stored);
        const EditorText shown = ShowLimit(kind, v);
        QCOMPARE(shown.text, shownNumber);
        QCOMPARE(shown.position, shownUnit);
        // A shown number reads back with its unit to the same unit band.
        if (shown.text != QLatin1String("???.?"))
            QVERIFY(qFuzzyCompare(1.0 + ConvertLimitText(kind, shown.text, shown.position), 1.0 + v));
    }

    void unitOutsideList()
    {
        QCOMPARE(ConvertLimitText(MeasKind::Percent, QStringLiteral("5"), 1), 0.0);
        QCOMPARE(ConvertLimitText(MeasKind::Volt, QStringLiteral("5"), -1), 0.0);
        QCOMPARE(limitUnitFactor(MeasKind::Volt, 5), 0.0);
    }
};

QTEST_MAIN(TestLimitEntry)
#include "tst_limitentry.moc"
