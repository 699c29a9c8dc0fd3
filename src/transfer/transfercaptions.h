#pragma once
// The transfer dialog's caption, set by each requester in the language in
// force.

#include <QString>

enum class TransferCaption { Measure, DataTable, Waveform, Upload, Download };

// The caption for lang (0 Chinese, 1 English); the null text for any other
// lang (the caption then stays as it was).
QString TransferCaptionText(TransferCaption caption, int lang);
