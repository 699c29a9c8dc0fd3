#pragma once
// Typed references from the records to the windows and tree nodes that show
// them. The records never own what these point at and never include a window
// header: a reference stays empty until its window or node exists.
//
// WindowRef is a guarded pointer: it reads as null once its window has been
// destroyed. TreeNodeRef is a plain, non-owning pointer to a Data Browser
// tree item; the tree owns the item, and whoever removes an item from the tree
// clears the references to it.

#include <QPointer>

class QWidget;
class QTreeWidgetItem;

using WindowRef = QPointer<QWidget>;
using TreeNodeRef = QTreeWidgetItem *;
