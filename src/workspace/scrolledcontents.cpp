#include "workspace/scrolledcontents.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

ScrolledContents::ScrolledContents(QWidget *window)
    : window_(window), area_(new QScrollArea(window)), contents_(new QWidget)
{
    area_->setObjectName(QStringLiteral("Scroller"));
    area_->setFrameShape(QFrame::NoFrame);
    area_->setWidgetResizable(false);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    contents_->setObjectName(QStringLiteral("Contents"));
    area_->setWidget(contents_);
    area_->setGeometry(window->rect());
}

QSize ScrolledContents::fit(const QSize &least)
{
    area_->setGeometry(window_->rect());
    const QSize room = window_->size();
    const int bar = area_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area_);
    bool across = room.width() < least.width();
    bool down = room.height() < least.height();
    // A bar takes room from the other direction, which may then need one too.
    if (across && !down)
        down = room.height() - bar < least.height();
    if (down && !across)
        across = room.width() - bar < least.width();
    area_->setHorizontalScrollBarPolicy(across ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(down ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QSize view(room.width() - (down ? bar : 0), room.height() - (across ? bar : 0));
    const QSize size = view.expandedTo(least);
    if (contents_->size() != size)
        contents_->resize(size);
    return size;
}
