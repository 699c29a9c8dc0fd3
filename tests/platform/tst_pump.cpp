// The event pump: a wait turn ends as soon as an event comes (a timer, bytes
// on a descriptor such as a serial port's, a posted event) and handles it;
// under a replacement pump both calls run it once; inside an exchange the
// turns hold the user's input back. (That a wait sleeps instead of spinning
// is measured by bench_waits.)
#include "platform/pump.h"
#include "support/nativeinput.h"

#include <QElapsedTimer>
#include <QLineEdit>
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

    // Keys typed while an exchange runs (scopes nest) stay queued through
    // every kind of turn, while timers and posted calls still come; the first
    // turn after the outermost scope types them, in order.
    void inputWaitsForTheEndOfTheExchange()
    {
        QLineEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QVERIFY(!exchangeRunning());
        {
            const ExchangeScope outer;
            {
                const ExchangeScope inner;
                QVERIFY(exchangeRunning());
                QVERIFY(nativeinput::queueKeyClick(&edit, Qt::Key_A, QStringLiteral("a")));
                QVERIFY(nativeinput::queueKeyClick(&edit, Qt::Key_B, QStringLiteral("b")));
                bool fired = false;
                QTimer::singleShot(0, this, [&] { fired = true; });
                QElapsedTimer t;
                t.start();
                while (!fired && t.elapsed() < 60000)
                    waitEvents(60000);
                QVERIFY(fired);
                bool ran = false;
                QMetaObject::invokeMethod(this, [&] { ran = true; }, Qt::QueuedConnection);
                pumpEvents();
                QVERIFY(ran);
                waitEvents(0);
                handlePendingEvents();
                QCOMPARE(edit.text(), QString());
            }
            QVERIFY(exchangeRunning());
            pumpEvents();
            handlePendingEvents();
            QCOMPARE(edit.text(), QString());
        }
        QVERIFY(!exchangeRunning());
        pumpEvents();
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        // Outside an exchange a turn types at once.
        QVERIFY(nativeinput::queueKeyClick(&edit, Qt::Key_C, QStringLiteral("c")));
        handlePendingEvents();
        QCOMPARE(edit.text(), QStringLiteral("abc"));
    }

    // A wait whose only pending event is held input sleeps to its deadline
    // (or its timer), and its scope's end leaves the input for the next turn.
    void aWaitInsideAnExchangeEndsAtItsTimer()
    {
        QLineEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        bool fired = false;
        {
            const ExchangeScope exchange;
            QVERIFY(nativeinput::queueKeyClick(&edit, Qt::Key_X, QStringLiteral("x")));
            QTimer::singleShot(1, this, [&] { fired = true; });
            QElapsedTimer t;
            t.start();
            while (!fired && t.elapsed() < 60000)
                waitEvents(60000);
            QVERIFY(t.elapsed() < 30000);
            QCOMPARE(edit.text(), QString());
        }
        waitEvents(60000);
        QCOMPARE(edit.text(), QStringLiteral("x"));
    }
};

QTEST_MAIN(TestPump)
#include "tst_pump.moc"
