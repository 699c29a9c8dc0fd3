#pragma once
// The limits the simulated instrument keeps its settings in. A value set
// outside them is clamped to the nearest limit, as the instrument's own knobs
// stop there, and a query then answers the value kept. The limits hold at
// every moment: a change of volts/div, offset, probe, trigger source or
// time-base format clamps whatever now lies outside (an offset that followed
// its volts/div, a trigger level that followed its source).
//
// Where the command reference and the program's choice lists name a range,
// the table takes it; the rest are this simulator's own choices.
//
//   setting                          limits
//   -------------------------------  -------------------------------------------------------
//   volts/div, ":CHANNELn:SCALE"     2 mV .. 10 V at probe 1X (the coarse steps of the
//                                    program's Volt/Div dialog), times the probe ratio
//   offset, ":CHANNELn:OFFSET"       by the volts/div at probe 1X, times the probe ratio:
//                                      2 mV .. 50 mV/div     -1 V .. +1 V
//                                      over 50 mV .. 500 mV  -10 V .. +10 V
//                                      over 500 mV .. 10 V   -100 V .. +100 V
//   time/div, Y-T (":TIMEBASE:SCALE" 2 ns .. 50 s (the fastest step of a QM4102, bandwidth
//   and both alternation time bases) class 3, to the slowest of the time/div list)
//   time/div, roll ("SCANNING")      100 ms .. 50 s; choosing roll at a faster time/div
//                                    moves it to 100 ms
//   time/div, X-Y                    1 us .. 10 ms (the X-Y time/div list); choosing X-Y
//                                    moves the time/div inside
//   trigger levels (EDGE, PULSE,     within 6 divisions of the screen centre of the
//   VIDEO LEVEL, SLOPE LEVELA and    source, as the program's level list (-6.00div ..
//   LEVELB, and those of the         6.00div): for CH1/CH2 (level + offset) / volts/div
//   alternating trigger)             in -6 .. 6; EXT -1.2 V .. 1.2 V (0.2 V/div); EXT5
//                                    -6 V .. 6 V (1 V/div); the AC line and logic sources
//                                    have no level and keep what they get
//   trigger sensitivity              0.1 .. 1 division (the program's sensitivity list)

namespace qm4100simlimits {

inline constexpr double kMinVoltsPerDiv = 2e-3;   // at probe 1X
inline constexpr double kMaxVoltsPerDiv = 10.0;

// The offset range (+-) at a volts/div given at probe 1X.
inline double offsetLimit(double voltsPerDivAt1X)
{
    if (voltsPerDivAt1X <= 50e-3 * (1 + 1e-9))
        return 1.0;
    if (voltsPerDivAt1X <= 500e-3 * (1 + 1e-9))
        return 10.0;
    return 100.0;
}

inline constexpr double kMinTimePerDiv = 2e-9;
inline constexpr double kMaxTimePerDiv = 50.0;
inline constexpr double kMinRollTimePerDiv = 100e-3;
inline constexpr double kMinXyTimePerDiv = 1e-6;
inline constexpr double kMaxXyTimePerDiv = 10e-3;

inline constexpr double kTriggerLevelDivs = 6.0;
inline constexpr double kExtVoltsPerDiv = 0.2;
inline constexpr double kExt5VoltsPerDiv = 1.0;

inline constexpr double kMinSensitivity = 0.1;
inline constexpr double kMaxSensitivity = 1.0;

} // namespace qm4100simlimits
