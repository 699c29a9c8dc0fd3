#include "wave/wavereadouts.h"

#include "common/constants.h"
#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/valuereply.h"

#include <cmath>

namespace {

const QString LabelTime = QStringLiteral("|X1-X2|   =");
const QString LabelFreq = QStringLiteral("1/|X1-X2|=");
const QString LabelVoltY = QStringLiteral("|Y1-Y2|  =");
const QString LabelVoltX = QStringLiteral("|X1-X2|  =");
const QString LabelFFTFreq = QStringLiteral("FFT|X1-X2|   =");
const QString LabelFFTLevel = QStringLiteral("FFT|Y1-Y2|  =");
const QString NoScale = QStringLiteral("????");
const QString NoFreq = QStringLiteral("???.? Hz");

// A value in general number form, as the unit ladders read it.
QString general(double v) { return QString::number(v, 'g', 15); }

QString fixed2(double v, const char *unit) { return ApplyNumberPattern(v, u"0.00", QString::fromLatin1(unit)); }

// Builds the lines of one read-out pass.
class Lines {
public:
    Lines(const WaveCursors &c, const WaveDoc &doc, double zoom, const QString &vrmsName)
        : c_(c), doc_(doc), vrms_(vrmsName),
          fftShown_(IsOnWordOfAnyLanguage(doc.FFTDisplay) && doc.ShowMath),
          right_(300 * zoom + 25), lowerTop_(100 * zoom + 25)
    {
    }

    // Distances in divisions.
    double dX() const { return std::fabs(c_.CursorX1 - c_.CursorX2); }
    double dY() const { return std::fabs(c_.CursorY1 - c_.CursorY2); }
    double dXL() const { return std::fabs(c_.CursorX1Low - c_.CursorX2Low); }
    double dYL() const { return std::fabs(c_.CursorY1Low - c_.CursorY2Low); }
    bool fftShown() const { return fftShown_; }

    QString timeText(double d, const QString &timeDiv) const
    {
        return ConvertTimeToStr(d * ParseTime(timeDiv));
    }
    static QString freqText(QString time)
    {
        time.replace(QLatin1Char(','), QLatin1Char('.'));
        const double s = GetTimeVlu(time);
        return s != 0 ? ConvertFreqToStr(1 / s) : NoFreq;
    }
    QString voltText(double d, const QString &voltDiv, bool half) const
    {
        double v = d * ParseVoltM(voltDiv);
        if (half)
            v *= 2;
        return LabelVoltY + ConvertVoltToStr(v);
    }
    QString xyText(double d, const QString &voltDiv) const
    {
        return LabelVoltX + ConvertVoltToStr(d * ParseVoltM(voltDiv));
    }
    QString fftFreqText(double d) const
    {
        const double hz = doc_.Setup.FFTHzPerDiv;
        if (!(hz > 0))
            return LabelFFTFreq + NoScale;
        return LabelFFTFreq + FormatFreq(general(d * hz));
    }
    QString fftLevelText(double d, bool half) const
    {
        const SetupBlock &s = doc_.Setup;
        if (s.FFTDecibelScale != 0) {
            if (s.FFTScaleDB < 1)
                return LabelFFTLevel + NoScale;
            double v = d * s.FFTScaleDB;
            if (half)
                v *= 2;
            return LabelFFTLevel + FormatDecibel(general(v)) + vrms_;
        }
        const double scale = s.FFTScaleVrms;
        if (!(scale > 0))
            return LabelFFTLevel + NoScale;
        double v = d * scale;
        if (half)
            v *= 2;
        return LabelFFTLevel + FormatVolt(general(v)) + QStringLiteral("rms");
    }

    // A line on the next upper row.
    void upper(const QString &text, ReadoutColor color, double x)
    {
        put(text, color, x, 25 + row_);
        row_ += 20;
    }
    void upper(const QString &text, ReadoutColor color) { upper(text, color, ordinaryX()); }
    // A line at y = 100Z + 25 + s below the split line.
    void lower(const QString &text, ReadoutColor color, int s, double x) { put(text, color, x, lowerTop_ + s); }
    void lower(const QString &text, ReadoutColor color, int s) { lower(text, color, s, ordinaryX()); }

    double ordinaryX() const { return right_ - 140; }
    double fftFreqX(const QString &text) const { return right_ - 8.0 * text.size() + 10; }
    double fftLevelX(const QString &text) const { return right_ - 8.0 * text.size(); }

    QList<ReadoutLine> take() { return std::move(out_); }

private:
    void put(const QString &text, ReadoutColor color, double x, double y)
    {
        out_.append(ReadoutLine{text, QPointF(nearestPixel(x), nearestPixel(y)), color});
    }

    const WaveCursors &c_;
    const WaveDoc &doc_;
    const QString vrms_;
    const bool fftShown_;
    const double right_;
    const double lowerTop_;
    int row_ = 5;
    QList<ReadoutLine> out_;
};

// A time read-out and its frequency, made only when the scale text is given.
struct TimePair {
    bool made = false;
    QString time;
    QString freq;
};

TimePair timePair(const Lines &l, double d, const QString &timeDiv)
{
    TimePair t;
    if (timeDiv.isEmpty())
        return t;
    const QString value = l.timeText(d, timeDiv);
    t.made = true;
    t.time = LabelTime + value;
    t.freq = LabelFreq + Lines::freqText(value);
    return t;
}

// The upper X lines (frequency first) and Y lines of cases B and C.
void channelLines(Lines &l, const WaveCursors &c, const TimePair &time, const QString &ch1, const QString &ch2)
{
    if (c.CursorXOn && time.made) {
        l.upper(time.freq, ReadoutColor::Time);
        l.upper(time.time, ReadoutColor::Time);
    }
    if (c.CursorYOn) {
        if (!ch1.isEmpty())
            l.upper(ch1, ReadoutColor::CH1);
        if (!ch2.isEmpty())
            l.upper(ch2, ReadoutColor::CH2);
    }
}

} // namespace

QString ConvertVoltToStr(double x)
{
    if (x >= 1)
        return ApplyNumberPattern(x, u"0.0", u"V");
    return ApplyNumberPattern(x * 1000, u"0.0", u"mV");
}

QString ConvertTimeToStr(double x)
{
    if (x >= 1)
        return fixed2(x, "s");
    if (x >= 0.001)
        return fixed2(x * 1000, "ms");
    if (x >= 1e-6)
        return fixed2(x * 1e6, "us");
    if (x >= 1e-9)
        return fixed2(x * 1e9, "ns");
    if (x >= 1e-12)
        return fixed2(x * 1e12, "ps");
    if (x == 0)
        return QStringLiteral("0.000s");
    return QString();
}

QString ConvertFreqToStr(double x)
{
    if (x >= 1e9)
        return fixed2(x / 1e9, "GHz");
    if (x >= 1e6)
        return fixed2(x / 1e6, "MHz");
    if (x >= 1000)
        return fixed2(x / 1000, "KHz");
    return fixed2(x, "Hz");
}

double GetTimeVlu(const QString &text)
{
    const qsizetype p = text.indexOf(QLatin1Char('s'));
    if (p <= 0)
        return 0; // no unit, or nothing before it
    const QChar u = text[p - 1];
    switch (u.unicode()) {
    case 'p': return ReadNumber(QStringView(text).left(p - 1)) / 1e12;
    case 'n': return ReadNumber(QStringView(text).left(p - 1)) / 1e9;
    case 'u': return ReadNumber(QStringView(text).left(p - 1)) / 1e6;
    case 'm': return ReadNumber(QStringView(text).left(p - 1)) / 1e3;
    default: break;
    }
    if (u >= QLatin1Char('0') && u <= QLatin1Char('9'))
        return ReadNumber(QStringView(text).left(p));
    return 0;
}

QColor readoutColor(ReadoutColor role, bool colorMode)
{
    if (!colorMode)
        return QColor(192, 192, 192);
    switch (role) {
    case ReadoutColor::CH1: return QColor(255, 255, 0);
    case ReadoutColor::CH2: return QColor(0, 255, 255);
    case ReadoutColor::Time: return QColor(255, 0, 255);
    case ReadoutColor::FFT: return MathColor;
    }
    return QColor(192, 192, 192);
}

QList<ReadoutLine> CursorReadouts(const WaveCursors &c, const WaveDoc &doc, double zoom,
                                  const QString &vrmsName)
{
    Lines l(c, doc, zoom, vrmsName);
    const auto fftUpper = [&](double dx, double dy, bool half) {
        const QString freq = l.fftFreqText(dx);
        const QString level = l.fftLevelText(dy, half);
        if (c.CursorXOn)
            l.upper(freq, ReadoutColor::FFT, l.fftFreqX(freq));
        if (c.CursorYOn)
            l.upper(level, ReadoutColor::FFT, l.fftLevelX(level));
    };

    if (!doc.SplitScreen && doc.XYFormat) {
        // X-Y display: both scales are used even when empty.
        const QString horizontal = l.xyText(l.dX(), doc.CH1VoltDiv);
        const QString vertical = l.voltText(l.dY(), doc.CH2VoltDiv, false);
        if (c.CursorXOn)
            l.upper(horizontal, ReadoutColor::CH1);
        if (c.CursorYOn)
            l.upper(vertical, ReadoutColor::CH2);
        return l.take();
    }

    if (!doc.SplitScreen || doc.TrigMode != QLatin1String("ALTERNATION")) {
        const bool split = doc.SplitScreen;
        const TimePair time = timePair(l, l.dX(), doc.TimeDiv);
        const QString ch1 = doc.CH1VoltDiv.isEmpty() ? QString() : l.voltText(l.dY(), doc.CH1VoltDiv, split);
        const QString ch2 = doc.CH2VoltDiv.isEmpty() ? QString() : l.voltText(l.dY(), doc.CH2VoltDiv, split);
        channelLines(l, c, time, ch1, ch2);
        if (!l.fftShown())
            return l.take();
        if (!split) {
            fftUpper(l.dX(), l.dY(), false);
            return l.take();
        }
        // The FFT in the lower half.
        const QString freq = l.fftFreqText(l.dXL());
        const QString level = l.fftLevelText(l.dYL(), true);
        int s = 5;
        if (c.CursorXOn) {
            l.lower(freq, ReadoutColor::FFT, 5, l.fftFreqX(freq));
            s = 25;
        }
        if (c.CursorYOn)
            l.lower(level, ReadoutColor::FFT, s, l.fftLevelX(level));
        return l.take();
    }

    // Alternate trigger: CH1 in the upper half, CH2 in the lower half.
    const TimePair upperTime = timePair(l, l.dX(), doc.AltTimeDivCH1);
    const TimePair lowerTime = timePair(l, l.dXL(), doc.AltTimeDivCH2);
    const QString ch1 = doc.CH1VoltDiv.isEmpty() ? QString() : l.voltText(l.dY(), doc.CH1VoltDiv, true);
    const QString ch2 = doc.CH2VoltDiv.isEmpty() ? QString() : l.voltText(l.dYL(), doc.CH2VoltDiv, true);
    int s = 5;
    if (c.CursorXOn) {
        if (upperTime.made) {
            l.upper(upperTime.freq, ReadoutColor::Time);
            l.upper(upperTime.time, ReadoutColor::Time);
        }
        if (lowerTime.made) {
            l.lower(lowerTime.freq, ReadoutColor::Time, 5);
            s = 25;
            l.lower(lowerTime.time, ReadoutColor::Time, s);
            s += 20;
        }
    }
    if (c.CursorYOn) {
        if (!ch1.isEmpty())
            l.upper(ch1, ReadoutColor::CH1);
        if (!ch2.isEmpty()) {
            l.lower(ch2, ReadoutColor::CH2, s);
            s += 20;
        }
    }
    if (l.fftShown()) {
        if (doc.Setup.AltMathLower != 0) {
            const QString freq = l.fftFreqText(l.dXL());
            const QString level = l.fftLevelText(l.dYL(), true);
            if (c.CursorXOn) {
                l.lower(freq, ReadoutColor::FFT, s, l.fftFreqX(freq));
                s += 20;
            }
            if (c.CursorYOn)
                l.lower(level, ReadoutColor::FFT, s, l.fftLevelX(level));
        } else {
            fftUpper(l.dX(), l.dY(), true);
        }
    }
    return l.take();
}

WaveShapes ReadoutShapes(const QList<ReadoutLine> &lines, bool colorMode)
{
    WaveShapes out;
    out.reserve(lines.size());
    for (const ReadoutLine &line : lines) {
        WaveShape s = WaveShapeMake::text(readoutColor(line.color, colorMode), line.at, line.text, false);
        s.readout = true;
        out.append(s);
    }
    return out;
}
