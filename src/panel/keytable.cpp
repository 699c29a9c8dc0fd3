#include "panel/keytable.h"

#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "platform/pump.h"

#include <algorithm>
#include <array>

namespace {

constexpr KeySends C = KeySends::Click;
constexpr KeySends K = KeySends::Knob;

constexpr std::array<VirtualKeyDef, 42> Keys{{
    {"VK_Menu_Off", ":KEY:MNUOFF", C, "ONOFF", "ON/OFF"},
    {"VK_F_DEC", ":KEY:-FUNCTION", K, "Frame4", "\u25C0"},
    {"VK_F_F", ":KEY:FUNCTION", C, "Frame4", "\u25A0"},
    {"VK_F_INC", ":KEY:+FUNCTION", K, "Frame4", "\u25B6"},
    {"VK_F1", ":KEY:F1", C, "Soft", "F1"},
    {"VK_F2", ":KEY:F2", C, "Soft", "F2"},
    {"VK_F3", ":KEY:F3", C, "Soft", "F3"},
    {"VK_F4", ":KEY:F4", C, "Soft", "F4"},
    {"VK_F5", ":KEY:F5", C, "Soft", "F5"},
    {"VK_Measure", ":KEY:MEASURE", C, "MENU", "Measure"},
    {"VK_Acquire", ":KEY:ACQUIRE", C, "MENU", "Acquire"},
    {"VK_Storage", ":KEY:STORAGE", C, "MENU", "Storage"},
    {"VK_Cursor", ":KEY:CURSOR", C, "MENU", "Cursor"},
    {"VK_Display", ":KEY:DISPLAY", C, "MENU", "Display"},
    {"VK_Utility", ":KEY:UTILITY", C, "MENU", "Utility"},
    {"VK_Auto", ":KEY:AUTO", C, "RUN", "AUTO"},
    {"VK_Run", ":KEY:RUN", C, "RUN", "RUN/STOP"},
    {"VK_CH1", ":KEY:CHANNEL1", C, "Vertical", "CH1"},
    {"VK_CH2", ":KEY:CHANNEL2", C, "Vertical", "CH2"},
    {"VK_Math", ":KEY:MATH", C, "Vertical", "MATH"},
    {"VK_Ref", ":KEY:REF", C, "Vertical", "REF"},
    {"VK_La", ":KEY:LA", C, "Vertical", "LA"},
    {"VK_CH_Off", ":KEY:OFF", C, "Vertical", "OFF"},
    {"VK_V_Pos_Inc", ":KEY:V_POS_INC", K, "Vertical", "\u25B2"},
    {"VK_P_V_P", ":KEY:PROMPT_V_POS", C, "Vertical", "\u25A0"},
    {"VK_V_Pos_Dec", ":KEY:V_POS_DEC", K, "Vertical", "\u25BC"},
    {"VK_V_Inc", ":KEY:V_SCALE_INC", C, "Vertical", "\u25B2"},
    {"VK_P_V", ":KEY:PROMPT_V", C, "Vertical", "\u25A0"},
    {"VK_V_Dec", ":KEY:V_SCALE_DEC", C, "Vertical", "\u25BC"},
    {"VK_TimeMenu", ":KEY:MNUTIME", C, "Horizontal", "MENU"},
    // The horizontal position pair is crossed on purpose: the left arrow
    // sends INC and the right arrow DEC, as the instrument expects.
    {"VK_H_Pos_Dec", ":KEY:H_POS_INC", K, "Horizontal", "\u25C0"},
    {"VK_P_H_P", ":KEY:PROMPT_H_POS", C, "Horizontal", "\u25A0"},
    {"VK_H_Pos_Inc", ":KEY:H_POS_DEC", K, "Horizontal", "\u25B6"},
    {"VK_H_Dec", ":KEY:H_SCALE_DEC", C, "Horizontal", "\u25C0"},
    {"VK_P_H", ":KEY:PROMPT_H", C, "Horizontal", "\u25A0"},
    {"VK_H_Inc", ":KEY:H_SCALE_INC", C, "Horizontal", "\u25B6"},
    {"VK_Trig_Lvl_Inc", ":KEY:TRIG_LVL_INC", K, "Trigger", "\u25B2"},
    {"VK_P_L", ":KEY:PROMPT_TRIG_LVL", C, "Trigger", "\u25A0"},
    {"VK_Trig_Lvl_Dec", ":KEY:TRIG_LVL_DEC", K, "Trigger", "\u25BC"},
    {"VK_Trig_Menu", ":KEY:MNUTRIG", C, "Trigger", "MENU"},
    {"VK_Trig_50", ":KEY:TRIG%50", C, "Trigger", "50%"},
    {"VK_Trig_Force", ":FORCETRIG", C, "Trigger", "FORCE"},
}};

} // namespace

std::span<const VirtualKeyDef> virtualKeys()
{
    return Keys;
}

const VirtualKeyDef *virtualKey(const QString &control)
{
    for (const VirtualKeyDef &k : Keys)
        if (control == QLatin1String(k.control))
            return &k;
    return nullptr;
}

int knobStep(int count)
{
    if (count > 50)
        return 50;
    if (count > 20)
        return 20;
    if (count > 15)
        return 10;
    if (count > 10)
        return 5;
    if (count > 5)
        return 2;
    return 0;
}

QString knobLine(const QString &command, int step)
{
    return command + QLatin1Char(' ') + QString::number(step);
}

KnobRepeater::KnobRepeater(std::function<void(const QString &)> send)
    : send_(std::move(send)), ButtonPressTimer(appClock().makeTimer())
{
    ButtonPressTimer->setSingleShot(true);
    ButtonPressTimer->onTimeout = [this] { tick(); };
}

KnobRepeater::~KnobRepeater()
{
    ButtonPressTimer->stop();
}

void KnobRepeater::send(const QString &line)
{
    if (send_)
        send_(line);
    else
        SendCommand(line);
}

void KnobRepeater::press(const QString &command)
{
    ButtonPressTimer->stop();
    KnobCommand = command;
    KnobRepeatCount = 0;
    pressed_ = true;
    send(knobLine(KnobCommand, 0));
    // A release handled while the send ran (it cannot pump, but stay safe)
    // leaves the timer off.
    if (pressed_)
        ButtonPressTimer->start(KnobRepeatMs);
}

void KnobRepeater::release()
{
    pressed_ = false;
    ButtonPressTimer->stop();
}

bool KnobRepeater::running() const
{
    return ButtonPressTimer->isActive();
}

void KnobRepeater::tick()
{
    if (exchangeRunning()) {
        // A screen frame is being read (its pause and read turn the event
        // loop): the repeat follows it, never between its query and reply.
        if (pressed_)
            ButtonPressTimer->start(KnobRepeatMs);
        return;
    }
    KnobRepeatCount = std::min(KnobRepeatCount + 1, KnobRepeatMax);
    send(knobLine(KnobCommand, knobStep(KnobRepeatCount)));
    if (pressed_)
        ButtonPressTimer->start(KnobRepeatMs);
}
