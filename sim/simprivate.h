#pragma once
// Helpers shared by the simulator's sources; not part of its interface.

#include <QByteArray>
#include <array>

namespace qm4100simdetail {

// A plain decimal or exponent number, nothing around it; finite only.
bool parseNumber(const QByteArray &s, double &out);
// A number with an optional unit letter (case-insensitive) and, before it,
// one optional prefix letter out of prefixes ("P", "N", "U", "M" milli, "K").
bool parseUnit(const QByteArray &text, char unit, const char *prefixes, double &out);
// C's "%.3e" form ("5.000e-01"), and "%.4e" for measurements.
QByteArray fmt3(double v);
QByteArray fmt4(double v);
// A value as the screen writes it: three digits and a unit with its prefix
// ("1.00V", "500mV", "10.0us", "-2.50ms", "0.00V").
QByteArray unitText(double v, const char *unit);

// The eighteen measurement keywords, in the order the program asks them.
inline const std::array<const char *, 18> &measureKeywords()
{
    static const std::array<const char *, 18> k = {
        "FREQUENCY", "VPP", "VMAX", "VMIN", "VTOP", "VAVERAGE", "VBASE", "VRMS", "VAMPLITUDE",
        "PDUTYCYCLE", "NDUTYCYCLE", "PERIOD", "RISETIME", "FALLTIME", "PWIDTH", "NWIDTH",
        "OVERSHOOT", "PRESHOOT"};
    return k;
}

} // namespace qm4100simdetail
