#include "panel/panelkeys.h"

#include "link/cmdfunc.h"
#include "panel/keytable.h"
#include "platform/pump.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

KnobButton::KnobButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setAutoRepeat(false);
    // The release will not come: the repeat stops, and no click follows.
    watch_ = new HoldWatch(this, [this] {
        setDown(false);
        emit knobReleased();
    });
}

void KnobButton::mousePressEvent(QMouseEvent *e)
{
    QPushButton::mousePressEvent(e);
    e->accept();
    watch_->start();
    emit knobPressed();
}

void KnobButton::mouseReleaseEvent(QMouseEvent *e)
{
    watch_->stop();
    // The repeat stops before the click (if any) is reported, so a click's
    // own line never lets one more repeat through.
    emit knobReleased();
    QPushButton::mouseReleaseEvent(e);
    e->accept();
}

namespace {

struct Place {
    const char *control;
    int row;
    int col;
};

// Where each key sits in its frame's grid.
constexpr Place Places[] = {
    {"VK_Menu_Off", 0, 0},
    {"VK_F_DEC", 0, 0}, {"VK_F_F", 0, 1}, {"VK_F_INC", 0, 2},
    {"VK_Measure", 0, 0}, {"VK_Acquire", 0, 1}, {"VK_Storage", 0, 2},
    {"VK_Cursor", 1, 0}, {"VK_Display", 1, 1}, {"VK_Utility", 1, 2},
    {"VK_Auto", 0, 0}, {"VK_Run", 0, 1},
    {"VK_CH1", 0, 0}, {"VK_CH2", 1, 0}, {"VK_Math", 2, 0}, {"VK_CH_Off", 2, 1},
    {"VK_Ref", 3, 0}, {"VK_La", 4, 0},
    {"VK_V_Pos_Inc", 0, 2}, {"VK_P_V_P", 1, 3}, {"VK_V_Pos_Dec", 2, 2},
    {"VK_V_Inc", 3, 2}, {"VK_P_V", 4, 3}, {"VK_V_Dec", 5, 2},
    {"VK_H_Pos_Dec", 1, 0}, {"VK_P_H_P", 1, 1}, {"VK_H_Pos_Inc", 1, 2},
    {"VK_TimeMenu", 2, 1},
    {"VK_H_Dec", 4, 0}, {"VK_P_H", 4, 1}, {"VK_H_Inc", 4, 2},
    {"VK_Trig_Lvl_Inc", 0, 0}, {"VK_P_L", 1, 1}, {"VK_Trig_Lvl_Dec", 2, 0},
    {"VK_Trig_Menu", 3, 0}, {"VK_Trig_50", 4, 0}, {"VK_Trig_Force", 5, 0},
};

// The captions of the knobs (English in both languages), in the free cells of
// their frames' grids: between a knob's two arrows, or over a row of three.
struct KnobCaption {
    const char *frame;
    const char *name;
    const char *text;
    int row;
    int col;
    int colSpan;
};
constexpr KnobCaption KnobCaptions[] = {
    {"Vertical", "lblVPosition", "Position", 1, 2, 1},
    {"Vertical", "lblVScale", "Scale", 4, 2, 1},
    {"Horizontal", "lblHPosition", "Position", 0, 0, 3},
    {"Horizontal", "lblHScale", "Scale", 3, 0, 3},
    {"Trigger", "lblTrigLevel", "Level", 1, 0, 1},
};

Place placeOf(const char *control)
{
    for (const Place &p : Places)
        if (qstrcmp(p.control, control) == 0)
            return p;
    return {control, 0, 0};
}

// Group captions (English in both languages).
QString frameCaption(const QString &name)
{
    if (name == QLatin1String("ONOFF"))
        return QStringLiteral("MENU ON/OFF");
    if (name == QLatin1String("Frame4") || name == QLatin1String("RUN"))
        return QString();
    return name;
}

} // namespace

PanelKeys buildPanelKeys(QWidget *parent, KnobRepeater &knob, bool keyboardExtraClick)
{
    PanelKeys out;
    for (const char *name : {"ONOFF", "Frame4", "MENU", "RUN", "Vertical", "Horizontal", "Trigger"}) {
        auto *box = new QGroupBox(frameCaption(QLatin1String(name)), parent);
        box->setObjectName(QLatin1String(name));
        auto *grid = new QGridLayout(box);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(2);
        out.frames[QLatin1String(name)] = box;
    }
    for (const VirtualKeyDef &k : virtualKeys()) {
        const QString group = QLatin1String(k.group);
        const bool soft = group == QLatin1String("Soft");
        QWidget *owner = soft ? parent : out.frames[group];
        const QString command = QLatin1String(k.command);
        QPushButton *b = nullptr;
        if (k.sends == KeySends::Knob) {
            auto *kb = new KnobButton(QString::fromUtf8(k.face), owner);
            QObject::connect(kb, &KnobButton::knobPressed, kb, [&knob, command] { knob.press(command); });
            QObject::connect(kb, &KnobButton::knobReleased, kb, [&knob] { knob.release(); });
            if (keyboardExtraClick && qstrcmp(k.control, "VK_V_Pos_Inc") == 0)
                QObject::connect(kb, &QPushButton::clicked, kb, [command] { SendCommand(command); });
            b = kb;
        } else {
            b = new QPushButton(QString::fromUtf8(k.face), owner);
            QObject::connect(b, &QPushButton::clicked, b, [command] { SendCommand(command); });
        }
        b->setObjectName(QLatin1String(k.control));
        // Two clicks are two presses of the instrument's key, also when the
        // second comes while the first one's line is being sent.
        letEveryClickCount(b);
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoDefault(false);
        b->setMinimumSize(20, 18);
        if (!soft) {
            const Place p = placeOf(k.control);
            static_cast<QGridLayout *>(out.frames[group]->layout())->addWidget(b, p.row, p.col);
        }
        out.keys[QLatin1String(k.control)] = b;
    }
    for (const KnobCaption &c : KnobCaptions) {
        QGroupBox *frame = out.frames[QLatin1String(c.frame)];
        auto *label = new QLabel(QLatin1String(c.text), frame);
        label->setObjectName(QLatin1String(c.name));
        label->setAlignment(Qt::AlignCenter);
        static_cast<QGridLayout *>(frame->layout())->addWidget(label, c.row, c.col, 1, c.colSpan);
    }
    return out;
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *s = window->screen())
        window->move(s->availableGeometry().center() - window->rect().center());
}

void setLaKey(PanelKeys &keys, bool present)
{
    auto it = keys.keys.find(QStringLiteral("VK_La"));
    if (it == keys.keys.end())
        return;
    it->second->setVisible(present);
    it->second->setEnabled(present);
}
