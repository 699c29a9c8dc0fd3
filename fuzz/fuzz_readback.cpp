// The replies read back after an edit, by the direct actions and the list
// fillers, and during the settings upload and download, on arbitrary
// replies: the instrument lines are replaced by ones that answer every query
// with the next reply of the input (as the link returns it: a VISA reply
// keeps its line feed, a serial one has none; any other line end stays) and
// keep every line sent and every reply given.
//
// Input: byte 0 picks the reader (its value modulo 8) and the language (bit
// 7: Chinese):
//   0  the setting dialog's OK on the edit key of byte 1 (an index into the
//      key chain), with the list's text and the typed text of the first two
//      fields;
//   1  the trigger read-back helpers (source, level, threshold, sensitivity,
//      the level in volts) with byte 1's flags (AC line, logic source);
//   2  the settings upload;
//   3  the settings download;
//   4  a direct action: LA Position Reset (bit 0 of byte 1), else Set Trig to
//      50% under the method of byte 1 / 2 modulo 6 (EDGE, PULSE, VIDEO, SLOPE,
//      the alternate trigger with the channels' types of bits 4-5 and 6-7,
//      PATTERN);
//   5  the Volt/Div dialog's OK for CH1 or CH2 (bit 0 of byte 1) on the typed
//      text as its read-out, after a coarse or fine (bit 1) step up, down or
//      none (bits 2-3): the scale sent, the offset read back;
//   6  the edit dispatcher's plan for the node path of the list's text (the
//      time/div list asks the time-base format), at the bandwidth class of
//      byte 1 modulo 6;
//   7  the alternate trigger's read-backs: channel CH1 or CH2 (bit 0 of byte
//      1) of the type of bits 1-2, or (bit 3) the method chosen as the
//      alternate trigger, both channels read back;
// then the fields, separated by NUL bytes: the list's text, the typed text,
// then the replies (an empty field, and every query after the last, has no
// reply).
//
// Invariants: no line sent holds a line break or lacks its argument (a header,
// a blank and nothing after it); no settings member holds a line break;
// neither holds "inf" or "nan" unless the input did. What a read-back stores
// is the member as it was or its query's reply converted as the setting's
// kind converts it (a level in divisions of a scale asked or given, a time, a
// volt, a word), never an empty text in place of one; a level read back by
// the helpers is "#0.00div" of a number, and so is a sensitivity; the level
// sent back in volts holds no blank; a time/div list is one of the
// instrument's, in rising order.
//
// Seeds: run with KELVO_FUZZ_SEEDS=<folder> to write the replies the
// simulator gives to each reader (and to a choice of edit keys), and stop.

#include "app/appstate.h"
#include "common/ctrlsettings.h"
#include "editors/applyframe.h"
#include "editors/applykeys.h"
#include "editors/applytrigger.h"
#include "editors/choicelists.h"
#include "editors/ctrldialogadjust.h"
#include "editors/ctrlpath.h"
#include "editors/directactions.h"
#include "editors/editplan.h"
#include "editors/triggerreadback.h"
#include "link/cmdfunc.h"
#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/triggerhelpers.h"
#include "platform/clock.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "transfer/downloadfromdso.h"
#include "transfer/triggerlines.h"
#include "transfer/uploadtodso.h"
#include "values/valuereply.h"

#include "sim/qm4100sim.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QFile>
#include <QRegularExpression>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

class ScriptedLines final : public InstrumentLines {
public:
    std::deque<QString> replies;
    QStringList sent;
    QList<std::pair<QString, QString>> asked; // every query and the reply it got
    Qm4100Sim *sim = nullptr; // making seeds: the simulator answers, its replies kept
    QStringList recorded;
    // The reply the first asking of query got, cut at its line end; nothing
    // when it was not asked.
    std::optional<QString> replyOf(const QString &query) const
    {
        for (const auto &[q, r] : asked)
            if (q == query)
                return CutAtLF(r);
        return std::nullopt;
    }
    // Every reply query got, cut.
    QStringList repliesOf(const QString &query) const
    {
        QStringList out;
        for (const auto &[q, r] : asked)
            if (q == query)
                out << CutAtLF(r);
        return out;
    }
    void sendCommand(const QString &line) override
    {
        sent << line;
        if (sim)
            sim->handleLine(line.toUtf8(), Qm4100Sim::Framing::VisaUsb);
    }
    QString queryString(const QString &line) override
    {
        const QString r = answer(line);
        asked.append({line, r});
        return r;
    }

private:
    QString answer(const QString &line)
    {
        sent << line;
        if (sim) {
            const QString r = QString::fromUtf8(sim->handleLine(line.toUtf8(), Qm4100Sim::Framing::VisaUsb));
            recorded << r;
            return r;
        }
        if (line == QLatin1String("*IDN?"))
            return QStringLiteral("Karvo Technologies,QM4100D,SN000001,V1.02.003\n");
        if (replies.empty())
            return QString();
        const QString r = replies.front();
        replies.pop_front();
        return r;
    }
};

class FakeDialog final : public ApplyDialog {
public:
    QString list, input;
    QString choice() const override { return list; }
    QString inputText() const override { return input; }
    void setInputText(const QString &text) override { input = text; }
};

bool badText(const QString &t, bool infNan)
{
    if (t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')))
        return true;
    return !infNan
        && (t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
            || t.contains(QLatin1String("nan"), Qt::CaseInsensitive));
}

void check(bool bad, const char *what = "")
{
    if (bad) {
        std::fprintf(stderr, "invariant: %s\n", what);
        std::abort();
    }
}

// A member read back: as it was, or one of the texts its replies give; never
// emptied by a reply.
void checkReadBack(const QString &now, const QString &before, const QStringList &allowed, const char *what)
{
    if (now == before)
        return;
    check(now.isEmpty(), what);
    check(!allowed.contains(now), what);
}

// The levels a reply can give: the reply in divisions of every scale that
// was asked, or given for a source.
QStringList levelsOf(const ScriptedLines &lines, const QString &levelQuery)
{
    QStringList scales{QStringLiteral("0.2"), QStringLiteral("1"), QStringLiteral("0")};
    scales += lines.repliesOf(QStringLiteral(":CHANNEL1:SCALE?"));
    scales += lines.repliesOf(QStringLiteral(":CHANNEL2:SCALE?"));
    QStringList out;
    for (const QString &reply : lines.repliesOf(levelQuery))
        for (const QString &scale : scales)
            out << FormatPerDiv(reply, scale);
    for (const QString &reply : lines.repliesOf(QStringLiteral(":LA:THRESHOLD?")))
        out << LAThresholdDisplay(reply);
    return out;
}

template <typename Convert>
QStringList converted(const ScriptedLines &lines, const QString &query, Convert convert)
{
    QStringList out;
    for (const QString &reply : lines.repliesOf(query))
        out << convert(reply);
    return out;
}

void checkSettings(bool infNan)
{
    const CtrlSettings &s = app().Settings;
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text)
            check(badText(s.*(f.text), infNan));
        else
            for (const QString &t : s.*(f.array))
                check(badText(t, infNan));
    }
}

// A level kept or read back as divisions.
void checkLevel(const QString &level, const QString &before)
{
    static const QRegularExpression divs(QStringLiteral("\\A-?[0-9]+\\.[0-9]{2}div\\z"));
    check(level != before && !divs.match(level).hasMatch());
}

void readBackHelpers(const ScriptedLines &lines, uint8_t flags, bool infNan)
{
    const bool acLine = flags & 1;
    const bool logic = flags & 2;
    const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:EDGE:SOURCE?"), acLine, logic);
    check(badText(src.text, true) || badText(src.scale, infNan), "source text");
    check(src.digital && !logic, "digital source without logic");
    const QString keep = QStringLiteral("keep");
    QString level = keep;
    ReadSourceLevel(src, QStringLiteral(":TRIGGER:EDGE:LEVEL?"), level);
    if (src.digital) {
        check(badText(level, infNan), "threshold text");
        checkReadBack(level, keep, converted(lines, QStringLiteral(":LA:THRESHOLD?"), LAThresholdDisplay), "threshold");
    } else {
        checkLevel(level, keep);
        const std::optional<QString> reply = lines.replyOf(QStringLiteral(":TRIGGER:EDGE:LEVEL?"));
        checkReadBack(level, keep, {reply ? FormatPerDiv(*reply, src.scale) : QString()}, "level against its reply");
    }
    QString other = keep;
    ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:ALEVEL?"), src.scale, other);
    checkLevel(other, keep);
    checkReadBack(other, keep, {FormatPerDiv(lines.replyOf(QStringLiteral(":TRIGGER:SLOPE:ALEVEL?")).value_or(QString()), src.scale)},
                  "level A against its reply");
    const QString sens = TrigSensitivityText(CutAtLF(instrumentLines().queryString(QStringLiteral(":TRIGGER:EDGE:SENSITIVITY?"))));
    check(!sens.isEmpty() && !QRegularExpression(QStringLiteral("\\A-?[0-9]+\\.[0-9]{2}div\\z")).match(sens).hasMatch(),
          "sensitivity form");
    // The level sent back as volts for the source read.
    const QString volts = TrigLevelToVolts(level == keep ? QStringLiteral("1.50div") : level, src.text);
    check(volts.contains(QLatin1Char(' ')) || badText(volts, infNan), "volts text");
    check(badText(QuerySourceScale(src.text), infNan), "scale text");
}

const QString &W(Word w)
{
    return word(w);
}

// Set Trig to 50% or LA Position Reset, then every member they read back
// against its replies.
void directAction(const ScriptedLines &lines, uint8_t b1)
{
    CtrlSettings &s = app().Settings;
    if (b1 & 1) {
        const CtrlSettings before = s;
        LaPositionReset();
        checkReadBack(s.LASizeHi, before.LASizeHi, converted(lines, QStringLiteral(":LA:GROUP2:SIZE?"), LaSizeDisplay),
                      "group 2 size");
        checkReadBack(s.LASizeLo, before.LASizeLo, converted(lines, QStringLiteral(":LA:GROUP1:SIZE?"), LaSizeDisplay),
                      "group 1 size");
        for (int k = 1; k <= 16; ++k) {
            bool ok = false;
            const int p = s.LAChanPos[k].toInt(&ok);
            check(!ok || p < 0 || p > 15, "a logic position outside 0..15");
        }
        return;
    }
    static const Word methods[] = {Word::WordEdge, Word::WordSlope, Word::WordVideo, Word::WordPulse,
                                   Word::WordAlternative, Word::WordPattern};
    static const Word types[] = {Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope};
    s.TrigMethod = W(methods[(b1 >> 1) % 6]);
    s.AltCH1Type = W(types[(b1 >> 4) & 3]);
    s.AltCH2Type = W(types[(b1 >> 6) & 3]);
    const CtrlSettings before = s;
    SetTrigTo50();
    const auto level = [&](const QString CtrlSettings::*m, const char *query) {
        checkReadBack(s.*m, before.*m, levelsOf(lines, QString::fromLatin1(query)), query);
    };
    level(&CtrlSettings::EdgeLevel, ":TRIGGER:EDGE:LEVEL?");
    level(&CtrlSettings::PulseLevel, ":TRIGGER:PULSE:LEVEL?");
    level(&CtrlSettings::VideoLevel, ":TRIGGER:VIDEO:LEVEL?");
    level(&CtrlSettings::SlopeLevelA, ":TRIGGER:SLOPE:LEVELA?");
    level(&CtrlSettings::SlopeLevelB, ":TRIGGER:SLOPE:LEVELB?");
    level(&CtrlSettings::AltCH1EdgeLevel, ":TRIGGER:ALTERNATION:EDGE:LEVEL?");
    level(&CtrlSettings::AltCH2EdgeLevel, ":TRIGGER:ALTERNATION:EDGE:LEVEL?");
    level(&CtrlSettings::AltCH1PulseLevel, ":TRIGGER:ALTERNATION:PULSE:LEVEL?");
    level(&CtrlSettings::AltCH2PulseLevel, ":TRIGGER:ALTERNATION:PULSE:LEVEL?");
    level(&CtrlSettings::AltCH1VideoLevel, ":TRIGGER:ALTERNATION:VIDEO:LEVEL?");
    level(&CtrlSettings::AltCH2VideoLevel, ":TRIGGER:ALTERNATION:VIDEO:LEVEL?");
    level(&CtrlSettings::AltCH1SlopeLevelA, ":TRIGGER:ALTERNATION:SLOPE:LEVELA?");
    level(&CtrlSettings::AltCH2SlopeLevelA, ":TRIGGER:ALTERNATION:SLOPE:LEVELA?");
    level(&CtrlSettings::AltCH1SlopeLevelB, ":TRIGGER:ALTERNATION:SLOPE:LEVELB?");
    level(&CtrlSettings::AltCH2SlopeLevelB, ":TRIGGER:ALTERNATION:SLOPE:LEVELB?");
    for (const char *source : {":TRIGGER:EDGE:SOURCE?", ":TRIGGER:PULSE:SOURCE?", ":TRIGGER:VIDEO:SOURCE?",
                               ":TRIGGER:SLOPE:SOURCE?"})
        check(lines.replyOf(QString::fromLatin1(source)).has_value() && s.TrigMethod == W(Word::WordPattern),
              "a source asked under the pattern trigger");
    checkReadBack(s.EdgeSource, before.EdgeSource, converted(lines, QStringLiteral(":TRIGGER:EDGE:SOURCE?"), AcLineDisplay),
                  "edge source");
    checkReadBack(s.PulseSource, before.PulseSource, lines.repliesOf(QStringLiteral(":TRIGGER:PULSE:SOURCE?")), "pulse source");
}

// The Volt/Div dialog's OK: the read-out, perhaps stepped, sent as the scale;
// the offset read back.
void adjustOk(const ScriptedLines &lines, uint8_t b1, const QString &typed)
{
    CtrlSettings &s = app().Settings;
    app().editors.AdjustMode = b1 & 1;
    if (b1 & 1)
        app().editors.AdjustCoarseFineCH2 = (b1 & 2) ? 1 : 0;
    else
        app().editors.AdjustCoarseFineCH1 = (b1 & 2) ? 1 : 0;
    const CtrlSettings before = s;
    {
        CtrlDialogAdjust d;
        d.txtDispValue()->setText(typed);
        d.show();
        if ((b1 >> 2) & 3) {
            d.stepPressed((b1 & 4) ? 1 : -1);
            d.stepReleased();
        }
        d.cmdAdjustOK_Click();
    }
    const QString ch = (b1 & 1) ? QStringLiteral(":CHANNEL2") : QStringLiteral(":CHANNEL1");
    const QString &offset = (b1 & 1) ? s.CH2Offset : s.CH1Offset;
    checkReadBack(offset, (b1 & 1) ? before.CH2Offset : before.CH1Offset,
                  converted(lines, ch + QStringLiteral(":OFFSET?"), [](const QString &r) { return FormatVolt(r); }),
                  "offset after a scale step");
    static const QRegularExpression number(QStringLiteral("\\A-?[0-9.]+(E[-+][0-9]+)?\\z"));
    for (const QString &line : lines.sent)
        if (line.startsWith(ch + QStringLiteral(":SCALE ")))
            check(!number.match(line.mid(ch.size() + 7)).hasMatch(), "the scale sent is no plain number");
}

// The dispatcher's plan for a node path; a time/div list is the instrument's.
void plan(const ScriptedLines &lines, uint8_t b1, const QString &path)
{
    app().link.BandwidthClass = quint8(b1 % 6);
    const EditPlan p = PlanCtrlEdit(SplitCtrlPath(path));
    for (const QString &c : p.choices)
        check(badText(c, true), "a choice holds a line break");
    check(badText(p.key, true) || badText(p.caption, true), "key or caption");
    const std::optional<QString> format = lines.replyOf(QStringLiteral(":TIMEBASE:FORMAT?"));
    if (!format)
        return;
    check(p.choices != TimeDivChoices(*format, app().link.BandwidthClass), "the time/div list is not its format's");
    double last = 0;
    for (const QString &c : p.choices) {
        const double t = ParseTime(c);
        check(!(t > last), "the time/div list does not rise");
        last = t;
    }
    const bool yt = *format == QLatin1String("Y-T") || *format == QLatin1String("SCANNING");
    check(yt && p.choices.value(p.choices.size() - 1) != QLatin1String("50.00s"), "a Y-T list ends at 50 s");
    check(*format == QLatin1String("X-Y") && p.choices.size() != 13, "the X-Y list");
    check(!yt && *format != QLatin1String("X-Y") && !p.choices.isEmpty(), "a list for no format");
}

// The alternate trigger's read-backs of one channel, or of both after the
// method is chosen.
void alternateReadBack(const ScriptedLines &lines, uint8_t b1, bool infNan)
{
    CtrlSettings &s = app().Settings;
    static const Word types[] = {Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope};
    s.AltCH1Type = W(types[(b1 >> 1) & 3]);
    s.AltCH2Type = W(types[(b1 >> 1) & 3]);
    const CtrlSettings before = s;
    FakeDialog dialog;
    dialog.list = W(Word::WordAlternative);
    ApplyStep step(dialog);
    if (b1 & 8)
        (void)ApplyTriggerMethod(step, 0);
    else
        (void)GetTriggerAltTrigType(step, (b1 & 1) ? 2 : 1);
    // Every level against the replies, every other member either kept or
    // given by a reply.
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (!f.text || !QByteArray(f.name).startsWith("AltCH"))
            continue;
        const QString &now = s.*(f.text);
        const QString &was = before.*(f.text);
        check(badText(now, infNan), "an alternate member's text");
        if (QByteArray(f.name).contains("Level"))
            checkReadBack(now, was, levelsOf(lines, QStringLiteral(":TRIGGER:ALTERNATION:") +
                                                        QString::fromLatin1(f.name + 6).replace(QStringLiteral("Level"), QStringLiteral(":LEVEL")).toUpper() + u'?'),
                          f.name);
        else
            check(now != was && now.isEmpty(), f.name);
    }
}

// The download's rows whose member takes its query's reply alone.
struct DownloadRow {
    const char *query;
    QString CtrlSettings::*member;
    QString (*convert)(const QString &);
};

QString same(const QString &r)
{
    return r;
}
QString time3(const QString &r)
{
    return FormatTime3(r);
}
QString time4(const QString &r)
{
    return FormatTime4(r);
}
QString volts(const QString &r)
{
    return FormatVolt(r);
}

void checkDownload(const ScriptedLines &lines, const CtrlSettings &before)
{
    using S = CtrlSettings;
    static const DownloadRow rows[] = {
        {":TIMEBASE:FORMAT?", &S::TimebaseFormat, TimebaseFormatDisplay},
        {":TIMEBASE:SCALE?", &S::TimeDiv, time4},
        {":TIMEBASE:OFFSET?", &S::Delay, time4},
        {":CHANNEL1:PROBE?", &S::CH1Probe, ProbeRatioDisplay},
        {":CHANNEL2:PROBE?", &S::CH2Probe, ProbeRatioDisplay},
        {":CHANNEL1:SCALE?", &S::CH1VoltDiv, volts},
        {":CHANNEL2:SCALE?", &S::CH2VoltDiv, volts},
        {":CHANNEL1:COUPLING?", &S::CH1Coupling, CouplingDisplay},
        {":CHANNEL2:BWLIMIT?", &S::CH2BWLimit, OnOffDisplay},
        {":CHANNEL1:DISPLAY?", &S::CH1Display, OnOffDisplay},
        {":CHANNEL1:OFFSET?", &S::CH1Offset, volts},
        {":CHANNEL2:OFFSET?", &S::CH2Offset, volts},
        {":TRIGGER:MODE?", &S::TrigMethod, TrigMethodDisplay},
        {":TRIGGER:HOLDOFF?", &S::Holdoff, time3},
        {":TRIGGER:EDGE:SLOPE?", &S::EdgeSlope, EdgeSlopeDisplay},
        {":TRIGGER:EDGE:SWEEP?", &S::EdgeSweep, SweepDisplay},
        {":TRIGGER:PULSE:WIDTH?", &S::PulseWidth, time3},
        {":TRIGGER:VIDEO:LINE?", &S::VideoLine, same},
        {":TRIGGER:SLOPE:TIME?", &S::SlopeTime, time3},
        {":TRIGGER:DURATION:TIME?", &S::DurTime, time3},
        {":LA:THRESHOLD?", &S::LAThreshold, LAUserThreshold},
        {":ACQUIRE:MODE?", &S::AcqSamplingMode, AcqModeDisplay},
        {":ACQUIRE:AVERAGES?", &S::AcqAverages, same},
        {":DISPLAY:TYPE?", &S::DispType, DisplayTypeDisplay},
    };
    const CtrlSettings &s = app().Settings;
    // (A query asked more than once gives its member one of its replies.)
    for (const DownloadRow &r : rows)
        checkReadBack(s.*(r.member), before.*(r.member), converted(lines, QString::fromLatin1(r.query), r.convert), r.query);
    const auto level = [&](const QString S::*m, const char *query) {
        checkReadBack(s.*m, before.*m, levelsOf(lines, QString::fromLatin1(query)), query);
    };
    level(&S::EdgeLevel, ":TRIGGER:EDGE:LEVEL?");
    level(&S::PulseLevel, ":TRIGGER:PULSE:LEVEL?");
    level(&S::VideoLevel, ":TRIGGER:VIDEO:LEVEL?");
    level(&S::SlopeLevelA, ":TRIGGER:SLOPE:LEVELA?");
    level(&S::SlopeLevelB, ":TRIGGER:SLOPE:LEVELB?");
    level(&S::AltCH1EdgeLevel, ":TRIGGER:ALTERNATION:EDGE:LEVEL?");
    level(&S::AltCH2SlopeLevelB, ":TRIGGER:ALTERNATION:SLOPE:LEVELB?");
    for (const CtrlSettingsField &f : ctrlSettingsFields())
        if (f.text)
            check((s.*(f.text)).isEmpty() && !(before.*(f.text)).isEmpty(), f.name);
}

} // namespace

namespace {

// One reader on the fields of an input, then the checks.
void run(const uint8_t *data, const QByteArray &body, ScriptedLines &lines)
{
    const int reader = data[0] % 8;
    const QByteArray lower = body.toLower();
    const bool infNan = lower.contains("inf") || lower.contains("nan");
    const QList<QByteArray> fields = body.split('\0');

    resetApp();
    setAppClock(gClock);
    gUi->clear();
    setUi(gUi);
    ApplyLanguage((data[0] & 0x80) ? LanguageChinese : LanguageEnglish);
    app().Settings.reset();
    app().link.LaPresent = -1;
    app().link.LinkConnected = -1;
    for (qsizetype i = 2; i < fields.size(); ++i)
        lines.replies.push_back(QString::fromUtf8(fields[i]));
    setInstrumentLines(&lines);
    // A list entry or a one-line entry: no line breaks.
    auto oneLine = [&fields](int i) {
        return i < fields.size() ? QString::fromUtf8(fields[i]).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'))
                                 : QString();
    };
    const CtrlSettings before = app().Settings;

    switch (reader) {
    case 0: {
        const std::vector<ApplyKeyRow> chain = ApplyKeyChain();
        if (chain.empty())
            std::abort();
        app().ctrl.CtrlSettingKey = chain[data[1] % chain.size()].key;
        FakeDialog dialog;
        dialog.list = oneLine(0);
        dialog.input = oneLine(1);
        (void)ApplySetting(dialog);
        break;
    }
    case 1:
        readBackHelpers(lines, data[1], infNan);
        break;
    case 2:
        UploadSettings();
        break;
    case 3:
        DownloadSettings();
        checkDownload(lines, before);
        break;
    case 4:
        directAction(lines, data[1]);
        break;
    case 5:
        adjustOk(lines, data[1], oneLine(1));
        break;
    case 6:
        plan(lines, data[1], oneLine(0));
        break;
    case 7:
        alternateReadBack(lines, data[1], infNan);
        break;
    }
    for (const QString &line : lines.sent) {
        if (badText(line, infNan) || lacksArgument(line))
            std::fprintf(stderr, "line sent: \"%s\"\n", qPrintable(line));
        check(badText(line, infNan), "a line sent holds a line break, inf or nan");
        check(lacksArgument(line), "a line sent lacks its argument");
    }
    checkSettings(infNan);

    setInstrumentLines(nullptr);
    setUi(nullptr);
    setAppClock(nullptr);
}

void writeSeeds(const QString &folder)
{
    struct Seed {
        QString name;
        uint8_t b0, b1;
        QByteArray list, input;
        QList<QByteArray> setup; // lines the simulator takes first
    };
    QList<Seed> seeds = {
        {QStringLiteral("readback_edge"), 1, 0, {}, {}, {}},
        {QStringLiteral("readback_acline"), 1, 1, {}, {}, {":TRIGGER:EDGE:SOURCE ACLINE"}},
        {QStringLiteral("readback_logic"), 1, 2, {}, {}, {":TRIGGER:EDGE:SOURCE DIGITAL3"}},
        {QStringLiteral("upload"), 2, 0, {}, {}, {}},
        {QStringLiteral("upload_chinese"), 0x82, 0, {}, {}, {}},
        {QStringLiteral("download"), 3, 0, {}, {}, {}},
        {QStringLiteral("download_alternation"), 3, 0, {}, {}, {":TRIGGER:MODE ALTERNATION"}},
        {QStringLiteral("trig50_edge"), 4, 0 << 1, {}, {}, {}},
        {QStringLiteral("trig50_slope"), 4, 1 << 1, {}, {}, {":TRIGGER:MODE SLOPE"}},
        {QStringLiteral("trig50_video"), 4, 2 << 1, {}, {}, {":TRIGGER:MODE VIDEO"}},
        {QStringLiteral("trig50_pulse_logic"), 4, 3 << 1, {}, {}, {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE DIGITAL4"}},
        {QStringLiteral("trig50_alternation"), 4, 4 << 1 | 3 << 4 | 1 << 6, {}, {}, {":TRIGGER:MODE ALTERNATION"}},
        {QStringLiteral("la_reset"), 4, 1, {}, {}, {}},
        {QStringLiteral("adjust_ch1_up"), 5, 0 | 1 << 2, {}, "500mV", {}},
        {QStringLiteral("adjust_ch2_fine_down"), 5, 1 | 2 | 2 << 2, {}, "2.00V", {":CHANNEL2:OFFSET 1.5"}},
        {QStringLiteral("plan_timediv"), 6, 3, "QM4100D\\Time Base\\Time/Div [1.000ms]", {}, {}},
        {QStringLiteral("plan_timediv_xy"), 6, 5, "QM4100D\\Time Base\\Time/Div [1.000ms]", {}, {":TIMEBASE:FORMAT XY"}},
        {QStringLiteral("plan_alternate_timediv"), 6, 1, "QM4100D\\Time Base\\CH1\\Time/Div [1.000ms]", {}, {":TIMEBASE:FORMAT SCANNING"}},
        {QStringLiteral("alternate_edge_ch1"), 7, 0, {}, {}, {":TRIGGER:MODE ALTERNATION"}},
        {QStringLiteral("alternate_slope_ch2"), 7, 1 | 3 << 1, {}, {}, {":TRIGGER:MODE ALTERNATION"}},
        {QStringLiteral("alternate_method_video"), 7, 8 | 2 << 1, {}, {}, {}},
    };
    ApplyLanguage(LanguageEnglish);
    const int keys = int(ApplyKeyChain().size());
    for (int k = 0; k < keys; k += std::max(1, keys / 6))
        seeds.append({QStringLiteral("edit_%1").arg(k, 3, 10, QLatin1Char('0')), 0, uint8_t(k), "ON", "0.5", {}});
    QDir().mkpath(folder);
    for (const Seed &seed : seeds) {
        Qm4100Sim sim;
        for (const QByteArray &line : seed.setup)
            sim.handleLine(line, Qm4100Sim::Framing::VisaUsb);
        ScriptedLines lines;
        lines.sim = &sim;
        const uint8_t head[2] = {seed.b0, seed.b1};
        run(head, seed.list + '\0' + seed.input, lines);
        QByteArray file = QByteArray(1, char(seed.b0)) + char(seed.b1) + seed.list + '\0' + seed.input;
        for (const QString &r : lines.recorded)
            file += '\0' + r.toUtf8();
        QFile f(folder + QLatin1Char('/') + seed.name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    ScriptedLines lines;
    run(data, QByteArray(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2)), lines);
    return 0;
}

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication qapp(*argc, *argv); // the Volt/Div dialog is a window
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    const QString seeds = qEnvironmentVariable("KELVO_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

