#pragma once
// frmWave: the window of one waveform item. A column of controls on the left
// (Refresh, the four source boxes, zoom and best fit, colour scheme, grid,
// cursor boxes, export, print and preview) and, to its right, a scrollable
// container holding the oscilloscope picture and the download progress box.
//
// The window holds its slot as its tag and reads and writes only the record
// of that slot in app().Sheet.WaveDocs; it never owns the record. It draws
// nothing until the first tick of its state timer, which copies the record
// into the controls; from then on every resize lays out and redraws the
// picture: graticule, traces (with labels, logic rows and markers), then the
// cursor overlay, always in that order (redrawPicture).
//
// Refresh (button or F5): once or continuously by the RefreshType option,
// through the transfer engine. Only one continuous refresh runs in the program
// (the flags shared with the data and measure windows). A window closed while
// one of its own handlers still runs (a continuous refresh waiting between
// loads) is hidden at once and deleted when that handler has returned; while
// its load waits inside the transfer it refuses to close.

#include "wave/wavecursors.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>

class ClockTimer;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QScrollArea;
class QScrollBar;
class QToolButton;
struct WaveDoc;

// The picture box: shows the window's picture at its own size and hands the
// mouse on to the window.
class WavePictureBox final : public QWidget {
public:
    explicit WavePictureBox(class frmWave *owner, QWidget *parent);
    QImage image; // the persistent image (what is drawn stays)

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    frmWave *owner_;
    // A press seen and its release not yet: a move with no button held then
    // means the release was lost (a message box took the mouse).
    bool held_ = false;
};

class frmWave final : public QWidget {
    Q_OBJECT
public:
    explicit frmWave(QWidget *parent = nullptr);
    ~frmWave() override;
    // The design size (where the main window's item area places a new window).
    QSize sizeHint() const override;

    // The slot as decimal text, as the data sheet sets it.
    QString tag;
    // The tag as a slot number; -1 when it is not one of 0..17.
    int slot() const;

    // Public operations.
    void Form_Load();
    void Form_Resize();
    void LoadData();
    // The full redraw of the picture at the window's zoom: graticule,
    // traces, cursor overlay. Nothing while the window has not initialised.
    void redrawPicture();
    // The same three steps on any image at any zoom (the picture of a print),
    // the overlay drawn from the cursors given (clamped there).
    void drawPictureAt(QImage &image, double zoom, WaveCursors &overlay);

    // Event handlers (the controls, F5 and the timers call them).
    void cmdRefresh_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void ZoomCombo_Change(const QString &text);
    void BestFitChk_Click();
    void ChkCH_Click(int i);
    void GridCheck_Click();
    void OptionColor_Click();
    void ChkCursorX_Click();
    void ChkCursorY_Click();
    void HScroll_Change();
    void VScroll_Change();
    void cmdExport_Click();
    void cmdPrint_Click();
    void cmdPreview_Click();
    // Mouse on the picture, in picture pixels (any button): the cursor model
    // decides; a move that dragged a cursor redraws the picture, and every move
    // sets the program's pointer to the shape the model asks for.
    void WavePic_MouseDown(double x, double y);
    void WavePic_MouseMove(double x, double y);
    void WavePic_MouseUp(double x, double y);

    // The source boxes' layout: with the logic channels four boxes 240 twips
    // apart, without them three 360 twips apart and the LA box hidden and
    // disabled.
    void layoutChannelBoxes(bool logicChannels);
    // The progress box's colours for the colour scheme (true) or black and white.
    void setProgressColors(bool colorScheme);
    // The download percentage in the progress box; hiding the box.
    void showLoadPercent(const QString &text);
    void hideLoadProgress();

    // Controls, by their names.
    QToolButton *cmdRefresh = nullptr;
    QGroupBox *Frame1 = nullptr;
    QFrame *Frame4 = nullptr;
    QCheckBox *ChkCH[4] = {};
    QGroupBox *Frame2[3] = {};
    QGroupBox *Frame6 = nullptr;
    QComboBox *ZoomCombo = nullptr;
    QCheckBox *BestFitChk = nullptr;
    QFrame *Frame3 = nullptr;
    QRadioButton *OptionColor[2] = {};
    QCheckBox *GridCheck = nullptr;
    QCheckBox *ChkCursorX = nullptr;
    QCheckBox *ChkCursorY = nullptr;
    QToolButton *cmdExport = nullptr;
    QToolButton *cmdPrint = nullptr;
    QToolButton *cmdPreview = nullptr;
    QWidget *BackPic = nullptr;
    WavePictureBox *WavePic = nullptr;
    QFrame *picRefreshProgress = nullptr;
    QLabel *LblRefreshText = nullptr;
    QLabel *LblRefreshValue = nullptr;
    QScrollBar *HScroll = nullptr;
    QScrollBar *VScroll = nullptr;
    // The square between the two bars, covering the picture there.
    QWidget *ScrollCorner = nullptr;
    // The control column; it scrolls when the window is lower than it.
    QScrollArea *ColumnScroll = nullptr;
    QWidget *ColumnPanel = nullptr;

    // The mouse wheel over the picture: scrolls a zoomed picture (across with
    // Shift or a sideways wheel).
    void WavePic_Wheel(QPoint angleDelta, bool across);

    // The picture as last drawn (the persistent image of the picture box).
    const QImage &picture() const { return WavePic->image; }
    double zoomFactor() const { return ZoomFactor; }
    bool initPending() const { return InitPending; }
    // True while the Refresh button shows the Stop pictures.
    bool showsStopPictures() const { return stopPictures_; }
    // True while this window's load waits inside the transfer.
    bool loading() const { return loading_; }
    ClockTimer &timer1() { return *timer1_; }
    ClockTimer &timer2() { return *timer2_; }
    // True once the window has unloaded (it may still wait for a handler).
    bool unloaded() const { return unloaded_; }
    // The window and its frame in the main window's item area (itself when
    // it stands alone).
    QWidget *frame();

    // The measuring cursors (the boxes, the mouse and the overlay share them).
    WaveCursors cursors;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend struct WaveHandlerScope;
    WaveDoc *doc() const;
    bool Form_QueryUnload() const;
    void Form_Unload();
    void setRefreshPictures(bool stop);
    void placeProgressBox();
    void setZoomText(const QString &text);
    void applyZoomText(const QString &text);
    void printOrPreview(bool preview);
    void leaveHandler();
    void setControlsFromRecord();

    std::unique_ptr<ClockTimer> timer1_;
    std::unique_ptr<ClockTimer> timer2_;
    double ZoomFactor = 1.0;
    bool InitPending = true;
    double HScrollRange = 0.0;
    int VScrollRange = 0;
    bool stopPictures_ = false;
    bool loading_ = false;
    bool unloaded_ = false;
    int handlerDepth_ = 0;
};

// Functions for the data sheet.
//
// The window of slot (0..17): created (tag, caption = the item's Name, texts
// of the language in force, source boxes laid out for the logic channels when
// logicChannels) when the slot has none, then shown and raised. Inside the
// main window's item area when the main window exists. nullptr for a slot
// outside 0..17.
frmWave *ShowWaveWindow(int slot, bool logicChannels);
// The window of slot as the data sheet reaches it (adding, restoring,
// activating, renaming an item). A window made here lays its source boxes out
// by the record's DigitalLayout (an added item takes the instrument's logic
// channels, a read one what the file says); an open window is laid out again
// for the instrument's logic channels and the record follows. Either way the
// progress box takes the colours of the record's colour scheme.
frmWave *OpenWaveItemWindow(int slot);
// Closes the window of slot, if any (refused, as a close by the user, while a
// transfer or a waveform load runs). True when no window is left.
bool CloseWaveWindow(int slot);
// True while the window of slot has a load on its stack.
bool WaveWindowLoading(int slot);
// The window of slot, or nullptr.
frmWave *waveWindow(int slot);
// Installs what the transfer engine and the language switch reach the
// waveform windows through (done whenever a waveform window is made).
void installWaveWindowHooks();
