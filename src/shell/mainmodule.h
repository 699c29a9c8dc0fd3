#pragma once
// The program's start: the language, the splash window while the main window
// loads, then the main window shown. The event loop is the caller's.

class frmMain;

// Gives the application its font: the system font with "Noto Sans CJK SC"
// named for every Chinese text.
void applyProgramFont();

// Runs the start-up sequence and returns the shown main window (owned by the
// caller; it deletes itself when closed only if the caller asks for that).
frmMain *StartProgram();
