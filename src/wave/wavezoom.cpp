#include "wave/wavezoom.h"

#include "values/numbertext.h"
#include "values/rounding.h"

#include <algorithm>
#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int rounded(double v)
{
    return int(RoundHalfEven(v));
}

} // namespace

std::optional<double> ParseZoomPercent(QStringView text)
{
    QStringView t = text.trimmed();
    if (t.endsWith(QLatin1Char('%')))
        t.chop(1);
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto skipBlanks = [&] {
        while (i < n && t[i] == QLatin1Char(' '))
            ++i;
    };
    skipBlanks();
    const qsizetype start = i;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && isDigit(t[i]))
        ++i, ++digits;
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        int expDigits = 0;
        while (i < n && isDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    const qsizetype end = i;
    skipBlanks();
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double percent = t.mid(start, end - start).toString().toDouble(&ok);
    if (!ok || !std::isfinite(percent))
        return std::nullopt;
    return percent;
}

std::optional<double> ParseZoomText(QStringView text)
{
    const std::optional<double> percent = ParseZoomPercent(text);
    if (!percent)
        return std::nullopt;
    const double zoom = *percent / 100.0;
    if (zoom > ZoomCeiling)
        return std::nullopt;
    return std::max(zoom, ZoomFloor);
}

QString ZoomText(double zoom)
{
    return ApplyNumberPattern(zoom, u"0%");
}

double BestFitZoom(int width, int height)
{
    const double across = float(width / 350.0);
    const double down = height / 250.0;
    const double z = std::min(across, down);
    return z < ZoomFloor ? ZoomFloor : z;
}

WaveLayout layoutWaveWindow(const WaveLayoutInput &in)
{
    WaveLayout out;
    out.zoom = in.zoom;
    out.picture = in.previousPicture;

    // The container fills the window right of the controls; a window too small
    // for it leaves it where it was.
    const int left = in.columnTwips;
    const QRect wanted(left, 100, in.client.width() - left, in.client.height() - 100);
    out.backPic = wanted.width() >= 0 && wanted.height() >= 0 ? wanted : in.previousBackPic;
    if (!in.sizePicture)
        return out;

    const QRect &b = out.backPic;
    // The container's size in whole pixels, as the window gives it.
    const int innerW = rounded(b.width() / double(TwipsPerPx));
    const int innerH = rounded(b.height() / double(TwipsPerPx));
    if (in.bestFit) {
        out.zoom = BestFitZoom(innerW, innerH);
        out.zoomFromBestFit = true;
        out.picture = QSize(rounded(350 * out.zoom), rounded(250 * out.zoom));
        return out;
    }
    const double Z = in.zoom;
    out.picture = QSize(rounded(350 * Z), rounded(250 * Z));
    // The bars lie flush along the container's bottom and right edges, over
    // the picture; the room one of them takes may call for the other.
    const int barPx = rounded(ScrollBarTwips / double(TwipsPerPx));
    bool wider = out.picture.width() > innerW;
    bool taller = out.picture.height() > innerH;
    if (wider && !taller)
        taller = out.picture.height() > innerH - barPx;
    if (taller && !wider)
        wider = out.picture.width() > innerW - barPx;
    const int viewW = innerW - (taller ? barPx : 0);
    const int viewH = innerH - (wider ? barPx : 0);
    if (wider) {
        out.hBar.shown = true;
        out.hBar.rect = QRect(b.left(), b.top() + b.height() - ScrollBarTwips,
                              b.width() - (taller ? ScrollBarTwips : 0), ScrollBarTwips);
        out.hScrollRange = float(out.picture.width() - viewW);
        out.hBar.largeChange = rounded(double(viewW) / out.picture.width() * 100);
    }
    if (taller) {
        out.vBar.shown = true;
        out.vBar.rect = QRect(b.left() + b.width() - ScrollBarTwips, b.top(), ScrollBarTwips,
                              b.height() - (wider ? ScrollBarTwips : 0));
        out.vScrollRange = out.picture.height() - viewH;
        out.vBar.largeChange = rounded(double(viewH) / out.picture.height() * 100);
    }
    return out;
}

QPoint progressBoxPlace(QPoint picture, double zoom)
{
    const double left = picture.x() + 25 + 300 * zoom - ProgressBoxSize.width() + 7;
    const int top = picture.y() + 25 - ProgressBoxSize.height() - 1;
    return QPoint(rounded(left), top);
}

double hScrollOffset(int value, double range)
{
    return float(-value * range / 100.0);
}

int vScrollOffset(int value, int range)
{
    return rounded(double(qint32(-value * range)) / 100.0);
}
