#include "wave/wavemarkers.h"

#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/valuereply.h"
#include "wave/scalerow.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QString Alternation = QStringLiteral("ALTERNATION");

const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor Cyan(0, 255, 255);

using namespace WaveShapeMake;

// The small downward triangle on the centre column; top is its upper edge.
void centreMark(WaveShapes &out, const QColor &c, double zoom, double top)
{
    const double x0 = 150.0 * zoom + 21.0;
    out.append(chain(c, {{x0, top}, {x0 + 8, top}, {x0 + 4, top + 4}, {x0, top}}));
}

// The trigger marker for column col; y0 is the top of the marker (30 in the
// upper half or the full screen). A NaN column draws nothing.
void triggerMarker(WaveShapes &out, const QColor &c, double zoom, double col, double y0)
{
    if (std::isnan(col))
        return;
    if (col > 3 && col < 296) {
        const double x = col * zoom + 21.0;
        out.append(chain(c, {{x, y0}, {x + 8, y0}, {x + 8, y0 + 10}, {x + 4, y0 + 14}, {x, y0 + 10}, {x, y0}}));
        out.append(text(c, {x + 1, y0 + 1}, QStringLiteral("T"), false));
    } else if (col >= 296) {
        const double x = 300.0 * zoom + 8.0;
        out.append(chain(c, {{x, y0}, {x + 12, y0}, {x + 16, y0 + 5}, {x + 12, y0 + 10}, {x, y0 + 10}, {x, y0}}));
        out.append(text(c, {x + 3, y0}, QStringLiteral("T"), false));
    } else {
        out.append(chain(c, {{42, y0}, {30, y0}, {26, y0 + 5}, {30, y0 + 10}, {42, y0 + 10}, {42, y0}}));
        out.append(text(c, {33, y0}, QStringLiteral("T"), false));
    }
}

// The right-pointing pentagon whose tip marks a ground row; y is its top.
void groundPentagon(WaveShapes &out, const QColor &c, double y)
{
    out.append(chain(c, {{6, y}, {19, y}, {23, y + 5}, {19, y + 10}, {6, y + 10}, {6, y}}));
}

bool fftSplit(const QString &fftDisplay, int fftFullScreen)
{
    return IsOnWordOfAnyLanguage(fftDisplay) && fftFullScreen == 0;
}

} // namespace

double TriggerColumn(const QString &timeDiv, const QString &delay)
{
    return 150.0 - 25.0 * ParseTime(delay) / ParseTime(timeDiv);
}

double GroundRow(const QString &offset, const QString &voltDiv)
{
    return 100.0 - 25.0 * ParseVolt(offset) / ParseVolt(voltDiv);
}

QColor triggerMarkColor(bool colorMode) { return colorMode ? QColor(255, 128, 0) : Black; }

QString floatScaleText(float v) { return QString::number(double(v), 'g', 7); }

WaveShapes TrigMarkShapes(double zoom, const QString &timeDiv, const QString &delay, bool colorMode)
{
    WaveShapes out;
    const double col = TriggerColumn(timeDiv, delay);
    const QColor mark = triggerMarkColor(colorMode);
    centreMark(out, mark, zoom, 26);
    triggerMarker(out, mark, zoom, col, 30);
    out.append(text(mark, {200.0 * zoom + 25, 203.0 * zoom + 25}, QStringLiteral("Delay:") + delay, false));
    out.append(text(colorMode ? White : Black, {150.0 * zoom + 25, 203.0 * zoom + 25}, timeDiv, true));
    return out;
}

WaveShapes AltTrigMarksShapes(double zoom, const QString &timeDiv1, const QString &delay1, const QString &timeDiv2,
                              const QString &delay2, bool colorMode)
{
    WaveShapes out;
    const double c1 = TriggerColumn(timeDiv1, delay1);
    const double c2 = TriggerColumn(timeDiv2, delay2);
    const QColor mark = triggerMarkColor(colorMode);
    centreMark(out, mark, zoom, 26);
    triggerMarker(out, mark, zoom, c1, 30);
    centreMark(out, mark, zoom, 100.0 * zoom + 26);
    triggerMarker(out, mark, zoom, c2, 100.0 * zoom + 30);
    const QColor one = colorMode ? Yellow : Black;
    out.append(text(one, {150.0 * zoom + 25, 203.0 * zoom + 25}, QStringLiteral("Delay1: ") + delay1, false));
    out.append(text(one, {138.0 * zoom + 25, 85.0 * zoom + 25}, timeDiv1, true));
    const QColor two = colorMode ? Cyan : Black;
    out.append(text(two, {230.0 * zoom + 25, 203.0 * zoom + 25}, QStringLiteral("Delay2: ") + delay2, false));
    out.append(text(two, {138.0 * zoom + 25, 185.0 * zoom + 25}, timeDiv2, true));
    return out;
}

WaveShapes ChannelLabelShapes(const QColor &fore, double zoom, const QString &channelName, const QString &offset,
                              const QString &voltDiv, const QString &trigMode, const QString &fftDisplay,
                              int fftFullScreen)
{
    WaveShapes out;
    const bool alternation = trigMode == Alternation;
    const double s = alternation || fftSplit(fftDisplay, fftFullScreen) ? 2.0 : 1.0;
    const double g = GroundRow(offset, voltDiv);
    const bool one = channelName == QLatin1String("CH1");
    const bool two = channelName == QLatin1String("CH2");
    const double h = two && alternation ? 100.0 * zoom : 0.0;
    const QString digit = one ? QStringLiteral("1") : two ? QStringLiteral("2") : QString();

    if (std::isnan(g)) {
        // 0 V over a zero scale: no ground row, no marker.
    } else if (g > 0 && g < 200) {
        const double y = g / s * zoom + 20 + nearestPixel(h);
        groundPentagon(out, fore, y);
        if (!digit.isEmpty())
            out.append(text(fore, {10, y - 1}, digit, false));
    } else if (g >= 200) {
        const double y = 200.0 / s * zoom + 10 + h;
        out.append(chain(fore, {{12, y}, {22, y}, {22, y + 13}, {17, y + 17}, {12, y + 13}, {12, y}}));
        if (!digit.isEmpty())
            out.append(text(fore, {14, y + (one ? 2 : 1)}, digit, false));
    } else {
        const double y = 40 + h;
        out.append(chain(fore, {{12, y}, {22, y}, {22, y - 13}, {17, y - 17}, {12, y - 13}, {12, y}}));
        if (!digit.isEmpty())
            out.append(text(fore, {14, y - (one ? 13 : 14)}, digit, false));
    }

    if (one)
        out.append(text(fore, {25, 203.0 * zoom + 25}, QStringLiteral("CH1 ") + voltDiv, true));
    else if (two)
        out.append(text(fore, {75.0 * zoom + 25, 203.0 * zoom + 25}, QStringLiteral("CH2 ") + voltDiv, true));
    return out;
}

WaveShapes MathLabelShapes(const QColor &fore, double zoom, const SetupBlock &setup, const QString &trigMode,
                           const QString &fftDisplay)
{
    WaveShapes out;
    const bool fftOn = IsOnWordOfAnyLanguage(fftDisplay);
    const int g = 100 - (fftOn ? setup.FFTPosition : setup.MathPosition);
    if (g <= 0 || g >= 200)
        return out;

    const bool alternation = trigMode == Alternation;
    bool lower;
    double s;
    if (!fftOn) {
        s = alternation ? 2 : 1;
        lower = alternation;
    } else if (!alternation) {
        s = setup.FFTFullScreen == 0 ? 2 : 1;
        lower = setup.FFTFullScreen == 0;
    } else {
        s = 2;
        lower = setup.AltMathLower != 0;
    }
    const double h = lower ? nearestPixel(100.0 * zoom) : 0.0;
    const double y = g / s * zoom + 20 + h;
    groundPentagon(out, fore, y);
    out.append(text(fore, {9, y - 3}, QStringLiteral("m"), false));

    const double line2 = 214.0 * zoom + 25;
    if (setup.MathOperation == 3) {
        QString scale = QStringLiteral("FFT ");
        if (setup.FFTDecibelScale != 0)
            scale += FormatDecibel(QString::number(setup.FFTScaleDB)) + QStringLiteral("Vrms/div ");
        else
            scale += FormatVolt(floatScaleText(setup.FFTScaleVrms)) + QStringLiteral("rms/div  ");
        out.append(text(fore, {25, line2}, scale, true));
        out.append(text(fore, {150.0 * zoom + 25, line2},
                        FormatFreq(floatScaleText(setup.FFTHzPerDiv)) + QStringLiteral("/div"), true));
    } else {
        QString scale = QStringLiteral("Math scale ") + FormatVolt(floatScaleText(setup.MathScale));
        if (setup.MathOperation == 2)
            scale += QLatin1Char('2');
        out.append(text(fore, {25, line2}, scale, true));
    }
    return out;
}

namespace {

// The rank of a scale text (0 the most important): the time/div stays
// longest, then the channels' volts/div; the delays give way first. On the
// second row the MATH or FFT volts come before the FFT's hertz.
int scaleTextRank(const QString &text, bool firstRow)
{
    if (!firstRow)
        return text.startsWith(QLatin1String("FFT ")) || text.startsWith(QLatin1String("Math scale")) ? 0 : 1;
    if (text.startsWith(QLatin1String("CH1 ")))
        return 1;
    if (text.startsWith(QLatin1String("CH2 ")))
        return 2;
    if (text.startsWith(QLatin1String("Delay2")))
        return 4;
    if (text.startsWith(QLatin1String("Delay")))
        return 3;
    return 0;
}

double pictureTextWidth(const QString &text, bool bold)
{
    return QFontMetricsF(wavePictureFont(bold)).horizontalAdvance(text);
}

// The pixel size of the picture's type: the rows' pitch at zoom 1.
constexpr double RowPitch = 11;

} // namespace

void LayOutScaleTexts(const QList<WaveShapes *> &drawn, double zoom, double pictureWidth)
{
    const double rowY[2] = {203.0 * zoom + 25, 214.0 * zoom + 25};
    for (int row = 0; row < 2; ++row) {
        struct Ref {
            WaveShapes *list;
            qsizetype index;
        };
        QList<Ref> refs;
        QList<ScaleRowText> texts;
        for (WaveShapes *list : drawn) {
            for (qsizetype i = 0; list && i < list->size(); ++i) {
                const WaveShape &sh = list->at(i);
                // The ground and trigger markers' letters stand left of the
                // graticule or above it, never on a scale row.
                if (sh.kind != WaveShape::Text || sh.points.isEmpty() || sh.points[0].x() < 25
                    || std::abs(sh.points[0].y() - rowY[row]) > 1e-9)
                    continue;
                refs.append({list, i});
                texts.append({sh.text, sh.points[0].x(), scaleTextRank(sh.text, row == 0), sh.bold});
            }
        }
        const QList<ScaleRowPlace> placed = LayOutScaleRow(texts, pictureWidth, pictureTextWidth);
        const double y = row == 0 ? rowY[0] : std::max(rowY[1], rowY[0] + RowPitch);
        for (qsizetype k = 0; k < refs.size(); ++k) {
            WaveShape &sh = (*refs[k].list)[refs[k].index];
            sh.text = placed[k].text;
            sh.points[0] = QPointF(placed[k].x, y);
        }
    }
    // Texts that gave way leave their lists.
    for (WaveShapes *list : drawn)
        if (list)
            list->removeIf([](const WaveShape &sh) { return sh.kind == WaveShape::Text && sh.text.isEmpty(); });
}

void DrawTrigMark(QPainter &p, double zoom, const QString &timeDiv, const QString &delay, bool colorMode)
{
    PaintShapes(p, TrigMarkShapes(zoom, timeDiv, delay, colorMode));
}

void DrawAltTrigMarks(QPainter &p, double zoom, const QString &timeDiv1, const QString &delay1,
                      const QString &timeDiv2, const QString &delay2, bool colorMode)
{
    PaintShapes(p, AltTrigMarksShapes(zoom, timeDiv1, delay1, timeDiv2, delay2, colorMode));
}

void DrawChannelLabel(QPainter &p, const QColor &fore, double zoom, const QString &channelName,
                      const QString &offset, const QString &voltDiv, const QString &trigMode,
                      const QString &fftDisplay, int fftFullScreen)
{
    PaintShapes(p, ChannelLabelShapes(fore, zoom, channelName, offset, voltDiv, trigMode, fftDisplay, fftFullScreen));
}

void DrawMathLabel(QPainter &p, const QColor &fore, double zoom, const SetupBlock &setup, const QString &trigMode,
                   const QString &fftDisplay)
{
    PaintShapes(p, MathLabelShapes(fore, zoom, setup, trigMode, fftDisplay));
}
