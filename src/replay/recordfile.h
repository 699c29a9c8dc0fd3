#pragma once
// The record file ("*.rcd") the instrument's waveform recorder writes: a
// 56-byte little-endian header, then one zlib stream that inflates to frames
// of 1024 raw levels of one analog channel. The reader never writes such a
// file.
//
// Reading is split so that nothing changes on failure: readRecordBytes()
// checks the header and inflates the body; ParseRecordData() builds the
// record's new contents in a copy and commits them only when the file is
// accepted. Every count and length taken from the file is bounded before use.

#include "common/replayinfo.h"
#include "texts/textstate.h"

#include <QByteArray>
#include <QString>

struct RecordFileHeader {
    static constexpr int Size = 56;
    static constexpr quint16 MagicValue = 0xBABA;

    quint16 Magic = 0;
    quint32 Source = 0;        // 0 CH1, 1 CH2, 2 SourceChannel decides, else none
    quint32 SourceChannel = 0; // with Source 2: 0 CH1, else CH2
    qint16 FirstFrameNumber = 0;
    qint16 LastFrameNumber = 0;
    quint8 CH1On = 0;
    qint32 CH1VoltDiv = 0;     // microvolts per division
    qint16 CH1Offset = 0;      // raw levels
    quint8 CH2On = 0;
    qint32 CH2VoltDiv = 0;
    qint16 CH2Offset = 0;
    qint64 TimeDiv = 0;        // picoseconds
    qint64 Delay = 0;          // picoseconds

    // Decodes the first 56 bytes of data; bytes missing from a short buffer
    // read as 0 (the file buffer of the instrument's format is zero-filled).
    static RecordFileHeader decode(const QByteArray &data);
    // The 56 header bytes of this header (unread bytes 0); used to make test
    // files and fuzz seeds.
    QByteArray encode() const;
};

// The largest file part read and the largest inflated body accepted.
inline constexpr qsizetype RecordBufferSize = 2000001;

enum class RecordError {
    None,
    Unreadable,     // the file could not be opened or read: ends quietly
    BadFormat,      // wrong magic, or a frame count below 1 or beyond 16 bits
    InflateFailed,  // corrupt, truncated or empty stream, or over RecordBufferSize inflated
    ChannelOff,     // the selected channel's on-flag is 0
    NoWholeFrame,   // the body holds not one whole frame
};

// The message a failure shows; false for a failure shown by nothing.
bool recordErrorMessage(RecordError e, Msg *msg);

struct RecordFileData {
    RecordFileHeader header;
    QByteArray inflated;
};

// Checks the magic and inflates the body of a file's bytes (only the first
// RecordBufferSize bytes of a longer file count, as the instrument's reader
// does).
RecordError readRecordBytes(const QByteArray &fileBytes, RecordFileData &out);

// Reads the file at path into out (at most RecordBufferSize bytes).
RecordError readRecordFile(const QString &path, RecordFileData &out);

// Fills rec from a checked header and its inflated body: samples (levels
// clamped to 25..224, less 25), channel, scale and time texts, first frame 1,
// frame count, current frame 1. Returns the failure and leaves rec untouched
// unless the result is None. The frame count is the header's count, cut to
// the whole frames the body holds.
RecordError ParseRecordData(const RecordFileHeader &header, const QByteArray &inflated, ReplayInfo &rec);

// Both steps on a path, as the open button does after its dialog.
RecordError loadRecordFile(const QString &path, ReplayInfo &rec);
