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

#include "maxlen.h"

#include "common/storedwave.h"
#include "storedwave/csvexport.h"
#include "storedwave/infopanel.h"
#include "storedwave/screendata.h"
#include "storedwave/storedpicture.h"
#include "storedwave/wavefile.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

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

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 256 * 1024);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    StoredWave rec;
    rec.Name = QStringLiteral("before");
    rec.Ch1Samples = QList<qint16>{1, 2, 3};
    rec.ShowCH2 = true;
    const StoredWave before = rec;
    if (ParseWaveFile(bytes, QStringLiteral("/fuzz.wfm"), rec) != WaveFileError::None) {
        if (!(rec == before))
            std::abort();
        return 0;
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
    return 0;
}
