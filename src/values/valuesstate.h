#pragma once
// Shared state of the value routines (one member of AppState).

#include <QtGlobal>

struct ValuesState {
    // Set by every reply parser at each call: -1 when the last reply parsed
    // held a value, 0 otherwise. It describes the last call only.
    qint16 ValueValid = 0;
};

// The program's one instance (a member of the application object).
ValuesState &valuesState();
