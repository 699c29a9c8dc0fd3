// The panel's print and preview through the real Qt printer: the preview of a
// panel shown application-modal takes input (it is not blocked by the panel)
// and goes with the panel's unload; a print lands on the page in the box of
// its layout (printed by a stand-in printer into a PDF file and read back); a
// print that cannot start is reported. No print reaches a printer of the
// machine: the printers are stand-ins (support/standinprinters.h).
#include "link/linkfixture.h"
#include "panel/frmv_panel.h"
#include "platform/print/pictureoutput.h"
#include "platform/print/printpicture.h"
#include "platform/safesave.h"
#include "shell/frmmain.h"
#include "support/standinprinters.h"
#include "texts/loadlanguage.h"
#include "texts/toolkitlanguage.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <memory>

namespace {

// Records the windows Qt blocks because a modal window is in front.
class BlockedWatch : public QObject {
public:
    QList<QPointer<QObject>> blocked;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::WindowBlocked)
            blocked << o;
        return false;
    }
    bool holdsWidgetOrItsWindow(QWidget *w) const
    {
        for (const QPointer<QObject> &o : blocked)
            if (o && (o == w || o == w->windowHandle()))
                return true;
        return false;
    }
};

// Inflates one zlib stream; empty when it is not one.
QByteArray inflateStream(const QByteArray &in)
{
    QByteArray out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return {};
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    z.avail_in = uInt(in.size());
    char buf[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef *>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, qsizetype(sizeof buf - z.avail_out));
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : QByteArray();
}

// The streams of a PDF file, inflated where they are compressed.
QList<QByteArray> pdfStreams(const QByteArray &pdf)
{
    QList<QByteArray> out;
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream", at)) >= 0) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") {
            at += 6;
            continue;
        }
        qsizetype start = at + 6;
        if (pdf.mid(start, 2) == "\r\n")
            start += 2;
        else if (pdf.mid(start, 1) == "\n")
            ++start;
        const qsizetype end = pdf.indexOf("endstream", start);
        if (end < 0)
            break;
        const qsizetype dict = pdf.lastIndexOf("<<", at);
        const QByteArray body = pdf.mid(start, end - start);
        const bool flate = dict >= 0 && pdf.mid(dict, at - dict).contains("/FlateDecode");
        out << (flate ? inflateStream(body) : body);
        at = end + 9;
    }
    return out;
}

// The unit square of every image a content stream draws ("Do"), mapped to
// page points through the "cm" operators in force (saved and restored by q
// and Q).
QList<QRectF> imageBoxes(const QByteArray &content)
{
    QList<QRectF> boxes;
    QList<QTransform> stack;
    QTransform ctm;
    QList<double> numbers;
    const QList<QByteArray> tokens = content.simplified().split(' ');
    for (const QByteArray &t : tokens) {
        bool isNumber = false;
        const double v = t.toDouble(&isNumber);
        if (isNumber) {
            numbers << v;
            continue;
        }
        if (t == "q") {
            stack << ctm;
        } else if (t == "Q") {
            if (!stack.isEmpty())
                ctm = stack.takeLast();
        } else if (t == "cm" && numbers.size() >= 6) {
            const qsizetype n = numbers.size();
            const QTransform m(numbers[n - 6], numbers[n - 5], numbers[n - 4], numbers[n - 3], numbers[n - 2],
                               numbers[n - 1]);
            ctm = m * ctm;
        } else if (t == "Do") {
            boxes << ctm.mapRect(QRectF(0, 0, 1, 1));
        }
        numbers.clear();
    }
    return boxes;
}

// The document titles of a PDF file's information dictionaries (a text
// string, literal or hexadecimal, in UTF-16 with its byte order mark).
QStringList pdfTitles(const QByteArray &pdf)
{
    QStringList out;
    const QRegularExpression title(QStringLiteral("/Title\\s*(<[0-9A-Fa-f\\s]*>|\\((?:[^\\\\)]|\\\\.)*\\))"));
    auto it = title.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const QString raw = it.next().captured(1);
        QByteArray bytes;
        if (raw.startsWith(QLatin1Char('<'))) {
            bytes = QByteArray::fromHex(raw.mid(1, raw.size() - 2).toLatin1());
        } else {
            const QByteArray lit = raw.mid(1, raw.size() - 2).toLatin1();
            for (qsizetype i = 0; i < lit.size(); ++i) {
                if (lit[i] == '\\' && i + 1 < lit.size())
                    ++i;
                bytes += lit[i];
            }
        }
        if (bytes.startsWith("\xFE\xFF")) {
            QString text;
            for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
                text += QChar(char16_t((uchar(bytes[i]) << 8) | uchar(bytes[i + 1])));
            out << text;
        } else {
            out << QString::fromLatin1(bytes);
        }
    }
    return out;
}

} // namespace

class TestPanelPrint : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        fx = std::make_unique<LinkFixture>();
        fx->useVisa();
        QVERIFY(fx->connect());
        dir = std::make_unique<QTemporaryDir>();
        setPicturePrinter(nullptr);
    }
    void cleanup()
    {
        applyToolkitLanguage(1);
        for (int k = 0; k < PrintJobKindCount; ++k)
            qtPicturePrinter().release(PrintJobKind(k));
        qtPicturePrinter().setPrinterName(QString());
        fx.reset();
        dir.reset();
    }

    void previewTakesInputWhileThePanelIsOpen()
    {
        BlockedWatch watch;
        qApp->installEventFilter(&watch);
        QPointer<QWidget> preview;
        {
            frmV_Panel panel;
            panel.setWindowModality(Qt::ApplicationModal);
            panel.show();
            fx->clock.advance(10); // the first frame
            QCOMPARE(QApplication::activeModalWidget(), &panel);
            panel.cmdPreview_Click();
            preview = qtPicturePrinter().previewWindow(PrintJobKind::Panel);
            QVERIFY(preview);
            QVERIFY(qobject_cast<QPrintPreviewDialog *>(preview.data()));
            QVERIFY(preview->isVisible());
            QCoreApplication::processEvents();
            QVERIFY2(!watch.holdsWidgetOrItsWindow(preview), "the panel blocks its preview");
            QVERIFY(fx->fakeUi.messages().isEmpty());
            panel.reject(); // the unload releases the panel's document
            QVERIFY(!qtPicturePrinter().holds(PrintJobKind::Panel));
        }
        qApp->removeEventFilter(&watch);
        QVERIFY(!preview);
    }

    // One Esc in the panel's preview closes the preview and leaves the panel
    // open: the preview takes the keyboard when it opens, and an Esc that
    // still reaches the panel (a window system that left the keyboard there)
    // closes the preview first. Back in the panel, Esc closes it.
    void escInThePreviewClosesOnlyThePreview_data()
    {
        QTest::addColumn<bool>("leftOnPanel");
        QTest::newRow("keyboard in the preview") << false;
        QTest::newRow("keyboard left on the panel") << true;
    }
    void escInThePreviewClosesOnlyThePreview()
    {
        QFETCH(bool, leftOnPanel);
        frmV_Panel panel;
        panel.setWindowModality(Qt::ApplicationModal);
        panel.show();
        panel.activateWindow();
        fx->clock.advance(10);
        QCoreApplication::processEvents(); // the window system's activation
        QCOMPARE(QApplication::activeWindow(), &panel);
        panel.cmdPreview_Click();
        QPointer<QWidget> preview = qtPicturePrinter().previewWindow(PrintJobKind::Panel);
        QVERIFY(preview);
        QCoreApplication::processEvents();
        // A key goes where the keyboard's focus is: the active window's.
        auto keyboard = [] {
            QWidget *w = QApplication::focusWidget();
            return w ? w : QApplication::activeWindow();
        };
        if (leftOnPanel) {
            QTest::keyClick(&panel, Qt::Key_Escape);
        } else {
            QCOMPARE(QApplication::activeWindow(), preview.data());
            QTest::keyClick(keyboard(), Qt::Key_Escape);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!preview);
        QVERIFY(panel.isVisible());
        QVERIFY(app().shell.PanelLoaded);
        panel.activateWindow();
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), &panel);
        QTest::keyClick(keyboard(), Qt::Key_Escape);
        QVERIFY(!panel.isVisible());
        QVERIFY(!app().shell.PanelLoaded);
    }

    // The print layer's messages are in the language in force, and follow
    // a switch either way.
    void printMessagesFollowTheLanguage()
    {
        const QString absent = QStringLiteral("Kelvoscope test printer that is not there");
        qtPicturePrinter().setPrinterName(absent);
        frmV_Panel panel;
        fx->clock.advance(10);
        QFile blocker(dir->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        struct Row {
            int lang;
            const char *printer, *noPicture, *folder;
        };
        const Row rows[] = {
            {0, "打印机“%1”无法打印此页。", "没有可保存的图片。", "无法创建文件夹 %1。"},
            {1, "The printer \"%1\" could not print the page.", "There is no picture to save.",
             "Cannot create the folder %1."},
            {0, "打印机“%1”无法打印此页。", "没有可保存的图片。", "无法创建文件夹 %1。"},
        };
        const QString unmakeable = dir->filePath(QStringLiteral("blocker/sub/x.bmp"));
        for (const Row &row : rows) {
            app().texts.LanguageIndex = row.lang;
            ApplyLanguage(row.lang);
            fx->fakeUi.clear();
            panel.cmdPrint_Click();
            QCOMPARE(fx->fakeUi.messages().size(), 1);
            QCOMPARE(fx->fakeUi.messages()[0].text, QString::fromUtf8(row.printer).arg(absent));
            QString error;
            QVERIFY(!SaveBitmapFile(QImage(), dir->filePath(QStringLiteral("x.bmp")), &error));
            QCOMPARE(error, QString::fromUtf8(row.noPicture));
            QVERIFY(!MakeFolderOf(unmakeable, &error));
            const QString folder = QDir::toNativeSeparators(QFileInfo(unmakeable).absolutePath());
            QCOMPARE(error, QString::fromUtf8(row.folder).arg(folder));
        }
    }

    // A print on a printer whose paper is the one given (a stand-in that
    // prints into a PDF file): the page is that paper; the
    // picture's box lies inside the printable area of the real printer's
    // page layout, centred across it, at 7.28 x 5.2 in with its top 2.0 in
    // below the paper's top where that fits, scaled down in proportion where
    // not. The job and the file carry the window's caption.
    void printLandsOnThePrintersPaper_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<bool>("fullSize");
        QTest::newRow("A4") << QPageSize::A4 << true;
        QTest::newRow("Letter") << QPageSize::Letter << true;
        QTest::newRow("A5") << QPageSize::A5 << false;
    }
    void printLandsOnThePrintersPaper()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(bool, fullSize);
        const QString pdf = dir->filePath(QStringLiteral("page.pdf"));
        StandInPrinters printers;
        printers.printers = {{QStringLiteral("Bench PDF"), QPageSize(paper), pdf}};
        printers.defaultName = QStringLiteral("Bench PDF");
        const UseStandInPrinters use(printers);
        QImage picture(320, 234, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        const QString title = QStringLiteral("Virtual Panel 虚拟面板");
        PrintWindowPicture(PrintJobKind::Panel, picture, false, title);
        QVERIFY(fx->fakeUi.messages().isEmpty());

        const QPrinter *printer = qtPicturePrinter().jobPrinter(PrintJobKind::Panel);
        QVERIFY(printer);
        QCOMPARE(printer->docName(), title);
        QPageLayout layout = printer->pageLayout();
        layout.setUnits(QPageLayout::Point);
        const QRectF paperPt = layout.fullRect();
        QVERIFY(qAbs(paperPt.width() - QPageSize(paper).sizePoints().width()) < 0.5);
        const QRectF printable = paperPt.marginsRemoved(layout.margins());

        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QRegularExpression media(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
        const QRegularExpressionMatch m = media.match(QString::fromLatin1(bytes));
        QVERIFY(m.hasMatch());
        QVERIFY(qAbs(m.captured(1).toDouble() - paperPt.width()) < 0.5);
        QVERIFY(qAbs(m.captured(2).toDouble() - paperPt.height()) < 0.5);
        QVERIFY2(pdfTitles(bytes).contains(title), qPrintable(pdfTitles(bytes).join(QLatin1Char('|'))));
        QList<QRectF> boxes;
        for (const QByteArray &s : pdfStreams(bytes))
            boxes += imageBoxes(s);
        QCOMPARE(boxes.size(), 1);
        // The box in points from the paper's top-left corner, as drawn.
        const QRectF drawn = boxes[0];
        const QRectF box(drawn.left(), paperPt.height() - drawn.bottom(), drawn.width(), drawn.height());
        const QString seen = QStringLiteral("box %1,%2 %3x%4 in printable %5,%6 %7x%8")
                                 .arg(box.left()).arg(box.top()).arg(box.width()).arg(box.height())
                                 .arg(printable.left()).arg(printable.top()).arg(printable.width())
                                 .arg(printable.height());
        QVERIFY2(printable.adjusted(-0.5, -0.5, 0.5, 0.5).contains(box), qPrintable(seen));
        QVERIFY2(qAbs((box.left() - printable.left()) - (printable.right() - box.right())) < 0.5, qPrintable(seen));
        QVERIFY2(qAbs(box.width() / box.height() - 7.28 / 5.2) < 0.01, qPrintable(seen));
        if (fullSize) {
            QVERIFY2(qAbs(box.width() - 7.28 * 72) < 0.5, qPrintable(seen));
            QVERIFY2(qAbs(box.top() - 2.0 * 72) < 0.5, qPrintable(seen));
        } else {
            QVERIFY2(box.width() < 7.28 * 72 - 1, qPrintable(seen));
            QVERIFY2(qAbs(box.width() - printable.width()) < 0.5, qPrintable(seen));
        }
        // The box the layout code computes from the printer's page is the one drawn.
        const QRectF computed = pictureBoxOnPage(printer->pageLayout(), printPageLayout());
        QVERIFY2(qAbs(computed.left() - box.left()) < 0.5 && qAbs(computed.top() - box.top()) < 0.5
                     && qAbs(computed.width() - box.width()) < 0.5,
                 qPrintable(seen));
    }

    // The preview at the zoom it opens at draws every thin line of the
    // picture: none is dropped by the shrinking.
    void previewKeepsThinLines_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("vertical lines") << true;
        QTest::newRow("horizontal lines") << false;
    }
    void previewKeepsThinLines()
    {
        QFETCH(bool, vertical);
        // White, with a black line one pixel wide every 7 pixels.
        QImage picture(700, 500, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QList<int> lines;
        {
            QPainter p(&picture);
            p.setPen(Qt::black);
            for (int at = 3; at < (vertical ? 700 : 500); at += 7) {
                lines << at;
                if (vertical)
                    p.drawLine(at, 0, at, 499);
                else
                    p.drawLine(0, at, 699, at);
            }
        }
        QVERIFY(printPicture(PrintJobKind::Panel, picture, true, QStringLiteral("Preview"), nullptr));
        QWidget *preview = qtPicturePrinter().previewWindow(PrintJobKind::Panel);
        QVERIFY(preview);
        QCoreApplication::processEvents();
        auto *view = preview->findChild<QGraphicsView *>();
        QVERIFY(view);
        const QPrinter *printer = qtPicturePrinter().jobPrinter(PrintJobKind::Panel);
        QVERIFY(printer);
        // The picture's box on the screen: from the page's points to the
        // printer's pixels (the scene's units) and through the view.
        QGraphicsItem *page = nullptr;
        for (QGraphicsItem *item : view->scene()->items())
            if (!page || item->scenePos().y() < page->scenePos().y())
                page = item;
        QVERIFY(page);
        const QRectF pt = pictureBoxOnPage(printer->pageLayout(), printPageLayout());
        const double perPoint = printer->resolution() / 72.0;
        const QRectF scene(page->scenePos() + pt.topLeft() * perPoint, pt.size() * perPoint);
        const QRectF onScreen = view->mapFromScene(scene).boundingRect();
        const QImage shot = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect visible = QRect(QPoint(0, 0), view->viewport()->size()).adjusted(2, 2, -2, -2);
        // Along the middle of the picture, across the lines.
        const double along = vertical ? onScreen.center().y() : onScreen.center().x();
        const double scale = vertical ? onScreen.width() / 700.0 : onScreen.height() / 500.0;
        int seen = 0;
        QStringList missing;
        for (int line : lines) {
            const double across = (vertical ? onScreen.left() : onScreen.top()) + (line + 0.5) * scale;
            const QPoint at = vertical ? QPoint(int(across), int(along)) : QPoint(int(along), int(across));
            if (!visible.contains(at))
                continue;
            ++seen;
            int darkest = 255;
            for (int d = -1; d <= 1; ++d) {
                const QPoint p = vertical ? at + QPoint(d, 0) : at + QPoint(0, d);
                darkest = std::min(darkest, qGray(shot.pixel(p)));
            }
            if (darkest > 128)
                missing << QString::number(line);
        }
        // The dialog's zoom box shows the zoom the page is drawn at.
        auto *zoomBox = preview->findChild<QComboBox *>();
        auto *pageView = preview->findChild<QPrintPreviewWidget *>();
        QVERIFY(zoomBox && pageView);
        QCOMPARE(qRound(zoomBox->currentText().remove(QLatin1Char('%')).toDouble() * 10),
                 qRound(pageView->zoomFactor() * 1000));
        QVERIFY2(seen > lines.size() / 2, qPrintable(QStringLiteral("%1 of %2 lines in view").arg(seen).arg(lines.size())));
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("zoom %1, lines missing: %2")
                                                   .arg(view->transform().m11() * 1200 / 96)
                                                   .arg(missing.join(QLatin1Char(' ')))));
    }

    // A print tells in the main window's status bar where the page went,
    // by the printer's name, in the language in force; a failed one says so
    // there too, besides its message.
    void printTellsWhereThePageWent_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("status");
        QTest::newRow("English, printed") << 1 << false << QStringLiteral("The page was sent to the printer \"Bench Laser\".");
        QTest::newRow("Chinese, printed") << 0 << false << QStringLiteral("此页已发送到打印机“Bench Laser”。");
        QTest::newRow("English, failed") << 1 << true << QStringLiteral("Out of paper at Bench Laser");
        QTest::newRow("Chinese, failed") << 0 << true << QStringLiteral("Out of paper at Bench Laser");
    }
    void printTellsWhereThePageWent()
    {
        QFETCH(int, lang);
        QFETCH(bool, fails);
        QFETCH(QString, status);
        RecordingPrinter printer;
        printer.destination = QStringLiteral("Bench Laser");
        if (fails)
            printer.failWith = QStringLiteral("Out of paper at Bench Laser");
        setPicturePrinter(&printer);
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
        frmMain main;
        const QString before = main.statusText();
        {
            frmV_Panel panel;
            fx->clock.advance(10);
            panel.cmdPreview_Click(); // a preview tells nothing
            QCOMPARE(main.statusText(), before);
            panel.cmdPrint_Click();
            QCOMPARE(printer.runs.size(), 2);
            QCOMPARE(printer.runs[1].title, panel.windowTitle());
        }
        setPicturePrinter(nullptr);
        QCOMPARE(main.statusText(), status);
        QCOMPARE(fx->fakeUi.messages().size(), fails ? 1 : 0);
        if (fails)
            QCOMPARE(fx->fakeUi.messages()[0].text, printer.failWith);
    }

    // A print that cannot start is reported at the print's end, whatever
    // printers the machine has: no printer at all, a printer named that the
    // list does not hold (never replaced by the default one), a printer whose
    // PDF file cannot be made.
    void printThatCannotStartIsReported_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer") << QString() << QString() << QStringLiteral("No printer is available.");
        QTest::newRow("unknown printer") << QStringLiteral("Kelvoscope test printer that is not there") << QString()
                                         << QStringLiteral("The printer \"Kelvoscope test printer that is not there\" could not print the page.");
        QTest::newRow("pdf in a missing folder") << QString() << QStringLiteral("no/such/folder/page.pdf")
                                                 << QStringLiteral("The printer \"Bench PDF\" could not print the page.");
    }
    void printThatCannotStartIsReported()
    {
        QFETCH(QString, printer);
        QFETCH(QString, pdf);
        QFETCH(QString, message);
        // The machine's printers stay out of it: the one stand-in is the
        // default, there only when a PDF file is named for it.
        StandInPrinters printers;
        if (!pdf.isEmpty()) {
            printers.printers = {{QStringLiteral("Bench PDF"), QPageSize(QPageSize::A4), dir->filePath(pdf)}};
            printers.defaultName = QStringLiteral("Bench PDF");
        } else {
            const QString good = dir->filePath(QStringLiteral("good.pdf"));
            printers.printers = {{QStringLiteral("Bench PDF"), QPageSize(QPageSize::A4), good}};
            if (!printer.isEmpty())
                printers.defaultName = QStringLiteral("Bench PDF");
        }
        const UseStandInPrinters use(printers);
        qtPicturePrinter().setPrinterName(printer);
        QImage picture(320, 234, QImage::Format_RGB32);
        picture.fill(Qt::black);
        PrintWindowPicture(PrintJobKind::Panel, picture, false, QStringLiteral("Virtual Panel"));
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::None);
        QCOMPARE(fx->fakeUi.messages()[0].text, message);
        // Nothing went to the printer that is there.
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("good.pdf"))));
    }
};

QTEST_MAIN(TestPanelPrint)
#include "tst_panelprint.moc"
