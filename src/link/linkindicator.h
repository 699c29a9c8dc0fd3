#pragma once
// The link lamps: the main window shows picLED_ON while the instrument is
// connected and picLED_OFF otherwise. The link sets the lamps through
// setLinkLamps(); their state lives in app().link (LampOnVisible,
// LampOffVisible) and every change is announced by linkIndicator()'s signal,
// which the main window binds to its two pictures.

#include <QObject>

class LinkIndicator final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // True while picLED_ON is to be shown (and picLED_OFF hidden).
    bool connectedLampOn() const;
    bool disconnectedLampOn() const;

signals:
    // Emitted on every setting of the lamps, with the new state of picLED_ON.
    void lampsChanged(bool connectedLampOn);
};

// The one indicator of the program.
LinkIndicator &linkIndicator();

// Shows picLED_ON and hides picLED_OFF (on = true), or the reverse, and emits
// lampsChanged.
void setLinkLamps(bool on);
