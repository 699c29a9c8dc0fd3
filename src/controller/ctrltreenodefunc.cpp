#include "controller/ctrltreenodefunc.h"

#include "common/constants.h"
#include "texts/stringres.h"

namespace {

QString W(Word w)
{
    return word(w);
}

// Builds the node list the way the tree builder adds nodes: each routine finds
// its parent through the id table and appends its nodes as the parent's last
// children. Appending in call order keeps siblings in screen order.
class LayoutBuilder {
public:
    LayoutBuilder(const CtrlSettings &s, bool laPresent) : S(s), la_(laPresent)
    {
        for (auto &row : table_)
            row.fill(-1);
    }

    std::vector<CtrlNodeSpec> build()
    {
        root_ = append(-1, ModelName, PicRoot, {});

        group(1, W(Word::ItemRunningControl));
        AddRunStopNode();
        action(1, 3, W(Word::ItemAutoSet));
        action(1, 4, W(Word::ItemTrig50));
        action(1, 5, W(Word::ItemForceTrigger));

        for (int ch = 1; ch <= 2; ++ch) {
            group(ch == 1 ? 2 : 3, W(ch == 1 ? Word::ItemCH1 : Word::ItemCH2));
            AddChDisplayNode(ch);
            AddChVoltDivNode(ch);
            AddChOffsetNode(ch);
            AddChCouplingNode(ch);
            AddChBwLimitNode(ch);
            AddChProbeNode(ch);
        }

        if (la_) {
            group(4, W(Word::ItemLA));
            AddLaNodes();
        }

        group(5, W(Word::ItemTimeBase));
        AddTimeBaseNodes();

        group(6, W(Word::ItemTrigger));
        AddTrigMethodNode();
        AddEdgeSlopeNode();
        AddTrigSourceNode();
        AddPulseModeNode();
        AddPulseWidthNode();
        AddSlopeModeNode();
        AddSlopeTimeNode();
        AddAltTrigNodes();
        AddTrigCodeNodes();
        AddDurQualifierNode();
        AddDurTimeNode();
        AddTrigSweepNode();
        if (!CtrlTriggerSourceIsDigital(S))
            AddTrigCouplingNode();
        AddVideoPolarityNode();
        AddVideoSyncNode();
        AddVideoLineNode();
        AddVideoStandardNode();
        if (!CtrlTriggerSourceIsDigital(S))
            AddTrigLevelNodes();
        if (!CtrlTriggerSourceIsDigital(S))
            AddTrigSensitivityNode();
        AddTrigHoldoffNode();

        group(7, W(Word::ItemAcquire));
        AddAcqTypeNode();
        AddAcqSamplingNode();
        if (S.AcqType == W(Word::WordAverage))
            AddAcqAveragesNode();

        group(8, W(Word::ItemDisplaySystem));
        AddDisplayTypeNode();
        AddDisplayPersistNode();
        AddDisplayClearNode();
        AddDisplayGridNode();

        append(root_, W(Word::ItemVirtualPanel), PicKeyboard, {});
        return std::move(nodes_);
    }

private:
    int append(int parent, const QString &text, int picture, CtrlNodeId id, int laChannel = -1)
    {
        nodes_.push_back({parent, text, picture, id, laChannel});
        const int index = int(nodes_.size()) - 1;
        if (id.valid())
            table_[id.group][id.item] = index;
        return index;
    }
    // A node under the node recorded at parent (the root for an invalid id).
    int under(CtrlNodeId parent, const QString &text, int picture, CtrlNodeId id, int laChannel = -1)
    {
        const int p = parent.valid() ? table_[parent.group][parent.item] : root_;
        return append(p, text, picture, id, laChannel);
    }
    void group(int g, const QString &label) { under({}, label, PicGroup, {g, 0}); }
    void action(int g, int i, const QString &label) { under({g, 0}, label, PicAction, {g, i}); }
    void setting(CtrlNodeId parent, Word label, const QString &value, CtrlNodeId id, int picture = PicItem)
    {
        under(parent, CtrlSettingText(W(label), value), picture, id);
    }
    // An item of the Trigger group.
    void trig(Word label, const QString &value, int item) { setting({6, 0}, label, value, {6, item}); }

    bool method(Word w) const { return S.TrigMethod == W(w); }

    // Running control and the analog channels.
    void AddRunStopNode() { setting({1, 0}, Word::ItemRunStop, S.RunStop, {1, 2}); }
    void chNode(int ch, Word label, const QString &v1, const QString &v2, int item)
    {
        const int g = ch == 1 ? 2 : 3; // any other channel number is CH2
        setting({g, 0}, label, ch == 1 ? v1 : v2, {g, item});
    }
    void AddChDisplayNode(int ch) { chNode(ch, Word::ItemDisplay, S.CH1Display, S.CH2Display, 2); }
    void AddChVoltDivNode(int ch) { chNode(ch, Word::ItemVoltDiv, S.CH1VoltDiv, S.CH2VoltDiv, 3); }
    void AddChOffsetNode(int ch) { chNode(ch, Word::ItemOffset, S.CH1Offset, S.CH2Offset, 4); }
    void AddChCouplingNode(int ch) { chNode(ch, Word::ItemCoupling, S.CH1Coupling, S.CH2Coupling, 5); }
    void AddChBwLimitNode(int ch) { chNode(ch, Word::ItemBWLimit, S.CH1BWLimit, S.CH2BWLimit, 6); }
    void AddChProbeNode(int ch) { chNode(ch, Word::ItemProbe, S.CH1Probe, S.CH2Probe, 7); }

    // Time base.
    void AddTimeBaseNodes()
    {
        if (method(Word::WordAlternative)) {
            under({5, 0}, W(Word::ItemCH1), PicItem, {5, 13});
            under({5, 0}, W(Word::ItemCH2), PicItem, {5, 14});
            setting({5, 13}, Word::ItemTimeDiv, S.CH1TimeDiv, {13, 15}, PicSubItem);
            setting({5, 13}, Word::ItemDelay, S.CH1Delay, {13, 16}, PicSubItem);
            setting({5, 14}, Word::ItemTimeDiv, S.CH2TimeDiv, {14, 15}, PicSubItem);
            setting({5, 14}, Word::ItemDelay, S.CH2Delay, {14, 16}, PicSubItem);
            return;
        }
        AddTbTimeDivNode();
        AddTbDelayNode();
        AddTbFormatNode();
    }
    void AddTbTimeDivNode() { setting({5, 0}, Word::ItemTimeDiv, S.TimeDiv, {5, 15}); }
    void AddTbDelayNode() { setting({5, 0}, Word::ItemDelay, S.Delay, {5, 16}); }
    void AddTbFormatNode() { setting({5, 0}, Word::ItemFormat, S.TimebaseFormat, {5, 18}); }

    // LA.
    void AddLaNodes()
    {
        setting({4, 0}, Word::ItemDisplay, S.LADisplay, {4, 9});
        under({4, 0}, W(Word::ItemChannel), PicItem, {4, 14});
        setting({4, 14}, Word::ItemD15D8, S.LAGroupHi, {14, 2}, PicSubItem);
        setting({4, 14}, Word::ItemD7D0, S.LAGroupLo, {14, 3}, PicSubItem);
        AddBitNodes(S.LAChanOn, 14);
        under({4, 0}, W(Word::ItemPosition), PicItem, {4, 10});
        AddBitNodes(S.LAChanPos, 10);
        setting({4, 0}, Word::ItemThreshold, S.LAThreshold, {4, 11});
        under({4, 0}, W(Word::ItemSize), PicItem, {4, 13});
        setting({4, 13}, Word::ItemD15D8, S.LASizeHi, {13, 2}, PicSubItem);
        setting({4, 13}, Word::ItemD7D0, S.LASizeLo, {13, 3}, PicSubItem);
        action(4, 12, W(Word::ItemReset));
    }
    void AddBitNodes(const CtrlSettings::LAArray &values, int s)
    {
        for (int n = 15; n >= 0; --n) {
            const QString text = CtrlSettingText(QStringLiteral("D") + QString::number(n), values[16 - n]);
            under({4, s}, text, PicSubItem, {s, 20 - n}, s == 14 ? n : -1);
        }
    }

    // Trigger.
    void AddTrigMethodNode() { trig(Word::ItemMethod, S.TrigMethod, 2); }
    void AddEdgeSlopeNode()
    {
        if (method(Word::WordEdge))
            trig(Word::ItemSlope, S.EdgeSlope, 4);
    }
    void AddTrigSourceNode()
    {
        if (method(Word::WordDuration) || method(Word::WordPattern) || method(Word::WordAlternative))
            return;
        QString value;
        if (method(Word::WordEdge))
            value = S.EdgeSource;
        else if (method(Word::WordPulse))
            value = S.PulseSource;
        else if (method(Word::WordSlope))
            value = S.SlopeSource;
        else if (method(Word::WordVideo))
            value = S.VideoSource;
        trig(Word::ItemSource, value, 3);
    }
    void AddPulseModeNode()
    {
        if (method(Word::WordPulse))
            trig(Word::ItemPulseMode, S.PulseMode, 4);
    }
    void AddPulseWidthNode()
    {
        if (method(Word::WordPulse))
            trig(Word::ItemPulseWidth, S.PulseWidth, 5);
    }
    void AddSlopeModeNode()
    {
        if (method(Word::WordSlope))
            trig(Word::ItemSlopeMode, S.SlopeMode, 4);
    }
    void AddSlopeTimeNode()
    {
        if (method(Word::WordSlope))
            trig(Word::ItemSlopeTime, S.SlopeTime, 5);
    }
    void AddTrigCodeNodes()
    {
        CtrlSettings::LAArray codes{};
        if (method(Word::WordPattern))
            codes = S.PatCode;
        else if (method(Word::WordDuration))
            codes = S.DurCode;
        else
            return;
        under({6, 0}, W(Word::ItemCode), PicItem, {6, 21});
        for (int n = 1; n <= 16; ++n) {
            const Word label = static_cast<Word>(static_cast<int>(Word::ItemD15) + (n - 1));
            setting({6, 21}, label, codes[n], {21, n + 4});
        }
    }
    void AddDurQualifierNode()
    {
        if (method(Word::WordDuration))
            trig(Word::ItemQualifier, S.DurQualifier, 22);
    }
    void AddDurTimeNode()
    {
        if (method(Word::WordDuration))
            trig(Word::ItemDurationTime, S.DurTime, 23);
    }
    void AddTrigSweepNode()
    {
        if (method(Word::WordEdge))
            trig(Word::ItemMode, S.EdgeSweep, 5);
        else if (method(Word::WordPulse))
            trig(Word::ItemMode, S.PulseSweep, 7);
        else if (method(Word::WordSlope))
            trig(Word::ItemMode, S.SlopeSweep, 8);
        else if (method(Word::WordPattern))
            trig(Word::ItemMode, S.PatSweep, 22);
        else if (method(Word::WordDuration))
            trig(Word::ItemMode, S.DurSweep, 24);
    }
    void AddTrigCouplingNode()
    {
        if (method(Word::WordEdge))
            trig(Word::ItemCoupling, S.EdgeCoupling, 6);
        else if (method(Word::WordPulse))
            trig(Word::ItemCoupling, S.PulseCoupling, 6);
        else if (method(Word::WordSlope))
            trig(Word::ItemCoupling, S.SlopeCoupling, 7);
    }
    void AddVideoPolarityNode()
    {
        if (method(Word::WordVideo))
            trig(Word::ItemPolarity, S.VideoPolarity, 4);
    }
    void AddVideoSyncNode()
    {
        if (method(Word::WordVideo))
            trig(Word::ItemSync, S.VideoSync, 5);
    }
    void AddVideoLineNode()
    {
        if (method(Word::WordVideo))
            trig(Word::ItemLineNumber, S.VideoLine, 6);
    }
    void AddVideoStandardNode()
    {
        if (method(Word::WordVideo))
            trig(Word::ItemVideoStandard, S.VideoStandard, 7);
    }
    void AddTrigLevelNodes()
    {
        if (method(Word::WordEdge)) {
            trig(Word::ItemLevel, S.EdgeLevel, 7);
        } else if (method(Word::WordPulse)) {
            trig(Word::ItemLevel, S.PulseLevel, 8);
        } else if (method(Word::WordVideo)) {
            trig(Word::ItemLevel, S.VideoLevel, 8);
        } else if (method(Word::WordSlope)) {
            trig(Word::ItemLevelA, S.SlopeLevelA, 9);
            trig(Word::ItemLevelB, S.SlopeLevelB, 10);
        }
    }
    void AddTrigSensitivityNode()
    {
        if (method(Word::WordEdge))
            trig(Word::ItemSensitivity, S.EdgeSensitivity, 8);
        else if (method(Word::WordPulse))
            trig(Word::ItemSensitivity, S.PulseSensitivity, 9);
        else if (method(Word::WordVideo))
            trig(Word::ItemSensitivity, S.VideoSensitivity, 9);
        else if (method(Word::WordSlope))
            trig(Word::ItemSensitivity, S.SlopeSensitivity, 11);
    }
    void AddTrigHoldoffNode()
    {
        if (method(Word::WordEdge))
            trig(Word::ItemHoldoff, S.Holdoff, 9);
        else if (method(Word::WordPulse))
            trig(Word::ItemHoldoff, S.Holdoff, 10);
        else if (method(Word::WordVideo))
            trig(Word::ItemHoldoff, S.Holdoff, 10);
        else if (method(Word::WordSlope))
            trig(Word::ItemHoldoff, S.Holdoff, 12);
        else if (method(Word::WordPattern))
            trig(Word::ItemHoldoff, S.Holdoff, 23);
        else if (method(Word::WordDuration))
            trig(Word::ItemHoldoff, S.Holdoff, 25);
    }

    // Alternate trigger.
    void AddAltTrigNodes()
    {
        if (!method(Word::WordAlternative))
            return;
        under({6, 0}, W(Word::ItemCH1), PicItem, {6, 19});
        under({6, 0}, W(Word::ItemCH2), PicItem, {6, 20});
        setting({6, 19}, Word::ItemTrigType, S.AltCH1Type, {19, 5}, PicSubItem);
        AddAltTrigTypeNodes(S.AltCH1Type, 19);
        setting({6, 20}, Word::ItemTrigType, S.AltCH2Type, {20, 5}, PicSubItem);
        AddAltTrigTypeNodes(S.AltCH2Type, 20);
    }
    void AddAltTrigTypeNodes(const QString &type, int channel)
    {
        const bool ch1 = channel == 19;
        auto item = [&](Word label, const QString &v1, const QString &v2, int i) {
            setting({6, channel}, label, ch1 ? v1 : v2, {channel, i}, PicSubItem);
        };
        if (type == W(Word::WordEdge)) {
            item(Word::ItemSlope, S.AltCH1EdgeSlope, S.AltCH2EdgeSlope, 6);
            item(Word::ItemCoupling, S.AltCH1EdgeCoupling, S.AltCH2EdgeCoupling, 16);
            item(Word::ItemLevel, S.AltCH1EdgeLevel, S.AltCH2EdgeLevel, 17);
            item(Word::ItemSensitivity, S.AltCH1EdgeSensitivity, S.AltCH2EdgeSensitivity, 20);
            item(Word::ItemHoldoff, S.AltCH1EdgeHoldoff, S.AltCH2EdgeHoldoff, 21);
        } else if (type == W(Word::WordPulse)) {
            item(Word::ItemPulseMode, S.AltCH1PulseMode, S.AltCH2PulseMode, 7);
            item(Word::ItemPulseWidth, S.AltCH1PulseWidth, S.AltCH2PulseWidth, 8);
            item(Word::ItemCoupling, S.AltCH1PulseCoupling, S.AltCH2PulseCoupling, 16);
            item(Word::ItemLevel, S.AltCH1PulseLevel, S.AltCH2PulseLevel, 17);
            item(Word::ItemSensitivity, S.AltCH1PulseSensitivity, S.AltCH2PulseSensitivity, 20);
            item(Word::ItemHoldoff, S.AltCH1PulseHoldoff, S.AltCH2PulseHoldoff, 21);
        } else if (type == W(Word::WordVideo)) {
            item(Word::ItemPolarity, S.AltCH1VideoPolarity, S.AltCH2VideoPolarity, 12);
            item(Word::ItemSync, S.AltCH1VideoSync, S.AltCH2VideoSync, 13);
            item(Word::ItemLineNumber, S.AltCH1VideoLine, S.AltCH2VideoLine, 14);
            item(Word::ItemVideoStandard, S.AltCH1VideoStandard, S.AltCH2VideoStandard, 15);
            item(Word::ItemLevel, S.AltCH1VideoLevel, S.AltCH2VideoLevel, 17);
            item(Word::ItemSensitivity, S.AltCH1VideoSensitivity, S.AltCH2VideoSensitivity, 20);
            item(Word::ItemHoldoff, S.AltCH1VideoHoldoff, S.AltCH2VideoHoldoff, 21);
        } else if (type == W(Word::WordSlope)) {
            item(Word::ItemSlopeMode, S.AltCH1SlopeMode, S.AltCH2SlopeMode, 9);
            item(Word::ItemSlopeTime, S.AltCH1SlopeTime, S.AltCH2SlopeTime, 10);
            item(Word::ItemCoupling, S.AltCH1SlopeCoupling, S.AltCH2SlopeCoupling, 16);
            item(Word::ItemLevelA, S.AltCH1SlopeLevelA, S.AltCH2SlopeLevelA, 18);
            item(Word::ItemLevelB, S.AltCH1SlopeLevelB, S.AltCH2SlopeLevelB, 19);
            item(Word::ItemSensitivity, S.AltCH1SlopeSensitivity, S.AltCH2SlopeSensitivity, 20);
            item(Word::ItemHoldoff, S.AltCH1SlopeHoldoff, S.AltCH2SlopeHoldoff, 21);
        }
    }

    // Acquire and display.
    void AddAcqTypeNode() { setting({7, 0}, Word::ItemAcquisition, S.AcqType, {7, 2}); }
    void AddAcqSamplingNode() { setting({7, 0}, Word::ItemSamplingMode, S.AcqSamplingMode, {7, 3}); }
    void AddAcqAveragesNode() { setting({7, 0}, Word::ItemAverages, S.AcqAverages, {7, 5}); }
    void AddDisplayTypeNode() { setting({8, 0}, Word::ItemType, S.DispType, {8, 2}); }
    void AddDisplayPersistNode() { setting({8, 0}, Word::ItemPersist, S.DispPersist, {8, 3}); }
    void AddDisplayClearNode() { under({8, 0}, W(Word::ItemClear), PicItem, {8, 4}); }
    void AddDisplayGridNode() { setting({8, 0}, Word::ItemGrid, S.DispGrid, {8, 5}); }

    const CtrlSettings &S;
    bool la_;
    int root_ = -1;
    std::vector<CtrlNodeSpec> nodes_;
    std::array<std::array<int, CtrlTreeIdRange>, CtrlTreeIdRange> table_;
};

} // namespace

QString CtrlSettingText(const QString &label, const QString &value)
{
    return label + QStringLiteral(" [") + value + u']';
}

bool CtrlTriggerSourceIsDigital(const CtrlSettings &s)
{
    if (s.TrigMethod == word(Word::WordEdge))
        return s.EdgeSource.startsWith(u'D');
    if (s.TrigMethod == word(Word::WordPulse))
        return s.PulseSource.startsWith(u'D');
    return false;
}

std::vector<CtrlNodeSpec> CtrlTreeLayout(const CtrlSettings &settings, bool laPresent)
{
    return LayoutBuilder(settings, laPresent).build();
}

const std::array<CtrlNodeId, 17> &CtrlTreeExpandedNodes()
{
    static const std::array<CtrlNodeId, 17> nodes{{
        {},       {1, 0},  {2, 0},  {3, 0},  {5, 0},  {6, 0},  {7, 0},  {8, 0},  {6, 19},
        {6, 20},  {4, 0},  {4, 14}, {4, 10}, {4, 13}, {5, 13}, {5, 14}, {6, 21},
    }};
    return nodes;
}

const std::vector<CtrlNodeId> &CtrlTreeExpandAllNodes()
{
    static const std::vector<CtrlNodeId> nodes{
        {},      {1, 0},  {2, 0}, {3, 0},  {4, 0},  {4, 13}, {5, 0},
        {5, 13}, {5, 14}, {6, 0}, {6, 19}, {6, 20}, {7, 0},  {8, 0},
    };
    return nodes;
}
