#pragma once
// Screen-image colour conversion: turns the instrument's screen bytes (one
// byte per pixel, 320 x 234) into colours for drawing. Each colour is a
// red-green-blue value with red in the lowest byte (0x00BBGGRR).
//
// Colour screens code a pixel as RGB 3-3-2: red bits 7-5, green bits 4-2,
// blue bits 1-0, each scaled to 0..255 (0xE0 pure red, 0xFC yellow, 0x1F
// cyan). Monochrome screens send a grey level, 0 black to 255 white.
//
// Both take the first count bytes of bytes and write count colours; a null
// buffer or a count of 0 or less writes nothing. The result is always 0.

#include <QtGlobal>

qint32 TransClr(const quint8 *bytes, qint32 count, qint32 *colours);
qint32 TransMono(const quint8 *bytes, qint32 count, qint32 *colours);

// The colour of one screen byte on each kind of screen.
qint32 colourOfByte(quint8 b);
qint32 greyOfByte(quint8 b);
