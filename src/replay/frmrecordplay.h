#pragma once
// frmRecordPlay: the window of one record item. Its tag is its slot in
// app().Sheet.Replays; every routine reads the record of that slot and
// caches nothing of it. It holds the controls and calls the record file
// reader, the replay engine and the replay picture.
//
// The data sheet reaches it through the plain functions at the end.

#include "replay/replayengine.h"
#include "workspace/scrolledcontents.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class ClockTimer;
class QFrame;
class QLabel;
class QSlider;
class QToolButton;

// A surface that shows an image the window draws into (the plot and the
// status strip).
class ReplaySurface final : public QWidget {
    Q_OBJECT
public:
    explicit ReplaySurface(QWidget *parent = nullptr) : QWidget(parent) {}
    QImage image;

protected:
    void paintEvent(QPaintEvent *) override;
};

class frmRecordPlay final : public QWidget {
    Q_OBJECT
public:
    explicit frmRecordPlay(int slot, QWidget *parent = nullptr);
    ~frmRecordPlay() override;

    int slot() const { return slot_; }
    // The size the window opens at (its design size).
    QSize sizeHint() const override;
    // The data sheet moves the window to another slot and then calls Form_Load.
    void setSlot(int slot);

    // Public operations.
    void RecordReplayPause();
    void DispMsg();
    void SetRecordReplayStatus(quint8 status) { engine_.SetRecordReplayStatus(status); }
    void Form_Load();

    // Events and buttons (public for the data sheet and the tests).
    void Timer1_Timer();
    void Form_Resize();
    void Form_Unload();
    void FlatBttn4_Click(); // colour
    void FlatBttn5_Click(); // monochrome
    void OpenRecordFile();
    void ExportReplayBitmap();
    void PrintReplayPicture();
    void PreviewReplayPicture();
    void RedrawFrame();
    // The status strip with text in white bold and, when counter is set, the
    // frame counter (the language switch draws it this way).
    void drawStatusText(const QString &text, bool counter);

    bool initPending() const { return initPending_; }
    double zoomFactor() const { return zoomFactor_; }
    ReplayEngine &engine() { return engine_; }
    const QImage &plotImage() const;
    const QImage &stripImage() const;
    QSlider *slider() const { return SliderFrame; }
    QToolButton *playButton(int index) const { return AresBtnPlay[size_t(index)]; }
    QLabel *intervalLabel() const { return lblTimeInterval; }
    // The print picture made by the last print or preview (for tests).
    const QImage &lastPrintPicture() const { return printPicture_; }
    // The least size of the window's contents: the rows at their design
    // heights, the plot at its least size and as wide as its label row
    // needs. A smaller window scrolls its contents.
    QSize leastContentSize() const;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    ReplayInfo &rec() const { return engine_.rec(); }
    void buildControls();
    void showControls();
    void printOrPreview(bool preview);
    void applyBackground();
    void markModified();
    // The button image numbered item, painted once for the window.
    const QPixmap &buttonImage(int item);

    int slot_;
    ReplayEngine engine_;
    ScrolledContents scroll_;
    std::unique_ptr<ClockTimer> Timer1;
    bool initPending_ = false;
    bool unloaded_ = false;
    bool syncing_ = false;
    double zoomFactor_ = 1.0;
    QImage printPicture_;
    std::array<QPixmap, ReplayImage::Count + 1> buttonImages_;
    // The pictures each replay button shows (its enabled state aside).
    std::array<PictureButtonState, ReplayButton::Count> shownPictures_{};
    std::array<bool, ReplayButton::Count> iconShown_{};

    QFrame *FrameTool = nullptr;
    QToolButton *cmdRun = nullptr;
    QToolButton *FlatBttn1 = nullptr;
    QToolButton *FlatBttn2 = nullptr;
    QToolButton *FlatBttn3 = nullptr;
    QToolButton *FlatBttn4 = nullptr;
    QToolButton *FlatBttn5 = nullptr;
    QWidget *RecordBackPic = nullptr;
    ReplaySurface *RecordWavePic = nullptr;
    QSlider *SliderFrame = nullptr;
    QFrame *OptratePic = nullptr;
    std::array<QToolButton *, ReplayButton::Count> AresBtnPlay{};
    QFrame *PicTime = nullptr;
    QToolButton *AresBtnAdd = nullptr;
    QToolButton *AresBtnSub = nullptr;
    QToolButton *AresBtnDefaultTime = nullptr;
    QLabel *lblTimeInterval = nullptr;
    ReplaySurface *PicMsg = nullptr;
};

// The button images of the replay window, numbered 1..10 (0 gives a null pixmap).
QPixmap replayButtonImage(int item);

// The data sheet's way to the replay windows. Every slot is bounded to
// 0..4; a call for another slot does nothing (or returns null).
// Creates the window of slot when it has none (inside the main window's item
// area when there is one), sets its tag, caption (the record's Name) and tool
// tips, runs its load and shows it. Returns the window.
frmRecordPlay *ShowReplayWindow(int slot);
// The window of slot, or null.
frmRecordPlay *ReplayWindow(int slot);
// Unloads and destroys the window of slot (its record stays; a running
// replay is left paused). The window is deleted from the event loop.
void CloseReplayWindow(int slot);
// After the data sheet removed an earlier record item: moves the window of
// slot from to slot to, sets its tag and caption and runs its load again.
void MoveReplayWindow(int from, int to);
// Before the data sheet saves: pauses the replay of slot when it runs
// (through its window when it has one).
void PauseReplayForSave(int slot);
