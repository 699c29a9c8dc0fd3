// The editor fillers (number, unit position and result per band, "???.?"
// out of range, "KHz" with a capital K) and the plain number texts of
// commands. Every text uses "." whatever the locale.

#include "app/appstate.h"
#include "values/commalocale.h"
#include "values/valueeditors.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace {

using Filler = EditorText (*)(double);

Filler fillerNamed(const QString &name)
{
    if (name == u"volt")
        return ShowVoltInEditor;
    if (name == u"freq")
        return ShowFreqInEditor;
    if (name == u"time")
        return ShowTimeInEditor;
    if (name == u"percent")
        return ShowPercentInEditor;
    return nullptr;
}

// Stand-ins for a text box and a unit list.
struct FakeBox {
    QString text;
    void setText(const QString &t) { text = t; }
};
struct FakeList {
    int index = -1;
    void setCurrentIndex(int i) { index = i; }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

class TestValueEditors : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void fillers_data()
    {
        QTest::addColumn<QString>("filler");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("result");
        const QString v = QStringLiteral("volt");
        QTest::newRow("volt 2.5 mV") << v << 0.0025 << "2.500" << 3 << "2.500mV";
        QTest::newRow("volt zero in uV") << v << 0.0 << "0.000" << 4 << "0.000uV";
        QTest::newRow("volt -0.5 in mV") << v << -0.5 << "-500.000" << 3 << "-500.000mV";
        QTest::newRow("volt overflow") << v << 2000000000.0 << "???.?" << 2 << "???.?V";
        QTest::newRow("volt 1e9 still MV") << v << 1000000000.0 << "1000.000" << 0 << "1000.000MV";
        QTest::newRow("volt -1e9 overflow") << v << -1000000000.0 << "???.?" << 2 << "???.?V";
        QTest::newRow("volt 1 MV") << v << 1000000.0 << "1.000" << 0 << "1.000MV";
        QTest::newRow("volt 1 kV") << v << 1000.0 << "1.000" << 1 << "1.000kV";
        QTest::newRow("volt 1 V") << v << 1.0 << "1.000" << 2 << "1.000V";
        QTest::newRow("volt 1 mV") << v << 0.001 << "1.000" << 3 << "1.000mV";
        QTest::newRow("volt -1 mV") << v << -0.001 << "-1.000" << 3 << "-1.000mV";
        QTest::newRow("volt small negative in uV") << v << -0.0005 << "-500.000" << 4 << "-500.000uV";
        QTest::newRow("volt -1 V") << v << -1.0 << "-1.000" << 2 << "-1.000V";
        QTest::newRow("volt -1 kV") << v << -1000.0 << "-1.000" << 1 << "-1.000kV";
        QTest::newRow("volt -1 MV") << v << -1000000.0 << "-1.000" << 0 << "-1.000MV";
        QTest::newRow("volt nan") << v << kNaN << "???.?" << 2 << "???.?V";
        const QString f = QStringLiteral("freq");
        QTest::newRow("freq 1500 in KHz") << f << 1500.0 << "1.500" << 2 << "1.500KHz";
        QTest::newRow("freq negative") << f << -1.0 << "???.?" << 3 << "???.?Hz";
        QTest::newRow("freq overflow") << f << 2e12 << "???.?" << 3 << "???.?Hz";
        QTest::newRow("freq 1e12 still GHz") << f << 1e12 << "1000.000" << 0 << "1000.000GHz";
        QTest::newRow("freq 1 GHz") << f << 1e9 << "1.000" << 0 << "1.000GHz";
        QTest::newRow("freq 1 MHz") << f << 1e6 << "1.000" << 1 << "1.000MHz";
        QTest::newRow("freq 1 Hz") << f << 1.0 << "1.000" << 3 << "1.000Hz";
        QTest::newRow("freq zero in mHz") << f << 0.0 << "0.000" << 4 << "0.000mHz";
        QTest::newRow("freq 0.5 Hz") << f << 0.5 << "500.000" << 4 << "500.000mHz";
        QTest::newRow("freq nan") << f << kNaN << "???.?" << 3 << "???.?Hz";
        const QString t = QStringLiteral("time");
        QTest::newRow("time 2.5 us") << t << 0.0000025 << "2.500" << 2 << "2.500us";
        QTest::newRow("time -2.5 us") << t << -0.0000025 << "-2.500" << 2 << "-2.500us";
        QTest::newRow("time overflow") << t << 5000.0 << "???.?" << 4 << "???.?s";
        QTest::newRow("time 1000 s overflow") << t << 1000.0 << "???.?" << 4 << "???.?s";
        QTest::newRow("time -1000 s overflow") << t << -1000.0 << "???.?" << 4 << "???.?s";
        QTest::newRow("time 1 s") << t << 1.0 << "1.000" << 4 << "1.000s";
        QTest::newRow("time 1 ms") << t << 0.001 << "1.000" << 3 << "1.000ms";
        QTest::newRow("time 1 ns") << t << 1e-9 << "1.000" << 1 << "1.000ns";
        QTest::newRow("time zero in ps") << t << 0.0 << "0.000" << 0 << "0.000ps";
        QTest::newRow("time -1 ns") << t << -1e-9 << "-1.000" << 1 << "-1.000ns";
        QTest::newRow("time -1 ms") << t << -0.001 << "-1.000" << 3 << "-1.000ms";
        QTest::newRow("time -1 s") << t << -1.0 << "-1.000" << 4 << "-1.000s";
        QTest::newRow("time infinity") << t << kInf << "???.?" << 4 << "???.?s";
        const QString p = QStringLiteral("percent");
        QTest::newRow("percent 0.125") << p << 0.125 << "12.50" << 0 << "12.50%";
        QTest::newRow("percent negative") << p << -0.5 << "-50.00" << 0 << "-50.00%";
        QTest::newRow("percent nan") << p << kNaN << "???.?" << 0 << "???.?%";
        QTest::newRow("percent overflowing x 100") << p << 1e308 * 10.0 << "???.?" << 0 << "???.?%";
    }
    void fillers()
    {
        QFETCH(QString, filler);
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, result);
        const EditorText e = fillerNamed(filler)(value);
        QCOMPARE(e.text, text);
        QCOMPARE(e.position, position);
        QCOMPARE(e.result, result);

        FakeBox box;
        FakeList list;
        QCOMPARE(ApplyToEditor(box, list, e), result);
        QCOMPARE(box.text, text);
        QCOMPARE(list.index, position);

        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(fillerNamed(filler)(value).result, result);
    }

    void plainTexts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.5 ms") << "time" << 0.0005 << "0.5ms";
        QTest::newRow("1 us") << "time" << 0.000001 << "1.0us";
        QTest::newRow("1.25 us in ms") << "time" << 0.00000125 << "0.00125ms";
        QTest::newRow("2 s") << "time" << 2.0 << "2.0s";
        QTest::newRow("2 ms in s") << "time" << 0.002 << "0.002s";
        QTest::newRow("zero") << "time" << 0.0 << "0.0ns";
        QTest::newRow("-0.5 s in ns") << "time" << -0.5 << "-500000000.0ns";
        QTest::newRow("-1 ms in ns") << "time" << -0.001 << "-1000000.0ns";
        QTest::newRow("1 ns") << "time" << 1e-9 << "1.0ns";
        QTest::newRow("1 ms") << "time" << 0.001 << "1.0ms";
        QTest::newRow("all significant digits") << "time" << 1.23456789012345 << "1.23456789012345s";
        QTest::newRow("infinity") << "time" << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("2.5 v") << "volt" << 2.5 << "2.5v";
        QTest::newRow("0.02 v") << "volt" << 0.02 << "0.02v";
        QTest::newRow("0.5 mv") << "volt" << 0.0005 << "0.5mv";
        QTest::newRow("0.5 uv") << "volt" << 0.0000005 << "0.5uv";
        QTest::newRow("2 uv in mv") << "volt" << 0.000002 << "0.002mv";
        QTest::newRow("-2 v in nv") << "volt" << -2.0 << "-2000000000.0nv";
        QTest::newRow("command text") << "command" << 0.0005 << "0.5ms";
        QTest::newRow("command text 10 s") << "command" << 10.0 << "10.0s";
    }
    void plainTexts()
    {
        QFETCH(QString, kind);
        QFETCH(double, value);
        QFETCH(QString, expected);
        auto run = [&] {
            if (kind == u"time")
                return TimeToPlainText(value);
            if (kind == u"volt")
                return VoltToPlainText(value);
            return TimeToCommandText(value);
        };
        QCOMPARE(run(), expected);
        CommaLocale comma;
        QVERIFY(comma.active());
        QCOMPARE(run(), expected);
    }
};

QTEST_GUILESS_MAIN(TestValueEditors)
#include "tst_valueeditors.moc"
