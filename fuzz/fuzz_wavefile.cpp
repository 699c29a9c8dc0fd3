// Reads arbitrary bytes as a waveform file. A refused file changes nothing;
// an accepted one shows at least one block and holds every shown channel's
// samples for its count (a file cut short of its blocks, or without a block,
// is refused); its
// screen data, computed from whatever the header holds, and the traces drawn
// from it never touch memory outside the record. What uses an accepted
// record gets it too: the info panel (no line break, "inf" or "nan" in its
// texts, no negative place or width) and the CSV export (a header of two
// lines, then one line per point, every line with the header's columns).
// Inputs go up to 256 KiB, files of some ten thousand points per channel.
//
// The same file is also read from a file on disk, as the viewer opens it, in
// 64 KiB pieces: the same result and the same samples, a block crossing
// pieces included. An input whose header asks for more bytes than it holds
// is also read stretched, its bytes after the header repeated up to the end
// of its blocks (at most 256 KiB): a file of over 64 KiB of samples from a
// small input.

#include "maxlen.h"

#include "common/storedwave.h"
#include "storedwave/csvexport.h"
#include "storedwave/infopanel.h"
#include "storedwave/screendata.h"
#include "storedwave/storedpicture.h"
#include "storedwave/wavefile.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool bad)
{
    if (bad)
        std::abort();
}

void checkText(const QString &t)
{
    check(t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r'))
          || t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
          || t.contains(QLatin1String("nan"), Qt::CaseInsensitive));
}

void checkInfoPanel(const StoredWave &rec)
{
    const InfoPanelTexts t = FillMemoryWaveInfo(rec);
    for (const QString *s : {&t.ch1VoltDiv, &t.ch2VoltDiv, &t.timeDiv, &t.ch1TimeDiv, &t.ch2TimeDiv})
        checkText(*s);
    check(t.ch1Shown != rec.ShowCH1 || t.ch2Shown != rec.ShowCH2);
    const InfoPanelPlace p = LayoutMemoryWaveInfo(rec);
    for (int v : {p.voltFrameWidth, p.refreshWidth, p.timeFrameLeft, p.altFrameLeft, p.resetLeft, p.ch1.label,
                  p.ch2.label})
        check(v < 0);
}

void checkCsv(const StoredWave &rec)
{
    CsvExportData d;
    if (prepareCsvExport(rec, &d) != CsvRefusal::None)
        return;
    const QByteArray csv = buildCsv(d);
    const QList<QByteArray> lines = csv.split('\n');
    // Every line ends in CR LF: the last piece after the split is empty.
    check(lines.size() < 3 || !lines.last().isEmpty());
    const qsizetype columns = lines[0].count(',');
    check(lines[1].count(',') != columns);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        check(!lines[i].endsWith('\r'));
        check(lines[i].count(',') > columns);
        check(i >= 2 && lines[i].toLower().contains("nan"));
        check(i >= 2 && lines[i].toLower().contains("inf"));
    }
    if (!d.alternate) {
        check(lines.size() - 3 != d.rows);
        for (qsizetype i = 2; i + 1 < lines.size(); ++i)
            check(lines[i].count(',') != columns);
    } else {
        // Under the alternate trigger every point of either channel has its
        // row: the longer count.
        check(lines.size() - 3 != d.rows);
    }
}

QTemporaryDir *gDir = nullptr;

// The bytes the blocks of a file's header end at; -1 when no block is read or
// a count is negative.
qint64 blocksEnd(QByteArrayView bytes)
{
    if (bytes.size() < 2)
        return -1;
    const quint16 magic = quint16(quint8(bytes[0]) | quint8(bytes[1]) << 8);
    int headerSize = 0;
    WaveFileHeader h;
    if (magic == WaveFileHeader::CurrentMagic) {
        headerSize = WaveFileHeader::CurrentSize;
        h = WaveFileHeader::decode(bytes.first(std::min<qsizetype>(bytes.size(), headerSize)));
    } else if (magic == WaveFileHeader::OlderMagic) {
        headerSize = WaveFileHeader::OlderSize;
        h = WaveFileHeader::decode(currentHeaderFromOlder(bytes.first(std::min<qsizetype>(bytes.size(), headerSize))));
    } else {
        return -1;
    }
    const bool alternate = h.TrigMode == WaveFileHeader::AlternateTrigger;
    const bool ch1 = h.Ch1Present == 1, ch2 = h.Ch2Present == 1, la = !alternate && h.LaPresent == 1;
    const qint64 n1 = h.Points, n2 = alternate ? qint64(h.Ch2Points) : n1;
    if ((!ch1 && !ch2 && !la) || ((ch1 || la) && n1 < 0) || (ch2 && n2 < 0))
        return -1;
    return headerSize + WaveFileHeader::SkippedBytes + (ch1 ? n1 : 0) + (ch2 ? n2 : 0)
        + (la ? (n1 > WaveFileWordPointsMax ? n1 : 2 * n1) : 0);
}

// The file read from disk in its pieces gives what the bytes in memory give.
void checkFromDisk(QByteArrayView bytes)
{
    const QString path = gDir->path() + QStringLiteral("/fuzz.wfm");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes.data(), bytes.size()) != bytes.size())
            std::abort();
    }
    StoredWave fromMemory, fromDisk;
    const WaveFileError a = ParseWaveFile(bytes, path, fromMemory);
    const WaveFileError b = loadWaveFile(path, fromDisk);
    check(a != b);
    check(fromMemory.HasData != fromDisk.HasData || fromMemory.ShowCH1 != fromDisk.ShowCH1
          || fromMemory.ShowCH2 != fromDisk.ShowCH2 || fromMemory.ShowLA != fromDisk.ShowLA);
    check(fromMemory.Ch1Samples != fromDisk.Ch1Samples || fromMemory.Ch2Samples != fromDisk.Ch2Samples
          || fromMemory.LaSamples != fromDisk.LaSamples);
    check(fromMemory.SampleCount != fromDisk.SampleCount || fromMemory.FilePath != fromDisk.FilePath);
}

void checkFile(QByteArrayView bytes);

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 256 * 1024);
    // On a memory file system when there is one: the file is written again
    // for every input.
    gDir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gDir->isValid())
        std::abort();
    std::atexit([] { delete gDir; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkFile(bytes);
    checkFromDisk(bytes);
    // Stretched to the end of its blocks.
    const qint64 end = blocksEnd(bytes);
    const qint64 header = bytes.size() >= 2 && quint8(bytes[0]) == 0xA1 ? WaveFileHeader::OlderSize + 4
                                                                        : WaveFileHeader::CurrentSize + 4;
    if (end > bytes.size() && end <= 256 * 1024 && bytes.size() > header) {
        QByteArray stretched(qsizetype(end), '\0');
        std::memcpy(stretched.data(), bytes.data(), size_t(header));
        const QByteArrayView body = bytes.sliced(header);
        for (qsizetype at = header; at < stretched.size(); at += body.size())
            std::memcpy(stretched.data() + at, body.data(), size_t(std::min<qsizetype>(body.size(), stretched.size() - at)));
        checkFile(stretched);
        checkFromDisk(stretched);
    }
    return 0;
}

namespace {

void checkFile(QByteArrayView bytes)
{
    StoredWave rec;
    rec.Name = QStringLiteral("before");
    rec.Ch1Samples = QList<qint16>{1, 2, 3};
    rec.ShowCH2 = true;
    const StoredWave before = rec;
    if (ParseWaveFile(bytes, QStringLiteral("/fuzz.wfm"), rec) != WaveFileError::None) {
        if (!(rec == before))
            std::abort();
        return;
    }
    const bool alternate = isAlternate(rec);
    const qint64 n1 = alternate ? rec.Ch1SampleCount : rec.SampleCount;
    const qint64 n2 = alternate ? rec.Ch2SampleCount : rec.SampleCount;
    // A count may be anything when no block is read by it.
    if (((rec.ShowCH1 || rec.ShowLA) && n1 < 0) || (rec.ShowCH2 && n2 < 0)
        || (rec.ShowCH1 && rec.Ch1Samples.size() != n1 + 1)
        || (rec.ShowCH2 && rec.Ch2Samples.size() != n2 + 1) || (rec.ShowLA && alternate))
        std::abort();
    // A file is accepted only with a block to show.
    if (!rec.HasData || !(rec.ShowCH1 || rec.ShowCH2 || rec.ShowLA))
        std::abort();
    RefreshScreenData(rec, ScreenSelector::All);
    for (const StoredWave::ScreenArray *a : {&rec.Ch1Screen, &rec.Ch2Screen})
        for (qint16 row : *a)
            if (row < 0 || row > 199)
                std::abort();
    QImage pic(350, 250, QImage::Format_RGB32);
    QPainter p(&pic);
    for (bool ch1 : {true, false})
        DrawChannelTrace(p, 1.0, ch1 ? rec.Ch1Screen : rec.Ch2Screen, rec.PointCount, ch1, rec.Setup, rec.TrigMode);
    DrawLATraces(p, 1.0, rec.LaScreen, rec.Setup, true);
    checkInfoPanel(rec);
    checkCsv(rec);
}

} // namespace
