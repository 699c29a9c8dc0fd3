// Fuzz target: the record file reader on arbitrary bytes. A file either
// fails with a known error and leaves the record untouched, or fills it so
// that every frame from 1 to FrameCount lies inside the samples.
//
// Byte 0 chooses what the rest is:
//   even: a whole file (the 56-byte header and the compressed body), read as
//         the open button reads it;
//   odd:  the header (bytes 1..56), then a body length in three bytes (a
//         little-endian 0..65535, moved to just below or above the size
//         limit when the third byte is odd), then body bytes repeated to that
//         length: an inflated body
//         handed straight to the parser, so that bodies shorter than a frame,
//         beyond the size limit and with any sample values are reached (a
//         changed compressed stream never passes its check sum).
//
// An accepted record is replayed: its first, middle and last frames drawn
// as the replay window draws them, each on a plot that keeps its size; a
// frame's plot is painted whole and depends on that frame alone (the same on
// a fresh plot as over the frame drawn before it).
// Inputs go up to 256 KiB (whole files of hundreds of frames).

#include "maxlen.h"

#include "common/replayinfo.h"
#include "replay/recordfile.h"
#include "replay/replaypicture.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

namespace {

QByteArray rawBody(const QByteArray &rest)
{
    if (rest.size() < 3)
        return {};
    qsizetype n = qsizetype(quint8(rest[0])) | qsizetype(quint8(rest[1])) << 8;
    if (quint8(rest[2]) & 1)
        n += RecordBufferSize - 32768;
    const QByteArray pattern = rest.mid(3);
    if (pattern.isEmpty())
        return QByteArray(n, '\0');
    QByteArray body = pattern.repeated(n / pattern.size() + 1);
    body.truncate(n);
    return body;
}

} // namespace

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 256 * 1024);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // the plot's texts need the font system
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool raw = (data[0] & 1) != 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    ReplayInfo rec;
    rec.Channel = QStringLiteral("CH2");
    rec.Samples = QList<qint16>(3, 7); // what an earlier record left
    const ReplayInfo before = rec;
    RecordError e = RecordError::None;
    if (raw) {
        const RecordFileHeader header = RecordFileHeader::decode(bytes.left(RecordFileHeader::Size));
        e = ParseRecordData(header, rawBody(bytes.mid(RecordFileHeader::Size)), rec);
    } else {
        RecordFileData file;
        e = readRecordBytes(bytes, file);
        if (e == RecordError::None) {
            if (file.inflated.size() > RecordBufferSize)
                std::abort();
            e = ParseRecordData(file.header, file.inflated, rec);
        }
    }
    if (e != RecordError::None) {
        if (!(rec == before))
            std::abort();
        return 0;
    }
    if (rec.FrameCount < 1 || rec.FirstFrame != 1 || rec.CurrentFrame != 1
        || rec.Samples.size() < qsizetype(rec.FrameCount) * ReplayInfo::FrameSize
        || rec.Samples.size() > RecordBufferSize + 1)
        std::abort();
    for (qint16 s : rec.Samples)
        if (s < 0 || s > 199)
            std::abort();
    // Replayed: the first, a middle and the last frame.
    const QSize plotSize(350, 250);
    QImage plot(plotSize, QImage::Format_RGB32);
    plot.fill(qRgb(0x12, 0x34, 0x56));
    for (int frame : {1, (rec.FrameCount + 1) / 2, int(rec.FrameCount)}) {
        rec.CurrentFrame = qint16(frame);
        RedrawFrame(plot, rec);
        if (plot.size() != plotSize)
            std::abort();
        QImage fresh(plotSize, QImage::Format_RGB32);
        fresh.fill(qRgb(0xED, 0xCB, 0xA9));
        RedrawFrame(fresh, rec);
        if (fresh != plot)
            std::abort();
    }
    return 0;
}
