#include "storedwave/wavefile.h"

#include "common/binaryread.h"
#include "values/scalesteps.h"


#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// dst[i] = levels[i] + bias for the k levels: sixteen at a time where the
// processor has vector instructions (a long record's two analog blocks pass
// through here).
void widenLevels(const unsigned char *levels, qint16 *dst, qint64 k, int bias)
{
    qint64 i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i add = _mm_set1_epi16(qint16(bias));
    for (; i + 16 <= k; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(levels + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), _mm_add_epi16(_mm_unpacklo_epi8(v, zero), add));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 8), _mm_add_epi16(_mm_unpackhi_epi8(v, zero), add));
    }
#endif
    for (; i < k; ++i)
        dst[i] = qint16(levels[i] + bias);
}

double picoseconds(qint64 ps)
{
    const quint64 u = quint64(ps);
    return PicosToSeconds(qint32(quint32(u & 0xffffffffu)), qint32(quint32(u >> 32)));
}

// A volts/div of the file (microvolts) in volts, single precision.
float voltDiv(qint32 microvolts) { return float(double(microvolts) / 1000000.0); }

// Where the reader takes the file's bytes from: the bytes that count (at most
// WaveFileMaxBytes), read at rising offsets.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // How many bytes count.
    virtual qint64 size() const = 0;
    // Copies the n bytes from pos (inside size()) to dst; false when the
    // reading fails.
    virtual bool read(qint64 pos, char *dst, qint64 n) = 0;
    // Hands the n bytes from pos to take, a piece at a time, in order.
    virtual bool pieces(qint64 pos, qint64 n, const std::function<void(const unsigned char *, qint64)> &take) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArrayView bytes) : bytes_(bytes.first(std::min(bytes.size(), WaveFileMaxBytes))) {}
    qint64 size() const override { return bytes_.size(); }
    bool read(qint64 pos, char *dst, qint64 n) override
    {
        if (n > 0)
            std::memcpy(dst, bytes_.data() + pos, size_t(n));
        return true;
    }
    bool pieces(qint64 pos, qint64 n, const std::function<void(const unsigned char *, qint64)> &take) override
    {
        if (n > 0)
            take(reinterpret_cast<const unsigned char *>(bytes_.data() + pos), n);
        return true;
    }

private:
    QByteArrayView bytes_;
};

// Reads the file itself; the bytes to be converted pass through one small
// buffer that stays in the cache.
class FileSource final : public ByteSource {
public:
    FileSource(QFile &file, qint64 size) : file_(file), size_(std::min(size, qint64(WaveFileMaxBytes))) {}
    qint64 size() const override { return size_; }
    bool read(qint64 pos, char *dst, qint64 n) override
    {
        if (file_.pos() != pos && !file_.seek(pos))
            return false;
        while (n > 0) {
            const qint64 got = file_.read(dst, n);
            if (got <= 0)
                return false;
            dst += got;
            n -= got;
        }
        return true;
    }
    bool pieces(qint64 pos, qint64 n, const std::function<void(const unsigned char *, qint64)> &take) override
    {
        constexpr qint64 Piece = 64 * 1024;
        std::array<char, Piece> piece;
        while (n > 0) {
            const qint64 k = std::min(n, Piece);
            if (!read(pos, piece.data(), k))
                return false;
            take(reinterpret_cast<const unsigned char *>(piece.data()), k);
            pos += k;
            n -= k;
        }
        return true;
    }

private:
    QFile &file_;
    qint64 size_;
};

// An array of count elements whose contents the caller writes whole: the
// samples go straight into the memory the record keeps, touched once.
QList<qint16> uninitialisedSamples(qsizetype count)
{
    return QList<qint16>(QArrayDataPointer<qint16>(QTypedArrayData<qint16>::allocate(count), count));
}

// The n levels from pos plus the bias, in an array of n + 1 elements (the
// last 0).
bool analogBlock(ByteSource &src, qint64 pos, qint64 n, int bias, QList<qint16> &out)
{
    QList<qint16> a = uninitialisedSamples(qsizetype(n + 1));
    qint16 *dst = a.data();
    const bool read = src.pieces(pos, n, [&dst, bias](const unsigned char *levels, qint64 k) {
        widenLevels(levels, dst, k, bias);
        dst += k;
    });
    if (!read)
        return false;
    a[qsizetype(n)] = 0;
    out = std::move(a);
    return true;
}

// The m bytes of the digital block, two to an element (low byte first), in
// an array of m + 1 elements whose elements past them are 0.
bool digitalBlock(ByteSource &src, qint64 pos, qint64 m, QList<qint16> &out)
{
    QList<qint16> a = uninitialisedSamples(qsizetype(m + 1));
    char *bytes = reinterpret_cast<char *>(a.data());
    if (!src.read(pos, bytes, m))
        return false;
    std::memset(bytes + m, 0, size_t(2 * (m + 1) - m));
    if constexpr (std::endian::native == std::endian::big) {
        for (qint64 k = 0; 2 * k < m; ++k)
            a[qsizetype(k)] = qint16(qFromLittleEndian<quint16>(a[qsizetype(k)]));
    }
    out = std::move(a);
    return true;
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

namespace {

WaveFileError readWave(ByteSource &src, const QString &path, StoredWave &rec)
{
    char head[WaveFileHeader::CurrentSize] = {};
    const qint64 headBytes = std::min<qint64>(src.size(), WaveFileHeader::CurrentSize);
    if (!src.read(0, head, headBytes))
        return WaveFileError::Unreadable;
    const QByteArrayView headView(head, headBytes);
    const quint16 magic = readLE<quint16>(headView, 0);
    int headerSize = 0;
    int bias = 0;
    WaveFileHeader h;
    if (magic == WaveFileHeader::CurrentMagic) {
        headerSize = WaveFileHeader::CurrentSize;
        h = WaveFileHeader::decode(headView);
    } else if (magic == WaveFileHeader::OlderMagic) {
        headerSize = WaveFileHeader::OlderSize;
        bias = 25;
        h = WaveFileHeader::decode(currentHeaderFromOlder(headView.first(std::min<qsizetype>(headBytes, headerSize))));
    } else {
        return WaveFileError::BadFormat;
    }
    const bool alternate = h.TrigMode == WaveFileHeader::AlternateTrigger;

    // Every count and block is checked before anything is sized by it: the
    // count of each block that is read must not be negative and the block
    // must end inside the file (a cut file is refused, not read as zeros).
    // A count no block is read by is not looked at.
    const bool ch1 = h.Ch1Present == 1;
    const bool ch2 = h.Ch2Present == 1;
    const bool la = !alternate && h.LaPresent == 1;
    // A file without a block holds nothing to show: it is refused like a
    // file of another kind, and the item keeps what it showed.
    if (!ch1 && !ch2 && !la)
        return WaveFileError::BadFormat;
    const qint64 n1 = h.Points;
    const qint64 n2 = alternate ? qint64(h.Ch2Points) : n1;
    if (((ch1 || la) && n1 < 0) || (ch2 && n2 < 0) || src.size() < headerSize)
        return WaveFileError::BadFormat;
    const qint64 ch1Pos = headerSize + WaveFileHeader::SkippedBytes;
    const qint64 ch2Pos = ch1Pos + (ch1 ? n1 : 0);
    const qint64 laPos = ch2Pos + (ch2 ? n2 : 0);
    const qint64 laBytes = n1 > WaveFileWordPointsMax ? n1 : 2 * n1;
    const qint64 end = laPos + (la ? laBytes : 0);
    if (end > src.size())
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
        if (!analogBlock(src, ch1Pos, n1, bias, next.Ch1Samples))
            return WaveFileError::Unreadable;
    }
    next.ShowCH2 = ch2;
    next.Setup.CH2Valid = ch2 ? 1 : 0;
    if (ch2) {
        next.HasData = true;
        if (!analogBlock(src, ch2Pos, n2, bias, next.Ch2Samples))
            return WaveFileError::Unreadable;
    }
    next.ShowLA = la;
    next.Setup.LAValid = la ? 1 : 0;
    if (la) {
        next.HasData = true;
        if (!digitalBlock(src, laPos, laBytes, next.LaSamples))
            return WaveFileError::Unreadable;
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

} // namespace

WaveFileError ParseWaveFile(QByteArrayView fileBytes, const QString &path, StoredWave &rec)
{
    MemorySource src(fileBytes);
    return readWave(src, path, rec);
}

WaveFileError loadWaveFile(const QString &path, StoredWave &rec)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return WaveFileError::Unreadable;
    if (f.isSequential()) { // a pipe or a device: its bytes as they come
        const QByteArray bytes = f.read(WaveFileMaxBytes);
        if (f.error() != QFileDevice::NoError)
            return WaveFileError::Unreadable;
        return ParseWaveFile(bytes, path, rec);
    }
    FileSource src(f, f.size());
    return readWave(src, path, rec);
}
