#include "platform/clock.h"
#include "platform/pump.h"

#include <QElapsedTimer>
#include <QtTest>

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
    }
    void cleanup()
    {
        setAppClock(nullptr);
        setPump({});
        clock_.reset();
    }

    void tenSecondPauseTakesNoRealTime()
    {
        QElapsedTimer real;
        real.start();
        appClock().pause(10000);
        QCOMPARE(appClock().nowMs(), qint64(10000));
        QCOMPARE(appClock().ticks(), qint64(100));
        QCOMPARE(vc().pausedMs(), qint64(10000));
        QVERIFY2(real.elapsed() < 1000, "a virtual pause must not sleep");
    }

    void tickCounterCountsHundredMs()
    {
        vc().advance(99);
        QCOMPARE(appClock().ticks(), qint64(0));
        vc().advance(1);
        QCOMPARE(appClock().ticks(), qint64(1));
        vc().advance(3950);
        QCOMPARE(appClock().ticks(), qint64(40));
    }

    void oneShotFiresOnceWhenDue()
    {
        auto t = appClock().makeTimer();
        int fired = 0;
        qint64 firedAt = -1;
        t->setSingleShot(true);
        t->onTimeout = [&] { ++fired; firedAt = appClock().nowMs(); };
        t->start(100);
        vc().advance(99);
        QCOMPARE(fired, 0);
        vc().advance(500);
        QCOMPARE(fired, 1);
        QCOMPARE(firedAt, qint64(100));
        QVERIFY(!t->isActive());
    }

    void repeatingTimersFireInOrder()
    {
        auto a = appClock().makeTimer();
        auto b = appClock().makeTimer();
        QStringList order;
        a->onTimeout = [&] { order << QStringLiteral("a%1").arg(appClock().nowMs()); };
        b->onTimeout = [&] { order << QStringLiteral("b%1").arg(appClock().nowMs()); };
        a->start(100);
        b->start(250);
        vc().advance(500);
        QCOMPARE(order, QStringList({"a100", "a200", "b250", "a300", "a400", "a500", "b500"}));
        a->stop();
        vc().advance(1000);
        QCOMPARE(order.size(), 11); // only b: 750, 1000, 1250, 1500
        QCOMPARE(vc().activeTimers(), 1);
    }

    void pauseFiresDueTimersAndHandlersMayStopThemselves()
    {
        auto t = appClock().makeTimer();
        int fired = 0;
        t->onTimeout = [&] {
            if (++fired == 3)
                t->stop();
        };
        t->start(200);
        appClock().pause(1000);
        QCOMPARE(fired, 3);
        QVERIFY(!t->isActive());
    }

    void timerDestroyedInItsHandlerIsSafe()
    {
        auto t = appClock().makeTimer();
        int fired = 0;
        t->setSingleShot(true);
        t->onTimeout = [&] { ++fired; t.reset(); };
        t->start(10);
        vc().advance(100);
        QCOMPARE(fired, 1);
        QVERIFY(!t);
        QCOMPARE(vc().activeTimers(), 0);
    }

    void realClockPauseLastsItsTime()
    {
        setAppClock(nullptr);
        QElapsedTimer real;
        real.start();
        const qint64 before = appClock().nowMs();
        appClock().pause(20);
        QVERIFY(appClock().nowMs() - before >= 19);
        QVERIFY(real.elapsed() >= 19);
    }

    void pumpCanBeReplaced()
    {
        int turns = 0;
        setPump([&] { ++turns; vc().advance(100); });
        const qint64 start = appClock().ticks();
        while (appClock().ticks() - start < 40)
            pumpEvents();
        setPump({});
        QCOMPARE(turns, 40);
    }

private:
    std::unique_ptr<VirtualClock> clock_;
    VirtualClock &vc() { return *clock_; }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
