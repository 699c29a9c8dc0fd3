#pragma once
// WaveDoc: the record of one waveform item. DataDoc: the record of one data
// table item. Both live in the slots of the one data sheet (Sheet.WaveDocs,
// Sheet.DataDocs); a window finds its record by slot and never owns it.
//
// Flags are bool here. Where a file stores a flag it writes -1 for true and 0
// for false; that conversion belongs to the file code.
//
// A fresh record (default-constructed, or after reset()) is what a slot holds
// at start-up: empty texts, false flags, zero numbers, empty arrays, a zero
// setup block, no tree node. Adding an item sets only some members
// (setNewItemDefaults() plus the name and node); every other member keeps
// what the slot held before.
//
// Other names met for WaveDoc members: LoadedCH1..LoadedLA = DrawCH1..DrawLA
// (the show flags copied at the start of a transfer); ScreenPoints =
// PointCount, and the 16-bit member after it = SpareFlag; TimeDelay = Delay;
// CH1AltTimeDiv/CH1AltDelay/CH2AltTimeDiv/CH2AltDelay = AltTimeDivCH1/
// AltDelayCH1/AltTimeDivCH2/AltDelayCH2; LARows = LAWords.

#include "common/refs.h"
#include "common/setupblock.h"

#include <QList>
#include <QString>
#include <QStringList>

struct WaveDoc {
    // Elements in a row array after a transfer (indexes 0..8192; the points
    // follow from element 1). After a data sheet is read the arrays hold
    // 65537 elements. Readers check the size before indexing.
    static constexpr int RowsSize = 8193;
    static constexpr int SheetRowsSize = 65537;

    QString Name;               // item name: tree node text and window caption
    bool HasData = false;       // the item holds transferred or loaded data
    bool WindowOpen = false;    // the item's window is open
    bool Refreshing = false;    // the item's window runs a continuous refresh
    QString TrigMode;           // trigger mode word at the last transfer ("ALTERNATION": split per channel)
    QList<qint32> CH1Rows;      // CH1 points as rows (0 = top line), from element 1
    QList<qint32> CH2Rows;      // CH2 points as rows
    qint32 PointCount = 0;      // analog points per trace; 600 after every transfer
    bool SpareFlag = false;     // no meaning: cleared by a transfer, kept by the data sheet file
    bool YTFormat = false;      // time base format was "Y-T" at the last transfer
    bool RollMode = false;      // roll display at the last transfer
    qint16 SpareWord1 = 0;      // no meaning: only the data sheet file sets and stores it
    qint16 SpareWord2 = 0;      // as SpareWord1
    QString CH1Offset;          // CH1 offset text
    QString CH2Offset;          // CH2 offset text
    QString CH1VoltDiv;         // CH1 volts/div text
    QString CH2VoltDiv;         // CH2 volts/div text
    QString TimeDiv;            // time/div text
    QString Delay;              // trigger delay text
    QString AltTimeDivCH1;      // time/div of CH1 under the alternate trigger
    QString AltTimeDivCH2;      // time/div of CH2 under the alternate trigger
    QString AltDelayCH1;        // delay of CH1 under the alternate trigger
    QString AltDelayCH2;        // delay of CH2 under the alternate trigger
    QString DateText;           // date of the last transfer
    qint32 Channels = 0;        // last analog channel fetched: 1 or 2
    bool ColorMode = false;     // true: colour scheme; false: black and white
    bool GridShown = false;     // the dotted grid is drawn
    bool SplitScreen = false;   // the picture is split into an upper and a lower half
    bool BestFit = false;       // the zoom follows the window size
    TreeNodeRef Node = nullptr; // the item's node in the Data Browser tree
    QList<qint32> FFTRows;      // FFT points as rows (elements 1..512 are drawn)
    bool DigitalLayout = false; // source check boxes laid out with the logic-channel box
    QList<qint32> MathRows;     // MATH points as rows
    QList<qint32> LAWords;      // logic data, one byte per element from element 1, low byte first
    bool ShowCH1 = false;       // CH1 box: fetch CH1 at the next refresh
    bool ShowCH2 = false;
    bool ShowMath = false;
    bool ShowLA = false;
    bool DrawCH1 = false;       // CH1 was fetched at the last transfer
    bool DrawCH2 = false;
    bool DrawMath = false;
    bool DrawLA = false;
    SetupBlock Setup;           // the setup block of the last transfer
    bool XYFormat = false;      // time base format was "X-Y" at the last transfer
    QString MathDisplay;        // the instrument's MATH display word at the last transfer
    QString FFTDisplay;         // the instrument's FFT display word; the on word: FFT replaces MATH

    void reset() { *this = WaveDoc{}; }
    friend bool operator==(const WaveDoc &, const WaveDoc &) = default;

    // What adding a waveform item sets besides its name and node: colour
    // scheme, grid and best fit on, no split screen, no data.
    void setNewItemDefaults()
    {
        BestFit = true;
        ColorMode = true;
        GridShown = true;
        SplitScreen = false;
        HasData = false;
    }
};

struct DataDoc {
    QString Name;               // item name, window caption and tree label
    bool WindowOpen = false;    // the item's window is open
    bool Refreshing = false;    // a continuous refresh of this item runs
    QStringList ValueTexts;     // voltage column; elements 1..RowCount are used
    QStringList TimeTexts;      // time column; elements 1..RowCount are used
    qint32 RowCount = 0;        // number of table rows
    QString InfoLine;           // settings line of the data
    TreeNodeRef Node = nullptr; // the item's node in the Data Browser tree
    bool HasData = false;       // the item holds loaded data
    QString Channel;            // "CH1", "CH2", "LA", or empty when none was chosen yet

    void reset() { *this = DataDoc{}; }
    friend bool operator==(const DataDoc &, const DataDoc &) = default;

    // What adding a data table item sets besides its name and node.
    void setNewItemDefaults() { HasData = false; }
};
