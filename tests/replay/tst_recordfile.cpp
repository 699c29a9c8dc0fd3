// The record file reader on generated files: header fields, frames, texts,
// and damaged, cut and oversized files.

#include "replay/recordmaker.h"

#include "app/appstate.h"
#include "replay/recordfile.h"
#include "values/normvalue.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TestRecordFile : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void headerFieldsAtTheirOffsets();
    void readsFramesAndClampsLevels();
    void channelSelection_data();
    void channelSelection();
    void frameNumbersGiveTheCount_data();
    void frameNumbersGiveTheCount();
    void scaleAndTimeTexts();
    void rejectedFilesChangeNothing_data();
    void rejectedFilesChangeNothing();
    void shortBodyKeepsWholeFramesOnly();
    void inflatedSizeLimit();
    void fileOnDisk();
    void messagesOfFailures();
};

void TestRecordFile::headerFieldsAtTheirOffsets()
{
    QByteArray d(56, '\0');
    auto put = [&d](int off, auto v) { qToLittleEndian(v, d.data() + off); };
    put(0, quint16(0xBABA));
    put(8, quint32(2));
    put(12, quint32(7));
    put(16, qint16(-3));
    put(18, qint16(400));
    put(20, quint8(1));
    put(24, qint32(500000));
    put(28, qint16(-50));
    put(30, quint8(0));
    put(32, qint32(20000));
    put(36, qint16(12));
    put(40, qint64(5000000000000LL));
    put(48, qint64(-250000));
    const RecordFileHeader h = RecordFileHeader::decode(d);
    QCOMPARE(h.Magic, quint16(0xBABA));
    QCOMPARE(h.Source, 2u);
    QCOMPARE(h.SourceChannel, 7u);
    QCOMPARE(h.FirstFrameNumber, qint16(-3));
    QCOMPARE(h.LastFrameNumber, qint16(400));
    QCOMPARE(h.CH1On, quint8(1));
    QCOMPARE(h.CH1VoltDiv, 500000);
    QCOMPARE(h.CH1Offset, qint16(-50));
    QCOMPARE(h.CH2On, quint8(0));
    QCOMPARE(h.CH2VoltDiv, 20000);
    QCOMPARE(h.CH2Offset, qint16(12));
    QCOMPARE(h.TimeDiv, 5000000000000LL);
    QCOMPARE(h.Delay, -250000LL);
    // Bytes the header does not read stay out of it; encoding writes them as 0.
    QCOMPARE(h.encode(), d);
    // A buffer shorter than the header reads its missing bytes as 0.
    const RecordFileHeader shortH = RecordFileHeader::decode(d.left(19));
    QCOMPARE(shortH.FirstFrameNumber, qint16(-3));
    QCOMPARE(shortH.LastFrameNumber, qint16(400 & 0xff));
    QCOMPARE(shortH.CH1VoltDiv, 0);
}

void TestRecordFile::readsFramesAndClampsLevels()
{
    // Frame f holds level f * 10 + 30 everywhere but the first six samples,
    // which carry the clamp edges.
    const int edges[] = {0, 24, 25, 224, 225, 255};
    const QByteArray raw = rawFrames(3, [&](int f, int i) { return i < 6 ? edges[i] : (i == 6 ? 125 : f * 10 + 30); });
    RecordFileData data;
    QCOMPARE(readRecordBytes(recordFile(basicHeader(3), raw), data), RecordError::None);
    QCOMPARE(data.inflated, raw);
    QCOMPARE(data.header.LastFrameNumber, qint16(3));

    ReplayInfo &rec = app().Sheet.Replays[0];
    QCOMPARE(ParseRecordData(data.header, data.inflated, rec), RecordError::None);
    QCOMPARE(rec.Samples.size(), 3 * 1024 + 1);
    QCOMPARE(rec.Samples.last(), qint16(0));
    for (int f = 1; f <= 3; ++f) {
        const qsizetype base = qsizetype(f - 1) * 1024;
        const qint16 expect[] = {0, 0, 0, 199, 199, 199, 100};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(rec.Samples[base + i], expect[i]);
        for (int i = 7; i < 1024; ++i)
            QCOMPARE(rec.Samples[base + i], qint16(f * 10 + 30 - 25));
    }
    QCOMPARE(rec.FirstFrame, qint16(1));
    QCOMPARE(rec.FrameCount, qint16(3));
    QCOMPARE(rec.CurrentFrame, qint16(1));
    QCOMPARE(rec.Channel, QStringLiteral("CH1"));
}

void TestRecordFile::channelSelection_data()
{
    QTest::addColumn<quint32>("source");
    QTest::addColumn<quint32>("sourceChannel");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("channel");
    QTest::newRow("CH1") << 0u << 5u << QString() << QStringLiteral("CH1");
    QTest::newRow("CH2") << 1u << 0u << QString() << QStringLiteral("CH2");
    QTest::newRow("given, 0") << 2u << 0u << QString() << QStringLiteral("CH1");
    QTest::newRow("given, 7") << 2u << 7u << QString() << QStringLiteral("CH2");
    QTest::newRow("none, fresh item") << 3u << 0u << QString() << QString();
    QTest::newRow("none keeps the earlier") << 9u << 0u << QStringLiteral("CH2") << QStringLiteral("CH2");
}

void TestRecordFile::channelSelection()
{
    QFETCH(quint32, source);
    QFETCH(quint32, sourceChannel);
    QFETCH(QString, before);
    QFETCH(QString, channel);
    RecordFileHeader h = basicHeader(1);
    h.Source = source;
    h.SourceChannel = sourceChannel;
    h.CH2VoltDiv = 2000000;
    ReplayInfo rec;
    rec.Channel = before;
    QCOMPARE(ParseRecordData(h, rawFrames(1, [](int, int) { return 125; }), rec), RecordError::None);
    QCOMPARE(rec.Channel, channel);
    if (channel == QLatin1String("CH1"))
        QCOMPARE(rec.VoltDivText, FormatVolt(u"1"));
    else if (channel == QLatin1String("CH2"))
        QCOMPARE(rec.VoltDivText, FormatVolt(u"2"));
    else
        QVERIFY(rec.VoltDivText.isEmpty()); // no channel: no scale texts, the open still succeeds
}

void TestRecordFile::frameNumbersGiveTheCount_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("count");
    QTest::newRow("5..9") << 5 << 9 << 5;
    QTest::newRow("one frame") << 7 << 7 << 1;
    QTest::newRow("negative numbers") << -2 << 1 << 4;
}

void TestRecordFile::frameNumbersGiveTheCount()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, count);
    RecordFileHeader h = basicHeader(1);
    h.FirstFrameNumber = qint16(first);
    h.LastFrameNumber = qint16(last);
    ReplayInfo rec;
    QCOMPARE(ParseRecordData(h, rawFrames(8, [](int f, int) { return f + 40; }), rec), RecordError::None);
    QCOMPARE(rec.FrameCount, qint16(count));
    QCOMPARE(rec.FirstFrame, qint16(1));
    QCOMPARE(rec.CurrentFrame, qint16(1));
}

void TestRecordFile::scaleAndTimeTexts()
{
    RecordFileHeader h = basicHeader(1);
    h.CH1VoltDiv = 500000;
    h.CH1Offset = -50;
    h.TimeDiv = 2000000000LL;  // 2 ms
    h.Delay = -1500000000LL;   // -1.5 ms
    ReplayInfo rec;
    QCOMPARE(ParseRecordData(h, rawFrames(1, [](int, int) { return 125; }), rec), RecordError::None);
    QCOMPARE(rec.VoltDivText, QStringLiteral("500mV"));
    QCOMPARE(rec.OffsetText, QStringLiteral("-1.00V"));
    QCOMPARE(rec.TimeDivText, QStringLiteral("2.000ms"));
    QCOMPARE(rec.DelayText, QStringLiteral("-1.5000ms"));

    // A time per division beyond 32 bits of picoseconds (the high word counts).
    h.TimeDiv = 10000000000000LL; // 10 s
    QCOMPARE(ParseRecordData(h, rawFrames(1, [](int, int) { return 125; }), rec), RecordError::None);
    QCOMPARE(rec.TimeDivText, QStringLiteral("10.00s"));
}

void TestRecordFile::rejectedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("error");
    const QByteArray good = recordFile(basicHeader(2), rawFrames(2, [](int, int i) { return i % 200 + 25; }));

    QByteArray badMagic = good;
    badMagic[1] = char(0xBB);
    QTest::newRow("wrong magic") << badMagic << int(RecordError::BadFormat);
    QTest::newRow("empty file") << QByteArray() << int(RecordError::BadFormat);
    QTest::newRow("header only") << good.left(56) << int(RecordError::InflateFailed);
    QTest::newRow("magic only") << good.left(2) << int(RecordError::InflateFailed);
    QTest::newRow("cut stream") << good.left(good.size() - 9) << int(RecordError::InflateFailed);
    QByteArray corrupt = good;
    for (int i = 60; i < 80; ++i)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    QTest::newRow("corrupt stream") << corrupt << int(RecordError::InflateFailed);

    RecordFileHeader off = basicHeader(2);
    off.Source = 1;
    off.CH1On = 1;
    off.CH2On = 0;
    QTest::newRow("CH2 off, CH1 on") << recordFile(off, rawFrames(2, [](int, int) { return 99; }))
                                     << int(RecordError::ChannelOff);
    RecordFileHeader backwards = basicHeader(2);
    backwards.FirstFrameNumber = 9;
    backwards.LastFrameNumber = 5;
    QTest::newRow("last before first") << recordFile(backwards, rawFrames(2, [](int, int) { return 99; }))
                                       << int(RecordError::BadFormat);
    RecordFileHeader wide = basicHeader(2);
    wide.FirstFrameNumber = -32768;
    wide.LastFrameNumber = 32767;
    QTest::newRow("count beyond 16 bits") << recordFile(wide, rawFrames(2, [](int, int) { return 99; }))
                                          << int(RecordError::BadFormat);
    QTest::newRow("less than one frame")
        << recordFile(basicHeader(1), QByteArray(1023, char(100))) << int(RecordError::NoWholeFrame);
}

void TestRecordFile::rejectedFilesChangeNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(int, error);
    // The item holds an earlier file.
    ReplayInfo &rec = app().Sheet.Replays[1];
    RecordFileData data;
    QCOMPARE(readRecordBytes(recordFile(basicHeader(3), rawFrames(3, [](int f, int) { return 30 + f; })), data),
             RecordError::None);
    QCOMPARE(ParseRecordData(data.header, data.inflated, rec), RecordError::None);
    rec.FileLoaded = true;
    rec.CurrentFrame = 2;
    const ReplayInfo before = rec;

    RecordFileData next;
    RecordError e = readRecordBytes(file, next);
    if (e == RecordError::None)
        e = ParseRecordData(next.header, next.inflated, rec);
    QCOMPARE(int(e), error);
    QVERIFY(rec == before);
}

void TestRecordFile::shortBodyKeepsWholeFramesOnly()
{
    // The header claims 10 frames; the body holds 3 and a half.
    QByteArray raw = rawFrames(4, [](int f, int) { return 40 + f; });
    raw.truncate(3 * 1024 + 512);
    RecordFileData data;
    QCOMPARE(readRecordBytes(recordFile(basicHeader(10), raw), data), RecordError::None);
    ReplayInfo rec;
    QCOMPARE(ParseRecordData(data.header, data.inflated, rec), RecordError::None);
    QCOMPARE(rec.FrameCount, qint16(3));
    QVERIFY(rec.Samples.size() >= qsizetype(rec.FrameCount) * 1024);
}

void TestRecordFile::inflatedSizeLimit()
{
    const RecordFileHeader h = basicHeader(1953);
    RecordFileData data;
    const QByteArray exact(RecordBufferSize, char(125));
    QCOMPARE(readRecordBytes(recordFile(h, exact), data), RecordError::None);
    QCOMPARE(data.inflated.size(), RecordBufferSize);
    ReplayInfo rec;
    QCOMPARE(ParseRecordData(data.header, data.inflated, rec), RecordError::None);
    QCOMPARE(rec.FrameCount, qint16(1953));
    QCOMPARE(rec.Samples.size(), RecordBufferSize + 1);

    const QByteArray oneMore(RecordBufferSize + 1, char(125));
    QCOMPARE(readRecordBytes(recordFile(h, oneMore), data), RecordError::InflateFailed);
}

void TestRecordFile::fileOnDisk()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.rcd"));
    QVERIFY(writeFile(path, recordFile(basicHeader(2), rawFrames(2, [](int f, int) { return f == 1 ? 25 : 224; }))));
    ReplayInfo rec;
    QCOMPARE(loadRecordFile(path, rec), RecordError::None);
    QCOMPARE(rec.FrameCount, qint16(2));
    QCOMPARE(rec.Samples[0], qint16(0));
    QCOMPARE(rec.Samples[1024], qint16(199));
    QCOMPARE(loadRecordFile(dir.filePath(QStringLiteral("missing.rcd")), rec), RecordError::Unreadable);
    QCOMPARE(loadRecordFile(dir.path(), rec), RecordError::Unreadable); // a folder
    QCOMPARE(rec.FrameCount, qint16(2));
}

void TestRecordFile::messagesOfFailures()
{
    Msg m{};
    QVERIFY(recordErrorMessage(RecordError::BadFormat, &m));
    QCOMPARE(m, Msg::MsgBadFileFormat);
    QVERIFY(recordErrorMessage(RecordError::InflateFailed, &m));
    QCOMPARE(m, Msg::MsgFileOpFailed);
    QVERIFY(recordErrorMessage(RecordError::NoWholeFrame, &m));
    QCOMPARE(m, Msg::MsgFileOpFailed);
    QVERIFY(recordErrorMessage(RecordError::ChannelOff, &m));
    QCOMPARE(m, Msg::MsgBadChannelData);
    QVERIFY(!recordErrorMessage(RecordError::Unreadable, &m));
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
