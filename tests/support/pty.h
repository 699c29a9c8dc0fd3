#pragma once
// A pseudo-terminal for tests: the test holds the master side, the code under
// test opens the slave device by its path.

#include <QByteArray>
#include <QString>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

struct Pty {
    int master = -1;
    QString slave;
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        char name[128];
        if (::ptsname_r(master, name, sizeof name) == 0)
            slave = QString::fromLocal8Bit(name);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    bool ok() const { return master >= 0 && !slave.isEmpty(); }
    void send(const QByteArray &b) const
    {
        QCOMPARE(::write(master, b.constData(), b.size()), ssize_t(b.size()));
    }
    // What the slave side wrote, waiting at most a second for the first byte and
    // briefly for more, until want bytes are in.
    QByteArray receive(int want) const
    {
        QByteArray got;
        while (got.size() < want) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, got.isEmpty() ? 1000 : 200) != 1)
                break;
            char buf[512];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }
};

// A terminal's node that should be gone: a node at that path now is another
// program's new terminal, which took the number freed (tests run side by side).
// made: the node's change time (st_ctim) while it was the one watched.
inline bool ptyNodeGone(const QString &path, const timespec &made)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return true;
    return st.st_ctim.tv_sec != made.tv_sec || st.st_ctim.tv_nsec != made.tv_nsec;
}

inline timespec ptyNodeChangeTime(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return timespec{-1, 0};
    return st.st_ctim;
}
