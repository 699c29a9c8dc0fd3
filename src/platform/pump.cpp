#include "platform/pump.h"

#include "platform/clock.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
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
#include <QWindow>

#include <algorithm>
#include <climits>
#include <deque>
#include <map>
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
constexpr char EveryClickProperty[] = "kelvoEveryClickCounts";

int gExchangeDepth = 0;
const void *gOwner = nullptr;
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

qint64 nowMs()
{
    return appClock().nowMs();
}

// One thing held until the outermost exchange ends: an input event for its
// receiver, or a call (a menu command or a list's choice the user gave, or a
// step of the program's own that waits for the exchange).
struct Held {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
    std::function<void()> call;
    // The user's input (as opposed to the program's own step), and when it
    // was given: a release or a repeated key counts from its press.
    bool fromInput = false;
    qint64 givenAtMs = 0;
    // The modal window and the popup open when it was given.
    QPointer<QWidget> modalWhenGiven;
    QPointer<QWidget> popupWhenGiven;
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

// When the user last pressed a mouse button, and each key (a repeat or a
// release of it counts from there), and the widget that had the keyboard
// focus just before the last press moved it.
qint64 gMousePressAt = -1;
std::map<int, qint64> &keyPressAt()
{
    static std::map<int, qint64> m;
    return m;
}
QPointer<QWidget> &focusAtPress()
{
    static QPointer<QWidget> w;
    return w;
}
// The window each key's last press went to.
std::map<int, QPointer<QWindow>> &keyPressWindow()
{
    static std::map<int, QPointer<QWindow>> m;
    return m;
}

// The keys that confirm, cancel or press what has the focus.
bool confirmsOrCancels(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space;
}

// A repeat (or the repeat's release) of Return, Enter, Escape or the space
// bar held down since its press went to another window: the window it comes
// to now (most often one the press itself opened, a message, a dialog, or
// the window below one the press closed) never saw that press, and the key
// does not confirm or cancel it as well. Only a fresh press does.
bool repeatOfAPressElsewhere(QWindow *window, const QKeyEvent *key)
{
    if (!key->isAutoRepeat() || !confirmsOrCancels(key->key()))
        return false;
    const auto it = keyPressWindow().find(key->key());
    return it == keyPressWindow().end() || it->second != window;
}

// The widget a press held before the window saw it was aimed at: its
// release goes there too (as the window would send it).
QPointer<QWidget> &heldPressTarget()
{
    static QPointer<QWidget> w;
    return w;
}
// That press got nothing when the held input was handled.
bool gHeldPressDropped = false;
// That press was the second click of a double click whose first click had
// already acted: its release gets nothing either.
bool gSecondClickDropped = false;

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

// While an exchange runs, and until its held input has been handled (so that
// a release never overtakes its held press).
bool gatingNow()
{
    return gExchangeDepth > 0 || gReplayPosted;
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

bool isMousePress(QEvent::Type t)
{
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick;
}

bool isKey(QEvent::Type t)
{
    return t == QEvent::KeyPress || t == QEvent::KeyRelease;
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

// The controls that act on an exchange take one press per press: the second
// press of a double click, and the repeats of a key held down, are the same
// press again (a Stop would otherwise start the refresh it just stopped).
bool samePressOfAControlThatActs(QWidget *w, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonDblClick)
        return actsDuringExchange(w);
    if (isKey(e->type())) {
        const auto *key = static_cast<QKeyEvent *>(e);
        return key->isAutoRepeat() && (actsDuringExchange(w) || keyActsDuringExchange(w, key));
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
    const bool key = isKey(e->type());
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

// Tab and Backtab move the keyboard focus and do nothing else: they act at
// once, so that the keys after them go where the user has moved.
bool movesFocus(QEvent *e)
{
    if (!isKey(e->type()))
        return false;
    const auto *key = static_cast<QKeyEvent *>(e);
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
           && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// The wheel scrolls a scroll area over its viewport and over everything the
// viewport holds, unless a control on the way takes the wheel itself (a box
// whose value it steps, a list of choices, a slider).
bool wheelScrolls(QWidget *w)
{
    for (QWidget *p = w; p; p = p->parentWidget()) {
        if (qobject_cast<QComboBox *>(p) || qobject_cast<QAbstractSpinBox *>(p)
            || (qobject_cast<QAbstractSlider *>(p) && !qobject_cast<QScrollBar *>(p)))
            return false;
        if (qobject_cast<QAbstractScrollArea *>(p))
            return true;
        if (auto *area = qobject_cast<QAbstractScrollArea *>(p->parentWidget()); area && area->viewport() == p)
            return true;
        if (p->isWindow())
            break;
    }
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
    if (e->type() == QEvent::Wheel)
        return wheelScrolls(w);
    if (movesFocus(e))
        return true;
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

// When the input e was given: a release, or a key's repeat, counts from its
// press, so that one press and its release go or stay together.
qint64 givenAt(const QEvent *e)
{
    const qint64 now = nowMs();
    if (e->type() == QEvent::MouseButtonRelease)
        return gMousePressAt >= 0 ? std::min(gMousePressAt, now) : now;
    if (isKey(e->type())) {
        const auto *key = static_cast<const QKeyEvent *>(e);
        if (e->type() == QEvent::KeyRelease || key->isAutoRepeat()) {
            const auto at = keyPressAt().find(key->key());
            if (at != keyPressAt().end())
                return std::min(at->second, now);
        }
    }
    return now;
}

// What was open when input was given: a window opened since then, and still
// open, stands over it.
void noteWhatWasOpen(Held &h)
{
    h.modalWhenGiven = QApplication::activeModalWidget();
    h.popupWhenGiven = QApplication::activePopupWidget();
}

// A menu command or a list's choice the user gave: it runs when the exchange
// ends, under the rules of held input.
bool holdAsCall(QObject *receiver, std::function<void()> call)
{
    Held h;
    h.receiver = receiver;
    h.call = std::move(call);
    h.fromInput = true;
    h.givenAtMs = nowMs();
    noteWhatWasOpen(h);
    held().push_back(std::move(h));
    if (gExchangeDepth > 0)
        showNotice(true);
    return true;
}

// A press held back (or dropped) gives the keyboard focus back to the widget
// that had it before the press: typing goes on where the user put it.
void giveFocusBack()
{
    QWidget *before = focusAtPress();
    focusAtPress() = nullptr;
    if (before && QApplication::focusWidget() != before && before->isVisible() && before->isEnabled())
        before->setFocus(Qt::OtherFocusReason);
}

// A second press of a button (or action) whose press was already held and let
// go during this exchange is the same press again: it is dropped.
bool samePressAgain(const QObject *button, QEvent::Type t)
{
    if (!button)
        return false;
    if (releasedDuringExchange().count(button))
        return true;
    if (isPress(t))
        pressedDuringExchange().insert(button);
    if (isRelease(t) && pressedDuringExchange().count(button))
        releasedDuringExchange().insert(button);
    return false;
}

bool hold(QObject *receiver, QEvent *e, bool enabled)
{
    Held h;
    h.receiver = receiver;
    h.event.reset(e->clone());
    h.fromInput = true;
    h.givenAtMs = givenAt(e);
    noteWhatWasOpen(h);
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
    if (gExchangeDepth > 0)
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

// The list of choices a combo box has open, when w is in it.
QWidget *openListOf(QWidget *w)
{
    QWidget *window = w ? w->window() : nullptr;
    if (!window || window->windowType() != Qt::Popup || qobject_cast<QMenu *>(window))
        return nullptr;
    return qobject_cast<QComboBox *>(window->parentWidget()) ? window : nullptr;
}

// The list a press inside it was last given to (its release there chooses).
QPointer<QWidget> &listPressed()
{
    static QPointer<QWidget> w;
    return w;
}

// A combo box's open list during an exchange works as a menu does: moving
// through it, searching and closing it act at once; the choice (a click on
// a row, Return) closes it at once and is made when the exchange ends.
bool gateOpenList(QWidget *list, QEvent *e)
{
    auto *combo = static_cast<QComboBox *>(list->parentWidget());
    QAbstractItemView *view = combo->view();
    const auto inside = [list](const QEvent *m) {
        const QPoint at = static_cast<const QMouseEvent *>(m)->globalPosition().toPoint();
        return list->rect().contains(list->mapFromGlobal(at));
    };
    const auto choose = [combo](int row) {
        if (row < 0)
            return true;
        combo->hidePopup();
        QPointer<QComboBox> box(combo);
        return holdAsCall(combo, [box, row] {
            if (!box || !box->isEnabled() || !box->isVisible() || row >= box->count())
                return;
            box->setCurrentIndex(row);
            emit box->activated(row);
            emit box->textActivated(box->itemText(row));
        });
    };
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        listPressed() = inside(e) ? list : nullptr;
        return false; // inside it moves to a row, outside it closes the list
    case QEvent::MouseButtonRelease: {
        if (!inside(e))
            return false;
        // The release of the click that opened the list chooses nothing.
        if (listPressed() != list)
            return true;
        listPressed() = nullptr;
        const QModelIndex row = view->currentIndex();
        if (!row.isValid() || !(row.flags() & Qt::ItemIsEnabled) || !(row.flags() & Qt::ItemIsSelectable))
            return true;
        return choose(row.row());
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (e->type() == QEvent::KeyRelease)
            return true;
        const QModelIndex row = view->currentIndex();
        return choose(row.isValid() && (row.flags() & Qt::ItemIsEnabled) ? row.row() : -1);
    }
    default:
        return false;
    }
}

// The modal windows open now, and the seams' dialogs that stand for one.
std::vector<QPointer<QWidget>> &modalWindows()
{
    static std::vector<QPointer<QWidget>> v;
    return v;
}
int gModalScopes = 0;
bool gModalOpen = false;

std::function<void(bool)> &modalNotice()
{
    static std::function<void(bool)> n;
    return n;
}

// Tells the notice when the first modal window has opened or the last one
// has closed.
void modalWindowsChanged()
{
    auto &v = modalWindows();
    v.erase(std::remove_if(v.begin(), v.end(), [](const QPointer<QWidget> &w) { return !w || !w->isVisible(); }),
            v.end());
    const bool open = gModalScopes > 0 || !v.empty();
    if (open == gModalOpen)
        return;
    gModalOpen = open;
    if (modalNotice())
        modalNotice()(open);
}

constexpr char ModalWatchedProperty[] = "kelvoModalWatched";

void noteModalShown(QWidget *w)
{
    auto &v = modalWindows();
    if (std::find(v.begin(), v.end(), w) == v.end())
        v.emplace_back(w);
    // A window destroyed while shown counts as closed.
    if (!w->property(ModalWatchedProperty).toBool()) {
        w->setProperty(ModalWatchedProperty, true);
        QObject::connect(w, &QObject::destroyed, QCoreApplication::instance(), [] { modalWindowsChanged(); });
    }
    modalWindowsChanged();
}

void noteModalHidden(QWidget *w)
{
    auto &v = modalWindows();
    const auto it = std::find(v.begin(), v.end(), w);
    if (it == v.end())
        return;
    v.erase(it);
    modalWindowsChanged();
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
    if (isKey(e->type()) && keyActsDuringExchange(w, static_cast<QKeyEvent *>(e)))
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
    if (QWidget *list = openListOf(w))
        return gateOpenList(list, e);
    if (freeInput(w, e))
        return false;
    if (!samePressAgain(buttonOf(w), e->type()))
        hold(w, e, w->isEnabled());
    if (isMousePress(e->type()))
        giveFocusBack();
    return true;
}

// The replay in progress: the event it is handing on (the gate lets it
// through), and whether what it handed on opened a window.
const QEvent *gReplaying = nullptr;
int gReplayDepth = 0;
bool gOpenedDuringReplay = false;

// A window that takes the user's attention: a modal one, a menu or an open
// list, a dialog that is activated when shown (not the transfer dialog).
bool takesAttention(const QWidget *w)
{
    if (!w->isWindow())
        return false;
    if (w->isModal() || w->windowType() == Qt::Popup)
        return true;
    return qobject_cast<const QDialog *>(w) && !w->testAttribute(Qt::WA_ShowWithoutActivating);
}

// The window that the program's own held steps wait for (a modal window
// opened over them), and whether they do.
QPointer<QWidget> &waitingFor()
{
    static QPointer<QWidget> w;
    return w;
}

// Notes, from every event the program handles, what the gate needs: when a
// press was given and where the focus was before it, which windows opened.
void watch(QObject *o, QEvent *e)
{
    const QEvent::Type t = e->type();
    if (!o->isWidgetType()) {
        // The window system's event for a window, before any widget sees it
        // (and before a press moves the focus).
        if (!e->spontaneous() || !qobject_cast<QWindow *>(o))
            return;
        if (isMousePress(t)) {
            heldPressTarget() = nullptr;
            gHeldPressDropped = false;
            gSecondClickDropped = false;
            gMousePressAt = nowMs();
            focusAtPress() = QApplication::focusWidget();
            listPressed() = nullptr;
        } else if (t == QEvent::KeyPress && !static_cast<QKeyEvent *>(e)->isAutoRepeat()) {
            keyPressAt()[static_cast<QKeyEvent *>(e)->key()] = nowMs();
            keyPressWindow()[static_cast<QKeyEvent *>(e)->key()] = static_cast<QWindow *>(o);
        }
        return;
    }
    auto *w = static_cast<QWidget *>(o);
    if (t == QEvent::Show) {
        if (gExchangeDepth > 0)
            noteShown(w);
        if (gReplayDepth > 0 && takesAttention(w))
            gOpenedDuringReplay = true;
        if (w->isWindow() && w->isModal())
            noteModalShown(w);
    } else if (t == QEvent::Hide) {
        if (waitingFor() == w)
            postReplay();
        noteModalHidden(w);
    }
}

bool choosesInAnOpenList(QWidget *w, QEvent *e)
{
    const int key = static_cast<QKeyEvent *>(e)->key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter) && openListOf(w);
}

// The top-level widget that window shows.
QWidget *widgetOfWindow(const QWindow *window)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->windowHandle() == window)
            return top;
    return nullptr;
}

// The window system's release of a press held before the window saw it: held
// for the same widget while the gate holds input, handed to it at once
// otherwise (its press has been handed on by then).
bool followHeldPress(QWindow *window, QMouseEvent *e)
{
    QWidget *w = heldPressTarget();
    QWidget *top = widgetOfWindow(window);
    if (!w || !top)
        return false;
    if (e->buttons() == Qt::NoButton)
        heldPressTarget() = nullptr;
    if (gSecondClickDropped)
        return true;
    const QPointF local = w->mapFromGlobal(e->globalPosition());
    QMouseEvent release(e->type(), local, e->scenePosition(), e->globalPosition(), e->button(), e->buttons(),
                        e->modifiers(), e->pointingDevice());
    release.setTimestamp(e->timestamp());
    if (gatingNow()) {
        if (!samePressAgain(buttonOf(w), release.type()))
            hold(w, &release, w->isEnabled());
    } else if (!gHeldPressDropped) {
        QCoreApplication::sendEvent(w, &release);
    }
    return true;
}

// The second click of a double click on a button whose first click was not
// held (it acted before the exchange began: most often it began it). The
// window system marks the press that completes a double click; that press
// and the double click that follows are the same press again, so that a
// double click on Connect connects once. A button whose every click is a
// press of its own (a key of the front panel) is exempt.
bool secondClickOfADoubleClickThatActed(QWidget *w, const QMouseEvent *e)
{
    const bool second = e->type() == QEvent::MouseButtonDblClick
                        || (e->type() == QEvent::MouseButtonPress && (e->flags() & Qt::MouseEventCreatedDoubleClick));
    const QObject *button = buttonOf(w);
    return second && button && !button->property(EveryClickProperty).toBool()
           && !pressedDuringExchange().count(button);
}

// A press of the window system on window that the gate will hold: it is held
// here, before the press could move the keyboard focus (the box being typed
// into keeps it, and does not take its half-typed text as done), and the
// window does not see it. A right press also brings the request for the
// context menu it makes.
bool holdPressBeforeItMovesTheFocus(QWindow *window, QMouseEvent *e)
{
    if (QApplication::activePopupWidget())
        return false; // a menu or a list takes it (the gate's rules there)
    QWidget *top = widgetOfWindow(window);
    if (!top)
        return false;
    const QPoint at = e->position().toPoint();
    QWidget *w = top->childAt(at);
    if (!w)
        w = top;
    const QPointF local = w->mapFrom(top, e->position());
    QMouseEvent press(e->type(), local, e->scenePosition(), e->globalPosition(), e->button(), e->buttons(),
                      e->modifiers(), e->pointingDevice());
    press.setTimestamp(e->timestamp());
    if (actsDuringExchange(w) || answersTheExchange(w) || qobject_cast<QMenu *>(w) || openListOf(w)
        || freeInput(w, &press))
        return false;
    heldPressTarget() = w;
    if (secondClickOfADoubleClickThatActed(w, e)) {
        gSecondClickDropped = true;
        return true;
    }
    if (!samePressAgain(buttonOf(w), press.type())) {
        hold(w, &press, w->isEnabled());
        if (e->button() == Qt::RightButton && e->type() == QEvent::MouseButtonPress) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, local.toPoint(), e->globalPosition().toPoint(),
                                   e->modifiers());
            hold(w, &menu, w->isEnabled());
        }
    }
    return true;
}

class InputGate final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        watch(o, e);
        if (e->type() == QEvent::ShortcutOverride && gatingNow() && o->isWidgetType()
            && choosesInAnOpenList(static_cast<QWidget *>(o), e)) {
            // An open list chooses on this first sign of Return: it is
            // taken as a key instead, which the gate then holds.
            e->accept();
            return true;
        }
        if (!isGatedInput(e->type()) || e == gReplaying)
            return false;
        if (!o->isWidgetType() && e->spontaneous()) {
            auto *window = qobject_cast<QWindow *>(o);
            if (window && isKey(e->type()) && repeatOfAPressElsewhere(window, static_cast<QKeyEvent *>(e)))
                return true;
            if (window && isMousePress(e->type()) && gatingNow())
                return holdPressBeforeItMovesTheFocus(window, static_cast<QMouseEvent *>(e));
            if (window && e->type() == QEvent::MouseButtonRelease)
                return followHeldPress(window, static_cast<QMouseEvent *>(e));
            return false;
        }
        if (o->isWidgetType() && samePressOfAControlThatActs(static_cast<QWidget *>(o), e))
            return true;
        if (!gatingNow())
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

// A window opened since h was asked for that still stands over it (a modal
// window, or for input also a popup).
QWidget *windowOver(const Held &h)
{
    if (QWidget *m = QApplication::activeModalWidget(); m && m != h.modalWhenGiven)
        return m;
    if (QWidget *p = QApplication::activePopupWidget(); h.fromInput && p && p != h.popupWhenGiven)
        return p;
    return nullptr;
}

bool tooOld(const Held &h)
{
    return nowMs() - h.givenAtMs > HeldInputMaxAgeMs;
}

void deliver(Held &h)
{
    if (h.call) {
        h.call();
        return;
    }
    if (!mayDeliver(h)) {
        if (isMousePress(h.event->type()) && h.receiver == heldPressTarget())
            gHeldPressDropped = true;
        return;
    }
    const QEvent *outer = gReplaying;
    gReplaying = h.event.get();
    QCoreApplication::sendEvent(h.receiver.data(), h.event.get());
    gReplaying = outer;
}

void replayHeld()
{
    gReplayPosted = false;
    if (gExchangeDepth > 0)
        return; // the end of the running exchange posts the replay again
    showNotice(false);
    std::deque<Held> batch;
    batch.swap(held());
    pressedDuringExchange().clear();
    releasedDuringExchange().clear();
    waitingFor() = nullptr;
    ++gReplayDepth;
    const bool outerOpened = gOpenedDuringReplay;
    bool windowOpened = false; // by what this replay handed on
    bool dropped = false;
    std::set<qint64> pressesHandedOn; // when they were given
    while (!batch.empty()) {
        Held h = std::move(batch.front());
        batch.pop_front();
        QWidget *over = windowOver(h);
        if (h.fromInput) {
            // Soon or not at all, and never behind a window. The release of a
            // press handed on (which may have run long) goes with it.
            const bool followsItsPress = h.event && !isPress(h.event->type()) && pressesHandedOn.count(h.givenAtMs);
            if (windowOpened || over || (tooOld(h) && !followsItsPress)) {
                // A release alone (its press acted, or was not held) is no
                // input the user would miss.
                const QEvent::Type t = h.event ? h.event->type() : QEvent::None;
                if (isMousePress(t) && h.receiver == heldPressTarget())
                    gHeldPressDropped = true;
                dropped = dropped || (t != QEvent::MouseButtonRelease && t != QEvent::KeyRelease);
                continue;
            }
        } else if (over) {
            // A step of the program's own waits for the window opened over
            // it; the input still held would stand behind that window.
            held().push_back(std::move(h));
            for (Held &rest : batch) {
                if (!rest.fromInput)
                    held().push_back(std::move(rest));
                else if (!rest.event || isPress(rest.event->type()) || rest.event->type() == QEvent::Wheel
                         || rest.event->type() == QEvent::ContextMenu)
                    dropped = true;
            }
            batch.clear();
            waitingFor() = over;
            QObject::connect(over, &QObject::destroyed, QCoreApplication::instance(), [] { postReplay(); });
            break;
        }
        gOpenedDuringReplay = false;
        if (h.event && isPress(h.event->type()))
            pressesHandedOn.insert(h.givenAtMs);
        deliver(h);
        if (h.fromInput && gOpenedDuringReplay)
            windowOpened = true;
        if (!held().empty()) {
            // What was handled started an exchange that held input of its
            // own: the rest of this batch goes first at that one's end.
            for (auto it = batch.rbegin(); it != batch.rend(); ++it)
                held().push_front(std::move(*it));
            if (!waitingFor())
                postReplay();
            break;
        }
    }
    gOpenedDuringReplay = outerOpened || windowOpened;
    --gReplayDepth;
    if (dropped)
        tell(BusyNotice::InputDropped, true);
}
} // namespace

ExchangeScope::ExchangeScope(const void *owner)
{
    if (gExchangeDepth++ == 0) {
        gOwner = owner;
        gLastAbandoned = false;
        ensureGate();
    }
}

ExchangeScope::~ExchangeScope()
{
    if (--gExchangeDepth > 0)
        return;
    gOwner = nullptr;
    gLastAbandoned = gAbandoned;
    answerWindows().clear();
    if (gAbandoned) {
        gAbandoned = false;
        tell(BusyNotice::Stopping, false);
    }
    // Nothing waits for the instrument any more, whatever window opens next.
    showNotice(false);
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

bool abandonExchangeOf(const void *owner)
{
    if (!owner || gExchangeDepth == 0 || gOwner != owner)
        return false;
    abandonExchange();
    return true;
}

const void *exchangeOwner()
{
    return gExchangeDepth > 0 ? gOwner : nullptr;
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
    h.givenAtMs = nowMs();
    noteWhatWasOpen(h);
    held().push_back(std::move(h));
}

void letActDuringExchange(QObject *control, bool on)
{
    if (!control)
        return;
    control->setProperty(ActsProperty, on);
    ensureGate();
}

void letEveryClickCount(QWidget *button)
{
    if (button)
        button->setProperty(EveryClickProperty, true);
}

void letKeyActDuringExchange(QWidget *window, int key)
{
    if (!window)
        return;
    QVariantList keys = window->property(KeysProperty).toList();
    if (!keys.contains(QVariant(key)))
        keys << QVariant(key);
    window->setProperty(KeysProperty, keys);
    ensureGate();
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

void noteLateReplyAwaited(bool on)
{
    tell(BusyNotice::LateReply, on);
}

void noteConnecting(bool on)
{
    tell(BusyNotice::Connecting, on);
}

bool inputHeld()
{
    return !held().empty();
}

ModalWindowScope::ModalWindowScope()
{
    ++gModalScopes;
    modalWindowsChanged();
}

ModalWindowScope::~ModalWindowScope()
{
    --gModalScopes;
    modalWindowsChanged();
}

bool modalWindowOpen()
{
    return gModalOpen;
}

void setModalWindowNotice(std::function<void(bool)> n)
{
    modalNotice() = std::move(n);
    ensureGate();
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
