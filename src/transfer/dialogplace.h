#pragma once
// Where the transfer dialog and the CSV progress dialog open. Positions and
// sizes are in twips (15 per pixel), the unit the stored position has always
// been kept in.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

inline constexpr int TwipsPerPixel = 15;

// Settings store section and keys of the transfer dialog's position.
inline constexpr const char *ProgressSection = "Settings_QM4100D";
inline constexpr const char *ProgressLeftKey = "ProgressLeft";
inline constexpr const char *ProgressTopKey = "ProgressTop";
inline constexpr int DefaultProgressLeft = 500;
inline constexpr int DefaultProgressTop = 800;

// A stored coordinate: the whole number the text holds (a fraction rounds
// half to even), or fallback when the text is not a number or the value
// lies outside 16 bits.
int StoredCoordinate(const QString &text, int fallback);

// The off-screen rule: a left edge beyond the screen's width or left of minus
// the dialog's width becomes 400; a top beyond the screen's height or above
// minus the dialog's height becomes 600. Strict comparisons.
QPoint KeepOnScreen(QPoint topLeft, int screenWidth, int screenHeight, int dialogWidth, int dialogHeight);

// The transfer dialog's place: the stored position (defaults 500, 800), then
// the off-screen rule.
QPoint TransferDialogPlace(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight);
// Stores the transfer dialog's position as decimal texts.
void SaveTransferDialogPlace(QPoint topLeft);

// The CSV progress dialog's place: centred (the left edge in single
// precision, then whole twips; the top rounded half to even), then the
// off-screen rule.
QPoint CentredDialogPlace(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight);

// The transfer dialog's place in pixels on a screen where a window waits for
// it. at: the place it would take (its stored place). Kept when the dialog
// there covers none of keepClear (the waiting window's Refresh/Stop button,
// the pane headers); otherwise the first clear one of: centred at the foot of
// picture (the waiting window's picture), centred on it, centred at its top,
// each moved inside screen. When none is clear, at.
QPoint PlaceClearOf(QPoint at, QSize dialog, const QRect &picture, const QList<QRect> &keepClear,
                    const QRect &screen);

// The transfer dialog's place in pixels over picture (the waiting window's
// picture, or the main window's item area): the first of PlaceClearOf's three
// places that covers none of keepClear; fallback when none does or picture is
// empty.
QPoint PlaceOver(QSize dialog, const QRect &picture, const QList<QRect> &keepClear, const QRect &screen,
                 QPoint fallback);
