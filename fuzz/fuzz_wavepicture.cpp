// Draws a waveform item record built from arbitrary bytes, as a data sheet
// file or a transfer could leave it: any setup block, any array sizes and
// values, any point count, texts and cursor positions, both layouts and
// schemes, at a few zooms. Nothing may be read or written outside an array
// or the picture, and the picture keeps its size.
//
// Layout of an input (missing bytes read as 0): the 116 setup bytes; a flags
// byte (Y-T, roll, X-Y, colour, grid, split, FFT on, alternate trigger); a
// byte of draw flags (CH1, CH2, MATH, LA, cursors X, cursors Y); the point
// count (4 bytes, little endian); a zoom choice; four cursor positions (2
// bytes each, signed); five array lengths (2 bytes each: CH1, CH2, MATH, FFT,
// LA); then the array values (4 bytes each, signed) and, after them, the
// scale texts, split at each 0 byte.
//
// Invariants beyond memory: every vertex of an analog or FFT trace lies in a
// column of the graticule at the zoom (x from 25 to 25 + 300 x zoom), in
// rising order, at most one per sample of its array (and two to start); the
// X-Y figure has at
// most a point per sample; the picture is painted whole (the same whatever
// the picture held before) and the same each time it is drawn.
#include "maxlen.h"

#include "common/wavedoc.h"
#include "wave/wavecanvas.h"
#include "wave/wavegrid.h"
#include "wave/waveoverlay.h"
#include "wave/wavetraces.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at = 0;
    uint8_t byte() { return at < size ? data[at++] : 0; }
    int32_t i32()
    {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= uint32_t(byte()) << (8 * k);
        int32_t out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    int16_t i16()
    {
        const uint16_t v = uint16_t(byte() | (byte() << 8));
        int16_t out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    QByteArray rest() { return at < size ? QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(size - at)) : QByteArray(); }
};

QList<qint32> array(Reader &r, int length)
{
    QList<qint32> a(length, 0);
    for (int i = 0; i < length; ++i)
        a[i] = r.i32();
    return a;
}

} // namespace

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 64 * 1024); // every array at its largest
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // the picture's texts need the font system
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader r{data, size};
    QByteArray setup;
    for (int i = 0; i < SetupBlock::Size; ++i)
        setup.append(char(r.byte()));
    WaveDoc d;
    d.HasData = true;
    d.Setup = SetupBlock::decode(setup);
    const uint8_t flags = r.byte();
    d.YTFormat = flags & 1;
    d.RollMode = flags & 2;
    d.XYFormat = flags & 4;
    d.ColorMode = flags & 8;
    d.GridShown = flags & 16;
    d.SplitScreen = flags & 32;
    d.FFTDisplay = (flags & 64) ? QStringLiteral("ON") : QStringLiteral("OFF");
    d.TrigMode = (flags & 128) ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
    const uint8_t draw = r.byte();
    d.DrawCH1 = draw & 1;
    d.DrawCH2 = draw & 2;
    d.DrawMath = d.ShowMath = draw & 4;
    d.DrawLA = draw & 8;
    d.PointCount = r.i32();
    const double zooms[] = {0.01, 0.5, 1.0, 1.25, 2.0};
    const double zoom = zooms[r.byte() % 5];
    WaveCursors cursors;
    cursors.CursorXOn = draw & 16;
    cursors.CursorYOn = draw & 32;
    cursors.CursorX1 = r.i16();
    cursors.CursorX2 = r.i16();
    cursors.CursorY1 = r.i16();
    cursors.CursorY2 = r.i16();
    int lengths[5];
    for (int &n : lengths)
        n = uint16_t(r.i16()) % 2050; // up to a little beyond the largest array a file gives
    d.CH1Rows = array(r, lengths[0]);
    d.CH2Rows = array(r, lengths[1]);
    d.MathRows = array(r, lengths[2]);
    d.FFTRows = array(r, lengths[3]);
    d.LAWords = array(r, lengths[4]);
    const QList<QByteArray> texts = r.rest().split('\0');
    QString *fields[] = {&d.CH1Offset, &d.CH2Offset, &d.CH1VoltDiv, &d.CH2VoltDiv, &d.TimeDiv, &d.Delay,
                         &d.AltTimeDivCH1, &d.AltDelayCH1, &d.AltTimeDivCH2, &d.AltDelayCH2};
    for (int i = 0; i < int(std::size(fields)) && i < texts.size(); ++i)
        *fields[i] = QString::fromLatin1(texts[i].left(40));

    const WaveDrawEnv env{zoom, int(flags & 1)};
    // The vertices: in the graticule's columns, rising, bounded in number.
    const auto checkVertices = [zoom](const QList<QPointF> &v, qsizetype samples) {
        if (v.size() > samples + 2)
            std::abort();
        double last = 25;
        for (const QPointF &p : v) {
            if (p.x() < 25 || p.x() > 25 + 300 * zoom + 1 || p.x() < last)
                std::abort();
            last = p.x();
        }
    };
    checkVertices(analogTraceVertices(d, AnalogTrace::CH1, env), d.CH1Rows.size());
    checkVertices(analogTraceVertices(d, AnalogTrace::CH2, env), d.CH2Rows.size());
    checkVertices(analogTraceVertices(d, AnalogTrace::Math, env), d.MathRows.size());
    checkVertices(fftTraceVertices(d, env), d.FFTRows.size());
    const qsizetype longest = std::max(d.CH1Rows.size(), d.CH2Rows.size());
    if (xyPoints(d, zoom).size() > longest)
        std::abort();

    const QSize pictureSize(int(350 * zoom), int(250 * zoom));
    const auto paint = [&](QRgb before) {
        QImage img(pictureSize, QImage::Format_RGB32);
        img.fill(before);
        WaveCursors shown = cursors;
        {
            WaveCanvas c(&img);
            DrawScrGrid(c, {zoom, d.ColorMode, d.GridShown, d.SplitScreen});
            DrawOSC(c, d, env);
            DrawCursors(c.painter(), shown, d, zoom);
        }
        return img;
    };
    const QImage img = paint(qRgb(0x12, 0x34, 0x56));
    if (img.size() != pictureSize)
        std::abort();
    if (paint(qRgb(0xED, 0xCB, 0xA9)) != img)
        std::abort(); // a part left unpainted, or a drawing that differs from the last
    return 0;
}
