// Value replies of the instrument: the prefix parsers, the percent parser,
// CutAtLF and the ValueValid flag, which every call rewrites.

#include "app/appstate.h"
#include "values/commalocale.h"
#include "values/valuereply.h"

#include <QtTest>

namespace {
using Parser = double (*)(QStringView);

Parser parserNamed(const QString &name)
{
    if (name == u"ParseFreq")
        return ParseFreq;
    if (name == u"ParseVolt")
        return ParseVolt;
    if (name == u"ParseVoltM")
        return ParseVoltM;
    if (name == u"ParseTime")
        return ParseTime;
    if (name == u"ParsePercentValue")
        return ParsePercentValue;
    return nullptr;
}
} // namespace

class TestValueReply : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void validStartsFalse() { QCOMPARE(ValueValid(), qint16(0)); }

    void cutAtLF_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line feed and more") << "ON\nrest" << "ON";
        QTest::newRow("no line feed") << "2.00mV" << "2.00mV";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("line feed first") << "\nON" << "";
        QTest::newRow("CR LF") << "ON\r\n" << "ON";
        QTest::newRow("carriage return alone") << "Y-T\rrest" << "Y-T";
        QTest::newRow("carriage return first") << "\r\nON" << "";
    }
    void cutAtLF()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(CutAtLF(text), expected);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("parser");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("valid");
        const QString f = QStringLiteral("ParseFreq");
        const QString v = QStringLiteral("ParseVolt");
        const QString vm = QStringLiteral("ParseVoltM");
        const QString t = QStringLiteral("ParseTime");
        const QString p = QStringLiteral("ParsePercentValue");
        QTest::newRow("freq kHz") << f << "1.234kHz" << 1234.0 << true;
        QTest::newRow("freq Hz") << f << "50.00Hz" << 50.0 << true;
        QTest::newRow("freq MHz") << f << "10.0MHz" << 10000000.0 << true;
        QTest::newRow("freq GHz") << f << "1.5GHz" << 1500000000.0 << true;
        QTest::newRow("freq mHz") << f << "500.0mHz" << 0.5 << true;
        QTest::newRow("freq capital K is no prefix") << f << "1.0KHz" << 0.0 << false;
        QTest::newRow("freq prefix and unit only") << f << "kHz" << 0.0 << true;
        QTest::newRow("freq unit only") << f << "Hz" << 0.0 << false;
        QTest::newRow("freq bare number") << f << "1.234" << 0.0 << false;
        QTest::newRow("freq with line feed") << f << "1.234kHz\n" << 1234.0 << true;
        QTest::newRow("freq unit after the line feed") << f << "1.234\nkHz" << 0.0 << false;
        QTest::newRow("volt mV with line feed") << v << "2.00mV\n" << 0.002 << true;
        QTest::newRow("volt V") << v << "2.00V" << 2.0 << true;
        QTest::newRow("volt 500mV") << v << "500mV" << 0.5 << true;
        QTest::newRow("volt uV") << v << "3.5uV" << 0.0000035 << true;
        QTest::newRow("volt nV") << v << "20nV" << 2e-8 << true;
        QTest::newRow("volt pV") << v << "7pV" << 7e-12 << true;
        QTest::newRow("volt kV") << v << "1.2kV" << 1200.0 << true;
        QTest::newRow("volt negative") << v << "-1.5mV" << -0.0015 << true;
        QTest::newRow("volt less-than") << v << "<2.00mV" << 0.0 << false;
        QTest::newRow("volt greater-than") << v << "2.00mV>" << 0.0 << false;
        QTest::newRow("volt stars") << v << "****" << 0.0 << false;
        QTest::newRow("volt star after the line feed") << v << "2.00mV\n*" << 0.0 << false;
        QTest::newRow("volt MV unknown") << v << "1.00MV" << 0.0 << false;
        QTest::newRow("volt blank before unit") << v << "1.00 V" << 0.0 << false;
        QTest::newRow("volt empty") << v << "" << 0.0 << false;
        QTest::newRow("voltM MV") << vm << "1.00MV" << 1000000.0 << true;
        QTest::newRow("voltM mV") << vm << "2.00mV" << 0.002 << true;
        QTest::newRow("voltM nV unknown") << vm << "20nV" << 0.0 << false;
        QTest::newRow("voltM pV unknown") << vm << "7pV" << 0.0 << false;
        QTest::newRow("time ns") << t << "500.0ns" << 0.0000005 << true;
        QTest::newRow("time s") << t << "2.000s" << 2.0 << true;
        QTest::newRow("time ps") << t << "100ps" << 1e-10 << true;
        QTest::newRow("time us") << t << "10.00us" << 0.00001 << true;
        QTest::newRow("time ms") << t << "1.000ms" << 0.001 << true;
        QTest::newRow("time capital S") << t << "2.000S" << 0.0 << false;
        QTest::newRow("time comma decimal") << t << "2,5ms" << 0.002 << true;
        QTest::newRow("percent") << p << "12.3%" << 0.123 << true;
        QTest::newRow("percent without %") << p << "12.3" << 0.0 << false;
        QTest::newRow("percent greater-than") << p << ">99.9%" << 0.0 << false;
        QTest::newRow("percent with line feed") << p << "50%\n" << 0.5 << true;
        QTest::newRow("percent letter before %") << p << "50x%" << 0.5 << true;
        QTest::newRow("percent alone") << p << "%" << 0.0 << true;
    }
    void parse()
    {
        QFETCH(QString, parser);
        QFETCH(QString, reply);
        QFETCH(double, expected);
        QFETCH(bool, valid);
        const Parser fn = parserNamed(parser);
        // The flag describes this call only, whatever the last one left.
        app().values.ValueValid = valid ? 0 : -1;
        QCOMPARE(fn(reply), expected);
        QCOMPARE(ValueValid(), qint16(valid ? -1 : 0));

        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(fn(reply), expected);
    }

    void parseTimeText_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ns") << "500.0ns" << "500.000E-9" << true;
        QTest::newRow("ms") << "1.5ms" << "1.500E-3" << true;
        QTest::newRow("s") << "2.000s" << "2.000" << true;
        QTest::newRow("zero s") << "0.0000s" << "0.000" << true;
        QTest::newRow("ns with line feed") << "100ns\n" << "100.000E-9" << true;
        QTest::newRow("us") << "10.00us" << "10.000E-6" << true;
        QTest::newRow("ps") << "4ps" << "4.000E-12" << true;
        QTest::newRow("many decimals") << "1.23456789us" << "1.23456789E-6" << true;
        QTest::newRow("less-than") << "<1.0us" << "" << false;
        QTest::newRow("other letter") << "1.0xs" << "" << false;
        QTest::newRow("no s") << "1.0" << "" << false;
    }
    void parseTimeText()
    {
        QFETCH(QString, reply);
        QFETCH(QString, expected);
        QFETCH(bool, valid);
        app().values.ValueValid = valid ? 0 : -1;
        QCOMPARE(ParseTimeText(reply), expected);
        QCOMPARE(ValueValid(), qint16(valid ? -1 : 0));
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(ParseTimeText(reply), expected);
    }

};

QTEST_GUILESS_MAIN(TestValueReply)
#include "tst_valuereply.moc"
