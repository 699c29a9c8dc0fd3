// Press-and-hold buttons (the viewer's scale steps, the replay interval's
// + and -, the panel's knob arrows) when their release never comes: a window
// opened over theirs during the hold (a message box of the step the press
// started) takes the mouse, and the hold must end then, not repeat on.
#include "panel/panelkeys.h"
#include "platform/ui/holdbutton.h"

#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include <memory>

class TestHoldButton : public QObject {
    Q_OBJECT
private slots:
    void aWindowOpenedOverItEndsTheHold_data()
    {
        QTest::addColumn<bool>("knob");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("step button, blocked") << false << true;
        QTest::newRow("step button, released") << false << false;
        QTest::newRow("knob arrow, blocked") << true << true;
        QTest::newRow("knob arrow, released") << true << false;
    }
    void aWindowOpenedOverItEndsTheHold()
    {
        QFETCH(bool, knob);
        QFETCH(bool, blocked);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        QAbstractButton *button = nullptr;
        std::unique_ptr<QSignalSpy> pressed, released;
        if (knob) {
            auto *k = new KnobButton(QStringLiteral(">"), &window);
            pressed = std::make_unique<QSignalSpy>(k, &KnobButton::knobPressed);
            released = std::make_unique<QSignalSpy>(k, &KnobButton::knobReleased);
            button = k;
        } else {
            auto *h = new HoldButton(&window);
            pressed = std::make_unique<QSignalSpy>(h, &QAbstractButton::pressed);
            released = std::make_unique<QSignalSpy>(h, &QAbstractButton::released);
            button = h;
        }
        layout->addWidget(button);
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mousePress(button, Qt::LeftButton);
        QCOMPARE(pressed->size(), 1);
        QCOMPARE(released->size(), 0);
        QVERIFY(button->isDown());
        if (blocked) {
            QEvent e(QEvent::WindowBlocked);
            QCoreApplication::sendEvent(&window, &e);
            QCOMPARE(released->size(), 1);
            QVERIFY(!button->isDown());
            // A release that comes after all clicks nothing.
            QTest::mouseRelease(button, Qt::LeftButton);
            QCOMPARE(clicked.size(), 0);
            // The next hold is watched again.
            QEvent u(QEvent::WindowUnblocked);
            QCoreApplication::sendEvent(&window, &u);
            const qsizetype before = released->size();
            QTest::mousePress(button, Qt::LeftButton);
            QCOMPARE(pressed->size(), 2);
            QCoreApplication::sendEvent(&window, &e);
            QCOMPARE(released->size(), before + 1);
        } else {
            QTest::mouseRelease(button, Qt::LeftButton);
            QCOMPARE(released->size(), 1);
            QVERIFY(!button->isDown());
            // Blocked after the hold has ended: nothing more.
            QEvent e(QEvent::WindowBlocked);
            QCoreApplication::sendEvent(&window, &e);
            QCOMPARE(released->size(), 1);
        }
    }
};

QTEST_MAIN(TestHoldButton)
#include "tst_holdbutton.moc"
