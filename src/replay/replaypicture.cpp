#include "replay/replaypicture.h"

#include "common/constants.h"
#include "values/rounding.h"
#include "values/valuereply.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

int nearest(double x) { return int(RoundHalfEven(x)); }

void setPenColor(QPainter &p, const QColor &c)
{
    QPen pen = p.pen();
    pen.setColor(c);
    p.setPen(pen);
}

void setPenWidth(QPainter &p, int width)
{
    QPen pen = p.pen();
    pen.setWidth(width);
    p.setPen(pen);
}

// Text with its top-left corner at (x, y).
void textAt(QPainter &p, double x, double y, const QString &text, bool bold)
{
    p.setFont(ReplayPicture::font(bold));
    p.drawText(QRectF(x, y, 4000, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void pixel(QPainter &p, double x, double y) { p.drawPoint(QPointF(x, y)); }

double advance(const QString &text, bool bold)
{
    return QFontMetricsF(ReplayPicture::font(bold)).horizontalAdvance(text);
}

QString channelLabel(const QString &channel)
{
    return channel == QLatin1String("CH1") ? QStringLiteral("CH1 ") : QStringLiteral("CH2 ");
}
QString voltDivLabel(const QString &text) { return QStringLiteral("Volt/Div: ") + text; }
QString offsetLabel(const QString &text) { return QStringLiteral("Offset: ") + text; }
QString timeDivLabel(const QString &text) { return QStringLiteral("TimeDiv: ") + text; }
QString delayLabel(const QString &text) { return QStringLiteral("Delay: ") + text; }

void line(QPainter &p, double x1, double y1, double x2, double y2) { p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setBrush(Qt::NoBrush);
}

} // namespace

namespace ReplayPicture {

QColor background(bool colorMode) { return colorMode ? QColor(0, 0, 0) : QColor(255, 255, 255); }
QColor gridColor(bool colorMode) { return colorMode ? QColor(192, 192, 192) : QColor(0, 0, 0); }
QColor bannerColor(bool colorMode) { return colorMode ? QColor(255, 128, 0) : QColor(0, 0, 0); }

QColor traceColor(bool colorMode, const QString &channel)
{
    if (!colorMode)
        return QColor(0, 0, 0);
    if (channel == QLatin1String("CH1"))
        return CH1Color;
    if (channel == QLatin1String("CH2"))
        return CH2Color;
    return QColor(0, 0, 0);
}

QFont font(bool bold)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(12);
    f.setBold(bold);
    return f;
}

} // namespace ReplayPicture

ReplayLabelRow replayLabelRow(int w, const QString &channel, const QString &voltDivText, const QString &offsetText,
                              const QString &timeDivText, const QString &delayText)
{
    const double PW = w - 50;
    ReplayLabelRow row;
    // Each label at its place, or after the one before it.
    double end = row.channel + advance(channelLabel(channel), true);
    const auto place = [&end](double at, const QString &label, bool bold) {
        const double x = std::max<double>(at, std::ceil(end) + ReplayLabelGap);
        end = x + advance(label, bold);
        return x;
    };
    row.voltDiv = place(nearest(PW / 60 * 5 + 25), voltDivLabel(voltDivText), true);
    row.offset = place(nearest(PW / 60 * 18 + 25), offsetLabel(offsetText), true);
    row.timeDiv = place(nearest(PW / 2 + 25), timeDivLabel(timeDivText), true);
    row.delay = place(nearest(PW / 60 * 45 + 25), delayLabel(delayText), false);
    row.end = end;
    return row;
}

ReplayLabelRow replayLabelRow(int w, const ReplayInfo &rec)
{
    return replayLabelRow(w, rec.Channel, rec.VoltDivText, rec.OffsetText, rec.TimeDivText, rec.DelayText);
}

int leastReplayPlotWidth(const ReplayInfo &rec)
{
    // The labels side by side are the least; their places in the plot's
    // width may ask for more.
    const ReplayLabelRow tight = replayLabelRow(50, rec);
    int w = int(std::ceil(tight.end)) + 2;
    for (int tries = 0; tries < 4000 && replayLabelRow(w, rec).end + 2 > w; ++tries)
        ++w;
    return w;
}

void DrawRecordGrid(QPainter &p, int w, int h, bool colorMode, double /*zoom*/)
{
    begin(p);
    const double PW = w - 50;
    const double PH = h - 50;
    setPenColor(p, ReplayPicture::gridColor(colorMode));
    setPenWidth(p, 2);
    // The frame; the right line leans by one pixel as the instrument's does.
    line(p, 26, 26, PW + 25, 26);
    line(p, 26, 25, 26, PH + 24);
    line(p, 26, PH + 24, PW + 25, PH + 24);
    line(p, PW + 24, 26, PW + 25, PH + 24);
    setPenWidth(p, 1);
    line(p, 25, PH / 2 + 25, PW + 25, PH / 2 + 25);
    line(p, PW / 2 + 25, 25, PW / 2 + 25, PH + 25);

    const double sx = PW / 60;
    const double sy = PH / 40;
    const double yc = (PH - 1) / 2 + 24;
    const double yb = PH + 22;
    const double xc = PW / 2 + 23;
    const double xr = PW + 22;
    double x = 25;
    for (int k = 0; k < 60; ++k, x += sx) { // top edge
        const bool major = k % 5 == 0;
        pixel(p, x, 27);
        pixel(p, x, 28);
        if (major) {
            pixel(p, x, 29);
            pixel(p, x, 30);
        }
    }
    x = 25;
    for (int k = 0; k < 60; ++k, x += sx) { // horizontal centre line
        if (k % 5 == 0)
            line(p, x, yc - 1, x, yc + 6);
        else
            line(p, x, yc, x, yc + 5);
    }
    x = 25;
    for (int k = 0; k < 60; ++k, x += sx) { // bottom edge
        pixel(p, x, yb);
        pixel(p, x, yb - 1);
        if (k % 5 == 0) {
            pixel(p, x, yb - 2);
            pixel(p, x, yb - 3);
        }
    }
    double y = 25;
    for (int k = 0; k < 40; ++k, y += sy) { // vertical centre line
        if (k % 5 == 0)
            line(p, xc - 1, y, xc + 6, y);
        else
            line(p, xc, y, xc + 5, y);
    }
    y = 25;
    for (int k = 0; k < 40; ++k, y += sy) { // left edge
        pixel(p, 27, y);
        pixel(p, 28, y);
        if (k % 5 == 0) {
            pixel(p, 29, y);
            pixel(p, 30, y);
        }
    }
    y = 25;
    for (int k = 0; k < 40; ++k, y += sy) { // right edge
        pixel(p, xr, y);
        pixel(p, xr - 1, y);
        if (k % 5 == 0) {
            pixel(p, xr - 2, y);
            pixel(p, xr - 3, y);
        }
    }
    // Dotted rows and columns (the bounds are PH and PW, as on the instrument).
    if (PW > 0 && PH > 1) {
        for (double ry = 25; ry <= PH; ry += PH / 8)
            for (double v = 0; v <= PW; v += PW / 60)
                pixel(p, 25 + v, ry);
        for (double cx = 25; cx <= PW; cx += PW / 12)
            for (double v = 0; v <= PH - 1; v += (PH - 1) / 40)
                pixel(p, cx, 25 + v);
    }
    setPenColor(p, ReplayPicture::bannerColor(colorMode));
    textAt(p, 25, 10, QStringLiteral("KARVO"), true);
}

void DrawRecordChannel(QPainter &p, int w, int h, const QColor &color, double zoom, const QString &channel,
                       const QString &offsetText, const QString &voltDivText, const ReplayLabelRow &row)
{
    (void)w; // the labels' places come from row
    begin(p);
    const double PH = h - 50;
    const double offset = ParseVolt(offsetText);
    const double vdiv = ParseVolt(voltDivText);
    const double level = -offset / vdiv * PH / 8 + PH / 2;
    setPenColor(p, color);
    const bool ch1 = channel == QLatin1String("CH1");
    if (level > 0 && level < PH) { // false for an infinite or undefined level too
        const double ym = level * zoom + 20;
        const QPointF pts[] = {{6, ym}, {19, ym}, {23, ym + 5}, {19, ym + 10}, {6, ym + 10}, {6, ym}};
        p.drawPolyline(pts, 6);
        textAt(p, 10, nearest(ym - 1), ch1 ? QStringLiteral("1") : QStringLiteral("2"), false);
    }
    const double y = PH + 31;
    textAt(p, row.channel, y, channelLabel(channel), true);
    textAt(p, row.voltDiv, y, voltDivLabel(voltDivText), true);
    textAt(p, row.offset, y, offsetLabel(offsetText), true);
}

void DrawRecordTimebase(QPainter &p, int w, int h, bool colorMode, double zoom, const QString &timeDivText,
                        const QString &delayText, const ReplayLabelRow &row)
{
    begin(p);
    const double PW = w - 50;
    const double PH = h - 50;
    const double delay = ParseTime(delayText);
    const double tdiv = ParseTime(timeDivText);
    const double trigger = -delay / tdiv * PW / 12 + PW / 2;
    const QColor marker = colorMode ? QColor(255, 128, 0) : QColor(0, 0, 0);
    const QColor label = colorMode ? QColor(255, 255, 255) : QColor(0, 0, 0);
    setPenColor(p, marker);
    if (trigger > 0 && trigger < PW) {
        const double xc = PW / 2 * zoom + 21;
        const QPointF tri[] = {{xc, 26}, {xc + 8, 26}, {xc + 4, 30}, {xc, 26}};
        p.drawPolyline(tri, 4);
        const double xp = trigger * zoom + 21;
        const QPointF pent[] = {{xp, 30}, {xp + 8, 30}, {xp + 8, 40}, {xp + 4, 44}, {xp, 40}, {xp, 30}};
        p.drawPolyline(pent, 6);
        textAt(p, nearest(xp + 1), 31, QStringLiteral("T"), false);
    }
    textAt(p, row.delay, PH + 31, delayLabel(delayText), false);
    setPenColor(p, label);
    textAt(p, row.timeDiv, PH + 31, timeDivLabel(timeDivText), true);
}

void DrawRecordTrace(QPainter &p, int w, int h, const QColor &color, const ReplayInfo &rec, int pointCount)
{
    if (rec.CurrentFrame < 1 || rec.CurrentFrame > rec.FrameCount || pointCount <= 0)
        return;
    begin(p);
    const double PW = w - 50;
    const double PH = h - 50;
    const double u = PW / 300;
    const double v = PH / 200;
    setPenColor(p, color);
    setPenWidth(p, 1);
    const qsizetype base = qsizetype(rec.CurrentFrame - 1) * ReplayInfo::FrameSize;
    const qsizetype size = rec.Samples.size();
    auto has = [&](qsizetype i) { return base + i < size; };
    auto yAt = [&](qsizetype i) { return v * rec.Samples[base + i] + 25; };
    if (!has(214))
        return;
    QPointF current(25, yAt(214));
    line(p, 25, yAt(213), 25, yAt(214));
    const double step = u * 300 / pointCount;
    if (!(step > 0))
        return;
    qsizetype i = 215;
    for (double x = 25 + u; x <= 300 * u + 24 && i < ReplayInfo::FrameSize; x += step, ++i) {
        if (!has(i))
            break;
        const double X = RoundHalfEven(double(float(x - 0.1)));
        const QPointF next(X, yAt(i));
        p.drawLine(current, next);
        current = next;
    }
}

void RedrawFrame(QImage &plot, const ReplayInfo &rec)
{
    plot.fill(ReplayPicture::background(rec.ColorMode));
    QPainter p(&plot);
    const int w = plot.width();
    const int h = plot.height();
    DrawRecordGrid(p, w, h, rec.ColorMode);
    const QColor color = ReplayPicture::traceColor(rec.ColorMode, rec.Channel);
    const ReplayLabelRow row = replayLabelRow(w, rec);
    DrawRecordChannel(p, w, h, color, 1.0, rec.Channel, rec.OffsetText, rec.VoltDivText, row);
    DrawRecordTimebase(p, w, h, rec.ColorMode, 1.0, rec.TimeDivText, rec.DelayText, row);
    DrawRecordTrace(p, w, h, color, rec);
}

void DrawEmptyRecordPlot(QImage &plot, bool colorMode)
{
    plot.fill(ReplayPicture::background(colorMode));
    QPainter p(&plot);
    DrawRecordGrid(p, plot.width(), plot.height(), colorMode);
}

QString replayStatusWord(quint8 status, int lang)
{
    if (lang != 0 && lang != 1)
        return {};
    switch (status) {
    case ReplayInfo::Replaying: return lang == 1 ? QStringLiteral("Replaying") : QStringLiteral("正在回放");
    case ReplayInfo::Paused: return lang == 1 ? QStringLiteral("Pause") : QStringLiteral("暂停");
    case ReplayInfo::Stopped: return lang == 1 ? QStringLiteral("Stop") : QStringLiteral("停止");
    default: return {};
    }
}

QString replayPromptText(int lang)
{
    if (lang == 1)
        return QStringLiteral("Please open the waveform record file.");
    if (lang == 0)
        return QStringLiteral("请打开波形录制文件。");
    return {};
}

void drawStatusStrip(QImage &strip, const QString &word, bool counter, int currentFrame, int frameCount)
{
    strip.fill(QColor(0, 0, 0));
    QPainter p(&strip);
    begin(p);
    setPenColor(p, QColor(255, 255, 255));
    textAt(p, 30, 8, word, true);
    if (counter) {
        setPenColor(p, QColor(0, 255, 0));
        const QString text = QString::number(currentFrame) + QLatin1Char('/') + QString::number(frameCount);
        const int fits = strip.width() - 2 - int(std::ceil(advance(text, true)));
        textAt(p, std::min(nearest(strip.width() - 70.0), fits), 8, text, true);
    }
}

void DispMsg(QImage &strip, ReplayInfo &rec, int lang)
{
    const QString word = replayStatusWord(rec.Status, lang);
    rec.StatusText = word;
    drawStatusStrip(strip, word, true, rec.CurrentFrame, rec.FrameCount);
}
