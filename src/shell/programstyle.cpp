#include "shell/programstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace {

// An icon of the base style, asked of it when first drawn or measured.
class DeferredStyleIcon final : public QIconEngine {
public:
    DeferredStyleIcon(const QStyle *style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return real().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine *clone() const override { return new DeferredStyleIcon(*this); }

private:
    const QIcon &real()
    {
        if (!made_) {
            const QStyle *style = style_ ? style_.data() : QApplication::style();
            real_ = style->standardIcon(which_);
            made_ = true;
        }
        return real_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon real_;
    bool made_ = false;
};

} // namespace

ProgramStyle::ProgramStyle(const QString &baseKey)
    : QProxyStyle(baseKey.isEmpty() ? QApplication::style()->name() : baseKey)
{
}

ProgramStyle::ProgramStyle(QStyle *base) : QProxyStyle(base) {}

QIcon ProgramStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton || standardIcon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new DeferredStyleIcon(baseStyle(), standardIcon));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

void applyProgramStyle()
{
    if (dynamic_cast<ProgramStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new ProgramStyle);
}
