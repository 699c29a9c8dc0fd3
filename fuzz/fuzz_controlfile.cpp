// Reads arbitrary bytes as a control file. Any input must be read without
// touching memory outside it; a refused file changes nothing; no value read
// holds a line break; and a record read from a file is written and read back
// to the same record (values holding a double quote aside, which the format
// cannot store).
#include "controller/ctrlfile.h"

#include <cstdint>
#include <cstdlib>

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
