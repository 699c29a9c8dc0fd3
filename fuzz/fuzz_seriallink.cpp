// The serial-port link end to end on arbitrary instrument bytes: the program
// talks through its serial-port control (IoType 2), here a scripted port that
// answers every line holding a "?" with the next reply of the input, handed
// over as receive events in the pieces and at the times the input says, on
// the virtual clock. The link's reply waits (ComReadReply, ComWaitBlock), its
// receive handler (ComOnComm) and the assembly behind it run as they do with
// an instrument.
//
// Input: byte 0 picks the reader (its value modulo 3):
//   0  the link alone: one exchange per reply, a text query (QueryString) or
//      a block query and its wait (SendCommand, ComWaitBlock), then one more
//      text query that gets no reply;
//   1  the settings download;
//   2  the measurement request of CH1 or CH2 (bit 2 of byte 0);
// then the replies, each as
//   byte a: bits 0-2 the piece size (whole, 1, 2, 3, 5, 16, 256 or 4096
//           bytes), bit 6 (blocks) the 4-byte length put before the bytes by
//           the target, bit 7 a block query (reader 0);
//   byte b: bits 0-2 the delay of the first piece (0, 50 ms, 0.9, 3.5, 4.5,
//           9.5, 10.5 or 13 s), bits 3-4 the time between pieces (0, 100 ms,
//           3 or 4.5 s), bits 5-6 when the user presses Stop (never, or 0.5,
//           2 or 5 s after the line);
//   2 bytes of little-endian length and that many bytes.
// A text reply ends at its first line feed: the instrument sends nothing after
// it (bytes after it are left out).
//
// Seeds: run with KELVO_FUZZ_SEEDS=<folder> to write the replies the
// simulator gives to readers 1 and 2, whole and at once, and stop.
//
// Invariants: a text query returns its own reply (the text before the line
// feed, cut at a CR, at most the receive buffer's size) or nothing, never
// another's; a block wait that reports its block holds exactly that reply's
// payload and its announced length. A reply that comes whole and in time is
// read, silently, whenever the replies before it did too; one that does not
// come fails the exchange: the link is lost and the user told once ("Can't
// Read data from Device!"), and nothing more goes out or comes in. A reply
// the user stopped shows nothing and keeps the link, and its late bytes
// belong to no later query, as long as they come while the link would still
// await them (settles()): within its overall deadline, and for a reply that
// had begun, each within its time-out of the one before. (A block's bytes
// beyond its announced length, in a later piece, and bytes later than that
// are no reply's the link can tell: later replies are then not checked.)
// Readers 1 and 2: no setting, measurement or info text holds a line break,
// or "inf" or "nan" unless a reply did.

#include "maxlen.h"
#include "scriptedlink.h"

#include "common/ctrlsettings.h"
#include "link/cmdfunc.h"
#include "texts/messagetable.h"
#include "transfer/transferrunner.h"
#include "transfer/uploaddownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

constexpr int Chunks[8] = {0, 1, 2, 3, 5, 16, 256, 4096};
constexpr int FirstMs[8] = {0, 50, 900, 3500, 4500, 9500, 10500, 13000};
constexpr int GapMs[4] = {0, 100, 3000, 4500};
constexpr int StopMs[4] = {-1, 500, 2000, 5000};

struct Exchange {
    bool block = false;
    QByteArray reply;
    fuzzlink::Delivery delivery;
    int stopMs = -1; // the user presses Stop this long after the line (-1: never)
};

void check(bool bad, const char *what)
{
    if (bad) {
        std::fprintf(stderr, "invariant: %s\n", what);
        std::abort();
    }
}

QList<Exchange> parse(QByteArrayView body)
{
    QList<Exchange> out;
    while (body.size() >= 4) {
        const uint8_t a = uint8_t(body[0]), b = uint8_t(body[1]);
        const qsizetype n = qsizetype(quint8(body[2]) | quint8(body[3]) << 8);
        body = body.sliced(4);
        Exchange e;
        e.block = a & 0x80;
        e.reply = body.first(std::min(n, body.size())).toByteArray();
        body = body.sliced(std::min(n, body.size()));
        if (e.block && (a & 0x40)) {
            const quint32 len = quint32(e.reply.size());
            e.reply.prepend(QByteArray(reinterpret_cast<const char *>(&len), 4));
        } else if (!e.block) {
            const qsizetype lf = e.reply.indexOf('\n');
            if (lf >= 0)
                e.reply.truncate(lf + 1); // nothing follows the line end
        }
        e.delivery = {Chunks[a & 7], FirstMs[b & 7], GapMs[(b >> 3) & 3]};
        e.stopMs = StopMs[(b >> 5) & 3];
        out << e;
    }
    return out;
}

// Every byte of the reply comes within the waits' bounds: the first within the
// time-out, each next one within it of the one before, the last well before
// the overall deadline.
bool inTime(const Exchange &e)
{
    const fuzzlink::Delivery &d = e.delivery;
    const qsizetype chunk = d.chunk > 0 ? d.chunk : std::max<qsizetype>(e.reply.size(), 1);
    const qsizetype pieces = (e.reply.size() + chunk - 1) / chunk;
    return d.firstMs <= 3000 && d.gapMs <= 3000 && d.firstMs + double(std::max<qsizetype>(pieces - 1, 0)) * d.gapMs < 10000;
}

// The text a text reply gives: up to its line feed, cut at a CR, within the
// receive buffer; none without a line feed.
bool textOf(const QByteArray &reply, QString *text)
{
    const qsizetype lf = reply.indexOf('\n');
    if (lf < 0)
        return false;
    QByteArray t = reply.left(std::min<qsizetype>(lf, RxBufferSize));
    const qsizetype cr = t.indexOf('\r');
    if (cr >= 0)
        t.truncate(cr);
    *text = QString::fromLatin1(t);
    return true;
}

// When the user presses Stop (the clock's time; -1: not in this exchange).
qint64 gStopAt = -1;

// The 4-byte length a block reply announces, and whether it fits the buffer.
quint32 announced(const QByteArray &r, bool *fits)
{
    const quint32 n = r.size() >= 4
        ? quint32(quint8(r[0]) | quint8(r[1]) << 8 | quint8(r[2]) << 16 | quint32(quint8(r[3])) << 24)
        : 0;
    *fits = r.size() >= 4 && n <= quint32(RxBufferSize);
    return n;
}

// Whether every byte of a reply comes while the link still awaits it, or
// finishes the wait of it given up (stopped, or not in time) before the next
// query goes out: the last within the reply's overall deadline, each within
// its time-out of the one before (the wait of a reply that had begun), and,
// for a block, none in a piece after the one that completes it. Bytes later
// than that no link can tell from the next reply's.
bool settles(const Exchange &e)
{
    const fuzzlink::Delivery &d = e.delivery;
    const int timeoutMs = (e.block ? BlockReplyTicks : TextReplyTicks) * 100;
    const int deadlineMs = WaitDeadlineFactor * timeoutMs;
    constexpr int marginMs = 200; // the waits count whole ticks
    const qsizetype chunk = d.chunk > 0 ? d.chunk : std::max<qsizetype>(e.reply.size(), 1);
    const qsizetype pieces = std::max<qsizetype>((e.reply.size() + chunk - 1) / chunk, 1);
    if (pieces > 1 && d.gapMs + marginMs >= timeoutMs)
        return false;
    if (d.firstMs + double(pieces - 1) * d.gapMs + marginMs >= deadlineMs)
        return false;
    if (e.block && e.reply.size() >= 4) {
        bool fits = false;
        const quint32 n = announced(e.reply, &fits);
        const qsizetype end = qsizetype(n) + 4;
        if (fits && end < e.reply.size() && (end + chunk - 1) / chunk < pieces)
            return false;
    }
    return true;
}

void runLink(const QList<Exchange> &exchanges, fuzzlink::Script &script)
{
    bool trust = true; // every reply so far came in time and none was stopped
    bool settled = true; // no bytes of a reply given up can still come
    for (qsizetype i = 0; i <= exchanges.size(); ++i) {
        // The last query gets no reply at all.
        const Exchange e = i < exchanges.size() ? exchanges[i] : Exchange{};
        script.replies = {e.reply};
        script.deliveries = {e.delivery};
        const bool connected = app().link.LinkConnected != 0;
        const qsizetype written = script.written.size();
        const qsizetype messages = gUi->messages().size();
        gStopAt = e.stopMs >= 0 ? appClock().nowMs() + e.stopMs : -1;
        bool heard = false;    // a text came back, or a block was reported
        bool own = false;      // what came back is this exchange's reply, whole
        bool complete = false; // the reply ends as its kind must
        if (!e.block) {
            const QString got = QueryString(QStringLiteral(":FUZZ%1?").arg(i));
            QString text;
            complete = textOf(e.reply, &text);
            heard = !got.isEmpty();
            own = complete && got == text;
            check(settled && heard && !own, "a text query got another reply");
        } else {
            {
                // The block query and its wait are one exchange, as in a
                // transfer: a Stop during the one ends the other too.
                const LinkExchange exchange;
                SendCommand(QStringLiteral(":FUZZ:DATA? %1").arg(i));
                heard = ComWaitBlock();
            }
            const LinkState &l = app().link;
            bool fits = false;
            const quint32 n = announced(e.reply, &fits);
            // Whole once exactly its announced bytes are there at the end of
            // a piece (more may follow, in a later piece, that are no part of
            // it; a piece that runs past its end makes no block).
            const qsizetype end = qsizetype(n) + 4;
            const int chunk = e.delivery.chunk;
            complete = fits && end <= e.reply.size() && (end == e.reply.size() || (chunk > 0 && end % chunk == 0));
            if (heard && settled) {
                // Complete once its announced bytes came: what follows in a
                // later piece is no part of it.
                check(!fits || qsizetype(n) + 4 > e.reply.size(), "a block that is not its reply was reported");
                check(l.RxCount != double(n), "the block's length is not its announced one");
                check(std::memcmp(l.RxBuffer.data(), e.reply.constData() + 4, n) != 0,
                      "the block's bytes are not its reply's");
            }
            own = heard;
        }
        const bool stopped = e.stopMs >= 0 && gStopAt < 0; // the Stop came during the exchange
        gStopAt = -1;
        if (!connected) {
            // A lost link sends nothing and hears nothing.
            check(script.written.size() != written, "a line went out on a lost link");
            check(heard, "a reply on a lost link");
            continue;
        }
        const bool lost = !app().link.LinkConnected;
        const qsizetype shown = gUi->messages().size() - messages;
        trust = trust && inTime(e) && !stopped;
        const bool wasSettled = settled;
        settled = settled && settles(e);
        if (stopped) {
            // A reply the user stopped: no message, the link kept.
            check(lost || shown != 0, "a Stop lost the link or spoke");
        } else if (lost) {
            // The reply did not come: the exchange failed, and said so once.
            check(wasSettled && trust && complete, "a reply that came in time was lost");
            check(heard, "the link was lost after its reply came");
            check(shown != 1 || gUi->messages().last().text != message(Msg::MsgReadFailed),
                  "a lost reply was not told once");
        } else {
            // The reply came: the whole of it, read as its own, silently.
            check(wasSettled && !complete, "a reply that never ended was taken");
            check(wasSettled && !own, "a reply that came was not read as its own");
            check(shown != 0, "a message without a failure");
        }
    }
}

void checkText(const QString &t, bool infNan)
{
    check(fuzzlink::badText(t, infNan), "a text holds a line break, inf or nan");
}

} // namespace

namespace {

void runTransfer(int kind)
{
    InstallSettingsTransfer();
    app().transfer.RequestKind = kind;
    TransferRunner runner;
    runner.load();
    runner.dispatch();
}

void writeSeeds(const QString &folder)
{
    struct Seed {
        const char *name;
        uint8_t b0;
        QList<QByteArray> setup; // lines the simulator takes first
    };
    const Seed seeds[] = {
        {"download", 1, {}},
        {"download_alternation", 1, {":TRIGGER:MODE ALTERNATION"}},
        {"measure_ch1", 2, {}},
        {"measure_ch2", 2 | 4, {":CHANNEL2:DISPLAY ON"}},
    };
    QDir().mkpath(folder);
    for (const Seed &seed : seeds) {
        Qm4100Sim sim;
        for (const QByteArray &line : seed.setup)
            sim.handleLine(line, Qm4100Sim::Framing::LengthPrefix);
        fuzzlink::Script script;
        script.sim = &sim;
        fuzzlink::ScriptedPort port(&script);
        fuzzlink::connectSerial(&script, &port, gClock, gUi);
        script.recorded.clear();
        runTransfer(seed.b0 % 3 == 1 ? 23 : ((seed.b0 & 4) ? 2 : 1));
        fuzzlink::disconnect();
        QByteArray file(1, char(seed.b0));
        for (const QByteArray &r : script.recorded) {
            const qsizetype n = std::min<qsizetype>(r.size(), 0xFFFF);
            file.append(char(0)).append(char(0)).append(char(n & 0xFF)).append(char(n >> 8)).append(r.left(n));
        }
        QFile f(folder + QLatin1Char('/') + QLatin1String(seed.name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 8 * 1024); // a few blocks of the largest waveform kind and their texts
    static QCoreApplication qapp(*argc, *argv);
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    if (!fuzzlink::seedFolder().isEmpty()) {
        writeSeeds(fuzzlink::seedFolder());
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int reader = data[0] % 3;
    const QByteArrayView body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const bool infNan = fuzzlink::mentionsInfNan(body.toByteArray());
    const QList<Exchange> exchanges = parse(body);

    fuzzlink::Script script;
    fuzzlink::ScriptedPort port(&script);
    fuzzlink::connectSerial(&script, &port, gClock, gUi);
    check(!app().link.LinkConnected, "no connect");
    // The user's Stop comes in a turn of the pump, as a click would.
    setPump([&port] {
        if (gStopAt >= 0 && gClock->nowMs() >= gStopAt) {
            gStopAt = -1;
            abandonExchange();
        }
        port.pumpOnce(*gClock);
    });
    gUi->clear();
    if (reader == 0) {
        runLink(exchanges, script);
    } else {
        for (const Exchange &e : exchanges) {
            script.replies.push_back(e.reply);
            script.deliveries.push_back(e.delivery);
        }
        runTransfer(reader == 1 ? 23 : ((data[0] & 4) ? 2 : 1));
        if (reader == 1) {
            for (const CtrlSettingsField &f : ctrlSettingsFields()) {
                if (f.text)
                    checkText(app().Settings.*(f.text), infNan);
                else
                    for (const QString &t : app().Settings.*(f.array))
                        checkText(t, infNan);
            }
        } else {
            for (const MeasItem &m : app().xfer.MeasSlot)
                checkText(m.Value, infNan);
            checkText(app().xfer.MeasInfo, infNan);
        }
    }
    fuzzlink::disconnect();
    return 0;
}
