#include "link/linkindicator.h"

#include "app/appstate.h"

bool LinkIndicator::connectedLampOn() const
{
    return app().link.LampOnVisible;
}

bool LinkIndicator::disconnectedLampOn() const
{
    return app().link.LampOffVisible;
}

LinkIndicator &linkIndicator()
{
    static LinkIndicator indicator;
    return indicator;
}

void setLinkLamps(bool on)
{
    app().link.LampOnVisible = on;
    app().link.LampOffVisible = !on;
    emit linkIndicator().lampsChanged(on);
}
