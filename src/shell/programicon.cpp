#include "shell/programicon.h"

#include "shell/programiconpicture.h"
#include "workspace/pictures.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

QPixmap programIconPixmap(int size)
{
    // The sizes every window hands the window system are kept as pictures,
    // painted by the same drawing (tools/drawpictures.cpp): taking one is a
    // copy. Other sizes are painted when they are asked for.
    if (std::find(ProgramIconWindowSizes.begin(), ProgramIconWindowSizes.end(), size) != ProgramIconWindowSizes.end()) {
        const QImage kept = pictureImage(QStringLiteral("icon-%1").arg(size).toLatin1().constData());
        if (!kept.isNull())
            return QPixmap::fromImage(kept);
    }
    return QPixmap::fromImage(paintProgramIcon(size));
}

namespace {

// Paints the icon at the size asked for, when it is first asked for: a window
// that is never shown costs nothing, and no size is painted twice.
class ProgramIconEngine final : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const int size = std::min(rect.width(), rect.height());
        if (size <= 0)
            return;
        const QPoint at(rect.x() + (rect.width() - size) / 2, rect.y() + (rect.height() - size) / 2);
        painter->drawPixmap(at, pixmap(QSize(size, size), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        (void)state;
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const QString key = QStringLiteral("%1-%2").arg(side).arg(int(mode));
        auto it = cache_.constFind(key);
        if (it != cache_.constEnd())
            return *it;
        QPixmap pix = programIconPixmap(side);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pix = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pix, &option);
        }
        cache_.insert(key, pix);
        return pix;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }

    // What a window hands the window system: the sizes up to 64 (a 128 would
    // be two thirds of the icon data every window sends at its creation, the
    // program's start among them). Any size asked for is still painted.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : ProgramIconWindowSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QIconEngine *clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("KelvoscopeProgramIcon"); }

private:
    QHash<QString, QPixmap> cache_;
};

} // namespace

QIcon programIcon()
{
    // One icon for the whole program: the window system asks every window
    // for every size, and each size is painted once.
    static const QIcon icon(new ProgramIconEngine);
    return icon;
}
