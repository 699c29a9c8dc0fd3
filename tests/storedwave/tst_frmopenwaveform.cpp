// The viewer window offscreen against generated waveform files: start-up,
// opening, refused and cancelled files, zoom, scale stepping with its repeat,
// Reset, grid and colour, scrolling, captions and the data sheet's calls.

#include "storedwave/wavemaker.h"

#include "app/appstate.h"
#include "common/constants.h"
#include "platform/clock.h"
#include "platform/ui/scriptedui.h"
#include "storedwave/frmopenwaveform.h"
#include "storedwave/scalestep.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedwavecaptions.h"
#include "storedwave/wavefile.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

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
    void cancelledOpenChangesNothing();
    void fileWithoutBlocksKeepsTheCaption();
    void openingNeverMarksTheSheet();
    void zoomText_data();
    void zoomText();
    void voltsPerDivStepping();
    void holdingRepeatsEvery200ms();
    void endOfTheSequenceStillMarksTheSheet();
    void timeDivStepping();
    void alternateTriggerPanel();
    void resetRestoresTheSnapshot();
    void gridAndColour();
    void scrollBars();
    void captionsInBothLanguages();
    void movedToAnotherSlot();
    void busyWhileLoading();

private:
    frmOpenWaveform *openWindow(int slot = 0);
    QString writeWave(const QString &name, const WaveSpec &spec);
    QString goodFile();

    VirtualClock clock_;
    ScriptedUi ui_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestFrmOpenWaveform::init()
{
    resetApp();
    setAppClock(&clock_);
    ui_.clear();
    setUi(&ui_);
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

void TestFrmOpenWaveform::fileWithoutBlocksKeepsTheCaption()
{
    frmOpenWaveform *w = openWindow();
    WaveSpec none;
    none.ch1Present = 0;
    ui_.answerFile(writeWave(QStringLiteral("none.wfm"), none));
    w->OpenWaveformFile();
    QVERIFY(!app().Sheet.StoredWaves[0].HasData);
    QCOMPARE(w->windowTitle(), QStringLiteral("Memory Wave0"));
    QVERIFY(app().Sheet.Modified);
    QVERIFY(w->txtTimeDiv->isHidden());
}

void TestFrmOpenWaveform::openingNeverMarksTheSheet()
{
    StoredWave &r = app().Sheet.StoredWaves[1];
    QVERIFY(ParseWaveFile(waveFile(WaveSpec{}), QStringLiteral("/x.wfm"), r) == WaveFileError::None);
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

void TestFrmOpenWaveform::zoomText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("no percent sign") << QStringLiteral("150") << 2.0 << QStringLiteral("200%") << true;
    QTest::newRow("not a number") << QStringLiteral("abc%") << 2.0 << QStringLiteral("200%") << true;
    QTest::newRow("percent alone") << QStringLiteral("%") << 2.0 << QStringLiteral("200%") << true;
    QTest::newRow("50%") << QStringLiteral("50%") << 0.5 << QStringLiteral("50%") << false;
    QTest::newRow("150%") << QStringLiteral("150%") << 1.5 << QStringLiteral("150%") << false;
    QTest::newRow("0% is held at 1%") << QStringLiteral("0%") << 0.01 << QStringLiteral("1%") << false;
    QTest::newRow("-20% is held at 1%") << QStringLiteral("-20%") << 0.01 << QStringLiteral("1%") << false;
    QTest::newRow("1000% is accepted") << QStringLiteral("1000%") << 10.0 << QStringLiteral("1000%") << false;
    QTest::newRow("beyond 1000% is held there") << QStringLiteral("5000%") << 10.0 << QStringLiteral("1000%") << false;
    QTest::newRow("huge") << QStringLiteral("1e300%") << 10.0 << QStringLiteral("1000%") << false;
}

void TestFrmOpenWaveform::zoomText()
{
    QFETCH(QString, text);
    QFETCH(double, zoom);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    frmOpenWaveform *w = openWindow();
    w->ZoomCombo->setEditText(text); // an edit runs the check at once
    QCOMPARE(w->zoomFactor(), zoom);
    QCOMPARE(w->ZoomCombo->currentText(), shown);
    QCOMPARE(ui_.messages().size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(ui_.messages()[0].text, QStringLiteral("Invalid Zoom Factor!"));
        QCOMPARE(ui_.messages()[0].icon, MsgIcon::Exclamation);
    }
    QCOMPARE(w->picture().size(), StoredPicture::pictureSize(zoom)); // 350 Z x 250 Z, halves to even
    QVERIFY(!app().Sheet.Modified);
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
    w->ZoomCombo->setEditText(QStringLiteral("400%"));
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

QTEST_MAIN(TestFrmOpenWaveform)
#include "tst_frmopenwaveform.moc"
