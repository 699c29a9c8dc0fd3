#include "storedwave/storedgrid.h"

#include "app/appstate.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

int nint(double v) { return int(std::nearbyint(v)); }

// Dots set one at a time, collected and drawn in one call.
struct Dots {
    std::vector<QPoint> points;

    void at(double x, double y) { points.emplace_back(nint(x), nint(y)); }
    // Pixels (25 + i, y) for i = 0, s, 2s, ... while i <= 300 Z.
    void alongX(double y, double s, double zoom)
    {
        for (double i = 0; i <= 300.0 * zoom; i += s)
            at(25.0 + i, y);
    }
    // Pixels (x, 25 + j) for j = 0, s, 2s, ... while j <= 200 Z.
    void alongY(double x, double s, double zoom)
    {
        for (double j = 0; j <= 200.0 * zoom; j += s)
            at(x, 25.0 + j);
    }
};

} // namespace

namespace StoredPicture {

QColor background(bool colorMode) { return colorMode ? QColor(0, 0, 0) : QColor(255, 255, 255); }
QColor gridColor(bool colorMode) { return colorMode ? QColor(192, 192, 192) : QColor(0, 0, 0); }
QColor bannerColor(bool colorMode) { return colorMode ? QColor(255, 128, 0) : QColor(0, 0, 0); }

QFont font(bool bold)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(12);
    f.setBold(bold);
    return f;
}

QSize pictureSize(double zoom) { return QSize(nint(350.0 * zoom), nint(250.0 * zoom)); }

} // namespace StoredPicture

namespace {

// A graticule is kept for copying up to this size (a picture at about 480 %).
constexpr qsizetype KeptGraticuleBytes = 8 * 1024 * 1024;

bool sameGraticule(const StoredWaveState::PaintedGraticule &g, const QImage &pic, bool colorMode, bool gridShown,
                   bool splitScreen, double zoom)
{
    return !g.pixels.isNull() && g.colorMode == colorMode && g.gridShown == gridShown && g.splitScreen == splitScreen
        && g.zoom == zoom && g.pixels.size() == pic.size() && g.pixels.format() == pic.format()
        && g.pixels.bytesPerLine() == pic.bytesPerLine() && g.pixels.devicePixelRatio() == pic.devicePixelRatio();
}

void drawGraticule(QImage &pic, bool colorMode, bool gridShown, bool splitScreen, double Z);

} // namespace

void paintStoredGrid(QImage &pic, bool colorMode, bool gridShown, bool splitScreen, double Z)
{
    // The graticule depends on these and the picture's size alone: the one
    // painted last is copied when it is asked for again.
    StoredWaveState::PaintedGraticule &last = app().storedwave.LastGraticule;
    if (sameGraticule(last, pic, colorMode, gridShown, splitScreen, Z)) {
        std::memcpy(pic.bits(), last.pixels.constBits(), size_t(pic.sizeInBytes()));
        return;
    }
    drawGraticule(pic, colorMode, gridShown, splitScreen, Z);
    if (pic.sizeInBytes() <= KeptGraticuleBytes) {
        last.pixels = pic.copy();
        last.colorMode = colorMode;
        last.gridShown = gridShown;
        last.splitScreen = splitScreen;
        last.zoom = Z;
    } else {
        last = {};
    }
}

namespace {

void drawGraticule(QImage &pic, bool colorMode, bool gridShown, bool splitScreen, double Z)
{
    pic.fill(StoredPicture::background(colorMode));
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = StoredPicture::gridColor(colorMode);
    const double right = 25.0 + 300.0 * Z;
    const double bottom = 25.0 + 200.0 * Z;
    const double midY = 25.0 + 100.0 * Z;
    const double midX = 25.0 + 150.0 * Z;
    auto line = [&p](double x1, double y1, double x2, double y2) {
        p.drawLine(QPoint(nint(x1), nint(y1)), QPoint(nint(x2), nint(y2)));
    };

    // Frame (pen width 2), then the centre lines.
    p.setPen(QPen(ink, 2));
    line(25, 25, right, 25);
    line(25, 25, 25, bottom);
    line(25, bottom, right, bottom);
    line(right, bottom, right, 25);
    p.setPen(QPen(ink, 1));
    line(25, midY, right, midY);
    line(midX, 25, midX, bottom);

    // Tick marks: one pass per k = 1, 1.1, 1.2, ... while k <= Z.
    Dots d;
    const double V = splitScreen ? 6.25 : 5.0;
    for (double k = 1.0; k <= Z; k += 0.1) {
        d.alongX(25 + k, 5 * Z, Z);
        d.alongX(25 + 2 * k, 25 * Z, Z);
        d.alongX(midY - k, 5 * Z, Z);
        d.alongX(midY - 2 * k, 25 * Z, Z);
        d.alongX(midY + k, 5 * Z, Z);
        d.alongX(midY + 2 * k, 25 * Z, Z);
        d.alongX(bottom - 2 * k, 5 * Z, Z);
        d.alongX(bottom - 3 * k, 25 * Z, Z);
        d.alongY(25 + k, V * Z, Z);
        d.alongY(25 + 2 * k, 25 * Z, Z);
        d.alongY(midX - k, V * Z, Z);
        d.alongY(midX - 2 * k, 25 * Z, Z);
        d.alongY(midX + k, V * Z, Z);
        d.alongY(midX + 2 * k, 25 * Z, Z);
        d.alongY(right - 2 * k, V * Z, Z);
        d.alongY(right - 3 * k, 25 * Z, Z);
    }

    // The dotted grid.
    if (gridShown) {
        if (!splitScreen) {
            for (double y = 25; y <= bottom; y += 25 * Z)
                d.alongX(y, 5 * Z, Z);
            for (double x = 25; x <= right; x += 25 * Z)
                d.alongY(x, 5 * Z, Z);
        } else {
            for (double k = 1.0; k <= Z; k += 0.1) {
                d.alongX(25 + 50 * Z - k, 5 * Z, Z);
                d.alongX(25 + 150 * Z + k, 5 * Z, Z);
            }
            for (double y = 25; y <= bottom; y += 12.5 * Z)
                d.alongX(y, 5 * Z, Z);
            for (double x = 25; x <= right; x += 25 * Z)
                d.alongY(x, 6.25 * Z, Z);
        }
    }
    if (!d.points.empty())
        p.drawPoints(d.points.data(), int(d.points.size()));

    // The banner, at a fixed place whatever the zoom.
    p.setPen(StoredPicture::bannerColor(colorMode));
    p.setFont(StoredPicture::font(true));
    p.drawText(QRect(25, 10, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QStringLiteral("KARVO"));
}

} // namespace

void DrawScrGrid(QImage &pic, const StoredWave &w, double zoom, int slot)
{
    paintStoredGrid(pic, w.ColorMode, w.GridShown, w.SplitScreen, zoom);
    StoredWaveState &s = app().storedwave;
    if (s.GridCache.isNull())
        return;
    s.GridCacheOwner = quint8(slot);
    QPainter p(&s.GridCache);
    p.drawImage(0, 0, pic);
}

void CreateGridDC(const QImage &pic)
{
    StoredWaveState &s = app().storedwave;
    if (pic.isNull()) {
        s.GridCache = QImage();
        return;
    }
    s.GridCache = QImage(pic.size(), QImage::Format_RGB32);
    s.GridCache.fill(Qt::black);
}

void ReleaseGridDC() { app().storedwave.GridCache = QImage(); }

void DrawGraticuleCached(QImage &pic, const StoredWave &w, double zoom, int slot)
{
    StoredWaveState &s = app().storedwave;
    if (slot != int(s.GridCacheOwner)) {
        ReleaseGridDC();
        CreateGridDC(pic);
        DrawScrGrid(pic, w, zoom, slot);
        return;
    }
    DrawScrGrid(pic, w, zoom, slot);
    if (s.GridCache.isNull())
        return;
    QPainter p(&pic);
    p.drawImage(0, 0, s.GridCache);
}
