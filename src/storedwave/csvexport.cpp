#include "storedwave/csvexport.h"

#include "storedwave/screendata.h"
#include "values/scalesteps.h"

#include <cmath>

namespace {

constexpr qint64 BreatheRows = 4096;

bool usable(double v) { return v != 0.0 && std::isfinite(v); }

void appendTime(QByteArray &out, qint64 j, qint64 half, double interval, double delay)
{
    appendCsvNumber(out, float(double(j - half) * interval + delay));
}

void appendVolts(QByteArray &out, const QList<qint16> &samples, qint64 j, qint16 offset, float voltDiv)
{
    if (j >= samples.size())
        return; // no sample there: the field stays empty
    const float levels = float(125 - int(samples[j]) - int(offset));
    appendCsvNumber(out, levels * voltDiv / 25.0f);
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
    d.rows = std::max<qint64>(0, d.alternate ? w.Ch1SampleCount : w.SampleCount);
    d.half = qint64(std::nearbyint(double(d.rows) / 2.0));
    const double rate1 = d.alternate ? w.Ch1SampleRate : w.SampleRate;
    const double rate2 = d.alternate ? w.Ch2SampleRate : w.SampleRate;
    if (!usable(rate1) || (d.alternate && d.ch2 && !usable(rate2)))
        return CsvRefusal::BadScale;
    d.interval1 = 1.0 / rate1;
    d.interval2 = usable(rate2) ? 1.0 / rate2 : 0.0;
    d.delay1 = d.alternate ? w.Ch1Delay : w.Delay;
    d.delay2 = d.alternate ? w.Ch2Delay : w.Delay;
    if ((d.ch1 && !usable(w.SavedCh1VoltDiv)) || (d.ch2 && !usable(w.SavedCh2VoltDiv)))
        return CsvRefusal::BadScale;
    if (d.ch1) {
        d.voltDiv1 = w.SavedCh1VoltDiv;
        d.offset1 = VoltsToLevel(w.SavedCh1Offset, w.SavedCh1VoltDiv);
        d.samples1 = w.Ch1Samples;
    }
    if (d.ch2) {
        d.voltDiv2 = w.SavedCh2VoltDiv;
        d.offset2 = VoltsToLevel(w.SavedCh2Offset, w.SavedCh2VoltDiv);
        d.samples2 = w.Ch2Samples;
        d.ch2Rows = d.alternate ? std::max<qint64>(0, w.Ch2SampleCount) : d.rows;
    }
    *out = std::move(d);
    return CsvRefusal::None;
}

void appendCsvNumber(QByteArray &out, float f)
{
    const double v = f;
    if (v == 0.0 || !std::isfinite(v)) {
        out.append("0.00E00");
        return;
    }
    const bool negative = v < 0;
    const double a = std::fabs(v);
    int e = int(std::floor(std::log10(a)));
    double digits = std::round(a / std::pow(10.0, e) * 100.0); // half away from zero
    if (digits >= 1000.0) {
        digits = std::round(digits / 10.0);
        ++e;
    } else if (digits < 100.0) { // log10 came out one too high
        --e;
        digits = std::round(a / std::pow(10.0, e) * 100.0);
    }
    const int d = int(digits);
    if (negative)
        out.append('-');
    out.append(char('0' + d / 100));
    out.append('.');
    out.append(char('0' + d / 10 % 10));
    out.append(char('0' + d % 10));
    out.append('E');
    if (v >= 1.0)
        out.append(e < 0 ? '-' : '+');
    else if (e < 0)
        out.append('-');
    const int ae = std::abs(e);
    if (ae >= 100)
        out.append(char('0' + ae / 100));
    out.append(char('0' + ae / 10 % 10));
    out.append(char('0' + ae % 10));
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

QByteArray buildCsv(const CsvExportData &d, const std::function<void(int, qint64)> &progress,
                    const std::function<void()> &breathe)
{
    QByteArray out;
    out.reserve(qsizetype(std::min<qint64>(d.rows, 4000000) * (d.alternate ? 36 : 27) + 64));
    if (!d.alternate) {
        out.append("X");
        if (d.ch1)
            out.append(",CH1");
        if (d.ch2)
            out.append(",CH2");
        out.append("\r\nSecond");
        if (d.ch1)
            out.append(",Voltage");
        if (d.ch2)
            out.append(",Voltage");
    } else {
        out.append("X(CH1)");
        if (d.ch1)
            out.append(",CH1");
        if (d.ch2)
            out.append(",X(CH2),CH2");
        out.append("\r\nSecond[S]");
        if (d.ch1)
            out.append(",Voltage[V]");
        if (d.ch2)
            out.append(",Second[S],Voltage[V]");
    }
    out.append("\r\n");

    const qint64 step = csvProgressStep(d.rows);
    int percent = 0;
    for (qint64 j = 0; j < d.rows; ++j) {
        appendTime(out, j, d.half, d.interval1, d.delay1);
        if (d.ch1) {
            out.append(',');
            appendVolts(out, d.samples1, j, d.offset1, d.voltDiv1);
        }
        if (d.ch2) {
            out.append(',');
            if (d.alternate) {
                // Past CH2's own count there is no CH2 point: empty fields.
                if (j < d.ch2Rows)
                    appendTime(out, j, d.half, d.interval2, d.delay2);
                out.append(',');
                if (j < d.ch2Rows)
                    appendVolts(out, d.samples2, j, d.offset2, d.voltDiv2);
            } else {
                appendVolts(out, d.samples2, j, d.offset2, d.voltDiv2);
            }
        }
        out.append("\r\n");
        const qint64 done = j + 1;
        if (done % step == 0 && percent < 100) {
            percent = std::min(100, percent + 10);
            if (progress)
                progress(percent, done);
        }
        if (breathe && done % BreatheRows == 0)
            breathe();
    }
    return out;
}
