// Reads arbitrary bytes as a data sheet file. Any input must be read without
// touching memory outside it; a refused file changes nothing; counts stay
// within the item limits; and a sheet read from a file is written and read
// back to the same file.
#include "datasheet/datasheetfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    DataSheetFileContext ctx;
    ctx.wordOn = QStringLiteral("ON");
    DataSheet s;
    s.Name = QStringLiteral("before");
    const DataSheetRead r = ParseDataSheet(input, s, ctx);
    if (r != DataSheetRead::Ok) {
        if (r != DataSheetRead::BadFormat || s.Name != QLatin1String("before") || s.WaveDocCount != 0)
            std::abort();
        return 0;
    }
    for (SheetItemKind k : {SheetItemKind::Wave, SheetItemKind::Measure, SheetItemKind::Data, SheetItemKind::Replay,
                            SheetItemKind::StoredWave})
        if (s.count(k) < 0 || s.count(k) > DataSheet::maxItems(k))
            std::abort();
    for (int i = 0; i < s.DataDocCount; ++i)
        if (s.DataDocs[size_t(i)].RowCount < 0 || s.DataDocs[size_t(i)].RowCount > DataSheetMaxRows)
            std::abort();
    // Written and read back, the sheet writes the same file again.
    ctx.laPresent = false;
    const QByteArray once = DataSheetFileBytes(s, ctx);
    DataSheet back;
    if (ParseDataSheet(once, back, ctx) != DataSheetRead::Ok)
        std::abort();
    if (DataSheetFileBytes(back, ctx) != once)
        std::abort();
    return 0;
}
