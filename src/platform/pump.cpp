#include "platform/pump.h"

#include "platform/clock.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSizeGrip>
#include <QTextEdit>
#include <QThread>
#include <QToolButton>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <deque>
#include <memory>
#include <set>
#include <vector>

namespace {
std::function<void()> &hook()
{
    static std::function<void()> h;
    return h;
}

constexpr char ActsProperty[] = "kelvoActsDuringExchange";
constexpr char KeysProperty[] = "kelvoKeysDuringExchange";

int gExchangeDepth = 0;
bool gAbandoned = false;
bool gLastAbandoned = false;
bool gReplayPosted = false;
bool gNoticeShown = false;

std::function<void(BusyNotice, bool)> &notice()
{
    static std::function<void(BusyNotice, bool)> n;
    return n;
}

void tell(BusyNotice n, bool on)
{
    if (notice())
        notice()(n, on);
}

// One thing held until the outermost exchange ends: an input event for its
// receiver, or a call.
struct Held {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
    std::function<void()> call;
    bool enabledWhenGiven = true;
    // For a list or tree: the row the input was aimed at, and where.
    bool checkRow = false;
    QPersistentModelIndex row;
    QPoint rowAt;
    bool rowByPosition = false;
    bool hadRow = false;
};

std::deque<Held> &held()
{
    static std::deque<Held> h;
    return h;
}

// Buttons (and actions) whose press is held in this exchange, and those whose
// press has also been let go: a later press of them is the same press again.
std::set<const QObject *> &pressedDuringExchange()
{
    static std::set<const QObject *> s;
    return s;
}
std::set<const QObject *> &releasedDuringExchange()
{
    static std::set<const QObject *> s;
    return s;
}

void showNotice(bool on)
{
    if (gNoticeShown == on)
        return;
    gNoticeShown = on;
    tell(BusyNotice::InputHeld, on);
}

void replayHeld();

void postReplay()
{
    if (gReplayPosted || !QCoreApplication::instance())
        return;
    gReplayPosted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { replayHeld(); }, Qt::QueuedConnection);
}

bool isGatedInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool isPress(QEvent::Type t)
{
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick || t == QEvent::KeyPress
           || t == QEvent::Shortcut;
}

bool isRelease(QEvent::Type t)
{
    return t == QEvent::MouseButtonRelease || t == QEvent::KeyRelease || t == QEvent::Shortcut;
}

template <typename T>
T *ancestorOf(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        if (auto *t = qobject_cast<T *>(w))
            return t;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

bool marked(QObject *o)
{
    return o && o->property(ActsProperty).toBool();
}

bool actsDuringExchange(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        if (marked(w))
            return true;
        // A tool bar's button stands for its action.
        if (const auto *button = qobject_cast<QToolButton *>(w); button && marked(button->defaultAction()))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool keyActsDuringExchange(QWidget *w, const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    for (; w; w = w->parentWidget()) {
        const QVariantList keys = w->property(KeysProperty).toList();
        if (keys.contains(QVariant(key->key())))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool isEnterOrEscape(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool isStepKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown
           || key == Qt::Key_F4;
}

// A text box: keys that type, and the pointer placing the caret or selecting,
// never start an exchange. Return, Enter and Escape (which may confirm a
// dialog) and the keys that step a value or open a list are held.
bool textEntryTakes(QWidget *w, QEvent *e)
{
    const bool key = e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease;
    const int code = key ? static_cast<QKeyEvent *>(e)->key() : 0;
    if (qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
        || ancestorOf<QTextEdit>(w) || ancestorOf<QPlainTextEdit>(w)) {
        if (key)
            return !isEnterOrEscape(code) && !(isStepKey(code) && ancestorOf<QAbstractSpinBox>(w));
        return e->type() != QEvent::Wheel || !ancestorOf<QAbstractSpinBox>(w);
    }
    if (qobject_cast<QAbstractSpinBox *>(w))
        return key && !isEnterOrEscape(code) && !isStepKey(code);
    if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->isEditable())
        return key && !isEnterOrEscape(code) && !isStepKey(code);
    return false;
}

// Input that moves, sizes, scrolls or opens menus, and so never starts an
// exchange by itself.
bool freeInput(QWidget *w, QEvent *e)
{
    if (ancestorOf<QMenuBar>(w) || ancestorOf<QScrollBar>(w) || ancestorOf<QSizeGrip>(w))
        return true;
    // An item window's frame: its title bar, edges and buttons.
    if (qobject_cast<QMdiSubWindow *>(w))
        return true;
    // A pane's title bar and its buttons.
    if (qobject_cast<QDockWidget *>(w))
        return true;
    if (qobject_cast<QDockWidget *>(w->parentWidget())
        && w->objectName().startsWith(QLatin1String("qt_dockwidget_")))
        return true;
    if (e->type() == QEvent::Wheel) {
        if (ancestorOf<QComboBox>(w) || ancestorOf<QAbstractSpinBox>(w))
            return false;
        if (auto *area = ancestorOf<QAbstractScrollArea>(w))
            return area->viewport() == w || area == w;
        return false;
    }
    return textEntryTakes(w, e);
}

// The item view whose rows w shows (w is its viewport), or the view itself.
QAbstractItemView *itemViewOf(QWidget *w, bool *isViewport)
{
    *isViewport = false;
    if (auto *view = qobject_cast<QAbstractItemView *>(w))
        return view;
    if (auto *view = qobject_cast<QAbstractItemView *>(w ? w->parentWidget() : nullptr);
        view && view->viewport() == w) {
        *isViewport = true;
        return view;
    }
    return nullptr;
}

// The object that counts as "one button" for w's input: the button itself, or
// nothing.
const QObject *buttonOf(QWidget *w)
{
    return ancestorOf<QAbstractButton>(w);
}

bool holdAsCall(QObject *receiver, std::function<void()> call)
{
    Held h;
    h.receiver = receiver;
    h.call = std::move(call);
    held().push_back(std::move(h));
    showNotice(true);
    return true;
}

// The widget that lost the focus to a press during this exchange.
QPointer<QWidget> &focusBeforePress()
{
    static QPointer<QWidget> w;
    return w;
}

// A second press of a button (or action) whose press was already held and let
// go during this exchange is the same press again: it is dropped.
bool samePressAgain(const QObject *button, QEvent::Type t)
{
    if (!button)
        return false;
    if (releasedDuringExchange().count(button)) {
        if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) {
            if (QWidget *before = focusBeforePress(); before && before != button && before->isVisible())
                before->setFocus(Qt::OtherFocusReason);
            focusBeforePress() = nullptr;
        }
        return true;
    }
    if (isPress(t))
        pressedDuringExchange().insert(button);
    if (isRelease(t) && pressedDuringExchange().count(button))
        releasedDuringExchange().insert(button);
    return false;
}

bool hold(QObject *receiver, QEvent *e, bool enabled)
{
    // A press held back gives the focus back: typing goes on where it was.
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
        if (QWidget *before = focusBeforePress(); before && before != receiver && before->isVisible())
            before->setFocus(Qt::OtherFocusReason);
        focusBeforePress() = nullptr;
    }
    Held h;
    h.receiver = receiver;
    h.event.reset(e->clone());
    h.enabledWhenGiven = enabled;
    if (auto *w = qobject_cast<QWidget *>(receiver)) {
        bool viewport = false;
        if (QAbstractItemView *view = itemViewOf(w, &viewport)) {
            h.checkRow = true;
            if (viewport && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease
                             || e->type() == QEvent::MouseButtonDblClick)) {
                h.rowAt = static_cast<QMouseEvent *>(e)->position().toPoint();
                h.rowByPosition = true;
                h.row = view->indexAt(h.rowAt);
            } else {
                h.row = view->currentIndex();
            }
            h.hadRow = h.row.isValid();
        }
    }
    held().push_back(std::move(h));
    showNotice(true);
    return true;
}

// A menu command chosen during an exchange runs when it ends; the menu
// closes at once, so the choice shows as taken.
bool holdMenuCommand(QMenu *menu, QEvent *e)
{
    QAction *a = nullptr;
    if (e->type() == QEvent::MouseButtonRelease) {
        a = menu->actionAt(static_cast<QMouseEvent *>(e)->position().toPoint());
    } else if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
            a = menu->activeAction();
    }
    if (!a || a->isSeparator() || a->menu() || !a->isEnabled() || marked(a))
        return false;
    QPointer<QAction> action(a);
    while (QWidget *popup = QApplication::activePopupWidget())
        if (!popup->close())
            break;
    if (samePressAgain(a, QEvent::Shortcut))
        return true;
    return holdAsCall(a, [action] {
        if (action && action->isEnabled())
            action->trigger();
    });
}

// Modal windows shown while an exchange runs: a message or a question of the
// exchange itself, which waits for the user's answer.
std::vector<QPointer<QWidget>> &answerWindows()
{
    static std::vector<QPointer<QWidget>> v;
    return v;
}

void noteShown(QWidget *w)
{
    if (!w->isWindow() || !w->isModal())
        return;
    for (const QPointer<QWidget> &a : answerWindows())
        if (a == w)
            return;
    answerWindows().emplace_back(w);
}

// Input for such a window, or for a popup of it (a list opened from it),
// answers what the exchange asks and goes through at once: held, the window
// could never be closed. Other windows are blocked by its modality anyway.
bool answersTheExchange(QWidget *w)
{
    if (answerWindows().empty())
        return false;
    for (; w; w = w->parentWidget()) {
        if (!w->isWindow())
            continue;
        for (const QPointer<QWidget> &a : answerWindows())
            if (a == w && w->isVisible())
                return true;
    }
    return false;
}

bool gateWidgetInput(QWidget *w, QEvent *e)
{
    if (actsDuringExchange(w) || answersTheExchange(w))
        return false;
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease)
        && keyActsDuringExchange(w, static_cast<QKeyEvent *>(e)))
        return false;
    if (auto *menu = qobject_cast<QMenu *>(w)) {
        if (holdMenuCommand(menu, e))
            return true;
        if (e->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
        }
        return false; // moving through the menu, opening submenus, closing it
    }
    if (freeInput(w, e))
        return false;
    if (samePressAgain(buttonOf(w), e->type()))
        return true;
    return hold(w, e, w->isEnabled());
}

class InputGate final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (gExchangeDepth > 0 && e->type() == QEvent::FocusOut && o->isWidgetType()
            && static_cast<QFocusEvent *>(e)->reason() == Qt::MouseFocusReason)
            focusBeforePress() = static_cast<QWidget *>(o);
        if (gExchangeDepth > 0 && e->type() == QEvent::Show && o->isWidgetType())
            noteShown(static_cast<QWidget *>(o));
        if (gExchangeDepth == 0 || !isGatedInput(e->type()))
            return false;
        if (o->isWidgetType())
            return gateWidgetInput(static_cast<QWidget *>(o), e);
        if (e->type() == QEvent::Shortcut) {
            if (marked(o))
                return false;
            if (samePressAgain(o, e->type()))
                return true;
            const auto *a = qobject_cast<QAction *>(o);
            return hold(o, e, a ? a->isEnabled() : true);
        }
        return false;
    }
};

void ensureGate()
{
    static QPointer<InputGate> gate;
    QCoreApplication *app = QCoreApplication::instance();
    if (gate || !app)
        return;
    gate = new InputGate(app);
    app->installEventFilter(gate);
}

bool stillAimed(const Held &h)
{
    if (!h.checkRow)
        return true;
    bool viewport = false;
    QAbstractItemView *view = itemViewOf(qobject_cast<QWidget *>(h.receiver.data()), &viewport);
    if (!view)
        return false;
    // A key acts on the current row, which held clicks before it may move:
    // it reaches the view only while the row current when it was given still
    // stands (a rebuilt tree has none of its rows).
    if (!h.rowByPosition)
        return !h.hadRow || h.row.isValid();
    // A click reaches the row it was aimed at only while that row still
    // stands where it stood; one aimed at no row, only while there is none.
    const QModelIndex now = view->indexAt(h.rowAt);
    if (h.hadRow)
        return h.row.isValid() && now.isValid() && QModelIndex(h.row) == now;
    return !now.isValid();
}

bool mayDeliver(const Held &h)
{
    QObject *r = h.receiver.data();
    if (!r || !h.enabledWhenGiven)
        return false;
    if (auto *w = qobject_cast<QWidget *>(r)) {
        if (!w->isEnabled() || !w->isVisible())
            return false;
    } else if (auto *a = qobject_cast<QAction *>(r)) {
        if (!a->isEnabled())
            return false;
    }
    return stillAimed(h);
}

void replayHeld()
{
    gReplayPosted = false;
    if (gExchangeDepth > 0)
        return; // the end of the running exchange posts the replay again
    std::deque<Held> batch;
    batch.swap(held());
    pressedDuringExchange().clear();
    releasedDuringExchange().clear();
    while (!batch.empty()) {
        Held h = std::move(batch.front());
        batch.pop_front();
        if (h.call) {
            h.call();
        } else if (mayDeliver(h)) {
            QCoreApplication::sendEvent(h.receiver.data(), h.event.get());
        }
        if (!held().empty()) {
            // What was handled started an exchange that held input of its
            // own: the rest of this batch goes first at that one's end.
            for (auto it = batch.rbegin(); it != batch.rend(); ++it)
                held().push_front(std::move(*it));
            postReplay();
            return;
        }
    }
    showNotice(false);
}
} // namespace

ExchangeScope::ExchangeScope()
{
    if (gExchangeDepth++ == 0) {
        gLastAbandoned = false;
        ensureGate();
    }
}

ExchangeScope::~ExchangeScope()
{
    if (--gExchangeDepth > 0)
        return;
    gLastAbandoned = gAbandoned;
    answerWindows().clear();
    if (gAbandoned) {
        gAbandoned = false;
        tell(BusyNotice::Stopping, false);
    }
    if (!held().empty())
        postReplay();
}

bool exchangeRunning()
{
    return gExchangeDepth > 0;
}

void abandonExchange()
{
    if (gExchangeDepth == 0 || gAbandoned)
        return;
    gAbandoned = true;
    tell(BusyNotice::Stopping, true);
    if (QCoreApplication::instance())
        if (QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance())
            d->wakeUp();
}

bool exchangeAbandoned()
{
    return gAbandoned;
}

bool lastExchangeAbandoned()
{
    return gLastAbandoned;
}

void runAfterExchange(std::function<void()> fn)
{
    if (!fn)
        return;
    if (gExchangeDepth == 0) {
        fn();
        return;
    }
    Held h;
    h.call = std::move(fn);
    held().push_back(std::move(h));
}

void letActDuringExchange(QObject *control, bool on)
{
    if (control)
        control->setProperty(ActsProperty, on);
}

void letKeyActDuringExchange(QWidget *window, int key)
{
    if (!window)
        return;
    QVariantList keys = window->property(KeysProperty).toList();
    if (!keys.contains(QVariant(key)))
        keys << QVariant(key);
    window->setProperty(KeysProperty, keys);
}

void setBusyNotice(std::function<void(BusyNotice, bool)> n)
{
    notice() = std::move(n);
    gNoticeShown = false;
}

void refuseWhileBusy()
{
    QApplication::beep();
    tell(BusyNotice::Refused, true);
}

void noteRefreshPaused(bool on)
{
    tell(BusyNotice::RefreshPaused, on);
}

bool inputHeld()
{
    return !held().empty();
}

void handlePendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void pumpEvents()
{
    if (hook()) {
        hook()();
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void waitEvents(int maxMs)
{
    if (hook()) {
        hook()();
        return;
    }
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        if (maxMs > 0)
            QThread::msleep(static_cast<unsigned long>(maxMs));
        return;
    }
    if (maxMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The deadline is an event of its own: the wait below ends at the first
    // event that comes, this one at the latest.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void setPump(std::function<void()> pump)
{
    hook() = std::move(pump);
}

namespace {
int gPauseDepth = 0;

std::vector<std::function<void()>> &afterPause()
{
    static std::vector<std::function<void()>> v;
    return v;
}

// Hands what waited for the pause to the event loop's next turn.
void releaseAfterPause()
{
    std::vector<std::function<void()>> calls;
    calls.swap(afterPause());
    for (auto &fn : calls) {
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
        else
            fn();
    }
}
} // namespace

void pauseInEventLoop(int ms, const Clock &clock)
{
    if (ms <= 0)
        return;
    const ExchangeScope exchange;
    ++gPauseDepth;
    const qint64 start = clock.nowMs();
    for (;;) {
        qint64 end = start + ms;
        if (exchangeAbandoned())
            end = std::min<qint64>(end, start + AbandonedPauseMs);
        const qint64 now = clock.nowMs();
        if (now >= end)
            break;
        waitEvents(int(std::min<qint64>(end - now, INT_MAX)));
    }
    if (--gPauseDepth == 0)
        releaseAfterPause();
}

bool pauseRunning()
{
    return gPauseDepth > 0;
}

void runAfterPause(std::function<void()> fn)
{
    if (!fn)
        return;
    if (gPauseDepth == 0) {
        fn();
        return;
    }
    afterPause().push_back(std::move(fn));
}
