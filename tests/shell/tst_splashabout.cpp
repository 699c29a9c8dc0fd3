// The splash window (centred, gone before the main window shows) and the About
// box: the engineering version on F2 in both languages, System Info through
// the program lookup with the unavailable message, Esc and Enter closing.
#include "shellfixture.h"

#include "shell/frmabout.h"
#include "shell/frmsplash.h"
#include "workspace/pictures.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

class TestSplashAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setProgramLookup({}); }

    void splashIsCentred()
    {
        ShellFixture f;
        frmSplash s;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(s.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(s.geometry().center().y() - screen.center().y()) <= 1);
    }

    // Both windows have a fixed size; the About box shows its warning line in
    // either language.
    void fixedSizesAndTheWarningLine_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void fixedSizesAndTheWarningLine()
    {
        QFETCH(int, lang);
        ShellFixture f;
        app().texts.LanguageIndex = lang;
        frmSplash s;
        frmAbout a(nullptr);
        a.show();
        s.show();
        for (QWidget *w : std::initializer_list<QWidget *>{&s, &a}) {
            QCOMPARE(w->minimumSize(), w->maximumSize());
            QCOMPARE(w->size(), w->minimumSize());
        }
        auto *warning = a.findChild<QLabel *>(QStringLiteral("lblDisclaimer"));
        QVERIFY(warning && warning->isVisible());
        QVERIFY(warning->text().startsWith(lang == 0 ? QString::fromUtf8("警告") : QStringLiteral("Warning")));
        // The longest texts fit (they wrap inside the box).
        QVERIFY(a.rect().contains(warning->geometry()));
    }

    // The product picture of both windows: a graticule with a yellow and a
    // cyan trace on a dark ground.
    void productPictureIsShown()
    {
        ShellFixture f;
        frmSplash s;
        frmAbout a(nullptr);
        for (QWidget *w : std::initializer_list<QWidget *>{&s, &a}) {
            QImage shown;
            for (const QLabel *l : w->findChildren<QLabel *>())
                if (l->pixmap().size() == QSize(400, 250))
                    shown = l->pixmap().toImage();
            QVERIFY2(!shown.isNull(), qPrintable(w->objectName()));
            int yellow = 0, cyan = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QRgb c = shown.pixel(x, y);
                    yellow += c == qRgb(255, 255, 0);
                    cyan += c == qRgb(0, 255, 255);
                }
            QVERIFY(yellow > 300 && cyan > 300);
            QVERIFY(qGray(shown.pixel(5, 245)) < 40);
        }
        QVERIFY(pictureImage("no-such-picture").isNull());
    }

    void splashGoesBeforeTheMainWindowShows()
    {
        ShellFixture f;
        bool splashSeenDuringLoad = false;
        app().shell.hooks.OpenVisaRM = [&] {
            for (QWidget *t : QApplication::topLevelWidgets())
                if (t->objectName() == QLatin1String("frmSplash") && t->isVisible())
                    splashSeenDuringLoad = true;
        };
        // The main window, when it becomes visible, must find no splash.
        struct ShowWatch : QObject {
            bool splashAtShow = true;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Show && o->objectName() == QLatin1String("frmMain")) {
                    splashAtShow = false;
                    for (QWidget *t : QApplication::topLevelWidgets())
                        if (t->objectName() == QLatin1String("frmSplash"))
                            splashAtShow = true;
                }
                return false;
            }
        } watch;
        qApp->installEventFilter(&watch);
        std::unique_ptr<frmMain> w(StartProgram());
        qApp->removeEventFilter(&watch);
        QVERIFY(splashSeenDuringLoad);
        QVERIFY(!watch.splashAtShow);
        QVERIFY(w->isVisible());
    }

    // The splash is on screen and painted before the main window's load
    // begins, and it shows no frame of a window manager: it is placed and
    // painted by the program alone (under X it passes the window manager, so
    // that it maps, and can be painted, at once). It is painted once: the
    // window system's first expose, handled while it is shown, paints it, and
    // the start-up paints it itself only when that has not happened (a window
    // system that exposes it later).
    void splashPaintedBeforeTheMainWindowLoads_data()
    {
        QTest::addColumn<bool>("showLeavesItUnpainted");
        QTest::newRow("painted when shown") << false;
        QTest::newRow("not painted when shown") << true;
    }
    void splashPaintedBeforeTheMainWindowLoads()
    {
        QFETCH(bool, showLeavesItUnpainted);
        ShellFixture f;
        struct PaintWatch : QObject {
            bool dropFirst = false;
            int seen = 0;
            int paints = 0; // the paintings that reached the window
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() != QEvent::Paint || o->objectName() != QLatin1String("frmSplash"))
                    return false;
                if (seen++ == 0 && dropFirst)
                    return true;
                ++paints;
                return false;
            }
        } watch;
        watch.dropFirst = showLeavesItUnpainted;
        qApp->installEventFilter(&watch);
        int paintsAtLoad = -1;
        bool exposedAtLoad = false;
        Qt::WindowFlags flags;
        app().shell.hooks.OpenVisaRM = [&] {
            for (QWidget *t : QApplication::topLevelWidgets())
                if (t->objectName() == QLatin1String("frmSplash") && t->isVisible()) {
                    paintsAtLoad = watch.paints;
                    exposedAtLoad = t->windowHandle() && t->windowHandle()->isExposed();
                    flags = t->windowFlags();
                }
        };
        std::unique_ptr<frmMain> w(StartProgram());
        qApp->removeEventFilter(&watch);
        QCOMPARE(paintsAtLoad, 1);
        QVERIFY(exposedAtLoad);
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::X11BypassWindowManagerHint));
    }

    void f2ShowsTheEngineeringVersion_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::newRow("English") << 1 << Qt::KeyboardModifiers();
        QTest::newRow("Chinese") << 0 << Qt::KeyboardModifiers();
        QTest::newRow("Shift") << 1 << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("Ctrl") << 0 << Qt::KeyboardModifiers(Qt::ControlModifier);
    }
    void f2ShowsTheEngineeringVersion()
    {
        QFETCH(int, lang);
        QFETCH(Qt::KeyboardModifiers, mods);
        ShellFixture f(lang);
        frmAbout about;
        about.show();
        QTest::keyClick(about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::Key_F2, mods);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages()[0].text, QStringLiteral("当前工程模式版本号为：00.01.04.00.02"));
        QCOMPARE(f.fakeUi.messages()[0].buttons, MsgButtons::Ok);
        QVERIFY(about.isVisible());
        QTest::keyClick(&about, Qt::Key_F3);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    void systemInfo_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("found"); // program name the lookup finds, or ""
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("none, English") << 1 << QString() << QString() << "System Information Is Unavailable At This Time!";
        QTest::newRow("none, Chinese") << 0 << QString() << QString() << "该时刻系统信息不可得到！";
        QTest::newRow("found but will not start") << 1 << "hardinfo" << "/nonexistent/hardinfo"
                                                  << "System Information Is Unavailable At This Time!";
        QTest::newRow("found and started") << 1 << "kinfocenter" << "/bin/true" << QString();
    }
    void systemInfo()
    {
        QFETCH(int, lang);
        QFETCH(QString, found);
        QFETCH(QString, path);
        QFETCH(QString, message);
        ShellFixture f(lang);
        QStringList asked;
        setProgramLookup([&](const QString &program) {
            asked << program;
            return program == found ? path : QString();
        });
        frmAbout about;
        about.show();
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        QVERIFY(about.isVisible()); // the box stays open
        QCOMPARE(asked.first(), systemInfoPrograms().first());
        if (message.isEmpty()) {
            QVERIFY(f.fakeUi.messages().isEmpty());
            QCOMPARE(asked.last(), found);
        } else {
            QCOMPARE(f.fakeUi.messages().size(), 1);
            QCOMPARE(f.fakeUi.messages()[0].text, message);
            QCOMPARE(f.fakeUi.messages()[0].buttons, MsgButtons::Ok);
        }
    }

    void escAndEnterClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void escAndEnterClose()
    {
        QFETCH(int, key);
        ShellFixture f;
        auto w = f.loadMain();
        int results = 0;
        f.script = [&](QDialog &d) {
            QTest::keyClick(&d, Qt::Key(key));
            QVERIFY(!d.isVisible());
            ++results;
        };
        w->action(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(results, 1);
        QCOMPARE(f.dialogsShown, QStringList{"frmAbout"});
    }
};

QTEST_MAIN(TestSplashAbout)
#include "tst_splashabout.moc"
