#pragma once
// Input queued the way the window system queues the user's keys and clicks:
// nothing is delivered by the call itself; the next pass of the event loop
// that takes user input delivers it (a pass that excludes user input leaves
// it queued). QTest's own key and mouse calls deliver at once, and a posted
// QKeyEvent skips the window system's queue, so neither can show input held
// back during a wait.
//
// Qt's window-system entry points are not in its public headers; the two
// used here are declared as Qt declares them (QtGui exports these
// instantiations).

#include <QEvent>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>

class QWindowSystemInterface {
public:
    struct SynchronousDelivery {};
    struct AsynchronousDelivery {};
    struct DefaultDelivery {};
    template <typename Delivery = DefaultDelivery>
    static bool handleKeyEvent(QWindow *window, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                               const QString &text = QString(), bool autorep = false, ushort count = 1);
    template <typename Delivery = DefaultDelivery>
    static bool handleMouseEvent(QWindow *window, const QPointF &local, const QPointF &global,
                                 Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                 Qt::KeyboardModifiers mods = Qt::NoModifier,
                                 Qt::MouseEventSource source = Qt::MouseEventNotSynthesized);
};

namespace nativeinput {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

// The window-system window of w's top-level window (w must be shown).
inline QWindow *windowOf(const QWidget *w)
{
    return w ? w->window()->windowHandle() : nullptr;
}

// Queues a press and release of key for the focus widget of target's window;
// target gets the focus first.
inline bool queueKeyClick(QWidget *target, Qt::Key key, const QString &text = QString())
{
    QWindow *win = windowOf(target);
    if (!win)
        return false;
    target->setFocus(Qt::OtherFocusReason);
    QWindowSystemInterface::handleKeyEvent<Queued>(win, QEvent::KeyPress, key, Qt::NoModifier, text);
    QWindowSystemInterface::handleKeyEvent<Queued>(win, QEvent::KeyRelease, key, Qt::NoModifier, text);
    return true;
}

// Queues a click of button (the left one by default) at pos of target (its
// centre by default).
inline bool queueClick(QWidget *target, QPoint pos = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton)
{
    QWindow *win = windowOf(target);
    if (!win)
        return false;
    if (pos == QPoint(-1, -1))
        pos = target->rect().center();
    const QPointF local = target->mapTo(target->window(), pos);
    const QPointF global = target->mapToGlobal(pos);
    QWindowSystemInterface::handleMouseEvent<Queued>(win, local, global, button, button, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(win, local, global, Qt::NoButton, button,
                                                     QEvent::MouseButtonRelease);
    return true;
}

} // namespace nativeinput
