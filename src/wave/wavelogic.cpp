#include "wave/wavelogic.h"

#include "common/constants.h"
#include "texts/stringres.h"

#include <QPainter>

namespace {

constexpr int WordCount = Screen::Points;  // logic words on one screen
constexpr int LastWordIndex = WordCount;   // LogicWords runs 0..600
constexpr int LastColumn = Screen::Columns - 1;

const QColor Black(0, 0, 0);

bool columnOnScreen(int c) { return c >= 0 && c <= LastColumn; }

qint32 byteAt(const QList<qint32> &bytes, int k) { return k >= 0 && k < bytes.size() ? bytes[k] : 0; }

int heightOf(const SetupBlock &setup, int n) { return n <= 7 ? setup.LAHeightD0D7 : setup.LAHeightD8D15; }

// Channels in drawing order: every shown channel but the selected one
// ascending, then the selected one when it is shown.
QList<int> drawingOrder(const SetupBlock &setup)
{
    const int selected = selectedLogicChannel(setup);
    QList<int> order;
    for (int n = 0; n <= 15; ++n)
        if (setup.laShown(n) && n != selected)
            order.append(n);
    if (selected >= 0 && setup.laShown(selected))
        order.append(selected);
    return order;
}

QColor channelColor(const SetupBlock &setup, int n, bool colorMode)
{
    if (!colorMode)
        return Black;
    return n == selectedLogicChannel(setup) ? LASelectedColor : LAColor;
}

bool fftSplitOf(const QString &fftDisplay, const SetupBlock &setup)
{
    return IsOnWordOfAnyLanguage(fftDisplay) && setup.FFTFullScreen == 0;
}

} // namespace

QList<qint32> BuildLogicWords(const QList<qint32> &laWords, const SetupBlock &setup)
{
    if (!columnOnScreen(setup.FirstPoint))
        return {};
    QList<qint32> words(LastWordIndex + 1, 0);
    int i = 0;
    for (int k = 4 * setup.FirstPoint + 1; k <= 2 * WordCount - 1 && i <= LastWordIndex; k += 2, ++i)
        words[i] = qint32((qint64(byteAt(laWords, k + 1)) * 256 + byteAt(laWords, k)) & 0xFFFF); // any value a file holds
    return words;
}

double logicBase(double zoom, bool fftSplit) { return fftSplit ? 25.0 - 100.0 * zoom : 25.0; }

int selectedLogicChannel(const SetupBlock &setup) { return setup.LASelected <= 15 ? int(setup.LASelected) : -1; }

WaveShape LALineShape(const QList<qint32> &logicWords, int channel, int height, double rowOffset,
                      const SetupBlock &setup, int lastPoint, double zoom, double base, const QColor &color)
{
    WaveShape out;
    out.kind = WaveShape::Segments;
    out.color = color;
    if (logicWords.size() < 4 || channel < 0 || channel > 15)
        return out;

    const double yLow = base + rowOffset;
    const double yHigh = yLow - nearestPixel((height - 1) * zoom);
    auto bit = [&](int i) { return (logicWords[i] >> channel) & 1; };
    auto level = [&](int b) { return b ? yHigh : yLow; };
    QPolygonF &pts = out.points;
    auto segment = [&](int b, double from, double to) {
        pts << QPointF(from, level(b)) << QPointF(to, level(b));
    };
    auto edge = [&](double x) { pts << QPointF(x, yHigh) << QPointF(x, yLow); };

    const double x0 = 25.0 + setup.FirstPoint * zoom;
    int p, q; // q: the level shown now; p == q: it has been steady
    if (bit(0) == bit(1)) {
        p = q = bit(0);
        segment(q, x0, x0); // a single point
    } else {
        edge(x0);
        if (bit(2) == 0 && bit(3) == 0) {
            p = 1;
            q = 0;
        } else {
            p = 0;
            q = 1;
        }
    }

    double xprev = nearestPixel(x0);
    double x = x0 + zoom;
    const double end = 25.0 + (lastPoint + 1) * zoom - 1.0;
    for (int k = 2; x <= end && k + 1 <= LastWordIndex && k + 1 < logicWords.size(); k += 2, x += zoom) {
        const int b0 = bit(k);
        const int b1 = bit(k + 1);
        const double xa = nearestPixel(x - 0.1);
        const double xb = nearestPixel(x + 0.5 * zoom - 0.1);
        if (b0 == b1) {
            if (q == b0) {
                segment(b0, xprev, xa);
            } else {
                segment(q, xprev, xa);
                edge(xa);
            }
            segment(b0, xa, xb);
            p = q = b0;
        } else if (p == q) {
            segment(q, xprev, xa);
            segment(q, xa, xb);
            edge(xb);
            p = q;
            q = 1 - q;
        } else {
            if (q == 1) {
                segment(1, xprev, xa);
                edge(xa);
                segment(0, xa, xb);
            } else {
                segment(0, xprev, xa);
                segment(0, xa, xb);
            }
            edge(xb);
            p = 0;
            q = 1;
        }
        xprev = xb;
    }
    return out;
}

WaveShapes LALabelsShapes(double zoom, const SetupBlock &setup, bool fftSplit, bool colorMode)
{
    using WaveShapeMake::text;
    WaveShapes out;
    const double a = logicBase(zoom, fftSplit);
    for (int n : drawingOrder(setup)) {
        const QColor c = channelColor(setup, n, colorMode);
        const double y = a + (setup.LARow[size_t(n)] - 25) * zoom - 12;
        if (n <= 9) {
            out.append(text(c, {5, y}, QStringLiteral("D") + QString::number(n), false));
        } else {
            out.append(text(c, {5, y}, QStringLiteral("D"), false));
            out.append(text(c, {12, y}, QString::number(n / 10), false));
            out.append(text(c, {17, y}, QString::number(n % 10), false));
        }
    }
    return out;
}

WaveShapes LATracesShapes(double zoom, const QList<qint32> &laWords, const SetupBlock &setup, bool fftSplit,
                          bool colorMode)
{
    WaveShapes out;
    if (!columnOnScreen(setup.FirstPoint) || !columnOnScreen(setup.LastPoint))
        return out;
    const QList<qint32> words = BuildLogicWords(laWords, setup);
    const double base = logicBase(zoom, fftSplit);
    for (int n : drawingOrder(setup)) {
        const double offset = nearestPixel((setup.LARow[size_t(n)] - 25) * zoom);
        out.append(LALineShape(words, n, heightOf(setup, n), offset, setup, setup.LastPoint, zoom, base,
                               channelColor(setup, n, colorMode)));
    }
    return out;
}

void DrawLALabels(QPainter &p, double zoom, const SetupBlock &setup, const QString & /*trigMode*/,
                  const QString &fftDisplay, bool colorMode)
{
    PaintShapes(p, LALabelsShapes(zoom, setup, fftSplitOf(fftDisplay, setup), colorMode));
}

void DrawLATraces(QPainter &p, double zoom, const QList<qint32> &laWords, qint32 /*pointCount*/,
                  const SetupBlock &setup, const QString & /*trigMode*/, const QString &fftDisplay, bool colorMode)
{
    PaintShapes(p, LATracesShapes(zoom, laWords, setup, fftSplitOf(fftDisplay, setup), colorMode));
}
