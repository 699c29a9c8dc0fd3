#pragma once
// DataSheet: the one open data sheet (app().Sheet): its path, name and
// modified flag, and per item kind a fixed array of windows, a fixed array of
// item records and a count, plus the sheet's and the root's tree nodes.
//
// Each kind has more slots than items: 18 slots for at most 16 waveform,
// measure and data table items, 5 slots for at most 4 record items, 4 slots
// for at most 3 memory waveforms; the last slots are never filled by an add.
// The items of a kind occupy slots 0..count-1; slots from count upwards keep
// whatever an earlier item left there. The arrays never change size.
//
// A window finds its record by slot number and never owns it. Window and node
// references stay empty until the window or node exists (common/refs.h).
//
// A fresh sheet (default-constructed, or after reset()) is the state at
// program start: empty texts, false flags, zero counts, empty references,
// fresh records in every slot.

#include "common/measdoc.h"
#include "common/refs.h"
#include "common/replayinfo.h"
#include "common/storedwave.h"
#include "common/wavedoc.h"

#include <array>

enum class SheetItemKind { Wave, Measure, Data, Replay, StoredWave };

struct DataSheet {
    static constexpr int WaveSlots = 18;
    static constexpr int MeasSlots = 18;
    static constexpr int DataSlots = 18;
    static constexpr int ReplaySlots = 5;
    static constexpr int StoredWaveSlots = 4;

    static constexpr int MaxWaveItems = 16;
    static constexpr int MaxMeasItems = 16;
    static constexpr int MaxDataItems = 16;
    static constexpr int MaxReplayItems = 4;
    static constexpr int MaxStoredWaveItems = 3;

    QString Path;                  // full path of the sheet file; "" until saved or opened
    QString Name;                  // sheet name, text of the sheet node
    bool Modified = false;         // unsaved changes exist

    std::array<WindowRef, WaveSlots> WaveForms{};
    std::array<WaveDoc, WaveSlots> WaveDocs{};
    qint16 WaveDocCount = 0;

    std::array<WindowRef, DataSlots> DataForms{};
    std::array<DataDoc, DataSlots> DataDocs{};
    qint16 DataDocCount = 0;

    std::array<WindowRef, MeasSlots> MeasureForms{};
    std::array<MeasDoc, MeasSlots> MeasDocs{};
    qint16 MeasDocCount = 0;

    std::array<WindowRef, ReplaySlots> ReplayForms{};
    std::array<ReplayInfo, ReplaySlots> Replays{};
    qint16 ReplayCount = 0;

    std::array<WindowRef, StoredWaveSlots> StoredWaveForms{};
    std::array<StoredWave, StoredWaveSlots> StoredWaves{};
    qint16 StoredWaveCount = 0;

    TreeNodeRef SheetNode = nullptr; // the sheet's node in the Data Browser tree
    TreeNodeRef RootNode = nullptr;  // the tree's root node

    void reset() { *this = DataSheet{}; }

    static constexpr int slotCount(SheetItemKind kind)
    {
        switch (kind) {
        case SheetItemKind::Wave: return WaveSlots;
        case SheetItemKind::Measure: return MeasSlots;
        case SheetItemKind::Data: return DataSlots;
        case SheetItemKind::Replay: return ReplaySlots;
        case SheetItemKind::StoredWave: return StoredWaveSlots;
        }
        return 0;
    }

    static constexpr int maxItems(SheetItemKind kind)
    {
        switch (kind) {
        case SheetItemKind::Wave: return MaxWaveItems;
        case SheetItemKind::Measure: return MaxMeasItems;
        case SheetItemKind::Data: return MaxDataItems;
        case SheetItemKind::Replay: return MaxReplayItems;
        case SheetItemKind::StoredWave: return MaxStoredWaveItems;
        }
        return 0;
    }

    int count(SheetItemKind kind) const
    {
        switch (kind) {
        case SheetItemKind::Wave: return WaveDocCount;
        case SheetItemKind::Measure: return MeasDocCount;
        case SheetItemKind::Data: return DataDocCount;
        case SheetItemKind::Replay: return ReplayCount;
        case SheetItemKind::StoredWave: return StoredWaveCount;
        }
        return 0;
    }

    // True while one more item of the kind fits: the count is below the
    // kind's item limit. A count outside 0..limit (a damaged state) never has
    // room.
    bool hasRoom(SheetItemKind kind) const
    {
        const int n = count(kind);
        return n >= 0 && n < maxItems(kind);
    }
};
