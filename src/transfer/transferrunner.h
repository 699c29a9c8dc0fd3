#pragma once
// TransferRunner: the working part of the transfer dialog, free of any
// window. It arms the dialog's two timers (made from the clock seam), runs
// the one request the request globals name when the first timer fires, keeps
// the progress bar value, and tells the dialog when to repaint and when to
// unload.
//
// Request protocol (what a requesting window does): caption and load the
// dialog (load() runs here), set app().transfer.RequestKind (and CurrentDoc
// for kind 6), set TransferDone false, show the dialog without waiting, pump
// events until TransferDone. The results are then in app().xfer and, for
// kind 6, in the slot's WaveDoc.
//
// Request kinds: 1, 2 measurements of CH1, CH2; 3, 4, 5 data tables of CH1,
// CH2, the logic channels; 6 the waveforms of slot CurrentDoc; 22, 23 the
// settings upload and download (through the SettingsTransfer hook); any
// other kind transfers nothing.

#include "platform/clock.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TransferRunner {
public:
    static constexpr int DispatchDelayMs = 100; // Timer1
    static constexpr int TickIntervalMs = 1;    // Timer2 at design time
    static constexpr int EndPauseMs = 200;
    static constexpr int BarMax = 100;

    TransferRunner();
    ~TransferRunner();
    TransferRunner(const TransferRunner &) = delete;
    TransferRunner &operator=(const TransferRunner &) = delete;

    // What loading the dialog does after placing it: the ticker off, the
    // dispatcher armed, the bar at 0, TransferBusy set.
    void load();
    // Whether a close request may proceed (never while TransferBusy).
    static bool mayClose();

    // The bar (ProgressBar1). A value outside 0..BarMax is refused: the bar
    // keeps its last value. Values are single precision.
    float bar() const { return bar_; }
    void setBar(double value);

    // The dispatcher (the first timer's one shot): asks ":TRIGGER:STATUS?",
    // runs the request, repaints, pauses, then sets TransferDone, clears
    // TransferBusy and asks the dialog to unload. The request is one
    // exchange (LinkExchange): its first reply that does not come ends it, and
    // app().xfer.RequestComplete tells whether every reply came.
    void dispatch();
    // The progress ticker (the second timer).
    void progressTick();

    // Called to repaint the dialog and to unload it; set by the dialog.
    std::function<void()> onRepaint;
    std::function<void()> onFinished;

    // The second timer, for the block reads.
    void tickerOn();
    void tickerOff();
    void setTickerInterval(int ms);
    bool tickerActive() const;
    int tickerInterval() const;
    bool dispatcherArmed() const;

    // The block reads (each after its query was sent by the caller for the
    // waveform blocks; ReadSetupBlock sends ":SYSTEM:DATA?" itself). True
    // when the block came (the setup block into app().link.LastSetup).
    [[nodiscard]] bool ReadSetupBlock();
    // Reads one waveform block and decodes it into rows (replaced whole when
    // the block came in; left as they were when it did not). True when the
    // block came. A block holding fewer than expected - 1 levels did not
    // come (and fails the exchange). fftSplit: the FFT block is drawn on a
    // split screen.
    [[nodiscard]] bool ReadWaveformBlock(QList<qint32> &rows, double target, const QString &source,
                                         const QString &invert, const QString &run, int expected,
                                         bool fftSplit = false);

    // The requests.
    void RequestWaveforms();
    void RequestDataTable(const QString &source);
    void RequestMeasureValues(const QString &source);

private:
    void runRequest(const struct TransferRequest &req);
    void repaint();
    void finishBlockProgress(double target);

    std::unique_ptr<ClockTimer> timer1_;
    std::unique_ptr<ClockTimer> timer2_;
    float bar_ = 0.0f;
};

// The current date and time as the requests write it into records and info
// lines (short date, a blank, the time).
QString TransferDateText();

// A sample-rate reply as the info lines show it: its hertz text with "Sa" in
// place of everything from the first "H" ("1.000GHz" -> "1.000GSa"); a text
// without "H" unchanged.
QString SampleRateText(const QString &rate);

// Tells the user that a transfer ended without every reply and block it
// needed (what it fills was left as it was): "Can't Read data from Device!"
// in the current language, once. Nothing while the link is not connected:
// whoever lost it has told the user already (a read that fails or does not
// come in time shows this same message and loses the link), nor for a
// transfer the user stopped.
void reportMissingBlock();

// The payload of the last serial block: RxCount bytes of the receive buffer,
// never more than the buffer holds.
QByteArrayView SerialBlockPayload();
