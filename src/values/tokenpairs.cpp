#include "values/tokenpairs.h"

#include "texts/stringres.h"

#include <initializer_list>

namespace {

struct TokenRow {
    Word word;
    const char *token;  // sent for the word
    const char *reply;  // the instrument's answer for it (unused on a fallback row)
};

using Family = std::initializer_list<TokenRow>;

// Walks rows 1 .. n-1 (all rows without a fallback); the last row answers
// anything else, or the empty text when the family has no fallback.
QString toToken(const Family &rows, const QString &shown, bool hasFallback = true)
{
    const std::size_t checked = hasFallback ? rows.size() - 1 : rows.size();
    std::size_t i = 0;
    for (const TokenRow &row : rows) {
        if (i++ == checked)
            break;
        if (shown == word(row.word))
            return QString::fromLatin1(row.token);
    }
    return hasFallback ? QString::fromLatin1((rows.end() - 1)->token) : QString();
}

// The token of a word of the rows in the language in force, else in either
// of the two languages; the empty text for any other text.
QString toTokenOfEitherLanguage(const Family &rows, const QString &shown)
{
    const QString token = toToken(rows, shown, false);
    if (!token.isEmpty())
        return token;
    for (const TokenRow &row : rows)
        for (int lang : {0, 1})
            if (shown == wordLiteral(row.word, lang))
                return QString::fromLatin1(row.token);
    return QString();
}

QString toDisplay(const Family &rows, const QString &reply, bool hasFallback = true)
{
    const std::size_t checked = hasFallback ? rows.size() - 1 : rows.size();
    std::size_t i = 0;
    for (const TokenRow &row : rows) {
        if (i++ == checked)
            break;
        if (reply == QLatin1String(row.reply))
            return word(row.word);
    }
    return hasFallback ? word((rows.end() - 1)->word) : QString();
}

const Family runStop = {
    {Word::WordRun, ":RUN", "RUN"},
    {Word::WordStop, ":STOP", nullptr},
};
const Family onOff = {
    {Word::WordOn, "ON", "ON"},
    {Word::WordOff, "OFF", nullptr},
};
const Family laSize = {
    {Word::WordBig, "BIG", "BIG"},
    {Word::WordSmall, "SMALL", nullptr},
};
const Family acqMode = {
    {Word::WordRealTime, "RTIME", "REAL_TIME"},
    {Word::WordEqualTime, "ETIME", nullptr},
};
const Family acqType = {
    {Word::WordAcqNormal, "NORMAL", "NORMAL"},
    {Word::WordPeakDetect, "PEAKDETECT", "PEAKDETECT"},
    {Word::WordAverage, "AVERAGE", nullptr},
};
const Family displayType = {
    {Word::WordVectors, "VECTORS", "VECTORS"},
    {Word::WordDots, "DOTS", nullptr},
};
const Family grid = {
    {Word::WordFull, "FULL", "FULL"},
    {Word::WordHalf, "HALF", "HALF"},
    {Word::WordNone, "NONE", nullptr},
};
const Family trigMethod = {
    {Word::WordEdge, "EDGE", "EDGE"},
    {Word::WordPulse, "PULSE", "PULSE"},
    {Word::WordVideo, "VIDEO", "VIDEO"},
    {Word::WordSlope, "SLOPE", "SLOPE"},
    {Word::WordAlternative, "ALTERNATION", "ALTERNATION"},
    {Word::WordPattern, "PATTERN", "PATTERN"},
    {Word::WordDuration, "DURATION", nullptr},
};
const Family sweep = {
    {Word::WordAuto, "AUTO", "AUTO"},
    {Word::WordNormal, "NORMAL", "NORMAL"},
    {Word::WordSingle, "SINGLE", "SINGLE"},
};
const Family coupling = {
    {Word::WordAC, "AC", "AC"},
    {Word::WordDC, "DC", "DC"},
    {Word::WordLF, "LF", "LF"},
    {Word::WordHF, "HF", "HF"},
    {Word::WordGND, "GND", nullptr},
};
const Family edgeSlope = {
    {Word::WordRising, "POSITIVE", "POSITIVE"},
    {Word::WordFalling, "NEGATIVE", "NEGATIVE"},
    {Word::WordAlternation, "ALTERNATION", nullptr},
};
const Family pulseMode = {
    {Word::WordPulsePosLess, "+LESSTHAN", "+LESS THAN"},
    {Word::WordPulseNegLess, "-LESSTHAN", "-LESS THAN"},
    {Word::WordPulsePosGreater, "+GREATERTHAN", "+GREATER THAN"},
    {Word::WordPulseNegGreater, "-GREATERTHAN", "-GREATER THAN"},
    {Word::WordPulsePosEqual, "+EQUAL", "+EQUAL"},
    {Word::WordPulseNegEqual, "-EQUAL", nullptr},
};
const Family slopeMode = {
    {Word::WordSlopeRiseLess, "+LESSTHAN", "+LESS THAN"},
    {Word::WordSlopeFallLess, "-LESSTHAN", "-LESS THAN"},
    {Word::WordSlopeRiseGreater, "+GREATERTHAN", "+GREATER THAN"},
    {Word::WordSlopeFallGreater, "-GREATERTHAN", "-GREATER THAN"},
    {Word::WordSlopeRiseEqual, "+EQUAL", "+EQUAL"},
    {Word::WordSlopeFallEqual, "-EQUAL", nullptr},
};
const Family videoPolarity = {
    {Word::WordPositive, "POSITIVE", "POSITIVE"},
    {Word::WordNegative, "NEGATIVE", nullptr},
};
const Family videoSync = {
    {Word::WordAllLines, "ALLlines", "ALL LINES"},
    {Word::WordLine, "LINE", "LINE"},
    {Word::WordOddField, "ODDfield", "ODD FIELD"},
    {Word::WordEvenField, "EVENfield", nullptr},
};
const Family durationQualifier = {
    {Word::WordLessThan, "LESSTHAN", "LESS THAN"},
    {Word::WordGreaterThan, "GREATERTHAN", "GREATER THAN"},
    {Word::WordEqual, "EQUAL", nullptr},
};

} // namespace

QString RunStopCommand(const QString &w) { return toToken(runStop, w); }
QString RunStopDisplay(const QString &r) { return toDisplay(runStop, r); }
QString OnOffToken(const QString &w) { return toToken(onOff, w); }
QString OnOffDisplay(const QString &r) { return toDisplay(onOff, r); }
QString LaSizeToken(const QString &w) { return toToken(laSize, w); }
QString LaSizeDisplay(const QString &r) { return toDisplay(laSize, r); }
QString AcqModeToken(const QString &w) { return toToken(acqMode, w); }
QString AcqModeDisplay(const QString &r) { return toDisplay(acqMode, r); }
QString AcqTypeToken(const QString &w) { return toToken(acqType, w); }
QString AcqTypeDisplay(const QString &r) { return toDisplay(acqType, r); }
QString DisplayTypeToken(const QString &w) { return toToken(displayType, w); }
QString DisplayTypeDisplay(const QString &r) { return toDisplay(displayType, r); }
QString GridToken(const QString &w) { return toToken(grid, w); }
QString GridDisplay(const QString &r) { return toDisplay(grid, r); }
QString TrigMethodToken(const QString &w) { return toToken(trigMethod, w); }
QString TrigMethodDisplay(const QString &r) { return toDisplay(trigMethod, r); }
QString SweepToken(const QString &w) { return toToken(sweep, w, false); }
QString SweepDisplay(const QString &r) { return toDisplay(sweep, r, false); }
QString CouplingToken(const QString &w) { return toToken(coupling, w); }
QString CouplingDisplay(const QString &r) { return toDisplay(coupling, r); }
QString EdgeSlopeToken(const QString &w) { return toToken(edgeSlope, w); }
QString EdgeSlopeDisplay(const QString &r) { return toDisplay(edgeSlope, r); }
QString PulseModeToken(const QString &w)
{
    const QString token = toTokenOfEitherLanguage(pulseMode, w);
    return token.isEmpty() ? toToken(pulseMode, w) : token;
}
QString PulseModeDisplay(const QString &r) { return toDisplay(pulseMode, r); }
QString SlopeModeToken(const QString &w)
{
    // The two families send the same token for the same condition.
    QString token = toToken(slopeMode, w, false);
    if (token.isEmpty())
        token = toTokenOfEitherLanguage(pulseMode, w);
    return token.isEmpty() ? toToken(slopeMode, w) : token;
}
QString SlopeModeDisplay(const QString &r) { return toDisplay(slopeMode, r); }
QString VideoPolarityToken(const QString &w) { return toToken(videoPolarity, w); }
QString VideoPolarityDisplay(const QString &r) { return toDisplay(videoPolarity, r); }
QString VideoSyncToken(const QString &w) { return toToken(videoSync, w); }
QString VideoSyncDisplay(const QString &r) { return toDisplay(videoSync, r); }
QString DurationQualifierToken(const QString &w) { return toToken(durationQualifier, w); }
QString DurationQualifierDisplay(const QString &r) { return toDisplay(durationQualifier, r); }
