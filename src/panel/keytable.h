#pragma once
// The front-panel keys shared by the virtual keyboard and the screen-mirror
// panel: the 42 keys with their control names and command lines, and the knob
// repeat that sends a knob arrow's line while it is held, with a step that
// grows the longer it is held. No window here.

#include <QString>

#include <functional>
#include <memory>
#include <span>

class ClockTimer;

enum class KeySends {
    Click, // once per click
    Knob,  // on press, then repeating until the release
};

struct VirtualKeyDef {
    const char *control; // VK_... control name
    const char *command; // the line sent (knob keys: without the step)
    KeySends sends;
    const char *group;   // the group the key sits in (window layout)
    const char *face;    // the text the key shows
};

// The 42 keys in table order.
std::span<const VirtualKeyDef> virtualKeys();
// The key of a control name; nullptr when there is none.
const VirtualKeyDef *virtualKey(const QString &control);

// Interval of the knob repeat (ms).
inline constexpr int KnobRepeatMs = 200;
// The repeat count never goes beyond this.
inline constexpr int KnobRepeatMax = 60000;

// The step sent at repeat number count (the count after its increment):
// 1-5 -> 0, 6-10 -> 2, 11-15 -> 5, 16-20 -> 10, 21-50 -> 20, over 50 -> 50.
int knobStep(int count);
// The knob line: command, one blank, the step in decimal.
QString knobLine(const QString &command, int step);

// The knob repeat of one window. press() sends the command with step 0 at
// once and starts the repeat timer after that send has returned; every tick
// sends the next step and restarts the timer after the send, so each repeat
// follows the previous send's return by the interval. release() stops it and
// sends nothing. The timer runs on appClock().
class KnobRepeater {
public:
    // send: how a line goes out (SendCommand when empty).
    explicit KnobRepeater(std::function<void(const QString &)> send = {});
    ~KnobRepeater();
    KnobRepeater(const KnobRepeater &) = delete;
    KnobRepeater &operator=(const KnobRepeater &) = delete;

    void press(const QString &command);
    void release();
    bool running() const;

    QString KnobCommand;     // the command of the knob pressed last
    int KnobRepeatCount = 0; // repeats sent since that press

private:
    void tick();
    void send(const QString &line);

    std::function<void(const QString &)> send_;
    bool pressed_ = false;
    std::unique_ptr<ClockTimer> ButtonPressTimer;
};
