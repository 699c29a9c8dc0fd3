// The block decoders and the data-table builder, on hand-made buffers.

#include "app/appstate.h"
#include "transfer/blockdecode.h"

#include <QtTest>

namespace {
WorkPoints pointsOf(const QList<int> &levels)
{
    WorkPoints pts(TransferData::WorkPtsSize, 0);
    for (int i = 0; i < levels.size(); ++i)
        pts[size_t(i) + 1] = levels[i];
    return pts;
}
} // namespace

class TestBlockDecode : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void analogRows_data()
    {
        QTest::addColumn<bool>("invertRunning");
        QTest::addColumn<QList<int>>("rows");
        // Levels 0, 25, 125, 224, 225, 255.
        QTest::newRow("plain") << false << QList<int>{0, 0, 100, 199, 199, 199};
        QTest::newRow("inverted while running") << true << QList<int>{200, 200, 100, 1, 1, 1};
    }
    void analogRows()
    {
        QFETCH(bool, invertRunning);
        QFETCH(QList<int>, rows);
        const WorkPoints pts = pointsOf({0, 25, 125, 224, 225, 255, 77});
        const QList<qint32> out = DecodeAnalogRows(pts, 6, invertRunning);
        QCOMPARE(out.size(), TransferData::WorkPtsSize);
        QCOMPARE(out[0], 0);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(out[i + 1], rows[i]);
        QCOMPARE(out[7], 0); // past the block: 0, not the stale 77
    }

    void fftRows_data()
    {
        QTest::addColumn<bool>("split");
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("full") << false << QList<int>{10, 25, 224, 240} << QList<int>{0, 0, 199, 199};
        QTest::newRow("split") << true << QList<int>{12, 13, 14, 50, 51, 52, 224}
                               << QList<int>{0, 0, 2, 38, 38, 40, 199};
    }
    void fftRows()
    {
        QFETCH(bool, split);
        QFETCH(QList<int>, levels);
        QFETCH(QList<int>, rows);
        const QList<qint32> out = DecodeFftRows(pointsOf(levels), int(levels.size()), split);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(out[i + 1], rows[i]);
    }

    void logicRowsCopyTheWholeBuffer()
    {
        WorkPoints pts = pointsOf({1, 2, 3});
        pts[0] = 9;
        pts[8192] = 5;
        const QList<qint32> out = CopyLogicRows(pts);
        QCOMPARE(out.size(), TransferData::WorkPtsSize);
        QCOMPARE(out[0], 9);
        QCOMPARE(out[3], 3);
        QCOMPARE(out[8192], 5);
    }

    void storingIsBounded()
    {
        WorkPoints pts(TransferData::WorkPtsSize, 7);
        QCOMPARE(StoreBlockPoints(QByteArray(20000, '\x01'), &pts), 8192);
        QCOMPARE(pts[0], 7);
        QCOMPARE(pts[8192], 1);
        // A short buffer takes only what fits.
        WorkPoints small(10, 0);
        QCOMPARE(StoreBlockPoints(QByteArray(50, '\x02'), &small), 9);
        // A count beyond the buffer decodes only the points it holds.
        const QList<qint32> rows = DecodeAnalogRows(small, 5000, true);
        QCOMPARE(rows[9], 200); // level 2 limited to the top line, inverted
        QCOMPARE(rows[10], 0);

        SetupBlock last;
        last.LAHeightD8D15 = 42;
        StoreSetupBytes(QByteArray(300, '\x03'), &last);
        QCOMPARE(last.FirstPoint, qint16(0x0303));
        QCOMPARE(last.encode(), QByteArray(116, '\x03'));
        SetupBlock kept;
        kept.LAHeightD8D15 = 42;
        StoreSetupBytes(QByteArray(4, '\0'), &kept);
        QCOMPARE(kept.LAHeightD8D15, quint8(42)); // a short reply overwrites only its bytes
    }

    void sciText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.5") << 1.5 << "1.50E+00";
        QTest::newRow("0.0012") << 0.0012 << "1.20E-03";
        QTest::newRow("-0.0012") << -0.0012 << "-1.20E-03";
        QTest::newRow("-1.5") << -1.5 << "-1.50E00";
        QTest::newRow("0") << 0.0 << "0.00E00";
        QTest::newRow("12.5") << 12.5 << "1.25E+01";
        QTest::newRow("-150") << -150.0 << "-1.50E02";
        QTest::newRow("9.996 rounds up") << 9.996 << "1.00E+01";
        QTest::newRow("-0.5") << -0.5 << "-5.00E-01";
        QTest::newRow("1e-30") << 1e-30 << "1.00E-30";
    }
    void sciText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(TableNumberText(float(value)), text);
    }

    void groundOffset_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("rows");
        QTest::newRow("0.5 V at 0.5 V/div") << 0.5 << 0.5 << 25;
        QTest::newRow("half away up") << 0.1 << 1.0 << 3;     // 2.5
        QTest::newRow("half away down") << -0.1 << 1.0 << -3; // -2.5
        QTest::newRow("4.2") << 0.168 << 1.0 << 4;
        QTest::newRow("zero scale") << 1.0 << 0.0 << 0;
        QTest::newRow("beyond 16 bits") << 1e6 << 1e-3 << 0;
    }
    void groundOffset()
    {
        QFETCH(double, offset);
        QFETCH(double, scale);
        QFETCH(int, rows);
        QCOMPARE(GroundOffset(offset, scale), rows);
    }

    void tableAtItsOffsetReadsZero()
    {
        // Offset 0.5 V at 0.5 V/div: level 125 (row 100) is 0.5 V below the trace's ground.
        DataTableInput in;
        in.first = 0;
        in.last = 299;
        in.scale = 0.5;
        in.offset = 0.5;
        in.timeDiv = 1e-3;
        WorkPoints pts(TransferData::WorkPtsSize, 125);
        pts[1] = 100; // the trace at its own ground
        QStringList times(TransferData::TextRows), values(TransferData::TextRows);
        QCOMPARE(BuildDataTable(in, pts, 600, &times, &values), 600);
        QCOMPARE(values[1], QStringLiteral("0.00E00"));
        QCOMPARE(values[2], QStringLiteral("-5.00E-01"));
        QCOMPARE(times[1], QStringLiteral("-6.00E-03"));
        QCOMPARE(times[301], QStringLiteral("0.00E00"));
        QCOMPARE(times[600], QStringLiteral("5.98E-03"));
    }

    void tableWindows_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstTime");
        QTest::newRow("whole screen") << 0 << 299 << true << 600 << "-3.00E-04";
        QTest::newRow("100..199") << 100 << 199 << true << 200 << "-1.00E-04";
        QTest::newRow("past the screen") << -50 << 400 << true << 600 << "-3.00E-04";
        QTest::newRow("last below first") << 200 << 100 << true << 0 << "";
        QTest::newRow("invalid trace") << 0 << 299 << false << 0 << "";
        QTest::newRow("both beyond") << 5000 << 9000 << true << 2 << "2.98E-04";
    }
    void tableWindows()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, valid);
        QFETCH(int, rows);
        QFETCH(QString, firstTime);
        DataTableInput in;
        in.first = first;
        in.last = last;
        in.valid = valid;
        in.scale = 1.0;
        in.timeDiv = 5e-5; // tstep 1 us
        QCOMPARE(DataTableRowCount(in), rows);
        WorkPoints pts(TransferData::WorkPtsSize, 125);
        QStringList times(TransferData::TextRows, QStringLiteral("old")), values(TransferData::TextRows);
        QCOMPARE(BuildDataTable(in, pts, 601, &times, &values), rows);
        QCOMPARE(times[1], rows ? firstTime : QStringLiteral("old"));
    }

    void voltagesNeverReadPastThePointsReceived()
    {
        DataTableInput in;
        in.scale = 1.0;
        in.timeDiv = 1e-3;
        WorkPoints pts(TransferData::WorkPtsSize, 150);
        QStringList times(TransferData::TextRows), values(TransferData::TextRows, QStringLiteral("old"));
        QCOMPARE(BuildDataTable(in, pts, 10, &times, &values), 600);
        QCOMPARE(values[10], QStringLiteral("-1.00E00"));
        QCOMPARE(values[11], QString()); // no point 11 was received
        QVERIFY(!times[11].isEmpty());
        // Short text arrays bound the rows.
        QStringList shortTimes(5), shortValues(5);
        QCOMPARE(BuildDataTable(in, pts, 600, &shortTimes, &shortValues), 4);
    }

    void zeroScaleGivesZeroVolts()
    {
        DataTableInput in;
        in.scale = 0.0;
        in.offset = 1.0;
        in.timeDiv = 1e-3;
        WorkPoints pts(TransferData::WorkPtsSize, 30);
        QStringList times(TransferData::TextRows), values(TransferData::TextRows);
        BuildDataTable(in, pts, 600, &times, &values);
        QCOMPARE(values[1], QStringLiteral("0.00E00"));
        QCOMPARE(values[600], QStringLiteral("0.00E00"));
    }

    void invertedOnlyWhileRunning()
    {
        DataTableInput in;
        in.scale = 1.0;
        in.timeDiv = 1e-3;
        WorkPoints pts(TransferData::WorkPtsSize, 25); // top line
        QStringList times(TransferData::TextRows), values(TransferData::TextRows);
        in.invertRunning = true;
        BuildDataTable(in, pts, 600, &times, &values);
        QCOMPARE(values[1], QStringLiteral("-4.00E00")); // row 200
        in.invertRunning = false;
        BuildDataTable(in, pts, 600, &times, &values);
        QCOMPARE(values[1], QStringLiteral("4.00E+00")); // row 0
    }
};

QTEST_GUILESS_MAIN(TestBlockDecode)
#include "tst_blockdecode.moc"
