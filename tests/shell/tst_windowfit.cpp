// Every window and dialog, in both languages, at the size it opens at and at
// the smallest size its frame allows: each control the user needs shows its
// caption and value whole, lies where it can be reached, and stands apart
// from its neighbours.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "measure/frmpassfailed.h"
#include "panel/frmv_key.h"
#include "panel/frmv_panel.h"
#include "replay/frmrecordplay.h"
#include "shell/frmabout.h"
#include "shell/frmnewdoc.h"
#include "shell/frmopendoc.h"
#include "shell/frmoptions.h"
#include "shell/shellfixture.h"
#include "editors/ctrldialog.h"
#include "editors/ctrldialogadjust.h"
#include "transfer/frmprgress.h"
#include "app/appstate.h"
#include "storedwave/frmopenwaveform.h"
#include "storedwave/wavemaker.h"
#include "support/fitcheck.h"
#include "texts/loadlanguage.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QtTest>

#include <functional>

namespace {

QWidget *itemWindow(SheetItemKind kind)
{
    switch (kind) {
    case SheetItemKind::Wave: return waveWindow(0);
    case SheetItemKind::Data: return dataWindow(0);
    case SheetItemKind::Measure: return measureWindow(0);
    case SheetItemKind::Replay: return ReplayWindow(0);
    case SheetItemKind::StoredWave: return StoredWaveWindow(0);
    }
    return nullptr;
}

QString languageName(int lang)
{
    return lang == LanguageChinese ? QStringLiteral("Chinese") : QStringLiteral("English");
}

// Drawn one over the other on purpose: the picture's scroll bars and the
// progress box lie over the picture they belong to; a zoomed picture is larger
// than its frame, which its window scrolls.
bool overPicture(QWidget *a, QWidget *b)
{
    static const QStringList pictures{QStringLiteral("WavePic"), QStringLiteral("MemoryWavePic")};
    if (pictures.contains(a->objectName()) && b->objectName() == QLatin1String("BackPic"))
        return true;
    static const QStringList over{QStringLiteral("HScroll"), QStringLiteral("VScroll"),
                                  QStringLiteral("ScrollCorner"), QStringLiteral("picRefreshProgress")};
    return over.contains(a->objectName())
        && (over.contains(b->objectName()) || b->objectName() == QLatin1String("WavePic")
            || b->objectName() == QLatin1String("BackPic") || b->objectName() == QLatin1String("picWave"));
}

} // namespace

class TestWindowFit : public QObject {
    Q_OBJECT

    static void check(QWidget *w, const QString &where)
    {
        QCoreApplication::processEvents();
        const QStringList found = fitcheck::findings(w, where, overPicture);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

private slots:
    void itemWindows_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("kind");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            QTest::newRow(l + " waveform") << lang << int(SheetItemKind::Wave);
            QTest::newRow(l + " data table") << lang << int(SheetItemKind::Data);
            QTest::newRow(l + " measurement") << lang << int(SheetItemKind::Measure);
            QTest::newRow(l + " record replay") << lang << int(SheetItemKind::Replay);
            QTest::newRow(l + " stored waveform") << lang << int(SheetItemKind::StoredWave);
        }
    }
    // Alone at its opening size, tiled with a second one, and as small as its
    // frame allows.
    void itemWindows()
    {
        QFETCH(int, lang);
        QFETCH(int, kind);
        ShellFixture f(lang);
        auto main = f.loadMain();
        main->resize(1600, 1000);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind(kind));
        f.clock.advance(600);
        QWidget *win = itemWindow(SheetItemKind(kind));
        QVERIFY(win);
        auto *sub = qobject_cast<QMdiSubWindow *>(win->parentWidget());
        QVERIFY(sub);
        check(win, QStringLiteral("opening size"));

        AddNewItem(SheetItemKind(kind));
        AddNewItem(SheetItemKind(kind));
        f.clock.advance(600);
        main->mnuWindowTileVertical_Click();
        f.clock.advance(600);
        check(win, QStringLiteral("tiled by three"));

        sub->resize(1, 1);
        f.clock.advance(600);
        QVERIFY(sub->width() > 1 && sub->height() > 1);
        check(win, QStringLiteral("smallest"));
        main->close();
    }

    void dialogs_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("dialog");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            for (const char *d : {"options", "virtual panel", "virtual panel 2x", "virtual keyboard", "limits", "new",
                                  "open", "about"})
                QTest::newRow(l + ' ' + d) << lang << QString::fromLatin1(d);
        }
    }
    void dialogs()
    {
        QFETCH(int, lang);
        QFETCH(QString, dialog);
        ShellFixture f(lang);
        std::unique_ptr<QWidget> d;
        if (dialog == QLatin1String("options")) {
            d = std::make_unique<frmOptions>(); // no current device
        } else if (dialog.startsWith(QLatin1String("virtual panel"))) {
            auto p = std::make_unique<frmV_Panel>();
            if (dialog.endsWith(QLatin1String("2x")))
                p->applyLayout(1);
            d = std::move(p);
        } else if (dialog == QLatin1String("virtual keyboard")) {
            d = std::make_unique<frmV_Key>();
        } else if (dialog == QLatin1String("limits")) {
            d = std::make_unique<frmPassFailed>();
        } else if (dialog == QLatin1String("new")) {
            d = std::make_unique<frmNewDoc>();
        } else if (dialog == QLatin1String("open")) {
            d = std::make_unique<frmOpenDoc>();
        } else {
            d = std::make_unique<frmAbout>();
        }
        ApplyLanguage(lang);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        check(d.get(), QStringLiteral("opening size"));
        d->resize(1, 1);
        check(d.get(), QStringLiteral("smallest"));
    }

    // Each dialog has the frame of a dialog: a title and a close box, no
    // minimise or maximise box, and a fixed size, so that a window manager
    // offers neither.
    void dialogFrames_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("type");
        QTest::newRow("new") << "new" << int(Qt::Dialog);
        QTest::newRow("open") << "open" << int(Qt::Dialog);
        QTest::newRow("options") << "options" << int(Qt::Dialog);
        QTest::newRow("setting") << "setting" << int(Qt::Tool); // a tool window, as it was designed
        QTest::newRow("setting adjust") << "adjust" << int(Qt::Tool);
        QTest::newRow("transfer") << "transfer" << int(Qt::Dialog);
    }
    void dialogFrames()
    {
        QFETCH(QString, dialog);
        QFETCH(int, type);
        ShellFixture f;
        QPointer<QWidget> d;
        if (dialog == QLatin1String("new"))
            d = new frmNewDoc;
        else if (dialog == QLatin1String("open"))
            d = new frmOpenDoc;
        else if (dialog == QLatin1String("options"))
            d = new frmOptions;
        else if (dialog == QLatin1String("setting"))
            d = new CtrlDialog;
        else if (dialog == QLatin1String("adjust"))
            d = new CtrlDialogAdjust;
        else
            d = new frmPrgress;
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        const Qt::WindowFlags flags = d->windowFlags();
        QCOMPARE(int(flags & Qt::WindowType_Mask), type);
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint)); // these boxes and no others
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(d->minimumSize(), d->maximumSize());
        QCOMPARE(d->size(), d->minimumSize());
        app().transfer.TransferBusy = false; // the transfer dialog closes only when idle
        d->close();
        delete d;
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
