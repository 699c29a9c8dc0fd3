#pragma once
// The key chain of the apply routine: every edit key of the setting dialog in
// the order OK tests them, each with the branch that applies it. The keys are
// the item labels of the language in force joined without separator, so the
// chain is formed afresh for each lookup.

#include "texts/textstate.h"

#include <QString>

#include <vector>

class ApplyStep;
enum class ApplyEnd;

// A branch and the argument its row gives it (a channel 1 or 2, a logic
// channel 0..15, ...).
using ApplyBranch = ApplyEnd (*)(ApplyStep &step, int arg);

struct ApplyKeyRow {
    QString key;
    ApplyBranch branch = nullptr;
    int arg = 0;
};

// The whole chain in test order.
std::vector<ApplyKeyRow> ApplyKeyChain();

enum class ApplyKeyState {
    Unmatched, // no row: OK marks the control file modified and closes
    Built,     // a row with its branch
};

// The first row whose key equals key (exact, case-sensitive); null when none.
// The row is copied into *row.
ApplyKeyState FindApplyKey(const QString &key, ApplyKeyRow *row = nullptr);
