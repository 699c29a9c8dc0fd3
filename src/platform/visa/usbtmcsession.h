#pragma once
// The input and output of one USB-TMC session, done by a thread of its own
// while the user-interface thread waits in the event loop.
//
// A read on the kernel driver sends the instrument its request and blocks
// until the reply comes or the driver's time-out passes; nothing ends it
// sooner (the driver holds the device for the whole read, and even closing
// the descriptor waits for it). So a session hands its operations (write,
// read, clear, close), in order, to its thread, and the caller waits for the
// one whose result it needs in the event loop, under the input gate: the
// windows repaint, menus and typing go on, and Stop, Disconnect and closing
// act at once.
//
// - A wait ends when the operation is done, when the exchange is abandoned
//   (Abandoned: the operation is given up), or at its deadline on appClock()
//   (TimedOut). On the kernel device the driver's own time-out, set to the
//   time left, ends the operation at the deadline; the wait gives it a moment
//   more to say so.
// - An operation given up goes on in the thread to its end: a read given up
//   still takes its reply when it comes, so its late bytes are never the next
//   reply; what it brings is dropped. The operations after it wait for it.
// - A write after an operation given up waits at most FinishBeforeWriteMs for
//   it (an abandon ends that wait and the write sends nothing); if it still
//   runs, the write is queued behind it and counts as taken, and so does a
//   clear: a Disconnect never waits out a given-up read. A read waits for
//   everything before it, within its own deadline. An abandon drops the
//   writes and reads still queued: a second Stop sends nothing. A read not
//   yet started with no write queued before it (its query has gone out) is
//   given up, not dropped: it still takes the reply.
// - The stand-in device (one end of a SOCK_SEQPACKET socket pair, one packet
//   for one transfer, see UsbtmcBackend) is read in the same way; as it has no
//   driver, the session ends its operation at the deadline, which is where
//   the kernel's time-out would end it, given up or not.
//
// Waits are measured on appClock(). Under a virtual clock each turn of a
// wait pumps the events, waits briefly in real time (kFdRealSliceMs) for the
// thread, and, when it is not done, moves the clock on by up to
// kFdVirtualStepMs.

#include <QByteArray>
#include <QtGlobal>
#include <memory>

class UsbtmcSession {
public:
    // What one operation brought: err is an errno value (0 when it went
    // through; ETIMEDOUT when the driver's time-out ended it).
    struct Result {
        int err = 0;
        QByteArray data;  // a read: the bytes of the transfer
        bool end = false; // a read: the transfer ended the message
        qint64 written = 0;
    };
    enum class Outcome { Done, Abandoned, TimedOut };

    // Takes fd (the kernel node, or a socket of the stand-in) over; the
    // thread closes it when the session ends.
    explicit UsbtmcSession(int fd);
    // Hands the close to the thread and returns at once, whatever still runs.
    ~UsbtmcSession();
    UsbtmcSession(const UsbtmcSession &) = delete;
    UsbtmcSession &operator=(const UsbtmcSession &) = delete;

    bool isSocket() const;

    // deadline: on appClock(), negative for none. A write abandoned after
    // the thread took it up still goes out: out->written then counts its
    // bytes (0 when it was dropped unsent).
    Outcome write(const QByteArray &bytes, qint64 deadline, Result *out);
    // One transfer of at most max bytes (a stand-in packet comes whole).
    Outcome read(quint32 max, qint64 deadline, Result *out);
    // Device clear.
    Outcome clear(Result *out);

    // The longest a write waits for an operation given up before it.
    static constexpr int FinishBeforeWriteMs = 500;
    // How long after its deadline a wait still gives the driver to end the
    // operation with its own time-out.
    static constexpr int DriverGraceMs = 1000;

    // For tests: while held, no session's thread starts a read; the reads
    // wait in the queue, as behind a busy device.
    static void holdReadsForTest(bool hold);

    // The session's inner parts (shared with its thread).
    struct Shared;
    struct Op;

private:
    std::shared_ptr<Op> submit(int kind, const QByteArray &bytes, quint32 max, qint64 deadline);
    Outcome await(const std::shared_ptr<Op> &op, qint64 deadline, Result *out);
    // Waits until the operations given up have ended, until limit (on
    // appClock()) or an abandon. True when none is left.
    bool finishGivenUp(qint64 limit);
    bool givenUpPending();
    // Ends the stand-in's operations whose deadline has passed.
    void endOverdue();
    void turn(qint64 until, bool pastDeadline);

    std::shared_ptr<Shared> shared_;
    struct Notifier;
    std::unique_ptr<Notifier> notifier_;
};
