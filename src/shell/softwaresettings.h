#pragma once
// The general settings of the program in the settings store: the start-up
// options, the link settings, the refresh settings and the main window's
// rectangle (in twips). Read once when the main window loads, written once
// when it unloads.

#include <QRect>
#include <QString>

namespace StoreKeys {
inline constexpr const char *General = "General_QM4100D";
inline constexpr const char *StartupCheckHardware = "StartupCheckHardware";
inline constexpr const char *StartupLoadSheet = "StartupLoadSheet";
inline constexpr const char *StartupLoadCtrl = "StartupLoadCtrl";
inline constexpr const char *IoSettings = "IO Settings_QM4100D";
inline constexpr const char *ScopeIOType = "ScopeIOType";
inline constexpr const char *ComPort = "COM_Port";
inline constexpr const char *BaudRate = "BaudRate";
inline constexpr const char *GpibAddr = "GPIB_Addr";
inline constexpr const char *Refresh = "Refresh_QM4100D";
inline constexpr const char *RefreshType = "Refresh Type";
inline constexpr const char *RefreshInterval = "Refresh Interval";
inline constexpr const char *WindowSettings = "Settings_QM4100D";
inline constexpr const char *MainLeft = "MainLeft";
inline constexpr const char *MainTop = "MainTop";
inline constexpr const char *MainWidth = "MainWidth";
inline constexpr const char *MainHeight = "MainHeight";
// The panes' places and sizes (the main window's saved state, base64).
inline constexpr const char *MainLayout = "MainLayout";
} // namespace StoreKeys

// A window rectangle in twips (1440 per inch: 15 per pixel at 96 dpi).
struct TwipsRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// Twips per pixel of the primary screen (15 at 96 dpi).
double twipsPerPixel();
TwipsRect pixelsToTwips(const QRect &px, double perPixel);
QRect twipsToPixels(const TwipsRect &tw, double perPixel);

// The usual text-to-flag reading: "True"/"False" (any letter case) or a
// number, non-zero meaning true. False when the text is neither.
bool readFlag(const QString &text, bool *out);
// (Whole numbers: StoredLong of the settings store.)
// A single-precision number; false when the text is not one.
bool readSingle(const QString &text, double *out);

// Reads the options into app().shell, each key with its default; a value that
// does not convert leaves its global as it was. A stored serial link kind (2)
// is read as VISA (0). The chosen USB resource is forgotten. rect is updated
// field by field in the same way (it holds the window's current rectangle on
// entry).
void LoadSoftwareSetting(TwipsRect *rect);

// True once a rectangle of the main window has been stored (any of its four
// keys); the first start has none.
bool HasStoredWindowRect();

// The main window's rectangle at the first start: three quarters of the
// available area of its screen, centred on it.
QRect firstStartWindowRect(const QRect &available);

// Writes the options, then rect unless it is null (a minimised window keeps
// the stored rectangle of the last run). Stops at the first failing write;
// returns false then.
bool SaveSoftwareSetting(const TwipsRect *rect);

// A stored rectangle that lies off every screen (less than a 32-pixel square
// of it visible on any of them) is moved onto the primary screen's available
// area; its size is kept unless it exceeds that area. screens: the available
// areas of all screens, primary first.
QRect placeOnScreens(const QRect &r, const QList<QRect> &screens);
