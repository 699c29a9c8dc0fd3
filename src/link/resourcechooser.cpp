#include "link/resourcechooser.h"

#include "app/appstate.h"
#include "link/dlgresource.h"

namespace {
ResourceChooser gChooser;
}

void setResourceChooser(ResourceChooser chooser)
{
    gChooser = std::move(chooser);
}

void showResourceChooser(const QStringList &names)
{
    if (gChooser)
        gChooser(names);
    else
        DlgResource::showModal(names);
}

qint16 GetOkCancel()
{
    return app().link.OkCancel;
}

void chooserAccepted(const QString &resource)
{
    app().link.ResourceName = resource;
    app().link.OkCancel = -1;
}

void chooserCancelled()
{
    app().link.OkCancel = 0;
}
