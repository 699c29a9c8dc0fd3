// Reads arbitrary bytes as the settings store's INI file, as a hand-edited or
// damaged store would come, through everything the program reads from it: the
// options (flags, numbers, the serial settings, the refresh and the window
// rectangle), the language and the two recent-file lists.
//
// Invariants: what is read from the store stays in its range (a language of
// 0 or 1, at most four recent entries, a window of bounded size placed on a
// screen, the transfer dialog's stored place on the screen or at its
// fallback); what the program reads and writes back reads again the same
// (options, language, the transfer dialog's place, any text value); the
// recent list puts the path just opened first and keeps the others in order;
// the transfer dialog placed over a window's picture (the stored window
// rectangle's) covers none of the controls it must keep clear and stays on
// the screen.
//
// Input: the INI file, then (after the first NUL byte, when there is one) a
// text written as a value and as the path added to the recent lists.

#include "app/appstate.h"
#include "link/link.h"
#include "platform/serialport/serialsettings.h"
#include "platform/settingsstore.h"
#include "shell/softwaresettings.h"
#include "texts/loadlanguage.h"
#include "texts/textstate.h"
#include "transfer/dialogplace.h"
#include "values/numbertext.h"
#include "workspace/recentfiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir *gDir = nullptr;

struct Options {
    bool check, sheet, ctrl;
    qint32 ioType, port, gpib, interval;
    QString baud, refreshType;
    double left, top, width, height;
    bool operator==(const Options &) const = default;
};

Options loadOptions()
{
    resetApp();
    TwipsRect r;
    r.Left = -1;
    LoadSoftwareSetting(&r);
    const ShellState &s = app().shell;
    const LinkState &l = app().link;
    return {s.StartupCheckHardware, s.StartupLoadSheet, s.StartupLoadCtrl, l.IoType, l.ComPortNumber,
            s.GpibAddress, s.RefreshInterval, l.BaudRateText, s.RefreshType, r.Left, r.Top, r.Width, r.Height};
}

void checkOptions()
{
    const Options once = loadOptions();
    if (app().link.IoType == IoTypeSerial)
        std::abort(); // every run starts on VISA
    for (double v : {once.left, once.top, once.width, once.height})
        if (!std::isfinite(v) || std::fabs(v) > 3.5e38)
            std::abort();
    // Written back (as the unload does) and read again: the same options.
    const TwipsRect r{once.left, once.top, once.width, once.height};
    if (!SaveSoftwareSetting(&r))
        return; // a store that cannot be written is passed over
    const Options twice = loadOptions();
    // The rectangle is stored in whole twips.
    Options rounded = once;
    for (double *v : {&rounded.left, &rounded.top, &rounded.width, &rounded.height})
        *v = double(float(std::round(*v)));
    if (!(twice == rounded))
        std::abort();

    // The window the rectangle gives: bounded, and on a screen.
    const QRect px = twipsToPixels(r, 15.0);
    if (px.width() < 100 || px.width() > 20000 || px.height() < 100 || px.height() > 20000
        || std::abs(px.x()) > 100000 || std::abs(px.y()) > 100000)
        std::abort();
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QRect placed = placeOnScreens(px, screens);
    bool visible = false;
    for (const QRect &sc : screens) {
        const QRect in = placed.intersected(sc);
        visible = visible || (in.width() >= 32 && in.height() >= 32);
    }
    if (!visible && !(placed.topLeft() == screens[0].topLeft() && placed.width() <= 1920 && placed.height() <= 1080))
        std::abort();

    // The serial settings the serial link would open with, and the rate the
    // VISA link asks for.
    if (const auto ss = parseSerialSettings(once.baud.trimmed() + QStringLiteral(",n,8,1"))) {
        if (ss->baud < 50 || ss->baud > 4000000 || parseSerialSettings(serialSettingsText(*ss)) != ss)
            std::abort();
    }
    (void)ReadNumber(once.baud);
}

// The transfer dialog's stored place, read on two screens.
void checkDialogPlace()
{
    const QString section = QString::fromLatin1(ProgressSection);
    const int dw = 4515, dh = 690; // the dialog, in twips
    const int left = StoredCoordinate(GetSetting(section, QLatin1String(ProgressLeftKey), QStringLiteral("500")),
                                      DefaultProgressLeft);
    const int top = StoredCoordinate(GetSetting(section, QLatin1String(ProgressTopKey), QStringLiteral("800")),
                                     DefaultProgressTop);
    for (const QSize screen : {QSize(1920 * 15, 1080 * 15), QSize(640 * 15, 480 * 15)}) {
        const QPoint p = TransferDialogPlace(screen.width(), screen.height(), dw, dh);
        const bool xOn = left <= screen.width() && left >= -dw;
        const bool yOn = top <= screen.height() && top >= -dh;
        if (p.x() != (xOn ? left : 400) || p.y() != (yOn ? top : 600))
            std::abort();
    }
    // Written as the close writes it, and read again (a store that cannot
    // be written is passed over).
    if (!SaveSetting(section, QLatin1String(ProgressLeftKey), QString::number(left)))
        return;
    const QPoint place = TransferDialogPlace(1920 * 15, 1080 * 15, dw, dh);
    SaveTransferDialogPlace(place);
    if (TransferDialogPlace(1920 * 15, 1080 * 15, dw, dh) != place)
        std::abort();
}

// The dialog placed over a picture, clear of the controls around it.
void checkPlaceOver(const QRect &picture, QPoint fallback)
{
    const QSize dialog(301, 46);
    const QRect screen(0, 0, 1920, 1080);
    const QList<QRect> keepClear{QRect(picture.right() - 80, picture.top() - 30, 80, 24),
                                 QRect(picture.left(), picture.bottom() - 20, 40, 40)};
    const QPoint p = PlaceOver(dialog, picture, keepClear, screen, fallback);
    if (p == fallback)
        return;
    const QRect r(p, dialog);
    for (const QRect &k : keepClear)
        if (r.intersects(k))
            std::abort();
    if (!screen.contains(r))
        std::abort();
    const QPoint q = PlaceClearOf(fallback, dialog, picture, keepClear, screen);
    if (q != fallback && q != p)
        std::abort();
}

void checkLanguage()
{
    for (int start : {0, 1}) {
        textState().LanguageIndex = start;
        LoadLanguageSetting();
        const int lang = textState().LanguageIndex;
        if (lang != 0 && lang != 1)
            std::abort();
        qint32 stored = 0;
        const QString text = GetSetting(QLatin1String(LanguageSection), QLatin1String(LanguageKey), QStringLiteral("1"));
        if (!StoredLong(text, &stored) && lang != start)
            std::abort(); // not a number: the language stays
    }
    SaveLanguageSetting();
    const int saved = textState().LanguageIndex;
    textState().LanguageIndex = 1 - saved;
    LoadLanguageSetting();
    if (textState().LanguageIndex != saved)
        std::abort();
}

void checkRecent(const QString &path)
{
    static const QRegularExpression recentKey(QStringLiteral("\\ARecentFile[1-4]\\z"));
    for (const char *section : {StoreKeys::RecentCtrl, StoreKeys::RecentSheet}) {
        const QString sec = QLatin1String(section);
        RecentMenuState menu;
        UpdateRecentMenu(sec, &menu);
        int shown = 0;
        for (int i = 0; i < RecentEntryCount; ++i)
            shown += menu.Visible[size_t(i)] ? 1 : 0;
        if (menu.RootEnabled && shown < 1)
            std::abort();
        // The program's own four keys only, each holding a text, and no
        // place left out before the last (the list grows from RecentFile1,
        // so the menu's places are the keys' numbers): the list is theirs
        // in order.
        bool own = true;
        const auto pairs = GetAllSettings(sec);
        for (const auto &p : pairs)
            own = own && recentKey.match(p.first).hasMatch();
        int present = 0;
        for (int n = 1; n <= RecentEntryCount; ++n)
            present += HasSetting(sec, QStringLiteral("RecentFile%1").arg(n)) ? 1 : 0;
        own = own && present == pairs.size();
        for (int n = 1; n <= present; ++n)
            own = own && HasSetting(sec, QStringLiteral("RecentFile%1").arg(n));
        if (path.isEmpty() || !own)
            continue;
        if (!WriteRecentFiles(sec, path, menu, false))
            continue;
        RecentMenuState after;
        UpdateRecentMenu(sec, &after);
        if (!after.RootEnabled || after.Captions[0] != path)
            std::abort();
        // The others follow in their stored order (a hidden entry may come
        // back into view), the path's old entry gone.
        QStringList before;
        for (const auto &p : pairs)
            if (p.second != path)
                before << p.second;
        int at = 0;
        for (int i = 1; i < RecentEntryCount && after.Visible[size_t(i)]; ++i) {
            while (at < before.size() && before[at] != after.Captions[size_t(i)])
                ++at;
            if (at == before.size() && GetSetting(sec, QStringLiteral("RecentFile%1").arg(i + 1)).isEmpty())
                std::abort();
            ++at;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // On a memory file system when there is one: the store is written and
    // read many times for every input.
    gDir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gDir->isValid())
        std::abort();
    std::atexit([] { delete gDir; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = all.indexOf('\0');
    const QByteArray ini = nul < 0 ? all : all.left(nul);
    const QString value = nul < 0 ? QString() : QString::fromUtf8(all.mid(nul + 1));

    const QString path = gDir->path() + QStringLiteral("/store.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(ini);
    }
    setSettingsFile(path);

    // Every whole number read from the store.
    for (const char *section : {"General_QM4100D", "IO Settings_QM4100D", "Refresh_QM4100D", "Settings_QM4100D"})
        for (const auto &p : GetAllSettings(QLatin1String(section))) {
            qint32 v = 0;
            if (StoredLong(p.second, &v) && std::fabs(double(v) - p.second.trimmed().toDouble()) > 0.5)
                std::abort();
        }

    checkOptions();
    checkDialogPlace();
    {
        // The window the store's rectangle gives, as a picture to place over.
        const Options o = loadOptions();
        const QRect px = twipsToPixels(TwipsRect{o.left, o.top, o.width, o.height}, 15.0);
        checkPlaceOver(px.intersected(QRect(-5000, -5000, 10000, 10000)), QPoint(o.left > 0 ? 7 : -3, 11));
    }
    checkLanguage();
    checkRecent(value);

    // Any text written reads back the same.
    if (SaveSetting(QStringLiteral("Fuzz"), QStringLiteral("Value"), value)
        && GetSetting(QStringLiteral("Fuzz"), QStringLiteral("Value"), QStringLiteral("missing")) != value)
        std::abort();

    setSettingsFile(QString());
    resetApp();
    return 0;
}
