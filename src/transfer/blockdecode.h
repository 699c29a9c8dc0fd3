#pragma once
// Decoding of the instrument's binary blocks and the data-table builder:
// pure functions on the transfer buffers, free of any link or window.
//
// Raw levels: one byte per point, 25 the top graticule line, 125 the centre,
// 225 the bottom line, 25 levels per division. Decoded rows count from the
// top line (row = level - 25).

#include "common/setupblock.h"
#include "transfer/transferstate.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The point buffer (app().link.WorkPts): indexes 0..8192. Every function
// below bounds its reads by the buffer's actual size.
using WorkPoints = std::vector<qint32>;

// Copies a setup reply over last: at most SetupBlock::Size bytes; a shorter
// reply overwrites only its own bytes. An empty reply changes nothing.
void StoreSetupBytes(QByteArrayView bytes, SetupBlock *last);

// Stores block bytes as points from index 1 of pts: at most
// TransferData::MaxPoints of them (and never past the buffer); entries above
// keep their values. Returns the number of points stored.
int StoreBlockPoints(QByteArrayView bytes, WorkPoints *pts);

// A fresh row array: indexes 0..8192, all 0.
QList<qint32> FreshRows();

// Analog rows (CH1, CH2, MATH) of points 1..count of pts: the level is limited
// to 25..224, then row = level - 25, or 200 - (level - 25) when invertRunning
// (the channel is inverted and the instrument runs). Element 0 and those past
// count are 0. count is bounded to the points the buffer holds.
QList<qint32> DecodeAnalogRows(const WorkPoints &pts, int count, bool invertRunning);

// FFT rows: level - 25, or in the split-screen layout level - 12.5 rounded
// half to even; limited to 0..199.
QList<qint32> DecodeFftRows(const WorkPoints &pts, int count, bool split);

// Logic rows: a copy of the whole buffer (raw bytes from index 1; entries
// above the block keep what earlier blocks left).
QList<qint32> CopyLogicRows(const WorkPoints &pts);

// A number in scientific notation with one digit before and two after the
// point and an exponent of at least two digits. withPlus: the exponent always
// carries its sign ("0.00E+00"); otherwise only a minus ("0.00E-00").
// 1.5 -> "1.50E+00" (withPlus); 0.0012 -> "1.20E-03"; -1.5 -> "-1.50E00";
// 0 -> "0.00E00". Not finite: the empty text.
QString SciText(double value, bool withPlus);
// The data table's rule: "0.00E+00" for values of 1 or more, "0.00E-00" below.
QString TableNumberText(float value);

// Ground offset in rows: offset x 25 / scale rounded once to nearest, halves
// away from zero; 0 when scale is 0 or the result is not finite or leaves 16 bits.
int GroundOffset(double offsetVolts, double scaleVolts);

// What the data-table builder needs.
struct DataTableInput {
    bool analog = true;          // CH1 or CH2 (voltage texts); false for the logic channels
    bool valid = true;           // the channel's valid byte (an invalid trace gives no rows)
    int first = 0;               // screen columns of the point window
    int last = 299;
    double scale = 0.0;          // volts per division
    double offset = 0.0;         // volts
    bool invertRunning = false;  // inverted channel of a running instrument
    double timeDiv = 0.0;        // seconds per division
    double delay = 0.0;          // seconds at the screen centre
};

// Rows of a point window: columns clamped to 0..299, two points per column,
// 0 when last < first or the trace is invalid.
int DataTableRowCount(const DataTableInput &in);

// Fills the times (and for an analog source the voltages) of rows 1..rows
// into the text arrays, reading points from pts (which holds count points
// from index 1). A row whose point lies beyond count gets an empty voltage.
// Times are written by SampleTimeText with the digits that keep consecutive
// rows apart (values/sampletime.h); voltages by TableNumberText.
// Returns the row count (also bounded by the text arrays).
int BuildDataTable(const DataTableInput &in, const WorkPoints &pts, int count,
                   QStringList *timeText, QStringList *valueText);
