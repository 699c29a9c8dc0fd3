// The waveform file reader on files generated here: every header field of
// both layouts under both triggers, the blocks and their order, the bias of
// the older layout, the digital block's two forms, and refused, cut and
// oversized files.

#include "storedwave/wavemaker.h"

#include "app/appstate.h"
#include "storedwave/wavefile.h"
#include "values/scalesteps.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A record that holds an earlier file: every member the reader may write has
// a value no file below gives it.
StoredWave earlierRecord()
{
    StoredWave r;
    r.Name = QStringLiteral("Memory Wave0");
    r.FilePath = QStringLiteral("/earlier.wfm");
    r.HasData = true;
    r.TrigMode = QStringLiteral("EDGE");
    r.Ch1Samples = QList<qint16>{7, 8, 9, 0};
    r.Ch2Samples = QList<qint16>{17, 18, 0};
    r.LaSamples = QList<qint16>{0x55, 0};
    r.ShowCH1 = r.ShowCH2 = r.ShowLA = true;
    r.Setup.CH1Valid = r.Setup.CH2Valid = r.Setup.LAValid = 1;
    r.Setup.LARow.fill(99);
    r.Setup.LASelected = 9;
    r.PointCount = 17;
    r.SampleCount = r.Ch1SampleCount = r.Ch2SampleCount = 3;
    r.SampleRate = r.Ch1SampleRate = r.Ch2SampleRate = 123.0f;
    r.TimeDiv = r.Position = r.Delay = r.AcqTimeDiv = 0.125;
    r.Ch1TimeDiv = r.Ch1Position = r.Ch1Delay = r.Ch2TimeDiv = r.Ch2Position = r.Ch2Delay = 0.25;
    r.Ch1VoltDiv = r.Ch2VoltDiv = 9.0f;
    r.FftDisplay = QStringLiteral("ON");
    r.ColorMode = false;
    r.SavedTimeDiv = 42.0;
    return r;
}

WaveSpec fullSpec(bool older, bool alternate)
{
    WaveSpec s;
    s.older = older;
    s.points = 40;
    s.ch1MicroVolts = 200000;
    s.ch1Offset = -50;
    s.ch1AcqMicroVolts = 500000;
    s.ch1AcqOffset = 12;
    s.ch2Present = 1;
    s.ch2MicroVolts = 2000000;
    s.ch2Offset = 25;
    s.ch2AcqMicroVolts = 5000000;
    s.ch2AcqOffset = -7;
    s.timeDivPs = 2000000;            // 2 us
    s.positionPs = -3000000;          // -3 us
    s.sampleRate = 2.5e8f;
    s.acqTimeDivPs = 5000000;         // 5 us
    s.delayPs = 0x100000000LL + 5;    // beyond 32 bits
    s.trigMode = alternate ? 4 : 1;
    s.ch2Points = 30;
    s.ch2TimeDivPs = 10000000;        // 10 us
    s.ch2PositionPs = 7000000;
    s.ch2SampleRate = 1.0e7f;
    s.ch2DelayPs = -2000;
    s.ch1 = levels(40, [](qint64 i) { return int(100 + i); });
    s.ch2 = levels(alternate ? 30 : 40, [](qint64 i) { return int(10 + i); });
    return s;
}

WaveFileError parse(const QByteArray &file, StoredWave &rec, const QString &path = QStringLiteral("/new.wfm"))
{
    return ParseWaveFile(file, path, rec);
}

} // namespace

class TestWaveFile : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void headerFields_data();
    void headerFields();
    void samplesCarryTheBias_data();
    void samplesCarryTheBias();
    void blocksFollowEachOther_data();
    void blocksFollowEachOther();
    void digitalBlock_data();
    void digitalBlock();
    void digitalBlockOnlyUnderNormalTrigger_data();
    void digitalBlockOnlyUnderNormalTrigger();
    void presentMeansExactlyOne_data();
    void presentMeansExactlyOne();
    void fileWithoutBlocks_data();
    void fileWithoutBlocks();
    void cutFilesAreRefused_data();
    void cutFilesAreRefused();
    void countsOfBlocksNotReadAreNotChecked_data();
    void countsOfBlocksNotReadAreNotChecked();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void blockEndingAtTheBufferEnd();
    void longFileIsReadWhole();
    void fileOnDisk();
    void snapshotRestores();
};

void TestWaveFile::headerFields_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<bool>("alternate");
    QTest::newRow("current, normal") << false << false;
    QTest::newRow("older, normal") << true << false;
    QTest::newRow("current, alternate") << false << true;
    QTest::newRow("older, alternate") << true << true;
}

void TestWaveFile::headerFields()
{
    QFETCH(bool, older);
    QFETCH(bool, alternate);
    const StoredWave before = earlierRecord();
    StoredWave r = before;
    QCOMPARE(parse(waveFile(fullSpec(older, alternate)), r), WaveFileError::None);

    QCOMPARE(r.TrigMode, alternate ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE"));
    QCOMPARE(r.SplitScreen, alternate);
    QVERIFY(r.YTFormat);
    QCOMPARE(r.PointCount, 600);
    QCOMPARE(r.FftDisplay, QStringLiteral("OFF"));
    QCOMPARE(r.Ch1VoltDiv, 0.2f);
    QCOMPARE(r.Ch1AcqVoltDiv, 0.5f);
    QCOMPARE(r.Ch2VoltDiv, 2.0f);
    QCOMPARE(r.Ch2AcqVoltDiv, 5.0f);
    QCOMPARE(r.Ch1Offset, -0.4f);      // -50 levels at 0.2 V/div: -2 divisions
    QCOMPARE(r.Ch2Offset, 2.0f);       // 25 levels: one division of 2 V
    QCOMPARE(r.Ch1AcqOffset, qint16(12));
    QCOMPARE(r.Ch2AcqOffset, qint16(-7));
    const double delay = (double(0x100000000LL) + 5) / 1e12;
    if (!alternate) {
        QCOMPARE(r.SampleCount, 40);
        QCOMPARE(r.SampleRate, 2.5e8f);
        QCOMPARE(r.TimeDiv, 2e-6);
        QCOMPARE(r.Position, -3e-6);
        QCOMPARE(r.Delay, delay);
        QCOMPARE(r.AcqTimeDiv, 5e-6);
        // The alternate members keep what they held.
        QCOMPARE(r.Ch1SampleCount, before.Ch1SampleCount);
        QCOMPARE(r.Ch2TimeDiv, before.Ch2TimeDiv);
        QCOMPARE(r.Ch2SampleRate, before.Ch2SampleRate);
    } else {
        QCOMPARE(r.Ch1SampleCount, 40);
        QCOMPARE(r.Ch1SampleRate, 2.5e8f);
        QCOMPARE(r.Ch1TimeDiv, 2e-6);
        QCOMPARE(r.Ch1Position, -3e-6);
        QCOMPARE(r.Ch1Delay, delay);
        QCOMPARE(r.Ch2SampleCount, 30);
        QCOMPARE(r.Ch2SampleRate, 1.0e7f);
        QCOMPARE(r.Ch2TimeDiv, 1e-5);
        QCOMPARE(r.Ch2Position, 7e-6);
        QCOMPARE(r.Ch2Delay, -2e-9);
        QCOMPARE(r.Ch2Samples.size(), 31);
        // The normal members, the acquisition time/div included, keep theirs.
        QCOMPARE(r.SampleCount, before.SampleCount);
        QCOMPARE(r.TimeDiv, before.TimeDiv);
        QCOMPARE(r.AcqTimeDiv, before.AcqTimeDiv);
    }
    // The snapshot is taken from the new values.
    QCOMPARE(r.SavedCh1VoltDiv, r.Ch1VoltDiv);
    QCOMPARE(r.SavedTimeDiv, r.TimeDiv);
    QCOMPARE(r.SavedCh2Position, r.Ch2Position);
    QCOMPARE(r.FilePath, QStringLiteral("/new.wfm"));
    QVERIFY(r.HasData);
    // Members the file does not touch.
    QCOMPARE(r.Name, before.Name);
    QCOMPARE(r.ColorMode, before.ColorMode);
}

void TestWaveFile::samplesCarryTheBias_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<int>("bias");
    QTest::newRow("current") << false << 0;
    QTest::newRow("older") << true << 25;
}

void TestWaveFile::samplesCarryTheBias()
{
    QFETCH(bool, older);
    QFETCH(int, bias);
    const int bytes[] = {0, 24, 25, 125, 224, 231, 255};
    WaveSpec s;
    s.older = older;
    s.points = 7;
    s.ch1 = levels(7, [&](qint64 i) { return bytes[i]; });
    StoredWave r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QCOMPARE(r.Ch1Samples.size(), 8);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(r.Ch1Samples[i], qint16(bytes[i] + bias)); // an older 255 becomes 280
    QCOMPARE(r.Ch1Samples[7], qint16(0));

    // A long block, every byte value at every place in its pieces, from
    // memory and from a file (read a piece at a time).
    s.points = 150001;
    s.ch1 = levels(s.points, [](qint64 i) { return int((i * 37 + i / 256) % 256); });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.wfm"));
    QVERIFY(writeWaveFile(path, waveFile(s)));
    StoredWave fromFile;
    QCOMPARE(loadWaveFile(path, fromFile), WaveFileError::None);
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    for (const StoredWave *w : {&r, &fromFile}) {
        QCOMPARE(w->Ch1Samples.size(), qsizetype(s.points) + 1);
        for (qint32 i = 0; i < s.points; ++i) {
            if (w->Ch1Samples[i] != qint16(quint8(s.ch1[i]) + bias))
                QFAIL(qPrintable(QStringLiteral("sample %1: %2").arg(i).arg(w->Ch1Samples[i])));
        }
        QCOMPARE(w->Ch1Samples[s.points], qint16(0));
    }
}

void TestWaveFile::blocksFollowEachOther_data()
{
    QTest::addColumn<bool>("ch1");
    QTest::addColumn<bool>("ch2");
    QTest::addColumn<bool>("la");
    QTest::newRow("CH1, CH2, digital") << true << true << true;
    QTest::newRow("CH2 and digital") << false << true << true;
    QTest::newRow("CH1 and digital") << true << false << true;
    QTest::newRow("digital only") << false << false << true;
    QTest::newRow("CH1 and CH2") << true << true << false;
}

void TestWaveFile::blocksFollowEachOther()
{
    QFETCH(bool, ch1);
    QFETCH(bool, ch2);
    QFETCH(bool, la);
    WaveSpec s;
    s.points = 10;
    s.ch1Present = ch1;
    s.ch2Present = ch2;
    s.laPresent = la;
    if (ch1)
        s.ch1 = levels(10, [](qint64 i) { return int(50 + i); });
    if (ch2)
        s.ch2 = levels(10, [](qint64 i) { return int(150 + i); });
    if (la)
        s.la = laWords(10, [](qint64 i) { return quint16(0x8000 | i); });
    StoredWave r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QCOMPARE(r.ShowCH1, ch1);
    QCOMPARE(r.ShowCH2, ch2);
    QCOMPARE(r.ShowLA, la);
    for (int i = 0; i < 10; ++i) {
        if (ch1)
            QCOMPARE(r.Ch1Samples[i], qint16(50 + i));
        if (ch2)
            QCOMPARE(r.Ch2Samples[i], qint16(150 + i));
        if (la)
            QCOMPARE(quint16(r.LaSamples[i]), quint16(0x8000 | i));
    }
}

void TestWaveFile::digitalBlock_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("bytes");
    QTest::newRow("600 points, words") << 600 << 1200;
    QTest::newRow("524288 points, words") << 524288 << 1048576;
    QTest::newRow("524289 points, bytes") << 524289 << 524289;
}

void TestWaveFile::digitalBlock()
{
    QFETCH(int, points);
    QFETCH(int, bytes);
    WaveSpec s;
    s.points = points;
    s.ch1Present = 0;
    s.laPresent = 1;
    s.laSelected = 3;
    s.laShownMask = qint16(0x8421);
    for (int i = 0; i < 16; ++i)
        s.laPosition[size_t(i)] = quint8(i);
    s.laHighGroup = 6;
    s.laLowGroup = 8;
    // Byte j of the block is j * 7 mod 251: the block's end and both forms show.
    s.la = levels(bytes, [](qint64 j) { return int((j * 7) % 251); });
    StoredWave r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QVERIFY(r.HasData);
    QVERIFY(r.ShowLA);
    QCOMPARE(r.Setup.LAValid, quint8(1));
    QCOMPARE(r.LaSamples.size(), qsizetype(bytes) + 1);
    auto byte = [](qint64 j) { return quint16((j * 7) % 251); };
    for (qint64 k : {qint64(0), qint64(1), qint64(bytes / 2 - 1)})
        QCOMPARE(quint16(r.LaSamples[k]), quint16(byte(2 * k) | (byte(2 * k + 1) << 8)));
    if (bytes % 2) // the last byte alone is the low byte of its element
        QCOMPARE(quint16(r.LaSamples[bytes / 2]), byte(bytes - 1));
    QCOMPARE(r.LaSamples.last(), qint16(0));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(r.Setup.LARow[size_t(i)], qint16(222 - 12 * i));
    QCOMPARE(r.Setup.LAShownMask, qint16(0x8421));
    QCOMPARE(r.Setup.LASelected, quint8(3));
    QCOMPARE(r.Setup.LAHeightD8D15, quint8(6)); // the high group
    QCOMPARE(r.Setup.LAHeightD0D7, quint8(8));  // the low group
    QCOMPARE(r.SavedLaRow, r.Setup.LARow);
    QCOMPARE(r.SavedLaSelected, quint8(3));
}

void TestWaveFile::digitalBlockOnlyUnderNormalTrigger_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<int>("trigMode");
    QTest::addColumn<bool>("read");
    QTest::newRow("current, normal") << false << 0 << true;
    QTest::newRow("current, alternate") << false << 4 << false;
    // In the older layout byte 120 is the trigger mode: 1 there is a normal
    // trigger, not a digital block.
    QTest::newRow("older, trigger byte 1") << true << 1 << false;
}

void TestWaveFile::digitalBlockOnlyUnderNormalTrigger()
{
    QFETCH(bool, older);
    QFETCH(int, trigMode);
    QFETCH(bool, read);
    WaveSpec s;
    s.older = older;
    s.points = 20;
    s.trigMode = quint8(trigMode);
    s.ch2Points = 20;
    s.laPresent = 1;
    s.ch1 = levels(20, [](qint64) { return 125; });
    s.la = laWords(20, [](qint64) { return quint16(0xffff); });
    StoredWave r = earlierRecord();
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QCOMPARE(r.ShowLA, read);
    QCOMPARE(r.Setup.LAValid, quint8(read ? 1 : 0));
    if (!read) {
        QCOMPARE(r.LaSamples, earlierRecord().LaSamples); // kept, not shown
        QCOMPARE(r.Setup.LARow, earlierRecord().Setup.LARow);
    }
}

void TestWaveFile::presentMeansExactlyOne_data()
{
    QTest::addColumn<int>("present");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("255") << 255;
}

void TestWaveFile::presentMeansExactlyOne()
{
    QFETCH(int, present);
    WaveSpec s;
    s.points = 5;
    s.ch1Present = quint8(present);
    s.ch2Present = quint8(present);
    s.ch1 = levels(5, [](qint64) { return 60; });
    s.ch2 = levels(5, [](qint64) { return 70; });
    s.laPresent = 1; // the file holds a block whatever the analog flags say
    s.la = laWords(5, [](qint64) { return quint16(0x0101); });
    const StoredWave before = earlierRecord();
    StoredWave r = before;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    const bool on = present == 1;
    QCOMPARE(r.ShowCH1, on);
    QCOMPARE(r.ShowCH2, on);
    QCOMPARE(r.Setup.CH1Valid, quint8(on));
    QCOMPARE(r.Setup.CH2Valid, quint8(on));
    if (on) {
        QCOMPARE(r.Ch1Samples[0], qint16(60));
        QCOMPARE(r.Ch2Samples[0], qint16(70)); // CH2 follows CH1's block
    } else {
        // Absent channels keep their earlier samples, flagged not shown.
        QCOMPARE(r.Ch1Samples, before.Ch1Samples);
        QCOMPARE(r.Ch2Samples, before.Ch2Samples);
    }
}

void TestWaveFile::fileWithoutBlocks_data()
{
    QTest::addColumn<QByteArray>("file");
    auto none = [](const std::function<void(WaveSpec &)> &change) {
        WaveSpec s;
        s.ch1Present = 0;
        change(s);
        return waveFile(s);
    };
    QTest::newRow("current layout") << none([](WaveSpec &) {});
    QTest::newRow("older layout") << none([](WaveSpec &s) { s.older = true; });
    QTest::newRow("negative N") << none([](WaveSpec &s) { s.points = -600; });
    QTest::newRow("present bytes other than 1") << none([](WaveSpec &s) {
        s.ch1Present = 2;
        s.ch2Present = 255;
        s.laPresent = 2;
    });
    QTest::newRow("alternate, digital flag only") << none([](WaveSpec &s) {
        s.trigMode = 4;
        s.laPresent = 1;
        s.la = laWords(600, [](qint64) { return quint16(1); });
    });
}

void TestWaveFile::fileWithoutBlocks()
{
    // Nothing to show: refused like a file of another kind, the record kept
    // whole (its samples, path, flags and snapshot).
    QFETCH(QByteArray, file);
    const StoredWave before = earlierRecord();
    StoredWave r = before;
    QCOMPARE(parse(file, r, QStringLiteral("/empty.wfm")), WaveFileError::BadFormat);
    QVERIFY(r == before);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.wfm"));
    QVERIFY(writeWaveFile(path, file));
    QCOMPARE(loadWaveFile(path, r), WaveFileError::BadFormat);
    QVERIFY(r == before);
}

void TestWaveFile::cutFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("missing");
    // Each file declares 600 points; the last block is cut by `missing` bytes.
    auto spec = [](const std::function<void(WaveSpec &)> &change) {
        WaveSpec s;
        s.ch1 = levels(600, [](qint64) { return 200; });
        change(s);
        return waveFile(s);
    };
    const QByteArray ch1 = spec([](WaveSpec &) {});
    const QByteArray older = spec([](WaveSpec &s) { s.older = true; });
    const QByteArray ch2 = spec([](WaveSpec &s) {
        s.ch2Present = 1;
        s.ch2 = levels(600, [](qint64) { return 50; });
    });
    const QByteArray la = spec([](WaveSpec &s) {
        s.laPresent = 1;
        s.la = laWords(600, [](qint64) { return quint16(0xffff); });
    });
    const QByteArray alternate = spec([](WaveSpec &s) {
        s.trigMode = 4;
        s.ch2Present = 1;
        s.ch2Points = 10;
        s.ch2 = levels(10, [](qint64) { return 50; });
    });
    QTest::newRow("CH1, one byte") << ch1 << 1;
    QTest::newRow("CH1, most of it") << ch1 << 500;
    QTest::newRow("CH1, all of it") << ch1 << 600;
    QTest::newRow("CH1, and the 4 bytes before it") << ch1 << 604;
    QTest::newRow("older layout, one byte") << older << 1;
    QTest::newRow("CH2, one byte") << ch2 << 1;
    QTest::newRow("CH2, all of it") << ch2 << 600;
    QTest::newRow("CH2 and part of CH1") << ch2 << 700;
    QTest::newRow("digital, one byte") << la << 1;
    QTest::newRow("digital, half of it") << la << 600;
    QTest::newRow("alternate, CH2 one byte") << alternate << 1;
    QTest::newRow("header cut, empty CH1 block") << spec([](WaveSpec &s) {
        s.points = 0;
        s.ch1.clear();
    }) << 10;
}

void TestWaveFile::cutFilesAreRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(int, missing);
    const StoredWave before = earlierRecord();
    StoredWave r = before;
    QCOMPARE(parse(file.first(file.size() - missing), r), WaveFileError::BadFormat);
    QVERIFY(r == before);

    QTemporaryDir dir; // the same through the file on disk
    const QString path = dir.filePath(QStringLiteral("cut.wfm"));
    QVERIFY(writeWaveFile(path, file.first(file.size() - missing)));
    QCOMPARE(loadWaveFile(path, r), WaveFileError::BadFormat);
    QVERIFY(r == before);

    // Whole, it is read; a byte past the blocks changes nothing.
    QCOMPARE(parse(file, r), WaveFileError::None);
    const StoredWave whole = r;
    r = before;
    QCOMPARE(parse(file + QByteArray(1, '\x7f'), r), WaveFileError::None);
    QVERIFY(r == whole);
}

void TestWaveFile::countsOfBlocksNotReadAreNotChecked_data()
{
    QTest::addColumn<QByteArray>("file");
    WaveSpec ch2Absent;
    ch2Absent.trigMode = 4;
    ch2Absent.ch2Points = -5; // CH2 absent: its count is not used
    ch2Absent.ch1 = levels(600, [](qint64) { return 80; });
    QTest::newRow("alternate, negative CH2 count, CH2 absent") << waveFile(ch2Absent);
    WaveSpec laAlternate = ch2Absent;
    laAlternate.laPresent = 1; // never read under the alternate trigger
    QTest::newRow("alternate, digital flag set") << waveFile(laAlternate);
}

void TestWaveFile::countsOfBlocksNotReadAreNotChecked()
{
    QFETCH(QByteArray, file);
    StoredWave r = earlierRecord();
    QCOMPARE(parse(file, r), WaveFileError::None);
    QVERIFY(r.HasData);
    QVERIFY(!r.ShowCH2 && !r.ShowLA);
    QCOMPARE(r.Ch1Samples.size(), 601);
    QCOMPARE(r.Ch1Samples[599], qint16(80));
}

void TestWaveFile::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    auto spec = [](const std::function<void(WaveSpec &)> &change) {
        WaveSpec s;
        s.ch2Present = 1;
        change(s);
        return waveFile(s);
    };
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("wrong magic") << spec([](WaveSpec &s) { s.magic = 0xA5A4; });
    QTest::newRow("magic bytes swapped") << spec([](WaveSpec &s) { s.magic = 0xA1A5; });
    QTest::newRow("negative points") << spec([](WaveSpec &s) { s.points = -1; });
    QTest::newRow("negative points, digital block only") << spec([](WaveSpec &s) {
        s.points = -600;
        s.ch1Present = s.ch2Present = 0;
        s.laPresent = 1;
    });
    QTest::newRow("negative CH2 points, alternate") << spec([](WaveSpec &s) {
        s.trigMode = 4;
        s.ch2Points = -5;
    });
    QTest::newRow("CH1 block past the buffer") << spec([](WaveSpec &s) {
        s.points = 2100000;
        s.ch2Present = 0;
    });
    QTest::newRow("CH2 block past the buffer") << spec([](WaveSpec &s) { s.points = 1100000; });
    QTest::newRow("alternate CH2 block past the buffer") << spec([](WaveSpec &s) {
        s.trigMode = 4;
        s.ch2Points = 2099500;
    });
    QTest::newRow("digital block past the buffer") << spec([](WaveSpec &s) {
        s.points = 700000; // 276 + 700000 + 700000 + 700000 bytes
        s.laPresent = 1;
    });
    QTest::newRow("largest count") << spec([](WaveSpec &s) { s.points = std::numeric_limits<qint32>::max(); });
}

void TestWaveFile::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, file);
    const StoredWave before = earlierRecord();
    StoredWave r = before;
    QCOMPARE(parse(file, r), WaveFileError::BadFormat);
    QVERIFY(r == before);
}

void TestWaveFile::blockEndingAtTheBufferEnd()
{
    // A block that ends on the file's last byte is read, even past the
    // 2,100,001 bytes of the instrument's own reading buffer; one byte more
    // is refused.
    const qint32 points = qint32(WaveFileBufferSize - 276 + 10);
    WaveSpec s;
    s.points = points;
    s.ch1 = levels(points, [](qint64 i) { return int(i % 200); });
    StoredWave r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QCOMPARE(r.Ch1Samples.size(), qsizetype(points) + 1);
    QCOMPARE(r.Ch1Samples[999], qint16(999 % 200));
    QCOMPARE(r.Ch1Samples[points - 1], qint16((points - 1) % 200));
    QCOMPARE(r.Ch1Samples[points], qint16(0));
    s.points = points + 1;
    const StoredWave before = r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::BadFormat);
    QVERIFY(r == before);
}

void TestWaveFile::longFileIsReadWhole()
{
    // 1,000,000 points on CH1 and CH2 with the digital block, one byte per
    // point: 3,000,276 bytes, all of them read.
    WaveSpec s;
    s.points = 1000000;
    s.ch2Present = 1;
    s.laPresent = 1;
    s.ch1 = levels(1000000, [](qint64 i) { return int(i % 199); });
    s.ch2 = levels(1000000, [](qint64 i) { return int(i % 197); });
    s.la = levels(1000000, [](qint64 i) { return int(i % 193); });
    StoredWave r;
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    QCOMPARE(r.Ch2Samples[999999], qint16(999999 % 197));
    QCOMPARE(quint16(r.LaSamples[499999]), quint16((999998 % 193) | ((999999 % 193) << 8)));
    QCOMPARE(r.LaSamples.size(), 1000001);

    // Beyond 16 MiB a file counts with its first bytes only: blocks that end
    // past them are refused.
    WaveSpec big;
    big.points = qint32(WaveFileMaxBytes / 2);
    big.ch2Present = 1;
    big.ch1 = QByteArray(big.points, 'a');
    big.ch2 = QByteArray(big.points, 'b');
    const StoredWave before = r;
    QCOMPARE(parse(waveFile(big), r), WaveFileError::BadFormat);
    QVERIFY(r == before);
}

void TestWaveFile::fileOnDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capture.wfm"));
    WaveSpec s;
    s.ch1 = levels(600, [](qint64 i) { return int(i % 256); });
    QVERIFY(writeWaveFile(path, waveFile(s)));
    StoredWave r;
    QCOMPARE(loadWaveFile(path, r), WaveFileError::None);
    QCOMPARE(r.FilePath, path);
    QCOMPARE(r.Ch1Samples[300], qint16(300 % 256));

    const StoredWave before = r;
    QCOMPARE(loadWaveFile(dir.filePath(QStringLiteral("missing.wfm")), r), WaveFileError::Unreadable);
    QVERIFY(r == before);
    QCOMPARE(loadWaveFile(dir.path(), r), WaveFileError::Unreadable); // a folder
    QVERIFY(r == before);
}

void TestWaveFile::snapshotRestores()
{
    WaveSpec s;
    s.laPresent = 1;
    s.laSelected = 2;
    s.ch1 = levels(600, [](qint64) { return 125; });
    s.la = laWords(600, [](qint64) { return quint16(1); });
    StoredWave r;
    QCOMPARE(parse(waveFile(fullSpec(false, false)), r), WaveFileError::None);
    QCOMPARE(parse(waveFile(s), r), WaveFileError::None);
    const StoredWave loaded = r;
    r.Ch1Offset = 3.0f;
    r.Ch2VoltDiv = 0.01f;
    r.TimeDiv = 5.0;
    r.Position = -1.0;
    r.Ch2Position = 4.0;
    r.Setup.LARow[4] = 42;
    r.Setup.LASelected = 11;
    RestoreDisplaySettings(r);
    QVERIFY(r == loaded);
}

QTEST_GUILESS_MAIN(TestWaveFile)
#include "tst_wavefile.moc"
