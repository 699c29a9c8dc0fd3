#pragma once
// Makes waveform files for the tests, the fuzz seeds and the benchmark: the
// fields are written byte by byte at their offsets of either header layout,
// then the blocks. Nothing here comes from the reader.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <array>
#include <functional>

struct WaveSpec {
    bool older = false;           // the 252-byte 0xA5A1 layout
    quint16 magic = 0;            // 0: the layout's own
    qint32 points = 600;          // N
    qint32 ch1MicroVolts = 1000000, ch1AcqMicroVolts = 1000000;
    qint16 ch1Offset = 0, ch1AcqOffset = 0;
    quint8 ch1Present = 1;
    qint32 ch2MicroVolts = 500000, ch2AcqMicroVolts = 500000;
    qint16 ch2Offset = 0, ch2AcqOffset = 0;
    quint8 ch2Present = 0;
    qint64 timeDivPs = 1000000000;   // 1 ms
    qint64 positionPs = 0;
    float sampleRate = 1.0e6f;
    qint64 acqTimeDivPs = 1000000000;
    qint64 delayPs = 0;
    quint8 laPresent = 0;
    quint8 laSelected = 0;
    qint16 laShownMask = 0;
    std::array<quint8, 16> laPosition{};
    quint8 laHighGroup = 0, laLowGroup = 0;
    quint8 trigMode = 0;          // 4: alternate trigger
    qint32 ch2Points = 0;         // alternate trigger
    qint64 ch2TimeDivPs = 0, ch2PositionPs = 0, ch2AcqTimeDivPs = 0, ch2DelayPs = 0;
    float ch2SampleRate = 0.0f;
    // Block contents, as bytes; missing bytes are not written (a short file).
    QByteArray ch1, ch2, la;
};

inline QByteArray waveHeader(const WaveSpec &s)
{
    const int size = s.older ? 252 : 272;
    QByteArray d(size, '\0');
    // Offsets below 120 are the same in both layouts; the older one moves the
    // trigger mode to 120 and everything from current 148 on 20 bytes down.
    auto at = [&s](int current) { return (s.older && current >= 148) ? current - 20 : current; };
    auto put = [&d](int off, auto v) { qToLittleEndian(v, d.data() + off); };
    put(0, quint16(s.magic ? s.magic : (s.older ? 0xA5A1 : 0xA5A5)));
    put(28, s.points);
    put(36, s.ch1MicroVolts);
    put(40, s.ch1Offset);
    put(49, s.ch1Present);
    put(52, s.ch1AcqMicroVolts);
    put(56, s.ch1AcqOffset);
    put(60, s.ch2MicroVolts);
    put(64, s.ch2Offset);
    put(73, s.ch2Present);
    put(76, s.ch2AcqMicroVolts);
    put(80, s.ch2AcqOffset);
    put(84, s.timeDivPs);
    put(92, s.positionPs);
    put(100, s.sampleRate);
    put(104, s.acqTimeDivPs);
    put(112, s.delayPs);
    if (!s.older) {
        put(120, s.laPresent);
        put(121, s.laSelected);
        put(122, s.laShownMask);
        for (int i = 0; i < 16; ++i)
            put(124 + i, s.laPosition[size_t(i)]);
        put(140, s.laHighGroup);
        put(141, s.laLowGroup);
    }
    put(s.older ? 120 : 142, s.trigMode);
    put(at(232), s.ch2Points);
    put(at(236), s.ch2TimeDivPs);
    put(at(244), s.ch2PositionPs);
    put(at(252), s.ch2SampleRate);
    put(at(256), s.ch2AcqTimeDivPs);
    put(at(264), s.ch2DelayPs);
    return d;
}

// Header, the 4 skipped bytes, then the blocks as given.
inline QByteArray waveFile(const WaveSpec &s)
{
    return waveHeader(s) + QByteArray("\xde\xad\xbe\xef", 4) + s.ch1 + s.ch2 + s.la;
}

inline QByteArray levels(qint64 n, const std::function<int(qint64)> &level)
{
    QByteArray b(qsizetype(n), '\0');
    for (qint64 i = 0; i < n; ++i)
        b[qsizetype(i)] = char(quint8(level(i)));
    return b;
}

// A digital block of n points in the 16-bit form (word(i), low byte first).
inline QByteArray laWords(qint64 n, const std::function<quint16(qint64)> &word)
{
    QByteArray b(qsizetype(2 * n), '\0');
    for (qint64 i = 0; i < n; ++i) {
        const quint16 w = word(i);
        b[qsizetype(2 * i)] = char(w & 0xff);
        b[qsizetype(2 * i + 1)] = char(w >> 8);
    }
    return b;
}

inline bool writeWaveFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
