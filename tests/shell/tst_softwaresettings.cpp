// The general settings in the store: every key with its default, the texts
// written, conversions that fail, the serial link kind not surviving a
// restart, and the main window's rectangle in twips (also off every screen).
#include "shellfixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

class TestSoftwareSettings : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreGivesDefaults()
    {
        ShellFixture f;
        app().shell.StartupCheckHardware = true; // start-up values of the program: set, to see them read
        app().link.IoType = 2;
        TwipsRect r{1, 2, 3, 4};
        LoadSoftwareSetting(&r);
        const ShellState &s = app().shell;
        QCOMPARE(s.StartupCheckHardware, false);
        QCOMPARE(s.StartupLoadSheet, false);
        QCOMPARE(s.StartupLoadCtrl, false);
        QCOMPARE(app().link.IoType, 0);
        QCOMPARE(app().link.ComPortNumber, 1);
        QCOMPARE(app().link.BaudRateText, QStringLiteral("9600"));
        QCOMPARE(s.GpibAddress, 7);
        QCOMPARE(s.RefreshType, QStringLiteral("Single"));
        QCOMPARE(s.RefreshInterval, 1000);
        QCOMPARE(app().link.ResourceIndex, qint16(0));
        QCOMPARE(r.Left, 1000.0);
        QCOMPARE(r.Top, 1000.0);
        QCOMPARE(r.Width, 6500.0);
        QCOMPARE(r.Height, 6500.0);
    }

    void everyKeyIsReadBack()
    {
        ShellFixture f;
        using namespace StoreKeys;
        f.store(General, StartupCheckHardware, QStringLiteral("True"));
        f.store(General, StartupLoadSheet, QStringLiteral("-1"));
        f.store(General, StartupLoadCtrl, QStringLiteral("true"));
        f.store(IoSettings, ComPort, QStringLiteral("5"));
        f.store(IoSettings, BaudRate, QStringLiteral(" 19200"));
        f.store(IoSettings, GpibAddr, QStringLiteral("12"));
        f.store(Refresh, RefreshType, QStringLiteral("Sometimes"));
        f.store(Refresh, RefreshInterval, QStringLiteral("5000"));
        f.store(WindowSettings, MainLeft, QStringLiteral("1500"));
        f.store(WindowSettings, MainTop, QStringLiteral("750.5"));
        f.store(WindowSettings, MainWidth, QStringLiteral("9000"));
        f.store(WindowSettings, MainHeight, QStringLiteral("7500"));
        TwipsRect r;
        LoadSoftwareSetting(&r);
        const ShellState &s = app().shell;
        QVERIFY(s.StartupCheckHardware);
        QVERIFY(s.StartupLoadSheet);
        QVERIFY(s.StartupLoadCtrl);
        QCOMPARE(app().link.ComPortNumber, 5);
        QCOMPARE(app().link.BaudRateText, QStringLiteral(" 19200")); // the text as chosen
        QCOMPARE(s.GpibAddress, 12);
        QCOMPARE(s.RefreshType, QStringLiteral("Sometimes")); // loaded unchanged
        QCOMPARE(s.RefreshInterval, 5000);
        QCOMPARE(r.Left, 1500.0);
        QCOMPARE(r.Top, 750.5);
        QCOMPARE(r.Width, 9000.0);
        QCOMPARE(r.Height, 7500.0);
    }

    void serialLinkKindReadsAsVisa_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("ioType");
        QTest::newRow("serial") << QStringLiteral("2") << 0;
        QTest::newRow("visa") << QStringLiteral("0") << 0;
        QTest::newRow("other number kept") << QStringLiteral("3") << 3;
    }
    void serialLinkKindReadsAsVisa()
    {
        QFETCH(QString, stored);
        QFETCH(int, ioType);
        ShellFixture f;
        f.store(StoreKeys::IoSettings, StoreKeys::ScopeIOType, stored);
        f.store(StoreKeys::IoSettings, StoreKeys::ComPort, QStringLiteral("3"));
        f.store(StoreKeys::IoSettings, StoreKeys::BaudRate, QStringLiteral("38400"));
        LoadSoftwareSetting(nullptr);
        QCOMPARE(app().link.IoType, ioType);
        QCOMPARE(app().link.ComPortNumber, 3);
        QCOMPARE(app().link.BaudRateText, QStringLiteral("38400"));
    }

    void unreadableValuesKeepTheirTarget()
    {
        ShellFixture f;
        using namespace StoreKeys;
        f.store(General, StartupLoadSheet, QStringLiteral("maybe"));
        f.store(IoSettings, ComPort, QStringLiteral("COM3"));
        f.store(IoSettings, GpibAddr, QStringLiteral("99999999999"));
        f.store(Refresh, RefreshInterval, QStringLiteral(""));
        f.store(WindowSettings, MainWidth, QStringLiteral("wide"));
        app().shell.StartupLoadSheet = true;
        app().link.ComPortNumber = 0;
        app().shell.GpibAddress = 4;
        app().shell.RefreshInterval = 250;
        TwipsRect r{10, 20, 30, 40};
        LoadSoftwareSetting(&r);
        QVERIFY(app().shell.StartupLoadSheet);
        QCOMPARE(app().link.ComPortNumber, 0);
        QCOMPARE(app().shell.GpibAddress, 4);
        QCOMPARE(app().shell.RefreshInterval, 250);
        QCOMPARE(r.Width, 30.0);
        QCOMPARE(r.Left, 1000.0); // the next value is still read
    }

    void everyKeyIsWrittenAsText()
    {
        ShellFixture f;
        ShellState &s = app().shell;
        s.StartupCheckHardware = true;
        s.StartupLoadSheet = false;
        s.StartupLoadCtrl = true;
        app().link.IoType = 2;
        app().link.ComPortNumber = 16;
        app().link.BaudRateText = QStringLiteral("2400");
        s.GpibAddress = 30;
        s.RefreshType = QStringLiteral("Auto");
        s.RefreshInterval = 20000;
        const TwipsRect r{1500, 3000, 9600, 7215};
        QVERIFY(SaveSoftwareSetting(&r));
        using namespace StoreKeys;
        QCOMPARE(f.stored(General, StartupCheckHardware), QStringLiteral("True"));
        QCOMPARE(f.stored(General, StartupLoadSheet), QStringLiteral("False"));
        QCOMPARE(f.stored(General, StartupLoadCtrl), QStringLiteral("True"));
        QCOMPARE(f.stored(IoSettings, ScopeIOType), QStringLiteral("2"));
        QCOMPARE(f.stored(IoSettings, ComPort), QStringLiteral("16"));
        QCOMPARE(f.stored(IoSettings, BaudRate), QStringLiteral("2400"));
        QCOMPARE(f.stored(IoSettings, GpibAddr), QStringLiteral("30"));
        QCOMPARE(f.stored(Refresh, RefreshType), QStringLiteral("Auto"));
        QCOMPARE(f.stored(Refresh, RefreshInterval), QStringLiteral("20000"));
        QCOMPARE(f.stored(WindowSettings, MainLeft), QStringLiteral("1500"));
        QCOMPARE(f.stored(WindowSettings, MainTop), QStringLiteral("3000"));
        QCOMPARE(f.stored(WindowSettings, MainWidth), QStringLiteral("9600"));
        QCOMPARE(f.stored(WindowSettings, MainHeight), QStringLiteral("7215"));

        // Without a rectangle (a minimised window) the stored one stays.
        QVERIFY(SaveSoftwareSetting(nullptr));
        QCOMPARE(f.stored(WindowSettings, MainWidth), QStringLiteral("9600"));
    }

    void windowRectangleRoundTripsInTwips()
    {
        ShellFixture f;
        const double perPixel = twipsPerPixel();
        f.store(StoreKeys::WindowSettings, StoreKeys::MainLeft, QString::number(40 * perPixel));
        f.store(StoreKeys::WindowSettings, StoreKeys::MainTop, QString::number(30 * perPixel));
        f.store(StoreKeys::WindowSettings, StoreKeys::MainWidth, QString::number(500 * perPixel));
        f.store(StoreKeys::WindowSettings, StoreKeys::MainHeight, QString::number(400 * perPixel));
        {
            auto w = f.loadMain();
            QCOMPARE(w->pos(), QPoint(40, 30));
            QCOMPARE(w->size(), QSize(500, 400));
            w->move(60, 50);
            w->resize(520, 410);
            QVERIFY(w->close());
        }
        QCOMPARE(f.stored(StoreKeys::WindowSettings, StoreKeys::MainLeft), QString::number(qRound(60 * perPixel)));
        QCOMPARE(f.stored(StoreKeys::WindowSettings, StoreKeys::MainWidth), QString::number(qRound(520 * perPixel)));
        QCOMPARE(f.stored(StoreKeys::WindowSettings, StoreKeys::MainHeight), QString::number(qRound(410 * perPixel)));
    }

    void minimisedWindowKeepsTheStoredRectangle()
    {
        ShellFixture f;
        f.store(StoreKeys::WindowSettings, StoreKeys::MainWidth, QStringLiteral("7770"));
        auto w = f.loadMain();
        w->show();
        w->resize(300, 200);
        w->showMinimized();
        QVERIFY(w->isMinimized());
        QVERIFY(w->close());
        QCOMPARE(f.stored(StoreKeys::WindowSettings, StoreKeys::MainWidth), QStringLiteral("7770"));
        QCOMPARE(f.stored(StoreKeys::General, StoreKeys::StartupCheckHardware), QStringLiteral("False"));
    }

    void maximisedWindowStoresItsMaximisedRectangle()
    {
        ShellFixture f;
        QRect maximised;
        {
            auto w = f.loadMain();
            w->show();
            w->showMaximized();
            QVERIFY(w->isMaximized());
            maximised = QRect(w->pos(), w->size());
            QVERIFY(w->close());
        }
        const double perPixel = twipsPerPixel();
        QCOMPARE(f.stored(StoreKeys::WindowSettings, StoreKeys::MainWidth), QString::number(qRound(maximised.width() * perPixel)));
        // The next start shows a normal window of that size.
        auto again = f.loadMain();
        QVERIFY(!again->isMaximized());
        QCOMPARE(again->size(), maximised.size());
    }

    // No rectangle ever stored: three quarters of the screen's available
    // area, centred; once one is stored (even one key), it is used.
    void firstStartWindowFillsThreeQuartersOfTheScreen()
    {
        ShellFixture f;
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        {
            auto w = f.loadMain();
            QCOMPARE(w->size(), QSize(avail.width() * 3 / 4, avail.height() * 3 / 4));
            QCOMPARE(QRect(w->pos(), w->size()).center(), avail.center());
            // Every toolbar button shown, none behind the overflow arrow.
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            for (QAction *a : w->toolBar()->actions())
                if (!a->isSeparator())
                    QVERIFY2(w->toolBar()->widgetForAction(a)->isVisible(), qPrintable(a->objectName()));
        }
        const double perPixel = twipsPerPixel();
        f.store(StoreKeys::WindowSettings, StoreKeys::MainWidth, QString::number(500 * perPixel));
        auto w = f.loadMain();
        QCOMPARE(w->pos(), QPoint(qRound(1000 / perPixel), qRound(1000 / perPixel)));
        QCOMPARE(w->size(), QSize(500, qRound(6500 / perPixel)));
        // The 1600 x 1000 screen of a new user.
        QCOMPARE(firstStartWindowRect(QRect(0, 0, 1600, 1000)), QRect(200, 125, 1200, 750));
        QCOMPARE(firstStartWindowRect(QRect(1600, 30, 1024, 738)), QRect(1728, 122, 768, 553));
    }

    void rectangleOffEveryScreenIsMovedOnScreen()
    {
        ShellFixture f;
        f.store(StoreKeys::WindowSettings, StoreKeys::MainLeft, QStringLiteral("-900000"));
        f.store(StoreKeys::WindowSettings, StoreKeys::MainTop, QStringLiteral("900000"));
        auto w = f.loadMain();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(w->pos()), qPrintable(QStringLiteral("%1,%2").arg(w->x()).arg(w->y())));
        QVERIFY(screen.intersected(w->geometry()).width() >= 100);
    }

    void placeOnScreensKeepsVisibleRectangles()
    {
        const QList<QRect> screens{QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
        // Partly visible on the second screen: kept.
        QCOMPARE(placeOnScreens(QRect(1700, 100, 400, 300), screens), QRect(1700, 100, 400, 300));
        // A sliver of 10 pixels only: moved to the primary, size bounded by it.
        QCOMPARE(placeOnScreens(QRect(-990, 10, 1000, 900), screens), QRect(0, 0, 800, 600));
        // Wholly off: moved, size kept when it fits.
        QCOMPARE(placeOnScreens(QRect(5000, 5000, 300, 200), screens), QRect(0, 0, 300, 200));
    }

    void flagAndNumberReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("flag");
        QTest::newRow("True") << QStringLiteral("True") << true << true;
        QTest::newRow("FALSE") << QStringLiteral("FALSE") << true << false;
        QTest::newRow("-1") << QStringLiteral("-1") << true << true;
        QTest::newRow("0") << QStringLiteral("0") << true << false;
        QTest::newRow("yes") << QStringLiteral("yes") << false << false;
        QTest::newRow("empty") << QString() << false << false;
    }
    void flagAndNumberReading()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(bool, flag);
        bool v = !flag;
        QCOMPARE(readFlag(text, &v), ok);
        if (ok)
            QCOMPARE(v, flag);
        qint32 n = 0;
        QVERIFY(StoredLong(QStringLiteral("2.5"), &n));
        QCOMPARE(n, 2); // halves to even
        QVERIFY(!StoredLong(QStringLiteral("3000000000"), &n));
    }
};

QTEST_MAIN(TestSoftwareSettings)
#include "tst_softwaresettings.moc"
