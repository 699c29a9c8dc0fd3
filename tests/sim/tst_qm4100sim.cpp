// The instrument simulator's core: settings round trips, reset values, header
// forms, refusals, blocks and setup block, measurements, screen, keys, log
// and faults.

#include "sim/qm4100sim.h"

#include "common/setupblock.h"
#include "platform/clock.h"

#include <QtTest>
#include <cmath>

using Framing = Qm4100Sim::Framing;

namespace {

// Every query of the settings download, in its order (reset state, CH1 sources).
const QList<QByteArray> kDownloadQueries = {
    ":CHANNEL:ACTIVE?", ":TRIGGER:STATUS?",
    ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE?",
    ":TRIGGER:ALTERNATION:TIMEOFFSET?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
    ":TRIGGER:ALTERNATION:TIMESCALE?", ":TRIGGER:ALTERNATION:TIMEOFFSET?",
    ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?",
    ":CHANNEL1:PROBE?", ":CHANNEL1:SCALE?", ":CHANNEL1:COUPLING?", ":CHANNEL1:BWLIMIT?",
    ":CHANNEL1:DISPLAY?", ":CHANNEL1:OFFSET?",
    ":CHANNEL2:PROBE?", ":CHANNEL2:SCALE?", ":CHANNEL2:COUPLING?", ":CHANNEL2:BWLIMIT?",
    ":CHANNEL2:DISPLAY?", ":CHANNEL2:OFFSET?",
    ":TRIGGER:MODE?", ":TRIGGER:HOLDOFF?",
    ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:EDGE:SLOPE?", ":TRIGGER:EDGE:SWEEP?",
    ":TRIGGER:EDGE:COUPLING?", ":TRIGGER:EDGE:LEVEL?", ":TRIGGER:EDGE:SENSITIVITY?",
    ":TRIGGER:PULSE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:PULSE:MODE?", ":TRIGGER:PULSE:WIDTH?",
    ":TRIGGER:PULSE:SWEEP?", ":TRIGGER:PULSE:COUPLING?", ":TRIGGER:PULSE:LEVEL?",
    ":TRIGGER:PULSE:SENSITIVITY?",
    ":TRIGGER:VIDEO:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:VIDEO:POLARITY?", ":TRIGGER:VIDEO:MODE?",
    ":TRIGGER:VIDEO:LINE?", ":TRIGGER:VIDEO:STANDARD?", ":TRIGGER:VIDEO:LEVEL?",
    ":TRIGGER:VIDEO:SENSITIVITY?",
    ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:SLOPE:COUPLING?", ":TRIGGER:SLOPE:SWEEP?",
    ":TRIGGER:SLOPE:MODE?", ":TRIGGER:SLOPE:TIME?", ":TRIGGER:SLOPE:LEVELA?", ":TRIGGER:SLOPE:LEVELB?",
    ":TRIGGER:SLOPE:SENSITIVITY?",
    ":TRIGGER:PATTERN:PATTERN?", ":TRIGGER:PATTERN:SWEEP?", ":TRIGGER:DURATION:PATTERN?",
    ":TRIGGER:DURATION:QUALIFIER?", ":TRIGGER:DURATION:TIME?", ":TRIGGER:DURATION:SWEEP?",
    ":CHANNEL1:SCALE?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE?",
    ":TRIGGER:ALTERNATION:EDGE:SLOPE?", ":TRIGGER:ALTERNATION:EDGE:COUPLING?",
    ":TRIGGER:ALTERNATION:EDGE:LEVEL?", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF?",
    ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:PULSE:MODE?", ":TRIGGER:ALTERNATION:PULSE:TIME?",
    ":TRIGGER:ALTERNATION:PULSE:COUPLING?", ":TRIGGER:ALTERNATION:PULSE:LEVEL?",
    ":TRIGGER:ALTERNATION:PULSE:HOLDOFF?", ":TRIGGER:ALTERNATION:PULSE:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:VIDEO:POLARITY?", ":TRIGGER:ALTERNATION:VIDEO:MODE?",
    ":TRIGGER:ALTERNATION:VIDEO:LINE?", ":TRIGGER:ALTERNATION:VIDEO:STANDARD?",
    ":TRIGGER:ALTERNATION:VIDEO:LEVEL?", ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:SLOPE:COUPLING?", ":TRIGGER:ALTERNATION:SLOPE:MODE?",
    ":TRIGGER:ALTERNATION:SLOPE:TIME?", ":TRIGGER:ALTERNATION:SLOPE:LEVELA?",
    ":TRIGGER:ALTERNATION:SLOPE:LEVELB?", ":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY?",
    ":CHANNEL2:SCALE?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE?",
    ":TRIGGER:ALTERNATION:EDGE:SLOPE?", ":TRIGGER:ALTERNATION:EDGE:COUPLING?",
    ":TRIGGER:ALTERNATION:EDGE:LEVEL?", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF?",
    ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:PULSE:MODE?", ":TRIGGER:ALTERNATION:PULSE:TIME?",
    ":TRIGGER:ALTERNATION:PULSE:COUPLING?", ":TRIGGER:ALTERNATION:PULSE:LEVEL?",
    ":TRIGGER:ALTERNATION:PULSE:HOLDOFF?", ":TRIGGER:ALTERNATION:PULSE:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:VIDEO:POLARITY?", ":TRIGGER:ALTERNATION:VIDEO:MODE?",
    ":TRIGGER:ALTERNATION:VIDEO:LINE?", ":TRIGGER:ALTERNATION:VIDEO:STANDARD?",
    ":TRIGGER:ALTERNATION:VIDEO:LEVEL?", ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY?",
    ":TRIGGER:ALTERNATION:SLOPE:COUPLING?", ":TRIGGER:ALTERNATION:SLOPE:MODE?",
    ":TRIGGER:ALTERNATION:SLOPE:TIME?", ":TRIGGER:ALTERNATION:SLOPE:LEVELA?",
    ":TRIGGER:ALTERNATION:SLOPE:LEVELB?", ":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY?",
    ":LA:DISPLAY?", ":LA:STATUS?", ":LA:GROUP2:SIZE?", ":LA:GROUP1:SIZE?", ":LA:LOCATION?",
    ":LA:THRESHOLD?",
    ":ACQUIRE:MODE?", ":ACQUIRE:TYPE?", ":ACQUIRE:AVERAGES?", ":DISPLAY:TYPE?", ":DISPLAY:PERSIST?",
    ":DISPLAY:GRID?",
};

// Queries whose replies make up the visible state, for "nothing changed".
QList<QByteArray> stateQueries()
{
    QList<QByteArray> q;
    for (const QByteArray &l : kDownloadQueries)
        if (l.endsWith('?'))
            q.append(l);
    q += {":MATH:DISPLAY?", ":FFT:DISPLAY?", ":CHANNEL1:INVERT?", ":CHANNEL2:INVERT?",
          ":DIGITAL3:POSITION?", ":DIGITAL12:POSITION?"};
    return q;
}

QByteArray snapshot(Qm4100Sim &sim)
{
    QByteArray all;
    for (int ch = 1; ch <= 2; ++ch) {
        sim.handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QByteArray::number(ch), Framing::VisaUsb);
        for (const QByteArray &q : stateQueries())
            all += sim.handleLine(q, Framing::VisaUsb);
    }
    all += sim.setupBlock();
    all += QByteArray(sim.running() ? "R" : "S") + QByteArray::number(sim.activeChannel());
    return all;
}

QByteArray query(Qm4100Sim &sim, const QByteArray &q)
{
    QByteArray r = sim.handleLine(q, Framing::VisaUsb);
    if (r.endsWith('\n'))
        r.chop(1);
    return r;
}

double queryNumber(Qm4100Sim &sim, const QByteArray &q)
{
    bool ok = false;
    double v = query(sim, q).toDouble(&ok);
    return ok ? v : std::nan("");
}

quint32 prefixLength(const QByteArray &b)
{
    return quint32(quint8(b[0])) | (quint32(quint8(b[1])) << 8) | (quint32(quint8(b[2])) << 16)
           | (quint32(quint8(b[3])) << 24);
}

} // namespace

class TstQm4100Sim : public QObject {
    Q_OBJECT

private:
    VirtualClock clock_;

private slots:
    void init() { setAppClock(&clock_); }
    void cleanup() { setAppClock(nullptr); }

    void resetValues_data();
    void resetValues();
    void roundTrip_data();
    void roundTrip();
    void uploadOfNewRecordAccepted();
    void downloadAnswersEveryQuery();
    void headerForms_data();
    void headerForms();
    void refusedLines_data();
    void refusedLines();
    void coupledSettings();
    void logicChannels();

    void blockSizesPerFraming_data();
    void blockSizesPerFraming();
    void setupBlockAgreesWithWaveforms();
    void rollFillsTheScreen();
    void channelLevels();
    void invertedChannelPerRunState();
    void digitalCounter();
    void fftPeaksAtOneKilohertz();
    void mathBlock();

    void screenImage();
    void screenImageMonochrome();
    void screenFollowsState_data();
    void screenFollowsState();
    void screenMarkers();
    void screenMenuLine();

    void limits_data();
    void limits();
    void setupBlockFollowsFft();

    void measurements();
    void measurementsInvalid();
    void sampleRate();

    void keyEffects_data();
    void keyEffects();
    void mathKeyCycles();
    void otherKeysOnlyLogged();
    void autoSet();
    void trigTo50();

    void logRecordsEveryLine();
    void faults_data();
    void faults();
    void faultSilentFromNthQuery();
    void faultEmptyReplyToOneQuery();
    void faultValueReplies_data();
    void faultValueReplies();
    void faultLateReplyToOneQuery();
    void identityVariants();
};

// ---------------------------------------------------------------------------

void TstQm4100Sim::resetValues_data()
{
    QTest::addColumn<QByteArray>("q");
    QTest::addColumn<QByteArray>("reply");
    const QList<QPair<QByteArray, QByteArray>> rows = {
        {":TRIGGER:STATUS?", "RUN"}, {":CHANNEL:ACTIVE?", "CHANNEL1"},
        {":MATH:DISPLAY?", "OFF"}, {":FFT:DISPLAY?", "OFF"},
        {":CHANNEL1:DISPLAY?", "ON"}, {":CHANNEL2:DISPLAY?", "OFF"},
        {":CHANNEL2:SCALE?", "1.000e+00"}, {":CHANNEL1:OFFSET?", "0.000e+00"},
        {":CHANNEL1:COUPLING?", "AC"}, {":CHANNEL2:BWLIMIT?", "OFF"}, {":CHANNEL1:PROBE?", "1.000e+00"},
        {":CHANNEL2:INVERT?", "OFF"},
        {":TIMEBASE:FORMAT?", "Y-T"}, {":TIMEBASE:SCALE?", "1.000e-05"}, {":TIMEBASE:OFFSET?", "0.000e+00"},
        {":TRIGGER:ALTERNATION:TIMESCALE?", "1.000e-05"}, {":TRIGGER:ALTERNATION:TIMEOFFSET?", "0.000e+00"},
        {":TRIGGER:MODE?", "EDGE"}, {":TRIGGER:HOLDOFF?", "1.000e-07"},
        {":TRIGGER:EDGE:SOURCE?", "CH1"}, {":TRIGGER:EDGE:SLOPE?", "POSITIVE"},
        {":TRIGGER:EDGE:SWEEP?", "AUTO"}, {":TRIGGER:EDGE:COUPLING?", "DC"},
        {":TRIGGER:EDGE:LEVEL?", "0.000e+00"}, {":TRIGGER:EDGE:SENSITIVITY?", "1.000e-01"},
        {":TRIGGER:PULSE:SOURCE?", "CH1"}, {":TRIGGER:PULSE:MODE?", "+LESS THAN"},
        {":TRIGGER:PULSE:WIDTH?", "1.000e-06"}, {":TRIGGER:PULSE:SWEEP?", "AUTO"},
        {":TRIGGER:VIDEO:SOURCE?", "CH1"}, {":TRIGGER:VIDEO:POLARITY?", "POSITIVE"},
        {":TRIGGER:VIDEO:MODE?", "LINE"}, {":TRIGGER:VIDEO:STANDARD?", "NTSC"}, {":TRIGGER:VIDEO:LINE?", "1"},
        {":TRIGGER:SLOPE:MODE?", "+LESS THAN"}, {":TRIGGER:SLOPE:TIME?", "1.000e-06"},
        {":TRIGGER:SLOPE:LEVELA?", "0.000e+00"}, {":TRIGGER:SLOPE:LEVELB?", "2.000e-01"},
        {":TRIGGER:PATTERN:PATTERN?", "65535,65535,None"}, {":TRIGGER:PATTERN:SWEEP?", "AUTO"},
        {":TRIGGER:DURATION:PATTERN?", "65535,65535,None"}, {":TRIGGER:DURATION:QUALIFIER?", "LESS THAN"},
        {":TRIGGER:DURATION:TIME?", "1.000e-06"}, {":TRIGGER:DURATION:SWEEP?", "AUTO"},
        {":TRIGGER:ALTERNATION:TYPE?", "EDGE"}, {":TRIGGER:ALTERNATION:EDGE:HOLDOFF?", "1.000e-07"},
        {":TRIGGER:ALTERNATION:PULSE:TIME?", "1.000e-06"}, {":TRIGGER:ALTERNATION:SLOPE:LEVELB?", "0.000e+00"},
        {":TRIGGER:ALTERNATION:VIDEO:MODE?", "LINE"},
        {":LA:DISPLAY?", "OFF"}, {":LA:STATUS?", "0"}, {":LA:GROUP1:SIZE?", "BIG"}, {":LA:GROUP2:SIZE?", "BIG"},
        {":LA:LOCATION?", "0,0"}, {":LA:THRESHOLD?", "TTL"}, {":DIGITAL5:POSITION?", "0"},
        {":ACQUIRE:MODE?", "REAL_TIME"}, {":ACQUIRE:TYPE?", "NORMAL"}, {":ACQUIRE:AVERAGES?", "16"},
        {":DISPLAY:TYPE?", "VECTORS"}, {":DISPLAY:PERSIST?", "OFF"}, {":DISPLAY:GRID?", "FULL"},
        {"*IDN?", "KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.first.constData()) << r.first << r.second;
}

void TstQm4100Sim::resetValues()
{
    QFETCH(QByteArray, q);
    QFETCH(QByteArray, reply);
    Qm4100Sim sim;
    // a changed instrument goes back to the same values on reset
    sim.handle(":CHANNEL2:SCALE 20MV", Framing::VisaUsb);
    sim.handle(":TRIGGER:MODE PULSE", Framing::VisaUsb);
    sim.handle(":LA:STATUS 7", Framing::VisaUsb);
    sim.handle(":STOP", Framing::VisaUsb);
    sim.reset();
    QCOMPARE(sim.handleLine(q, Framing::VisaUsb), reply + '\n');
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::roundTrip_data()
{
    QTest::addColumn<QByteArray>("pre");     // a line sent first ("" for none)
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QByteArray>("reply");
    struct R { const char *pre, *set, *reply; };
    const R rows[] = {
        // upload: time bases
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE 1.000MS", "1.000e-03"},
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMESCALE 20.00NS", "2.000e-08"},
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMEOFFSET -1.000MS", "-1.000e-03"},
        {"", ":TIMEBASE:FORMAT XY", "X-Y"},
        {"", ":TIMEBASE:FORMAT SCANNING", "SCANNING"},
        {":TIMEBASE:FORMAT XY", ":TIMEBASE:FORMAT YT", "Y-T"},
        {"", ":TIMEBASE:SCALE 50.00S", "5.000e+01"},
        {"", ":TIMEBASE:SCALE 1.000MS", "1.000e-03"},
        {"", ":TIMEBASE:OFFSET -1.000MS", "-1.000e-03"},
        {"", ":TIMEBASE:OFFSET 100000002004088000000.0S", "1.000e+20"},
        {"", ":TIMEBASE:OFFSET -1000000.0NS", "-1.000e-03"},
        {"", ":TIMEBASE:OFFSET 0.5MS", "5.000e-04"},
        // upload: channels
        {"", ":CHANNEL2:DISPLAY ON", "ON"},
        {"", ":CHANNEL1:DISPLAY OFF", "OFF"},
        {"", ":CHANNEL1:PROBE 10", "1.000e+01"},
        {"", ":CHANNEL2:PROBE 2", "2.000e+00"},
        {"", ":CHANNEL1:PROBE 1000", "1.000e+03"},
        {"", ":CHANNEL1:SCALE 500MV", "5.000e-01"},
        {"", ":CHANNEL2:SCALE 2.00MV", "2.000e-03"},
        {":CHANNEL1:PROBE 1000", ":CHANNEL1:SCALE 10.0KV", "1.000e+04"},
        {"", ":CHANNEL2:SCALE 0.00205", "2.050e-03"},
        {"", ":CHANNEL1:OFFSET -200MV", "-2.000e-01"},
        {"", ":CHANNEL2:OFFSET 1.50V", "1.500e+00"},
        {"", ":CHANNEL1:OFFSET 1E-05", "1.000e-05"},
        {":CHANNEL2:PROBE 1000", ":CHANNEL2:OFFSET -100000", "-1.000e+05"},
        {"", ":CHANNEL1:COUPLING DC", "DC"},
        {"", ":CHANNEL2:COUPLING GND", "GND"},
        {"", ":CHANNEL1:COUPLING HF", "HF"},
        {"", ":CHANNEL2:COUPLING LF", "LF"},
        {"", ":CHANNEL1:BWLIMIT ON", "ON"},
        // trigger
        {"", ":TRIGGER:MODE PULSE", "PULSE"},
        {"", ":TRIGGER:MODE VIDEO", "VIDEO"},
        {"", ":TRIGGER:MODE SLOPE", "SLOPE"},
        {"", ":TRIGGER:MODE ALTERNATION", "ALTERNATION"},
        {"", ":TRIGGER:MODE PATTERN", "PATTERN"},
        {"", ":TRIGGER:MODE DURATION", "DURATION"},
        {"", ":TRIGGER:HOLDOFF 1.00MS", "1.000e-03"},
        {"", ":TRIGGER:EDGE:SOURCE CHANNEL2", "CH2"},
        {"", ":TRIGGER:EDGE:SOURCE EXT5", "EXT5"},
        {"", ":TRIGGER:EDGE:SOURCE ACLINE", "ACLINE"},
        {"", ":TRIGGER:EDGE:SOURCE DIGITAL15", "D15"},
        {"", ":TRIGGER:EDGE:SLOPE NEGATIVE", "NEGATIVE"},
        {"", ":TRIGGER:EDGE:SLOPE ALTERNATION", "ALTERNATION"},
        {"", ":TRIGGER:EDGE:SWEEP SINGLE", "SINGLE"},
        {"", ":TRIGGER:EDGE:COUPLING HF", "HF"},
        {"", ":TRIGGER:EDGE:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:EDGE:LEVEL .4", "4.000e-01"},
        {"", ":TRIGGER:EDGE:LEVEL -.25", "-2.500e-01"},
        {"", ":TRIGGER:EDGE:LEVEL 1E-15", "1.000e-15"},
        {"", ":TRIGGER:PULSE:SOURCE DIGITAL3", "D3"},
        {"", ":TRIGGER:PULSE:SOURCE EXT", "EXT"},
        {"", ":TRIGGER:PULSE:MODE -GREATERTHAN", "-GREATER THAN"},
        {"", ":TRIGGER:PULSE:MODE +EQUAL", "+EQUAL"},
        {"", ":TRIGGER:PULSE:WIDTH 20US", "2.000e-05"},
        {"", ":TRIGGER:PULSE:SWEEP NORMAL", "NORMAL"},
        {"", ":TRIGGER:PULSE:COUPLING AC", "AC"},
        {"", ":TRIGGER:PULSE:LEVEL 1.5", "1.500e+00"},
        {"", ":TRIGGER:PULSE:SENSITIVITY 1.00div", "1.000e+00"},
        {"", ":TRIGGER:VIDEO:SOURCE EXT", "EXT"},
        {"", ":TRIGGER:VIDEO:SOURCE CHANNEL2", "CH2"},
        {"", ":TRIGGER:VIDEO:POLARITY NEGATIVE", "NEGATIVE"},
        {"", ":TRIGGER:VIDEO:MODE ODDFIELD", "ODD FIELD"},
        {"", ":TRIGGER:VIDEO:MODE ALLLINES", "ALL LINES"},
        {"", ":TRIGGER:VIDEO:MODE EVENFIELD", "EVEN FIELD"},
        {"", ":TRIGGER:VIDEO:STANDARD PALSECAM", "PAL/SECAM"},
        {":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE 625", "625"},
        {"", ":TRIGGER:VIDEO:LINE 525", "525"},
        {"", ":TRIGGER:VIDEO:LEVEL -.25", "-2.500e-01"},
        {"", ":TRIGGER:VIDEO:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:SLOPE:SOURCE CHANNEL2", "CH2"},
        {"", ":TRIGGER:SLOPE:MODE -LESSTHAN", "-LESS THAN"},
        {"", ":TRIGGER:SLOPE:TIME 2.0US", "2.000e-06"},
        {"", ":TRIGGER:SLOPE:SWEEP SINGLE", "SINGLE"},
        {"", ":TRIGGER:SLOPE:COUPLING LF", "LF"},
        {"", ":TRIGGER:SLOPE:LEVELA .75", "7.500e-01"},
        {"", ":TRIGGER:SLOPE:LEVELB 0.75", "7.500e-01"},
        {"", ":TRIGGER:SLOPE:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:PATTERN:PATTERN 128,192,6,1", "128,192,Chan6,Positive"},
        {"", ":TRIGGER:PATTERN:PATTERN 32768,65534,3,0", "32768,65534,Chan3,Negative"},
        {"", ":TRIGGER:PATTERN:PATTERN 0,0", "0,0,None"},
        {"", ":TRIGGER:PATTERN:SWEEP NORMAL", "NORMAL"},
        {"", ":TRIGGER:DURATION:PATTERN 65534,65534", "65534,65534,None"},
        {"", ":TRIGGER:DURATION:QUALIFIER GREATERTHAN", "GREATER THAN"},
        {"", ":TRIGGER:DURATION:QUALIFIER EQUAL", "EQUAL"},
        {"", ":TRIGGER:DURATION:TIME 5.0US", "5.000e-06"},
        {"", ":TRIGGER:DURATION:SWEEP SINGLE", "SINGLE"},
        // alternating trigger, addressed through the source
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE VIDEO", "VIDEO"},
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE SLOPE", "SLOPE"},
        {"", ":TRIGGER:ALTERNATION:EDGE:SLOPE NEGATIVE", "NEGATIVE"},
        {"", ":TRIGGER:ALTERNATION:EDGE:SLOPE ALTERNATION", "ALTERNATION"},
        {"", ":TRIGGER:ALTERNATION:EDGE:COUPLING AC", "AC"},
        {"", ":TRIGGER:ALTERNATION:EDGE:LEVEL -.25", "-2.500e-01"},
        {"", ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF 200NS", "2.000e-07"},
        {":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF 0.5MS", "5.000e-04"},
        {"", ":TRIGGER:ALTERNATION:PULSE:MODE -EQUAL", "-EQUAL"},
        {"", ":TRIGGER:ALTERNATION:PULSE:TIME 3US", "3.000e-06"},
        {"", ":TRIGGER:ALTERNATION:PULSE:COUPLING HF", "HF"},
        {"", ":TRIGGER:ALTERNATION:PULSE:LEVEL .4", "4.000e-01"},
        {"", ":TRIGGER:ALTERNATION:PULSE:SENSITIVITY 1.00div", "1.000e+00"},
        {"", ":TRIGGER:ALTERNATION:PULSE:HOLDOFF 1.00MS", "1.000e-03"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:POLARITY NEGATIVE", "NEGATIVE"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:MODE EVENFIELD", "EVEN FIELD"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:STANDARD PALSECAM", "PAL/SECAM"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:LINE 17", "17"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:LEVEL 1.5", "1.500e+00"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:ALTERNATION:VIDEO:HOLDOFF 2US", "2.000e-06"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:COUPLING AC", "AC"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:MODE +GREATERTHAN", "+GREATER THAN"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:TIME 4US", "4.000e-06"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:LEVELA -.25", "-2.500e-01"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:LEVELB .4", "4.000e-01"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY 0.30div", "3.000e-01"},
        {"", ":TRIGGER:ALTERNATION:SLOPE:HOLDOFF 1.00MS", "1.000e-03"},
        // logic analyser
        {"", ":LA:DISPLAY ON", "ON"},
        {"", ":LA:STATUS 65535", "65535"},
        {"", ":LA:STATUS 4660", "4660"},
        {"", ":LA:GROUP2:SIZE SMALL", "SMALL"},
        {"", ":LA:GROUP1:SIZE SMALL", "SMALL"},
        {"", ":LA:LOCATION 1985229328,4275878552", "1985229328,4275878552"},
        {"", ":LA:LOCATION 65536,0", "65536,0"},
        {"", ":LA:THRESHOLD ECL", "ECL"},
        {"", ":LA:THRESHOLD CMOS", "CMOS"},
        {":LA:THRESHOLD CMOS", ":LA:THRESHOLD TTL", "TTL"},
        {"", ":LA:THRESHOLD 1.4V", "User 1.4"},
        {"", ":LA:THRESHOLD 1.40V", "User 1.4"},
        {"", ":LA:THRESHOLD 500MV", "User 0.5"},
        {"", ":LA:THRESHOLD 0.5MV", "User 0.0005"},
        {"", ":LA:THRESHOLD -1300000000.0NV", "User -1.3"},
        {"", ":DIGITAL7:POSITION 15", "15"},
        // acquire, display, active channel
        {"", ":ACQUIRE:MODE ETIME", "EQUAL_TIME"},
        {":ACQUIRE:MODE ETIME", ":ACQUIRE:MODE RTIME", "REAL_TIME"},
        {"", ":ACQUIRE:TYPE PEAKDETECT", "PEAKDETECT"},
        {"", ":ACQUIRE:TYPE AVERAGE", "AVERAGE"},
        {"", ":ACQUIRE:AVERAGES 256", "256"},
        {"", ":ACQUIRE:AVERAGES 2", "2"},
        {"", ":DISPLAY:TYPE DOTS", "DOTS"},
        {"", ":DISPLAY:PERSIST ON", "ON"},
        {"", ":DISPLAY:GRID HALF", "HALF"},
        {"", ":DISPLAY:GRID NONE", "NONE"},
        {"", ":CHANNEL:ACTIVE CHANNEL2", "CHANNEL2"},
        {"", ":CHANNEL:ACTIVE CH2", "CHANNEL2"},
        {":CHANNEL:ACTIVE CHANNEL2", ":CHANNEL:ACTIVE CH1", "CHANNEL1"},
    };
    for (const R &r : rows)
        QTest::newRow(r.set) << QByteArray(r.pre) << QByteArray(r.set) << QByteArray(r.reply);
}

void TstQm4100Sim::roundTrip()
{
    QFETCH(QByteArray, pre);
    QFETCH(QByteArray, set);
    QFETCH(QByteArray, reply);
    Qm4100Sim sim;
    if (!pre.isEmpty())
        QVERIFY(sim.handle(pre, Framing::VisaUsb).isEmpty());
    const QByteArray header = set.left(set.indexOf(' '));
    const QByteArray q = header + '?';
    // the value really changes (a set that did nothing would fail here)
    QVERIFY2(query(sim, q) != reply, query(sim, q).constData());
    QVERIFY(sim.handle(set, Framing::VisaUsb).isEmpty());   // sets are never answered
    QCOMPARE(sim.handleLine(q, Framing::VisaUsb), reply + '\n');
    QCOMPARE(sim.handleLine(q, Framing::LengthPrefix), reply + '\n');   // text has no prefix
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::uploadOfNewRecordAccepted()
{
    const QList<QByteArray> upload = {
        ":RUN", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE 10.00US",
        ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
        ":TRIGGER:ALTERNATION:TIMESCALE 10.00US", ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S",
        ":TIMEBASE:FORMAT YT", ":TIMEBASE:SCALE 10.00US", ":TIMEBASE:OFFSET 0.0000S", ":CHANNEL1:DISPLAY ON",
        ":CHANNEL1:PROBE 1", ":CHANNEL1:SCALE 1.00V", ":CHANNEL1:OFFSET 0.00MV", ":CHANNEL1:COUPLING AC",
        ":CHANNEL1:BWLIMIT OFF", ":CHANNEL2:DISPLAY OFF", ":CHANNEL2:PROBE 1", ":CHANNEL2:SCALE 1.00V",
        ":CHANNEL2:OFFSET 0.00MV", ":CHANNEL2:COUPLING AC", ":CHANNEL2:BWLIMIT OFF", ":TRIGGER:MODE EDGE",
        ":TRIGGER:HOLDOFF 100NS", ":TRIGGER:EDGE:SOURCE CHANNEL1", ":TRIGGER:EDGE:SLOPE POSITIVE",
        ":TRIGGER:EDGE:SWEEP AUTO", ":TRIGGER:EDGE:COUPLING DC", ":TRIGGER:EDGE:SENSITIVITY 0.10div",
        ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:LEVEL 0",
        ":LA:DISPLAY OFF", ":LA:STATUS 0", ":LA:GROUP2:SIZE BIG", ":LA:GROUP1:SIZE BIG", ":LA:LOCATION 0,0",
        ":LA:THRESHOLD TTL", ":ACQUIRE:MODE RTIME", ":ACQUIRE:TYPE NORMAL", ":ACQUIRE:AVERAGES 16",
        ":DISPLAY:TYPE VECTORS", ":DISPLAY:PERSIST OFF", ":DISPLAY:GRID FULL",
        // the lines of the other trigger types' blocks and the slope window
        ":TRIGGER:SLOPE:WINDOW PA", ":TRIGGER:PULSE:WIDTH 1US", ":TRIGGER:SLOPE:TIME 1US",
        ":TRIGGER:DURATION:TIME 1US",
    };
    Qm4100Sim sim;
    sim.handle(":CHANNEL2:SCALE 20MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:FORMAT SCANNING", Framing::VisaUsb);
    Qm4100Sim fresh;
    for (const QByteArray &l : upload)
        sim.handle(l, Framing::VisaUsb);
    QCOMPARE(sim.refusedCount(), 0);
    QCOMPARE(sim.handleLine(":TRIGGER:EDGE:SOURCE?", Framing::VisaUsb), QByteArray("CH1\n"));
    // the upload of a new record puts the instrument back into its reset state
    QCOMPARE(snapshot(sim), snapshot(fresh));
    QCOMPARE(sim.setting(":TRIGGER:SLOPE:WINDOW"), QByteArray("PA"));
}

void TstQm4100Sim::downloadAnswersEveryQuery()
{
    Qm4100Sim sim;
    int queries = 0;
    for (const QByteArray &l : kDownloadQueries) {
        Qm4100Sim::Reply r = sim.handle(l, Framing::LengthPrefix);
        if (l.endsWith('?')) {
            ++queries;
            QVERIFY2(!r.isEmpty() && r.bytes().endsWith('\n') && r.bytes().count('\n') == 1, l.constData());
            QVERIFY2(!r.bytes().contains('\r'), l.constData());
        } else {
            QVERIFY(r.isEmpty());
        }
    }
    QCOMPARE(queries, 119 + 4);   // 119 fixed and 4 scale queries
    QCOMPARE(sim.refusedCount(), 0);
    sim.handle(":CHANNEL:ACTIVE CHANNEL1", Framing::LengthPrefix);
    QCOMPARE(sim.refusedCount(), 0);
    QCOMPARE(sim.setting(":TRIGGER:ALTERNATION:SOURCE"), QByteArray("CHANNEL2"));
}

void TstQm4100Sim::headerForms_data()
{
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QByteArray>("q");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("short") << QByteArray(":CHAN1:SCAL 500MV") << QByteArray(":CHANNEL1:SCALE?") << QByteArray("5.000e-01");
    QTest::newRow("lower") << QByteArray(":channel2:scale 200mv") << QByteArray(":chan2:scal?") << QByteArray("2.000e-01");
    QTest::newRow("mixed") << QByteArray(":TriGger:EDGE:SWEep normal") << QByteArray(":TRIG:EDGE:SWE?") << QByteArray("NORMAL");
    QTest::newRow("no colon") << QByteArray("TIM:SCAL 1MS") << QByteArray(":TIMEBASE:SCALE?") << QByteArray("1.000e-03");
    QTest::newRow("alt long") << QByteArray(":TRIG:ALT:TIMESCALE 2MS") << QByteArray(":TRIGGER:ALTERNATION:TIMESCALE?") << QByteArray("2.000e-03");
    QTest::newRow("levela") << QByteArray(":TRIG:SLOP:LEVELA 1") << QByteArray(":trigger:slope:levela?") << QByteArray("1.000e+00");
    QTest::newRow("digital") << QByteArray(":DIG12:POS 3") << QByteArray(":DIGITAL12:POSITION?") << QByteArray("3");
    QTest::newRow("points mode") << QByteArray(":WAVeform:POINts:MODE NORmal") << QByteArray("*idn?")
                                 << QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01");
}

void TstQm4100Sim::headerForms()
{
    QFETCH(QByteArray, set);
    QFETCH(QByteArray, q);
    QFETCH(QByteArray, reply);
    Qm4100Sim sim;
    sim.handle(set, Framing::VisaUsb);
    QCOMPARE(sim.handleLine(q, Framing::VisaUsb), reply + '\n');
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::refusedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty sweep") << QByteArray(":TRIGGER:EDGE:SWEEP ");
    QTest::newRow("empty active") << QByteArray(":CHANNEL:ACTIVE ");
    QTest::newRow("empty averages") << QByteArray(":ACQUIRE:AVERAGES ");
    QTest::newRow("non-ascii") << QByteArray(":LA:THRESHOLD \xe7\x94\xa8\xe6\x88\xb7");
    QTest::newRow("non-ascii header") << QByteArray(":CHANNEL1:SCALE\xff 1V");
    QTest::newRow("cr") << QByteArray(":CHANNEL1:SCALE 1V\r");
    QTest::newRow("empty line") << QByteArray("");
    QTest::newRow("unknown set") << QByteArray(":CHANNEL1:COLOUR RED");
    QTest::newRow("unknown query") << QByteArray(":CHANNEL1:COLOUR?");
    QTest::newRow("unknown common") << QByteArray("*RST");
    QTest::newRow("math set") << QByteArray(":MATH:DISPLAY ON");
    QTest::newRow("bad token") << QByteArray(":TRIGGER:EDGE:SWEEP SOMETIMES");
    QTest::newRow("pulse source from ACLINE word") << QByteArray(":TRIGGER:PULSE:SOURCE DIGITALCLINE");
    QTest::newRow("video source logic") << QByteArray(":TRIGGER:VIDEO:SOURCE DIGITAL3");
    QTest::newRow("trigger coupling GND") << QByteArray(":TRIGGER:EDGE:COUPLING GND");
    QTest::newRow("zero scale") << QByteArray(":CHANNEL1:SCALE 0.00MV");
    QTest::newRow("negative time/div") << QByteArray(":TIMEBASE:SCALE -1MS");
    QTest::newRow("number garbage") << QByteArray(":CHANNEL1:OFFSET 1,5V");
    QTest::newRow("nan") << QByteArray(":CHANNEL1:OFFSET NAN");
    QTest::newRow("inf") << QByteArray(":TRIGGER:EDGE:LEVEL 1E999");
    QTest::newRow("probe 3") << QByteArray(":CHANNEL1:PROBE 3");
    QTest::newRow("line 0") << QByteArray(":TRIGGER:VIDEO:LINE 0");
    QTest::newRow("line 626") << QByteArray(":TRIGGER:VIDEO:LINE 626");
    QTest::newRow("pattern 3 parts") << QByteArray(":TRIGGER:PATTERN:PATTERN 1,2,3");
    QTest::newRow("pattern too big") << QByteArray(":TRIGGER:PATTERN:PATTERN 65536,0");
    QTest::newRow("pattern edge 16") << QByteArray(":TRIGGER:PATTERN:PATTERN 1,1,16,1");
    QTest::newRow("location too big") << QByteArray(":LA:LOCATION 4294967296,0");
    QTest::newRow("status too big") << QByteArray(":LA:STATUS 65536");
    QTest::newRow("position 16") << QByteArray(":DIGITAL3:POSITION 16");
    QTest::newRow("digital 16") << QByteArray(":DIGITAL16:TURN ON");
    QTest::newRow("two blanks") << QByteArray(":CHANNEL1:SCALE  1V");
    QTest::newRow("run with argument") << QByteArray(":STOP NOW");
    QTest::newRow("query with argument") << QByteArray(":CHANNEL1:SCALE? CHANNEL1");
    QTest::newRow("measure without argument") << QByteArray(":MEASURE:VPP?");
    QTest::newRow("measure math") << QByteArray(":MEASURE:VPP? MATH");
    QTest::newRow("waveform unknown") << QByteArray(":WAVEFORM:DATA? REF");
    QTest::newRow("set-only queried") << QByteArray(":KEY:LOCK?");
    QTest::newRow("ambiguous short") << QByteArray(":TRIG:ALT:TIM?");
    QTest::newRow("knob bad step") << QByteArray(":KEY:V_POS_INC -5");
    QTest::newRow("key with argument") << QByteArray(":KEY:RUN 1");
    QTest::newRow("double colon") << QByteArray("::CHANNEL1:SCALE 1V");
    QTest::newRow("baud 1200") << QByteArray(":RS232:BAUD 1200");
}

void TstQm4100Sim::refusedLines()
{
    QFETCH(QByteArray, line);
    Qm4100Sim sim;
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    const QByteArray before = snapshot(sim);
    sim.clearLog();
    Qm4100Sim::Reply r = sim.handle(line, Framing::LengthPrefix);
    QVERIFY(r.isEmpty());
    QCOMPARE(sim.log().size(), 1);
    QVERIFY(sim.log().first().refused);
    QVERIFY(!sim.log().first().answered);
    QCOMPARE(sim.log().first().line, line);
    QCOMPARE(snapshot(sim), before);
    QCOMPARE(sim.setting(":RS232:BAUD"), QByteArray("9600"));
    // and it keeps serving
    QCOMPARE(sim.handleLine(":CHANNEL1:SCALE?", Framing::VisaUsb), QByteArray("5.000e-01\n"));
}

void TstQm4100Sim::coupledSettings()
{
    Qm4100Sim sim;
    auto send = [&](const QByteArray &l) { QVERIFY(sim.handle(l, Framing::VisaUsb).isEmpty()); };
    // the probe multiplies scale and offset
    send(":CHANNEL1:SCALE 500MV");
    send(":CHANNEL1:OFFSET 1V");
    send(":CHANNEL1:PROBE 10");
    QCOMPARE(query(sim, ":CHANNEL1:SCALE?"), QByteArray("5.000e+00"));
    QCOMPARE(query(sim, ":CHANNEL1:OFFSET?"), QByteArray("1.000e+01"));
    send(":CHANNEL1:PROBE 5");
    QCOMPARE(query(sim, ":CHANNEL1:SCALE?"), QByteArray("2.500e+00"));
    QCOMPARE(query(sim, ":CHANNEL1:OFFSET?"), QByteArray("5.000e+00"));
    // the scale keeps the offset in divisions
    send(":CHANNEL1:SCALE 5V");
    QCOMPARE(query(sim, ":CHANNEL1:OFFSET?"), QByteArray("1.000e+01"));
    // X-Y turns both channels on
    send(":CHANNEL1:DISPLAY OFF");
    send(":TIMEBASE:FORMAT XY");
    QCOMPARE(query(sim, ":CHANNEL1:DISPLAY?"), QByteArray("ON"));
    QCOMPARE(query(sim, ":CHANNEL2:DISPLAY?"), QByteArray("ON"));
    // the alternating trigger puts the format to Y-T
    send(":TRIGGER:MODE ALTERNATION");
    QCOMPARE(query(sim, ":TIMEBASE:FORMAT?"), QByteArray("Y-T"));
    // NTSC limits the line to 525, for the main and the alternating trigger
    send(":TRIGGER:VIDEO:STANDARD PALSECAM");
    send(":TRIGGER:VIDEO:LINE 600");
    send(":TRIGGER:VIDEO:STANDARD NTSC");
    QCOMPARE(query(sim, ":TRIGGER:VIDEO:LINE?"), QByteArray("525"));
    send(":TRIGGER:VIDEO:LINE 600");
    QCOMPARE(query(sim, ":TRIGGER:VIDEO:LINE?"), QByteArray("525"));
    send(":TRIGGER:ALTERNATION:SOURCE CHANNEL2");
    send(":TRIGGER:ALTERNATION:VIDEO:STANDARD PALSECAM");
    send(":TRIGGER:ALTERNATION:VIDEO:LINE 610");
    send(":TRIGGER:ALTERNATION:VIDEO:STANDARD NTSC");
    QCOMPARE(query(sim, ":TRIGGER:ALTERNATION:VIDEO:LINE?"), QByteArray("525"));
    // alternating settings are kept per channel
    send(":TRIGGER:ALTERNATION:EDGE:LEVEL 1.5");
    send(":TRIGGER:ALTERNATION:TIMESCALE 1MS");
    send(":TRIGGER:ALTERNATION:SOURCE CHANNEL1");
    QCOMPARE(query(sim, ":TRIGGER:ALTERNATION:EDGE:LEVEL?"), QByteArray("0.000e+00"));
    QCOMPARE(query(sim, ":TRIGGER:ALTERNATION:TIMESCALE?"), QByteArray("1.000e-05"));
    QCOMPARE(query(sim, ":TRIGGER:ALTERNATION:VIDEO:LINE?"), QByteArray("1"));
    QCOMPARE(sim.altSetting(2, ":TRIGGER:ALTERNATION:EDGE:LEVEL"), QByteArray("1.500e+00"));
    // run and stop
    send(":STOP");
    QCOMPARE(query(sim, ":TRIGGER:STATUS?"), QByteArray("STOP"));
    send(":RUN");
    QCOMPARE(query(sim, ":TRIGGER:STATUS?"), QByteArray("RUN"));
    // set-only settings are recorded
    send(":KEY:LOCK ENABLE");
    send(":RS232:BAUD 19200");
    QCOMPARE(sim.setting(":KEY:LOCK"), QByteArray("ENABLE"));
    QCOMPARE(sim.setting(":RS232:BAUD"), QByteArray("19200"));
    send(":MEASURE:SOURCE CHANNEL2");
    QCOMPARE(sim.setting(":MEASURE:SOURCE"), QByteArray("CHANNEL2"));
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::logicChannels()
{
    Qm4100Sim sim;
    auto send = [&](const QByteArray &l) { QVERIFY(sim.handle(l, Framing::VisaUsb).isEmpty()); };
    send(":LA:GROUP1 ON");
    QCOMPARE(query(sim, ":LA:STATUS?"), QByteArray("255"));
    send(":LA:GROUP2 ON");
    QCOMPARE(query(sim, ":LA:STATUS?"), QByteArray("65535"));
    send(":DIGITAL3:TURN OFF");
    QCOMPARE(query(sim, ":LA:STATUS?"), QByteArray("65527"));
    send(":LA:GROUP1 OFF");
    QCOMPARE(query(sim, ":LA:STATUS?"), QByteArray("65280"));
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LASelected), 3);

    // positions and location agree both ways
    send(":LA:LOCATION 1985229328,4275878552");
    for (int k = 0; k < 16; ++k)
        QCOMPARE(query(sim, ":DIGITAL" + QByteArray::number(k) + ":POSITION?"), QByteArray::number(k));
    send(":DIGITAL4:POSITION 1");
    send(":LA:POSITION:RESET");
    send(":DIGITAL4:POSITION 1");
    for (int k = 0; k < 16; ++k)
        if (k != 4)
            send(":DIGITAL" + QByteArray::number(k) + ":POSITION 0");
    QCOMPARE(query(sim, ":LA:LOCATION?"), QByteArray("65536,0"));
    QCOMPARE(query(sim, ":DIGITAL9:POSITION?"), QByteArray("0"));   // a query selects nothing
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LASelected), 15);

    // reset of the positions by group size
    send(":LA:GROUP2:SIZE BIG");
    send(":LA:POSITION:RESET");
    QCOMPARE(query(sim, ":DIGITAL7:POSITION?"), QByteArray("7"));
    QCOMPARE(query(sim, ":DIGITAL15:POSITION?"), QByteArray("7"));
    QCOMPARE(query(sim, ":DIGITAL8:POSITION?"), QByteArray("0"));
    send(":LA:GROUP2:SIZE SMALL");
    send(":LA:POSITION:RESET");
    QCOMPARE(query(sim, ":DIGITAL15:POSITION?"), QByteArray("15"));
    QCOMPARE(query(sim, ":DIGITAL8:POSITION?"), QByteArray("8"));

    // rows and heights in the setup block
    send(":LA:GROUP1:SIZE BIG");
    SetupBlock b = SetupBlock::decode(sim.setupBlock());
    QCOMPARE(int(b.LARow[0]), 222);
    QCOMPARE(int(b.LARow[7]), 222 - 24 * 7);
    QCOMPARE(int(b.LARow[8]), 222 - 12 * 8);
    QCOMPARE(int(b.LARow[15]), 222 - 12 * 15);
    QCOMPARE(int(b.LAHeightD0D7), 18);
    QCOMPARE(int(b.LAHeightD8D15), 9);
    for (int k = 0; k < 16; ++k) {
        const int height = k < 8 ? b.LAHeightD0D7 : b.LAHeightD8D15;
        QVERIFY(b.LARow[k] <= 225 && b.LARow[k] - (height - 1) >= 25);
    }
    QCOMPARE(sim.refusedCount(), 0);
}

// ---------------------------------------------------------------------------
// Blocks

void TstQm4100Sim::blockSizesPerFraming_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("payload");
    QTest::addColumn<int>("serialResource");   // size over a VISA serial resource
    QTest::newRow("setup") << QByteArray(":SYSTEM:DATA?") << 116 << 113;
    QTest::newRow("ch1") << QByteArray(":WAVEFORM:DATA? CHANNEL1") << 601 << 601;
    QTest::newRow("ch2") << QByteArray(":WAVEFORM:DATA? CHANNEL2") << 601 << 601;
    QTest::newRow("math") << QByteArray(":WAVEFORM:DATA? MATH") << 601 << 601;
    QTest::newRow("fft") << QByteArray(":WAVEFORM:DATA? FFT") << 513 << 513;
    QTest::newRow("digital") << QByteArray(":WAVEFORM:DATA? DIGITAL") << 1201 << 1201;
    QTest::newRow("digital lower") << QByteArray(":wav:data? digital") << 1201 << 1201;
    QTest::newRow("lcd") << QByteArray(":LCD:DATA?") << 74881 << 74881;
}

void TstQm4100Sim::blockSizesPerFraming()
{
    QFETCH(QByteArray, line);
    QFETCH(int, payload);
    QFETCH(int, serialResource);
    Qm4100Sim sim;
    const QByteArray usb = sim.handleLine(line, Framing::VisaUsb);
    QCOMPARE(usb.size(), payload);
    const QByteArray prefixed = sim.handleLine(line, Framing::LengthPrefix);
    QCOMPARE(prefixed.size(), payload + 4);
    QCOMPARE(prefixLength(prefixed), quint32(payload));
    QCOMPARE(prefixed.mid(4), usb);
    const QByteArray serial = sim.handleLine(line, Framing::VisaSerial);
    QCOMPARE(serial.size(), serialResource);
    QCOMPARE(serial.left(112), usb.left(112));
    QCOMPARE(serial.back(), '\n');
    if (payload != 116)
        QCOMPARE(usb.back(), '\n');
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::setupBlockAgreesWithWaveforms()
{
    Qm4100Sim sim;
    auto block = [&] { return SetupBlock::decode(sim.handleLine(":SYSTEM:DATA?", Framing::VisaUsb)); };
    SetupBlock b = block();
    QCOMPARE(int(b.FirstPoint), 0);
    QCOMPARE(int(b.LastPoint), 299);
    QCOMPARE(int(b.CH1FirstPoint), 0);
    QCOMPARE(int(b.CH1LastPoint), 299);
    QCOMPARE(int(b.CH2FirstPoint), 0);
    QCOMPARE(int(b.CH2LastPoint), 299);
    QCOMPARE(int(b.RollOn), 0);
    QCOMPARE(int(b.CH1Valid), 1);
    QCOMPARE(int(b.CH2Valid), 0);
    QCOMPARE(int(b.MathValid), 0);
    QCOMPARE(int(b.FFTValid), 0);
    QCOMPARE(int(b.LAValid), 0);
    QCOMPARE(int(b.LAShownMask), 0);
    QCOMPARE(b.MathScale, 1.0f);
    QCOMPARE(int(b.FFTSpanCode), 4);
    QCOMPARE(int(b.FFTCentre), 150);
    QCOMPARE(int(b.FFTDecibelScale), 1);
    QCOMPARE(int(b.FFTScaleDB), 20);
    QCOMPARE(int(b.FFTFullScreen), 0);
    QCOMPARE(int(b.LAHeightD0D7), 18);
    // 10 us/div: 3.333e7 samples/s, 50 samples per division of a 1024-point FFT
    QVERIFY(std::fabs(b.FFTHzPerDiv - float(4000.0 / 12e-5 * 50 / 1024)) < 1.0f);
    QVERIFY(sim.setupBlock().mid(109) == QByteArray(7, '\0'));

    sim.handle(":CHANNEL2:DISPLAY ON", Framing::VisaUsb);
    sim.handle(":CHANNEL1:DISPLAY OFF", Framing::VisaUsb);
    sim.handle(":CHANNEL1:SCALE 200MV", Framing::VisaUsb);
    sim.handle(":LA:DISPLAY ON", Framing::VisaUsb);
    sim.handle(":LA:STATUS 4660", Framing::VisaUsb);
    sim.setMathDisplay(true);
    sim.setMathFunction(2);
    b = block();
    QCOMPARE(int(b.CH1Valid), 0);
    QCOMPARE(int(b.CH2Valid), 1);
    QCOMPARE(int(b.MathValid), 1);
    QCOMPARE(int(b.MathOperation), 2);
    QCOMPARE(b.MathScale, 0.2f);
    QCOMPARE(int(b.LAValid), 1);
    QCOMPARE(int(b.LAShownMask), 4660);
    sim.setFftDisplay(true);
    b = block();
    QCOMPARE(int(b.MathValid), 0);
    QCOMPARE(int(b.FFTValid), 1);

    // the first and last valid columns hold the trace of the waveform block
    sim.handle(":CHANNEL1:DISPLAY ON", Framing::VisaUsb);
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    b = block();
    const QByteArray ch1 = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    // point 2 x FirstPoint is at t = -1.2 ms: sin(-2.4 pi) = -0.951 -> 1.902 div below the centre
    QCOMPARE(int(quint8(ch1[2 * b.FirstPoint])), 125 + 48);
    // point 2 x LastPoint + 1 is at t = 1.196 ms
    const double v = std::sin(2 * M_PI * 1.196);
    QCOMPARE(int(quint8(ch1[2 * b.LastPoint + 1])), int(std::lround(125 - 50 * v)));
}

void TstQm4100Sim::rollFillsTheScreen()
{
    Qm4100Sim sim;
    sim.handle(":TIMEBASE:SCALE 100MS", Framing::VisaUsb);
    sim.handle(":TIMEBASE:FORMAT SCANNING", Framing::VisaUsb);
    // one column per 2/50 division: 4 ms at 100 ms/div
    SetupBlock b = SetupBlock::decode(sim.setupBlock());
    QCOMPARE(int(b.RollOn), 1);
    QCOMPARE(int(b.FirstPoint), 0);
    QCOMPARE(int(b.LastPoint), 0);
    clock_.advance(400);
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LastPoint), 100);
    sim.handle(":STOP", Framing::VisaUsb);
    clock_.advance(400);
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LastPoint), 100);   // frozen while stopped
    sim.handle(":RUN", Framing::VisaUsb);
    clock_.advance(40);
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LastPoint), 10);    // a new sweep
    clock_.advance(5000);
    QCOMPARE(int(SetupBlock::decode(sim.setupBlock()).LastPoint), 299);
    sim.handle(":TIMEBASE:FORMAT YT", Framing::VisaUsb);
    b = SetupBlock::decode(sim.setupBlock());
    QCOMPARE(int(b.RollOn), 0);
    QCOMPARE(int(b.LastPoint), 299);
}

void TstQm4100Sim::channelLevels()
{
    Qm4100Sim sim;
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    QByteArray b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    // t = 0 at point 300 (the middle), 50 points per division: 4 us per point
    QCOMPARE(int(quint8(b[300])), 125);
    // the crest at 250 us (point 362.5): 1 V = 2 div above the centre
    QCOMPARE(int(quint8(b[362])), int(std::lround(125 - 50 * std::sin(2 * M_PI * 0.248))));
    QVERIFY(quint8(b[362]) <= 76);
    QVERIFY(quint8(b[425]) == 125);   // half a period
    // an offset moves the trace up
    sim.handle(":CHANNEL1:OFFSET 500MV", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    QCOMPARE(int(quint8(b[300])), 100);
    // the delay moves the time window: at 250 us delay the crest is in the middle
    sim.handle(":CHANNEL1:OFFSET 0", Framing::VisaUsb);
    sim.handle(":TIMEBASE:OFFSET 250US", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    QCOMPARE(int(quint8(b[300])), 75);
    // the square wave of CH2: 0.5 V at 1 V/div is half a division
    sim.handle(":TIMEBASE:OFFSET 0", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL2", Framing::VisaUsb);
    QCOMPARE(int(quint8(b[301])), 113);   // 125 - 12.5 rounds to 112 or 113
    QCOMPARE(int(quint8(b[299])), 138);
    // GND coupling gives the 0 V line
    sim.handle(":CHANNEL2:COUPLING GND", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL2", Framing::VisaUsb);
    QCOMPARE(b.left(600), QByteArray(600, char(125)));
    // far too small a scale clips at the ends of the level range
    sim.handle(":CHANNEL1:SCALE 2MV", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    QCOMPARE(int(quint8(b[362])), 0);
    QCOMPARE(int(quint8(b[487])), 255);
    // a changed signal through the API
    Qm4100Sim::Signal s;
    s.shape = Qm4100Sim::Shape::Dc;
    s.dcVolts = 1.0;
    sim.setSignal(1, s);
    sim.handle(":CHANNEL1:SCALE 1V", Framing::VisaUsb);
    sim.handle(":CHANNEL1:COUPLING DC", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    QCOMPARE(b.left(600), QByteArray(600, char(100)));
    sim.handle(":CHANNEL1:COUPLING AC", Framing::VisaUsb);
    b = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    QCOMPARE(b.left(600), QByteArray(600, char(125)));
}

void TstQm4100Sim::invertedChannelPerRunState()
{
    Qm4100Sim sim;
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":CHANNEL1:OFFSET 250MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    const QByteArray plain = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    sim.handle(":CHANNEL1:INVERT ON", Framing::VisaUsb);
    QCOMPARE(query(sim, ":CHANNEL1:INVERT?"), QByteArray("ON"));
    // running: sent un-inverted (the program turns it over)
    QCOMPARE(sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb), plain);
    // stopped: sent inverted, so the program's picture is the same
    sim.handle(":STOP", Framing::VisaUsb);
    const QByteArray stopped = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    for (int i = 0; i < 600; ++i)
        QCOMPARE(int(quint8(stopped[i])), 250 - int(quint8(plain[i])));
    QCOMPARE(stopped.back(), '\n');
}

void TstQm4100Sim::digitalCounter()
{
    Qm4100Sim sim;
    QByteArray b = sim.handleLine(":WAVEFORM:DATA? DIGITAL", Framing::VisaUsb);
    QCOMPARE(b.size(), 1201);
    for (int w = 0; w < 600; ++w)
        QCOMPARE(int(quint8(b[2 * w])) | (int(quint8(b[2 * w + 1])) << 8), w);
    sim.setCounterStart(65500);
    b = sim.handleLine(":WAVEFORM:DATA? DIGITAL", Framing::VisaUsb);
    for (int w = 0; w < 600; ++w)
        QCOMPARE(int(quint8(b[2 * w])) | (int(quint8(b[2 * w + 1])) << 8), (65500 + w) & 0xFFFF);
    QCOMPARE(b.back(), '\n');
}

void TstQm4100Sim::fftPeaksAtOneKilohertz()
{
    Qm4100Sim sim;
    sim.setFftDisplay(true);
    for (const char *tdiv : {"2MS", "5MS", "10MS", "50MS"}) {
        sim.handle(QByteArray(":TIMEBASE:SCALE ") + tdiv, Framing::VisaUsb);
        const QByteArray b = sim.handleLine(":WAVEFORM:DATA? FFT", Framing::VisaUsb);
        QCOMPARE(b.size(), 513);
        const double fs = queryNumber(sim, ":ACQUIRE:SAMP? CHANNEL1");
        const int expected = int(std::lround(1000.0 * 1024 / fs));
        int best = 0;
        for (int k = 1; k < 512; ++k)
            if (quint8(b[k]) < quint8(b[best]))
                best = k;
        QVERIFY2(best == expected, qPrintable(QString("%1: bin %2, expected %3").arg(tdiv).arg(best).arg(expected)));
        // split layout: levels 13..112; -3 dBV (1 V peak) lies 3.75 rows below the half's middle
        for (int k = 0; k < 512; ++k)
            QVERIFY(quint8(b[k]) >= 13 && quint8(b[k]) <= 112);
        QVERIFY(std::abs(int(quint8(b[best])) - (13 + 54)) <= 3);
        // the setup block names the same horizontal scale
        const float hzDiv = SetupBlock::decode(sim.setupBlock()).FFTHzPerDiv;
        QVERIFY(std::fabs(hzDiv - float(fs * 50 / 1024)) <= hzDiv * 1e-3f);   // fs has 4 digits
    }
}

void TstQm4100Sim::mathBlock()
{
    Qm4100Sim sim;
    sim.setMathDisplay(true);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    auto at = [&](int i) { return int(quint8(sim.handleLine(":WAVEFORM:DATA? MATH", Framing::VisaUsb)[i])); };
    // CH1 + CH2 at t = 0 (point 300, the sine at 0, the square about to rise) and at 250 us
    QCOMPARE(at(362), int(std::lround(125 - 25 * (std::sin(2 * M_PI * 0.248) + 0.5))));
    sim.setMathFunction(1);
    QCOMPARE(at(362), int(std::lround(125 - 25 * (std::sin(2 * M_PI * 0.248) - 0.5))));
    sim.setMathFunction(2);
    QCOMPARE(at(362), int(std::lround(125 - 25 * (std::sin(2 * M_PI * 0.248) * 0.5))));
}

// ---------------------------------------------------------------------------
// Screen

void TstQm4100Sim::screenImage()
{
    Qm4100Sim sim;
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":CHANNEL2:DISPLAY ON", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    const QByteArray r = sim.handleLine(":LCD:DATA?", Framing::VisaUsb);
    QCOMPARE(r.size(), 74881);
    QCOMPARE(r.back(), '\n');
    const QByteArray ch1 = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    const QByteArray ch2 = sim.handleLine(":WAVEFORM:DATA? CHANNEL2", Framing::VisaUsb);
    auto px = [&](int x, int y) { return quint8(r[x + 320 * y]); };
    // CH1's colour (RGB 3-3-2 yellow) lies on CH1's trace in every column
    for (int c = 0; c < 300; ++c)
        for (int p : {2 * c, 2 * c + 1})
            QCOMPARE(int(px(10 + c, 17 + quint8(ch1[p]) - 25)), 0xFC);
    // CH2's colour on its flat parts, away from CH1
    int cyan = 0;
    for (int c = 0; c < 300; ++c) {
        const int y = 17 + quint8(ch2[2 * c]) - 25;
        if (px(10 + c, y) == 0x1F)
            ++cyan;
    }
    QVERIFY(cyan > 250);
    // graticule border and centre grid dots; an empty part of the screen is black
    QCOMPARE(int(px(10, 17)), 0x92);
    QCOMPARE(int(px(10 + 150, 17 + 5)), 0x49);
    QCOMPARE(int(px(2, 2)), 0x00);
    // without a grid the dot goes
    sim.handle(":DISPLAY:GRID NONE", Framing::VisaUsb);
    QCOMPARE(int(quint8(sim.screenImage()[160 + 320 * 22])), 0x00);
}

void TstQm4100Sim::screenImageMonochrome()
{
    Qm4100Sim sim;
    sim.setMonochrome(true);
    QCOMPARE(sim.identity().at(25), 'M');
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    const QByteArray img = sim.screenImage();
    const QByteArray ch1 = sim.handleLine(":WAVEFORM:DATA? CHANNEL1", Framing::VisaUsb);
    for (int c = 0; c < 300; ++c)
        QCOMPARE(int(quint8(img[10 + c + 320 * (17 + quint8(ch1[2 * c]) - 25)])), 255);
    QCOMPARE(int(quint8(img[10 + 320 * 17])), 128);
}

// Every change a user makes shows on the screen: keys, knobs, scales and the
// settings the screen shows.
void TstQm4100Sim::screenFollowsState_data()
{
    QTest::addColumn<QByteArrayList>("setup");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("menu key") << QByteArrayList{} << QByteArray(":KEY:MEASURE");
    QTest::newRow("another menu key") << QByteArrayList{":KEY:MEASURE"} << QByteArray(":KEY:ACQUIRE");
    QTest::newRow("soft key") << QByteArrayList{":KEY:MEASURE"} << QByteArray(":KEY:F2");
    QTest::newRow("function knob") << QByteArrayList{":KEY:ACQUIRE"} << QByteArray(":KEY:+FUNCTION 0");
    QTest::newRow("menu off") << QByteArrayList{":KEY:UTILITY"} << QByteArray(":KEY:MNUOFF");
    QTest::newRow("volts/div key") << QByteArrayList{} << QByteArray(":KEY:V_SCALE_INC");
    QTest::newRow("time/div key") << QByteArrayList{} << QByteArray(":KEY:H_SCALE_DEC");
    QTest::newRow("run key") << QByteArrayList{} << QByteArray(":KEY:RUN");
    QTest::newRow("vertical position knob") << QByteArrayList{} << QByteArray(":KEY:V_POS_INC 0");
    QTest::newRow("horizontal position knob") << QByteArrayList{} << QByteArray(":KEY:H_POS_DEC 0");
    QTest::newRow("trigger level knob") << QByteArrayList{} << QByteArray(":KEY:TRIG_LVL_INC 0");
    QTest::newRow("volts/div") << QByteArrayList{} << QByteArray(":CHANNEL1:SCALE 500MV");
    QTest::newRow("time/div") << QByteArrayList{} << QByteArray(":TIMEBASE:SCALE 1MS");
    QTest::newRow("delay") << QByteArrayList{} << QByteArray(":TIMEBASE:OFFSET 20US");
    QTest::newRow("offset") << QByteArrayList{} << QByteArray(":CHANNEL1:OFFSET 40MV");
    QTest::newRow("coupling") << QByteArrayList{} << QByteArray(":CHANNEL1:COUPLING DC");
    QTest::newRow("bandwidth limit") << QByteArrayList{} << QByteArray(":CHANNEL1:BWLIMIT ON");
    QTest::newRow("channel on") << QByteArrayList{} << QByteArray(":CHANNEL2:DISPLAY ON");
    QTest::newRow("trigger source") << QByteArrayList{} << QByteArray(":TRIGGER:EDGE:SOURCE CHANNEL2");
    QTest::newRow("trigger slope") << QByteArrayList{} << QByteArray(":TRIGGER:EDGE:SLOPE NEGATIVE");
    QTest::newRow("trigger level") << QByteArrayList{} << QByteArray(":TRIGGER:EDGE:LEVEL 40MV");
    QTest::newRow("trigger type") << QByteArrayList{} << QByteArray(":TRIGGER:MODE PULSE");
    QTest::newRow("stop") << QByteArrayList{} << QByteArray(":STOP");
    QTest::newRow("grid") << QByteArrayList{} << QByteArray(":DISPLAY:GRID HALF");
    QTest::newRow("format") << QByteArrayList{} << QByteArray(":TIMEBASE:FORMAT SCANNING");
    QTest::newRow("acquisition") << QByteArrayList{} << QByteArray(":ACQUIRE:TYPE PEAKDETECT");
    QTest::newRow("logic channels") << QByteArrayList{} << QByteArray(":LA:DISPLAY ON");
}

void TstQm4100Sim::screenFollowsState()
{
    QFETCH(QByteArrayList, setup);
    QFETCH(QByteArray, line);
    Qm4100Sim sim;
    for (const QByteArray &l : setup)
        sim.handle(l, Framing::VisaUsb);
    const QByteArray before = sim.handleLine(":LCD:DATA?", Framing::VisaUsb);
    QVERIFY(sim.handle(line, Framing::VisaUsb).isEmpty());
    QCOMPARE(sim.refusedCount(), 0);
    const QByteArray after = sim.handleLine(":LCD:DATA?", Framing::VisaUsb);
    QCOMPARE(after.size(), 74881);
    QVERIFY2(after != before, "the screen did not change");
    // the picture is the state's, not the history's: asked again, it is the same
    QCOMPARE(sim.handleLine(":LCD:DATA?", Framing::VisaUsb), after);
}

// The markers around the graticule sit where the settings put them: a
// channel's 0 V at the left, the trigger level at the right, t = 0 on top.
void TstQm4100Sim::screenMarkers()
{
    Qm4100Sim sim;
    auto send = [&](const QByteArray &l) { QVERIFY(sim.handle(l, Framing::VisaUsb).isEmpty()); };
    auto px = [](const QByteArray &img, int x, int y) { return int(quint8(img[x + 320 * y])); };
    // 0.5 V/div, offset 0.5 V: 0 V one division above the centre (row 17 + 75),
    // the level of 1 V three divisions above it (row 17 + 25)
    send(":CHANNEL1:SCALE 500MV");
    send(":CHANNEL1:OFFSET 500MV");
    send(":TRIGGER:EDGE:LEVEL 1");
    QByteArray img = sim.screenImage();
    QCOMPARE(px(img, 8, 92), 0xFC);    // the tip of CH1's ground marker
    QCOMPARE(px(img, 8, 91), 0x00);
    QCOMPARE(px(img, 8, 93), 0x00);
    QCOMPARE(px(img, 312, 42), 0xFC);  // the tip of the level marker, in the source's colour
    QCOMPARE(px(img, 312, 41), 0x00);
    QCOMPARE(px(img, 160, 14), 0xF4);  // t = 0 in the middle at no delay
    // the position knob moves both by the same rows: 25 fine steps are a division
    send(":KEY:V_POS_INC 25");
    img = sim.screenImage();
    QCOMPARE(px(img, 8, 67), 0xFC);
    QCOMPARE(px(img, 8, 92), 0x00);
    QCOMPARE(px(img, 312, 17), 0xFC);
    // the trigger knob moves the level marker only: 25 steps, one division down
    send(":KEY:TRIG_LVL_DEC 25");
    img = sim.screenImage();
    QCOMPARE(px(img, 312, 42), 0xFC);
    QCOMPARE(px(img, 8, 67), 0xFC);
    // a CH2 source: the marker takes CH2's colour and scale (1 V/div, no offset)
    send(":TRIGGER:EDGE:SOURCE CHANNEL2");
    send(":TRIGGER:EDGE:LEVEL 2");
    img = sim.screenImage();
    QCOMPARE(px(img, 312, 17 + 50), 0x1F);
    // the delay moves t = 0 left: 2 divisions at 10 us/div are 50 columns
    send(":TIMEBASE:OFFSET 20US");
    img = sim.screenImage();
    QCOMPARE(px(img, 110, 14), 0xF4);
    QCOMPARE(px(img, 160, 14), 0x00);
    // off the screen, an arrow at the edge points to it
    send(":TIMEBASE:OFFSET 100US");
    img = sim.screenImage();
    for (int y = 11; y <= 14; ++y)
        for (int x = 20; x <= 310; ++x)
            QCOMPARE(px(img, x, y), 0x00);
    QCOMPARE(px(img, 10, 13), 0xF4);   // the point of the '<'
    // a logic source has no level marker
    send(":TRIGGER:EDGE:SOURCE DIGITAL1");
    img = sim.screenImage();
    for (int y = 14; y <= 217; ++y)
        QCOMPARE(px(img, 312, y), 0x00);
}

// The menu line shows what the last key or knob did, and goes with Menu Off.
void TstQm4100Sim::screenMenuLine()
{
    Qm4100Sim sim;
    auto menuArea = [&] {
        const QByteArray img = sim.screenImage();
        QByteArray area;
        for (int y = 3; y <= 9; ++y)
            area += img.mid(46 + 320 * y, 320 - 46);
        return area;
    };
    const QByteArray blank = menuArea();
    QCOMPARE(blank, QByteArray(blank.size(), '\0'));
    const struct { const char *line, *text; } steps[] = {
        {":KEY:MEASURE", "MEASURE"},
        {":KEY:ACQUIRE", "ACQUIRE"},
        {":KEY:F3", "ACQUIRE F3"},
        {":KEY:+FUNCTION 5", "ACQUIRE ITEM 2"},
        {":KEY:V_POS_INC 10", "CH1 POSITION 400mV"},
        {":KEY:H_POS_DEC 50", "DELAY -10.0us"},
        {":KEY:TRIG_LVL_INC 5", "TRIG LEVEL 200mV"},
        {":KEY:MATH", "MATH ON"},
        {":KEY:MATH", "FFT ON"},
        {":KEY:RUN", "STOP"},
    };
    QByteArray previous = blank;
    for (const auto &step : steps) {
        sim.handle(step.line, Framing::VisaUsb);
        QCOMPARE(sim.menuLine(), QByteArray(step.text));
        const QByteArray area = menuArea();
        QVERIFY2(area != previous, step.line);
        QVERIFY2(area.contains(char(0xFF)), step.line);   // drawn in the menu colour
        previous = area;
    }
    sim.handle(":KEY:MNUOFF", Framing::VisaUsb);
    QVERIFY(sim.menuLine().isEmpty());
    QCOMPARE(menuArea(), blank);
    QCOMPARE(sim.refusedCount(), 0);
}

// ---------------------------------------------------------------------------
// Limits

void TstQm4100Sim::limits_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("q");
    QTest::addColumn<QByteArray>("reply");
    auto row = [](const char *name, const QByteArrayList &lines, const char *q, const char *reply) {
        QTest::newRow(name) << lines << QByteArray(q) << QByteArray(reply);
    };
    const char *off1 = ":CHANNEL1:OFFSET?";
    // offset range by volts/div
    row("400 kV at 1 V/div", {":CHANNEL1:OFFSET 400000"}, off1, "1.000e+02");
    row("-400 kV on CH2", {":CHANNEL2:OFFSET -400000"}, ":CHANNEL2:OFFSET?", "-1.000e+02");
    row("inside is kept", {":CHANNEL1:OFFSET -99.5"}, off1, "-9.950e+01");
    row("at 500 mV/div", {":CHANNEL1:SCALE 500MV", ":CHANNEL1:OFFSET 12V"}, off1, "1.000e+01");
    row("at 100 mV/div", {":CHANNEL1:SCALE 100MV", ":CHANNEL1:OFFSET -15"}, off1, "-1.000e+01");
    row("at 50 mV/div", {":CHANNEL1:SCALE 50MV", ":CHANNEL1:OFFSET 1.5V"}, off1, "1.000e+00");
    row("at 2 mV/div", {":CHANNEL1:SCALE 2.00MV", ":CHANNEL1:OFFSET -2V"}, off1, "-1.000e+00");
    row("probe 10X", {":CHANNEL1:PROBE 10", ":CHANNEL1:OFFSET 400000"}, off1, "1.000e+03");
    row("follows a smaller scale", {":CHANNEL1:OFFSET 80", ":CHANNEL1:SCALE 20MV"}, off1, "1.000e+00");
    QByteArrayList knob{":CHANNEL1:SCALE 50MV"};   // 2 mV a fine step
    for (int i = 0; i < 11; ++i)
        knob << ":KEY:V_POS_INC 50";
    row("position knob stops", knob, off1, "1.000e+00");
    // volts/div
    row("volts/div below 2 mV", {":CHANNEL1:SCALE 1MV"}, ":CHANNEL1:SCALE?", "2.000e-03");
    row("volts/div above 10 V", {":CHANNEL2:SCALE 50V"}, ":CHANNEL2:SCALE?", "1.000e+01");
    row("volts/div at probe 1000X", {":CHANNEL1:PROBE 1000", ":CHANNEL1:SCALE 50KV"}, ":CHANNEL1:SCALE?",
        "1.000e+04");
    // time/div by format
    const char *tdiv = ":TIMEBASE:SCALE?";
    row("time/div below 2 ns", {":TIMEBASE:SCALE 1NS"}, tdiv, "2.000e-09");
    row("time/div above 50 s", {":TIMEBASE:SCALE 100S"}, tdiv, "5.000e+01");
    row("roll moves 1 ms/div to 100 ms", {":TIMEBASE:SCALE 1MS", ":TIMEBASE:FORMAT SCANNING"}, tdiv, "1.000e-01");
    row("roll keeps 500 ms/div", {":TIMEBASE:SCALE 500MS", ":TIMEBASE:FORMAT SCANNING"}, tdiv, "5.000e-01");
    row("roll refuses a faster step", {":TIMEBASE:FORMAT SCANNING", ":TIMEBASE:SCALE 10MS"}, tdiv, "1.000e-01");
    row("Y-T after roll", {":TIMEBASE:FORMAT SCANNING", ":TIMEBASE:FORMAT YT", ":TIMEBASE:SCALE 1MS"}, tdiv,
        "1.000e-03");
    row("X-Y above 10 ms", {":TIMEBASE:SCALE 50MS", ":TIMEBASE:FORMAT XY"}, tdiv, "1.000e-02");
    row("X-Y below 1 us", {":TIMEBASE:FORMAT XY", ":TIMEBASE:SCALE 100NS"}, tdiv, "1.000e-06");
    row("alternation time/div", {":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMESCALE 500S"},
        ":TRIGGER:ALTERNATION:TIMESCALE?", "5.000e+01");
    // trigger levels: 6 divisions either side of the source's centre
    const char *edge = ":TRIGGER:EDGE:LEVEL?";
    row("level above", {":TRIGGER:EDGE:LEVEL 10"}, edge, "6.000e+00");
    row("level inside", {":TRIGGER:EDGE:LEVEL -5.5"}, edge, "-5.500e+00");
    row("level with an offset", {":CHANNEL1:OFFSET 1V", ":TRIGGER:EDGE:LEVEL -10"}, edge, "-7.000e+00");
    row("level of CH2", {":CHANNEL2:SCALE 500MV", ":TRIGGER:EDGE:SOURCE CHANNEL2", ":TRIGGER:EDGE:LEVEL 4"}, edge,
        "3.000e+00");
    row("level of EXT", {":TRIGGER:EDGE:SOURCE EXT", ":TRIGGER:EDGE:LEVEL 5"}, edge, "1.200e+00");
    row("level of EXT5", {":TRIGGER:PULSE:SOURCE EXT5", ":TRIGGER:PULSE:LEVEL -9"}, ":TRIGGER:PULSE:LEVEL?",
        "-6.000e+00");
    row("logic source keeps", {":TRIGGER:EDGE:SOURCE DIGITAL3", ":TRIGGER:EDGE:LEVEL 9"}, edge, "9.000e+00");
    row("level follows the source", {":TRIGGER:EDGE:LEVEL 5", ":TRIGGER:EDGE:SOURCE EXT"}, edge, "1.200e+00");
    row("level follows the scale", {":TRIGGER:EDGE:LEVEL 5", ":CHANNEL1:SCALE 500MV"}, edge, "3.000e+00");
    row("video level", {":TRIGGER:VIDEO:LEVEL 7"}, ":TRIGGER:VIDEO:LEVEL?", "6.000e+00");
    row("slope level B", {":TRIGGER:SLOPE:LEVELB -6.5"}, ":TRIGGER:SLOPE:LEVELB?", "-6.000e+00");
    row("alternation level", {":CHANNEL2:SCALE 200MV", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                              ":TRIGGER:ALTERNATION:EDGE:LEVEL 2"},
        ":TRIGGER:ALTERNATION:EDGE:LEVEL?", "1.200e+00");
    row("level knob stops", {":KEY:TRIG_LVL_INC 50", ":KEY:TRIG_LVL_INC 50", ":KEY:TRIG_LVL_INC 50",
                             ":KEY:TRIG_LVL_INC 50"},
        edge, "6.000e+00");
    // sensitivity
    row("sensitivity above", {":TRIGGER:EDGE:SENSITIVITY 2.00div"}, ":TRIGGER:EDGE:SENSITIVITY?", "1.000e+00");
    row("sensitivity below", {":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY 0.05div"},
        ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY?", "1.000e-01");
}

void TstQm4100Sim::limits()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, q);
    QFETCH(QByteArray, reply);
    Qm4100Sim sim;
    for (const QByteArray &l : lines)
        QVERIFY2(sim.handle(l, Framing::VisaUsb).isEmpty(), l.constData());
    QCOMPARE(sim.refusedCount(), 0);   // clamped, not refused
    QCOMPARE(query(sim, q), reply);
}

// With the FFT on, the setup block says so: the FFT operation and its members,
// as ":MATH:DISPLAY?" and ":FFT:DISPLAY?" do.
void TstQm4100Sim::setupBlockFollowsFft()
{
    Qm4100Sim sim;
    auto block = [&] { return SetupBlock::decode(sim.handleLine(":SYSTEM:DATA?", Framing::VisaUsb)); };
    sim.setMathFunction(1);   // CH1 - CH2
    sim.handle(":KEY:MATH", Framing::VisaUsb);
    SetupBlock b = block();
    QCOMPARE(int(b.MathValid), 1);
    QCOMPARE(int(b.MathOperation), 1);
    QCOMPARE(int(b.FFTValid), 0);

    sim.handle(":KEY:MATH", Framing::VisaUsb);   // MATH, then FFT
    QCOMPARE(query(sim, ":MATH:DISPLAY?"), QByteArray("ON"));
    QCOMPARE(query(sim, ":FFT:DISPLAY?"), QByteArray("ON"));
    b = block();
    QCOMPARE(int(b.MathOperation), 3);
    QCOMPARE(int(b.MathValid), 0);
    QCOMPARE(int(b.FFTValid), 1);
    QCOMPARE(int(b.FFTDecibelScale), 1);
    QCOMPARE(int(b.FFTScaleDB), 20);
    QCOMPARE(int(b.FFTSpanCode), 4);
    QCOMPARE(int(b.FFTCentre), 150);
    QCOMPARE(int(b.FFTFullScreen), 0);
    const double rate = queryNumber(sim, ":ACQUIRE:SAMP? CHANNEL1");
    QVERIFY(std::fabs(b.FFTHzPerDiv - float(rate * 50 / 1024)) <= b.FFTHzPerDiv * 1e-3f);

    // off again, MATH comes back with the function it had
    sim.handle(":KEY:MATH", Framing::VisaUsb);
    sim.handle(":KEY:MATH", Framing::VisaUsb);
    b = block();
    QCOMPARE(int(b.MathValid), 1);
    QCOMPARE(int(b.MathOperation), 1);
    // choosing the FFT as MATH's function turns the FFT on
    sim.setMathFunction(3);
    QCOMPARE(query(sim, ":FFT:DISPLAY?"), QByteArray("ON"));
    QCOMPARE(int(block().MathOperation), 3);
}

// ---------------------------------------------------------------------------
// Measurements

void TstQm4100Sim::measurements()
{
    Qm4100Sim sim;
    sim.handle(":CHANNEL1:SCALE 500MV", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 200US", Framing::VisaUsb);
    auto m = [&](const char *kw, int ch = 1) {
        return queryNumber(sim, QByteArray(":MEASURE:") + kw + "? CHANNEL" + QByteArray::number(ch));
    };
    QVERIFY(std::fabs(m("FREQUENCY") - 1000.0) <= 5.0);
    QVERIFY(std::fabs(m("VPP") - 2.0) <= 0.04);
    QVERIFY(std::fabs(m("PERIOD") - 1e-3) <= 5e-6);
    QVERIFY(std::fabs(m("VMAX") - 1.0) <= 0.02);
    QVERIFY(std::fabs(m("VMIN") + 1.0) <= 0.02);
    QVERIFY(std::fabs(m("VAVERAGE")) <= 0.01);
    QVERIFY(std::fabs(m("VRMS") - std::sqrt(0.5)) <= 0.015);
    QVERIFY(std::fabs(m("VTOP") - 1.0) <= 0.03);
    QVERIFY(std::fabs(m("VBASE") + 1.0) <= 0.03);
    QVERIFY(std::fabs(m("PDUTYCYCLE") - 0.5) <= 0.01);
    QVERIFY(std::fabs(m("NDUTYCYCLE") - 0.5) <= 0.01);
    QVERIFY(std::fabs(m("PWIDTH") - 0.5e-3) <= 5e-6);
    // sine: 10 % to 90 % takes (asin(0.8) - asin(-0.8)) / (2 pi f)
    const double rise = 2 * std::asin(0.8) / (2 * M_PI * 1000);
    QVERIFY(std::fabs(m("RISETIME") - rise) <= rise * 0.03);
    QVERIFY(std::fabs(m("FALLTIME") - rise) <= rise * 0.03);
    QVERIFY(m("OVERSHOOT") >= 0 && m("OVERSHOOT") < 0.02);

    // CH2's square: 0.25 ms high, 0.25 ms low... at 1 kHz: 0.5 ms each
    sim.handle(":CHANNEL2:DISPLAY ON", Framing::VisaUsb);
    sim.handle(":CHANNEL2:SCALE 200MV", Framing::VisaUsb);
    QVERIFY(std::fabs(m("FREQUENCY", 2) - 1000.0) <= 5.0);
    QVERIFY(std::fabs(m("VAMPLITUDE", 2) - 1.0) <= 0.01);
    QVERIFY(std::fabs(m("VTOP", 2) - 0.5) <= 0.01);
    QVERIFY(std::fabs(m("PWIDTH", 2) - 0.5e-3) <= 5e-6);
    QVERIFY(std::fabs(m("NWIDTH", 2) - 0.5e-3) <= 5e-6);
    QVERIFY(std::fabs(m("VRMS", 2) - 0.5) <= 0.005);
    QVERIFY(m("RISETIME", 2) > 0 && m("RISETIME", 2) <= 4e-6);   // within one point
    QCOMPARE(m("OVERSHOOT", 2), 0.0);
    QCOMPARE(m("PRESHOOT", 2), 0.0);

    // all eighteen answer with a number here
    for (const char *kw : {"FREQUENCY", "VPP", "VMAX", "VMIN", "VTOP", "VAVERAGE", "VBASE", "VRMS", "VAMPLITUDE",
                           "PDUTYCYCLE", "NDUTYCYCLE", "PERIOD", "RISETIME", "FALLTIME", "PWIDTH", "NWIDTH",
                           "OVERSHOOT", "PRESHOOT"})
        QVERIFY2(!std::isnan(m(kw)), kw);
    // under the alternating trigger the channel's own time base counts
    sim.handle(":TRIGGER:MODE ALTERNATION", Framing::VisaUsb);
    QVERIFY(query(sim, ":MEASURE:FREQUENCY? CHANNEL1").contains('*'));   // 10 us/div
    sim.handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL1", Framing::VisaUsb);
    sim.handle(":TRIGGER:ALTERNATION:TIMESCALE 500US", Framing::VisaUsb);
    QVERIFY(std::fabs(m("FREQUENCY") - 1000.0) <= 5.0);
}

void TstQm4100Sim::measurementsInvalid()
{
    Qm4100Sim sim;
    // 10 us/div shows a tenth of a period: no frequency, but voltages
    QCOMPARE(query(sim, ":MEASURE:FREQUENCY? CHANNEL1"), QByteArray("****"));
    QCOMPARE(query(sim, ":MEASURE:PERIOD? CHANNEL1"), QByteArray("****"));
    QVERIFY(!std::isnan(queryNumber(sim, ":MEASURE:VPP? CHANNEL1")));
    // a channel that is off has no measurements
    QCOMPARE(query(sim, ":MEASURE:VPP? CHANNEL2"), QByteArray("****"));
    // a flat line: no times, no overshoot
    sim.handle(":CHANNEL1:COUPLING GND", Framing::VisaUsb);
    sim.handle(":TIMEBASE:SCALE 1MS", Framing::VisaUsb);
    QCOMPARE(query(sim, ":MEASURE:FREQUENCY? CHANNEL1"), QByteArray("****"));
    QCOMPARE(query(sim, ":MEASURE:RISETIME? CHANNEL1"), QByteArray("****"));
    QCOMPARE(query(sim, ":MEASURE:OVERSHOOT? CHANNEL1"), QByteArray("****"));
    QCOMPARE(query(sim, ":MEASURE:PDUTYCYCLE? CHANNEL1"), QByteArray("****"));
    QCOMPARE(queryNumber(sim, ":MEASURE:VPP? CHANNEL1"), 0.0);
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::sampleRate()
{
    Qm4100Sim sim;
    QCOMPARE(query(sim, ":ACQUIRE:SAMP? CHANNEL1"), QByteArray("3.333e+07"));
    sim.handle(":TIMEBASE:SCALE 2NS", Framing::VisaUsb);
    QCOMPARE(query(sim, ":ACQUIRE:SAMP? CHANNEL2"), QByteArray("1.000e+09"));
    sim.handle(":TRIGGER:MODE ALTERNATION", Framing::VisaUsb);
    sim.handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL2", Framing::VisaUsb);
    sim.handle(":TRIGGER:ALTERNATION:TIMESCALE 1MS", Framing::VisaUsb);
    QCOMPARE(query(sim, ":ACQUIRE:SAMP? CHANNEL2"), QByteArray("3.333e+05"));
    QCOMPARE(query(sim, ":ACQUIRE:SAMP? CHANNEL1"), QByteArray("3.333e+07"));
}

// ---------------------------------------------------------------------------
// Keys

void TstQm4100Sim::keyEffects_data()
{
    QTest::addColumn<QByteArrayList>("setup");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("q");
    QTest::addColumn<double>("expected");
    // 1 V/div: a fine vertical step is 0.04 V; 10 us/div: a fine horizontal step 0.2 us
    QTest::newRow("v pos inc 0") << QByteArrayList{} << QByteArray(":KEY:V_POS_INC 0") << QByteArray(":CHANNEL1:OFFSET?") << 0.04;
    QTest::newRow("v pos inc bare") << QByteArrayList{} << QByteArray(":KEY:V_POS_INC") << QByteArray(":CHANNEL1:OFFSET?") << 0.04;
    QTest::newRow("v pos dec 20") << QByteArrayList{} << QByteArray(":KEY:V_POS_DEC 20") << QByteArray(":CHANNEL1:OFFSET?") << -0.8;
    QTest::newRow("v pos on ch2") << QByteArrayList{":KEY:CHANNEL2", ":CHANNEL2:SCALE 500MV"}
                                  << QByteArray(":KEY:V_POS_INC 5") << QByteArray(":CHANNEL2:OFFSET?") << 0.1;
    QTest::newRow("v pos active set") << QByteArrayList{":CHANNEL:ACTIVE CH2"} << QByteArray(":KEY:V_POS_DEC 2")
                                      << QByteArray(":CHANNEL2:OFFSET?") << -0.08;
    QTest::newRow("h pos inc") << QByteArrayList{} << QByteArray(":KEY:H_POS_INC 5") << QByteArray(":TIMEBASE:OFFSET?") << 1e-6;
    QTest::newRow("h pos dec") << QByteArrayList{} << QByteArray(":KEY:H_POS_DEC 50") << QByteArray(":TIMEBASE:OFFSET?") << -1e-5;
    QTest::newRow("h pos alt") << QByteArrayList{":TRIGGER:MODE ALTERNATION", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                                                 ":TRIGGER:ALTERNATION:TIMESCALE 1MS"}
                               << QByteArray(":KEY:H_POS_INC 10") << QByteArray(":TRIGGER:ALTERNATION:TIMEOFFSET?") << 2e-4;
    QTest::newRow("trig lvl inc") << QByteArrayList{} << QByteArray(":KEY:TRIG_LVL_INC 10") << QByteArray(":TRIGGER:EDGE:LEVEL?") << 0.4;
    QTest::newRow("trig lvl dec ext") << QByteArrayList{":TRIGGER:EDGE:SOURCE EXT"} << QByteArray(":KEY:TRIG_LVL_DEC 0")
                                      << QByteArray(":TRIGGER:EDGE:LEVEL?") << -0.008;
    QTest::newRow("trig lvl pulse ch2") << QByteArrayList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE CHANNEL2", ":CHANNEL2:SCALE 2V"}
                                        << QByteArray(":KEY:TRIG_LVL_INC 2") << QByteArray(":TRIGGER:PULSE:LEVEL?") << 0.16;
    QTest::newRow("trig lvl slope") << QByteArrayList{":TRIGGER:MODE SLOPE"} << QByteArray(":KEY:TRIG_LVL_INC 5")
                                    << QByteArray(":TRIGGER:SLOPE:LEVELA?") << 0.2;
    QTest::newRow("trig lvl alt") << QByteArrayList{":TRIGGER:MODE ALTERNATION", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                                                    ":TRIGGER:ALTERNATION:TYPE VIDEO"}
                                  << QByteArray(":KEY:TRIG_LVL_DEC 5") << QByteArray(":TRIGGER:ALTERNATION:VIDEO:LEVEL?") << -0.2;
    QTest::newRow("trig lvl logic") << QByteArrayList{":TRIGGER:EDGE:SOURCE DIGITAL2"} << QByteArray(":KEY:TRIG_LVL_INC 5")
                                    << QByteArray(":TRIGGER:EDGE:LEVEL?") << 0.0;
}

void TstQm4100Sim::keyEffects()
{
    QFETCH(QByteArrayList, setup);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, q);
    QFETCH(double, expected);
    Qm4100Sim sim;
    for (const QByteArray &l : setup)
        sim.handle(l, Framing::VisaUsb);
    QVERIFY(sim.handle(key, Framing::VisaUsb).isEmpty());
    QCOMPARE(sim.refusedCount(), 0);
    const double got = queryNumber(sim, q);
    QVERIFY2(std::fabs(got - expected) <= std::fabs(expected) * 1e-3 + 1e-12,
             qPrintable(QString("%1 gives %2").arg(QString(q)).arg(got)));
}

void TstQm4100Sim::mathKeyCycles()
{
    Qm4100Sim sim;
    const QList<QPair<QByteArray, QByteArray>> states = {{"ON", "OFF"}, {"ON", "ON"}, {"OFF", "OFF"}, {"ON", "OFF"}};
    for (const auto &s : states) {
        sim.handle(":KEY:MATH", Framing::VisaUsb);
        QCOMPARE(query(sim, ":MATH:DISPLAY?"), s.first);
        QCOMPARE(query(sim, ":FFT:DISPLAY?"), s.second);
    }
    // run key toggles, and the channel keys choose the active channel
    sim.handle(":KEY:RUN", Framing::VisaUsb);
    QCOMPARE(query(sim, ":TRIGGER:STATUS?"), QByteArray("STOP"));
    sim.handle(":KEY:RUN", Framing::VisaUsb);
    QCOMPARE(query(sim, ":TRIGGER:STATUS?"), QByteArray("RUN"));
    sim.handle(":KEY:CHANNEL2", Framing::VisaUsb);
    QCOMPARE(query(sim, ":CHANNEL:ACTIVE?"), QByteArray("CHANNEL2"));
    sim.handle(":KEY:CHANNEL1", Framing::VisaUsb);
    QCOMPARE(query(sim, ":CHANNEL:ACTIVE?"), QByteArray("CHANNEL1"));
    QCOMPARE(sim.refusedCount(), 0);
}

void TstQm4100Sim::otherKeysOnlyLogged()
{
    const QList<QByteArray> keys = {
        ":KEY:MNUOFF", ":KEY:-FUNCTION 0", ":KEY:FUNCTION", ":KEY:+FUNCTION 20", ":KEY:F1", ":KEY:F2", ":KEY:F3",
        ":KEY:F4", ":KEY:F5", ":KEY:MEASURE", ":KEY:ACQUIRE", ":KEY:STORAGE", ":KEY:CURSOR", ":KEY:DISPLAY",
        ":KEY:UTILITY", ":KEY:REF", ":KEY:LA", ":KEY:OFF", ":KEY:PROMPT_V_POS", ":KEY:V_SCALE_INC", ":KEY:PROMPT_V",
        ":KEY:V_SCALE_DEC", ":KEY:MNUTIME", ":KEY:PROMPT_H_POS", ":KEY:H_SCALE_DEC", ":KEY:PROMPT_H",
        ":KEY:H_SCALE_INC", ":KEY:PROMPT_TRIG_LVL", ":KEY:MNUTRIG", ":FORCETRIG", ":DISPLAY:CLEAR",
        ":KEY:LOCK ENABLE", ":KEY:LOCK DISABLE"};
    Qm4100Sim sim;
    const QByteArray before = snapshot(sim);
    sim.clearLog();
    for (const QByteArray &k : keys)
        QVERIFY(sim.handle(k, Framing::VisaUsb).isEmpty());
    QCOMPARE(sim.lines(), keys);
    QCOMPARE(sim.refusedCount(), 0);
    QCOMPARE(snapshot(sim), before);
}

void TstQm4100Sim::autoSet()
{
    for (const char *line : {":AUTO", ":KEY:AUTO"}) {
        Qm4100Sim sim;
        for (const char *l : {":STOP", ":CHANNEL1:SCALE 5V", ":CHANNEL1:OFFSET 1V", ":TIMEBASE:SCALE 10MS",
                              ":TRIGGER:MODE PULSE", ":TRIGGER:EDGE:SOURCE CHANNEL2", ":TIMEBASE:FORMAT SCANNING",
                              ":TRIGGER:EDGE:LEVEL 1"})
            sim.handle(l, Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(query(sim, ":CHANNEL1:DISPLAY?"), QByteArray("ON"));
        QCOMPARE(query(sim, ":CHANNEL2:DISPLAY?"), QByteArray("ON"));
        QCOMPARE(query(sim, ":CHANNEL1:SCALE?"), QByteArray("5.000e-01"));   // 2 Vpp over 4 div
        QCOMPARE(query(sim, ":CHANNEL2:SCALE?"), QByteArray("2.000e-01"));   // 1 Vpp: 0.25 -> 0.2
        QCOMPARE(query(sim, ":CHANNEL1:OFFSET?"), QByteArray("0.000e+00"));
        QCOMPARE(query(sim, ":TIMEBASE:SCALE?"), QByteArray("2.000e-04"));   // two periods over 12 div
        QCOMPARE(query(sim, ":TIMEBASE:FORMAT?"), QByteArray("Y-T"));
        QCOMPARE(query(sim, ":TRIGGER:MODE?"), QByteArray("EDGE"));
        QCOMPARE(query(sim, ":TRIGGER:EDGE:SOURCE?"), QByteArray("CH1"));
        QCOMPARE(query(sim, ":TRIGGER:EDGE:LEVEL?"), QByteArray("0.000e+00"));
        QCOMPARE(query(sim, ":TRIGGER:STATUS?"), QByteArray("RUN"));
        // the signals then fill about half the screen
        const double vpp = queryNumber(sim, ":MEASURE:VPP? CHANNEL1");
        QVERIFY(vpp / 0.5 >= 3 && vpp / 0.5 <= 5);
        QCOMPARE(sim.refusedCount(), 0);
    }
}

void TstQm4100Sim::trigTo50()
{
    for (const char *line : {":TRIG%50", ":KEY:TRIG%50"}) {
        Qm4100Sim sim;
        Qm4100Sim::Signal s = sim.signal(1);
        s.dcVolts = 0.3;
        sim.setSignal(1, s);
        Qm4100Sim::Signal s2 = sim.signal(2);
        s2.dcVolts = -0.2;
        sim.setSignal(2, s2);
        sim.handle(":CHANNEL1:COUPLING DC", Framing::VisaUsb);
        sim.handle(":CHANNEL2:COUPLING DC", Framing::VisaUsb);
        sim.handle(":TRIGGER:EDGE:LEVEL 1.5", Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(query(sim, ":TRIGGER:EDGE:LEVEL?"), QByteArray("3.000e-01"));
        // AC coupling centres the signal on 0 V
        sim.handle(":CHANNEL1:COUPLING AC", Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(query(sim, ":TRIGGER:EDGE:LEVEL?"), QByteArray("0.000e+00"));
        // slope: both levels move, their distance stays
        sim.handle(":TRIGGER:MODE SLOPE", Framing::VisaUsb);
        sim.handle(":TRIGGER:SLOPE:SOURCE CHANNEL2", Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(query(sim, ":TRIGGER:SLOPE:LEVELA?"), QByteArray("-3.000e-01"));
        QCOMPARE(query(sim, ":TRIGGER:SLOPE:LEVELB?"), QByteArray("-1.000e-01"));
        // alternating: both channels
        sim.handle(":TRIGGER:MODE ALTERNATION", Framing::VisaUsb);
        sim.handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL2", Framing::VisaUsb);
        sim.handle(":TRIGGER:ALTERNATION:TYPE PULSE", Framing::VisaUsb);
        sim.handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL1", Framing::VisaUsb);
        sim.handle(":TRIGGER:ALTERNATION:EDGE:LEVEL 1", Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(sim.altSetting(1, ":TRIGGER:ALTERNATION:EDGE:LEVEL"), QByteArray("0.000e+00"));
        QCOMPARE(sim.altSetting(2, ":TRIGGER:ALTERNATION:PULSE:LEVEL"), QByteArray("-2.000e-01"));
        // a logic source or a pattern trigger: nothing changes
        sim.handle(":TRIGGER:MODE EDGE", Framing::VisaUsb);
        sim.handle(":TRIGGER:EDGE:SOURCE DIGITAL4", Framing::VisaUsb);
        sim.handle(":TRIGGER:EDGE:LEVEL 1", Framing::VisaUsb);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(query(sim, ":TRIGGER:EDGE:LEVEL?"), QByteArray("1.000e+00"));
        sim.handle(":TRIGGER:MODE PATTERN", Framing::VisaUsb);
        const QByteArray before = snapshot(sim);
        sim.handle(line, Framing::VisaUsb);
        QCOMPARE(snapshot(sim), before);
        QCOMPARE(sim.refusedCount(), 0);
    }
}

// ---------------------------------------------------------------------------
// Log and faults

void TstQm4100Sim::logRecordsEveryLine()
{
    Qm4100Sim sim;
    const QList<QByteArray> seq = {":TRIGGER:STATUS?", ":TRIGGER:STATUS?", ":MATH:DISPLAY?", ":FFT:DISPLAY?",
                                   ":SYSTEM:DATA?", ":TRIGGER:MODE?", ":TIMEBASE:FORMAT?", ":CHANNEL1:SCALE?",
                                   ":CHANNEL1:OFFSET?", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?", ":CHANNEL1:INVERT?",
                                   ":WAVEFORM:DATA? CHANNEL1", ":BOGUS?", ":KEY:LOCK ENABLE"};
    for (const QByteArray &l : seq)
        sim.handle(l, Framing::LengthPrefix);
    QCOMPARE(sim.lines(), seq);
    QCOMPARE(sim.count(":TRIGGER:STATUS?"), 2);
    QCOMPARE(sim.count(":WAVEFORM:DATA? CHANNEL1"), 1);
    QCOMPARE(sim.refusedCount(), 1);
    const auto &log = sim.log();
    QVERIFY(log[0].query && log[0].answered && !log[0].refused);
    QVERIFY(log[13].query && !log[13].answered && log[13].refused);
    QVERIFY(!log[14].query && !log[14].answered && !log[14].refused);
    sim.clearLog();
    QVERIFY(sim.log().isEmpty());
}

void TstQm4100Sim::faults_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("framing");
    QTest::addColumn<int>("fault");
    // 0 no reply, 1 delay, 2 short, 3 overlong, 4 long text, 5 garbage, 6 split
    for (int f = 0; f <= 6; ++f) {
        const int fr = int(Framing::LengthPrefix);
        QTest::newRow(qPrintable(QString("text %1").arg(f))) << QByteArray("*IDN?") << fr << f;
        QTest::newRow(qPrintable(QString("block %1").arg(f))) << QByteArray(":WAVEFORM:DATA? CHANNEL1") << fr << f;
        QTest::newRow(qPrintable(QString("usb block %1").arg(f))) << QByteArray(":SYSTEM:DATA?") << int(Framing::VisaUsb) << f;
    }
}

void TstQm4100Sim::faults()
{
    QFETCH(QByteArray, line);
    QFETCH(int, framing);
    QFETCH(int, fault);
    const Framing fr = Framing(framing);
    Qm4100Sim sim;
    const Qm4100Sim::Reply good = sim.handle(line, fr);
    const QByteArray proper = good.bytes();
    QCOMPARE(good.chunks.size(), 1);
    QCOMPARE(good.delayMs, 0);
    const bool binary = good.binary;
    const bool prefixed = binary && fr == Framing::LengthPrefix;

    Qm4100Sim::Faults f;
    switch (fault) {
    case 0: f.noReply = true; break;
    case 1: f.delayMs = 12000; break;
    case 2: f.shortBlockBy = 10; break;
    case 3: f.overlongBlockBy = 3; break;
    case 4: f.longText = true; break;
    case 5: f.garbage = true; break;
    case 6: f.splitReply = true; break;
    }
    sim.setFaults(f);
    const Qm4100Sim::Reply r = sim.handle(line, fr);
    const QByteArray bytes = r.bytes();
    switch (fault) {
    case 0:
        QVERIFY(r.isEmpty());
        QVERIFY(!sim.log().last().answered);
        QVERIFY(!sim.log().last().refused);
        // sets still work
        sim.handle(":CHANNEL1:SCALE 2V", fr);
        QCOMPARE(sim.setting(":CHANNEL1:SCALE"), QByteArray("2.000e+00"));
        sim.handle(":CHANNEL1:SCALE 1V", fr);
        break;
    case 1:
        QCOMPARE(r.delayMs, 12000);
        QCOMPARE(bytes, proper);
        break;
    case 2:
        if (binary) {
            QCOMPARE(bytes.size(), proper.size() - 10);
            QCOMPARE(bytes, proper.left(proper.size() - 10));   // the prefix still announces all
        } else {
            QCOMPARE(bytes, proper);
        }
        break;
    case 3:
        if (binary) {
            QCOMPARE(bytes, proper + QByteArray(3, char(0xAA)));
            if (prefixed)
                QCOMPARE(prefixLength(bytes), quint32(proper.size() - 4));
        } else {
            QCOMPARE(bytes, proper);
        }
        break;
    case 4:
        if (binary) {
            QCOMPARE(bytes, proper);
        } else {
            QVERIFY(bytes.size() > 257);
            QVERIFY(bytes.startsWith(proper.chopped(1)));
            QCOMPARE(bytes.count('\n'), 1);
            QVERIFY(bytes.endsWith('\n'));
        }
        break;
    case 5:
        QCOMPARE(bytes.size(), 41);
        QCOMPARE(bytes.count('\n'), 1);
        QVERIFY(bytes.endsWith('\n'));
        QVERIFY(!proper.startsWith(bytes.left(8)));
        break;
    case 6:
        QCOMPARE(bytes, proper);
        if (prefixed) {
            QCOMPARE(r.chunks.size(), 3);
            QCOMPARE(r.chunks[0].size(), 2);
            QCOMPARE(r.chunks[1].size(), 2);
        } else {
            QCOMPARE(r.chunks.size(), 2);
            QCOMPARE(r.chunks[0].size(), 1);
        }
        break;
    }
    // cleared faults give the proper reply again
    sim.clearFaults();
    const Qm4100Sim::Reply again = sim.handle(line, fr);
    QCOMPARE(again.bytes(), proper);
    QCOMPARE(again.chunks.size(), 1);
}

void TstQm4100Sim::faultSilentFromNthQuery()
{
    Qm4100Sim sim;
    sim.handle("*IDN?", Framing::VisaUsb);
    Qm4100Sim::Faults f;
    f.silentFromQuery = 3;
    sim.setFaults(f);
    QVERIFY(!sim.handle("*IDN?", Framing::VisaUsb).isEmpty());
    sim.handle(":CHANNEL1:SCALE 2V", Framing::VisaUsb);   // sets do not count
    QVERIFY(!sim.handle(":CHANNEL1:SCALE?", Framing::VisaUsb).isEmpty());
    QVERIFY(sim.handle(":SYSTEM:DATA?", Framing::VisaUsb).isEmpty());
    QVERIFY(sim.handle("*IDN?", Framing::VisaUsb).isEmpty());
    QVERIFY(sim.handle(":TRIGGER:STATUS?", Framing::LengthPrefix).isEmpty());
    QCOMPARE(sim.setting(":CHANNEL1:SCALE"), QByteArray("2.000e+00"));
    sim.clearFaults();
    QVERIFY(!sim.handle("*IDN?", Framing::VisaUsb).isEmpty());
}

// One query answered with its line end alone, in both line-end forms; other
// queries and the setting itself are untouched.
void TstQm4100Sim::faultEmptyReplyToOneQuery()
{
    Qm4100Sim sim;
    const QByteArray location = sim.handleLine(":LA:LOCATION?", Framing::LengthPrefix);
    QVERIFY(location.size() > 2);
    Qm4100Sim::Faults f;
    f.emptyReplyTo = ":LA:LOCATION?";
    sim.setFaults(f);
    QCOMPARE(sim.handleLine(":LA:LOCATION?", Framing::LengthPrefix), QByteArray("\n"));
    QCOMPARE(sim.handleLine(":LA:LOCATION?", Framing::VisaUsb), QByteArray("\n"));
    QVERIFY(sim.log().last().answered);
    QCOMPARE(sim.handleLine(":TRIGGER:STATUS?", Framing::LengthPrefix), QByteArray("RUN\n"));
    f.crLf = true;
    sim.setFaults(f);
    QCOMPARE(sim.handleLine(":LA:LOCATION?", Framing::LengthPrefix), QByteArray("\r\n"));
    QCOMPARE(sim.handleLine(":TRIGGER:STATUS?", Framing::LengthPrefix), QByteArray("RUN\r\n"));
    sim.clearFaults();
    QCOMPARE(sim.handleLine(":LA:LOCATION?", Framing::LengthPrefix), location);
}

// Value replies the instrument cannot mean: a mark before the number, or an
// absurd number, to every value reply or to one query only; word replies and
// blocks never change.
void TstQm4100Sim::faultValueReplies_data()
{
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QByteArray>("absurd");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("reply"); // "=" for the proper one
    QTest::newRow("below, a channel offset") << QByteArray("<") << QByteArray() << QByteArray() << QByteArray(":CHANNEL2:OFFSET?") << QByteArray("<0.000e+00\n");
    QTest::newRow("above, the holdoff") << QByteArray(">") << QByteArray() << QByteArray() << QByteArray(":TRIGGER:HOLDOFF?") << QByteArray(">1.000e-07\n");
    QTest::newRow("below, a measurement") << QByteArray("<") << QByteArray() << QByteArray(":MEASURE:VPP? CHANNEL1") << QByteArray(":MEASURE:VPP? CHANNEL1") << QByteArray("<");
    QTest::newRow("another query than the one named") << QByteArray("<") << QByteArray() << QByteArray(":MEASURE:VPP? CHANNEL1") << QByteArray(":MEASURE:VMAX? CHANNEL1") << QByteArray("=");
    QTest::newRow("a word") << QByteArray(">") << QByteArray() << QByteArray() << QByteArray(":TRIGGER:STATUS?") << QByteArray("=");
    QTest::newRow("a block") << QByteArray(">") << QByteArray() << QByteArray() << QByteArray(":SYSTEM:DATA?") << QByteArray("=");
    QTest::newRow("1e308 to a trigger level") << QByteArray() << QByteArray("1e308") << QByteArray(":TRIGGER:EDGE:LEVEL?") << QByteArray(":TRIGGER:EDGE:LEVEL?") << QByteArray("1e308\n");
    QTest::newRow("1e600 marked") << QByteArray(">") << QByteArray("1e600") << QByteArray() << QByteArray(":CHANNEL1:SCALE?") << QByteArray(">1e600\n");
}

void TstQm4100Sim::faultValueReplies()
{
    QFETCH(QByteArray, mark);
    QFETCH(QByteArray, absurd);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, reply);
    Qm4100Sim sim;
    const QByteArray proper = sim.handleLine(line, Framing::LengthPrefix);
    Qm4100Sim::Faults f;
    f.valueMark = mark;
    f.absurdValue = absurd;
    f.valueFaultTo = to;
    sim.setFaults(f);
    const QByteArray got = sim.handleLine(line, Framing::LengthPrefix);
    if (reply == "=")
        QCOMPARE(got, proper);
    else if (reply == "<") // a measurement: its own number behind the mark
        QCOMPARE(got, "<" + proper);
    else
        QCOMPARE(got, reply);
    sim.clearFaults();
    QCOMPARE(sim.handleLine(line, Framing::LengthPrefix), proper);
}

// The delay of one query's reply only.
void TstQm4100Sim::faultLateReplyToOneQuery()
{
    Qm4100Sim sim;
    Qm4100Sim::Faults f;
    f.delayMs = 5000;
    f.lateReplyTo = ":TIMEBASE:SCALE?";
    sim.setFaults(f);
    const Qm4100Sim::Reply late = sim.handle(":TIMEBASE:SCALE?", Framing::LengthPrefix);
    QCOMPARE(late.delayMs, 5000);
    QCOMPARE(late.bytes(), QByteArray("1.000e-05\n"));
    QCOMPARE(sim.handle(":TIMEBASE:OFFSET?", Framing::LengthPrefix).delayMs, 0);
    QCOMPARE(sim.handle(":TIMEBASE:SCALE? ", Framing::LengthPrefix).delayMs, 0); // another line: refused, no delay
    f.lateReplyTo.clear();
    sim.setFaults(f);
    QCOMPARE(sim.handle(":TIMEBASE:OFFSET?", Framing::LengthPrefix).delayMs, 5000);
}

void TstQm4100Sim::identityVariants()
{
    Qm4100Sim sim;
    QVERIFY(sim.colourScreen());
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb).at(25), 'C');
    sim.setIdentity("ACME INSTRUMENTS", "QM4102CD");
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb), QByteArray("ACME INSTRUMENTS,QM4102CD,SN000001,00.04.01\n"));
    sim.setIdentity("karvo technologies", "QM4104C", "SN9", "01.00.00");
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb), QByteArray("karvo technologies,QM4104C,SN9,01.00.00\n"));
    sim.setIdentityText("");
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb), QByteArray("\n"));
    QVERIFY(!sim.colourScreen());
    sim.setMonochrome(true);
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb),
             QByteArray("KARVO TECHNOLOGIES,QM4102MD,SN000001,00.04.01\n"));
    QVERIFY(!sim.colourScreen());
    sim.reset();
    QCOMPARE(sim.handleLine("*IDN?", Framing::VisaUsb),
             QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n"));
}

QTEST_GUILESS_MAIN(TstQm4100Sim)
#include "tst_qm4100sim.moc"
