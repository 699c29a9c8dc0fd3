#pragma once
// The settings records the transfer tests send: the defaults with most
// members changed, and a trigger block per method. Display words come from
// the tables of the language in force, so the same record exists in both
// languages.

#include "app/appstate.h"
#include "texts/stringres.h"

#include <QString>

// Everything but the trigger blocks, changed from the defaults.
inline void setCommonCase(CtrlSettings &s)
{
    s.RunStop = word(Word::WordRun);
    s.CH1TimeDiv = QStringLiteral("20.00us");
    s.TimeDiv = QStringLiteral("1.000ms");
    s.Delay = QStringLiteral("-1.000ms");
    s.CH1Display = word(Word::WordOn);
    s.CH1Probe = QStringLiteral("10X");
    s.CH1VoltDiv = QStringLiteral("500mV");
    s.CH1Offset = QStringLiteral("200mV");
    s.CH1Coupling = word(Word::WordDC);
    s.CH2Display = word(Word::WordOn);
    s.CH2VoltDiv = QStringLiteral("2.00V");
    s.CH2Offset = QStringLiteral("-1.00V");
    s.CH2BWLimit = word(Word::WordOn);
    s.Holdoff = QStringLiteral("1.00us");
    s.LADisplay = word(Word::WordOn);
    for (int i = 1; i <= 16; ++i) {
        const int c = 16 - i; // element i is D(16 - i)
        s.LAChanOn[i] = (c == 15 || c == 7 || c == 0) ? word(Word::WordOn) : word(Word::WordOff);
        s.LAChanPos[i] = QString::number(c); // every channel Dc at position c
    }
    s.LASizeHi = word(Word::WordSmall);
    s.LAThreshold = QStringLiteral("1.40V");
    s.AcqSamplingMode = word(Word::WordEqualTime);
    s.AcqType = word(Word::WordAverage);
    s.AcqAverages = QStringLiteral("64");
    s.DispType = word(Word::WordDots);
    s.DispPersist = word(Word::WordOn);
    s.DispGrid = word(Word::WordHalf);
}

// The trigger block of one method: "EDGE", "PULSE", "VIDEO", "SLOPE",
// "ALTERNATIVE" (CH1 VIDEO, CH2 PULSE), "ALTERNATIVE2" (CH1 SLOPE, CH2 EDGE),
// "PATTERN", "DURATION".
inline void setMethodCase(CtrlSettings &s, const QString &method)
{
    if (method == QLatin1String("EDGE")) {
        s.TrigMethod = word(Word::WordEdge);
        s.EdgeSource = QStringLiteral("CH1");
        s.EdgeSlope = word(Word::WordFalling);
        s.EdgeSweep = word(Word::WordNormal);
        s.EdgeCoupling = word(Word::WordHF);
        s.EdgeSensitivity = QStringLiteral("0.30div");
        s.EdgeLevel = QStringLiteral("1.50div");
    } else if (method == QLatin1String("PULSE")) {
        s.TrigMethod = word(Word::WordPulse);
        s.PulseSource = QStringLiteral("CH2");
        s.PulseMode = word(Word::WordPulseNegGreater);
        s.PulseWidth = QStringLiteral("20.0us");
        s.PulseSweep = word(Word::WordSingle);
        s.PulseCoupling = word(Word::WordLF);
        s.PulseSensitivity = QStringLiteral("0.50div");
        s.PulseLevel = QStringLiteral("1.00div");
    } else if (method == QLatin1String("VIDEO")) {
        s.TrigMethod = word(Word::WordVideo);
        s.VideoSource = QStringLiteral("EXT");
        s.VideoPolarity = word(Word::WordNegative);
        s.VideoSync = word(Word::WordAllLines);
        s.VideoStandard = QStringLiteral("PAL/SECAM");
        s.VideoLine = QStringLiteral("600");
        s.VideoSensitivity = QStringLiteral("0.20div");
        s.VideoLevel = QStringLiteral("2.00div");
    } else if (method == QLatin1String("SLOPE")) {
        s.TrigMethod = word(Word::WordSlope);
        s.SlopeSource = QStringLiteral("CH1");
        s.SlopeMode = word(Word::WordSlopeFallLess);
        s.SlopeTime = QStringLiteral("5.00us");
        s.SlopeWindow = QStringLiteral("PB");
        s.SlopeSweep = word(Word::WordAuto);
        s.SlopeCoupling = word(Word::WordAC);
        s.SlopeSensitivity = QStringLiteral("0.10div");
        s.SlopeLevelA = QStringLiteral("-1.00div");
        s.SlopeLevelB = QStringLiteral("2.00div");
    } else if (method == QLatin1String("ALTERNATIVE")) {
        s.TrigMethod = word(Word::WordAlternative);
        s.AltCH1Type = word(Word::WordVideo);
        s.AltCH1VideoPolarity = word(Word::WordNegative);
        s.AltCH1VideoSync = word(Word::WordOddField);
        s.AltCH1VideoStandard = QStringLiteral("NTSC");
        s.AltCH1VideoLine = QStringLiteral("100");
        s.AltCH1VideoSensitivity = QStringLiteral("0.40div");
        s.AltCH1VideoHoldoff = QStringLiteral("200ns");
        s.AltCH1VideoLevel = QStringLiteral("1.00div");
        s.AltCH2Type = word(Word::WordPulse);
        s.AltCH2PulseMode = word(Word::WordPulsePosEqual);
        s.AltCH2PulseWidth = QStringLiteral("2.00us");
        s.AltCH2PulseCoupling = word(Word::WordAC);
        s.AltCH2PulseLevel = QStringLiteral("-1.00div");
        s.AltCH2PulseSensitivity = QStringLiteral("0.20div");
        s.AltCH2PulseHoldoff = QStringLiteral("1.00us");
    } else if (method == QLatin1String("ALTERNATIVE2")) {
        s.TrigMethod = word(Word::WordAlternative);
        s.AltCH1Type = word(Word::WordSlope);
        s.AltCH1SlopeMode = word(Word::WordSlopeRiseGreater);
        s.AltCH1SlopeTime = QStringLiteral("3.00us");
        s.AltCH1SlopeLevelA = QStringLiteral("1.00div");
        s.AltCH1SlopeLevelB = QStringLiteral("2.00div");
        s.AltCH1SlopeSensitivity = QStringLiteral("0.30div");
        s.AltCH1SlopeHoldoff = QStringLiteral("150ns");
        s.AltCH1SlopeCoupling = word(Word::WordLF);
        s.AltCH2Type = word(Word::WordEdge);
        s.AltCH2EdgeSlope = word(Word::WordFalling);
        s.AltCH2EdgeCoupling = word(Word::WordHF);
        s.AltCH2EdgeLevel = QStringLiteral("0.50div");
        s.AltCH2EdgeSensitivity = QStringLiteral("0.20div");
        s.AltCH2EdgeHoldoff = QStringLiteral("300ns");
    } else if (method == QLatin1String("PATTERN")) {
        s.TrigMethod = word(Word::WordPattern);
        for (int i = 1; i <= 16; ++i)
            s.PatCode[i] = QStringLiteral("L");
        s.PatCode[1] = QStringLiteral("H");          // D15
        s.PatCode[13] = word(Word::ItemRising);      // D3, as the tree shows it
        s.PatCode[16] = QStringLiteral("X");         // D0
        s.PatSweep = word(Word::WordNormal);
    } else if (method == QLatin1String("DURATION")) {
        s.TrigMethod = word(Word::WordDuration);
        for (int i = 1; i <= 16; ++i)
            s.DurCode[i] = QStringLiteral("X");
        s.DurCode[9] = QStringLiteral("H");          // D7
        s.DurCode[10] = word(Word::WordRising);      // D6, as a download writes it
        s.DurQualifier = word(Word::WordGreaterThan);
        s.DurTime = QStringLiteral("2.00us");
        s.DurSweep = word(Word::WordSingle);
    }
}
