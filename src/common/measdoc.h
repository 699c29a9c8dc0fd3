#pragma once
// The measurement records: MeasItem (one measurement with its limits),
// MeasTable (the eighteen measurements of one channel, in index order) and
// MeasDoc (one measure item of the data sheet, in Sheet.MeasDocs).
//
// Flags are bool; a file that stores them writes -1 / 0.
//
// A fresh record (default-constructed, or after reset()) is what a slot holds
// at start-up: empty texts, false flags, zero limits, no tree node. Adding a
// measure item gives it the limits of the table below
// (MeasDoc::setNewItemDefaults()); the reading texts keep what the slot held.

#include "common/refs.h"

#include <QString>

#include <array>

// Index of each measurement in a MeasTable. This order is the order in memory
// and in the data sheet file; the window's rows and the limits dialog's list
// use other orders and go through measDefinition() to move between them.
enum MeasIndex {
    MeasVpp = 0,
    MeasVmax,
    MeasVmin,
    MeasVavg,
    MeasVtop,
    MeasVbase,
    MeasVrms,
    MeasFrequency,
    MeasRiseTime,
    MeasFallTime,
    MeasPeriod,
    MeasPWidthPos,
    MeasPWidthNeg,
    MeasVover,
    MeasVpre,
    MeasVamp,
    MeasDutyPos,
    MeasDutyNeg,
    MeasCount // 18
};

// How a measurement's value is written, parsed and limited. Base units: volt
// V, frequency Hz, time s, percent a fraction (0.05 stands for 5 %).
enum class MeasKind { Volt, Frequency, Time, Percent };

struct MeasDefinition {
    const char *instrumentWord; // ":MEASURE:" word, e.g. "VPP"
    MeasKind kind;
    int row;       // row in the measurement window and export, 1 = top
    int image;     // picture in the window's image list
    double under;  // lower limit of a new item, base unit
    double over;   // upper limit of a new item, base unit
};

// The definition of measurement index (0..MeasCount-1); nullptr otherwise.
const MeasDefinition *measDefinition(int index);

struct MeasItem {
    QString Value;        // reading as display text; empty: no reading; holding "*": invalid
    bool Enabled = false; // judged against its limits, limits shown
    double Over = 0.0;    // upper limit, base unit
    double Under = 0.0;   // lower limit, base unit
    QString Result;       // judgement last shown; empty when not judged

    void reset() { *this = MeasItem{}; }
    friend bool operator==(const MeasItem &, const MeasItem &) = default;
};

struct MeasTable {
    std::array<MeasItem, MeasCount> Entries{};

    MeasItem &operator[](int index) { return Entries[size_t(index)]; }
    const MeasItem &operator[](int index) const { return Entries[size_t(index)]; }
    static constexpr int size() { return MeasCount; }
    auto begin() { return Entries.begin(); }
    auto end() { return Entries.end(); }
    auto begin() const { return Entries.begin(); }
    auto end() const { return Entries.end(); }

    void reset() { *this = MeasTable{}; }
    friend bool operator==(const MeasTable &, const MeasTable &) = default;

    // What adding a measure item sets: every Enabled false and the limits of
    // the definition table. Values and results are left alone.
    void setNewItemLimits();
};

struct MeasDoc {
    QString Name;               // item name: window caption and tree label
    bool WindowOpen = false;    // the item's window has run its first state-timer tick
    bool HasData = false;       // a measurement transfer has filled the readings and Info
    bool Refreshing = false;    // the item's window runs a continuous refresh
    MeasTable Items;            // the measurements with their limits and results
    QString Info;               // info line of the transfer that filled the readings
    TreeNodeRef Node = nullptr; // the item's node in the Data Browser tree

    void reset() { *this = MeasDoc{}; }
    friend bool operator==(const MeasDoc &, const MeasDoc &) = default;

    // What adding a measure item sets besides its name and node: no data,
    // every measurement disabled with the limits of a new item.
    void setNewItemDefaults()
    {
        HasData = false;
        Items.setNewItemLimits();
    }
};
