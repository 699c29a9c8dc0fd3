#pragma once
// The two recent-file lists of the File menu: control files and data sheets.
// Each lives in its own store section ("RecentFile1" newest .. "RecentFile4")
// and is mirrored in app().shell.RecentCtrl / RecentSheet, which the main
// window shows. Opening or saving a file moves it to the top.

#include <QString>

#include <array>
#include <functional>

namespace StoreKeys {
inline constexpr const char *RecentCtrl = "Recent Ctrl_QM4100D";
inline constexpr const char *RecentSheet = "Recent Sheet_QM4100D";
} // namespace StoreKeys

inline constexpr int RecentEntryCount = 4;

// One recent-file submenu as the File menu shows it.
struct RecentMenuState {
    std::array<QString, RecentEntryCount> Captions{};
    // Entry 0 is there from the start; the others appear once they get a path.
    std::array<bool, RecentEntryCount> Visible{true, false, false, false};
    bool RootEnabled = false;
};

// Store update for path, given the captions the menu shows now. Exact,
// case-sensitive comparison. stopOnError: end at the first failing write and
// return false (the control-file list); otherwise failures are passed over.
bool WriteRecentFiles(const QString &section, const QString &path, const RecentMenuState &menu, bool stopOnError);
// Menu update from the store section, every error ignored: root disabled while
// "RecentFile1" is missing or empty; otherwise the entries take the stored
// paths in order (at most four).
void UpdateRecentMenu(const QString &section, RecentMenuState *menu);

bool WriteRecentCtrlFiles(const QString &path);
bool WriteRecentSheetFiles(const QString &path);
void UpdateRecentCtrlMenu();
void UpdateRecentSheetMenu();

// Called by the controller and the data sheet after a file was opened or saved.
// The control-file variant returns false when the store could not be written.
bool AddRecentCtrlFile(const QString &path);
void AddRecentSheetFile(const QString &path);

// The main window's refresh of both submenus after a change (empty = none).
void setRecentMenusChanged(std::function<void()> fn);
