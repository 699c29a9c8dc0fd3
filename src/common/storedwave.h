#pragma once
// StoredWave: the record of one memory-waveform item of the data sheet, in
// Sheet.StoredWaves: a waveform file saved by the instrument, as the viewer
// shows it. The waveform file reader and the viewer fill it; this header only
// declares it.
//
// Flags are bool; a file that stores them writes -1 / 0. Members marked
// "inert" belong to the record's layout but nothing in the viewer sets them;
// the data sheet file stores them all the same.
//
// Setup holds, of the setup block, only what the viewer uses (FirstPoint ..
// CH2LastPoint as the visible column ranges, CH1Valid, CH2Valid, FFTFullScreen,
// LAValid, LAShownMask, LARow, LASelected, LAHeightD0D7 and
// LAHeightD8D15 as the two group bytes of the file, LAFirstCol, LALastCol);
// every other byte stays zero.
//
// A fresh record (default-constructed, or after reset()) is a cleared slot:
// empty texts, false flags, zeros, no samples, no tree node. Adding a memory
// waveform item sets setNewItemDefaults() plus the name and node; the other
// members keep what the slot held.
//
// Other names met for StoredWave members: CH1Samples/CH2Samples/LASamples =
// Ch1Samples/Ch2Samples/LaSamples; Loaded = YTFormat; TimeB = AcqTimeDiv;
// AltTrigger = SplitScreen; ExtraFlag1 = BestFit; CH1On/CH2On/LAOn =
// ShowCH1/ShowCH2/ShowLA; ExtraFlag5 = ShowMath; ExtraFlag2/3/6/4 =
// TransferCH1/CH2/Math/LA; ExtraFlag7 = XYFormat; Points/CH1Points/CH2Points
// = SampleCount/Ch1SampleCount/Ch2SampleCount; ExtraText1/ExtraText2 =
// MathDisplay/FftDisplay; Snapshot = the Saved* members.

#include "common/refs.h"
#include "common/setupblock.h"

#include <QList>
#include <QString>

#include <array>

struct StoredWave {
    static constexpr int ScreenSize = 601; // elements of a screen array (indexes 0..600)
    using ScreenArray = std::array<qint16, ScreenSize>;

    QString Name;                 // item name: tree text and caption prefix
    QString FilePath;             // last file whose load produced data
    bool HasData = false;         // the record holds samples
    bool SlotUsed = false;        // the slot's window is open
    QString TrigMode;             // "ALTERNATION" or "EDGE"
    QList<qint16> Ch1Samples;     // CH1 samples (file byte + bias)
    QList<qint16> Ch2Samples;     // CH2 samples
    QList<qint16> LaSamples;      // raw bytes of the digital block
    ScreenArray Ch1Screen{};      // CH1 screen levels, two per column
    ScreenArray Ch2Screen{};      // CH2 screen levels
    ScreenArray LaScreen{};       // digital screen words
    qint32 PointCount = 0;        // screen points per trace; 600 after a load
    bool YTFormat = false;        // traces drawn as Y-T; true after a load
    float Ch1Offset = 0.0f;       // CH1 offset now, volts
    float Ch2Offset = 0.0f;       // CH2 offset now, volts
    float Ch1VoltDiv = 0.0f;      // CH1 volts/div now
    float Ch2VoltDiv = 0.0f;      // CH2 volts/div now
    float Ch1AcqVoltDiv = 0.0f;   // CH1 volts/div at acquisition
    float Ch2AcqVoltDiv = 0.0f;   // CH2 volts/div at acquisition
    qint16 Ch1AcqOffset = 0;      // CH1 offset at acquisition, levels (25 per division)
    qint16 Ch2AcqOffset = 0;      // CH2 offset at acquisition, levels
    float SampleRate = 0.0f;      // samples per second, normal trigger
    float Ch1SampleRate = 0.0f;   // CH1 samples per second, alternate trigger
    float Ch2SampleRate = 0.0f;   // CH2 samples per second, alternate trigger
    double AcqTimeDiv = 0.0;      // seconds/div at acquisition, normal trigger
    double Delay = 0.0;           // trigger delay, seconds, normal trigger
    double Ch1Delay = 0.0;        // CH1 delay, alternate trigger
    double Ch2Delay = 0.0;        // CH2 delay, alternate trigger
    double TimeDiv = 0.0;         // seconds/div now, normal trigger
    double Position = 0.0;        // horizontal position now, seconds, normal trigger
    double Ch1TimeDiv = 0.0;      // CH1 seconds/div now, alternate trigger
    double Ch2TimeDiv = 0.0;      // CH2 seconds/div now, alternate trigger
    double Ch1Position = 0.0;     // CH1 horizontal position now, alternate trigger
    double Ch2Position = 0.0;     // CH2 horizontal position now, alternate trigger
    bool ColorMode = false;       // true: colour picture on black; false: black on white
    bool GridShown = false;       // graticule grid drawn
    bool SplitScreen = false;     // CH1 upper half, CH2 lower half (alternate trigger)
    bool BestFit = false;         // inert
    TreeNodeRef Node = nullptr;   // the item's node in the Data Browser tree
    bool ShowCH1 = false;         // the file had a CH1 block
    bool ShowCH2 = false;         // the file had a CH2 block
    bool ShowMath = false;        // inert
    bool ShowLA = false;          // the file had a digital block
    bool TransferCH1 = false;     // inert
    bool TransferCH2 = false;     // inert
    bool TransferMath = false;    // inert
    bool TransferLA = false;      // inert
    bool XYFormat = false;        // inert
    SetupBlock Setup;             // screen state of the item (see above)
    qint32 SampleCount = 0;       // points per channel, normal trigger
    qint32 Ch1SampleCount = 0;    // CH1 points, alternate trigger
    qint32 Ch2SampleCount = 0;    // CH2 points, alternate trigger
    QString MathDisplay;          // inert
    QString FftDisplay;           // "OFF" after a load; not read by the viewer
    qint32 Ch1WinStart = 0;       // visible memory windows of the analog channels
    qint32 Ch1WinEnd = 0;
    qint32 Ch2WinStart = 0;
    qint32 Ch2WinEnd = 0;
    qint16 Ch1ZoomFirstCol = 0;
    qint16 Ch1ZoomLastCol = 0;
    qint16 Ch2ZoomFirstCol = 0;
    qint16 Ch2ZoomLastCol = 0;
    float SavedCh1Offset = 0.0f;  // the display snapshot: copies of Ch1Offset .. Ch2Position
    float SavedCh2Offset = 0.0f;
    float SavedCh1VoltDiv = 0.0f;
    float SavedCh2VoltDiv = 0.0f;
    float SavedCh1AcqVoltDiv = 0.0f;
    float SavedCh2AcqVoltDiv = 0.0f;
    qint16 SavedCh1AcqOffset = 0;
    qint16 SavedCh2AcqOffset = 0;
    double SavedAcqTimeDiv = 0.0;
    double SavedDelay = 0.0;
    double SavedCh1Delay = 0.0;
    double SavedCh2Delay = 0.0;
    double SavedTimeDiv = 0.0;
    double SavedPosition = 0.0;
    double SavedCh1TimeDiv = 0.0;
    double SavedCh2TimeDiv = 0.0;
    double SavedCh1Position = 0.0;
    double SavedCh2Position = 0.0;
    std::array<qint16, 16> SavedLaRow{}; // snapshot of Setup.LARow
    quint8 SavedLaSelected = 0;          // snapshot of Setup.LASelected
    qint32 LaWinStart = 0;        // visible memory window of the digital block
    qint32 LaWinEnd = 0;
    qint16 LaZoomFirstCol = 0;
    qint16 LaZoomLastCol = 0;

    void reset() { *this = StoredWave{}; }
    friend bool operator==(const StoredWave &, const StoredWave &) = default;

    // What adding a memory waveform item sets besides its name and node.
    void setNewItemDefaults()
    {
        ShowCH1 = ShowCH2 = ShowLA = false;
        TransferCH1 = TransferCH2 = TransferLA = false;
        BestFit = SplitScreen = HasData = false;
        ColorMode = true;
        GridShown = true;
        FilePath.clear();
    }
};
