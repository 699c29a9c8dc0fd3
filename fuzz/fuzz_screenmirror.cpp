// The virtual panel's screen mirror on arbitrary screen images: one or two
// frames read from a VISA instrument that answers ":LCD:DATA?" with the
// input's bytes, converted through the pixel colours and composed.
//
// Input: byte 0 holds flags (bit 0: 2x zoom; bit 1: a colour screen; bit 2:
// a second frame one byte shorter; bit 3: the second frame at the other
// zoom); bytes 1-3 give the reply's length (bit 7 of byte 3 set: 74872 +
// byte 1 modulo 16, around the size of a whole image; otherwise the 23-bit
// number modulo 80000); the rest is the pattern repeated to that length.
//
// Invariants: a whole image (74880 or 74881 bytes) gives a picture of the
// zoom's size whose every pixel is the colour of its screen byte; a short
// reply changes neither the picture nor the screen bytes and counts as a
// short read; a reply that does not end within the buffer or does not come
// loses the link and keeps the last picture. The colour of a byte is its RGB
// 3-3-2 fields scaled to 0..255 (grey levels as they are on a monochrome
// screen).

#include "scriptedlink.h"

#include "panel/panelstate.h"
#include "panel/screenmirror.h"
#include "platform/pixcolor/pixcolor.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

QRgb rgbOf(qint32 c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The colour coding: each field scaled from 0..max to 0..255, red from bits
// 7-5, green 4-2, blue 1-0, each field on its own.
void checkColourCoding()
{
    for (int b = 0; b < 256; ++b) {
        const qint32 c = colourOfByte(quint8(b));
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, bl = (c >> 16) & 0xFF;
        if ((c >> 24) != 0 || r != colourOfByte(quint8(b & 0xE0)) || g << 8 != colourOfByte(quint8(b & 0x1C))
            || bl << 16 != colourOfByte(quint8(b & 0x03)))
            std::abort();
        if (greyOfByte(quint8(b)) != (b | b << 8 | b << 16))
            std::abort();
    }
    auto field = [](int shift, int bits, int v) { return colourOfByte(quint8(v << shift)) >> (8 * bits) & 0xFF; };
    const int places[3][3] = {{5, 0, 7}, {2, 1, 7}, {0, 2, 3}}; // shift, byte of the colour, max
    for (const auto &p : places) {
        if (field(p[0], p[1], 0) != 0 || field(p[0], p[1], p[2]) != 255)
            std::abort();
        for (int v = 1; v <= p[2]; ++v)
            if (field(p[0], p[1], v) <= field(p[0], p[1], v - 1))
                std::abort();
    }
}

QByteArray expand(const QByteArray &pattern, qsizetype n, int shift)
{
    QByteArray out(n, '\0');
    char *dst = out.data();
    const char *src = pattern.constData();
    if (!pattern.isEmpty())
        for (qsizetype i = 0; i < n; ++i)
            dst[i] = src[(i + shift) % pattern.size()];
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication qapp(*argc, *argv);
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    checkColourCoding();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t flags = data[0];
    qsizetype n = qsizetype(data[1] | data[2] << 8 | (data[3] & 0x7F) << 16) % 80000;
    if (data[3] & 0x80)
        n = ScreenPixels - 8 + data[1] % 16;
    const QByteArray pattern(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4));

    std::deque<QByteArray> frames{expand(pattern, n, 0)};
    if (flags & 4)
        frames.push_back(expand(pattern, std::max<qsizetype>(n - 1, 0), 1));
    fuzzlink::Script script;
    script.identity = (flags & 2) ? fuzzlink::ColourIdentity : fuzzlink::MonoIdentity;
    script.answer = [&frames](const QByteArray &line, QByteArray *reply) {
        if (!line.startsWith(":LCD:DATA?"))
            return false;
        *reply = frames.empty() ? QByteArray() : frames.front();
        if (!frames.empty())
            frames.pop_front();
        return true;
    };
    fuzzlink::connect(&script, gClock, gUi);
    if (!app().link.LinkConnected)
        std::abort();

    {
        PanelState &p = app().panel;
        ScreenMirror mirror;
        p.PanelRefreshActive = -1;
        p.PanelRunning = -1;
        if (flags & 1)
            mirror.toggleZoom();
        const int rounds = (flags & 4) ? 2 : 1;
        for (int round = 0; round < rounds; ++round) {
            if (round == 1 && (flags & 8))
                mirror.toggleZoom();
            const QByteArray reply = frames.empty() ? QByteArray() : frames.front();
            const QImage before = mirror.picture();
            const QByteArray bytesBefore = p.ScreenBytes;
            const int shortBefore = p.ShortScreenReads;
            const bool linked = app().link.LinkConnected;
            const bool drawn = mirror.DrawBulkWave();
            const bool whole = reply.size() >= ScreenPixels && reply.size() <= ScreenBufferSize;
            if (!linked) {
                if (drawn || mirror.picture() != before)
                    std::abort();
                continue;
            }
            if (whole) {
                const int f = mirror.zoom() == 1 ? 2 : 1;
                const QImage &pic = mirror.picture();
                const auto *screen = reinterpret_cast<const quint8 *>(reply.constData());
                if (!drawn || pic.width() != ScreenWidth * f || pic.height() != ScreenHeight * f)
                    std::abort();
                for (int y = 0; y < pic.height(); ++y) {
                    const auto *line = reinterpret_cast<const QRgb *>(pic.constScanLine(y));
                    for (int x = 0; x < pic.width(); ++x) {
                        const quint8 b = screen[x / f + ScreenWidth * (y / f)];
                        const QRgb want = rgbOf((flags & 2) ? colourOfByte(b) : greyOfByte(b));
                        if ((line[x] | 0xFF000000u) != (want | 0xFF000000u))
                            std::abort();
                    }
                }
                if (p.ScreenBytes.left(reply.size()) != reply)
                    std::abort();
                continue;
            }
            if (drawn || mirror.picture() != before || p.ScreenBytes != bytesBefore)
                std::abort();
            const bool shortReply = !reply.isEmpty() && reply.size() < ScreenPixels;
            if (shortReply != (p.ShortScreenReads == shortBefore + 1) || (!shortReply && p.ShortScreenReads != shortBefore))
                std::abort();
            if (!shortReply && app().link.LinkConnected)
                std::abort(); // no reply, or one too long for the buffer: the link is lost
        }
        mirror.finish();
    }
    fuzzlink::disconnect();
    return 0;
}
