#include "wave/datacaptions.h"

#include "common/appstate.h"
#include "shell/captionapply.h"
#include "texts/loadlanguage.h"
#include "wave/datatablemodel.h"
#include "wave/frmdata.h"

namespace {

using T = CaptionTarget;

constexpr CaptionRow kRows[] = {
    {"cmdRefresh", -1, T::Caption, " Refresh", " 更新 ."},
    {"cmdExport", -1, T::Caption, "Export", "导出 ."},
    {"cmdRefresh", -1, T::ToolTip, "Refresh Data(F5)", "更新数据(F5)"},
    {"cmdExport", -1, T::ToolTip, "Output", "输出"},
};

struct HeaderRow {
    const char *english;
    const char *chinese;
};
constexpr HeaderRow kHeaders[3] = {{"NO.", "序号"}, {"Time[S]", "时间[S]"}, {"Voltage[V]", "电压[V]"}};

void applyTo(frmData *w, int lang)
{
    applyCaptions(w, kRows, lang);
    const std::array<QString, 3> headers = dataWindowHeaders(lang);
    for (int c = 0; c < 3; ++c)
        w->model()->setHeaderText(c, headers[size_t(c)]);
}

} // namespace

std::span<const CaptionRow> dataWindowCaptions()
{
    return kRows;
}

std::array<QString, 3> dataWindowHeaders(int lang)
{
    std::array<QString, 3> out;
    if (lang != 0 && lang != 1)
        return out;
    for (int c = 0; c < 3; ++c)
        out[size_t(c)] = QString::fromUtf8(lang == 0 ? kHeaders[c].chinese : kHeaders[c].english);
    return out;
}

void LoadDataWindowTexts(int slot, int lang)
{
    if (lang != 0 && lang != 1)
        return;
    if (frmData *w = dataWindow(slot))
        applyTo(w, lang);
}

void LoadAllDataWindowTexts(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    DataSheet &sheet = app().Sheet;
    const int count = qBound(0, int(sheet.DataDocCount), DataSheet::DataSlots);
    for (int i = 0; i < count; ++i) {
        if (!sheet.DataDocs[size_t(i)].WindowOpen)
            continue;
        if (frmData *w = dataWindow(i))
            applyTo(w, lang);
    }
}

void installDataWindowLoader()
{
    setLanguageLoader(LanguageLoader::LoadAllDataWindowTexts, [](int lang) { LoadAllDataWindowTexts(lang); });
}
