#pragma once
// Puts the caption tables onto windows: each row's text in the language goes
// to the named control of the window. Rows whose control the window does not
// have are passed over (a pane with fewer tree nodes stays as it is). A
// language other than 0 or 1 sets nothing.

#include "workspace/captiontables.h"

class QObject;
class QWidget;

void applyCaptions(QWidget *window, std::span<const CaptionRow> rows, int lang);

// Sets text on obj as its caption (menu title, action text, frame title,
// button or label text).
void setCaption(QObject *obj, const QString &text);

// Each dialog and tool window calls its loader from its set-up, with the
// language in force.
void LoadNewDocTexts(QWidget *w, int lang);
void LoadOpenDocTexts(QWidget *w, int lang);
void LoadOptionsTexts(QWidget *w, int lang); // labCurDevice: the fixed text, then app().link.ResourceName
void LoadVirtualPanelTexts(QWidget *w, int lang);
void LoadVirtualKeyTexts(QWidget *w, int lang);
void LoadAdjustTexts(QWidget *w, int lang);
void LoadPassFailTexts(QWidget *w, int lang);
void LoadSplashTexts(QWidget *w, int lang);
void LoadAboutTexts(QWidget *w, int lang);
