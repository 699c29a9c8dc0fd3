// The LA branches of the apply routine. Channel, Position and Size take the
// channel or group from the label of the double-clicked leaf
// (app().ctrl.CtrlSelectedPath). Element i of LAChanOn and LAChanPos belongs
// to channel D(16 - i). Channel nodes are written through the LA channel
// node functions, so an LA edit never rewrites a time-base node that shares
// an id with one of them.

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "texts/stringres.h"
#include "controller/ctrltreenodes.h"
#include "editors/ctrlpath.h"
#include "editors/numberentry.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/valueeditors.h"

namespace {

// The label of the double-clicked leaf ("D15-D8", "D3"), blanks removed.
QString leafLabel()
{
    return SplitCtrlPath(app().ctrl.CtrlSelectedPath).second.trimmed();
}

// The channel number of a leaf label "D<n>" (0..15), -1 for anything else.
int channelOf(const QString &label)
{
    const QString digits = label.mid(1);
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n >= 0 && n <= 15 && !digits.startsWith(u'+') && !digits.startsWith(u'-') ? n : -1;
}

QString channelLabel(int n)
{
    return QStringLiteral("D") + QString::number(n);
}

void channelNode(int n, const QString &value)
{
    SetLaChannelNodeText(n, channelLabel(n) + QStringLiteral(" [") + value + u']');
}

// A group's word from its eight channels (elements from .. from + 7, D15 or
// D7 first): on while no channel reads off and one reads on, off from the
// first channel that reads off, unchanged when none holds either word.
void recomputeGroup(QString &group, const CtrlSettings::LAArray &on, int from)
{
    for (int i = from; i < from + 8; ++i) {
        if (on[i] == word(Word::WordOn)) {
            group = on[i];
        } else if (on[i] == word(Word::WordOff)) {
            group = on[i];
            return;
        }
    }
}

} // namespace

ApplyEnd ApplyLaDisplay(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    s.LADisplay = step.choice();
    step.node(4, 9, Word::ItemDisplay, s.LADisplay);
    step.send(QStringLiteral(":LA:DISPLAY ") + OnOffToken(step.choice()));
    if (step.readBack(QStringLiteral(":LA:DISPLAY?"), s.LADisplay, [](const QString &r) { return OnOffDisplay(r); }))
        step.node(4, 9, Word::ItemDisplay, s.LADisplay);
    return ApplyEnd::Close;
}

ApplyEnd ApplyLaChannel(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    const QString leaf = leafLabel();
    const bool high = leaf == word(Word::ItemD15D8);
    if (high || leaf == word(Word::ItemD7D0)) {
        QString &group = high ? s.LAGroupHi : s.LAGroupLo;
        group = step.choice();
        step.node(14, high ? 2 : 3, high ? Word::ItemD15D8 : Word::ItemD7D0, group);
        const int first = high ? 1 : 9;
        for (int i = first; i < first + 8; ++i) {
            s.LAChanOn[i] = group;
            channelNode(16 - i, group);
        }
        step.send(QStringLiteral(":LA:GROUP") + (high ? u'2' : u'1') + u' ' + OnOffToken(step.choice()));
        return ApplyEnd::Close;
    }
    const int n = channelOf(leaf);
    if (n < 0)
        return ApplyEnd::Close;
    s.LAChanOn[16 - n] = step.choice();
    channelNode(n, s.LAChanOn[16 - n]);
    step.send(QStringLiteral(":DIGITAL") + QString::number(n) + QStringLiteral(":TURN ") + OnOffToken(step.choice()));
    recomputeGroup(s.LAGroupHi, s.LAChanOn, 1);
    recomputeGroup(s.LAGroupLo, s.LAChanOn, 9);
    step.node(14, 2, Word::ItemD15D8, s.LAGroupHi);
    step.node(14, 3, Word::ItemD7D0, s.LAGroupLo);
    return ApplyEnd::Close;
}

ApplyEnd ApplyLaPosition(ApplyStep &step, int)
{
    const int n = channelOf(leafLabel());
    if (n < 0)
        return ApplyEnd::Close;
    CtrlSettings &s = step.settings();
    QString &member = s.LAChanPos[16 - n];
    const QString header = QStringLiteral(":DIGITAL") + QString::number(n) + QStringLiteral(":POSITION");
    member = step.choice();
    step.node(10, 20 - n, channelLabel(n), member);
    step.send(header + u' ' + step.choice());
    if (step.readBack(header + u'?', member, [](const QString &r) { return r; }))
        step.node(10, 20 - n, channelLabel(n), member);
    return ApplyEnd::Close;
}

ApplyEnd ApplyLaThreshold(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    const QString family = step.choice();
    if (family == QLatin1String("TTL") || family == QLatin1String("ECL") || family == QLatin1String("CMOS")) {
        s.LAThreshold = family;
        step.send(QStringLiteral(":LA:THRESHOLD ") + family);
        step.node(4, 11, Word::ItemThreshold, s.LAThreshold);
        return ApplyEnd::Close;
    }
    const std::optional<double> typed = step.number();
    if (!typed)
        return ApplyEnd::StayOpen;
    step.send(QStringLiteral(":LA:THRESHOLD ") + VoltToPlainText(LimitBySingle(*typed, TypedTimeLimit)).toUpper());
    step.pause(100);
    // The reply is "User " and the volts; a shorter reply changes nothing.
    step.readBack(QStringLiteral(":LA:THRESHOLD?"), s.LAThreshold,
                  [](const QString &r) { return r.size() < 5 ? QString() : FormatVolt(r.mid(5)); });
    step.node(4, 11, Word::ItemThreshold, s.LAThreshold);
    return ApplyEnd::Close;
}

ApplyEnd ApplyLaSize(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    const QString leaf = leafLabel();
    const bool high = leaf == word(Word::ItemD15D8);
    if (!high && leaf != word(Word::ItemD7D0))
        return ApplyEnd::Close;
    QString &member = high ? s.LASizeHi : s.LASizeLo;
    member = step.choice();
    step.node(13, high ? 2 : 3, high ? Word::ItemD15D8 : Word::ItemD7D0, member);
    step.send(QStringLiteral(":LA:GROUP") + (high ? u'2' : u'1') + QStringLiteral(":SIZE ") + LaSizeToken(step.choice()));
    return ApplyEnd::Close;
}
