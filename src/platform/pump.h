#pragma once
// The event pump every wait loop calls: one turn of the window system's
// messages. Tests replace it so that a turn delivers simulator bytes and moves
// the virtual clock on.

#include <functional>

void pumpEvents();
// Installs a replacement pump; an empty function restores the real one.
void setPump(std::function<void()> pump);
