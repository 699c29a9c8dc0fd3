// Feeds arbitrary setup blocks and waveform blocks to the block decoders and
// the data-table builder. Layout of an input: 1 control byte, 4 doubles
// (scale, offset, time/div, delay; any bits, NaN and infinities included),
// a 2-byte setup length, that many setup bytes, then the waveform block.
// Nothing may read or write outside its buffer; every decoded row stays in
// its range and every text row up to the row count is written.
#include "maxlen.h"

#include "transfer/blockdecode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
struct Reader {
    const uint8_t *p;
    size_t left;
    template <typename T> T take()
    {
        T v{};
        const size_t n = std::min(left, sizeof(T));
        std::memcpy(&v, p, n);
        p += n;
        left -= n;
        return v;
    }
};
} // namespace

// Blocks of every size the buffer takes, and beyond.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 32 * 1024);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader r{data, size};
    const uint8_t control = r.take<uint8_t>();
    DataTableInput in;
    in.scale = r.take<double>();
    in.offset = r.take<double>();
    in.timeDiv = r.take<double>();
    in.delay = r.take<double>();
    const size_t setupLen = std::min<size_t>(r.take<uint16_t>(), r.left);
    const QByteArrayView setupBytes(reinterpret_cast<const char *>(r.p), qsizetype(setupLen));
    r.p += setupLen;
    r.left -= setupLen;
    const QByteArrayView block(reinterpret_cast<const char *>(r.p), qsizetype(r.left));

    SetupBlock setup;
    StoreSetupBytes(setupBytes, &setup);
    const bool alternate = control & 1;
    in.first = alternate ? setup.CH1FirstPoint : setup.FirstPoint;
    in.last = alternate ? setup.CH1LastPoint : setup.LastPoint;
    in.valid = setup.CH1Valid != 0 || (control & 2);
    in.analog = !(control & 4);
    in.invertRunning = control & 8;

    // A buffer of the program's size, or a short one.
    WorkPoints pts(control & 16 ? size_t(1 + (control >> 5) * 37) : size_t(TransferData::WorkPtsSize), 0);
    const int count = StoreBlockPoints(block, &pts);
    if (count < 0 || count > TransferData::MaxPoints || size_t(count) + 1 > pts.size())
        std::abort();

    for (bool inv : {false, true}) {
        const QList<qint32> rows = DecodeAnalogRows(pts, count + (control >> 4), inv);
        for (qint32 v : rows)
            if (v < 0 || v > 200)
                std::abort();
    }
    for (bool split : {false, true}) {
        const QList<qint32> rows = DecodeFftRows(pts, count, split);
        for (qint32 v : rows)
            if (v < 0 || v > 199)
                std::abort();
    }
    if (CopyLogicRows(pts).size() != TransferData::WorkPtsSize)
        std::abort();

    const int textRows = (control & 32) ? 7 : TransferData::TextRows;
    QStringList times(textRows, QStringLiteral("x")), values(textRows, QStringLiteral("x"));
    const int rows = BuildDataTable(in, pts, count + (control >> 6) * 1000, &times, &values);
    if (rows < 0 || rows > 600 || rows >= textRows)
        std::abort();
    // Every row gets a time text; a time beyond single precision is the empty
    // text, never "inf" or "nan"; so is a voltage.
    for (int k = 1; k <= rows; ++k) {
        if (times[k] == QLatin1String("x") || (in.analog && values[k] == QLatin1String("x")))
            std::abort();
        for (const QString &t : {times[k], values[k]})
            if (t.contains(QLatin1Char('n')) || t.contains(QLatin1Char('i')))
                std::abort();
    }
    (void)GroundOffset(in.offset, in.scale);
    return 0;
}
