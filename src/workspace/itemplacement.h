#pragma once
// Where a new item window opens in the main window's item area. Every item
// window kind gets the same treatment when its window is first opened:
//  - at least the size its design gives: the window's sizeHint() (a window
//    kind returns its design size there), and never below its minimum;
//  - wholly inside the item area: cascaded from the top left by the number of
//    windows open, moved back in where it would stick out, and made smaller
//    where the area is smaller than the window (down to its minimum);
//  - a minimum size for its frame, so that the user cannot make it smaller
//    than the size at which its controls still stand apart.

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// The frame's rectangle in an area: want and minimum are the frame's sizes,
// others the number of item windows already open in the area.
QRect itemWindowRect(QSize want, QSize minimum, const QRect &area, int others);

// The rectangles of tiled windows in area, in the windows' order, from their
// smallest sizes. sideBySide tiles them in columns of the area's height,
// otherwise in rows of its width. Where their smallest sizes do not let them
// share one line, the windows wrap into as few lines as do fit (two lines of
// columns, say). Every window gets at least its minimum; what is left of a
// line is shared equally among the windows that need no more than their
// share. Only where no arrangement fits do they keep one line and reach
// beyond the area.
QList<QRect> tiledRects(const QList<QSize> &minimums, const QRect &area, bool sideBySide);

// Places window (an item window inside a sub-window of the main window's item
// area) as above. Does nothing to a window outside an item area.
void placeNewItemWindow(QWidget *window);

// The frame of an item window: its sub-window in the item area, or the window
// itself when it has none.
QWidget *itemFrame(QWidget *window);

// Puts a new item window into the main window's item area, in a sub-window of
// its own (nothing happens without a main window). With deleteFrameOnClose the
// sub-window goes with its window when closed; otherwise a close only hides it
// and the window's own unload decides when both go.
void addToItemArea(QWidget *window, bool deleteFrameOnClose);

// Shows an item window in its frame, raised and active in the item area.
void showItemWindow(QWidget *window);
