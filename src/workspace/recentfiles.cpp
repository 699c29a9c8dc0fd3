#include "workspace/recentfiles.h"

#include "app/appstate.h"
#include "platform/settingsstore.h"

namespace {

QString key(int n)
{
    return QStringLiteral("RecentFile%1").arg(n);
}

std::function<void()> &menusChanged()
{
    static std::function<void()> fn;
    return fn;
}

void notify()
{
    if (menusChanged())
        menusChanged()();
}

} // namespace

bool WriteRecentFiles(const QString &section, const QString &path, const RecentMenuState &menu, bool stopOnError)
{
    bool allOk = true;
    auto store = [&](int n, const QString &value) {
        const bool ok = SaveSetting(section, key(n), value);
        allOk = allOk && ok;
        return ok || !stopOnError;
    };
    int found = -1;
    for (int i = 0; i < RecentEntryCount; ++i) {
        if (menu.Captions[size_t(i)] == path) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        // The entries above P move down one place, over P's old place.
        for (int n = found + 1; n >= 2; --n)
            if (!store(n, GetSetting(section, key(n - 1))))
                return false;
    } else {
        for (int n = RecentEntryCount - 1; n >= 1; --n) {
            const QString v = GetSetting(section, key(n));
            if (!v.isEmpty() && !store(n + 1, v))
                return false;
        }
    }
    if (!store(1, path))
        return false;
    return allOk;
}

void UpdateRecentMenu(const QString &section, RecentMenuState *menu)
{
    if (GetSetting(section, key(1)).isEmpty()) {
        menu->RootEnabled = false;
        return;
    }
    menu->RootEnabled = true;
    const auto pairs = GetAllSettings(section);
    for (int k = 0; k < pairs.size() && k < RecentEntryCount; ++k) {
        menu->Captions[size_t(k)] = pairs[k].second;
        menu->Visible[size_t(k)] = true;
    }
}

bool WriteRecentCtrlFiles(const QString &path)
{
    return WriteRecentFiles(QLatin1String(StoreKeys::RecentCtrl), path, app().shell.RecentCtrl, true);
}

bool WriteRecentSheetFiles(const QString &path)
{
    return WriteRecentFiles(QLatin1String(StoreKeys::RecentSheet), path, app().shell.RecentSheet, false);
}

void UpdateRecentCtrlMenu()
{
    UpdateRecentMenu(QLatin1String(StoreKeys::RecentCtrl), &app().shell.RecentCtrl);
    notify();
}

void UpdateRecentSheetMenu()
{
    UpdateRecentMenu(QLatin1String(StoreKeys::RecentSheet), &app().shell.RecentSheet);
    notify();
}

bool AddRecentCtrlFile(const QString &path)
{
    if (!WriteRecentCtrlFiles(path))
        return false;
    UpdateRecentCtrlMenu();
    return true;
}

void AddRecentSheetFile(const QString &path)
{
    WriteRecentSheetFiles(path);
    UpdateRecentSheetMenu();
}

void setRecentMenusChanged(std::function<void()> fn)
{
    menusChanged() = std::move(fn);
}
