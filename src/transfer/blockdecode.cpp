#include "transfer/blockdecode.h"

#include "common/constants.h"
#include "values/rounding.h"
#include "values/sampletime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void StoreSetupBytes(QByteArrayView bytes, SetupBlock *last)
{
    if (!last || bytes.isEmpty())
        return;
    last->overwrite(bytes.first(std::min<qsizetype>(bytes.size(), SetupBlock::Size)));
}

int StoreBlockPoints(QByteArrayView bytes, WorkPoints *pts)
{
    const qsizetype room = std::min<qsizetype>(qsizetype(pts->size()) - 1, TransferData::MaxPoints);
    const int n = int(std::clamp<qsizetype>(bytes.size(), 0, std::max<qsizetype>(room, 0)));
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    for (int i = 0; i < n; ++i)
        (*pts)[size_t(i) + 1] = p[i];
    return n;
}

QList<qint32> FreshRows()
{
    return QList<qint32>(TransferData::WorkPtsSize, 0);
}

// The points 1..count that exist both in the block and in the buffer.
static int boundedCount(const WorkPoints &pts, int count)
{
    const int room = int(std::min<size_t>(pts.size(), TransferData::WorkPtsSize)) - 1;
    return std::clamp(count, 0, std::max(room, 0));
}

QList<qint32> DecodeAnalogRows(const WorkPoints &pts, int count, bool invertRunning)
{
    QList<qint32> rows = FreshRows();
    const int n = boundedCount(pts, count);
    qint32 *out = rows.data();
    for (int i = 1; i <= n; ++i) {
        const int level = std::clamp<qint32>(pts[size_t(i)], RawLevel::Top, RawLevel::AnalogMax);
        const int row = level - RawLevel::Top;
        out[i] = invertRunning ? 200 - row : row;
    }
    return rows;
}

QList<qint32> DecodeFftRows(const WorkPoints &pts, int count, bool split)
{
    QList<qint32> rows = FreshRows();
    const int n = boundedCount(pts, count);
    qint32 *out = rows.data();
    for (int i = 1; i <= n; ++i) {
        const double level = pts[size_t(i)];
        const double v = split ? RoundHalfEven(level - 12.5) : level - RawLevel::Top;
        out[i] = qint32(std::clamp(v, 0.0, double(RawLevel::RowMax)));
    }
    return rows;
}

QList<qint32> CopyLogicRows(const WorkPoints &pts)
{
    QList<qint32> rows = FreshRows();
    const size_t n = std::min<size_t>(pts.size(), size_t(rows.size()));
    std::copy(pts.begin(), pts.begin() + qsizetype(n), rows.begin());
    return rows;
}

QString SciText(double value, bool withPlus)
{
    if (!std::isfinite(value))
        return QString();
    const bool negative = value < 0;
    int mantissa = 0; // three digits, 100..999 (0 for zero)
    int exponent = 0;
    if (value != 0) {
        // Fifteen significant digits first, then the three shown, halves away from zero.
        char buf[40];
        const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
        *res.ptr = '\0';
        mantissa = (buf[0] - '0') * 100 + (buf[2] - '0') * 10 + (buf[3] - '0');
        if (buf[4] >= '5')
            ++mantissa;
        exponent = std::atoi(std::strchr(buf, 'e') + 1);
        if (mantissa >= 1000) {
            mantissa /= 10;
            ++exponent;
        }
    }
    char out[16];
    char *o = out;
    if (negative && mantissa != 0)
        *o++ = '-';
    *o++ = char('0' + mantissa / 100);
    *o++ = '.';
    *o++ = char('0' + mantissa / 10 % 10);
    *o++ = char('0' + mantissa % 10);
    *o++ = 'E';
    if (exponent < 0)
        *o++ = '-';
    else if (withPlus)
        *o++ = '+';
    const int e = std::abs(exponent);
    if (e < 10)
        *o++ = '0';
    o = std::to_chars(o, out + sizeof out, e).ptr;
    return QString::fromLatin1(out, o - out);
}

QString TableNumberText(float value)
{
    return SciText(double(value), value >= 1.0f);
}

int GroundOffset(double offsetVolts, double scaleVolts)
{
    if (!(scaleVolts != 0) || !std::isfinite(scaleVolts) || !std::isfinite(offsetVolts))
        return 0;
    const double g = RoundHalfAway(offsetVolts * 25.0 / scaleVolts);
    if (!std::isfinite(g) || g < -32768.0 || g > 32767.0)
        return 0;
    return int(g);
}

static void clampedWindow(const DataTableInput &in, int *first, int *last)
{
    *first = std::clamp(in.first, 0, Screen::Columns - 1);
    *last = std::clamp(in.last, 0, Screen::Columns - 1);
}

int DataTableRowCount(const DataTableInput &in)
{
    if (!in.valid)
        return 0;
    int first, last;
    clampedWindow(in, &first, &last);
    return last < first ? 0 : 2 * (last - first + 1);
}

int BuildDataTable(const DataTableInput &in, const WorkPoints &pts, int count,
                   QStringList *timeText, QStringList *valueText)
{
    int first, last;
    clampedWindow(in, &first, &last);
    int rows = DataTableRowCount(in);
    rows = int(std::min<qsizetype>(rows, std::min(timeText->size(), valueText->size()) - 1));
    if (rows <= 0)
        return 0;
    const int held = boundedCount(pts, count);

    // Times in double precision, with the digits that keep consecutive rows
    // apart (a single-precision time cannot tell apart the points of a short
    // time base far from the trigger).
    const double tstep = in.timeDiv / 50.0;
    const auto timeOf = [&](int k) {
        const int i = 2 * first + k - 1; // the row's point on the 600-point screen
        const double t = tstep * (i - 300) + in.delay;
        return std::fabs(t) < std::fabs(tstep) * 1e-6 ? 0.0 : t; // no rounding dust at zero
    };
    const int digits = SampleTimeDigits(timeOf(1), timeOf(rows), std::fabs(tstep));
    for (int k = 1; k <= rows; ++k)
        (*timeText)[k] = SampleTimeText(timeOf(k), digits);
    if (!in.analog)
        return rows;

    const int g = GroundOffset(in.offset, in.scale);
    const bool scaleUsable = in.scale != 0 && std::isfinite(in.scale);
    const float scale = scaleUsable ? float(in.scale) : 0.0f;
    const int base = 100 - g;
    for (int k = 1; k <= rows; ++k) {
        const int index = 2 * first + k; // WorkPts index of the row's point
        if (index > held) {
            (*valueText)[k] = QString();
            continue;
        }
        const int level = pts[size_t(index)];
        const int row = in.invertRunning ? 200 - (level - RawLevel::Top) : level - RawLevel::Top;
        float v = float(base - row) * scale / 25.0f;
        if (!std::isfinite(v))
            v = 0.0f;
        (*valueText)[k] = TableNumberText(v);
    }
    return rows;
}
