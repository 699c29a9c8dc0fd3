#pragma once
// The captions of the measure windows in both languages: the three buttons,
// their tool tips and the five column headers of the table. The channel
// options ("CH1", "CH2") and the rows are not captions (the rows follow the
// language through DispMeasure).

#include <span>

enum class MeasureCaptionTarget { Caption, ToolTip, Header };

struct MeasureCaptionRow {
    const char *control; // object name
    int column;          // header column (0-based); -1 for the other rows
    MeasureCaptionTarget target;
    const char *english;
    const char *chinese;
};

// The rows in the order they are set.
std::span<const MeasureCaptionRow> measureWindowCaptions();

// Captions the window of slot (0..17) for lang (1 English, 0 Chinese; any
// other value, or a slot without a window, sets nothing). The rows of its
// table are left as they are.
void LoadMeasureWindowTexts(int slot, int lang);
// For every item slot whose window is open: its captions, then its table
// drawn again (DispMeasure). Any lang other than 0 and 1 does nothing.
void LoadAllMeasureWindowTexts(int lang);
// Installs LoadAllMeasureWindowTexts as the measure windows' row of the
// language loader table (done whenever a measure window is made; the main
// window may do it at its load).
void installMeasureWindowLoader();
