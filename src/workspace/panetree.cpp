#include "workspace/panetree.h"

#include <QEvent>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

namespace {

// Keeps the column at least as wide as the view, so that a row's selection
// reaches the view's right edge while no row is wider.
class ViewWidthFloor final : public QObject {
public:
    ViewWidthFloor(QWidget *viewport, QHeaderView *header) : QObject(viewport), viewport_(viewport), header_(header) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == viewport_ && header_)
            header_->setMinimumSectionSize(qMax(1, viewport_->width()));
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *viewport_;
    QPointer<QHeaderView> header_;
};

} // namespace

void ShowWholeRows(QTreeView *tree)
{
    if (!tree)
        return;
    QHeaderView *header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    tree->viewport()->installEventFilter(new ViewWidthFloor(tree->viewport(), header));
    header->setMinimumSectionSize(qMax(1, tree->viewport()->width()));
}

int WholeRowsWidth(const QTreeView *tree)
{
    if (!tree)
        return 0;
    const int bar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    // (QTreeView keeps its override protected; the view's is public.)
    const auto *view = static_cast<const QAbstractItemView *>(tree);
    return view->sizeHintForColumn(0) + 2 * tree->frameWidth() + bar;
}
