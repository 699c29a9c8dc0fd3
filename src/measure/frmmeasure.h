#pragma once
// frmMeasure: the window of one measure item. It shows the item's eighteen
// measurements with their limits and verdicts, lets the user pick CH1 or CH2,
// refreshes once or continuously through the transfer engine, opens the
// pass/fail limits dialog and exports the table. The window holds its slot
// as its tag and reads and writes only the record of that slot in
// app().Sheet.MeasDocs; it never owns the record.
//
// A window closed while one of its own handlers still runs (a continuous
// refresh waiting between loads) is hidden at once and deleted when that
// handler has returned.

#include "measure/meastable.h"

#include <QString>
#include <QWidget>

#include <array>

#include <memory>

class ClockTimer;
class QLabel;
class QRadioButton;
class QToolButton;
class QTreeWidget;

class frmMeasure final : public QWidget {
    Q_OBJECT
public:
    explicit frmMeasure(QWidget *parent = nullptr);
    ~frmMeasure() override;

    // The slot as decimal text, as the data sheet sets it.
    QString tag;
    // The tag as a slot number; -1 when it is not one of 0..17.
    int slot() const;

    // Public operations.
    void ExportMeasureFileProc(const QString &path, int slot);
    void StartDispMeasure();
    void Form_Load();
    void LoadMeasure();
    void DispMeasure(int slot);

    // Event handlers (the buttons, F5 and the timers call them).
    void cmdRefresh_Click();
    // The pointer moves over the Refresh button: the button takes the
    // program's current screen pointer.
    void cmdRefresh_MouseMove();
    void cmdPassFailed_Click();
    void cmdExport_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // Controls, by their names.
    QToolButton *cmdRefresh = nullptr;
    QToolButton *cmdPassFailed = nullptr;
    QToolButton *cmdExport = nullptr;
    QRadioButton *OptionCH[2] = {nullptr, nullptr};
    QLabel *SettingLabel = nullptr;
    QTreeWidget *MeasureView = nullptr;

    // True while the Refresh button shows the Stop pictures.
    bool showsStopPictures() const { return stopPictures_; }
    // The timers (state timer and refresh clock).
    ClockTimer &timer1() { return *timer1_; }
    ClockTimer &timer2() { return *timer2_; }
    // True once the window has unloaded (it may still wait for a handler).
    bool unloaded() const { return unloaded_; }
    // True while a load of this window is on the stack (it refuses to close).
    bool loading() const { return loading_; }

    // The window and its frame in the main window's item area (itself when
    // it stands alone).
    QWidget *frame();

    // The size the window opens at: its design size (5640 x 5190 twips)
    // unless its controls need more.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend struct MeasureHandlerScope;
    bool Form_QueryUnload() const;
    void Form_Unload();
    void Form_Resize();
    // What each of the five columns needs to show its caption and texts whole,
    // in the language in force or in lang (0 Chinese, 1 English).
    std::array<int, 5> columnNeeds() const;
    std::array<int, 5> columnNeeds(int lang) const;
    void ShowMeasureTable();
    void showRows(const MeasRows &rows);
    void setRefreshPictures(bool stop);
    void selectChannel(int which);
    void leaveHandler();
    void busyLoad();

    std::unique_ptr<ClockTimer> timer1_;
    std::unique_ptr<ClockTimer> timer2_;
    bool FirstTick = false;
    bool stopPictures_ = false;
    bool unloaded_ = false;
    bool loading_ = false;
    int handlerDepth_ = 0;
};

// Public functions for the data sheet.
//
// The window of slot (0..17): created (tag, caption = the item's Name, texts
// of the language in force) when the slot has none, then shown and raised.
// Inside the main window's item area when the main window exists. Returns
// nullptr for a slot outside 0..17.
frmMeasure *ShowMeasureWindow(int slot);
// Closes the window of slot, if any (refused, as a close by the user, while a
// transfer or a measurement load runs). True when no window is left.
bool CloseMeasureWindow(int slot);
// The window of slot, or nullptr.
frmMeasure *measureWindow(int slot);
