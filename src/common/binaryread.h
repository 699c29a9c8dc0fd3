#pragma once
// Reading the binary files the instrument writes: little-endian values at
// byte offsets of a buffer, and the leading bytes of a file.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtEndian>

// The little-endian value of type T at offset of data; bytes past the end of
// data (or before its start) read as 0.
template <typename T>
T readLE(QByteArrayView data, qsizetype offset)
{
    unsigned char bytes[sizeof(T)] = {};
    for (size_t i = 0; i < sizeof(T); ++i) {
        const qsizetype at = offset + qsizetype(i);
        if (at >= 0 && at < data.size())
            bytes[i] = static_cast<unsigned char>(data[at]);
    }
    return qFromLittleEndian<T>(bytes);
}

// The first maxBytes bytes of the file at path (all of a shorter file).
// False when the file cannot be opened or read.
bool ReadFileHead(const QString &path, qsizetype maxBytes, QByteArray *out);
