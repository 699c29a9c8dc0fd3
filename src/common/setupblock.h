#pragma once
// SetupBlock: the instrument's setup block, the 116-byte binary answer to
// ":SYSTEM:DATA?". Little-endian, every field at its natural alignment.
//
// The block says which screen columns hold valid points, which traces are
// valid, whether the display rolls, how the MATH and FFT traces are scaled and
// placed, and where the logic channels are drawn. Every waveform item keeps a
// copy (WaveDoc::Setup), and so does every stored-waveform item
// (StoredWave::Setup).
//
// Every byte of the block is kept: reserved fields and alignment gaps have
// members of their own, so encode(decode(x)) == x for any 116 bytes x.
//
// Layout (offset, type, member):
//     0 int16   FirstPoint      first screen column (0..299) holding valid points;
//                               two points per column
//     2 int16   LastPoint       last screen column holding valid points
//     4 int16   CH1FirstPoint   as FirstPoint, CH1 under the alternating trigger
//     6 int16   CH1LastPoint    as LastPoint, CH1 under the alternating trigger
//     8 int16   CH2FirstPoint   as FirstPoint, CH2 (and MATH) under the alternating trigger
//    10 int16   CH2LastPoint    as LastPoint, CH2 (and MATH) under the alternating trigger
//    12 uint8   RollOn          non-zero: the display rolls
//    13 uint8   CH1Valid        1: the CH1 trace is valid
//    14 uint8   CH2Valid        1: the CH2 trace is valid
//    15 uint8   MathValid       1: the MATH trace is valid
//    16 uint8   MathOperation   3 = FFT, 2 = a product (MATH scale label ends in "2")
//    17 3 bytes Gap17           alignment gap
//    20 float32 RealParam1      reserved
//    24 int16   MathPosition    MATH position in rows above the centre (label row 100 - value)
//    26 2 bytes Gap26           alignment gap
//    28 float32 MathScale       MATH volts per division
//    32 int16   IntParam1       reserved
//    34 uint8   FFTValid        1: the FFT trace is valid
//    35 uint8   AltMathLower    alternating trigger: non-zero puts the FFT in the lower half
//    36 uint8   ByteParam1      reserved
//    37 uint8   FFTFullScreen   0: FFT in the lower half (split layout); non-zero: whole screen
//    38 uint8   FFTDecibelScale non-zero: FFT scale in decibels (FFTScaleDB), 0: volts rms
//    39 1 byte  Gap39           alignment gap
//    40 float32 FFTScaleVrms    FFT volts rms per division
//    44 int16   IntParam2       reserved
//    46 int16   FFTScaleDB      FFT decibels per division
//    48 float32 RealParam2      reserved
//    52 int16   FFTPosition     FFT position in rows above the centre (label row 100 - value)
//    54 2 bytes Gap54           alignment gap
//    56 float32 FFTHzPerDiv     FFT hertz per division
//    60 int16   FFTSpanCode     FFT span code 1..7
//    62 2 bytes Gap62           alignment gap
//    64 float32 RealParam3      reserved
//    68 int16   FFTCentre       screen column of the FFT centre
//    70 uint8   LAValid         1: the logic channel data are valid
//    71 1 byte  Gap71           alignment gap
//    72 int16   LAShownMask     16-bit mask of the logic channels shown, bit n = Dn
//    74 16 x int16 LARow        element n: picture row of Dn's low level at zoom 1
//                               (25 = top graticule line, 225 = bottom), D0 first
//   106 uint8   LASelected      logic channel selected on the instrument (0..15),
//                               drawn last in its own colour
//   107 uint8   LAHeightD0D7    trace height of D0..D7 in rows (high level lies
//                               height - 1 rows above the low level)
//   108 uint8   LAHeightD8D15   the same for D8..D15
//   109 1 byte  Gap109          reserved
//   110 int16   LAFirstCol      reserved on the wire (the instrument sends 0); a stored
//                               waveform's own copy keeps the first screen column of
//                               its visible digital window here
//   112 int16   LALastCol       likewise, the last screen column
//   114 2 bytes Gap114          reserved
//
// A stored-waveform viewer's FirstCol..Ch2LastCol are FirstPoint..CH2LastPoint,
// and its LaLowGroup/LaHighGroup are LAHeightD0D7/LAHeightD8D15.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <array>

struct SetupBlock {
    static constexpr int Size = 116;

    qint16 FirstPoint = 0;
    qint16 LastPoint = 0;
    qint16 CH1FirstPoint = 0;
    qint16 CH1LastPoint = 0;
    qint16 CH2FirstPoint = 0;
    qint16 CH2LastPoint = 0;
    quint8 RollOn = 0;
    quint8 CH1Valid = 0;
    quint8 CH2Valid = 0;
    quint8 MathValid = 0;
    quint8 MathOperation = 0;
    std::array<quint8, 3> Gap17{};
    float RealParam1 = 0.0f;
    qint16 MathPosition = 0;
    std::array<quint8, 2> Gap26{};
    float MathScale = 0.0f;
    qint16 IntParam1 = 0;
    quint8 FFTValid = 0;
    quint8 AltMathLower = 0;
    quint8 ByteParam1 = 0;
    quint8 FFTFullScreen = 0;
    quint8 FFTDecibelScale = 0;
    quint8 Gap39 = 0;
    float FFTScaleVrms = 0.0f;
    qint16 IntParam2 = 0;
    qint16 FFTScaleDB = 0;
    float RealParam2 = 0.0f;
    qint16 FFTPosition = 0;
    std::array<quint8, 2> Gap54{};
    float FFTHzPerDiv = 0.0f;
    qint16 FFTSpanCode = 0;
    std::array<quint8, 2> Gap62{};
    float RealParam3 = 0.0f;
    qint16 FFTCentre = 0;
    quint8 LAValid = 0;
    quint8 Gap71 = 0;
    qint16 LAShownMask = 0;
    std::array<qint16, 16> LARow{};
    quint8 LASelected = 0;
    quint8 LAHeightD0D7 = 0;
    quint8 LAHeightD8D15 = 0;
    quint8 Gap109 = 0;
    qint16 LAFirstCol = 0;
    qint16 LALastCol = 0;
    std::array<quint8, 2> Gap114{};

    // Decodes a block. Safe for any input: only the first Size bytes are read;
    // a shorter input decodes as if it were padded with zero bytes up to Size
    // (so the 112 data bytes of the 113-byte serial-resource form give bytes
    // 112..115 = 0). *complete, when given, tells whether all Size bytes were
    // present.
    static SetupBlock decode(QByteArrayView bytes, bool *complete = nullptr);

    // Overwrites the leading bytes of this block with bytes (at most Size of
    // them) and keeps the rest as it was: what copying a short reply over the
    // previous block does. An empty input changes nothing.
    void overwrite(QByteArrayView bytes);

    // The block as its Size bytes, every reserved byte and gap included.
    QByteArray encode() const;

    // Back to a block of zero bytes.
    void reset() { *this = SetupBlock{}; }

    // True when logic channel Dn (0..15) is marked shown in LAShownMask;
    // false for any other n.
    bool laShown(int n) const;

    // Byte-for-byte equality (a float NaN equals itself when its bits do).
    friend bool operator==(const SetupBlock &a, const SetupBlock &b) { return a.encode() == b.encode(); }
};
