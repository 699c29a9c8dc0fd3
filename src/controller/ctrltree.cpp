#include "controller/ctrltree.h"

#include "app/appstate.h"
#include "controller/ctrltreenodes.h"
#include "texts/stringres.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

CtrlTreeView *&currentTree()
{
    static CtrlTreeView *tree = nullptr;
    return tree;
}

QPolygonF star(QPointF c, double outer, double inner, int points)
{
    QPolygonF p;
    for (int k = 0; k < 2 * points; ++k) {
        const double r = (k % 2 == 0) ? outer : inner;
        const double a = -M_PI / 2 + k * M_PI / points;
        p << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    return p;
}

// The eight 16 x 16 node pictures (1..8; 5 and 7 are kept for completeness).
QIcon picture(int n)
{
    static std::array<QIcon, 9> icons;
    if (n < 1 || n > 8)
        return {};
    if (!icons[n].isNull())
        return icons[n];
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (n) {
    case 1: // hammer and screwdriver
        p.setPen(QPen(QColor(120, 80, 40), 2));
        p.drawLine(3, 13, 10, 6);
        p.setPen(QPen(Qt::darkGray, 3));
        p.drawLine(8, 3, 13, 8);
        p.setPen(QPen(QColor(200, 40, 40), 2));
        p.drawLine(13, 13, 9, 9);
        p.setPen(QPen(Qt::gray, 1));
        p.drawLine(9, 9, 4, 4);
        break;
    case 2: // cyan diamond
        p.setBrush(Qt::cyan);
        p.setPen(Qt::darkCyan);
        p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15, 8), QPointF(8, 15), QPointF(1, 8)}));
        break;
    case 3: // green square
        p.setBrush(QColor(0, 170, 0));
        p.setPen(Qt::darkGreen);
        p.drawRect(3, 3, 10, 10);
        break;
    case 4: // blue eight-pointed star
    case 5: // magenta eight-pointed star
        p.setBrush(n == 4 ? QColor(40, 80, 220) : QColor(220, 40, 200));
        p.setPen(Qt::NoPen);
        p.drawPolygon(star(QPointF(8, 8), 7.5, 3.5, 8));
        break;
    case 6: // keyboard
        p.setBrush(Qt::lightGray);
        p.setPen(Qt::black);
        p.drawRect(1, 4, 14, 8);
        for (int x = 3; x < 14; x += 3)
            p.drawPoint(x, 7);
        p.drawLine(4, 10, 11, 10);
        break;
    case 7: // small blue square
        p.setBrush(QColor(40, 80, 220));
        p.setPen(Qt::NoPen);
        p.drawRect(5, 5, 6, 6);
        break;
    case 8: // blue ball
        p.setBrush(QColor(40, 80, 220));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(8, 8), 5, 5);
        break;
    }
    p.end();
    icons[n] = QIcon(pm);
    return icons[n];
}

bool validId(int g, int i)
{
    return g >= 0 && g < CtrlTreeIdRange && i >= 0 && i < CtrlTreeIdRange;
}

QTreeWidgetItem *nodeAt(int g, int i)
{
    CtrlTreeView *t = CtrlTreeView::current();
    return t ? t->node(g, i) : nullptr;
}

QTreeWidgetItem *nodeAt(CtrlNodeId id)
{
    CtrlTreeView *t = CtrlTreeView::current();
    if (!t)
        return nullptr;
    return id.valid() ? t->node(id.group, id.item) : t->root();
}

bool laPresent()
{
    const auto &hook = app().ctrl.hooks.laPresent;
    return hook ? hook() : true;
}

} // namespace

CtrlTreeView::CtrlTreeView(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("CtrlTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(16, 16));
    // Only the program changes node texts: the editors read the value back by
    // splitting a node's text at " [".
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
}

CtrlTreeView::~CtrlTreeView()
{
    if (currentTree() == this)
        currentTree() = nullptr;
}

CtrlTreeView *CtrlTreeView::current()
{
    return currentTree();
}

void CtrlTreeView::setCurrent(CtrlTreeView *tree)
{
    currentTree() = tree;
}

void CtrlTreeView::build(const std::vector<CtrlNodeSpec> &layout)
{
    building_ = true;
    clear();
    root_ = nullptr;
    for (auto &row : nodes_)
        row.fill(nullptr);
    laChannels_.fill(nullptr);

    std::vector<QTreeWidgetItem *> made;
    made.reserve(layout.size());
    for (const CtrlNodeSpec &spec : layout) {
        QTreeWidgetItem *item = nullptr;
        if (spec.parent < 0) {
            item = new QTreeWidgetItem(this);
            if (!root_)
                root_ = item;
        } else {
            item = new QTreeWidgetItem(made[size_t(spec.parent)]);
        }
        item->setText(0, spec.text);
        item->setIcon(0, picture(spec.picture));
        item->setData(0, PictureRole, spec.picture);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        if (spec.id.valid() && validId(spec.id.group, spec.id.item))
            nodes_[size_t(spec.id.group)][size_t(spec.id.item)] = item;
        if (spec.laChannel >= 0 && spec.laChannel < 16)
            laChannels_[size_t(spec.laChannel)] = item;
        made.push_back(item);
    }
    if (root_)
        root_->setExpanded(true);
    building_ = false;
}

QTreeWidgetItem *CtrlTreeView::node(int group, int item) const
{
    return validId(group, item) ? nodes_[size_t(group)][size_t(item)] : nullptr;
}

QTreeWidgetItem *CtrlTreeView::laChannel(int n) const
{
    return (n >= 0 && n < 16) ? laChannels_[size_t(n)] : nullptr;
}

QString CtrlTreeView::fullPath(const QTreeWidgetItem *item)
{
    QStringList parts;
    for (const QTreeWidgetItem *i = item; i; i = i->parent())
        parts.prepend(i->text(0));
    return parts.join(u'\\');
}

// ---- the node functions of controller/ctrltreenodes.h ----

void BuildCtrlTree()
{
    CtrlTreeView *t = CtrlTreeView::current();
    if (!t)
        return;
    t->build(CtrlTreeLayout(app().Settings, laPresent()));
}

void SaveCtrlTreeExpanded()
{
    const auto &ids = CtrlTreeExpandedNodes();
    for (size_t k = 0; k < ids.size(); ++k)
        if (QTreeWidgetItem *n = nodeAt(ids[k]))
            app().ctrl.CtrlTreeExpanded[k] = n->isExpanded();
}

void RestoreCtrlTreeExpanded()
{
    const auto &ids = CtrlTreeExpandedNodes();
    for (size_t k = 0; k < ids.size(); ++k)
        if (QTreeWidgetItem *n = nodeAt(ids[k]))
            n->setExpanded(app().ctrl.CtrlTreeExpanded[k]);
}

void RebuildCtrlTreeKeepingExpanded()
{
    SaveCtrlTreeExpanded();
    BuildCtrlTree();
    RestoreCtrlTreeExpanded();
}

bool HasCtrlNode(int group, int item)
{
    return nodeAt(group, item) != nullptr;
}

QString CtrlNodeText(int group, int item)
{
    QTreeWidgetItem *n = nodeAt(group, item);
    return n ? n->text(0) : QString();
}

void SetCtrlNodeText(int group, int item, const QString &text)
{
    if (QTreeWidgetItem *n = nodeAt(group, item))
        n->setText(0, text);
}

void SetCtrlNodeSetting(int group, int item, const QString &label, const QString &value)
{
    SetCtrlNodeText(group, item, CtrlSettingText(label, value));
}

bool CtrlNodeExpanded(int group, int item)
{
    QTreeWidgetItem *n = nodeAt(group, item);
    return n && n->isExpanded();
}

void SetCtrlNodeExpanded(int group, int item, bool expanded)
{
    if (QTreeWidgetItem *n = nodeAt(group, item))
        n->setExpanded(expanded);
}

QString CtrlTreeRootText()
{
    QTreeWidgetItem *n = nodeAt(CtrlNodeId{});
    return n ? n->text(0) : QString();
}

bool CtrlTreeRootExpanded()
{
    QTreeWidgetItem *n = nodeAt(CtrlNodeId{});
    return n && n->isExpanded();
}

void SetCtrlTreeRootExpanded(bool expanded)
{
    if (QTreeWidgetItem *n = nodeAt(CtrlNodeId{}))
        n->setExpanded(expanded);
}

bool HasLaChannelNode(int n)
{
    CtrlTreeView *t = CtrlTreeView::current();
    return t && t->laChannel(n);
}

QString LaChannelNodeText(int n)
{
    CtrlTreeView *t = CtrlTreeView::current();
    QTreeWidgetItem *i = t ? t->laChannel(n) : nullptr;
    return i ? i->text(0) : QString();
}

void SetLaChannelNodeText(int n, const QString &text)
{
    CtrlTreeView *t = CtrlTreeView::current();
    if (QTreeWidgetItem *i = t ? t->laChannel(n) : nullptr)
        i->setText(0, text);
}

