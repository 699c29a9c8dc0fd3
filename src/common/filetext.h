#pragma once
// The text of a file the program reads: UTF-8 when the bytes are valid UTF-8
// (a byte-order mark dropped, and a character cut off at the very end left
// out), otherwise GB18030, the encoding such files have when written
// elsewhere in Chinese.

#include <QByteArray>
#include <QString>

QString DecodeFileText(const QByteArray &bytes);
