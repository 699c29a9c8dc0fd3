// The edit road end to end: a node double-clicked in the controller pane
// offscreen, a value chosen or typed in the setting dialog, OK; the exact
// lines reach the simulator with their pauses on the virtual clock, and the
// settings, the node and the control file's modified flag follow. Cancel, Esc
// and a disconnected link change nothing.
#include "editorsfixture.h"
#include "edittable.h"

#include "support/usbtmcsimlink.h"
#include "texts/messagetable.h"

#include <QToolButton>
#include <QtTest>

class TestEditRoad : public QObject {
    Q_OBJECT

    // Picks the entry with text in the list, then OK with the mouse.
    static void choose(CtrlDialog &d, const QString &text)
    {
        const int index = d.Combo()->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(index >= 0, qPrintable(text));
        d.Combo()->setCurrentIndex(index);
        QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
    }

    static void type(CtrlDialog &d, const QString &text)
    {
        d.inputTxt()->selectAll();
        QTest::keyClicks(d.inputTxt(), text);
        QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
    }

private slots:
    void coupling_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("simSays");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            for (int link : {int(LinkKind::Visa), int(LinkKind::Serial)}) {
                const QString name = QStringLiteral(" (%1, %2)")
                                         .arg(lang ? QStringLiteral("English") : QStringLiteral("Chinese"),
                                              link ? QStringLiteral("serial") : QStringLiteral("VISA"));
                QTest::newRow(qPrintable("CH1 DC to AC" + name))
                    << lang << link << 1 << "@WordDC" << "@WordAC" << ":CHANNEL1:COUPLING AC" << QByteArray("AC");
                QTest::newRow(qPrintable("CH2 AC to GND" + name))
                    << lang << link << 2 << "@WordAC" << "@WordGND" << ":CHANNEL2:COUPLING GND" << QByteArray("GND");
                QTest::newRow(qPrintable("CH1 GND to DC" + name))
                    << lang << link << 1 << "@WordGND" << "@WordDC" << ":CHANNEL1:COUPLING DC" << QByteArray("DC");
            }
        }
    }
    void coupling()
    {
        QFETCH(int, lang);
        QFETCH(int, link);
        QFETCH(int, channel);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, line);
        QFETCH(QByteArray, simSays);
        EditorsFixture f(lang, LinkKind(link));
        QVERIFY(f.connected);
        QString &member = channel == 1 ? app().Settings.CH1Coupling : app().Settings.CH2Coupling;
        member = resolved(from);
        f.rebuild();
        const int group = channel + 1;
        QCOMPARE(CtrlNodeText(group, 5), word(Word::ItemCoupling) + QStringLiteral(" [") + resolved(from) + u']');

        f.edit(group, 5, [&](CtrlDialog &d) { choose(d, resolved(to)); });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", line}));
        if (LinkKind(link) == LinkKind::Visa)
            QCOMPARE(f.gap(0, 1), qint64(0)); // the query takes no pause
        QCOMPARE(f.sim.setting(":CHANNEL" + QByteArray::number(channel) + ":COUPLING"), simSays);
        QCOMPARE(member, resolved(to));
        QCOMPARE(CtrlNodeText(group, 5), word(Word::ItemCoupling) + QStringLiteral(" [") + resolved(to) + u']');
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
        QCOMPARE(app().ctrl.CtrlSettingKey, word(channel == 1 ? Word::ItemCH1 : Word::ItemCH2) + word(Word::ItemCoupling));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // A value that is no entry selects nothing; OK then applies the empty
    // choice: GND is sent, the empty text stored and shown.
    void emptyChoice()
    {
        EditorsFixture f;
        app().Settings.CH2Coupling = QStringLiteral("HF");
        f.rebuild();
        f.edit(3, 5, [&](CtrlDialog &d) {
            QCOMPARE(d.choice(), QString());
            QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
        });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL2:COUPLING GND"}));
        QCOMPARE(app().Settings.CH2Coupling, QString());
        QCOMPARE(CtrlNodeText(3, 5), word(Word::ItemCoupling) + QStringLiteral(" []"));
    }

    // A stored value that is no entry of its list selects nothing; where OK
    // then has no argument to send (the choice itself goes out), the command
    // is not sent and the edit changes nothing: no line after the
    // identification, the setting, its node and the modified flag as they
    // were, no message.
    void noArgumentChangesNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("node");   // "group,item"
        QTest::addColumn<QString>("member"); // "Member=value"
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("lines"); // the list's format query, the identification and what follows
        QTest::newRow("time/div") << "TimeDiv=3.000ms" << "5,15" << "TimeDiv=3.000ms" << "@ItemTimeDiv"
                                  << QStringList{":TIMEBASE:FORMAT?", "*IDN?"};
        // The channel is made the alternation source before its time/div.
        QTest::newRow("CH1 time/div under the alternate trigger")
            << "TrigMethod=@WordAlternative;CH1TimeDiv=7.000us" << "13,15" << "CH1TimeDiv=7.000us" << "@ItemTimeDiv"
            << QStringList{":TIMEBASE:FORMAT?", "*IDN?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1"};
        QTest::newRow("averages") << "AcqType=@WordAverage;AcqAverages=17" << "7,5" << "AcqAverages=17"
                                  << "@ItemAverages" << QStringList{"*IDN?"};
        // A logic channel's position outside 0 .. 15: its node keeps it too.
        QTest::newRow("LA position") << "LAChanPos[13]=20" << "10,17" << "LAChanPos[13]=20" << "D3"
                                     << QStringList{"*IDN?"};
    }
    void noArgumentChangesNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QString, node);
        QFETCH(QString, member);
        QFETCH(QString, label);
        QFETCH(QStringList, lines);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(setup));
            f.rebuild();
            app().ctrl.CtrlFileModified = false;
            const CtrlSettings before = app().Settings;
            const QStringList id = node.split(u',');
            const QString nodeSpec = node + u'|' + label + u'|' + member.mid(member.indexOf(u'=') + 1);
            QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
            f.edit(id.at(0).toInt(), id.at(1).toInt(), [&](CtrlDialog &d) {
                QCOMPARE(d.choice(), QString());
                QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
                QVERIFY(!d.isVisible());
            });
            QCOMPARE(f.simLines(), lines);
            QVERIFY(app().Settings == before);
            QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
            QVERIFY(!app().ctrl.CtrlFileModified);
            QVERIFY(f.fakeUi.messages().isEmpty());
        }
    }

    void offset_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint64>("pause");
        QTest::newRow("half a volt") << int(LinkKind::Visa) << "0.5" << ":CHANNEL1:OFFSET 0.5" << "500mV"
                                     << qint64(VisaCommandPauseMs + 200);
        QTest::newRow("with blanks and exponent") << int(LinkKind::Visa) << " -2e-1 " << ":CHANNEL1:OFFSET -0.2"
                                                  << "-200mV" << qint64(VisaCommandPauseMs + 200);
        QTest::newRow("small") << int(LinkKind::Visa) << "0.00001" << ":CHANNEL1:OFFSET 1E-05" << "10.0uV"
                               << qint64(VisaCommandPauseMs + 200);
        // The typed value is limited to the program's bound; the read-back is
        // what the instrument kept, its own limit at 1 V/div.
        QTest::newRow("above the bound") << int(LinkKind::Visa) << "1000000" << ":CHANNEL1:OFFSET 400000"
                                         << "100V" << qint64(VisaCommandPauseMs + 200);
        QTest::newRow("below the bound") << int(LinkKind::Visa) << "-1e30" << ":CHANNEL1:OFFSET -400000"
                                         << "-100V" << qint64(VisaCommandPauseMs + 200);
        // The line and its LF, 21 characters at 3.125 ms (66 ms), 100 ms, then 200 ms.
        QTest::newRow("serial") << int(LinkKind::Serial) << "0.5" << ":CHANNEL1:OFFSET 0.5" << "500mV"
                                << qint64(66 + SerialCommandPauseMs + 200);
    }
    void offset()
    {
        QFETCH(int, link);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QFETCH(QString, stored);
        QFETCH(qint64, pause);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang, LinkKind(link));
            f.edit(2, 4, [&](CtrlDialog &d) {
                QCOMPARE(d.inputTxt()->text(), QStringLiteral("0"));
                type(d, typed);
            });
            QCOMPARE(f.simLines(), (QStringList{"*IDN?", sent, ":CHANNEL1:OFFSET?"}));
            QCOMPARE(f.gap(1, 2), pause);
            QCOMPARE(app().Settings.CH1Offset, stored);
            QCOMPARE(CtrlNodeText(2, 4), word(Word::ItemOffset) + QStringLiteral(" [") + stored + u']');
            QVERIFY(app().ctrl.CtrlFileModified);
            QCOMPARE(app().editors.OffsetLimit, 400000.0f);
        }
    }

    // The apply over USB (the program's usbtmc backend, its session thread):
    // the lines, the setting and the node are those of the simulator
    // backend. With the cable pulled after the set command, the setting keeps
    // the value typed, the loss is said once, and the read-back costs no
    // reply time-out.
    void offsetOverUsb_data()
    {
        QTest::addColumn<bool>("pull");
        QTest::newRow("answered") << false;
        QTest::newRow("cable pulled after the set command") << true;
    }
    void offsetOverUsb()
    {
        QFETCH(bool, pull);
        QStringList simBackendLines;
        QString simBackendValue;
        {
            EditorsFixture f;
            f.edit(2, 4, [&](CtrlDialog &d) { type(d, QStringLiteral("0.25")); });
            simBackendLines = f.simLines();
            simBackendValue = app().Settings.CH1Offset;
        }
        EditorsFixture f;
        UsbtmcSimLink usb(f.sim, f.clock);
        QVERIFY(usb.connected());
        f.fakeUi.clear();
        f.sim.clearLog();
        qint64 pulledAt = -1;
        usb.onLine = [&](const QByteArray &line) {
            if (pull && pulledAt < 0 && line == ":CHANNEL1:OFFSET 0.25") {
                pulledAt = f.clock.nowMs();
                usb.pull();
            }
        };
        f.edit(2, 4, [&](CtrlDialog &d) { type(d, QStringLiteral("0.25")); });
        usb.serve();
        usb.onLine = {};
        QCOMPARE(app().Settings.CH1Offset, simBackendValue);
        QCOMPARE(CtrlNodeText(2, 4), QStringLiteral("Offset [") + simBackendValue + u']');
        if (!pull) {
            QCOMPARE(f.simLines(), simBackendLines);
            QVERIFY(f.fakeUi.messages().isEmpty());
            QVERIFY(usb.connected());
            return;
        }
        QVERIFY(pulledAt >= 0);
        QCOMPARE(f.simLines(), simBackendLines.mid(0, simBackendLines.size() - 1));
        QVERIFY(!usb.connected());
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY2(f.clock.nowMs() - pulledAt < VisaTimeoutMs,
                 qPrintable(QStringLiteral("%1 ms after the pull").arg(f.clock.nowMs() - pulledAt)));
    }

    // No answer to the read-back: the offset keeps the value typed, never
    // what an empty reply would give; the link is lost, and the user told once.
    void offsetReadBackUnanswered()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        Qm4100Sim::Faults faults;
        faults.silentFromQuery = 2; // "*IDN?" is answered, the read-back is not
        f.sim.setFaults(faults);
        f.edit(2, 4, [&](CtrlDialog &d) { type(d, QStringLiteral("0.25")); });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL1:OFFSET 0.25", ":CHANNEL1:OFFSET?"}));
        QCOMPARE(app().Settings.CH1Offset, QStringLiteral("250mV"));
        QCOMPARE(CtrlNodeText(2, 4), QStringLiteral("Offset [250mV]"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgReadFailed));
    }

    // A read-back whose reply holds no value the instrument can mean (marked
    // ">" or "<", or a number beyond any of its values): the setting and its
    // node stay as the apply left them before it asked (the offset keeps the
    // value typed, the holdoff and the delay what they held), never a zero or
    // an absurd text made of the reply.
    void readBackWithoutAValue_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QString>("kept"); // empty: the text before the apply
        QTest::newRow("< to the CH1 offset") << 2 << 4 << "0.25" << QByteArray(":CHANNEL1:OFFSET?") << QByteArray("<")
                                             << QByteArray() << "250mV";
        QTest::newRow("> to the holdoff") << 6 << 9 << "0.001" << QByteArray(":TRIGGER:HOLDOFF?") << QByteArray(">")
                                          << QByteArray("1.000e+01") << "";
        QTest::newRow("< to the delay") << 5 << 16 << "0.002" << QByteArray(":TIMEBASE:OFFSET?") << QByteArray("<")
                                        << QByteArray() << "";
    }
    void readBackWithoutAValue()
    {
        QFETCH(int, group);
        QFETCH(int, item);
        QFETCH(QString, typed);
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, number);
        QFETCH(QString, kept);
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        app().Settings.Delay = QStringLiteral("1.0000ms"); // not what a zero would show
        f.rebuild();
        const QString node = CtrlNodeText(group, item);
        if (kept.isEmpty())
            kept = node.section(QStringLiteral(" ["), 1).chopped(1);
        Qm4100Sim::Faults faults;
        faults.valueMark = mark;
        faults.absurdValue = number;
        faults.valueFaultTo = query;
        f.sim.setFaults(faults);
        f.edit(group, item, [&](CtrlDialog &d) { type(d, typed); });
        QCOMPARE(f.sim.count(query), 1);
        QCOMPARE(f.simLines().last(), QString::fromLatin1(query));
        QCOMPARE(CtrlNodeText(group, item), node.section(QStringLiteral(" ["), 0, 0) + QStringLiteral(" [") + kept + u']');
        const CtrlSettings &s = app().Settings;
        QCOMPARE(group == 2 ? s.CH1Offset : group == 6 ? s.Holdoff : s.Delay, kept);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);
    }

    void delay_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("stored");
        QTest::newRow("half a millisecond") << "0.0005" << ":TIMEBASE:OFFSET 0.5MS" << "500.00us";
        QTest::newRow("two milliseconds") << "0.002" << ":TIMEBASE:OFFSET 0.002S" << "2.0000ms";
        QTest::newRow("negative") << "-0.001" << ":TIMEBASE:OFFSET -1000000.0NS" << "-1.0000ms";
        QTest::newRow("zero") << "0" << ":TIMEBASE:OFFSET 0.0NS" << "0.0000s";
        QTest::newRow("clamped") << "1e25" << ":TIMEBASE:OFFSET 100000002004088000000.0S" << "100000002004088000000.00s";
    }
    void delay()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QFETCH(QString, stored);
        EditorsFixture f;
        f.simSet(":TIMEBASE:OFFSET 0.003");
        f.edit(5, 16, [&](CtrlDialog &d) { type(d, typed); });
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":TIMEBASE:SCALE?", sent, ":TIMEBASE:OFFSET?"}));
        QCOMPARE(f.gap(2, 3), qint64(VisaCommandPauseMs + 100));
        QCOMPARE(app().Settings.Delay, stored);
        QCOMPARE(CtrlNodeText(5, 16), QStringLiteral("Delay [") + stored + u']');
    }

    void cancelChangesNothing()
    {
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            const CtrlSettings before = app().Settings;
            const QString node = CtrlNodeText(2, 5);
            f.edit(2, 5, [&](CtrlDialog &d) {
                d.Combo()->setCurrentIndex(2);
                QTest::mouseClick(d.cmdCancel(), Qt::LeftButton);
            });
            f.edit(2, 5, [&](CtrlDialog &d) {
                d.Combo()->setCurrentIndex(2);
                QTest::keyClick(&d, Qt::Key_Escape);
            });
            f.edit(2, 4, [&](CtrlDialog &d) {
                d.inputTxt()->setText(QStringLiteral("3"));
                QTest::keyClick(d.inputTxt(), Qt::Key_Escape);
            });
            QCOMPARE(f.dialogsShown.size(), 3);
            QVERIFY(f.simLines().isEmpty());
            QVERIFY(app().Settings == before);
            QCOMPARE(CtrlNodeText(2, 5), node);
            QVERIFY(!app().ctrl.CtrlFileModified);
            QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
        }
    }

    void disconnected_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << LanguageEnglish << "Please Connect Oscilloscope First!";
        QTest::newRow("Chinese") << LanguageChinese << QString::fromUtf8("请首先连接示波器！");
    }
    void disconnected()
    {
        QFETCH(int, lang);
        QFETCH(QString, text);
        EditorsFixture f(lang);
        DisconnectInstrument();
        f.sim.clearLog();
        f.fakeUi.clear();
        f.doubleClick(2, 5);
        QVERIFY(f.dialogsShown.isEmpty());
        QVERIFY(f.simLines().isEmpty());
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).icon, MsgIcon::Exclamation);
        QCOMPARE(f.fakeUi.messages().at(0).text, text);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // The link lost between opening and OK (VISA): "*IDN?" reads nothing and
    // the edit ends; nothing further goes out.
    void linkLostBeforeOk()
    {
        EditorsFixture f;
        const CtrlSettings before = app().Settings;
        f.edit(2, 5, [&](CtrlDialog &d) {
            app().link.LinkConnected = 0;
            d.Combo()->setCurrentIndex(0);
            QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(app().Settings == before);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // The cable pulled after the identification (VISA): the setting's write
    // fails, the link tells the user once and is lost. Nothing reached the
    // instrument, so the settings, the node and the modified flag stay as
    // they were, also where the branch had built the tree in its new shape.
    void writeFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("node"); // "group,item|label|value" as it stood
        QTest::addColumn<QString>("pick"); // the entry chosen
        QTest::newRow("CH2 coupling") << "CH2Coupling=@WordDC" << "3,5|@ItemCoupling|@WordDC" << "@WordGND";
        QTest::newRow("LA D7-D0") << "LAGroupLo=@WordOn" << "14,3|@ItemD7D0|@WordOn" << "@WordOff";
        QTest::newRow("trigger method") << "TrigMethod=@WordEdge" << "6,2|@ItemMethod|@WordEdge" << "@WordPulse";
        QTest::newRow("edge source") << "EdgeSource=CH1" << "6,3|@ItemSource|CH1" << "D3";
        QTest::newRow("pattern code D3") << "TrigMethod=@WordPattern;PatCode[13]=@ItemL" << "21,17|D3|@ItemL"
                                         << "@ItemH";
    }
    void writeFailsChangesNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QString, node);
        QFETCH(QString, pick);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(f.connected);
            QVERIFY(setMembers(setup));
            f.rebuild();
            app().ctrl.CtrlFileModified = false;
            const CtrlSettings before = app().Settings;
            QVERIFY2(nodeCheck(node).isEmpty(), qPrintable(nodeCheck(node)));
            SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
            QVERIFY(res);
            // The identification is answered, every write after it fails.
            struct PulledAfterIdentification final : InstrumentLines {
                SimVisaBackend::Resource *res = nullptr;
                void sendCommand(const QString &line) override { SendCommand(line); }
                QString queryString(const QString &line) override
                {
                    const QString reply = QueryString(line);
                    if (line == QLatin1String("*IDN?"))
                        res->writeStatus = VI_ERROR_IO;
                    return reply;
                }
            } lines;
            lines.res = res;
            setInstrumentLines(&lines);
            const QStringList id = node.section(u'|', 0, 0).split(u',');
            f.edit(id.at(0).toInt(), id.at(1).toInt(), [&](CtrlDialog &d) { choose(d, resolved(pick)); });
            setInstrumentLines(nullptr);
            res->writeStatus = VI_SUCCESS;
            QCOMPARE(f.simLines(), QStringList{"*IDN?"});
            QVERIFY(!app().link.LinkConnected);
            QCOMPARE(f.fakeUi.messages().size(), 1);
            QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgCannotConnect));
            QVERIFY(app().Settings == before);
            QVERIFY2(nodeCheck(node).isEmpty(), qPrintable(nodeCheck(node)));
            QVERIFY(!app().ctrl.CtrlFileModified);
        }
    }

    // The same in the volts/div dialog: the volts/div and its node stay.
    void adjustWriteFailsChangesNothing()
    {
        EditorsFixture f;
        app().Settings.CH1Probe = QStringLiteral("1X");
        app().Settings.CH1VoltDiv = QStringLiteral("1.00V");
        f.rebuild();
        app().ctrl.CtrlFileModified = false;
        const CtrlSettings before = app().Settings;
        SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
        QVERIFY(res);
        f.script = [&](QDialog &d) {
            auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(a);
            QTest::mouseClick(a->DotAddRainBtn(), Qt::LeftButton);
            QCOMPARE(a->txtDispValue()->text(), QStringLiteral("2.00V"));
            res->writeStatus = VI_ERROR_IO;
            QTest::mouseClick(a->cmdAdjustOK(), Qt::LeftButton);
            QVERIFY(!a->isVisible());
        };
        f.doubleClick(2, 3);
        res->writeStatus = VI_SUCCESS;
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgCannotConnect));
        QVERIFY(app().Settings == before);
        QVERIFY2(nodeCheck(QStringLiteral("2,3|@ItemVoltDiv|1.00V")).isEmpty(),
                 qPrintable(nodeCheck(QStringLiteral("2,3|@ItemVoltDiv|1.00V"))));
        QVERIFY(!app().ctrl.CtrlFileModified);
    }
};

QTEST_MAIN(TestEditRoad)
#include "tst_editroad.moc"
