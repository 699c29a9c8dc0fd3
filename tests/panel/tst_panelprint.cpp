// The panel's print and preview through the real Qt printer: the preview of a
// panel shown application-modal takes input (it is not blocked by the panel)
// and goes with the panel's unload; a print lands on the page in the box of
// its layout (printed into a PDF file and read back); a print whose painter
// cannot start is reported.
#include "link/linkfixture.h"
#include "panel/frmv_panel.h"
#include "platform/print/pictureoutput.h"
#include "platform/print/printpicture.h"
#include "platform/safesave.h"
#include "texts/loadlanguage.h"
#include "texts/toolkitlanguage.h"

#include <QDir>
#include <QFileInfo>
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
        qtPicturePrinter().setOutputPdf(QString());
    }
    void cleanup()
    {
        applyToolkitLanguage(1);
        for (int k = 0; k < PrintJobKindCount; ++k)
            qtPicturePrinter().release(PrintJobKind(k));
        qtPicturePrinter().setOutputPdf(QString());
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
        qtPicturePrinter().setPrinterName(QStringLiteral("Kelvoscope test printer that is not there"));
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
            {0, "打印机无法打印此页。", "没有可保存的图片。", "无法创建文件夹 %1。"},
            {1, "The printer could not print the page.", "There is no picture to save.",
             "Cannot create the folder %1."},
            {0, "打印机无法打印此页。", "没有可保存的图片。", "无法创建文件夹 %1。"},
        };
        const QString unmakeable = dir->filePath(QStringLiteral("blocker/sub/x.bmp"));
        for (const Row &row : rows) {
            app().texts.LanguageIndex = row.lang;
            ApplyLanguage(row.lang);
            fx->fakeUi.clear();
            panel.cmdPrint_Click();
            QCOMPARE(fx->fakeUi.messages().size(), 1);
            QCOMPARE(fx->fakeUi.messages()[0].text, QString::fromUtf8(row.printer));
            QString error;
            QVERIFY(!SaveBitmapFile(QImage(), dir->filePath(QStringLiteral("x.bmp")), &error));
            QCOMPARE(error, QString::fromUtf8(row.noPicture));
            QVERIFY(!MakeFolderOf(unmakeable, &error));
            const QString folder = QDir::toNativeSeparators(QFileInfo(unmakeable).absolutePath());
            QCOMPARE(error, QString::fromUtf8(row.folder).arg(folder));
        }
    }

    void printLandsInItsBox()
    {
        const QString pdf = dir->filePath(QStringLiteral("page.pdf"));
        qtPicturePrinter().setOutputPdf(pdf);
        QImage picture(320, 234, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        PrintWindowPicture(PrintJobKind::Panel, picture, false);
        QVERIFY(fx->fakeUi.messages().isEmpty());

        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        // A US Letter page: 8.5 x 11 in, 612 x 792 points.
        const QRegularExpression media(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
        const QRegularExpressionMatch m = media.match(QString::fromLatin1(bytes));
        QVERIFY(m.hasMatch());
        QVERIFY(qAbs(m.captured(1).toDouble() - 612.0) < 0.5);
        QVERIFY(qAbs(m.captured(2).toDouble() - 792.0) < 0.5);
        QList<QRectF> boxes;
        for (const QByteArray &s : pdfStreams(bytes))
            boxes += imageBoxes(s);
        QCOMPARE(boxes.size(), 1);
        // 1.1 in from the left, 2.0 in from the top, 7.28 x 5.2 in (points
        // from the page's lower left corner).
        const QRectF box = boxes[0];
        const QRectF expected(1.1 * 72, 792 - (2.0 + 5.2) * 72, 7.28 * 72, 5.2 * 72);
        for (auto [got, want] : {std::pair{box.left(), expected.left()}, std::pair{box.top(), expected.top()},
                                 std::pair{box.width(), expected.width()}, std::pair{box.height(), expected.height()}})
            QVERIFY2(qAbs(got - want) < 0.5, qPrintable(QStringLiteral("%1 against %2").arg(got).arg(want)));
    }

    // A printer that cannot start the print (one that does not exist; a PDF
    // file that cannot be made): the failure is shown at the print's end.
    void printThatCannotStartIsReported_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("pdf");
        QTest::newRow("unknown printer") << QStringLiteral("Kelvoscope test printer that is not there") << QString();
        QTest::newRow("pdf in a missing folder") << QString() << QStringLiteral("no/such/folder/page.pdf");
    }
    void printThatCannotStartIsReported()
    {
        QFETCH(QString, printer);
        QFETCH(QString, pdf);
        qtPicturePrinter().setPrinterName(printer);
        if (!pdf.isEmpty())
            qtPicturePrinter().setOutputPdf(dir->filePath(pdf));
        QImage picture(320, 234, QImage::Format_RGB32);
        picture.fill(Qt::black);
        PrintWindowPicture(PrintJobKind::Panel, picture, false);
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::None);
        QVERIFY(!fx->fakeUi.messages()[0].text.isEmpty());
    }
};

QTEST_MAIN(TestPanelPrint)
#include "tst_panelprint.moc"
