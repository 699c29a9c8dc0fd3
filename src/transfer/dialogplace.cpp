#include "transfer/dialogplace.h"

#include "platform/settingsstore.h"
#include "values/rounding.h"

#include <algorithm>
#include <cmath>

int StoredCoordinate(const QString &text, int fallback)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return fallback;
    const double whole = RoundHalfEven(v);
    if (whole < -32768.0 || whole > 32767.0)
        return fallback;
    return int(whole);
}

QPoint KeepOnScreen(QPoint p, int screenWidth, int screenHeight, int dialogWidth, int dialogHeight)
{
    if (p.x() > screenWidth || p.x() < -dialogWidth)
        p.setX(400);
    if (p.y() > screenHeight || p.y() < -dialogHeight)
        p.setY(600);
    return p;
}

QPoint TransferDialogPlace(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight)
{
    const QString section = QString::fromLatin1(ProgressSection);
    const int left = StoredCoordinate(
        GetSetting(section, QString::fromLatin1(ProgressLeftKey), QString::number(DefaultProgressLeft)),
        DefaultProgressLeft);
    const int top = StoredCoordinate(
        GetSetting(section, QString::fromLatin1(ProgressTopKey), QString::number(DefaultProgressTop)),
        DefaultProgressTop);
    return KeepOnScreen(QPoint(left, top), screenWidth, screenHeight, dialogWidth, dialogHeight);
}

void SaveTransferDialogPlace(QPoint topLeft)
{
    const QString section = QString::fromLatin1(ProgressSection);
    SaveSetting(section, QString::fromLatin1(ProgressLeftKey), QString::number(topLeft.x()));
    SaveSetting(section, QString::fromLatin1(ProgressTopKey), QString::number(topLeft.y()));
}

QPoint CentredDialogPlace(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight)
{
    const float left = float(screenWidth - dialogWidth) / 2.0f;
    const int top = int(RoundHalfEven(double(screenHeight - dialogHeight) / 2.0));
    return KeepOnScreen(QPoint(int(RoundHalfEven(double(left))), top), screenWidth, screenHeight,
                        dialogWidth, dialogHeight);
}

namespace {
bool coversNone(QPoint p, QSize dialog, const QList<QRect> &keepClear)
{
    const QRect r(p, dialog);
    for (const QRect &k : keepClear)
        if (r.intersects(k))
            return false;
    return true;
}
} // namespace

QPoint PlaceOver(QSize dialog, const QRect &picture, const QList<QRect> &keepClear, const QRect &screen,
                 QPoint fallback)
{
    if (picture.isEmpty())
        return fallback;
    auto inside = [&](QPoint p) {
        if (screen.isEmpty())
            return p;
        p.setX(std::clamp(p.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - dialog.width())));
        p.setY(std::clamp(p.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - dialog.height())));
        return p;
    };
    const int left = picture.center().x() + 1 - dialog.width() / 2;
    const int margin = std::max(0, std::min(8, (picture.height() - dialog.height()) / 2));
    const QPoint tries[] = {
        QPoint(left, picture.bottom() + 1 - margin - dialog.height()),
        QPoint(left, picture.center().y() + 1 - dialog.height() / 2),
        QPoint(left, picture.top() + margin),
    };
    for (const QPoint &p : tries) {
        const QPoint q = inside(p);
        if (coversNone(q, dialog, keepClear))
            return q;
    }
    return fallback;
}

QPoint PlaceClearOf(QPoint at, QSize dialog, const QRect &picture, const QList<QRect> &keepClear,
                    const QRect &screen)
{
    if (coversNone(at, dialog, keepClear) || picture.isEmpty())
        return at;
    return PlaceOver(dialog, picture, keepClear, screen, at);
}
