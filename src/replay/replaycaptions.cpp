#include "replay/replaycaptions.h"

#include "app/appstate.h"
#include "replay/frmrecordplay.h"
#include "replay/replaypicture.h"
#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

namespace {

constexpr CaptionRow ReplayRows[] = {
    {"cmdRun", -1, CaptionTarget::ToolTip, "Open record file", "打开波形录制文件"},
    {"FlatBttn4", -1, CaptionTarget::ToolTip, "Color", "彩色显示"},
    {"FlatBttn5", -1, CaptionTarget::ToolTip, "Mono Color", "单色显示"},
    {"FlatBttn1", -1, CaptionTarget::ToolTip, "Save to bitmap file", "保存为位图文件"},
    {"FlatBttn2", -1, CaptionTarget::ToolTip, "Print", "打印"},
    {"FlatBttn3", -1, CaptionTarget::ToolTip, "Print Preview", "打印预览"},
    {"AresBtnPlay", 0, CaptionTarget::ToolTip, "Replay", "开始回放"},
    {"AresBtnPlay", 1, CaptionTarget::ToolTip, "Pause", "暂停"},
    {"AresBtnPlay", 2, CaptionTarget::ToolTip, "Stop", "停止"},
    {"AresBtnPlay", 3, CaptionTarget::ToolTip, "Go to start", "指向第一帧"},
    {"AresBtnPlay", 4, CaptionTarget::ToolTip, "Go to end", "指向最后一帧"},
    {"AresBtnPlay", 6, CaptionTarget::ToolTip, "The last frame", "前一帧"},
    {"AresBtnPlay", 5, CaptionTarget::ToolTip, "Then next frame", "后一帧"},
    {"AresBtnPlay", 7, CaptionTarget::ToolTip, "Circulation and single replay", "循环或单次回放"},
    {"AresBtnDefaultTime", -1, CaptionTarget::ToolTip, "Default Time Interval Setting", "设置缺省时间间隔"},
    // The tool bar's buttons carry short captions beside their tool tips.
    {"cmdRun", -1, CaptionTarget::Caption, "Open", "打开"},
    {"FlatBttn1", -1, CaptionTarget::Caption, "BMP", "位图"},
    {"FlatBttn2", -1, CaptionTarget::Caption, "Print", "打印"},
    {"FlatBttn3", -1, CaptionTarget::Caption, "Preview", "预览"},
    {"FlatBttn4", -1, CaptionTarget::Caption, "Color", "彩色"},
    {"FlatBttn5", -1, CaptionTarget::Caption, "Mono", "单色"},
};

frmRecordPlay *windowOf(int slot)
{
    if (slot < 0 || slot >= DataSheet::ReplaySlots)
        return nullptr;
    return qobject_cast<frmRecordPlay *>(app().Sheet.ReplayForms[size_t(slot)].data());
}

} // namespace

std::span<const CaptionRow> replayWindowCaptions() { return ReplayRows; }

void LoadReplayWindowTexts(int slot, int lang)
{
    if (lang != 0 && lang != 1)
        return;
    if (frmRecordPlay *w = windowOf(slot))
        applyCaptions(w, replayWindowCaptions(), lang);
}

QString translateReplayStatusText(const QString &text, int lang)
{
    if (lang != 0 && lang != 1)
        return text;
    const int other = 1 - lang;
    if (text == replayPromptText(other))
        return replayPromptText(lang);
    for (quint8 s : {ReplayInfo::Replaying, ReplayInfo::Paused, ReplayInfo::Stopped})
        if (text == replayStatusWord(s, other))
            return replayStatusWord(s, lang);
    return text;
}

void LoadAllReplayWindowTexts(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    DataSheet &sheet = app().Sheet;
    const int count = std::clamp<int>(sheet.ReplayCount, 0, DataSheet::ReplaySlots);
    for (int i = 0; i < count; ++i) {
        ReplayInfo &rec = sheet.Replays[size_t(i)];
        if (!rec.WindowOpen)
            continue;
        frmRecordPlay *w = windowOf(i);
        if (!w)
            continue;
        applyCaptions(w, replayWindowCaptions(), lang);
        rec.StatusText = translateReplayStatusText(rec.StatusText, lang);
        w->drawStatusText(rec.StatusText, rec.StatusText != replayPromptText(lang));
    }
}

void installReplayLanguageLoader()
{
    setLanguageLoader(LanguageLoader::LoadAllReplayWindowTexts, [](int lang) { LoadAllReplayWindowTexts(lang); });
}
