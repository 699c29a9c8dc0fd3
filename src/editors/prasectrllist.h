#pragma once
// The setting-edit dispatcher: turns the path of a double-clicked controller
// tree node into an edit. It prepares the setting dialog (or the volts/div
// dialog) for the node's setting and shows it modally over the controller
// pane, or runs the node's direct action, or opens the virtual panel. The
// setting dialog applies the value itself (editors/applyframe.h).
//
// Every dispatch first sets app().ctrl.CtrlSettingKey to a single blank and
// ends by emptying app().ctrl.CtrlSelectedPath, so a second Enter without a
// new click opens nothing. The one exception is the Virtual Panel node while a
// transfer runs: nothing opens and the path is kept.

#include <QString>

// The dispatcher (the controller's editSetting hook).
void DispatchCtrlEdit(const QString &path);

// Installs DispatchCtrlEdit as the controller's editSetting hook.
void InstallSettingEditors();
