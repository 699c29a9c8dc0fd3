#pragma once
// A button for press-and-hold stepping: pressed() when any mouse button goes
// down on it and released() when that button comes up again, wherever the
// pointer is by then (moving off the button while holding does not end the
// hold, and moving back does not start another). A window opened over its
// window during the hold ends the hold as a release would. Keyboard and
// click() work as on any tool button.

#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>

#include <functional>

// Ends a hold that the window of a held button can no longer finish: a
// window opened over it (a message box from the step the hold started) takes
// the mouse, and the release never comes to the button. Watching from the
// press until the hold ends, it calls end when the button's window is
// blocked.
class HoldWatch : public QObject {
public:
    HoldWatch(QWidget *button, std::function<void()> end) : QObject(button), button_(button), end_(std::move(end)) {}
    void start()
    {
        stop();
        window_ = button_->window();
        window_->installEventFilter(this);
    }
    void stop()
    {
        if (window_)
            window_->removeEventFilter(this);
        window_ = nullptr;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == window_ && e->type() == QEvent::WindowBlocked) {
            stop();
            end_();
        }
        return false;
    }

private:
    QWidget *button_;
    QPointer<QWidget> window_;
    std::function<void()> end_;
};

class HoldButton : public QToolButton {
public:
    explicit HoldButton(QWidget *parent = nullptr) : QToolButton(parent) {}

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        e->accept();
        if (held_ != Qt::NoButton)
            return; // a second button during a hold
        held_ = e->button();
        setDown(true);
        watch_.start();
        emit pressed();
    }
    void mouseMoveEvent(QMouseEvent *e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        e->accept();
        if (e->button() != held_)
            return;
        endHold();
    }

private:
    void endHold()
    {
        watch_.stop();
        if (held_ == Qt::NoButton)
            return;
        held_ = Qt::NoButton;
        setDown(false);
        emit released();
    }

    Qt::MouseButton held_ = Qt::NoButton;
    HoldWatch watch_{this, [this] { endHold(); }};
};
