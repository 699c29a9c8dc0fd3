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
    // The window itself: its loads are exchanges it begins (their owner).
    const QWidget *window = nullptr;
    // The window's refresh clock; its tick stores its interval in
    // RefreshElapsed.
    ClockTimer *clock = nullptr;
};

// The "continuous refresh on" flag of kind.
bool &autoRefreshOn(RefreshKind kind);

// The Refresh press of a window (its button, or F5). Refused silently while a
// continuous refresh of another kind runs. A press ends a running continuous
// refresh of its own kind (in this window or another): the button shows
// Refresh, disabled until the loop has unwound, at once; further presses
// meanwhile do nothing. The exchange in progress is abandoned only when it is
// the pressed window's own load; any other (an upload or download, an edit's
// apply, another window's load) runs to its end, and the refresh ends after
// it. A press on a disabled button does nothing; one that would start a
// second exchange (a load or another exchange runs) is refused with the busy
// sign. Then, unless the item already refreshes:
// nothing while a transfer runs; "connect first" without a link; one load with
// the button off for the "Single" option; otherwise a continuous refresh.
// At the end a window still loaded shows Refresh again, with its item no
// longer refreshing and its clock stopped. A window that unloaded meanwhile is
// left alone (its unload has ended the refresh).
void RunItemRefresh(const RefreshWindow &w);

// While a RefreshPause lives (a modal dialog runs on top of a continuous
// refresh's loop, which cannot go on meanwhile), the refreshing window shows
// it: its button shows Refresh, disabled, and the status bar says the refresh
// is paused. The refresh goes on when the dialog closes. Nothing happens when
// no continuous refresh runs.
class RefreshPause {
public:
    RefreshPause();
    ~RefreshPause();
    RefreshPause(const RefreshPause &) = delete;
    RefreshPause &operator=(const RefreshPause &) = delete;

private:
    bool paused_ = false;
};
bool refreshPaused();

// A window of kind unloads: a running continuous refresh of that kind ends,
// and stopRunning lets the refreshing window show Refresh again and its item
// stop refreshing. Nothing happens while none runs.
void EndItemRefreshOnUnload(RefreshKind kind, const std::function<void()> &stopRunning);
