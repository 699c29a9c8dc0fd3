// The simulator's command side: header matching, the settings store, set and
// query handling, reply framing, faults and the log. The data it serves
// (waveforms, setup block, measurements, screen) is in simdata.cpp.

#include "sim/qm4100sim.h"
#include "sim/simlimits.h"
#include "sim/simprivate.h"

#include "platform/clock.h"

#include <QPair>
#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>

using namespace qm4100simdetail;

enum class Qm4100Sim::Kind { Enum, Volts, Time, Div, Scale, TimeScale, IntRange, Pattern, Threshold, Text, Special };

enum Special {
    SpNone, SpIdn, SpRun, SpStop, SpAuto, SpForce, SpTrig50, SpDisplayClear, SpLaReset, SpLaGroup,
    SpDigitalTurn, SpDigitalPos, SpLocation, SpTrigStatus, SpMathDisp, SpFftDisp, SpSystemData,
    SpWaveData, SpLcdData, SpMeasure, SpSamp, SpMeasSource, SpAltSource, SpKey, SpKnob
};

using Tokens = QList<QPair<QByteArray, QByteArray>>;

struct Qm4100Sim::Def {
    QByteArray key;               // long header, upper case, e.g. ":CHANNEL1:SCALE"
    QList<QByteArray> mnemonics;  // its parts
    Kind kind = Kind::Special;
    Tokens tokens;                // set token -> reply text
    QByteArray reset;
    bool canSet = true;
    bool canQuery = true;
    bool perAlt = false;          // kept per alternation channel
    long long lo = 0, hi = 0;     // IntRange bounds
    int special = SpNone;
    int index = 0;                // channel, logic channel or group of a special
    bool queryArg = false;        // the query takes an argument
};

QByteArray Qm4100Sim::Reply::bytes() const
{
    QByteArray all;
    for (const QByteArray &c : chunks)
        all += c;
    return all;
}

namespace {

Tokens toks(std::initializer_list<const char *> list)
{
    Tokens t;
    for (const char *s : list) {
        QByteArray item(s);
        int eq = item.indexOf('=');
        if (eq < 0)
            t.append({item, item});
        else
            t.append({item.left(eq), item.mid(eq + 1)});
    }
    return t;
}

QByteArray shortForm(const QByteArray &base)
{
    if (base.size() <= 4)
        return base;
    char fourth = base.at(3);
    if (QByteArray("AEIOU").contains(fourth))
        return base.left(3);
    return base.left(4);
}

bool isAlnum(const QByteArray &s)
{
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return !s.isEmpty();
}

// 0: no match, 1: short form, 2: long form.
int mnemonicMatch(const QByteArray &tok, const QByteArray &longForm)
{
    if (tok == longForm)
        return 2;
    if (!isAlnum(longForm) || !isAlnum(tok))
        return 0;
    int cut = longForm.size();
    while (cut > 0 && longForm.at(cut - 1) >= '0' && longForm.at(cut - 1) <= '9')
        --cut;
    QByteArray base = longForm.left(cut);
    QByteArray suffix = longForm.mid(cut);
    if (base.isEmpty() || !tok.endsWith(suffix))
        return 0;
    QByteArray tb = tok.left(tok.size() - suffix.size());
    if (tb.isEmpty() || (tb.back() >= '0' && tb.back() <= '9'))
        return 0;
    return (tb == shortForm(base)) ? 1 : 0;
}

// A text reply that is a number (a value): a sign or a digit first, and
// nothing but a number's characters.
bool isValueText(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    const char first = text.front();
    if (!(first == '-' || first == '+' || first == '.' || (first >= '0' && first <= '9')))
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    return true;
}

bool printable(const QByteArray &line)
{
    for (char c : line) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E)
            return false;
    }
    return true;
}

} // namespace

namespace qm4100simdetail {

bool parseNumber(const QByteArray &s, double &out)
{
    // [+-]? (digits [. digits*] | . digits) ([eE] [+-]? digits)?
    int i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    int digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        int ed = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') { ++i; ++ed; }
        if (ed == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parseUnit(const QByteArray &text, char unit, const char *prefixes, double &out)
{
    QByteArray s = text.toUpper();
    double mult = 1.0;
    if (s.endsWith(unit)) {
        s.chop(1);
        if (!s.isEmpty() && std::strchr(prefixes, s.back())) {
            switch (s.back()) {
            case 'P': mult = 1e-12; break;
            case 'N': mult = 1e-9; break;
            case 'U': mult = 1e-6; break;
            case 'M': mult = 1e-3; break;
            case 'K': mult = 1e3; break;
            default: break;
            }
            s.chop(1);
        }
    }
    double v = 0;
    if (!parseNumber(s, v))
        return false;
    v *= mult;
    if (!std::isfinite(v))
        return false;
    out = v;
    return true;
}

QByteArray fmt3(double v)
{
    if (v == 0 || !std::isfinite(v))
        return "0.000e+00";
    return QByteArray::number(v, 'e', 3);
}

QByteArray fmt4(double v)
{
    if (v == 0 || !std::isfinite(v))
        return "0.0000e+00";
    return QByteArray::number(v, 'e', 4);
}

QByteArray unitText(double v, const char *unit)
{
    if (!std::isfinite(v))
        return QByteArray("?") + unit;
    double a = std::fabs(v);
    if (a < 1e-12)
        return QByteArray("0.00") + unit;
    static const struct { double scale; const char *prefix; } steps[] = {
        {1e3, "k"}, {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}, {1e-12, "p"}};
    int i = 0;
    while (i < 5 && a < steps[i].scale * (1 - 5e-4))
        ++i;
    double x = a / steps[i].scale;
    if (x >= 999.5 && i > 0) {   // rounds up into the next prefix
        --i;
        x = a / steps[i].scale;
    }
    const int decimals = x < 9.995 ? 2 : x < 99.95 ? 1 : 0;
    return (v < 0 ? "-" : "") + QByteArray::number(x, 'f', decimals) + steps[i].prefix + unit;
}

} // namespace qm4100simdetail

// ---------------------------------------------------------------------------
// Definitions

void Qm4100Sim::buildDefs()
{
    defs_ = new QList<Def>;
    QList<Def> &d = *defs_;
    auto add = [&](const QByteArray &key, Kind kind, const QByteArray &reset = QByteArray(),
                   const Tokens &tokens = Tokens()) -> Def & {
        Def def;
        def.key = key;
        def.kind = kind;
        def.reset = reset;
        def.tokens = tokens;
        QByteArray body = key.startsWith(':') ? key.mid(1) : key;
        def.mnemonics = body.split(':');
        d.append(def);
        return d.last();
    };
    auto special = [&](const QByteArray &key, int sp, bool set, bool query, int index = 0) -> Def & {
        Def &def = add(key, Kind::Special);
        def.special = sp;
        def.canSet = set;
        def.canQuery = query;
        def.index = index;
        return def;
    };

    const Tokens onoff = toks({"ON", "OFF"});
    const Tokens sweep = toks({"AUTO", "NORMAL", "SINGLE"});
    const Tokens trigCoupling = toks({"DC", "AC", "HF", "LF"});
    const Tokens cond = toks({"+LESSTHAN=+LESS THAN", "-LESSTHAN=-LESS THAN", "+GREATERTHAN=+GREATER THAN",
                              "-GREATERTHAN=-GREATER THAN", "+EQUAL", "-EQUAL"});
    const Tokens videoMode = toks({"ALLLINES=ALL LINES", "LINE", "ODDFIELD=ODD FIELD", "EVENFIELD=EVEN FIELD"});
    const Tokens standard = toks({"NTSC", "PALSECAM=PAL/SECAM"});
    const Tokens polarity = toks({"POSITIVE", "NEGATIVE"});
    const Tokens edgeSlope = toks({"POSITIVE", "NEGATIVE", "ALTERNATION"});
    Tokens srcAll = toks({"CHANNEL1=CH1", "CHANNEL2=CH2", "EXT", "EXT5", "ACLINE"});
    for (int k = 0; k < 16; ++k)
        srcAll.append({"DIGITAL" + QByteArray::number(k), "D" + QByteArray::number(k)});
    const Tokens srcAnalog = toks({"CHANNEL1=CH1", "CHANNEL2=CH2", "EXT", "EXT5"});
    const Tokens probe = toks({"1=1.000e+00", "2=2.000e+00", "5=5.000e+00", "10=1.000e+01", "50=5.000e+01",
                               "100=1.000e+02", "500=5.000e+02", "1000=1.000e+03"});

    // System, identification, keys
    special("*IDN", SpIdn, false, true);
    add(":KEY:LOCK", Kind::Enum, "DISABLE", toks({"ENABLE", "DISABLE"})).canQuery = false;
    add(":WAVEFORM:POINTS:MODE", Kind::Enum, "NORMAL", toks({"NORMAL"})).canQuery = false;
    add(":RS232:BAUD", Kind::Enum, "9600", toks({"300", "2400", "4800", "9600", "19200", "38400"})).canQuery = false;
    add(":CHANNEL:ACTIVE", Kind::Enum, "CHANNEL1",
        toks({"CHANNEL1", "CHANNEL2", "CH1=CHANNEL1", "CH2=CHANNEL2"}));
    for (const char *key : {"MNUOFF", "FUNCTION", "F1", "F2", "F3", "F4", "F5", "MEASURE", "ACQUIRE", "STORAGE",
                            "CURSOR", "DISPLAY", "UTILITY", "AUTO", "RUN", "CHANNEL1", "CHANNEL2", "MATH", "REF",
                            "LA", "OFF", "PROMPT_V_POS", "V_SCALE_INC", "PROMPT_V", "V_SCALE_DEC", "MNUTIME",
                            "PROMPT_H_POS", "H_SCALE_DEC", "PROMPT_H", "H_SCALE_INC", "PROMPT_TRIG_LVL",
                            "MNUTRIG", "TRIG%50"})
        special(QByteArray(":KEY:") + key, SpKey, true, false);
    for (const char *key : {"-FUNCTION", "+FUNCTION", "V_POS_INC", "V_POS_DEC", "H_POS_INC", "H_POS_DEC",
                            "TRIG_LVL_INC", "TRIG_LVL_DEC"})
        special(QByteArray(":KEY:") + key, SpKnob, true, false);

    // Run control
    special(":RUN", SpRun, true, false);
    special(":STOP", SpStop, true, false);
    special(":AUTO", SpAuto, true, false);
    special(":FORCETRIG", SpForce, true, false);
    special(":TRIG%50", SpTrig50, true, false);
    special(":TRIGGER:STATUS", SpTrigStatus, false, true);

    // Channels, MATH, FFT
    for (int n = 1; n <= 2; ++n) {
        QByteArray ch = ":CHANNEL" + QByteArray::number(n);
        add(ch + ":DISPLAY", Kind::Enum, n == 1 ? "ON" : "OFF", onoff);
        add(ch + ":SCALE", Kind::Scale, "1.000e+00");
        add(ch + ":OFFSET", Kind::Volts, "0.000e+00");
        add(ch + ":COUPLING", Kind::Enum, "AC", toks({"AC", "DC", "GND", "LF", "HF"}));
        add(ch + ":BWLIMIT", Kind::Enum, "OFF", onoff);
        add(ch + ":PROBE", Kind::Enum, "1.000e+00", probe);
        add(ch + ":INVERT", Kind::Enum, "OFF", onoff);
    }
    special(":MATH:DISPLAY", SpMathDisp, false, true);
    special(":FFT:DISPLAY", SpFftDisp, false, true);

    // Time base
    add(":TIMEBASE:FORMAT", Kind::Enum, "Y-T", toks({"YT=Y-T", "XY=X-Y", "SCANNING"}));
    add(":TIMEBASE:SCALE", Kind::TimeScale, "1.000e-05");
    add(":TIMEBASE:OFFSET", Kind::Time, "0.000e+00");

    // Trigger
    add(":TRIGGER:MODE", Kind::Enum, "EDGE",
        toks({"EDGE", "PULSE", "VIDEO", "SLOPE", "ALTERNATION", "PATTERN", "DURATION"}));
    add(":TRIGGER:HOLDOFF", Kind::Time, "1.000e-07");
    add(":TRIGGER:EDGE:SOURCE", Kind::Enum, "CH1", srcAll);
    add(":TRIGGER:EDGE:SLOPE", Kind::Enum, "POSITIVE", edgeSlope);
    add(":TRIGGER:EDGE:SWEEP", Kind::Enum, "AUTO", sweep);
    add(":TRIGGER:EDGE:COUPLING", Kind::Enum, "DC", trigCoupling);
    add(":TRIGGER:EDGE:LEVEL", Kind::Volts, "0.000e+00");
    add(":TRIGGER:EDGE:SENSITIVITY", Kind::Div, "1.000e-01");
    add(":TRIGGER:PULSE:SOURCE", Kind::Enum, "CH1", srcAll);
    add(":TRIGGER:PULSE:MODE", Kind::Enum, "+LESS THAN", cond);
    add(":TRIGGER:PULSE:WIDTH", Kind::Time, "1.000e-06");
    add(":TRIGGER:PULSE:SWEEP", Kind::Enum, "AUTO", sweep);
    add(":TRIGGER:PULSE:COUPLING", Kind::Enum, "DC", trigCoupling);
    add(":TRIGGER:PULSE:LEVEL", Kind::Volts, "0.000e+00");
    add(":TRIGGER:PULSE:SENSITIVITY", Kind::Div, "1.000e-01");
    add(":TRIGGER:VIDEO:SOURCE", Kind::Enum, "CH1", srcAnalog);
    add(":TRIGGER:VIDEO:POLARITY", Kind::Enum, "POSITIVE", polarity);
    add(":TRIGGER:VIDEO:MODE", Kind::Enum, "LINE", videoMode);
    add(":TRIGGER:VIDEO:STANDARD", Kind::Enum, "NTSC", standard);
    Def &line = add(":TRIGGER:VIDEO:LINE", Kind::IntRange, "1");
    line.lo = 1;
    line.hi = 625;
    add(":TRIGGER:VIDEO:LEVEL", Kind::Volts, "0.000e+00");
    add(":TRIGGER:VIDEO:SENSITIVITY", Kind::Div, "1.000e-01");
    add(":TRIGGER:SLOPE:SOURCE", Kind::Enum, "CH1", srcAnalog);
    add(":TRIGGER:SLOPE:MODE", Kind::Enum, "+LESS THAN", cond);
    add(":TRIGGER:SLOPE:TIME", Kind::Time, "1.000e-06");
    add(":TRIGGER:SLOPE:WINDOW", Kind::Text, "PA").canQuery = false;
    add(":TRIGGER:SLOPE:SWEEP", Kind::Enum, "AUTO", sweep);
    add(":TRIGGER:SLOPE:COUPLING", Kind::Enum, "DC", trigCoupling);
    add(":TRIGGER:SLOPE:LEVELA", Kind::Volts, "0.000e+00");
    add(":TRIGGER:SLOPE:LEVELB", Kind::Volts, "2.000e-01");
    add(":TRIGGER:SLOPE:SENSITIVITY", Kind::Div, "1.000e-01");
    add(":TRIGGER:PATTERN:PATTERN", Kind::Pattern, "65535,65535,None");
    add(":TRIGGER:PATTERN:SWEEP", Kind::Enum, "AUTO", sweep);
    add(":TRIGGER:DURATION:PATTERN", Kind::Pattern, "65535,65535,None");
    add(":TRIGGER:DURATION:QUALIFIER", Kind::Enum, "LESS THAN",
        toks({"LESSTHAN=LESS THAN", "GREATERTHAN=GREATER THAN", "EQUAL"}));
    add(":TRIGGER:DURATION:TIME", Kind::Time, "1.000e-06");
    add(":TRIGGER:DURATION:SWEEP", Kind::Enum, "AUTO", sweep);

    // Alternating trigger: kept per channel
    special(":TRIGGER:ALTERNATION:SOURCE", SpAltSource, true, false);
    auto alt = [&](const QByteArray &sub, Kind kind, const QByteArray &reset, const Tokens &t = Tokens()) {
        add(":TRIGGER:ALTERNATION:" + sub, kind, reset, t).perAlt = true;
    };
    alt("TIMESCALE", Kind::TimeScale, "1.000e-05");
    alt("TIMEOFFSET", Kind::Time, "0.000e+00");
    alt("TYPE", Kind::Enum, "EDGE", toks({"EDGE", "PULSE", "VIDEO", "SLOPE"}));
    alt("EDGE:SLOPE", Kind::Enum, "POSITIVE", edgeSlope);
    for (const char *t : {"EDGE", "PULSE", "SLOPE"})
        alt(QByteArray(t) + ":COUPLING", Kind::Enum, "DC", trigCoupling);
    for (const char *l : {"EDGE:LEVEL", "PULSE:LEVEL", "VIDEO:LEVEL", "SLOPE:LEVELA", "SLOPE:LEVELB"})
        alt(l, Kind::Volts, "0.000e+00");
    for (const char *t : {"EDGE", "PULSE", "VIDEO", "SLOPE"}) {
        alt(QByteArray(t) + ":SENSITIVITY", Kind::Div, "1.000e-01");
        alt(QByteArray(t) + ":HOLDOFF", Kind::Time, "1.000e-07");
    }
    alt("PULSE:MODE", Kind::Enum, "+LESS THAN", cond);
    alt("SLOPE:MODE", Kind::Enum, "+LESS THAN", cond);
    alt("PULSE:TIME", Kind::Time, "1.000e-06");
    alt("SLOPE:TIME", Kind::Time, "1.000e-06");
    alt("VIDEO:POLARITY", Kind::Enum, "POSITIVE", polarity);
    alt("VIDEO:MODE", Kind::Enum, "LINE", videoMode);
    alt("VIDEO:STANDARD", Kind::Enum, "NTSC", standard);
    {
        Def &l = add(":TRIGGER:ALTERNATION:VIDEO:LINE", Kind::IntRange, "1");
        l.perAlt = true;
        l.lo = 1;
        l.hi = 625;
    }

    // Logic analyser
    add(":LA:DISPLAY", Kind::Enum, "OFF", onoff);
    {
        Def &s = add(":LA:STATUS", Kind::IntRange, "0");
        s.lo = 0;
        s.hi = 65535;
    }
    special(":LA:GROUP1", SpLaGroup, true, false, 1);
    special(":LA:GROUP2", SpLaGroup, true, false, 2);
    add(":LA:GROUP1:SIZE", Kind::Enum, "BIG", toks({"BIG", "SMALL"}));
    add(":LA:GROUP2:SIZE", Kind::Enum, "BIG", toks({"BIG", "SMALL"}));
    special(":LA:LOCATION", SpLocation, true, true);
    add(":LA:THRESHOLD", Kind::Threshold, "TTL");
    special(":LA:POSITION:RESET", SpLaReset, true, false);
    for (int k = 0; k < 16; ++k) {
        QByteArray dk = ":DIGITAL" + QByteArray::number(k);
        special(dk + ":TURN", SpDigitalTurn, true, false, k);
        special(dk + ":POSITION", SpDigitalPos, true, true, k);
    }

    // Acquire, display, measure
    add(":ACQUIRE:MODE", Kind::Enum, "REAL_TIME", toks({"RTIME=REAL_TIME", "ETIME=EQUAL_TIME"}));
    add(":ACQUIRE:TYPE", Kind::Enum, "NORMAL", toks({"NORMAL", "AVERAGE", "PEAKDETECT"}));
    add(":ACQUIRE:AVERAGES", Kind::Enum, "16", toks({"2", "4", "8", "16", "32", "64", "128", "256"}));
    special(":ACQUIRE:SAMP", SpSamp, false, true).queryArg = true;
    add(":DISPLAY:TYPE", Kind::Enum, "VECTORS", toks({"VECTORS", "DOTS"}));
    add(":DISPLAY:PERSIST", Kind::Enum, "OFF", onoff);
    add(":DISPLAY:GRID", Kind::Enum, "FULL", toks({"FULL", "HALF", "NONE"}));
    special(":DISPLAY:CLEAR", SpDisplayClear, true, false);
    special(":MEASURE:SOURCE", SpMeasSource, true, false);
    for (const char *kw : measureKeywords())
        special(QByteArray(":MEASURE:") + kw, SpMeasure, false, true).queryArg = true;

    // Data
    special(":SYSTEM:DATA", SpSystemData, false, true);
    special(":WAVEFORM:DATA", SpWaveData, false, true).queryArg = true;
    special(":LCD:DATA", SpLcdData, false, true);
}

// ---------------------------------------------------------------------------

Qm4100Sim::Qm4100Sim()
{
    buildDefs();
    reset();
}

Qm4100Sim::~Qm4100Sim()
{
    delete defs_;
}

void Qm4100Sim::reset()
{
    values_.clear();
    for (const Def &d : *defs_) {
        if (d.kind == Kind::Special)
            continue;
        if (d.perAlt) {
            values_.insert(storageKeyFor(d.key, 1), d.reset);
            values_.insert(storageKeyFor(d.key, 2), d.reset);
        } else {
            values_.insert(d.key, d.reset);
        }
    }
    running_ = true;
    mathOn_ = false;
    fftOn_ = false;
    fftFullScreen_ = false;
    mathFunction_ = 0;
    activeChannel_ = 1;
    altSource_ = 1;
    measureSource_ = 1;
    selectedLogic_ = 0;
    counterStart_ = 0;
    logicPos_.fill(0);
    signals_[0] = Signal{Shape::Sine, 1000.0, 2.0, 0.0};
    signals_[1] = Signal{Shape::Square, 1000.0, 1.0, 0.0};
    setMonochrome(false);
    faults_ = Faults();
    queriesSinceFaults_ = 0;
    deviceClears_ = 0;
    rollStartMs_ = appClock().nowMs();
    rollFrozenMs_ = -1;
    menuTitle_.clear();
    menuLine_.clear();
    menuItem_ = 0;
    log_.clear();
}

QByteArray Qm4100Sim::storageKeyFor(const QByteArray &key, int altChannel) const
{
    return "ALT" + QByteArray::number(altChannel) + key;
}

QByteArray Qm4100Sim::storageKey(const Def &d) const
{
    return d.perAlt ? storageKeyFor(d.key, altSource_) : d.key;
}

QByteArray Qm4100Sim::setting(const QByteArray &header) const
{
    return altSetting(altSource_, header);
}

QByteArray Qm4100Sim::altSetting(int channel, const QByteArray &header) const
{
    QByteArray key = header.toUpper();
    if (key == ":TRIGGER:ALTERNATION:SOURCE")
        return channel == 2 ? "CHANNEL2" : "CHANNEL1";
    if (key == ":MEASURE:SOURCE")
        return measureSource_ == 2 ? "CHANNEL2" : "CHANNEL1";
    if (key == ":TRIGGER:STATUS")
        return running_ ? "RUN" : "STOP";
    if (key == ":MATH:DISPLAY")
        return mathOn_ ? "ON" : "OFF";
    if (key == ":FFT:DISPLAY")
        return fftOn_ ? "ON" : "OFF";
    if (key == ":LA:LOCATION") {
        quint64 left = 0, right = 0;
        for (int c = 7; c >= 0; --c) {
            left = left * 16 + quint64(logicPos_[c] & 15);
            right = right * 16 + quint64(logicPos_[8 + c] & 15);
        }
        return QByteArray::number(left) + "," + QByteArray::number(right);
    }
    if (key.startsWith(":DIGITAL") && key.endsWith(":POSITION")) {
        bool ok = false;
        int k = key.mid(8, key.size() - 8 - 9).toInt(&ok);
        return ok && k >= 0 && k < 16 ? QByteArray::number(logicPos_[k]) : QByteArray();
    }
    if (key.startsWith(":TRIGGER:ALTERNATION:"))
        return values_.value(storageKeyFor(key, channel == 2 ? 2 : 1));
    return values_.value(key);
}

double Qm4100Sim::num(const QByteArray &key) const
{
    return values_.value(key).toDouble();
}

void Qm4100Sim::setValue(const QByteArray &key, double v)
{
    values_.insert(key, fmt3(v));
}

void Qm4100Sim::clampSetting(const QByteArray &key, double lo, double hi)
{
    if (!values_.contains(key))
        return;
    const double v = num(key);
    // a value at a limit, written in reply form, may lie a rounding outside it
    if (v < lo - 1e-6 * std::fabs(lo))
        setValue(key, lo);
    else if (v > hi + 1e-6 * std::fabs(hi))
        setValue(key, hi);
}

bool Qm4100Sim::triggerLevelRange(const QByteArray &source, double &lo, double &hi) const
{
    using namespace qm4100simlimits;
    double scale = 0, offset = 0;
    if (source == "CH1" || source == "CH2") {
        const int ch = source == "CH2" ? 2 : 1;
        scale = channelScale(ch);
        offset = channelOffset(ch);
    } else if (source == "EXT") {
        scale = kExtVoltsPerDiv;
    } else if (source == "EXT5") {
        scale = kExt5VoltsPerDiv;
    } else {
        return false;   // the AC line and the logic channels have no level
    }
    lo = -kTriggerLevelDivs * scale - offset;
    hi = kTriggerLevelDivs * scale - offset;
    return true;
}

void Qm4100Sim::keepLimits()
{
    using namespace qm4100simlimits;
    for (int ch = 1; ch <= 2; ++ch) {
        const QByteArray c = ":CHANNEL" + QByteArray::number(ch);
        const double p = num(c + ":PROBE");
        const double probe = p > 0 ? p : 1.0;
        clampSetting(c + ":SCALE", kMinVoltsPerDiv * probe, kMaxVoltsPerDiv * probe);
        const double range = offsetLimit(channelScale(ch) / probe) * probe;
        clampSetting(c + ":OFFSET", -range, range);
    }

    const QByteArray format = values_.value(":TIMEBASE:FORMAT");
    if (format == "SCANNING")
        clampSetting(":TIMEBASE:SCALE", kMinRollTimePerDiv, kMaxTimePerDiv);
    else if (format == "X-Y")
        clampSetting(":TIMEBASE:SCALE", kMinXyTimePerDiv, kMaxXyTimePerDiv);
    else
        clampSetting(":TIMEBASE:SCALE", kMinTimePerDiv, kMaxTimePerDiv);

    double lo = 0, hi = 0;
    for (const char *type : {"EDGE", "PULSE", "VIDEO", "SLOPE"}) {
        const QByteArray base = QByteArray(":TRIGGER:") + type;
        clampSetting(base + ":SENSITIVITY", kMinSensitivity, kMaxSensitivity);
        if (!triggerLevelRange(values_.value(base + ":SOURCE"), lo, hi))
            continue;
        for (const char *level : {":LEVEL", ":LEVELA", ":LEVELB"})
            clampSetting(base + level, lo, hi);
    }
    for (int ch = 1; ch <= 2; ++ch) {
        const QByteArray alt = ":TRIGGER:ALTERNATION:";
        clampSetting(storageKeyFor(alt + "TIMESCALE", ch), kMinTimePerDiv, kMaxTimePerDiv);
        triggerLevelRange(ch == 2 ? "CH2" : "CH1", lo, hi);
        for (const char *level : {"EDGE:LEVEL", "PULSE:LEVEL", "VIDEO:LEVEL", "SLOPE:LEVELA", "SLOPE:LEVELB"})
            clampSetting(storageKeyFor(alt + level, ch), lo, hi);
        for (const char *type : {"EDGE", "PULSE", "VIDEO", "SLOPE"})
            clampSetting(storageKeyFor(alt + type + ":SENSITIVITY", ch), kMinSensitivity, kMaxSensitivity);
    }
}

void Qm4100Sim::setRunning(bool run)
{
    if (run == running_)
        return;
    running_ = run;
    if (!run)
        rollFrozenMs_ = appClock().nowMs() - rollStartMs_;
    else
        startRollFill();
}

void Qm4100Sim::startRollFill()
{
    rollStartMs_ = appClock().nowMs();
    rollFrozenMs_ = running_ ? -1 : 0;
}

void Qm4100Sim::setMathDisplay(bool on)
{
    mathOn_ = on;
    if (!on)
        fftOn_ = false;
}

void Qm4100Sim::setFftDisplay(bool on)
{
    fftOn_ = on;
    if (on)
        mathOn_ = true;
}

void Qm4100Sim::setMathFunction(int f)
{
    if (f >= 3)
        setFftDisplay(true);
    else
        mathFunction_ = std::max(0, f);
}

void Qm4100Sim::setSignal(int channel, const Signal &s)
{
    signals_[channel == 2 ? 1 : 0] = s;
}

void Qm4100Sim::setIdentity(const QByteArray &maker, const QByteArray &model, const QByteArray &serial,
                            const QByteArray &firmware)
{
    identity_ = maker + "," + model + "," + serial + "," + firmware;
}

void Qm4100Sim::setMonochrome(bool mono)
{
    setIdentity("KARVO TECHNOLOGIES", mono ? "QM4102MD" : "QM4102CD");
}

bool Qm4100Sim::colourScreen() const
{
    return identity_.size() >= 26 && identity_.at(25) == 'C';
}

QList<QByteArray> Qm4100Sim::lines() const
{
    QList<QByteArray> out;
    for (const LogEntry &e : log_)
        out.append(e.line);
    return out;
}

int Qm4100Sim::count(const QByteArray &line) const
{
    int c = 0;
    for (const LogEntry &e : log_)
        if (e.line == line)
            ++c;
    return c;
}

qint64 Qm4100Sim::gapMs(int from, int to) const
{
    if (from < 0 || to < 0 || from >= log_.size() || to >= log_.size())
        return -1;
    return log_.at(to).atMs - log_.at(from).atMs;
}

int Qm4100Sim::refusedCount() const
{
    int c = 0;
    for (const LogEntry &e : log_)
        if (e.refused)
            ++c;
    return c;
}

// ---------------------------------------------------------------------------
// Matching and dispatch

int Qm4100Sim::matchHeader(const QList<QByteArray> &mnemonics) const
{
    int found = -1, foundExact = -1, matches = 0, exactMatches = 0;
    for (int i = 0; i < defs_->size(); ++i) {
        const Def &d = defs_->at(i);
        if (d.mnemonics.size() != mnemonics.size())
            continue;
        bool all = true, exact = true;
        for (int m = 0; m < mnemonics.size() && all; ++m) {
            int r = mnemonicMatch(mnemonics[m], d.mnemonics[m]);
            if (r == 0)
                all = false;
            else if (r == 1)
                exact = false;
        }
        if (!all)
            continue;
        ++matches;
        found = i;
        if (exact) {
            ++exactMatches;
            foundExact = i;
        }
    }
    if (exactMatches == 1)
        return foundExact;
    if (matches == 1)
        return found;
    return -1;
}

bool Qm4100Sim::parseValue(const Def &d, const QByteArray &arg, QByteArray &stored) const
{
    double v = 0;
    switch (d.kind) {
    case Kind::Enum: {
        QByteArray up = arg.toUpper();
        for (const auto &t : d.tokens)
            if (t.first == up) {
                stored = t.second;
                return true;
            }
        return false;
    }
    case Kind::Volts:
        if (!parseUnit(arg, 'V', "NUMK", v))
            return false;
        stored = fmt3(v);
        return true;
    case Kind::Scale:
        if (!parseUnit(arg, 'V', "NUMK", v) || v <= 0)
            return false;
        stored = fmt3(v);
        return true;
    case Kind::Time:
        if (!parseUnit(arg, 'S', "PNUM", v))
            return false;
        stored = fmt3(v);
        return true;
    case Kind::TimeScale:
        if (!parseUnit(arg, 'S', "PNUM", v) || v <= 0)
            return false;
        stored = fmt3(v);
        return true;
    case Kind::Div: {
        QByteArray s = arg.toUpper();
        if (s.endsWith("DIV"))
            s.chop(3);
        if (!parseNumber(s, v) || v < 0)
            return false;
        stored = fmt3(v);
        return true;
    }
    case Kind::IntRange: {
        if (arg.isEmpty() || arg.size() > 12)
            return false;
        for (char c : arg)
            if (c < '0' || c > '9')
                return false;
        long long n = arg.toLongLong();
        if (n < d.lo || n > d.hi)
            return false;
        stored = QByteArray::number(n);
        return true;
    }
    case Kind::Pattern: {
        QList<QByteArray> parts = arg.split(',');
        if (parts.size() != 2 && parts.size() != 4)
            return false;
        long long val[4] = {0, 0, 0, 0};
        const long long lim[4] = {65535, 65535, 15, 1};
        for (int i = 0; i < parts.size(); ++i) {
            const QByteArray &p = parts[i];
            if (p.isEmpty() || p.size() > 6)
                return false;
            for (char c : p)
                if (c < '0' || c > '9')
                    return false;
            val[i] = p.toLongLong();
            if (val[i] > lim[i])
                return false;
        }
        stored = QByteArray::number(val[0]) + "," + QByteArray::number(val[1]);
        if (parts.size() == 2)
            stored += ",None";
        else
            stored += ",Chan" + QByteArray::number(val[2]) + (val[3] ? ",Positive" : ",Negative");
        return true;
    }
    case Kind::Threshold: {
        QByteArray up = arg.toUpper();
        if (up == "TTL" || up == "CMOS" || up == "ECL") {
            stored = up;
            return true;
        }
        if (!parseUnit(arg, 'V', "NUMK", v))
            return false;
        if (v == 0)
            v = 0;   // no "-0"
        stored = "User " + QByteArray::number(v, 'g', 6);
        return true;
    }
    case Kind::Text:
        for (char c : arg)
            if (c == ' ')
                return false;
        stored = arg;
        return true;
    case Kind::Special:
        return false;
    }
    return false;
}

bool Qm4100Sim::applySet(const Def &d, const QByteArray &arg)
{
    QByteArray stored;
    if (!parseValue(d, arg, stored))
        return false;
    const QByteArray key = storageKey(d);
    const QByteArray &k = d.key;

    if (k.endsWith(":PROBE") && k.startsWith(":CHANNEL")) {
        QByteArray ch = k.left(9);
        double p = num(k), q = stored.toDouble();
        if (p > 0 && q > 0) {
            setValue(ch + ":SCALE", num(ch + ":SCALE") * q / p);
            setValue(ch + ":OFFSET", num(ch + ":OFFSET") * q / p);
        }
    } else if (k.endsWith(":SCALE") && k.startsWith(":CHANNEL")) {
        QByteArray ch = k.left(9);
        double old = num(k), now = stored.toDouble();
        if (old > 0)
            setValue(ch + ":OFFSET", num(ch + ":OFFSET") * now / old);
    } else if (k == ":TIMEBASE:FORMAT") {
        if (stored == "X-Y") {
            values_.insert(":CHANNEL1:DISPLAY", "ON");
            values_.insert(":CHANNEL2:DISPLAY", "ON");
        }
        if (stored == "SCANNING" && values_.value(k) != "SCANNING") {
            values_.insert(key, stored);
            startRollFill();
            return true;
        }
    } else if (k == ":TRIGGER:MODE") {
        if (stored == "ALTERNATION")
            values_.insert(":TIMEBASE:FORMAT", "Y-T");
    } else if (k.endsWith(":VIDEO:STANDARD")) {
        if (stored == "NTSC") {
            QByteArray lineKey = key.left(key.size() - 8) + "LINE";
            if (values_.value(lineKey).toInt() > 525)
                values_.insert(lineKey, "525");
        }
    } else if (k.endsWith(":VIDEO:LINE")) {
        QByteArray stdKey = key.left(key.size() - 4) + "STANDARD";
        if (values_.value(stdKey) == "NTSC" && stored.toInt() > 525)
            stored = "525";
    } else if (k == ":CHANNEL:ACTIVE") {
        activeChannel_ = stored == "CHANNEL2" ? 2 : 1;
    }
    values_.insert(key, stored);
    return true;
}

// Handles the special headers. Returns false when the line is refused.
bool Qm4100Sim::applySpecial(const Def &d, const QByteArray &arg, bool query, QByteArray &text,
                             QByteArray &binary, bool &hasReply, bool &isBinary)
{
    auto channelArg = [&](int &ch) {
        QByteArray up = arg.toUpper();
        if (up == "CHANNEL1") { ch = 1; return true; }
        if (up == "CHANNEL2") { ch = 2; return true; }
        return false;
    };
    auto onOff = [&](bool &on) {
        QByteArray up = arg.toUpper();
        if (up == "ON") { on = true; return true; }
        if (up == "OFF") { on = false; return true; }
        return false;
    };

    switch (d.special) {
    case SpIdn:
        text = identity_;
        hasReply = true;
        return true;
    case SpRun:
        setRunning(true);
        return true;
    case SpStop:
        setRunning(false);
        return true;
    case SpAuto:
        autoSet();
        return true;
    case SpForce:
    case SpDisplayClear:
        return true;
    case SpTrig50:
        setTriggerLevelsToMiddle();
        return true;
    case SpTrigStatus:
        text = running_ ? "RUN" : "STOP";
        hasReply = true;
        return true;
    case SpMathDisp:
        text = mathOn_ ? "ON" : "OFF";
        hasReply = true;
        return true;
    case SpFftDisp:
        text = fftOn_ ? "ON" : "OFF";
        hasReply = true;
        return true;
    case SpLaReset: {
        bool big2 = values_.value(":LA:GROUP2:SIZE") == "BIG";
        for (int k = 0; k < 8; ++k) {
            logicPos_[k] = k;
            logicPos_[8 + k] = big2 ? k : 8 + k;
        }
        return true;
    }
    case SpLaGroup: {
        bool on = false;
        if (!onOff(on))
            return false;
        int mask = values_.value(":LA:STATUS").toInt();
        int bits = d.index == 1 ? 0x00FF : 0xFF00;
        mask = on ? (mask | bits) : (mask & ~bits);
        values_.insert(":LA:STATUS", QByteArray::number(mask));
        return true;
    }
    case SpDigitalTurn: {
        bool on = false;
        if (!onOff(on))
            return false;
        int mask = values_.value(":LA:STATUS").toInt();
        mask = on ? (mask | (1 << d.index)) : (mask & ~(1 << d.index));
        values_.insert(":LA:STATUS", QByteArray::number(mask));
        selectedLogic_ = d.index;
        return true;
    }
    case SpDigitalPos:
        if (query) {
            text = QByteArray::number(logicPos_[d.index]);
            hasReply = true;
        } else {
            if (arg.isEmpty() || arg.size() > 2)
                return false;
            for (char c : arg)
                if (c < '0' || c > '9')
                    return false;
            int p = arg.toInt();
            if (p > 15)
                return false;
            logicPos_[d.index] = p;
            selectedLogic_ = d.index;
        }
        return true;
    case SpLocation:
        if (query) {
            text = setting(":LA:LOCATION");
            hasReply = true;
            return true;
        } else {
            QList<QByteArray> parts = arg.split(',');
            if (parts.size() != 2)
                return false;
            quint64 v[2];
            for (int i = 0; i < 2; ++i) {
                if (parts[i].isEmpty() || parts[i].size() > 10)
                    return false;
                for (char c : parts[i])
                    if (c < '0' || c > '9')
                        return false;
                v[i] = parts[i].toULongLong();
                if (v[i] > 4294967295ULL)
                    return false;
            }
            for (int c = 0; c < 8; ++c) {
                logicPos_[c] = int((v[0] >> (4 * c)) & 15);
                logicPos_[8 + c] = int((v[1] >> (4 * c)) & 15);
            }
            return true;
        }
    case SpMeasSource: {
        int ch = 0;
        if (!channelArg(ch))
            return false;
        measureSource_ = ch;
        return true;
    }
    case SpAltSource: {
        int ch = 0;
        if (!channelArg(ch))
            return false;
        altSource_ = ch;
        return true;
    }
    case SpSamp: {
        int ch = 0;
        if (!channelArg(ch))
            return false;
        text = fmt3(sampleRate(ch));
        hasReply = true;
        return true;
    }
    case SpMeasure: {
        int ch = 0;
        if (!channelArg(ch))
            return false;
        text = measurement(d.mnemonics.last(), ch);
        hasReply = true;
        return true;
    }
    case SpSystemData:
        binary = setupBlock();
        hasReply = isBinary = true;
        return true;
    case SpWaveData: {
        binary = waveformBlock(arg.toUpper());
        if (binary.isEmpty())
            return false;
        hasReply = isBinary = true;
        return true;
    }
    case SpLcdData:
        binary = screenImage() + '\n';
        hasReply = isBinary = true;
        return true;
    case SpKey: {
        const QByteArray &w = d.mnemonics.last();
        if (w == "RUN")
            setRunning(!running_);
        else if (w == "AUTO")
            autoSet();
        else if (w == "TRIG%50")
            setTriggerLevelsToMiddle();
        else if (w == "CHANNEL1" || w == "CHANNEL2") {
            activeChannel_ = w == "CHANNEL2" ? 2 : 1;
            values_.insert(":CHANNEL:ACTIVE", w);
        } else if (w == "MATH") {
            if (!mathOn_)
                setMathDisplay(true);
            else if (!fftOn_)
                setFftDisplay(true);
            else
                setMathDisplay(false);
        }
        noteKey(w);
        return true;
    }
    case SpKnob: {
        int step = 0;
        if (!arg.isNull()) {
            if (arg.isEmpty() || arg.size() > 6)
                return false;
            for (char c : arg)
                if (c < '0' || c > '9')
                    return false;
            step = arg.toInt();
        }
        knob(d.mnemonics.last(), std::max(1, step));
        keepLimits();
        noteKey(d.mnemonics.last());
        return true;
    }
    default:
        return false;
    }
}

QByteArray Qm4100Sim::frame(const QByteArray &payload, bool binary, bool setup, Framing framing) const
{
    if (!binary)
        return payload + '\n';
    switch (framing) {
    case Framing::LengthPrefix: {
        QByteArray out;
        quint32 n = quint32(payload.size());
        for (int i = 0; i < 4; ++i)
            out.append(char((n >> (8 * i)) & 0xFF));
        return out + payload;
    }
    case Framing::VisaUsb:
        return payload;
    case Framing::VisaSerial:
        if (setup)
            return payload.left(112) + '\n';
        return payload;
    }
    return payload;
}

Qm4100Sim::Reply Qm4100Sim::handle(const QByteArray &line, Framing framing)
{
    Reply reply;
    LogEntry entry;
    entry.line = line;
    entry.atMs = appClock().nowMs();
    int blank = line.indexOf(' ');
    QByteArray header = blank < 0 ? line : line.left(blank);
    QByteArray arg = blank < 0 ? QByteArray() : line.mid(blank + 1);
    if (blank >= 0 && arg.isNull())
        arg = QByteArray("");   // present but empty
    entry.query = header.endsWith('?');
    if (entry.query)
        ++queriesSinceFaults_;

    auto refuse = [&]() {
        entry.refused = true;
        log_.append(entry);
        return Reply();
    };

    if (line.isEmpty() || !printable(line) || header.isEmpty())
        return refuse();
    if (blank >= 0 && (arg.isEmpty() || arg.startsWith(' ')))
        return refuse();
    if (entry.query)
        header.chop(1);
    header = header.toUpper();
    QList<QByteArray> mnemonics;
    if (header.startsWith('*')) {
        mnemonics.append(header);
    } else {
        QByteArray body = header.startsWith(':') ? header.mid(1) : header;
        mnemonics = body.split(':');
        for (const QByteArray &m : mnemonics)
            if (m.isEmpty())
                return refuse();
    }
    int idx = matchHeader(mnemonics);
    if (idx < 0)
        return refuse();
    const Def &d = defs_->at(idx);
    if (entry.query ? !d.canQuery : !d.canSet)
        return refuse();

    QByteArray text, binary;
    bool hasReply = false, isBinary = false;
    if (d.kind == Kind::Special) {
        bool needsArg = entry.query ? d.queryArg
                                    : !(d.special == SpRun || d.special == SpStop || d.special == SpAuto
                                        || d.special == SpForce || d.special == SpTrig50
                                        || d.special == SpDisplayClear || d.special == SpLaReset
                                        || d.special == SpKey || d.special == SpKnob);
        if (d.special == SpKnob) {
            // the step is optional
        } else if (needsArg != (blank >= 0)) {
            return refuse();
        }
        if (!applySpecial(d, arg, entry.query, text, binary, hasReply, isBinary))
            return refuse();
    } else if (entry.query) {
        if (blank >= 0)
            return refuse();
        text = values_.value(storageKey(d));
        hasReply = true;
    } else {
        if (blank < 0 || !applySet(d, arg))
            return refuse();
    }
    if (!entry.query)
        keepLimits();

    if (hasReply && entry.query) {
        bool silent = faults_.noReply
                      || (faults_.silentFromQuery > 0 && queriesSinceFaults_ >= faults_.silentFromQuery);
        if (!silent) {
            QByteArray bytes;
            if (faults_.garbage) {
                quint32 x = 0x9E3779B9u ^ quint32(queriesSinceFaults_);
                int n = std::max(0, faults_.garbageLength);
                for (int i = 0; i < n; ++i) {
                    x = x * 1664525u + 1013904223u;
                    char c = char((x >> 24) & 0xFF);
                    if (c == '\n')
                        c = char(0xFF);
                    bytes.append(c);
                }
                bytes.append('\n');
                reply.binary = false;
                reply.chunks.append(bytes);
            } else {
                if (isBinary) {
                    QByteArray payload = binary;
                    bool setup = d.special == SpSystemData;
                    QByteArray framed = frame(payload, true, setup, framing);
                    if (faults_.shortBlockBy > 0)
                        framed.chop(std::min<qsizetype>(faults_.shortBlockBy,
                                                        framed.size() - (framing == Framing::LengthPrefix ? 4 : 0)));
                    if (faults_.overlongBlockBy > 0)
                        framed.append(QByteArray(faults_.overlongBlockBy, char(0xAA)));
                    bytes = framed;
                } else {
                    if (!faults_.emptyReplyTo.isEmpty() && line == faults_.emptyReplyTo)
                        text.clear();
                    if (isValueText(text) && (faults_.valueFaultTo.isEmpty() || line == faults_.valueFaultTo)) {
                        if (!faults_.absurdValue.isEmpty())
                            text = faults_.absurdValue;
                        text.prepend(faults_.valueMark);
                    }
                    if (const auto it = faults_.textReplyTo.constFind(line); it != faults_.textReplyTo.constEnd())
                        text = *it;
                    if (faults_.longText && text.size() < 300)
                        text += QByteArray(300 - text.size(), ' ');
                    bytes = frame(text, false, false, framing);
                    if (faults_.crLf)
                        bytes.insert(bytes.size() - 1, '\r');
                }
                reply.binary = isBinary;
                if (faults_.splitReply && isBinary && framing == Framing::LengthPrefix && bytes.size() > 4) {
                    reply.chunks = {bytes.left(2), bytes.mid(2, 2), bytes.mid(4)};
                } else if (faults_.splitReply && bytes.size() > 1) {
                    reply.chunks = {bytes.left(1), bytes.mid(1)};
                } else {
                    reply.chunks = {bytes};
                }
            }
            if (faults_.lateReplyTo.isEmpty() || line == faults_.lateReplyTo)
                reply.delayMs = std::max(0, faults_.delayMs);
            entry.answered = true;
        }
    }
    log_.append(entry);
    return reply;
}
