// The VISA link over the in-process simulator: finding, choosing and opening
// the resource, the interface kind, and the waveform, setup and screen reads
// over USB-kind and serial-kind resources.
#include "linkfixture.h"

namespace {

const QList<QByteArray> ConnectLines{":KEY:LOCK ENABLE", ":WAVeform:POINts:MODE NORmal", "*IDN?", ":MATH:DISPLAY?"};

ViAttrState attribute(ViAttr attr)
{
    ViAttrState v = 0;
    viGetAttribute(app().link.VisaSession, attr, &v);
    return v;
}

} // namespace

class TestVisaLink : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void oneResourceOpensWithoutChooser()
    {
        LinkFixture f;
        f.useVisa();
        bool chooserShown = false;
        setResourceChooser([&](const QStringList &) { chooserShown = true; });
        ConnectInstrument();
        QVERIFY(!chooserShown);
        const LinkState &l = app().link;
        QCOMPARE(l.LinkConnected, qint16(-1));
        QCOMPARE(l.ResourceIndex, qint16(1));
        QCOMPARE(l.ResourceName, QString::fromLatin1(SimUsb1));
        QCOMPARE(l.VisaInterfaceType, qint16(1));
        QCOMPARE(attribute(VI_ATTR_TMO_VALUE), ViAttrState(10000));
        QCOMPARE(f.sim.deviceClears(), 1);
        QCOMPARE(f.lines(), ConnectLines);
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    void oneResourceKeepsTheEarlierChoice()
    {
        LinkFixture f;
        f.useVisa();
        app().link.ResourceIndex = 1;
        app().link.ResourceName = QString::fromLatin1(SimUsb2); // no longer present
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(app().link.LinkOpened, qint16(0));
        QCOMPARE(app().link.ResourceName, QString::fromLatin1(SimUsb2));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().title, QStringLiteral("Device Init"));
        QVERIFY(f.lines().isEmpty());
    }

    // The options dialog, opened and cancelled, leaves ResourceIndex 1 with
    // no name: the one resource found must still be opened.
    void oneResourceWithAnIndexButNoNameOpensIt()
    {
        LinkFixture f;
        f.useVisa();
        app().link.ResourceIndex = 1;
        app().link.ResourceName.clear();
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(app().link.ResourceIndex, qint16(1));
        QCOMPARE(app().link.ResourceName, QString::fromLatin1(SimUsb1));
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(f.lines(), ConnectLines);
    }

    void severalResourcesGoToTheChooser()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        Qm4100Sim second;
        f.backend->addResource(QString::fromLatin1(SimAsrl1), &second);
        app().link.BaudRateText = QStringLiteral("19200");
        QStringList shown;
        setResourceChooser([&](const QStringList &names) {
            shown = names;
            chooserAccepted(names.at(1));
        });
        ConnectInstrument();
        QCOMPARE(shown, (QStringList{QString::fromLatin1(SimUsb1), QString::fromLatin1(SimAsrl1)}));
        const LinkState &l = app().link;
        QCOMPARE(l.LinkConnected, qint16(-1));
        QCOMPARE(l.ResourceName, QString::fromLatin1(SimAsrl1));
        QCOMPARE(l.VisaInterfaceType, qint16(0));
        QCOMPARE(f.backend->resource(QString::fromLatin1(SimAsrl1))->baud, ViAttrState(19200));
        QCOMPARE(second.lines(), ConnectLines);
        QVERIFY(f.lines().isEmpty());
    }

    void cancelledChooserEndsSilently()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        f.useVisa(SimUsb2);
        app().link.OkCancel = -1; // an earlier OK must not count
        setResourceChooser([](const QStringList &) { chooserCancelled(); });
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(app().link.LinkOpened, qint16(0));
        QCOMPARE(app().link.LinkConnecting, qint16(0));
        QVERIFY(linkIndicator().disconnectedLampOn());
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(f.lines().isEmpty());
    }

    void chooserOkWithoutSelectionFailsTheOpen()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        f.useVisa(SimUsb2);
        setResourceChooser([](const QStringList &) { chooserAccepted(QString()); });
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("Can't Connect to Device!"));
        QCOMPARE(f.fakeUi.messages().first().title, QStringLiteral("Device Init"));
    }

    void resourceListIsBounded()
    {
        LinkFixture f;
        std::vector<std::unique_ptr<Qm4100Sim>> sims;
        for (int i = 0; i < 70; ++i) {
            sims.push_back(std::make_unique<Qm4100Sim>());
            f.backend->addResource(QStringLiteral("USB0::0xFFFF::0x4100::SN%1::INSTR").arg(i, 6, 10, QLatin1Char('0')),
                                   sims.back().get());
        }
        QStringList shown;
        setResourceChooser([&](const QStringList &names) {
            shown = names;
            chooserAccepted(names.last());
        });
        ConnectInstrument();
        QCOMPARE(shown.size(), ResourceListSize);
        QCOMPARE(app().link.ResourceCount, ResourceListSize);
        QCOMPARE(shown.last(), QStringLiteral("USB0::0xFFFF::0x4100::SN000064::INSTR"));
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(sims.at(64)->lines(), ConnectLines);
    }

    void interfaceKind_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<int>("kind");
        QTest::newRow("USB") << QString::fromLatin1(SimUsb1) << 1;
        QTest::newRow("usb lower case") << QStringLiteral("usb0::1::2::3::INSTR") << 1;
        QTest::newRow("ASRL") << QStringLiteral("ASRL1::INSTR") << 0;
        QTest::newRow("asrl lower case") << QStringLiteral("asrl2::instr") << 0;
        QTest::newRow("GPIB") << QStringLiteral("GPIB0::7::INSTR") << 5;
        QTest::newRow("empty") << QString() << 5;
        QTest::newRow("too short") << QStringLiteral("AS") << 5;
    }
    void interfaceKind()
    {
        QFETCH(QString, resource);
        QFETCH(int, kind);
        SetVisaInterfaceKind(resource);
        QCOMPARE(int(app().link.VisaInterfaceType), kind);
    }

    void waveformBlocks_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("points");
        QTest::newRow("usb CHANNEL1") << QString::fromLatin1(SimUsb1) << QByteArray("CHANNEL1") << 601 << 601;
        QTest::newRow("usb FFT") << QString::fromLatin1(SimUsb1) << QByteArray("FFT") << 513 << 513;
        QTest::newRow("usb DIGITAL") << QString::fromLatin1(SimUsb1) << QByteArray("DIGITAL") << 1201 << 1201;
        QTest::newRow("serial CHANNEL1") << QString::fromLatin1(SimAsrl1) << QByteArray("CHANNEL1") << 601 << 600;
        QTest::newRow("serial DIGITAL") << QString::fromLatin1(SimAsrl1) << QByteArray("DIGITAL") << 1201 << 1200;
    }
    void waveformBlocks()
    {
        QFETCH(QString, resource);
        QFETCH(QByteArray, source);
        QFETCH(int, count);
        QFETCH(int, points);
        LinkFixture f;
        f.useVisa(qPrintable(resource));
        f.sim.setMathDisplay(true);
        QVERIFY(f.connect());
        SendCommand(QStringLiteral(":WAVEFORM:DATA? ") + QString::fromLatin1(source));
        int n = 0;
        QCOMPARE(VisaReadWaveBlock(n, count), QString());
        QCOMPARE(n, points);
        const QByteArray block = f.sim.waveformBlock(source);
        for (int i = 1; i <= n; ++i)
            QCOMPARE(app().link.WorkPts[size_t(i)], int(quint8(block[i - 1])));
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(app().link.LinkConnected, qint16(-1));
    }

    void serialBlockEndingAtTheCountIsWhole()
    {
        // The last read of an exact count stops at the count without an LF:
        // all bytes are in, so the block counts.
        LinkFixture f;
        f.useVisa(SimAsrl1);
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        faults.shortBlockBy = 1;    // no LF at the end
        faults.overlongBlockBy = 1; // ... but one more byte in its place
        f.sim.setFaults(faults);
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
        int n = 0;
        VisaReadWaveBlock(n, 601);
        QCOMPARE(n, 600);
        QVERIFY(f.fakeUi.messages().isEmpty());

        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        app().link.LastSetup.reset();
        VisaReadSystemData();
        QVERIFY(f.fakeUi.messages().isEmpty());
        const QByteArray got = app().link.LastSetup.encode();
        QCOMPARE(got.left(112), f.sim.setupBlock().left(112));
        QCOMPARE(got.mid(112), QByteArray(4, '\0'));
    }

    void usbBlockReadCountReachedFails()
    {
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
        int n = -1;
        VisaReadWaveBlock(n, 600); // one byte less than the block
        QCOMPARE(n, -1);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("Can't Read data from Device!"));
        QCOMPARE(app().link.LinkConnected, qint16(0));
    }

    void waveformCountIsBounded()
    {
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        SendCommand(QStringLiteral(":LCD:DATA?")); // 74881 bytes: more than the work buffer
        int n = 0;
        VisaReadWaveBlock(n, 74881);
        QVERIFY(n <= WorkPtsSize - 1);
    }

    void setupBlock_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::newRow("usb: the whole block") << QString::fromLatin1(SimUsb1);
        QTest::newRow("serial: the 113-byte form converted") << QString::fromLatin1(SimAsrl1);
    }
    void setupBlock()
    {
        QFETCH(QString, resource);
        LinkFixture f;
        f.useVisa(qPrintable(resource));
        f.sim.setMathDisplay(true);
        f.sim.setMathFunction(2);
        QVERIFY(f.connect());
        app().link.LastSetup.overwrite(QByteArray(116, '\x77'));
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        QCOMPARE(VisaReadSystemData(), QString());
        QByteArray expected = f.sim.setupBlock();
        if (resource.startsWith(QLatin1String("ASRL")))
            expected = expected.left(112) + QByteArray(4, '\0');
        QCOMPARE(app().link.LastSetup.encode(), expected);
        QCOMPARE(app().link.LastSetup.MathOperation, quint8(2));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    void paraConvTakesTheFirst112Bytes()
    {
        quint8 raw[SetupFormBytes];
        for (int i = 0; i < SetupFormBytes; ++i)
            raw[i] = quint8(i + 1);
        SetupBlock b;
        b.overwrite(QByteArray(116, '\x55'));
        QCOMPARE(ParaConv(raw, b), 0);
        const QByteArray out = b.encode();
        QCOMPARE(out.left(112), QByteArray(reinterpret_cast<const char *>(raw), 112));
        QCOMPARE(out.mid(112), QByteArray(4, '\0'));
    }

    void screenImage()
    {
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        QByteArray buffer;
        int pumps = 0;
        setPump([&] { ++pumps; });
        const qint64 t0 = f.clock.nowMs();
        ReadScreenImage(buffer);
        QCOMPARE(f.clock.nowMs() - t0, qint64(200)); // the command's pause
        QCOMPARE(pumps, 1);                           // events processed once after the read
        QCOMPARE(buffer.size(), qsizetype(ScreenReadBytes));
        QCOMPARE(buffer.left(ScreenImageBytes), f.sim.screenImage());
        QCOMPARE(f.lines(), (QList<QByteArray>{":LCD:DATA?"}));

        // Over the serial-port control nothing is sent or read.
        f.sim.clearLog();
        app().link.IoType = IoTypeSerial;
        QByteArray untouched(5, 'u');
        ReadScreenImage(untouched);
        QCOMPARE(untouched, QByteArray(5, 'u'));
        QVERIFY(f.lines().isEmpty());
    }

    void closeSessionAndManager()
    {
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        DisconnectInstrument();
        const ViSession vi = app().link.VisaSession;
        CloseVisaDevice();
        ViByte b[4];
        QCOMPARE(viRead(vi, b, 4, nullptr), VI_ERROR_INV_OBJECT);
        QVERIFY(f.connect()); // a new connect opens a new session
        const ViSession rm = app().link.DefaultRM;
        CloseVisaAll();
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm, VisaSearchExpr, nullptr, nullptr, desc), VI_ERROR_INV_OBJECT);
    }
};

QTEST_MAIN(TestVisaLink)
#include "tst_visalink.moc"
