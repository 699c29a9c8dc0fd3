#pragma once
// The inside of a window that scrolls when the window is smaller than the
// least size its controls need: a frameless scroll area filling the window
// holds one widget, the contents, on which the window lays its controls out.
// The contents take the window's size, less the scroll bars that showing
// them all makes necessary, or the least size, whichever is larger in each
// direction; the scroll bars show only where the least size is not met.

#include <QSize>

class QScrollArea;
class QWidget;

class ScrolledContents {
public:
    explicit ScrolledContents(QWidget *window);

    QWidget *contents() const { return contents_; }
    QScrollArea *area() const { return area_; }
    // Fits the area to the window and sizes the contents for least; returns
    // the contents' size. A contents scrolled away from its corner keeps its
    // place as far as the new size allows.
    QSize fit(const QSize &least);

private:
    QWidget *window_;
    QScrollArea *area_;
    QWidget *contents_;
};
