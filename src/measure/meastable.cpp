#include "measure/meastable.h"

#include "texts/stringres.h"
#include "values/valuereply.h"

#include <algorithm>

namespace {

// Index of each list position (the order of the measurement names).
constexpr int kListIndex[MeasCount] = {
    MeasVpp,    MeasVmax,     MeasVmin,      MeasVavg,      MeasVamp,      MeasVrms,
    MeasVtop,   MeasVbase,    MeasVpre,      MeasVover,     MeasFrequency, MeasPeriod,
    MeasRiseTime, MeasFallTime, MeasPWidthPos, MeasPWidthNeg, MeasDutyPos,   MeasDutyNeg,
};

// Index of each window row, built from the rows of the definition table.
struct RowOrder {
    int index[MeasCount];
    RowOrder()
    {
        for (int &i : index)
            i = -1;
        for (int i = 0; i < MeasCount; ++i) {
            const int row = measDefinition(i)->row - 1;
            if (row >= 0 && row < MeasCount)
                index[row] = i;
        }
    }
};

const RowOrder &rowOrder()
{
    static const RowOrder order;
    return order;
}

} // namespace

int measIndexOfRow(int row)
{
    if (row < 0 || row >= MeasCount)
        return -1;
    return rowOrder().index[row];
}

int measIndexOfListPosition(int pos)
{
    if (pos < 0 || pos >= MeasCount)
        return -1;
    return kListIndex[pos];
}

int measListPositionOfIndex(int index)
{
    for (int p = 0; p < MeasCount; ++p)
        if (kListIndex[p] == index)
            return p;
    return -1;
}

QString measNameOfIndex(int index)
{
    return measureName(measListPositionOfIndex(index));
}

int measIndexOfName(const QString &name)
{
    for (int p = 0; p < MeasCount; ++p)
        if (measureName(p) == name)
            return kListIndex[p];
    return -1;
}

MeasKind measKindOfIndex(int index)
{
    const MeasDefinition *d = measDefinition(index);
    return d ? d->kind : MeasKind::Volt;
}

EditorText ShowLimit(MeasKind kind, double limit)
{
    switch (kind) {
    case MeasKind::Volt: return ShowVoltInEditor(limit);
    case MeasKind::Frequency: return ShowFreqInEditor(limit);
    case MeasKind::Time: return ShowTimeInEditor(limit);
    case MeasKind::Percent: return ShowPercentInEditor(limit);
    }
    return ShowVoltInEditor(limit);
}

double ParseMeasValue(MeasKind kind, const QString &value)
{
    switch (kind) {
    case MeasKind::Volt: return ParseVoltM(value);
    case MeasKind::Frequency: return ParseFreq(value);
    case MeasKind::Time: return ParseTime(value);
    case MeasKind::Percent: return ParsePercentValue(value);
    }
    return 0.0;
}

VerdictTexts verdictTexts(int lang)
{
    if (lang == 1)
        return {QStringLiteral("Fail [Under Limit]"), QStringLiteral("Fail [Over Limit]"), QStringLiteral("Pass"),
                QStringLiteral("Fail")};
    if (lang == 0)
        return {QStringLiteral("失败 [低于下限]"), QStringLiteral("失败 [高于上限]"), QStringLiteral("通过"),
                QStringLiteral("失败")};
    return {};
}

MeasRows StartDispMeasureRows()
{
    MeasRows rows;
    for (int r = 0; r < MeasCount; ++r) {
        const int index = measIndexOfRow(r);
        rows[size_t(r)].index = index;
        rows[size_t(r)].image = measDefinition(index)->image;
        rows[size_t(r)].name = measNameOfIndex(index);
    }
    return rows;
}

MeasRows DispMeasureRows(MeasDoc &doc, int lang)
{
    const VerdictTexts verdicts = verdictTexts(lang);
    MeasRows rows = StartDispMeasureRows();
    for (MeasRowText &row : rows) {
        MeasItem &item = doc.Items[row.index];
        const MeasKind kind = measKindOfIndex(row.index);
        row.value = item.Value;
        item.Result.clear();
        if (item.Value.isEmpty() || !item.Enabled)
            continue;
        row.under = ShowLimit(kind, item.Under).result;
        row.over = ShowLimit(kind, item.Over).result;
        const double reading = ParseMeasValue(kind, item.Value);
        if (ValueValid() != -1)
            row.verdict = verdicts.invalid;
        else if (reading < item.Under)
            row.verdict = verdicts.underLimit;
        else if (reading > item.Over)
            row.verdict = verdicts.overLimit;
        else
            row.verdict = verdicts.pass;
        item.Result = row.verdict;
    }
    return rows;
}

MeasColumnLayout measColumnLayout(int width, const std::array<int, 5> &needs)
{
    constexpr int kMargin = 13; // 200 twips
    MeasColumnLayout l;
    int room = std::max(0, width - kMargin);
    std::array<int, 5> need{};
    for (size_t c = 0; c < need.size(); ++c)
        need[c] = std::max(0, needs[c]);
    l.widths = need;
    // Fill from the bottom: the level every column below it is raised to.
    std::array<int, 5> sorted = need;
    std::sort(sorted.begin(), sorted.end());
    int level = 0;
    for (int k = 5; k > 0; --k) {
        // The k narrowest columns raised to one level, the others as they are.
        int fixed = 0;
        for (int i = k; i < 5; ++i)
            fixed += sorted[size_t(i)];
        const int candidate = (room - fixed) / k;
        if (candidate >= sorted[size_t(k - 1)]) {
            level = candidate;
            break;
        }
    }
    for (int &w : l.widths)
        w = std::max(w, level);
    return l;
}
