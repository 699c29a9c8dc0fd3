#pragma once
// The key controls the virtual keyboard and the screen-mirror panel share:
// the knob arrow button, which reports press and release apart, and the
// builder that puts the 42 keys into their frames and wires them to the
// command channel and a knob repeat.

#include "platform/ui/holdbutton.h"

#include <QPushButton>
#include <QString>

#include <map>

class KnobRepeater;
class QGroupBox;
class QWidget;

// A knob arrow: knobPressed on a press of any mouse button, knobReleased on
// its release, which reaches this button even when the pointer has left it,
// or when a window opened over its window takes the mouse meanwhile.
class KnobButton final : public QPushButton {
    Q_OBJECT
public:
    explicit KnobButton(const QString &text, QWidget *parent = nullptr);

signals:
    void knobPressed();
    void knobReleased();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    HoldWatch *watch_;
};

// Moves window to the centre of its screen's free area (before it is shown,
// so that it stays there instead of opening over its owner).
void centreOnScreen(QWidget *window);

struct PanelKeys {
    // The key frames by name: ONOFF, Frame4, MENU, RUN, Vertical, Horizontal,
    // Trigger. The soft keys VK_F1..VK_F5 sit on the parent itself.
    std::map<QString, QGroupBox *> frames;
    std::map<QString, QPushButton *> keys; // by control name
};

// Builds the keys on parent. Click keys send their line; knob arrows drive
// knob. keyboardExtraClick: a completed click on VK_V_Pos_Inc also sends
// ":KEY:V_POS_INC" (the keyboard window does, the panel does not).
PanelKeys buildPanelKeys(QWidget *parent, KnobRepeater &knob, bool keyboardExtraClick);

// VK_La shown and enabled exactly when present.
void setLaKey(PanelKeys &keys, bool present);
