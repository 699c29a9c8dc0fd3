// The waveform request (kind 6): everything one waveform item shows, read
// into a copy of its record Sheet.WaveDocs[CurrentDoc] and put in the record
// only when every block the refresh needs came.

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

// The request has been stopped, or a reply did not come.
bool cutShort()
{
    return exchangeFailed() || exchangeAbandoned();
}

// A scale, offset or time text of the item: the reply formatted, or the
// item's own text when the reply holds no value the instrument can mean.
template <typename Format>
void valueText(QString &member, const QString &reply, Format format)
{
    if (!InvalidValueReply(reply))
        member = format(reply);
}

QString volts(const QString &reply)
{
    return FormatVolt(reply);
}

QString time4(const QString &reply)
{
    return FormatTime4(reply);
}

// Puts what a refresh read into the item: the members the request writes,
// and no other (the window's own flags, its name and node, its display
// options stay as the window left them while it waited).
void takeRefresh(WaveDoc &item, WaveDoc &&fresh)
{
    item.ShowCH1 = fresh.ShowCH1;
    item.ShowCH2 = fresh.ShowCH2;
    item.ShowMath = fresh.ShowMath;
    item.DrawCH1 = fresh.DrawCH1;
    item.DrawCH2 = fresh.DrawCH2;
    item.DrawMath = fresh.DrawMath;
    item.DrawLA = fresh.DrawLA;
    item.Setup = fresh.Setup;
    item.TrigMode = std::move(fresh.TrigMode);
    item.MathDisplay = std::move(fresh.MathDisplay);
    item.FFTDisplay = std::move(fresh.FFTDisplay);
    item.SplitScreen = fresh.SplitScreen;
    item.PointCount = fresh.PointCount;
    item.YTFormat = fresh.YTFormat;
    item.XYFormat = fresh.XYFormat;
    item.RollMode = fresh.RollMode;
    item.SpareFlag = fresh.SpareFlag;
    item.Channels = fresh.Channels;
    item.CH1VoltDiv = std::move(fresh.CH1VoltDiv);
    item.CH1Offset = std::move(fresh.CH1Offset);
    item.CH2VoltDiv = std::move(fresh.CH2VoltDiv);
    item.CH2Offset = std::move(fresh.CH2Offset);
    item.AltTimeDivCH1 = std::move(fresh.AltTimeDivCH1);
    item.AltDelayCH1 = std::move(fresh.AltDelayCH1);
    item.AltTimeDivCH2 = std::move(fresh.AltTimeDivCH2);
    item.AltDelayCH2 = std::move(fresh.AltDelayCH2);
    item.TimeDiv = std::move(fresh.TimeDiv);
    item.Delay = std::move(fresh.Delay);
    item.DateText = std::move(fresh.DateText);
    item.CH1Rows = std::move(fresh.CH1Rows);
    item.CH2Rows = std::move(fresh.CH2Rows);
    item.MathRows = std::move(fresh.MathRows);
    item.FFTRows = std::move(fresh.FFTRows);
    item.LAWords = std::move(fresh.LAWords);
}
} // namespace

void TransferRunner::RequestWaveforms()
{
    TransferRequest &req = app().transfer;
    if (req.CurrentDoc < 0 || req.CurrentDoc >= DataSheet::WaveSlots)
        return;
    TransferData &x = app().xfer;
    x.BlocksReceived = false;
    CtrlSettings &settings = app().Settings;
    const int slot = req.CurrentDoc;
    // The refresh is decoded into a copy: an item whose refresh fails part
    // way keeps its own trace, settings and flags, never a mix of two
    // refreshes or another request's block.
    WaveDoc doc = app().Sheet.WaveDocs[size_t(slot)];
    bool received = true;
    const QString &on = word(Word::WordOn);
    const QString &off = word(Word::WordOff);

    // Run state, MATH and FFT display. What the refresh learns of the
    // settings (these two, and both channels on in X-Y) goes into them only
    // with the item, when every reply and block has come.
    const QString run = ask(":TRIGGER:STATUS?") == QLatin1String("STOP") ? QStringLiteral("STOP")
                                                                           : QStringLiteral("RUN");
    const QString mathDisplay = OnOffDisplay(ask(":MATH:DISPLAY?"));
    const QString fftDisplay = OnOffDisplay(ask(":FFT:DISPLAY?"));
    if (cutShort())
        return;
    bool bothChannelsOn = false;
    if (mathDisplay == off && doc.ShowMath)
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

    received = ReadSetupBlock() && received;
    doc.Setup = app().link.LastSetup;
    doc.TrigMode = ask(":TRIGGER:MODE?");
    doc.MathDisplay = mathDisplay;
    doc.FFTDisplay = fftDisplay;
    const bool alternating = doc.TrigMode == QLatin1String("ALTERNATION");
    doc.SplitScreen = alternating || (fftDisplay == on && doc.Setup.FFTFullScreen == 0);
    doc.PointCount = 600;

    const QString format = ask(":TIMEBASE:FORMAT?");
    if (cutShort())
        return;
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
        bothChannelsOn = true;
    } else {
        doc.YTFormat = false;
        doc.XYFormat = false;
        doc.RollMode = true;
    }
    doc.SpareFlag = false;

    if (doc.ShowCH1) {
        doc.Channels = 1;
        valueText(doc.CH1VoltDiv, ask(":CHANNEL1:SCALE?"), volts);
        valueText(doc.CH1Offset, ask(":CHANNEL1:OFFSET?"), volts);
    }
    if (doc.ShowCH2) {
        doc.Channels = 2;
        valueText(doc.CH2VoltDiv, ask(":CHANNEL2:SCALE?"), volts);
        valueText(doc.CH2Offset, ask(":CHANNEL2:OFFSET?"), volts);
    }

    if (alternating) {
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL1"));
        if (!cutShort())
            appClock().pause(100);
        valueText(doc.AltTimeDivCH1, ask(":TRIGGER:ALTERNATION:TIMESCALE?"), time4);
        valueText(doc.AltDelayCH1, ask(":TRIGGER:ALTERNATION:TIMEOFFSET?"), time4);
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL2"));
        if (!cutShort())
            appClock().pause(100);
        valueText(doc.AltTimeDivCH2, ask(":TRIGGER:ALTERNATION:TIMESCALE?"), time4);
        valueText(doc.AltDelayCH2, ask(":TRIGGER:ALTERNATION:TIMEOFFSET?"), time4);
    } else {
        valueText(doc.TimeDiv, ask(":TIMEBASE:SCALE?"), time4);
        valueText(doc.Delay, ask(":TIMEBASE:OFFSET?"), time4);
    }
    if (cutShort())
        return;
    doc.DateText = TransferDateText();

    // Every source shown needs its block of this refresh.
    const auto block = [&](QList<qint32> &rows, double target, const char *source, const QString &invert,
                           int expected) {
        if (!ReadWaveformBlock(rows, target, QString::fromLatin1(source), invert, run, expected, doc.SplitScreen))
            received = false;
    };
    const QString noInvert = QStringLiteral("OFF");
    if (doc.YTFormat || doc.RollMode) {
        if (doc.ShowCH1) {
            x.ProgressStep = 3;
            const QString invert = ask(":CHANNEL1:INVERT?");
            SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
            block(doc.CH1Rows, x.ProgressCeiling, "CH1", invert, 601);
            x.ProgressCeiling += share;
        }
        if (doc.ShowCH2) {
            x.ProgressStep = 3;
            const QString invert = ask(":CHANNEL2:INVERT?");
            SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL2"));
            block(doc.CH2Rows, x.ProgressCeiling, "CH2", invert, 601);
            x.ProgressCeiling += share;
        }
        if (doc.ShowMath) {
            if (doc.FFTDisplay != on) {
                x.ProgressStep = 3;
                SendCommand(QStringLiteral(":WAVEFORM:DATA? MATH"));
                block(doc.MathRows, x.ProgressCeiling, "MATH", noInvert, 601);
            } else {
                x.ProgressStep = 1;
                SendCommand(QStringLiteral(":WAVEFORM:DATA? FFT"));
                block(doc.FFTRows, x.ProgressCeiling, "FFT", noInvert, 513);
            }
            x.ProgressCeiling = 2 * x.ProgressCeiling;
        }
        if (doc.ShowLA) {
            x.ProgressStep = 1;
            SendCommand(QStringLiteral(":WAVEFORM:DATA? DIGITAL"));
            block(doc.LAWords, BarMax, "LA", noInvert, 1201);
        }
    } else if (doc.XYFormat) {
        const QString invert1 = ask(":CHANNEL1:INVERT?");
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
        block(doc.CH1Rows, x.ProgressCeiling, "CH1", invert1, 601);
        const QString invert2 = ask(":CHANNEL2:INVERT?");
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL2"));
        block(doc.CH2Rows, x.ProgressCeiling, "CH2", invert2, 601);
    }

    // Every reply came too: a request cut short leaves the item as it was.
    x.BlocksReceived = received && !cutShort();
    if (!x.BlocksReceived || slot < 0 || slot >= DataSheet::WaveSlots)
        return;
    settings.MathDisplay = mathDisplay;
    settings.FFTDisplay = fftDisplay;
    if (bothChannelsOn) {
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
    }
    takeRefresh(app().Sheet.WaveDocs[size_t(slot)], std::move(doc));
}
