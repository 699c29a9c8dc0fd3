#pragma once
// The event pump every wait loop calls. Tests replace it so that a turn
// delivers simulator bytes and moves the virtual clock on.
//
// pumpEvents() only handles what is pending and returns at once: for progress
// steps that must not slow a transfer down. waitEvents() is for the loops that
// wait for something (a reply, a transfer, the next load of a continuous
// refresh): it sleeps in the event loop until an event arrives or maxMs pass,
// then handles what came, so a wait never keeps a core busy. Under a test pump
// both call the installed pump once.

#include <functional>

void pumpEvents();
void waitEvents(int maxMs);
// Installs a replacement pump; an empty function restores the real one.
void setPump(std::function<void()> pump);
