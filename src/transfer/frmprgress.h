#pragma once
// frmPrgress: the transfer dialog. A small modeless window with one progress
// bar; the work is done by its TransferRunner. It opens over the program's
// window without taking the focus, refuses to close while a transfer runs,
// and closes itself (and is deleted) when its one transfer is done. Where the
// user last left it is stored as before.

#include "transfer/transfercaptions.h"
#include "transfer/transferrunner.h"

#include <QDialog>

class QProgressBar;

class frmPrgress : public QDialog {
    Q_OBJECT
public:
    explicit frmPrgress(QWidget *parent = nullptr);
    ~frmPrgress() override;

    // Sets the caption for lang; any lang other than 0 and 1 keeps it.
    void setCaption(TransferCaption caption, int lang);
    TransferRunner &runner() { return runner_; }
    QProgressBar *ProgressBar1 = nullptr;

    // Esc: refused while a request runs, as the close box is.
    void reject() override;

    // Places the dialog over requester's picture (the part below its
    // Refresh/Stop button "cmdRefresh"), or with no requester shown over the
    // main window's item area, covering neither that button nor the pane
    // headers. A place the dialog was put in is not stored; one the user gave
    // it is.
    void keepClearOf(const QWidget *requester);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showBar();
    TransferRunner runner_;
    QPoint storedPlace_;        // twips, as read
    QPoint movedTo_{-1, -1};    // pixels, where keepClearOf() put it
};

// The request protocol of a requesting window: captions and loads the
// dialog, sets the request globals (CurrentDoc for kind 6), shows the dialog
// without waiting and waits in the event loop until TransferDone. barAtOne: the data
// window's bar start. Returns false, and does nothing, while another transfer
// runs (TransferBusy). The request is one exchange (LinkExchange); after it
// app().xfer.RequestComplete tells whether every reply and block came and no
// Stop was given.
// requester: the waiting window, kept clear of (keepClearOf()).
bool RunTransferRequest(TransferCaption caption, int kind, int slot = 0, bool barAtOne = false,
                        const QWidget *requester = nullptr);

// Shows the dialog for a request whose globals the caller has already set
// (RequestKind, TransferDone false), captioned caption, without waiting: the
// caller waits in the event loop until TransferDone. Used by the controller's Upload and
// Download.
void ShowTransferDialog(const QString &caption);


// The waveform window's load of slot: requests kind 6 when at least one of
// the record's show flags is set (the window's progress percentage starts at
// 1); a record with no source shown requests nothing. False when nothing ran.
bool RequestWaveformLoad(int slot);
