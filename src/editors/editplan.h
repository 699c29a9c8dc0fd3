#pragma once
// What the setting-edit dispatcher makes of one double-clicked node: which
// dialog it prepares and with what (frame caption, list entries and the value
// to preselect, or the entry text and its unit buttons, and the edit key), or
// which direct action it runs. Window-free: the dispatcher
// (editors/prasectrllist.h) puts a plan into the dialog.
//
// Labels and words are those of the language in force, so a path, a key and
// a list are always in one language. The only instrument exchange is the
// time/div list's format query.

#include "editors/ctrlpath.h"

#include <QString>
#include <QStringList>

#include <array>

enum class EditDialogKind {
    None,      // a direct action, or nothing at all
    List,      // CtrlDialog with the choice list
    Entry,     // CtrlDialog with the number entry and unit buttons
    Threshold, // CtrlDialog with list and entry together (LA threshold)
    Adjust,    // CtrlDialogAdjust (a channel's volts/div)
};

enum class DirectAction { None, AutoSet, Trig50, ForceTrigger, LaReset, DisplayClear, VirtualPanel };

// The unit buttons cmdEnter(0) .. (4).
enum UnitButton : int { UnitMilli = 0, UnitMicro = 1, UnitNano = 2, UnitPico = 3, UnitMilliVolt = 4 };
inline constexpr int UnitButtonCount = 5;

struct EditPlan {
    EditDialogKind dialog = EditDialogKind::None;
    DirectAction action = DirectAction::None;
    // CtrlSettingKey for the dialog: the labels joined without separator; a
    // single blank where no setting dialog opens.
    QString key = QStringLiteral(" ");
    // The frame's caption (CtrlDialog) or FrameAdjust's (CtrlDialogAdjust).
    QString caption;
    // The list's entries in order, and the text given to the list, which
    // selects the equal entry (or nothing).
    QStringList choices;
    QString listText;
    // The entry's text, the unit buttons shown, and whether the entry and the
    // buttons "m", "u", "n", "p" are enabled (only the threshold disables them).
    QString inputText;
    std::array<bool, UnitButtonCount> units{};
    bool inputEnabled = true;
    // CtrlDialogAdjust: the channel (0 CH1, 1 CH2), the read-out text and
    // whether the fine option is preselected.
    int adjustMode = -1;
    bool adjustFine = false;
};

EditPlan PlanCtrlEdit(const CtrlPathParts &parts);

// The LA threshold entry's first text for a stored threshold that is not a
// preset: trailing characters come off until a number remains (the empty text
// when none does); a unit prefix before the "V" scales it, so "1.40V" gives
// "1.40" and "140mV" gives "0.14".
QString ThresholdEntryText(const QString &stored);

// The preset entry text of a threshold choice: "1.4" for "TTL", "-1.3" for
// "ECL", "2.5" for "CMOS", "1.0" for any other choice (the user word).
QString ThresholdPreset(const QString &choice);
// True for the three preset families "TTL", "ECL", "CMOS".
bool IsThresholdPreset(const QString &choice);
