#include "shell/frmmain.h"

#include <QtTest>

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void opensTitledAndClosesCleanly()
    {
        auto *w = new frmMain;
        w->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<frmMain> guard(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("Kelvoscope"));
        QVERIFY(w->close());
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
