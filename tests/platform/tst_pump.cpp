// The event pump: a wait turn ends as soon as an event comes (a timer, bytes
// on a descriptor such as a serial port's, a posted event) and handles it;
// under a replacement pump both calls run it once; inside an exchange the
// gate holds input that could start a second exchange, and lets typing and
// the controls that act at once through. (That a wait sleeps instead of spinning
// is measured by bench_waits.)
#include "platform/clock.h"
#include "platform/pump.h"
#include "support/nativeinput.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

// Counts the presses of key that reach the watched widget; the first one
// (not a repeat) shows dialog.
class KeyOpens final : public QObject {
public:
    KeyOpens(int key, QDialog *dialog, int *presses) : key_(key), dialog_(dialog), presses_(presses) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(e)->key() != key_)
            return false;
        ++*presses_;
        if (!static_cast<QKeyEvent *>(e)->isAutoRepeat() && !dialog_->isVisible() && *presses_ == 1)
            dialog_->show();
        return true;
    }

private:
    int key_;
    QDialog *dialog_;
    int *presses_;
};

class TestPump : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setPump({}); }

    // The instrument's pause on the real clock, measured on an injected time
    // that each turn of the (replaced) pump moves on by 7 ms: the event loop
    // turns throughout, under the input gate (a posted call runs inside, a
    // click on a button waits for the end), and the pause lasts its full
    // time; once abandoned it keeps at most its first 200 ms.
    void aPauseTurnsTheEventLoopAndKeepsItsLength_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("abandonAt"); // ms into the pause; -1: never
        QTest::addColumn<int>("endsAt");
        QTest::newRow("a serial command's") << 100 << -1 << 100;
        QTest::newRow("a VISA command's") << 200 << -1 << 200;
        QTest::newRow("the upload's longest") << 1000 << -1 << 1000;
        QTest::newRow("a command's, abandoned: kept whole") << 100 << 30 << 100;
        QTest::newRow("a VISA command's, abandoned: kept whole") << 200 << 150 << 200;
        QTest::newRow("a long one abandoned early: its first 200 ms") << 1000 << 50 << 200;
        QTest::newRow("a long one abandoned late: at once") << 4000 << 700 << 700;
    }
    void aPauseTurnsTheEventLoopAndKeepsItsLength()
    {
        QFETCH(int, ms);
        QFETCH(int, abandonAt);
        QFETCH(int, endsAt);
        constexpr qint64 StepNs = 7'000'000;
        qint64 fakeNs = 1'000'000'000;
        RealClock clock([&] { return fakeNs; });

        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Upload"), &window);
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        int turns = 0;
        int turnsOutsideAnExchange = 0;
        bool inPause = false;
        bool ranInPause = false;
        const qint64 startNs = fakeNs;
        setPump([&] {
            ++turns;
            if (!exchangeRunning())
                ++turnsOutsideAnExchange;
            if (turns == 1)
                QVERIFY(nativeinput::queueClick(button));
            handlePendingEvents();
            fakeNs += StepNs;
            if (abandonAt >= 0 && fakeNs - startNs >= qint64(abandonAt) * 1'000'000)
                abandonExchange();
        });
        QMetaObject::invokeMethod(this, [&] { ranInPause = inPause; }, Qt::QueuedConnection);
        inPause = true;
        clock.pause(ms);
        inPause = false;
        const qint64 lastedMs = (fakeNs - startNs) / 1'000'000;
        QVERIFY2(lastedMs >= endsAt && lastedMs < endsAt + 7, qPrintable(QString::number(lastedMs)));
        QVERIFY(turns >= endsAt / 7);
        QCOMPARE(turnsOutsideAnExchange, 0);
        QVERIFY2(ranInPause, "the posted call waited for the end of the pause");
        QCOMPARE(clicks, 0); // the click could start a second exchange: held
        QVERIFY(!exchangeRunning());
        setPump({});
        pumpEvents();
        QCOMPARE(clicks, 1);
    }

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

    // While an exchange runs (scopes nest) a text box takes typing at once,
    // while a click on a button stays held through every kind of turn, timers
    // and posted calls still coming; the first turn after the outermost scope
    // handles it, and two presses of the button count once.
    void typingGoesOnAButtonWaits()
    {
        QWidget window;
        auto *edit = new QLineEdit(&window);
        auto *button = new QPushButton(QStringLiteral("Go"), &window);
        button->move(0, 40);
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!exchangeRunning());
        {
            const ExchangeScope outer;
            {
                const ExchangeScope inner;
                QVERIFY(exchangeRunning());
                QVERIFY(nativeinput::queueKeyClick(edit, Qt::Key_A, QStringLiteral("a")));
                QVERIFY(nativeinput::queueClick(button));
                QVERIFY(nativeinput::queueClick(button));
                QVERIFY(nativeinput::queueKeyClick(edit, Qt::Key_B, QStringLiteral("b")));
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
                QCOMPARE(edit->text(), QStringLiteral("ab"));
                QCOMPARE(clicks, 0);
                QVERIFY(inputHeld());
            }
            QVERIFY(exchangeRunning());
            pumpEvents();
            handlePendingEvents();
            QCOMPARE(clicks, 0);
        }
        QVERIFY(!exchangeRunning());
        pumpEvents();
        QCOMPARE(clicks, 1);
        QVERIFY(!inputHeld());
        // Outside an exchange a click acts at once.
        QVERIFY(nativeinput::queueClick(button));
        handlePendingEvents();
        QCOMPARE(clicks, 2);
    }

    // Return, Enter or Escape held down in one window, whose press opened
    // another (a message, a dialog): the key's repeats come to the new
    // window, which never saw the press, and neither confirm nor cancel it;
    // a fresh press there does. Repeats in the window of the press go on
    // as ever.
    void aKeyHeldActsOnlyInTheWindowOfItsPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void aKeyHeldActsOnlyInTheWindowOfItsPress()
    {
        QFETCH(int, key);
        QFETCH(int, answer);
        QWidget window;
        auto *edit = new QLineEdit(&window);
        // The gate watches from the start, as the main window has it do.
        letActDuringExchange(edit, false);
        QDialog dialog;
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        int pressesInWindow = 0;
        KeyOpens opens(key, &dialog, &pressesInWindow);
        edit->installEventFilter(&opens);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus(Qt::OtherFocusReason);

        QVERIFY(nativeinput::queueKeyEvent(edit, QEvent::KeyPress, Qt::Key(key)));
        handlePendingEvents();
        QVERIFY(dialog.isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(nativeinput::queueKeyEvent(&dialog, QEvent::KeyRelease, Qt::Key(key), true));
            QVERIFY(nativeinput::queueKeyEvent(&dialog, QEvent::KeyPress, Qt::Key(key), true));
        }
        handlePendingEvents();
        QVERIFY2(dialog.isVisible(), "the repeats of the key that opened the dialog answered it");
        QVERIFY(nativeinput::queueKeyEvent(&dialog, QEvent::KeyRelease, Qt::Key(key)));
        QVERIFY(nativeinput::queueKeyEvent(&dialog, QEvent::KeyPress, Qt::Key(key)));
        QVERIFY(nativeinput::queueKeyEvent(&dialog, QEvent::KeyRelease, Qt::Key(key)));
        handlePendingEvents();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), answer);
        // Held in the window of its press, the key repeats there.
        QVERIFY(nativeinput::queueKeyEvent(edit, QEvent::KeyPress, Qt::Key(key)));
        QVERIFY(nativeinput::queueKeyEvent(edit, QEvent::KeyRelease, Qt::Key(key), true));
        QVERIFY(nativeinput::queueKeyEvent(edit, QEvent::KeyPress, Qt::Key(key), true));
        QVERIFY(nativeinput::queueKeyEvent(edit, QEvent::KeyRelease, Qt::Key(key)));
        handlePendingEvents();
        QCOMPARE(pressesInWindow, 3);
        dialog.hide();
    }

    // A click held on a button that was disabled when it was given does
    // nothing, even when the button is enabled by the end of the exchange;
    // a control marked to act during an exchange acts at once; a held call
    // runs after the exchange, with the input.
    void heldInputMeetsTheStateItWasGivenIn()
    {
        QWidget window;
        auto *disabled = new QPushButton(QStringLiteral("Off"), &window);
        auto *stop = new QPushButton(QStringLiteral("Stop"), &window);
        stop->move(0, 40);
        disabled->setEnabled(false);
        letActDuringExchange(stop);
        int offClicks = 0;
        int stopClicks = 0;
        connect(disabled, &QPushButton::clicked, this, [&] { ++offClicks; });
        connect(stop, &QPushButton::clicked, this, [&] {
            ++stopClicks;
            abandonExchange();
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool later = false;
        {
            const ExchangeScope exchange;
            QVERIFY(nativeinput::queueClick(disabled));
            QVERIFY(nativeinput::queueClick(stop));
            runAfterExchange([&] { later = true; });
            handlePendingEvents();
            QCOMPARE(stopClicks, 1);
            QVERIFY(exchangeAbandoned());
            QVERIFY(!later);
            disabled->setEnabled(true);
        }
        QVERIFY(!exchangeAbandoned());
        handlePendingEvents();
        QVERIFY(later);
        QCOMPARE(offClicks, 0);
    }

    // A double click on a button whose first click begins an exchange: its
    // second click, given while that exchange runs, is the same press again
    // and gets nothing; a button marked to count every click takes it as a
    // click of its own when the exchange has ended.
    void theSecondClickOfADoubleClickThatBeganAnExchange_data()
    {
        QTest::addColumn<bool>("everyClickCounts");
        QTest::addColumn<int>("clicks");
        QTest::newRow("a button") << false << 1;
        QTest::newRow("a button whose every click counts") << true << 2;
    }
    void theSecondClickOfADoubleClickThatBeganAnExchange()
    {
        QFETCH(bool, everyClickCounts);
        QFETCH(int, clicks);
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Go"), &window);
        if (everyClickCounts)
            letEveryClickCount(button);
        int clicked = 0;
        bool secondHeld = false;
        connect(button, &QPushButton::clicked, this, [&] {
            ++clicked;
            const ExchangeScope exchange;
            if (clicked == 1) {
                QVERIFY(nativeinput::queueClick(button, QPoint(-1, -1), Qt::LeftButton, true));
                handlePendingEvents();
                handlePendingEvents();
                secondHeld = clicked == 1;
            }
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(nativeinput::queueClick(button));
        handlePendingEvents();
        handlePendingEvents();
        QVERIFY(secondHeld);
        QCOMPARE(clicked, clicks);
        // A click after that is a click again.
        QVERIFY(nativeinput::queueClick(button));
        handlePendingEvents();
        QCOMPARE(clicked, clicks + 1);
    }

    // Only the one who began an exchange stops it with abandonExchangeOf():
    // an exchange begun by somebody else (or nobody) runs on; the outermost
    // scope's owner is the exchange's; abandonExchange() stops any.
    void onlyItsOwnerStopsAnExchange()
    {
        int a = 0;
        int b = 0;
        QVERIFY(!abandonExchangeOf(&a)); // nothing runs
        {
            const ExchangeScope exchange(&a);
            {
                const ExchangeScope inner(&b);
                QCOMPARE(exchangeOwner(), static_cast<const void *>(&a));
                QVERIFY(!abandonExchangeOf(&b));
                QVERIFY(!abandonExchangeOf(nullptr));
                QVERIFY(!exchangeAbandoned());
            }
            QVERIFY(abandonExchangeOf(&a));
            QVERIFY(exchangeAbandoned());
        }
        QVERIFY(lastExchangeAbandoned());
        QCOMPARE(exchangeOwner(), static_cast<const void *>(nullptr));
        {
            const ExchangeScope nobodys;
            QVERIFY(!abandonExchangeOf(&a));
            abandonExchange();
            QVERIFY(exchangeAbandoned());
        }
        QVERIFY(lastExchangeAbandoned());
    }

    // When an exchange ends and a modal window has opened over the window
    // held input was aimed at (the program shows a message after the
    // exchange), the held click gets nothing (it would act behind the
    // window) and the status bar says so; the program's own step queued for
    // the end of the exchange waits until that window closes, then runs.
    void heldInputNeverActsBehindAWindow()
    {
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Go"), &window);
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<BusyNotice> notices;
        setBusyNotice([&](BusyNotice n, bool on) {
            if (on)
                notices << n;
        });
        bool stepRan = false;
        QDialog message;
        message.setWindowModality(Qt::ApplicationModal);
        {
            const ExchangeScope exchange;
            QVERIFY(nativeinput::queueClick(button));
            runAfterExchange([&] { stepRan = true; });
            handlePendingEvents();
            QCOMPARE(clicks, 0);
        }
        message.show(); // before the held input is handled
        QVERIFY(QTest::qWaitForWindowExposed(&message));
        handlePendingEvents();
        QCOMPARE(clicks, 0);
        QVERIFY(!stepRan);
        QVERIFY(notices.contains(BusyNotice::InputDropped));
        message.hide();
        handlePendingEvents();
        QVERIFY(stepRan);
        QCOMPARE(clicks, 0);
        QVERIFY(!inputHeld());
        setBusyNotice({});
    }

    // A message the exchange shows (a lost device, a refused setting) waits
    // for the user's answer inside the exchange: its buttons and keys act at
    // once, or it could never be closed. The dialog open before the exchange
    // (whose apply the exchange is) still has its input held.
    void aMessageOfTheExchangeTakesItsAnswer()
    {
        QDialog settings;
        settings.setWindowModality(Qt::ApplicationModal);
        auto *ok = new QPushButton(QStringLiteral("OK"), &settings);
        int okClicks = 0;
        connect(ok, &QPushButton::clicked, this, [&] { ++okClicks; });
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        int answers = 0;
        {
            const ExchangeScope exchange;
            QVERIFY(nativeinput::queueClick(ok));
            handlePendingEvents();
            QCOMPARE(okClicks, 0);
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Kelvoscope"), QStringLiteral("Lost."),
                            QMessageBox::Ok, &settings);
            box.setWindowModality(Qt::ApplicationModal);
            connect(&box, &QMessageBox::finished, this, [&] { ++answers; });
            for (const bool byKey : {false, true}) {
                box.show();
                QVERIFY(QTest::qWaitForWindowExposed(&box));
                QAbstractButton *answer = box.button(QMessageBox::Ok);
                QVERIFY(byKey ? nativeinput::queueKeyClick(answer, Qt::Key_Return)
                              : nativeinput::queueClick(answer));
                handlePendingEvents();
                QVERIFY2(!box.isVisible(), byKey ? "Return held" : "click held");
            }
            QCOMPARE(answers, 2);
            // The dialog behind is no answer: a second click of its OK is
            // the same press again, and still waits.
            QVERIFY(nativeinput::queueClick(ok));
            handlePendingEvents();
            QCOMPARE(okClicks, 0);
        }
        handlePendingEvents();
        QCOMPARE(okClicks, 1);
    }
};

QTEST_MAIN(TestPump)
#include "tst_pump.moc"
