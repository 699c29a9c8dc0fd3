#pragma once
// The replay engine of one replay window: the status (Replaying, Pause,
// Stop), the frame clock, the eight replay buttons, the frame slider and the
// three interval buttons. It works on the record of its slot in
// app().Sheet.Replays and keeps the state of the controls in a plain struct
// that the window shows; it never touches a widget. Drawing goes through two
// callbacks (the window's RedrawFrame and DispMsg).
//
// The slider model raises its change event whenever its value changes, by
// the user or by the engine, as the window's slider does; the engine's frame
// tick draws through that event.
//
// Timers come from appClock(), so tests run the engine on the virtual clock.

#include "common/replayinfo.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class ClockTimer;

// Button images, numbered as in the window's image list.
namespace ReplayImage {
inline constexpr int LoopFlat = 1;
inline constexpr int LoopLatched = 2;
inline constexpr int ReplayLatched = 3;
inline constexpr int ReplayGrey = 4;
inline constexpr int PauseLatched = 5;
inline constexpr int PauseGrey = 6;
inline constexpr int StopLatched = 7;
inline constexpr int StopGrey = 8;
inline constexpr int LoopRaised = 9;
inline constexpr int LoopSunken = 10;
inline constexpr int Count = 10;
} // namespace ReplayImage

// Indexes of the replay buttons.
namespace ReplayButton {
inline constexpr int Replay = 0;
inline constexpr int Pause = 1;
inline constexpr int Stop = 2;
inline constexpr int First = 3;
inline constexpr int Last = 4;
inline constexpr int Next = 5;
inline constexpr int Previous = 6;
inline constexpr int Loop = 7;
inline constexpr int Count = 8;
} // namespace ReplayButton

struct PictureButtonState {
    bool enabled = true;
    int normal = 0;   // image of the normal state (0 = the button's own)
    int over = 0;
    int down = 0;
    int disabled = 0;
    bool operator==(const PictureButtonState &) const = default;
};

struct ReplayControls {
    std::array<PictureButtonState, ReplayButton::Count> play{};
    bool addEnabled = true;
    bool subEnabled = true;
    bool defaultTimeEnabled = true;
    bool sliderEnabled = true;
    int sliderMin = 1;
    int sliderMax = 1000;
    int sliderValue = 1;
    QString intervalLabel;
    ReplayControls();
};

class ReplayEngine {
public:
    static constexpr double MinInterval = 0.001;
    static constexpr double MaxInterval = 60.0;
    static constexpr int SpeedTickMs = 100;

    explicit ReplayEngine(int slot = 0);
    ~ReplayEngine();
    ReplayEngine(const ReplayEngine &) = delete;
    ReplayEngine &operator=(const ReplayEngine &) = delete;

    void setSlot(int slot) { slot_ = slot; }
    int slot() const { return slot_; }
    // The record of the slot (a slot outside 0..4 reads slot 0's; the window
    // never has one).
    ReplayInfo &rec() const;

    ReplayControls controls;
    std::function<void()> redrawFrame;      // RedrawFrame of the window
    std::function<void()> dispMsg;          // DispMsg of the window
    std::function<void()> controlsChanged;  // the controls must be shown anew

    // Status and buttons.
    void SetRecordReplayStatus(quint8 newStatus);
    void RecordReplayPause();
    void StartReplay();
    void StopReplay();
    void GoToFirstFrame();
    void GoToLastFrame();
    void NextFrame();
    void PreviousFrame();
    void ToggleCirculation();
    qint16 NormalizeFrameIndex(qint16 &frame);
    void playClicked(int index);
    // Loop button pictures of the record's mode.
    void showLoopPictures();

    // Slider. setSliderValue clamps to the range and raises the change event
    // when the value changes; setSliderRange sets maximum, minimum, value in
    // that order (each may raise it).
    void setSliderValue(int value);
    void setSliderRange(bool enabled, int minimum, int maximum, int value);
    void sliderClick();
    void sliderMouseDown();
    void sliderMouseUp();

    // Interval buttons.
    void addMouseDown();
    void subMouseDown();
    void intervalMouseUp();
    void defaultTimeClick();
    void updateIntervalLabel();

    // Timer ticks (public for the window; the timers call them).
    void frameTick();
    void speedTick();

    ClockTimer &frameClock() const { return *frameClock_; }
    ClockTimer &speedTimer() const { return *speedTimer_; }
    int speedTicks() const { return speedTicks_; }

    // Frame clock interval of an interval in seconds: whole milliseconds,
    // halves to even, 1..60000.
    static int clockMs(double seconds);
    // The interval label text.
    static QString intervalText(double seconds);

private:
    void sliderChanged();
    // A single replay on its last frame pauses there.
    void pauseAtTheEnd();
    void changed();
    double step() const;
    void intervalChanged(double value);

    int slot_ = 0;
    std::unique_ptr<ClockTimer> frameClock_;
    std::unique_ptr<ClockTimer> speedTimer_;
    bool resumeAfterSlider_ = false;
    bool intervalStepUp_ = false;
    qint16 speedTicks_ = 0;
};
