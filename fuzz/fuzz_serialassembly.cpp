// Feeds arbitrary chunks of bytes to the serial receive handlers, as receive
// events would deliver them. The first byte picks a text reply (even) or a
// length-prefixed block (odd); then each chunk is one length byte and that
// many bytes. Whatever comes, nothing is written outside the receive buffer,
// and a reply counts as complete only when it is whole: a text reply holds no
// line feed, a block holds exactly the announced payload, which fits the
// buffer and equals the bytes after the 4-byte header.
#include "app/appstate.h"
#include "link/rs232func.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    resetApp();
    LinkState &l = app().link;
    const bool binary = (data[0] & 1) != 0;
    l.BinaryReply = binary ? -1 : 0;
    l.RxWaiting = -1;
    l.RxStarted = 0;

    QByteArray stream; // every byte delivered, in order
    size_t pos = 1;
    while (pos < size) {
        // A length byte of 255 stands for a large chunk (repeats the rest).
        size_t len = data[pos++];
        QByteArray chunk;
        if (len == 255 && pos < size) {
            const size_t rest = size - pos;
            while (chunk.size() < 70000)
                chunk.append(reinterpret_cast<const char *>(data + pos), qsizetype(rest));
            pos = size;
        } else {
            len = std::min(len, size - pos);
            chunk = QByteArray(reinterpret_cast<const char *>(data + pos), qsizetype(len));
            pos += len;
        }
        stream.append(chunk);
        const bool wasWaiting = l.RxWaiting != 0;
        if (binary)
            ComReceiveBinary(chunk);
        else
            ComReceiveText(chunk);
        if (l.RxBuffer.size() != size_t(RxBufferSize) || l.RxWritePos < 0 || l.RxWritePos > RxBufferSize
            || l.RxText.size() > RxBufferSize || l.RxReceived < 0)
            std::abort();
        if (!wasWaiting)
            continue; // bytes after a complete reply only pile up until the next write
        if (l.RxWaiting)
            continue;
        // Just completed.
        if (binary) {
            const qsizetype n = stream.size() - 4;
            if (stream.size() < 4 || double(n) != l.RxCount || l.RxCount > RxBufferSize)
                std::abort();
            if (std::memcmp(l.RxBuffer.data(), stream.constData() + 4, size_t(n)) != 0)
                std::abort();
        } else {
            if (l.RxText.contains(QLatin1Char('\n')) || !stream.contains('\n'))
                std::abort();
        }
    }
    return 0;
}
