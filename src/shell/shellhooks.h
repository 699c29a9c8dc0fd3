#pragma once
// The shell's reach into the subsystems that open documents, talk to the
// instrument and fill the panes. Each is one replaceable function: the
// defaults stand in until those subsystems exist, and tests install fakes.
// No widget header here: pane makers hand back a QWidget the main window owns.

#include "workspace/doccommands.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;


struct ShellHooks {
    // Instrument link.
    std::function<void()> OpenVisaRM;
    std::function<void()> ConnectInstrument;
    std::function<void()> DisconnectInstrument;
    std::function<void()> CloseVisaDevice;
    std::function<void()> CloseVisaAll;
    std::function<void(const QString &line)> SendCommand;
    std::function<bool()> LinkConnected;
    // The link's start values: not connected, no connect running, the logic
    // channels present, top graticule line at level 25.
    std::function<void()> ResetLinkStartValues;
    // VISA resource texts matching a search expression ("USB?*INSTR"), in
    // search order.
    std::function<QStringList(const QString &expr)> FindResources;
    // Bytes the serial-port control received.
    std::function<void(const QByteArray &bytes)> ComReceive;

    // Controller pane and control file.
    std::function<QWidget *(QWidget *parent)> MakeControllerPane; // empty: placeholder pane
    std::function<void()> mnuNewCtrl_Click;
    std::function<void()> mnuOpenCtrl_Click;
    std::function<void(const QString &path)> OpenCtrl;
    std::function<SaveOutcome()> mnuSaveCtrl_Click;
    std::function<bool()> CtrlFileModified;
    std::function<QString()> CtrlFilePath;

    // Data Browser pane and data sheet.
    std::function<QWidget *(QWidget *parent)> MakeDataSheetPane; // empty: placeholder pane
    std::function<void()> mnuNewDataSheet_Click;
    std::function<void()> mnuOpenDataSheet_Click;
    std::function<void(const QString &path)> OpenDataSheet;
    std::function<SaveOutcome()> mnuSaveDataSheet_Click;
    std::function<void()> AddNewWaveform;
    std::function<void()> AddNewMeasure;
    std::function<void()> AddNewData;
    std::function<void()> AddNewRecord;
    std::function<void()> AddNewMemoryWave;
};

// The hooks in force until the link, the controller and the data sheet bind
// their own: nothing is connected, nothing is found, no document is modified,
// and a save that cannot be made reports Failed (never Saved).
ShellHooks defaultShellHooks();
