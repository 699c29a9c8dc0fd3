// The application-wide mouse pointer: the hourglass over every window, read
// back by any window, and the default pointer restored.
#include "workspace/mousecontrol.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtTest>

class TestMouseControl : public QObject {
    Q_OBJECT
private slots:
    void init() { MouseControl::setCursor(0); }

    void hourglassAndDefault()
    {
        QWidget a, b;
        a.show();
        b.show();
        MouseControl::setCursor(11);
        QCOMPARE(MouseControl::Cursor(), 11);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Setting it again does not stack pointers: one reset restores the default.
        MouseControl::setCursor(11);
        MouseControl::setCursor(0);
        QCOMPARE(MouseControl::Cursor(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void codesAndCustomPointer()
    {
        MouseControl::setCursor(3);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        MouseControl::SetCustomCursor(QCursor(Qt::PointingHandCursor));
        MouseControl::setCursor(99);
        QCOMPARE(MouseControl::Cursor(), 99);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        // The code is 16 bits wide.
        MouseControl::setCursor(65536 + 11);
        QCOMPARE(MouseControl::Cursor(), 11);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        MouseControl::setCursor(0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestMouseControl)
#include "tst_mousecontrol.moc"
