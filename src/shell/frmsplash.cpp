#include "shell/frmsplash.h"

#include "workspace/pictures.h"
#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

QPixmap productPicture()
{
    // A gradient, a small graticule and two traces, drawn once into the
    // program's resources: taking it costs less than painting it.
    return QPixmap::fromImage(pictureImage("product"));
}

// Placed by the program itself and shown past the window manager (under X an
// override-redirect window): it maps at once, and the window manager, which
// has nothing to frame, place or focus for it, takes up the main window the
// sooner after it.
frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
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

void frmSplash::paintEvent(QPaintEvent *event)
{
    painted_ = true;
    QWidget::paintEvent(event);
}
