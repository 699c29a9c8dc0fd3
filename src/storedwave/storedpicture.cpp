#include "storedwave/storedpicture.h"

#include "common/constants.h"
#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "storedwave/tracepixels.h"
#include "values/normvalue.h"
#include "wave/scalerow.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

constexpr int LastEntry = StoredWave::ScreenSize - 1; // 600
constexpr int LastColumn = 299;

int nint(double v) { return int(std::nearbyint(v)); }
// Rounded through single precision first, as the drawing of trace columns does.
int nintSingle(double v) { return int(std::nearbyint(float(v))); }

// The general decimal text of a number as the formatters read it.
QString doubleText(double v) { return QString::number(v, 'g', 15); }
QString singleText(float v) { return QString::number(double(v), 'g', 7); }

QPoint px(double x, double y) { return QPoint(nint(x), nint(y)); }

void setColor(QPainter &p, const QColor &c)
{
    QPen pen = p.pen();
    pen.setColor(c);
    pen.setWidth(1);
    p.setPen(pen);
}

// Line segments from point to point.
void outline(QPainter &p, std::initializer_list<QPointF> points)
{
    std::vector<QPoint> pts;
    for (const QPointF &q : points)
        pts.push_back(px(q.x(), q.y()));
    p.drawPolyline(pts.data(), int(pts.size()));
}

// The picture's two faces and their ascents; DrawOSC makes them once for
// its whole pass.
struct TextFaces {
    QFont normal = StoredPicture::font(false);
    QFont bold = StoredPicture::font(true);
    qreal normalAscent = QFontMetricsF(normal).ascent();
    qreal boldAscent = QFontMetricsF(bold).ascent();
};
const TextFaces *passFaces = nullptr;

// Text with its top-left corner at (x, y): its baseline one ascent lower
// (the same place a one-line text laid out from its top takes).
void textAt(QPainter &p, int x, int y, const QString &text, bool bold)
{
    if (passFaces) {
        p.setFont(bold ? passFaces->bold : passFaces->normal);
        p.drawText(QPointF(x, y + (bold ? passFaces->boldAscent : passFaces->normalAscent)), text);
        return;
    }
    const TextFaces faces;
    p.setFont(bold ? faces.bold : faces.normal);
    p.drawText(QPointF(x, y + (bold ? faces.boldAscent : faces.normalAscent)), text);
}

// The scale texts under the graticule: drawn at once, or, while DrawOSC
// gathers them, kept with their colour to be laid out as one row.
struct RowText {
    ScaleRowText text;
    QColor color;
};
QList<RowText> *gatheredRow = nullptr;

void rowTextAt(QPainter &p, double Z, double x, const QString &text, bool bold)
{
    if (gatheredRow) {
        // Pos1 and Pos2 before the delays; the delays give way first.
        const int rank = text.startsWith(QLatin1String("Pos1")) ? 0
                         : text.startsWith(QLatin1String("Pos2")) ? 1
                         : text.startsWith(QLatin1String("Delay2")) ? 3
                                                                    : 2;
        gatheredRow->append({{text, double(nint(x)), rank, bold}, p.pen().color()});
        return;
    }
    textAt(p, nint(x), nint(25 + 203 * Z), text, bold);
}

// Draws the gathered row within a picture width pixels wide, no two texts
// running into each other.
void drawRow(QPainter &p, double Z, const QList<RowText> &row, int width)
{
    QList<ScaleRowText> texts;
    for (const RowText &r : row)
        texts << r.text;
    const TextFaces faces;
    const QFontMetricsF normal(faces.normal);
    const QFontMetricsF bold(faces.bold);
    const auto measure = [&normal, &bold](const QString &text, bool isBold) {
        return (isBold ? bold : normal).horizontalAdvance(text);
    };
    const QList<ScaleRowPlace> placed = LayOutScaleRow(texts, width, measure);
    for (qsizetype k = 0; k < row.size(); ++k) {
        if (placed[k].text.isEmpty())
            continue;
        setColor(p, row[k].color);
        textAt(p, nint(placed[k].x), nint(25 + 203 * Z), placed[k].text, row[k].text.bold);
    }
}

// The trigger flag or the side arrow at trigger column tc, its top at yt.
void trigFlag(QPainter &p, double Z, double tc, double yt)
{
    if (tc > 3 && tc < 296) {
        const double x0 = tc * Z + 21;
        outline(p, {{x0, yt}, {x0 + 8, yt}, {x0 + 8, yt + 10}, {x0 + 4, yt + 14}, {x0, yt + 10}, {x0, yt}});
        textAt(p, nint(x0 + 1), nint(yt + 1), QStringLiteral("T"), false);
    } else if (tc >= 296) {
        const double x0 = 300 * Z + 8;
        outline(p, {{x0, yt}, {x0 + 12, yt}, {x0 + 16, yt + 5}, {x0 + 12, yt + 10}, {x0, yt + 10}, {x0, yt}});
        textAt(p, nint(x0 + 3), nint(yt), QStringLiteral("T"), false);
    } else {
        outline(p, {{42, yt}, {30, yt}, {26, yt + 5}, {30, yt + 10}, {42, yt + 10}, {42, yt}});
        textAt(p, 33, nint(yt), QStringLiteral("T"), false);
    }
}

// The trigger column of a position at a time/div; false when there is none
// (a zero time/div).
bool triggerColumn(double timeDiv, double position, double *tc)
{
    if (timeDiv == 0.0)
        return false;
    *tc = 150.0 - position / timeDiv * 25.0;
    return !std::isnan(*tc);
}

void centreMarker(QPainter &p, double Z, double yt)
{
    const double x0 = 25 + 150 * Z - 4;
    outline(p, {{x0, yt}, {x0 + 8, yt}, {x0 + 4, yt + 4}, {x0, yt}});
}

bool bitOf(const StoredWave::ScreenArray &words, int k, int channel)
{
    return (quint16(words[size_t(k)]) >> channel) & 1u;
}

} // namespace

QColor storedChannelColor(bool colorMode, bool ch1)
{
    if (!colorMode)
        return QColor(0, 0, 0);
    return ch1 ? CH1Color : CH2Color;
}

QColor storedTriggerColor(bool colorMode) { return colorMode ? QColor(255, 128, 0) : QColor(0, 0, 0); }

void DrawTrigMark(QPainter &p, double Z, double timeDiv, double position, bool colorMode)
{
    setColor(p, storedTriggerColor(colorMode));
    centreMarker(p, Z, 26);
    double tc = 0;
    if (triggerColumn(timeDiv, position, &tc))
        trigFlag(p, Z, tc, 30);
    rowTextAt(p, Z, 25 + 150 * Z, QStringLiteral("Delay:") + FormatTime4(doubleText(position)), false);
}

void DrawAltTrigMarks(QPainter &p, double Z, double ch1TimeDiv, double ch1Position, double ch2TimeDiv,
                      double ch2Position, bool colorMode)
{
    setColor(p, storedTriggerColor(colorMode));
    double tc = 0;
    centreMarker(p, Z, 26);
    if (triggerColumn(ch1TimeDiv, ch1Position, &tc))
        trigFlag(p, Z, tc, 30);
    const double yb = 25 + 100 * Z;
    centreMarker(p, Z, yb + 1);
    if (triggerColumn(ch2TimeDiv, ch2Position, &tc))
        trigFlag(p, Z, tc, yb + 5);
    setColor(p, colorMode ? QColor(255, 255, 0) : QColor(0, 0, 0));
    rowTextAt(p, Z, 25 + 150 * Z, QStringLiteral("Delay1: ") + FormatTime4(doubleText(ch1Position)), false);
    setColor(p, colorMode ? QColor(0, 255, 255) : QColor(0, 0, 0));
    rowTextAt(p, Z, 25 + 230 * Z, QStringLiteral("Delay2: ") + FormatTime4(doubleText(ch2Position)), false);
}

void DrawChannelLabel(QPainter &p, double Z, const QString &channel, float offset, float voltsPerDiv,
                      const QString &trigMode)
{
    const bool ch1 = channel == QLatin1String("CH1");
    const bool alt = trigMode == QLatin1String("ALTERNATION");
    const double half = alt ? 2.0 : 1.0;
    const QString digit = ch1 ? QStringLiteral("1") : QStringLiteral("2");
    // No ground row without a volts/div: the marker is left out.
    const double r = voltsPerDiv == 0.0f ? std::nan("") : 100.0 - double(offset) / double(voltsPerDiv) * 25.0;
    if (r > 0 && r < 200) {
        const double x = 6;
        const double y = (r / half) * Z + 20 + (ch1 ? 0.0 : (alt ? double(nint(100 * Z)) : 0.0));
        outline(p, {{x, y}, {x + 13, y}, {x + 17, y + 5}, {x + 13, y + 10}, {x, y + 10}, {x, y}});
        textAt(p, nint(x + 4), nint(y - 1), digit, false);
    } else if (r >= 200) {
        const double x = 12;
        const double y = ch1 ? (200 / half) * Z + 10 : 200 * Z + 10;
        outline(p, {{x, y}, {x + 10, y}, {x + 10, y + 13}, {x + 5, y + 17}, {x, y + 13}, {x, y}});
        textAt(p, nint(x + 2), nint(ch1 ? y + 2 : y + 1), digit, false);
    } else if (r <= 0) {
        const double x = 12;
        const double y = (!ch1 && alt) ? 100 * Z + 40 : 40;
        outline(p, {{x, y}, {x + 10, y}, {x + 10, y - 13}, {x + 5, y - 17}, {x, y - 13}, {x, y}});
        textAt(p, nint(x + 2), nint(ch1 ? y - 13 : y - 14), digit, false);
    }
    const QString label = (ch1 ? QStringLiteral("Pos1:  ") : QStringLiteral("Pos2:  ")) + FormatVolt(singleText(offset));
    rowTextAt(p, Z, ch1 ? 25 : 75 * Z + 25, label, true);
}

void DrawChannelTrace(QPainter &p, double Z, const StoredWave::ScreenArray &P, qint32 pointCount, bool ch1,
                      const SetupBlock &setup, const QString &trigMode, int firstIndex)
{
    if (pointCount <= 0 || firstIndex < 0 || firstIndex + 1 > LastEntry)
        return;
    const bool alt = trigMode == QLatin1String("ALTERNATION");
    int a = setup.FirstPoint;
    int b = setup.LastPoint;
    double top = 25;
    double scale = Z;
    if (!alt) {
        if (b > LastColumn)
            return;
    } else {
        a = ch1 ? setup.CH1FirstPoint : setup.CH2FirstPoint;
        b = ch1 ? setup.CH1LastPoint : setup.CH2LastPoint;
        if (b > LastColumn || a > b)
            return;
        top = ch1 ? 25 : 25 + 100 * Z;
        scale = Z / 2;
    }
    const auto y = [&](int k) { return nint(top + P[size_t(k)] * scale); };
    const int k0 = firstIndex;
    const int x0 = 25 + nint(a * Z);
    std::vector<QPoint> pts;
    pts.reserve(StoredWave::ScreenSize);
    pts.emplace_back(x0, y(k0));
    pts.emplace_back(x0, y(k0 + 1));
    const double step = 300.0 / double(pointCount);
    int k = k0 + 3;
    for (double x = x0 + Z; x <= 25 + b * Z && k <= LastEntry; x += step * Z, ++k)
        pts.emplace_back(nintSingle(x - 0.1), y(k));
    // Straight into the picture where the painter allows it: the same pixels.
    TracePixels direct(p);
    if (!direct.polyline(pts.data(), int(pts.size())))
        p.drawPolyline(pts.data(), int(pts.size()));
}

void DrawLALabels(QPainter &p, double Z, const SetupBlock &setup, bool colorMode)
{
    const auto label = [&](int i) {
        const int y = nint(25 + (setup.LARow[size_t(i)] - 25) * Z - 12);
        if (i < 10) {
            textAt(p, 5, y, QStringLiteral("D") + QString::number(i), false);
        } else {
            textAt(p, 5, y, QStringLiteral("D"), false);
            textAt(p, 12, y, QString::number(i / 10), false);
            textAt(p, 17, y, QString::number(i % 10), false);
        }
    };
    setColor(p, colorMode ? LAColor : QColor(0, 0, 0));
    for (int i = 0; i < 16; ++i)
        if (setup.laShown(i) && i != setup.LASelected)
            label(i);
    if (setup.laShown(setup.LASelected)) {
        setColor(p, colorMode ? LASelectedColor : QColor(0, 0, 0));
        label(setup.LASelected);
    }
}

void DrawLATraces(QPainter &p, double Z, const StoredWave::ScreenArray &words, const SetupBlock &setup, bool colorMode)
{
    if (setup.LastPoint > LastColumn)
        return;
    const auto row = [&](int ch) {
        DrawLALine(p, Z, words, ch, 10, nint((setup.LARow[size_t(ch)] - 25) * Z), setup.FirstPoint,
                   setup.LastPoint);
    };
    setColor(p, colorMode ? LAColor : QColor(0, 0, 0));
    for (int ch = 0; ch < 16; ++ch)
        if (setup.laShown(ch) && ch != setup.LASelected)
            row(ch);
    if (setup.laShown(setup.LASelected)) {
        setColor(p, colorMode ? LASelectedColor : QColor(0, 0, 0));
        row(setup.LASelected);
    }
}

void DrawLALine(QPainter &p, double Z, const StoredWave::ScreenArray &words, int channel, int rowHeight, int rowBase,
                int firstCol, int lastCol)
{
    if (channel < 0 || channel > 15)
        return;
    const int hz = nint((rowHeight - 1) * Z);
    const int yL = 25 + rowBase;
    const int yH = yL - hz;
    const auto bit = [&](int k) { return bitOf(words, k, channel); };
    // Every piece is level or upright: a level piece that carries on the one
    // before it at the same level joins it, so a run of one level is one line.
    std::vector<QLine> lines;
    lines.reserve(4 * StoredWave::ScreenSize);
    const auto seg = [&lines](int x1, int y1, int x2, int y2) {
        if (y1 == y2 && x1 <= x2 && !lines.empty()) {
            QLine &l = lines.back();
            if (l.y1() == y1 && l.y2() == y1 && l.x1() <= l.x2() && l.x2() == x1) {
                l.setP2(QPoint(x2, y1));
                return;
            }
        }
        lines.emplace_back(x1, y1, x2, y2);
    };
    TracePixels direct(p);

    const double xs = 25 + firstCol * Z;
    bool s1 = bit(0); // the state: the two levels last drawn
    bool s2 = bit(1);
    if (s1 == s2) {
        if (direct.valid())
            direct.point(nint(xs), s1 ? yH : yL);
        else
            p.drawPoint(nint(xs), s1 ? yH : yL);
    } else {
        seg(nint(xs), yH, nint(xs), yL);
        const bool lowNext = !bit(2) && !bit(3);
        s1 = lowNext;
        s2 = !lowNext;
    }
    int xPrev = nint(xs);
    int k = 2;
    for (double x = 25 + (firstCol + 1) * Z; x <= 25 + (lastCol + 1) * Z - 1 && k + 1 <= LastEntry;) {
        const int xa = nintSingle(x - 0.1);
        const bool A = bit(k);
        const bool B = bit(k + 1);
        k += 2;
        x += 0.5 * Z;
        const int xb = nintSingle(x - 0.1);
        if (!A && !B) {
            if (s2) {
                seg(xPrev, yH, xa, yH);
                seg(xa, yH, xa, yL);
            } else {
                seg(xPrev, yL, xa, yL);
            }
            seg(xa, yL, xb, yL);
            s1 = s2 = false;
        } else if (A && B) {
            if (!s2) {
                seg(xPrev, yL, xa, yL);
                seg(xa, yL, xa, yH);
            } else {
                seg(xPrev, yH, xa, yH);
            }
            seg(xa, yH, xb, yH);
            s1 = s2 = true;
        } else if (s1 && s2) {
            seg(xPrev, yH, xa, yH);
            seg(xa, yH, xb, yH);
            seg(xb, yH, xb, yL);
            s1 = true;
            s2 = false;
        } else if (!s1 && !s2) {
            seg(xPrev, yL, xa, yL);
            seg(xa, yL, xb, yL);
            seg(xb, yH, xb, yL);
            s1 = false;
            s2 = true;
        } else if (!s1 && s2) {
            seg(xPrev, yH, xa, yH);
            seg(xa, yH, xa, yL);
            seg(xa, yL, xb, yL);
            seg(xb, yL, xb, yH);
        } else { // (1, 0)
            seg(xPrev, yL, xa, yL);
            seg(xa, yL, xb, yL);
            seg(xb, yL, xb, yH);
            s1 = false;
            s2 = true;
        }
        xPrev = xb;
        x += 0.5 * Z;
    }
    if (lines.empty())
        return;
    if (!direct.valid()) {
        p.drawLines(lines.data(), int(lines.size()));
        return;
    }
    // Written straight into the picture, both ends of each line included, as
    // the painter's one-pixel pen sets them.
    for (const QLine &l : lines) {
        if (l.y1() == l.y2())
            direct.horizontal(l.x1(), l.x2(), l.y1());
        else
            direct.vertical(l.x1(), l.y1(), l.y2());
    }
}

void DrawOSC(QImage &pic, const StoredWave &w, double Z)
{
    if (!w.HasData || !w.YTFormat)
        return;
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    setColor(p, QColor(0, 0, 0));
    // The scale texts are gathered while the labels and marks are drawn, then
    // laid out together.
    QList<RowText> row;
    gatheredRow = &row;
    const TextFaces faces;
    passFaces = &faces;
    if (w.ShowCH1) {
        setColor(p, storedChannelColor(w.ColorMode, true));
        DrawChannelLabel(p, Z, QStringLiteral("CH1"), w.Ch1Offset, w.Ch1VoltDiv, w.TrigMode);
        if (w.Setup.CH1Valid == 1)
            DrawChannelTrace(p, Z, w.Ch1Screen, w.PointCount, true, w.Setup, w.TrigMode);
    }
    if (w.ShowCH2) {
        setColor(p, storedChannelColor(w.ColorMode, false));
        DrawChannelLabel(p, Z, QStringLiteral("CH2"), w.Ch2Offset, w.Ch2VoltDiv, w.TrigMode);
        if (w.Setup.CH2Valid == 1)
            DrawChannelTrace(p, Z, w.Ch2Screen, w.PointCount, false, w.Setup, w.TrigMode);
    }
    if (w.ShowLA) {
        DrawLALabels(p, Z, w.Setup, w.ColorMode);
        if (w.Setup.LAValid == 1)
            DrawLATraces(p, Z, w.LaScreen, w.Setup, w.ColorMode);
    }
    if (isAlternate(w))
        DrawAltTrigMarks(p, Z, w.Ch1TimeDiv, w.Ch1Position, w.Ch2TimeDiv, w.Ch2Position, w.ColorMode);
    else
        DrawTrigMark(p, Z, w.TimeDiv, w.Position, w.ColorMode);
    gatheredRow = nullptr;
    drawRow(p, Z, row, pic.width());
    passFaces = nullptr;
}
