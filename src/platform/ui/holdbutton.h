#pragma once
// A button for press-and-hold stepping: pressed() when any mouse button goes
// down on it and released() when that button comes up again, wherever the
// pointer is by then (moving off the button while holding does not end the
// hold, and moving back does not start another). Keyboard and click() work
// as on any tool button.

#include <QMouseEvent>
#include <QToolButton>

class HoldButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        e->accept();
        if (held_ != Qt::NoButton)
            return; // a second button during a hold
        held_ = e->button();
        setDown(true);
        emit pressed();
    }
    void mouseMoveEvent(QMouseEvent *e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        e->accept();
        if (e->button() != held_)
            return;
        held_ = Qt::NoButton;
        setDown(false);
        emit released();
    }

private:
    Qt::MouseButton held_ = Qt::NoButton;
};
