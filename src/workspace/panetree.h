#pragma once
// The trees of the main window's panes show every row whole: the column is
// as wide as the widest row shown (never narrower than the view), and where
// the rows are wider than the view its horizontal scroll bar takes the user
// across them. No node text is cut short with "...".

class QTreeView;

void ShowWholeRows(QTreeView *tree);

// The width the tree's widest row shown needs, with the tree's frame and a
// vertical scroll bar's room.
int WholeRowsWidth(const QTreeView *tree);
