#include "common/ctrlsettings.h"

#include "common/defaultwords.h"

namespace {

const CtrlSettingsField kFields[] = {
    {"RunStop", &CtrlSettings::RunStop, nullptr},
    {"CH1Display", &CtrlSettings::CH1Display, nullptr},
    {"CH1VoltDiv", &CtrlSettings::CH1VoltDiv, nullptr},
    {"CH1Offset", &CtrlSettings::CH1Offset, nullptr},
    {"CH1Coupling", &CtrlSettings::CH1Coupling, nullptr},
    {"CH1BWLimit", &CtrlSettings::CH1BWLimit, nullptr},
    {"CH1Probe", &CtrlSettings::CH1Probe, nullptr},
    {"CH1Invert", &CtrlSettings::CH1Invert, nullptr},
    {"CH2Display", &CtrlSettings::CH2Display, nullptr},
    {"CH2VoltDiv", &CtrlSettings::CH2VoltDiv, nullptr},
    {"CH2Offset", &CtrlSettings::CH2Offset, nullptr},
    {"CH2Coupling", &CtrlSettings::CH2Coupling, nullptr},
    {"CH2BWLimit", &CtrlSettings::CH2BWLimit, nullptr},
    {"CH2Probe", &CtrlSettings::CH2Probe, nullptr},
    {"CH2Invert", &CtrlSettings::CH2Invert, nullptr},
    {"LADisplay", &CtrlSettings::LADisplay, nullptr},
    {"LAChanOn", nullptr, &CtrlSettings::LAChanOn},
    {"LAChanPos", nullptr, &CtrlSettings::LAChanPos},
    {"LAThreshold", &CtrlSettings::LAThreshold, nullptr},
    {"LAGroupHi", &CtrlSettings::LAGroupHi, nullptr},
    {"LAGroupLo", &CtrlSettings::LAGroupLo, nullptr},
    {"LASizeHi", &CtrlSettings::LASizeHi, nullptr},
    {"LASizeLo", &CtrlSettings::LASizeLo, nullptr},
    {"MathDisplay", &CtrlSettings::MathDisplay, nullptr},
    {"FFTDisplay", &CtrlSettings::FFTDisplay, nullptr},
    {"TimeDiv", &CtrlSettings::TimeDiv, nullptr},
    {"CH1TimeDiv", &CtrlSettings::CH1TimeDiv, nullptr},
    {"CH2TimeDiv", &CtrlSettings::CH2TimeDiv, nullptr},
    {"Delay", &CtrlSettings::Delay, nullptr},
    {"CH1Delay", &CtrlSettings::CH1Delay, nullptr},
    {"CH2Delay", &CtrlSettings::CH2Delay, nullptr},
    {"Holdoff", &CtrlSettings::Holdoff, nullptr},
    {"MemSize", &CtrlSettings::MemSize, nullptr},
    {"Spare1", &CtrlSettings::Spare1, nullptr},
    {"TimebaseFormat", &CtrlSettings::TimebaseFormat, nullptr},
    {"TrigMethod", &CtrlSettings::TrigMethod, nullptr},
    {"EdgeSlope", &CtrlSettings::EdgeSlope, nullptr},
    {"EdgeSource", &CtrlSettings::EdgeSource, nullptr},
    {"EdgeSweep", &CtrlSettings::EdgeSweep, nullptr},
    {"EdgeCoupling", &CtrlSettings::EdgeCoupling, nullptr},
    {"EdgeSensitivity", &CtrlSettings::EdgeSensitivity, nullptr},
    {"EdgeLevel", &CtrlSettings::EdgeLevel, nullptr},
    {"PulseSource", &CtrlSettings::PulseSource, nullptr},
    {"PulseMode", &CtrlSettings::PulseMode, nullptr},
    {"PulseWidth", &CtrlSettings::PulseWidth, nullptr},
    {"PulseCoupling", &CtrlSettings::PulseCoupling, nullptr},
    {"PulseSensitivity", &CtrlSettings::PulseSensitivity, nullptr},
    {"PulseLevel", &CtrlSettings::PulseLevel, nullptr},
    {"PulseSweep", &CtrlSettings::PulseSweep, nullptr},
    {"VideoSource", &CtrlSettings::VideoSource, nullptr},
    {"VideoPolarity", &CtrlSettings::VideoPolarity, nullptr},
    {"VideoSync", &CtrlSettings::VideoSync, nullptr},
    {"VideoStandard", &CtrlSettings::VideoStandard, nullptr},
    {"VideoLine", &CtrlSettings::VideoLine, nullptr},
    {"VideoSensitivity", &CtrlSettings::VideoSensitivity, nullptr},
    {"VideoLevel", &CtrlSettings::VideoLevel, nullptr},
    {"SlopeSource", &CtrlSettings::SlopeSource, nullptr},
    {"SlopeMode", &CtrlSettings::SlopeMode, nullptr},
    {"SlopeTime", &CtrlSettings::SlopeTime, nullptr},
    {"SlopeWindow", &CtrlSettings::SlopeWindow, nullptr},
    {"SlopeLevelA", &CtrlSettings::SlopeLevelA, nullptr},
    {"SlopeLevelB", &CtrlSettings::SlopeLevelB, nullptr},
    {"SlopeCoupling", &CtrlSettings::SlopeCoupling, nullptr},
    {"SlopeSensitivity", &CtrlSettings::SlopeSensitivity, nullptr},
    {"SlopeSweep", &CtrlSettings::SlopeSweep, nullptr},
    {"AltCH1Type", &CtrlSettings::AltCH1Type, nullptr},
    {"AltCH2Type", &CtrlSettings::AltCH2Type, nullptr},
    {"AltCH1EdgeSlope", &CtrlSettings::AltCH1EdgeSlope, nullptr},
    {"AltCH1EdgeCoupling", &CtrlSettings::AltCH1EdgeCoupling, nullptr},
    {"AltCH1EdgeLevel", &CtrlSettings::AltCH1EdgeLevel, nullptr},
    {"AltCH1EdgeSensitivity", &CtrlSettings::AltCH1EdgeSensitivity, nullptr},
    {"AltCH1EdgeHoldoff", &CtrlSettings::AltCH1EdgeHoldoff, nullptr},
    {"AltCH2EdgeSlope", &CtrlSettings::AltCH2EdgeSlope, nullptr},
    {"AltCH2EdgeCoupling", &CtrlSettings::AltCH2EdgeCoupling, nullptr},
    {"AltCH2EdgeLevel", &CtrlSettings::AltCH2EdgeLevel, nullptr},
    {"AltCH2EdgeSensitivity", &CtrlSettings::AltCH2EdgeSensitivity, nullptr},
    {"AltCH2EdgeHoldoff", &CtrlSettings::AltCH2EdgeHoldoff, nullptr},
    {"AltCH1PulseMode", &CtrlSettings::AltCH1PulseMode, nullptr},
    {"AltCH1PulseWidth", &CtrlSettings::AltCH1PulseWidth, nullptr},
    {"AltCH1PulseCoupling", &CtrlSettings::AltCH1PulseCoupling, nullptr},
    {"AltCH1PulseLevel", &CtrlSettings::AltCH1PulseLevel, nullptr},
    {"AltCH1PulseSensitivity", &CtrlSettings::AltCH1PulseSensitivity, nullptr},
    {"AltCH1PulseHoldoff", &CtrlSettings::AltCH1PulseHoldoff, nullptr},
    {"AltCH2PulseMode", &CtrlSettings::AltCH2PulseMode, nullptr},
    {"AltCH2PulseWidth", &CtrlSettings::AltCH2PulseWidth, nullptr},
    {"AltCH2PulseCoupling", &CtrlSettings::AltCH2PulseCoupling, nullptr},
    {"AltCH2PulseLevel", &CtrlSettings::AltCH2PulseLevel, nullptr},
    {"AltCH2PulseSensitivity", &CtrlSettings::AltCH2PulseSensitivity, nullptr},
    {"AltCH2PulseHoldoff", &CtrlSettings::AltCH2PulseHoldoff, nullptr},
    {"AltCH1VideoPolarity", &CtrlSettings::AltCH1VideoPolarity, nullptr},
    {"AltCH1VideoSync", &CtrlSettings::AltCH1VideoSync, nullptr},
    {"AltCH1VideoStandard", &CtrlSettings::AltCH1VideoStandard, nullptr},
    {"AltCH1VideoLine", &CtrlSettings::AltCH1VideoLine, nullptr},
    {"AltCH1VideoLevel", &CtrlSettings::AltCH1VideoLevel, nullptr},
    {"AltCH1VideoSensitivity", &CtrlSettings::AltCH1VideoSensitivity, nullptr},
    {"AltCH1VideoHoldoff", &CtrlSettings::AltCH1VideoHoldoff, nullptr},
    {"AltCH2VideoPolarity", &CtrlSettings::AltCH2VideoPolarity, nullptr},
    {"AltCH2VideoSync", &CtrlSettings::AltCH2VideoSync, nullptr},
    {"AltCH2VideoStandard", &CtrlSettings::AltCH2VideoStandard, nullptr},
    {"AltCH2VideoLine", &CtrlSettings::AltCH2VideoLine, nullptr},
    {"AltCH2VideoLevel", &CtrlSettings::AltCH2VideoLevel, nullptr},
    {"AltCH2VideoSensitivity", &CtrlSettings::AltCH2VideoSensitivity, nullptr},
    {"AltCH2VideoHoldoff", &CtrlSettings::AltCH2VideoHoldoff, nullptr},
    {"AltCH1SlopeMode", &CtrlSettings::AltCH1SlopeMode, nullptr},
    {"AltCH1SlopeTime", &CtrlSettings::AltCH1SlopeTime, nullptr},
    {"AltCH1SlopeWindow", &CtrlSettings::AltCH1SlopeWindow, nullptr},
    {"AltCH1SlopeCoupling", &CtrlSettings::AltCH1SlopeCoupling, nullptr},
    {"AltCH1SlopeLevelA", &CtrlSettings::AltCH1SlopeLevelA, nullptr},
    {"AltCH1SlopeLevelB", &CtrlSettings::AltCH1SlopeLevelB, nullptr},
    {"AltCH1SlopeSensitivity", &CtrlSettings::AltCH1SlopeSensitivity, nullptr},
    {"AltCH1SlopeHoldoff", &CtrlSettings::AltCH1SlopeHoldoff, nullptr},
    {"AltCH2SlopeMode", &CtrlSettings::AltCH2SlopeMode, nullptr},
    {"AltCH2SlopeTime", &CtrlSettings::AltCH2SlopeTime, nullptr},
    {"AltCH2SlopeWindow", &CtrlSettings::AltCH2SlopeWindow, nullptr},
    {"AltCH2SlopeCoupling", &CtrlSettings::AltCH2SlopeCoupling, nullptr},
    {"AltCH2SlopeLevelA", &CtrlSettings::AltCH2SlopeLevelA, nullptr},
    {"AltCH2SlopeLevelB", &CtrlSettings::AltCH2SlopeLevelB, nullptr},
    {"AltCH2SlopeSensitivity", &CtrlSettings::AltCH2SlopeSensitivity, nullptr},
    {"AltCH2SlopeHoldoff", &CtrlSettings::AltCH2SlopeHoldoff, nullptr},
    {"Spare2", &CtrlSettings::Spare2, nullptr},
    {"PatCode", nullptr, &CtrlSettings::PatCode},
    {"PatSweep", &CtrlSettings::PatSweep, nullptr},
    {"DurQualifier", &CtrlSettings::DurQualifier, nullptr},
    {"DurCode", nullptr, &CtrlSettings::DurCode},
    {"DurTime", &CtrlSettings::DurTime, nullptr},
    {"DurSweep", &CtrlSettings::DurSweep, nullptr},
    {"Spare3", &CtrlSettings::Spare3, nullptr},
    {"AcqSamplingMode", &CtrlSettings::AcqSamplingMode, nullptr},
    {"AcqType", &CtrlSettings::AcqType, nullptr},
    {"AcqAverages", &CtrlSettings::AcqAverages, nullptr},
    {"Spare4", &CtrlSettings::Spare4, nullptr},
    {"Spare5", &CtrlSettings::Spare5, nullptr},
    {"DispType", &CtrlSettings::DispType, nullptr},
    {"DispPersist", &CtrlSettings::DispPersist, nullptr},
    {"DispGrid", &CtrlSettings::DispGrid, nullptr},
};

} // namespace

std::span<const CtrlSettingsField> ctrlSettingsFields()
{
    return kFields;
}

void CtrlSettings::reset()
{
    const QString off = defaultWord("WordOff", "OFF");
    for (int k = 1; k <= 16; ++k) {
        PatCode[k] = QStringLiteral("H");
        DurCode[k] = QStringLiteral("H");
        LAChanOn[k] = off;
        LAChanPos[k] = QStringLiteral("0");
    }

    RunStop = defaultWord("WordRun", "RUN");
    CH1Display = defaultWord("WordOn", "ON");
    CH1VoltDiv = QStringLiteral("1.00V");
    CH1Offset = QStringLiteral("0.00mV");
    CH1Coupling = defaultWord("WordAC", "AC");
    CH1BWLimit = defaultWord("WordOff", "OFF");
    CH1Probe = QStringLiteral("1X");
    CH1Invert = defaultWord("WordOff", "OFF");
    CH2Display = defaultWord("WordOff", "OFF");
    CH2VoltDiv = QStringLiteral("1.00V");
    CH2Offset = QStringLiteral("0.00mV");
    CH2Coupling = defaultWord("WordAC", "AC");
    CH2BWLimit = defaultWord("WordOff", "OFF");
    CH2Probe = QStringLiteral("1X");
    CH2Invert = defaultWord("WordOff", "OFF");
    LADisplay = defaultWord("WordOff", "OFF");
    LAThreshold = QStringLiteral("TTL");
    LAGroupHi = defaultWord("WordOff", "OFF");
    LAGroupLo = defaultWord("WordOff", "OFF");
    LASizeHi = defaultWord("WordBig", "BIG");
    LASizeLo = defaultWord("WordBig", "BIG");
    // MathDisplay: kept
    // FFTDisplay: kept
    TimeDiv = QStringLiteral("10.00us");
    CH1TimeDiv = QStringLiteral("10.00us");
    CH2TimeDiv = QStringLiteral("10.00us");
    Delay = QStringLiteral("0.0000s");
    CH1Delay = QStringLiteral("0.0000s");
    CH2Delay = QStringLiteral("0.0000s");
    Holdoff = QStringLiteral("100ns");
    MemSize = QStringLiteral("4000");
    // Spare1: kept
    TimebaseFormat = QStringLiteral("Y-T");
    TrigMethod = defaultWord("WordEdge", "EDGE");
    EdgeSlope = defaultWord("WordRising", "RISING");
    EdgeSource = QStringLiteral("CH1");
    EdgeSweep = defaultWord("WordAuto", "AUTO");
    EdgeCoupling = defaultWord("WordDC", "DC");
    EdgeSensitivity = QStringLiteral("0.10div");
    EdgeLevel = QStringLiteral("0.00div");
    PulseSource = QStringLiteral("CH1");
    PulseMode = defaultWord("WordPulsePosLess", "+Less Than");
    PulseWidth = QStringLiteral("1us");
    PulseCoupling = defaultWord("WordDC", "DC");
    PulseSensitivity = QStringLiteral("0.10div");
    PulseLevel = QStringLiteral("0.00div");
    PulseSweep = defaultWord("WordAuto", "AUTO");
    VideoSource = QStringLiteral("CH1");
    VideoPolarity = defaultWord("WordPositive", "POSITIVE");
    VideoSync = defaultWord("WordLine", "LINE");
    VideoStandard = QStringLiteral("NTSC");
    VideoLine = QStringLiteral("1");
    VideoSensitivity = QStringLiteral("0.10div");
    VideoLevel = QStringLiteral("0.00div");
    SlopeSource = QStringLiteral("CH1");
    SlopeMode = defaultWord("WordPulsePosLess", "+Less Than");
    SlopeTime = QStringLiteral("1us");
    SlopeWindow = QStringLiteral("PA");
    SlopeLevelA = QStringLiteral("0.00div");
    SlopeLevelB = QStringLiteral("0.20div");
    SlopeCoupling = defaultWord("WordDC", "DC");
    SlopeSensitivity = QStringLiteral("0.10div");
    SlopeSweep = defaultWord("WordAuto", "AUTO");
    AltCH1Type = defaultWord("WordEdge", "EDGE");
    AltCH2Type = defaultWord("WordEdge", "EDGE");
    AltCH1EdgeSlope = defaultWord("WordRising", "RISING");
    AltCH1EdgeCoupling = defaultWord("WordDC", "DC");
    AltCH1EdgeLevel = QStringLiteral("0.00div");
    AltCH1EdgeSensitivity = QStringLiteral("0.10div");
    AltCH1EdgeHoldoff = QStringLiteral("100ns");
    AltCH2EdgeSlope = defaultWord("WordRising", "RISING");
    AltCH2EdgeCoupling = defaultWord("WordDC", "DC");
    AltCH2EdgeLevel = QStringLiteral("0.00div");
    AltCH2EdgeSensitivity = QStringLiteral("0.10div");
    AltCH2EdgeHoldoff = QStringLiteral("100ns");
    AltCH1PulseMode = defaultWord("WordPulsePosLess", "+Less Than");
    AltCH1PulseWidth = QStringLiteral("1us");
    AltCH1PulseCoupling = defaultWord("WordDC", "DC");
    AltCH1PulseLevel = QStringLiteral("0.00div");
    AltCH1PulseSensitivity = QStringLiteral("0.10div");
    AltCH1PulseHoldoff = QStringLiteral("100ns");
    AltCH2PulseMode = QStringLiteral("+Less Than"); // a fixed text in either language
    AltCH2PulseWidth = QStringLiteral("1us");
    AltCH2PulseCoupling = defaultWord("WordDC", "DC");
    AltCH2PulseLevel = QStringLiteral("0.00div");
    AltCH2PulseSensitivity = QStringLiteral("0.10div");
    AltCH2PulseHoldoff = QStringLiteral("100ns");
    AltCH1VideoPolarity = defaultWord("WordPositive", "POSITIVE");
    AltCH1VideoSync = defaultWord("WordLine", "LINE");
    AltCH1VideoStandard = QStringLiteral("NTSC");
    AltCH1VideoLine = QStringLiteral("1");
    AltCH1VideoLevel = QStringLiteral("0.00div");
    AltCH1VideoSensitivity = QStringLiteral("0.10div");
    AltCH1VideoHoldoff = QStringLiteral("100ns");
    AltCH2VideoPolarity = defaultWord("WordPositive", "POSITIVE");
    AltCH2VideoSync = defaultWord("WordLine", "LINE");
    AltCH2VideoStandard = QStringLiteral("NTSC");
    AltCH2VideoLine = QStringLiteral("1");
    AltCH2VideoLevel = QStringLiteral("0.00div");
    AltCH2VideoSensitivity = QStringLiteral("0.10div");
    AltCH2VideoHoldoff = QStringLiteral("100ns");
    AltCH1SlopeMode = defaultWord("WordPulsePosLess", "+Less Than");
    AltCH1SlopeTime = QStringLiteral("1us");
    AltCH1SlopeWindow = QStringLiteral("PA");
    AltCH1SlopeCoupling = defaultWord("WordDC", "DC");
    AltCH1SlopeLevelA = QStringLiteral("0.00div");
    AltCH1SlopeLevelB = QStringLiteral("0.00div");
    AltCH1SlopeSensitivity = QStringLiteral("0.10div");
    AltCH1SlopeHoldoff = QStringLiteral("100ns");
    AltCH2SlopeMode = defaultWord("WordPulsePosLess", "+Less Than");
    AltCH2SlopeTime = QStringLiteral("1us");
    AltCH2SlopeWindow = QStringLiteral("PA");
    AltCH2SlopeCoupling = defaultWord("WordDC", "DC");
    AltCH2SlopeLevelA = QStringLiteral("0.00div");
    AltCH2SlopeLevelB = QStringLiteral("0.00div");
    AltCH2SlopeSensitivity = QStringLiteral("0.10div");
    AltCH2SlopeHoldoff = QStringLiteral("100ns");
    Spare2 = QStringLiteral("D0");
    PatSweep = defaultWord("WordAuto", "AUTO");
    DurQualifier = defaultWord("WordLessThan", "Less Than");
    DurTime = QStringLiteral("1us");
    DurSweep = defaultWord("WordAuto", "AUTO");
    Spare3 = QStringLiteral("H");
    AcqSamplingMode = defaultWord("WordRealTime", "REAL_TIME");
    AcqType = defaultWord("WordAcqNormal", "NORMAL");
    AcqAverages = QStringLiteral("16");
    Spare4 = QStringLiteral("3%");
    Spare5 = defaultWord("WordOff", "OFF");
    DispType = defaultWord("WordVectors", "VECTORS");
    DispPersist = defaultWord("WordOff", "OFF");
    DispGrid = defaultWord("WordFull", "FULL");
}
