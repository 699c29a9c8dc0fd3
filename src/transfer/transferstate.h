#pragma once
// The transfer engine's program-wide state: the buffers the bulk reads fill
// and the requesting windows copy from, the progress values the dialog and
// the waveform window share, and the hooks through which the engine reaches
// windows that are built elsewhere (each does nothing until its owner
// installs it).
//
// Lives in app().xfer; resetApp() gives the start-up values.

#include "common/measdoc.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>

// The longest sleep of one turn of a window's wait for TransferDone (the
// transfer's end is an event and wakes the wait at once).
inline constexpr int TransferWaitMs = 100;

struct TransferData {
    // WorkPts has indexes 0..8192; a block is stored from index 1, so one
    // block yields at most MaxPoints points.
    static constexpr int WorkPtsSize = 8193;
    static constexpr int MaxPoints = WorkPtsSize - 1;
    // TimeText and ValueText have indexes 0..17000 once the first data table
    // is built (empty until then); row k is index k.
    static constexpr int TextRows = 17001;

    // The setup block and the raw points of the last block live with the
    // link (app().link.LastSetup, app().link.WorkPts), whose reads fill them.
    qint32 WorkCount = 0;                       // points the last block left in WorkPts

    MeasTable MeasSlot;                         // measurement request: the eighteen values
    QString MeasInfo;                           // info line of the last measurement or data table
    QStringList TimeText;                       // data table: time of row k
    QStringList ValueText;                      // data table: voltage of row k
    qint32 PointCount = 0;                      // data table: number of rows
    // Waveform and data table requests: every block the request needed (its
    // setup block and its sources' blocks) came. Without them the request
    // leaves its item as it was.
    bool BlocksReceived = false;
    // The last request got every reply and block it asked for: it was neither
    // stopped nor cut short by a reply that did not come (the first one that
    // does not come ends it). A request that is not complete leaves what its
    // requester keeps (an item, the settings) as it was.
    bool RequestComplete = false;

    qint16 ProgressStep = 1;                    // added to the bar on each progress tick
    double ProgressCeiling = 0.0;               // waveform request: what the source being read may reach
    qint16 WavePercent = 0;                     // percentage shown in the requesting waveform window

    bool SaveBusy = false;                      // a CSV export is writing its file

    // Hooks (replaceable; empty = nothing happens).
    // Writes WavePercent into the progress label of waveform window slot.
    std::function<void(int slot)> ShowWaveLoadPercent;
    // Hides the progress picture of waveform window slot when its request ends.
    std::function<void(int slot)> HideWaveProgress;
    // Gives controller tree node (group, item) the text; the X-Y rule uses
    // nodes (2, 2) and (3, 2).
    std::function<void(int group, int item, const QString &text)> SetCtrlTreeNodeText;
    // Runs the settings upload (kind 22) or download (kind 23).
    std::function<void(int kind)> SettingsTransfer;
};
