#pragma once
// CtrlSettings: every instrument setting that the controller shows, each held
// as its display text exactly as the controller tree shows it: a display word
// of the current language ("ON", "EDGE"...) or a formatted value with its unit
// ("1.00V", "10.00us", "0.10div"). Nothing in the record is numeric. The one
// instance is app().Settings.
//
// 131 text members and four arrays of 18 texts (LAChanOn, LAChanPos, PatCode,
// DurCode), in record order; the control file stores them in this order
// (ctrlSettingsFields() lists them). The arrays use elements 1..16 only, one
// per digital channel from the highest down: element 1 is D15, element 16 is
// D0. Elements 0 and 17 carry no channel.
//
// A fresh record (default-constructed) holds empty texts everywhere: that is
// the state at program start, before the controller's first load resets it.
//
// reset() is the reset of New Control File: elements 1..16 of the four arrays
// and every member take their defaults, except MathDisplay, FFTDisplay and
// Spare1, which keep their texts, and elements 0 and 17 of the arrays, which
// are left alone. (Emptying the control file path is the controller's part of
// New.)
//
// Language-dependent defaults: each default that is a display word comes from
// defaultWord(name, english) (common/defaultwords.h), so it is the English word
// until the texts module installs its word source, and the word of the current
// language afterwards. The word names used: WordRun, WordOn, WordOff, WordAC,
// WordDC, WordBig, WordEdge, WordRising, WordAuto, WordPositive, WordLine,
// WordPulsePosLess, WordLessThan, WordRealTime,
// WordAcqNormal, WordVectors, WordFull.
//
// The slope conditions (SlopeMode, AltCH1SlopeMode, AltCH2SlopeMode) start
// from the pulse word WordPulsePosLess, as the instrument's own defaults do,
// and AltCH2PulseMode from the fixed text "+Less Than" in either language.
//
// Spare1..Spare5 have no tree node, editor or command; the control file keeps
// them. Spare1 gets no default from reset(): the controller's upload and
// download set it to the off word.

#include <QString>

#include <array>
#include <span>

struct CtrlSettings {
    static constexpr int ArraySize = 18;
    using LAArray = std::array<QString, ArraySize>;

    QString RunStop; // run state word (run or stop)
    QString CH1Display; // CH1 display on/off word
    QString CH1VoltDiv; // CH1 volts per division
    QString CH1Offset; // CH1 vertical offset
    QString CH1Coupling; // CH1 input coupling word
    QString CH1BWLimit; // CH1 bandwidth-limit on/off word
    QString CH1Probe; // CH1 probe ratio
    QString CH1Invert; // CH1 invert on/off word
    QString CH2Display; // CH2 display on/off word
    QString CH2VoltDiv; // CH2 volts per division
    QString CH2Offset; // CH2 vertical offset
    QString CH2Coupling; // CH2 input coupling word
    QString CH2BWLimit; // CH2 bandwidth-limit on/off word
    QString CH2Probe; // CH2 probe ratio
    QString CH2Invert; // CH2 invert on/off word
    QString LADisplay; // logic-analyser display on/off word
    LAArray LAChanOn; // on/off word of each digital channel
    LAArray LAChanPos; // display position of each digital channel, a decimal number text
    QString LAThreshold; // logic threshold (a threshold family name or a user value)
    QString LAGroupHi; // on/off word of the D15-D8 group
    QString LAGroupLo; // on/off word of the D7-D0 group
    QString LASizeHi; // trace size word of the D15-D8 group (big or small)
    QString LASizeLo; // trace size word of the D7-D0 group
    QString MathDisplay; // MATH display word as the instrument last reported it
    QString FFTDisplay; // FFT display word as the instrument last reported it
    QString TimeDiv; // main time per division
    QString CH1TimeDiv; // CH1 time per division under the alternate trigger
    QString CH2TimeDiv; // CH2 time per division under the alternate trigger
    QString Delay; // main time-base delay
    QString CH1Delay; // CH1 delay under the alternate trigger
    QString CH2Delay; // CH2 delay under the alternate trigger
    QString Holdoff; // trigger holdoff
    QString MemSize; // memory size
    QString Spare1; // spare text (see below)
    QString TimebaseFormat; // time-base format
    QString TrigMethod; // trigger method word (edge, pulse, video, slope, alternative, pattern, duration)
    QString EdgeSlope; // EDGE trigger slope word
    QString EdgeSource; // EDGE trigger source (a channel name such as "CH1" or "D7", or a source word)
    QString EdgeSweep; // EDGE trigger sweep word
    QString EdgeCoupling; // EDGE trigger coupling word
    QString EdgeSensitivity; // EDGE trigger sensitivity in divisions
    QString EdgeLevel; // EDGE trigger level in divisions
    QString PulseSource; // PULSE trigger source
    QString PulseMode; // PULSE trigger condition word
    QString PulseWidth; // PULSE trigger width
    QString PulseCoupling; // PULSE trigger coupling word
    QString PulseSensitivity; // PULSE trigger sensitivity
    QString PulseLevel; // PULSE trigger level
    QString PulseSweep; // PULSE trigger sweep word
    QString VideoSource; // VIDEO trigger source
    QString VideoPolarity; // VIDEO polarity word
    QString VideoSync; // VIDEO sync word
    QString VideoStandard; // VIDEO standard
    QString VideoLine; // VIDEO line number
    QString VideoSensitivity; // VIDEO trigger sensitivity
    QString VideoLevel; // VIDEO trigger level
    QString SlopeSource; // SLOPE trigger source
    QString SlopeMode; // SLOPE trigger condition word
    QString SlopeTime; // SLOPE trigger time
    QString SlopeWindow; // SLOPE trigger window code
    QString SlopeLevelA; // SLOPE trigger level A
    QString SlopeLevelB; // SLOPE trigger level B
    QString SlopeCoupling; // SLOPE trigger coupling word
    QString SlopeSensitivity; // SLOPE trigger sensitivity
    QString SlopeSweep; // SLOPE trigger sweep word
    QString AltCH1Type; // trigger type word of CH1 under the alternate trigger
    QString AltCH2Type; // trigger type word of CH2 under the alternate trigger
    QString AltCH1EdgeSlope; // alternate trigger, CH1, EDGE slope word
    QString AltCH1EdgeCoupling; // alternate trigger, CH1, EDGE coupling word
    QString AltCH1EdgeLevel; // alternate trigger, CH1, EDGE level
    QString AltCH1EdgeSensitivity; // alternate trigger, CH1, EDGE sensitivity
    QString AltCH1EdgeHoldoff; // alternate trigger, CH1, EDGE holdoff
    QString AltCH2EdgeSlope; // alternate trigger, CH2, EDGE slope word
    QString AltCH2EdgeCoupling; // alternate trigger, CH2, EDGE coupling word
    QString AltCH2EdgeLevel; // alternate trigger, CH2, EDGE level
    QString AltCH2EdgeSensitivity; // alternate trigger, CH2, EDGE sensitivity
    QString AltCH2EdgeHoldoff; // alternate trigger, CH2, EDGE holdoff
    QString AltCH1PulseMode; // alternate trigger, CH1, PULSE condition word
    QString AltCH1PulseWidth; // alternate trigger, CH1, PULSE width
    QString AltCH1PulseCoupling; // alternate trigger, CH1, PULSE coupling word
    QString AltCH1PulseLevel; // alternate trigger, CH1, PULSE level
    QString AltCH1PulseSensitivity; // alternate trigger, CH1, PULSE sensitivity
    QString AltCH1PulseHoldoff; // alternate trigger, CH1, PULSE holdoff
    QString AltCH2PulseMode; // alternate trigger, CH2, PULSE condition word
    QString AltCH2PulseWidth; // alternate trigger, CH2, PULSE width
    QString AltCH2PulseCoupling; // alternate trigger, CH2, PULSE coupling word
    QString AltCH2PulseLevel; // alternate trigger, CH2, PULSE level
    QString AltCH2PulseSensitivity; // alternate trigger, CH2, PULSE sensitivity
    QString AltCH2PulseHoldoff; // alternate trigger, CH2, PULSE holdoff
    QString AltCH1VideoPolarity; // alternate trigger, CH1, VIDEO polarity word
    QString AltCH1VideoSync; // alternate trigger, CH1, VIDEO sync word
    QString AltCH1VideoStandard; // alternate trigger, CH1, VIDEO standard
    QString AltCH1VideoLine; // alternate trigger, CH1, VIDEO line number
    QString AltCH1VideoLevel; // alternate trigger, CH1, VIDEO level
    QString AltCH1VideoSensitivity; // alternate trigger, CH1, VIDEO sensitivity
    QString AltCH1VideoHoldoff; // alternate trigger, CH1, VIDEO holdoff
    QString AltCH2VideoPolarity; // alternate trigger, CH2, VIDEO polarity word
    QString AltCH2VideoSync; // alternate trigger, CH2, VIDEO sync word
    QString AltCH2VideoStandard; // alternate trigger, CH2, VIDEO standard
    QString AltCH2VideoLine; // alternate trigger, CH2, VIDEO line number
    QString AltCH2VideoLevel; // alternate trigger, CH2, VIDEO level
    QString AltCH2VideoSensitivity; // alternate trigger, CH2, VIDEO sensitivity
    QString AltCH2VideoHoldoff; // alternate trigger, CH2, VIDEO holdoff
    QString AltCH1SlopeMode; // alternate trigger, CH1, SLOPE condition word
    QString AltCH1SlopeTime; // alternate trigger, CH1, SLOPE time
    QString AltCH1SlopeWindow; // alternate trigger, CH1, SLOPE window code
    QString AltCH1SlopeCoupling; // alternate trigger, CH1, SLOPE coupling word
    QString AltCH1SlopeLevelA; // alternate trigger, CH1, SLOPE level A
    QString AltCH1SlopeLevelB; // alternate trigger, CH1, SLOPE level B
    QString AltCH1SlopeSensitivity; // alternate trigger, CH1, SLOPE sensitivity
    QString AltCH1SlopeHoldoff; // alternate trigger, CH1, SLOPE holdoff
    QString AltCH2SlopeMode; // alternate trigger, CH2, SLOPE condition word
    QString AltCH2SlopeTime; // alternate trigger, CH2, SLOPE time
    QString AltCH2SlopeWindow; // alternate trigger, CH2, SLOPE window code
    QString AltCH2SlopeCoupling; // alternate trigger, CH2, SLOPE coupling word
    QString AltCH2SlopeLevelA; // alternate trigger, CH2, SLOPE level A
    QString AltCH2SlopeLevelB; // alternate trigger, CH2, SLOPE level B
    QString AltCH2SlopeSensitivity; // alternate trigger, CH2, SLOPE sensitivity
    QString AltCH2SlopeHoldoff; // alternate trigger, CH2, SLOPE holdoff
    QString Spare2; // spare text
    LAArray PatCode; // PATTERN trigger code letter of each digital channel ("H", "L" or "X")
    QString PatSweep; // PATTERN trigger sweep word
    QString DurQualifier; // DURATION trigger qualifier word
    LAArray DurCode; // DURATION trigger code letter of each digital channel
    QString DurTime; // DURATION trigger time
    QString DurSweep; // DURATION trigger sweep word
    QString Spare3; // spare text
    QString AcqSamplingMode; // sampling mode word (real time or equivalent time)
    QString AcqType; // acquisition type word (normal, peak detect, average)
    QString AcqAverages; // number of averages
    QString Spare4; // spare text
    QString Spare5; // spare text
    QString DispType; // display type word (vectors or dots)
    QString DispPersist; // display persistence on/off word
    QString DispGrid; // display grid word (full, half, none)

    // New Control File's defaults (see above).
    void reset();

    friend bool operator==(const CtrlSettings &, const CtrlSettings &) = default;
};

// One member of the record, by name, in record order: either a text member
// (text set) or an array of 18 texts (array set).
struct CtrlSettingsField {
    const char *name;
    QString CtrlSettings::*text;
    CtrlSettings::LAArray CtrlSettings::*array;
};

// All 135 members in record order (131 texts, 4 arrays).
std::span<const CtrlSettingsField> ctrlSettingsFields();

// The program's one record (app().Settings), for the code below the
// application object that needs it.
CtrlSettings &settingsRecord();
