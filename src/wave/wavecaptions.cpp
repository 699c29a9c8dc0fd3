#include "wave/wavecaptions.h"

#include "app/appstate.h"
#include "texts/loadlanguage.h"
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

void applyTo(frmWave *w, int lang, bool allWindows)
{
    const int last = int(std::size(kRows)) - 1;
    for (int i = 0; i <= last; ++i) {
        const WaveCaptionRow &row = kRows[i];
        const char *chinese = allWindows && i == last ? waveAllWindowsProgressChinese : row.chinese;
        const QString text = QString::fromUtf8(lang == 0 ? chinese : row.english);
        QWidget *control = w->findChild<QWidget *>(QLatin1String(row.control));
        if (!control)
            continue;
        if (row.target == T::ToolTip)
            control->setToolTip(text);
        else
            setCaption(control, text);
    }
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
