#include "common/measdoc.h"

namespace {

constexpr MeasDefinition kDefinitions[MeasCount] = {
    {"VPP", MeasKind::Volt, 1, 1, 0.1, 0.2},
    {"VMAX", MeasKind::Volt, 2, 2, 0.1, 0.2},
    {"VMIN", MeasKind::Volt, 3, 3, 0.1, 0.2},
    {"VAVERAGE", MeasKind::Volt, 4, 4, 0.1, 0.2},
    {"VTOP", MeasKind::Volt, 6, 6, 0.1, 0.2},
    {"VBASE", MeasKind::Volt, 7, 7, 0.1, 0.2},
    {"VRMS", MeasKind::Volt, 8, 8, 0.1, 0.2},
    {"FREQUENCY", MeasKind::Frequency, 11, 11, 1000000.0, 2000000.0},
    {"RISETIME", MeasKind::Time, 12, 13, 0.000001, 0.000002},
    {"FALLTIME", MeasKind::Time, 13, 14, 0.000001, 0.000002},
    {"PERIOD", MeasKind::Time, 14, 12, 0.000001, 0.000002},
    {"PWIDTH", MeasKind::Time, 15, 15, 0.0001, 0.0002},
    {"NWIDTH", MeasKind::Time, 16, 16, 0.0001, 0.0002},
    {"OVERSHOOT", MeasKind::Percent, 9, 9, 0.05, 0.1},
    {"PRESHOOT", MeasKind::Percent, 10, 10, 0.05, 0.1},
    {"VAMPLITUDE", MeasKind::Volt, 5, 5, 0.1, 0.2},
    {"PDUTYCYCLE", MeasKind::Percent, 17, 17, 0.4, 0.6},
    {"NDUTYCYCLE", MeasKind::Percent, 18, 18, 0.4, 0.6},
};

} // namespace

const MeasDefinition *measDefinition(int index)
{
    if (index < 0 || index >= MeasCount)
        return nullptr;
    return &kDefinitions[index];
}

void MeasTable::setNewItemLimits()
{
    for (int i = 0; i < MeasCount; ++i) {
        Entries[size_t(i)].Enabled = false;
        Entries[size_t(i)].Under = kDefinitions[i].under;
        Entries[size_t(i)].Over = kDefinitions[i].over;
    }
}
