#pragma once
// The Refresh command of the item windows that load from the instrument: the
// waveform, data table and measure windows. A press loads once ("Single"
// refresh option) or starts a continuous refresh: a load, then one more after
// every tick of the window's refresh clock, until a Refresh press in a window
// of the same kind, a window's unload, a lost link or a busy transfer ends it.
// Only one continuous refresh runs at a time across the three kinds: while one
// runs, a Refresh press in a window of another kind is refused silently.
//
// The flags live in app().measure.AutoRefresh: one "continuous refresh on"
// flag per kind, and RefreshElapsed, which a refresh clock's tick sets to the
// clock's interval.

#include <functional>

#include <QtGlobal>

class ClockTimer;
class QWidget;

enum class RefreshKind { Wave, Data, Measure };

// What a window gives the Refresh command: its item's flags, its own load and
// its own controls.
struct RefreshWindow {
    RefreshKind kind = RefreshKind::Wave;
    int slot = -1;
    // The kind's "slot of the last Refresh press" and "a Refresh press came
    // since a window of the kind last unloaded".
    qint16 *refreshDoc = nullptr;
    bool *refreshActive = nullptr;
    // The item's Refreshing flag (null without an item: the press does nothing
    // more).
    std::function<bool *()> refreshing;
    // One load, the window's busy flag set meanwhile.
    std::function<void()> load;
    std::function<bool()> unloaded;
    // The button shows Stop (true) or Refresh (false).
    std::function<void(bool stop)> setRefreshPictures;
    QWidget *button = nullptr;
    // The window's refresh clock; its tick stores its interval in
    // RefreshElapsed.
    ClockTimer *clock = nullptr;
};

// The "continuous refresh on" flag of kind.
bool &autoRefreshOn(RefreshKind kind);

// The Refresh press of a window. Refused silently while a continuous refresh
// of another kind runs. A press ends a running continuous refresh of its own
// kind (in this window or another). Then, unless the item already refreshes:
// nothing while a transfer runs; "connect first" without a link; one load with
// the button off for the "Single" option; otherwise a continuous refresh.
// At the end a window still loaded shows Refresh again, with its item no
// longer refreshing and its clock stopped. A window that unloaded meanwhile is
// left alone (its unload has ended the refresh).
void RunItemRefresh(const RefreshWindow &w);

// A window of kind unloads: a running continuous refresh of that kind ends,
// and stopRunning lets the refreshing window show Refresh again and its item
// stop refreshing. Nothing happens while none runs.
void EndItemRefreshOnUnload(RefreshKind kind, const std::function<void()> &stopRunning);
