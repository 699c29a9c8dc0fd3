#include "storedwave/storedcursors.h"

#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "wave/wavecursors.h"
#include "wave/waveoverlay.h"
#include "wave/wavereadouts.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

int nint(double v) { return int(std::nearbyint(v)); }

// Below lo becomes lo (so does a value that is not a number); otherwise
// above hi becomes hi.
double held(double v, double lo, double hi)
{
    if (!(v >= lo))
        return lo;
    if (v > hi)
        return hi;
    return v;
}

const QString TimeLabel = QStringLiteral("|X1-X2|   =");
const QString FreqLabel = QStringLiteral("1/|X1-X2|=");
const QString VoltLabel = QStringLiteral("|Y1-Y2|  =");

// The frequency text from the time text as it is shown.
QString freqText(const QString &timeText)
{
    QString t = timeText;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double s = GetTimeVlu(t);
    if (s != 0.0)
        return FreqLabel + ConvertFreqToStr(1.0 / s);
    return FreqLabel + QStringLiteral("???.? Hz");
}

// Vertical cursor line at x from y1 to y2 with its two markers.
void verticalCursor(QPainter &p, const QPen &dash, const QPen &solid, double x, double top, double bottom)
{
    const int X = nint(x);
    p.setPen(dash);
    p.drawLine(X, nint(top + 5), X, nint(bottom - 5));
    p.setPen(solid);
    const QPoint topMarker[] = {{X - 5, nint(top)}, {X + 5, nint(top)}, {X, nint(top + 5)}, {X - 5, nint(top)}};
    p.drawPolyline(topMarker, 4);
    const QPoint bottomMarker[] = {{X - 5, nint(bottom)}, {X + 5, nint(bottom)}, {X, nint(bottom - 5)}, {X - 5, nint(bottom)}};
    p.drawPolyline(bottomMarker, 4);
}

void horizontalCursor(QPainter &p, const QPen &dash, const QPen &solid, double y, double left, double right)
{
    const int Y = nint(y);
    p.setPen(dash);
    p.drawLine(nint(left + 5), Y, nint(right - 5), Y);
    p.setPen(solid);
    const QPoint leftMarker[] = {{nint(left), Y - 5}, {nint(left), Y + 5}, {nint(left + 5), Y}, {nint(left), Y - 5}};
    p.drawPolyline(leftMarker, 4);
    const QPoint rightMarker[] = {{nint(right), Y - 5}, {nint(right), Y + 5}, {nint(right - 5), Y}, {nint(right), Y - 5}};
    p.drawPolyline(rightMarker, 4);
}

} // namespace

void clampCursors(StoredCursors &c, bool split)
{
    c.X1 = held(c.X1, 0, CursorDivisionsX);
    c.X2 = held(c.X2, 0, CursorDivisionsX);
    if (c.ShowCursorX && split) {
        c.X1Low = held(c.X1Low, 0, CursorDivisionsX);
        c.X2Low = held(c.X2Low, 0, CursorDivisionsX);
    }
    if (!c.ShowCursorY)
        return;
    if (!split) {
        c.Y1 = held(c.Y1, 0, CursorDivisionsY);
        c.Y2 = held(c.Y2, 0, CursorDivisionsY);
        return;
    }
    const double mid = CursorDivisionsY / 2;
    c.Y1 = held(c.Y1, 0, mid);
    c.Y2 = held(c.Y2, 0, mid);
    c.Y1Low = held(c.Y1Low, mid, CursorDivisionsY);
    c.Y2Low = held(c.Y2Low, mid, CursorDivisionsY);
}

StoredCursorLines storedCursorLines(const StoredCursors &c, bool split, double Z)
{
    const double xMax = 300 * Z + 23;
    const double middle = 100 * Z + 25;
    const double upperMax = split ? middle - 2 : 200 * Z + 23;
    const auto x = [&](double d) { return held(CursorPixelX(d, Z), 27, xMax); };
    const auto upper = [&](double d) { return held(CursorPixelY(d, Z), 27, upperMax); };
    const auto lower = [&](double d) { return held(CursorPixelY(d, Z), middle + 2, 200 * Z + 23); };
    StoredCursorLines l;
    l.x1 = x(c.X1);
    l.x2 = x(c.X2);
    l.x1Low = x(c.X1Low);
    l.x2Low = x(c.X2Low);
    l.y1 = upper(c.Y1);
    l.y2 = upper(c.Y2);
    l.y1Low = lower(c.Y1Low);
    l.y2Low = std::nearbyint(lower(c.Y2Low));
    return l;
}

QList<CursorReadout> DisplayCursorM(const StoredCursors &c, const StoredWave &w, double Z)
{
    QList<CursorReadout> out;
    if (!w.ShowCH1 && !w.ShowCH2 && !w.ShowLA)
        return out;
    const StoredCursorLines l = storedCursorLines(c, w.SplitScreen, Z);
    const int x = nint(300 * Z + 25 - 140);
    const auto timeText = [Z](double a, double b, double timeDiv) {
        return ConvertTimeToStr(std::fabs(a - b) * timeDiv * 12 / 300 / Z);
    };
    const auto voltText = [Z](double a, double b, double voltDiv, double halves) {
        return VoltLabel + ConvertVoltToStr(std::fabs(a - b) * voltDiv * 8 / 200 / Z * halves);
    };
    if (!w.SplitScreen) {
        int y = 5;
        const auto line = [&](const QString &text, const QColor &color) {
            out.append({text, color, QPoint(x, y + 25)});
            y += 20;
        };
        if (c.ShowCursorX && w.TimeDiv > 0) {
            const QString t = timeText(l.x1, l.x2, w.TimeDiv);
            line(freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode));
            line(TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode));
        }
        if (c.ShowCursorY) {
            if (w.ShowCH1)
                line(voltText(l.y1, l.y2, w.Ch1VoltDiv, 1), readoutColor(ReadoutColor::CH1, w.ColorMode));
            if (w.ShowCH2)
                line(voltText(l.y1, l.y2, w.Ch2VoltDiv, 1), readoutColor(ReadoutColor::CH2, w.ColorMode));
        }
        return out;
    }
    if (!isAlternate(w))
        return out;
    const int lower = nint(100 * Z);
    int upperY = 30;
    int lowerY = lower + 30;
    if (c.ShowCursorX) {
        if (w.Ch1TimeDiv > 0) {
            const QString t = timeText(l.x1, l.x2, w.Ch1TimeDiv);
            out.append({freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, 30)});
            out.append({TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, 50)});
            upperY = 70;
        }
        if (w.Ch2TimeDiv > 0) {
            const QString t = timeText(l.x1Low, l.x2Low, w.Ch2TimeDiv);
            out.append({freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, lower + 30)});
            out.append({TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, lower + 50)});
            lowerY = lower + 70;
        }
    }
    if (c.ShowCursorY) {
        if (w.Ch1VoltDiv > 0)
            out.append({voltText(l.y1, l.y2, w.Ch1VoltDiv, 2), readoutColor(ReadoutColor::CH1, w.ColorMode), QPoint(x, upperY)});
        if (w.Ch2VoltDiv > 0)
            out.append({voltText(l.y1Low, l.y2Low, w.Ch2VoltDiv, 2), readoutColor(ReadoutColor::CH2, w.ColorMode),
                        QPoint(x, lowerY)});
    }
    return out;
}

void DrawCursors(QImage &pic, StoredCursors &c, const StoredWave &w, double Z)
{
    const bool split = w.SplitScreen;
    clampCursors(c, split);
    if (pic.isNull())
        return;
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen dash(cursorLineColor(w.ColorMode), 1, Qt::DashDotDotLine);
    dash.setCosmetic(true);
    QPen solid(cursorLineColor(w.ColorMode), 1, Qt::SolidLine);
    solid.setCosmetic(true);
    const double left = 25;
    const double right = 300 * Z + 25;
    const double top = 25;
    const double middle = 100 * Z + 25;
    const double bottom = 200 * Z + 25;
    const StoredCursorLines l = storedCursorLines(c, split, Z);
    if (c.ShowCursorX) {
        const double upperBottom = split ? middle : bottom;
        verticalCursor(p, dash, solid, l.x1, top, upperBottom);
        verticalCursor(p, dash, solid, l.x2, top, upperBottom);
        if (split) {
            verticalCursor(p, dash, solid, l.x1Low, middle, bottom);
            verticalCursor(p, dash, solid, l.x2Low, middle, bottom);
        }
    }
    if (c.ShowCursorY) {
        horizontalCursor(p, dash, solid, l.y1, left, right);
        horizontalCursor(p, dash, solid, l.y2, left, right);
        if (split) {
            horizontalCursor(p, dash, solid, l.y1Low, left, right);
            horizontalCursor(p, dash, solid, l.y2Low, left, right);
        }
    }
    p.setFont(StoredPicture::font(false));
    for (const CursorReadout &r : DisplayCursorM(c, w, Z)) {
        p.setPen(r.color);
        p.drawText(QRect(r.topLeft, QSize(4000, 200)), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, r.text);
    }
}

void RescaleCursorY(StoredCursors &c, bool newSplit, bool oldSplit)
{
    if (!c.ShowCursorY || newSplit == oldSplit)
        return;
    // A half is half the height: the same place in it is half the divisions.
    const auto move = [newSplit](double y) { return newSplit ? y / 2 : y * 2; };
    c.Y1 = move(c.Y1);
    c.Y2 = move(c.Y2);
}
