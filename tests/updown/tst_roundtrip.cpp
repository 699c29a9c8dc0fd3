// An upload followed by a download gives back every member that travels both
// ways, in both languages and under a comma locale; the places where the two
// are not inverse are asserted: levels lose the channel offset, texts come
// back re-formatted, the read-back edge word replaces the tree's. Every
// number on the wire carries ".".

#include "controller/ctrlfile.h"
#include "link/connectfunc.h"
#include "updown/updowncases.h"
#include "updown/updownfixture.h"
#include "values/commalocale.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

QString memberText(const CtrlSettings &s, const QString &name)
{
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text && name == QLatin1String(f.name))
            return s.*(f.text);
        if (f.array && name.startsWith(QLatin1String(f.name) + QLatin1Char('[')))
            return (s.*(f.array))[name.section(QLatin1Char('['), 1).chopped(1).toInt()];
    }
    return QStringLiteral("<no such member>");
}

void scramble(CtrlSettings &s)
{
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text)
            s.*(f.text) = QStringLiteral("?");
        else
            for (int i = 1; i <= 16; ++i)
                (s.*(f.array))[i] = QStringLiteral("?");
    }
}

QStringList arrayMembers(const char *name)
{
    QStringList out;
    for (int i = 1; i <= 16; ++i)
        out << QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(i);
    return out;
}

// The members an upload sends and a download reads back, by method.
QStringList carried(const QString &method)
{
    QStringList m = {"RunStop", "CH1TimeDiv", "CH2TimeDiv", "CH1Delay", "CH2Delay", "TimebaseFormat", "TimeDiv",
                     "Delay", "CH1Display", "CH1Probe", "CH1VoltDiv", "CH1Offset", "CH1Coupling", "CH1BWLimit",
                     "CH2Display", "CH2Probe", "CH2VoltDiv", "CH2Offset", "CH2Coupling", "CH2BWLimit",
                     "TrigMethod", "Holdoff", "LADisplay", "LASizeHi", "LASizeLo", "LAThreshold",
                     "AcqSamplingMode", "AcqType", "AcqAverages", "DispType", "DispPersist", "DispGrid"};
    m << arrayMembers("LAChanOn") << arrayMembers("LAChanPos");
    if (method == QLatin1String("EDGE"))
        m << "EdgeSource" << "EdgeSlope" << "EdgeSweep" << "EdgeCoupling" << "EdgeSensitivity" << "EdgeLevel";
    else if (method == QLatin1String("PULSE"))
        m << "PulseSource" << "PulseMode" << "PulseWidth" << "PulseSweep" << "PulseCoupling" << "PulseSensitivity"
          << "PulseLevel";
    else if (method == QLatin1String("VIDEO"))
        m << "VideoSource" << "VideoPolarity" << "VideoSync" << "VideoStandard" << "VideoLine" << "VideoSensitivity"
          << "VideoLevel";
    else if (method == QLatin1String("SLOPE"))
        m << "SlopeSource" << "SlopeMode" << "SlopeTime" << "SlopeSweep" << "SlopeCoupling" << "SlopeSensitivity"
          << "SlopeLevelA" << "SlopeLevelB";
    else if (method == QLatin1String("ALTERNATIVE"))
        m << "AltCH1Type" << "AltCH1VideoPolarity" << "AltCH1VideoSync" << "AltCH1VideoStandard"
          << "AltCH1VideoLine" << "AltCH1VideoSensitivity" << "AltCH1VideoLevel" << "AltCH2Type"
          << "AltCH2PulseMode" << "AltCH2PulseWidth" << "AltCH2PulseCoupling" << "AltCH2PulseLevel"
          << "AltCH2PulseSensitivity" << "AltCH2PulseHoldoff";
    else if (method == QLatin1String("ALTERNATIVE2"))
        m << "AltCH1Type" << "AltCH1SlopeMode" << "AltCH1SlopeTime" << "AltCH1SlopeLevelA" << "AltCH1SlopeLevelB"
          << "AltCH1SlopeSensitivity" << "AltCH1SlopeCoupling" << "AltCH2Type" << "AltCH2EdgeSlope"
          << "AltCH2EdgeCoupling" << "AltCH2EdgeLevel" << "AltCH2EdgeSensitivity" << "AltCH2EdgeHoldoff";
    else if (method == QLatin1String("PATTERN"))
        m << arrayMembers("PatCode") << "PatSweep";
    else if (method == QLatin1String("DURATION"))
        m << arrayMembers("DurCode") << "DurQualifier" << "DurTime" << "DurSweep";
    return m;
}

// Where the download does not give back what the upload sent: member -> the
// text it comes back as. Levels: the upload sends level x scale - offset, the
// download reads volts / scale (CH1 0.5 V/div, 0.2 V offset; CH2 2 V/div,
// -1 V offset; EXT has no offset).
QHash<QString, QString> differences(const QString &method, int lang)
{
    QHash<QString, QString> d = {
        {"CH1Delay", "0.000s"}, {"CH2Delay", "0.000s"},   // "0.0000s" written again by the ladder
    };
    if (method == QLatin1String("EDGE"))
        d.insert("EdgeLevel", "1.10div");                 // 1.5 div -> 0.55 V -> 1.1 div
    else if (method == QLatin1String("PULSE"))
        d.insert("PulseLevel", "1.50div");                // 1 div -> 3 V -> 1.5 div
    else if (method == QLatin1String("SLOPE")) {
        d.insert("SlopeLevelA", "-1.40div");              // -1 div -> -0.7 V
        d.insert("SlopeLevelB", "1.60div");               // 2 div -> 0.8 V
    } else if (method == QLatin1String("ALTERNATIVE")) {
        d.insert("AltCH1VideoLevel", "0.60div");          // 1 div -> 0.3 V
        d.insert("AltCH2PulseLevel", "-0.50div");         // -1 div -> -1 V
    } else if (method == QLatin1String("ALTERNATIVE2")) {
        d.insert("AltCH1SlopeLevelA", "0.60div");
        d.insert("AltCH1SlopeLevelB", "1.60div");
        d.insert("AltCH2EdgeLevel", "1.00div");           // 0.5 div -> 2 V
    } else if (method == QLatin1String("PATTERN") && lang == 1) {
        d.insert("PatCode[13]", "RISING");                // the tree's "Rising" comes back as the slope word
    }
    return d;
}

} // namespace

class TstRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void uploadThenDownload_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("method");
        const char *methods[] = {"EDGE", "PULSE", "VIDEO", "SLOPE", "ALTERNATIVE", "ALTERNATIVE2", "PATTERN",
                                 "DURATION"};
        for (const char *m : methods) {
            QTest::addRow("english %s", m) << 1 << false << QString::fromLatin1(m);
            QTest::addRow("chinese %s", m) << 0 << false << QString::fromLatin1(m);
            QTest::addRow("english comma locale %s", m) << 1 << true << QString::fromLatin1(m);
        }
    }

    void uploadThenDownload()
    {
        QFETCH(int, lang);
        QFETCH(bool, comma);
        QFETCH(QString, method);
        std::optional<CommaLocale> locale;
        if (comma) {
            locale.emplace();
            QVERIFY(locale->active());
        }
        UpDownFixture f(Link::Visa, lang);
        QVERIFY(f.connected);
        setCommonCase(app().Settings);
        setMethodCase(app().Settings, method);
        const CtrlSettings sent = app().Settings;

        UploadSettings();
        QCOMPARE(f.sim.refusedCount(), 0);
        const QStringList upload = f.simLines();
        f.sim.clearLog();
        scramble(app().Settings);
        DownloadSettings();
        QCOMPARE(f.sim.refusedCount(), 0);
        const QStringList download = f.simLines();

        const QHash<QString, QString> diff = differences(method, lang);
        for (const QString &name : carried(method)) {
            const QString back = memberText(app().Settings, name);
            const QString expected = diff.value(name, memberText(sent, name));
            QVERIFY2(back == expected, qPrintable(name + ": came back " + back + ", expected " + expected));
        }
        for (auto it = diff.begin(); it != diff.end(); ++it)
            QVERIFY2(memberText(sent, it.key()) != it.value(), qPrintable(it.key())); // a real difference

        // Texts on the way: upper-cased units, the probe without its X, the
        // instrument's own words back for the tokens sent.
        QVERIFY(upload.contains(":CHANNEL1:SCALE 500MV"));
        QCOMPARE(app().Settings.CH1VoltDiv, QStringLiteral("500mV"));
        QVERIFY(upload.contains(":CHANNEL1:PROBE 10"));
        QCOMPARE(app().Settings.CH1Probe, QStringLiteral("10X"));
        QVERIFY(upload.contains(":TRIGGER:ALTERNATION:TIMESCALE 20.00US"));
        QCOMPARE(app().Settings.CH1TimeDiv, QStringLiteral("20.00us"));
        if (method == QLatin1String("EDGE")) {
            QVERIFY(upload.contains(":TRIGGER:EDGE:SOURCE CHANNEL1"));
            QCOMPARE(f.sim.setting(":TRIGGER:EDGE:SOURCE"), QByteArray("CH1"));
            QCOMPARE(app().Settings.EdgeSource, QStringLiteral("CH1"));
        }
        if (method == QLatin1String("VIDEO")) {
            QVERIFY(upload.contains(":TRIGGER:VIDEO:STANDARD PALSECAM"));
            QCOMPARE(f.sim.setting(":TRIGGER:VIDEO:STANDARD"), QByteArray("PAL/SECAM"));
            QCOMPARE(app().Settings.VideoStandard, QStringLiteral("PAL/SECAM"));
        }
        // The active channel is given back at the end.
        QCOMPARE(download.last(), QStringLiteral(":CHANNEL:ACTIVE CHANNEL1"));

        // Every number on the wire has "." and no comma: the only commas are
        // the separators of the location and pattern codes, whole numbers.
        static const QRegularExpression codes(QStringLiteral("^:(LA:LOCATION|TRIGGER:(PATTERN|DURATION):PATTERN) "
                                                             "[0-9]+(,[0-9]+)*$"));
        static const QRegularExpression decimal(QStringLiteral("[0-9]\\.[0-9]|^\\.[0-9]| \\.[0-9]| -\\.[0-9]"));
        int decimals = 0;
        for (const QString &l : upload + download) {
            if (l.contains(QLatin1Char(',')))
                QVERIFY2(codes.match(l).hasMatch(), qPrintable(l));
            decimals += decimal.match(l).hasMatch() ? 1 : 0;
        }
        QVERIFY(decimals >= 10);
    }

    // An instrument, or a serial adapter, that ends every reply line with
    // CR LF: connected and downloaded, it gives the settings an instrument
    // ending its lines with LF alone gives, member for member, with no
    // carriage return anywhere, and the control file written from them is
    // the same file byte for byte.
    void crLfInstrumentGivesCleanSettings_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("method");
        for (const char *m : {"EDGE", "ALTERNATIVE", "PATTERN", "DURATION"}) {
            for (int lang : {1, 0}) {
                const char *l = lang ? "english" : "chinese";
                QTest::addRow("visa %s %s", l, m) << false << lang << QString::fromLatin1(m);
                QTest::addRow("serial %s %s", l, m) << true << lang << QString::fromLatin1(m);
            }
        }
    }
    void crLfInstrumentGivesCleanSettings()
    {
        QFETCH(bool, serial);
        QFETCH(int, lang);
        QFETCH(QString, method);
        UpDownFixture f(serial ? Link::Serial : Link::Visa, lang);
        QVERIFY(f.connected);
        setCommonCase(app().Settings);
        setMethodCase(app().Settings, method);
        UploadSettings();

        app().Settings.reset();
        DownloadSettings();
        const CtrlSettings plain = app().Settings;
        const QByteArray plainFile = ControlFileBytes(plain);

        Qm4100Sim::Faults crLf;
        crLf.crLf = true;
        f.sim.setFaults(crLf);
        f.sim.clearLog();
        DisconnectInstrument();
        ConnectInstrument();
        QVERIFY(app().link.LinkConnected);
        QCOMPARE(app().Settings.MathDisplay, plain.MathDisplay);
        app().Settings.reset();
        DownloadSettings();
        QCOMPARE(f.sim.count("*IDN?"), 1);
        QVERIFY(f.sim.handle(":TIMEBASE:FORMAT?", Qm4100Sim::Framing::VisaUsb).bytes().endsWith("\r\n"));
        QVERIFY(f.fakeUi.messages().isEmpty());

        for (const CtrlSettingsField &field : ctrlSettingsFields()) {
            const QString name = QLatin1String(field.name);
            if (field.text) {
                const QString got = app().Settings.*(field.text);
                QVERIFY2(!got.contains(u'\r') && !got.contains(u'\n'), qPrintable(name));
                QVERIFY2(got == plain.*(field.text), qPrintable(name + ": " + got + " vs " + plain.*(field.text)));
            } else {
                QVERIFY2(app().Settings.*(field.array) == plain.*(field.array), qPrintable(name));
            }
        }
        QCOMPARE(ControlFileBytes(app().Settings), plainFile);
    }

    // An empty answer to the logic positions' query, with either line end,
    // over either link: the sixteen positions keep what they held, and the
    // rest of the download is what the instrument holds.
    void emptyLocationReplyKeepsThePositions_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("crLf");
        QTest::newRow("visa, LF") << false << false;
        QTest::newRow("visa, CR LF") << false << true;
        QTest::newRow("serial, LF") << true << false;
        QTest::newRow("serial, CR LF") << true << true;
    }
    void emptyLocationReplyKeepsThePositions()
    {
        QFETCH(bool, serial);
        QFETCH(bool, crLf);
        UpDownFixture f(serial ? Link::Serial : Link::Visa, 1);
        QVERIFY(f.connected);
        setCommonCase(app().Settings);
        UploadSettings();
        app().Settings.reset();
        DownloadSettings();
        const CtrlSettings plain = app().Settings;
        QCOMPARE(plain.LAChanPos[16], QStringLiteral("0")); // D0 sits at position 0 on the instrument

        Qm4100Sim::Faults faults;
        faults.crLf = crLf;
        faults.emptyReplyTo = ":LA:LOCATION?";
        f.sim.setFaults(faults);
        f.sim.clearLog();
        for (int i = 1; i <= 16; ++i)
            app().Settings.LAChanPos[i] = QString::number(i % 7 + 3);
        const auto held = app().Settings.LAChanPos;
        DownloadSettings();
        QCOMPARE(f.sim.count(":LA:LOCATION?"), 1);
        QVERIFY(f.fakeUi.messages().isEmpty());
        for (int i = 1; i <= 16; ++i)
            QVERIFY2(app().Settings.LAChanPos[i] == held[i],
                     qPrintable(QStringLiteral("LAChanPos[%1]: %2").arg(i).arg(app().Settings.LAChanPos[i])));
        for (const CtrlSettingsField &field : ctrlSettingsFields()) {
            const QString name = QLatin1String(field.name);
            if (field.text)
                QVERIFY2(app().Settings.*(field.text) == plain.*(field.text), qPrintable(name));
            else if (name != QLatin1String("LAChanPos"))
                QVERIFY2(app().Settings.*(field.array) == plain.*(field.array), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TstRoundTrip)
#include "tst_roundtrip.moc"
