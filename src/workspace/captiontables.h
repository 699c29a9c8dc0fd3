#pragma once
// The caption tables of the main window, its two panes and the dialogs and
// tool windows: for each control, the text in English and in Chinese. Texts
// are exact: leading and trailing blanks belong to them.
//
// A row names its control by object name. An element of a control array is
// named "<array>_<index>" (NewOption_2); tabs, tree nodes and toolbar buttons
// are addressed by their number (from 1) inside the named control.

#include <QString>

#include <span>

enum class CaptionTarget {
    WindowTitle, // the window's own title (control is empty)
    Caption,     // caption of a menu, frame, label, check box, option or button
    ToolTip,     // tool tip of a control
    TabText,     // tab number index (from 1) of the named tab widget
    TreeNode,    // text of node number index (from 1) of the named tree
    ToolbarTip,  // tool tip of toolbar position index (from 1, separators counted)
};

struct CaptionRow {
    const char *control; // object name; "" for the window itself
    int index;           // array element, tab, node or toolbar position; -1 when none
    CaptionTarget target;
    const char *english;
    const char *chinese;
};

// The row's text in lang (0 Chinese, 1 English); empty for any other lang.
QString captionText(const CaptionRow &row, int lang);
// The object name a row addresses: control, or "<control>_<index>" for an
// element of a control array (Caption and ToolTip rows with an index).
QString captionObjectName(const CaptionRow &row);

// The program's version and the engineering version message.
inline constexpr const char *ProgramVersion = "00.01.04";
QString engineeringVersionMessage();

// Main window and panes.
std::span<const CaptionRow> mainMenuCaptions();
std::span<const CaptionRow> mainToolbarCaptions();
std::span<const CaptionRow> dataSheetTreeMenuCaptions();
std::span<const CaptionRow> ctrlListMenuCaptions();
std::span<const CaptionRow> dataSheetTreeCaptions();
std::span<const CaptionRow> controllerCaptions();

// Dialogs and tool windows.
std::span<const CaptionRow> newDocCaptions();
std::span<const CaptionRow> openDocCaptions();
std::span<const CaptionRow> optionsCaptions(); // labCurDevice: the fixed part before the resource name
std::span<const CaptionRow> virtualPanelCaptions();
std::span<const CaptionRow> virtualKeyCaptions();
std::span<const CaptionRow> adjustCaptions();
std::span<const CaptionRow> passFailCaptions();
std::span<const CaptionRow> splashCaptions();
std::span<const CaptionRow> aboutCaptions();
