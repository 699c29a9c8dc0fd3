#pragma once
// frmData: the window of one data table item. It shows the item's rows (the
// number, the time and the voltage of each point) under its settings line,
// lets the user pick the channel (CH1, CH2; the logic channels' option stays
// hidden but follows the instrument too), refreshes once or continuously
// through the transfer engine, and exports the table. The window holds its
// slot as its tag and reads and writes only the record of that slot in
// app().Sheet.DataDocs; it never owns the record.
//
// While a load of any data window waits inside the transfer, no data window
// closes. A window closed while one of its own handlers still runs (a
// continuous refresh waiting between loads) is hidden at once and deleted
// when that handler has returned.

#include "wave/datatable.h"

#include <QString>
#include <QWidget>

#include <memory>

class ClockTimer;
class DataTableModel;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;
class QTreeView;

class frmData final : public QWidget {
    Q_OBJECT
public:
    explicit frmData(QWidget *parent = nullptr);
    ~frmData() override;
    // The design size (where the main window's item area places a new window).
    QSize sizeHint() const override;

    // The slot as decimal text, as the data sheet sets it.
    QString tag;
    // The tag as a slot number; -1 when it is not one of 0..17.
    int slot() const;

    // Public operations.
    void Form_Load();
    void LoadData();
    void RefreshTable();
    void ShowEmptyTable();
    void ShowDataTable();

    // Event handlers (the buttons, F5 and the timers call them).
    void cmdRefresh_Click();
    void cmdExport_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // What every creator and activation does: the CH2 option 900 twips
    // right of CH1, the LA option hidden and disabled.
    void layOutChannelOptions();
    // Places the buttons, the channel options and their frames for their
    // captions in the language in force.
    void layOutTopRow();

    // Controls, by their names.
    QToolButton *cmdRefresh = nullptr;
    QToolButton *cmdExport = nullptr;
    QRadioButton *OptionCH[DataChannelCount] = {nullptr, nullptr, nullptr};
    QLabel *SettingLabel = nullptr;
    QTreeView *MeasureView = nullptr;
    DataTableModel *model() const { return model_; }

    // The options as the controls hold them.
    DataChannelOptions options() const;
    // True while the Refresh button shows the Stop pictures.
    bool showsStopPictures() const { return stopPictures_; }
    // The timers (state timer and refresh clock).
    ClockTimer &timer1() { return *timer1_; }
    ClockTimer &timer2() { return *timer2_; }
    // True once the window has unloaded (it may still wait for a handler).
    bool unloaded() const { return unloaded_; }
    // True while a load of this window waits inside the transfer.
    bool loading() const { return loadDepth_ > 0; }

    // The window and its frame in the main window's item area (itself when
    // it stands alone).
    QWidget *frame();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend struct DataHandlerScope;
    friend struct DataLoadScope;
    bool Form_QueryUnload() const;
    void Form_Unload();
    void Form_Resize();
    void setColumnWidths();
    void setOptions(const DataChannelOptions &o);
    void optionClicked(int option);
    void storeChannel();
    void setRefreshPictures(bool stop);
    void leaveHandler();

    DataTableModel *model_ = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::unique_ptr<ClockTimer> timer1_;
    std::unique_ptr<ClockTimer> timer2_;
    bool InitPending = false;
    bool stopPictures_ = false;
    bool unloaded_ = false;
    int handlerDepth_ = 0;
    int loadDepth_ = 0;
};

// Public functions for the data sheet.
//
// The window of slot (0..17): created (tag, caption = the item's Name, texts
// of the language in force) when the slot has none, its channel options laid
// out, then shown and raised. Inside the main window's item area when the
// main window exists. Returns nullptr for a slot outside 0..17.
frmData *ShowDataWindow(int slot);
// Closes the window of slot, if any (refused, as a close by the user, while a
// transfer or a data table load runs). True when no window is left.
bool CloseDataWindow(int slot);
// True while the window of slot has a load waiting inside the transfer.
bool DataWindowLoading(int slot);
// The window of slot, or nullptr.
frmData *dataWindow(int slot);
