#pragma once
// Input queued the way the window system queues the user's keys and clicks:
// nothing is delivered by the call itself; the next pass of the event loop
// that takes user input delivers it (a pass that excludes user input leaves
// it queued). QTest's own key and mouse calls deliver at once, and a posted
// QKeyEvent skips the window system's queue, so neither can show input held
// back during a wait.
//
// Qt's window-system entry points are not in its public headers; those used
// here are declared as Qt declares them (QtGui exports these instantiations).

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
    static bool handleMouseEvent(QWindow *window, ulong timestamp, const QPointF &local, const QPointF &global,
                                 Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                 Qt::KeyboardModifiers mods = Qt::NoModifier,
                                 Qt::MouseEventSource source = Qt::MouseEventNotSynthesized);
    // Queued unless the application asked for synchronous window-system
    // events (nothing here does).
    static bool handleWheelEvent(QWindow *window, const QPointF &local, const QPointF &global, QPoint pixelDelta,
                                 QPoint angleDelta, Qt::KeyboardModifiers mods = Qt::NoModifier,
                                 Qt::ScrollPhase phase = Qt::NoScrollPhase,
                                 Qt::MouseEventSource source = Qt::MouseEventNotSynthesized);
};

namespace nativeinput {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

// The window-system window of w's top-level window (w must be shown).
inline QWindow *windowOf(const QWidget *w)
{
    return w ? w->window()->windowHandle() : nullptr;
}

// The time stamp of the next press: every queued click lies far from the one
// before (the window system makes a double click only of two presses at one
// place within its double-click interval), unless asked to follow at once.
inline ulong pressTime(bool followsAtOnce = false)
{
    static ulong t = 1000000000UL;
    t += followsAtOnce ? 50UL : 100000UL;
    return t;
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

// Queues a press and release of key for whatever widget of inWindow's window
// has the focus when it comes (the focus is left where it is).
inline bool queueKey(QWidget *inWindow, Qt::Key key, const QString &text = QString())
{
    QWindow *win = windowOf(inWindow);
    if (!win)
        return false;
    QWindowSystemInterface::handleKeyEvent<Queued>(win, QEvent::KeyPress, key, Qt::NoModifier, text);
    QWindowSystemInterface::handleKeyEvent<Queued>(win, QEvent::KeyRelease, key, Qt::NoModifier, text);
    return true;
}

// Queues one key event (a press or a release, repeated when the keyboard
// repeats a held key) for whatever widget of inWindow's window has the focus.
inline bool queueKeyEvent(QWidget *inWindow, QEvent::Type type, Qt::Key key, bool repeated = false)
{
    QWindow *win = windowOf(inWindow);
    if (!win)
        return false;
    QWindowSystemInterface::handleKeyEvent<Queued>(win, type, key, Qt::NoModifier, QString(), repeated);
    return true;
}

// Queues a click of button at pos of target (its centre by default);
// followsAtOnce makes it the second click of a double click.
inline bool queueClick(QWidget *target, QPoint pos = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton,
                       bool followsAtOnce = false)
{
    QWindow *win = windowOf(target);
    if (!win)
        return false;
    if (pos == QPoint(-1, -1))
        pos = target->rect().center();
    const QPointF local = target->mapTo(target->window(), pos);
    const QPointF global = target->mapToGlobal(pos);
    const ulong at = pressTime(followsAtOnce);
    QWindowSystemInterface::handleMouseEvent<Queued>(win, at, local, global, button, button,
                                                     QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(win, at + 20, local, global, Qt::NoButton, button,
                                                     QEvent::MouseButtonRelease);
    return true;
}

// Queues a double click at pos of target (its centre by default).
inline bool queueDoubleClick(QWidget *target, QPoint pos = QPoint(-1, -1))
{
    return queueClick(target, pos) && queueClick(target, pos, Qt::LeftButton, true);
}

// Queues a turn of the wheel (one notch, away from the user: up) at pos of
// target (its centre by default).
inline bool queueWheel(QWidget *target, QPoint pos = QPoint(-1, -1), int notches = 1)
{
    QWindow *win = windowOf(target);
    if (!win)
        return false;
    if (pos == QPoint(-1, -1))
        pos = target->rect().center();
    const QPointF local = target->mapTo(target->window(), pos);
    const QPointF global = target->mapToGlobal(pos);
    QWindowSystemInterface::handleWheelEvent(win, local, global, QPoint(), QPoint(0, 120 * notches));
    return true;
}

} // namespace nativeinput
