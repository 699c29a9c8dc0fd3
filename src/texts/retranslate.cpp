#include "texts/retranslate.h"

#include "common/ctrlsettings.h"
#include "texts/textstate.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <initializer_list>

namespace {

using Words = std::initializer_list<Word>;

const Words onOff = {Word::WordOn, Word::WordOff};
const Words sweep = {Word::WordAuto, Word::WordNormal, Word::WordSingle};
const Words trigCoupling = {Word::WordAC, Word::WordDC, Word::WordLF, Word::WordHF};
const Words edgeSlope = {Word::WordRising, Word::WordFalling, Word::WordAlternation};
const Words pulseModes = {Word::WordPulsePosLess, Word::WordPulseNegLess, Word::WordPulsePosGreater,
                          Word::WordPulseNegGreater, Word::WordPulsePosEqual, Word::WordPulseNegEqual};
const Words slopeModes = {Word::WordSlopeRiseLess, Word::WordSlopeFallLess, Word::WordSlopeRiseGreater,
                          Word::WordSlopeFallGreater, Word::WordSlopeRiseEqual, Word::WordSlopeFallEqual};
const Words videoSync = {Word::WordAllLines, Word::WordLine, Word::WordOddField, Word::WordEvenField};

class Retranslator {
public:
    explicit Retranslator(int oldLang) : oldLang_(oldLang) {}

    QString oldText(Word w) const { return wordLiteral(w, oldLang_); }
    static const QString &newText(Word w) { return word(w); }

    // The word whose old text m holds becomes its new text; anything else
    // (also an empty text) becomes the last word.
    void choose(QString &m, Words ws) const
    {
        const Word *last = ws.end() - 1;
        for (const Word *w = ws.begin(); w != last; ++w) {
            if (m == oldText(*w)) {
                m = newText(*w);
                return;
            }
        }
        m = newText(*last);
    }

    // The word whose old text m holds becomes its new text; anything else
    // stays as it is.
    void firstOf(QString &m, Words ws) const
    {
        for (Word w : ws) {
            if (m == oldText(w)) {
                m = newText(w);
                return;
            }
        }
    }

    void keepOr(QString &m, Word w) const { firstOf(m, {w}); }

    // A slope condition: chosen among the slope words; a pulse word of the old
    // language (the record's default slope condition is the pulse word
    // "+Less Than") counts as the slope word of the same condition instead of
    // falling back to the last slope word.
    void slopeCondition(QString &m) const
    {
        for (Word w : slopeModes) {
            if (m == oldText(w)) {
                m = newText(w);
                return;
            }
        }
        const Word *slope = slopeModes.begin();
        for (Word w : pulseModes) {
            if (m == oldText(w)) {
                m = newText(*slope);
                return;
            }
            ++slope;
        }
        m = newText(*(slopeModes.end() - 1));
    }

    // An edge entry of a logic code: the edge-slope word written by the
    // read-back or the pattern label written by the code editor, in the old
    // language, becomes the pattern label of the new language, the form the
    // pattern trigger sender recognises. "H", "L", "X" stay.
    void codeEdge(QString &m) const
    {
        if (m == oldText(Word::WordRising) || m == oldText(Word::ItemRising))
            m = newText(Word::ItemRising);
        else if (m == oldText(Word::WordFalling) || m == oldText(Word::ItemFalling))
            m = newText(Word::ItemFalling);
    }

private:
    int oldLang_;
};

bool isLanguage(int lang)
{
    return lang == LanguageChinese || lang == LanguageEnglish;
}

} // namespace

void RetranslateSettings(int newLang, int oldLang)
{
    // A new language other than Chinese or English has empty words: rewriting
    // into it would blank every setting, so it is refused like an unknown old
    // language.
    if (oldLang == newLang || !isLanguage(oldLang) || !isLanguage(newLang))
        return;
    const Retranslator r(oldLang);
    CtrlSettings &s = settingsRecord();

    r.choose(s.RunStop, {Word::WordRun, Word::WordStop});

    r.choose(s.CH1Display, onOff);
    r.choose(s.CH1BWLimit, onOff);
    r.choose(s.CH1Coupling, {Word::WordAC, Word::WordDC, Word::WordGND});
    r.choose(s.CH2Display, onOff);
    r.choose(s.CH2BWLimit, onOff);
    r.choose(s.CH2Coupling, {Word::WordAC, Word::WordDC, Word::WordGND});

    r.choose(s.LAGroupHi, onOff);
    r.choose(s.LAGroupLo, onOff);
    r.choose(s.LADisplay, onOff);
    for (int i = 1; i <= 16; ++i)
        r.choose(s.LAChanOn[i], onOff);

    r.keepOr(s.LAThreshold, Word::WordUser);

    r.choose(s.LASizeHi, {Word::WordBig, Word::WordSmall});
    r.choose(s.LASizeLo, {Word::WordBig, Word::WordSmall});

    const Words altTypes = {Word::WordEdge, Word::WordPulse, Word::WordSlope, Word::WordVideo};
    r.firstOf(s.AltCH1Type, altTypes);
    r.firstOf(s.AltCH2Type, altTypes);

    const QString method = s.TrigMethod;
    if (method == r.oldText(Word::WordEdge)) {
        s.TrigMethod = r.newText(Word::WordEdge);
        r.keepOr(s.EdgeSource, Word::WordACLine);
        r.choose(s.EdgeSlope, edgeSlope);
        r.choose(s.EdgeSweep, sweep);
        r.choose(s.EdgeCoupling, trigCoupling);
    } else if (method == r.oldText(Word::WordPulse)) {
        s.TrigMethod = r.newText(Word::WordPulse);
        r.choose(s.PulseMode, pulseModes);
        r.choose(s.PulseSweep, sweep);
        r.choose(s.PulseCoupling, trigCoupling);
    } else if (method == r.oldText(Word::WordSlope)) {
        s.TrigMethod = r.newText(Word::WordSlope);
        r.slopeCondition(s.SlopeMode);
        r.choose(s.SlopeSweep, sweep);
        r.choose(s.SlopeCoupling, trigCoupling);
    } else if (method == r.oldText(Word::WordVideo)) {
        s.TrigMethod = r.newText(Word::WordVideo);
        r.choose(s.VideoPolarity, {Word::WordPositive, Word::WordNegative});
        r.choose(s.VideoSync, videoSync);
    } else if (method == r.oldText(Word::WordAlternative)) {
        s.TrigMethod = r.newText(Word::WordAlternative);
        struct AltChannel {
            const QString &type;
            QString &edgeSlope, &edgeCoupling, &pulseMode, &pulseCoupling;
            QString &videoPolarity, &videoSync, &slopeMode, &slopeCoupling;
        };
        const AltChannel channels[] = {
            {s.AltCH1Type, s.AltCH1EdgeSlope, s.AltCH1EdgeCoupling, s.AltCH1PulseMode, s.AltCH1PulseCoupling,
             s.AltCH1VideoPolarity, s.AltCH1VideoSync, s.AltCH1SlopeMode, s.AltCH1SlopeCoupling},
            {s.AltCH2Type, s.AltCH2EdgeSlope, s.AltCH2EdgeCoupling, s.AltCH2PulseMode, s.AltCH2PulseCoupling,
             s.AltCH2VideoPolarity, s.AltCH2VideoSync, s.AltCH2SlopeMode, s.AltCH2SlopeCoupling},
        };
        // The channel types are already in the new language here.
        for (const AltChannel &c : channels) {
            if (c.type == r.newText(Word::WordEdge)) {
                r.choose(c.edgeSlope, edgeSlope);
                r.choose(c.edgeCoupling, trigCoupling);
            } else if (c.type == r.newText(Word::WordPulse)) {
                r.choose(c.pulseMode, pulseModes);
                r.choose(c.pulseCoupling, trigCoupling);
            } else if (c.type == r.newText(Word::WordVideo)) {
                r.choose(c.videoPolarity, {Word::WordPositive, Word::WordNegative});
                r.choose(c.videoSync, videoSync);
            } else {
                r.slopeCondition(c.slopeMode);
                r.choose(c.slopeCoupling, trigCoupling);
            }
        }
    } else if (method == r.oldText(Word::WordPattern)) {
        s.TrigMethod = r.newText(Word::WordPattern);
        for (int i = 1; i <= 16; ++i)
            r.codeEdge(s.PatCode[i]);
        r.choose(s.PatSweep, sweep);
    } else if (method == r.oldText(Word::WordDuration)) {
        s.TrigMethod = r.newText(Word::WordDuration);
        r.choose(s.DurQualifier, {Word::WordLessThan, Word::WordGreaterThan, Word::WordEqual});
        // The read-back puts edge words into the duration code as well; left in
        // the old language they would go out as "L" after the switch.
        for (int i = 1; i <= 16; ++i)
            r.codeEdge(s.DurCode[i]);
        r.choose(s.DurSweep, sweep);
    }

    r.choose(s.AcqSamplingMode, {Word::WordRealTime, Word::WordEqualTime});
    r.choose(s.AcqType, {Word::WordAcqNormal, Word::WordPeakDetect, Word::WordAverage});
    r.choose(s.DispType, {Word::WordVectors, Word::WordDots});
    r.choose(s.DispPersist, onOff);
    r.choose(s.DispGrid, {Word::WordFull, Word::WordHalf, Word::WordNone});
}
