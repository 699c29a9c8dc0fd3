#include "common/setupblock.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

using Bytes = std::array<quint8, SetupBlock::Size>;

// Reads fields out of a full-size byte image.
struct Reader {
    const Bytes &bytes;

    void operator()(int offset, quint8 &v) const { v = bytes[offset]; }
    void operator()(int offset, qint16 &v) const { v = qFromLittleEndian<qint16>(bytes.data() + offset); }
    void operator()(int offset, float &v) const
    {
        v = std::bit_cast<float>(qFromLittleEndian<quint32>(bytes.data() + offset));
    }
    template <typename T, std::size_t N>
    void operator()(int offset, std::array<T, N> &a) const
    {
        for (std::size_t i = 0; i < N; ++i)
            (*this)(offset + int(i * sizeof(T)), a[i]);
    }
};

// Writes fields into a full-size byte image.
struct Writer {
    Bytes &bytes;

    void operator()(int offset, const quint8 &v) const { bytes[offset] = v; }
    void operator()(int offset, const qint16 &v) const { qToLittleEndian<qint16>(v, bytes.data() + offset); }
    void operator()(int offset, const float &v) const
    {
        qToLittleEndian<quint32>(std::bit_cast<quint32>(v), bytes.data() + offset);
    }
    template <typename T, std::size_t N>
    void operator()(int offset, const std::array<T, N> &a) const
    {
        for (std::size_t i = 0; i < N; ++i)
            (*this)(offset + int(i * sizeof(T)), a[i]);
    }
};

// The one list of fields and their offsets, shared by reading and writing so
// the two can never disagree.
template <typename Block, typename F>
void forEachField(Block &b, const F &f)
{
    f(0, b.FirstPoint);
    f(2, b.LastPoint);
    f(4, b.CH1FirstPoint);
    f(6, b.CH1LastPoint);
    f(8, b.CH2FirstPoint);
    f(10, b.CH2LastPoint);
    f(12, b.RollOn);
    f(13, b.CH1Valid);
    f(14, b.CH2Valid);
    f(15, b.MathValid);
    f(16, b.MathOperation);
    f(17, b.Gap17);
    f(20, b.RealParam1);
    f(24, b.MathPosition);
    f(26, b.Gap26);
    f(28, b.MathScale);
    f(32, b.IntParam1);
    f(34, b.FFTValid);
    f(35, b.AltMathLower);
    f(36, b.ByteParam1);
    f(37, b.FFTFullScreen);
    f(38, b.FFTDecibelScale);
    f(39, b.Gap39);
    f(40, b.FFTScaleVrms);
    f(44, b.IntParam2);
    f(46, b.FFTScaleDB);
    f(48, b.RealParam2);
    f(52, b.FFTPosition);
    f(54, b.Gap54);
    f(56, b.FFTHzPerDiv);
    f(60, b.FFTSpanCode);
    f(62, b.Gap62);
    f(64, b.RealParam3);
    f(68, b.FFTCentre);
    f(70, b.LAValid);
    f(71, b.Gap71);
    f(72, b.LAShownMask);
    f(74, b.LARow);
    f(106, b.LASelected);
    f(107, b.LAHeightD0D7);
    f(108, b.LAHeightD8D15);
    f(109, b.Gap109);
    f(110, b.LAFirstCol);
    f(112, b.LALastCol);
    f(114, b.Gap114);
}

Bytes image(const SetupBlock &b)
{
    Bytes bytes{};
    forEachField(b, Writer{bytes});
    return bytes;
}

} // namespace

SetupBlock SetupBlock::decode(QByteArrayView bytes, bool *complete)
{
    SetupBlock b;
    b.overwrite(bytes);
    if (complete)
        *complete = bytes.size() >= Size;
    return b;
}

void SetupBlock::overwrite(QByteArrayView bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), Size);
    if (n <= 0)
        return;
    Bytes raw = image(*this);
    std::memcpy(raw.data(), bytes.data(), size_t(n));
    forEachField(*this, Reader{raw});
}

QByteArray SetupBlock::encode() const
{
    const Bytes raw = image(*this);
    return QByteArray(reinterpret_cast<const char *>(raw.data()), Size);
}

bool SetupBlock::laShown(int n) const
{
    if (n < 0 || n > 15)
        return false;
    return (quint16(LAShownMask) >> n) & 1u;
}
