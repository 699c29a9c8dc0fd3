// The waveform request (kind 6): everything one waveform item shows, read
// into its record Sheet.WaveDocs[CurrentDoc].

#include "transfer/transferrunner.h"

#include "app/appstate.h"
#include "texts/stringres.h"
#include "link/cmdfunc.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/valuereply.h"

namespace {
QString ask(const char *line)
{
    return CutAtLF(QueryString(QString::fromLatin1(line)));
}
} // namespace

void TransferRunner::RequestWaveforms()
{
    TransferRequest &req = app().transfer;
    if (req.CurrentDoc < 0 || req.CurrentDoc >= DataSheet::WaveSlots)
        return;
    TransferData &x = app().xfer;
    CtrlSettings &settings = app().Settings;
    WaveDoc &doc = app().Sheet.WaveDocs[size_t(req.CurrentDoc)];
    const QString &on = word(Word::WordOn);
    const QString &off = word(Word::WordOff);

    // Run state, MATH and FFT display.
    const QString run = ask(":TRIGGER:STATUS?") == QLatin1String("STOP") ? QStringLiteral("STOP")
                                                                           : QStringLiteral("RUN");
    settings.MathDisplay = OnOffDisplay(ask(":MATH:DISPLAY?"));
    settings.FFTDisplay = OnOffDisplay(ask(":FFT:DISPLAY?"));
    if (settings.MathDisplay == off && doc.ShowMath)
        doc.ShowMath = false; // for good: the instrument shows no MATH

    // Progress share of each source.
    const int sources = int(doc.ShowCH1) + int(doc.ShowCH2) + int(doc.ShowMath) + int(doc.ShowLA);
    double share = 0.0;
    if (sources > 0) {
        share = double(BarMax) / sources;
        x.ProgressCeiling = share;
    }

    doc.DrawCH1 = doc.ShowCH1;
    doc.DrawCH2 = doc.ShowCH2;
    doc.DrawMath = doc.ShowMath;
    doc.DrawLA = doc.ShowLA;

    ReadSetupBlock();
    doc.Setup = app().link.LastSetup;
    doc.TrigMode = ask(":TRIGGER:MODE?");
    doc.MathDisplay = settings.MathDisplay;
    doc.FFTDisplay = settings.FFTDisplay;
    const bool alternating = doc.TrigMode == QLatin1String("ALTERNATION");
    doc.SplitScreen = alternating || (settings.FFTDisplay == on && doc.Setup.FFTFullScreen == 0);
    doc.PointCount = 600;

    const QString format = ask(":TIMEBASE:FORMAT?");
    if (format == QLatin1String("Y-T")) {
        doc.YTFormat = true;
        doc.XYFormat = false;
        doc.RollMode = doc.Setup.RollOn != 0;
    } else if (format == QLatin1String("X-Y")) {
        doc.RollMode = false;
        doc.YTFormat = false;
        doc.XYFormat = true;
        doc.ShowCH1 = true;
        doc.ShowCH2 = true;
        const auto &setNode = x.SetCtrlTreeNodeText;
        if (settings.CH1Display != on) {
            settings.CH1Display = on;
            if (setNode)
                setNode(2, 2, word(Word::ItemDisplay) + QStringLiteral(" [") + settings.CH1Display + QLatin1Char(']'));
        }
        if (settings.CH2Display != on) {
            settings.CH2Display = on;
            if (setNode)
                setNode(3, 2, word(Word::ItemDisplay) + QStringLiteral(" [") + settings.CH2Display + QLatin1Char(']'));
        }
    } else {
        doc.YTFormat = false;
        doc.XYFormat = false;
        doc.RollMode = true;
    }
    doc.SpareFlag = false;

    if (doc.ShowCH1) {
        doc.Channels = 1;
        doc.CH1VoltDiv = FormatVolt(ask(":CHANNEL1:SCALE?"));
        doc.CH1Offset = FormatVolt(ask(":CHANNEL1:OFFSET?"));
    }
    if (doc.ShowCH2) {
        doc.Channels = 2;
        doc.CH2VoltDiv = FormatVolt(ask(":CHANNEL2:SCALE?"));
        doc.CH2Offset = FormatVolt(ask(":CHANNEL2:OFFSET?"));
    }

    if (alternating) {
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL1"));
        appClock().pause(100);
        doc.AltTimeDivCH1 = FormatTime4(ask(":TRIGGER:ALTERNATION:TIMESCALE?"));
        doc.AltDelayCH1 = FormatTime4(ask(":TRIGGER:ALTERNATION:TIMEOFFSET?"));
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL2"));
        appClock().pause(100);
        doc.AltTimeDivCH2 = FormatTime4(ask(":TRIGGER:ALTERNATION:TIMESCALE?"));
        doc.AltDelayCH2 = FormatTime4(ask(":TRIGGER:ALTERNATION:TIMEOFFSET?"));
    } else {
        doc.TimeDiv = FormatTime4(ask(":TIMEBASE:SCALE?"));
        doc.Delay = FormatTime4(ask(":TIMEBASE:OFFSET?"));
    }
    doc.DateText = TransferDateText();

    // A source whose block does not come is not drawn or stored as this
    // refresh's trace: its Draw flag is cleared (its rows stay as they were).
    if (doc.YTFormat || doc.RollMode) {
        if (doc.ShowCH1) {
            x.ProgressStep = 3;
            const QString invert = ask(":CHANNEL1:INVERT?");
            SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
            if (!ReadWaveformBlock(doc.CH1Rows, x.ProgressCeiling, QStringLiteral("CH1"), invert, run, 601))
                doc.DrawCH1 = false;
            x.ProgressCeiling += share;
        }
        if (doc.ShowCH2) {
            x.ProgressStep = 3;
            const QString invert = ask(":CHANNEL2:INVERT?");
            SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL2"));
            if (!ReadWaveformBlock(doc.CH2Rows, x.ProgressCeiling, QStringLiteral("CH2"), invert, run, 601))
                doc.DrawCH2 = false;
            x.ProgressCeiling += share;
        }
        if (doc.ShowMath) {
            if (doc.FFTDisplay != on) {
                x.ProgressStep = 3;
                SendCommand(QStringLiteral(":WAVEFORM:DATA? MATH"));
                if (!ReadWaveformBlock(doc.MathRows, x.ProgressCeiling, QStringLiteral("MATH"),
                                       QStringLiteral("OFF"), run, 601))
                    doc.DrawMath = false;
            } else {
                x.ProgressStep = 1;
                SendCommand(QStringLiteral(":WAVEFORM:DATA? FFT"));
                if (!ReadWaveformBlock(doc.FFTRows, x.ProgressCeiling, QStringLiteral("FFT"),
                                       QStringLiteral("OFF"), run, 513))
                    doc.DrawMath = false;
            }
            x.ProgressCeiling = 2 * x.ProgressCeiling;
        }
        if (doc.ShowLA) {
            x.ProgressStep = 1;
            SendCommand(QStringLiteral(":WAVEFORM:DATA? DIGITAL"));
            if (!ReadWaveformBlock(doc.LAWords, BarMax, QStringLiteral("LA"), QStringLiteral("OFF"), run, 1201))
                doc.DrawLA = false;
        }
    } else if (doc.XYFormat) {
        const QString invert1 = ask(":CHANNEL1:INVERT?");
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
        const bool got1 = ReadWaveformBlock(doc.CH1Rows, x.ProgressCeiling, QStringLiteral("CH1"), invert1, run, 601);
        const QString invert2 = ask(":CHANNEL2:INVERT?");
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL2"));
        const bool got2 = ReadWaveformBlock(doc.CH2Rows, x.ProgressCeiling, QStringLiteral("CH2"), invert2, run, 601);
        if (!got1 || !got2) {
            // An X-Y picture needs both blocks of this refresh: without one
            // there are no points to draw or keep.
            doc.PointCount = 0;
            doc.DrawCH1 = false;
            doc.DrawCH2 = false;
        }
    }
}
