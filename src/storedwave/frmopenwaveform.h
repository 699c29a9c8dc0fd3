#pragma once
// frmOpenWaveform: the viewer window of one memory waveform item. Its tag is
// its slot in app().Sheet.StoredWaves; every routine reads the record of that
// slot and caches nothing of it. It holds the controls and calls the file
// reader, the screen data, the picture layers and the info panel.
//
// The data sheet reaches it through the plain functions at the end.

#include "common/storedwave.h"
#include "storedwave/storedcursors.h"
#include "storedwave/storedmouse.h"
#include "workspace/scrolledcontents.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <memory>

class ClockTimer;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QToolButton;
enum class ScaleTarget : quint8;

// A surface that shows the picture the window draws into and hands its mouse
// events to the window.
class StoredWaveSurface final : public QWidget {
    Q_OBJECT
public:
    explicit StoredWaveSurface(QWidget *parent = nullptr);
    QImage image;

signals:
    void mouseDown(float x, float y);
    void mouseMove(float x, float y);
    void mouseUp(float x, float y);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    // A press seen and its release not yet: a move with no button held then
    // means the release was lost (a message box took the mouse).
    bool held_ = false;
};

class frmOpenWaveform final : public QWidget {
    Q_OBJECT
public:
    // The zoom's bounds: 1 % and 1000 %.
    static constexpr double MinZoom = 0.01;
    static constexpr double MaxZoom = 10.0;

    explicit frmOpenWaveform(int slot, QWidget *parent = nullptr);
    ~frmOpenWaveform() override;

    // The design size: the frames, the panel and a whole picture at 200 %.
    QSize sizeHint() const override;
    // The frames' column whole and room for some of the picture.
    QSize minimumSizeHint() const override;

    int slot() const { return slot_; }
    // The data sheet moves the window to another slot and then calls Form_Load.
    void setSlot(int slot) { slot_ = slot; }

    // Public operations.
    void DrawScrGrid();
    void DrawOSC();
    void Form_Load();

    // Events and buttons (public for the data sheet and the tests).
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Resize();
    void Form_Unload();
    void OpenWaveformFile();   // FlatBttn1
    void GridCheck_Click();
    void OptionColor_Click(int index);
    void Reset_Click();
    void ZoomCombo_Click();    // an entry picked or a typed factor committed
    void HScroll_Change();
    void VScroll_Change();
    void ScaleButton_MouseDown(ScaleTarget target, int direction);
    void ScaleButton_MouseUp(ScaleTarget target);
    void ChkCursorX_Click();
    void ChkCursorY_Click();
    void MemoryWavePic_MouseDown(float x, float y);
    void MemoryWavePic_MouseMove(float x, float y);
    void MemoryWavePic_MouseUp();
    void ExportCsv();              // FlatBttn3
    void ExportStoredBitmap();     // FlatBttn4
    void PrintStoredPicture();     // cmdPrint
    void PreviewStoredPicture();   // cmdPreview
    void RedrawWave();
    void DrawCursors();
    void RefreshScreenData(int selector);

    bool initPending() const { return initPending_; }
    double zoomFactor() const { return zoomFactor_; }
    // True while a file load (its dialog included) or a CSV export runs.
    bool loading() const { return loading_ || exporting_; }
    const QImage &picture() const;
    QWidget *pictureWidget() const;
    StoredWave &rec() const;

    // Controls, by their names.
    QToolButton *FlatBttn1 = nullptr;
    QToolButton *FlatBttn3 = nullptr;
    QToolButton *FlatBttn4 = nullptr;
    QToolButton *cmdPrint = nullptr;
    QToolButton *cmdPreview = nullptr;
    QCheckBox *ChkCursorX = nullptr;
    QCheckBox *ChkCursorY = nullptr;
    QCheckBox *GridCheck = nullptr;
    std::array<QRadioButton *, 2> OptionColor{};
    QComboBox *ZoomCombo = nullptr;
    QToolButton *Reset = nullptr;
    QGroupBox *framRefresh = nullptr;
    QGroupBox *framVoltDiv = nullptr;
    QGroupBox *framTimeDiv = nullptr;
    QGroupBox *framAltTimeDiv = nullptr;
    QLabel *lblCH1 = nullptr;
    QLabel *lblCH2 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtCH1Div = nullptr;
    QLineEdit *txtCH2Div = nullptr;
    QLineEdit *txtTimeDiv = nullptr;
    QLineEdit *txtCH1TimeDiv = nullptr;
    QLineEdit *txtCH2TimeDiv = nullptr;
    QToolButton *abtnCH1DivDec = nullptr;
    QToolButton *abtnCH1DivInc = nullptr;
    QToolButton *abtnCH2DivDec = nullptr;
    QToolButton *abtnCH2DivInc = nullptr;
    QToolButton *abtnTimeDivDec = nullptr;
    QToolButton *abtnTimeDivInc = nullptr;
    QToolButton *abtnCH1TimeDivDec = nullptr;
    QToolButton *abtnCH1TimeDivInc = nullptr;
    QToolButton *abtnCH2TimeDivDec = nullptr;
    QToolButton *abtnCH2TimeDivInc = nullptr;
    QWidget *BackPic = nullptr;
    QScrollBar *HScroll = nullptr;
    QScrollBar *VScroll = nullptr;
    QFrame *picRefreshProgress = nullptr;
    QLabel *LblRefreshText = nullptr;
    QLabel *LblRefreshValue = nullptr;

    StoredCursors &cursors() { return cursors_; }
    // Where the cursor lines lie on the picture at the window's zoom.
    StoredCursorLines cursorLines() const { return storedCursorLines(cursors_, rec().SplitScreen, zoomFactor_); }
    const StoredMouse &mouse() const { return mouse_; }
    // The picture of the last print or preview (for tests).
    const QImage &lastPrintPicture() const { return printPicture_; }
    double hScrollRange() const { return hScrollRange_; }
    double vScrollRange() const { return vScrollRange_; }
    ClockTimer &scaleRepeatTimer() { return *Timer2; }
    // Lays the time/div group out for its label's text (after a language
    // change as after a layout of the panel).
    void fitTimeGroup();
    // The same from a panel width and a place of Reset not yet applied.
    void fitTimeGroup(int refreshWidth, int resetLeft);
    // The least size of the window's contents: the column of frames, and the
    // info panel whole beside it when it is shown. A smaller window scrolls
    // its contents.
    QSize leastContentSize() const;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildControls();
    QToolButton *scaleButton(QWidget *parent, const char *name, ScaleTarget target, int direction);
    void LayoutMemoryWaveInfo();
    void setScaleText(ScaleTarget target);
    void colorProgressBox();
    void markModified();
    void drawLayers();
    void movePicture();
    void printOrPreview(bool preview);
    void setPointer(StoredPointer pointer);

    int slot_;
    ScrolledContents scroll_;
    QSize fittedLeast_; // the least size of the last layout
    std::unique_ptr<ClockTimer> Timer1;
    std::unique_ptr<ClockTimer> Timer2;
    bool initPending_ = false;
    bool unloaded_ = false;
    bool loading_ = false;
    bool exporting_ = false;
    double zoomFactor_ = 1.0;
    double hScrollRange_ = 0.0;
    double vScrollRange_ = 0.0;
    quint8 scaleStepTarget_ = 0;
    int scaleStepDirection_ = 1;
    StoredCursors cursors_;
    StoredMouse mouse_;
    QImage printPicture_;
    StoredWaveSurface *MemoryWavePic = nullptr;
};

// The data sheet's way to the viewer windows. Every slot is bounded to 0..3;
// a call for another slot does nothing (or returns null).
// Creates the window of slot when it has none (inside the main window's item
// area when there is one), sets its tag, caption and texts, runs its load and
// shows it. Returns the window.
frmOpenWaveform *ShowStoredWaveWindow(int slot);
// The window of slot, or null.
frmOpenWaveform *StoredWaveWindow(int slot);
// Unloads and destroys the window of slot (its record stays). The window is
// deleted from the event loop. Refused, as a close by the user, while the
// window loads a file or exports CSV. True when the slot has no window left.
bool CloseStoredWaveWindow(int slot);
// After the data sheet removed an earlier item: moves the window of slot from
// to slot to, sets its tag and caption and runs its load again.
void MoveStoredWaveWindow(int from, int to);
// True while the window of slot loads a file or exports CSV.
bool StoredWaveWindowBusy(int slot);
