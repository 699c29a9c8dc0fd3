#include "replay/recordfile.h"

#include "common/binaryread.h"
#include "values/normvalue.h"
#include "values/scalesteps.h"

#include <QtEndian>

#include <zlib.h>

#include <cstring>

namespace {

template <typename T>
void writeLE(QByteArray &data, int offset, T value)
{
    qToLittleEndian<T>(value, data.data() + offset);
}

// The decimal text of a number as the formatters take it: 15 significant
// digits for a double, 7 for a single; always with ".".
QString doubleText(double v) { return QString::number(v, 'g', 15); }
QString singleText(float v) { return QString::number(double(v), 'g', 7); }

} // namespace

RecordFileHeader RecordFileHeader::decode(const QByteArray &d)
{
    RecordFileHeader h;
    h.Magic = readLE<quint16>(d, 0);
    h.Source = readLE<quint32>(d, 8);
    h.SourceChannel = readLE<quint32>(d, 12);
    h.FirstFrameNumber = readLE<qint16>(d, 16);
    h.LastFrameNumber = readLE<qint16>(d, 18);
    h.CH1On = readLE<quint8>(d, 20);
    h.CH1VoltDiv = readLE<qint32>(d, 24);
    h.CH1Offset = readLE<qint16>(d, 28);
    h.CH2On = readLE<quint8>(d, 30);
    h.CH2VoltDiv = readLE<qint32>(d, 32);
    h.CH2Offset = readLE<qint16>(d, 36);
    h.TimeDiv = readLE<qint64>(d, 40);
    h.Delay = readLE<qint64>(d, 48);
    return h;
}

QByteArray RecordFileHeader::encode() const
{
    QByteArray d(Size, '\0');
    writeLE<quint16>(d, 0, Magic);
    writeLE<quint32>(d, 8, Source);
    writeLE<quint32>(d, 12, SourceChannel);
    writeLE<qint16>(d, 16, FirstFrameNumber);
    writeLE<qint16>(d, 18, LastFrameNumber);
    writeLE<quint8>(d, 20, CH1On);
    writeLE<qint32>(d, 24, CH1VoltDiv);
    writeLE<qint16>(d, 28, CH1Offset);
    writeLE<quint8>(d, 30, CH2On);
    writeLE<qint32>(d, 32, CH2VoltDiv);
    writeLE<qint16>(d, 36, CH2Offset);
    writeLE<qint64>(d, 40, TimeDiv);
    writeLE<qint64>(d, 48, Delay);
    return d;
}

bool recordErrorMessage(RecordError e, Msg *msg)
{
    switch (e) {
    case RecordError::BadFormat: *msg = Msg::MsgBadFileFormat; return true;
    case RecordError::InflateFailed: *msg = Msg::MsgFileOpFailed; return true;
    case RecordError::NoWholeFrame: *msg = Msg::MsgFileOpFailed; return true;
    case RecordError::ChannelOff: *msg = Msg::MsgBadChannelData; return true;
    case RecordError::None:
    case RecordError::Unreadable: return false;
    }
    return false;
}

RecordError readRecordBytes(const QByteArray &fileBytes, RecordFileData &out)
{
    const QByteArray held = fileBytes.left(RecordBufferSize);
    const RecordFileHeader header = RecordFileHeader::decode(held);
    if (header.Magic != RecordFileHeader::MagicValue)
        return RecordError::BadFormat;
    const qsizetype bodySize = held.size() > RecordFileHeader::Size ? held.size() - RecordFileHeader::Size : 0;
    if (bodySize == 0)
        return RecordError::InflateFailed;
    // uncompress fails (Z_BUF_ERROR) when the body inflates to more than the
    // buffer holds, and on a corrupt, cut or empty stream.
    QByteArray inflated(RecordBufferSize, Qt::Uninitialized);
    uLongf destLen = uLongf(RecordBufferSize);
    const int rc = uncompress(reinterpret_cast<Bytef *>(inflated.data()), &destLen,
                              reinterpret_cast<const Bytef *>(held.constData()) + RecordFileHeader::Size,
                              uLong(bodySize));
    if (rc != Z_OK || destLen > uLongf(RecordBufferSize))
        return RecordError::InflateFailed;
    inflated.truncate(qsizetype(destLen));
    out.header = header;
    out.inflated = std::move(inflated);
    return RecordError::None;
}

RecordError readRecordFile(const QString &path, RecordFileData &out)
{
    QByteArray bytes;
    if (!ReadFileHead(path, RecordBufferSize, &bytes))
        return RecordError::Unreadable;
    return readRecordBytes(bytes, out);
}

RecordError ParseRecordData(const RecordFileHeader &h, const QByteArray &inflated, ReplayInfo &rec)
{
    const qsizetype n = std::min<qsizetype>(inflated.size(), RecordBufferSize);

    QString channel = rec.Channel;
    switch (h.Source) {
    case 0: channel = QStringLiteral("CH1"); break;
    case 1: channel = QStringLiteral("CH2"); break;
    case 2: channel = h.SourceChannel == 0 ? QStringLiteral("CH1") : QStringLiteral("CH2"); break;
    default: break; // no channel selected: the earlier one stays
    }
    if ((channel == QLatin1String("CH1") && h.CH1On == 0) || (channel == QLatin1String("CH2") && h.CH2On == 0))
        return RecordError::ChannelOff;

    // Frame count: the header's, worked out wide so that it cannot wrap; a
    // count below 1 or beyond 16 bits is a damaged header.
    const int headerCount = int(h.LastFrameNumber) - int(h.FirstFrameNumber) + 1;
    if (headerCount < 1 || headerCount > 32767)
        return RecordError::BadFormat;
    // Every frame shown must lie inside the samples: a body shorter than the
    // header claims replays the whole frames it holds.
    const qsizetype wholeFrames = n / ReplayInfo::FrameSize;
    if (wholeFrames < 1)
        return RecordError::NoWholeFrame;
    const int frameCount = int(std::min<qsizetype>(headerCount, wholeFrames));

    ReplayInfo next = rec;
    next.Samples = QList<qint16>(n + 1, 0);
    const auto *src = reinterpret_cast<const unsigned char *>(inflated.constData());
    qint16 *dst = next.Samples.data();
    for (qsizetype i = 0; i < n; ++i) {
        int level = src[i];
        if (level < 25)
            level = 25;
        else if (level > 25 + 199)
            level = 25 + 199;
        dst[i] = qint16(level - 25);
    }
    next.Channel = channel;

    auto scaleTexts = [&next](qint32 microvolts, qint16 offset) {
        const double v = double(microvolts) / 1000000.0;
        next.VoltDivText = FormatVolt(doubleText(v));
        next.OffsetText = FormatVolt(singleText(LevelToVolts(offset, float(v))));
    };
    if (channel == QLatin1String("CH1"))
        scaleTexts(h.CH1VoltDiv, h.CH1Offset);
    else if (channel == QLatin1String("CH2"))
        scaleTexts(h.CH2VoltDiv, h.CH2Offset);

    auto words = [](qint64 v, qint32 *low, qint32 *high) {
        const quint64 u = quint64(v);
        *low = qint32(quint32(u & 0xffffffffu));
        *high = qint32(quint32(u >> 32));
    };
    qint32 lo = 0, hi = 0;
    words(h.TimeDiv, &lo, &hi);
    next.TimeDivText = FormatTime4(doubleText(PicosToSeconds(lo, hi)));
    words(h.Delay, &lo, &hi);
    next.DelayText = FormatTime5(doubleText(PicosToSeconds(lo, hi)));

    next.FirstFrame = 1;
    next.FrameCount = qint16(frameCount);
    next.CurrentFrame = 1;
    rec = std::move(next);
    return RecordError::None;
}

RecordError loadRecordFile(const QString &path, ReplayInfo &rec)
{
    RecordFileData data;
    const RecordError e = readRecordFile(path, data);
    if (e != RecordError::None)
        return e;
    return ParseRecordData(data.header, data.inflated, rec);
}
