#pragma once
// ReplayInfo: the record of one record (replay) item of the data sheet, in
// Sheet.Replays. The record file reader and the replay engine fill it; this
// header only declares it.
//
// Flags are bool; a file that stores them writes -1 / 0.
//
// A fresh record (default-constructed, or after reset()) is a cleared slot:
// empty texts, false flags, zeros, no samples, no tree node. Adding a record
// item sets setNewItemDefaults() plus the name and node; the other members
// keep what the slot held.

#include "common/defaultwords.h"
#include "common/refs.h"

#include <QList>
#include <QString>

struct ReplayInfo {
    // Values of Status.
    static constexpr quint8 Replaying = 0;
    static constexpr quint8 Paused = 1;
    static constexpr quint8 Stopped = 2;

    static constexpr int FrameSize = 1024;       // samples per frame
    static constexpr double NewItemInterval = 0.05; // seconds between frames of a new item

    QString Name;                // item name: tree text and first part of the window caption
    QString FilePath;            // record file last opened successfully
    bool WindowOpen = false;     // the item's replay window is open
    bool ReplayStarted = false;  // the replay was started since a file was opened
    bool FileLoaded = false;     // a record file has been read into this record
    bool ColorMode = false;      // true: colour picture; false: monochrome
    QList<qint16> Samples;       // the inflated frames as levels 0..199, FrameSize per frame
    QString Channel;             // "CH1" or "CH2"
    bool SpareFlag = false;      // no meaning (also called ExtraFlag); only the data sheet file stores it
    qint16 FirstFrame = 0;       // number of the first frame of the replay (1 after an open)
    qint16 FrameCount = 0;       // number of frames
    quint8 Status = Replaying;   // Replaying, Paused or Stopped
    qint16 CurrentFrame = 0;     // frame shown now, 1..FrameCount
    bool LoopReplay = false;     // true: the replay loops; false: stops at the last frame
    QString TimeDivText;         // time/div label text
    QString DelayText;           // delay label text
    QString VoltDivText;         // volts/div label text of Channel
    QString OffsetText;          // offset label text of Channel
    double Interval = 0.0;       // seconds from one frame to the next, 0.001..60
    TreeNodeRef Node = nullptr;  // the item's node in the Data Browser tree
    QString StatusText;          // status text last drawn in the status line

    void reset() { *this = ReplayInfo{}; }
    friend bool operator==(const ReplayInfo &, const ReplayInfo &) = default;

    // What adding a record item sets besides its name and node. The prompt
    // comes through the word source under the name "StatusNoRecord".
    void setNewItemDefaults()
    {
        FilePath.clear();
        Interval = NewItemInterval;
        LoopReplay = true;
        FileLoaded = false;
        ReplayStarted = false;
        ColorMode = true;
        StatusText = defaultWord("StatusNoRecord", "Please open the waveform record file.");
    }
};
