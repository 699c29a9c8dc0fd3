#pragma once
// The waveform file ("*.wfm") the instrument saves: a little-endian header,
// 4 bytes the program passes over, then the sample blocks of the channels
// present, without gaps: CH1, CH2, then (normal trigger only) the digital
// block. The program only reads such files.
//
// Two header layouts exist, told apart by the 16-bit value at offset 0:
// 0xA5A5 (272 bytes) and the older 0xA5A1 (252 bytes, no digital fields),
// which is converted into the current one before use. Any other value is not
// a waveform file.
//
// Reading never changes the record unless the file is accepted: the new
// contents are built in a copy and committed whole. Every count is checked
// against the file's size before anything is sized or copied by it; each
// block is then read and decoded in one pass into the array the record
// keeps, allocated once at its final size.

#include "common/storedwave.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// The header fields the viewer reads, at their offsets in the current layout.
struct WaveFileHeader {
    static constexpr int CurrentSize = 272;
    static constexpr int OlderSize = 252;
    static constexpr quint16 CurrentMagic = 0xA5A5;
    static constexpr quint16 OlderMagic = 0xA5A1;
    static constexpr int SkippedBytes = 4; // between the header and the first block
    static constexpr quint8 AlternateTrigger = 4;

    quint16 Magic = 0;            // 0
    qint32 Points = 0;            // 28: N, points per channel (CH1's under the alternate trigger)
    qint32 Ch1MicroVoltDiv = 0;   // 36
    qint16 Ch1Offset = 0;         // 40, levels
    quint8 Ch1Present = 0;        // 49, present when exactly 1
    qint32 Ch1AcqMicroVoltDiv = 0; // 52
    qint16 Ch1AcqOffset = 0;      // 56, levels
    qint32 Ch2MicroVoltDiv = 0;   // 60
    qint16 Ch2Offset = 0;         // 64
    quint8 Ch2Present = 0;        // 73
    qint32 Ch2AcqMicroVoltDiv = 0; // 76
    qint16 Ch2AcqOffset = 0;      // 80
    qint64 TimeDiv = 0;           // 84, picoseconds (CH1's under the alternate trigger)
    qint64 Position = 0;          // 92, picoseconds
    float SampleRate = 0.0f;      // 100, samples per second
    qint64 AcqTimeDiv = 0;        // 104, picoseconds (normal trigger only)
    qint64 Delay = 0;             // 112, picoseconds
    quint8 LaPresent = 0;         // 120, present when exactly 1 (normal trigger only)
    quint8 LaSelected = 0;        // 121
    qint16 LaShownMask = 0;       // 122, bit i = Di shown
    std::array<quint8, 16> LaPosition{}; // 124: Di's position p, picture row 222 - 12 p
    quint8 LaHighGroup = 0;       // 140
    quint8 LaLowGroup = 0;        // 141
    quint8 TrigMode = 0;          // 142: 4 = alternate trigger
    qint32 Ch2Points = 0;         // 232, alternate trigger
    qint64 Ch2TimeDiv = 0;        // 236, alternate trigger
    qint64 Ch2Position = 0;       // 244, alternate trigger
    float Ch2SampleRate = 0.0f;   // 252, alternate trigger
    qint64 Ch2Delay = 0;          // 264, alternate trigger

    // The fields of a current-layout header (bytes missing from a short
    // input read as 0).
    static WaveFileHeader decode(QByteArrayView current);
};

// The 272 bytes of the current layout made from the 252 of an older header:
// 0..119 kept, the digital fields 120..141 zero, old 120..124 at 142..146,
// old 128..251 at 148..271.
QByteArray currentHeaderFromOlder(QByteArrayView older);

// The part of a file the reader looks at: its first WaveFileMaxBytes bytes
// (a longer file counts with these only). Every block must end inside them
// and inside the file: a file cut short of its blocks is refused. The
// instrument's own reader took at most WaveFileBufferSize bytes; longer
// files are read all the same.
inline constexpr qsizetype WaveFileBufferSize = 2100001;
inline constexpr qsizetype WaveFileMaxBytes = 16 * 1024 * 1024;
// Digital blocks of records longer than this hold one byte per point, else
// one 16-bit word per point.
inline constexpr qint32 WaveFileWordPointsMax = 524288;

enum class WaveFileError {
    None,
    Unreadable, // the file could not be opened or read: ends quietly
    BadFormat,  // wrong magic, a file shorter than its header, no block present, or a block
                // read with a negative count or ending past the file's end
};

// Fills rec from the bytes of a waveform file (at most WaveFileMaxBytes of
// them count). A file with no block present is refused. On None rec holds
// the file: the header members, the blocks of the channels present (an
// absent channel keeps its old samples and is flagged not shown), HasData
// (true: a block was read), FilePath (path), PointCount 600, YTFormat,
// FftDisplay "OFF" and the display snapshot taken anew. On any other result
// rec is untouched. The cursor and window consequences are the caller's.
WaveFileError ParseWaveFile(QByteArrayView fileBytes, const QString &path, StoredWave &rec);

// Reads the file at path (its first WaveFileMaxBytes bytes) as ParseWaveFile
// does, straight from the file: Unreadable when it cannot be opened or read.
WaveFileError loadWaveFile(const QString &path, StoredWave &rec);

// The display snapshot: the scales, offsets, delays, positions and time/divs
// now, the digital rows and the selected digital channel, copied into the
// Saved members and back.
void SaveDisplaySettings(StoredWave &rec);
void RestoreDisplaySettings(StoredWave &rec);
