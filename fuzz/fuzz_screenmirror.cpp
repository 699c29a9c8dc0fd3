// The virtual panel's screen mirror on arbitrary screen images: one or two
// frames read from a VISA instrument that answers ":LCD:DATA?" with the
// input's bytes, converted through the pixel colours and composed.
//
// Input: byte 0 holds flags (bit 0: 2x zoom; bit 1: a colour screen; bit 2:
// a second frame one byte shorter; bit 3: the second frame at the other
// zoom; bit 4: the mirror's own loop, below); bytes 1-3 give the reply's
// length (bit 7 of byte 3 set: 74872 + byte 1 modulo 16, around the size of
// a whole image; otherwise the 23-bit number modulo 80000); the rest is the
// pattern repeated to that length.
//
// The loop (bit 4): the mirror started as the panel starts it, its frames
// following one another on the clock's timer; the instrument gives two (bit 7
// clear) or four frames, each the pattern from its own offset, every second
// one a byte shorter, then no reply. After the first frame the user does
// what bits 5-6 say: nothing, Stop and later Run, the zoom button, or closes
// the panel.
//
// Invariants of the loop: it reads one frame after another until a reply does
// not come, then loses the link, tells the panel once and reads no more; while
// stopped or after the close it reads nothing, and Run goes on; every whole
// frame is drawn, the picture is the last whole frame's at the zoom in force,
// a short frame counts as one and changes nothing.
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

namespace {

// The picture of a whole screen image at a zoom (0: 1x, 1: 2x).
QImage expected(const QByteArray &screen, bool colour, int zoom)
{
    std::vector<qint32> colours(static_cast<size_t>(ScreenPixels), 0);
    const auto *b = reinterpret_cast<const quint8 *>(screen.constData());
    for (int i = 0; i < ScreenPixels; ++i)
        colours[size_t(i)] = colour ? colourOfByte(b[i]) : greyOfByte(b[i]);
    return composeScreen(colours, zoom);
}

// The mirror's own loop over a few frames, with the user's action after the
// first.
void runLoop(uint8_t flags, qsizetype n, const QByteArray &pattern)
{
    const bool colour = flags & 2;
    const int action = (flags >> 5) & 3; // 0 nothing, 1 Stop then Run, 2 zoom, 3 close
    const int count = (flags & 0x80) ? 4 : 2;
    std::deque<QByteArray> frames;
    for (int k = 0; k < count; ++k)
        frames.push_back(expand(pattern, std::max<qsizetype>(n - (k % 2), 0), k));
    const std::deque<QByteArray> all = frames;
    // The frame whose read fails (no reply, or one too long for the buffer):
    // the last the loop reads.
    int failing = count;
    for (int k = count - 1; k >= 0; --k)
        if (all[size_t(k)].isEmpty() || all[size_t(k)].size() > ScreenBufferSize)
            failing = k;
    int reads = 0;
    fuzzlink::Script script;
    script.identity = colour ? fuzzlink::ColourIdentity : fuzzlink::MonoIdentity;
    script.answer = [&frames, &reads](const QByteArray &line, QByteArray *reply) {
        if (!line.startsWith(":LCD:DATA?"))
            return false;
        ++reads;
        *reply = frames.empty() ? QByteArray() : frames.front();
        if (!frames.empty())
            frames.pop_front();
        return true;
    };
    fuzzlink::connect(&script, gClock, gUi);
    if (!app().link.LinkConnected)
        std::abort();
    PanelState &p = app().panel;
    ScreenMirror mirror;
    int pictures = 0, lost = 0;
    mirror.onPicture = [&pictures] { ++pictures; };
    mirror.onLinkLost = [&lost] { ++lost; };
    mirror.start();
    if (flags & 1)
        mirror.toggleZoom();
    pictures = 0;
    const auto runFor = [](int ms) {
        for (int t = 0; t < ms; t += 50)
            gClock->advance(50);
    };
    // Until the first frame has been read.
    for (int t = 0; t < 100 && reads == 0; ++t)
        gClock->advance(50);
    if (reads != 1)
        std::abort();
    int zoomPictures = 0;
    if (failing > 0) {
        switch (action) {
        case 1:
            mirror.halt();
            runFor(3000);
            if (reads != 1 || !app().link.LinkConnected || lost != 0)
                std::abort(); // nothing read while stopped
            mirror.run();
            break;
        case 2: {
            const QSize size = mirror.picture().size();
            mirror.toggleZoom();
            zoomPictures = 1;
            const QImage &pic = mirror.picture();
            if (pic.size() != size)
                std::abort(); // the size stays until the next frame
            for (int y = 0; y < pic.height(); ++y)
                for (int x = 0; x < pic.width(); ++x)
                    if ((pic.pixel(x, y) & 0xFFFFFF) != 0)
                        std::abort(); // cleared
            break;
        }
        case 3:
            mirror.finish();
            runFor(3000);
            if (reads != 1 || lost != 0 || !app().link.LinkConnected)
                std::abort(); // closed: nothing more read, nothing lost
            fuzzlink::disconnect();
            return;
        default:
            break;
        }
    }
    runFor(60000);
    // Every frame up to the one that fails; the link lost, the panel told once.
    const int readsWanted = failing + 1;
    if (lost != 1 || app().link.LinkConnected || reads != readsWanted || p.PanelRunning || p.PanelRefreshActive)
        std::abort();
    runFor(3000);
    if (reads != readsWanted || lost != 1)
        std::abort();
    // The last whole frame read at the zoom in force, and every short one counted.
    int whole = 0, shorter = 0, last = -1;
    for (int k = 0; k < failing; ++k) {
        if (all[size_t(k)].size() >= ScreenPixels) {
            ++whole;
            last = k;
        } else {
            ++shorter;
        }
    }
    if (p.ShortScreenReads != shorter || pictures < whole + zoomPictures)
        std::abort();
    // The zoom button after the first frame cleared it; a later whole frame
    // draws again.
    if (last > 0 || (last == 0 && zoomPictures == 0)) {
        if (mirror.picture() != expected(all[size_t(last)], colour, mirror.zoom()))
            std::abort();
    } else if (last == 0) {
        const QImage &pic = mirror.picture();
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x)
                if ((pic.pixel(x, y) & 0xFFFFFF) != 0)
                    std::abort();
    }
    fuzzlink::disconnect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t flags = data[0];
    qsizetype n = qsizetype(data[1] | data[2] << 8 | (data[3] & 0x7F) << 16) % 80000;
    if (data[3] & 0x80)
        n = ScreenPixels - 8 + data[1] % 16;
    const QByteArray pattern(reinterpret_cast<const char *>(data) + 4, qsizetype(size - 4));
    if (flags & 16) {
        runLoop(flags, n, pattern);
        return 0;
    }

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
