// The serial device going away in the middle of a session (the simulator on
// its pseudo-terminal stopped): the user is told what happened, once, and the
// lamp turns red at the first failure, whether the loss shows while the
// program is idle or only when the next refresh writes to the port.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "shell/shellfixture.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/simlinks.h"

#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

// Records each message with the state of the link while it was shown.
class WatchUi final : public Ui {
public:
    struct Seen {
        QString title;
        QString text;
        bool connected;
    };
    QList<Seen> seen;
    MsgAnswer message(MsgIcon, const QString &title, const QString &text, MsgButtons) override
    {
        seen << Seen{title, text, app().link.LinkConnected != 0};
        return MsgAnswer::Ok;
    }
    FileDialogResult openFile(const FileDialogRequest &) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest &) override { return {}; }
    InputResult input(const QString &, const QString &, const QString &) override { return {}; }
};

} // namespace

class TestSerialLost : public QObject {
    Q_OBJECT
private slots:
    void lossIsReportedOnceAndTheLampTurnsRed_data()
    {
        QTest::addColumn<bool>("idleFirst");
        QTest::addColumn<int>("lang");
        for (int lang : {1, 0}) {
            const char *in = lang == 0 ? "Chinese" : "English";
            QTest::addRow("noticed while idle, %s", in) << true << lang;
            QTest::addRow("met by the next refresh, %s", in) << false << lang;
        }
    }
    void lossIsReportedOnceAndTheLampTurnsRed()
    {
        QFETCH(bool, idleFirst);
        QFETCH(int, lang);
        ShellFixture f;
        auto w = f.loadMain();
        SwitchLanguage(lang); // at run time, as the Help menu does
        PtySerialLink link(f.sim, f.clock);
        QVERIFY(link.connected());
        w->updateConnectionLamps();
        QVERIFY(!w->lamp(true)->isHidden());
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *m = measureWindow(0);
        QVERIFY(m);
        app().Settings.CH1Display = word(Word::WordOn);
        f.clock.advance(600);
        QVERIFY(m->OptionCH[0]->isChecked());

        WatchUi watch;
        setUi(&watch);
        const QString device = link.slave;
        // The loss in the language in force.
        const QString lost = lang == 0 ? QStringLiteral("设备 %1 已被移除或已挂断。").arg(device)
                                       : QStringLiteral("The device %1 was removed or hung up.").arg(device);
        ::close(link.master); // the simulator stops
        link.master = -1;
        if (idleFirst) {
            for (int i = 0; i < 100 && app().link.LinkConnected; ++i)
                link.pumpOnce();
            QVERIFY(!app().link.LinkConnected);
            QVERIFY(!w->lamp(false)->isHidden());
            QVERIFY(w->lamp(true)->isHidden());
            QCOMPARE(watch.seen.size(), 1);
        }
        m->cmdRefresh->click();
        for (int i = 0; i < 20; ++i)
            link.pumpOnce();
        setUi(&f.fakeUi);

        QVERIFY(!app().link.LinkConnected);
        QVERIFY(!w->lamp(false)->isHidden());
        QVERIFY(w->lamp(true)->isHidden());
        // The loss, once, with the device and what befell it; the lamp was red
        // while it showed.
        QStringList texts;
        for (const auto &s : watch.seen)
            texts << s.text;
        const auto loss = std::count_if(watch.seen.begin(), watch.seen.end(),
                                        [&lost](const WatchUi::Seen &s) { return s.text == lost; });
        QVERIFY2(loss == 1, qPrintable(texts.join(QStringLiteral(" | "))));
        const WatchUi::Seen &first = watch.seen.first();
        QCOMPARE(first.text, lost);
        QCOMPARE(first.title, message(Msg::MsgRs232SendTitle));
        QVERIFY(!first.connected);
        for (const QString &t : texts)
            QVERIFY2(!t.contains(QStringLiteral("only when the port is open")) && !t.contains(QStringLiteral("端口打开时")),
                     qPrintable(t));
        // A refresh after the loss asks for a connect; nothing else is said.
        if (idleFirst) {
            QCOMPARE(watch.seen.size(), 2);
            QCOMPARE(watch.seen.at(1).text, message(Msg::MsgConnectFirst));
        } else {
            QCOMPARE(watch.seen.size(), 1);
        }
        QVERIFY(m->cmdRefresh->isEnabled());
        SwitchLanguage(1);
    }
};

QTEST_MAIN(TestSerialLost)
#include "tst_seriallost.moc"
