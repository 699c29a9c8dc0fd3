#include "common/filetext.h"

#include <QStringDecoder>

QString DecodeFileText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    // Not stateless: a character cut off at the end (a file that stopped
    // halfway) is left out instead of making the whole file GB18030.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid())
        return gb.decode(bytes);
    return QString::fromLatin1(bytes); // no GB18030 support: keep every byte as a character
}
