// Draws the program's built-in pictures: the thirteen toolbar buttons
// (24 x 24), the product picture of the splash and the About box (400 x 250)
// and the program's icon at the sizes every window hands the window system
// (the program's own drawing of it, shell/programiconpicture.h). They are kept in src/workspace/pictures and compiled into the
// program as resources, as raw pixels (workspace/pictures.h reads them), so that
// the start-up neither paints them, nor looks them up in an icon theme, nor
// starts the image readers to decode them. With --png the pictures are
// written as PNG files as well, to look at.
//
//   cmake --build build --target kelvo-drawpictures
//   build/kelvo-drawpictures src/workspace/pictures

#include "shell/programiconpicture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int Side = 24;

const QColor Ink(40, 40, 48);
const QColor Paper(250, 250, 250);
const QColor Blue(40, 100, 190);
const QColor Green(30, 140, 60);
const QColor Red(200, 40, 40);
const QColor Yellow(235, 190, 40);
const QColor Screen(16, 24, 40);
const QColor Trace(255, 220, 0);

QPen pen(const QColor &c, qreal w = 1.2)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A page with a folded corner.
void page(QPainter &p, const QRectF &r)
{
    const qreal fold = 5;
    QPolygonF outline{{r.left(), r.top()}, {r.right() - fold, r.top()}, {r.right(), r.top() + fold},
                      {r.right(), r.bottom()}, {r.left(), r.bottom()}};
    p.setPen(pen(Ink));
    p.setBrush(Paper);
    p.drawPolygon(outline);
    p.drawPolyline(QPolygonF{{r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}});
}

// A small scope screen with a sine.
void scopeScreen(QPainter &p, const QRectF &r, const QColor &trace = Trace)
{
    p.setPen(pen(Ink, 1));
    p.setBrush(Screen);
    p.drawRoundedRect(r, 1.5, 1.5);
    QPainterPath sine;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const QPointF pt(r.left() + 1.5 + (r.width() - 3) * t, r.center().y() - (r.height() / 2 - 2) * std::sin(t * 2 * M_PI));
        i == 0 ? sine.moveTo(pt) : sine.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(trace, 1.4));
    p.drawPath(sine);
}

void drawNew(QPainter &p)
{
    page(p, QRectF(5.5, 2.5, 13, 19));
}

void drawOpen(QPainter &p)
{
    p.setPen(pen(Ink));
    p.setBrush(QColor(220, 170, 60));
    p.drawPolygon(QPolygonF{{2.5, 5.5}, {8.5, 5.5}, {10.5, 7.5}, {19.5, 7.5}, {19.5, 19.5}, {2.5, 19.5}});
    p.setBrush(QColor(245, 205, 100));
    p.drawPolygon(QPolygonF{{5.5, 10.5}, {22.5, 10.5}, {19.5, 19.5}, {2.5, 19.5}});
}

void drawSave(QPainter &p)
{
    p.setPen(pen(Ink));
    p.setBrush(Blue);
    p.drawPolygon(QPolygonF{{3.5, 3.5}, {18.5, 3.5}, {20.5, 5.5}, {20.5, 20.5}, {3.5, 20.5}});
    p.setBrush(Paper);
    p.drawRect(QRectF(6.5, 3.5, 11, 7));
    p.setBrush(QColor(200, 210, 225));
    p.drawRect(QRectF(7.5, 14.5, 9, 6));
}

// Two plug halves, apart (broken) or joined.
void plugs(QPainter &p, bool joined)
{
    const qreal gap = joined ? 0 : 3;
    p.setPen(pen(Ink));
    p.setBrush(QColor(120, 130, 145));
    p.drawRoundedRect(QRectF(4.5 - gap, 8.5, 7, 7), 1.5, 1.5);
    p.drawRoundedRect(QRectF(12.5 + gap, 8.5, 7, 7), 1.5, 1.5);
    p.setPen(pen(Ink, 1.6));
    p.drawLine(QPointF(11.5 - gap, 10.5), QPointF(13.5 + gap - (joined ? 0 : 2), 10.5));
    p.drawLine(QPointF(11.5 - gap, 13.5), QPointF(13.5 + gap - (joined ? 0 : 2), 13.5));
    p.drawLine(QPointF(1, 12), QPointF(4.5 - gap, 12));
    p.drawLine(QPointF(19.5 + gap, 12), QPointF(23, 12));
}

void drawConnect(QPainter &p)
{
    plugs(p, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QRectF(15, 15, 8, 8));
    p.setPen(pen(Qt::white, 1.4));
    p.drawPolyline(QPolygonF{{16.8, 19}, {18.6, 20.8}, {21.4, 17.2}});
}

void drawDisconnect(QPainter &p)
{
    plugs(p, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawEllipse(QRectF(15, 15, 8, 8));
    p.setPen(pen(Qt::white, 1.4));
    p.drawLine(QPointF(17.2, 17.2), QPointF(20.8, 20.8));
    p.drawLine(QPointF(20.8, 17.2), QPointF(17.2, 20.8));
}

void drawController(QPainter &p)
{
    p.setPen(pen(Ink));
    p.setBrush(QColor(200, 205, 212));
    p.drawRoundedRect(QRectF(1.5, 4.5, 21, 15), 2, 2);
    scopeScreen(p, QRectF(3.5, 6.5, 11, 11));
    p.setPen(pen(Ink, 1));
    p.setBrush(QColor(90, 95, 105));
    p.drawEllipse(QRectF(16, 6.5, 5, 5));
    p.drawEllipse(QRectF(16, 12.5, 5, 5));
}

void drawDataBrowser(QPainter &p)
{
    p.setPen(pen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(QRectF(2.5, 2.5, 19, 19));
    p.setPen(pen(Blue, 1.2));
    p.drawLine(QPointF(6, 6), QPointF(6, 18));
    for (qreal y : {9.0, 13.0, 17.0}) {
        p.drawLine(QPointF(6, y), QPointF(9, y));
        p.setPen(pen(Ink, 1.6));
        p.drawLine(QPointF(11, y), QPointF(19, y));
        p.setPen(pen(Blue, 1.2));
    }
    p.setPen(pen(Ink, 1.6));
    p.drawLine(QPointF(5, 5.5), QPointF(14, 5.5));
}

void drawWave(QPainter &p)
{
    scopeScreen(p, QRectF(1.5, 3.5, 21, 17));
}

void drawMeasure(QPainter &p)
{
    scopeScreen(p, QRectF(1.5, 3.5, 21, 17), QColor(0, 230, 255));
    p.setPen(pen(Trace, 1.2));
    p.drawLine(QPointF(4, 17.5), QPointF(20, 17.5));
    p.setBrush(Trace);
    p.drawPolygon(QPolygonF{{4, 17.5}, {7, 15.8}, {7, 19.2}});
    p.drawPolygon(QPolygonF{{20, 17.5}, {17, 15.8}, {17, 19.2}});
}

void drawData(QPainter &p)
{
    p.setPen(pen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(QRectF(2.5, 3.5, 19, 17));
    p.setBrush(QColor(190, 210, 240));
    p.drawRect(QRectF(2.5, 3.5, 19, 4));
    for (qreal y : {11.5, 15.5})
        p.drawLine(QPointF(2.5, y), QPointF(21.5, y));
    p.drawLine(QPointF(10.5, 3.5), QPointF(10.5, 20.5));
}

void drawRecord(QPainter &p)
{
    // A film strip with a play mark.
    p.setPen(pen(Ink, 1));
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(2.5, 4.5, 19, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    for (int k = 0; k < 5; ++k) {
        p.drawRect(QRectF(4 + k * 3.6, 5.5, 2, 1.6));
        p.drawRect(QRectF(4 + k * 3.6, 16.9, 2, 1.6));
    }
    p.setBrush(Trace);
    p.drawPolygon(QPolygonF{{9, 8.5}, {16, 12}, {9, 15.5}});
}

void drawMemoryWave(QPainter &p)
{
    drawSave(p);
    p.setPen(pen(Trace, 1.4));
    QPainterPath sine;
    for (int i = 0; i <= 16; ++i) {
        const qreal t = i / 16.0;
        const QPointF pt(6 + 12 * t, 7 - 2.5 * std::sin(t * 2 * M_PI));
        i == 0 ? sine.moveTo(pt) : sine.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(Red, 1.3));
    p.drawPath(sine);
}

void drawOptions(QPainter &p)
{
    // A gear.
    const QPointF c(12, 12);
    QPolygonF gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = i * M_PI / (teeth * 2);
        const qreal r = (i % 4 < 2) ? 10 : 7.5;
        gear << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    p.setPen(pen(Ink, 1));
    p.setBrush(QColor(130, 140, 155));
    p.drawPolygon(gear);
    p.setBrush(Paper);
    p.drawEllipse(c, 3.2, 3.2);
}

QImage icon(const std::function<void(QPainter &)> &draw)
{
    QImage img(Side, Side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// The product picture: a small graticule with a sine and a square wave.
QImage productPicture()
{
    QImage img(400, 250, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 250);
    g.setColorAt(0, QColor(16, 32, 64));
    g.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(img.rect(), g);
    p.setPen(QColor(70, 70, 70));
    for (int x = 50; x <= 350; x += 25)
        p.drawLine(x, 25, x, 225);
    for (int y = 25; y <= 225; y += 25)
        p.drawLine(50, y, 350, y);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF sine, square;
    for (int x = 50; x <= 350; ++x) {
        sine << QPointF(x, 125 - 60 * std::sin((x - 50) / 300.0 * 4 * 3.14159265));
        square << QPointF(x, x == 50 ? 175 : (((x - 50) / 37) % 2 ? 155 : 195));
    }
    p.setPen(QPen(QColor(255, 255, 0), 2));
    p.drawPolyline(sine);
    p.setPen(QPen(QColor(0, 255, 255), 2));
    p.drawPolyline(square);
    return img;
}

// The raw form: width and height (16 bits each), the QImage format (32 bits),
// all little-endian, then the pixels row after row.
bool saveRaw(const QImage &image, const QString &path)
{
    QByteArray bytes;
    auto put = [&bytes](quint32 v, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(char((v >> (8 * i)) & 0xFF));
    };
    put(quint32(image.width()), 2);
    put(quint32(image.height()), 2);
    put(quint32(image.format()), 4);
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    const bool png = argc == 3 && QByteArray(argv[1]) == "--png";
    if (argc != 2 && !png) {
        std::fprintf(stderr, "usage: kelvo-drawpictures [--png] OUTPUT-FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[argc - 1]));
    const struct {
        const char *name;
        void (*draw)(QPainter &);
    } icons[] = {
        {"new", drawNew},
        {"open", drawOpen},
        {"save", drawSave},
        {"connect", drawConnect},
        {"disconnect", drawDisconnect},
        {"controller", drawController},
        {"databrowser", drawDataBrowser},
        {"wave", drawWave},
        {"measure", drawMeasure},
        {"data", drawData},
        {"record", drawRecord},
        {"memorywave", drawMemoryWave},
        {"options", drawOptions},
    };
    bool ok = true;
    auto save = [&](const QImage &image, const QString &name) {
        ok = saveRaw(image, out.filePath(name + QStringLiteral(".pic"))) && ok;
        if (png)
            ok = image.save(out.filePath(name + QStringLiteral(".png"))) && ok;
    };
    for (const auto &i : icons)
        save(icon(i.draw), QStringLiteral("tb-%1").arg(QLatin1String(i.name)));
    save(productPicture(), QStringLiteral("product"));
    for (int size : ProgramIconWindowSizes)
        save(paintProgramIcon(size), QStringLiteral("icon-%1").arg(size));
    if (!ok) {
        std::fprintf(stderr, "kelvo-drawpictures: could not write into %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
