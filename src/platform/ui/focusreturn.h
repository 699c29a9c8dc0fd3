#pragma once
// Disabling the control that holds the keyboard focus sends the focus on (to
// the next control of the window, or nowhere), and enabling it again does not
// bring it back: a Refresh pressed with the space bar would leave the next
// press to a check box, a dialog disabled during its apply would take no more
// typing. A control disabled while it works keeps the keyboard: the disable
// notes where it sent the focus, and the enable gives the focus back to the
// control (or to the control inside it that had it) unless the user has
// moved it meanwhile.

#include <QPointer>
#include <QWidget>

struct FocusReturn {
    QPointer<QWidget> control; // the control disabled
    QPointer<QWidget> had;     // it, or the control inside it, that had the focus
    QPointer<QWidget> sentTo;  // where the disable sent the focus (nowhere: null)
    bool noted = false;
};

inline void disableKeepingFocus(QWidget *control, FocusReturn &r)
{
    if (!control)
        return;
    QWidget *focus = control->window()->focusWidget();
    const bool holds = focus && (focus == control || control->isAncestorOf(focus)) && control->isEnabled();
    control->setEnabled(false);
    if (!holds)
        return;
    r.control = control;
    r.had = focus;
    r.sentTo = control->window()->focusWidget();
    r.noted = true;
}

inline void enableGivingFocusBack(QWidget *control, FocusReturn &r)
{
    if (!control)
        return;
    control->setEnabled(true);
    if (!r.noted || r.control != control)
        return;
    r.noted = false;
    QWidget *had = r.had;
    if (!had || !had->isVisible() || !had->isEnabled())
        return;
    if (control->window()->focusWidget() == r.sentTo.data())
        had->setFocus(Qt::OtherFocusReason);
}
