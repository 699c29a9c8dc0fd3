#include "platform/pixcolor/pixcolor.h"

#include <array>

namespace {

constexpr qint32 rgbRef(int r, int g, int b)
{
    return qint32(r | (g << 8) | (b << 16));
}

// Scales a field of bits to 0..255 (max maps to 255), rounding to nearest.
constexpr int scale(int v, int max)
{
    return (v * 255 + max / 2) / max;
}

constexpr std::array<qint32, 256> colourTable()
{
    std::array<qint32, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = rgbRef(scale((b >> 5) & 7, 7), scale((b >> 2) & 7, 7), scale(b & 3, 3));
    return t;
}

constexpr std::array<qint32, 256> ColourTable = colourTable();

template <typename F>
qint32 convert(const quint8 *bytes, qint32 count, qint32 *colours, F f)
{
    if (!bytes || !colours || count <= 0)
        return 0;
    for (qint32 i = 0; i < count; ++i)
        colours[i] = f(bytes[i]);
    return 0;
}

} // namespace

qint32 colourOfByte(quint8 b)
{
    return ColourTable[b];
}

qint32 greyOfByte(quint8 b)
{
    return rgbRef(b, b, b);
}

qint32 TransClr(const quint8 *bytes, qint32 count, qint32 *colours)
{
    return convert(bytes, count, colours, colourOfByte);
}

qint32 TransMono(const quint8 *bytes, qint32 count, qint32 *colours)
{
    return convert(bytes, count, colours, greyOfByte);
}
