#include "platform/ui/scriptedui.h"

#include <QtTest>

class TestUi : public QObject {
    Q_OBJECT
private slots:
    void init() { setUi(&fake_); }
    void cleanup()
    {
        setUi(nullptr);
        fake_.clear();
    }

    void recordsMessageAndAnswersAsScripted()
    {
        fake_.answerMessage(MsgAnswer::No);
        fake_.answerMessage(MsgAnswer::Cancel);
        QCOMPARE(ui().message(MsgIcon::Question, "Save", "Save changes?", MsgButtons::YesNoCancel),
                 MsgAnswer::No);
        QCOMPARE(ui().message(MsgIcon::Exclamation, "Link", "Read failed", MsgButtons::OkCancel),
                 MsgAnswer::Cancel);
        QCOMPARE(fake_.messages().size(), 2);
        const RecordedMessage &m = fake_.messages().at(1);
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.title, QStringLiteral("Link"));
        QCOMPARE(m.text, QStringLiteral("Read failed"));
        QCOMPARE(m.buttons, MsgButtons::OkCancel);
        QCOMPARE(m.answer, MsgAnswer::Cancel);
        QCOMPARE(fake_.pendingAnswers(), 0);
    }

    void unscriptedMessageTakesFirstButtonOrFallback_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("expected");
        QTest::newRow("ok") << int(MsgButtons::Ok) << int(MsgAnswer::Ok);
        QTest::newRow("okcancel") << int(MsgButtons::OkCancel) << int(MsgAnswer::Ok);
        QTest::newRow("yesno") << int(MsgButtons::YesNo) << int(MsgAnswer::Yes);
        QTest::newRow("yesnocancel") << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Yes);
        QTest::newRow("retry") << int(MsgButtons::RetryCancel) << int(MsgAnswer::Retry);
    }
    void unscriptedMessageTakesFirstButtonOrFallback()
    {
        QFETCH(int, buttons);
        QFETCH(int, expected);
        QCOMPARE(ui().message(MsgIcon::None, "t", "x", MsgButtons(buttons)), MsgAnswer(expected));
        fake_.setFallbackAnswer(MsgAnswer::Cancel);
        QCOMPARE(ui().message(MsgIcon::None, "t", "x", MsgButtons(buttons)), MsgAnswer::Cancel);
    }

    void fileDialogsAnswerOrCancel()
    {
        fake_.answerFile("/tmp/a.kvd");
        FileDialogRequest req{"Open", "Data Sheet (*.kvd)", "/tmp", {}, "kvd"};
        FileDialogResult r = ui().openFile(req);
        QVERIFY(r.accepted);
        QCOMPARE(r.path, QStringLiteral("/tmp/a.kvd"));
        r = ui().saveFile(req); // nothing scripted: cancelled
        QVERIFY(!r.accepted);
        QVERIFY(r.path.isEmpty());
        QCOMPARE(fake_.fileDialogs().size(), 2);
        QVERIFY(!fake_.fileDialogs().at(0).save);
        QVERIFY(fake_.fileDialogs().at(1).save);
        QCOMPARE(fake_.fileDialogs().at(1).request.filter, QStringLiteral("Data Sheet (*.kvd)"));
    }

    void inputAnswersOrCancels()
    {
        fake_.answerInput("Wave 3");
        fake_.cancelInput();
        InputResult r = ui().input("Rename", "Name:", "Wave 1");
        QVERIFY(r.accepted);
        QCOMPARE(r.text, QStringLiteral("Wave 3"));
        r = ui().input("Rename", "Name:", "Wave 1");
        QVERIFY(!r.accepted);
        QCOMPARE(fake_.inputs().at(1).initial, QStringLiteral("Wave 1"));
    }

private:
    ScriptedUi fake_;
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
