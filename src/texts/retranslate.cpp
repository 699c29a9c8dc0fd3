#include "texts/retranslate.h"

#include "texts/loadlanguage.h"
#include "texts/textstate.h"
#include "texts/stringres.h"

#include <initializer_list>

namespace {

using Words = std::initializer_list<Word>;

const Words runStop = {Word::WordRun, Word::WordStop};
const Words onOff = {Word::WordOn, Word::WordOff};
const Words chCoupling = {Word::WordAC, Word::WordDC, Word::WordGND};
const Words laSize = {Word::WordBig, Word::WordSmall};
const Words methods = {Word::WordEdge,        Word::WordPulse,   Word::WordVideo,   Word::WordSlope,
                       Word::WordAlternative, Word::WordPattern, Word::WordDuration};
const Words altTypes = {Word::WordEdge, Word::WordPulse, Word::WordSlope, Word::WordVideo};
const Words sweep = {Word::WordAuto, Word::WordNormal, Word::WordSingle};
const Words trigCoupling = {Word::WordAC, Word::WordDC, Word::WordLF, Word::WordHF};
const Words edgeSlope = {Word::WordRising, Word::WordFalling, Word::WordAlternation};
const Words pulseModes = {Word::WordPulsePosLess, Word::WordPulseNegLess, Word::WordPulsePosGreater,
                          Word::WordPulseNegGreater, Word::WordPulsePosEqual, Word::WordPulseNegEqual};
const Words slopeModes = {Word::WordSlopeRiseLess, Word::WordSlopeFallLess, Word::WordSlopeRiseGreater,
                          Word::WordSlopeFallGreater, Word::WordSlopeRiseEqual, Word::WordSlopeFallEqual};
const Words polarity = {Word::WordPositive, Word::WordNegative};
const Words videoSync = {Word::WordAllLines, Word::WordLine, Word::WordOddField, Word::WordEvenField};
const Words qualifier = {Word::WordLessThan, Word::WordGreaterThan, Word::WordEqual};

bool isLanguage(int lang)
{
    return lang == LanguageChinese || lang == LanguageEnglish;
}

// Rewrites member texts into one language. A text is looked up among the
// member's own words only: the same text may be different words in two lists
// ("AC" is the coupling and the mains source), never within one.
class Translator {
public:
    explicit Translator(int lang) : lang_(lang), other_(lang == LanguageChinese ? LanguageEnglish : LanguageChinese) {}

    QString in(Word w) const { return wordLiteral(w, lang_); }
    QString inOther(Word w) const { return wordLiteral(w, other_); }

    // A word of ws in the other language becomes the same word in ours; a
    // word already in ours, or any other text, stays.
    void words(QString &m, Words ws) const
    {
        if (m.isEmpty())
            return;
        for (Word w : ws)
            if (m == in(w))
                return;
        for (Word w : ws) {
            if (m == inOther(w)) {
                m = in(w);
                return;
            }
        }
    }

    void onOff(QString &m) const { words(m, ::onOff); }

    // A slope condition. The record's default slope condition is the pulse
    // word "+Less Than" (as the instrument's own defaults are), so a pulse
    // word counts as the slope word of the same condition when it comes from
    // the other language; in ours it stays as it is.
    void slopeCondition(QString &m) const
    {
        for (Word w : slopeModes)
            if (m == in(w))
                return;
        for (Word w : pulseModes)
            if (m == in(w))
                return;
        for (Word w : slopeModes) {
            if (m == inOther(w)) {
                m = in(w);
                return;
            }
        }
        const Word *slope = slopeModes.begin();
        for (Word w : pulseModes) {
            if (m == inOther(w)) {
                m = in(*slope);
                return;
            }
            ++slope;
        }
    }

    // An edge entry of a logic code: the edge-slope word written by the
    // read-back or the pattern label written by the code editor, in the other
    // language, becomes the pattern label of ours, the form the pattern
    // trigger sender recognises. Either form in ours, and "H", "L", "X", stay.
    void codeEdge(QString &m) const
    {
        for (Word w : {Word::WordRising, Word::ItemRising, Word::WordFalling, Word::ItemFalling})
            if (m == in(w))
                return;
        if (m == inOther(Word::WordRising) || m == inOther(Word::ItemRising))
            m = in(Word::ItemRising);
        else if (m == inOther(Word::WordFalling) || m == inOther(Word::ItemFalling))
            m = in(Word::ItemFalling);
    }

    void code(CtrlSettings::LAArray &codes) const
    {
        for (int i = 1; i <= 16; ++i)
            codeEdge(codes[i]);
    }

private:
    int lang_;
    int other_;
};

} // namespace

void TranslateSettingWords(CtrlSettings &s, int lang)
{
    if (!isLanguage(lang))
        return;
    const Translator t(lang);

    t.words(s.RunStop, runStop);

    t.onOff(s.CH1Display);
    t.onOff(s.CH1BWLimit);
    t.onOff(s.CH1Invert);
    t.words(s.CH1Coupling, chCoupling);
    t.onOff(s.CH2Display);
    t.onOff(s.CH2BWLimit);
    t.onOff(s.CH2Invert);
    t.words(s.CH2Coupling, chCoupling);

    t.onOff(s.LADisplay);
    for (int i = 1; i <= 16; ++i)
        t.onOff(s.LAChanOn[i]);
    t.onOff(s.LAGroupHi);
    t.onOff(s.LAGroupLo);
    // Thresholds given as family names or voltages are no words.
    t.words(s.LAThreshold, {Word::WordUser});
    t.words(s.LASizeHi, laSize);
    t.words(s.LASizeLo, laSize);

    // The display words the instrument last reported, which the waveform
    // window's source boxes follow.
    t.onOff(s.MathDisplay);
    t.onOff(s.FFTDisplay);
    // The spares that hold the off word.
    t.onOff(s.Spare1);
    t.onOff(s.Spare5);

    // The trigger: every method's settings, not only the active method's, so
    // that choosing another method later finds words of the language in force.
    t.words(s.TrigMethod, methods);
    t.words(s.EdgeSource, {Word::WordACLine}); // channel names stay
    t.words(s.EdgeSlope, edgeSlope);
    t.words(s.EdgeSweep, sweep);
    t.words(s.EdgeCoupling, trigCoupling);
    t.words(s.PulseMode, pulseModes);
    t.words(s.PulseCoupling, trigCoupling);
    t.words(s.PulseSweep, sweep);
    t.words(s.VideoPolarity, polarity);
    t.words(s.VideoSync, videoSync);
    t.slopeCondition(s.SlopeMode);
    t.words(s.SlopeCoupling, trigCoupling);
    t.words(s.SlopeSweep, sweep);

    t.words(s.AltCH1Type, altTypes);
    t.words(s.AltCH2Type, altTypes);
    struct AltChannel {
        QString &edgeSlope, &edgeCoupling, &pulseMode, &pulseCoupling;
        QString &videoPolarity, &videoSync, &slopeMode, &slopeCoupling;
    };
    const AltChannel channels[] = {
        {s.AltCH1EdgeSlope, s.AltCH1EdgeCoupling, s.AltCH1PulseMode, s.AltCH1PulseCoupling, s.AltCH1VideoPolarity,
         s.AltCH1VideoSync, s.AltCH1SlopeMode, s.AltCH1SlopeCoupling},
        {s.AltCH2EdgeSlope, s.AltCH2EdgeCoupling, s.AltCH2PulseMode, s.AltCH2PulseCoupling, s.AltCH2VideoPolarity,
         s.AltCH2VideoSync, s.AltCH2SlopeMode, s.AltCH2SlopeCoupling},
    };
    for (const AltChannel &c : channels) {
        t.words(c.edgeSlope, edgeSlope);
        t.words(c.edgeCoupling, trigCoupling);
        t.words(c.pulseMode, pulseModes);
        t.words(c.pulseCoupling, trigCoupling);
        t.words(c.videoPolarity, polarity);
        t.words(c.videoSync, videoSync);
        t.slopeCondition(c.slopeMode);
        t.words(c.slopeCoupling, trigCoupling);
    }

    t.code(s.PatCode);
    t.words(s.PatSweep, sweep);
    t.words(s.DurQualifier, qualifier);
    // The read-back puts edge words into the duration code as well.
    t.code(s.DurCode);
    t.words(s.DurSweep, sweep);

    t.words(s.AcqSamplingMode, {Word::WordRealTime, Word::WordEqualTime});
    t.words(s.AcqType, {Word::WordAcqNormal, Word::WordPeakDetect, Word::WordAverage});
    t.words(s.DispType, {Word::WordVectors, Word::WordDots});
    t.onOff(s.DispPersist);
    t.words(s.DispGrid, {Word::WordFull, Word::WordHalf, Word::WordNone});
}

void RetranslateSettings(int newLang, int oldLang)
{
    // A new language other than Chinese or English has empty words: rewriting
    // into it would blank every setting, so it is refused like an unknown old
    // language.
    if (oldLang == newLang || !isLanguage(oldLang) || !isLanguage(newLang))
        return;
    TranslateSettingWords(settingsRecord(), newLang);
}
