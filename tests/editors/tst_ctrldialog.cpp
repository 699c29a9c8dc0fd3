// The setting dialog and the frame of its apply routine: captions, the
// identification check, the refusal of a text that is not a number, the unit
// buttons, Enter and Esc, a key no row holds, a key whose branch is not built,
// the LA threshold presets, and the dialog taking no input while the apply
// runs on the serial link. Everything against the simulator.
#include "editorsfixture.h"
#include "edittable.h"

#include "editors/applykeys.h"
#include "editors/editplan.h"
#include "platform/pump.h"
#include "texts/messagetable.h"

#include <QCoreApplication>
#include <QtTest>

class TestCtrlDialog : public QObject {
    Q_OBJECT

    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

private slots:
    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("English") << LanguageEnglish << "OK" << "Cancel";
        QTest::newRow("Chinese") << LanguageChinese << QString::fromUtf8("确定") << QString::fromUtf8("取消");
    }
    void captions()
    {
        QFETCH(int, lang);
        QFETCH(QString, ok);
        QFETCH(QString, cancel);
        EditorsFixture f(lang);
        f.edit(2, 5, [&](CtrlDialog &d) {
            QCOMPARE(d.cmdOK()->text(), ok);
            QCOMPARE(d.cmdCancel()->text(), cancel);
            // Opened at a size that shows every control of the list form.
            QVERIFY(d.width() >= d.Combo()->sizeHint().width() + d.cmdOK()->sizeHint().width());
            d.cmdCancel_Click();
        });
        // Any other language keeps the captions.
        CtrlDialog d;
        d.SetDialogCaptions(7);
        QCOMPARE(d.cmdOK()->text(), ok);
    }

    void unitButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("stored");
        QTest::newRow("m") << 0 << "0.005" << ":TIMEBASE:OFFSET 0.005S" << "5.0000ms";
        QTest::newRow("u") << 1 << "5E-06" << ":TIMEBASE:OFFSET 0.005MS" << "5.0000us";
        QTest::newRow("n") << 2 << "5E-09" << ":TIMEBASE:OFFSET 0.005US" << "5.0000ns";
        QTest::newRow("p") << 3 << "5E-12" << ":TIMEBASE:OFFSET 0.005NS" << "5.0000ps";
    }
    void unitButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, entry);
        QFETCH(QString, sent);
        QFETCH(QString, stored);
        EditorsFixture f;
        QString shownAfter;
        f.edit(5, 16, [&](CtrlDialog &d) {
            d.inputTxt()->setText(QStringLiteral("5"));
            click(d.cmdEnter(button));
            shownAfter = d.inputTxt()->text();
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(shownAfter, entry);
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":TIMEBASE:SCALE?", sent, ":TIMEBASE:OFFSET?"}));
        QCOMPARE(f.gap(2, 3), qint64(VisaCommandPauseMs + 100));
        QCOMPARE(app().Settings.Delay, stored);
        QCOMPARE(CtrlNodeText(5, 16), word(Word::ItemDelay) + QStringLiteral(" [") + stored + u']');
        QVERIFY(app().ctrl.CtrlFileModified);
    }

    void millivoltButton()
    {
        EditorsFixture f;
        f.edit(3, 4, [&](CtrlDialog &d) {
            QVERIFY(d.cmdEnter(UnitMilliVolt)->isVisible());
            QVERIFY(!d.cmdEnter(UnitMilli)->isVisible());
            d.inputTxt()->setText(QStringLiteral("5"));
            click(d.cmdEnter(UnitMilliVolt));
        });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL2:OFFSET 0.005", ":CHANNEL2:OFFSET?"}));
        QCOMPARE(app().Settings.CH2Offset, QStringLiteral("5.00mV"));
    }

    // "abc" (and every other text the number rule refuses) is refused by OK
    // and by each unit button: the message, the dialog open with the text as
    // typed, nothing applied; a number typed then is applied.
    void notANumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("comma") << "1,5";
        QTest::newRow("hex") << "&H1F";
        QTest::newRow("currency") << "$5";
        QTest::newRow("unit letter") << "5m";
        QTest::newRow("empty") << "";
    }
    void notANumber()
    {
        QFETCH(QString, typed);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            const CtrlSettings before = app().Settings;
            QStringList afterEach;
            int refusals = 0;
            f.edit(5, 16, [&](CtrlDialog &d) {
                d.inputTxt()->setText(typed);
                for (int b = UnitMilli; b <= UnitPico; ++b) {
                    click(d.cmdEnter(b));
                    afterEach << d.inputTxt()->text();
                    refusals += d.isVisible() ? 1 : 0;
                }
                QVERIFY(f.simLines().isEmpty()); // the units refuse before asking anything
                click(d.cmdOK());
                refusals += d.isVisible() ? 1 : 0;
                afterEach << d.inputTxt()->text();
                QCOMPARE(f.simLines(), QStringList{"*IDN?"});
                QVERIFY(app().Settings == before);
                QVERIFY(!app().ctrl.CtrlFileModified);
                // Corrected, it applies.
                d.inputTxt()->setText(QStringLiteral("0.002"));
                click(d.cmdOK());
                QVERIFY(!d.isVisible());
            });
            QCOMPARE(refusals, 5);
            QCOMPARE(afterEach, QStringList(5, typed));
            QCOMPARE(f.fakeUi.messages().size(), 5);
            for (const RecordedMessage &m : f.fakeUi.messages()) {
                QCOMPARE(m.icon, MsgIcon::Exclamation);
                QCOMPARE(m.text, message(Msg::MsgNumberOnly));
                QCOMPARE(m.title, QCoreApplication::applicationName());
            }
            QCOMPARE(f.sim.count(":TIMEBASE:OFFSET 0.002S"), 1);
            QVERIFY(app().ctrl.CtrlFileModified);
        }
    }

    // A text refused by OK or by a unit button pressed with the keyboard:
    // after the message the keyboard is where it was, on the button pressed,
    // and the user goes on from there without the mouse: back to the box,
    // a number typed, OK pressed.
    void aRefusedNumberKeepsTheKeyboard_data()
    {
        QTest::addColumn<int>("unit"); // -1: OK
        QTest::newRow("OK") << -1;
        QTest::newRow("unit button m") << int(UnitMilli);
        QTest::newRow("unit button p") << int(UnitPico);
    }
    void aRefusedNumberKeepsTheKeyboard()
    {
        QFETCH(int, unit);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            bool closed = false;
            f.edit(5, 16, [&](CtrlDialog &d) {
                d.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&d));
                QCOMPARE(QApplication::focusWidget(), d.inputTxt());
                d.inputTxt()->selectAll();
                QTest::keyClicks(d.inputTxt(), QStringLiteral("abc"));
                QWidget *pressed = unit < 0 ? static_cast<QWidget *>(d.cmdOK()) : d.cmdEnter(unit);
                for (int i = 0; i < 10 && QApplication::focusWidget() != pressed; ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), pressed);
                QTest::keyClick(pressed, Qt::Key_Space);
                QVERIFY(d.isVisible());
                QCOMPARE(f.fakeUi.messages().size(), 1);
                QVERIFY2(QApplication::focusWidget() == pressed, "the keyboard focus left the button pressed");
                for (int i = 0; i < 10 && QApplication::focusWidget() && QApplication::focusWidget() != d.inputTxt(); ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                QCOMPARE(QApplication::focusWidget(), d.inputTxt());
                d.inputTxt()->selectAll();
                QTest::keyClicks(d.inputTxt(), QStringLiteral("0.002"));
                for (int i = 0; i < 10 && QApplication::focusWidget() != d.cmdOK(); ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QTest::keyClick(d.cmdOK(), Qt::Key_Space);
                closed = !d.isVisible();
            });
            QVERIFY(closed);
            QCOMPARE(f.sim.count(":TIMEBASE:OFFSET 0.002S"), 1);
        }
    }

    // No answer to "*IDN?": the dialog closes, nothing more is sent, stored or
    // marked; the link is lost and the user told once.
    void instrumentSilent()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        const CtrlSettings before = app().Settings;
        const QString node = CtrlNodeText(2, 5);
        Qm4100Sim::Faults quiet;
        quiet.noReply = true;
        f.sim.setFaults(quiet);
        bool closed = false;
        f.edit(2, 5, [&](CtrlDialog &d) {
            d.Combo()->setCurrentIndex(0);
            click(d.cmdOK());
            closed = !d.isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(f.simLines(), QStringList{"*IDN?"});
        QVERIFY(app().Settings == before);
        QCOMPARE(CtrlNodeText(2, 5), node);
        QVERIFY(!app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgReadFailed));
        QVERIFY(!app().link.LinkConnected);
    }

    void enterAndEscape()
    {
        EditorsFixture f;
        // Enter in the list applies.
        f.edit(2, 5, [&](CtrlDialog &d) {
            d.Combo()->setCurrentIndex(0);
            d.Combo()->setFocus();
            QTest::keyClick(d.Combo(), Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL1:COUPLING DC"}));

        // Enter in the number box does not; Esc closes without applying.
        f.sim.clearLog();
        app().ctrl.CtrlFileModified = false;
        f.edit(2, 4, [&](CtrlDialog &d) {
            d.inputTxt()->setText(QStringLiteral("0.5"));
            QTest::keyClick(d.inputTxt(), Qt::Key_Return);
            QVERIFY(d.isVisible());
            QTest::keyClick(d.inputTxt(), Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        // Esc in the list and the close box are Cancel too.
        f.edit(2, 5, [&](CtrlDialog &d) {
            QTest::keyClick(d.Combo(), Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        f.edit(2, 5, [&](CtrlDialog &d) {
            d.close();
            QVERIFY(!d.isVisible());
        });
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // A key no row of the chain holds: nothing is sent after "*IDN?", and the
    // control file is still marked modified.
    void unmatchedKey()
    {
        EditorsFixture f;
        CtrlDialog d;
        EditPlan plan;
        plan.dialog = EditDialogKind::List;
        plan.key = QStringLiteral("NoSuchSetting");
        plan.choices = {QStringLiteral("A")};
        d.prepare(plan);
        app().ctrl.CtrlSettingKey = plan.key;
        QVERIFY(d.cmdOK()->isEnabled());
        d.show();
        click(d.cmdOK());
        QCOMPARE(f.simLines(), QStringList{"*IDN?"});
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void thresholdPresets()
    {
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QStringList seen;
            f.edit(4, 11, [&](CtrlDialog &d) {
                QCOMPARE(d.comboTop(), int(CtrlDialog::ThresholdComboTop));
                QCOMPARE(d.inputTop(), int(CtrlDialog::ThresholdInputTop));
                QCOMPARE(d.enterTop(), int(CtrlDialog::ThresholdEnterTop));
                QVERIFY(d.Combo()->geometry().top() < d.inputTxt()->geometry().top());
                const auto pick = [&](int index) {
                    d.Combo()->setCurrentIndex(index);
                    seen << d.inputTxt()->text() + (d.inputTxt()->isEnabled() ? QStringLiteral(" on") : QStringLiteral(" off"))
                                + (!d.cmdEnter(UnitPico)->testAttribute(Qt::WA_ForceDisabled) ? QStringLiteral(" on")
                                                                                              : QStringLiteral(" off"))
                                + (d.cmdEnter(UnitMilliVolt)->isVisible() ? QStringLiteral(" mV") : QString());
                };
                pick(1); // ECL
                pick(3); // the user word
                pick(2); // CMOS
                pick(0); // TTL
                d.cmdCancel_Click();
            });
            QCOMPARE(seen, (QStringList{"-1.3 off off", "1.0 on on", "2.5 off off", "1.4 off off"}));
            QVERIFY(f.simLines().isEmpty());
        }
        // With any other key a choice leaves the entry alone.
        EditorsFixture f;
        f.edit(2, 4, [&](CtrlDialog &d) {
            d.inputTxt()->setText(QStringLiteral("7"));
            d.Combo()->addItems({QStringLiteral("TTL"), QStringLiteral("ECL")});
            d.Combo()->setCurrentIndex(1);
            QCOMPARE(d.inputTxt()->text(), QStringLiteral("7"));
            d.cmdCancel_Click();
        });
    }

    // Normal arrangement: the entry above the list, the unit buttons below.
    void arrangement()
    {
        EditorsFixture f;
        f.edit(5, 16, [&](CtrlDialog &d) {
            QCOMPARE(d.comboTop(), int(CtrlDialog::ComboTop));
            QCOMPARE(d.inputTop(), int(CtrlDialog::InputTop));
            QCOMPARE(d.enterTop(), int(CtrlDialog::EnterTop));
            QVERIFY(d.inputTxt()->geometry().bottom() < d.cmdEnter(UnitMilli)->mapTo(d.Frame(), QPoint()).y());
            d.cmdCancel_Click();
        });
    }

    // On the serial link the replies are awaited with events processed: while
    // the apply runs, OK, the unit button, the list, Cancel, Esc and the close
    // box do nothing.
    void inputBlockedWhileApplying()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        QPointer<CtrlDialog> dialog;
        int pokes = 0;
        bool blockedSeen = false;
        setPump([&] {
            if (dialog && dialog->applying() && pokes < 3) {
                ++pokes;
                blockedSeen = !dialog->cmdOK()->isEnabled() && !dialog->inputTxt()->isEnabled();
                QTest::mouseClick(dialog->cmdOK(), Qt::LeftButton);
                QTest::mouseClick(dialog->cmdEnter(UnitMilliVolt), Qt::LeftButton);
                QTest::mouseClick(dialog->cmdCancel(), Qt::LeftButton);
                QTest::keyClick(dialog->inputTxt(), Qt::Key_Return);
                QTest::keyClick(dialog, Qt::Key_Escape);
                dialog->cmdOK_Click();
                dialog->cmdCancel_Click();
                dialog->close();
            }
            f.serial->pumpOnce(f.clock);
        });
        bool openDuringApply = true;
        f.edit(2, 4, [&](CtrlDialog &d) {
            dialog = &d;
            d.inputTxt()->setText(QStringLiteral("0.5"));
            click(d.cmdOK());
            openDuringApply = pokes > 0;
        });
        QVERIFY(openDuringApply);
        QVERIFY(blockedSeen);
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL1:OFFSET 0.5", ":CHANNEL1:OFFSET?"}));
        QCOMPARE(app().Settings.CH1Offset, QStringLiteral("500mV"));
        QVERIFY(app().ctrl.CtrlFileModified);
        QCOMPARE(f.dialogsShown.size(), 1);
    }
};

QTEST_MAIN(TestCtrlDialog)
#include "tst_ctrldialog.moc"
