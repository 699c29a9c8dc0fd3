#pragma once
// The CSV export of a stored waveform: one row per stored point, its time and
// the volts of each analog channel present, comma-separated, CR LF line ends.
// No window code: the window asks for the file name, shows the progress and
// saves the bytes built here.
//
// Normal layout: "X[,CH1][,CH2]" / "Second[,Voltage]..." then time and volts.
// Alternate layout: "X(CH1)[,CH1][,X(CH2),CH2]" / "Second[S][,Voltage[V]]
// [,Second[S],Voltage[V]]", each channel with its own time column and its
// own count: a row for every point of either channel, the fields of a
// channel past its count left empty. Without CH1 the rows are CH2's (the
// CH1 time column is still written, centred like CH2's).
// The volts use the acquisition scale and offset of the snapshot taken at
// load, those the levels were taken at: V = (125 - s - L) * D / 25, D the
// saved acquisition volts/div, L the saved acquisition offset in levels;
// the time of row j is (j - h) / rate + delay, h = N / 2 rounded half
// to even (N: CH1's count under the alternate trigger, CH2's without CH1).

#include "common/storedwave.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// What the export reads, copied from the record before the file is touched:
// later changes to the record (a load, a removal) do not reach it.
struct CsvExportData {
    bool alternate = false;
    bool ch1 = false;          // CH1 columns written
    bool ch2 = false;          // CH2 columns written
    qint64 rows = 0;           // rows written: N, or under the alternate trigger the longer
                               // count of the channels written
    qint64 half = 0;           // h
    qint64 ch1Rows = 0;        // rows with a CH1 time (and volts, when CH1 is written)
    double interval1 = 0, interval2 = 0; // seconds per sample (CH2's under the alternate trigger)
    double delay1 = 0, delay2 = 0;
    float voltDiv1 = 0, voltDiv2 = 0;    // saved acquisition volts/div
    qint16 offset1 = 0, offset2 = 0;     // saved acquisition offsets in levels
    QList<qint16> samples1, samples2;
    qint64 ch2Rows = 0;        // rows with CH2 volts (and, alternate trigger, a CH2 time)
};

enum class CsvRefusal {
    None,
    NoChannel, // neither CH1 nor CH2 present
    BadScale,  // a sample rate or a written channel's volts/div that is 0 or not finite
};

// Checks the record and copies what the export needs. Only the channels
// written are looked at.
CsvRefusal prepareCsvExport(const StoredWave &w, CsvExportData *out);

// A number as the file writes it: two decimals in scientific notation,
// "0.00E+00" from 1 up (exponent sign always), "0.00E-00" below 1, for zero
// and for every negative value (exponent sign only when negative); at least
// two exponent digits; "." whatever the locale (12.5 -> 1.25E+01, 0 -> 0.00E00,
// -2.5 -> -2.50E00).
QString csvNumber(float v);
void appendCsvNumber(QByteArray &out, float v);

// Rows between two 10 % progress steps: N / 10 rounded half to even, at
// least 1.
qint64 csvProgressStep(qint64 rows);

// Writes the file through write(data, size), a piece at a time, and stops
// with false at the first write that fails. progress(percent, rows) is called
// with each new percentage (10, 20, ... capped at 100) when the rows written
// reach a multiple of the step; breathe() every few thousand rows so the
// caller can let the window work.
bool writeCsv(const CsvExportData &d, const std::function<bool(const char *, qint64)> &write,
              const std::function<void(int, qint64)> &progress = {}, const std::function<void()> &breathe = {});
// The whole file in memory.
QByteArray buildCsv(const CsvExportData &d, const std::function<void(int, qint64)> &progress = {},
                    const std::function<void()> &breathe = {});
