// Prints and previews of every picture window go out on the paper of the
// printer the page goes to: its queue's default paper, or what File > Page
// Setup chose for that printer; never a paper of the program's own. The
// printers are stand-ins that print into PDF files (no printer of the machine
// is reached); each page is read back from its file.

#include "datasheet/sheetcommands.h"
#include "panel/frmv_panel.h"
#include "platform/print/printpicture.h"
#include "replay/frmrecordplay.h"
#include "replay/recordmaker.h"
#include "shell/shellfixture.h"
#include "storedwave/frmopenwaveform.h"
#include "support/standinprinters.h"
#include "wave/frmwave.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

enum class Window { Panel, Wave, StoredWave, Replay };

// The page sizes, in points, of a PDF file's pages (its MediaBox entries);
// empty when there is no such file.
QList<QSizeF> pdfPages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    QList<QSizeF> pages;
    auto it = box.globalMatch(QString::fromLatin1(f.readAll()));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        pages << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return pages;
}

bool samePaper(const QSizeF &points, QPageSize::PageSizeId paper)
{
    const QSizeF want = QPageSize(paper).size(QPageSize::Point);
    return qAbs(points.width() - want.width()) < 1 && qAbs(points.height() - want.height()) < 1;
}

QString sizeText(const QSizeF &s)
{
    return QStringLiteral("%1 x %2 pt").arg(s.width()).arg(s.height());
}

PrintJobKind jobKind(Window w)
{
    switch (w) {
    case Window::Panel: return PrintJobKind::Panel;
    case Window::Wave: return PrintJobKind::Wave;
    case Window::StoredWave: return PrintJobKind::StoredWave;
    case Window::Replay: return PrintJobKind::Replay;
    }
    return PrintJobKind::Spare;
}

} // namespace

class TestPrintPaper : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFixture> f;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmV_Panel> panel;
    StandInPrinters printers;
    std::unique_ptr<UseStandInPrinters> use;

    QString pdf(const char *name) const { return f->dir.filePath(QString::fromLatin1(name)); }

    // The window of kind, open and ready to print: an item window in the main
    // window's item area, or the panel over it.
    QWidget *open(Window kind)
    {
        switch (kind) {
        case Window::Panel:
            panel = std::make_unique<frmV_Panel>();
            panel->show();
            f->clock.advance(10); // its first frame
            return panel.get();
        case Window::Wave:
            AddNewItem(SheetItemKind::Wave);
            f->clock.advance(600);
            return waveWindow(0);
        case Window::StoredWave:
            AddNewItem(SheetItemKind::StoredWave);
            f->clock.advance(600);
            return StoredWaveWindow(0);
        case Window::Replay: {
            AddNewItem(SheetItemKind::Replay);
            f->clock.advance(600);
            frmRecordPlay *w = ReplayWindow(0);
            const QString record = f->dir.filePath(QStringLiteral("three.rcd"));
            if (!w || !writeFile(record, recordFile(basicHeader(3), rawFrames(3, [](int, int i) { return i % 200; }))))
                return nullptr;
            f->fakeUi.answerFile(record);
            w->findChild<QToolButton *>(QStringLiteral("cmdRun"))->click(); // a print needs a started replay
            return w;
        }
        }
        return nullptr;
    }

    // The window's own Print or Preview button.
    static void press(QWidget *w, Window kind, bool preview)
    {
        switch (kind) {
        case Window::Panel:
            preview ? static_cast<frmV_Panel *>(w)->cmdPreview_Click() : static_cast<frmV_Panel *>(w)->cmdPrint_Click();
            break;
        case Window::Wave:
            (preview ? static_cast<frmWave *>(w)->cmdPreview : static_cast<frmWave *>(w)->cmdPrint)->click();
            break;
        case Window::StoredWave:
            (preview ? static_cast<frmOpenWaveform *>(w)->cmdPreview : static_cast<frmOpenWaveform *>(w)->cmdPrint)
                ->click();
            break;
        case Window::Replay:
            w->findChild<QToolButton *>(preview ? QStringLiteral("FlatBttn3") : QStringLiteral("FlatBttn2"))->click();
            break;
        }
    }

    // The paper of the preview the window's Preview button opens.
    static QSizeF previewPaper(QWidget *w, Window kind)
    {
        press(w, kind, true);
        const QPrinter *printer = qtPicturePrinter().jobPrinter(jobKind(kind));
        if (!printer || !qtPicturePrinter().previewWindow(jobKind(kind)))
            return {};
        return printer->pageLayout().fullRect(QPageLayout::Point).size();
    }

private slots:
    void init()
    {
        f = std::make_unique<ShellFixture>(1);
        f->useVisa();
        QVERIFY(f->connect()); // the panel mirrors the instrument's screen
        setPicturePrinter(nullptr);
        printers = StandInPrinters();
        printers.printers = {{QStringLiteral("Bench Letter"), QPageSize(QPageSize::Letter), pdf("letter.pdf")},
                             {QStringLiteral("Bench A4"), QPageSize(QPageSize::A4), pdf("a4.pdf")},
                             {QStringLiteral("Bench Legal"), QPageSize(QPageSize::Legal), pdf("legal.pdf")}};
        use = std::make_unique<UseStandInPrinters>(printers);
        main = f->loadMain();
        main->resize(1400, 1000);
        main->show();
        f->clock.advance(10);
    }
    void cleanup()
    {
        for (int k = 0; k < PrintJobKindCount; ++k)
            qtPicturePrinter().release(PrintJobKind(k));
        panel.reset();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        use.reset();
        f.reset();
    }

    // On a printer whose queue gives Letter (or A4) by default, the print of
    // each window comes out on that paper and goes to that printer only; its
    // preview shows the same paper.
    void printsGoOnTheQueuesPaper_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("paper");
        const struct {
            Window w;
            const char *name;
        } windows[] = {{Window::Panel, "virtual panel"},
                       {Window::Wave, "waveform"},
                       {Window::StoredWave, "stored waveform"},
                       {Window::Replay, "record replay"}};
        for (const auto &w : windows) {
            QTest::newRow(QByteArray(w.name) + ", Letter queue") << int(w.w) << "Bench Letter" << int(QPageSize::Letter);
            QTest::newRow(QByteArray(w.name) + ", A4 queue") << int(w.w) << "Bench A4" << int(QPageSize::A4);
        }
    }
    void printsGoOnTheQueuesPaper()
    {
        QFETCH(int, window);
        QFETCH(QString, printer);
        QFETCH(int, paper);
        const Window kind = Window(window);
        const auto id = QPageSize::PageSizeId(paper);
        printers.defaultName = printer;
        QWidget *w = open(kind);
        QVERIFY(w);
        f->fakeUi.clear();
        press(w, kind, false);
        QVERIFY2(f->fakeUi.messages().isEmpty(), qPrintable(f->fakeUi.messages().value(0).text));
        const QString file = id == QPageSize::Letter ? pdf("letter.pdf") : pdf("a4.pdf");
        const QList<QSizeF> pages = pdfPages(file);
        QCOMPARE(pages.size(), 1);
        QVERIFY2(samePaper(pages[0], id), qPrintable(sizeText(pages[0])));
        // Nothing went to another printer.
        QCOMPARE(pdfPages(id == QPageSize::Letter ? pdf("a4.pdf") : pdf("letter.pdf")).size(), 0);
        QCOMPARE(pdfPages(pdf("legal.pdf")).size(), 0);
        const QSizeF shown = previewPaper(w, kind);
        QVERIFY2(samePaper(shown, id), qPrintable(sizeText(shown)));
    }

    // File > Page Setup shows the page of the printer prints go to, its
    // queue's paper at first; what is chosen there (A5, neither the queue's
    // paper nor A4) is the page of every later print and preview on that
    // printer (a Cancel keeps it), and of no other printer, which keeps its
    // own paper.
    void pageSetupChoosesThePaper_data()
    {
        QTest::addColumn<int>("window");
        QTest::newRow("virtual panel") << int(Window::Panel);
        QTest::newRow("waveform") << int(Window::Wave);
        QTest::newRow("stored waveform") << int(Window::StoredWave);
        QTest::newRow("record replay") << int(Window::Replay);
    }
    void pageSetupChoosesThePaper()
    {
        QFETCH(int, window);
        const Window kind = Window(window);
        printers.defaultName = QStringLiteral("Bench Letter");
        QWidget *w = open(kind);
        QVERIFY(w);
        f->fakeUi.clear();
        f->fakeUi.answerPageSetup(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                              QPageLayout::Point));
        main->action(QStringLiteral("mnuFilePageSetup"))->trigger();
        QCOMPARE(f->fakeUi.pageSetups().size(), 1);
        QVERIFY(f->fakeUi.pageSetups()[0].shown.pageSize().isEquivalentTo(QPageSize(QPageSize::Letter)));
        press(w, kind, false);
        QList<QSizeF> pages = pdfPages(pdf("letter.pdf"));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(samePaper(pages[0], QPageSize::A5), qPrintable(sizeText(pages[0])));
        QSizeF shown = previewPaper(w, kind);
        QVERIFY2(samePaper(shown, QPageSize::A5), qPrintable(sizeText(shown)));

        // Shown again, the dialog starts on the choice; a Cancel keeps it.
        f->fakeUi.cancelPageSetup();
        main->action(QStringLiteral("mnuFilePageSetup"))->trigger();
        QCOMPARE(f->fakeUi.pageSetups().size(), 2);
        QVERIFY(f->fakeUi.pageSetups()[1].shown.pageSize().isEquivalentTo(QPageSize(QPageSize::A5)));
        QVERIFY(!f->fakeUi.pageSetups()[1].accepted);
        QFile::remove(pdf("letter.pdf"));
        press(w, kind, false);
        pages = pdfPages(pdf("letter.pdf"));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(samePaper(pages[0], QPageSize::A5), qPrintable(sizeText(pages[0])));

        // Another printer keeps its own paper; back on the first, the choice.
        printers.defaultName = QStringLiteral("Bench Legal");
        press(w, kind, false);
        pages = pdfPages(pdf("legal.pdf"));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(samePaper(pages[0], QPageSize::Legal), qPrintable(sizeText(pages[0])));
        shown = previewPaper(w, kind);
        QVERIFY2(samePaper(shown, QPageSize::Legal), qPrintable(sizeText(shown)));
        printers.defaultName = QStringLiteral("Bench Letter");
        shown = previewPaper(w, kind);
        QVERIFY2(samePaper(shown, QPageSize::A5), qPrintable(sizeText(shown)));
        QVERIFY(f->fakeUi.messages().isEmpty());
    }
};

QTEST_MAIN(TestPrintPaper)
#include "tst_printpaper.moc"
