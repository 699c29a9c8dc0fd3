#pragma once
// The controller pane's commands, free of any window: the control file
// commands, upload and download, connect and disconnect, Expand All and the
// hand-over of a double-clicked setting to the editors. The pane's buttons,
// menu and tree events call these; tests drive them directly.
//
// State: app().ctrl (controller/ctrlstate.h), app().Settings, app().transfer.
// Messages and file dialogs go through ui().

#include "controller/ctrlfilecommands.h"

#include <QString>

// New's reset of the settings: every member takes its default in the current
// language (MathDisplay, FFTDisplay, Spare1 and the arrays' elements 0 and 17
// keep theirs) and the control file path is emptied.
void ResetCtrlSettings();

// New Control File.
void CtrlNewFile();
// Open Control File, with the open dialog. Opening (with or without the
// dialog) brings the file's setting words into the language in force (words
// of the other language are translated, other texts kept), and rebuilds the
// tree from them.
void CtrlOpenWithDialog();
// Opens path without a dialog (OpenCtrl).
void CtrlOpenFile(const QString &path);
// Save and Save As.
CtrlSaveResult CtrlSave();
CtrlSaveResult CtrlSaveAs();

// The Upload and Download buttons (and menu entries): MsgConnectFirst when no
// instrument is connected; nothing while a transfer runs.
void CtrlUploadCommand();
void CtrlDownloadCommand();
// One whole-set transfer, request kind 22 (upload) or 23 (download), through
// the transfer hook; returns when the transfer has finished. An upload cut
// short (Disconnect or closing the program abandon it) says that the
// instrument now holds only part of the settings.
void UploadToDSO();
void DownloadfromDSO();

// Connect and Disconnect of the pane's menu; nothing while a transfer runs.
void CtrlConnectCommand();
void CtrlDisconnectCommand();

// Expand All: opens the root and every group and sub-group but LA Channel,
// LA Position and Trigger Code.
void CtrlExpandAll();

// A double click or Enter on the tree: hands app().ctrl.CtrlSelectedPath to
// the setting editors when an instrument is connected, else MsgConnectFirst.
void CtrlEditSelected();
// The setting-edit dispatcher's entry: passes path to the editors' hook.
void PraseCtrlList(const QString &path);

// The pane's load: the first load since start-up resets the settings to their
// defaults (New without its question); later loads rebuild the tree.
void CtrlPaneLoaded();

// Transfer dialog captions of the two whole-set transfers in language lang;
// empty for a language other than 0 or 1 (the caption stays as it was).
QString CtrlTransferCaption(bool upload, int lang);
