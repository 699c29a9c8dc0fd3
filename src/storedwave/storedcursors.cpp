#include "storedwave/storedcursors.h"

#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "wave/waveoverlay.h"
#include "wave/wavereadouts.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

int nint(double v) { return int(std::nearbyint(v)); }

// Below lo becomes lo; otherwise above hi becomes hi.
double held(double v, double lo, double hi)
{
    if (v < lo)
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

void clampCursors(StoredCursors &c, bool split, double Z)
{
    const double xMax = 300 * Z + 23;
    c.X1 = held(c.X1, 27, xMax);
    c.X2 = held(c.X2, 27, xMax);
    if (c.ShowCursorX && split) {
        c.X1Low = held(c.X1Low, 27, xMax);
        c.X2Low = held(c.X2Low, 27, xMax);
    }
    if (!c.ShowCursorY)
        return;
    if (!split) {
        c.Y1 = held(c.Y1, 27, 200 * Z + 23);
        c.Y2 = held(c.Y2, 27, 200 * Z + 23);
    } else {
        c.Y1 = held(c.Y1, 27, 100 * Z + 23);
        c.Y2 = held(c.Y2, 27, 100 * Z + 23);
        c.Y1Low = held(c.Y1Low, 100 * Z + 27, 200 * Z + 23);
        c.Y2Low = qint16(nint(held(c.Y2Low, 100 * Z + 27, 200 * Z + 23)));
    }
}

QList<CursorReadout> DisplayCursorM(const StoredCursors &c, const StoredWave &w, double Z)
{
    QList<CursorReadout> out;
    if (!w.ShowCH1 && !w.ShowCH2 && !w.ShowLA)
        return out;
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
            const QString t = timeText(c.X1, c.X2, w.TimeDiv);
            line(freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode));
            line(TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode));
        }
        if (c.ShowCursorY) {
            if (w.ShowCH1)
                line(voltText(c.Y1, c.Y2, w.Ch1VoltDiv, 1), readoutColor(ReadoutColor::CH1, w.ColorMode));
            if (w.ShowCH2)
                line(voltText(c.Y1, c.Y2, w.Ch2VoltDiv, 1), readoutColor(ReadoutColor::CH2, w.ColorMode));
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
            const QString t = timeText(c.X1, c.X2, w.Ch1TimeDiv);
            out.append({freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, 30)});
            out.append({TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, 50)});
            upperY = 70;
        }
        if (w.Ch2TimeDiv > 0) {
            const QString t = timeText(c.X1Low, c.X2Low, w.Ch2TimeDiv);
            out.append({freqText(t), readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, lower + 30)});
            out.append({TimeLabel + t, readoutColor(ReadoutColor::Time, w.ColorMode), QPoint(x, lower + 50)});
            lowerY = lower + 70;
        }
    }
    if (c.ShowCursorY) {
        if (w.Ch1VoltDiv > 0)
            out.append({voltText(c.Y1, c.Y2, w.Ch1VoltDiv, 2), readoutColor(ReadoutColor::CH1, w.ColorMode), QPoint(x, upperY)});
        if (w.Ch2VoltDiv > 0)
            out.append({voltText(c.Y1Low, c.Y2Low, w.Ch2VoltDiv, 2), readoutColor(ReadoutColor::CH2, w.ColorMode),
                        QPoint(x, lowerY)});
    }
    return out;
}

void DrawCursors(QImage &pic, StoredCursors &c, const StoredWave &w, double Z)
{
    const bool split = w.SplitScreen;
    clampCursors(c, split, Z);
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
    if (c.ShowCursorX) {
        const double upperBottom = split ? middle : bottom;
        verticalCursor(p, dash, solid, c.X1, top, upperBottom);
        verticalCursor(p, dash, solid, c.X2, top, upperBottom);
        if (split) {
            verticalCursor(p, dash, solid, c.X1Low, middle, bottom);
            verticalCursor(p, dash, solid, c.X2Low, middle, bottom);
        }
    }
    if (c.ShowCursorY) {
        horizontalCursor(p, dash, solid, c.Y1, left, right);
        horizontalCursor(p, dash, solid, c.Y2, left, right);
        if (split) {
            horizontalCursor(p, dash, solid, c.Y1Low, left, right);
            horizontalCursor(p, dash, solid, c.Y2Low, left, right);
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
    const auto move = [newSplit](double y) { return newSplit ? (y - 25) / 2 + 25 : (y - 25) * 2 + 25; };
    c.Y1 = move(c.Y1);
    c.Y2 = move(c.Y2);
}

void moveCursorsInProportion(StoredCursors &c, QSizeF oldSize, QSizeF newSize)
{
    if (oldSize.width() != 0) {
        const double k = newSize.width() / oldSize.width();
        for (double *x : {&c.X1, &c.X2, &c.X1Low, &c.X2Low})
            *x = (*x - 25) * k + 25;
    }
    if (oldSize.height() != 0) {
        const double k = newSize.height() / oldSize.height();
        for (double *y : {&c.Y1, &c.Y2, &c.Y1Low})
            *y = (*y - 25) * k + 25;
        c.Y2Low = qint16(std::clamp<double>(nint((c.Y2Low - 25) * k + 25), -32768, 32767));
    }
}
