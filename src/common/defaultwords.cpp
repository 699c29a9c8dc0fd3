#include "common/defaultwords.h"

namespace {
DefaultWordSource &source()
{
    static DefaultWordSource s;
    return s;
}
} // namespace

void setDefaultWordSource(DefaultWordSource s)
{
    source() = std::move(s);
}

QString defaultWord(const char *name, const char *english)
{
    const QString text = QString::fromUtf8(english);
    if (!source())
        return text;
    return source()(name, text);
}
