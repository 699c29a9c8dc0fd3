// qm4100-sim: serves a simulated QM4100D on a pseudo-terminal.
//
//   qm4100-sim [--framing=prefix|visa] [--mono] [--identity=TEXT] [fault options]
//   qm4100-sim --help
//
// Opens a pseudo-terminal in raw mode, prints the path of its device on
// stdout (one line), and answers every LF-terminated line received there
// until SIGTERM or SIGINT, which end it at once whatever it is doing:
// waiting for a line, in a late reply, or holding a reply that nobody reads.
// Binary replies are framed with the 4-byte length prefix of the program's
// serial-port control (--framing=prefix, the default) or as a VISA serial
// resource reads them (--framing=visa: exact-count blocks, the 113-byte setup
// form). --mono makes a monochrome instrument,
// --identity=TEXT answers "*IDN?" with TEXT. Fault options (see
// Qm4100Sim::Faults): --delay-ms=N, --late-reply-to=LINE, --no-reply,
// --silent-from=N, --short-block=N, --overlong-block=N, --long-text,
// --garbage, --split, --value-mark=MARK, --absurd-value=NUMBER,
// --value-fault-to=LINE. At run time SIGUSR1 silences the instrument (no
// query is answered any more) and SIGUSR2 makes it answer again.
// Refused lines are reported on stderr.

#include "sim/qm4100sim.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A stop signal writes one byte into this pipe; every wait of the program
// polls its read end, so a signal ends any wait at once, whenever it comes
// (a flag tested before a blocking call would miss a signal that arrives just
// before the call).
int stopPipe[2] = {-1, -1};
volatile std::sig_atomic_t stopRequested = 0;
// 1: fall silent, 2: answer again; 0: nothing asked since the last line.
volatile std::sig_atomic_t silenceRequest = 0;

void onSilence(int signal)
{
    silenceRequest = signal == SIGUSR1 ? 1 : 2;
}

void onSignal(int)
{
    stopRequested = 1;
    const int saved = errno;
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(stopPipe[1], &b, 1);
    errno = saved;
}

// Waits until fd is ready for events, or until timeoutMs has passed (-1: no
// time limit). False when a stop was asked for, before or during the wait.
bool waitFor(int fd, short events, int timeoutMs)
{
    while (!stopRequested) {
        pollfd p[2] = {{stopPipe[0], POLLIN, 0}, {fd, events, 0}};
        const int r = ::poll(p, fd >= 0 ? 2 : 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;   // the handler has run: the loop test sees the stop
        return !stopRequested;
    }
    return false;
}

bool sleepUnlessStopped(int ms)
{
    return waitFor(-1, 0, ms);
}

// Writes all bytes to the (non-blocking) master. A reader that takes nothing
// holds the reply here, but never the stop: false when a stop was asked for
// or the write failed.
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (stopRequested)
            return false;
        ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (!waitFor(fd, POLLOUT, -1))
                    return false;
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

void makeRaw(int fd)
{
    termios t;
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
}

constexpr const char *kUsage =
    "usage: qm4100-sim [--framing=prefix|visa] [--mono] [--identity=TEXT]\n"
    "                  [--delay-ms=N] [--late-reply-to=LINE] [--no-reply] [--silent-from=N]\n"
    "                  [--short-block=N] [--overlong-block=N] [--long-text] [--garbage] [--split]\n"
    "                  [--value-mark=MARK] [--absurd-value=NUMBER] [--value-fault-to=LINE]\n";

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

int help()
{
    std::fputs(kUsage, stdout);
    std::fputs("\n"
               "Serves a simulated QM4100D on a pseudo-terminal and prints the path of its device.\n"
               "  --framing=prefix|visa  binary replies as the serial-port control (4-byte length) or a\n"
               "                         VISA serial resource reads them; prefix by default\n"
               "  --mono                 a monochrome model\n"
               "  --identity=TEXT        the answer to *IDN?\n"
               "Faults:\n"
               "  --delay-ms=N           every reply N ms late (only that to LINE with --late-reply-to)\n"
               "  --late-reply-to=LINE   the query line whose reply --delay-ms makes late\n"
               "  --no-reply             no query is answered\n"
               "  --silent-from=N        the N-th query and every later one get no reply\n"
               "  --short-block=N        binary replies lose N trailing bytes\n"
               "  --overlong-block=N     binary replies get N extra bytes\n"
               "  --long-text            text replies padded to 300 bytes\n"
               "  --garbage              every reply is noise\n"
               "  --split                replies come in several pieces\n"
               "  --value-mark=MARK      value replies come with MARK (\">\" or \"<\") before the number\n"
               "  --absurd-value=NUMBER  value replies come as NUMBER (\"1e308\", \"1e600\")\n"
               "  --value-fault-to=LINE  the query line whose value reply the two above change\n"
               "                         (every value reply without it)\n"
               "Signals: SIGUSR1 silences the instrument (no query answered any more), SIGUSR2 makes\n"
               "it answer again; SIGTERM and SIGINT end it.\n",
               stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Qm4100Sim::Framing framing = Qm4100Sim::Framing::LengthPrefix;
    bool mono = false;
    bool hasIdentity = false;
    QByteArray identity;
    Qm4100Sim::Faults faults;
    auto number = [](const char *text, int &out) {
        char *end = nullptr;
        errno = 0;
        long v = std::strtol(text, &end, 10);
        if (errno || end == text || *end || v < 0 || v > 600000)
            return false;
        out = int(v);
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        auto value = [&](const char *name) -> const char * {
            const size_t n = std::strlen(name);
            return std::strncmp(a, name, n) == 0 ? a + n : nullptr;
        };
        const char *v = nullptr;
        if (std::strcmp(a, "--help") == 0) {
            return help();
        } else if (std::strcmp(a, "--framing=prefix") == 0) {
            framing = Qm4100Sim::Framing::LengthPrefix;
        } else if (std::strcmp(a, "--framing=visa") == 0) {
            framing = Qm4100Sim::Framing::VisaSerial;
        } else if (std::strcmp(a, "--mono") == 0) {
            mono = true;
        } else if ((v = value("--identity="))) {
            hasIdentity = true;
            identity = QByteArray(v);
        } else if (std::strcmp(a, "--no-reply") == 0) {
            faults.noReply = true;
        } else if (std::strcmp(a, "--long-text") == 0) {
            faults.longText = true;
        } else if (std::strcmp(a, "--garbage") == 0) {
            faults.garbage = true;
        } else if (std::strcmp(a, "--split") == 0) {
            faults.splitReply = true;
        } else if ((v = value("--delay-ms="))) {
            if (!number(v, faults.delayMs))
                return usage();
        } else if ((v = value("--silent-from="))) {
            if (!number(v, faults.silentFromQuery))
                return usage();
        } else if ((v = value("--short-block="))) {
            if (!number(v, faults.shortBlockBy))
                return usage();
        } else if ((v = value("--overlong-block="))) {
            if (!number(v, faults.overlongBlockBy))
                return usage();
        } else if ((v = value("--late-reply-to="))) {
            faults.lateReplyTo = QByteArray(v);
        } else if ((v = value("--value-mark="))) {
            faults.valueMark = QByteArray(v);
        } else if ((v = value("--absurd-value="))) {
            faults.absurdValue = QByteArray(v);
        } else if ((v = value("--value-fault-to="))) {
            faults.valueFaultTo = QByteArray(v);
        } else {
            return usage();
        }
    }

    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::fprintf(stderr, "qm4100-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const char *name = ::ptsname(master);
    if (!name) {
        std::fprintf(stderr, "qm4100-sim: no device name for the pseudo-terminal\n");
        return 1;
    }
    const QByteArray path(name);
    // Holding the device open ourselves keeps the master readable while no
    // client has it open (and across a client's close and reopen).
    int keep = ::open(path.constData(), O_RDWR | O_NOCTTY);
    if (keep < 0) {
        std::fprintf(stderr, "qm4100-sim: cannot open %s: %s\n", path.constData(), std::strerror(errno));
        return 1;
    }
    makeRaw(keep);
    makeRaw(master);
    // Non-blocking: a reply that the reader does not take waits in poll(),
    // where a stop signal reaches it, never inside write().
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "qm4100-sim: cannot make a pipe: %s\n", std::strerror(errno));
        return 1;
    }
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    struct sigaction silence;
    std::memset(&silence, 0, sizeof silence);
    silence.sa_handler = onSilence;
    sigemptyset(&silence.sa_mask);
    ::sigaction(SIGUSR1, &silence, nullptr);
    ::sigaction(SIGUSR2, &silence, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Qm4100Sim sim;
    sim.setMonochrome(mono);
    if (hasIdentity)
        sim.setIdentityText(identity);
    sim.setFaults(faults);

    std::printf("%s\n", path.constData());
    std::fflush(stdout);

    constexpr qsizetype kMaxLine = 65536;
    QByteArray pending;
    char buf[4096];
    while (waitFor(master, POLLIN, -1)) {
        ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            break;   // the device is gone (we hold it open, so this is not a client's close)
        }
        pending.append(buf, n);
        qsizetype lf;
        while (!stopRequested && (lf = pending.indexOf('\n')) >= 0) {
            QByteArray line = pending.left(lf);
            pending.remove(0, lf + 1);
            if (const int request = silenceRequest) {
                silenceRequest = 0;
                faults.noReply = request == 1;
                sim.setFaults(faults);
                std::fprintf(stderr, "qm4100-sim: %s\n", request == 1 ? "silent" : "answering again");
            }
            Qm4100Sim::Reply reply = sim.handle(line, framing);
            const bool refused = sim.log().last().refused;
            if (sim.log().size() > 10000)
                sim.clearLog();   // nobody reads this log; keep it small
            if (refused)
                std::fprintf(stderr, "qm4100-sim: refused: %s\n", line.toPercentEncoding(" :?*%,.+-_").constData());
            if (reply.isEmpty())
                continue;
            if (reply.delayMs > 0 && !sleepUnlessStopped(reply.delayMs))
                break;
            for (int c = 0; c < reply.chunks.size(); ++c) {
                // let the reader see each piece as its own read
                if (c > 0 && !sleepUnlessStopped(50))
                    break;
                if (!writeAll(master, reply.chunks[c]))
                    break;
            }
        }
        if (pending.size() > kMaxLine) {
            // a line this long is not one the instrument knows: drop it
            sim.handle(pending.left(kMaxLine), framing);
            pending.clear();
        }
    }
    ::close(keep);
    ::close(master);
    return 0;
}
