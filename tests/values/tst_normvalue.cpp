// The unit ladders: the examples of every ladder, every band edge (the
// threshold in single precision and the single just below it, and their
// mirrors on the negative side, from data/ladder_edges.tsv), and the same
// texts under a locale whose decimal separator is a comma.

#include "app/appstate.h"
#include "values/commalocale.h"
#include "values/normvalue.h"

#include <QFile>
#include <QtTest>

namespace {

using Ladder = QString (*)(QStringView);

Ladder ladderNamed(const QString &name)
{
    if (name == u"FormatVolt")
        return FormatVolt;
    if (name == u"FormatTime3")
        return FormatTime3;
    if (name == u"FormatTime4")
        return FormatTime4;
    if (name == u"FormatTime5")
        return FormatTime5;
    if (name == u"FormatFreq")
        return FormatFreq;
    if (name == u"FormatDecibel")
        return FormatDecibel;
    if (name == u"FormatPercent")
        return FormatPercent;
    return nullptr;
}

// Adds the band-edge rows of the ladders whose name starts with prefix.
int addEdgeRows(const QString &prefix)
{
    QFile file(QStringLiteral(KELVO_TEST_DATA "/ladder_edges.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    int rows = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.startsWith(u'#') || line.isEmpty())
            continue;
        const QStringList f = line.split(u'\t');
        if (f.size() != 4 || !f[0].startsWith(prefix))
            continue;
        QTest::newRow(qPrintable(f[3])) << f[0] << f[1] << f[2];
        ++rows;
    }
    return rows;
}

void compareInBothLocales(Ladder ladder, const QString &input, const QString &expected)
{
    QCOMPARE(ladder(input), expected);
    CommaLocale comma;
    QVERIFY(comma.active());
    QCOMPARE(ladder(input), expected);
}

} // namespace

class TestNormValue : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void neverWritesInfinityOrNan()
    {
        // Texts at and beyond the limits of single and double precision,
        // through every ladder and every scale.
        const QStringList texts = {QString(), QStringLiteral("."), QStringLiteral("-"), QStringLiteral("inf"),
            QStringLiteral("nan"), QStringLiteral("1e400"), QStringLiteral("-1e400"), QStringLiteral("1e-400"),
            QStringLiteral("3.4028235e38"), QStringLiteral("3.5e38"), QStringLiteral("-3.5e38"),
            QStringLiteral("1e-45"), QStringLiteral("-1e-45"), QStringLiteral("1e308"), QString(400, u'9'),
            QStringLiteral("-0"), QStringLiteral("0e999999")};
        const QStringList ladders = {QStringLiteral("FormatVolt"), QStringLiteral("FormatTime3"),
            QStringLiteral("FormatTime4"), QStringLiteral("FormatTime5"), QStringLiteral("FormatFreq"),
            QStringLiteral("FormatDecibel"), QStringLiteral("FormatPercent")};
        for (const QString &t : texts) {
            for (const QString &name : ladders) {
                const QString out = ladderNamed(name)(t);
                QVERIFY2(!out.contains(u"inf", Qt::CaseInsensitive) && !out.contains(u"nan", Qt::CaseInsensitive),
                    qPrintable(QStringLiteral("%1(%2) = %3").arg(name, t, out)));
            }
            for (const QString &scale : texts) {
                const QString out = FormatPerDiv(t, scale);
                QVERIFY2(!out.contains(u"inf", Qt::CaseInsensitive) && !out.contains(u"nan", Qt::CaseInsensitive),
                    qPrintable(QStringLiteral("%1 / %2 = %3").arg(t, scale, out)));
            }
        }
    }

    void volt_data()
    {
        QTest::addColumn<QString>("ladder");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString f = QStringLiteral("FormatVolt");
        QTest::newRow("zero") << f << "0" << "0.00uV";
        QTest::newRow("1.5") << f << "1.5" << "1.50V";
        QTest::newRow("-0.0025") << f << "-0.0025" << "-2.50mV";
        QTest::newRow("1.5 uV") << f << "0.0000015" << "1.50uV";
        QTest::newRow("1234.5") << f << "1234.5" << "1.23kV";
        QTest::newRow("-1234.5") << f << "-1234.5" << "-1.23kV";
        QTest::newRow("1e6") << f << "1e6" << "1.00MV";
        QTest::newRow("-1e6 has no MV band") << f << "-1e6" << "??.?V";
        QTest::newRow("9.9995 below 9.9999") << f << "9.9995" << "10.00V";
        QTest::newRow("9.99995") << f << "9.99995" << "10.0V";
        QTest::newRow("0.999985") << f << "0.999985" << "1000mV";
        QTest::newRow("999.98") << f << "999.98" << "1000V";
        QTest::newRow("0.5") << f << "0.5" << "500mV";
        QTest::newRow("-0.2") << f << "-0.2" << "-200mV";
        QTest::newRow("an exact half goes away from zero") << f << "1.125" << "1.13V";
        QTest::newRow("trailing unit text") << f << "2.5V" << "2.50V";
        QTest::newRow("empty text") << f << "" << "0.00uV";
        QTest::newRow("letters first") << f << "V12" << "0.00uV";
        QTest::newRow("beyond single precision") << f << "1e39" << "??.?V";
        QTest::newRow("beyond double precision") << f << "-1e999" << "??.?V";
        QVERIFY(addEdgeRows(f) > 40);
    }
    void volt()
    {
        QFETCH(QString, ladder);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        compareInBothLocales(ladderNamed(ladder), input, expected);
    }

    void time_data()
    {
        QTest::addColumn<QString>("ladder");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString t3 = QStringLiteral("FormatTime3");
        const QString t4 = QStringLiteral("FormatTime4");
        const QString t5 = QStringLiteral("FormatTime5");
        QTest::newRow("T3 1 us") << t3 << "0.000001" << "1.00us";
        QTest::newRow("T3 1 ps") << t3 << "1e-12" << "1.00ps";
        QTest::newRow("T3 half a ps") << t3 << "5e-13" << "0.00s";
        QTest::newRow("T3 1000 s has no overflow text") << t3 << "1000" << "1000s";
        QTest::newRow("T3 -123456 s") << t3 << "-123456" << "-123456s";
        QTest::newRow("T3 1 ms") << t3 << "0.001" << "1.00ms";
        QTest::newRow("T3 500 ns") << t3 << "5e-7" << "500ns";
        QTest::newRow("T3 no number") << t3 << "abc" << "0.00s";
        QTest::newRow("T3 beyond single precision") << t3 << "1e39" << "";
        QTest::newRow("T3 far below zero") << t3 << "-1e39" << "";
        QTest::newRow("T4 1 ms") << t4 << "0.001" << "1.000ms";
        QTest::newRow("T4 zero") << t4 << "0" << "0.000s";
        QTest::newRow("T4 -2.5 us") << t4 << "-0.0000025" << "-2.500us";
        QTest::newRow("T5 100 ms") << t5 << "0.1" << "100.00ms";
        QTest::newRow("T5 1 s") << t5 << "1" << "1.0000s";
        QTest::newRow("T5 1 ms") << t5 << "0.001" << "1.0000ms";
        QTest::newRow("T5 zero") << t5 << "" << "0.0000s";
        QVERIFY(addEdgeRows(QStringLiteral("FormatTime")) > 150);
    }
    void time()
    {
        QFETCH(QString, ladder);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        compareInBothLocales(ladderNamed(ladder), input, expected);
    }

    void freq_data()
    {
        QTest::addColumn<QString>("ladder");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString f = QStringLiteral("FormatFreq");
        QTest::newRow("1 kHz, lower-case k") << f << "1000" << "1.000kHz";
        QTest::newRow("150 Hz") << f << "150" << "150.0Hz";
        QTest::newRow("0.5 Hz") << f << "0.5" << "500.0mHz";
        QTest::newRow("zero") << f << "0" << "??.???";
        QTest::newRow("negative") << f << "-1" << "??.???";
        QTest::newRow("1e12") << f << "1e12" << "??.???";
        QTest::newRow("12.5 MHz") << f << "12.5e6" << "12.50MHz";
        QTest::newRow("no number") << f << "Hz" << "??.???";
        QTest::newRow("beyond single precision") << f << "1e39" << "??.???";
        QVERIFY(addEdgeRows(f) > 25);
    }
    void freq()
    {
        QFETCH(QString, ladder);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        compareInBothLocales(ladderNamed(ladder), input, expected);
    }

    void decibel_data()
    {
        QTest::addColumn<QString>("ladder");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString f = QStringLiteral("FormatDecibel");
        QTest::newRow("zero") << f << "0" << "0.00dB";
        QTest::newRow("-20") << f << "-20" << "-20.0dB";
        QTest::newRow("10000") << f << "10000" << "****dB";
        QTest::newRow("-10000") << f << "-10000" << "-****dB";
        QTest::newRow("-3.01") << f << "-3.01" << "-3.01dB";
        QTest::newRow("-120") << f << "-120" << "-120.0dB";
        QTest::newRow("tiny negative") << f << "-0.001" << "0.00dB";
        QTest::newRow("no number") << f << "" << "0.00dB";
        QVERIFY(addEdgeRows(f) > 10);
    }
    void decibel()
    {
        QFETCH(QString, ladder);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        compareInBothLocales(ladderNamed(ladder), input, expected);
    }

    void percent_data()
    {
        QTest::addColumn<QString>("ladder");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const QString f = QStringLiteral("FormatPercent");
        QTest::newRow("0.05") << f << "0.05" << "5.00%";
        QTest::newRow("0.5") << f << "0.5" << "50.0%";
        QTest::newRow("0.123") << f << "0.123" << "12.3%";
        QTest::newRow("2") << f << "2" << "200.0%";
        QTest::newRow("no number") << f << "x" << "0.00%";
        QTest::newRow("beyond single precision") << f << "1e39" << "";
        QVERIFY(addEdgeRows(f) > 3);
    }
    void percent()
    {
        QFETCH(QString, ladder);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        compareInBothLocales(ladderNamed(ladder), input, expected);
    }

    void perDiv_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.5 over 0.2") << "0.5" << "0.2" << "2.50div";
        QTest::newRow("0.5 over 1") << "0.5" << "1" << "0.50div";
        QTest::newRow("negative") << "-0.5" << "0.2" << "-2.50div";
        QTest::newRow("scale texts with unit") << "1.2" << "0.5V" << "2.40div";
        QTest::newRow("tiny quotient") << "0.001" << "1" << "0.00div";
        QTest::newRow("double precision") << "1" << "3" << "0.33div";
        QTest::newRow("no value") << "" << "0.2" << "0.00div";
        // A zero or unreadable scale, or a quotient beyond a double, gives no
        // text: never "inf" or "nan", never an error.
        QTest::newRow("zero scale (AC line)") << "0.5" << "0" << "";
        QTest::newRow("unreadable scale") << "0.5" << "AC" << "";
        QTest::newRow("empty scale") << "0" << "" << "";
        QTest::newRow("quotient overflows") << "1e300" << "1e-300" << "";
        // A level no display can mean gives no text either, never hundreds of
        // digits: 1e308 V at 2 V/div, the largest double (what "1e600"
        // reads as) at 1 V/div.
        QTest::newRow("1e308 over 2") << "1e308" << "2" << "";
        QTest::newRow("1e600 over 1") << "1e600" << "1" << "";
        QTest::newRow("-1e308 over 0.5") << "-1e308" << "0.5" << "";
        QTest::newRow("a million divisions") << "1e6" << "1" << "";
        QTest::newRow("minus a million divisions") << "-2e6" << "2" << "";
        QTest::newRow("tiny scale") << "1" << "1e-300" << "";
        QTest::newRow("just below a million") << "999999.99" << "1" << "999999.99div";
        QTest::newRow("hundreds of divisions") << "-1" << "0.002" << "-500.00div";
    }
    void perDiv()
    {
        QFETCH(QString, value);
        QFETCH(QString, scale);
        QFETCH(QString, expected);
        const QString scaleBefore = scale;
        QCOMPARE(FormatPerDiv(value, scale), expected);
        QCOMPARE(scale, scaleBefore);
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(FormatPerDiv(value, scale), expected);
    }
};

QTEST_GUILESS_MAIN(TestNormValue)
#include "tst_normvalue.moc"
