#pragma once
// The captions of the waveform and data table windows in both languages.
// Waveform windows: the buttons and their tool tips, the frames, the display
// and cursor boxes and the progress caption. The source boxes ("CH1", "CH2",
// "Math", "LA") read the same in both languages and are not captions; neither
// is the window title (the item's name) nor anything in the picture.
// Data table windows: the two buttons, their tool tips and the three column
// headers; the channel options, the rows and the settings line are not
// captions.

#include <QString>

#include <array>
#include <span>

enum class WaveCaptionTarget { Caption, ToolTip };

struct WaveCaptionRow {
    const char *control; // object name
    WaveCaptionTarget target;
    const char *english;
    const char *chinese;
};

// The rows in the order they are set. The last one, the progress caption,
// has a Chinese text of its own when every open window is captioned at once
// (waveAllWindowsProgressChinese).
std::span<const WaveCaptionRow> waveWindowCaptions();
extern const char *const waveAllWindowsProgressChinese;

// Captions the window of slot (0..17) for lang (1 English, 0 Chinese; any
// other value, or a slot without a window, sets nothing).
void LoadWaveWindowTexts(int slot, int lang);
// The same for every item slot whose window is open.
void LoadAllWaveWindowTexts(int lang);
// Installs LoadAllWaveWindowTexts as the waveform windows' row of the
// language loader table (done whenever a waveform window is made).
void installWaveWindowLoader();

// The data table's column headers, "NO.", time and voltage, in lang (0
// Chinese, 1 English); empty texts for any other lang.
std::array<QString, 3> dataWindowHeaders(int lang);
// Captions the data table window of slot (0..17) for lang (1 English,
// 0 Chinese; any other lang, or a slot without a window, sets nothing).
void LoadDataWindowTexts(int slot, int lang);
// The same for every data item (slots 0..count-1) whose window is open.
void LoadAllDataWindowTexts(int lang);
// Installs LoadAllDataWindowTexts as the data windows' row of the language
// loader table (done whenever a data window is made).
void installDataWindowLoader();
