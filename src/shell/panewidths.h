#pragma once
// The widths of the main window's docked panes, kept through a window made
// small. When the window becomes too narrow for the panes and the item area
// together, the toolkit narrows the panes; when it grows again, it gives all
// the new room to the item area and the panes stay narrow. This keeps the
// width each pane was given inside a window of unchanged size (the first
// split, the user's layout, a divider dragged) and gives it back when the
// window has room for it again; panes stacked one over the other get back
// their shares of the height as well.

#include <QHash>
#include <QList>
#include <QObject>
#include <QSize>

class QDockWidget;
class QMainWindow;

class PaneWidths final : public QObject {
public:
    PaneWidths(QMainWindow *window, const QList<QDockWidget *> &panes);

    // The width pane keeps; 0 before it was ever laid out.
    int kept(QDockWidget *pane) const { return kept_.value(pane, 0); }
    // The height it keeps, in a window of the height it had then.
    int keptHeight(QDockWidget *pane) const { return keptHeight_.value(pane, 0); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paneResized(QDockWidget *pane, int oldWidth);
    // Once the window's new size is laid out.
    void giveWidthsBack();
    bool docked(QDockWidget *pane) const;
    bool itemAreaHasRoom() const;

    QMainWindow *window_;
    QList<QDockWidget *> panes_;
    void giveHeightsBack();
    QHash<QDockWidget *, int> kept_;
    QHash<QDockWidget *, int> keptHeight_;
    QHash<QDockWidget *, int> asked_; // widths given back, not yet laid out
    QList<QDockWidget *> heightsAsked_; // heights given back, not yet laid out
    QSize windowSize_;                // the window's size as last laid out
    bool givePending_ = false;
};
