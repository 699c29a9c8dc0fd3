#include "wave/wavecaptions.h"

#include "app/appstate.h"
#include "texts/loadlanguage.h"
#include "wave/datatablemodel.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace {

using T = WaveCaptionTarget;

constexpr WaveCaptionRow kRows[] = {
    {"cmdRefresh", T::Caption, "     Refresh", "  更新 ."},
    {"Frame1", T::Caption, "Refresh", "更新"},
    {"Frame2_0", T::Caption, "Display", "显示"},
    {"Frame6", T::Caption, "Zoom", "缩放"},
    {"BestFitChk", T::Caption, "Best Fit", "适合"},
    {"OptionColor_0", T::Caption, "Color", "彩色"},
    {"OptionColor_1", T::Caption, "B&&W", "黑白"},
    {"GridCheck", T::Caption, "Grid", "网格"},
    {"Frame2_2", T::Caption, "Cursor", "光标"},
    {"ChkCursorX", T::Caption, "CursorX", "光标X"},
    {"ChkCursorY", T::Caption, "CursorY", "光标Y"},
    {"Frame2_1", T::Caption, "Output", "输出"},
    {"cmdExport", T::Caption, "Export", "导出 ."},
    {"cmdPrint", T::Caption, "Print", "打印 ."},
    {"cmdPreview", T::Caption, "     Preview", "         预览 ."},
    {"cmdRefresh", T::ToolTip, "Refresh Data(F5)", "更新数据(F5)"},
    {"cmdExport", T::ToolTip, "Output", "输出"},
    {"cmdPrint", T::ToolTip, "Print", "打印"},
    {"cmdPreview", T::ToolTip, "Print Preview", "打印预览"},
    {"LblRefreshText", T::Caption, "Refreshing", "     更新"},
};

void setCaption(QWidget *control, const QString &text)
{
    if (auto *b = qobject_cast<QAbstractButton *>(control))
        b->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(control))
        g->setTitle(text);
    else if (auto *l = qobject_cast<QLabel *>(control))
        l->setText(text);
}

// One row on window: its English text, or chinese for lang 0.
void applyRow(QWidget *window, const WaveCaptionRow &row, const char *chinese, int lang)
{
    const QString text = QString::fromUtf8(lang == 0 ? chinese : row.english);
    QWidget *control = window->findChild<QWidget *>(QLatin1String(row.control));
    if (!control)
        return;
    if (row.target == T::ToolTip)
        control->setToolTip(text);
    else
        setCaption(control, text);
}

void applyTo(frmWave *w, int lang, bool allWindows)
{
    const int last = int(std::size(kRows)) - 1;
    for (int i = 0; i <= last; ++i) {
        const WaveCaptionRow &row = kRows[i];
        applyRow(w, row, allWindows && i == last ? waveAllWindowsProgressChinese : row.chinese, lang);
    }
}

// The data table windows: two buttons with their tool tips, and the column
// headers of the table.
constexpr WaveCaptionRow kDataRows[] = {
    {"cmdRefresh", T::Caption, " Refresh", " 更新 ."},
    {"cmdExport", T::Caption, "Export", "导出 ."},
    {"cmdRefresh", T::ToolTip, "Refresh Data(F5)", "更新数据(F5)"},
    {"cmdExport", T::ToolTip, "Output", "输出"},
};

struct HeaderTexts {
    const char *english;
    const char *chinese;
};
constexpr HeaderTexts kDataHeaders[3] = {{"NO.", "序号"}, {"Time[S]", "时间[S]"}, {"Voltage[V]", "电压[V]"}};

void applyTo(frmData *w, int lang)
{
    for (const WaveCaptionRow &row : kDataRows)
        applyRow(w, row, row.chinese, lang);
    const std::array<QString, 3> headers = dataWindowHeaders(lang);
    for (int c = 0; c < 3; ++c)
        w->model()->setHeaderText(c, headers[size_t(c)]);
    w->layOutTopRow();
}

} // namespace

const char *const waveAllWindowsProgressChinese = "更新";

std::span<const WaveCaptionRow> waveWindowCaptions()
{
    return kRows;
}

void LoadWaveWindowTexts(int slot, int lang)
{
    if (lang != 0 && lang != 1)
        return;
    if (frmWave *w = waveWindow(slot))
        applyTo(w, lang, false);
}

void LoadAllWaveWindowTexts(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    DataSheet &sheet = app().Sheet;
    const int count = qBound(0, int(sheet.WaveDocCount), DataSheet::WaveSlots);
    for (int i = 0; i < count; ++i) {
        if (!sheet.WaveDocs[size_t(i)].WindowOpen)
            continue;
        if (frmWave *w = waveWindow(i))
            applyTo(w, lang, true);
    }
}

void installWaveWindowLoader()
{
    setLanguageLoader(LanguageLoader::LoadAllWaveWindowTexts, [](int lang) { LoadAllWaveWindowTexts(lang); });
}

std::array<QString, 3> dataWindowHeaders(int lang)
{
    std::array<QString, 3> out;
    if (lang != 0 && lang != 1)
        return out;
    for (int c = 0; c < 3; ++c)
        out[size_t(c)] = QString::fromUtf8(lang == 0 ? kDataHeaders[c].chinese : kDataHeaders[c].english);
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
