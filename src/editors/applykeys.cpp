#include "editors/applykeys.h"

#include "editors/applybranches.h"
#include "editors/applytrigger.h"
#include "texts/stringres.h"

#include <array>
#include <initializer_list>

namespace {

using W = Word;

// One row of the chain: the labels its key joins, its branch and the
// branch's argument.
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
        // Trigger; arg: the item (TrigItem).
        {{W::ItemTrigger, W::ItemMethod}, ApplyTriggerMethod, 0},
        {{W::ItemTrigger, W::ItemSource}, ApplyTriggerItem, int(TrigItem::Source)},
        {{W::ItemTrigger, W::ItemMode}, ApplyTriggerItem, int(TrigItem::Mode)},
        {{W::ItemTrigger, W::ItemCoupling}, ApplyTriggerItem, int(TrigItem::Coupling)},
        {{W::ItemTrigger, W::ItemLevel}, ApplyTriggerItem, int(TrigItem::Level)},
        {{W::ItemTrigger, W::ItemSensitivity}, ApplyTriggerItem, int(TrigItem::Sensitivity)},
        {{W::ItemTrigger, W::ItemHoldoff}, ApplyTriggerItem, int(TrigItem::Holdoff)},
        {{W::ItemTrigger, W::ItemSlope}, ApplyTriggerItem, int(TrigItem::Slope)},
        {{W::ItemTrigger, W::ItemPulseMode}, ApplyTriggerItem, int(TrigItem::PulseMode)},
        {{W::ItemTrigger, W::ItemPulseWidth}, ApplyTriggerItem, int(TrigItem::PulseWidth)},
        {{W::ItemTrigger, W::ItemPolarity}, ApplyTriggerItem, int(TrigItem::Polarity)},
        {{W::ItemTrigger, W::ItemSync}, ApplyTriggerItem, int(TrigItem::Sync)},
        {{W::ItemTrigger, W::ItemLineNumber}, ApplyTriggerItem, int(TrigItem::LineNumber)},
        {{W::ItemTrigger, W::ItemVideoStandard}, ApplyTriggerItem, int(TrigItem::VideoStandard)},
        {{W::ItemTrigger, W::ItemSlopeMode}, ApplyTriggerItem, int(TrigItem::SlopeMode)},
        {{W::ItemTrigger, W::ItemSlopeTime}, ApplyTriggerItem, int(TrigItem::SlopeTime)},
        {{W::ItemTrigger, W::ItemLevelA}, ApplyTriggerItem, int(TrigItem::LevelA)},
        {{W::ItemTrigger, W::ItemLevelB}, ApplyTriggerItem, int(TrigItem::LevelB)},
        {{W::ItemTrigger, W::ItemQualifier}, ApplyTriggerItem, int(TrigItem::Qualifier)},
        {{W::ItemTrigger, W::ItemDurationTime}, ApplyTriggerItem, int(TrigItem::DurationTime)},
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
        // The alternate trigger's channels; arg: the channel (type) or AltTrigArg.
        {{W::ItemTrigger, W::ItemCH1, W::ItemTrigType}, ApplyAltTrigType, 1},
        {{W::ItemTrigger, W::ItemCH2, W::ItemTrigType}, ApplyAltTrigType, 2},
        {{W::ItemTrigger, W::ItemCH1, W::ItemCoupling}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Coupling, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemCoupling}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Coupling, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevel}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Level, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevel}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Level, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSensitivity}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Sensitivity, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSensitivity}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Sensitivity, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemHoldoff}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Holdoff, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemHoldoff}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Holdoff, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlope}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Slope, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlope}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Slope, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPulseMode}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::PulseMode, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPulseMode}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::PulseMode, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPulseWidth}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::PulseWidth, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPulseWidth}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::PulseWidth, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlopeMode}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::SlopeMode, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlopeMode}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::SlopeMode, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSlopeTime}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::SlopeTime, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSlopeTime}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::SlopeTime, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevelA}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LevelA, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevelA}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LevelA, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLevelB}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LevelB, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLevelB}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LevelB, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemPolarity}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Polarity, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemPolarity}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Polarity, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemSync}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Sync, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemSync}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::Sync, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemLineNumber}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LineNumber, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemLineNumber}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::LineNumber, 2)},
        {{W::ItemTrigger, W::ItemCH1, W::ItemVideoStandard}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::VideoStandard, 1)},
        {{W::ItemTrigger, W::ItemCH2, W::ItemVideoStandard}, ApplyAltTriggerItem, AltTrigArg(AltTrigItem::VideoStandard, 2)},
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
        return ApplyKeyState::Built;
    }
    return ApplyKeyState::Unmatched;
}
