#include "editors/applykeys.h"

#include "editors/applybranches.h"
#include "texts/stringres.h"

#include <array>
#include <initializer_list>

namespace {

using W = Word;

// One row of the chain: the labels its key joins, its branch (nullptr: not
// built yet) and the branch's argument.
struct Row {
    Row(std::initializer_list<Word> words, ApplyBranch b, int a) : branch(b), arg(a)
    {
        for (Word w : words)
            labels[count++] = w;
    }
    std::array<Word, 3> labels{};
    int count = 0;
    ApplyBranch branch;
    int arg;

    QString key() const
    {
        QString k;
        for (int i = 0; i < count; ++i)
            k += word(labels[i]);
        return k;
    }
};

// The chain, in the order OK tests the keys.
const std::vector<Row> &chain()
{
    static const std::vector<Row> rows = {
        // Running control, CH1, CH2.
        {{W::ItemRunStop}, ApplyRunStop, 0},
        {{W::ItemCH1, W::ItemDisplay}, ApplyChannelDisplay, 1},
        {{W::ItemCH1, W::ItemOffset}, ApplyChannelOffset, 1},
        {{W::ItemCH1, W::ItemCoupling}, ApplyChannelCoupling, 1},
        {{W::ItemCH1, W::ItemBWLimit}, ApplyChannelBWLimit, 1},
        {{W::ItemCH1, W::ItemProbe}, ApplyChannelProbe, 1},
        {{W::ItemCH2, W::ItemDisplay}, ApplyChannelDisplay, 2},
        {{W::ItemCH2, W::ItemOffset}, ApplyChannelOffset, 2},
        {{W::ItemCH2, W::ItemCoupling}, ApplyChannelCoupling, 2},
        {{W::ItemCH2, W::ItemBWLimit}, ApplyChannelBWLimit, 2},
        {{W::ItemCH2, W::ItemProbe}, ApplyChannelProbe, 2},
        // LA.
        {{W::ItemLA, W::ItemDisplay}, ApplyLaDisplay, 0},
        {{W::ItemLA, W::ItemChannel}, ApplyLaChannel, 0},
        {{W::ItemLA, W::ItemPosition}, ApplyLaPosition, 0},
        {{W::ItemLA, W::ItemThreshold}, ApplyLaThreshold, 0},
        {{W::ItemLA, W::ItemSize}, ApplyLaSize, 0},
        // Time base.
        {{W::ItemTimeBase, W::ItemCH1, W::ItemTimeDiv}, ApplyChannelTimeDiv, 1},
        {{W::ItemTimeBase, W::ItemCH2, W::ItemTimeDiv}, ApplyChannelTimeDiv, 2},
        {{W::ItemTimeBase, W::ItemCH1, W::ItemDelay}, ApplyChannelDelay, 1},
        {{W::ItemTimeBase, W::ItemCH2, W::ItemDelay}, ApplyChannelDelay, 2},
        {{W::ItemTimeBase, W::ItemTimeDiv}, ApplyTimeBaseTimeDiv, 0},
        {{W::ItemTimeBase, W::ItemDelay}, ApplyTimeBaseDelay, 0},
        {{W::ItemTimeBase, W::ItemFormat}, ApplyTimeBaseFormat, 0},
        // Trigger.
        {{W::ItemTrigger, W::ItemMethod}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSource}, nullptr, 0},
        {{W::ItemTrigger, W::ItemMode}, nullptr, 0},
        {{W::ItemTrigger, W::ItemCoupling}, nullptr, 0},
        {{W::ItemTrigger, W::ItemLevel}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSensitivity}, nullptr, 0},
        {{W::ItemTrigger, W::ItemHoldoff}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSlope}, nullptr, 0},
        {{W::ItemTrigger, W::ItemPulseMode}, nullptr, 0},
        {{W::ItemTrigger, W::ItemPulseWidth}, nullptr, 0},
        {{W::ItemTrigger, W::ItemPolarity}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSync}, nullptr, 0},
        {{W::ItemTrigger, W::ItemLineNumber}, nullptr, 0},
        {{W::ItemTrigger, W::ItemVideoStandard}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSlopeMode}, nullptr, 0},
        {{W::ItemTrigger, W::ItemSlopeTime}, nullptr, 0},
        {{W::ItemTrigger, W::ItemLevelA}, nullptr, 0},
        {{W::ItemTrigger, W::ItemLevelB}, nullptr, 0},
        {{W::ItemTrigger, W::ItemQualifier}, nullptr, 0},
        {{W::ItemTrigger, W::ItemDurationTime}, nullptr, 0},
        // Pattern and duration code positions; arg: the logic channel.
        {{W::ItemTrigger, W::ItemCode, W::ItemD15}, ApplyTriggerCode, 15},
        {{W::ItemTrigger, W::ItemCode, W::ItemD14}, ApplyTriggerCode, 14},
        {{W::ItemTrigger, W::ItemCode, W::ItemD13}, ApplyTriggerCode, 13},
        {{W::ItemTrigger, W::ItemCode, W::ItemD12}, ApplyTriggerCode, 12},
        {{W::ItemTrigger, W::ItemCode, W::ItemD11}, ApplyTriggerCode, 11},
        {{W::ItemTrigger, W::ItemCode, W::ItemD10}, ApplyTriggerCode, 10},
        {{W::ItemTrigger, W::ItemCode, W::ItemD9}, ApplyTriggerCode, 9},
        {{W::ItemTrigger, W::ItemCode, W::ItemD8}, ApplyTriggerCode, 8},
        {{W::ItemTrigger, W::ItemCode, W::ItemD7}, ApplyTriggerCode, 7},
        {{W::ItemTrigger, W::ItemCode, W::ItemD6}, ApplyTriggerCode, 6},
        {{W::ItemTrigger, W::ItemCode, W::ItemD5}, ApplyTriggerCode, 5},
        {{W::ItemTrigger, W::ItemCode, W::ItemD4}, ApplyTriggerCode, 4},
        {{W::ItemTrigger, W::ItemCode, W::ItemD3}, ApplyTriggerCode, 3},
        {{W::ItemTrigger, W::ItemCode, W::ItemD2}, ApplyTriggerCode, 2},
        {{W::ItemTrigger, W::ItemCode, W::ItemD1}, ApplyTriggerCode, 1},
        {{W::ItemTrigger, W::ItemCode, W::ItemD0}, ApplyTriggerCode, 0},
        // The alternate trigger's channels; arg: the channel.
        {{W::ItemTrigger, W::ItemCH1, W::ItemTrigType}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemTrigType}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemCoupling}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemCoupling}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevel}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevel}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSensitivity}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSensitivity}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemHoldoff}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemHoldoff}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlope}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlope}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPulseMode}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPulseMode}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPulseWidth}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPulseWidth}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlopeMode}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlopeMode}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlopeTime}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlopeTime}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevelA}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevelA}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevelB}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevelB}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPolarity}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPolarity}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSync}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSync}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLineNumber}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLineNumber}, nullptr, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemVideoStandard}, nullptr, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemVideoStandard}, nullptr, 2},
        // Acquire and display.
        {{W::ItemAcquire, W::ItemSamplingMode}, ApplyAcqSamplingMode, 0},
        {{W::ItemAcquire, W::ItemAcquisition}, ApplyAcqType, 0},
        {{W::ItemAcquire, W::ItemAverages}, ApplyAcqAverages, 0},
        {{W::ItemDisplaySystem, W::ItemType}, ApplyDisplayType, 0},
        {{W::ItemDisplaySystem, W::ItemPersist}, ApplyDisplayPersist, 0},
        {{W::ItemDisplaySystem, W::ItemGrid}, ApplyDisplayGrid, 0},
    };
    return rows;
}

} // namespace

std::vector<ApplyKeyRow> ApplyKeyChain()
{
    std::vector<ApplyKeyRow> out;
    out.reserve(chain().size());
    for (const Row &r : chain())
        out.push_back({r.key(), r.branch, r.arg});
    return out;
}

ApplyKeyState FindApplyKey(const QString &key, ApplyKeyRow *row)
{
    for (const Row &r : chain()) {
        if (r.key() != key)
            continue;
        if (row)
            *row = {key, r.branch, r.arg};
        return r.branch ? ApplyKeyState::Built : ApplyKeyState::NotBuilt;
    }
    return ApplyKeyState::Unmatched;
}
