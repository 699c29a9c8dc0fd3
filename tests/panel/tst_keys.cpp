// The front-panel keys: every key's line as the instrument receives it, from
// both windows, and the knob repeat with its growing step on the virtual clock.
#include "editors/prasectrllist.h"
#include "link/linkfixture.h"
#include "panel/frmv_key.h"
#include "panel/frmv_panel.h"
#include "panel/keytable.h"
#include "panel/panelopen.h"
#include "support/fitcheck.h"
#include "texts/loadlanguage.h"
#include "workspace/modalrunner.h"
#include "texts/stringres.h"

#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QtTest>

#include <memory>

class TestKeys : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keyLines_data();
    void keyLines();
    void knobHoldAcceleration_data();
    void knobHoldAcceleration();
    void knobStepTable_data();
    void knobStepTable();
    void knobCountStopsAt60000();
    void newPressStartsAgain();
    void releaseOutsideStopsRepeat();
    void escClosesKeyboardAndStopsRepeat();
    void laKey();
    void knobCaptions();
    void windowsOpenCentredOnTheScreen();
    void linkDownStillPauses();
    void openingChoosesWindow();
    void keyboardCaption_data();
    void keyboardCaption();
    void panelCaptionsShowWhole_data();
    void panelCaptionsShowWhole();

private:
    std::unique_ptr<LinkFixture> fx;
};

namespace {

// The key and knob lines of the log (the panel's mirror adds its own reads).
QList<QByteArray> sentKeyLines(const Qm4100Sim &sim)
{
    QList<QByteArray> out;
    for (const QByteArray &l : sim.lines())
        if (l.startsWith(":KEY:") || l.startsWith(":FORCETRIG"))
            out << l;
    return out;
}

} // namespace

void TestKeys::init()
{
    fx = std::make_unique<LinkFixture>();
    fx->useVisa();
    QVERIFY(fx->connect());
}

void TestKeys::cleanup()
{
    setModalRunner({});
    fx.reset();
}

void TestKeys::keyLines_data()
{
    QTest::addColumn<bool>("panel");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QList<QByteArray>>("expected");
    struct Row {
        const char *control;
        const char *line;
        bool knob;
    };
    // Every key with the line the instrument must receive (written out here,
    // not taken from the program's table).
    const Row rows[] = {
        {"VK_Menu_Off", ":KEY:MNUOFF", false},
        {"VK_F_DEC", ":KEY:-FUNCTION", true},
        {"VK_F_F", ":KEY:FUNCTION", false},
        {"VK_F_INC", ":KEY:+FUNCTION", true},
        {"VK_F1", ":KEY:F1", false},
        {"VK_F2", ":KEY:F2", false},
        {"VK_F3", ":KEY:F3", false},
        {"VK_F4", ":KEY:F4", false},
        {"VK_F5", ":KEY:F5", false},
        {"VK_Measure", ":KEY:MEASURE", false},
        {"VK_Acquire", ":KEY:ACQUIRE", false},
        {"VK_Storage", ":KEY:STORAGE", false},
        {"VK_Cursor", ":KEY:CURSOR", false},
        {"VK_Display", ":KEY:DISPLAY", false},
        {"VK_Utility", ":KEY:UTILITY", false},
        {"VK_Auto", ":KEY:AUTO", false},
        {"VK_Run", ":KEY:RUN", false},
        {"VK_CH1", ":KEY:CHANNEL1", false},
        {"VK_CH2", ":KEY:CHANNEL2", false},
        {"VK_Math", ":KEY:MATH", false},
        {"VK_Ref", ":KEY:REF", false},
        {"VK_La", ":KEY:LA", false},
        {"VK_CH_Off", ":KEY:OFF", false},
        {"VK_V_Pos_Inc", ":KEY:V_POS_INC", true},
        {"VK_P_V_P", ":KEY:PROMPT_V_POS", false},
        {"VK_V_Pos_Dec", ":KEY:V_POS_DEC", true},
        {"VK_V_Inc", ":KEY:V_SCALE_INC", false},
        {"VK_P_V", ":KEY:PROMPT_V", false},
        {"VK_V_Dec", ":KEY:V_SCALE_DEC", false},
        {"VK_TimeMenu", ":KEY:MNUTIME", false},
        {"VK_H_Pos_Dec", ":KEY:H_POS_INC", true}, // crossed on purpose
        {"VK_P_H_P", ":KEY:PROMPT_H_POS", false},
        {"VK_H_Pos_Inc", ":KEY:H_POS_DEC", true}, // crossed on purpose
        {"VK_H_Dec", ":KEY:H_SCALE_DEC", false},
        {"VK_P_H", ":KEY:PROMPT_H", false},
        {"VK_H_Inc", ":KEY:H_SCALE_INC", false},
        {"VK_Trig_Lvl_Inc", ":KEY:TRIG_LVL_INC", true},
        {"VK_P_L", ":KEY:PROMPT_TRIG_LVL", false},
        {"VK_Trig_Lvl_Dec", ":KEY:TRIG_LVL_DEC", true},
        {"VK_Trig_Menu", ":KEY:MNUTRIG", false},
        {"VK_Trig_50", ":KEY:TRIG%50", false},
        {"VK_Trig_Force", ":FORCETRIG", false},
    };
    QCOMPARE(int(std::size(rows)), int(virtualKeys().size()));
    for (bool panel : {false, true}) {
        for (const Row &r : rows) {
            QList<QByteArray> expected;
            if (r.knob) {
                // A quick click: one line with step 0.
                expected << QByteArray(r.line) + " 0";
                // The keyboard's vertical position up arrow also sends its
                // command alone when the click completes.
                if (!panel && QByteArray(r.control) == "VK_V_Pos_Inc")
                    expected << QByteArray(r.line);
            } else {
                expected << QByteArray(r.line);
            }
            QTest::addRow("%s %s", panel ? "panel" : "keyboard", r.control)
                << panel << QString::fromLatin1(r.control) << expected;
        }
    }
}

void TestKeys::keyLines()
{
    QFETCH(bool, panel);
    QFETCH(QString, control);
    QFETCH(QList<QByteArray>, expected);
    fx->sim.clearLog();
    std::unique_ptr<QDialog> w;
    QPushButton *b = nullptr;
    if (panel) {
        auto *p = new frmV_Panel;
        p->mirror().halt();
        w.reset(p);
        b = p->key(control);
    } else {
        auto *k = new frmV_Key;
        w.reset(k);
        b = k->key(control);
    }
    QVERIFY(b);
    w->show();
    fx->sim.clearLog();
    QTest::mouseClick(b, Qt::LeftButton);
    fx->clock.advance(2000); // a knob repeat must not have outlived the release
    if (sentKeyLines(fx->sim) != expected)
        qWarning() << fx->sim.lines();
    QCOMPARE(sentKeyLines(fx->sim), expected);
    QCOMPARE(fx->sim.refusedCount(), 0);
}

void TestKeys::knobHoldAcceleration_data()
{
    // The pause each send takes: VISA 200 ms; the serial control 100 ms plus
    // its pacing at 9600 baud, 3.125 ms per character and line feed (53 ms for
    // ":KEY:V_POS_DEC 5", 56 ms for ":KEY:V_POS_DEC 10").
    QTest::addColumn<bool>("serial");
    QTest::addColumn<int>("oneDigitMs");
    QTest::addColumn<int>("twoDigitMs");
    QTest::newRow("VISA, 200 ms after each send") << false << 200 << 200;
    QTest::newRow("serial, 100 ms and the pacing") << true << 153 << 156;
}

void TestKeys::knobHoldAcceleration()
{
    QFETCH(bool, serial);
    QFETCH(int, oneDigitMs);
    QFETCH(int, twoDigitMs);
    if (serial) {
        DisconnectInstrument();
        fx->useSerial();
        QVERIFY(fx->connect());
        QCOMPARE(app().link.BaudRateText, QStringLiteral("9600"));
    }
    QList<QByteArray> expected{":KEY:V_POS_DEC 0"};
    for (int i = 1; i <= 21; ++i) {
        const int step = i <= 5 ? 0 : i <= 10 ? 2 : i <= 15 ? 5 : i <= 20 ? 10 : 20;
        expected << ":KEY:V_POS_DEC " + QByteArray::number(step);
    }
    // Each repeat follows the previous send's return by KnobRepeatMs.
    QList<qint64> expectedTimes{0};
    for (int i = 1; i < expected.size(); ++i)
        expectedTimes << expectedTimes.last() + (expected[i - 1].size() > 16 ? twoDigitMs : oneDigitMs) + KnobRepeatMs;

    QList<qint64> times;
    KnobRepeater knob([&](const QString &l) {
        times << fx->clock.nowMs();
        SendCommand(l);
    });
    const qint64 t0 = fx->clock.nowMs();
    fx->sim.clearLog();
    knob.press(QStringLiteral(":KEY:V_POS_DEC"));
    fx->clock.advance(t0 + expectedTimes.last() - fx->clock.nowMs());
    knob.release();
    fx->clock.advance(5000);

    QCOMPARE(sentKeyLines(fx->sim), expected);
    QCOMPARE(times.size(), 22);
    for (int i = 0; i < times.size(); ++i)
        QCOMPARE(times[i] - t0, expectedTimes[i]);
    QVERIFY(!knob.running());
    QCOMPARE(knob.KnobRepeatCount, 21);
    QCOMPARE(knob.KnobCommand, QStringLiteral(":KEY:V_POS_DEC"));
}

void TestKeys::knobStepTable_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("step");
    const int rows[][2] = {{1, 0},   {5, 0},   {6, 2},   {10, 2},  {11, 5},    {15, 5},     {16, 10},
                           {20, 10}, {21, 20}, {50, 20}, {51, 50}, {1000, 50}, {60000, 50}};
    for (const auto &r : rows)
        QTest::addRow("%d", r[0]) << r[0] << r[1];
}

void TestKeys::knobStepTable()
{
    QFETCH(int, count);
    QFETCH(int, step);
    QCOMPARE(knobStep(count), step);
}

void TestKeys::knobCountStopsAt60000()
{
    KnobRepeater knob;
    knob.press(QStringLiteral(":KEY:TRIG_LVL_INC"));
    knob.KnobRepeatCount = KnobRepeatMax - 1;
    fx->sim.clearLog();
    fx->clock.advance(400);
    fx->clock.advance(400);
    fx->clock.advance(400);
    knob.release();
    QCOMPARE(knob.KnobRepeatCount, KnobRepeatMax);
    QCOMPARE(sentKeyLines(fx->sim), (QList<QByteArray>{":KEY:TRIG_LVL_INC 50", ":KEY:TRIG_LVL_INC 50",
                                                   ":KEY:TRIG_LVL_INC 50"}));
}

void TestKeys::newPressStartsAgain()
{
    frmV_Key k;
    k.show();
    QPushButton *up = k.key(QStringLiteral("VK_Trig_Lvl_Inc"));
    QPushButton *left = k.key(QStringLiteral("VK_F_DEC"));
    QTest::mousePress(up, Qt::LeftButton);
    fx->clock.advance(400 * 8); // well into step 2
    QTest::mouseRelease(up, Qt::LeftButton);
    fx->sim.clearLog();
    // Another knob: its own command, from step 0.
    QTest::mousePress(left, Qt::LeftButton);
    fx->clock.advance(400);
    QTest::mouseRelease(left, Qt::LeftButton);
    // The same knob again: from step 0 too.
    QTest::mousePress(up, Qt::LeftButton);
    QTest::mouseRelease(up, Qt::LeftButton);
    fx->clock.advance(2000);
    QCOMPARE(sentKeyLines(fx->sim),
             (QList<QByteArray>{":KEY:-FUNCTION 0", ":KEY:-FUNCTION 0", ":KEY:TRIG_LVL_INC 0"}));
}

void TestKeys::releaseOutsideStopsRepeat()
{
    frmV_Panel p;
    p.mirror().halt();
    p.show();
    QPushButton *b = p.key(QStringLiteral("VK_H_Pos_Inc"));
    QTest::mousePress(b, Qt::LeftButton);
    fx->clock.advance(400 * 3);
    // Released with the pointer far outside the arrow.
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-200, -200));
    QVERIFY(!p.knob().running());
    fx->sim.clearLog();
    fx->clock.advance(5000);
    QVERIFY(sentKeyLines(fx->sim).isEmpty());
}

void TestKeys::escClosesKeyboardAndStopsRepeat()
{
    frmV_Key k;
    k.show();
    QVERIFY(app().shell.KeyboardLoaded);
    QPushButton *b = k.key(QStringLiteral("VK_V_Pos_Dec"));
    QTest::mousePress(b, Qt::LeftButton);
    QVERIFY(k.knob().running());
    // Esc with the focus on another key.
    QTest::keyClick(k.key(QStringLiteral("VK_F1")), Qt::Key_Escape);
    QVERIFY(!k.isVisible());
    QVERIFY(!k.knob().running());
    QVERIFY(!app().shell.KeyboardLoaded);
    fx->sim.clearLog();
    fx->clock.advance(5000);
    QVERIFY(sentKeyLines(fx->sim).isEmpty());
}

void TestKeys::laKey()
{
    app().link.LaPresent = 0;
    frmV_Key k;
    frmV_Panel p;
    p.mirror().halt();
    for (QPushButton *la : {k.key(QStringLiteral("VK_La")), p.key(QStringLiteral("VK_La"))}) {
        QVERIFY(la->isHidden());
        QVERIFY(!la->isEnabled());
    }
    k.setLaAvailable(true);
    p.setLaAvailable(true);
    for (QPushButton *la : {k.key(QStringLiteral("VK_La")), p.key(QStringLiteral("VK_La"))}) {
        QVERIFY(!la->isHidden());
        QVERIFY(la->isEnabled());
    }
}

// Each knob is captioned in its group, English in both languages, and the
// caption stands between or over the knob's keys.
void TestKeys::knobCaptions()
{
    frmV_Key k;
    frmV_Panel p;
    p.mirror().halt();
    k.show();
    p.show();
    struct Caption {
        const char *label;
        const char *text;
        const char *key; // one of the knob's keys
    };
    const Caption captions[] = {
        {"lblVPosition", "Position", "VK_V_Pos_Inc"},
        {"lblVScale", "Scale", "VK_V_Inc"},
        {"lblHPosition", "Position", "VK_H_Pos_Dec"},
        {"lblHScale", "Scale", "VK_H_Dec"},
        {"lblTrigLevel", "Level", "VK_Trig_Lvl_Inc"},
    };
    for (QWidget *w : std::initializer_list<QWidget *>{&k, &p}) {
        for (const Caption &c : captions) {
            auto *label = w->findChild<QLabel *>(QLatin1String(c.label));
            QVERIFY2(label, c.label);
            QCOMPARE(label->text(), QLatin1String(c.text));
            QVERIFY(label->isVisible());
            auto *key = w->findChild<QPushButton *>(QLatin1String(c.key));
            QVERIFY(key);
            QCOMPARE(label->parentWidget(), key->parentWidget()); // in the knob's own group
            const QRect l = label->geometry();
            // Not over any key of its group.
            for (QPushButton *b : label->parentWidget()->findChildren<QPushButton *>()) {
                QVERIFY2(!l.intersects(b->geometry()), qPrintable(b->objectName()));
                // and every key still wholly inside its frame
                QVERIFY2(label->parentWidget()->rect().contains(b->geometry()), qPrintable(b->objectName()));
            }
            QVERIFY(label->parentWidget()->rect().contains(l));
        }
    }
}

// Both windows open in the middle of the screen, also when their owner
// stands in a corner of it.
void TestKeys::windowsOpenCentredOnTheScreen()
{
    QWidget owner;
    owner.setGeometry(0, 0, 200, 150);
    owner.show();
    frmV_Key k(&owner);
    frmV_Panel p(&owner);
    p.mirror().halt();
    for (QDialog *d : std::initializer_list<QDialog *>{&k, &p}) {
        d->show();
        const QRect area = d->screen()->availableGeometry();
        // (within the few pixels of the window's frame)
        QVERIFY2(qAbs(d->geometry().center().x() - area.center().x()) <= 3, qPrintable(d->objectName()));
        QVERIFY2(qAbs(d->geometry().center().y() - area.center().y()) <= 3, qPrintable(d->objectName()));
        d->hide();
    }
}

void TestKeys::linkDownStillPauses()
{
    DisconnectInstrument();
    fx->sim.clearLog();
    frmV_Key k;
    k.show();
    const qint64 before = fx->clock.pausedMs();
    QTest::mouseClick(k.key(QStringLiteral("VK_Auto")), Qt::LeftButton);
    QTest::mouseClick(k.key(QStringLiteral("VK_CH1")), Qt::LeftButton);
    QVERIFY(fx->sim.lines().isEmpty());
    QCOMPARE(fx->clock.pausedMs() - before, qint64(2 * VisaCommandPauseMs));
    QVERIFY(fx->fakeUi.messages().isEmpty());
}

void TestKeys::openingChoosesWindow()
{
    QStringList opened;
    setModalRunner([&](QDialog &d) {
        opened << d.objectName();
        d.reject();
    });
    // The controller's dispatcher: the top-level Virtual Panel node opens it.
    const QString node = QStringLiteral("QM4100D\\") + word(Word::ItemVirtualPanel);

    // The USB resource opened last: the panel with the mirror.
    QCOMPARE(app().link.VisaInterfaceType, qint16(1));
    DispatchCtrlEdit(node);
    QCOMPARE(opened, QStringList{QStringLiteral("frmV_Panel")});
    QVERIFY(!app().shell.PanelLoaded);

    // A node of that label further down opens neither panel nor keyboard.
    opened.clear();
    DispatchCtrlEdit(QStringLiteral("QM4100D\\Running Control\\") + word(Word::ItemVirtualPanel));
    QVERIFY(!opened.contains(QStringLiteral("frmV_Panel")));
    QVERIFY(!opened.contains(QStringLiteral("frmV_Key")));
    // Any other node goes on to the setting editors.
    opened.clear();
    DispatchCtrlEdit(QStringLiteral("QM4100D\\Acquire\\Averages [16]"));
    QCOMPARE(opened, QStringList{QStringLiteral("CtrlDialog")});

    // Refused while a transfer runs.
    app().transfer.TransferBusy = true;
    OpenVirtualPanel();
    QCOMPARE(opened.size(), 1);
    app().transfer.TransferBusy = false;

    // Any other kind of resource: the keyboard alone.
    app().link.VisaInterfaceType = 0;
    OpenVirtualPanel();
    QCOMPARE(opened.last(), QStringLiteral("frmV_Key"));
    QVERIFY(!app().shell.KeyboardLoaded);
    // Opening and closing send nothing.
    QVERIFY(sentKeyLines(fx->sim).isEmpty());
}

void TestKeys::keyboardCaption_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("title");
    QTest::newRow("Chinese") << 0 << QStringLiteral("虚拟键盘");
    QTest::newRow("English") << 1 << QStringLiteral("Virtual Keyboard");
    QTest::newRow("other index keeps the start caption") << 5 << QStringLiteral("Virtual Keyboard");
}

void TestKeys::keyboardCaption()
{
    QFETCH(int, lang);
    QFETCH(QString, title);
    app().texts.LanguageIndex = lang;
    frmV_Key k;
    QCOMPARE(k.windowTitle(), title);
    // The group captions stay English.
    QCOMPARE(k.findChild<QGroupBox *>(QStringLiteral("Vertical"))->title(), QStringLiteral("Vertical"));
}

void TestKeys::panelCaptionsShowWhole_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("zoom");
    QTest::newRow("English 1x") << 1 << 0;
    QTest::newRow("English 2x") << 1 << 1;
    QTest::newRow("Chinese 1x") << 0 << 0;
    QTest::newRow("Chinese 2x") << 0 << 1;
}

// The virtual panel's own keys, knob arrows and frame captions show whole at
// either zoom and in either language, apart from each other and inside the
// panel, which still fits a 1600 x 1000 screen; the picture keeps its size.
void TestKeys::panelCaptionsShowWhole()
{
    QFETCH(int, lang);
    QFETCH(int, zoom);
    app().texts.LanguageIndex = lang;
    ApplyLanguage(lang);
    frmV_Panel p;
    p.mirror().halt();
    p.applyLayout(zoom);
    p.show();
    QCoreApplication::processEvents();
    const QStringList found = fitcheck::findings(&p, QStringLiteral("panel"));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    QVERIFY(p.width() <= 1600 && p.height() <= 1000);
    QCOMPARE(p.picture()->size(), zoom ? QSize(644, 473) : QSize(324, 238));
}

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
