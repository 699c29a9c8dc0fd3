// The replay window offscreen: start-up, opening files, buttons and slider,
// captions in both languages, colour schemes, bitmap export, print and
// preview through the print seam, close and the data sheet's calls.

#include "replay/recordmaker.h"

#include "app/appstate.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/ui/scriptedui.h"
#include "replay/frmrecordplay.h"
#include "replay/replaycaptions.h"
#include "replay/replaypicture.h"
#include "shell/frmmain.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestFrmRecordPlay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void newItemWindow();
    void openStartsTheReplay();
    void failedOpenChangesNothing_data();
    void failedOpenChangesNothing();
    void cancelledOpenChangesNothing();
    void buttonsAndSlider();
    void singlePassEndsOnItsLastFrame_data();
    void singlePassEndsOnItsLastFrame();
    void framesKeepTheButtonPictures();
    void captionsInBothLanguages();
    void everyToolTip_data();
    void everyToolTip();
    void colourButtons();
    void bitmapExport();
    void bitmapExportFailure();
    void printAndPreview();
    void printFailureIsReported();
    void printPictureFileFailure_data();
    void printPictureFileFailure();
    void closeLeavesTheReplayPaused();
    void restoredPausedWindow();
    void movedToAnotherSlot();
    void pauseBeforeSave();
    void keepsItsMinimumHeight();
    void livesInTheMainWindowsItemArea();

private:
    frmRecordPlay *openWindow(int slot = 0);
    QString writeRecord(const QString &name, const QByteArray &bytes);
    QString goodFile(int frames = 4);
    QToolButton *button(frmRecordPlay *w, const char *name) { return w->findChild<QToolButton *>(name); }

    VirtualClock clock_;
    ScriptedUi ui_;
    std::unique_ptr<RecordingPrinter> printer_;
    std::unique_ptr<QTemporaryDir> dir_;
    QList<int> captionChanges_;
};

void TestFrmRecordPlay::init()
{
    resetApp();
    setAppClock(&clock_);
    ui_.clear();
    setUi(&ui_);
    printer_ = std::make_unique<RecordingPrinter>();
    setPicturePrinter(printer_.get());
    dir_ = std::make_unique<QTemporaryDir>();
    app().texts.LanguageIndex = 1;
    LoadMessageTable(1);
    DataSheet &s = app().Sheet;
    s.ReplayCount = 2;
    for (int i = 0; i < 2; ++i) {
        s.Replays[size_t(i)].setNewItemDefaults();
        s.Replays[size_t(i)].Name = QStringLiteral("Record%1").arg(i);
    }
    captionChanges_.clear();
    app().replay.CaptionChanged = [this](int slot) { captionChanges_.append(slot); };
}

void TestFrmRecordPlay::cleanup()
{
    for (int i = 0; i < DataSheet::ReplaySlots; ++i)
        CloseReplayWindow(i);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setUi(nullptr);
    setPicturePrinter(nullptr);
    setAppClock(nullptr);
}

frmRecordPlay *TestFrmRecordPlay::openWindow(int slot)
{
    frmRecordPlay *w = ShowReplayWindow(slot);
    clock_.advance(1);
    return w;
}

QString TestFrmRecordPlay::writeRecord(const QString &name, const QByteArray &bytes)
{
    const QString path = dir_->filePath(name);
    if (!writeFile(path, bytes))
        return {};
    return path;
}

QString TestFrmRecordPlay::goodFile(int frames)
{
    return writeRecord(QStringLiteral("good.rcd"),
                       recordFile(basicHeader(frames), rawFrames(frames, [](int f, int) { return 25 + 40 * f; })));
}

void TestFrmRecordPlay::newItemWindow()
{
    frmRecordPlay *w = ShowReplayWindow(0);
    QVERIFY(w);
    QCOMPARE(ReplayWindow(0), w);
    QVERIFY(w->initPending());
    QCOMPARE(w->windowTitle(), QStringLiteral("Record0"));
    clock_.advance(1);
    QVERIFY(!w->initPending());
    const ReplayInfo &r = app().Sheet.Replays[0];
    QVERIFY(r.WindowOpen);
    for (int i = 0; i <= 6; ++i)
        QVERIFY(!w->playButton(i)->isEnabled());
    QVERIFY(w->playButton(7)->isEnabled());
    QCOMPARE(w->playButton(7)->property("imageNormal").toInt(), ReplayImage::LoopLatched);
    QVERIFY(!w->slider()->isEnabled());
    QCOMPARE(w->slider()->value(), 1);
    QCOMPARE(r.StatusText, QStringLiteral("Please open the waveform record file."));
    QCOMPARE(w->intervalLabel()->text(), QStringLiteral("50.00ms"));
    // The empty grid in colour, the prompt without a counter.
    QVERIFY(!w->plotImage().isNull());
    QCOMPARE(w->plotImage().pixelColor(5, 5), QColor(0, 0, 0));
    QCOMPARE(w->plotImage().pixelColor(100, 26), QColor(192, 192, 192));
    const QImage strip = w->stripImage();
    int white = 0, green = 0;
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) {
            white += strip.pixelColor(x, y) == QColor(255, 255, 255);
            green += strip.pixelColor(x, y) == QColor(0, 255, 0);
        }
    QVERIFY(white > 0);
    QCOMPARE(green, 0);
    QVERIFY(!app().Sheet.Modified); // opening a window never marks the sheet
}

void TestFrmRecordPlay::openStartsTheReplay()
{
    frmRecordPlay *w = openWindow();
    const QString path = goodFile(4);
    ui_.answerFile(path);
    button(w, "cmdRun")->click();
    QCOMPARE(ui_.fileDialogs().size(), 1);
    QCOMPARE(ui_.fileDialogs()[0].request.title, QStringLiteral("Open Record Files"));
    QCOMPARE(ui_.fileDialogs()[0].request.filter, QStringLiteral("Record Files (*.rcd)"));
    QVERIFY(ui_.messages().isEmpty());
    const ReplayInfo &r = app().Sheet.Replays[0];
    QVERIFY(r.FileLoaded);
    QVERIFY(r.ReplayStarted);
    QCOMPARE(r.FilePath, path);
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    QCOMPARE(w->windowTitle(), QStringLiteral("Record0  (") + path + QLatin1Char(')'));
    QCOMPARE(captionChanges_, QList<int>({0}));
    QVERIFY(app().Sheet.Modified);
    for (int i = 1; i <= 6; ++i)
        QVERIFY(w->playButton(i)->isEnabled());
    QVERIFY(!w->playButton(0)->isEnabled());
    QCOMPARE(w->playButton(0)->property("imageDisabled").toInt(), ReplayImage::ReplayLatched);
    QVERIFY(w->slider()->isEnabled());
    QCOMPARE(w->slider()->maximum(), 4);
    QCOMPARE(w->slider()->minimum(), 1);
    QCOMPARE(r.StatusText, QStringLiteral("Replaying"));
    // Frame 1 holds level 65 (row 40) everywhere.
    const QImage plot = w->plotImage();
    const double v = (plot.height() - 50) / 200.0;
    QCOMPARE(plot.pixelColor(plot.width() / 2, int(v * 40 + 25)), QColor(255, 255, 0));
    clock_.advance(50);
    QCOMPARE(r.CurrentFrame, qint16(2));
    QCOMPARE(w->slider()->value(), 2);
    QCOMPARE(w->plotImage().pixelColor(plot.width() / 2, int(v * 80 + 25)), QColor(255, 255, 0));
    // Opening the same item again starts from frame 1.
    ui_.answerFile(path);
    button(w, "cmdRun")->click();
    QCOMPARE(r.CurrentFrame, qint16(1));
    QCOMPARE(w->slider()->value(), 1);
}

void TestFrmRecordPlay::failedOpenChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("text");
    const QByteArray good = recordFile(basicHeader(2), rawFrames(2, [](int, int) { return 80; }));
    QByteArray magic = good;
    magic[0] = 'X';
    QTest::newRow("wrong magic") << magic << 1 << QStringLiteral("The file format is error!");
    QTest::newRow("wrong magic, Chinese") << magic << 0 << QStringLiteral("文件格式错误！");
    QTest::newRow("cut short") << good.left(good.size() / 2) << 1 << QStringLiteral("File utility fail!");
    RecordFileHeader off = basicHeader(2);
    off.Source = 1;
    off.CH2On = 0;
    QTest::newRow("channel off") << recordFile(off, rawFrames(2, [](int, int) { return 80; })) << 1
                                 << QStringLiteral("The channel's data is invalid!");
}

void TestFrmRecordPlay::failedOpenChangesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(int, lang);
    QFETCH(QString, text);
    frmRecordPlay *w = openWindow();
    // An earlier file is open and paused on frame 3.
    ui_.answerFile(goodFile(4));
    button(w, "cmdRun")->click();
    w->playButton(ReplayButton::Pause)->click();
    w->slider()->setValue(3);
    app().Sheet.Modified = false;
    app().texts.LanguageIndex = lang;
    LoadMessageTable(lang);
    const ReplayInfo before = app().Sheet.Replays[0];
    const QString title = w->windowTitle();

    ui_.answerFile(writeRecord(QStringLiteral("bad.rcd"), file));
    button(w, "cmdRun")->click();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, text);
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::None);
    QCOMPARE(ui_.messages()[0].buttons, MsgButtons::Ok);
    QVERIFY(app().Sheet.Replays[0] == before);
    QCOMPARE(w->windowTitle(), title);
    QVERIFY(!app().Sheet.Modified);
    QCOMPARE(w->slider()->value(), 3);
}

void TestFrmRecordPlay::cancelledOpenChangesNothing()
{
    frmRecordPlay *w = openWindow();
    const ReplayInfo before = app().Sheet.Replays[0];
    ui_.cancelFile();
    button(w, "cmdRun")->click();
    ui_.answerFile(dir_->filePath(QStringLiteral("missing.rcd"))); // unreadable: ends quietly
    button(w, "cmdRun")->click();
    QVERIFY(ui_.messages().isEmpty());
    QVERIFY(app().Sheet.Replays[0] == before);
    QVERIFY(!app().Sheet.Modified);
}

void TestFrmRecordPlay::buttonsAndSlider()
{
    frmRecordPlay *w = openWindow();
    ui_.answerFile(goodFile(5));
    button(w, "cmdRun")->click();
    const ReplayInfo &r = app().Sheet.Replays[0];
    // The user drags the slider: the frame follows.
    w->slider()->setValue(4);
    QCOMPARE(r.CurrentFrame, qint16(4));
    // A press on the track pauses the replay, the release goes on from the
    // frame the slider shows.
    w->slider()->setValue(1);
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    bool pausedWhilePressed = false;
    const auto watch = connect(w->slider(), &QSlider::valueChanged, w,
                               [&] { pausedWhilePressed = r.Status == ReplayInfo::Paused; });
    const QPoint track(w->slider()->width() - 3, w->slider()->height() / 2);
    QTest::mousePress(w->slider(), Qt::LeftButton, {}, track);
    QVERIFY(pausedWhilePressed);
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QVERIFY(w->slider()->value() > 1);
    QTest::mouseRelease(w->slider(), Qt::LeftButton, {}, track);
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    QCOMPARE(int(r.CurrentFrame), w->slider()->value());
    disconnect(watch);
    w->slider()->setValue(4);
    QCOMPARE(r.CurrentFrame, qint16(4));
    w->playButton(ReplayButton::Pause)->click();
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QVERIFY(button(w, "AresBtnAdd")->isEnabled());
    w->playButton(ReplayButton::Next)->click();
    QCOMPARE(r.CurrentFrame, qint16(5));
    QCOMPARE(w->slider()->value(), 5);
    w->playButton(ReplayButton::First)->click();
    QCOMPARE(r.CurrentFrame, qint16(1));
    w->playButton(ReplayButton::Loop)->click();
    QVERIFY(!r.LoopReplay);
    QCOMPARE(w->playButton(7)->property("imageNormal").toInt(), ReplayImage::LoopFlat);
    // Interval buttons: a press steps, holding repeats on the clock, the
    // default button goes back to 50 ms.
    QTest::mousePress(button(w, "AresBtnAdd"), Qt::LeftButton);
    QCOMPARE(w->intervalLabel()->text(), QStringLiteral("51.00ms"));
    clock_.advance(700);
    QTest::mouseRelease(button(w, "AresBtnAdd"), Qt::LeftButton);
    QCOMPARE(w->intervalLabel()->text(), QStringLiteral("55.00ms"));
    button(w, "AresBtnDefaultTime")->click();
    QCOMPARE(r.Interval, 0.05);
    w->playButton(ReplayButton::Replay)->click();
    QVERIFY(!button(w, "AresBtnAdd")->isEnabled());
    clock_.advance(50 * 4);
    QCOMPARE(r.CurrentFrame, qint16(5));
    QCOMPARE(r.Status, ReplayInfo::Paused); // single pass ended
    QCOMPARE(r.StatusText, QStringLiteral("Pause"));
}

// A single replay (loop off) ends paused on its last frame, a record of one
// frame as well as a longer one: the clock stops and the strip shows the
// pause with the counter n/n.
void TestFrmRecordPlay::singlePassEndsOnItsLastFrame_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("word");
    for (int frames : {1, 3}) {
        QTest::addRow("English, %d frames", frames) << 1 << frames << QStringLiteral("Pause");
        QTest::addRow("Chinese, %d frames", frames) << 0 << frames << QStringLiteral("暂停");
    }
}

void TestFrmRecordPlay::singlePassEndsOnItsLastFrame()
{
    QFETCH(int, lang);
    QFETCH(int, frames);
    QFETCH(QString, word);
    app().texts.LanguageIndex = lang;
    LoadMessageTable(lang);
    frmRecordPlay *w = openWindow();
    w->playButton(ReplayButton::Loop)->click(); // single replay
    const ReplayInfo &r = app().Sheet.Replays[0];
    QVERIFY(!r.LoopReplay);
    ui_.answerFile(goodFile(frames));
    button(w, "cmdRun")->click();
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    clock_.advance(50 * frames + 10);
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QCOMPARE(int(r.CurrentFrame), frames);
    QCOMPARE(r.StatusText, word);
    QVERIFY(w->playButton(ReplayButton::Replay)->isEnabled());
    QVERIFY(!w->playButton(ReplayButton::Pause)->isEnabled());
    QImage expected(w->stripImage().size(), w->stripImage().format());
    drawStatusStrip(expected, word, true, frames, frames);
    QCOMPARE(w->stripImage(), expected);
    // The clock has stopped: nothing moves any more.
    clock_.advance(500);
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QCOMPARE(w->stripImage(), expected);
    // Replay starts the pass again from frame 1.
    w->playButton(ReplayButton::Replay)->click();
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    QCOMPARE(r.CurrentFrame, qint16(1));
}

void TestFrmRecordPlay::framesKeepTheButtonPictures()
{
    // A frame redraws the plot and the status strip; the replay buttons keep
    // the icons they show. A new icon per frame leaves a scaled copy of its
    // pictures in the toolkit's pixmap cache, frame after frame.
    frmRecordPlay *w = openWindow();
    ReplayInfo &r = app().Sheet.Replays[0];
    r.LoopReplay = true;
    ui_.answerFile(goodFile(6));
    button(w, "cmdRun")->click();
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    auto iconKeys = [w] {
        QList<qint64> keys;
        for (int i = 0; i < ReplayButton::Count; ++i)
            keys << w->playButton(i)->icon().cacheKey();
        return keys;
    };
    // The picture a button shows in a mode, as the button's paint asks for it.
    auto shown = [w](int button, QIcon::Mode mode) {
        return w->playButton(button)->icon().pixmap(QSize(25, 23), mode).cacheKey();
    };
    const QList<qint64> replaying = iconKeys();
    const qint64 latched = shown(ReplayButton::Replay, QIcon::Disabled);
    const qint64 pause = shown(ReplayButton::Pause, QIcon::Normal);
    clock_.advance(50 * 20); // 20 frames, round the loop and back
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    QVERIFY(r.CurrentFrame >= 1 && r.CurrentFrame <= 6);
    QCOMPARE(iconKeys(), replaying);
    // Pause and go on: the buttons that changed show new icons, and the
    // pictures they go back to are the ones they showed before.
    w->playButton(ReplayButton::Pause)->click();
    QVERIFY(iconKeys() != replaying);
    w->playButton(ReplayButton::Replay)->click();
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    QCOMPARE(shown(ReplayButton::Replay, QIcon::Disabled), latched);
    QCOMPARE(shown(ReplayButton::Pause, QIcon::Normal), pause);
}

void TestFrmRecordPlay::captionsInBothLanguages()
{
    frmRecordPlay *w0 = openWindow(0);
    frmRecordPlay *w1 = openWindow(1);
    QCOMPARE(w0->playButton(6)->toolTip(), QStringLiteral("The last frame"));
    QCOMPARE(w0->playButton(5)->toolTip(), QStringLiteral("Then next frame"));
    QCOMPARE(button(w0, "cmdRun")->toolTip(), QStringLiteral("Open record file"));
    QCOMPARE(button(w0, "AresBtnDefaultTime")->toolTip(), QStringLiteral("Default Time Interval Setting"));
    ui_.answerFile(goodFile(200));
    button(w1, "cmdRun")->click();
    w1->slider()->setValue(12);
    w1->playButton(ReplayButton::Pause)->click();

    // The language switch runs the loader the windows installed.
    const auto loader = languageLoader(LanguageLoader::LoadAllReplayWindowTexts);
    QVERIFY(loader);
    loader(0);
    QCOMPARE(app().Sheet.Replays[0].StatusText, QStringLiteral("请打开波形录制文件。"));
    QCOMPARE(app().Sheet.Replays[1].StatusText, QStringLiteral("暂停"));
    QCOMPARE(w0->playButton(0)->toolTip(), QStringLiteral("开始回放"));
    QCOMPARE(w1->playButton(6)->toolTip(), QStringLiteral("前一帧"));
    QCOMPARE(button(w1, "FlatBttn5")->toolTip(), QStringLiteral("单色显示"));
    // The paused window draws the counter, the prompt window none.
    auto greens = [](const QImage &img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = img.width() - 80; x < img.width(); ++x)
                n += img.pixelColor(x, y) == QColor(0, 255, 0);
        return n;
    };
    QVERIFY(greens(w1->stripImage()) > 0);
    QCOMPARE(greens(w0->stripImage()), 0);
    loader(1);
    QCOMPARE(app().Sheet.Replays[0].StatusText, QStringLiteral("Please open the waveform record file."));
    QCOMPARE(app().Sheet.Replays[1].StatusText, QStringLiteral("Pause"));
    // The same language again leaves the words; another language does nothing.
    loader(1);
    QCOMPARE(app().Sheet.Replays[1].StatusText, QStringLiteral("Pause"));
    loader(5);
    QCOMPARE(w0->playButton(0)->toolTip(), QStringLiteral("Replay"));
    // One window's loader leaves the status word alone.
    LoadReplayWindowTexts(1, 0);
    QCOMPARE(app().Sheet.Replays[1].StatusText, QStringLiteral("Pause"));
    QCOMPARE(w1->playButton(1)->toolTip(), QStringLiteral("暂停"));
    // A closed window keeps its word.
    CloseReplayWindow(0);
    loader(0);
    QCOMPARE(app().Sheet.Replays[0].StatusText, QStringLiteral("Please open the waveform record file."));
    QCOMPARE(translateReplayStatusText(QStringLiteral("Other"), 0), QStringLiteral("Other"));
}

// Every tool tip of the window in both languages, set by the one-window
// loader and by the language switch's loader.
void TestFrmRecordPlay::everyToolTip_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("switched");
    QTest::newRow("english, one window") << 1 << false;
    QTest::newRow("english, language switch") << 1 << true;
    QTest::newRow("chinese, one window") << 0 << false;
    QTest::newRow("chinese, language switch") << 0 << true;
}

void TestFrmRecordPlay::everyToolTip()
{
    QFETCH(int, lang);
    QFETCH(bool, switched);
    struct Tip {
        const char *control; // a button's name, or "" for the replay button
        int play;
        const char *english;
        const char *chinese;
    };
    const Tip tips[] = {
        {"cmdRun", -1, "Open record file", "打开波形录制文件"},
        {"FlatBttn4", -1, "Color", "彩色显示"},
        {"FlatBttn5", -1, "Mono Color", "单色显示"},
        {"FlatBttn1", -1, "Save to bitmap file", "保存为位图文件"},
        {"FlatBttn2", -1, "Print", "打印"},
        {"FlatBttn3", -1, "Print Preview", "打印预览"},
        {"", 0, "Replay", "开始回放"},
        {"", 1, "Pause", "暂停"},
        {"", 2, "Stop", "停止"},
        {"", 3, "Go to start", "指向第一帧"},
        {"", 4, "Go to end", "指向最后一帧"},
        {"", 6, "The last frame", "前一帧"},
        {"", 5, "Then next frame", "后一帧"},
        {"", 7, "Circulation and single replay", "循环或单次回放"},
        {"AresBtnDefaultTime", -1, "Default Time Interval Setting", "设置缺省时间间隔"},
    };
    app().texts.LanguageIndex = 1 - lang;
    frmRecordPlay *w = openWindow(0);
    if (switched)
        languageLoader(LanguageLoader::LoadAllReplayWindowTexts)(lang);
    else
        LoadReplayWindowTexts(0, lang);
    for (const Tip &t : tips) {
        QToolButton *b = t.play >= 0 ? w->playButton(t.play) : button(w, t.control);
        QVERIFY2(b, t.control);
        QCOMPARE(b->toolTip(), QString::fromUtf8(lang == 1 ? t.english : t.chinese));
    }
    // The tool bar's captions follow the language as their tool tips do.
    const Tip captions[] = {
        {"cmdRun", -1, "Open", "打开"},     {"FlatBttn1", -1, "BMP", "位图"},
        {"FlatBttn2", -1, "Print", "打印"}, {"FlatBttn3", -1, "Preview", "预览"},
        {"FlatBttn4", -1, "Color", "彩色"}, {"FlatBttn5", -1, "Mono", "单色"},
    };
    for (const Tip &t : captions)
        QCOMPARE(button(w, t.control)->text(), QString::fromUtf8(lang == 1 ? t.english : t.chinese));
}

void TestFrmRecordPlay::colourButtons()
{
    frmRecordPlay *w = openWindow();
    button(w, "FlatBttn4")->click(); // already colour: nothing
    QVERIFY(!app().Sheet.Modified);
    button(w, "FlatBttn5")->click();
    QVERIFY(!app().Sheet.Replays[0].ColorMode);
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(w->plotImage().pixelColor(5, 5), QColor(255, 255, 255));
    QCOMPARE(w->plotImage().pixelColor(100, 26), QColor(0, 0, 0));
    app().Sheet.Modified = false;
    button(w, "FlatBttn5")->click();
    QVERIFY(!app().Sheet.Modified);
    button(w, "FlatBttn4")->click();
    QVERIFY(app().Sheet.Replays[0].ColorMode);
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(w->plotImage().pixelColor(5, 5), QColor(0, 0, 0));
}

void TestFrmRecordPlay::bitmapExport()
{
    frmRecordPlay *w = openWindow();
    // Before a file: the grid and banner as on screen.
    const QString empty = dir_->filePath(QStringLiteral("empty.bmp"));
    ui_.answerFile(empty);
    button(w, "FlatBttn1")->click();
    QCOMPARE(ui_.fileDialogs().last().request.title, QStringLiteral("Export File"));
    QCOMPARE(ui_.fileDialogs().last().request.filter, QStringLiteral("BitMap Files (*.bmp)"));
    QVERIFY(ui_.fileDialogs().last().request.defaultSuffix.isEmpty());
    QImage back(empty);
    QVERIFY(!back.isNull());
    QCOMPARE(back.size(), w->plotImage().size());
    QCOMPARE(back.pixelColor(100, 26), QColor(192, 192, 192));

    ui_.answerFile(goodFile(3));
    button(w, "cmdRun")->click();
    // A name typed without a suffix gets the filter's.
    const QString typed = dir_->filePath(QStringLiteral("frame"));
    const QString path = typed + QStringLiteral(".bmp");
    ui_.answerFile(typed);
    button(w, "FlatBttn1")->click();
    QCOMPARE(app().Sheet.Replays[0].Status, ReplayInfo::Paused);
    QVERIFY(!QFile::exists(typed));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(2), QByteArray("BM"));
    f.close();
    QImage img(path, "BMP");
    QCOMPARE(img.size(), w->plotImage().size());
    for (int y = 0; y < img.height(); y += 7)
        for (int x = 0; x < img.width(); x += 5)
            QCOMPARE(img.pixelColor(x, y), w->plotImage().pixelColor(x, y));
    QVERIFY(ui_.messages().isEmpty());
    // In Chinese the same, through the Chinese filter; a suffix typed stays.
    app().texts.LanguageIndex = 0;
    ui_.answerFile(dir_->filePath(QStringLiteral("帧")));
    button(w, "FlatBttn1")->click();
    QCOMPARE(ui_.fileDialogs().last().request.filter, QStringLiteral("位图文件 (*.bmp)"));
    QVERIFY(QImage(dir_->filePath(QStringLiteral("帧.bmp")), "BMP").size() == img.size());
    ui_.answerFile(dir_->filePath(QStringLiteral("frame.img")));
    button(w, "FlatBttn1")->click();
    QVERIFY(QImage(dir_->filePath(QStringLiteral("frame.img")), "BMP").size() == img.size());
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("frame.img.bmp"))));
    QVERIFY(ui_.messages().isEmpty());
    // A cancelled dialog writes nothing.
    ui_.cancelFile();
    button(w, "FlatBttn1")->click();
    QVERIFY(ui_.messages().isEmpty());
}

void TestFrmRecordPlay::bitmapExportFailure()
{
    frmRecordPlay *w = openWindow();
    const QString path = dir_->filePath(QStringLiteral("no/such/folder/x.bmp"));
    ui_.answerFile(path);
    button(w, "FlatBttn1")->click();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::Critical);
    QVERIFY(!ui_.messages()[0].text.isEmpty());
    QVERIFY(!QFile::exists(path));
}

void TestFrmRecordPlay::printAndPreview()
{
    frmRecordPlay *w = openWindow();
    // Nothing before the first start.
    button(w, "FlatBttn2")->click();
    button(w, "FlatBttn3")->click();
    QVERIFY(printer_->runs.isEmpty());
    QVERIFY(ui_.messages().isEmpty());

    ui_.answerFile(goodFile(3));
    button(w, "cmdRun")->click();
    const QSize onScreen = w->plotImage().size();
    QFile::remove(printPicturePath());
    button(w, "FlatBttn2")->click();
    QCOMPARE(app().Sheet.Replays[0].Status, ReplayInfo::Paused);
    QCOMPARE(printer_->runs.size(), 1);
    const RecordingPrinter::Run &print = printer_->runs[0];
    QCOMPARE(print.kind, PrintJobKind::Replay);
    QVERIFY(!print.preview);
    QCOMPARE(print.image.size(), QSize(700, 500));
    QCOMPARE(print.layout, printPageLayout());
    QCOMPARE(print.title, w->windowTitle());
    QCOMPARE(print.image.pixelColor(300, 115), QColor(255, 255, 0)); // frame 1: row 40 at 2.25 px per level
    QCOMPARE(w->plotImage().size(), onScreen);
    QVERIFY(printer_->holds(PrintJobKind::Replay));
    // The print picture file holds the printed picture.
    QCOMPARE(QImage(printPicturePath(), "BMP").convertToFormat(QImage::Format_RGB32),
             print.image.convertToFormat(QImage::Format_RGB32));

    // Another window kind's document is released by the preview.
    printer_->held[int(PrintJobKind::StoredWave)] = true;
    button(w, "FlatBttn3")->click();
    QCOMPARE(printer_->runs.size(), 2);
    QVERIFY(printer_->runs[1].preview);
    QCOMPARE(printer_->runs[1].layout, printPageLayout());
    QVERIFY(!printer_->holds(PrintJobKind::StoredWave));
    QVERIFY(printer_->holds(PrintJobKind::Replay));
    QVERIFY(ui_.messages().isEmpty());
}

void TestFrmRecordPlay::printFailureIsReported()
{
    frmRecordPlay *w = openWindow();
    ui_.answerFile(goodFile(2));
    button(w, "cmdRun")->click();
    printer_->failWith = QStringLiteral("No printer is available.");
    button(w, "FlatBttn3")->click(); // preview reports nothing
    QVERIFY(ui_.messages().isEmpty());
    button(w, "FlatBttn2")->click();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, QStringLiteral("No printer is available."));
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::None);
}

// "$Print.bmp" cannot be written (a folder stands in its place): the critical
// message, the picture printed all the same, and at the end of a print the
// failure once more without an icon; a preview adds nothing.
void TestFrmRecordPlay::printPictureFileFailure_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QList<int>>("icons");
    QTest::newRow("print") << false << QList<int>{int(MsgIcon::Critical), int(MsgIcon::None)};
    QTest::newRow("preview") << true << QList<int>{int(MsgIcon::Critical)};
}

void TestFrmRecordPlay::printPictureFileFailure()
{
    QFETCH(bool, preview);
    QFETCH(QList<int>, icons);
    frmRecordPlay *w = openWindow();
    ui_.answerFile(goodFile(2));
    button(w, "cmdRun")->click();
    QFile::remove(printPicturePath());
    QVERIFY(QDir().mkpath(printPicturePath()));
    button(w, preview ? "FlatBttn3" : "FlatBttn2")->click();
    QDir(printPicturePath()).removeRecursively();
    QCOMPARE(printer_->runs.size(), 1);
    QList<int> shown;
    for (const auto &m : ui_.messages()) {
        shown << int(m.icon);
        QCOMPARE(m.text, ui_.messages()[0].text);
    }
    QCOMPARE(shown, icons);
}

void TestFrmRecordPlay::closeLeavesTheReplayPaused()
{
    frmRecordPlay *w = openWindow();
    ui_.answerFile(goodFile(4));
    button(w, "cmdRun")->click();
    button(w, "FlatBttn3")->click();
    w->playButton(ReplayButton::Replay)->click();
    QVERIFY(printer_->holds(PrintJobKind::Replay));
    QPointer<frmRecordPlay> guard(w);
    CloseReplayWindow(0);
    const ReplayInfo &r = app().Sheet.Replays[0];
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QVERIFY(!r.WindowOpen);
    QVERIFY(!ReplayWindow(0));
    QVERIFY(!printer_->holds(PrintJobKind::Replay));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
    const qint16 frame = r.CurrentFrame;
    clock_.advance(1000);
    QCOMPARE(r.CurrentFrame, frame);
    QVERIFY(r.FileLoaded); // the record stays

    // Closing by the frame does the same.
    frmRecordPlay *again = openWindow();
    again->playButton(ReplayButton::Replay)->click();
    QCOMPARE(r.Status, ReplayInfo::Replaying);
    again->close();
    QCOMPARE(r.Status, ReplayInfo::Paused);
    QVERIFY(!r.WindowOpen);
}

void TestFrmRecordPlay::restoredPausedWindow()
{
    ReplayInfo &r = app().Sheet.Replays[0];
    r.FileLoaded = r.ReplayStarted = true;
    r.Channel = QStringLiteral("CH2");
    r.Status = ReplayInfo::Paused;
    r.FirstFrame = 1;
    r.FrameCount = 1953;
    r.CurrentFrame = 1500;
    r.Samples = QList<qint16>(1953 * 1024 + 1, 100);
    frmRecordPlay *w = openWindow();
    QCOMPARE(w->slider()->minimum(), 1);
    QCOMPARE(w->slider()->maximum(), 1953);
    QCOMPARE(w->slider()->value(), 1500);
    QCOMPARE(r.CurrentFrame, qint16(1500));
    QVERIFY(w->slider()->isEnabled());
    QVERIFY(!w->playButton(ReplayButton::Pause)->isEnabled());
    QCOMPARE(w->playButton(ReplayButton::Pause)->property("imageDisabled").toInt(), ReplayImage::PauseLatched);
    QVERIFY(w->playButton(ReplayButton::Replay)->isEnabled());
    QVERIFY(button(w, "AresBtnAdd")->isEnabled());
    QCOMPARE(r.StatusText, QStringLiteral("Pause"));
    const QImage plot = w->plotImage();
    QCOMPARE(plot.pixelColor(plot.width() / 2 + 40, 25 + (plot.height() - 50) / 2), QColor(0, 255, 255));
    QVERIFY(!app().Sheet.Modified);
}

void TestFrmRecordPlay::movedToAnotherSlot()
{
    openWindow(0);
    frmRecordPlay *w1 = openWindow(1);
    ui_.answerFile(goodFile(3));
    button(w1, "cmdRun")->click();
    // The data sheet removes item 0: the records move down, then the window.
    CloseReplayWindow(0);
    DataSheet &s = app().Sheet;
    s.Replays[0] = s.Replays[1];
    s.Replays[1].reset();
    s.ReplayCount = 1;
    MoveReplayWindow(1, 0);
    QCOMPARE(ReplayWindow(0), w1);
    QVERIFY(!ReplayWindow(1));
    QCOMPARE(w1->slot(), 0);
    QVERIFY(w1->initPending());
    QCOMPARE(w1->windowTitle(), QStringLiteral("Record1  (") + s.Replays[0].FilePath + QLatin1Char(')'));
    clock_.advance(1);
    QVERIFY(!w1->initPending());
    QVERIFY(s.Replays[0].WindowOpen);
    // The frame clock kept running and works on the new slot.
    const qint16 before = s.Replays[0].CurrentFrame;
    clock_.advance(50);
    QCOMPARE(s.Replays[0].CurrentFrame, qint16(before % 3 + 1));
    QCOMPARE(s.Replays[1].CurrentFrame, qint16(0));
}

void TestFrmRecordPlay::pauseBeforeSave()
{
    frmRecordPlay *w = openWindow();
    ui_.answerFile(goodFile(3));
    button(w, "cmdRun")->click();
    PauseReplayForSave(0);
    QCOMPARE(app().Sheet.Replays[0].Status, ReplayInfo::Paused);
    QVERIFY(!w->playButton(ReplayButton::Pause)->isEnabled());
    // A record without a window is stored paused too.
    ReplayInfo &other = app().Sheet.Replays[1];
    other.ReplayStarted = true;
    other.Status = ReplayInfo::Replaying;
    PauseReplayForSave(1);
    QCOMPARE(other.Status, ReplayInfo::Paused);
    PauseReplayForSave(9); // out of range: nothing
    QVERIFY(!ShowReplayWindow(5));
}

void TestFrmRecordPlay::keepsItsMinimumHeight()
{
    frmRecordPlay *w = openWindow();
    w->resize(600, 100);
    QVERIFY(w->height() >= 240);
    w->resize(800, 600);
    QCOMPARE(w->plotImage().width(), 800 - 11);
}

void TestFrmRecordPlay::livesInTheMainWindowsItemArea()
{
    auto main = std::make_unique<frmMain>();
    app().shell.MainForm = main.get();
    frmRecordPlay *w = openWindow(0);
    auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
    QVERIFY(sub);
    QVERIFY(main->mdiArea()->subWindowList().contains(sub));
    QCOMPARE(sub->windowTitle(), QStringLiteral("Record0"));
    ui_.answerFile(goodFile(3));
    button(w, "cmdRun")->click();
    // Closed by its frame: the replay pauses and the window goes.
    QPointer<frmRecordPlay> guard(w);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(app().Sheet.Replays[0].Status, ReplayInfo::Paused);
    QVERIFY(!app().Sheet.Replays[0].WindowOpen);
    QVERIFY(guard.isNull());
    QVERIFY(!ReplayWindow(0));
    // Shown again: a new window on the same record, paused where it was.
    frmRecordPlay *again = openWindow(0);
    QVERIFY(again);
    QCOMPARE(again->slider()->maximum(), 3);
    QVERIFY(!again->playButton(ReplayButton::Pause)->isEnabled());
    CloseReplayWindow(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(main->mdiArea()->subWindowList().isEmpty());
    app().shell.MainForm = nullptr;
}

QTEST_MAIN(TestFrmRecordPlay)
#include "tst_frmrecordplay.moc"
