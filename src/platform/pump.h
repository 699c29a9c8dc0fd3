#pragma once
// The event pump of the program's waits and progress steps. Tests replace it
// so that a turn delivers simulator bytes and moves the virtual clock on.
//
// - pumpEvents(): one non-blocking turn: the events pending now are handled
//   and the call returns at once (a progress step, a repaint).
// - waitEvents(maxMs): one turn of a wait loop: sleeps in the event loop until
//   an event arrives (a timer, a serial port's bytes, a window message) or
//   maxMs have passed, then handles what came. A loop around it never keeps a
//   core busy.
// Under a replacement pump both call it once.
//
// One exchange with the instrument at a time. While an ExchangeScope lives (a
// query and its reply, a transfer, a direct action, a dialog's apply) the
// user can go on working: menus and lists open and are moved through, windows
// move and resize, text boxes take typing, Tab moves the focus, scroll bars
// and the wheel scroll. What could start a second exchange is held back by
// the input gate: clicks and keys on other controls, a menu command or a
// choice in an open list, a shortcut. Held input is handled when the
// outermost exchange ends, soon or not at all:
// - input held longer than HeldInputMaxAgeMs gets nothing, nor input that a
//   window (a dialog, a message, a menu, an open list) opened since it was
//   given would now stand over; the status bar then says once that it was
//   not used;
// - once handled input opens such a window, the rest of the held input gets
//   nothing;
// - a control that is gone, hidden or disabled by then, or that was disabled
//   when the input was given, gets nothing;
// - the presses of one button given during one exchange count once;
// - a click or key aimed at a row of a list or tree reaches it only while that
//   row still stands where it stood (a tree rebuilt meanwhile gets nothing).
// Held input never moves the keyboard focus: a press the gate holds is held
// before it could take the focus (the box being typed into keeps it, and its
// half-typed text), and handing it on later moves nothing either.
// The controls marked with letActDuringExchange() (Stop, Disconnect, closing)
// act at once: they end the exchange early with abandonExchange() or, for a
// Stop, abandonExchangeOf(). For them a double click is one press and a key
// held down counts once. A modal window shown while an exchange runs (a
// message of the exchange, waiting for its answer) takes its input at once
// too.

#include <functional>

class Clock;
class QObject;
class QWidget;

void pumpEvents();
void waitEvents(int maxMs);
// Installs a replacement pump; an empty function restores the real one.
void setPump(std::function<void()> pump);

// Input still held this long after it was given (a click: after its press) is
// not used when its exchange ends.
inline constexpr int HeldInputMaxAgeMs = 1500;

class ExchangeScope {
public:
    // owner: who begins the exchange (an item window loading its item), or
    // nobody. The outermost scope's owner is the exchange's.
    explicit ExchangeScope(const void *owner = nullptr);
    ~ExchangeScope();
    ExchangeScope(const ExchangeScope &) = delete;
    ExchangeScope &operator=(const ExchangeScope &) = delete;
};
// True while an ExchangeScope lives.
bool exchangeRunning();
// Handles the events pending now as a turn of this moment does: input the
// gate holds stays held while an exchange runs. Replacement pumps call it to
// let the windows' own events through.
void handlePendingEvents();

// Abandoning the exchange in progress (Stop, Disconnect, a window closed):
// every wait for the instrument ends at once as its time-out does, and no
// further command is sent until the outermost exchange has ended. Nothing
// happens when no exchange runs.
void abandonExchange();
// Abandons the running exchange only when owner began it (the Stop of the
// window whose load it is); true when it did. An exchange somebody else began
// runs to its end.
bool abandonExchangeOf(const void *owner);
// Who began the running exchange (nullptr: nobody, or none runs).
const void *exchangeOwner();
bool exchangeAbandoned();
// The last exchange that ended was abandoned (until the next one begins): what
// it did not bring in was given up by the user, not lost.
bool lastExchangeAbandoned();

// The instrument's pause after a command (the real clock's pause): waits ms
// milliseconds, measured on clock, in the event loop and under the input gate
// (an exchange runs meanwhile), so the windows repaint, menus and typing go on,
// and Stop, Disconnect and closing act. A wait sleeps until an event or the
// deadline; it never keeps a core busy. The pause lasts its full time, so the
// instrument gets all of it after every line. Once the exchange is abandoned
// it lasts at most AbandonedPauseMs from its start: a command's own pause
// (100 ms serial, 200 ms VISA) is still kept whole, so the link is left sound
// for the next line, while the longer waits for the instrument to settle
// (the upload's 500 and 1000 ms, Auto Set's 4000 ms) end early, as nothing
// that needs them follows.
//
// Nothing arrives from the instrument during a pause as far as the link can
// tell: a serial port's receive events held meanwhile (runAfterPause) come in
// the first turn of the event loop after the outermost pause, as they would
// after a sleep, so a reply or block that arrives while its query is being
// paced is taken by the wait that follows.
inline constexpr int AbandonedPauseMs = 200;
void pauseInEventLoop(int ms, const Clock &clock);
// True while such a pause runs.
bool pauseRunning();
// Runs fn in a turn of the event loop after the outermost pause has ended (at
// once when no pause runs), in the order given.
void runAfterPause(std::function<void()> fn);

// Runs fn when no exchange runs: at once when none does, otherwise after the
// outermost one has ended (in a later turn of the event loop), in the order
// given, together with the held input. It is never dropped; while a modal
// window opened since it was asked for stays open, it waits for it to close.
void runAfterExchange(std::function<void()> fn);

// Lets the input of control (a widget and its children, or an action) through
// the gate at once: its handler copes with a running exchange itself.
void letActDuringExchange(QObject *control, bool on = true);
// The second click of a double click on a button, given while the exchange
// that its first click began still runs, is the same press again: it gets
// nothing. A button whose every click is a press of its own (a key of the
// front panel) is exempted with this.
void letEveryClickCount(QWidget *button);
// Lets one key (no modifiers) pressed anywhere inside window through at once.
void letKeyActDuringExchange(QWidget *window, int key);

// Modal windows. A modal window runs a loop of its own on top of the code
// that opened it, so whatever waits in the event loop below it (a continuous
// refresh between two loads) cannot go on until it has closed. The gate notes
// every modal window shown and hidden; a dialog seam that stands for such a
// window without showing one (a test's stand-in) says so with a
// ModalWindowScope for as long as its dialog would be open.
class ModalWindowScope {
public:
    ModalWindowScope();
    ~ModalWindowScope();
    ModalWindowScope(const ModalWindowScope &) = delete;
    ModalWindowScope &operator=(const ModalWindowScope &) = delete;
};
// True while a modal window is open (or a ModalWindowScope lives).
bool modalWindowOpen();
// notice is called with true when the first modal window opens and with false
// when the last one has closed.
void setModalWindowNotice(std::function<void(bool open)> notice);

// The signs a user sees of the above, in the main window's status bar:
// - Stopping: on when an exchange is abandoned, off when it has ended;
// - InputHeld: on when the gate first holds input during an exchange, off
//   when the exchange ends;
// - InputDropped: held input was not used (too old, or a window opened over
//   it); shown for a moment, never switched off;
// - Refused: a press that would have started a second exchange was refused
//   (refuseWhileBusy(); also beeps); shown for a moment, never switched off;
// - RefreshPaused: a continuous refresh waits while a dialog is open on top
//   of it;
// - LateReply: the link waits for the end of a reply it gave up (a time-out,
//   a Stop) before the next line goes out; off when that wait ends;
// - Connecting: the program opens the link and identifies the instrument
//   (up to a reply's time-out when it does not answer); off when it is done.
enum class BusyNotice { InputHeld, InputDropped, Stopping, Refused, RefreshPaused, LateReply, Connecting };
void setBusyNotice(std::function<void(BusyNotice notice, bool on)> notice);
void refuseWhileBusy();
void noteRefreshPaused(bool on);
void noteLateReplyAwaited(bool on);
void noteConnecting(bool on);
// True while held input waits for the end of the exchange.
bool inputHeld();
