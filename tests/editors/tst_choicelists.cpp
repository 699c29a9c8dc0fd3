// The choice-list fillers: the time/div steps by format and bandwidth class
// (asked of the simulator), the trigger level and sensitivity steps, and the
// logic sources.
#include "editors/choicelists.h"

#include "link/linkfixture.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/valuereply.h"

#include <QtTest>

#include <cmath>

class TestChoiceLists : public QObject {
    Q_OBJECT

    // Seconds of a time/div entry ("500.0us" -> 5e-4).
    static double seconds(const QString &entry) { return ParseTime(entry); }

private slots:
    void timeDiv_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("bandwidthClass");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");

        QTest::newRow("Y-T class 0") << "Y-T" << 0 << 29 << "20.00ns" << "50.00s";
        QTest::newRow("Y-T class 1") << "Y-T" << 1 << 30 << "10.00ns" << "50.00s";
        QTest::newRow("Y-T class 2") << "Y-T" << 2 << 31 << "5.000ns" << "50.00s";
        QTest::newRow("Y-T class 3") << "Y-T" << 3 << 32 << "2.000ns" << "50.00s";
        QTest::newRow("Y-T class 4") << "Y-T" << 4 << 33 << "1.000ns" << "50.00s";
        QTest::newRow("Y-T class 5") << "Y-T" << 5 << 33 << "1.000ns" << "50.00s";
        QTest::newRow("roll class 3") << "SCANNING" << 3 << 32 << "2.000ns" << "50.00s";
        QTest::newRow("X-Y class 0") << "X-Y" << 0 << 13 << "1.000us" << "10.00ms";
        QTest::newRow("X-Y class 4") << "X-Y" << 4 << 13 << "1.000us" << "10.00ms";
        QTest::newRow("trailing blank") << "Y-T " << 4 << 0 << "" << "";
        QTest::newRow("empty reply") << "" << 4 << 0 << "" << "";
        QTest::newRow("lower case") << "y-t" << 4 << 0 << "" << "";
    }
    void timeDiv()
    {
        QFETCH(QString, format);
        QFETCH(int, bandwidthClass);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QStringList list = TimeDivChoices(format, bandwidthClass);
        QCOMPARE(list.size(), count);
        if (count == 0)
            return;
        QCOMPARE(list.first(), first);
        QCOMPARE(list.last(), last);
        for (int i = 0; i < list.size(); ++i) {
            // Each entry is the text a read-back of its value gives, so a
            // time/div read from the instrument selects its entry.
            QCOMPARE(FormatTime4(NumberText(seconds(list[i]))), list[i]);
            // Ascending in 1-2-5 steps.
            if (i > 0) {
                const double ratio = seconds(list[i]) / seconds(list[i - 1]);
                QVERIFY2(std::fabs(ratio - 2) < 1e-9 || std::fabs(ratio - 2.5) < 1e-9, qPrintable(list[i]));
            }
        }
    }

    void timeDivAsksTheInstrument_data()
    {
        QTest::addColumn<QByteArray>("formatCommand");
        QTest::addColumn<int>("count");
        QTest::newRow("Y-T") << QByteArray(":TIMEBASE:FORMAT YT") << 32;
        QTest::newRow("X-Y") << QByteArray(":TIMEBASE:FORMAT XY") << 13;
        QTest::newRow("roll") << QByteArray(":TIMEBASE:FORMAT SCANNING") << 32;
    }
    void timeDivAsksTheInstrument()
    {
        QFETCH(QByteArray, formatCommand);
        QFETCH(int, count);
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        QCOMPARE(app().link.BandwidthClass, quint8(3)); // the simulator's QM4102CD
        f.sim.handle(formatCommand, Qm4100Sim::Framing::VisaUsb);
        f.sim.clearLog();
        QStringList entries{QStringLiteral("kept")};
        SetCtrlDialogTimeDivNum(entries);
        QCOMPARE(f.lines(), QList<QByteArray>{":TIMEBASE:FORMAT?"});
        QCOMPARE(entries.size(), 1 + count);
        QCOMPARE(entries.first(), QStringLiteral("kept"));
    }

    void timeDivWithoutAReply()
    {
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults quiet;
        quiet.noReply = true;
        f.sim.setFaults(quiet);
        QStringList entries;
        SetCtrlDialogTimeDivNum(entries);
        QVERIFY(entries.isEmpty());
        QVERIFY(!app().link.LinkConnected); // a serial time-out loses the link, as a failed VISA read does
    }

    void levels()
    {
        QStringList list{QStringLiteral("kept")};
        SetCtrlDialogTrigLevelNum(list);
        QCOMPARE(list.takeFirst(), QStringLiteral("kept"));
        QCOMPARE(list.size(), 301);
        QCOMPARE(list.first(), QStringLiteral("6.00div"));
        QCOMPARE(list.last(), QStringLiteral("-6.00div"));
        QCOMPARE(list.at(150), QStringLiteral("0.00div"));
        QVERIFY(!list.contains(QStringLiteral("-0.00div")));
        QCOMPARE(list.indexOf(QStringLiteral("0.00div")), 150);
        QCOMPARE(list.removeDuplicates(), 0);
        for (int i = 0; i < list.size(); ++i) {
            QVERIFY2(list[i].endsWith(QLatin1String("div")), qPrintable(list[i]));
            // Whole hundredths 600 - 4 i, written with exactly two decimals.
            const double v = ReadNumber(list[i]);
            QCOMPARE(qRound(v * 100), 600 - 4 * i);
            QCOMPARE(list[i].indexOf(u'.'), list[i].size() - 6);
        }
    }

    void sensitivities()
    {
        QStringList list;
        SetCtrlDialogTrigSensitivityNum(list);
        QCOMPARE(list.size(), 91);
        QCOMPARE(list.first(), QStringLiteral("1.00div"));
        QCOMPARE(list.last(), QStringLiteral("0.10div"));
        QCOMPARE(list.removeDuplicates(), 0);
        for (int i = 0; i < list.size(); ++i) {
            QCOMPARE(qRound(ReadNumber(list[i]) * 100), 100 - i);
            QVERIFY(list[i].endsWith(QLatin1String("div")));
        }
        // The instrument's reset sensitivity as the download shows it.
        QVERIFY(list.contains(ApplyNumberPattern(0.1, u"#0.00div")));
    }

    void laSources()
    {
        QStringList list{QStringLiteral("CH1")};
        AddLaSource(list);
        QCOMPARE(list.size(), 17);
        QCOMPARE(list.at(1), QStringLiteral("D0"));
        QCOMPARE(list.at(11), QStringLiteral("D10"));
        QCOMPARE(list.last(), QStringLiteral("D15"));
    }
};

QTEST_MAIN(TestChoiceLists)
#include "tst_choicelists.moc"
