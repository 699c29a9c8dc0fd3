#include "wave/datatable.h"

#include "values/rounding.h"

namespace {
constexpr const char *kWords[DataChannelCount] = {"CH1", "CH2", "LA"};
constexpr int kColumnMarginPx = 40; // 600 twips
} // namespace

QString dataChannelWord(int option)
{
    if (option < 0 || option >= DataChannelCount)
        return QString();
    return QLatin1String(kWords[option]);
}

int dataChannelOfWord(const QString &word)
{
    for (int i = 0; i < DataChannelCount; ++i)
        if (word == QLatin1String(kWords[i]))
            return i;
    return -1;
}

void DataChannelOptions::select(int option)
{
    for (int i = 0; i < DataChannelCount; ++i)
        selected[size_t(i)] = i == option;
}

int DataChannelOptions::firstSelected() const
{
    for (int i = 0; i < DataChannelCount; ++i)
        if (selected[size_t(i)])
            return i;
    return -1;
}

DataChannelOptions followDisplayStates(DataChannelOptions o, const std::array<bool, DataChannelCount> &on)
{
    if (on[0] && on[1] && on[2]) {
        o.enabled = {true, true, true};
        if (o.firstSelected() < 0)
            o.select(DataCH1);
        return o;
    }
    for (int i = 0; i < DataChannelCount; ++i) {
        const size_t k = size_t(i);
        if (!on[k]) {
            o.enabled[k] = false;
            o.selected[k] = false;
            continue;
        }
        o.enabled[k] = true;
        const size_t a = size_t((i + 1) % DataChannelCount);
        const size_t b = size_t((i + 2) % DataChannelCount);
        if (!o.selected[a] && !o.selected[b])
            o.select(i);
    }
    return o;
}

int dataRequestKind(const DataChannelOptions &o)
{
    const int option = o.firstSelected();
    if (option < 0 || !o.enabled[size_t(option)])
        return 0;
    return 3 + option;
}

std::array<int, 3> dataColumnWidths(int tablePx)
{
    const int w = tablePx - kColumnMarginPx;
    if (w <= 0)
        return {0, 0, 0};
    const int wide = int(RoundHalfEven(2.0 * w / 5.0));
    return {int(RoundHalfEven(w / 5.0)), wide, wide};
}
