#include "replay/replayengine.h"

#include "app/appstate.h"
#include "platform/clock.h"
#include "values/normvalue.h"
#include "values/rounding.h"

#include <algorithm>
#include <limits>

ReplayControls::ReplayControls()
{
    play[ReplayButton::Replay].disabled = ReplayImage::ReplayGrey;
    play[ReplayButton::Pause].disabled = ReplayImage::PauseGrey;
    play[ReplayButton::Stop].disabled = ReplayImage::StopGrey;
}

ReplayEngine::ReplayEngine(int slot)
    : slot_(slot), frameClock_(appClock().makeTimer()), speedTimer_(appClock().makeTimer())
{
    frameClock_->onTimeout = [this] { frameTick(); };
    speedTimer_->onTimeout = [this] { speedTick(); };
}

ReplayEngine::~ReplayEngine() = default;

ReplayInfo &ReplayEngine::rec() const
{
    auto &replays = app().Sheet.Replays;
    const int s = slot_ >= 0 && slot_ < int(replays.size()) ? slot_ : 0;
    return replays[size_t(s)];
}

void ReplayEngine::changed()
{
    if (controlsChanged)
        controlsChanged();
}

int ReplayEngine::clockMs(double seconds)
{
    const double ms = RoundHalfEven(seconds * 1000.0);
    if (!(ms >= 1))
        return 1;
    return ms > 60000 ? 60000 : int(ms);
}

QString ReplayEngine::intervalText(double seconds)
{
    return FormatTime4(QString::number(seconds, 'g', 15));
}

void ReplayEngine::SetRecordReplayStatus(quint8 newStatus)
{
    ReplayInfo &r = rec();
    auto &b = controls.play;
    switch (r.Status) {
    case ReplayInfo::Replaying:
        b[ReplayButton::Replay].disabled = ReplayImage::ReplayGrey;
        b[ReplayButton::Replay].enabled = true;
        break;
    case ReplayInfo::Paused:
        b[ReplayButton::Pause].disabled = ReplayImage::PauseGrey;
        b[ReplayButton::Pause].enabled = true;
        break;
    case ReplayInfo::Stopped:
        b[ReplayButton::Stop].disabled = ReplayImage::StopGrey;
        b[ReplayButton::Stop].enabled = true;
        break;
    default: break;
    }
    switch (newStatus) {
    case ReplayInfo::Replaying:
        b[ReplayButton::Replay].disabled = ReplayImage::ReplayLatched;
        b[ReplayButton::Replay].enabled = false;
        controls.addEnabled = controls.subEnabled = controls.defaultTimeEnabled = false;
        break;
    case ReplayInfo::Paused:
        b[ReplayButton::Pause].disabled = ReplayImage::PauseLatched;
        b[ReplayButton::Pause].enabled = false;
        controls.addEnabled = controls.subEnabled = controls.defaultTimeEnabled = true;
        frameClock_->stop();
        break;
    case ReplayInfo::Stopped:
        b[ReplayButton::Stop].disabled = ReplayImage::StopLatched;
        b[ReplayButton::Stop].enabled = false;
        controls.addEnabled = controls.subEnabled = controls.defaultTimeEnabled = true;
        frameClock_->stop();
        break;
    default: break;
    }
    // The frame clock runs only while Replaying: StartReplay starts it after
    // the first picture is drawn.
    r.Status = newStatus;
    changed();
}

void ReplayEngine::RecordReplayPause()
{
    frameClock_->stop();
    SetRecordReplayStatus(ReplayInfo::Paused);
    if (dispMsg)
        dispMsg();
}

void ReplayEngine::StartReplay()
{
    ReplayInfo &r = rec();
    // Nothing to replay without a file or without a frame (a damaged data
    // sheet record, or one stored before it was ever replayed: its frames
    // were not stored).
    if (!r.FileLoaded || r.FrameCount < 1 || r.Samples.size() < ReplayInfo::FrameSize)
        return;
    if (r.CurrentFrame == r.FrameCount && !r.LoopReplay)
        r.CurrentFrame = 1;
    NormalizeFrameIndex(r.CurrentFrame);
    frameClock_->stop();
    SetRecordReplayStatus(ReplayInfo::Replaying);
    r.FileLoaded = true;
    r.ReplayStarted = true;
    // The slider goes to the frame the replay starts from (a single pass
    // that ended starts again at 1): left on the last frame, it would not
    // move when the replay reached that frame again, and the frame would not
    // be drawn. Moving, it draws the frame through its change event.
    const int sliderBefore = controls.sliderValue;
    setSliderValue(r.CurrentFrame);
    if (controls.sliderValue == sliderBefore && redrawFrame)
        redrawFrame();
    if (dispMsg)
        dispMsg();
    frameClock_->start(clockMs(r.Interval));
}

void ReplayEngine::StopReplay()
{
    frameClock_->stop();
    rec().CurrentFrame = 1;
    setSliderValue(1);
    SetRecordReplayStatus(ReplayInfo::Stopped);
    if (dispMsg)
        dispMsg();
}

void ReplayEngine::GoToFirstFrame()
{
    ReplayInfo &r = rec();
    r.CurrentFrame = r.FirstFrame;
    NormalizeFrameIndex(r.CurrentFrame);
    setSliderValue(r.CurrentFrame);
}

void ReplayEngine::GoToLastFrame()
{
    ReplayInfo &r = rec();
    r.CurrentFrame = r.FrameCount;
    NormalizeFrameIndex(r.CurrentFrame);
    setSliderValue(r.CurrentFrame);
}

void ReplayEngine::NextFrame()
{
    frameClock_->stop();
    ReplayInfo &r = rec();
    qint16 f = qint16(std::min<int>(r.CurrentFrame + 1, std::numeric_limits<qint16>::max()));
    r.CurrentFrame = NormalizeFrameIndex(f);
    setSliderValue(r.CurrentFrame);
    if (rec().Status == ReplayInfo::Replaying)
        SetRecordReplayStatus(ReplayInfo::Paused);
    if (dispMsg)
        dispMsg();
}

void ReplayEngine::PreviousFrame()
{
    frameClock_->stop();
    ReplayInfo &r = rec();
    qint16 f = qint16(std::max<int>(r.CurrentFrame - 1, std::numeric_limits<qint16>::min()));
    r.CurrentFrame = NormalizeFrameIndex(f);
    setSliderValue(r.CurrentFrame);
    if (rec().Status == ReplayInfo::Replaying)
        SetRecordReplayStatus(ReplayInfo::Paused);
    if (dispMsg)
        dispMsg();
}

qint16 ReplayEngine::NormalizeFrameIndex(qint16 &frame)
{
    const ReplayInfo &r = rec();
    if (frame <= 0)
        frame = 1;
    else if (frame > r.FrameCount)
        frame = r.LoopReplay ? 1 : std::max<qint16>(r.FrameCount, 1);
    if (dispMsg)
        dispMsg();
    return frame;
}

void ReplayEngine::showLoopPictures()
{
    PictureButtonState &b = controls.play[ReplayButton::Loop];
    if (rec().LoopReplay) {
        b.normal = b.over = b.down = ReplayImage::LoopLatched;
    } else {
        b.normal = ReplayImage::LoopFlat;
        b.over = ReplayImage::LoopRaised;
        b.down = ReplayImage::LoopSunken;
    }
    changed();
}

void ReplayEngine::ToggleCirculation()
{
    ReplayInfo &r = rec();
    r.LoopReplay = !r.LoopReplay;
    showLoopPictures();
}

void ReplayEngine::playClicked(int index)
{
    if (index < 0 || index >= ReplayButton::Count || !controls.play[size_t(index)].enabled)
        return;
    switch (index) {
    case ReplayButton::Replay: StartReplay(); break;
    case ReplayButton::Pause: RecordReplayPause(); break;
    case ReplayButton::Stop: StopReplay(); break;
    case ReplayButton::First: GoToFirstFrame(); break;
    case ReplayButton::Last: GoToLastFrame(); break;
    case ReplayButton::Next: NextFrame(); break;
    case ReplayButton::Previous: PreviousFrame(); break;
    case ReplayButton::Loop: ToggleCirculation(); break;
    default: break;
    }
}

void ReplayEngine::frameTick()
{
    ReplayInfo &r = rec();
    if (r.Status != ReplayInfo::Replaying || r.FrameCount < 1) {
        frameClock_->stop();
        return;
    }
    qint16 f = qint16(std::min<int>(r.CurrentFrame + 1, std::numeric_limits<qint16>::max()));
    r.CurrentFrame = NormalizeFrameIndex(f);
    setSliderValue(r.CurrentFrame);
    // A single pass that stays on its frame (a record of one frame) moves
    // no slider, so no slider change ends it: end it here the same way.
    if (r.Status == ReplayInfo::Replaying)
        pauseAtTheEnd();
}

void ReplayEngine::setSliderValue(int value)
{
    value = std::clamp(value, controls.sliderMin, std::max(controls.sliderMin, controls.sliderMax));
    if (value == controls.sliderValue)
        return;
    controls.sliderValue = value;
    changed();
    sliderChanged();
}

void ReplayEngine::setSliderRange(bool enabled, int minimum, int maximum, int value)
{
    controls.sliderEnabled = enabled;
    controls.sliderMax = maximum;
    if (controls.sliderMin > controls.sliderMax)
        controls.sliderMin = controls.sliderMax;
    if (controls.sliderValue > controls.sliderMax) {
        controls.sliderValue = controls.sliderMax;
        sliderChanged();
    }
    controls.sliderMin = std::min(minimum, controls.sliderMax);
    if (controls.sliderValue < controls.sliderMin) {
        controls.sliderValue = controls.sliderMin;
        sliderChanged();
    }
    changed();
    setSliderValue(value);
}

void ReplayEngine::sliderChanged()
{
    ReplayInfo &r = rec();
    if (controls.sliderValue != r.CurrentFrame) {
        r.CurrentFrame = qint16(std::clamp(controls.sliderValue, -32768, 32767));
        NormalizeFrameIndex(r.CurrentFrame);
    }
    if (r.ReplayStarted && redrawFrame)
        redrawFrame();
    pauseAtTheEnd();
}

void ReplayEngine::pauseAtTheEnd()
{
    ReplayInfo &r = rec();
    if (r.CurrentFrame == r.FrameCount && !r.LoopReplay && r.FrameCount >= 1) {
        const bool wasPaused = r.Status == ReplayInfo::Paused;
        SetRecordReplayStatus(ReplayInfo::Paused);
        // The status line shows the pause (the frame's own redraw showed the
        // status before it).
        if (!wasPaused && dispMsg)
            dispMsg();
    }
}

void ReplayEngine::sliderClick()
{
    ReplayInfo &r = rec();
    r.CurrentFrame = qint16(std::clamp(controls.sliderValue, -32768, 32767));
    NormalizeFrameIndex(r.CurrentFrame);
}

void ReplayEngine::sliderMouseDown()
{
    if (rec().Status == ReplayInfo::Replaying) {
        RecordReplayPause();
        resumeAfterSlider_ = true;
    } else {
        resumeAfterSlider_ = false;
    }
}

void ReplayEngine::sliderMouseUp()
{
    if (resumeAfterSlider_) {
        resumeAfterSlider_ = false;
        StartReplay();
    }
}

double ReplayEngine::step() const { return rec().Interval > 1.0 ? 0.01 : 0.001; }

void ReplayEngine::intervalChanged(double value)
{
    rec().Interval = std::clamp(value, MinInterval, MaxInterval);
    updateIntervalLabel();
}

void ReplayEngine::updateIntervalLabel()
{
    controls.intervalLabel = intervalText(rec().Interval);
    changed();
}

void ReplayEngine::addMouseDown()
{
    if (!controls.addEnabled)
        return;
    speedTicks_ = 0;
    intervalChanged(rec().Interval + step());
    speedTimer_->start(SpeedTickMs);
    intervalStepUp_ = true;
}

void ReplayEngine::subMouseDown()
{
    if (!controls.subEnabled)
        return;
    speedTicks_ = 0;
    intervalChanged(rec().Interval - step());
    speedTimer_->start(SpeedTickMs);
    intervalStepUp_ = false;
}

void ReplayEngine::intervalMouseUp() { speedTimer_->stop(); }

void ReplayEngine::defaultTimeClick()
{
    if (!controls.defaultTimeEnabled)
        return;
    rec().Interval = ReplayInfo::NewItemInterval;
    updateIntervalLabel();
}

void ReplayEngine::speedTick()
{
    if (speedTicks_ < std::numeric_limits<qint16>::max())
        ++speedTicks_;
    int m = 50;
    if (speedTicks_ <= 5)
        m = 0;
    else if (speedTicks_ <= 10)
        m = 2;
    else if (speedTicks_ <= 15)
        m = 5;
    else if (speedTicks_ <= 20)
        m = 10;
    else if (speedTicks_ <= 50)
        m = 20;
    const double s = step();
    intervalChanged(intervalStepUp_ ? rec().Interval + m * s : rec().Interval - m * s);
}
