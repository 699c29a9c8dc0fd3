#include "storedwave/csvexport.h"

#include "storedwave/screendata.h"
#include "values/sampletime.h"
#include "values/scalesteps.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr qint64 BreatheRows = 4096;

bool usable(double v) { return v != 0.0 && std::isfinite(v); }

// 10^k for k = 0 .. 60 (exact up to 10^22).
const std::array<double, 61> &powersOfTen()
{
    static const std::array<double, 61> table = [] {
        std::array<double, 61> t{};
        for (int k = 0; k < 61; ++k)
            t[size_t(k)] = std::pow(10.0, k);
        return t;
    }();
    return table;
}

// a * 10^k, by multiplying or dividing with an exact power where there is one.
double scaledByTen(double a, int k)
{
    const auto &p = powersOfTen();
    return k >= 0 ? a * p[size_t(std::min(k, 60))] : a / p[size_t(std::min(-k, 60))];
}

// Writes v as the file does at out and returns the end.
char *putNumber(char *out, float f)
{
    const double v = f;
    if (v == 0.0 || !std::isfinite(v)) {
        std::memcpy(out, "0.00E00", 7);
        return out + 7;
    }
    const double a = std::fabs(v);
    int binary = 0;
    std::frexp(a, &binary); // 2^(binary - 1) <= a < 2^binary
    int e = int(std::floor((binary - 1) * 0.30102999566398120));
    // Three digits, half away from zero; the estimate of e is off by one at most.
    double digits = std::round(scaledByTen(a, 2 - e));
    if (digits < 100.0) {
        --e;
        digits = std::round(scaledByTen(a, 2 - e));
    }
    if (digits >= 1000.0) {
        ++e;
        digits = std::round(scaledByTen(a, 2 - e));
        if (digits >= 1000.0) // 999.5 and above rounds up into the next power
            digits = 100.0;
    }
    const int d = int(digits);
    if (v < 0)
        *out++ = '-';
    *out++ = char('0' + d / 100);
    *out++ = '.';
    *out++ = char('0' + d / 10 % 10);
    *out++ = char('0' + d % 10);
    *out++ = 'E';
    if (v >= 1.0)
        *out++ = e < 0 ? '-' : '+';
    else if (e < 0)
        *out++ = '-';
    const int ae = std::abs(e);
    if (ae >= 100)
        *out++ = char('0' + ae / 100);
    *out++ = char('0' + ae / 10 % 10);
    *out++ = char('0' + ae % 10);
    return out;
}

// The time of row j, in double precision (a single-precision time repeats
// itself over thousands of rows of a long record).
double rowTime(qint64 j, qint64 half, double interval, double delay)
{
    const double t = double(j - half) * interval + delay;
    return std::fabs(t) < std::fabs(interval) * 1e-6 ? 0.0 : t; // no rounding dust at zero
}

// The digits of a time column of rows 0 .. rows - 1.
int timeDigits(qint64 rows, qint64 half, double interval, double delay)
{
    if (rows <= 0)
        return SampleTimeMinDigits;
    return SampleTimeDigits(rowTime(0, half, interval, delay), rowTime(rows - 1, half, interval, delay),
                            std::fabs(interval));
}

char *putTime(char *out, qint64 j, qint64 half, double interval, double delay, int digits)
{
    return PutSampleTime(out, rowTime(j, half, interval, delay), digits);
}

char *putVolts(char *out, const QList<qint16> &samples, qint64 j, qint16 offset, float voltDiv)
{
    if (j >= samples.size())
        return out; // no sample there: the field stays empty
    const float levels = float(125 - int(samples[j]) - int(offset));
    return putNumber(out, levels * voltDiv / 25.0f);
}

} // namespace

CsvRefusal prepareCsvExport(const StoredWave &w, CsvExportData *out)
{
    CsvExportData d;
    if (w.Setup.CH1Valid == 0 && w.Setup.CH2Valid == 0)
        return CsvRefusal::NoChannel;
    d.ch1 = w.Setup.CH1Valid == 1;
    d.ch2 = w.Setup.CH2Valid == 1;
    d.alternate = isAlternate(w);
    if (!d.alternate) {
        d.rows = d.ch1Rows = d.ch2Rows = std::max<qint64>(0, w.SampleCount);
        d.half = qint64(std::nearbyint(double(d.rows) / 2.0));
    } else {
        // Each channel has its own count. The times are centred on CH1's
        // record, or on CH2's when CH1 is absent (its count then means
        // nothing); there are rows for every point of either channel.
        const qint64 n1 = std::max<qint64>(0, w.Ch1SampleCount);
        const qint64 n2 = std::max<qint64>(0, w.Ch2SampleCount);
        const qint64 centred = d.ch1 ? n1 : n2;
        d.half = qint64(std::nearbyint(double(centred) / 2.0));
        d.rows = std::max(d.ch1 ? n1 : 0, d.ch2 ? n2 : 0);
        d.ch1Rows = d.ch1 ? n1 : d.rows; // an absent CH1 still has its time column
        d.ch2Rows = d.ch2 ? n2 : 0;
    }
    const double rate1 = d.alternate ? w.Ch1SampleRate : w.SampleRate;
    const double rate2 = d.alternate ? w.Ch2SampleRate : w.SampleRate;
    if (!usable(rate1) || (d.alternate && d.ch2 && !usable(rate2)))
        return CsvRefusal::BadScale;
    d.interval1 = 1.0 / rate1;
    d.interval2 = usable(rate2) ? 1.0 / rate2 : 0.0;
    d.delay1 = d.alternate ? w.Ch1Delay : w.Delay;
    d.delay2 = d.alternate ? w.Ch2Delay : w.Delay;
    // The levels are turned into volts at the scale and offset they were
    // taken at, as the picture does: the display scale of the snapshot only
    // says how they were shown.
    if ((d.ch1 && (!usable(w.SavedCh1VoltDiv) || !usable(w.SavedCh1AcqVoltDiv)))
        || (d.ch2 && (!usable(w.SavedCh2VoltDiv) || !usable(w.SavedCh2AcqVoltDiv))))
        return CsvRefusal::BadScale;
    if (d.ch1) {
        d.voltDiv1 = w.SavedCh1AcqVoltDiv;
        d.offset1 = w.SavedCh1AcqOffset;
        d.samples1 = w.Ch1Samples;
    }
    if (d.ch2) {
        d.voltDiv2 = w.SavedCh2AcqVoltDiv;
        d.offset2 = w.SavedCh2AcqOffset;
        d.samples2 = w.Ch2Samples;
    }
    *out = std::move(d);
    return CsvRefusal::None;
}

void appendCsvNumber(QByteArray &out, float v)
{
    char text[16];
    out.append(text, putNumber(text, v) - text);
}

QString csvNumber(float v)
{
    QByteArray b;
    appendCsvNumber(b, v);
    return QString::fromLatin1(b);
}

qint64 csvProgressStep(qint64 rows)
{
    return std::max<qint64>(1, qint64(std::nearbyint(double(rows) / 10.0)));
}

bool writeCsv(const CsvExportData &d, const std::function<bool(const char *, qint64)> &write,
              const std::function<void(int, qint64)> &progress, const std::function<void()> &breathe)
{
    QByteArray head;
    if (!d.alternate) {
        head.append("X");
        if (d.ch1)
            head.append(",CH1");
        if (d.ch2)
            head.append(",CH2");
        head.append("\r\nSecond");
        if (d.ch1)
            head.append(",Voltage");
        if (d.ch2)
            head.append(",Voltage");
    } else {
        head.append("X(CH1)");
        if (d.ch1)
            head.append(",CH1");
        if (d.ch2)
            head.append(",X(CH2),CH2");
        head.append("\r\nSecond[S]");
        if (d.ch1)
            head.append(",Voltage[V]");
        if (d.ch2)
            head.append(",Second[S],Voltage[V]");
    }
    head.append("\r\n");
    if (!write(head.constData(), head.size()))
        return false;

    // Rows go out in pieces of about a megabyte; a row is at most two times
    // and two voltages of at most 22 characters each with their separators
    // and the line end.
    constexpr qsizetype Piece = 1 << 20;
    constexpr qsizetype RowMax = 4 * SampleTimeMaxChars + 8;
    const int digits1 = timeDigits(d.ch1Rows, d.half, d.interval1, d.delay1);
    const int digits2 = timeDigits(d.ch2Rows, d.half, d.interval2, d.delay2);
    std::vector<char> buffer(size_t(Piece + RowMax));
    char *const start = buffer.data();
    char *p = start;
    const qint64 step = csvProgressStep(d.rows);
    int percent = 0;
    for (qint64 j = 0; j < d.rows; ++j) {
        // Past a channel's own count there is no point of it: empty fields.
        const bool ch1Point = j < d.ch1Rows;
        if (ch1Point)
            p = putTime(p, j, d.half, d.interval1, d.delay1, digits1);
        if (d.ch1) {
            *p++ = ',';
            if (ch1Point)
                p = putVolts(p, d.samples1, j, d.offset1, d.voltDiv1);
        }
        if (d.ch2) {
            *p++ = ',';
            if (d.alternate) {
                if (j < d.ch2Rows)
                    p = putTime(p, j, d.half, d.interval2, d.delay2, digits2);
                *p++ = ',';
                if (j < d.ch2Rows)
                    p = putVolts(p, d.samples2, j, d.offset2, d.voltDiv2);
            } else {
                p = putVolts(p, d.samples2, j, d.offset2, d.voltDiv2);
            }
        }
        *p++ = '\r';
        *p++ = '\n';
        if (p - start >= Piece) {
            if (!write(start, p - start))
                return false;
            p = start;
        }
        const qint64 done = j + 1;
        if (done % step == 0 && percent < 100) {
            percent = std::min(100, percent + 10);
            if (progress)
                progress(percent, done);
        }
        if (breathe && done % BreatheRows == 0)
            breathe();
    }
    return p == start || write(start, p - start);
}

QByteArray buildCsv(const CsvExportData &d, const std::function<void(int, qint64)> &progress,
                    const std::function<void()> &breathe)
{
    QByteArray out;
    writeCsv(
        d,
        [&out](const char *data, qint64 size) {
            out.append(data, qsizetype(size));
            return true;
        },
        progress, breathe);
    return out;
}
