#include "common/appstate.h"

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
