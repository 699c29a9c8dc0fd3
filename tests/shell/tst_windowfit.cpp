// Every window and dialog, in both languages, at the size it opens at and at
// the smallest size its frame allows: each control the user needs shows its
// caption and value whole, lies where it can be reached, and stands apart
// from its neighbours. The windows that hold pictures keep them readable when
// made small, and the main window's panes keep their widths.

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
#include "replay/recordmaker.h"
#include "support/fitcheck.h"
#include "texts/loadlanguage.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolButton>
#include <QTreeView>
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

// The runs of ink across a strip of an image: the columns from top to bottom
// holding a pixel other than the background, in runs parted by at least gap
// empty columns (wider than a blank inside a label).
QList<std::pair<int, int>> inkRuns(const QImage &image, int top, int bottom, int gap)
{
    const QRgb ground = image.pixel(image.width() - 1, qBound(0, top, image.height() - 1));
    QList<std::pair<int, int>> runs;
    int empty = gap;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = qMax(0, top); y < qMin(bottom, image.height()) && !ink; ++y)
            ink = image.pixel(x, y) != ground;
        if (!ink) {
            ++empty;
            continue;
        }
        if (empty >= gap || runs.isEmpty())
            runs.append({x, x});
        else
            runs.last().second = x;
        empty = 0;
    }
    return runs;
}

QString runsText(const QList<std::pair<int, int>> &runs)
{
    QStringList parts;
    for (const auto &r : runs)
        parts << QStringLiteral("%1-%2").arg(r.first).arg(r.second);
    return parts.join(QLatin1Char(' '));
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

    // Holding what a refresh brought (the settings line with its date, the
    // read-outs), at the opening size in each language and after a switch to
    // the other: every caption and value shows whole.
    void itemWindowsHoldingData_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("kind");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            QTest::newRow(l + " waveform") << lang << int(SheetItemKind::Wave);
            QTest::newRow(l + " data table") << lang << int(SheetItemKind::Data);
            QTest::newRow(l + " measurement") << lang << int(SheetItemKind::Measure);
        }
    }
    void itemWindowsHoldingData()
    {
        QFETCH(int, lang);
        QFETCH(int, kind);
        ShellFixture f(lang);
        f.useVisa();
        auto main = f.loadMain();
        main->resize(1600, 1000);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        f.clock.advance(10);
        QVERIFY(f.connect());
        AddNewItem(SheetItemKind(kind));
        f.clock.advance(600);
        QWidget *win = itemWindow(SheetItemKind(kind));
        QVERIFY(win);
        auto *refresh = win->findChild<QToolButton *>(QStringLiteral("cmdRefresh"));
        QVERIFY(refresh);
        refresh->click();
        f.clock.advance(600);
        auto *info = win->findChild<QLabel *>(QStringLiteral("SettingLabel"));
        QVERIFY(kind == int(SheetItemKind::Wave) || (info && !info->text().isEmpty())); // the refresh came
        check(win, QStringLiteral("opening size"));
        SwitchLanguage(lang == LanguageChinese ? LanguageEnglish : LanguageChinese);
        f.clock.advance(600);
        check(win, QStringLiteral("switched"));
        main->close();
    }

    // The record replay window made small, a record open: every control can
    // be reached (the window scrolls), the graticule keeps its least height,
    // and the five labels under it (channel, volts/div, offset, time/div,
    // delay) stand apart, each whole inside the plot.
    void smallReplayWindow_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QSize>("size");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            QTest::newRow(l + " 450 x 250") << lang << QSize(450, 250);
            QTest::newRow(l + " 600 x 330") << lang << QSize(600, 330);
            QTest::newRow(l + " smallest") << lang << QSize(1, 1);
        }
    }
    void smallReplayWindow()
    {
        QFETCH(int, lang);
        QFETCH(QSize, size);
        ShellFixture f(lang);
        auto main = f.loadMain();
        main->resize(1600, 1000);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::Replay);
        f.clock.advance(600);
        frmRecordPlay *win = ReplayWindow(0);
        QVERIFY(win);
        RecordFileHeader h = basicHeader(12);
        h.CH1VoltDiv = 500000; // 500 mV/div
        h.TimeDiv = 500000000; // 500 us/div
        h.Delay = 1230000000;
        const QString record = f.dir.filePath(QStringLiteral("small.rcd"));
        QVERIFY(writeFile(record, recordFile(h, rawFrames(12, [](int, int i) { return 40 + i % 120; }))));
        f.fakeUi.answerFile(record);
        win->findChild<QToolButton *>(QStringLiteral("cmdRun"))->click();
        win->findChild<QToolButton *>(QStringLiteral("AresBtnPlay_1"))->click(); // paused: a still picture
        auto *sub = qobject_cast<QMdiSubWindow *>(win->parentWidget());
        QVERIFY(sub);
        sub->resize(size);
        f.clock.advance(600);
        check(win, QStringLiteral("%1 x %2").arg(sub->width()).arg(sub->height()));
        const QImage plot = win->plotImage();
        const int PH = plot.height() - 50;
        QVERIFY2(PH >= 100, qPrintable(QStringLiteral("graticule %1 px high").arg(PH)));
        const QList<std::pair<int, int>> runs = inkRuns(plot, PH + 31, PH + 50, 8);
        QVERIFY2(runs.size() == 5, qPrintable(QStringLiteral("labels %1 in a plot %2 wide").arg(runsText(runs)).arg(plot.width())));
        QVERIFY2(runs.last().second < plot.width() - 1, qPrintable(runsText(runs)));
        // The status strip's word and counter stand apart too.
        const QImage strip = win->stripImage();
        const QList<std::pair<int, int>> words = inkRuns(strip, 0, strip.height(), 8);
        QVERIFY2(words.size() == 2 && words.last().second < strip.width() - 1, qPrintable(runsText(words)));
        main->close();
    }

    // The stored waveform viewer made small with a two-channel file open
    // (normal and alternate trigger): every control of the frames and of the
    // info panel (the time/div boxes, their < > buttons, Reset) can be
    // reached, the window scrolling where it must.
    void smallStoredViewer_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("alternate");
        QTest::addColumn<QSize>("size");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            for (bool alternate : {false, true}) {
                const QByteArray t = alternate ? " alternate" : " normal";
                QTest::newRow(l + t + " 420 x 430") << lang << alternate << QSize(420, 430);
                QTest::newRow(l + t + " smallest") << lang << alternate << QSize(1, 1);
            }
        }
    }
    void smallStoredViewer()
    {
        QFETCH(int, lang);
        QFETCH(bool, alternate);
        QFETCH(QSize, size);
        ShellFixture f(lang);
        auto main = f.loadMain();
        main->resize(1600, 1000);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::StoredWave);
        f.clock.advance(600);
        frmOpenWaveform *win = StoredWaveWindow(0);
        QVERIFY(win);
        WaveSpec spec;
        spec.ch2Present = 1;
        spec.ch1 = levels(600, [](qint64 i) { return 60 + int(i % 80); });
        spec.ch2 = levels(600, [](qint64 i) { return 140 - int(i % 80); });
        if (alternate) {
            spec.trigMode = 4;
            spec.ch2Points = 600;
            spec.ch2TimeDivPs = 2000000000;
            spec.ch2SampleRate = 1e6f;
        }
        const QString file = f.dir.filePath(QStringLiteral("two.wfm"));
        QVERIFY(writeWaveFile(file, waveFile(spec)));
        f.fakeUi.answerFile(file);
        win->FlatBttn1->click();
        QVERIFY(app().Sheet.StoredWaves[0].HasData);
        auto *sub = qobject_cast<QMdiSubWindow *>(win->parentWidget());
        QVERIFY(sub);
        sub->resize(size);
        f.clock.advance(600);
        const QString where = QStringLiteral("%1 x %2").arg(sub->width()).arg(sub->height());
        check(win, where);
        // Reset, the last control of the panel, is among those shown.
        QVERIFY(win->Reset->isVisibleTo(win));
        main->close();
    }

    // The main window's panes, in both languages: at the first start's size,
    // shrunk to the least size and enlarged again, every row of their trees
    // shows whole or scrolls, and the panes get back the widths they had,
    // the first split's or the user's, and their shares of the height.
    void mainWindowPanes_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("userWidth"); // 0: the first split's
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const QByteArray l = languageName(lang).toLatin1();
            QTest::newRow(l + ", first split") << lang << 0;
            QTest::newRow(l + ", the user's split") << lang << 420;
        }
    }
    void mainWindowPanes()
    {
        QFETCH(int, lang);
        QFETCH(int, userWidth);
        ShellFixture f(lang);
        auto main = f.loadMain(); // at the first start's size for the screen
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        f.clock.advance(10);
        QCoreApplication::processEvents();
        QDockWidget *sheet = main->pane(QStringLiteral("DataSheet"));
        QDockWidget *ctrl = main->pane(QStringLiteral("Controller"));
        QVERIFY(sheet && ctrl && ctrl->isVisible());
        const auto checkPanes = [&](const QString &where) {
            QCoreApplication::processEvents();
            QStringList found;
            for (QDockWidget *d : {sheet, ctrl})
                found += fitcheck::findings(d, where);
            QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        };
        checkPanes(QStringLiteral("first start %1 x %2").arg(main->width()).arg(main->height()));
        const QSize large(1600, 1000);
        main->resize(large);
        QCoreApplication::processEvents();
        if (userWidth > 0) {
            main->resizeDocks({ctrl}, {userWidth}, Qt::Horizontal); // as a dragged divider leaves them
            QCoreApplication::processEvents();
        }
        const int before = ctrl->width();
        const int sheetHigh = sheet->height();
        const int ctrlHigh = ctrl->height();
        QVERIFY(before > 0);
        main->resize(1, 1);
        QCoreApplication::processEvents();
        QVERIFY(ctrl->width() < before);
        checkPanes(QStringLiteral("least %1 x %2").arg(main->width()).arg(main->height()));
        main->resize(large);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY2(qAbs(ctrl->width() - before) <= 2,
                 qPrintable(QStringLiteral("%1 px wide again, %2 before").arg(ctrl->width()).arg(before)));
        QCOMPARE(sheet->width(), ctrl->width());
        // The split between them too.
        QVERIFY2(qAbs(sheet->height() - sheetHigh) <= 3 && qAbs(ctrl->height() - ctrlHigh) <= 3,
                 qPrintable(QStringLiteral("%1 and %2 px high again, %3 and %4 before")
                                .arg(sheet->height()).arg(ctrl->height()).arg(sheetHigh).arg(ctrlHigh)));
        checkPanes(QStringLiteral("enlarged again"));
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
