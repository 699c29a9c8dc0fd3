#pragma once
// SimSerial: a stand-in for the serial-port control that feeds a Qm4100Sim
// core in this process, with the length-prefix framing of the serial port.
//
// Every line written (up to its LF) goes to the simulator; its reply is queued
// as pieces (one per chunk of the reply, several under the split fault), due
// after the reply's delay on appClock(). Nothing arrives by itself: a test's
// pump calls deliverNext(), which moves the next due piece into the input and
// raises a receive event, and moves the virtual clock on when nothing is due:
//
//   SimSerial port(&sim);
//   setCommControl(&port);
//   setPump([&] { port.pumpOnce(clock); });
//
// Ports 1 to portCount() exist (1 by default); opening another number fails
// as a missing device does. Opening the port drops the pieces that were due
// while it was closed; those not yet due (a late reply) still come.
// setFailOutput makes every output fail.

#include "link/commport.h"

#include <QList>
#include <deque>

class Qm4100Sim;
class VirtualClock;

class SimSerial final : public CommPort {
    Q_OBJECT
public:
    explicit SimSerial(Qm4100Sim *sim, QObject *parent = nullptr);

    bool setSettings(const QString &settings) override;
    bool setCommPort(int port) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return open_; }
    void setInputLen(int n) override { inputLen_ = n < 0 ? 0 : n; }
    bool setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    QString errorString() const override { return error_; }

    QString settings() const { return settings_; }
    int commPort() const { return port_; }
    int inputLen() const { return inputLen_; }

    void setPortCount(int n) { portCount_ = n; }
    int portCount() const { return portCount_; }
    void setFailOutput(bool fail) { failOutput_ = fail; }
    // Every output made, as written (line and LF).
    const QList<QByteArray> &outputs() const { return outputs_; }

    // Queues bytes of the test's own making as one piece, due after delayMs.
    void queue(const QByteArray &bytes, int delayMs = 0);
    // Pieces still queued.
    int pendingPieces() const { return int(pieces_.size()); }
    // Moves the next due piece into the input and raises a receive event.
    // False when no piece is due.
    bool deliverNext();
    // One turn of a test pump: deliverNext(), or else clock.advance(stepMs).
    void pumpOnce(VirtualClock &clock, int stepMs = 100);

private:
    struct Piece {
        QByteArray bytes;
        qint64 dueMs = 0;
    };

    Qm4100Sim *sim_;
    QString settings_ = QStringLiteral("9600,n,8,1");
    QString error_;
    int port_ = 1;
    int portCount_ = 1;
    int inputLen_ = 0;
    bool open_ = false;
    bool failOutput_ = false;
    QByteArray partial_;
    QByteArray input_;
    std::deque<Piece> pieces_;
    QList<QByteArray> outputs_;
};
