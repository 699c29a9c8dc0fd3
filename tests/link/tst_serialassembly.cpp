// Assembly of serial replies from receive events: text replies, length-
// prefixed blocks with split headers and payloads, overlong and oversized
// blocks, and the block wait on the virtual clock.
#include "linkfixture.h"

namespace {

QByteArray prefix(quint32 n)
{
    QByteArray h(4, '\0');
    for (int i = 0; i < 4; ++i)
        h[i] = char((n >> (8 * i)) & 0xFF);
    return h;
}

QByteArray payloadOf(const LinkState &l, int n)
{
    return QByteArray(reinterpret_cast<const char *>(l.RxBuffer.data()), n);
}

// Starts a reply as a write would.
void startReply(bool binary)
{
    LinkState &l = app().link;
    l.RxText.clear();
    l.RxStarted = 0;
    l.RxWaiting = -1;
    l.BinaryReply = binary ? -1 : 0;
}

} // namespace

class TestSerialAssembly : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void textReplyOverThreeEvents()
    {
        startReply(false);
        LinkState &l = app().link;
        ComReceiveText("1.0");
        QCOMPARE(l.RxWaiting, qint16(-1));
        ComReceiveText("00e+");
        QCOMPARE(l.RxWaiting, qint16(-1));
        ComReceiveText("00\n");
        QCOMPARE(l.RxWaiting, qint16(0));
        QCOMPARE(l.RxText, QStringLiteral("1.000e+00"));
        QCOMPARE(l.RxReceived, 9);
        QCOMPARE(payloadOf(l, 10), QByteArray("1.000e+00\n"));
    }

    void textAfterTheLineFeedIsNotPartOfTheReply()
    {
        startReply(false);
        ComReceiveText("ON\nX");
        QCOMPARE(app().link.RxText, QStringLiteral("ON"));
        QCOMPARE(app().link.RxWaiting, qint16(0));
    }

    // The line is complete at its LF; its text stops at the first CR, in
    // whichever receive event the CR and the LF come.
    void crLfLineEndLeavesNoCr_data()
    {
        QTest::addColumn<QList<QByteArray>>("events");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty, one event") << QList<QByteArray>{"\r\n"} << QString();
        QTest::newRow("empty, CR then LF") << QList<QByteArray>{"\r", "\n"} << QString();
        QTest::newRow("word, one event") << QList<QByteArray>{"RUN\r\n"} << QStringLiteral("RUN");
        QTest::newRow("list, split before LF") << QList<QByteArray>{"12,3", "4\r", "\n"} << QStringLiteral("12,34");
        QTest::newRow("CR inside the line") << QList<QByteArray>{"AB\rCD\n"} << QStringLiteral("AB");
    }
    void crLfLineEndLeavesNoCr()
    {
        QFETCH(QList<QByteArray>, events);
        QFETCH(QString, text);
        startReply(false);
        LinkState &l = app().link;
        for (qsizetype i = 0; i < events.size(); ++i) {
            QCOMPARE(l.RxWaiting, qint16(-1)); // no reply before its LF
            ComReceiveText(events[i]);
        }
        QCOMPARE(l.RxWaiting, qint16(0));
        QCOMPARE(l.RxText, text);
    }

    void highBytesBecomeLatin1Characters()
    {
        startReply(false);
        ComReceiveText(QByteArray("A\xE9\xFF\n"));
        QCOMPARE(app().link.RxText, QString(QChar(u'A')) + QChar(0xE9) + QChar(0xFF));
    }

    void textBeyondTheBufferIsDropped()
    {
        startReply(false);
        LinkState &l = app().link;
        const QByteArray junk(40000, 'a');
        ComReceiveText(junk);
        ComReceiveText(junk);
        QCOMPARE(l.RxWritePos, RxBufferSize);
        QCOMPARE(l.RxText.size(), qsizetype(RxBufferSize));
        QCOMPARE(l.RxWaiting, qint16(-1));
        ComReceiveText("tail\n"); // the line still ends the reply
        QCOMPARE(l.RxWaiting, qint16(0));
        QCOMPARE(l.RxWritePos, RxBufferSize);
    }

    void blockInTwoEvents()
    {
        startReply(true);
        LinkState &l = app().link;
        QByteArray payload(116, '\0');
        for (int i = 0; i < 116; ++i)
            payload[i] = char(i * 7 + 1);
        const QByteArray all = prefix(116) + payload;
        ComReceiveBinary(all.left(60));
        QCOMPARE(l.RxCount, 116.0);
        QCOMPARE(l.RxWaiting, qint16(-1));
        ComReceiveBinary(all.mid(60));
        QCOMPARE(l.RxReceived, 120);
        QCOMPARE(l.RxWaiting, qint16(0));
        QCOMPARE(payloadOf(l, 116), payload);
        QCOMPARE(l.RxText.size(), qsizetype(116));
    }

    void splitHeaderAndPayload_data()
    {
        QTest::addColumn<QList<int>>("cuts");
        QTest::newRow("header byte by byte") << QList<int>{1, 2, 3, 4};
        QTest::newRow("two and two, then the payload") << QList<int>{2, 4};
        QTest::newRow("three, then header end with payload") << QList<int>{3, 50};
        QTest::newRow("header and payload split in the middle") << QList<int>{4, 300};
        QTest::newRow("one byte, then everything") << QList<int>{1};
        QTest::newRow("whole") << QList<int>{};
    }
    void splitHeaderAndPayload()
    {
        QFETCH(QList<int>, cuts);
        QByteArray payload(601, '\0');
        for (int i = 0; i < 601; ++i)
            payload[i] = char((i * 13) & 0xFF);
        const QByteArray all = prefix(601) + payload;
        startReply(true);
        int from = 0;
        for (int cut : cuts) {
            ComReceiveBinary(all.mid(from, cut - from));
            QCOMPARE(app().link.RxWaiting, qint16(-1));
            from = cut;
        }
        ComReceiveBinary(all.mid(from));
        const LinkState &l = app().link;
        QCOMPARE(l.RxWaiting, qint16(0));
        QCOMPARE(l.RxCount, 601.0);
        QCOMPARE(l.RxReceived, 605);
        QCOMPARE(payloadOf(l, 601), payload);
    }

    void overlongBlockNeverCompletes()
    {
        startReply(true);
        ComReceiveBinary(prefix(4) + "abcdXY");
        QCOMPARE(app().link.RxReceived, 10);
        QCOMPARE(app().link.RxWaiting, qint16(-1));
    }

    void blockLargerThanTheBuffer()
    {
        // The header announces more than the buffer holds; every byte comes.
        startReply(true);
        const int n = RxBufferSize + 1000;
        ComReceiveBinary(prefix(quint32(n)));
        const QByteArray chunk(30000, '\x5A');
        int sent = 0;
        while (sent < n) {
            const int k = std::min<int>(int(chunk.size()), n - sent);
            ComReceiveBinary(chunk.left(k));
            sent += k;
        }
        const LinkState &l = app().link;
        QCOMPARE(l.RxWritePos, RxBufferSize);
        QCOMPARE(l.RxReceived, n + 4);
        QCOMPARE(l.RxWaiting, qint16(-1)); // dropped bytes: the wait times out
        // A header of four 0xFF bytes is read in double precision.
        startReply(true);
        ComReceiveBinary(QByteArray(4, '\xFF') + "x");
        QCOMPARE(app().link.RxCount, 4294967295.0);
        QCOMPARE(app().link.RxWaiting, qint16(-1));
    }

    // The block wait over the serial stand-in: the query goes out through
    // SendCommand, the wait pumps the simulator's pieces in.
    void blockWaitOverTheStandIn_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("delay");
        QTest::newRow("setup block") << QByteArray(":SYSTEM:DATA?") << false << 0;
        QTest::newRow("setup block, split header") << QByteArray(":SYSTEM:DATA?") << true << 0;
        QTest::newRow("waveform, split header") << QByteArray(":WAVEFORM:DATA? CHANNEL1") << true << 0;
        QTest::newRow("digital, 9.8 s late") << QByteArray(":WAVEFORM:DATA? DIGITAL") << false << 9800;
    }
    void blockWaitOverTheStandIn()
    {
        QFETCH(QByteArray, query);
        QFETCH(bool, split);
        QFETCH(int, delay);
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        faults.splitReply = split;
        faults.delayMs = delay;
        f.sim.setFaults(faults);
        SendCommand(QString::fromLatin1(query));
        QVERIFY(ComWaitBlock());
        const QByteArray expected = query.startsWith(":SYSTEM")
                                        ? f.sim.setupBlock()
                                        : f.sim.waveformBlock(query.mid(query.indexOf(' ') + 1));
        QCOMPARE(app().link.RxCount, double(expected.size()));
        QCOMPARE(payloadOf(app().link, int(expected.size())), expected);
        QCOMPARE(f.lines(), (QList<QByteArray>{query}));
        // A text query afterwards is text again.
        f.sim.clearFaults();
        QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("RUN"));
    }

    void blockWaitTimesOut_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("overlong payload") << 0;
        QTest::newRow("short payload") << 1;
        QTest::newRow("no reply") << 2;
        QTest::newRow("10.1 s late") << 3;
    }
    void blockWaitTimesOut()
    {
        QFETCH(int, fault);
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        if (fault == 0)
            faults.overlongBlockBy = 3;
        else if (fault == 1)
            faults.shortBlockBy = 3;
        else if (fault == 2)
            faults.noReply = true;
        else
            faults.delayMs = 10100;
        f.sim.setFaults(faults);
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        const qint64 t0 = f.clock.nowMs();
        QVERIFY(!ComWaitBlock());
        const qint64 waited = f.clock.nowMs() - t0;
        QVERIFY2(waited >= 9900 && waited <= 10000, qPrintable(QString::number(waited)));
        QCOMPARE(app().link.RxWaiting, qint16(-1));
        // A failed exchange: told once, the link lost.
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(app().link.LinkConnected, qint16(0));
    }

    // Bytes that keep trickling in, one every 3 s and never the end of the
    // reply (a wrong baud rate, a noisy line): each restarts the time-out,
    // but the wait still ends, as its time-out does (the user told once, the
    // link lost), three times its time-out after it began.
    void aTrickleEndsAtTheOverallDeadline_data()
    {
        QTest::addColumn<bool>("block");
        QTest::addColumn<qint64>("deadlineMs");
        QTest::newRow("text reply") << false << qint64(3 * TextReplyTicks * 100);
        QTest::newRow("block") << true << qint64(3 * BlockReplyTicks * 100);
    }
    void aTrickleEndsAtTheOverallDeadline()
    {
        QFETCH(bool, block);
        QFETCH(qint64, deadlineMs);
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults silent;
        silent.noReply = true;
        f.sim.setFaults(silent);
        const qint64 t0 = f.clock.nowMs();
        qint64 nextByte = t0 + 3000;
        bool headerSent = false;
        // A turn moves the clock on 100 ms; every 3 s one byte comes. After
        // ten minutes the reply is let complete, so that a wait without an
        // overall deadline still ends.
        setPump([&] {
            f.clock.advance(100);
            const qint64 now = f.clock.nowMs();
            if (block && !headerSent) {
                headerSent = true;
                ComReceiveBinary(QByteArray("\x10\x00\x00\x00", 4));
            }
            if (now - t0 >= 600000) {
                if (block)
                    ComReceiveBinary(QByteArray(16, 'x'));
                else
                    ComReceiveText(QByteArray("\n"));
            } else if (now >= nextByte) {
                nextByte += 3000;
                if (block)
                    ComReceiveBinary(QByteArray("x"));
                else
                    ComReceiveText(QByteArray("x"));
            }
        });
        bool came = false;
        if (block) {
            SendCommand(QStringLiteral(":SYSTEM:DATA?"));
            came = ComWaitBlock();
        } else {
            came = !QueryString(QStringLiteral(":TRIGGER:STATUS?")).isEmpty();
        }
        const qint64 waited = f.clock.nowMs() - t0;
        QVERIFY(!came);
        QVERIFY2(waited <= deadlineMs + 1000, qPrintable(QString::number(waited)));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(app().link.LinkConnected, qint16(0));
    }

    // The user stops a reply of which nothing has come yet, and the
    // instrument answers after the reply's time-out, within its overall
    // deadline: the next query gets its own reply, never the late one, and
    // the link is kept, silently. The wait for the late reply ends with it,
    // within its overall deadline.
    void aStoppedReplyThatComesLateIsNotTheNextReply_data()
    {
        QTest::addColumn<bool>("block");
        QTest::addColumn<int>("lateMs");
        QTest::newRow("text reply, 6 s late") << false << 6000;
        QTest::newRow("block, 13 s late") << true << 13000;
    }
    void aStoppedReplyThatComesLateIsNotTheNextReply()
    {
        QFETCH(bool, block);
        QFETCH(int, lateMs);
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults silent;
        silent.noReply = true;
        f.sim.setFaults(silent);
        // The late reply: a text or a block whose length byte is a line feed.
        const QByteArray late = block ? prefix(10) + QByteArray("0123456789") : QByteArray("7.5\n");
        f.serial->queue(late, lateMs);
        const qint64 t0 = f.clock.nowMs();
        setPump([&] {
            if (f.clock.nowMs() - t0 >= 500)
                abandonExchange(); // the user's Stop, half a second in
            f.serial->pumpOnce(f.clock);
        });
        if (block) {
            const LinkExchange exchange;
            SendCommand(QStringLiteral(":SYSTEM:DATA?"));
            QVERIFY(!ComWaitBlock());
        } else {
            QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString());
        }
        QVERIFY(f.clock.nowMs() - t0 < 1000);
        setPump([&] { f.serial->pumpOnce(f.clock); });
        // The next reply takes 3.5 s, within its time-out.
        Qm4100Sim::Faults slow;
        slow.delayMs = 3500;
        f.sim.setFaults(slow);
        QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("RUN"));
        QCOMPARE(f.serial->pendingPieces(), 0);
        const qint64 deadlineMs = 3LL * (block ? BlockReplyTicks : TextReplyTicks) * 100;
        QVERIFY2(f.clock.nowMs() - t0 <= deadlineMs + 1000, qPrintable(QString::number(f.clock.nowMs() - t0)));
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(app().link.LinkConnected, qint16(-1));
    }
};

QTEST_MAIN(TestSerialAssembly)
#include "tst_serialassembly.moc"
