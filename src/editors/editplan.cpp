#include "editors/editplan.h"

#include "app/appstate.h"
#include "editors/choicelists.h"
#include "editors/numberentry.h"
#include "texts/stringres.h"
#include "values/valuereply.h"

#include <functional>
#include <initializer_list>

namespace {

const QString &W(Word w)
{
    return word(w);
}

QStringList words(std::initializer_list<Word> list)
{
    QStringList out;
    for (Word w : list)
        out += W(w);
    return out;
}

QString key(std::initializer_list<Word> labels)
{
    QString k;
    for (Word w : labels)
        k += W(w);
    return k;
}

bool laPresent()
{
    const auto &hook = app().ctrl.hooks.laPresent;
    return hook ? hook() : true;
}

// "1" .. "n" without blanks.
QStringList counting(int from, int to)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out += QString::number(n);
    return out;
}

// The plans of the two dialog forms (the row's choices, or an entry).
EditPlan list(const QString &caption, const QStringList &choices, const QString &value, const QString &k)
{
    EditPlan p;
    p.dialog = EditDialogKind::List;
    p.caption = caption;
    p.choices = choices;
    p.listText = value;
    p.key = k;
    return p;
}

EditPlan timeEntry(const QString &caption, const QString &value, const QString &k)
{
    EditPlan p;
    p.dialog = EditDialogKind::Entry;
    p.caption = caption;
    p.inputText = ParseTimeText(value);
    p.units = {true, true, true, true, false};
    p.key = k;
    return p;
}

EditPlan voltEntry(const QString &caption, const QString &value, const QString &k)
{
    EditPlan p;
    p.dialog = EditDialogKind::Entry;
    p.caption = caption;
    p.inputText = GeneralNumberText(ParseVolt(value));
    p.units = {false, false, false, false, true};
    p.key = k;
    return p;
}

EditPlan action(DirectAction a)
{
    EditPlan p;
    p.action = a;
    return p;
}

bool is(const QString &label, Word w)
{
    return label == W(w);
}

// --- Running Control -------------------------------------------------------

EditPlan runningControl(const CtrlPathParts &c)
{
    if (is(c.first, Word::ItemRunStop))
        return list(c.first, words({Word::WordRun, Word::WordStop}), c.value, key({Word::ItemRunStop}));
    if (is(c.first, Word::ItemAutoSet))
        return action(DirectAction::AutoSet);
    if (is(c.first, Word::ItemTrig50))
        return action(DirectAction::Trig50);
    if (is(c.first, Word::ItemForceTrigger))
        return action(DirectAction::ForceTrigger);
    return {};
}

// --- CH1 and CH2 -----------------------------------------------------------

EditPlan channel(const CtrlPathParts &c, int ch)
{
    const Word group = ch == 1 ? Word::ItemCH1 : Word::ItemCH2;
    const QStringList onOff = words({Word::WordOn, Word::WordOff});
    if (is(c.first, Word::ItemDisplay))
        return list(c.first, onOff, c.value, key({group, Word::ItemDisplay}));
    if (is(c.first, Word::ItemVoltDiv)) {
        EditPlan p;
        p.dialog = EditDialogKind::Adjust;
        p.caption = c.first;
        p.adjustMode = ch == 1 ? 0 : 1;
        const EditorsState &e = app().editors;
        p.adjustFine = (ch == 1 ? int(e.AdjustCoarseFineCH1) : int(e.AdjustCoarseFineCH2)) != 0;
        p.inputText = c.value;
        return p;
    }
    if (is(c.first, Word::ItemOffset))
        return voltEntry(c.first, c.value, key({group, Word::ItemOffset}));
    if (is(c.first, Word::ItemCoupling))
        return list(c.first, words({Word::WordDC, Word::WordAC, Word::WordGND}), c.value,
                    key({group, Word::ItemCoupling}));
    if (is(c.first, Word::ItemBWLimit))
        return list(c.first, onOff, c.value, key({group, Word::ItemBWLimit}));
    if (is(c.first, Word::ItemProbe))
        return list(c.first,
                    {QStringLiteral("1X"), QStringLiteral("5X"), QStringLiteral("10X"), QStringLiteral("50X"),
                     QStringLiteral("100X"), QStringLiteral("500X"), QStringLiteral("1000X")},
                    c.value, key({group, Word::ItemProbe}));
    return {};
}

// --- LA ----------------------------------------------------------------------

EditPlan threshold(const CtrlPathParts &c)
{
    EditPlan p;
    p.dialog = EditDialogKind::Threshold;
    p.key = key({Word::ItemLA, Word::ItemThreshold});
    p.caption = c.first;
    p.choices = {QStringLiteral("TTL"), QStringLiteral("ECL"), QStringLiteral("CMOS"), W(Word::WordUser)};
    if (IsThresholdPreset(c.value)) {
        p.listText = c.value;
        p.inputText = ThresholdPreset(c.value);
        p.inputEnabled = false;
    } else {
        p.listText = W(Word::WordUser);
        p.inputText = ThresholdEntryText(app().Settings.LAThreshold);
        p.inputEnabled = true;
    }
    p.units = {true, true, true, true, false};
    return p;
}

EditPlan la(const CtrlPathParts &c)
{
    const QStringList onOff = words({Word::WordOn, Word::WordOff});
    const bool leaf = c.second != QLatin1String(" ");
    if (is(c.first, Word::ItemDisplay))
        return list(c.first, onOff, c.value, key({Word::ItemLA, Word::ItemDisplay}));
    if (is(c.first, Word::ItemChannel))
        return leaf ? list(c.second, onOff, c.value, key({Word::ItemLA, Word::ItemChannel})) : EditPlan{};
    if (is(c.first, Word::ItemPosition))
        return leaf ? list(c.second, counting(0, 15), c.value, key({Word::ItemLA, Word::ItemPosition})) : EditPlan{};
    if (is(c.first, Word::ItemThreshold))
        return threshold(c);
    if (is(c.first, Word::ItemSize))
        return leaf ? list(c.second, words({Word::WordBig, Word::WordSmall}), c.value, key({Word::ItemLA, Word::ItemSize}))
                    : EditPlan{};
    if (is(c.first, Word::ItemReset))
        return action(DirectAction::LaReset);
    return {};
}

// --- Time Base -----------------------------------------------------------------

QStringList timeDivList()
{
    QStringList entries;
    SetCtrlDialogTimeDivNum(entries);
    return entries;
}

EditPlan timeBase(const CtrlPathParts &c)
{
    if (is(c.first, Word::ItemCH1) || is(c.first, Word::ItemCH2)) {
        const Word ch = is(c.first, Word::ItemCH1) ? Word::ItemCH1 : Word::ItemCH2;
        if (is(c.second, Word::ItemTimeDiv))
            return list(c.second, timeDivList(), c.value, key({Word::ItemTimeBase, ch, Word::ItemTimeDiv}));
        if (is(c.second, Word::ItemDelay))
            return timeEntry(c.second, c.value, key({Word::ItemTimeBase, ch, Word::ItemDelay}));
        return {};
    }
    if (is(c.first, Word::ItemTimeDiv))
        return list(c.first, timeDivList(), c.value, key({Word::ItemTimeBase, Word::ItemTimeDiv}));
    if (is(c.first, Word::ItemDelay))
        return timeEntry(c.first, c.value, key({Word::ItemTimeBase, Word::ItemDelay}));
    if (is(c.first, Word::ItemFormat))
        return list(c.first, {QStringLiteral("Y-T"), QStringLiteral("X-Y"), QStringLiteral("Roll")}, c.value,
                    key({Word::ItemTimeBase, Word::ItemFormat}));
    return {};
}

// --- Trigger -------------------------------------------------------------------

// The filled level and sensitivity lists.
QStringList levelList()
{
    QStringList entries;
    SetCtrlDialogTrigLevelNum(entries);
    return entries;
}
QStringList sensitivityList()
{
    QStringList entries;
    SetCtrlDialogTrigSensitivityNum(entries);
    return entries;
}

// The items the main trigger and the alternate trigger's channels share, in
// the order they are compared: the label, the node value, the key of an item
// and the stored video standard (for the line numbers) come from the caller.
// slopes: the Slope entries (the alternate trigger has no alternation word).
EditPlan sharedTriggerItem(const QString &label, const QString &value, const std::function<QString(Word)> &k,
                           const QString &standard, const QStringList &slopes)
{
    const auto row = [&](Word item, const QStringList &choices) { return list(label, choices, value, k(item)); };
    if (is(label, Word::ItemCoupling))
        return row(Word::ItemCoupling, words({Word::WordDC, Word::WordAC, Word::WordHF, Word::WordLF}));
    if (is(label, Word::ItemLevel))
        return row(Word::ItemLevel, levelList());
    if (is(label, Word::ItemSensitivity))
        return row(Word::ItemSensitivity, sensitivityList());
    if (is(label, Word::ItemHoldoff))
        return timeEntry(label, value, k(Word::ItemHoldoff));
    if (is(label, Word::ItemSlope))
        return row(Word::ItemSlope, slopes);
    if (is(label, Word::ItemPolarity))
        return row(Word::ItemPolarity, words({Word::WordNegative, Word::WordPositive}));
    if (is(label, Word::ItemSync))
        return row(Word::ItemSync, words({Word::WordAllLines, Word::WordLine, Word::WordOddField, Word::WordEvenField}));
    if (is(label, Word::ItemLineNumber))
        return row(Word::ItemLineNumber, counting(1, standard == QLatin1String("NTSC") ? 525 : 625));
    if (is(label, Word::ItemVideoStandard))
        return row(Word::ItemVideoStandard, {QStringLiteral("NTSC"), QStringLiteral("PAL/SECAM")});
    if (is(label, Word::ItemPulseMode))
        return row(Word::ItemPulseMode, words({Word::WordPulsePosLess, Word::WordPulsePosGreater,
                                               Word::WordPulsePosEqual, Word::WordPulseNegLess,
                                               Word::WordPulseNegGreater, Word::WordPulseNegEqual}));
    if (is(label, Word::ItemPulseWidth))
        return timeEntry(label, value, k(Word::ItemPulseWidth));
    if (is(label, Word::ItemSlopeMode))
        return row(Word::ItemSlopeMode, words({Word::WordSlopeRiseLess, Word::WordSlopeRiseGreater,
                                               Word::WordSlopeRiseEqual, Word::WordSlopeFallLess,
                                               Word::WordSlopeFallGreater, Word::WordSlopeFallEqual}));
    if (is(label, Word::ItemSlopeTime))
        return timeEntry(label, value, k(Word::ItemSlopeTime));
    if (is(label, Word::ItemLevelA))
        return row(Word::ItemLevelA, levelList());
    if (is(label, Word::ItemLevelB))
        return row(Word::ItemLevelB, levelList());
    return {};
}

EditPlan alternateTrigger(const CtrlPathParts &c)
{
    const bool one = is(c.first, Word::ItemCH1);
    const Word ch = one ? Word::ItemCH1 : Word::ItemCH2;
    const CtrlSettings &s = app().Settings;
    const auto k = [ch](Word item) { return key({Word::ItemTrigger, ch, item}); };
    if (is(c.second, Word::ItemTrigType))
        return list(c.second, words({Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope}), c.value,
                    k(Word::ItemTrigType));
    return sharedTriggerItem(c.second, c.value, k, one ? s.AltCH1VideoStandard : s.AltCH2VideoStandard,
                             words({Word::WordRising, Word::WordFalling}));
}

EditPlan trigger(const CtrlPathParts &c)
{
    const CtrlSettings &s = app().Settings;
    const QString &label = c.first;
    const auto k = [](Word item) { return key({Word::ItemTrigger, item}); };
    const auto row = [&](Word item, const QStringList &choices) { return list(label, choices, c.value, k(item)); };
    const bool edge = s.TrigMethod == W(Word::WordEdge);
    const bool pulse = s.TrigMethod == W(Word::WordPulse);

    if (is(label, Word::ItemMethod)) {
        QStringList methods =
            words({Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope, Word::WordAlternative});
        if (laPresent())
            methods += words({Word::WordPattern, Word::WordDuration});
        return row(Word::ItemMethod, methods);
    }
    if (is(label, Word::ItemSource)) {
        QStringList sources{QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("EXT")};
        if (edge)
            sources += W(Word::WordACLine);
        if (laPresent() && (edge || pulse))
            AddLaSource(sources);
        return row(Word::ItemSource, sources);
    }
    if (is(label, Word::ItemMode))
        return row(Word::ItemMode, words({Word::WordAuto, Word::WordNormal, Word::WordSingle}));
    EditPlan shared = sharedTriggerItem(label, c.value, k, s.VideoStandard,
                                        words({Word::WordRising, Word::WordFalling, Word::WordAlternation}));
    if (shared.dialog != EditDialogKind::None)
        return shared;
    if (is(label, Word::ItemCode)) {
        if (c.second == QLatin1String(" "))
            return {};
        QStringList codes = words({Word::ItemH, Word::ItemL, Word::ItemX});
        QString current = c.value;
        if (s.TrigMethod == W(Word::WordPattern)) {
            codes += words({Word::ItemRising, Word::ItemFalling});
            // An edge as the instrument reports it ("RISING") is the list's edge.
            if (current == W(Word::WordRising))
                current = W(Word::ItemRising);
            else if (current == W(Word::WordFalling))
                current = W(Word::ItemFalling);
        }
        return list(c.second, codes, current, key({Word::ItemTrigger, Word::ItemCode}) + c.second);
    }
    if (is(label, Word::ItemQualifier))
        return row(Word::ItemQualifier, words({Word::WordLessThan, Word::WordGreaterThan, Word::WordEqual}));
    if (is(label, Word::ItemDurationTime))
        return timeEntry(label, c.value, k(Word::ItemDurationTime));
    // The alternate trigger's two channel sub-groups: every label from "CH1"
    // to "CH2" in code-unit order.
    if (label >= W(Word::ItemCH1) && label <= W(Word::ItemCH2))
        return alternateTrigger(c);
    return {};
}

// --- Acquire and Display ---------------------------------------------------------

EditPlan acquire(const CtrlPathParts &c)
{
    const auto k = [](Word item) { return key({Word::ItemAcquire, item}); };
    if (is(c.first, Word::ItemSamplingMode))
        return list(c.first, words({Word::WordEqualTime, Word::WordRealTime}), c.value, k(Word::ItemSamplingMode));
    if (is(c.first, Word::ItemAcquisition))
        return list(c.first, words({Word::WordAcqNormal, Word::WordAverage, Word::WordPeakDetect}), c.value,
                    k(Word::ItemAcquisition));
    if (is(c.first, Word::ItemAverages))
        return list(c.first,
                    {QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8"), QStringLiteral("16"),
                     QStringLiteral("32"), QStringLiteral("64"), QStringLiteral("128"), QStringLiteral("256")},
                    c.value, k(Word::ItemAverages));
    return {};
}

EditPlan displaySystem(const CtrlPathParts &c)
{
    const auto k = [](Word item) { return key({Word::ItemDisplaySystem, item}); };
    if (is(c.first, Word::ItemType))
        return list(c.first, words({Word::WordVectors, Word::WordDots}), c.value, k(Word::ItemType));
    if (is(c.first, Word::ItemPersist))
        return list(c.first, words({Word::WordOn, Word::WordOff}), c.value, k(Word::ItemPersist));
    if (is(c.first, Word::ItemClear))
        return action(DirectAction::DisplayClear);
    if (is(c.first, Word::ItemGrid))
        return list(c.first, words({Word::WordFull, Word::WordHalf, Word::WordNone}), c.value, k(Word::ItemGrid));
    return {};
}

} // namespace

EditPlan PlanCtrlEdit(const CtrlPathParts &c)
{
    // The groups in the order their labels are compared; the first equal one
    // decides.
    if (is(c.group, Word::ItemRunningControl))
        return runningControl(c);
    if (is(c.group, Word::ItemCH1))
        return channel(c, 1);
    if (is(c.group, Word::ItemCH2))
        return channel(c, 2);
    if (is(c.group, Word::ItemLA))
        return la(c);
    if (is(c.group, Word::ItemTimeBase))
        return timeBase(c);
    if (is(c.group, Word::ItemTrigger))
        return trigger(c);
    if (is(c.group, Word::ItemAcquire))
        return acquire(c);
    if (is(c.group, Word::ItemDisplaySystem))
        return displaySystem(c);
    if (is(c.group, Word::ItemVirtualKeyboard))
        return {};
    if (is(c.group, Word::ItemVirtualPanel))
        return action(DirectAction::VirtualPanel);
    return {};
}

bool IsThresholdPreset(const QString &choice)
{
    return choice == QLatin1String("TTL") || choice == QLatin1String("ECL") || choice == QLatin1String("CMOS");
}

QString ThresholdPreset(const QString &choice)
{
    if (choice == QLatin1String("TTL"))
        return QStringLiteral("1.4");
    if (choice == QLatin1String("ECL"))
        return QStringLiteral("-1.3");
    if (choice == QLatin1String("CMOS"))
        return QStringLiteral("2.5");
    return QStringLiteral("1.0");
}

QString ThresholdEntryText(const QString &stored)
{
    QString number = stored;
    while (!number.isEmpty() && !ReadTypedNumber(number, nullptr))
        number.chop(1);
    number = number.trimmed();
    if (number.isEmpty())
        return QString();
    // The unit after the number: a prefix letter before "V" scales it.
    const QString unit = stored.mid(stored.indexOf(number) + number.size()).trimmed();
    double factor = 1.0;
    if (unit.size() >= 2 && unit.at(1) == u'V') {
        switch (unit.at(0).unicode()) {
        case u'p': factor = 1e-12; break;
        case u'n': factor = 1e-9; break;
        case u'u': factor = 1e-6; break;
        case u'm': factor = 1e-3; break;
        case u'k': factor = 1e3; break;
        default: break;
        }
    }
    if (factor == 1.0)
        return number;
    double volts = 0;
    ReadTypedNumber(number, &volts);
    return GeneralNumberText(volts * factor);
}
