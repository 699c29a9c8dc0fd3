// Reads arbitrary bytes as a control file. Any input must be read without
// touching memory outside it; a refused file changes nothing; no value read
// holds a line break; and a record read from a file is written and read back
// to the same record (values holding a double quote aside, which the format
// cannot store). A record read is uploaded as the controller uploads it: no
// line sent to the instrument holds a line break. Inputs go up to 64 KiB.
#include "maxlen.h"

#include "app/appstate.h"
#include "controller/ctrlfile.h"
#include "platform/clock.h"
#include "transfer/triggerlines.h"
#include "transfer/uploadtodso.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The instrument of the upload: keeps every line, answers no query.
class KeptLines final : public InstrumentLines {
public:
    QStringList sent;
    void sendCommand(const QString &line) override { sent << line; }
    QString queryString(const QString &line) override
    {
        sent << line;
        return QString();
    }
};

VirtualClock *gClock = nullptr;

void checkUpload(const CtrlSettings &s)
{
    resetApp();
    setAppClock(gClock);
    app().Settings = s;
    app().link.LaPresent = -1;
    KeptLines lines;
    setInstrumentLines(&lines);
    UploadSettings();
    setInstrumentLines(nullptr);
    setAppClock(nullptr);
    for (const QString &line : lines.sent)
        if (line.contains(u'\n') || line.contains(u'\r'))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 64 * 1024);
    gClock = new VirtualClock;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    CtrlSettings s;
    s.RunStop = QStringLiteral("before");
    const CtrlSettings before = s;
    int fields = -1;
    const ControlFileRead r = ParseControlFile(input, s, &fields);
    if (r == ControlFileRead::BadHeader) {
        if (!(s == before) || fields != 0)
            std::abort();
        return 0;
    }
    if (r != ControlFileRead::Ok || fields < 0 || fields > ControlFileLines - 1)
        std::abort();

    bool quote = false;
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        auto check = [&quote](const QString &v) {
            if (v.contains(u'\n') || v.contains(u'\r'))
                std::abort();
            quote = quote || v.contains(u'"');
        };
        if (f.text)
            check(s.*f.text);
        else
            for (const QString &v : s.*f.array)
                check(v);
    }
    checkUpload(s);
    if (quote)
        return 0;

    const QByteArray written = ControlFileBytes(s);
    CtrlSettings back;
    back.LASizeHi = s.LASizeHi;
    back.LASizeLo = s.LASizeLo;
    for (auto arr : {&CtrlSettings::LAChanOn, &CtrlSettings::LAChanPos, &CtrlSettings::PatCode, &CtrlSettings::DurCode}) {
        (back.*arr)[0] = (s.*arr)[0];
        (back.*arr)[17] = (s.*arr)[17];
    }
    if (ParseControlFile(written, back) != ControlFileRead::Ok || !(back == s))
        std::abort();
    return 0;
}
