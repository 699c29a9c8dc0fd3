// The waveform window offscreen against the simulator through the real
// transfer engine: the first tick and the source boxes, the display boxes and
// the modified flag, zoom texts, single and continuous refresh on the virtual
// clock (and the one continuous refresh of the program), closing while busy,
// F5, the traces of CH1, CH2, MATH, FFT, X-Y and roll where they belong in the
// picture, the captions in both languages, and renders for a person to look at.

#include "link/linkfixture.h"
#include "support/scaleink.h"
#include "support/zoomtyping.h"

#include "common/constants.h"
#include "datasheet/datasheetfile.h"
#include "platform/settingsstore.h"
#include "shell/frmmain.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "values/rounding.h"
#include "wave/frmwave.h"
#include "wave/wavecaptions.h"
#include "wave/wavecanvas.h"
#include "wave/wavemarkers.h"
#include "wave/wavetraces.h"
#include "wave/wavezoom.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int countLines(const QList<QByteArray> &lines, const QByteArray &line)
{
    return int(std::count(lines.begin(), lines.end(), line));
}

WaveDrawEnv envOf(frmWave *w)
{
    return WaveDrawEnv{w->zoomFactor(), app().link.LaModel};
}

// Share of the vertices whose pixel in the picture has the colour.
double shareOn(const QImage &img, const QList<QPointF> &v, const QColor &colour)
{
    if (v.isEmpty())
        return 0;
    int hits = 0;
    for (const QPointF &p : v) {
        const QPoint px = WaveCanvas::pixel(p.x(), p.y());
        if (img.rect().contains(px) && img.pixelColor(px) == colour)
            ++hits;
    }
    return double(hits) / v.size();
}

} // namespace

class TestFrmWave : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;
    QTemporaryDir dir_;

    frmWave *openItem(int slot = 0, const QString &name = QStringLiteral("Wave0"))
    {
        DataSheet &s = app().Sheet;
        s.WaveDocCount = qint16(qMax(int(s.WaveDocCount), slot + 1));
        s.WaveDocs[size_t(slot)].Name = name;
        s.WaveDocs[size_t(slot)].setNewItemDefaults();
        frmWave *w = ShowWaveWindow(slot, true);
        fx->clock.advance(1); // the first tick of the state timer
        return w;
    }

    WaveDoc &doc(int slot = 0) { return app().Sheet.WaveDocs[size_t(slot)]; }

    // Connects over VISA with both channels shown on the instrument.
    void connectVisa()
    {
        fx->useVisa();
        sim(":CHANNEL2:DISPLAY ON");
        QVERIFY(fx->connect());
    }

    void setDisplays(bool ch1, bool ch2, bool math, bool la)
    {
        CtrlSettings &s = app().Settings;
        auto w = [](bool on) { return word(on ? Word::WordOn : Word::WordOff); };
        s.CH1Display = w(ch1);
        s.CH2Display = w(ch2);
        s.MathDisplay = w(math);
        s.LADisplay = w(la);
    }

    void sim(const char *line) { fx->sim.handle(line, Qm4100Sim::Framing::VisaUsb); }

    // The rows the simulator's displayed volts of a channel give.
    QList<double> simRows(int channel)
    {
        const double scale = fx->sim.setting(channel == 1 ? ":CHANNEL1:SCALE" : ":CHANNEL2:SCALE").toDouble();
        const double offset = fx->sim.setting(channel == 1 ? ":CHANNEL1:OFFSET" : ":CHANNEL2:OFFSET").toDouble();
        QList<double> out;
        for (double v : fx->sim.channelVolts(channel))
            out << 100.0 - 25.0 * (v + offset) / scale;
        return out;
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Refreshes the window once over VISA (the refresh type Single).
    void refreshOnce(frmWave *w)
    {
        app().shell.RefreshType = QStringLiteral("Single");
        w->cmdRefresh->click();
    }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        setSettingsFile(dir_.filePath("Kelvoscope.ini")); // a language switch stores the language
        setDisplays(true, true, false, false);
        app().shell.RefreshType = QStringLiteral("Single");
        app().shell.RefreshInterval = 1000;
        app().link.LaModel = 1;
    }
    void cleanup()
    {
        for (int i = 0; i < DataSheet::WaveSlots; ++i)
            if (QWidget *w = app().Sheet.WaveForms[size_t(i)])
                delete static_cast<frmWave *>(w)->frame();
        flushDeletes();
        fx.reset();
        setSettingsFile(QString());
    }

    // --- opening, boxes, display choices -----------------------------------

    void firstTickShowsEmptyGraticule()
    {
        frmWave *w = ShowWaveWindow(0, true);
        app().Sheet.WaveDocCount = 1;
        doc().setNewItemDefaults();
        QVERIFY(w->initPending());
        QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("150%"));
        QCOMPARE(w->picture().size(), QSize(381, 333)); // not sized before the first tick
        QVERIFY(!doc().WindowOpen);
        fx->clock.advance(1);
        QVERIFY(!w->initPending());
        QVERIFY(doc().WindowOpen);
        QVERIFY(!app().Sheet.Modified); // opening never marks the sheet
        QCOMPARE(w->timer1().interval(), 500);
        // Best fit: the zoom follows the container and the box shows it, disabled.
        QVERIFY(w->BestFitChk->isChecked());
        QVERIFY(!w->ZoomCombo->isEnabled());
        const double z = w->zoomFactor();
        QCOMPARE(z, BestFitZoom(w->BackPic->width(), w->BackPic->height()));
        QCOMPARE(w->ZoomCombo->currentText(), ZoomText(z));
        QCOMPARE(w->picture().size(), QSize(int(RoundHalfEven(350 * z)), int(RoundHalfEven(250 * z))));
        // A new item has no source: the first enabled box is ticked for it.
        QVERIFY(w->ChkCH[0]->isChecked() && doc().ShowCH1);
        QVERIFY(!w->ChkCH[1]->isChecked() && !doc().ShowCH2);
        // The empty graticule in the colour scheme with the grid.
        QCOMPARE(w->picture().pixelColor(100, 25), QColor(192, 192, 192));
        QCOMPARE(w->picture().pixelColor(5, 5), QColor(0, 0, 0));
        QVERIFY(w->OptionColor[0]->isChecked() && w->GridCheck->isChecked());
        QCOMPARE(ShowWaveWindow(0, true), w); // raised, not made again
    }

    void boxesFollowDisplayWords_data()
    {
        QTest::addColumn<QList<bool>>("words");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::addColumn<QList<bool>>("ticked");
        using L = QList<bool>;
        QTest::newRow("all on: all enabled") << L{true, true, true, true} << L{true, true, true, true}
                                             << L{true, false, false, false};
        QTest::newRow("CH2 off") << L{true, false, true, true} << L{true, false, true, true}
                                 << L{true, false, false, false};
        QTest::newRow("CH1 off: CH2 ticked instead") << L{false, true, false, false} << L{false, true, false, false}
                                                     << L{false, true, false, false};
        QTest::newRow("all off: nothing ticked") << L{false, false, false, false} << L{false, false, false, false}
                                                 << L{false, false, false, false};
    }
    void boxesFollowDisplayWords()
    {
        QFETCH(QList<bool>, words);
        QFETCH(QList<bool>, enabled);
        QFETCH(QList<bool>, ticked);
        frmWave *w = openItem();
        setDisplays(words[0], words[1], words[2], words[3]);
        fx->clock.advance(500);
        const bool *flags[4] = {&doc().ShowCH1, &doc().ShowCH2, &doc().ShowMath, &doc().ShowLA};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w->ChkCH[i]->isEnabled(), enabled[i]);
            QCOMPARE(w->ChkCH[i]->isChecked(), ticked[i]);
            QCOMPARE(*flags[i], ticked[i]);
        }
    }

    // A language switch keeps the sources chosen: the display words that the
    // connection and the refresh stored follow the switch, so the state timer
    // still finds MATH shown, keeps the Math box ticked, and the next refresh
    // fetches the FFT again. Both ways, and back.
    void sourcesSurviveALanguageSwitch_data()
    {
        QTest::addColumn<int>("from");
        QTest::newRow("English to Chinese") << 1;
        QTest::newRow("Chinese to English") << 0;
    }
    void sourcesSurviveALanguageSwitch()
    {
        QFETCH(int, from);
        app().texts.LanguageIndex = from;
        ApplyLanguage(from);
        setDisplays(true, true, true, false);
        fx->sim.setFftDisplay(true);
        fx->sim.setFftFullScreen(false);
        connectVisa();
        frmWave *w = openItem();
        w->ChkCH[1]->click();
        w->ChkCH[2]->click();
        refreshOnce(w);
        QVERIFY(doc().DrawMath && doc().SplitScreen);

        for (int lang : {1 - from, from}) {
            SwitchLanguage(lang);
            const CtrlSettings &s = app().Settings;
            const QString on = wordLiteral(Word::WordOn, lang);
            QCOMPARE(QStringList({s.CH1Display, s.CH2Display, s.MathDisplay, s.FFTDisplay}),
                     QStringList({on, on, on, on}));
            QCOMPARE(s.LADisplay, wordLiteral(Word::WordOff, lang));
            fx->clock.advance(500); // the state timer
            for (int i : {0, 1, 2}) {
                QVERIFY2(w->ChkCH[i]->isEnabled() && w->ChkCH[i]->isChecked(), qPrintable(QString::number(i)));
            }
            QVERIFY(doc().ShowCH1 && doc().ShowCH2 && doc().ShowMath);
            fx->sim.clearLog();
            refreshOnce(w);
            QCOMPARE(countLines(fx->lines(), ":WAVEFORM:DATA? FFT"), 1);
            QVERIFY(doc().DrawMath && doc().SplitScreen);
            QCOMPARE(doc().FFTDisplay, on);
            QVERIFY(shareOn(w->picture(), fftTraceVertices(doc(), envOf(w)), MathColor) > 0.9);
        }
    }

    void transferTickedBoxesBehindTheWindow()
    {
        frmWave *w = openItem();
        doc().ShowCH2 = true; // as the X-Y rule of the transfer does
        fx->clock.advance(500);
        QVERIFY(w->ChkCH[1]->isChecked());
    }

    void sourceBoxSpringsBackDuringTransfer()
    {
        frmWave *w = openItem();
        app().transfer.TransferBusy = true;
        w->ChkCH[1]->click();
        QVERIFY(!w->ChkCH[1]->isChecked());
        QVERIFY(!doc().ShowCH2);
        app().transfer.TransferBusy = false;
        w->ChkCH[1]->click();
        QVERIFY(doc().ShowCH2);
        QVERIFY(!app().Sheet.Modified); // a source box never marks the sheet
    }

    void displayChoicesMarkTheSheet_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("marks");
        QTest::newRow("grid") << "GridCheck" << true;
        QTest::newRow("black and white") << "OptionColor_1" << true;
        QTest::newRow("best fit") << "BestFitChk" << true;
        QTest::newRow("cursor X") << "ChkCursorX" << false;
        QTest::newRow("source box") << "ChkCH_1" << false;
    }
    void displayChoicesMarkTheSheet()
    {
        QFETCH(QString, control);
        QFETCH(bool, marks);
        frmWave *w = openItem();
        auto *b = w->findChild<QAbstractButton *>(control);
        QVERIFY(b);
        b->click();
        QCOMPARE(app().Sheet.Modified, marks);
    }

    void gridAndColourReachThePicture()
    {
        frmWave *w = openItem();
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("100%"));
        const QColor grey(192, 192, 192);
        // A grid dot off the frame and the axes: (50, 50).
        QCOMPARE(w->picture().pixelColor(50, 50), grey);
        w->GridCheck->click();
        QVERIFY(!doc().GridShown);
        QCOMPARE(w->picture().pixelColor(50, 50), QColor(0, 0, 0));
        w->OptionColor[1]->click();
        QVERIFY(!doc().ColorMode);
        QCOMPARE(w->picture().pixelColor(5, 5), QColor(255, 255, 255));
        QCOMPARE(w->picRefreshProgress->palette().color(QPalette::Window), QColor(255, 255, 255));
        QCOMPARE(w->LblRefreshValue->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        w->OptionColor[0]->click();
        QCOMPARE(w->LblRefreshText->palette().color(QPalette::WindowText), QColor(255, 255, 192));
        QCOMPARE(w->LblRefreshValue->palette().color(QPalette::WindowText), QColor(0, 255, 255));
    }

    void bestFitOffKeepsTheZoom()
    {
        frmWave *w = openItem();
        const double fitted = w->zoomFactor();
        w->BestFitChk->click();
        QVERIFY(!doc().BestFit);
        QVERIFY(w->ZoomCombo->isEnabled());
        QCOMPARE(w->zoomFactor(), fitted);
    }

    // A typed factor is checked and applied when it is committed, by Enter or
    // by the focus leaving the box, with or without its "%"; a wrong one is
    // reported once and the box shows the zoom again.
    void zoomTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("commit");
        QTest::addColumn<double>("zoom"); // -1: message 11, the zoom stays
        for (auto [how, commit] : {std::pair{"Enter", ZoomCommit::Enter}, std::pair{"focus", ZoomCommit::FocusLeaves}}) {
            QTest::addRow("120%%, %s", how) << "120%" << int(commit) << 1.2;
            QTest::addRow("120 without %%, %s", how) << "120" << int(commit) << 1.2;
            QTest::addRow("blanks around, %s", how) << " 250 % " << int(commit) << 2.5;
            QTest::addRow("floor, %s", how) << "0.5" << int(commit) << 0.01;
            QTest::addRow("letters, %s", how) << "abc%" << int(commit) << -1.0;
            QTest::addRow("letters, no %%, %s", how) << "12a" << int(commit) << -1.0;
            QTest::addRow("percent alone, %s", how) << "%" << int(commit) << -1.0;
            QTest::addRow("above 1000%%, %s", how) << "100000%" << int(commit) << -1.0;
        }
    }
    void zoomTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, commit);
        QFETCH(double, zoom);
        frmWave *w = openItem();
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("200%"));
        QCOMPARE(w->zoomFactor(), 2.0);
        fx->fakeUi.clear();
        typeZoom(w->ZoomCombo, text, ZoomCommit::None);
        // Typing alone checks and applies nothing.
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QCOMPARE(w->zoomFactor(), 2.0);
        QCOMPARE(w->picture().size(), QSize(700, 500));
        typeZoom(w->ZoomCombo, text, ZoomCommit(commit));
        if (zoom < 0) {
            QCOMPARE(fx->fakeUi.messages().size(), 1);
            QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Invalid Zoom Factor!"));
            QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Exclamation);
            QCOMPARE(w->zoomFactor(), 2.0);
            QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("200%")); // shows the zoom again
            QCOMPARE(w->picture().size(), QSize(700, 500));
            // The focus leaving the restored box afterwards reports nothing more.
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(w->ZoomCombo->lineEdit(), &out);
            QCOMPARE(fx->fakeUi.messages().size(), 1);
        } else {
            QVERIFY(fx->fakeUi.messages().isEmpty());
            QCOMPARE(w->zoomFactor(), zoom);
            QCOMPARE(w->ZoomCombo->currentText(), ZoomText(zoom));
            QCOMPARE(w->picture().size(), QSize(int(RoundHalfEven(350 * zoom)), int(RoundHalfEven(250 * zoom))));
        }
    }

    // The scale texts under the graticule never run into each other, at any
    // zoom: in the colour scheme each text has its own colour (CH1 yellow, CH2
    // cyan, the time/div white, the delay orange), and the columns each colour
    // inks in the row stay apart.
    void scaleTextsNeverRunTogether_data()
    {
        QTest::addColumn<QString>("zoom");
        for (const char *z : {"70%", "75%", "80%", "90%", "100%", "150%"})
            QTest::newRow(z) << QString::fromLatin1(z);
    }
    void scaleTextsNeverRunTogether()
    {
        QFETCH(QString, zoom);
        connectVisa();
        sim(":TIMEBASE:SCALE 0.00001");
        sim(":TIMEBASE:DELAY 0.000002");
        frmWave *w = openItem();
        refreshOnce(w);
        QVERIFY(doc().HasData && doc().ColorMode);
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, zoom);
        const double Z = w->zoomFactor();
        QCOMPARE(Z, ParseZoomText(zoom).value());
        const auto spans = scaleInkSpans(w->picture(), int(std::floor(200 * Z + 25)) + 2, int(203 * Z + 25) + 12);
        QString why;
        const QList<int> seen = scaleInksApart(spans, 3, &why);
        QVERIFY2(seen.size() >= 3, qPrintable(why));
        QVERIFY(spans[InkWhite].seen()); // the time/div stays
    }

    // A factor typed key by key is the factor applied: the box completes
    // nothing from its list ("3" stays "3", not "300%"), and the list still
    // offers its choices.
    void slowTypingAppliesTheTypedFactor_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("zoom");
        QTest::newRow("3") << "3" << 0.03;
        QTest::newRow("30") << "30" << 0.3;
        QTest::newRow("5") << "5" << 0.05;
        QTest::newRow("12") << "12" << 0.12;
        QTest::newRow("40") << "40" << 0.4;
        QTest::newRow("2%") << "2%" << 0.02;
        QTest::newRow("150 as in the list") << "150" << 1.5;
    }
    void slowTypingAppliesTheTypedFactor()
    {
        QFETCH(QString, typed);
        QFETCH(double, zoom);
        frmWave *w = openItem();
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("200%"));
        QCOMPARE(w->zoomFactor(), 2.0);
        typeZoomSlowly(w->ZoomCombo, typed);
        QTest::keyClick(w->ZoomCombo->lineEdit(), Qt::Key_Return);
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QCOMPARE(w->zoomFactor(), zoom);
        QCOMPARE(w->ZoomCombo->currentText(), ZoomText(zoom));
        QCOMPARE(w->ZoomCombo->count(), int(std::size(ZoomChoices)));
        // A choice from the list still applies at once.
        w->ZoomCombo->setCurrentIndex(7);
        emit w->ZoomCombo->activated(7);
        QCOMPARE(w->zoomFactor(), 3.0);
    }

    // Editing inside a factor goes through texts that are not the one meant
    // ("30%" on the way from "300%" to "350%"): none of them is applied or
    // reported, in either language. A choice from the list applies at once.
    void zoomEditsAndChoices_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("invalid");
        QTest::newRow("English") << 1 << QStringLiteral("Invalid Zoom Factor!");
        QTest::newRow("Chinese") << 0 << QStringLiteral("无效缩放因子！");
    }
    void zoomEditsAndChoices()
    {
        QFETCH(int, lang);
        QFETCH(QString, invalid);
        app().texts.LanguageIndex = lang;
        LoadMessageTable(lang);
        frmWave *w = openItem();
        w->BestFitChk->click();
        QCOMPARE(w->ZoomCombo->currentText(), ZoomText(w->zoomFactor()));
        // A choice from the list (the arrow keys walk it): 150 % -> 200 % at once.
        w->ZoomCombo->setCurrentIndex(ZoomChoiceAtLoad);
        typeZoom(w->ZoomCombo, QStringLiteral("150%"));
        QTest::keyClick(w->ZoomCombo, Qt::Key_Down);
        QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("200%"));
        QCOMPARE(w->zoomFactor(), 2.0);
        QCOMPARE(w->picture().size(), QSize(700, 500));
        // 300 % -> 350 %: delete one "0", type "5"; "30%" on the way is not applied.
        typeZoom(w->ZoomCombo, QStringLiteral("300%"));
        QCOMPARE(w->zoomFactor(), 3.0);
        QLineEdit *edit = w->ZoomCombo->lineEdit();
        edit->setCursorPosition(2);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("30%"));
        QCOMPARE(w->zoomFactor(), 3.0);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(edit->text(), QStringLiteral("350%"));
        QCOMPARE(w->zoomFactor(), 3.0);
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w->zoomFactor(), 3.5);
        QCOMPARE(w->picture().size(), QSize(1225, 875));
        QVERIFY(fx->fakeUi.messages().isEmpty());
        // A wrong factor: the message in the language in force, once.
        typeZoom(w->ZoomCombo, QStringLiteral("x"));
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].text, invalid);
        QCOMPARE(w->ZoomCombo->currentText(), QStringLiteral("350%"));
        QCOMPARE(w->zoomFactor(), 3.5);
    }

    // The bars of a zoomed picture lie flush along the container's bottom and
    // right edges, the square between them covered, so that no strip of the
    // picture shows beside them; scrolled to an end, the picture's far edge
    // meets the other bar.
    void scrollBarsMoveThePicture()
    {
        frmWave *w = openItem();
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("500%")); // far larger than the container
        QVERIFY(w->HScroll->isVisibleTo(w) && w->VScroll->isVisibleTo(w));
        const QRect back = w->BackPic->geometry();
        const QRect h = w->HScroll->geometry(), v = w->VScroll->geometry();
        QCOMPARE(h.left(), back.left());
        QCOMPARE(h.bottom(), back.bottom());
        QCOMPARE(h.right() + 1, v.left());
        QCOMPARE(v.top(), back.top());
        QCOMPARE(v.right(), back.right());
        QCOMPARE(v.bottom() + 1, h.top());
        auto *corner = w->findChild<QWidget *>(QStringLiteral("ScrollCorner"));
        QVERIFY2(corner && corner->isVisibleTo(w), "the square between the bars shows the picture");
        QCOMPARE(corner->geometry(), QRect(v.left(), h.top(), v.width(), h.height()));
        w->HScroll->setValue(100);
        QCOMPARE(w->BackPic->x() + w->WavePic->x() + w->WavePic->width(), v.left());
        w->VScroll->setValue(100);
        QCOMPARE(w->BackPic->y() + w->WavePic->y() + w->WavePic->height(), h.top());
        // The progress box follows the picture's graticule.
        QCOMPARE(w->picRefreshProgress->pos(), progressBoxPlace(w->WavePic->pos(), 5.0));
        w->HScroll->setValue(0);
        QCOMPARE(w->WavePic->x(), 0);
    }

    // The wheel over a zoomed picture scrolls it: down and up, across with
    // Shift or a sideways wheel; a picture that fits does not move.
    void mouseWheelScrollsAZoomedPicture()
    {
        frmWave *w = openItem();
        const auto wheel = [w](QPoint delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            const QPointF at(20, 20);
            QWheelEvent e(at, w->WavePic->mapToGlobal(at), QPoint(), delta, Qt::NoButton, mods, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w->WavePic, &e);
        };
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("500%"));
        QCOMPARE(w->WavePic->pos(), QPoint(0, 0));
        wheel(QPoint(0, -120));
        QVERIFY(w->VScroll->value() > 0);
        QVERIFY(w->WavePic->y() < 0);
        QCOMPARE(w->WavePic->x(), 0);
        wheel(QPoint(0, -120), Qt::ShiftModifier);
        QVERIFY(w->HScroll->value() > 0);
        QVERIFY(w->WavePic->x() < 0);
        const int across = w->HScroll->value();
        wheel(QPoint(-120, 0));
        QVERIFY(w->HScroll->value() > across);
        for (int i = 0; i < 50; ++i)
            wheel(QPoint(0, 120));
        QCOMPARE(w->VScroll->value(), 0);
        QCOMPARE(w->WavePic->y(), 0);

        typeZoom(w->ZoomCombo, QStringLiteral("50%"));
        QVERIFY(!w->VScroll->isVisibleTo(w));
        wheel(QPoint(0, -120));
        QCOMPARE(w->WavePic->pos(), QPoint(0, 0));
    }

    // A window lower than its control column (tiled, or made small): the
    // column scrolls, so the cursor and output frames can be reached, and the
    // picture's container stays clear of it.
    void controlColumnScrollsInALowWindow()
    {
        frmWave *w = openItem();
        w->show();
        w->resize(640, 260);
        QCoreApplication::processEvents();
        QScrollArea *column = nullptr;
        for (QWidget *p = w->cmdPreview->parentWidget(); p && p != w; p = p->parentWidget())
            if (auto *a = qobject_cast<QScrollArea *>(p))
                column = a;
        QVERIFY2(column, "the control column does not scroll");
        QVERIFY(column->verticalScrollBar()->isVisible());
        QVERIFY(column->geometry().bottom() < w->height());
        QVERIFY(w->BackPic->x() > column->geometry().right());
        for (QWidget *c : std::initializer_list<QWidget *>{w->ChkCursorX, w->ChkCursorY, w->cmdExport, w->cmdPrint,
                                                           w->cmdPreview}) {
            column->ensureWidgetVisible(c, 0, 0);
            QCoreApplication::processEvents();
            const QRect r(c->mapTo(column->viewport(), QPoint(0, 0)), c->size());
            QVERIFY2(column->viewport()->rect().contains(r), qPrintable(c->objectName()));
        }
        // Tall enough again: no bar, the column as designed.
        w->resize(640, 700);
        QCoreApplication::processEvents();
        QVERIFY(!column->verticalScrollBar()->isVisible());
        QVERIFY(w->rect().contains(QRect(w->cmdPreview->mapTo(w, QPoint(0, 0)), w->cmdPreview->size())));
    }

    // --- refresh against the simulator ---------------------------------------

    void singleRefreshDrawsCh1SineAndCh2Square()
    {
        connectVisa();
        sim(":TIMEBASE:SCALE 2e-4"); // two and a half periods on screen
        frmWave *w = openItem();
        w->ChkCH[1]->click();
        bool disabledDuringLoad = false, progressShown = false;
        setPump([&] {
            if (app().transfer.TransferBusy && !w->cmdRefresh->isEnabled())
                disabledDuringLoad = true;
            progressShown = progressShown || w->picRefreshProgress->isVisible();
            fx->serial->pumpOnce(fx->clock);
        });
        refreshOnce(w);
        QVERIFY(disabledDuringLoad && progressShown);
        QVERIFY(w->cmdRefresh->isEnabled());
        QVERIFY(!w->picRefreshProgress->isVisible()); // hidden when the transfer ends
        QCOMPARE(w->LblRefreshValue->text(), QStringLiteral("100%"));
        QVERIFY(!app().wave.WaveBusy);
        QVERIFY(doc().HasData && app().Sheet.Modified);
        QVERIFY(doc().DrawCH1 && doc().DrawCH2);
        QCOMPARE(countLines(fx->lines(), ":WAVEFORM:DATA? CHANNEL1"), 1);

        // The rows are the simulator's signals: a sine of 2 Vpp and a square of
        // 1 Vpp at 1 V/div about the centre row.
        const QList<double> ch1 = simRows(1), ch2 = simRows(2);
        for (int i = 1; i <= 600; ++i) {
            QVERIFY2(qAbs(doc().CH1Rows[i] - ch1[i - 1]) <= 1.0, qPrintable(QString::number(i)));
            QVERIFY2(qAbs(doc().CH2Rows[i] - ch2[i - 1]) <= 1.0, qPrintable(QString::number(i)));
        }
        QCOMPARE(*std::min_element(doc().CH1Rows.begin() + 1, doc().CH1Rows.begin() + 601), 75);
        QCOMPARE(*std::max_element(doc().CH1Rows.begin() + 1, doc().CH1Rows.begin() + 601), 125);

        // The picture holds them where the trace walk puts them.
        const QImage &img = w->picture();
        const QList<QPointF> v1 = analogTraceVertices(doc(), AnalogTrace::CH1, envOf(w));
        const QList<QPointF> v2 = analogTraceVertices(doc(), AnalogTrace::CH2, envOf(w));
        QCOMPARE(v1.size(), 599);
        QVERIFY(shareOn(img, v2, CH2Color) > 0.99); // CH2 is drawn after CH1
        // CH1 where CH2 does not pass: away from its levels and its edges.
        const double Z = w->zoomFactor();
        QList<double> edges;
        for (int i = 1; i < v2.size(); ++i)
            if (qAbs(v2[i].y() - v2[i - 1].y()) > 3 * Z)
                edges << v2[i].x();
        QCOMPARE(edges.size(), 5); // the square's edges over 2.4 periods
        QList<QPointF> ch1Only;
        for (int i = 0; i < v1.size(); ++i) {
            const bool nearEdge = std::any_of(edges.begin(), edges.end(), [&](double x) { return qAbs(x - v1[i].x()) <= 2; });
            if (qAbs(v1[i].y() - v2[i].y()) > 3 * Z && !nearEdge)
                ch1Only << v1[i];
        }
        QVERIFY(ch1Only.size() > 300);
        QCOMPARE(shareOn(img, ch1Only, CH1Color), 1.0);
    }

    void mathFftXyAndRoll_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("MATH") << "math";
        QTest::newRow("FFT full screen") << "fft full";
        QTest::newRow("FFT split") << "fft split";
        QTest::newRow("X-Y") << "xy";
        QTest::newRow("roll") << "roll";
    }
    void mathFftXyAndRoll()
    {
        QFETCH(QString, mode);
        connectVisa();
        sim(":TIMEBASE:SCALE 2e-4");
        const bool fft = mode.startsWith(QLatin1String("fft"));
        if (mode == QLatin1String("math") || fft) {
            fx->sim.setMathDisplay(true);
            setDisplays(true, true, true, false);
        }
        if (fft) {
            fx->sim.setFftDisplay(true);
            fx->sim.setFftFullScreen(mode == QLatin1String("fft full"));
        }
        if (mode == QLatin1String("xy"))
            sim(":TIMEBASE:FORMAT XY");
        if (mode == QLatin1String("roll")) {
            sim(":TIMEBASE:SCALE 0.5"); // slow enough to roll
            sim(":TIMEBASE:FORMAT SCANNING");
        }
        frmWave *w = openItem();
        if (mode == QLatin1String("math") || fft)
            w->ChkCH[2]->click();
        refreshOnce(w);
        const WaveDoc &d = doc();
        QVERIFY(d.HasData);
        const QImage &img = w->picture();
        const WaveDrawEnv env = envOf(w);
        const double Z = w->zoomFactor();
        if (mode == QLatin1String("math")) {
            QVERIFY(d.DrawMath && d.Setup.MathValid == 1);
            QVERIFY(shareOn(img, analogTraceVertices(d, AnalogTrace::Math, env), MathColor) > 0.9);
        } else if (fft) {
            QCOMPARE(d.FFTDisplay, word(Word::WordOn));
            const bool full = mode == QLatin1String("fft full");
            QCOMPARE(d.SplitScreen, !full);
            const QList<QPointF> v = fftTraceVertices(d, env);
            QVERIFY(v.size() > 100);
            QVERIFY(shareOn(img, v, MathColor) > 0.9);
            const QList<QPointF> ch1 = analogTraceVertices(d, AnalogTrace::CH1, env);
            for (const QPointF &p : ch1)
                QVERIFY(full || p.y() <= 100 * Z + 25); // the channels in the upper half
            for (const QPointF &p : v)
                QVERIFY(full || p.y() >= 100 * Z + 25); // the FFT in the lower half
            // The instrument's setup block names the FFT, so its scale is labelled
            // as the FFT's, not as MATH's.
            QCOMPARE(int(d.Setup.MathOperation), 3);
            QStringList texts;
            for (const WaveShape &sh : MathLabelShapes(MathColor, Z, d.Setup, d.TrigMode, d.FFTDisplay))
                if (sh.kind == WaveShape::Text)
                    texts << sh.text;
            QVERIFY2(texts.join(u'|').contains(QLatin1String("FFT 20.0dBVrms/div")), qPrintable(texts.join(u'|')));
            QVERIFY(!texts.join(u'|').contains(QLatin1String("Math scale")));
        } else if (mode == QLatin1String("xy")) {
            QVERIFY(d.XYFormat && d.ShowCH1 && d.ShowCH2);
            const QList<QPointF> v = xyPoints(d, Z);
            QCOMPARE(v.size(), 600);
            QVERIFY(shareOn(img, v, QColor(0, 255, 0)) > 0.99);
            // The figure lies where the signals put it: CH1 across, mirrored.
            const QList<double> ch1 = simRows(1);
            QVERIFY(qAbs(v[10].x() - ((250 - ch1[10]) * Z + 25)) <= Z + 1);
        } else {
            QVERIFY(d.RollMode && !d.YTFormat && !d.XYFormat);
            const QList<QPointF> v = analogTraceVertices(d, AnalogTrace::CH1, env);
            QVERIFY(!v.isEmpty());
            QVERIFY(v.last().x() <= (d.Setup.LastPoint + 1) * Z + 25);
            QVERIFY(shareOn(img, v, CH1Color) > 0.9);
        }
    }

    // The n-th query (from 1) of the simulator's log that equals line; 0 when
    // none does.
    int queryNumber(const QByteArray &line) const
    {
        int n = 0;
        for (const Qm4100Sim::LogEntry &e : fx->sim.log()) {
            n += e.query ? 1 : 0;
            if (e.query && e.line == line)
                return n;
        }
        return 0;
    }

    // Connects over the link asked for, with CH1 and CH2 shown on the
    // instrument and ticked in item 0, and refreshes it once.
    frmWave *refreshedItem(bool serial)
    {
        if (serial)
            fx->useSerial();
        else
            fx->useVisa();
        sim(":CHANNEL2:DISPLAY ON");
        if (!fx->connect())
            return nullptr;
        sim(":TIMEBASE:SCALE 2e-4");
        frmWave *w = openItem();
        w->ChkCH[1]->click();
        fx->sim.clearLog();
        refreshOnce(w);
        return w;
    }

    // Faults that keep a refresh's blocks away: the simulator's log must hold
    // the good refresh before.
    void failBlocks(const QString &fault)
    {
        Qm4100Sim::Faults faults;
        if (fault == QLatin1String("short"))
            faults.shortBlockBy = 300; // every block, the setup block too
        else if (fault == QLatin1String("setup"))
            faults.silentFromQuery = queryNumber(":SYSTEM:DATA?");
        else if (fault == QLatin1String("CH1"))
            faults.silentFromQuery = queryNumber(":WAVEFORM:DATA? CHANNEL1");
        else
            faults.silentFromQuery = queryNumber(":WAVEFORM:DATA? CHANNEL2");
        QVERIFY(faults.shortBlockBy || faults.silentFromQuery > 0);
        fx->sim.setFaults(faults);
        fx->sim.clearLog();
    }

    // A refresh whose blocks do not all come (no reply to one of them, a
    // block cut short, no setup block) leaves the item as it was: its record
    // member for member, its picture, what a save writes, the sheet not
    // modified; the user reads "Can't Read data from Device!" once, in the
    // language in force (the read that failed, or did not come in time, says
    // it and loses the link, over VISA and the serial link alike). The first
    // block that does not come ends the refresh: nothing is asked after it.
    void failedRefreshKeepsTheItem_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("lang");
        QTest::newRow("VISA, no CH2 block") << false << "CH2" << 1;
        QTest::newRow("VISA, no CH1 block, chinese") << false << "CH1" << 0;
        QTest::newRow("VISA, no setup block") << false << "setup" << 1;
        QTest::newRow("serial, no CH2 block") << true << "CH2" << 1;
        QTest::newRow("serial, no CH1 block") << true << "CH1" << 1;
        QTest::newRow("serial, no CH1 block, chinese") << true << "CH1" << 0;
        QTest::newRow("serial, short blocks") << true << "short" << 1;
        QTest::newRow("serial, no setup block") << true << "setup" << 1;
    }
    void failedRefreshKeepsTheItem()
    {
        QFETCH(bool, serial);
        QFETCH(QString, fault);
        QFETCH(int, lang);
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
        setDisplays(true, true, false, false); // in the language's words
        frmWave *w = refreshedItem(serial);
        QVERIFY(w);
        QVERIFY(doc().HasData && doc().DrawCH1 && doc().DrawCH2);
        const WaveDoc before = doc();
        const QImage picture = w->picture().copy();
        QVERIFY(shareOn(picture, analogTraceVertices(doc(), AnalogTrace::CH1, envOf(w)), CH1Color) > 0.5);
        const QByteArray file = DataSheetFileBytes(app().Sheet, DataSheetFileContext{});

        // Another picture on the instrument, which the failing refresh must
        // not bring in part.
        sim(":CHANNEL1:SCALE 2");
        sim(":TIMEBASE:SCALE 5e-4");
        failBlocks(fault);
        app().Sheet.Modified = false;
        fx->fakeUi.clear();
        refreshOnce(w);
        QVERIFY(fx->sim.count(":SYSTEM:DATA?") == 1);

        QVERIFY(doc() == before);
        QVERIFY(w->picture() == picture);
        QCOMPARE(DataSheetFileBytes(app().Sheet, DataSheetFileContext{}), file);
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        const RecordedMessage &m = fx->fakeUi.messages().first();
        QCOMPARE(m.text, lang ? QStringLiteral("Can't Read data from Device!") : QStringLiteral("不能读取设备数据！"));
        QCOMPARE(m.title, message(Msg::MsgDeviceReadTitle));
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(app().link.LampOffVisible && !app().link.LampOnVisible);
        const QByteArray failing = fault == QLatin1String("CH1")   ? QByteArray(":WAVEFORM:DATA? CHANNEL1")
                                   : fault == QLatin1String("CH2") ? QByteArray(":WAVEFORM:DATA? CHANNEL2")
                                                                   : QByteArray(":SYSTEM:DATA?");
        QCOMPARE(fx->sim.log().last().line, failing);
        QVERIFY(w->cmdRefresh->isEnabled());
    }

    // A new item whose first refresh gets no CH1 block holds nothing: no
    // trace of its own and none of another item's refresh; the other item
    // keeps its own.
    void newItemWithoutItsBlockHoldsNothing_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("VISA") << false;
        QTest::newRow("serial") << true;
    }
    void newItemWithoutItsBlockHoldsNothing()
    {
        QFETCH(bool, serial);
        frmWave *w0 = refreshedItem(serial);
        QVERIFY(w0);
        QVERIFY(doc(0).HasData && doc(0).DrawCH1);
        const WaveDoc first = doc(0);
        failBlocks(QStringLiteral("CH1"));
        frmWave *w1 = openItem(1, QStringLiteral("Wave1"));
        w1->ChkCH[1]->click(); // the same sources, so the same queries
        const WaveDoc fresh = doc(1);
        app().Sheet.Modified = false;
        refreshOnce(w1);
        QCOMPARE(fx->sim.count(":WAVEFORM:DATA? CHANNEL1"), 1);
        QVERIFY(doc(1) == fresh);
        QVERIFY(!doc(1).HasData && !doc(1).DrawCH1 && doc(1).CH1Rows.isEmpty());
        QVERIFY(!app().Sheet.Modified);
        QVERIFY(doc(0) == first);
    }

    void refusedRefreshes()
    {
        frmWave *w = openItem();
        // Not connected: message 7, nothing loaded, the button restored.
        w->cmdRefresh->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Please Connect Oscilloscope First!"));
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Exclamation);
        QVERIFY(!doc().HasData && !app().Sheet.Modified);
        QVERIFY(w->cmdRefresh->isEnabled() && !w->showsStopPictures());
        // A measure or data window refreshing continuously: the press does nothing at all.
        for (bool *other : {&app().measure.AutoRefresh.MeasAutoRefreshOn, &app().measure.AutoRefresh.DataAutoRefreshOn}) {
            fx->fakeUi.clear();
            app().wave.WaveRefreshActive = false;
            *other = true;
            w->cmdRefresh->click();
            QVERIFY(fx->fakeUi.messages().isEmpty());
            QVERIFY(!app().wave.WaveRefreshActive);
            *other = false;
        }
        // No source ticked: a connected press fetches nothing.
        connectVisa();
        setDisplays(false, false, false, false);
        fx->clock.advance(500);
        w->cmdRefresh->click();
        QVERIFY(!doc().HasData);
        QCOMPARE(countLines(fx->lines(), ":SYSTEM:DATA?"), 0);
    }

    void f5RunsRefresh_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("messages");
        QTest::newRow("F5") << int(Qt::NoModifier) << 1;
        QTest::newRow("Shift+F5") << int(Qt::ShiftModifier) << 0;
        QTest::newRow("Ctrl+F5") << int(Qt::ControlModifier) << 0;
        QTest::newRow("Alt+F5") << int(Qt::AltModifier) << 0;
    }
    void f5RunsRefresh()
    {
        QFETCH(int, modifiers);
        QFETCH(int, messages);
        frmWave *w = openItem();
        // In the zoom box too: the window sees the key first.
        w->BestFitChk->click();
        QTest::keyClick(w->ZoomCombo, Qt::Key_F5, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fx->fakeUi.messages().size(), messages); // not connected: the refresh's message
        fx->fakeUi.clear();
        QTest::keyClick(w, Qt::Key_F5, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fx->fakeUi.messages().size(), messages);
    }

    void continuousRefreshOnVirtualClock()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmWave *w = openItem();
        QList<qint64> loadStarts;
        bool stopShown = false;
        int seen = 0;
        setPump([&] {
            const int n = countLines(fx->lines(), ":WAVEFORM:DATA? CHANNEL1");
            if (n > seen) {
                seen = n;
                loadStarts << fx->clock.nowMs();
                stopShown = stopShown || (w->showsStopPictures() && doc().Refreshing);
            }
            if (seen == 3 && !app().transfer.TransferBusy && !app().wave.WaveBusy && doc().Refreshing)
                w->cmdRefresh->click(); // Stop
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QCOMPARE(loadStarts.size(), 3);
        QVERIFY(stopShown);
        for (int i = 1; i < loadStarts.size(); ++i)
            QVERIFY2(loadStarts[i] - loadStarts[i - 1] > 1000, qPrintable(QString::number(loadStarts[i] - loadStarts[i - 1])));
        QVERIFY(!w->showsStopPictures());
        QVERIFY(!doc().Refreshing);
        QVERIFY(!app().measure.AutoRefresh.WaveAutoRefreshOn);
        QVERIFY(!w->timer2().isActive());
        QVERIFY(doc().HasData);
    }

    void intervalChangeReleasesTheWaitingRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 1000;
        frmWave *w = openItem();
        int seen = 0, pumps = 0;
        bool changed = false;
        setPump([&] {
            seen = countLines(fx->lines(), ":WAVEFORM:DATA? CHANNEL1");
            const bool idle = !app().transfer.TransferBusy && !app().wave.WaveBusy;
            if (seen == 1 && idle && !changed) {
                changed = true;
                app().shell.RefreshInterval = 300; // while the refresh waits
            }
            if (seen == 2 && idle && doc().Refreshing)
                w->cmdRefresh->click();
            if (++pumps > 20000)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QVERIFY(pumps <= 20000);
        QCOMPARE(seen, 2);
        QVERIFY(!doc().Refreshing);
    }

    void secondWindowTakesOverContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmWave *a = openItem(0);
        frmWave *b = openItem(1, QStringLiteral("Wave1"));
        WaveDoc &da = doc(0);
        WaveDoc &db = doc(1);
        bool clickedB = false, clickedA = false, aWaitedUnderneath = false;
        int pumps = 0;
        setPump([&] {
            const bool idle = !app().transfer.TransferBusy && !app().wave.WaveBusy;
            if (!clickedB && idle && da.HasData) {
                clickedB = true;
                b->cmdRefresh->click(); // ends A's loads, starts B's inside A's wait
            } else if (clickedB && !clickedA && idle && db.HasData) {
                aWaitedUnderneath = a->showsStopPictures() && da.Refreshing && db.Refreshing;
                clickedA = true;
                a->cmdRefresh->click(); // a Stop: ends both
            }
            if (++pumps > 50000)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        a->cmdRefresh->click();
        QVERIFY(pumps <= 50000);
        QVERIFY(clickedA && clickedB && aWaitedUnderneath);
        for (frmWave *w : {a, b})
            QVERIFY(!w->showsStopPictures() && w->cmdRefresh->isEnabled());
        QVERIFY(!da.Refreshing && !db.Refreshing);
        QVERIFY(!app().measure.AutoRefresh.WaveAutoRefreshOn);
    }

    void continuousRefreshEndsWhenLinkLost()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmWave *w = openItem();
        int pumps = 0;
        setPump([&] {
            if (++pumps == 50 && !app().transfer.TransferBusy)
                app().link.LinkConnected = 0;
            if (pumps > 5000)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QVERIFY(pumps < 5000);
        QVERIFY(!w->showsStopPictures());
        QVERIFY(!doc().Refreshing);
    }

    void closeDuringContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmWave *w = openItem();
        QPointer<QWidget> frame = w->frame();
        bool closed = false, refusedWhileLoading = false;
        int pumps = 0;
        setPump([&] {
            if (w->loading() && !refusedWhileLoading)
                refusedWhileLoading = !CloseWaveWindow(0) && waveWindow(0) == w;
            if (!closed && doc().HasData && !app().transfer.TransferBusy && !app().wave.WaveBusy)
                closed = CloseWaveWindow(0);
            if (++pumps > 20000)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click(); // returns once the close has ended the refresh
        QVERIFY(refusedWhileLoading);
        QVERIFY(closed);
        QVERIFY(!doc().WindowOpen && !doc().Refreshing);
        QVERIFY(!app().measure.AutoRefresh.WaveAutoRefreshOn);
        QVERIFY(!app().wave.WaveRefreshActive);
        QVERIFY(!waveWindow(0));
        QVERIFY(frame); // still there while its handler ran
        flushDeletes();
        QVERIFY(!frame);
    }

    void unloadOfAnotherWindowResetsTheRefreshingOne()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmWave *a = openItem(0);
        openItem(1, QStringLiteral("Wave1"));
        bool closed = false;
        int pumps = 0;
        setPump([&] {
            if (!closed && doc(0).HasData && !app().transfer.TransferBusy && !app().wave.WaveBusy) {
                closed = CloseWaveWindow(1);
                // The refreshing window shows Refresh again at once.
                QVERIFY(!a->showsStopPictures());
                QVERIFY(!doc(0).Refreshing);
            }
            if (++pumps > 20000)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false;
            fx->serial->pumpOnce(fx->clock);
        });
        a->cmdRefresh->click();
        QVERIFY(closed && pumps <= 20000);
        QVERIFY(waveWindow(0) == a && !waveWindow(1));
        QVERIFY(!a->timer2().isActive());
    }

    void closeRefusedWhileBusy()
    {
        frmWave *w = openItem();
        app().wave.WaveBusy = true;
        QVERIFY(!CloseWaveWindow(0));
        app().wave.WaveBusy = false;
        app().transfer.TransferBusy = true;
        QVERIFY(!CloseWaveWindow(0));
        QCOMPARE(waveWindow(0), w);
        app().transfer.TransferBusy = false;
        QVERIFY(CloseWaveWindow(0));
        QVERIFY(!doc().WindowOpen);
    }

    void insideMainWindow()
    {
        frmMain main;
        app().shell.MainForm = &main;
        frmWave *w = openItem(2, QStringLiteral("Wave2"));
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(main.mdiArea()->subWindowList()[0]->widget(), w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Wave2"));
        QVERIFY(CloseWaveWindow(2));
        flushDeletes();
        QVERIFY(main.mdiArea()->subWindowList().isEmpty());
        app().shell.MainForm = nullptr;
    }

    void channelBoxLayouts()
    {
        frmWave *w = openItem();
        // Steps of 360 and 240 twips, in the column's scale of 4/3.
        w->layoutChannelBoxes(false);
        QCOMPARE(w->ChkCH[1]->y() - w->ChkCH[0]->y(), 32);
        QCOMPARE(w->ChkCH[2]->y() - w->ChkCH[0]->y(), 64);
        QVERIFY(!w->ChkCH[3]->isVisibleTo(w) && !w->ChkCH[3]->isEnabled());
        w->layoutChannelBoxes(true);
        QCOMPARE(w->ChkCH[1]->y() - w->ChkCH[0]->y(), 21);
        QCOMPARE(w->ChkCH[2]->y() - w->ChkCH[0]->y(), 43);
        QVERIFY(w->ChkCH[3]->isVisibleTo(w));
    }

    // --- captions ------------------------------------------------------------

    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("all");
        QTest::newRow("English") << 1 << false;
        QTest::newRow("Chinese") << 0 << false;
        QTest::newRow("English, every window") << 1 << true;
        QTest::newRow("Chinese, every window") << 0 << true;
    }
    void captions()
    {
        QFETCH(int, lang);
        QFETCH(bool, all);
        frmWave *w = openItem();
        if (all)
            LoadAllWaveWindowTexts(lang);
        else
            LoadWaveWindowTexts(0, lang);
        const auto rows = waveWindowCaptions();
        for (size_t i = 0; i < rows.size(); ++i) {
            const WaveCaptionRow &row = rows[i];
            QWidget *c = w->findChild<QWidget *>(QLatin1String(row.control));
            QVERIFY2(c, row.control);
            const bool lastRow = i + 1 == rows.size();
            QString expected = QString::fromUtf8(lang == 0 ? row.chinese : row.english);
            if (lang == 0 && all && lastRow)
                expected = QString::fromUtf8(waveAllWindowsProgressChinese);
            QString shown;
            if (row.target == WaveCaptionTarget::ToolTip)
                shown = c->toolTip();
            else if (auto *b = qobject_cast<QAbstractButton *>(c))
                shown = b->text();
            else if (auto *g = qobject_cast<QGroupBox *>(c))
                shown = g->title();
            else if (auto *l = qobject_cast<QLabel *>(c))
                shown = l->text();
            QCOMPARE(shown, expected);
        }
        QCOMPARE(w->cmdPreview->text(), lang == 0 ? QStringLiteral("         预览 .") : QStringLiteral("     Preview"));
        // Language 2 changes nothing.
        LoadWaveWindowTexts(0, 2);
        QCOMPARE(w->cmdPreview->text(), lang == 0 ? QStringLiteral("         预览 .") : QStringLiteral("     Preview"));
    }

    void captionsOnlyForOpenWindows()
    {
        frmWave *w0 = openItem(0);
        frmWave *w1 = openItem(1, QStringLiteral("Wave1"));
        doc(1).WindowOpen = false; // as if closed
        LoadAllWaveWindowTexts(0);
        QCOMPARE(w0->cmdExport->text(), QStringLiteral("导出 ."));
        QCOMPARE(w1->cmdExport->text(), QStringLiteral("Export"));
    }

    // --- renders for a person to look at ---------------------------------------

    void renders_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("colour");
        QTest::newRow("english-colour") << 1 << true;
        QTest::newRow("english-bw") << 1 << false;
        QTest::newRow("chinese-colour") << 0 << true;
        QTest::newRow("chinese-bw") << 0 << false;
    }
    void renders()
    {
        QFETCH(int, lang);
        QFETCH(bool, colour);
        ApplyLanguage(lang);
        app().texts.LanguageIndex = lang;
        connectVisa();
        sim(":TIMEBASE:SCALE 2e-4");
        fx->sim.setMathDisplay(true);
        sim(":LA:DISPLAY ON");
        sim(":DIGITAL0:TURN ON");
        sim(":DIGITAL5:TURN ON");
        setDisplays(true, true, true, true);
        frmWave *w = openItem();
        for (int i = 1; i <= 3; ++i)
            w->ChkCH[i]->click();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        if (!colour)
            w->OptionColor[1]->click();
        refreshOnce(w);
        QVERIFY(doc().DrawCH1 && doc().DrawCH2 && doc().DrawMath && doc().DrawLA);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QDir dir(QCoreApplication::applicationDirPath());
        QVERIFY(dir.mkpath(QStringLiteral("wave-renders")));
        const QImage shot = w->grab().toImage();
        QVERIFY(shot.save(dir.filePath(QStringLiteral("wave-renders/window-%1.png").arg(name))));
        QVERIFY(w->picture().save(dir.filePath(QStringLiteral("wave-renders/picture-%1.png").arg(name))));
        // What the files show: the controls in the language, the picture in the scheme.
        QCOMPARE(w->cmdExport->text(), lang == 0 ? QStringLiteral("导出 .") : QStringLiteral("Export"));
        const QColor background = colour ? QColor(0, 0, 0) : QColor(255, 255, 255);
        QCOMPARE(w->picture().pixelColor(3, 3), background);
        const QPoint picAt = w->WavePic->mapTo(w, QPoint(3, 3));
        QCOMPARE(shot.pixelColor(picAt), background);
        const QColor trace = colour ? CH1Color : QColor(0, 0, 0);
        QVERIFY(shareOn(w->picture(), analogTraceVertices(doc(), AnalogTrace::Math, envOf(w)),
                        colour ? MathColor : trace) > 0.9);
        if (colour) {
            int logic = 0; // the logic rows in green, the selected one in red
            const QImage &img = w->picture();
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    logic += img.pixelColor(x, y) == LAColor || img.pixelColor(x, y) == LASelectedColor;
            QVERIFY(logic > 100);
        }
    }
};

QTEST_MAIN(TestFrmWave)
#include "tst_frmwave.moc"
