// The viewer window offscreen against generated waveform files: start-up,
// opening, refused and cancelled files, zoom, scale stepping with its repeat,
// Reset, grid and colour, scrolling, the info panel, cursors and the mouse,
// CSV and bitmap export, print and preview, captions and the data sheet's
// calls.

#include "storedwave/wavemaker.h"
#include "support/filesizelimit.h"
#include "support/fitcheck.h"
#include "support/nativeinput.h"
#include "support/scaleink.h"
#include "support/zoomtyping.h"

#include "app/appstate.h"
#include "common/constants.h"
#include "platform/print/pictureoutput.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/pump.h"
#include "platform/ui/scriptedui.h"
#include "storedwave/csvexport.h"
#include "storedwave/frmopenwaveform.h"
#include "storedwave/scalestep.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedwavecaptions.h"
#include "storedwave/wavefile.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "transfer/frmprgresssave.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QProgressBar>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// A dialog seam whose open dialog runs a check while it is "open".
class PeekingUi final : public Ui {
public:
    std::function<void()> whileOpen;
    QString path;
    MsgAnswer message(MsgIcon, const QString &, const QString &, MsgButtons) override { return MsgAnswer::Ok; }
    FileDialogResult openFile(const FileDialogRequest &) override
    {
        if (whileOpen)
            whileOpen();
        return {true, path, {}};
    }
    FileDialogResult saveFile(const FileDialogRequest &) override { return {}; }
    InputResult input(const QString &, const QString &, const QString &) override { return {}; }
};

// A mouse move delivered to the widget itself (QTest moves the system
// pointer, which an offscreen window need not see).
// Records the moves and resizes of the widgets it watches.
class GeometryWatch final : public QObject {
public:
    explicit GeometryWatch(std::initializer_list<QWidget *> widgets)
    {
        for (QWidget *w : widgets)
            w->installEventFilter(this);
    }
    QStringList events;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        // A change only: a widget shown gets the events it had pending with
        // its place unchanged.
        if (e->type() == QEvent::Move) {
            const auto *m = static_cast<QMoveEvent *>(e);
            if (m->pos() != m->oldPos())
                events << QStringLiteral("%1 moved to x %2").arg(o->objectName()).arg(m->pos().x());
        } else if (e->type() == QEvent::Resize) {
            const auto *r = static_cast<QResizeEvent *>(e);
            if (r->size() != r->oldSize())
                events << QStringLiteral("%1 resized to width %2").arg(o->objectName()).arg(r->size().width());
        }
        return false;
    }
};

void moveMouse(QWidget *w, QPoint pos, Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

int countColour(const QImage &img, const QColor &c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

} // namespace

class TestFrmOpenWaveform : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newItemWindow();
    void openShowsTheCapture();
    void refusedFileChangesNothing();
    void cutFileIsRefused_data();
    void cutFileIsRefused();
    void cancelledOpenChangesNothing();
    void fileWithoutBlocksIsRefused_data();
    void fileWithoutBlocksIsRefused();
    void openingNeverMarksTheSheet();
    void zoomText_data();
    void zoomText();
    void scaleTextsNeverRunTogether_data();
    void scaleTextsNeverRunTogether();
    void slowTypingAppliesTheTypedFactor_data();
    void slowTypingAppliesTheTypedFactor();
    void zoomEditsAndChoices_data();
    void zoomEditsAndChoices();
    void voltsPerDivStepping();
    void holdingRepeatsEvery200ms();
    void anyButtonHoldsWhereverThePointerGoes();
    void endOfTheSequenceStillMarksTheSheet();
    void timeDivStepping();
    void alternateTriggerPanel();
    void resetRestoresTheSnapshot();
    void gridAndColour();
    void scrollBars();
    void captionsInBothLanguages();
    void movedToAnotherSlot();
    void busyWhileLoading();

    void infoPanel_data();
    void infoPanel();
    void reopeningLeavesThePanelInPlace_data();
    void reopeningLeavesThePanelInPlace();
    void cursorCheckBoxes();
    void loadSwitchingTheSplitMovesTheCursors();
    void layoutMovesOnlyItsOwnCursors();
    void mouseDragsACursor();
    void lostReleaseEndsTheDrag();
    void cursorsKeepTheirDivisions_data();
    void cursorsKeepTheirDivisions();
    void mouseDragsTraces();
    void mouseDragsADigitalChannel();
    void logicRowsReachTheEndOfALongRecord();
    void csvExport();
    void csvExportAgreesWithThePicture();
    void csvTimesTellEverySampleApart();
    void csvExportRefusals();
    void csvExportFailure();
    void csvExportBlocksLoadsAndExports();
    void csvExportOfAnotherViewerMeanwhile();
    void bitmapExport();
    void exportNames_data();
    void exportNames();
    void printAndPreview();
    void printFailures();

private:
    frmOpenWaveform *openWindow(int slot = 0);
    QString writeWave(const QString &name, const WaveSpec &spec);
    QString goodFile();

    VirtualClock clock_;
    ScriptedUi ui_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<RecordingPrinter> printer_;
};

void TestFrmOpenWaveform::init()
{
    resetApp();
    QStandardPaths::setTestModeEnabled(true);
    setAppClock(&clock_);
    ui_.clear();
    setUi(&ui_);
    printer_ = std::make_unique<RecordingPrinter>();
    setPicturePrinter(printer_.get());
    dir_ = std::make_unique<QTemporaryDir>();
    app().texts.LanguageIndex = 1;
    LoadMessageTable(1);
    DataSheet &s = app().Sheet;
    s.StoredWaveCount = 2;
    for (int i = 0; i < 2; ++i) {
        s.StoredWaves[size_t(i)].setNewItemDefaults();
        s.StoredWaves[size_t(i)].Name = QStringLiteral("Memory Wave%1").arg(i);
    }
}

void TestFrmOpenWaveform::cleanup()
{
    for (int i = 0; i < DataSheet::StoredWaveSlots; ++i)
        CloseStoredWaveWindow(i);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setUi(nullptr);
    setPicturePrinter(nullptr);
    setPump({});
    setAppClock(nullptr);
}

frmOpenWaveform *TestFrmOpenWaveform::openWindow(int slot)
{
    frmOpenWaveform *w = ShowStoredWaveWindow(slot);
    clock_.advance(1);
    return w;
}

QString TestFrmOpenWaveform::writeWave(const QString &name, const WaveSpec &spec)
{
    const QString path = dir_->filePath(name);
    return writeWaveFile(path, waveFile(spec)) ? path : QString();
}

// CH1 at 1 V/div, a ramp over 600 points at 1 MS/s, 50 us/div: the full width.
QString TestFrmOpenWaveform::goodFile()
{
    WaveSpec s;
    s.timeDivPs = 50000000;
    s.acqTimeDivPs = 50000000;
    s.ch1 = levels(600, [](qint64 i) { return int(75 + (i / 60) * 10); });
    return writeWave(QStringLiteral("good.wfm"), s);
}

void TestFrmOpenWaveform::newItemWindow()
{
    frmOpenWaveform *w = ShowStoredWaveWindow(0);
    QVERIFY(w->initPending());
    QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("200%"));
    QCOMPARE(w->zoomFactor(), 2.0);
    QVERIFY(w->picture().isNull()); // nothing drawn before the first tick
    clock_.advance(1);
    QVERIFY(!w->initPending());
    const StoredWave &r = app().Sheet.StoredWaves[0];
    QVERIFY(r.SlotUsed);
    QVERIFY(w->ZoomCombo->isEnabled());
    QVERIFY(w->GridCheck->isChecked());
    QVERIFY(w->OptionColor[0]->isChecked());
    QCOMPARE(w->picture().size(), QSize(700, 500));
    QCOMPARE(w->picture().pixelColor(0, 0), QColor(0, 0, 0));
    QVERIFY(w->txtCH1Div->isHidden());
    QVERIFY(w->txtTimeDiv->isHidden());
    QVERIFY(w->framAltTimeDiv->isHidden());
    QVERIFY(w->picRefreshProgress->isHidden());
    QVERIFY(!app().Sheet.Modified);
    QCOMPARE(w->windowTitle(), QStringLiteral("Memory Wave0"));
}

void TestFrmOpenWaveform::openShowsTheCapture()
{
    frmOpenWaveform *w = openWindow();
    const QString path = goodFile();
    ui_.answerFile(path);
    w->FlatBttn1->click();
    QCOMPARE(ui_.fileDialogs().size(), 1);
    QCOMPARE(ui_.fileDialogs()[0].request.title, QStringLiteral("Open Waveform Files"));
    QCOMPARE(ui_.fileDialogs()[0].request.filter, QStringLiteral("Waveform Files (*.wfm)"));
    const StoredWave &r = app().Sheet.StoredWaves[0];
    QVERIFY(r.HasData);
    QCOMPARE(r.FilePath, path);
    QCOMPARE(w->windowTitle(), QStringLiteral("Memory Wave0  (") + path + QLatin1Char(')'));
    QVERIFY(app().Sheet.Modified);
    QVERIFY(!w->txtCH1Div->isHidden());
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("1.00V"));
    QCOMPARE(w->txtTimeDiv->text(), QStringLiteral("50.00us"));
    QVERIFY(w->txtCH2Div->isHidden());
    // The screen data and the picture: the first tenth of the ramp at level
    // 75 is row 50, drawn at y = 25 + 2 * 50 at 200 %.
    QCOMPARE(r.Ch1Screen[0], qint16(50));
    QCOMPARE(w->picture().pixelColor(60, 125), CH1Color);
    QVERIFY(ui_.messages().isEmpty());
}

void TestFrmOpenWaveform::refusedFileChangesNothing()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    const StoredWave before = app().Sheet.StoredWaves[0];
    const QString caption = w->windowTitle();
    const QImage picture = w->picture();
    app().Sheet.Modified = false;

    WaveSpec bad;
    bad.points = -4;
    ui_.answerFile(writeWave(QStringLiteral("bad.wfm"), bad));
    w->OpenWaveformFile();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, QStringLiteral("The file format is error!"));
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::None);
    QCOMPARE(ui_.messages()[0].buttons, MsgButtons::Ok);
    QVERIFY(app().Sheet.StoredWaves[0] == before);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->picture(), picture);
    QVERIFY(!app().Sheet.Modified);

    // An unreadable file ends quietly.
    ui_.answerFile(dir_->filePath(QStringLiteral("missing.wfm")));
    w->OpenWaveformFile();
    QCOMPARE(ui_.messages().size(), 1);
    QVERIFY(app().Sheet.StoredWaves[0] == before);

    // Chinese texts.
    app().texts.LanguageIndex = 0;
    LoadMessageTable(0);
    ui_.answerFile(writeWave(QStringLiteral("bad.wfm"), bad));
    w->OpenWaveformFile();
    QCOMPARE(ui_.fileDialogs().last().request.title, QStringLiteral("打开波形文件"));
    QCOMPARE(ui_.messages().last().text, QStringLiteral("文件格式错误！"));
}

void TestFrmOpenWaveform::cutFileIsRefused_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    auto cut = [](const std::function<void(WaveSpec &)> &change) {
        WaveSpec s;
        s.ch1 = levels(600, [](qint64 i) { return int(i % 200); });
        change(s);
        QByteArray f = waveFile(s);
        f.chop(1); // the last byte of the last block is missing
        return f;
    };
    const QString english = QStringLiteral("The file format is error!");
    const QString chinese = QStringLiteral("文件格式错误！");
    QTest::newRow("CH1") << 1 << cut([](WaveSpec &) {}) << english;
    QTest::newRow("CH1, Chinese") << 0 << cut([](WaveSpec &) {}) << chinese;
    QTest::newRow("CH2") << 1 << cut([](WaveSpec &s) {
        s.ch2Present = 1;
        s.ch2 = levels(600, [](qint64) { return 100; });
    }) << english;
    QTest::newRow("digital words") << 1 << cut([](WaveSpec &s) {
        s.laPresent = 1;
        s.laShownMask = 1;
        s.la = laWords(600, [](qint64 i) { return quint16(i & 1); });
    }) << english;
    QTest::newRow("digital bytes") << 1 << cut([](WaveSpec &s) {
        s.points = 524289;
        s.ch1Present = 0;
        s.ch1.clear();
        s.laPresent = 1;
        s.la = levels(524289, [](qint64 i) { return int(i & 1); });
    }) << english;
    QTest::newRow("older layout") << 1 << cut([](WaveSpec &s) { s.older = true; }) << english;
    QTest::newRow("alternate, CH2's own count") << 1 << cut([](WaveSpec &s) {
        s.trigMode = 4;
        s.ch2Present = 1;
        s.ch2Points = 300;
        s.ch2SampleRate = 1e6f;
        s.ch2TimeDivPs = 50000000;
        s.ch2 = levels(300, [](qint64) { return 100; });
    }) << english;
}

void TestFrmOpenWaveform::cutFileIsRefused()
{
    // A file shorter than the blocks its header declares is refused as
    // malformed: the missing levels are not drawn as if measured, and the
    // window keeps the file it showed.
    QFETCH(int, language);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    app().texts.LanguageIndex = language;
    LoadMessageTable(language);
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    const StoredWave before = app().Sheet.StoredWaves[0];
    QVERIFY(before.HasData);
    const QString caption = w->windowTitle();
    const QImage picture = w->picture();
    app().Sheet.Modified = false;

    const QString path = dir_->filePath(QStringLiteral("cut.wfm"));
    QVERIFY(writeWaveFile(path, file));
    ui_.answerFile(path);
    w->OpenWaveformFile();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, message);
    QCOMPARE(ui_.messages()[0].buttons, MsgButtons::Ok);
    QVERIFY(app().Sheet.StoredWaves[0] == before);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->picture(), picture);
    QVERIFY(!app().Sheet.Modified);

    // The same file whole opens.
    file.append('\0');
    QVERIFY(writeWaveFile(path, file));
    ui_.answerFile(path);
    w->OpenWaveformFile();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(app().Sheet.StoredWaves[0].FilePath, path);
}

void TestFrmOpenWaveform::cancelledOpenChangesNothing()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    const StoredWave before = app().Sheet.StoredWaves[0];
    app().Sheet.Modified = false;
    ui_.cancelFile();
    w->OpenWaveformFile();
    // The item keeps its data: still drawn, still saved with the sheet.
    QVERIFY(app().Sheet.StoredWaves[0] == before);
    QVERIFY(app().Sheet.StoredWaves[0].HasData);
    QVERIFY(!app().Sheet.Modified);
    QVERIFY(ui_.messages().isEmpty());
}

void TestFrmOpenWaveform::fileWithoutBlocksIsRefused_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    auto none = [](const std::function<void(WaveSpec &)> &change) {
        WaveSpec s;
        s.ch1Present = 0;
        s.ch1.clear();
        change(s);
        return waveFile(s);
    };
    const QString english = QStringLiteral("The file format is error!");
    const QString chinese = QStringLiteral("文件格式错误！");
    QTest::newRow("no block") << 1 << none([](WaveSpec &) {}) << english;
    QTest::newRow("no block, Chinese") << 0 << none([](WaveSpec &) {}) << chinese;
    QTest::newRow("older layout") << 1 << none([](WaveSpec &s) { s.older = true; }) << english;
    QTest::newRow("present bytes 2, not 1") << 1 << none([](WaveSpec &s) {
        s.ch1Present = s.ch2Present = s.laPresent = 2;
        s.ch1 = levels(600, [](qint64) { return 100; });
    }) << english;
    // Under the alternate trigger the digital flag counts for nothing.
    QTest::newRow("alternate, digital flag only") << 0 << none([](WaveSpec &s) {
        s.trigMode = 4;
        s.laPresent = 1;
        s.la = laWords(600, [](qint64) { return quint16(1); });
    }) << chinese;
    QTest::newRow("negative N, no block") << 1 << none([](WaveSpec &s) { s.points = -600; }) << english;
}

void TestFrmOpenWaveform::fileWithoutBlocksIsRefused()
{
    // A file without a block opened over a good one is refused with the
    // message of any other refused file: the record, the caption, the
    // picture and the sheet's flag stay, and the export still has its rows.
    QFETCH(int, language);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    app().texts.LanguageIndex = language;
    LoadMessageTable(language);
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    const StoredWave before = app().Sheet.StoredWaves[0];
    QVERIFY(before.HasData);
    const QString caption = w->windowTitle();
    QVERIFY(caption != QStringLiteral("Memory Wave0"));
    const QImage picture = w->picture();
    app().Sheet.Modified = false;

    const QString path = dir_->filePath(QStringLiteral("none.wfm"));
    QVERIFY(writeWaveFile(path, file));
    ui_.answerFile(path);
    w->OpenWaveformFile();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, message);
    QCOMPARE(ui_.messages()[0].buttons, MsgButtons::Ok);
    QVERIFY(app().Sheet.StoredWaves[0] == before);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->picture(), picture);
    QVERIFY(!app().Sheet.Modified);
    CsvExportData csv;
    QCOMPARE(prepareCsvExport(app().Sheet.StoredWaves[0], &csv), CsvRefusal::None);
    QCOMPARE(csv.rows, 600);
}

void TestFrmOpenWaveform::openingNeverMarksTheSheet()
{
    StoredWave &r = app().Sheet.StoredWaves[1];
    WaveSpec spec;
    spec.ch1 = levels(600, [](qint64) { return 125; });
    QVERIFY(ParseWaveFile(waveFile(spec), QStringLiteral("/x.wfm"), r) == WaveFileError::None);
    r.GridShown = false;
    r.ColorMode = false;
    app().Sheet.Modified = false;
    frmOpenWaveform *w = openWindow(1);
    QVERIFY(!app().Sheet.Modified);
    QVERIFY(!w->GridCheck->isChecked());
    QVERIFY(w->OptionColor[1]->isChecked());
    QCOMPARE(w->picture().pixelColor(0, 0), QColor(255, 255, 255));
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("1.00V"));
}

// A typed factor is checked and applied when it is committed (Enter, or the
// focus leaving the box), with or without its "%"; typing alone does nothing.
void TestFrmOpenWaveform::zoomText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("commit");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    for (auto [how, commit] : {std::pair{"Enter", ZoomCommit::Enter}, std::pair{"focus", ZoomCommit::FocusLeaves}}) {
        const int c = int(commit);
        QTest::addRow("no percent sign, %s", how) << "150" << c << 1.5 << "150%" << false;
        QTest::addRow("blanks around, %s", how) << " 75 % " << c << 0.75 << "75%" << false;
        QTest::addRow("not a number, %s", how) << "abc%" << c << 2.0 << "200%" << true;
        QTest::addRow("letters, no percent sign, %s", how) << "1x" << c << 2.0 << "200%" << true;
        QTest::addRow("percent alone, %s", how) << "%" << c << 2.0 << "200%" << true;
        QTest::addRow("50%%, %s", how) << "50%" << c << 0.5 << "50%" << false;
        QTest::addRow("0%% is held at 1%%, %s", how) << "0%" << c << 0.01 << "1%" << false;
        QTest::addRow("-20%% is held at 1%%, %s", how) << "-20%" << c << 0.01 << "1%" << false;
        QTest::addRow("1000%% is accepted, %s", how) << "1000%" << c << 10.0 << "1000%" << false;
        QTest::addRow("beyond 1000%% is held there, %s", how) << "5000%" << c << 10.0 << "1000%" << false;
        QTest::addRow("huge, %s", how) << "1e300%" << c << 10.0 << "1000%" << false;
    }
}

void TestFrmOpenWaveform::zoomText()
{
    QFETCH(QString, text);
    QFETCH(int, commit);
    QFETCH(double, zoom);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    frmOpenWaveform *w = openWindow();
    typeZoom(w->ZoomCombo, text, ZoomCommit::None);
    QCOMPARE(w->zoomFactor(), 2.0); // nothing applied or checked while typing
    QVERIFY(ui_.messages().isEmpty());
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(2.0));
    typeZoom(w->ZoomCombo, text, ZoomCommit(commit));
    QCOMPARE(w->zoomFactor(), zoom);
    QCOMPARE(w->ZoomCombo->currentText(), shown);
    QCOMPARE(ui_.messages().size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(ui_.messages()[0].text, QStringLiteral("Invalid Zoom Factor!"));
        QCOMPARE(ui_.messages()[0].icon, MsgIcon::Exclamation);
    }
    // The focus leaving the box afterwards reports and changes nothing more.
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w->ZoomCombo->lineEdit(), &out);
    QCOMPARE(ui_.messages().size(), refused ? 1 : 0);
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(zoom)); // 350 Z x 250 Z, halves to even
    QVERIFY(!app().Sheet.Modified);
}

// The texts under the graticule (Pos1 yellow, Pos2 cyan, the delay orange)
// never run into each other, at any zoom.
void TestFrmOpenWaveform::scaleTextsNeverRunTogether_data()
{
    QTest::addColumn<QString>("zoom");
    for (const char *z : {"70%", "75%", "80%", "100%", "200%"})
        QTest::newRow(z) << QString::fromLatin1(z);
}

void TestFrmOpenWaveform::scaleTextsNeverRunTogether()
{
    QFETCH(QString, zoom);
    WaveSpec s;
    s.timeDivPs = 50000000;
    s.acqTimeDivPs = 50000000;
    s.positionPs = -12345678;
    s.ch1Offset = -123;
    s.ch2Offset = 87;
    s.ch1 = levels(600, [](qint64 i) { return int(75 + (i / 60) * 10); });
    s.ch2Present = 1;
    s.ch2 = levels(600, [](qint64) { return 100; });
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(writeWave(QStringLiteral("labels.wfm"), s));
    w->FlatBttn1->click();
    QVERIFY(app().Sheet.StoredWaves[0].HasData && app().Sheet.StoredWaves[0].ColorMode);
    typeZoom(w->ZoomCombo, zoom);
    const double Z = w->zoomFactor();
    const auto spans = scaleInkSpans(w->picture(), int(std::floor(200 * Z + 25)) + 2, int(203 * Z + 25) + 12);
    QString why;
    const QList<int> seen = scaleInksApart(spans, 3, &why);
    QVERIFY2(seen.size() >= 2, qPrintable(why));
    QVERIFY(spans[InkYellow].seen());
}

// A factor typed key by key is the factor applied: the box completes nothing
// from its list ("3" stays "3", not "300%"), and the list still offers its
// choices.
void TestFrmOpenWaveform::slowTypingAppliesTheTypedFactor_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("shown");
    QTest::newRow("3") << "3" << 0.03 << "3%";
    QTest::newRow("30") << "30" << 0.3 << "30%";
    QTest::newRow("1") << "1" << 0.01 << "1%";
    QTest::newRow("20") << "20" << 0.2 << "20%";
    QTest::newRow("2%") << "2%" << 0.02 << "2%";
    QTest::newRow("150") << "150" << 1.5 << "150%";
}

void TestFrmOpenWaveform::slowTypingAppliesTheTypedFactor()
{
    QFETCH(QString, typed);
    QFETCH(double, zoom);
    QFETCH(QString, shown);
    frmOpenWaveform *w = openWindow();
    QCOMPARE(w->zoomFactor(), 2.0);
    typeZoomSlowly(w->ZoomCombo, typed);
    QTest::keyClick(w->ZoomCombo->lineEdit(), Qt::Key_Return);
    QVERIFY(ui_.messages().isEmpty());
    QCOMPARE(w->zoomFactor(), zoom);
    QCOMPARE(w->ZoomCombo->currentText(), shown);
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(zoom));
    QCOMPARE(w->ZoomCombo->count(), 3); // the list stays for choosing
}

// Editing inside a factor goes through texts that are not the one meant
// ("30%" on the way from "300%" to "350%"): none is applied or reported, in
// either language. A choice from the list applies at once.
void TestFrmOpenWaveform::zoomEditsAndChoices_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("invalid");
    QTest::newRow("English") << 1 << QStringLiteral("Invalid Zoom Factor!");
    QTest::newRow("Chinese") << 0 << QStringLiteral("无效缩放因子！");
}

void TestFrmOpenWaveform::zoomEditsAndChoices()
{
    QFETCH(int, lang);
    QFETCH(QString, invalid);
    app().texts.LanguageIndex = lang;
    LoadMessageTable(lang);
    frmOpenWaveform *w = openWindow();
    QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("200%"));
    // A choice from the list (the arrow keys walk it): 200 % -> 300 % at once.
    QTest::keyClick(w->ZoomCombo, Qt::Key_Down);
    QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("300%"));
    QCOMPARE(w->zoomFactor(), 3.0);
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(3.0));
    QLineEdit *edit = w->ZoomCombo->lineEdit();
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("30%"));
    QCOMPARE(w->zoomFactor(), 3.0);
    QTest::keyClick(edit, Qt::Key_5);
    QCOMPARE(edit->text(), QStringLiteral("350%"));
    QCOMPARE(w->zoomFactor(), 3.0);
    QVERIFY(ui_.messages().isEmpty());
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(w->zoomFactor(), 3.5);
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(3.5));
    QVERIFY(ui_.messages().isEmpty());
    // A wrong factor: the message in the language in force, once.
    typeZoom(w->ZoomCombo, QStringLiteral("x"));
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, invalid);
    QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("350%"));
    QCOMPARE(w->zoomFactor(), 3.5);
}

void TestFrmOpenWaveform::voltsPerDivStepping()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    r.Ch1VoltDiv = 2.0f;
    r.Ch1Offset = 1.0f;
    app().Sheet.Modified = false;
    const QImage before = w->picture();
    QTest::mousePress(w->abtnCH1DivDec, Qt::LeftButton);
    QCOMPARE(r.Ch1VoltDiv, 1.0f);
    QCOMPARE(r.Ch1Offset, 0.5f);
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("1.00V"));
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(w->picture(), before); // the press draws nothing
    QTest::mouseRelease(w->abtnCH1DivDec, Qt::LeftButton);
    // The release recomputes CH1's screen data and redraws: offset 0.5 V at
    // 1 V/div lifts level 75 by half a division.
    QCOMPARE(r.Ch1Screen[0], qint16(37)); // level 125 - (2 + 0.5) * 25 = 62.5 -> 62
    QVERIFY(w->picture() != before);
    QVERIFY(!w->scaleRepeatTimer().isActive());
    clock_.advance(1000);
    QCOMPARE(r.Ch1VoltDiv, 1.0f); // a click steps once
}

void TestFrmOpenWaveform::holdingRepeatsEvery200ms()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    r.Ch1VoltDiv = 0.01f;
    r.Ch1Offset = 0.01f;
    QTest::mousePress(w->abtnCH1DivInc, Qt::LeftButton); // 20 mV, offset rescaled to 20 mV
    QCOMPARE(r.Ch1Offset, 0.02f);
    clock_.advance(199);
    QCOMPARE(r.Ch1VoltDiv, 0.02f);
    clock_.advance(1);
    QCOMPARE(r.Ch1VoltDiv, 0.05f);
    clock_.advance(800); // four more ticks
    QCOMPARE(r.Ch1VoltDiv, 1.0f);
    QCOMPARE(r.Ch1Offset, 0.02f); // only the press rescaled the offset
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("1.00V"));
    QTest::mouseRelease(w->abtnCH1DivInc, Qt::LeftButton);
    clock_.advance(1000);
    QCOMPARE(r.Ch1VoltDiv, 1.0f);
}

// A press with any mouse button steps; the hold lasts until that button comes
// up, also when the pointer leaves the button and comes back meanwhile.
void TestFrmOpenWaveform::anyButtonHoldsWhereverThePointerGoes()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    r.Ch1VoltDiv = 0.01f;
    QToolButton *b = w->abtnCH1DivInc;
    QTest::mousePress(b, Qt::RightButton);
    QCOMPARE(r.Ch1VoltDiv, 0.02f);
    QVERIFY(w->scaleRepeatTimer().isActive());
    moveMouse(b, QPoint(b->width() + 40, b->height() + 40), Qt::RightButton); // off the button
    QVERIFY(w->scaleRepeatTimer().isActive());
    moveMouse(b, QPoint(2, 2), Qt::RightButton); // back on
    QCOMPARE(r.Ch1VoltDiv, 0.02f);              // no second press
    clock_.advance(200);
    QCOMPARE(r.Ch1VoltDiv, 0.05f);
    QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(b->width() + 40, 2)); // released off the button
    QVERIFY(!w->scaleRepeatTimer().isActive());
    clock_.advance(1000);
    QCOMPARE(r.Ch1VoltDiv, 0.05f);
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("50.0mV"));
}

void TestFrmOpenWaveform::endOfTheSequenceStillMarksTheSheet()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    r.Ch1VoltDiv = 10.0f;
    r.Ch1Offset = 3.0f;
    app().Sheet.Modified = false;
    w->ScaleButton_MouseDown(ScaleTarget::Ch1VoltDiv, 1);
    w->ScaleButton_MouseUp(ScaleTarget::Ch1VoltDiv);
    QCOMPARE(r.Ch1VoltDiv, 10.0f);
    QCOMPARE(r.Ch1Offset, 3.0f);
    QVERIFY(app().Sheet.Modified);
}

void TestFrmOpenWaveform::timeDivStepping()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    QCOMPARE(r.Setup.LastPoint, qint16(299));
    QTest::mousePress(w->abtnTimeDivInc, Qt::LeftButton);
    QTest::mouseRelease(w->abtnTimeDivInc, Qt::LeftButton);
    QCOMPARE(r.TimeDiv, 100e-6);
    QCOMPARE(w->txtTimeDiv->text(), QStringLiteral("100.0us"));
    // The record now covers half the width, centred.
    QCOMPARE(r.Setup.FirstPoint, qint16(75));
    QCOMPARE(r.Setup.LastPoint, qint16(224));
}

void TestFrmOpenWaveform::alternateTriggerPanel()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.trigMode = 4;
    s.ch2Present = 1;
    s.ch2Points = 600;
    s.ch2TimeDivPs = 2000000000;
    s.ch2SampleRate = 1e6f;
    s.ch1 = levels(600, [](qint64) { return 125; });
    s.ch2 = levels(600, [](qint64) { return 125; });
    ui_.answerFile(writeWave(QStringLiteral("alt.wfm"), s));
    w->OpenWaveformFile();
    QVERIFY(!w->framAltTimeDiv->isHidden());
    QVERIFY(w->framTimeDiv->isHidden());
    QCOMPARE(w->txtCH1TimeDiv->text(), QStringLiteral("1.000ms"));
    QCOMPARE(w->txtCH2TimeDiv->text(), QStringLiteral("2.000ms"));
    StoredWave &r = app().Sheet.StoredWaves[0];
    QTest::mousePress(w->abtnCH2TimeDivDec, Qt::LeftButton);
    QTest::mouseRelease(w->abtnCH2TimeDivDec, Qt::LeftButton);
    QCOMPARE(r.Ch2TimeDiv, 1e-3);
    QCOMPARE(r.Ch1TimeDiv, 1e-3);
    QCOMPARE(w->txtCH2TimeDiv->text(), QStringLiteral("1.000ms"));
}

void TestFrmOpenWaveform::resetRestoresTheSnapshot()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    const StoredWave loaded = r;
    const QImage picture = w->picture();
    w->ScaleButton_MouseDown(ScaleTarget::Ch1VoltDiv, -1);
    w->ScaleButton_MouseUp(ScaleTarget::Ch1VoltDiv);
    w->ScaleButton_MouseDown(ScaleTarget::TimeDiv, 1);
    w->ScaleButton_MouseUp(ScaleTarget::TimeDiv);
    QVERIFY(w->picture() != picture);
    app().Sheet.Modified = false;
    w->Reset->click();
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(r.Ch1VoltDiv, loaded.Ch1VoltDiv);
    QCOMPARE(r.TimeDiv, loaded.TimeDiv);
    QCOMPARE(w->txtCH1Div->text(), QStringLiteral("1.00V"));
    QCOMPARE(w->txtTimeDiv->text(), QStringLiteral("50.00us"));
    QCOMPARE(w->picture(), picture);
}

void TestFrmOpenWaveform::gridAndColour()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    const int gridDots = countColour(w->picture(), QColor(192, 192, 192));
    app().Sheet.Modified = false;
    w->GridCheck->click();
    QVERIFY(!r.GridShown);
    QVERIFY(app().Sheet.Modified);
    QVERIFY(countColour(w->picture(), QColor(192, 192, 192)) < gridDots);

    app().Sheet.Modified = false;
    w->OptionColor[1]->click();
    QVERIFY(!r.ColorMode);
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(w->picture().pixelColor(0, 0), QColor(255, 255, 255));
    QCOMPARE(w->picRefreshProgress->palette().color(QPalette::Window), QColor(255, 255, 255));
    QCOMPARE(w->LblRefreshText->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    // A click on the option already chosen still marks the sheet and redraws.
    app().Sheet.Modified = false;
    w->OptionColor[1]->click();
    QVERIFY(app().Sheet.Modified);
    w->OptionColor[0]->click();
    QVERIFY(r.ColorMode);
    QCOMPARE(w->LblRefreshText->palette().color(QPalette::WindowText), QColor(255, 255, 192));
    QCOMPARE(w->LblRefreshValue->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    QCOMPARE(w->picture().pixelColor(0, 0), QColor(0, 0, 0));
}

void TestFrmOpenWaveform::scrollBars()
{
    frmOpenWaveform *w = openWindow();
    w->resize(600, 700);
    // At 200 % the 700-pixel picture is wider than the viewport, not taller.
    QVERIFY(!w->HScroll->isHidden());
    QVERIFY(w->VScroll->isHidden());
    const int viewport = w->BackPic->width();
    QCOMPARE(w->hScrollRange(), double(700 - viewport));
    QCOMPARE(w->HScroll->pageStep(), qRound(double(viewport) / 700 * 100));
    w->HScroll->setValue(100);
    QCOMPARE(w->pictureWidget()->x(), -(700 - viewport));
    // A new layout puts the picture back at the viewport's corner.
    w->resize(1200, 800);
    QCOMPARE(w->pictureWidget()->pos(), QPoint(0, 0));
    QCOMPARE(w->HScroll->value(), 0);
    QVERIFY(w->HScroll->isHidden());
    QVERIFY(w->VScroll->isHidden());
    typeZoom(w->ZoomCombo, QStringLiteral("400%"));
    QVERIFY(!w->HScroll->isHidden());
    QVERIFY(!w->VScroll->isHidden());
    w->VScroll->setValue(50);
    QCOMPARE(w->pictureWidget()->y(), -qRound(w->vScrollRange() / 2));
    // The viewport never reaches past the window.
    QVERIFY(w->BackPic->geometry().right() < w->width());
    QVERIFY(w->VScroll->geometry().right() < w->width());
    QVERIFY(w->HScroll->geometry().bottom() < w->height());
}

void TestFrmOpenWaveform::captionsInBothLanguages()
{
    frmOpenWaveform *w = openWindow();
    const auto text = [w](const char *name) {
        QObject *o = w->findChild<QObject *>(QLatin1String(name));
        if (auto *b = qobject_cast<QAbstractButton *>(o))
            return b->text();
        if (auto *g = qobject_cast<QGroupBox *>(o))
            return g->title();
        if (auto *l = qobject_cast<QLabel *>(o))
            return l->text();
        return QStringLiteral("<none>");
    };
    LoadStoredWaveWindowTexts(0, 1);
    QCOMPARE(text("Frame1"), QStringLiteral("Open"));
    QCOMPARE(text("FlatBttn1"), QStringLiteral(" File"));
    QCOMPARE(text("Frame2_0"), QStringLiteral("Display"));
    QCOMPARE(text("OptionColor_1"), QStringLiteral("B&&W"));
    QCOMPARE(text("GridCheck"), QStringLiteral("Grid"));
    QCOMPARE(text("Reset"), QStringLiteral("Reset"));
    QCOMPARE(text("Label4"), QStringLiteral("Time/Div"));
    QCOMPARE(w->FlatBttn1->toolTip(), QStringLiteral("Open waveform File"));
    LoadStoredWaveWindowTexts(0, 0);
    QCOMPARE(text("Frame1"), QStringLiteral("打开"));
    QCOMPARE(text("FlatBttn1"), QStringLiteral("文件 ."));
    QCOMPARE(text("Frame6"), QStringLiteral("缩放"));
    QCOMPARE(text("OptionColor_1"), QStringLiteral("黑白"));
    QCOMPARE(text("Reset"), QStringLiteral("复位"));
    QCOMPARE(w->FlatBttn1->toolTip(), QStringLiteral("打开波形文件"));
    // Another language sets nothing; the switch reaches every open window.
    LoadStoredWaveWindowTexts(0, 2);
    QCOMPARE(text("Frame1"), QStringLiteral("打开"));
    installStoredWaveLanguageLoader();
    LoadAllStoredWaveWindowTexts(1);
    QCOMPARE(text("Frame1"), QStringLiteral("Open"));
}

void TestFrmOpenWaveform::movedToAnotherSlot()
{
    frmOpenWaveform *w = openWindow(1);
    QVERIFY(app().Sheet.StoredWaves[1].SlotUsed);
    app().Sheet.StoredWaves[0] = app().Sheet.StoredWaves[1];
    MoveStoredWaveWindow(1, 0);
    QCOMPARE(StoredWaveWindow(0), w);
    QVERIFY(!StoredWaveWindow(1));
    QCOMPARE(w->slot(), 0);
    QVERIFY(w->initPending());
    clock_.advance(1);
    QVERIFY(!w->initPending());
    QVERIFY(app().Sheet.StoredWaves[0].SlotUsed);
    CloseStoredWaveWindow(0);
    QVERIFY(!app().Sheet.StoredWaves[0].SlotUsed);
    QVERIFY(!StoredWaveWindow(0));
}

void TestFrmOpenWaveform::busyWhileLoading()
{
    frmOpenWaveform *w = openWindow();
    PeekingUi peek;
    peek.path = goodFile();
    bool busy = false;
    bool closed = true;
    peek.whileOpen = [&] {
        busy = StoredWaveWindowBusy(0);
        closed = w->close();
    };
    setUi(&peek);
    w->OpenWaveformFile();
    QVERIFY(busy);
    QVERIFY(!closed);
    QVERIFY(!StoredWaveWindowBusy(0));
    QVERIFY(app().Sheet.StoredWaves[0].HasData);
}

void TestFrmOpenWaveform::infoPanel_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("ch1");
    QTest::addColumn<bool>("ch2");
    QTest::addColumn<bool>("la");
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<QString>("timeLabel");
    for (int lang : {1, 0}) {
        const QString label = lang ? QStringLiteral("Time/Div") : QStringLiteral("时基");
        const char *l = lang ? "English" : "Chinese";
        QTest::addRow("%s, CH1 only", l) << lang << true << false << false << false << label;
        QTest::addRow("%s, both", l) << lang << true << true << false << false << label;
        QTest::addRow("%s, digital only", l) << lang << false << false << true << false << label;
        QTest::addRow("%s, alternate", l) << lang << true << true << false << true << label;
    }
}

void TestFrmOpenWaveform::infoPanel()
{
    QFETCH(int, lang);
    QFETCH(bool, ch1);
    QFETCH(bool, ch2);
    QFETCH(bool, la);
    QFETCH(bool, alternate);
    QFETCH(QString, timeLabel);
    app().texts.LanguageIndex = lang;
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.ch1Present = ch1;
    s.ch2Present = ch2;
    s.laPresent = la;
    s.trigMode = alternate ? 4 : 0;
    s.ch2Points = 600;
    s.ch2TimeDivPs = 2000000;
    s.ch1 = ch1 ? levels(600, [](qint64) { return 100; }) : QByteArray();
    s.ch2 = ch2 ? levels(600, [](qint64) { return 100; }) : QByteArray();
    s.la = la ? laWords(600, [](qint64) { return quint16(1); }) : QByteArray();
    ui_.answerFile(writeWave(QStringLiteral("panel.wfm"), s));
    w->OpenWaveformFile();
    QCOMPARE(w->Label4->text(), timeLabel);
    QCOMPARE(!w->txtCH1Div->isHidden(), ch1);
    QCOMPARE(!w->lblCH1->isHidden(), ch1);
    QCOMPARE(!w->abtnCH2DivInc->isHidden(), ch2);
    QCOMPARE(w->txtCH1Div->text(), ch1 ? QStringLiteral("1.00V") : QString());
    QCOMPARE(w->txtCH2Div->text(), ch2 ? QStringLiteral("500mV") : QString());
    QCOMPARE(!w->framAltTimeDiv->isHidden(), alternate);
    QCOMPARE(!w->framTimeDiv->isHidden(), !alternate);
    const bool timeShown = !alternate && (ch1 || ch2 || la);
    if (!alternate) {
        QCOMPARE(!w->txtTimeDiv->isHidden(), timeShown);
        QCOMPARE(w->txtTimeDiv->text(), timeShown ? QStringLiteral("1.000ms") : QString());
    } else {
        QCOMPARE(w->txtCH1TimeDiv->text(), QStringLiteral("1.000ms"));
        QCOMPARE(w->txtCH2TimeDiv->text(), QStringLiteral("2.000us"));
    }
    // The picture starts below the panel when a channel is shown.
    QCOMPARE(w->BackPic->y() > w->framRefresh->geometry().bottom(), ch1 || ch2 || la);
    // The panel shows whole, in a new window as after other files: no empty
    // volts/div box, every shown control inside its frame and the panel
    // inside the window, Reset within reach, no caption cut.
    QCOMPARE(!w->framVoltDiv->isHidden(), ch1 || ch2);
    QVERIFY(!w->Reset->isHidden());
    const QStringList found = fitcheck::findings(w->framRefresh, QStringLiteral("info panel"));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    QVERIFY(w->rect().contains(w->framRefresh->geometry()));
}

void TestFrmOpenWaveform::reopeningLeavesThePanelInPlace_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("alternate");
    QTest::newRow("English") << 1 << false;
    QTest::newRow("Chinese") << 0 << false;
    QTest::newRow("English, alternate trigger") << 1 << true;
}

// Opening a file like the one shown places the info panel, its frames and
// Reset where they are already: nothing moves and back (which repaints the
// whole panel at every opening), and the first opening lays the panel out as
// every later one does.
void TestFrmOpenWaveform::reopeningLeavesThePanelInPlace()
{
    QFETCH(int, lang);
    QFETCH(bool, alternate);
    app().texts.LanguageIndex = lang;
    frmOpenWaveform *w = openWindow();
    w->show();
    WaveSpec s;
    s.ch2Present = 1;
    s.trigMode = alternate ? 4 : 0;
    s.ch2Points = 600;
    s.ch2TimeDivPs = 2000000;
    s.ch1 = levels(600, [](qint64) { return 100; });
    s.ch2 = levels(600, [](qint64) { return 100; });
    const QString path = writeWave(QStringLiteral("again.wfm"), s);
    ui_.answerFile(path);
    w->OpenWaveformFile();
    QVERIFY(app().Sheet.StoredWaves[0].HasData);
    // As the first opening left them: the next openings change nothing.
    const QRect panel = w->framRefresh->geometry();
    const QRect reset = w->Reset->geometry();
    ui_.answerFile(path);
    w->OpenWaveformFile();
    GeometryWatch watch{w->framRefresh, w->Reset, w->framTimeDiv, w->framAltTimeDiv, w->framVoltDiv};
    ui_.answerFile(path);
    w->OpenWaveformFile();
    QCOMPARE(watch.events.join(QStringLiteral(", ")), QString());
    QCOMPARE(w->framRefresh->geometry(), panel);
    QCOMPARE(w->Reset->geometry(), reset);
}

void TestFrmOpenWaveform::cursorCheckBoxes()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    QVERIFY(!w->ChkCursorX->isChecked());
    const QColor line(230, 200, 150);
    QCOMPARE(countColour(w->picture(), line), 0);
    app().Sheet.Modified = false;
    w->ChkCursorX->click();
    QVERIFY(w->cursors().ShowCursorX);
    // The default vertical cursors at 100 % (50, 295) lie at 75 and 565 at 200 %.
    QCOMPARE(w->cursorLines().x1, 75.0);
    QCOMPARE(w->picture().pixelColor(75, 30), line);
    QCOMPARE(w->picture().pixelColor(565, 30), line);
    w->ChkCursorY->click();
    QVERIFY(w->cursors().ShowCursorY);
    // CursorY2 (239 at 100 %, 453 at 200 %) is held inside: 423.
    QCOMPARE(w->cursorLines().y2, 423.0);
    QVERIFY(!app().Sheet.Modified); // the cursors are the window's, not the item's
    w->ChkCursorX->click();
    w->ChkCursorY->click();
    QCOMPARE(countColour(w->picture(), line), 0);
}

void TestFrmOpenWaveform::loadSwitchingTheSplitMovesTheCursors()
{
    frmOpenWaveform *w = openWindow();
    w->ChkCursorY->click();
    StoredCursors &c = w->cursors();
    c.Y1 = 3; // row 75 of the full display: 175 at 200 %
    WaveSpec alt;
    alt.trigMode = 4;
    alt.ch2Points = 600;
    alt.ch2TimeDivPs = 1000000000;
    alt.ch1 = levels(600, [](qint64) { return 125; });
    ui_.answerFile(writeWave(QStringLiteral("alt.wfm"), alt));
    w->OpenWaveformFile();
    QCOMPARE(c.Y1, 1.5); // half height
    QCOMPARE(w->cursorLines().y1, 100.0);
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    QCOMPARE(c.Y1, 3.0);
    QCOMPARE(w->cursorLines().y1, 175.0);
}

void TestFrmOpenWaveform::layoutMovesOnlyItsOwnCursors()
{
    frmOpenWaveform *a = openWindow(0);
    frmOpenWaveform *b = openWindow(1);
    QCOMPARE(a->cursorLines().x1, 75.0);
    QCOMPARE(b->cursorLines().x1, 75.0);
    typeZoom(a->ZoomCombo, QStringLiteral("100%"));
    QCOMPARE(a->cursorLines().x1, 50.0);
    QCOMPARE(a->cursorLines().y1, 55.0);
    // B was laid out last at 200 %: its own zoom, not A's, places its cursors.
    typeZoom(b->ZoomCombo, QStringLiteral("300%"));
    QCOMPARE(b->cursorLines().x1, 100.0);
    b->resize(b->width() + 40, b->height());
    QCOMPARE(b->cursorLines().x1, 100.0);
    QCOMPARE(a->cursorLines().x1, 50.0);
    QVERIFY(a->cursors() == b->cursors()); // the same divisions
}

void TestFrmOpenWaveform::mouseDragsACursor()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    w->ChkCursorX->click();
    QWidget *pic = w->pictureWidget();
    moveMouse(pic, QPoint(75, 300));
    QCOMPARE(pic->cursor().shape(), Qt::SizeHorCursor);
    QTest::mousePress(pic, Qt::RightButton, {}, QPoint(76, 300)); // any button grabs
    moveMouse(pic, QPoint(200, 300));
    QCOMPARE(w->cursorLines().x1, 200.0);
    QCOMPARE(w->cursors().X1, 3.5); // divisions: (200 - 25) / 50
    QCOMPARE(w->picture().pixelColor(197, 25), QColor(230, 200, 150)); // its top marker
    QTest::mouseRelease(pic, Qt::RightButton, {}, QPoint(200, 300));
    moveMouse(pic, QPoint(260, 300));
    QCOMPARE(w->cursorLines().x1, 200.0);
    QCOMPARE(pic->cursor().shape(), Qt::ArrowCursor);
}

// A release that never reaches the picture: given while an exchange ran
// longer than held input is kept (a refresh of a waveform window), it gets
// nothing. The next move, with every button up, ends the drag, and the
// cursor stays where the drag left it.
void TestFrmOpenWaveform::lostReleaseEndsTheDrag()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    w->ChkCursorX->click();
    QWidget *pic = w->pictureWidget();
    QWindow *window = nativeinput::windowOf(pic);
    QVERIFY(window);
    const auto queue = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QWindowSystemInterface::handleMouseEvent<nativeinput::Queued>(
            window, nativeinput::pressTime(), pic->mapTo(pic->window(), QPointF(at)), pic->mapToGlobal(QPointF(at)),
            held, button, type);
        QCoreApplication::processEvents();
    };
    queue(QEvent::MouseMove, QPoint(75, 300), Qt::NoButton);
    queue(QEvent::MouseButtonPress, QPoint(76, 300), Qt::LeftButton);
    queue(QEvent::MouseMove, QPoint(200, 300), Qt::LeftButton);
    QCOMPARE(w->cursorLines().x1, 200.0);
    {
        const ExchangeScope exchange;
        queue(QEvent::MouseButtonRelease, QPoint(200, 300), Qt::NoButton);
        clock_.advance(HeldInputMaxAgeMs + 500);
    }
    QCoreApplication::processEvents(); // the held release: too old, dropped
    queue(QEvent::MouseMove, QPoint(260, 300), Qt::NoButton);
    QCOMPARE(w->cursorLines().x1, 200.0);
    QCOMPARE(pic->cursor().shape(), Qt::ArrowCursor);
}

// The cursors keep their divisions at every zoom: typed down to 1 % (or 0 %
// or 0.5 %, both taken as 1 %) and back to 200 %, the cursors, their
// read-outs and the picture are what they were, also when the boxes were
// unticked and ticked again at the small zoom; on a long record, on a 16k
// record of both channels and on the split display of the alternate trigger.
void TestFrmOpenWaveform::cursorsKeepTheirDivisions_data()
{
    QTest::addColumn<int>("file"); // 0: 1,000,000 points; 1: 16k points, CH1 and CH2; 2: alternate trigger
    QTest::addColumn<QStringList>("zooms");
    QTest::addColumn<QStringList>("readouts"); // at 200 %, before and after; empty: only kept
    const QStringList million{"1/|X1-X2|=102.04Hz", "|X1-X2|   =9.80ms", "|Y1-Y2|  =6.8V"};
    const QStringList k16{"1/|X1-X2|=20.41Hz", "|X1-X2|   =49.00ms", "|Y1-Y2|  =3.4V", "|Y1-Y2|  =13.5V"};
    QTest::newRow("1,000,000 points, 1 %") << 0 << QStringList{"1%"} << million;
    QTest::newRow("1,000,000 points, 0 %") << 0 << QStringList{"0%"} << million;
    QTest::newRow("16k points, 1 %") << 1 << QStringList{"1%"} << k16;
    QTest::newRow("16k points, 0 %") << 1 << QStringList{"0%"} << k16;
    QTest::newRow("16k points, 0.5 %, 37 %, 1 %") << 1 << QStringList{"0.5%", "37%", "1%"} << k16;
    QTest::newRow("alternate trigger, 1 %") << 2 << QStringList{"1%"} << QStringList{};
}

void TestFrmOpenWaveform::cursorsKeepTheirDivisions()
{
    QFETCH(int, file);
    QFETCH(QStringList, zooms);
    QFETCH(QStringList, readouts);
    WaveSpec s;
    if (file == 0) {
        s.points = 1000000; // 1 ms/div, CH1 at 1 V/div
        s.ch1 = levels(s.points, [](qint64 i) { return int(100 + (i / 1000) % 50); });
    } else if (file == 1) {
        s.points = 16384;
        s.timeDivPs = s.acqTimeDivPs = 5000000000; // 5 ms/div
        s.ch1MicroVolts = s.ch1AcqMicroVolts = 500000;
        s.ch2MicroVolts = s.ch2AcqMicroVolts = 2000000;
        s.ch2Present = 1;
        s.ch1 = levels(s.points, [](qint64 i) { return int(90 + (i / 100) % 40); });
        s.ch2 = levels(s.points, [](qint64 i) { return int(150 - (i / 200) % 30); });
    } else {
        s.trigMode = 4;
        s.ch2Present = 1;
        s.ch2Points = 600;
        s.ch2TimeDivPs = 2000000000;
        s.ch2SampleRate = 1e6f;
        s.ch1 = levels(600, [](qint64 i) { return int(100 + i % 50); });
        s.ch2 = levels(600, [](qint64 i) { return int(150 - i % 30); });
    }
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(writeWave(QStringLiteral("cursors.wfm"), s));
    w->OpenWaveformFile();
    QVERIFY(w->rec().HasData);
    QCOMPARE(w->zoomFactor(), 2.0);
    w->ChkCursorX->click();
    w->ChkCursorY->click();
    const auto texts = [w] {
        QStringList out;
        for (const CursorReadout &r : DisplayCursorM(w->cursors(), w->rec(), w->zoomFactor()))
            out << r.text;
        return out;
    };
    const QStringList before = texts();
    if (!readouts.isEmpty())
        QCOMPARE(before, readouts);
    QCOMPARE(before.size(), file == 2 ? 6 : file == 1 ? 4 : 3);
    for (const QString &line : before)
        QVERIFY2(!line.contains(QLatin1String("=0.0")) && !line.contains(QLatin1String("???")), qPrintable(line));
    const StoredCursors cursorsBefore = w->cursors();
    const QImage pictureBefore = w->picture();

    for (const QString &z : zooms)
        typeZoom(w->ZoomCombo, z);
    QCOMPARE(w->zoomFactor(), 0.01);
    // Unticked and ticked again at the small zoom.
    w->ChkCursorX->click();
    w->ChkCursorY->click();
    w->ChkCursorX->click();
    w->ChkCursorY->click();
    typeZoom(w->ZoomCombo, QStringLiteral("200%"));
    QCOMPARE(w->zoomFactor(), 2.0);
    QCOMPARE(texts(), before);
    QVERIFY(w->cursors() == cursorsBefore);
    QCOMPARE(w->picture(), pictureBefore);
}

void TestFrmOpenWaveform::mouseDragsTraces()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    app().Sheet.Modified = false;
    QWidget *pic = w->pictureWidget();
    // The first tenth of the ramp lies on row 50: y 125 at 200 %.
    moveMouse(pic, QPoint(60, 126));
    QCOMPARE(pic->cursor().shape(), Qt::OpenHandCursor);
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(60, 126));
    QCOMPARE(pic->cursor().shape(), Qt::ClosedHandCursor);
    QVERIFY(!app().Sheet.Modified);
    moveMouse(pic, QPoint(110, 176)); // one division down and right
    QCOMPARE(r.Ch1Offset, -1.0f);
    QCOMPARE(r.Position, 50e-6);
    QVERIFY(app().Sheet.Modified);
    QCOMPARE(r.Ch1Screen[0], qint16(75)); // recomputed: 25 rows lower
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(110, 176));
    QVERIFY(!w->mouse().DragCH1);
    QCOMPARE(r.Ch1Offset, -1.0f);

    // Alternate trigger: CH2 in the lower half, only its own values move.
    WaveSpec alt;
    alt.trigMode = 4;
    alt.ch2Present = 1;
    alt.ch2Points = 600;
    alt.ch2TimeDivPs = 50000000;
    alt.ch2SampleRate = 1e6f;
    alt.timeDivPs = 50000000;
    alt.ch1 = levels(600, [](qint64) { return 125; });
    alt.ch2 = levels(600, [](qint64) { return 125; });
    ui_.answerFile(writeWave(QStringLiteral("alt.wfm"), alt));
    w->OpenWaveformFile();
    // CH2's row 100 at half height in the lower half: y 25 + 200 + 100 = 325.
    moveMouse(pic, QPoint(300, 325));
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(300, 325));
    QVERIFY(w->mouse().DragCH2);
    moveMouse(pic, QPoint(250, 350));
    QCOMPARE(r.Ch2Offset, -0.5f); // 25 pixels at 200 % are one division in the half
    QCOMPARE(r.Ch2Position, -50e-6);
    QCOMPARE(r.Ch1Position, 0.0);
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(250, 350));
}

void TestFrmOpenWaveform::mouseDragsADigitalChannel()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.ch1Present = 0;
    s.laPresent = 1;
    s.laShownMask = 0x0003;
    s.laPosition[0] = 0; // D0 on row 222
    s.laPosition[1] = 5; // D1 on row 162
    s.timeDivPs = 50000000;
    s.acqTimeDivPs = 50000000;
    s.la = laWords(600, [](qint64) { return quint16(0); });
    ui_.answerFile(writeWave(QStringLiteral("la.wfm"), s));
    w->OpenWaveformFile();
    StoredWave &r = app().Sheet.StoredWaves[0];
    QWidget *pic = w->pictureWidget();
    // D1 low: row 162 - 25 = 137, y 25 + 274 = 299 at 200 %.
    moveMouse(pic, QPoint(300, 299));
    QCOMPARE(pic->cursor().shape(), Qt::OpenHandCursor);
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(300, 299));
    moveMouse(pic, QPoint(300, 0));
    QCOMPARE(r.Setup.LARow[1], qint16(42));
    QCOMPARE(r.Setup.LASelected, quint8(1));
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(300, 0));
}

void TestFrmOpenWaveform::logicRowsReachTheEndOfALongRecord()
{
    // A 1,000,000-point capture with CH1, CH2 and logic (one byte per
    // point), all of it on screen at 200 %: D0 changes every 1000 points, D2
    // is high over the last 5 % of the record only.
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.points = 1000000;
    s.ch2Present = 1;
    s.laPresent = 1;
    s.laShownMask = qint16(0xffff);
    for (int i = 0; i < 16; ++i)
        s.laPosition[size_t(i)] = quint8(i);
    s.timeDivPs = s.acqTimeDivPs = 100000000000LL; // 100 ms/div
    s.sampleRate = 1e6f;
    s.ch1 = levels(s.points, [](qint64 i) { return int(125 + 80 * std::sin(double(i) / 500.0)); });
    s.ch2 = levels(s.points, [](qint64 i) { return (i / 700) % 2 ? 60 : 190; });
    s.la = levels(s.points, [](qint64 p) { return int(((p / 1000) & 1) | (p >= 950000 ? 4 : 0)); });
    ui_.answerFile(writeWave(QStringLiteral("capture.wfm"), s));
    w->OpenWaveformFile();
    const StoredWave &r = app().Sheet.StoredWaves[0];
    QVERIFY(r.ShowLA);
    const QImage pic = w->picture();
    const int first = r.Setup.FirstPoint, last = r.Setup.LastPoint;
    QCOMPARE(first, 25);
    QCOMPARE(last, 274);
    // Rows at zoom 2: D0 (selected, red) between y 401 and 419, D2 (green)
    // between 353 and 371.
    const QColor red(255, 0, 0), green(0, 255, 0);
    auto any = [&pic](int x0, int x1, int y, const QColor &c) {
        for (int x = x0; x <= x1; ++x)
            if (pic.pixelColor(x, y) == c)
                return true;
        return false;
    };
    // D0's edges reach the last column: a rise or fall crosses its middle.
    for (int col : {first, (first + last) / 2, last - 20, last - 1, last})
        QVERIFY2(any(25 + 2 * col - 1, 25 + 2 * col + 2, 410, red), qPrintable(QString::number(col)));
    // D2 is low at 90 % of the record and high at its end.
    const int ninety = first + (last - first) * 9 / 10;
    QVERIFY(any(25 + 2 * ninety, 25 + 2 * ninety + 1, 371, green));
    QVERIFY(!any(25 + 2 * ninety, 25 + 2 * ninety + 1, 353, green));
    QVERIFY(any(25 + 2 * last, 25 + 2 * last + 1, 353, green));
    QVERIFY(!any(25 + 2 * last, 25 + 2 * last + 1, 371, green));
}

void TestFrmOpenWaveform::csvExport()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.points = 2000;
    s.ch1 = levels(2000, [](qint64 i) { return int(i % 201); });
    ui_.answerFile(writeWave(QStringLiteral("csv.wfm"), s));
    w->OpenWaveformFile();
    const QString path = dir_->filePath(QStringLiteral("out"));
    ui_.answerFile(path);
    QList<int> bars;
    bool busySeen = false;
    setPump([&] {
        busySeen = busySeen || app().xfer.SaveBusy;
        if (auto *d = w->window()->findChild<QProgressBar *>())
            bars << d->value();
    });
    w->FlatBttn3->click();
    QCOMPARE(ui_.fileDialogs().last().save, true);
    QCOMPARE(ui_.fileDialogs().last().request.title, QStringLiteral("Save To CSV file"));
    QCOMPARE(ui_.fileDialogs().last().request.filter, QStringLiteral("CSV Files (*.csv)"));
    QVERIFY(busySeen);
    QVERIFY(!app().xfer.SaveBusy);
    QVERIFY(!QFile::exists(path));
    QFile f(path + QStringLiteral(".csv")); // typed without a suffix: the filter's is added
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray csv = f.readAll();
    QVERIFY(csv.startsWith("X,CH1\r\nSecond,Voltage\r\n-1.00E-03,5.00E+00\r\n"));
    QCOMPARE(csv.count("\r\n"), 2002);
    QVERIFY(ui_.messages().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().size() > 0);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<frmPrgressSave *>(top) || !top->isVisible());
}

void TestFrmOpenWaveform::csvExportAgreesWithThePicture()
{
    // Taken at 1 V/div and offset 0 (levels 75 and 175: +2 V and -2 V), saved
    // for display at 2 V/div and -4 V (-50 levels at 2 V/div).
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.timeDivPs = 50000000; // 600 points at 1 MS/s: the full width
    s.acqTimeDivPs = 50000000;
    s.ch1MicroVolts = 2000000;
    s.ch1Offset = -50;
    s.ch1AcqMicroVolts = 1000000;
    s.ch1AcqOffset = 0;
    s.ch1 = levels(600, [](qint64 i) { return i < 300 ? 75 : 175; });
    ui_.answerFile(writeWave(QStringLiteral("rescaled.wfm"), s));
    w->OpenWaveformFile();
    const StoredWave &r = app().Sheet.StoredWaves[0];
    QVERIFY(r.HasData);
    auto exportVolts = [&](const QString &name) {
        const QString path = dir_->filePath(name);
        ui_.answerFile(path);
        w->ExportCsv();
        QFile f(path);
        QList<float> volts;
        if (!f.open(QIODevice::ReadOnly))
            return volts;
        const QByteArrayList rows = f.readAll().split('\n');
        for (qsizetype i = 2; i < rows.size(); ++i)
            if (!rows[i].isEmpty())
                volts << rows[i].trimmed().split(',').value(1).toFloat();
        return volts;
    };
    // The picture: +2 V at 2 V/div and -4 V is 1 division below the centre
    // (row 125), -2 V 3 divisions below (row 175).
    const qint16 high = r.Ch1Screen[0], low = r.Ch1Screen[599];
    QCOMPARE(high, qint16(125));
    QCOMPARE(low, qint16(175));
    const auto pictureVolts = [&](qint16 row) { return (100 - row) * r.Ch1VoltDiv / 25 - r.Ch1Offset; };
    const QList<float> volts = exportVolts(QStringLiteral("a.csv"));
    QCOMPARE(volts.size(), 600);
    QCOMPARE(volts.first(), 2.0f);
    QCOMPARE(volts.last(), -2.0f);
    QCOMPARE(volts.first(), pictureVolts(high));
    QCOMPARE(volts.last(), pictureVolts(low));
    // A scale step after loading moves the picture, not the exported volts.
    w->abtnCH1DivInc->click();
    QVERIFY(r.Ch1VoltDiv != 2.0f);
    QCOMPARE(exportVolts(QStringLiteral("b.csv")), volts);
    QVERIFY(ui_.messages().isEmpty());
}

// A long record far from the trigger: 16,384 points 10 ns apart around a
// delay of 1 ms. Three digits would give a few dozen distinct times; every
// row has its own, in the same form, and they rise with the rows.
void TestFrmOpenWaveform::csvTimesTellEverySampleApart()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.points = 16384;
    s.sampleRate = 1.0e8f;
    s.delayPs = 1000000000; // 1 ms
    s.ch1 = levels(16384, [](qint64 i) { return int(i % 201); });
    ui_.answerFile(writeWave(QStringLiteral("long.wfm"), s));
    w->OpenWaveformFile();
    const QString path = dir_->filePath(QStringLiteral("long.csv"));
    ui_.answerFile(path);
    w->FlatBttn3->click();
    QVERIFY(ui_.messages().isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QList<QByteArray> rows = f.readAll().split('\n');
    QCOMPARE(rows.takeFirst(), QByteArray("X,CH1\r"));
    QCOMPARE(rows.takeFirst(), QByteArray("Second,Voltage\r"));
    QCOMPARE(rows.takeLast(), QByteArray());
    QCOMPARE(rows.size(), 16384);
    static const QRegularExpression form(QStringLiteral("^-?[0-9]\\.[0-9]{2,14}E[-+]?[0-9]{2,3}$"));
    QSet<QByteArray> times;
    double before = -1.0;
    for (qsizetype j = 0; j < rows.size(); ++j) {
        const QByteArray t = rows[j].left(rows[j].indexOf(','));
        QVERIFY2(form.match(QString::fromLatin1(t)).hasMatch(), t.constData());
        times.insert(t);
        const double v = t.toDouble();
        QVERIFY2(v > before, t.constData());
        QVERIFY2(qAbs(v - (1e-3 + (double(j) - 8192) * 1e-8)) < 1e-9, t.constData());
        before = v;
    }
    QCOMPARE(times.size(), 16384);
    QCOMPARE(rows[8192].left(rows[8192].indexOf(',')), QByteArray("1.00000E-03"));
}

void TestFrmOpenWaveform::csvExportRefusals()
{
    frmOpenWaveform *w = openWindow();
    w->ExportCsv(); // no channel
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, QStringLiteral("Invalid waveform data!"));
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::None);
    QVERIFY(ui_.fileDialogs().isEmpty());
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    ui_.cancelFile();
    w->ExportCsv(); // cancelled: nothing written, nothing said
    QCOMPARE(ui_.messages().size(), 1);
    app().Sheet.StoredWaves[0].SavedCh1VoltDiv = 0; // a damaged scale: said before any dialog
    w->ExportCsv();
    QCOMPARE(ui_.messages().size(), 2);
    QCOMPARE(ui_.messages()[1].text, QStringLiteral("Invalid waveform data!"));
    QCOMPARE(ui_.fileDialogs().size(), 2);
}

void TestFrmOpenWaveform::csvExportFailure()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    ui_.answerFile(dir_->filePath(QStringLiteral("no/such/folder/out.csv")));
    w->ExportCsv();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::Critical);
    QVERIFY(!ui_.messages()[0].text.isEmpty());
    QVERIFY(!app().xfer.SaveBusy);
    QVERIFY(!w->loading());
    // A disk that fills up part way: the earlier file stays whole.
    const QString path = dir_->filePath(QStringLiteral("old.csv"));
    QVERIFY(writeWaveFile(path, "the earlier export"));
    {
        FileSizeLimit limit(4096); // the export needs about 11 KB
        QVERIFY(limit.active());
        ui_.answerFile(path);
        w->ExportCsv();
    }
    QCOMPARE(ui_.messages().size(), 2);
    QCOMPARE(ui_.messages()[1].icon, MsgIcon::Critical);
    QVERIFY(!app().xfer.SaveBusy);
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the earlier export"));
    old.close();
    // The next export works.
    ui_.answerFile(path);
    w->ExportCsv();
    QVERIFY(QFileInfo(path).size() > 10000);
}

void TestFrmOpenWaveform::csvExportBlocksLoadsAndExports()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec s;
    s.points = 20000;
    s.ch1 = levels(20000, [](qint64) { return 125; });
    ui_.answerFile(writeWave(QStringLiteral("long.wfm"), s));
    w->OpenWaveformFile();
    const QString path = dir_->filePath(QStringLiteral("a.csv"));
    ui_.answerFile(path);
    int dialogsBefore = 0;
    bool busy = false;
    bool closed = true;
    bool once = false;
    setPump([&] {
        if (once)
            return;
        once = true;
        busy = StoredWaveWindowBusy(0);
        dialogsBefore = int(ui_.fileDialogs().size());
        w->OpenWaveformFile(); // refused: no dialog
        w->ExportCsv();        // refused: no dialog
        // The item is emptied under the export: it wrote from its own copy.
        app().Sheet.StoredWaves[0].Ch1Samples.clear();
        closed = w->close();
    });
    w->ExportCsv();
    QVERIFY(busy);
    QVERIFY(!closed);
    QCOMPARE(int(ui_.fileDialogs().size()), dialogsBefore);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray csv = f.readAll();
    QCOMPARE(csv.count("0.00E00"), 20000); // every CH1 value
    // The middle row's time, with the four digits that keep 20,000 times 1 us apart.
    QCOMPARE(csv.count("\r\n0.000E00,0.00E00\r\n"), 1);
}

// A second viewer's export started and ended while the first one writes:
// the first one's progress dialog still refuses to close until its own
// export is done, and both files are whole.
void TestFrmOpenWaveform::csvExportOfAnotherViewerMeanwhile()
{
    frmOpenWaveform *first = openWindow(0);
    frmOpenWaveform *second = openWindow(1);
    WaveSpec s;
    s.points = 20000;
    s.ch1 = levels(20000, [](qint64) { return 125; });
    const QString wfm = writeWave(QStringLiteral("long.wfm"), s);
    ui_.answerFile(wfm);
    first->OpenWaveformFile();
    ui_.answerFile(wfm);
    second->OpenWaveformFile();
    const QString a = dir_->filePath(QStringLiteral("a.csv"));
    const QString b = dir_->filePath(QStringLiteral("b.csv"));
    ui_.answerFile(a);
    const auto openProgress = [] {
        QList<frmPrgressSave *> out;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<frmPrgressSave *>(top); d && d->isVisible())
                out << d;
        return out;
    };
    int turn = 0;
    bool secondDone = false;
    bool closedAfter = true;
    bool escapedAfter = true;
    setPump([&] {
        ++turn;
        if (turn == 2) {
            const QList<frmPrgressSave *> before = openProgress();
            QCOMPARE(before.size(), 1);
            ui_.answerFile(b);
            second->ExportCsv(); // runs whole inside the first one's
            secondDone = true;
            QCOMPARE(openProgress(), before);
            closedAfter = before[0]->close();
            before[0]->reject();
            escapedAfter = !before[0]->isVisible();
        }
    });
    first->ExportCsv();
    setPump({});
    QVERIFY(secondDone);
    QVERIFY2(!closedAfter, "the first export's progress dialog closed while it wrote");
    QVERIFY2(!escapedAfter, "Esc closed the first export's progress dialog while it wrote");
    QVERIFY(!app().xfer.SaveBusy);
    QVERIFY(openProgress().isEmpty());
    for (const QString &path : {a, b}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 20002);
    }
    QVERIFY(ui_.messages().isEmpty());
}

void TestFrmOpenWaveform::bitmapExport()
{
    frmOpenWaveform *w = openWindow();
    const QString path = dir_->filePath(QStringLiteral("pic.bmp"));
    ui_.answerFile(path);
    w->FlatBttn4->click(); // before a file: the empty graticule
    QCOMPARE(QImage(path).size(), QSize(700, 500));
    QCOMPARE(ui_.fileDialogs().last().request.title, QStringLiteral("Export File"));
    typeZoom(w->ZoomCombo, QStringLiteral("300%"));
    ui_.answerFile(path);
    w->ExportStoredBitmap();
    QCOMPARE(QImage(path).size(), QSize(1050, 750));
    QCOMPARE(QImage(path).pixel(0, 0), w->picture().pixel(0, 0));
    // A path through a plain file cannot be written.
    QVERIFY(writeWaveFile(dir_->filePath(QStringLiteral("blocker")), "x"));
    ui_.answerFile(dir_->filePath(QStringLiteral("blocker/pic.bmp")));
    w->ExportStoredBitmap();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages().last().icon, MsgIcon::Critical);
}

// The CSV and bitmap exports add their filter's suffix to a name typed
// without a dot, in either language; a name with one stays as typed.
void TestFrmOpenWaveform::exportNames_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::newRow("CSV, English") << 1 << true << "out" << "CSV Files (*.csv)" << "out.csv";
    QTest::newRow("CSV, Chinese") << 0 << true << "输出" << "CSV文件 (*.csv)" << "输出.csv";
    QTest::newRow("CSV, suffix typed") << 1 << true << "out.txt" << "CSV Files (*.csv)" << "out.txt";
    QTest::newRow("bitmap, English") << 1 << false << "pic" << "BitMap Files (*.bmp)" << "pic.bmp";
    QTest::newRow("bitmap, Chinese") << 0 << false << "图" << "位图文件 (*.bmp)" << "图.bmp";
    QTest::newRow("bitmap, suffix typed") << 0 << false << "pic.img" << "位图文件 (*.bmp)" << "pic.img";
    // A trailing dot is part of the name the dialog confirmed: no suffix after it.
    QTest::newRow("CSV, trailing dot") << 1 << true << "shot." << "CSV Files (*.csv)" << "shot.";
    QTest::newRow("bitmap, trailing dot") << 1 << false << "shot." << "BitMap Files (*.bmp)" << "shot.";
}

void TestFrmOpenWaveform::exportNames()
{
    QFETCH(int, lang);
    QFETCH(bool, csv);
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    app().texts.LanguageIndex = lang;
    QTemporaryDir out;
    ui_.answerFile(out.filePath(typed));
    (csv ? w->FlatBttn3 : w->FlatBttn4)->click();
    QCOMPARE(ui_.fileDialogs().last().request.filter, filter);
    QVERIFY(ui_.messages().isEmpty());
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{written});
    QFile f(out.filePath(written));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(2), csv ? QByteArray("X,") : QByteArray("BM"));
}

void TestFrmOpenWaveform::printAndPreview()
{
    frmOpenWaveform *w = openWindow();
    ui_.answerFile(goodFile());
    w->OpenWaveformFile();
    w->ChkCursorX->click();
    typeZoom(w->ZoomCombo, QStringLiteral("100%"));
    StoredCursors &c = w->cursors();
    c.X1 = 3; // 100 at 100 %
    w->RedrawWave();
    w->cmdPrint->click();
    QCOMPARE(printer_->runs.size(), 1);
    const RecordingPrinter::Run &run = printer_->runs[0];
    QCOMPARE(run.kind, PrintJobKind::StoredWave);
    QVERIFY(!run.preview);
    QCOMPARE(run.image.size(), QSize(700, 500));
    QCOMPARE(run.layout, printPageLayout());
    QCOMPARE(run.title, w->windowTitle()); // the job's name: the window's caption
    // The cursor is drawn at its graticule place at 200 %: (100 - 25) * 2 + 25.
    QCOMPARE(run.image.pixelColor(172, 25), QColor(230, 200, 150)); // its top marker
    QCOMPARE(run.image.pixelColor(97, 25), QColor(192, 192, 192));  // the frame, not a marker
    QCOMPARE(w->cursorLines().x1, 100.0); // and stays where it was in the window
    QCOMPARE(w->zoomFactor(), 1.0);
    QCOMPARE(w->picture().size(), QSize(350, 250));
    QCOMPARE(QImage(printPicturePath(), "BMP").size(), QSize(700, 500));
    // At 300 % a cursor at 800 comes to (800 - 25) / 1050 * 700 + 25, and stays 800.
    typeZoom(w->ZoomCombo, QStringLiteral("300%"));
    c.X1 = (800.0 - 25) / 75;
    w->cmdPreview->click();
    QCOMPARE(printer_->runs.size(), 2);
    QVERIFY(printer_->runs[1].preview);
    QCOMPARE(printer_->runs[1].layout, printPageLayout());
    QCOMPARE(printer_->runs[1].image.pixelColor(539, 25), QColor(230, 200, 150));
    QCOMPARE(w->cursorLines().x1, 800.0);
    QVERIFY(ui_.messages().isEmpty());
    QVERIFY(printer_->holds(PrintJobKind::StoredWave));
    CloseStoredWaveWindow(0); // the unload releases the document
    QVERIFY(!printer_->holds(PrintJobKind::StoredWave));
}

void TestFrmOpenWaveform::printFailures()
{
    frmOpenWaveform *w = openWindow();
    printer_->failWith = QStringLiteral("The printer reported an error.");
    w->PreviewStoredPicture(); // a preview says nothing
    QVERIFY(ui_.messages().isEmpty());
    w->PrintStoredPicture();
    QCOMPARE(ui_.messages().size(), 1);
    QCOMPARE(ui_.messages()[0].text, QStringLiteral("The printer reported an error."));
    QCOMPARE(ui_.messages()[0].icon, MsgIcon::None);
    QCOMPARE(w->zoomFactor(), 2.0);
}

QTEST_MAIN(TestFrmOpenWaveform)
#include "tst_frmopenwaveform.moc"
