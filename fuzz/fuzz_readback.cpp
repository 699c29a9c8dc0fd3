// The replies read back after an edit and during the settings upload and
// download, on arbitrary replies: the instrument lines are replaced by ones
// that answer every query with the next reply of the input (as the link
// returns it: a VISA reply keeps its line feed, a serial one has none; any
// other line end stays) and keep every line sent.
//
// Input: byte 0 picks the reader (its value modulo 4) and the language (bit
// 7: Chinese):
//   0  the setting dialog's OK on the edit key of byte 1 (an index into the
//      key chain), with the list's text and the typed text of the first two
//      fields;
//   1  the trigger read-back helpers (source, level, threshold, sensitivity,
//      the level in volts) with byte 1's flags (AC line, logic source);
//   2  the settings upload;
//   3  the settings download;
// then the fields, separated by NUL bytes: the list's text, the typed text,
// then the replies (an empty field, and every query after the last, has no
// reply).
//
// Invariants: no line sent holds a line break; no settings member holds one;
// neither holds "inf" or "nan" unless the input did; a level read back is the
// member as it was or "#0.00div" of a number, and so is a sensitivity; the
// level sent back in volts holds no blank.
//
// Seeds: run with KELVO_FUZZ_SEEDS=<folder> to write the replies the
// simulator gives to each reader (and to a choice of edit keys), and stop.

#include "app/appstate.h"
#include "common/ctrlsettings.h"
#include "editors/applyframe.h"
#include "editors/applykeys.h"
#include "editors/triggerreadback.h"
#include "platform/clock.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "transfer/downloadfromdso.h"
#include "transfer/triggerlines.h"
#include "transfer/uploadtodso.h"
#include "values/valuereply.h"

#include "sim/qm4100sim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>
#include <deque>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

class ScriptedLines final : public InstrumentLines {
public:
    std::deque<QString> replies;
    QStringList sent;
    Qm4100Sim *sim = nullptr; // making seeds: the simulator answers, its replies kept
    QStringList recorded;
    void sendCommand(const QString &line) override
    {
        sent << line;
        if (sim)
            sim->handleLine(line.toUtf8(), Qm4100Sim::Framing::VisaUsb);
    }
    QString queryString(const QString &line) override
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

void check(bool bad)
{
    if (bad)
        std::abort();
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

void readBackHelpers(uint8_t flags, bool infNan)
{
    const bool acLine = flags & 1;
    const bool logic = flags & 2;
    const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:EDGE:SOURCE?"), acLine, logic);
    check(badText(src.text, true) || badText(src.scale, infNan));
    check(src.digital && !logic);
    const QString keep = QStringLiteral("keep");
    QString level = keep;
    ReadSourceLevel(src, QStringLiteral(":TRIGGER:EDGE:LEVEL?"), level);
    if (src.digital)
        check(badText(level, infNan));
    else
        checkLevel(level, keep);
    QString other = keep;
    ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:ALEVEL?"), src.scale, other);
    checkLevel(other, keep);
    const QString sens = TrigSensitivityText(CutAtLF(instrumentLines().queryString(QStringLiteral(":TRIGGER:EDGE:SENSITIVITY?"))));
    check(!sens.isEmpty() && !QRegularExpression(QStringLiteral("\\A-?[0-9]+\\.[0-9]{2}div\\z")).match(sens).hasMatch());
    // The level sent back as volts for the source read.
    const QString volts = TrigLevelToVolts(level == keep ? QStringLiteral("1.50div") : level, src.text);
    check(volts.isEmpty() || volts.contains(QLatin1Char(' ')) || badText(volts, infNan));
    check(badText(QuerySourceScale(src.text), infNan));
}

} // namespace

namespace {

// One reader on the fields of an input, then the checks.
void run(const uint8_t *data, const QByteArray &body, ScriptedLines &lines)
{
    const int reader = data[0] % 4;
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

    switch (reader) {
    case 0: {
        const std::vector<ApplyKeyRow> chain = ApplyKeyChain();
        if (chain.empty())
            std::abort();
        app().ctrl.CtrlSettingKey = chain[data[1] % chain.size()].key;
        FakeDialog dialog;
        // A list entry or a one-line entry: no line breaks.
        auto oneLine = [&fields](int i) {
            return i < fields.size() ? QString::fromUtf8(fields[i]).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'))
                                     : QString();
        };
        dialog.list = oneLine(0);
        dialog.input = oneLine(1);
        (void)ApplySetting(dialog);
        break;
    }
    case 1:
        readBackHelpers(data[1], infNan);
        break;
    case 2:
        UploadSettings();
        break;
    case 3:
        DownloadSettings();
        break;
    }
    for (const QString &line : lines.sent)
        check(badText(line, infNan));
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

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication qapp(*argc, *argv);
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    const QString seeds = qEnvironmentVariable("KELVO_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

