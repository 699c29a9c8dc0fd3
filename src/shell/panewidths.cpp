#include "shell/panewidths.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QResizeEvent>

PaneWidths::PaneWidths(QMainWindow *window, const QList<QDockWidget *> &panes)
    : QObject(window), window_(window), panes_(panes)
{
    window_->installEventFilter(this);
    for (QDockWidget *p : panes_)
        p->installEventFilter(this);
}

bool PaneWidths::docked(QDockWidget *pane) const
{
    if (!pane->isVisible() || pane->isFloating())
        return false;
    const Qt::DockWidgetArea area = window_->dockWidgetArea(pane);
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
}

bool PaneWidths::itemAreaHasRoom() const
{
    const QWidget *central = window_->centralWidget();
    if (!central)
        return true;
    const int least = qMax(central->minimumWidth(), central->minimumSizeHint().width());
    return central->width() > least + 1;
}

bool PaneWidths::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == window_) {
            // The panes were laid out for the new size before this comes.
            windowSize_ = window_->size();
            asked_.clear();
            heightsAsked_.clear();
            if (!givePending_) {
                givePending_ = true;
                QMetaObject::invokeMethod(this, [this] { giveWidthsBack(); }, Qt::QueuedConnection);
            }
        } else if (auto *pane = qobject_cast<QDockWidget *>(watched)) {
            paneResized(pane, static_cast<QResizeEvent *>(event)->oldSize().width());
        }
    }
    return QObject::eventFilter(watched, event);
}

void PaneWidths::paneResized(QDockWidget *pane, int oldWidth)
{
    // A pane laid out for a new window size is the toolkit's doing, not the
    // width to keep.
    if (window_->size() != windowSize_ || !docked(pane))
        return;
    // Heights given back by the column's shares are not a new share.
    if (!heightsAsked_.removeOne(pane))
        keptHeight_[pane] = pane->height();
    const int width = pane->width();
    if (asked_.contains(pane) && width < asked_.take(pane))
        return; // given back as far as the room allowed: the kept width stays
    // Narrowed while the item area had reached its least width: squeezed.
    if (width > oldWidth || itemAreaHasRoom())
        kept_[pane] = width;
}

void PaneWidths::giveHeightsBack()
{
    // Panes docked one over the other in one column share its height as they
    // did when it was last set in a window of unchanged size.
    QList<QDockWidget *> column;
    for (QDockWidget *p : panes_)
        if (docked(p) && keptHeight(p) > 0 && (column.isEmpty() || (column[0]->x() == p->x()
                                                                    && window_->dockWidgetArea(column[0])
                                                                           == window_->dockWidgetArea(p))))
            column << p;
    if (column.size() < 2)
        return;
    int now = 0;
    int then = 0;
    for (QDockWidget *p : column) {
        now += p->height();
        then += keptHeight(p);
    }
    QList<int> heights;
    bool differs = false;
    for (QDockWidget *p : column) {
        const int share = int(qint64(keptHeight(p)) * now / then);
        differs = differs || qAbs(share - p->height()) > 2;
        heights << share;
    }
    if (differs) {
        heightsAsked_ = column;
        window_->resizeDocks(column, heights, Qt::Vertical);
    }
}

void PaneWidths::giveWidthsBack()
{
    givePending_ = false;
    giveHeightsBack();
    // Only from room the item area has to spare: a window still too small
    // keeps its panes as the toolkit narrowed them.
    if (!itemAreaHasRoom())
        return;
    QList<QDockWidget *> narrow;
    QList<int> widths;
    for (QDockWidget *p : panes_) {
        const int want = kept(p);
        if (docked(p) && want > 0 && p->width() < want) {
            narrow << p;
            widths << want;
            asked_[p] = want;
        }
    }
    if (!narrow.isEmpty())
        window_->resizeDocks(narrow, widths, Qt::Horizontal);
}
