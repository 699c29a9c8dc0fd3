#include "storedwave/storedwavecaptions.h"

#include "app/appstate.h"
#include "storedwave/frmopenwaveform.h"
#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

#include <QWidget>

#include <algorithm>

namespace {

constexpr CaptionRow StoredWaveRows[] = {
    {"Frame1", -1, CaptionTarget::Caption, "Open", "打开"},
    {"FlatBttn1", -1, CaptionTarget::Caption, " File", "文件 ."},
    {"Frame2", 0, CaptionTarget::Caption, "Display", "显示"},
    {"Frame6", -1, CaptionTarget::Caption, "Zoom", "缩放"},
    {"OptionColor", 0, CaptionTarget::Caption, "Color", "彩色"},
    {"OptionColor", 1, CaptionTarget::Caption, "B&&W", "黑白"},
    {"GridCheck", -1, CaptionTarget::Caption, "Grid", "网格"},
    {"Frame2", 2, CaptionTarget::Caption, "Cursor", "光标"},
    {"ChkCursorX", -1, CaptionTarget::Caption, "CursorX", "光标X"},
    {"ChkCursorY", -1, CaptionTarget::Caption, "CursorY", "光标Y"},
    {"Frame2", 1, CaptionTarget::Caption, "Output", "输出"},
    {"FlatBttn4", -1, CaptionTarget::Caption, "       Bitmap", "       位图 ."},
    {"cmdPrint", -1, CaptionTarget::Caption, "       Print", "       打印 ."},
    {"cmdPreview", -1, CaptionTarget::Caption, "     Preview", "  预览 ."},
    {"Reset", -1, CaptionTarget::Caption, "Reset", "复位"},
    {"Label4", -1, CaptionTarget::Caption, "Time/Div", "时基"},
    {"FlatBttn1", -1, CaptionTarget::ToolTip, "Open waveform File", "打开波形文件"},
    {"FlatBttn3", -1, CaptionTarget::ToolTip, "Output CSV", "输出CSV文件"},
    {"FlatBttn4", -1, CaptionTarget::ToolTip, "Output Bitmap", "输出位图文件"},
    {"cmdPrint", -1, CaptionTarget::ToolTip, "Print", "打印"},
    {"cmdPreview", -1, CaptionTarget::ToolTip, "Print Preview", "打印预览"},
};

QWidget *windowOf(int slot)
{
    if (slot < 0 || slot >= DataSheet::StoredWaveSlots)
        return nullptr;
    return app().Sheet.StoredWaveForms[size_t(slot)].data();
}

} // namespace

std::span<const CaptionRow> storedWaveWindowCaptions() { return StoredWaveRows; }

void LoadStoredWaveWindowTexts(int slot, int lang)
{
    if (lang != 0 && lang != 1)
        return;
    if (QWidget *w = windowOf(slot)) {
        applyCaptions(w, storedWaveWindowCaptions(), lang);
        if (auto *f = qobject_cast<frmOpenWaveform *>(w))
            f->fitTimeGroup();
    }
}

void LoadAllStoredWaveWindowTexts(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    DataSheet &sheet = app().Sheet;
    const int count = std::clamp<int>(sheet.StoredWaveCount, 0, DataSheet::StoredWaveSlots);
    for (int i = 0; i < count; ++i)
        if (sheet.StoredWaves[size_t(i)].SlotUsed)
            LoadStoredWaveWindowTexts(i, lang);
}

void installStoredWaveLanguageLoader()
{
    setLanguageLoader(LanguageLoader::LoadAllStoredWaveWindowTexts, [](int lang) { LoadAllStoredWaveWindowTexts(lang); });
}
