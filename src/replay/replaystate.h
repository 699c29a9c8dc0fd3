#pragma once
// Program-wide state of the record replay: the hooks through which the
// replay windows tell the data sheet what they changed. The data sheet sets
// them; each may stay empty.

#include <functional>

struct ReplayState {
    // Called after a replay window's caption changed (a file opened), with
    // the window's slot.
    std::function<void(int slot)> CaptionChanged;
};
