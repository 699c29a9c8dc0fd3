#include "workspace/itemrefresh.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/focusreturn.h"
#include "platform/ui/ui.h"
#include "texts/messagetable.h"

#include <QWidget>

#include <optional>

namespace {

bool connected()
{
    return app().link.LinkConnected != 0;
}

int intervalMs()
{
    return qMax(1, int(app().shell.RefreshInterval));
}

// The Refresh button disabled while its load runs (or its stop unwinds, or a
// window stands over the refresh) gets the keyboard focus back with its
// enabling, when it had it.
FocusReturn gButtonFocus;

} // namespace

bool &autoRefreshOn(RefreshKind kind)
{
    AutoRefreshFlags &f = app().measure.AutoRefresh;
    switch (kind) {
    case RefreshKind::Wave: return f.WaveAutoRefreshOn;
    case RefreshKind::Data: return f.DataAutoRefreshOn;
    case RefreshKind::Measure: break;
    }
    return f.MeasAutoRefreshOn;
}

namespace {

// The Refresh command whose load or loop is innermost on the stack, and
// whether a press has already asked it to stop.
const RefreshWindow *gRunning = nullptr;
bool gStopAsked = false;
int gPauseDepth = 0;

class RunningRefresh {
public:
    explicit RunningRefresh(const RefreshWindow &w) : outer_(gRunning), outerStopAsked_(gStopAsked)
    {
        gRunning = &w;
        gStopAsked = false;
    }
    ~RunningRefresh()
    {
        gRunning = outer_;
        gStopAsked = outerStopAsked_;
        if (!outer_)
            gPauseDepth = 0;
    }
    RunningRefresh(const RunningRefresh &) = delete;
    RunningRefresh &operator=(const RunningRefresh &) = delete;

private:
    const RefreshWindow *outer_;
    bool outerStopAsked_;
};

// A modal window open over a continuous refresh (a file dialog, a message, a
// dialog of any kind, opened between two loads or by a load): the refresh
// cannot go on until it closes, and shows that it waits. Not the message of a
// load that failed (a reply that did not come, the link lost): that refresh
// ends when the message closes, and nothing says it will go on.
std::optional<RefreshPause> &modalPause()
{
    static std::optional<RefreshPause> p;
    return p;
}

void pauseWhileModal(bool open)
{
    if (!open)
        modalPause().reset();
    else if (!modalPause() && connected() && !exchangeFailed())
        modalPause().emplace();
}

// A press (in window pressed) that ends the running continuous refresh of its
// kind: the button shows Refresh, disabled, at once; the loop below unwinds
// and enables it. The exchange in progress is given up only when it is the
// pressed window's own load: one the window did not begin runs to its end.
void askRunningToStop(const RefreshWindow &pressed)
{
    const RefreshWindow &r = *gRunning;
    autoRefreshOn(r.kind) = false;
    gStopAsked = true;
    abandonExchangeOf(pressed.window);
    if (!r.unloaded()) {
        r.setRefreshPictures(false);
        disableKeepingFocus(r.button, gButtonFocus);
    }
}

} // namespace

void RunItemRefresh(const RefreshWindow &w)
{
    AutoRefreshFlags &f = app().measure.AutoRefresh;
    bool &on = autoRefreshOn(w.kind);
    for (RefreshKind other : {RefreshKind::Wave, RefreshKind::Data, RefreshKind::Measure})
        if (other != w.kind && autoRefreshOn(other))
            return;
    if (gRunning) {
        const bool sameKind = gRunning->kind == w.kind;
        const bool sameWindow = sameKind && gRunning->slot == w.slot;
        if (exchangeRunning()) {
            // A press during a load: it stops the running continuous refresh
            // of its kind, once; anything else would start a second exchange
            // inside the first.
            if (sameKind && on)
                askRunningToStop(w);
            else if (!(sameKind && gStopAsked) && w.button && w.button->isEnabled())
                refuseWhileBusy();
            return;
        }
        // Between two loads: a press in the refreshing window stops it, once;
        // a press in another window of the kind takes over (below).
        if (sameWindow || (sameKind && gStopAsked)) {
            if (on)
                askRunningToStop(w);
            return;
        }
    }
    // A disabled button (a load runs) takes no press, from the mouse or a key.
    if (!w.button || !w.button->isEnabled())
        return;
    if (exchangeRunning()) {
        refuseWhileBusy();
        return;
    }
    const RunningRefresh running(w);
    // Ends the running one at its next test, here or in another window.
    on = false;
    *w.refreshActive = true;
    bool *refreshing = w.refreshing();
    if (!refreshing)
        return;
    if (!*refreshing) {
        *w.refreshDoc = qint16(w.slot);
        if (app().transfer.TransferBusy) {
            // refused; the closing steps below
        } else if (!connected()) {
            ui().message(MsgIcon::Exclamation, QStringLiteral("Kelvoscope"), message(Msg::MsgConnectFirst),
                         MsgButtons::Ok);
        } else if (app().shell.RefreshType == QLatin1String("Single")) {
            disableKeepingFocus(w.button, gButtonFocus);
            w.load();
        } else {
            // Each tick of the refresh clock releases one load, whatever the
            // interval option says by then.
            const auto loadOnce = [&w, &f] {
                w.load();
                f.RefreshElapsed = 0;
                w.clock->stop();
                w.clock->start(intervalMs());
            };
            w.setRefreshPictures(true);
            *refreshing = true;
            on = true;
            setModalWindowNotice(pauseWhileModal);
            loadOnce();
            while (on && connected() && !app().transfer.TransferBusy && !w.unloaded()) {
                // What waits for the end of an exchange (a Disconnect given
                // during an upload run from this loop's wait, held input) is
                // handled before the next load begins.
                if (f.RefreshElapsed != 0 && !inputHeld()) {
                    f.RefreshElapsed = 0;
                    w.clock->stop();
                    loadOnce();
                    continue;
                }
                waitEvents(intervalMs());
            }
        }
    }
    // Every path ends here. A window that unloaded meanwhile leaves its
    // controls alone (its unload has ended the refresh).
    if (w.unloaded())
        return;
    w.setRefreshPictures(false);
    if (bool *now = w.refreshing())
        *now = false;
    on = false;
    w.clock->stop();
    enableGivingFocusBack(w.button, gButtonFocus);
}

RefreshPause::RefreshPause()
{
    if (!gRunning || !autoRefreshOn(gRunning->kind) || gPauseDepth++ > 0)
        return;
    paused_ = true;
    if (!gRunning->unloaded()) {
        gRunning->setRefreshPictures(false);
        disableKeepingFocus(gRunning->button, gButtonFocus);
    }
    noteRefreshPaused(true);
}

RefreshPause::~RefreshPause()
{
    if (!paused_)
        return;
    noteRefreshPaused(false);
    if (!gRunning)
        return;
    gPauseDepth = 0;
    if (gRunning->unloaded())
        return;
    if (autoRefreshOn(gRunning->kind)) {
        gRunning->setRefreshPictures(true);
        enableGivingFocusBack(gRunning->button, gButtonFocus);
    }
}

bool refreshPaused()
{
    return gPauseDepth > 0;
}

void EndItemRefreshOnUnload(RefreshKind kind, const std::function<void()> &stopRunning)
{
    bool &on = autoRefreshOn(kind);
    if (!on)
        return;
    on = false;
    stopRunning();
}
