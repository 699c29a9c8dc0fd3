#pragma once
// Scale steps along the instrument's 1-2-5 sequences, raw level conversions,
// picosecond counts, probe ratios and the download percentage text. No
// state; no window code (the waveform window shows the percentage through
// the sink below).

#include <QString>
#include <QStringView>
#include <QtGlobal>

// The volts/div text at probe ratio 1X: probe "1X" returns the text
// unchanged; the ratios "2X", "5X", "10X", "50X", "100X", "500X", "1000X"
// look the text up (exact comparison) and give the 1X text of its row, or
// "10.0V" when it is not in that ratio's column; any other probe text gives
// the empty text.
QString UnscaleVoltsPerDiv(QStringView voltsPerDiv, QStringView probe);

// level / 25 x scale (25 raw levels per division, scale in volts/div).
float LevelToVolts(qint16 level, float scale);

// volts / scale x 25 rounded half to even (0.5 V at 1 V/div gives 12). A
// scale of 0 or a quotient that is not a number gives 0; the result is
// clamped to -32768..32767.
qint16 VoltsToLevel(float volts, float scale);

// The unsigned value of the last eight characters of a text read as
// hexadecimal digits ("A"-"F" and "a"-"f" count 10 to 15, "0"-"9" their
// value, any other character 0). A text shorter than eight characters gives 0.
double HexToNumber(QStringView text);

// A 64-bit picosecond count given as two 32-bit words, low word first (the
// low word taken unsigned), in seconds.
double PicosToSeconds(qint32 low, qint32 high);

// Volts/div moved |steps| places along 2 mV, 5 mV, 10 mV ... 5 V, 10 V:
// up for steps > 0 (10 V and above stay), down for steps <= 0 (2 mV is the
// floor; above 10 V the value stays). The value is first rounded to whole
// microvolts, half to even; steps 0 returns just that.
float StepVolts(float volts, qint16 steps);

// As StepVolts, but each of the |steps| repetitions adds or subtracts one
// hundredth of the upper end of the range the value lies in (2..5 mV: 50 uV;
// 5..10 mV: 100 uV; ... 5..10 V: 100 mV); outside 2 mV..10 V it stays.
float StepVoltsFine(float volts, qint16 steps);

// Seconds/div moved one place along 1 ps, 2 ps, 5 ps ... 20 s, 50 s: up for
// direction > 0, down otherwise, whatever the size of direction; 1 ps down
// and 50 s up stay, a value above 50 s stays. A value between two places
// (or below 1 ps) moves to the next place in the direction of the step; a
// value within a small relative tolerance of a place counts as that place
// (1e-9 s computes as 1000.0000000000001 ps).
double StepTimebase(double seconds, qint16 direction);

// The caption of a waveform window's download percentage: the percentage
// written with the pattern "0%" (45 -> "45%").
QString WaveLoadPercentText(int wavePercent);

// The waveform window registers where the percentage goes (it sets and
// repaints the label of the window in the slot, creating the window when the
// slot holds none). ShowWaveLoadPercent does nothing for a slot outside
// 0..17 or while no sink is registered.
using WaveLoadPercentSink = void (*)(int slot, const QString &text);
void SetWaveLoadPercentSink(WaveLoadPercentSink sink);
void ShowWaveLoadPercent(int slot, int wavePercent);
