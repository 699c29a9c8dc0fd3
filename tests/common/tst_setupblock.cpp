#include "common/setupblock.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// A block written byte by byte, little-endian, with a distinct value in every
// field, negative values where the field is signed, and non-zero reserved
// bytes and gaps.
QByteArray handMadeBlock()
{
    QByteArray b(116, '\0');
    auto put = [&b](int offset, std::initializer_list<int> bytes) {
        int i = offset;
        for (int v : bytes)
            b[i++] = char(v);
    };
    put(0, {0x05, 0x00});           // FirstPoint 5
    put(2, {0x2B, 0x01});           // LastPoint 299
    put(4, {0xFF, 0xFF});           // CH1FirstPoint -1
    put(6, {0x00, 0x80});           // CH1LastPoint -32768
    put(8, {0xFF, 0x7F});           // CH2FirstPoint 32767
    put(10, {0x34, 0x12});          // CH2LastPoint 0x1234
    put(12, {0x01, 0x01, 0x00, 0x01, 0x03}); // RollOn, CH1Valid, CH2Valid, MathValid, MathOperation 3
    put(17, {0xA1, 0xA2, 0xA3});    // gap
    put(20, {0x00, 0x00, 0xC0, 0x3F}); // RealParam1 1.5f
    put(24, {0xF6, 0xFF});          // MathPosition -10
    put(26, {0xB1, 0xB2});          // gap
    put(28, {0x00, 0x00, 0x00, 0x3F}); // MathScale 0.5f
    put(32, {0x02, 0x01});          // IntParam1 0x0102
    put(34, {0x01, 0x07, 0xEE, 0x00, 0x02}); // FFTValid, AltMathLower 7, ByteParam1, FFTFullScreen 0, FFTDecibelScale 2
    put(39, {0xC1});                // gap
    put(40, {0x00, 0x00, 0x80, 0x3F}); // FFTScaleVrms 1.0f
    put(44, {0x9C, 0xFF});          // IntParam2 -100
    put(46, {0x14, 0x00});          // FFTScaleDB 20
    put(48, {0x00, 0x00, 0x20, 0xC1}); // RealParam2 -10.0f
    put(52, {0xE2, 0xFF});          // FFTPosition -30
    put(54, {0xD1, 0xD2});          // gap
    put(56, {0x00, 0x24, 0xF4, 0x44}); // FFTHzPerDiv 1953.125f
    put(60, {0x04, 0x00});          // FFTSpanCode 4
    put(62, {0xE1, 0xE2});          // gap
    put(64, {0x00, 0x00, 0x80, 0xBF}); // RealParam3 -1.0f
    put(68, {0x96, 0x00});          // FFTCentre 150
    put(70, {0x01, 0xF1});          // LAValid 1, gap
    put(72, {0x81, 0xC0});          // LAShownMask 0xC081: D0, D7, D14, D15
    for (int n = 0; n < 16; ++n)    // LARow: 222 - 12 n, then D15 made negative
        put(74 + 2 * n, {(222 - 12 * n) & 0xFF, 0x00});
    put(104, {0xFE, 0xFF});         // LARow[15] -2
    put(106, {0x0F, 0x09, 0x12});   // LASelected 15, heights 9 and 18
    put(109, {0x71});               // reserved
    put(110, {0x0A, 0x00});         // LAFirstCol 10
    put(112, {0x18, 0x01});         // LALastCol 280
    put(114, {0x72, 0x73});         // reserved
    return b;
}

} // namespace

class TestSetupBlock : public QObject {
    Q_OBJECT
private slots:
    void decodesEveryFieldAtItsOffset()
    {
        bool complete = false;
        const SetupBlock s = SetupBlock::decode(handMadeBlock(), &complete);
        QVERIFY(complete);
        QCOMPARE(s.FirstPoint, qint16(5));
        QCOMPARE(s.LastPoint, qint16(299));
        QCOMPARE(s.CH1FirstPoint, qint16(-1));
        QCOMPARE(s.CH1LastPoint, qint16(-32768));
        QCOMPARE(s.CH2FirstPoint, qint16(32767));
        QCOMPARE(s.CH2LastPoint, qint16(0x1234));
        QCOMPARE(s.RollOn, quint8(1));
        QCOMPARE(s.CH1Valid, quint8(1));
        QCOMPARE(s.CH2Valid, quint8(0));
        QCOMPARE(s.MathValid, quint8(1));
        QCOMPARE(s.MathOperation, quint8(3));
        QCOMPARE(s.Gap17, (std::array<quint8, 3>{0xA1, 0xA2, 0xA3}));
        QCOMPARE(s.RealParam1, 1.5f);
        QCOMPARE(s.MathPosition, qint16(-10));
        QCOMPARE(s.Gap26, (std::array<quint8, 2>{0xB1, 0xB2}));
        QCOMPARE(s.MathScale, 0.5f);
        QCOMPARE(s.IntParam1, qint16(0x0102));
        QCOMPARE(s.FFTValid, quint8(1));
        QCOMPARE(s.AltMathLower, quint8(7));
        QCOMPARE(s.ByteParam1, quint8(0xEE));
        QCOMPARE(s.FFTFullScreen, quint8(0));
        QCOMPARE(s.FFTDecibelScale, quint8(2));
        QCOMPARE(s.Gap39, quint8(0xC1));
        QCOMPARE(s.FFTScaleVrms, 1.0f);
        QCOMPARE(s.IntParam2, qint16(-100));
        QCOMPARE(s.FFTScaleDB, qint16(20));
        QCOMPARE(s.RealParam2, -10.0f);
        QCOMPARE(s.FFTPosition, qint16(-30));
        QCOMPARE(s.Gap54, (std::array<quint8, 2>{0xD1, 0xD2}));
        QCOMPARE(s.FFTHzPerDiv, 1953.125f);
        QCOMPARE(s.FFTSpanCode, qint16(4));
        QCOMPARE(s.Gap62, (std::array<quint8, 2>{0xE1, 0xE2}));
        QCOMPARE(s.RealParam3, -1.0f);
        QCOMPARE(s.FFTCentre, qint16(150));
        QCOMPARE(s.LAValid, quint8(1));
        QCOMPARE(s.Gap71, quint8(0xF1));
        QCOMPARE(s.LAShownMask, qint16(quint16(0xC081)));
        for (int n = 0; n < 15; ++n)
            QCOMPARE(s.LARow[n], qint16(222 - 12 * n));
        QCOMPARE(s.LARow[15], qint16(-2));
        QCOMPARE(s.LASelected, quint8(15));
        QCOMPARE(s.LAHeightD0D7, quint8(9));
        QCOMPARE(s.LAHeightD8D15, quint8(18));
        QCOMPARE(s.Gap109, quint8(0x71));
        QCOMPARE(s.LAFirstCol, qint16(10));
        QCOMPARE(s.LALastCol, qint16(280));
        QCOMPARE(s.Gap114, (std::array<quint8, 2>{0x72, 0x73}));
    }

    void shownMaskBitsNameTheChannels()
    {
        const SetupBlock s = SetupBlock::decode(handMadeBlock());
        QList<int> shown;
        for (int n = -1; n <= 16; ++n)
            if (s.laShown(n))
                shown << n;
        QCOMPARE(shown, (QList<int>{0, 7, 14, 15}));
    }

    void encodeGivesBackTheSameBytes()
    {
        const QByteArray raw = handMadeBlock();
        QCOMPARE(SetupBlock::decode(raw).encode(), raw);
    }

    void everyByteSurvivesARoundTrip()
    {
        // Random blocks: any byte without a member of its own would come back
        // as zero. Floats include NaN patterns, which must keep their bits.
        QRandomGenerator gen(20261209);
        for (int round = 0; round < 200; ++round) {
            QByteArray raw(116, '\0');
            for (char &c : raw)
                c = char(gen.bounded(256));
            QCOMPARE(SetupBlock::decode(raw).encode(), raw);
        }
        QByteArray nan(116, '\xFF');
        QCOMPARE(SetupBlock::decode(nan).encode(), nan);
        QVERIFY(SetupBlock::decode(nan) == SetupBlock::decode(nan));
    }

    void encodedFieldsLandAtTheirOffsets()
    {
        SetupBlock s;
        s.LastPoint = -2;
        s.MathScale = 2.0f;
        s.LAShownMask = qint16(quint16(0x8001));
        s.LARow[15] = 0x0102;
        s.LAHeightD8D15 = 18;
        const QByteArray out = s.encode();
        QCOMPARE(out.size(), 116);
        QByteArray expected(116, '\0');
        expected[2] = char(0xFE);
        expected[3] = char(0xFF);
        expected[31] = char(0x40); // 2.0f = 0x40000000
        expected[72] = char(0x01);
        expected[73] = char(0x80);
        expected[104] = char(0x02);
        expected[105] = char(0x01);
        expected[108] = char(18);
        QCOMPARE(out, expected);
    }

    void shortOrLongInputIsBounded_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte, half a field") << 1;
        QTest::newRow("up to the logic mask") << 73;
        QTest::newRow("data bytes of the 113-byte form") << 112;
        QTest::newRow("one byte short") << 115;
        QTest::newRow("exact") << 116;
        QTest::newRow("longer") << 300;
    }
    void shortOrLongInputIsBounded()
    {
        QFETCH(int, size);
        QByteArray input(size, '\0');
        for (int i = 0; i < size; ++i)
            input[i] = char(0x40 + (i % 64));
        bool complete = false;
        const QByteArray out = SetupBlock::decode(input, &complete).encode();
        QCOMPARE(complete, size >= 116);
        QCOMPARE(out.size(), 116);
        for (int i = 0; i < 116; ++i)
            QCOMPARE(out[i], i < size ? input[i] : '\0');
    }

    void overwriteKeepsTheRestOfTheOldBlock()
    {
        SetupBlock s = SetupBlock::decode(handMadeBlock());
        const QByteArray before = s.encode();
        s.overwrite(QByteArray()); // nothing arrived: nothing changes
        QCOMPARE(s.encode(), before);

        s.overwrite(QByteArray(3, '\x11'));
        QByteArray expected = before;
        expected[0] = expected[1] = expected[2] = '\x11';
        QCOMPARE(s.encode(), expected);
        QCOMPARE(s.FirstPoint, qint16(0x1111));
        QCOMPARE(s.LastPoint, qint16(0x0111)); // low byte new, high byte kept

        s.overwrite(QByteArray(500, '\x22')); // longer than a block: extra ignored
        QCOMPARE(s.encode(), QByteArray(116, '\x22'));
    }

    void resetClearsEveryByte()
    {
        SetupBlock s = SetupBlock::decode(handMadeBlock());
        s.reset();
        QCOMPARE(s.encode(), QByteArray(116, '\0'));
        QVERIFY(s == SetupBlock{});
    }
};

QTEST_GUILESS_MAIN(TestSetupBlock)
#include "tst_setupblock.moc"
