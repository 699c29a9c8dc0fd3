// The event pump: a wait turn ends as soon as an event comes (a timer, bytes
// on a descriptor such as a serial port's, a posted event) and handles it;
// under a replacement pump both calls run it once. (That a wait sleeps
// instead of spinning is measured by bench_waits.)
#include "platform/pump.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

class TestPump : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setPump({}); }

    void replacementRunsOncePerCall()
    {
        int turns = 0;
        setPump([&] { ++turns; });
        pumpEvents();
        QCOMPARE(turns, 1);
        waitEvents(60000);
        QCOMPARE(turns, 2);
        waitEvents(0);
        QCOMPARE(turns, 3);
    }

    // Each source below wakes a wait whose deadline lies a minute away; a
    // wait that did not wake would stop the test at its deadline.
    void aTimerEndsTheWait()
    {
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        QElapsedTimer t;
        t.start();
        while (!fired && t.elapsed() < 60000)
            waitEvents(60000);
        QVERIFY(fired);
        QVERIFY(t.elapsed() < 30000);
    }

    void bytesOnADescriptorEndTheWait()
    {
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        QSocketNotifier notifier(fds[0], QSocketNotifier::Read);
        QByteArray got;
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char c;
            if (::read(fds[0], &c, 1) == 1)
                got += c;
        });
        QCOMPARE(::write(fds[1], "k", 1), ssize_t(1));
        QElapsedTimer t;
        t.start();
        while (got.isEmpty() && t.elapsed() < 60000)
            waitEvents(60000);
        ::close(fds[0]);
        ::close(fds[1]);
        QCOMPARE(got, QByteArray("k"));
        QVERIFY(t.elapsed() < 30000);
    }

    void aPostedEventIsHandled()
    {
        bool ran = false;
        QMetaObject::invokeMethod(this, [&] { ran = true; }, Qt::QueuedConnection);
        waitEvents(60000);
        QVERIFY(ran);
        // The flush handles what is pending and returns.
        ran = false;
        QMetaObject::invokeMethod(this, [&] { ran = true; }, Qt::QueuedConnection);
        pumpEvents();
        QVERIFY(ran);
    }
};

QTEST_GUILESS_MAIN(TestPump)
#include "tst_pump.moc"
