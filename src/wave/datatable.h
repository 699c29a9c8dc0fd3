#pragma once
// The rules of the data table window that need no window: the channel
// options following the instrument's display states, the request a load
// makes, and the widths of the table's columns. Tested directly.

#include <QString>

#include <array>

// The three channel options of a data window in their order.
enum DataChannel { DataCH1 = 0, DataCH2 = 1, DataLA = 2 };
inline constexpr int DataChannelCount = 3;

// The word of option i ("CH1", "CH2", "LA"); empty outside 0..2.
QString dataChannelWord(int option);
// The option a stored word names; -1 for any other text.
int dataChannelOfWord(const QString &word);

// Enabled and selected state of the three options. Selecting one option
// deselects the other two (they share one frame).
struct DataChannelOptions {
    std::array<bool, DataChannelCount> enabled{true, true, true};
    std::array<bool, DataChannelCount> selected{false, false, false};

    void select(int option);
    // The first selected option, or -1.
    int firstSelected() const;
    friend bool operator==(const DataChannelOptions &, const DataChannelOptions &) = default;
};

// One tick of the state timer: the options follow the display states of CH1,
// CH2 and LA (on[i] true when that source is shown on the instrument).
// With all three shown every option is enabled and CH1 is selected when none
// is. Otherwise the options are taken in order: one whose source is off is
// disabled and deselected; one whose source is on is enabled and selected
// when neither of the other two is selected at that moment.
DataChannelOptions followDisplayStates(DataChannelOptions options, const std::array<bool, DataChannelCount> &on);

// The transfer request of a load: 3, 4 or 5 for the selected option CH1,
// CH2 or LA; 0 when a load fetches nothing (no option selected, or the
// selected one disabled).
int dataRequestKind(const DataChannelOptions &options);

// Widths in pixels of the columns "NO.", time and voltage for a table
// tablePx wide: what is left after a 40-pixel margin, split 1 : 2 : 2
// (halves to even). A table narrower than the margin gets zero widths.
std::array<int, 3> dataColumnWidths(int tablePx);

// Rows shown by a table that holds no data: numbered, with empty cells.
inline constexpr int DataEmptyTableRows = 1000;
