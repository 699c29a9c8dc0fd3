// The screen-mirror panel against the simulator: frames, colours, zoom, run and
// stop, short and failed screen reads, and the picture's export, print and
// preview.
#include "link/linkfixture.h"
#include "panel/frmv_panel.h"
#include "platform/print/pictureoutput.h"
#include "panel/screenmirror.h"
#include "platform/pixcolor/pixcolor.h"
#include "platform/print/printpicture.h"

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QRgb rgbOfRef(qint32 c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The picture the simulator's current screen must give.
QImage expectedPicture(const Qm4100Sim &sim, int zoom)
{
    const QByteArray s = sim.screenImage();
    const int f = zoom ? 2 : 1;
    QImage img(320 * f, 234 * f, QImage::Format_RGB32);
    for (int y = 0; y < 234 * f; ++y)
        for (int x = 0; x < 320 * f; ++x) {
            const quint8 b = quint8(s.at(x / f + 320 * (y / f)));
            img.setPixel(x, y, rgbOfRef(sim.colourScreen() ? colourOfByte(b) : greyOfByte(b)));
        }
    return img;
}

int countLines(const Qm4100Sim &sim, const QByteArray &line)
{
    return sim.count(line);
}

} // namespace

class TestMirror : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstFrameMirrorsColourScreen();
    void monochromeScreen();
    void zoomTwoTimes();
    void stopAndRun();
    void keysAndKnobsShowInTheNextFrame();
    void shortScreenReplyKeepsLastFrame();
    void failedScreenReadClosesPanel();
    void serialLinkReadsNothing();
    void captionsFollowLanguage_data();
    void captionsFollowLanguage();
    void exportBitmap_data();
    void exportBitmap();
    void exportCancelAndFailure();
    void printAndPreview();
    void printFailureIsReported();
    void printPictureFileFailure_data();
    void printPictureFileFailure();
    void unloadReleasesThePrintDocument_data();
    void unloadReleasesThePrintDocument();

private:
    std::unique_ptr<LinkFixture> fx;
    std::unique_ptr<RecordingPrinter> printer;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestMirror::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestMirror::init()
{
    fx = std::make_unique<LinkFixture>();
    fx->useVisa();
    QVERIFY(fx->connect());
    printer = std::make_unique<RecordingPrinter>();
    setPicturePrinter(printer.get());
    dir = std::make_unique<QTemporaryDir>();
}

void TestMirror::cleanup()
{
    setPicturePrinter(nullptr);
    fx.reset();
    dir.reset();
}

void TestMirror::firstFrameMirrorsColourScreen()
{
    frmV_Panel p;
    p.show();
    QVERIFY(app().shell.PanelLoaded);
    QVERIFY(app().panel.PanelRunning);
    // Nothing is sent on load; the first frame comes 10 ms later.
    QVERIFY(fx->sim.lines().isEmpty());
    QVERIFY(!p.button(QStringLiteral("cmdRun"))->isEnabled());
    QVERIFY(p.button(QStringLiteral("cmdStop"))->isEnabled());
    fx->clock.advance(10);
    QCOMPARE(fx->sim.lines(), (QList<QByteArray>{":LCD:DATA?", "*IDN?"}));

    const QImage pic = p.pictureImage();
    QCOMPARE(pic.size(), QSize(320, 234));
    QCOMPARE(p.picture()->pixmap().size(), QSize(320, 234));
    QCOMPARE(pic.convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 0));

    // CH1's trace is drawn yellow where the simulator draws CH1.
    const QByteArray s = fx->sim.screenImage();
    int ch1 = 0;
    for (int i = 0; i < s.size(); ++i)
        if (quint8(s.at(i)) == 0xFC) {
            ++ch1;
            QCOMPARE(pic.pixel(i % 320, i / 320), qRgb(255, 255, 0));
        }
    QVERIFY(ch1 > 100);

    // Frames follow each other while running.
    fx->clock.advance(1);
    QCOMPARE(countLines(fx->sim, ":LCD:DATA?"), 2);
}

void TestMirror::monochromeScreen()
{
    fx->sim.setMonochrome(true);
    frmV_Panel p;
    fx->clock.advance(10);
    QCOMPARE(p.pictureImage().convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 0));
    // A CH1 pixel (grey 255) is white on a monochrome screen.
    const QByteArray s = fx->sim.screenImage();
    const int i = s.indexOf(char(255));
    QVERIFY(i >= 0);
    QCOMPARE(p.pictureImage().pixel(i % 320, i / 320), qRgb(255, 255, 255));
}

void TestMirror::zoomTwoTimes()
{
    frmV_Panel p;
    p.show();
    fx->clock.advance(10);
    const QSize small = p.size();
    p.mirror().halt();
    p.cmdZoom_Click();
    // Zoom while stopped: the picture is cleared at its old size, the window
    // keeps its size until a frame comes.
    QCOMPARE(p.pictureImage().size(), QSize(320, 234));
    QCOMPARE(p.pictureImage().pixel(100, 100), qRgb(0, 0, 0));
    QCOMPARE(p.size(), small);
    fx->sim.clearLog();
    fx->clock.advance(1000);
    QVERIFY(fx->sim.lines().isEmpty());

    p.cmdRun_Click();
    fx->clock.advance(1);
    const QImage pic = p.pictureImage();
    QCOMPARE(pic.size(), QSize(640, 468));
    QVERIFY(p.size().width() > small.width() && p.size().height() > small.height());
    QCOMPARE(pic.convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 1));
    // Destination (639, 467) shows screen pixel (319, 233).
    const quint8 last = quint8(fx->sim.screenImage().at(74879));
    QCOMPARE(pic.pixel(639, 467), rgbOfRef(colourOfByte(last)));
    QVERIFY(p.picture()->width() >= 640 && p.picture()->height() >= 468);
}

void TestMirror::stopAndRun()
{
    frmV_Panel p;
    fx->clock.advance(10);
    p.cmdStop_Click();
    QVERIFY(p.button(QStringLiteral("cmdRun"))->isEnabled());
    QVERIFY(!p.button(QStringLiteral("cmdStop"))->isEnabled());
    fx->sim.clearLog();
    fx->clock.advance(5000);
    QVERIFY(fx->sim.lines().isEmpty());

    // Stop pressed while a frame's read pumps events: that frame draws nothing.
    p.cmdRun_Click();
    QVERIFY(!p.button(QStringLiteral("cmdRun"))->isEnabled());
    const QImage before = p.pictureImage();
    fx->sim.setMonochrome(true);
    setPump([&] {
        fx->serial->pumpOnce(fx->clock);
        p.cmdStop_Click();
    });
    fx->clock.advance(1);
    setPump([&] { fx->serial->pumpOnce(fx->clock); });
    QCOMPARE(fx->sim.lines(), QList<QByteArray>{":LCD:DATA?"}); // no identification, no drawing
    QCOMPARE(p.pictureImage(), before);
    QVERIFY(p.button(QStringLiteral("cmdRun"))->isEnabled());
}

// A key, a knob turn and a volts/div change made while the mirror runs show
// in the frames that follow.
void TestMirror::keysAndKnobsShowInTheNextFrame()
{
    frmV_Panel p;
    p.show();
    fx->clock.advance(10);
    QImage last = p.pictureImage();
    auto nextFrames = [&] {
        fx->clock.advance(1000);
        const QImage pic = p.pictureImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(pic, expectedPicture(fx->sim, 0));
        QVERIFY(pic != last.convertToFormat(QImage::Format_RGB32));
        last = pic;
    };
    QTest::mouseClick(p.key(QStringLiteral("VK_Measure")), Qt::LeftButton);
    nextFrames();
    QCOMPARE(fx->sim.menuLine(), QByteArray("MEASURE"));
    QPushButton *up = p.key(QStringLiteral("VK_V_Pos_Inc"));
    QTest::mousePress(up, Qt::LeftButton);
    QTest::mouseRelease(up, Qt::LeftButton);
    nextFrames();
    QCOMPARE(fx->sim.setting(":CHANNEL1:OFFSET"), QByteArray("4.000e-02"));
    fx->sim.handle(":CHANNEL1:SCALE 200MV", Qm4100Sim::Framing::VisaUsb);
    nextFrames();
}

void TestMirror::shortScreenReplyKeepsLastFrame()
{
    frmV_Panel p;
    fx->clock.advance(10);
    const QImage good = p.pictureImage();
    const QByteArray goodBytes = app().panel.ScreenBytes;

    // The screen changes, and the reply loses its last rows.
    fx->sim.setMonochrome(true);
    Qm4100Sim::Faults f;
    f.shortBlockBy = 3201;
    fx->sim.setFaults(f);
    fx->clock.advance(1);
    QCOMPARE(app().panel.ShortScreenReads, 1);
    QCOMPARE(p.pictureImage(), good);
    QCOMPARE(app().panel.ScreenBytes, goodBytes); // no half-new buffer
    QVERIFY(app().link.LinkConnected);
    QVERIFY(fx->fakeUi.messages().isEmpty());

    // The next whole reply is drawn again.
    fx->sim.clearFaults();
    fx->clock.advance(1);
    QCOMPARE(p.pictureImage().convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 0));
}

void TestMirror::failedScreenReadClosesPanel()
{
    frmV_Panel p;
    p.show();
    fx->clock.advance(10);
    const QImage good = p.pictureImage();
    Qm4100Sim::Faults f;
    f.noReply = true;
    fx->sim.setFaults(f);
    fx->clock.advance(1);
    // The link reports the failed read once and is lost; the panel closes.
    QCOMPARE(fx->fakeUi.messages().size(), 1);
    QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Can't Read data from Device!"));
    QCOMPARE(fx->fakeUi.messages()[0].title, QStringLiteral("Device Read Message"));
    QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Exclamation);
    QVERIFY(!app().link.LinkConnected);
    QVERIFY(!p.isVisible());
    QCOMPARE(p.result(), int(QDialog::Rejected));
    QVERIFY(!app().shell.PanelLoaded);
    QVERIFY(!app().panel.PanelRefreshActive);
    QCOMPARE(p.pictureImage(), good);
    fx->sim.clearLog();
    fx->clock.advance(5000);
    QVERIFY(fx->sim.lines().isEmpty());
}

void TestMirror::serialLinkReadsNothing()
{
    // ReadScreenFrame sends nothing and keeps the buffer off a VISA link.
    QByteArray buf(ScreenBufferSize, 'x');
    app().link.IoType = IoTypeSerial;
    QCOMPARE(ReadScreenFrame(buf), ScreenRead::NotRead);
    app().link.IoType = 0;
    DisconnectInstrument();
    fx->sim.clearLog();
    QCOMPARE(ReadScreenFrame(buf), ScreenRead::NotRead);
    QVERIFY(fx->sim.lines().isEmpty());
    QCOMPARE(buf, QByteArray(ScreenBufferSize, 'x'));
}

void TestMirror::captionsFollowLanguage_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("preview");
    QTest::newRow("English") << 1 << "Virtual Panel" << "Run" << "      Preview";
    QTest::newRow("Chinese") << 0 << "虚拟面板" << "运行  " << "      预览  ";
}

void TestMirror::captionsFollowLanguage()
{
    QFETCH(int, lang);
    QFETCH(QString, title);
    QFETCH(QString, run);
    QFETCH(QString, preview);
    app().texts.LanguageIndex = lang;
    frmV_Panel p;
    QCOMPARE(p.windowTitle(), title);
    QCOMPARE(p.button(QStringLiteral("cmdRun"))->text(), run);
    QCOMPARE(p.button(QStringLiteral("cmdPreview"))->text(), preview);
}

void TestMirror::exportBitmap_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written"); // the file's name: the filter's suffix added when none was typed
    QTest::newRow("English") << 1 << "screen.bmp" << "Export File" << "BitMap Files (*.bmp)" << "screen.bmp";
    QTest::newRow("English, no extension") << 1 << "screen" << "Export File" << "BitMap Files (*.bmp)" << "screen.bmp";
    QTest::newRow("Chinese, no extension") << 0 << "screen" << "导出文件" << "位图文件 (*.bmp)" << "screen.bmp";
    QTest::newRow("Chinese, another extension") << 0 << "screen.img" << "导出文件" << "位图文件 (*.bmp)" << "screen.img";
    QTest::newRow("other language, no extension") << 7 << "s" << "" << "(*.bmp)" << "s.bmp";
}

void TestMirror::exportBitmap()
{
    QFETCH(int, lang);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    frmV_Panel p;
    fx->clock.advance(10);
    p.cmdZoom_Click();
    fx->clock.advance(1); // a 2x frame
    app().texts.LanguageIndex = lang;
    const QString path = dir->filePath(name);
    fx->fakeUi.answerFile(path);
    fx->sim.clearLog();
    p.mirror().halt();
    p.cmdExport_Click();
    QCOMPARE(fx->fakeUi.fileDialogs().size(), 1);
    QVERIFY(fx->fakeUi.fileDialogs()[0].save);
    QCOMPARE(fx->fakeUi.fileDialogs()[0].request.title, title);
    QCOMPARE(fx->fakeUi.fileDialogs()[0].request.filter, filter);
    QVERIFY(fx->fakeUi.fileDialogs()[0].request.defaultSuffix.isEmpty());
    QVERIFY(fx->fakeUi.messages().isEmpty());
    QVERIFY(fx->sim.lines().isEmpty()); // output sends nothing

    // The file is a bitmap at the 2x size, and the only file written.
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{written});
    QFile f(dir->filePath(written));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(2), QByteArray("BM"));
    f.close();
    QImage back(dir->filePath(written), "BMP");
    QCOMPARE(back.size(), QSize(640, 468));
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 1));
}

void TestMirror::exportCancelAndFailure()
{
    frmV_Panel p;
    fx->clock.advance(10);
    p.mirror().halt();
    // Cancel: nothing saved, nothing shown.
    fx->fakeUi.cancelFile();
    p.cmdExport_Click();
    QVERIFY(fx->fakeUi.messages().isEmpty());
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());

    // A file that cannot be written: one critical message, the old file whole.
    const QString path = dir->filePath(QStringLiteral("keep.bmp"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    fx->fakeUi.answerFile(path);
    const bool writable = QFileInfo(dir->path()).isWritable(); // root ignores permissions
    p.cmdExport_Click();
    QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!writable) {
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Critical);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old contents"));
    }
    // A folder that cannot exist.
    fx->fakeUi.clear();
    fx->fakeUi.answerFile(path + QStringLiteral("/sub/x.bmp"));
    p.cmdExport_Click();
    QCOMPARE(fx->fakeUi.messages().size(), 1);
    QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Critical);
    QVERIFY(!fx->fakeUi.messages()[0].text.isEmpty());
}

void TestMirror::printAndPreview()
{
    frmV_Panel p;
    fx->clock.advance(10);
    p.mirror().halt();
    QFile::remove(printPicturePath());
    p.cmdPreview_Click();
    p.cmdPrint_Click();
    QCOMPARE(printer->runs.size(), 2);
    QVERIFY(printer->runs[0].preview);
    QVERIFY(!printer->runs[1].preview);
    // Preview and print lay the page out alike (the preview shows the page
    // the print makes), and the job is named after the panel's caption.
    for (const RecordingPrinter::Run &c : printer->runs) {
        QCOMPARE(c.kind, PrintJobKind::Panel);
        QCOMPARE(c.layout, printPageLayout());
        QCOMPARE(c.title, p.windowTitle());
        QCOMPARE(c.layout.topIn, 2.0);
        QCOMPARE(c.layout.widthIn, 7.28);
        QCOMPARE(c.layout.heightIn, 5.2);
        QCOMPARE(c.image, p.pictureImage());
    }
    QVERIFY(fx->fakeUi.messages().isEmpty());
    // The print picture file holds the picture too.
    QImage file(printPicturePath(), "BMP");
    QCOMPARE(file.convertToFormat(QImage::Format_RGB32), expectedPicture(fx->sim, 0));

    // A 2x picture goes into the same box; right after Zoom it is the cleared
    // picture.
    p.cmdZoom_Click();
    p.cmdPrint_Click();
    QCOMPARE(printer->runs.last().layout.widthIn, 7.28);
    QCOMPARE(printer->runs.last().image.pixel(5, 5), qRgb(0, 0, 0));
    p.cmdRun_Click();
    fx->clock.advance(1);
    p.mirror().halt();
    p.cmdPreview_Click();
    QCOMPARE(printer->runs.last().image.size(), QSize(640, 468));
    QCOMPARE(printer->runs.last().layout.heightIn, 5.2);
}

void TestMirror::printFailureIsReported()
{
    frmV_Panel p;
    fx->clock.advance(10);
    p.mirror().halt();
    printer->failWith = QStringLiteral("Printer out of paper");
    p.cmdPrint_Click();
    QCOMPARE(fx->fakeUi.messages().size(), 1);
    QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Printer out of paper"));
    QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::None);
    // The mirror goes on as before.
    p.cmdRun_Click();
    fx->sim.clearLog();
    fx->clock.advance(1);
    QCOMPARE(fx->sim.count(":LCD:DATA?"), 1);
}

// "$Print.bmp" cannot be written (a folder stands in its place): the failure
// shows with the critical icon and the picture still goes to the printer; a
// print shows the failure once more at its end, a preview does not.
void TestMirror::printPictureFileFailure_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QList<int>>("icons");
    QTest::newRow("print") << false << QList<int>{int(MsgIcon::Critical), int(MsgIcon::None)};
    QTest::newRow("preview") << true << QList<int>{int(MsgIcon::Critical)};
}

void TestMirror::printPictureFileFailure()
{
    QFETCH(bool, preview);
    QFETCH(QList<int>, icons);
    frmV_Panel p;
    fx->clock.advance(10);
    p.mirror().halt();
    QFile::remove(printPicturePath());
    QVERIFY(QDir().mkpath(printPicturePath()));
    if (preview)
        p.cmdPreview_Click();
    else
        p.cmdPrint_Click();
    QDir(printPicturePath()).removeRecursively();
    QCOMPARE(printer->runs.size(), 1);
    QCOMPARE(printer->runs[0].image, p.pictureImage());
    QList<int> shown;
    for (const auto &m : fx->fakeUi.messages()) {
        shown << int(m.icon);
        QCOMPARE(m.text, fx->fakeUi.messages()[0].text);
    }
    QCOMPARE(shown, icons);
}

void TestMirror::unloadReleasesThePrintDocument_data()
{
    QTest::addColumn<bool>("byFrame");
    QTest::newRow("reject") << false;
    QTest::newRow("close box") << true;
}

void TestMirror::unloadReleasesThePrintDocument()
{
    QFETCH(bool, byFrame);
    frmV_Panel p;
    p.show();
    fx->clock.advance(10);
    p.cmdPreview_Click();
    QVERIFY(printer->holds(PrintJobKind::Panel));
    if (byFrame)
        p.close();
    else
        p.reject();
    QVERIFY(!app().shell.PanelLoaded);
    QVERIFY(!printer->holds(PrintJobKind::Panel));
}

QTEST_MAIN(TestMirror)
#include "tst_mirror.moc"
