#include "app/appstate.h"
#include "controller/ctrlfile.h"
#include "datasheet/datasheetfile.h"
#include "measure/measexport.h"
#include "wave/dataexport.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include "support/filesizelimit.h"

#include <cerrno>
#include <cfloat>
#include <cstring>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define KELVO_PLAIN_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define KELVO_PLAIN_HEAP 0
#endif
#endif
#ifndef KELVO_PLAIN_HEAP
#define KELVO_PLAIN_HEAP 1
#endif

// The data sheet file: the golden file of a sheet with items of every kind,
// byte for byte and read back; the sample block rules; files the reader must
// refuse without changing anything.
class TestDataSheetFile : public QObject {
    Q_OBJECT

    static DataSheetFileContext ctx()
    {
        DataSheetFileContext c;
        c.laPresent = true;
        return c;
    }

    static QByteArray golden()
    {
        QFile f(QStringLiteral(KELVO_TEST_DATA "/golden.kvd"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    template <class T> static QList<T> filled(qsizetype size, qsizetype first, const QList<T> &values)
    {
        QList<T> a(size, T{});
        for (qsizetype i = 0; i < values.size(); ++i)
            a[first + i] = values[i];
        return a;
    }

    // The sheet of golden.kvd, its arrays shaped as the reader builds them.
    static DataSheet goldenSheet()
    {
        DataSheet s;
        s.Name = QStringLiteral("Bench sheet");
        s.WaveDocCount = 2;
        s.MeasDocCount = 2;
        s.DataDocCount = 1;
        s.ReplayCount = 1;
        s.StoredWaveCount = 2;

        WaveDoc &w = s.WaveDocs[0];
        w.Name = QStringLiteral("Wave0");
        w.HasData = true;
        w.TrigMode = QStringLiteral("EDGE");
        w.PointCount = 600;
        w.YTFormat = true;
        w.SpareWord1 = 3;
        w.SpareWord2 = -4;
        const QStringList texts{"1.00V", "-2.00V", "500mV", "1.00V", "1.000ms", "0.000s", "a1", "a2", "a3", "a4", "2026-12-09"};
        QString *places[] = {&w.CH1Offset, &w.CH2Offset, &w.CH1VoltDiv, &w.CH2VoltDiv, &w.TimeDiv, &w.Delay,
                             &w.AltTimeDivCH1, &w.AltTimeDivCH2, &w.AltDelayCH1, &w.AltDelayCH2, &w.DateText};
        for (int i = 0; i < 11; ++i)
            *places[i] = texts[i];
        w.Channels = 2;
        w.ColorMode = w.GridShown = w.BestFit = true;
        w.DigitalLayout = true;
        w.ShowCH2 = w.DrawCH2 = true;
        SetupBlock &b = w.Setup;
        b.FirstPoint = 1;
        b.LastPoint = 299;
        b.CH1FirstPoint = 3;
        b.CH1LastPoint = 4;
        b.CH2FirstPoint = 5;
        b.CH2LastPoint = 6;
        b.CH1Valid = b.CH2Valid = 1;
        b.MathOperation = 3;
        b.RealParam1 = 1.5f;
        b.MathPosition = -25;
        b.MathScale = 0.2f;
        b.IntParam1 = 7;
        b.FFTValid = 1;
        b.ByteParam1 = 9;
        b.FFTFullScreen = 1;
        b.FFTDecibelScale = 1;
        b.FFTScaleVrms = 1e-6f;
        b.IntParam2 = 11;
        b.FFTScaleDB = 10;
        b.RealParam2 = 2.5f;
        b.FFTPosition = 12;
        b.FFTHzPerDiv = 12500.0f;
        b.FFTSpanCode = 4;
        b.RealParam3 = -0.75f;
        b.FFTCentre = 150;
        b.LAValid = 1;
        b.LAShownMask = -1;
        for (int i = 0; i < 16; ++i)
            b.LARow[size_t(i)] = qint16(30 + 10 * i);
        b.LASelected = 5;
        b.LAHeightD0D7 = 8;
        b.LAHeightD8D15 = 9;
        w.MathDisplay = w.FFTDisplay = QStringLiteral("OFF");
        QList<qint32> rows;
        for (int i = 1; i <= 1024; ++i)
            rows << i % 200;
        w.CH2Rows = filled(DataSheetWaveArraySize, 1, rows);

        s.WaveDocs[1].Name = QString::fromUtf8("波形1");
        s.WaveDocs[1].DigitalLayout = true;

        MeasDoc &m = s.MeasDocs[0];
        m.Name = QStringLiteral("Measure0");
        m.HasData = true;
        m.Info = QStringLiteral("CH1 1.00V 1.000ms 1.00MSa Size=600 [Date:2026-12-09]");
        for (int k = 0; k < 18; ++k) {
            m.Items[k].Value = QStringLiteral("v%1").arg(k);
            m.Items[k].Enabled = k % 2 == 0;
            m.Items[k].Over = k + 0.5;
            m.Items[k].Under = k * 0.25;
        }
        s.MeasDocs[1].Name = QStringLiteral("Measure1");

        DataDoc &d = s.DataDocs[0];
        d.Name = QStringLiteral("Data0");
        d.HasData = true;
        d.InfoLine = QStringLiteral("CH1 info");
        d.RowCount = 2;
        d.ValueTexts = filled(DataSheetMaxRows + 1, 1, QStringList{"1.00E-01", "2.00E-01"});
        d.TimeTexts = filled(DataSheetMaxRows + 1, 1, QStringList{"0.00E-00", "1.00E-03"});

        ReplayInfo &r = s.Replays[0];
        r.Name = QStringLiteral("Record0");
        r.ReplayStarted = r.FileLoaded = r.ColorMode = true;
        r.FilePath = QStringLiteral("/tmp/rec.rcd");
        r.Channel = QStringLiteral("CH1");
        r.FirstFrame = r.FrameCount = 1;
        r.Status = ReplayInfo::Paused;
        r.CurrentFrame = 1;
        r.LoopReplay = true;
        r.TimeDivText = QStringLiteral("1.000ms");
        r.DelayText = QStringLiteral("0.000s");
        r.VoltDivText = QStringLiteral("1.00V");
        r.OffsetText = QStringLiteral("0.00V");
        r.Interval = 0.05;
        QList<qint16> frame;
        for (int i = 0; i < 1024; ++i)
            frame << qint16(i % 200);
        r.Samples = filled(1025, 0, frame);

        StoredWave &m0 = s.StoredWaves[0];
        m0.Name = QStringLiteral("Memory Wave0");
        m0.FilePath = QStringLiteral("/tmp/w.wfm");
        m0.HasData = true;
        m0.TrigMode = QStringLiteral("EDGE");
        m0.PointCount = 600;
        m0.YTFormat = true;
        m0.Ch1Offset = m0.SavedCh1Offset = 0.5f;
        m0.Ch2Offset = m0.SavedCh2Offset = -0.5f;
        m0.Ch1VoltDiv = m0.SavedCh1VoltDiv = 1.0f;
        m0.Ch2VoltDiv = m0.SavedCh2VoltDiv = 2.0f;
        m0.Ch1AcqVoltDiv = m0.SavedCh1AcqVoltDiv = 0.1f;
        m0.Ch2AcqVoltDiv = m0.SavedCh2AcqVoltDiv = 0.2f;
        m0.Ch1AcqOffset = m0.SavedCh1AcqOffset = 25;
        m0.Ch2AcqOffset = m0.SavedCh2AcqOffset = -50;
        m0.SampleRate = 1e6f;
        m0.AcqTimeDiv = m0.SavedAcqTimeDiv = 0.001;
        m0.TimeDiv = m0.SavedTimeDiv = 0.0005;
        m0.Position = m0.SavedPosition = 1e-5;
        m0.ColorMode = m0.GridShown = true;
        m0.ShowCH1 = m0.ShowLA = true;
        m0.Setup.CH1Valid = 1;
        m0.Setup.LAValid = 1;
        m0.Setup.LAShownMask = 255;
        for (int i = 0; i < 16; ++i)
            m0.Setup.LARow[size_t(i)] = m0.SavedLaRow[size_t(i)] = qint16(25 + 10 * i);
        m0.Setup.LASelected = m0.SavedLaSelected = 2;
        m0.Setup.LAHeightD0D7 = m0.Setup.LAHeightD8D15 = 8;
        m0.FftDisplay = QStringLiteral("OFF");
        m0.SampleCount = 3;
        m0.Ch1Samples = {10, 11, 12, 0};
        m0.LaSamples = {100, 101, 102, 0};

        StoredWave &m1 = s.StoredWaves[1];
        m1.Name = QStringLiteral("Memory Wave1");
        m1.FilePath = QStringLiteral("/tmp/alt.wfm");
        m1.HasData = true;
        m1.TrigMode = QStringLiteral("ALTERNATION");
        m1.Ch1SampleCount = 2;
        m1.Ch2SampleCount = 3;
        m1.Ch1Samples = {-1, -2, 0};
        m1.Ch2Samples = {7, 8, 9, 0};
        return s;
    }

    static void compareSheets(const DataSheet &a, const DataSheet &b)
    {
        QCOMPARE(a.Name, b.Name);
        QCOMPARE(a.WaveDocCount, b.WaveDocCount);
        QCOMPARE(a.MeasDocCount, b.MeasDocCount);
        QCOMPARE(a.DataDocCount, b.DataDocCount);
        QCOMPARE(a.ReplayCount, b.ReplayCount);
        QCOMPARE(a.StoredWaveCount, b.StoredWaveCount);
        for (size_t i = 0; i < size_t(DataSheet::WaveSlots); ++i)
            QVERIFY2(a.WaveDocs[i] == b.WaveDocs[i], qPrintable(QStringLiteral("wave %1").arg(i)));
        for (size_t i = 0; i < size_t(DataSheet::MeasSlots); ++i)
            QVERIFY2(a.MeasDocs[i] == b.MeasDocs[i], qPrintable(QStringLiteral("measure %1").arg(i)));
        for (size_t i = 0; i < size_t(DataSheet::DataSlots); ++i)
            QVERIFY2(a.DataDocs[i] == b.DataDocs[i], qPrintable(QStringLiteral("data %1").arg(i)));
        for (size_t i = 0; i < size_t(DataSheet::ReplaySlots); ++i)
            QVERIFY2(a.Replays[i] == b.Replays[i], qPrintable(QStringLiteral("record %1").arg(i)));
        for (size_t i = 0; i < size_t(DataSheet::StoredWaveSlots); ++i)
            QVERIFY2(a.StoredWaves[i] == b.StoredWaves[i], qPrintable(QStringLiteral("memory %1").arg(i)));
    }

    static QList<QByteArray> lines(const QByteArray &bytes)
    {
        QList<QByteArray> l = bytes.split('\n');
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }

private slots:
    void init() { resetApp(); }

    void writesTheGoldenFileByteForByte()
    {
        const QByteArray g = golden();
        QVERIFY(!g.isEmpty());
        const QByteArray written = DataSheetFileBytes(goldenSheet(), ctx());
        if (written != g) {
            const auto a = lines(written), b = lines(g);
            for (int i = 0; i < qMin(a.size(), b.size()); ++i)
                QVERIFY2(a[i] == b[i], qPrintable(QStringLiteral("line %1: %2 / %3").arg(i + 1)
                                                      .arg(QString::fromUtf8(a[i]), QString::fromUtf8(b[i]))));
            QCOMPARE(a.size(), b.size());
        }
        QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    }

    void readsTheGoldenFileToTheSameRecords()
    {
        DataSheet read;
        QCOMPARE(ParseDataSheet(golden(), read, ctx()), DataSheetRead::Ok);
        compareSheets(read, goldenSheet());
        // LF line ends read the same.
        DataSheet lf;
        QByteArray g = golden();
        g.replace("\r\n", "\n");
        QCOMPARE(ParseDataSheet(g, lf, ctx()), DataSheetRead::Ok);
        compareSheets(lf, goldenSheet());
    }

    void readsGb18030Names()
    {
        QByteArray g = golden();
        QStringEncoder gb("GB18030");
        QVERIFY(gb.isValid());
        g.replace(QString::fromUtf8("波形1").toUtf8(), QByteArray(gb.encode(QString::fromUtf8("波形1"))));
        DataSheet read;
        QCOMPARE(ParseDataSheet(g, read, ctx()), DataSheetRead::Ok);
        QCOMPARE(read.WaveDocs[1].Name, QString::fromUtf8("波形1"));
    }

    void emptySheetIsSevenLines()
    {
        DataSheet s;
        s.Name = QStringLiteral("E");
        const QByteArray b = DataSheetFileBytes(s, ctx());
        QCOMPARE(b, QByteArray("\"Karvo Technologies,Inc. QM4100D Data Sheet\"\r\n\"E\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    }

    void waveBlocksFollowTheFlags_data()
    {
        QTest::addColumn<bool>("ch1");
        QTest::addColumn<bool>("ch2");
        QTest::addColumn<bool>("math");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QString>("fft");
        QTest::addColumn<int>("lines");
        QTest::newRow("none") << false << false << false << false << "OFF" << 87;
        QTest::newRow("ch2") << false << true << false << false << "OFF" << 87 + 1024;
        QTest::newRow("ch1 ch2 pairs") << true << true << false << false << "OFF" << 87 + 2048;
        QTest::newRow("la") << false << false << false << true << "OFF" << 87 + 2048;
        QTest::newRow("all, fft") << true << true << true << true << "ON" << 87 + 2048 + 2048 + 1024;
        QTest::newRow("math, fft in Chinese") << false << false << true << false << QString::fromUtf8("打开")
                                              << 87 + 1024;
        QTest::newRow("math, fft off") << false << false << true << false << "OFF" << 87 + 1024;
    }

    void waveBlocksFollowTheFlags()
    {
        QFETCH(bool, ch1);
        QFETCH(bool, ch2);
        QFETCH(bool, math);
        QFETCH(bool, la);
        QFETCH(QString, fft);
        QFETCH(int, lines);
        DataSheet s;
        s.WaveDocCount = 1;
        WaveDoc &w = s.WaveDocs[0];
        w.HasData = true;
        w.DrawCH1 = ch1;
        w.DrawCH2 = ch2;
        w.DrawMath = math;
        w.DrawLA = la;
        w.FFTDisplay = fft;
        w.CH1Rows = filled<qint32>(8193, 1, {11, 12});
        w.CH2Rows = filled<qint32>(8193, 1, {21, 22});
        w.MathRows = filled<qint32>(8193, 1, {31});
        w.FFTRows = filled<qint32>(8193, 1, {41});
        w.LAWords = filled<qint32>(8193, 1, {51});
        const QByteArray b = DataSheetFileBytes(s, ctx());
        QCOMPARE(TestDataSheetFile::lines(b).size(), 7 + lines);
        DataSheet read;
        QCOMPARE(ParseDataSheet(b, read, ctx()), DataSheetRead::Ok);
        const WaveDoc &r = read.WaveDocs[0];
        QCOMPARE(r.CH1Rows.value(1), ch1 ? 11 : 0);
        QCOMPARE(r.CH2Rows.value(1), ch2 ? 21 : 0);
        QCOMPARE(r.LAWords.value(1), la ? 51 : 0);
        // The on-word of either language writes and reads the FFT block,
        // whatever language is in force.
        const bool fftOn = fft == QLatin1String("ON") || fft == QString::fromUtf8("打开");
        QCOMPARE(r.FFTRows.value(1), math && fftOn ? 41 : 0);
        QCOMPARE(r.MathRows.value(1), math && !fftOn ? 31 : 0);
        if (ch1)
            QCOMPARE(r.CH1Rows.size(), DataSheetWaveArraySize);
    }

    void shortArraysAreWrittenAsZeros()
    {
        DataSheet s;
        s.WaveDocCount = 1;
        s.WaveDocs[0].HasData = true;
        s.WaveDocs[0].DrawCH1 = true; // CH1Rows empty
        DataSheet read;
        QCOMPARE(ParseDataSheet(DataSheetFileBytes(s, ctx()), read, ctx()), DataSheetRead::Ok);
        QCOMPARE(read.WaveDocs[0].CH1Rows, QList<qint32>(DataSheetWaveArraySize, 0));
    }

    void measureAndRecordLineCounts()
    {
        DataSheet s;
        s.MeasDocCount = 2;
        s.MeasDocs[1].HasData = true;
        s.ReplayCount = 1;
        s.Replays[0].FileLoaded = true; // loaded, never replayed: no frames
        s.Replays[0].FrameCount = 5;
        const QByteArray bytes = DataSheetFileBytes(s, ctx());
        QCOMPARE(lines(bytes).size(), 7 + 3 + 75 + 17);
        // Read into a slot whose earlier record had frames: none of them stay.
        DataSheet read;
        read.Replays[0].Samples = QList<qint16>(3 * ReplayInfo::FrameSize + 1, 100);
        QCOMPARE(ParseDataSheet(bytes, read, ctx()), DataSheetRead::Ok);
        QVERIFY(read.Replays[0].FileLoaded && !read.Replays[0].ReplayStarted);
        QCOMPARE(read.Replays[0].FrameCount, qint16(5));
        QVERIFY(read.Replays[0].Samples.isEmpty());
    }

    void memoryWaveBlocks_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("lines");
        QTest::newRow("interleaved up to the limit") << 524288 << 2 * 524288;
        QTest::newRow("blocks above it") << 524289 << 524289 + 524288;
    }

    void memoryWaveBlocks()
    {
        QFETCH(int, points);
        QFETCH(int, lines);
        DataSheet s;
        s.StoredWaveCount = 1;
        StoredWave &w = s.StoredWaves[0];
        w.HasData = true;
        w.TrigMode = QStringLiteral("EDGE");
        w.SampleCount = points;
        w.ShowCH1 = w.ShowLA = true;
        w.Ch1Samples = {1, 2, 3};
        w.LaSamples = {4, 5, 6};
        const QByteArray b = DataSheetFileBytes(s, ctx());
        const auto l = TestDataSheetFile::lines(b);
        QCOMPARE(l.size(), 7 + 104 + lines);
        if (points <= 524288)
            QCOMPARE(l.mid(7 + 104, 4), (QList<QByteArray>{"1\r", "4\r", "2\r", "5\r"}));
        DataSheet read;
        QCOMPARE(ParseDataSheet(b, read, ctx()), DataSheetRead::Ok);
        const StoredWave &r = read.StoredWaves[0];
        QCOMPARE(r.Ch1Samples.size(), points + 1);
        QCOMPARE(r.LaSamples.size(), points <= 524288 ? points + 1 : 524289);
        QCOMPARE(r.Ch1Samples.mid(0, 3), (QList<qint16>{1, 2, 3}));
        QCOMPARE(r.LaSamples.mid(0, 3), (QList<qint16>{4, 5, 6}));
        QVERIFY(r.Ch2Samples.isEmpty()); // CH2 not enabled: left as it was
    }

    // Every value the writer stores reads back as itself, the largest and
    // smallest of each float type included.
    void extremeFloatsReadBack_data()
    {
        QTest::addColumn<float>("single");
        QTest::addColumn<double>("twice");
        QTest::newRow("largest") << FLT_MAX << DBL_MAX;
        QTest::newRow("largest negative") << -FLT_MAX << -DBL_MAX;
        QTest::newRow("near the largest") << 3.0e38f << 1.0e300;
        QTest::newRow("smallest") << FLT_TRUE_MIN << 5e-324;
        QTest::newRow("plain") << 1e-4f << 9.99999999e6;
    }
    void extremeFloatsReadBack()
    {
        QFETCH(float, single);
        QFETCH(double, twice);
        DataSheet s;
        s.StoredWaveCount = 1;
        s.StoredWaves[0].Ch1Offset = single;
        s.StoredWaves[0].Delay = twice;
        DataSheet read;
        read.StoredWaves[0].Ch1Offset = 42;
        read.StoredWaves[0].Delay = 42;
        QCOMPARE(ParseDataSheet(DataSheetFileBytes(s, ctx()), read, ctx()), DataSheetRead::Ok);
        QCOMPARE(read.StoredWaves[0].Ch1Offset, single);
        QCOMPARE(read.StoredWaves[0].Delay, twice);
    }

    void textsThatCannotBeStoredAreReplaced()
    {
        DataSheet s;
        s.Name = QStringLiteral("a\"b\r\nc");
        DataSheet read;
        QCOMPARE(ParseDataSheet(DataSheetFileBytes(s, ctx()), read, ctx()), DataSheetRead::Ok);
        QCOMPARE(read.Name, QStringLiteral("a'b  c"));
    }

    // A text read from a file ends at its line's end: a lone CR inside a line
    // ends the text there, so that no text read holds a CR or LF and none
    // reaches an export in the middle of a line. The 87-byte sheet whose
    // measurement info is "a\rb" shows it; so do the texts of a data table.
    void aLoneCrEndsTheText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("info"); // the item's info text read
        const QByteArray head = "\"Karvo Technologies,Inc. QM4100D Data Sheet\"\r\n\"S\"\r\n";
        const QByteArray meas = head + "0\r\n1\r\n0\r\n0\r\n0\r\n\"M\"\r\n#FALSE#\r\n\"a\rb\"\r\n";
        QCOMPARE(meas.size(), 87);
        QTest::newRow("measurement info, 87 bytes") << meas << "a";
        QTest::newRow("measurement info, LF line ends") << QByteArray(meas).replace("\r\n", "\n") << "a";
        QTest::newRow("measurement info unquoted") << QByteArray(meas).replace("\"a\rb\"", "a\rb") << "a";
        QTest::newRow("measurement info, CR first") << QByteArray(meas).replace("\"a\rb\"", "\"\ra\"") << "";
        QTest::newRow("measurement info, CR CR LF") << QByteArray(meas).replace("\"a\rb\"\r\n", "\"a\"\r\r\n") << "a";
        QByteArray values = head + "0\r\n1\r\n0\r\n0\r\n0\r\n\"M\rx\"\r\n#TRUE#\r\n\"a\r\"\r\n";
        for (int i = 0; i < MeasCount; ++i)
            values += "\"1.00V\rjunk\"\r\n#TRUE#\r\n2\r\n1\r\n";
        QTest::newRow("measurement values") << values << "a";
        const QByteArray data = head
            + "0\r\n0\r\n1\r\n0\r\n0\r\n\"D\r1\"\r\n#TRUE#\r\n\"a\rb\"\r\n2\r\n"
              "\"\"\r\n\"\"\r\n\"1.00E+00\rjunk\"\r\n\"1.0E-03\r\"\r\n\"2.00E+00\"\r\n\"2.0E-03\r\rx\"\r\n";
        QTest::newRow("data table") << data << "a";
        QTest::newRow("data table, LF line ends") << QByteArray(data).replace("\r\n", "\n") << "a";
    }
    void aLoneCrEndsTheText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, info);
        DataSheet read;
        QCOMPARE(ParseDataSheet(bytes, read, ctx()), DataSheetRead::Ok);
        const auto whole = [](const QString &t) {
            return !t.contains(QLatin1Char('\r')) && !t.contains(QLatin1Char('\n'));
        };
        QVERIFY(whole(read.Name));
        QCOMPARE(read.MeasDocCount + read.DataDocCount, 1);
        // Each export line ends in CR LF, and no CR or LF stands anywhere else.
        const auto linesOnly = [](const QByteArray &file) {
            return file.count('\r') == file.count("\r\n") && file.count('\n') == file.count("\r\n");
        };
        if (read.MeasDocCount == 1) {
            const MeasDoc &m = read.MeasDocs[0];
            QCOMPARE(m.Info, info);
            QVERIFY(whole(m.Name));
            for (const MeasItem &item : m.Items)
                QVERIFY2(whole(item.Value), qPrintable(item.Value.toUtf8().toPercentEncoding()));
            if (m.HasData)
                QCOMPARE(m.Items[MeasVpp].Value, QStringLiteral("1.00V"));
            const QByteArray file = MeasureExportText(m);
            QVERIFY2(linesOnly(file), file.toPercentEncoding().constData());
            QCOMPARE(file.count("\r\n"), 26);
            QCOMPARE(file.split('\n')[5], (info + QLatin1Char('\r')).toUtf8());
        } else {
            const DataDoc &d = read.DataDocs[0];
            QCOMPARE(d.InfoLine, info);
            QCOMPARE(d.Name, QStringLiteral("D"));
            QCOMPARE(d.RowCount, 2);
            QCOMPARE(d.ValueTexts.mid(0, 3), (QStringList{"", "1.00E+00", "2.00E+00"}));
            QCOMPARE(d.TimeTexts.mid(0, 3), (QStringList{"", "1.0E-03", "2.0E-03"}));
            const QByteArray file = DataTableExportText(d);
            QVERIFY2(linesOnly(file), file.toPercentEncoding().constData());
            QCOMPARE(file.count("\r\n"), 9 + 2);
            QCOMPARE(file.split('\n')[10], QByteArray(" 2 \t2.0E-03\t2.00E+00\r"));
        }
    }

    void unreadableValuesKeepTheField()
    {
        QByteArray g = golden();
        QList<QByteArray> l = lines(g);
        // Wave0: line 14 RollMode (false in the file), 15 SpareWord1, 16 SpareWord2.
        l[14] = "abc\r";   // SpareWord1
        l[13] = "70000\r"; // RollMode as a number: non-zero is true
        l[15] = "70000\r"; // SpareWord2 out of the 16-bit range
        DataSheet read;
        read.WaveDocs[0].SpareWord1 = 99;
        read.WaveDocs[0].SpareWord2 = 98;
        QCOMPARE(ParseDataSheet(l.join('\n') + '\n', read, ctx()), DataSheetRead::Ok);
        QCOMPARE(read.WaveDocs[0].SpareWord1, qint16(99));
        QCOMPARE(read.WaveDocs[0].SpareWord2, qint16(98));
        QVERIFY(read.WaveDocs[0].RollMode);
        QCOMPARE(read.WaveDocs[0].PointCount, 600);
    }

    void refusedFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray g = golden();
        const QByteArray head = "\"Karvo Technologies,Inc. QM4100D Data Sheet\"\r\n\"S\"\r\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header case") << QByteArray(g).replace("Data Sheet\"", "data sheet\"");
        QTest::newRow("control file") << QByteArray("\"Karvo Technologies,Inc. QM4100D Controller\"\r\n");
        QTest::newRow("header only") << head.left(head.indexOf('\n') + 1);
        QTest::newRow("17 waveforms") << head + "17\r\n0\r\n0\r\n0\r\n0\r\n";
        QTest::newRow("negative count") << head + "0\r\n-1\r\n0\r\n0\r\n0\r\n";
        QTest::newRow("5 records") << head + "0\r\n0\r\n0\r\n5\r\n0\r\n";
        QTest::newRow("4 memory waves") << head + "0\r\n0\r\n0\r\n0\r\n4\r\n";
        QTest::newRow("too many rows") << head + "0\r\n0\r\n1\r\n0\r\n0\r\n\"D\"\r\n#FALSE#\r\n\"\"\r\n17001\r\n";
        const QByteArray replayed = head
            + "0\r\n0\r\n0\r\n1\r\n0\r\n\"R\"\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n\"\"\r\n\"\"\r\n#FALSE#\r\n";
        const QByteArray replayTail = "1\r\n1\r\n#TRUE#\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0.05\r\n";
        QTest::newRow("frames 5 to 1") << replayed + "5\r\n1\r\n" + replayTail;
        QTest::newRow("frames 1 to 0") << replayed + "1\r\n0\r\n" + replayTail;
        QTest::newRow("huge frame count") << head
                + "0\r\n0\r\n0\r\n1\r\n0\r\n\"R\"\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n\"\"\r\n\"\"\r\n#FALSE#\r\n-32768\r\n32767\r\n1\r\n1\r\n#TRUE#\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0.05\r\n1\r\n";
        for (int cut : {60, 500, 2000, 9000, int(g.size()) - 5})
            QTest::newRow(qPrintable(QStringLiteral("cut at %1").arg(cut))) << g.left(cut);
    }

    void refusedFilesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        DataSheet s = goldenSheet();
        s.Name = QStringLiteral("before");
        const DataSheet before = s;
        QCOMPARE(ParseDataSheet(bytes, s, ctx()), DataSheetRead::BadFormat);
        compareSheets(s, before);
    }

    void aWriteCutShortLeavesThePreviousFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.kvd"));
        DataSheet small;
        small.Name = QStringLiteral("small");
        QVERIFY(WriteDataSheetFile(path, small, ctx()));
        const QByteArray before = DataSheetFileBytes(small, ctx());
        bool written = true;
        {
            // Writes beyond 4 KiB fail (as on a full disk) while this holds.
            rlimit old{};
            getrlimit(RLIMIT_FSIZE, &old);
            const auto handler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit = old;
            limit.rlim_cur = 4096;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
            written = WriteDataSheetFile(path, goldenSheet(), ctx());
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, handler);
        }
        QVERIFY(!written);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // A file of millions of empty lines after a good header is read with no
    // more memory than a few times its size: the reading runs in a child
    // process whose address space may grow by 160 MB, for 16 MB of file.
    void manyEmptyLinesNeedNoIndexOfTheFile()
    {
#if !KELVO_PLAIN_HEAP || !defined(__linux__)
        QSKIP("needs the C library's own heap and /proc (not under a sanitizer)");
#else
        QByteArray bytes = DataSheetFileHeader().toLatin1() + "\r\n";
        bytes.append(QByteArray(16 << 20, '\n'));
        DataSheet unlimited;
        const DataSheetRead expected = ParseDataSheet(bytes, unlimited, ctx());
        const auto mappedNow = [] {
            QFile f(QStringLiteral("/proc/self/statm"));
            return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toLongLong() * getpagesize() : 0;
        };
        const qint64 mapped = mappedNow();
        QVERIFY(mapped > 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // The test runner's crash handling belongs to the parent.
            for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGILL, SIGFPE})
                std::signal(sig, SIG_DFL);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = rlim_t(mapped + (160 << 20));
            if (setrlimit(RLIMIT_AS, &limit) != 0)
                _exit(100);
            try {
                DataSheet sheet;
                _exit(int(ParseDataSheet(bytes, sheet, ctx())));
            } catch (...) {
                _exit(101); // out of memory
            }
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), qPrintable(QStringLiteral("the reading died of signal %1").arg(WTERMSIG(status))));
        QVERIFY2(WEXITSTATUS(status) != 101, "the reading ran out of memory");
        QCOMPARE(WEXITSTATUS(status), int(expected));
#endif
    }

    // The disk fills up in the middle of a save, of the data sheet and of
    // every text file written beside it: the previous file stays whole, no
    // piece is left in the folder, and the message gives the system's reason.
    void fullDiskKeepsThePreviousFileAndSaysWhy_data()
    {
        QTest::addColumn<int>("road");
        QTest::newRow("data sheet") << 0;
        QTest::newRow("control file") << 1;
        QTest::newRow("data table export") << 2;
        QTest::newRow("measurement export") << 3;
    }
    void fullDiskKeepsThePreviousFileAndSaysWhy()
    {
        QFETCH(int, road);
        resetApp();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.txt"));
        const QByteArray previous = "the previous file\r\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(previous), previous.size());
        }
        app().Sheet.DataDocs[0].InfoLine = QStringLiteral("CH1 1.00V  500.0us 666.7kSa  Size=0");
        QString error;
        bool ok = true;
        {
            FileSizeLimit limit(16);
            QVERIFY(limit.active());
            switch (road) {
            case 0: ok = WriteDataSheetFile(path, goldenSheet(), ctx(), &error); break;
            case 1: ok = WriteControlFile(path, CtrlSettings{}, &error); break;
            case 2: ok = ExportDataTable(path, 0, &error); break;
            default: ok = WriteMeasureExport(path, 0, &error); break;
            }
        }
        QVERIFY(!ok);
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.txt")});
    }

    void saveFileReplacesAndFailsSafely()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.kvd"));
        QString error;
        QVERIFY(WriteDataSheetFile(path, goldenSheet(), ctx(), &error));
        DataSheet read;
        QCOMPARE(ReadDataSheetFile(path, read, ctx()), DataSheetRead::Ok);
        compareSheets(read, goldenSheet());
        QVERIFY(!WriteDataSheetFile(dir.filePath(QStringLiteral("no/such/dir/s.kvd")), goldenSheet(), ctx(), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadDataSheetFile(dir.filePath(QStringLiteral("missing.kvd")), read, ctx(), &error),
                 DataSheetRead::OpenFailed);
    }
};

QTEST_MAIN(TestDataSheetFile)
#include "tst_datasheetfile.moc"
