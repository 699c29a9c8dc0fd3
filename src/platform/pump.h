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

#include <functional>

void pumpEvents();
void waitEvents(int maxMs);
// Installs a replacement pump; an empty function restores the real one.
void setPump(std::function<void()> pump);
