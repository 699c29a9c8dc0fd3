#include "app/appstate.h"

namespace {
AppState &instance()
{
    static AppState state;
    return state;
}
} // namespace

AppState &app()
{
    return instance();
}

void resetApp()
{
    instance() = AppState{};
}

ValuesState &valuesState()
{
    return instance().values;
}

TextState &textState()
{
    return instance().texts;
}

CtrlSettings &settingsRecord()
{
    return instance().Settings;
}
