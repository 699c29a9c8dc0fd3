// The pass/fail limits dialog driven without a modal loop: the copy taken at
// the first tick, limit typing and units, the enabled box, OK (with its
// check and repair), Cancel and the frame's close box, and its captions in
// both languages.

#include "app/appstate.h"
#include "measure/frmpassfailed.h"
#include "measure/meastable.h"
#include "platform/clock.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TestFrmPassFailed : public QObject {
    Q_OBJECT

    VirtualClock clock_;
    ScriptedUi ui_;
    std::unique_ptr<frmPassFailed> dlg;
    MeasTable original;

    MeasDoc &doc() { return app().Sheet.MeasDocs[4]; }

    void open(int lang = 1)
    {
        ApplyLanguage(lang);
        doc().Name = QStringLiteral("Measure4");
        doc().setNewItemDefaults();
        doc().Items[MeasVpp].Value = QStringLiteral("1.00V");
        doc().Items[MeasVrms].Enabled = true;
        original = doc().Items;
        dlg = std::make_unique<frmPassFailed>();
        dlg->tag = QStringLiteral("4");
        clock_.advance(1);
    }

    void select(const char *name) { dlg->MTypeCombo->setCurrentText(QString::fromUtf8(name)); }
    static void pick(QComboBox *list, int pos)
    {
        list->setCurrentIndex(pos);
        emit list->activated(pos);
    }

private slots:
    void init()
    {
        resetApp();
        setAppClock(&clock_);
        setUi(&ui_);
        ui_.clear();
    }
    void cleanup()
    {
        dlg.reset();
        setUi(nullptr);
        setAppClock(nullptr);
        resetApp();
    }

    void opensOnVpp()
    {
        open();
        QVERIFY(!app().shell.DialogOK);
        QCOMPARE(dlg->EditTable, original);
        QCOMPARE(dlg->MTypeCombo->count(), 18);
        const QStringList names{"Vpp", "Vmax", "Vmin", "Vavg", "Vamp", "Vrms", "Vtop", "Vbase", "Vpre",
                                "Vover", "Frequency", "Period", "Rise Time", "Fall Time", "Pulse Width+",
                                "Pulse Width-", "Duty+", "Duty-"};
        for (int i = 0; i < 18; ++i)
            QCOMPARE(dlg->MTypeCombo->itemText(i), names[i]);
        QCOMPARE(dlg->MTypeCombo->currentText(), QStringLiteral("Vpp"));
        QVERIFY(!dlg->EnabledChk->isChecked());
        QCOMPARE(dlg->UnderNum->text(), QStringLiteral("100.000"));
        QCOMPARE(dlg->UnderUnit->currentText(), QStringLiteral("mV"));
        QCOMPARE(dlg->OverNum->text(), QStringLiteral("200.000"));
        QVERIFY(!dlg->UnderNum->isEnabled() && !dlg->OverUnit->isEnabled() && !dlg->UnderPic->isEnabled());
        select("Vrms");
        QVERIFY(dlg->EnabledChk->isChecked());
        QVERIFY(dlg->UnderNum->isEnabled() && dlg->OverUnit->isEnabled() && dlg->OverPic->isEnabled());
        select("Frequency");
        QCOMPARE(dlg->UnderUnit->count(), 5);
        QCOMPARE(dlg->UnderUnit->itemText(2), QStringLiteral("kHz"));
        QCOMPARE(dlg->UnderNum->text() + dlg->UnderUnit->currentText(), QStringLiteral("1.000MHz"));
        select("Duty-");
        QCOMPARE(dlg->OverUnit->count(), 1);
        QCOMPARE(dlg->OverNum->text() + dlg->OverUnit->currentText(), QStringLiteral("60.00%"));
    }

    void cancelAndCloseBoxCommitNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxCommitNothing()
    {
        QFETCH(bool, closeBox);
        open();
        dlg->show();
        dlg->EnabledChk->click();
        dlg->UnderNum->setText(QStringLiteral("7"));
        QVERIFY(dlg->EditTable != original);
        if (closeBox)
            dlg->close();
        else
            dlg->CancelButton->click();
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(doc().Items, original);
        QVERIFY(!app().Sheet.Modified);
        QVERIFY(!app().shell.DialogOK);
    }

    void okWithoutChange()
    {
        open();
        dlg->OKButton->click();
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(doc().Items, original);
        QVERIFY(app().Sheet.Modified);
        QVERIFY(app().shell.DialogOK);
    }

    void okBeforeFirstTickCommitsNothing()
    {
        doc().Items.setNewItemLimits();
        original = doc().Items;
        frmPassFailed early;
        early.tag = QStringLiteral("4");
        early.OKButton->click();
        QCOMPARE(doc().Items, original);
        QVERIFY(!app().shell.DialogOK);
    }

    void typingLimits()
    {
        open();
        dlg->EnabledChk->click();
        QVERIFY(dlg->EditTable[MeasVpp].Enabled);
        QVERIFY(!doc().Items[MeasVpp].Enabled); // only OK commits
        // A lone "-" waits for the number; "-5" with mV stores -5 mV.
        dlg->UnderNum->setText(QStringLiteral("-"));
        QVERIFY(ui_.messages().isEmpty());
        QCOMPARE(dlg->EditTable[MeasVpp].Under, 0.1);
        dlg->UnderNum->setText(QStringLiteral("-5"));
        QCOMPARE(dlg->EditTable[MeasVpp].Under, -0.005);
        // Emptying the box stores nothing.
        dlg->UnderNum->clear();
        QCOMPARE(dlg->EditTable[MeasVpp].Under, -0.005);
        // Not a number: the message, the box emptied, the limit kept.
        dlg->OverNum->setText(QStringLiteral("abc"));
        QCOMPARE(ui_.messages().size(), 1);
        QCOMPARE(ui_.messages()[0].text, QStringLiteral("Invalid Numeric!"));
        QCOMPARE(ui_.messages()[0].icon, MsgIcon::Critical);
        QCOMPARE(dlg->OverNum->text(), QString());
        QCOMPARE(dlg->EditTable[MeasVpp].Over, 0.2);
        // A unit picked for the lower limit stores its box again in that unit.
        dlg->UnderNum->setText(QStringLiteral("1.5"));
        pick(dlg->UnderUnit, 2); // V
        QCOMPARE(dlg->EditTable[MeasVpp].Under, 1.5);
        // Switching away and back shows what is stored, not what was typed.
        select("Vmax");
        select("Vpp");
        QCOMPARE(dlg->UnderNum->text(), QStringLiteral("1.500"));
        QCOMPARE(dlg->UnderUnit->currentText(), QStringLiteral("V"));
        QCOMPARE(dlg->OverNum->text(), QStringLiteral("200.000"));
        QCOMPARE(dlg->OverUnit->currentText(), QStringLiteral("mV"));
    }

    // Limits typed key by key: a text that can still become a number waits
    // without a word while it is typed; the whole text is judged where a
    // number must stand (the box left with Tab, Return, a unit picked, OK),
    // and a text that is no number is refused there with the message, the
    // box emptied and, at OK, the dialog kept open with nothing committed.
    // Vpp's lower limit, in mV.
    void typedNumbersAreJudgedWhole_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("end"); // "", "tab", "return", "unit", "ok"
        QTest::addColumn<int>("messages");
        QTest::addColumn<QString>("box");   // its text after the end
        QTest::addColumn<double>("under");  // the stored lower limit, volts
        QTest::addColumn<bool>("accepted");
        QTest::newRow(".8, OK") << ".8" << "ok" << 0 << ".8" << 0.0008 << true;
        QTest::newRow(".8, Tab") << ".8" << "tab" << 0 << ".8" << 0.0008 << false;
        QTest::newRow("1e3, Return") << "1e3" << "return" << 0 << "1e3" << 1.0 << false;
        QTest::newRow("1e-3, OK") << "1e-3" << "ok" << 0 << "1e-3" << 1e-6 << true;
        QTest::newRow("-.5, unit") << "-.5" << "unit" << 0 << "-.5" << -0.0005 << false;
        QTest::newRow("1e- while typed") << "1e-" << "" << 0 << "1e-" << 0.001 << false;
        QTest::newRow(". while typed") << "." << "" << 0 << "." << 0.1 << false;
        QTest::newRow("lone minus, Tab") << "-" << "tab" << 0 << "-" << 0.1 << false;
        QTest::newRow("1e-, Tab") << "1e-" << "tab" << 1 << "" << 0.001 << false;
        QTest::newRow("1e, Return") << "1e" << "return" << 1 << "" << 0.001 << false;
        QTest::newRow("., unit") << "." << "unit" << 1 << "" << 0.1 << false;
        QTest::newRow("1e-, OK") << "1e-" << "ok" << 1 << "" << 0.001 << false;
        QTest::newRow("a") << "a" << "" << 1 << "" << 0.1 << false;
        QTest::newRow("1x") << "1x" << "" << 1 << "" << 0.001 << false;
        QTest::newRow("1.2.") << "1.2." << "" << 1 << "" << 0.0012 << false;
    }
    void typedNumbersAreJudgedWhole()
    {
        QFETCH(QString, typed);
        QFETCH(QString, end);
        QFETCH(int, messages);
        QFETCH(QString, box);
        QFETCH(double, under);
        QFETCH(bool, accepted);
        open();
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        dlg->activateWindow();
        dlg->EnabledChk->click();
        QLineEdit *edit = dlg->UnderNum;
        QCOMPARE(dlg->UnderUnit->currentText(), QStringLiteral("mV"));
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        if (end == QLatin1String("tab")) {
            QTest::keyClick(edit, Qt::Key_Tab);
            QVERIFY(!edit->hasFocus());
        } else if (end == QLatin1String("return")) {
            QTest::keyClick(edit, Qt::Key_Return);
        } else if (end == QLatin1String("unit")) {
            pick(dlg->UnderUnit, 3); // mV again
        } else if (end == QLatin1String("ok")) {
            QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        }
        QCOMPARE(ui_.messages().size(), messages);
        for (const auto &m : ui_.messages()) {
            QCOMPARE(m.text, QStringLiteral("Invalid Numeric!"));
            QCOMPARE(m.icon, MsgIcon::Critical);
        }
        QCOMPARE(edit->text(), box);
        QVERIFY(qFuzzyCompare(dlg->EditTable[MeasVpp].Under, under));
        QCOMPARE(dlg->result() == QDialog::Accepted, accepted);
        QCOMPARE(app().shell.DialogOK, accepted);
        if (accepted)
            QVERIFY(qFuzzyCompare(doc().Items[MeasVpp].Under, under));
        else
            QCOMPARE(doc().Items, original); // nothing committed
        if (end == QLatin1String("ok") && !accepted) {
            // Refused at OK: the dialog stays open; a number then commits.
            QVERIFY(dlg->isVisible());
            QTest::keyClicks(edit, QStringLiteral("2"));
            QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
            QCOMPARE(ui_.messages().size(), messages);
            QVERIFY(app().shell.DialogOK);
            QCOMPARE(doc().Items[MeasVpp].Under, 0.002);
        }
    }

    void invalidNumberInChinese()
    {
        open(0);
        dlg->UnderNum->setText(QStringLiteral("1,5"));
        QCOMPARE(ui_.messages().size(), 1);
        QCOMPARE(ui_.messages()[0].text, QStringLiteral("无效数值！"));
        QCOMPARE(dlg->MTypeCombo->currentText(), QStringLiteral("峰峰值"));
    }

    void enabledBoxGreysLimits()
    {
        open();
        select("Vrms");
        dlg->EnabledChk->click(); // cleared
        QVERIFY(!dlg->EditTable[MeasVrms].Enabled);
        QVERIFY(!dlg->UnderNum->isEnabled() && !dlg->UnderUnit->isEnabled() && !dlg->OverNum->isEnabled());
        QCOMPARE(dlg->UnderNum->text(), QStringLiteral("100.000")); // values kept
        dlg->EnabledChk->click(); // ticked again
        QVERIFY(dlg->UnderNum->isEnabled() && dlg->OverPic->isEnabled());
    }

    void upperRaisedToLowerOnUnitPick()
    {
        open();
        dlg->EnabledChk->click();
        pick(dlg->UnderUnit, 2);                     // lower limit 100 V
        dlg->UnderNum->setText(QStringLiteral("2")); // 2 V
        dlg->OverNum->setText(QStringLiteral("500")); // 500 mV: stored as typed
        QCOMPARE(dlg->EditTable[MeasVpp].Over, 0.5);
        pick(dlg->OverUnit, 3); // mV again
        QCOMPARE(dlg->EditTable[MeasVpp].Over, 2.0);
        QCOMPARE(dlg->OverNum->text(), QStringLiteral("2"));
        QCOMPARE(dlg->OverUnit->currentText(), QStringLiteral("V"));
        // Equal limits stay as they are.
        pick(dlg->OverUnit, 2);
        QCOMPARE(dlg->EditTable[MeasVpp].Over, 2.0);
    }

    void percentUnitPickedAgain()
    {
        open();
        select("Duty+");
        dlg->EnabledChk->click();
        dlg->UnderNum->setText(QStringLiteral("12.5"));
        QCOMPARE(dlg->EditTable[MeasDutyPos].Under, 0.125);
        dlg->EditTable[MeasDutyPos].Under = 0.0;
        pick(dlg->UnderUnit, 0);
        QCOMPARE(dlg->EditTable[MeasDutyPos].Under, 0.125);
    }

    void okRepairsInvertedLimitsFirst()
    {
        open();
        select("Period");
        dlg->EnabledChk->click();
        dlg->OverNum->setText(QStringLiteral("0.5")); // 0.5 us, below the lower 1 us
        select("Vmax");
        dlg->OKButton->click();
        // Nothing committed; the inverted measurement is shown and repaired.
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(!app().shell.DialogOK);
        QCOMPARE(doc().Items, original);
        QCOMPARE(dlg->MTypeCombo->currentText(), QStringLiteral("Period"));
        QCOMPARE(dlg->EditTable[MeasPeriod].Over, dlg->EditTable[MeasPeriod].Under);
        QCOMPARE(dlg->OverNum->text() + dlg->OverUnit->currentText(), QStringLiteral("1.000us"));
        dlg->OKButton->click();
        QVERIFY(app().shell.DialogOK);
        QVERIFY(doc().Items[MeasPeriod].Enabled);
        QCOMPARE(doc().Items[MeasPeriod].Over, 0.000001);
    }

    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("english") << 1
                                 << QStringList{"Pass | Fail Settings", "Select Measure Type", "Pass Range Settings",
                                                "Under Limit Setting", "Over Limit Setting", "Enabled", "OK", "Cancel"};
        QTest::newRow("chinese") << 0
                                 << QStringList{"通过 | 失败设置", "选择测量参数", "通过参数范围设置", "下限设置     ",
                                                "上限设置", "使能", "确定", "取消"};
    }
    void captions()
    {
        QFETCH(int, lang);
        QFETCH(QStringList, texts);
        app().texts.LanguageIndex = lang;
        open(lang);
        const char *frames[] = {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(dlg->findChild<QGroupBox *>(QLatin1String(frames[i]))->title(), texts[i]);
        QCOMPARE(dlg->EnabledChk->text(), texts[5]);
        QCOMPARE(dlg->OKButton->text(), texts[6]);
        QCOMPARE(dlg->CancelButton->text(), texts[7]);
    }
};

QTEST_MAIN(TestFrmPassFailed)
#include "tst_frmpassfailed.moc"
