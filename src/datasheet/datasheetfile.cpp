#include "datasheet/datasheetfile.h"

#include "common/filetext.h"

#include "common/constants.h"
#include "platform/safesave.h"
#include "texts/stringres.h"

#include <QFile>

#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

// Field order of the item records (every value one line):
//
// Waveform item (87 lines): Name, HasData, TrigMode, PointCount, SpareFlag,
//   YTFormat, RollMode, SpareWord1, SpareWord2, the eleven texts CH1Offset ..
//   DateText, Channels, ColorMode, GridShown, SplitScreen, BestFit, the
//   channel-box layout (written: the logic channels present now; read into
//   DigitalLayout), ShowCH1..ShowLA, DrawCH1..DrawLA, 50 values of the setup
//   block, XYFormat, MathDisplay, FFTDisplay. When HasData: CH1 and CH2 rows
//   1..1024 (pairs when both were fetched), logic words 1..2048, then the FFT
//   rows (FFTDisplay is the on word of either language: the item keeps the
//   word of its transfer's language) or the MATH rows 1..1024.
// Measure item: Name, HasData, Info; when HasData the 18 measurements, each
//   Value, Enabled, Over, Under.
// Data table item: Name, HasData, InfoLine, RowCount; when HasData the pairs
//   ValueTexts(k), TimeTexts(k) for k = 0..RowCount.
// Record item: Name, ReplayStarted, FileLoaded, ColorMode, FilePath, Channel,
//   the spare flag, FirstFrame, FrameCount, Status, CurrentFrame, LoopReplay,
//   TimeDivText, DelayText, VoltDivText, OffsetText, Interval; when
//   ReplayStarted the (FrameCount - FirstFrame + 1) x 1024 samples.
// Memory waveform item (104 lines): see storedWaveRecord() below; when
//   HasData its sample blocks (storedWaveSamples()).

namespace {


QString floatText(double v, bool single)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    // Plain decimals from 1E-04 up to 1E+07, the exponent form outside;
    // either way the fewest digits that read back to the same value.
    const double m = std::fabs(single ? double(float(v)) : v);
    const auto format = m == 0.0 || (m >= 1e-4 && m < 1e7) ? std::chars_format::fixed : std::chars_format::scientific;
    char buf[400];
    const auto r = single ? std::to_chars(buf, buf + sizeof buf, float(v), format)
                          : std::to_chars(buf, buf + sizeof buf, v, format);
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    s.replace(u'e', u'E');
    return s;
}

class Writer {
public:
    explicit Writer(const DataSheetFileContext &ctx) : ctx_(ctx) { out_.reserve(1 << 16); }

    const DataSheetFileContext &ctx() const { return ctx_; }
    bool ok() const { return true; }
    bool need(qint64) { return true; }

    void text(QString &v)
    {
        QString t = v;
        t.replace(u'"', u'\'');
        t.replace(u'\r', u' ');
        t.replace(u'\n', u' ');
        line(u'"' + t + u'"');
    }
    void flag(bool &v) { line(v ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#")); }
    void layoutFlag(bool &) { bool la = ctx_.laPresent; flag(la); }
    void i16(qint16 &v) { line(QString::number(v)); }
    void i32(qint32 &v) { line(QString::number(v)); }
    void u8(quint8 &v) { line(QString::number(v)); }
    void f32(float &v) { line(floatText(double(v), true)); }
    void f64(double &v) { line(floatText(v, false)); }
    // A bounded value: written as its nearest bound, so the file stays readable.
    void bounded16(qint16 &v, int lo, int hi)
    {
        v = qint16(qBound(lo, int(v), hi));
        i16(v);
    }
    void bounded32(qint32 &v, int lo, int hi)
    {
        v = qBound(lo, v, hi);
        i32(v);
    }
    template <class T> void fresh(QList<T> &, qsizetype) {}
    template <class T> void at32(QList<T> &a, qsizetype i)
    {
        line(QString::number(i >= 0 && i < a.size() ? qint64(a[i]) : 0));
    }
    void textAt(QStringList &a, qsizetype i)
    {
        QString v = i >= 0 && i < a.size() ? a[i] : QString();
        text(v);
    }

    QByteArray bytes() const { return out_.toUtf8(); }

private:
    void line(const QString &s)
    {
        out_ += s;
        out_ += QLatin1String("\r\n");
    }

    const DataSheetFileContext &ctx_;
    QString out_;
};

class Reader {
public:
    // The lines are found as they are read, and a count is checked by
    // looking ahead as far as it goes: no index of the whole file is made, so
    // a hostile file of millions of empty lines costs no more memory than its
    // text.
    Reader(const QString &text, const DataSheetFileContext &ctx) : ctx_(ctx), text_(text) {}

    const DataSheetFileContext &ctx() const { return ctx_; }
    bool ok() const { return !failed_; }
    // False (and the file refused) when fewer than n lines are left.
    bool need(qint64 n)
    {
        if (!failed_ && (n < 0 || !linesLeft(n)))
            failed_ = true;
        return !failed_;
    }

    void text(QString &v)
    {
        QStringView s;
        if (next(&s))
            v = textOf(s);
    }
    void flag(bool &v)
    {
        QStringView s;
        if (!next(&s))
            return;
        s = s.trimmed();
        if (s == u"#TRUE#") {
            v = true;
        } else if (s == u"#FALSE#") {
            v = false;
        } else {
            bool good = false;
            const double d = s.toDouble(&good);
            if (good && std::isfinite(d))
                v = d != 0.0;
        }
    }
    void layoutFlag(bool &v) { flag(v); }
    void i16(qint16 &v) { integer(v); }
    void i32(qint32 &v) { integer(v); }
    void u8(quint8 &v) { integer(v); }
    void f32(float &v)
    {
        // Every decimal that rounds to a finite float is one: the shortest
        // text of the largest float ("3.4028235E+38") lies just above it.
        double d = 0;
        if (real(&d) && std::fabs(d) < 0x1.ffffffp+127)
            v = float(qBound(-double(FLT_MAX), d, double(FLT_MAX)));
    }
    void f64(double &v)
    {
        double d = 0;
        if (real(&d))
            v = d;
    }
    void bounded16(qint16 &v, int lo, int hi)
    {
        qint16 t = v;
        i16(t);
        if (ok() && (t < lo || t > hi))
            failed_ = true;
        else
            v = t;
    }
    void bounded32(qint32 &v, int lo, int hi)
    {
        qint32 t = v;
        i32(t);
        if (ok() && (t < lo || t > hi))
            failed_ = true;
        else
            v = t;
    }
    template <class T> void fresh(QList<T> &a, qsizetype size)
    {
        if (ok())
            a = QList<T>(size, T{});
    }
    template <class T> void at32(QList<T> &a, qsizetype i)
    {
        T t = 0;
        integer(t);
        if (ok() && i >= 0 && i < a.size())
            a[i] = t;
    }
    void textAt(QStringList &a, qsizetype i)
    {
        QString t;
        text(t);
        if (ok() && i >= 0 && i < a.size())
            a[i] = t;
    }

    // The header line as a text value; false at the end of the file.
    bool header(QString *out)
    {
        QStringView s;
        if (!next(&s))
            return false;
        *out = textOf(s);
        return true;
    }

private:
    bool next(QStringView *s)
    {
        if (failed_)
            return false;
        const qsizetype n = text_.size();
        if (at_ >= n) {
            failed_ = true; // cut short
            return false;
        }
        qsizetype end = text_.indexOf(u'\n', at_);
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (stop > at_ && text_[stop - 1] == u'\r')
            --stop;
        *s = text_.sliced(at_, stop - at_);
        at_ = end + 1;
        return true;
    }

    // Whether at least n lines are left: every LF ends one, and text after
    // the last LF is one more.
    bool linesLeft(qint64 n) const
    {
        const qsizetype size = text_.size();
        qsizetype at = at_;
        for (; n > 0 && at < size; --n) {
            const qsizetype end = text_.indexOf(u'\n', at);
            if (end < 0)
                return n == 1;
            at = end + 1;
        }
        return n <= 0;
    }

    // A text ends at its line's end: the line is cut at its LF (and a CR
    // before it), and a lone CR inside it ends the text there too, so that
    // no text read holds a CR or LF.
    static QString textOf(QStringView s)
    {
        if (const qsizetype cr = s.indexOf(u'\r'); cr >= 0)
            s = s.left(cr);
        qsizetype p = 0;
        while (p < s.size() && (s[p] == u' ' || s[p] == u'\t'))
            ++p;
        if (p < s.size() && s[p] == u'"') {
            const qsizetype start = p + 1;
            qsizetype end = s.indexOf(u'"', start);
            if (end < 0)
                end = s.size();
            return s.sliced(start, end - start).toString();
        }
        return s.sliced(p).trimmed().toString();
    }

    template <class T> void integer(T &v)
    {
        QStringView s;
        if (!next(&s))
            return;
        s = s.trimmed();
        bool good = false;
        qint64 n = s.toLongLong(&good, 10);
        if (!good) {
            const double d = s.toDouble(&good);
            if (!good || !std::isfinite(d) || std::fabs(d) > 9.0e15)
                return;
            n = qint64(std::nearbyint(d)); // halves to even
        }
        if (n < qint64(std::numeric_limits<T>::min()) || n > qint64(std::numeric_limits<T>::max()))
            return; // out of the field's range: the field keeps its value
        v = T(n);
    }

    bool real(double *d)
    {
        QStringView s;
        if (!next(&s))
            return false;
        bool good = false;
        *d = s.trimmed().toDouble(&good);
        return good && std::isfinite(*d);
    }

    const DataSheetFileContext &ctx_;
    QStringView text_;
    qsizetype at_ = 0; // where the next line begins
    bool failed_ = false;
};

template <class IO> void setupRecord(IO &io, SetupBlock &b)
{
    io.i16(b.FirstPoint);
    io.i16(b.LastPoint);
    io.i16(b.CH1FirstPoint);
    io.i16(b.CH1LastPoint);
    io.i16(b.CH2FirstPoint);
    io.i16(b.CH2LastPoint);
    io.u8(b.RollOn);
    io.u8(b.CH1Valid);
    io.u8(b.CH2Valid);
    io.u8(b.MathValid);
    io.u8(b.MathOperation);
    io.f32(b.RealParam1);
    io.i16(b.MathPosition);
    io.f32(b.MathScale);
    io.i16(b.IntParam1);
    io.u8(b.FFTValid);
    io.u8(b.AltMathLower);
    io.u8(b.ByteParam1);
    io.u8(b.FFTFullScreen);
    io.u8(b.FFTDecibelScale);
    io.f32(b.FFTScaleVrms);
    io.i16(b.IntParam2);
    io.i16(b.FFTScaleDB);
    io.f32(b.RealParam2);
    io.i16(b.FFTPosition);
    io.f32(b.FFTHzPerDiv);
    io.i16(b.FFTSpanCode);
    io.f32(b.RealParam3);
    io.i16(b.FFTCentre);
    io.u8(b.LAValid);
    io.i16(b.LAShownMask);
    for (qint16 &r : b.LARow)
        io.i16(r);
    io.u8(b.LASelected);
    io.u8(b.LAHeightD0D7);
    io.u8(b.LAHeightD8D15);
}

template <class IO> void rowBlock(IO &io, QList<qint32> &rows, int count)
{
    if (!io.need(count))
        return;
    io.fresh(rows, DataSheetWaveArraySize);
    for (int i = 1; i <= count; ++i)
        io.at32(rows, i);
}

template <class IO> void waveRecord(IO &io, WaveDoc &d)
{
    io.text(d.Name);
    io.flag(d.HasData);
    io.text(d.TrigMode);
    io.i32(d.PointCount);
    io.flag(d.SpareFlag);
    io.flag(d.YTFormat);
    io.flag(d.RollMode);
    io.i16(d.SpareWord1);
    io.i16(d.SpareWord2);
    for (QString *t : {&d.CH1Offset, &d.CH2Offset, &d.CH1VoltDiv, &d.CH2VoltDiv, &d.TimeDiv, &d.Delay,
                       &d.AltTimeDivCH1, &d.AltTimeDivCH2, &d.AltDelayCH1, &d.AltDelayCH2, &d.DateText})
        io.text(*t);
    io.i32(d.Channels);
    io.flag(d.ColorMode);
    io.flag(d.GridShown);
    io.flag(d.SplitScreen);
    io.flag(d.BestFit);
    io.layoutFlag(d.DigitalLayout);
    for (bool *f : {&d.ShowCH1, &d.ShowCH2, &d.ShowMath, &d.ShowLA, &d.DrawCH1, &d.DrawCH2, &d.DrawMath, &d.DrawLA})
        io.flag(*f);
    setupRecord(io, d.Setup);
    io.flag(d.XYFormat);
    io.text(d.MathDisplay);
    io.text(d.FFTDisplay);
    if (!io.ok() || !d.HasData)
        return;
    if (d.DrawCH1 && d.DrawCH2) {
        if (!io.need(2048))
            return;
        io.fresh(d.CH1Rows, DataSheetWaveArraySize);
        io.fresh(d.CH2Rows, DataSheetWaveArraySize);
        for (int i = 1; i <= 1024; ++i) {
            io.at32(d.CH1Rows, i);
            io.at32(d.CH2Rows, i);
        }
    } else if (d.DrawCH1) {
        rowBlock(io, d.CH1Rows, 1024);
    } else if (d.DrawCH2) {
        rowBlock(io, d.CH2Rows, 1024);
    }
    if (d.DrawLA)
        rowBlock(io, d.LAWords, 2048);
    if (d.DrawMath)
        rowBlock(io, IsOnWordOfAnyLanguage(d.FFTDisplay) ? d.FFTRows : d.MathRows, 1024);
}

template <class IO> void measRecord(IO &io, MeasDoc &d)
{
    io.text(d.Name);
    io.flag(d.HasData);
    io.text(d.Info);
    if (!io.ok() || !d.HasData)
        return;
    for (MeasItem &m : d.Items) {
        io.text(m.Value);
        io.flag(m.Enabled);
        io.f64(m.Over);
        io.f64(m.Under);
    }
}

template <class IO> void dataRecord(IO &io, DataDoc &d)
{
    io.text(d.Name);
    io.flag(d.HasData);
    io.text(d.InfoLine);
    io.bounded32(d.RowCount, 0, DataSheetMaxRows);
    if (!io.ok() || !d.HasData)
        return;
    if (!io.need(2 * (qint64(d.RowCount) + 1)))
        return;
    io.fresh(d.ValueTexts, DataSheetMaxRows + 1);
    io.fresh(d.TimeTexts, DataSheetMaxRows + 1);
    for (int k = 0; k <= d.RowCount; ++k) {
        io.textAt(d.ValueTexts, k);
        io.textAt(d.TimeTexts, k);
    }
}

template <class IO> void replayRecord(IO &io, ReplayInfo &d)
{
    io.text(d.Name);
    io.flag(d.ReplayStarted);
    io.flag(d.FileLoaded);
    io.flag(d.ColorMode);
    io.text(d.FilePath);
    io.text(d.Channel);
    io.flag(d.SpareFlag);
    io.i16(d.FirstFrame);
    io.i16(d.FrameCount);
    io.u8(d.Status);
    io.i16(d.CurrentFrame);
    io.flag(d.LoopReplay);
    io.text(d.TimeDivText);
    io.text(d.DelayText);
    io.text(d.VoltDivText);
    io.text(d.OffsetText);
    io.f64(d.Interval);
    if (!io.ok())
        return;
    if (!d.ReplayStarted) {
        // No frames are stored: none of an earlier record in this slot may
        // stay to be replayed under this item's name.
        if constexpr (std::is_same_v<IO, Reader>)
            d.Samples.clear();
        return;
    }
    // A replayed record holds at least one frame: an empty or reversed frame
    // range is a damaged record, and the file is refused (the writer never
    // meets one, since every loaded record file starts at frame 1).
    const qint64 n = (qint64(d.FrameCount) - d.FirstFrame + 1) * ReplayInfo::FrameSize;
    if (!io.need(n > 0 ? n : -1) || n <= 0)
        return;
    io.fresh(d.Samples, n + 1);
    for (qint64 i = 0; i < n; ++i)
        io.at32(d.Samples, i);
}

template <class IO> void storedWaveSamples(IO &io, StoredWave &d)
{
    if (d.TrigMode == QLatin1String("ALTERNATION")) {
        const qint64 n1 = qMax<qint64>(0, d.Ch1SampleCount);
        const qint64 n2 = qMax<qint64>(0, d.Ch2SampleCount);
        if (!io.need(n1 + n2))
            return;
        io.fresh(d.Ch1Samples, n1 + 1);
        io.fresh(d.Ch2Samples, n2 + 1);
        if (n1 == n2) {
            for (qint64 i = 0; i < n1; ++i) {
                io.at32(d.Ch1Samples, i);
                io.at32(d.Ch2Samples, i);
            }
        } else {
            for (qint64 i = 0; i < n1; ++i)
                io.at32(d.Ch1Samples, i);
            for (qint64 i = 0; i < n2; ++i)
                io.at32(d.Ch2Samples, i);
        }
        return;
    }
    const qint64 n = qMax<qint64>(0, d.SampleCount);
    const bool on1 = d.ShowCH1, on2 = d.ShowCH2, onLa = d.ShowLA;
    if (n > DataSheetLaBlockSize) {
        if (!io.need((on1 ? n : 0) + (on2 ? n : 0) + (onLa ? DataSheetLaBlockSize : 0)))
            return;
        if (on1) {
            io.fresh(d.Ch1Samples, n + 1);
            for (qint64 i = 0; i < n; ++i)
                io.at32(d.Ch1Samples, i);
        }
        if (on2) {
            io.fresh(d.Ch2Samples, n + 1);
            for (qint64 i = 0; i < n; ++i)
                io.at32(d.Ch2Samples, i);
        }
        if (onLa) {
            io.fresh(d.LaSamples, DataSheetLaBlockSize + 1);
            for (qint64 i = 0; i < DataSheetLaBlockSize; ++i)
                io.at32(d.LaSamples, i);
        }
        return;
    }
    if (!io.need(n * (int(on1) + int(on2) + int(onLa))))
        return;
    if (on1)
        io.fresh(d.Ch1Samples, n + 1);
    if (on2)
        io.fresh(d.Ch2Samples, n + 1);
    if (onLa)
        io.fresh(d.LaSamples, n + 1);
    for (qint64 i = 0; i < n; ++i) {
        if (on1)
            io.at32(d.Ch1Samples, i);
        if (on2)
            io.at32(d.Ch2Samples, i);
        if (onLa)
            io.at32(d.LaSamples, i);
    }
}

template <class IO> void storedWaveRecord(IO &io, StoredWave &d)
{
    io.text(d.Name);
    io.text(d.FilePath);
    io.flag(d.HasData);
    io.text(d.TrigMode);
    io.i32(d.PointCount);
    io.flag(d.YTFormat);
    for (float *f : {&d.Ch1Offset, &d.Ch2Offset, &d.Ch1VoltDiv, &d.Ch2VoltDiv, &d.Ch1AcqVoltDiv, &d.Ch2AcqVoltDiv})
        io.f32(*f);
    io.i16(d.Ch1AcqOffset);
    io.i16(d.Ch2AcqOffset);
    for (float *f : {&d.SampleRate, &d.Ch1SampleRate, &d.Ch2SampleRate})
        io.f32(*f);
    for (double *t : {&d.AcqTimeDiv, &d.Delay, &d.Ch1Delay, &d.Ch2Delay, &d.TimeDiv, &d.Position, &d.Ch1TimeDiv,
                      &d.Ch2TimeDiv, &d.Ch1Position, &d.Ch2Position})
        io.f64(*t);
    for (bool *f : {&d.ColorMode, &d.GridShown, &d.SplitScreen, &d.BestFit, &d.ShowCH1, &d.ShowCH2, &d.ShowMath,
                    &d.ShowLA, &d.TransferCH1, &d.TransferCH2, &d.TransferMath, &d.TransferLA, &d.XYFormat})
        io.flag(*f);
    io.u8(d.Setup.CH1Valid);
    io.u8(d.Setup.CH2Valid);
    io.u8(d.Setup.LAValid);
    io.i16(d.Setup.LAShownMask);
    for (qint16 &r : d.Setup.LARow)
        io.i16(r);
    io.u8(d.Setup.LASelected);
    io.u8(d.Setup.LAHeightD0D7);
    io.u8(d.Setup.LAHeightD8D15);
    io.flag(d.XYFormat); // stored twice; the second reading wins
    io.text(d.MathDisplay);
    io.text(d.FftDisplay);
    io.i32(d.SampleCount);
    io.i32(d.Ch1SampleCount);
    io.i32(d.Ch2SampleCount);
    for (float *f : {&d.SavedCh1Offset, &d.SavedCh2Offset, &d.SavedCh1VoltDiv, &d.SavedCh2VoltDiv,
                     &d.SavedCh1AcqVoltDiv, &d.SavedCh2AcqVoltDiv})
        io.f32(*f);
    io.i16(d.SavedCh1AcqOffset);
    io.i16(d.SavedCh2AcqOffset);
    for (double *t : {&d.SavedAcqTimeDiv, &d.SavedDelay, &d.SavedCh1Delay, &d.SavedCh2Delay, &d.SavedTimeDiv,
                      &d.SavedPosition, &d.SavedCh1TimeDiv, &d.SavedCh2TimeDiv, &d.SavedCh1Position,
                      &d.SavedCh2Position})
        io.f64(*t);
    for (qint16 &r : d.SavedLaRow)
        io.i16(r);
    io.u8(d.SavedLaSelected);
    if (io.ok() && d.HasData)
        storedWaveSamples(io, d);
}

template <class IO> void sheetBody(IO &io, DataSheet &s)
{
    io.text(s.Name);
    io.bounded16(s.WaveDocCount, 0, DataSheet::MaxWaveItems);
    io.bounded16(s.MeasDocCount, 0, DataSheet::MaxMeasItems);
    io.bounded16(s.DataDocCount, 0, DataSheet::MaxDataItems);
    io.bounded16(s.ReplayCount, 0, DataSheet::MaxReplayItems);
    io.bounded16(s.StoredWaveCount, 0, DataSheet::MaxStoredWaveItems);
    for (int i = 0; io.ok() && i < s.WaveDocCount; ++i)
        waveRecord(io, s.WaveDocs[size_t(i)]);
    for (int i = 0; io.ok() && i < s.MeasDocCount; ++i)
        measRecord(io, s.MeasDocs[size_t(i)]);
    for (int i = 0; io.ok() && i < s.DataDocCount; ++i)
        dataRecord(io, s.DataDocs[size_t(i)]);
    for (int i = 0; io.ok() && i < s.ReplayCount; ++i)
        replayRecord(io, s.Replays[size_t(i)]);
    for (int i = 0; io.ok() && i < s.StoredWaveCount; ++i)
        storedWaveRecord(io, s.StoredWaves[size_t(i)]);
}

} // namespace

QString DataSheetFileHeader()
{
    return CompanyName + u' ' + ModelName + QStringLiteral(" Data Sheet");
}

QByteArray DataSheetFileBytes(const DataSheet &sheet, const DataSheetFileContext &ctx)
{
    DataSheet copy = sheet;
    Writer w(ctx);
    QString header = DataSheetFileHeader();
    w.text(header);
    sheetBody(w, copy);
    return w.bytes();
}

DataSheetRead ParseDataSheet(const QByteArray &bytes, DataSheet &sheet, const DataSheetFileContext &ctx)
{
    if (bytes.size() > DataSheetFileMaxBytes)
        return DataSheetRead::BadFormat;
    const QString text = DecodeFileText(bytes);
    Reader r(text, ctx);
    QString header;
    if (!r.header(&header) || header != DataSheetFileHeader())
        return DataSheetRead::BadFormat;
    DataSheet read = sheet;
    sheetBody(r, read);
    if (!r.ok())
        return DataSheetRead::BadFormat;
    sheet = std::move(read);
    return DataSheetRead::Ok;
}

DataSheetRead ReadDataSheetBytes(const QString &path, QByteArray *bytes, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return DataSheetRead::OpenFailed;
    }
    *bytes = f.read(DataSheetFileMaxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        bytes->clear();
        return DataSheetRead::OpenFailed;
    }
    return DataSheetRead::Ok;
}

DataSheetRead ReadDataSheetFile(const QString &path, DataSheet &sheet, const DataSheetFileContext &ctx,
                                QString *error)
{
    QByteArray bytes;
    const DataSheetRead read = ReadDataSheetBytes(path, &bytes, error);
    return read == DataSheetRead::Ok ? ParseDataSheet(bytes, sheet, ctx) : read;
}

bool WriteDataSheetFile(const QString &path, const DataSheet &sheet, const DataSheetFileContext &ctx,
                        QString *error)
{
    // Whole or not at all; a full disk is reported with the system's reason
    // (a short write alone carries none).
    return SaveWholeFile(path, DataSheetFileBytes(sheet, ctx), error);
}
