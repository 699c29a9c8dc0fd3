#include "shell/frmsplash.h"

#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QScreen>

#include <cmath>

QPixmap productPicture()
{
    QPixmap pix(400, 250);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 0, 250);
    g.setColorAt(0, QColor(16, 32, 64));
    g.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(pix.rect(), g);
    // A small graticule with two traces.
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
    return pix;
}

frmSplash::frmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraMainFrame"));
    frame->setFrameShape(QFrame::Box);
    auto *product = new QLabel(QStringLiteral("Kelvoscope  QM4100D"), frame);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 8);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    auto *logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("picLogo"));
    logo->setPixmap(productPicture());
    logo->setAlignment(Qt::AlignCenter);
    auto *warning = new QLabel(frame);
    warning->setObjectName(QStringLiteral("lblWarning"));
    auto *version = new QLabel(frame);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *grid = new QGridLayout(frame);
    grid->addWidget(product, 0, 0, 1, 2);
    grid->addWidget(logo, 1, 0, 1, 2);
    grid->addWidget(warning, 2, 0);
    grid->addWidget(version, 2, 1);
    auto *outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame, 0, 0);

    LoadSplashTexts(this, languageIndex());

    // A fixed size, fitted to its texts; centred on the screen.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
}
