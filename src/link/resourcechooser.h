#pragma once
// The resource chooser as the VISA link sees it: shown modally with the
// resource descriptions of the search, it sets app().link.ResourceName and
// OkCancel. The program shows the dialog DlgResource (dlgresource.h); a test
// installs a chooser of its own so that no modal window opens.

#include <QStringList>
#include <QtGlobal>

#include <functional>

// Shows the chooser with names (in search order) and returns when it closes.
using ResourceChooser = std::function<void(const QStringList &names)>;

// Installs a chooser; an empty function restores the dialog.
void setResourceChooser(ResourceChooser chooser);
// Shows the chooser in force.
void showResourceChooser(const QStringList &names);

// OkCancel: true when the chooser was last closed with OK (or a double click).
qint16 GetOkCancel();

// The answers of the chooser, which the dialog and test choosers give: OK with
// the chosen text sets ResourceName and OkCancel; Cancel (and a close by the
// window frame) clears OkCancel.
void chooserAccepted(const QString &resource);
void chooserCancelled();
