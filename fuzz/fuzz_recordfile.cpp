// Fuzz target: the record file reader on arbitrary bytes. A file either
// fails with a known error and leaves the record untouched, or fills it so
// that every frame from 1 to FrameCount lies inside the samples.

#include "common/replayinfo.h"
#include "replay/recordfile.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RecordFileData file;
    ReplayInfo rec;
    rec.Channel = QStringLiteral("CH2");
    const ReplayInfo before = rec;
    RecordError e = readRecordBytes(bytes, file);
    if (e == RecordError::None) {
        if (file.inflated.size() > RecordBufferSize)
            std::abort();
        e = ParseRecordData(file.header, file.inflated, rec);
    }
    if (e != RecordError::None) {
        if (!(rec == before))
            std::abort();
        return 0;
    }
    if (rec.FrameCount < 1 || rec.Samples.size() < qsizetype(rec.FrameCount) * ReplayInfo::FrameSize)
        std::abort();
    for (qint16 s : rec.Samples)
        if (s < 0 || s > 199)
            std::abort();
    return 0;
}
