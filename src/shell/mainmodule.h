#pragma once
// The program's start: the language, the splash window while the main window
// loads, then the main window shown. The event loop is the caller's.

#include <functional>

class frmMain;

// Gives the application its font: the system font with "Noto Sans CJK SC"
// named for every Chinese text.
void applyProgramFont();

// The application's names, font and icon; the first step of every start.
void prepareApplication();

// Runs the start-up sequence and returns the shown main window (owned by the
// caller; it deletes itself when closed only if the caller asks for that).
frmMain *StartProgram();

// The whole program: the application object, prepareApplication(), then
// beforeStart (when given: what a variant of the program adds before the
// start-up runs, such as a simulated instrument), StartProgram() and the event
// loop. Returns the loop's exit code.
int RunProgram(int &argc, char **argv, const std::function<void()> &beforeStart = {});
