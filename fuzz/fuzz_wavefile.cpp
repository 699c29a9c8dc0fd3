// Reads arbitrary bytes as a waveform file. A refused file changes nothing;
// an accepted one shows at least one block and holds every shown channel's
// samples for its count (a file cut short of its blocks, or without a block,
// is refused); its
// screen data, computed from whatever the header holds, and the traces drawn
// from it never touch memory outside the record.

#include "common/storedwave.h"
#include "storedwave/screendata.h"
#include "storedwave/storedpicture.h"
#include "storedwave/wavefile.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

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
    return 0;
}
