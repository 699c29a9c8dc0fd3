#include "transfer/transfercaptions.h"

QString TransferCaptionText(TransferCaption caption, int lang)
{
    if (lang != 0 && lang != 1)
        return QString();
    const bool en = lang == 1;
    switch (caption) {
    case TransferCaption::Measure:
        return en ? QStringLiteral("Measure Data Loading...") : QStringLiteral("测量数据下载中...");
    case TransferCaption::DataTable:
        return en ? QStringLiteral("Wave Data Data Loading...") : QStringLiteral("波形数据的数据下载中...");
    case TransferCaption::Waveform:
        return en ? QStringLiteral("Waveform Data Loading...") : QStringLiteral("波形数据数据下载中...");
    case TransferCaption::Upload:
        return en ? QStringLiteral("Data Uploading...") : QStringLiteral("数据上传中...");
    case TransferCaption::Download:
        return en ? QStringLiteral("Data Downloading...") : QStringLiteral("数据下载中...");
    }
    return QString();
}
