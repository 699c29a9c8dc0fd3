#pragma once
// The controller pane's tree control: makes the nodes CtrlTreeLayout() lists,
// keeps the id table of the last build, and draws the eight node pictures.
// The functions of controller/ctrltreenodes.h act on the registered tree.

#include "controller/ctrltreenodefunc.h"

#include <QTreeWidget>

#include <array>

class CtrlTreeView final : public QTreeWidget {
    Q_OBJECT
public:
    // Item data role holding a node's picture number.
    static constexpr int PictureRole = Qt::UserRole + 1;

    explicit CtrlTreeView(QWidget *parent = nullptr);
    ~CtrlTreeView() override;

    // Empties the tree and makes the nodes of layout; only the root is open.
    void build(const std::vector<CtrlNodeSpec> &layout);

    QTreeWidgetItem *root() const { return root_; }
    // The node recorded at (group, item), or null.
    QTreeWidgetItem *node(int group, int item) const;
    // LA Channel's node of D<n>, or null.
    QTreeWidgetItem *laChannel(int n) const;
    // Full path of item: the texts from the root down, joined by "\".
    static QString fullPath(const QTreeWidgetItem *item);

    // The tree the node functions act on (the pane's), or null.
    static CtrlTreeView *current();
    static void setCurrent(CtrlTreeView *tree);

    // True while build() runs.
    bool building() const { return building_; }

private:
    QTreeWidgetItem *root_ = nullptr;
    std::array<std::array<QTreeWidgetItem *, CtrlTreeIdRange>, CtrlTreeIdRange> nodes_{};
    std::array<QTreeWidgetItem *, 16> laChannels_{};
    bool building_ = false;
};
