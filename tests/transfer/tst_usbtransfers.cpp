// Bulk transfers over the USB-TMC road (the program's usbtmc backend, its
// session thread, the socket stand-in of the device served by the simulator)
// cut short: a Stop at a line of the transfer, a cable pulled after some
// lines. The item or the settings stay as they were; a Stop says nothing and
// keeps the link; a pulled cable says so once, loses the link, and costs no
// reply time-out per query left; and the next transfer, over USB again,
// brings exactly what the same transfer brings over the in-process simulator
// backend: no reply given up becomes a later query's reply.

#include "simlinks.h"
#include "support/nativeinput.h"
#include "support/usbtmcsimlink.h"

#include "app/appstate.h"
#include "editors/directactions.h"
#include "link/connectfunc.h"
#include "panel/frmv_panel.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "transfer/frmprgress.h"
#include "transfer/uploaddownload.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

enum class Kind { Wave, Data, Measure, Download, Upload };

// What a transfer of the kind brought (for an upload: what the instrument
// then holds), as a comparable text (dates left out).
QStringList resultOf(Kind kind, const Qm4100Sim &sim)
{
    QStringList out;
    const TransferData &x = app().xfer;
    switch (kind) {
    case Kind::Wave: {
        const WaveDoc &d = app().Sheet.WaveDocs[0];
        out << QString::fromLatin1(d.Setup.encode().toHex()) << d.CH1VoltDiv << d.CH1Offset << d.TimeDiv;
        for (int i = 0; i <= 600; ++i)
            out << QString::number(d.CH1Rows[i]) + u',' + QString::number(d.CH2Rows[i]);
        break;
    }
    case Kind::Data:
        out << QString::number(x.PointCount) << x.MeasInfo.section(QStringLiteral("[Date:"), 0, 0);
        for (int i = 1; i <= x.PointCount && i < x.ValueText.size(); ++i)
            out << x.TimeText[i] + u' ' + x.ValueText[i];
        break;
    case Kind::Measure:
        for (const MeasItem &m : x.MeasSlot.Entries)
            out << m.Value;
        break;
    case Kind::Download:
        out << app().Settings.CH1Offset << app().Settings.CH1VoltDiv << app().Settings.TimeDiv
            << app().Settings.EdgeLevel << app().Settings.RunStop << app().Settings.CH2Display;
        break;
    case Kind::Upload:
        for (const char *header : {":CHANNEL1:OFFSET", ":CHANNEL1:SCALE", ":CHANNEL2:DISPLAY", ":TIMEBASE:SCALE",
                                   ":TIMEBASE:OFFSET", ":TRIGGER:MODE", ":TRIGGER:EDGE:LEVEL", ":ACQUIRE:TYPE"})
            out << QString::fromLatin1(sim.setting(header));
        break;
    }
    return out;
}

QString joined(const QList<QByteArray> &lines)
{
    return QString::fromLatin1(lines.join('|'));
}

bool runRequest(Kind kind)
{
    switch (kind) {
    case Kind::Wave:
        app().Sheet.WaveDocs[0].ShowCH1 = true;
        app().Sheet.WaveDocs[0].ShowCH2 = true;
        return RequestWaveformLoad(0);
    case Kind::Data: return RunTransferRequest(TransferCaption::DataTable, 3, 0, true);
    case Kind::Measure: return RunTransferRequest(TransferCaption::Measure, 1);
    case Kind::Download: return RunTransferRequest(TransferCaption::Download, 23);
    case Kind::Upload: return RunTransferRequest(TransferCaption::Upload, 22);
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestUsbTransfers : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<VirtualClock> clock_;
    std::unique_ptr<Qm4100Sim> sim_;
    std::unique_ptr<ScriptedUi> ui_;

private slots:
    void initTestCase() { qRegisterMetaType<Kind>(); }

    void init()
    {
        resetApp();
        dir_ = std::make_unique<QTemporaryDir>();
        setSettingsFile(dir_->filePath(QStringLiteral("k.ini")));
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        ui_ = std::make_unique<ScriptedUi>();
        setUi(ui_.get());
        ApplyLanguage(1);
        app().Settings.reset();
        InstallSettingsTransfer();
        sim_ = std::make_unique<Qm4100Sim>();
        sim_->handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
    }

    void cleanup()
    {
        deliverDeferredDeletes();
        sim_.reset();
        setUi(nullptr);
        setAppClock(nullptr);
        clock_.reset();
        setSettingsFile(QString());
        resetApp();
    }

    // Every transfer a user runs gives over USB what it gives over the
    // simulator backend, line for line and value for value.
    void sameAsOverTheSimulatorBackend_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("waveforms") << Kind::Wave;
        QTest::newRow("data table") << Kind::Data;
        QTest::newRow("measurements") << Kind::Measure;
        QTest::newRow("settings download") << Kind::Download;
        QTest::newRow("settings upload") << Kind::Upload;
    }
    void sameAsOverTheSimulatorBackend()
    {
        QFETCH(Kind, kind);
        QStringList overUsb;
        QList<QByteArray> usbLines;
        {
            UsbtmcSimLink usb(*sim_, *clock_);
            QVERIFY(usb.connected());
            QVERIFY(runRequest(kind));
            deliverDeferredDeletes();
            usb.serve(); // the last line, if the program still paused after it
            QVERIFY(app().xfer.RequestComplete);
            overUsb = resultOf(kind, *sim_);
            usbLines = sim_->lines();
        }
        SimVisaLink visa(*sim_, *clock_);
        QVERIFY(visa.connected());
        QVERIFY(runRequest(kind));
        deliverDeferredDeletes();
        QVERIFY(app().xfer.RequestComplete);
        const QList<QByteArray> visaLines = sim_->lines();
        QCOMPARE(joined(usbLines), joined(visaLines));
        QCOMPARE(overUsb, resultOf(kind, *sim_));
        QVERIFY(ui_->messages().isEmpty());
    }

    // A Stop at the n-th query of the transfer (while its write or its reply
    // is awaited), or the cable pulled after n lines.
    void cutShort_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("pull");
        QTest::addColumn<int>("atLine");
        const std::pair<Kind, const char *> kinds[] = {{Kind::Wave, "waveforms"},
                                                       {Kind::Data, "data table"},
                                                       {Kind::Measure, "measurements"},
                                                       {Kind::Download, "settings download"},
                                                       {Kind::Upload, "settings upload"}};
        for (const auto &[kind, name] : kinds) {
            // Every query of the shorter transfers; a spread of the download's.
            const int last = kind == Kind::Wave ? 16 : kind == Kind::Data ? 10 : kind == Kind::Measure ? 23 : 0;
            QList<int> stops;
            for (int n = 1; n <= last; ++n)
                stops << n;
            if (kind == Kind::Download)
                stops = {1, 2, 3, 5, 8, 13, 21, 34, 55, 70};
            // The upload is mostly set commands: a Stop after its n-th line.
            if (kind == Kind::Upload)
                stops = {1, 2, 3, 5, 8, 13, 21, 34};
            for (int n : stops)
                QTest::addRow("%s: Stop at query %d", name, n) << kind << false << n;
            for (int n : {1, 3, 8})
                QTest::addRow("%s: cable pulled after %d lines", name, n) << kind << true << n;
        }
    }
    void cutShort()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, pull);
        QFETCH(int, atLine);
        QStringList again;
        {
            UsbtmcSimLink usb(*sim_, *clock_);
            QVERIFY(usb.connected());
            QVERIFY(runRequest(kind));
            deliverDeferredDeletes();
            usb.serve();
            QVERIFY(app().xfer.RequestComplete);
            // The cut comes after the atLine-th line (a pulled cable, a Stop
            // in the upload) or at the atLine-th query.
            const bool byLine = pull || kind == Kind::Upload;
            qsizetype queryCount = 0;
            qsizetype stopLine = 0; // the line of the query the Stop comes at
            for (const QByteArray &line : sim_->lines()) {
                if (queryCount < atLine)
                    ++stopLine;
                queryCount += line.contains('?') ? 1 : 0;
            }
            if (byLine)
                stopLine = atLine;
            QVERIFY2(atLine <= (byLine ? sim_->lines().size() : queryCount), qPrintable(QString::number(queryCount)));
            // What a transfer cut short leaves as it was (the data and measure
            // requests fill a work area that their windows commit only whole).
            const WaveDoc keptWave = app().Sheet.WaveDocs[0];
            const CtrlSettings keptSettings = app().Settings;

            // Another picture, other settings.
            sim_->handle(":CHANNEL1:OFFSET 1.5", Qm4100Sim::Framing::VisaUsb);
            sim_->handle(":TIMEBASE:SCALE 100.0US", Qm4100Sim::Framing::VisaUsb);
            sim_->clearLog();
            clock_->advance(1000);
            qint64 cutAt = -1;
            usb.lineAwaited = pull ? -1 : stopLine - 1;
            qsizetype queries = 0;
            qsizetype cutAfter = -1; // lines taken when the cut came
            usb.onLine = [&](const QByteArray &line) {
                queries += line.contains('?') ? 1 : 0;
                if (cutAt >= 0 || (byLine ? sim_->lines().size() : queries) < atLine)
                    return;
                cutAt = clock_->nowMs();
                cutAfter = sim_->lines().size();
                if (pull)
                    usb.pull();
                else
                    abandonExchange();
            };
            runRequest(kind);
            deliverDeferredDeletes();
            usb.serve();
            usb.onLine = {};
            usb.lineAwaited = -1;
            QVERIFY(cutAt >= 0);
            QVERIFY(app().transfer.TransferDone);
            QVERIFY(!app().transfer.TransferBusy);
            QVERIFY(!app().xfer.RequestComplete);
            QVERIFY2(app().Sheet.WaveDocs[0] == keptWave, "the waveform item changed");
            QVERIFY2(app().Settings == keptSettings, "the settings changed");
            if (pull) {
                QCOMPARE(ui_->messages().size(), 1);
                QVERIFY(!app().link.LinkConnected);
                // The lost device answers at once: no reply time-out is waited out.
                QVERIFY2(clock_->nowMs() - cutAt < VisaTimeoutMs,
                         qPrintable(QStringLiteral("%1 ms after the pull").arg(clock_->nowMs() - cutAt)));
                QCOMPARE(joined(sim_->lines().mid(cutAfter)), QString());
                ui_->clear();
                ConnectInstrument();
                QVERIFY(usb.connected());
                QVERIFY(ui_->messages().isEmpty());
            } else {
                QVERIFY(ui_->messages().isEmpty());
                QVERIFY(app().link.LinkConnected);
                // Nothing went out after the Stop. A set command's pause
                // turns no event loop here, so the upload's Stop lands while
                // the next line is being written: that one is on its way.
                const qsizetype onItsWay = kind == Kind::Upload ? 1 : 0;
                QCOMPARE(joined(sim_->lines().mid(cutAfter + onItsWay)), QString());
            }
            sim_->clearLog();
            QVERIFY(runRequest(kind));
            deliverDeferredDeletes();
            QVERIFY(app().xfer.RequestComplete);
            QVERIFY(ui_->messages().isEmpty());
            again = resultOf(kind, *sim_);

        }
        // What the simulator backend brings from the same instrument.
        SimVisaLink visa(*sim_, *clock_);
        QVERIFY(runRequest(kind));
        deliverDeferredDeletes();
        QVERIFY(app().xfer.RequestComplete);
        QCOMPARE(again, resultOf(kind, *sim_));
    }

    // Connecting over USB: an instrument that answers, one that is silent,
    // one whose identity comes only after the reply time-out, and the cable
    // pulled after some lines of the sequence. Where the simulator backend
    // can stand for the same instrument, the lines, the messages and the
    // outcome are the same; a pulled cable says so once and costs no reply
    // time-out per line left. Afterwards a connect to the sound instrument
    // identifies it (no reply left over is taken as its identity).
    void connect_data()
    {
        QTest::addColumn<int>("fault"); // 0 none, 1 silent, 2 late identity
        QTest::addColumn<int>("pullAfter");
        QTest::newRow("identified") << 0 << 0;
        QTest::newRow("silent instrument") << 1 << 0;
        QTest::newRow("identity after the time-out") << 2 << 0;
        for (int n : {1, 2, 3, 4})
            QTest::addRow("cable pulled after %d lines", n) << 0 << n;
    }
    void connect()
    {
        QFETCH(int, fault);
        QFETCH(int, pullAfter);
        Qm4100Sim::Faults faults;
        faults.noReply = fault == 1;
        if (fault == 2) {
            faults.delayMs = int(VisaTimeoutMs) + 3000;
            faults.lateReplyTo = "*IDN?";
        }
        auto messagesSeen = [this] {
            QStringList out;
            for (const RecordedMessage &m : ui_->messages())
                out << m.title + u'|' + m.text;
            return out;
        };
        QStringList usbMessages;
        QList<QByteArray> usbLines;
        bool usbConnected = false;
        {
            UsbtmcSimLink usb(*sim_, *clock_, false);
            sim_->setFaults(faults);
            sim_->clearLog();
            const qint64 start = clock_->nowMs();
            qint64 pulledAt = -1;
            usb.onLine = [&](const QByteArray &) {
                if (pullAfter > 0 && pulledAt < 0 && sim_->lines().size() == pullAfter) {
                    pulledAt = clock_->nowMs();
                    usb.pull();
                }
            };
            ConnectInstrument();
            usb.onLine = {};
            usbMessages = messagesSeen();
            usbLines = sim_->lines();
            usbConnected = usb.connected();
            if (pullAfter > 0) {
                QVERIFY(pulledAt >= 0);
                QVERIFY(!usbConnected);
                QCOMPARE(usbLines.size(), qsizetype(pullAfter));
                // The transport's message, then (before the identity came)
                // the failed identification's.
                const qsizetype said = pullAfter < 4 ? 2 : 1;
                QVERIFY2(usbMessages.size() == said, qPrintable(usbMessages.join(u'/')));
                if (pullAfter < 4)
                    QCOMPARE(ui_->messages().last().text, message(Msg::MsgDeviceNotFound));
                QVERIFY2(clock_->nowMs() - pulledAt < VisaTimeoutMs,
                         qPrintable(QStringLiteral("%1 ms after the pull").arg(clock_->nowMs() - pulledAt)));
            } else {
                // One reply time-out at most, not one per line.
                QVERIFY2(clock_->nowMs() - start < 2 * qint64(VisaTimeoutMs),
                         qPrintable(QStringLiteral("%1 ms").arg(clock_->nowMs() - start)));
            }
            // Past any late reply, the sound instrument connects again.
            clock_->advance(20000);
            usb.serve();
            sim_->clearFaults();
            sim_->clearLog();
            ui_->clear();
            ConnectInstrument();
            QVERIFY(usb.connected());
            QVERIFY(ui_->messages().isEmpty());
            QCOMPARE(app().link.LaModel, quint8(1));
            QCOMPARE(sim_->lines().size(), qsizetype(4));
        }
        if (pullAfter > 0)
            return;
        ui_->clear();
        sim_->clearLog();
        SimVisaLink visa(*sim_, *clock_);
        sim_->setFaults(faults);
        sim_->clearLog();
        ui_->clear();
        ConnectInstrument();
        QCOMPARE(usbConnected, visa.connected());
        QCOMPARE(joined(usbLines), joined(sim_->lines()));
        QCOMPARE(usbMessages, messagesSeen());
    }

    // The virtual panel's screen mirror over USB, and what comes while a
    // frame is being read: a key clicked (held until the screen has come,
    // then sent once), the mirror's Stop (the frame draws nothing, no frame
    // follows until Run) and the panel closed (nothing more is sent). The
    // link stays, nothing is said, the next query gets its own reply, and
    // the picture is the one the simulator backend shows of the same screen.
    void screenMirror_data()
    {
        QTest::addColumn<int>("during"); // 0 nothing, 1 a key, 2 Stop, 3 close
        QTest::newRow("frames") << 0;
        QTest::newRow("a key clicked") << 1;
        QTest::newRow("Stop") << 2;
        QTest::newRow("panel closed") << 3;
    }
    void screenMirror()
    {
        QFETCH(int, during);
        QImage usbPicture;
        {
            UsbtmcSimLink usb(*sim_, *clock_);
            frmV_Panel p;
            p.show();
            clock_->advance(10);
            usb.serve();
            QCOMPARE(joined(sim_->lines()), QStringLiteral(":LCD:DATA?|*IDN?"));
            const QImage first = p.pictureImage();
            sim_->clearLog();
            bool came = false;
            usb.onLine = [&](const QByteArray &line) {
                if (came || line != ":LCD:DATA?")
                    return;
                came = true;
                if (during == 1)
                    QVERIFY(nativeinput::queueClick(p.key(QStringLiteral("VK_Measure"))));
                else if (during == 2)
                    p.cmdStop_Click();
                else if (during == 3)
                    p.close();
            };
            clock_->advance(1000);
            usb.serve();
            usb.onLine = {};
            QVERIFY(came);
            QVERIFY(usb.connected());
            QVERIFY(ui_->messages().isEmpty());
            const QList<QByteArray> lines = sim_->lines();
            if (during >= 2) {
                QCOMPARE(joined(lines), QStringLiteral(":LCD:DATA?"));
                QCOMPARE(p.pictureImage(), first);
                sim_->clearLog();
                clock_->advance(5000);
                usb.serve();
                QCOMPARE(joined(sim_->lines()), QString());
            } else {
                // Frames of a screen query and an identity query each, and
                // the key's line once.
                QList<QByteArray> frames = lines;
                QCOMPARE(frames.removeAll(":KEY:MEASURE"), qsizetype(during == 1 ? 1 : 0));
                QVERIFY(frames.size() > 2);
                for (qsizetype i = 0; i < frames.size(); ++i)
                    QVERIFY2(frames[i] == (i % 2 ? "*IDN?" : ":LCD:DATA?"), qPrintable(joined(lines)));
            }
            if (during == 1)
                QCOMPARE(sim_->menuLine(), QByteArray("MEASURE"));
            if (during == 2) {
                p.cmdRun_Click();
                clock_->advance(10);
                usb.serve();
            }
            if (during != 3)
                usbPicture = p.pictureImage();
            LinkState l;
            QVERIFY(identifyInstrument(QueryString(QStringLiteral("*IDN?")).toUpper(), l));
        }
        if (during == 3)
            return;
        SimVisaLink visa(*sim_, *clock_);
        frmV_Panel q;
        clock_->advance(10);
        QCOMPARE(usbPicture, q.pictureImage());
    }

    // The controller's direct actions over USB: the lines and the settings
    // read back are those of the simulator backend; with the cable pulled
    // after the first line the settings stay, the loss is said once, and no
    // reply time-out is waited out.
    void directActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("pull");
        const char *names[] = {"Force Trigger", "Trigger 50%", "LA position reset", "Display Clear"};
        for (int a = 0; a < 4; ++a) {
            QTest::addRow("%s", names[a]) << a << false;
            QTest::addRow("%s, cable pulled", names[a]) << a << true;
        }
    }
    void directActions()
    {
        QFETCH(int, action);
        QFETCH(bool, pull);
        auto run = [action] {
            switch (action) {
            case 0: ForceTrigger(); break;
            case 1: SetTrigTo50(); break;
            case 2: LaPositionReset(); break;
            default: DisplayClear(); break;
            }
        };
        CtrlSettings before;
        CtrlSettings overUsb;
        QList<QByteArray> usbLines;
        {
            UsbtmcSimLink usb(*sim_, *clock_);
            QVERIFY(usb.connected());
            before = app().Settings;
            qint64 pulledAt = -1;
            usb.onLine = [&](const QByteArray &) {
                if (pull && pulledAt < 0) {
                    pulledAt = clock_->nowMs();
                    usb.pull();
                }
            };
            run();
            usb.serve();
            usb.onLine = {};
            overUsb = app().Settings;
            usbLines = sim_->lines();
            if (pull) {
                QVERIFY(pulledAt >= 0);
                // The LA reset went out: the channels sit where a reset puts
                // them for the group sizes last known; nothing else moved.
                CtrlSettings kept = app().Settings;
                if (action == 2)
                    kept.LAChanPos = before.LAChanPos;
                QVERIFY2(kept == before, "the settings changed");
                QCOMPARE(usbLines.size(), qsizetype(1));
                // An action of one line never learns of the loss; one that
                // reads back says so once and loses the link.
                const bool readsBack = action == 1 || action == 2;
                QCOMPARE(ui_->messages().size(), qsizetype(readsBack ? 1 : 0));
                QCOMPARE(usb.connected(), !readsBack);
                QVERIFY2(clock_->nowMs() - pulledAt < VisaTimeoutMs,
                         qPrintable(QStringLiteral("%1 ms after the pull").arg(clock_->nowMs() - pulledAt)));
                return;
            }
            QVERIFY(ui_->messages().isEmpty());
            QVERIFY(usb.connected());
        }
        app().Settings = before;
        SimVisaLink visa(*sim_, *clock_);
        run();
        QCOMPARE(joined(usbLines), joined(sim_->lines()));
        QVERIFY2(overUsb == app().Settings, "other settings than over the simulator backend");
        QVERIFY(ui_->messages().isEmpty());
    }
};

QTEST_MAIN(TestUsbTransfers)
#include "tst_usbtransfers.moc"
