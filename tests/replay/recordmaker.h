#pragma once
// Makes record files for the tests: a header and a zlib-compressed body of
// frames whose raw levels a function gives.

#include "replay/recordfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

#include <zlib.h>

inline QByteArray compressBody(const QByteArray &raw)
{
    uLongf n = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(n), '\0');
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(raw.constData()),
                  uLong(raw.size()), 9) != Z_OK)
        return {};
    out.truncate(qsizetype(n));
    return out;
}

// Frames of 1024 raw levels each; level(frame from 1, index 0..1023).
inline QByteArray rawFrames(int count, const std::function<int(int, int)> &level)
{
    QByteArray raw(qsizetype(count) * 1024, '\0');
    for (int f = 1; f <= count; ++f)
        for (int i = 0; i < 1024; ++i)
            raw[qsizetype(f - 1) * 1024 + i] = char(quint8(level(f, i)));
    return raw;
}

// CH1 on at 1 V/div, offset 0, 1 ms/div, no delay, frames 1..frames.
inline RecordFileHeader basicHeader(int frames)
{
    RecordFileHeader h;
    h.Magic = RecordFileHeader::MagicValue;
    h.Source = 0;
    h.FirstFrameNumber = 1;
    h.LastFrameNumber = qint16(frames);
    h.CH1On = 1;
    h.CH1VoltDiv = 1000000;
    h.CH2On = 1;
    h.CH2VoltDiv = 2000000;
    h.TimeDiv = 1000000000;
    h.Delay = 0;
    return h;
}

inline QByteArray recordFile(const RecordFileHeader &h, const QByteArray &raw)
{
    return h.encode() + compressBody(raw);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
