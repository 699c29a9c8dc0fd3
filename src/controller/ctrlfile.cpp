#include "controller/ctrlfile.h"

#include "common/filetext.h"

#include "platform/safesave.h"

#include "common/constants.h"

#include <QFile>

#include <cstring>
#include <vector>

namespace {

// The places of lines 2..194, in file order.
std::vector<QString *> filePlaces(CtrlSettings &s)
{
    std::vector<QString *> places;
    places.reserve(ControlFileLines - 1);
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (std::strcmp(f.name, "LASizeHi") == 0 || std::strcmp(f.name, "LASizeLo") == 0)
            continue; // the file has never kept the LA trace sizes
        if (f.text) {
            places.push_back(&(s.*f.text));
        } else {
            CtrlSettings::LAArray &a = s.*f.array;
            for (int k = 1; k <= 16; ++k)
                places.push_back(&a[k]);
        }
    }
    return places;
}


bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Reads fields one after another by the control file's field rule.
class FieldReader {
public:
    explicit FieldReader(const QString &text) : t_(text) {}

    // False at the end of the text: no field is left.
    bool next(QString *out)
    {
        const qsizetype n = t_.size();
        if (p_ >= n)
            return false;
        while (p_ < n && (t_[p_] == u' ' || t_[p_] == u'\t'))
            ++p_;
        if (p_ < n && t_[p_] == u'"') {
            const qsizetype start = ++p_;
            while (p_ < n && t_[p_] != u'"' && !isLineEnd(t_[p_]))
                ++p_;
            *out = t_.mid(start, p_ - start);
            // Past the closing quote to the next comma or line end.
            while (p_ < n && t_[p_] != u',' && !isLineEnd(t_[p_]))
                ++p_;
        } else {
            const qsizetype start = p_;
            while (p_ < n && t_[p_] != u',' && !isLineEnd(t_[p_]))
                ++p_;
            *out = t_.mid(start, p_ - start);
        }
        skipSeparator();
        return true;
    }

private:
    void skipSeparator()
    {
        const qsizetype n = t_.size();
        if (p_ >= n)
            return;
        if (t_[p_] == u',') {
            ++p_;
        } else if (t_[p_] == u'\r') {
            ++p_;
            if (p_ < n && t_[p_] == u'\n')
                ++p_;
        } else if (t_[p_] == u'\n') {
            ++p_;
        }
    }

    const QString &t_;
    qsizetype p_ = 0;
};

} // namespace

QString ControlFileHeader()
{
    return CompanyName + u' ' + ModelName + QStringLiteral(" Controller");
}

QByteArray ControlFileBytes(const CtrlSettings &settings)
{
    CtrlSettings copy = settings; // filePlaces needs a mutable record
    QString text;
    text.reserve(4096);
    auto line = [&text](const QString &v) {
        text += u'"';
        text += v;
        text += QStringLiteral("\"\r\n");
    };
    line(ControlFileHeader());
    for (const QString *v : filePlaces(copy))
        line(*v);
    return text.toUtf8();
}

ControlFileRead ParseControlFile(const QByteArray &bytes, CtrlSettings &settings, int *fieldsRead)
{
    if (fieldsRead)
        *fieldsRead = 0;
    if (bytes.size() > ControlFileMaxBytes)
        return ControlFileRead::BadHeader;
    const QString text = DecodeFileText(bytes);
    FieldReader reader(text);
    QString header;
    if (!reader.next(&header) || header != ControlFileHeader())
        return ControlFileRead::BadHeader;
    int count = 0;
    QString value;
    for (QString *place : filePlaces(settings)) {
        if (!reader.next(&value))
            break; // the file ends early: the rest keep their texts
        *place = value;
        ++count;
    }
    if (fieldsRead)
        *fieldsRead = count;
    return ControlFileRead::Ok;
}

ControlFileRead ReadControlFile(const QString &path, CtrlSettings &settings, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return ControlFileRead::OpenFailed;
    }
    // One byte more than the limit tells a too-large file from one at the limit.
    const QByteArray bytes = file.read(ControlFileMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return ControlFileRead::OpenFailed;
    }
    return ParseControlFile(bytes, settings);
}

bool WriteControlFile(const QString &path, const CtrlSettings &settings, QString *error)
{
    return SaveWholeFile(path, ControlFileBytes(settings), error);
}
