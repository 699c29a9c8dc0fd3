#include "storedwave/wavefile.h"

#include "common/binaryread.h"
#include "values/scalesteps.h"


#include <algorithm>
#include <cstring>

namespace {

double picoseconds(qint64 ps)
{
    const quint64 u = quint64(ps);
    return PicosToSeconds(qint32(quint32(u & 0xffffffffu)), qint32(quint32(u >> 32)));
}

// A volts/div of the file (microvolts) in volts, single precision.
float voltDiv(qint32 microvolts) { return float(double(microvolts) / 1000000.0); }

// The file's bytes as the reader's zero-filled buffer sees them.
class FileBuffer {
public:
    explicit FileBuffer(QByteArrayView bytes)
        : bytes_(bytes.first(std::min(bytes.size(), WaveFileMaxBytes))),
          size_(std::max<qint64>(bytes_.size(), WaveFileBufferSize))
    {
    }

    // True when the n bytes from pos lie inside the buffer.
    bool fits(qint64 pos, qint64 n) const { return pos >= 0 && n >= 0 && n <= size_ && pos <= size_ - n; }

    // The byte at pos (0 past the file's end); pos within the buffer.
    unsigned char at(qint64 pos) const { return pos < bytes_.size() ? static_cast<unsigned char>(bytes_[pos]) : 0; }
    // How many of the n bytes from pos the file itself holds.
    qint64 held(qint64 pos, qint64 n) const { return std::clamp<qint64>(qint64(bytes_.size()) - pos, 0, n); }
    const unsigned char *data() const { return reinterpret_cast<const unsigned char *>(bytes_.data()); }

private:
    QByteArrayView bytes_;
    qint64 size_;
};

// One level per point plus the bias, in an array of n + 1 elements (the last 0).
QList<qint16> analogBlock(const FileBuffer &buf, qint64 pos, qint64 n, int bias)
{
    QList<qint16> out(qsizetype(n + 1), qint16(bias));
    out[qsizetype(n)] = 0;
    qint16 *dst = out.data();
    const qint64 held = buf.held(pos, n);
    if (held > 0) {
        const unsigned char *src = buf.data() + pos;
        for (qint64 i = 0; i < held; ++i)
            dst[i] = qint16(src[i] + bias);
    }
    return out;
}

// The m bytes of the digital block, two to an element (low byte first), in
// an array of m + 1 elements.
QList<qint16> digitalBlock(const FileBuffer &buf, qint64 pos, qint64 m)
{
    QList<qint16> out(qsizetype(m + 1), 0);
    qint16 *dst = out.data();
    for (qint64 k = 0; 2 * k < m; ++k) {
        const quint16 low = buf.at(pos + 2 * k);
        const quint16 high = 2 * k + 1 < m ? buf.at(pos + 2 * k + 1) : 0;
        dst[k] = qint16(quint16(low | (high << 8)));
    }
    return out;
}

} // namespace

WaveFileHeader WaveFileHeader::decode(QByteArrayView d)
{
    WaveFileHeader h;
    h.Magic = readLE<quint16>(d, 0);
    h.Points = readLE<qint32>(d, 28);
    h.Ch1MicroVoltDiv = readLE<qint32>(d, 36);
    h.Ch1Offset = readLE<qint16>(d, 40);
    h.Ch1Present = readLE<quint8>(d, 49);
    h.Ch1AcqMicroVoltDiv = readLE<qint32>(d, 52);
    h.Ch1AcqOffset = readLE<qint16>(d, 56);
    h.Ch2MicroVoltDiv = readLE<qint32>(d, 60);
    h.Ch2Offset = readLE<qint16>(d, 64);
    h.Ch2Present = readLE<quint8>(d, 73);
    h.Ch2AcqMicroVoltDiv = readLE<qint32>(d, 76);
    h.Ch2AcqOffset = readLE<qint16>(d, 80);
    h.TimeDiv = readLE<qint64>(d, 84);
    h.Position = readLE<qint64>(d, 92);
    h.SampleRate = readLE<float>(d, 100);
    h.AcqTimeDiv = readLE<qint64>(d, 104);
    h.Delay = readLE<qint64>(d, 112);
    h.LaPresent = readLE<quint8>(d, 120);
    h.LaSelected = readLE<quint8>(d, 121);
    h.LaShownMask = readLE<qint16>(d, 122);
    for (int i = 0; i < 16; ++i)
        h.LaPosition[size_t(i)] = readLE<quint8>(d, 124 + i);
    h.LaHighGroup = readLE<quint8>(d, 140);
    h.LaLowGroup = readLE<quint8>(d, 141);
    h.TrigMode = readLE<quint8>(d, 142);
    h.Ch2Points = readLE<qint32>(d, 232);
    h.Ch2TimeDiv = readLE<qint64>(d, 236);
    h.Ch2Position = readLE<qint64>(d, 244);
    h.Ch2SampleRate = readLE<float>(d, 252);
    h.Ch2Delay = readLE<qint64>(d, 264);
    return h;
}

QByteArray currentHeaderFromOlder(QByteArrayView older)
{
    QByteArray old(WaveFileHeader::OlderSize, '\0');
    if (!older.isEmpty())
        std::memcpy(old.data(), older.data(), size_t(std::min<qsizetype>(older.size(), WaveFileHeader::OlderSize)));
    QByteArray cur(WaveFileHeader::CurrentSize, '\0');
    std::memcpy(cur.data(), old.constData(), 120);
    std::memcpy(cur.data() + 142, old.constData() + 120, 5);
    std::memcpy(cur.data() + 148, old.constData() + 128, WaveFileHeader::OlderSize - 128);
    return cur;
}

namespace {

// Calls f(saved, live) for every member of the display snapshot.
template <class F>
void snapshotPairs(StoredWave &r, F f)
{
    f(r.SavedCh1Offset, r.Ch1Offset);
    f(r.SavedCh2Offset, r.Ch2Offset);
    f(r.SavedCh1VoltDiv, r.Ch1VoltDiv);
    f(r.SavedCh2VoltDiv, r.Ch2VoltDiv);
    f(r.SavedCh1AcqVoltDiv, r.Ch1AcqVoltDiv);
    f(r.SavedCh2AcqVoltDiv, r.Ch2AcqVoltDiv);
    f(r.SavedCh1AcqOffset, r.Ch1AcqOffset);
    f(r.SavedCh2AcqOffset, r.Ch2AcqOffset);
    f(r.SavedAcqTimeDiv, r.AcqTimeDiv);
    f(r.SavedDelay, r.Delay);
    f(r.SavedCh1Delay, r.Ch1Delay);
    f(r.SavedCh2Delay, r.Ch2Delay);
    f(r.SavedTimeDiv, r.TimeDiv);
    f(r.SavedPosition, r.Position);
    f(r.SavedCh1TimeDiv, r.Ch1TimeDiv);
    f(r.SavedCh2TimeDiv, r.Ch2TimeDiv);
    f(r.SavedCh1Position, r.Ch1Position);
    f(r.SavedCh2Position, r.Ch2Position);
    f(r.SavedLaRow, r.Setup.LARow);
    f(r.SavedLaSelected, r.Setup.LASelected);
}

} // namespace

void SaveDisplaySettings(StoredWave &r)
{
    snapshotPairs(r, [](auto &saved, const auto &live) { saved = live; });
}

void RestoreDisplaySettings(StoredWave &r)
{
    snapshotPairs(r, [](const auto &saved, auto &live) { live = saved; });
}

WaveFileError ParseWaveFile(QByteArrayView fileBytes, const QString &path, StoredWave &rec)
{
    const FileBuffer buf(fileBytes);
    const quint16 magic = readLE<quint16>(fileBytes, 0);
    int headerSize = 0;
    int bias = 0;
    WaveFileHeader h;
    if (magic == WaveFileHeader::CurrentMagic) {
        headerSize = WaveFileHeader::CurrentSize;
        h = WaveFileHeader::decode(fileBytes.first(std::min<qsizetype>(fileBytes.size(), headerSize)));
    } else if (magic == WaveFileHeader::OlderMagic) {
        headerSize = WaveFileHeader::OlderSize;
        bias = 25;
        h = WaveFileHeader::decode(currentHeaderFromOlder(fileBytes.first(std::min<qsizetype>(fileBytes.size(), headerSize))));
    } else {
        return WaveFileError::BadFormat;
    }
    const bool alternate = h.TrigMode == WaveFileHeader::AlternateTrigger;

    // Every count and block is checked before anything is sized by it.
    const qint64 n1 = h.Points;
    const qint64 n2 = alternate ? qint64(h.Ch2Points) : n1;
    if (n1 < 0 || n2 < 0)
        return WaveFileError::BadFormat;
    const bool ch1 = h.Ch1Present == 1;
    const bool ch2 = h.Ch2Present == 1;
    const bool la = !alternate && h.LaPresent == 1;
    const qint64 ch1Pos = headerSize + WaveFileHeader::SkippedBytes;
    const qint64 ch2Pos = ch1Pos + (ch1 ? n1 : 0);
    const qint64 laPos = ch2Pos + (ch2 ? n2 : 0);
    const qint64 laBytes = n1 > WaveFileWordPointsMax ? n1 : 2 * n1;
    if ((ch1 && !buf.fits(ch1Pos, n1)) || (ch2 && !buf.fits(ch2Pos, n2)) || (la && !buf.fits(laPos, laBytes)))
        return WaveFileError::BadFormat;

    StoredWave next = rec;
    next.HasData = false;
    next.TrigMode = alternate ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
    next.SplitScreen = alternate;
    next.YTFormat = true;
    next.Ch1VoltDiv = voltDiv(h.Ch1MicroVoltDiv);
    next.Ch2VoltDiv = voltDiv(h.Ch2MicroVoltDiv);
    next.Ch1AcqVoltDiv = voltDiv(h.Ch1AcqMicroVoltDiv);
    next.Ch2AcqVoltDiv = voltDiv(h.Ch2AcqMicroVoltDiv);
    next.Ch1Offset = LevelToVolts(h.Ch1Offset, next.Ch1VoltDiv);
    next.Ch2Offset = LevelToVolts(h.Ch2Offset, next.Ch2VoltDiv);
    next.Ch1AcqOffset = h.Ch1AcqOffset;
    next.Ch2AcqOffset = h.Ch2AcqOffset;
    next.FftDisplay = QStringLiteral("OFF");
    if (!alternate) {
        next.SampleCount = h.Points;
        next.SampleRate = h.SampleRate;
        next.TimeDiv = picoseconds(h.TimeDiv);
        next.Position = picoseconds(h.Position);
        next.Delay = picoseconds(h.Delay);
        next.AcqTimeDiv = picoseconds(h.AcqTimeDiv);
    } else {
        next.Ch1SampleCount = h.Points;
        next.Ch1SampleRate = h.SampleRate;
        next.Ch1TimeDiv = picoseconds(h.TimeDiv);
        next.Ch1Position = picoseconds(h.Position);
        next.Ch1Delay = picoseconds(h.Delay);
        next.Ch2SampleCount = h.Ch2Points;
        next.Ch2SampleRate = h.Ch2SampleRate;
        next.Ch2TimeDiv = picoseconds(h.Ch2TimeDiv);
        next.Ch2Position = picoseconds(h.Ch2Position);
        next.Ch2Delay = picoseconds(h.Ch2Delay);
    }

    next.ShowCH1 = ch1;
    next.Setup.CH1Valid = ch1 ? 1 : 0;
    if (ch1) {
        next.HasData = true;
        next.Ch1Samples = analogBlock(buf, ch1Pos, n1, bias);
    }
    next.ShowCH2 = ch2;
    next.Setup.CH2Valid = ch2 ? 1 : 0;
    if (ch2) {
        next.HasData = true;
        next.Ch2Samples = analogBlock(buf, ch2Pos, n2, bias);
    }
    next.ShowLA = la;
    next.Setup.LAValid = la ? 1 : 0;
    if (la) {
        next.HasData = true;
        next.LaSamples = digitalBlock(buf, laPos, laBytes);
        for (int i = 0; i < 16; ++i)
            next.Setup.LARow[size_t(i)] = qint16(222 - 12 * int(h.LaPosition[size_t(i)]));
        next.Setup.LAShownMask = h.LaShownMask;
        next.Setup.LAHeightD8D15 = h.LaHighGroup;
        next.Setup.LAHeightD0D7 = h.LaLowGroup;
        next.Setup.LASelected = h.LaSelected;
    }

    if (next.HasData)
        next.FilePath = path;
    next.PointCount = 600;
    SaveDisplaySettings(next);
    rec = std::move(next);
    return WaveFileError::None;
}

WaveFileError loadWaveFile(const QString &path, StoredWave &rec)
{
    QByteArray bytes;
    if (!ReadFileHead(path, WaveFileMaxBytes, &bytes))
        return WaveFileError::Unreadable;
    return ParseWaveFile(bytes, path, rec);
}
