// Export, print and preview of the waveform picture through the window: the
// bitmap written at the picture's size, the 700 x 500 picture at zoom 2 handed
// to the recording printer, the window's zoom and picture restored, the print
// picture file in the cache folder, and each error shown once.

#include "link/linkfixture.h"
#include "support/zoomtyping.h"

#include "platform/print/pictureoutput.h"
#include "platform/print/printpicture.h"
#include "wave/frmwave.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

class TestWavePrint : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;
    RecordingPrinter printer;
    QTemporaryDir dir;

    frmWave *openItem()
    {
        DataSheet &s = app().Sheet;
        s.WaveDocCount = 1;
        s.WaveDocs[0].Name = QStringLiteral("Wave0");
        s.WaveDocs[0].setNewItemDefaults();
        frmWave *w = ShowWaveWindow(0, true);
        fx->clock.advance(1);
        // A fixed zoom of 150 %.
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("150%"));
        return w;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        printer = RecordingPrinter();
        setPicturePrinter(&printer);
        QFile::remove(printPicturePath());
        QDir(printPicturePath()).removeRecursively();
    }
    void cleanup()
    {
        for (int i = 0; i < DataSheet::WaveSlots; ++i)
            if (QWidget *w = app().Sheet.WaveForms[size_t(i)])
                delete static_cast<frmWave *>(w)->frame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setPicturePrinter(nullptr);
        QDir(printPicturePath()).removeRecursively();
        fx.reset();
    }

    void exportWritesThePictureAsShown_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("English") << 1 << "Export File" << "BitMap Files (*.bmp)";
        QTest::newRow("Chinese") << 0 << "导出文件" << "位图文件 (*.bmp)";
    }
    void exportWritesThePictureAsShown()
    {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        app().texts.LanguageIndex = lang;
        frmWave *w = openItem();
        // Typed without a suffix: the filter's is added.
        const QString path = dir.filePath(QStringLiteral("shot"));
        fx->fakeUi.answerFile(path);
        w->cmdExport->click();
        QCOMPARE(fx->fakeUi.fileDialogs().size(), 1);
        QCOMPARE(fx->fakeUi.fileDialogs()[0].request.title, title);
        QCOMPARE(fx->fakeUi.fileDialogs()[0].request.filter, filter);
        QVERIFY(fx->fakeUi.fileDialogs()[0].request.defaultSuffix.isEmpty());
        QVERIFY(!QFile::exists(path));
        QImage file(path + QStringLiteral(".bmp"), "BMP");
        QCOMPARE(file.size(), QSize(525, 375));
        QCOMPARE(file.convertToFormat(QImage::Format_RGB32), w->picture());
        QVERIFY(fx->fakeUi.messages().isEmpty());
    }

    void exportCancelledOrFailing()
    {
        frmWave *w = openItem();
        fx->fakeUi.cancelFile();
        w->cmdExport->click();
        QVERIFY(fx->fakeUi.messages().isEmpty());
        // A folder in the file's place: the save fails, reported once.
        const QString blocked = dir.filePath(QStringLiteral("taken.bmp"));
        QVERIFY(QDir().mkpath(blocked));
        fx->fakeUi.answerFile(blocked);
        w->cmdExport->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Critical);
        QVERIFY(!fx->fakeUi.messages()[0].text.isEmpty());
    }

    void printAndPreviewAtZoomTwo_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::newRow("print") << false;
        QTest::newRow("preview") << true;
    }
    void printAndPreviewAtZoomTwo()
    {
        QFETCH(bool, preview);
        frmWave *w = openItem();
        const QImage before = w->picture();
        (preview ? w->cmdPreview : w->cmdPrint)->click();
        QCOMPARE(printer.runs.size(), 1);
        const RecordingPrinter::Run &run = printer.runs[0];
        QCOMPARE(run.kind, PrintJobKind::Wave);
        QCOMPARE(run.preview, preview);
        QCOMPARE(run.layout, printPageLayout());
        QCOMPARE(run.title, QStringLiteral("Wave0")); // the window's caption
        QCOMPARE(run.image.size(), QSize(700, 500));
        // Drawn anew at zoom 2: the frame's right edge at 625.
        QCOMPARE(run.image.pixelColor(625, 100), QColor(192, 192, 192));
        QCOMPARE(run.image.pixelColor(640, 100), QColor(0, 0, 0));
        // The window comes back to its zoom and its picture.
        QCOMPARE(w->zoomFactor(), 1.5);
        QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("150%"));
        QCOMPARE(w->WavePic->size(), QSize(525, 375));
        QCOMPARE(w->picture(), before);
        // The print picture file holds the same picture.
        QImage file(printPicturePath(), "BMP");
        QCOMPARE(file.convertToFormat(QImage::Format_RGB32), run.image);
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QVERIFY(printer.held[int(PrintJobKind::Wave)]);
    }

    void cursorsFollowThePrintZoom_data()
    {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<int>("width"); // the window's picture
        QTest::newRow("150 %") << QStringLiteral("150%") << 525;
        QTest::newRow("300 %") << QStringLiteral("300%") << 1050;
    }
    void cursorsFollowThePrintZoom()
    {
        // The print picture (zoom 2, 700 wide) shows the X cursors where the
        // window shows them on its graticule, and the window keeps them.
        QFETCH(QString, zoom);
        QFETCH(int, width);
        frmWave *w = openItem();
        typeZoom(w->ZoomCombo, zoom);
        QCOMPARE(w->WavePic->width(), width);
        w->ChkCursorX->click();
        QVERIFY(w->cursors.CursorXOn);
        // Far apart, the second near the graticule's right edge.
        w->cursors.CursorX1 = 0.12 * 12; // divisions
        w->cursors.CursorX2 = 0.95 * 12;
        w->Form_Resize();
        const WaveCursors before = w->cursors;
        w->cmdPrint->click();
        QCOMPARE(printer.runs.size(), 1);
        const QImage &image = printer.runs[0].image;
        // Columns that carry a cursor line: many pixels of the line colour
        // between the top and the bottom of the graticule.
        QList<int> lines;
        for (int x = 0; x < image.width(); ++x) {
            int n = 0;
            for (int y = 40; y < 410; ++y)
                n += image.pixelColor(x, y) == QColor(230, 200, 150);
            if (n > 100)
                lines << x;
        }
        const auto printed = [](double x) { return CursorPixelX(x, 2.0); };
        QCOMPARE(lines.size(), 2);
        QVERIFY2(qAbs(lines[0] - printed(before.CursorX1)) <= 1.0, qPrintable(QString::number(lines[0])));
        QVERIFY2(qAbs(lines[1] - printed(before.CursorX2)) <= 1.0, qPrintable(QString::number(lines[1])));
        QCOMPARE(w->zoomFactor(), width / 350.0);
        QCOMPARE(w->cursors.CursorX1, before.CursorX1);
        QCOMPARE(w->cursors.CursorX2, before.CursorX2);
        QCOMPARE(w->cursors.CursorY1, before.CursorY1);
        QCOMPARE(w->cursors.CursorY2, before.CursorY2);
    }

    void printBeforeTheFirstTickDrawsNothing()
    {
        app().Sheet.WaveDocCount = 1;
        app().Sheet.WaveDocs[0].setNewItemDefaults();
        frmWave *w = ShowWaveWindow(0, true);
        QVERIFY(w->initPending());
        w->cmdPrint->click();
        QCOMPARE(printer.runs.size(), 1);
        QCOMPARE(printer.runs[0].image.size(), QSize(700, 500));
        QCOMPARE(printer.runs[0].image.pixelColor(625, 100), QColor(0, 0, 0)); // no graticule
    }

    void eachErrorOnce()
    {
        frmWave *w = openItem();
        // The print picture cannot be written: reported once, and the page
        // still shows the picture just drawn.
        QVERIFY(QDir().mkpath(printPicturePath()));
        w->cmdPrint->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Critical);
        QCOMPARE(printer.runs.size(), 1);
        QCOMPARE(printer.runs[0].image.pixelColor(625, 100), QColor(192, 192, 192));
        // The printer fails as well: its error follows, once.
        fx->fakeUi.clear();
        printer.failWith = QStringLiteral("No printer");
        w->cmdPrint->click();
        QCOMPARE(fx->fakeUi.messages().size(), 2);
        QCOMPARE(fx->fakeUi.messages()[1].icon, MsgIcon::None);
        QCOMPARE(fx->fakeUi.messages()[1].text, QStringLiteral("No printer"));
        // Only the printer fails.
        QDir(printPicturePath()).removeRecursively();
        fx->fakeUi.clear();
        w->cmdPreview->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("No printer"));
        QCOMPARE(w->zoomFactor(), 1.5);
    }

    void unloadReleasesTheJob()
    {
        frmWave *w = openItem();
        w->cmdPreview->click();
        QVERIFY(printer.held[int(PrintJobKind::Wave)]);
        const int releases = printer.releases;
        QVERIFY(CloseWaveWindow(0));
        QVERIFY(!printer.held[int(PrintJobKind::Wave)]);
        QVERIFY(printer.releases > releases);
    }
};

QTEST_MAIN(TestWavePrint)
#include "tst_waveprint.moc"
