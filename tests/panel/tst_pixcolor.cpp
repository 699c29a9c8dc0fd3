// The screen-byte colour conversion: RGB 3-3-2 on colour screens, grey levels
// on monochrome ones, red in the lowest byte of each colour.
#include "platform/pixcolor/pixcolor.h"

#include <QtTest>

#include <vector>

class TestPixColor : public QObject {
    Q_OBJECT
private slots:
    void colour_data();
    void colour();
    void mono_data();
    void mono();
    void wholeBufferAndBounds();
};

static qint32 ref(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

void TestPixColor::colour_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");
    QTest::newRow("black") << 0x00 << ref(0, 0, 0);
    QTest::newRow("white") << 0xFF << ref(255, 255, 255);
    QTest::newRow("pure red") << 0xE0 << ref(255, 0, 0);
    QTest::newRow("pure green") << 0x1C << ref(0, 255, 0);
    QTest::newRow("pure blue") << 0x03 << ref(0, 0, 255);
    QTest::newRow("CH1 yellow") << 0xFC << ref(255, 255, 0);
    QTest::newRow("CH2 cyan") << 0x1F << ref(0, 255, 255);
    QTest::newRow("MATH magenta") << 0xE3 << ref(255, 0, 255);
    QTest::newRow("border") << 0x92 << ref(146, 146, 170);
    QTest::newRow("grid") << 0x49 << ref(73, 73, 85);
    QTest::newRow("lowest red bit") << 0x20 << ref(36, 0, 0);
    QTest::newRow("lowest blue bit") << 0x01 << ref(0, 0, 85);
}

void TestPixColor::colour()
{
    QFETCH(int, byte);
    QFETCH(int, expected);
    const quint8 in[1] = {quint8(byte)};
    qint32 out[1] = {-1};
    TransClr(in, 1, out);
    QCOMPARE(out[0], expected);
}

void TestPixColor::mono_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");
    QTest::newRow("black") << 0 << ref(0, 0, 0);
    QTest::newRow("white") << 255 << ref(255, 255, 255);
    QTest::newRow("CH2 grey") << 200 << ref(200, 200, 200);
    QTest::newRow("border") << 128 << ref(128, 128, 128);
    // The same byte a colour screen reads as yellow is a light grey here.
    QTest::newRow("0xFC") << 0xFC << ref(252, 252, 252);
}

void TestPixColor::mono()
{
    QFETCH(int, byte);
    QFETCH(int, expected);
    const quint8 in[1] = {quint8(byte)};
    qint32 out[1] = {-1};
    TransMono(in, 1, out);
    QCOMPARE(out[0], expected);
}

void TestPixColor::wholeBufferAndBounds()
{
    // Every byte value through both tables, in one call of the screen's size.
    std::vector<quint8> bytes(74880);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = quint8(i * 7);
    std::vector<qint32> out(74881, -1);
    TransClr(bytes.data(), 74880, out.data());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int b = bytes[i];
        const qint32 c = out[i];
        QCOMPARE(c & 0xFF, (((b >> 5) & 7) * 255 + 3) / 7);
        QCOMPARE((c >> 8) & 0xFF, (((b >> 2) & 7) * 255 + 3) / 7);
        QCOMPARE((c >> 16) & 0xFF, (b & 3) * 85);
    }
    QCOMPARE(out[74880], -1); // nothing past the count
    TransMono(bytes.data(), 74880, out.data());
    QCOMPARE(out[74879], ref(bytes[74879], bytes[74879], bytes[74879]));
    QCOMPARE(out[74880], -1);

    // Nothing is written for an empty or negative count or a missing buffer.
    qint32 one[1] = {-7};
    const quint8 b[1] = {0xFF};
    TransClr(b, 0, one);
    TransMono(b, -5, one);
    TransClr(nullptr, 1, one);
    QCOMPARE(one[0], -7);
    TransMono(b, 1, nullptr); // no crash
}

QTEST_GUILESS_MAIN(TestPixColor)
#include "tst_pixcolor.moc"
