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
// One exchange with the instrument at a time: while an ExchangeScope lives (a
// query and its reply, a transfer, a direct action, a dialog's apply) the
// turns above hold the user's input (keys, mouse, wheel, touch) back. It stays
// queued and the first ordinary turn after the exchange handles it, so no
// click or key starts a second exchange inside the first. Timers, painting,
// posted calls and the instrument's bytes keep coming, and a wait still
// sleeps. The waits between the loads of a continuous refresh hold no scope:
// Stop and every other action work there at once.

#include <functional>

void pumpEvents();
void waitEvents(int maxMs);
// Installs a replacement pump; an empty function restores the real one.
void setPump(std::function<void()> pump);

class ExchangeScope {
public:
    ExchangeScope();
    ~ExchangeScope();
    ExchangeScope(const ExchangeScope &) = delete;
    ExchangeScope &operator=(const ExchangeScope &) = delete;
};
// True while an ExchangeScope lives.
bool exchangeRunning();
// Handles the events pending now as a turn of this moment does: user input
// stays queued while an exchange runs. Replacement pumps call it to let the
// windows' own events through.
void handlePendingEvents();
