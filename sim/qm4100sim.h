#pragma once
// Qm4100Sim: a simulated QM4100D mixed-signal oscilloscope (2 analog channels,
// 16 logic channels), free of any transport.
//
// A transport hands the core one received line at a time (without its LF) and
// gets back the reply bytes, framed as that transport frames binary replies:
//
//   Qm4100Sim sim;
//   Qm4100Sim::Reply r = sim.handle(":CHANNEL1:SCALE?", Qm4100Sim::Framing::VisaUsb);
//   // r.bytes() == "1.000e+00\n"; r.delayMs is the late-reply fault to apply
//   // on the transport's own clock; r.chunks are the pieces to deliver as
//   // separate reads (more than one only under the split fault).
//
// Framings (text replies are the same in all three: the text and one LF):
//   LengthPrefix  the serial-port control: binary replies are a 4-byte
//                 little-endian length N followed by N bytes.
//   VisaUsb       binary replies are the bare bytes (setup block 116 bytes,
//                 waveform blocks with their final LF, screen 74880 + LF).
//   VisaSerial    as VisaUsb, but the setup block goes out in the 113-byte
//                 form: setup bytes 0..111 and LF.
//
// What it models: every setting the program sets or queries, with the reply
// forms and reset values of the command reference (PROTOCOL.md); live
// waveforms for CH1 (1 kHz sine, 2 Vpp), CH2 (1 kHz square, 1 Vpp), MATH, FFT
// of CH1 and D0-D15 (a counter); the matching setup block; the eighteen
// measurements; the 320 x 234 screen image; keys and knobs; a log of every
// line received; and faults on demand.
//
// Choices of this simulator where the command reference leaves things open:
// - Headers: matched case-insensitively, long or short form. The short form of
//   a mnemonic is its first four letters, or three when the fourth is a vowel
//   (TRIGGER -> TRIG, TIMEBASE -> TIM, SWEEP -> SWE); a numeric suffix stays
//   (CHAN1, DIG12). A short form shared by two headers at the same place
//   (TIMESCALE/TIMEOFFSET, LEVELA/LEVELB, some key words) matches neither:
//   those take the long form. A leading ':' may be left out. Word arguments
//   match case-insensitively and in full.
// - A line is refused (logged, nothing changed, no reply) when it holds a byte
//   outside 0x20..0x7E, is empty, has an unknown header, a missing, empty or
//   unreadable argument, or more than one blank before the argument.
// - Numbers: a scale (volts or seconds per division) must be above 0; other
//   numbers must be finite. Volt and time arguments take the unit forms of the
//   reference and plain numbers. Divisions take "<n>div" and plain numbers.
// - Values are kept as received, not snapped to the instrument's steps, but
//   within the instrument's limits (sim/simlimits.h: volts/div, offset by
//   volts/div, time/div by format with roll from 100 ms/div, trigger levels
//   within 6 divisions of their source's centre, sensitivity): a value outside
//   is clamped to the nearest limit and its query answers the value kept.
// - Trigger sources: EDGE takes CHANNEL1/2, EXT, EXT5, ACLINE, DIGITAL0-15;
//   PULSE the same; VIDEO and SLOPE take CHANNEL1/2, EXT, EXT5 only.
//   Trigger coupling takes DC, AC, HF, LF ("GND" is refused).
// - ":TRIGGER:MODE ALTERNATION" puts the time-base format to Y-T.
// - A video line above 625 or below 1 is refused; under NTSC a line above
//   525 becomes 525.
// - Probe: the simulated signals are the voltages at the input connector; the
//   displayed voltage is that times the probe ratio, so a probe change (which
//   scales the reported scale and offset by q/p) leaves the picture unchanged.
// - Waveforms are triggered at t = 0 whatever the trigger settings: the sine
//   rises through its middle and the square rises at t = 0. Stopping freezes
//   nothing visible (the signals are periodic); settings changed while stopped
//   redraw the traces.
// - AC coupling removes a signal's DC part, GND shows 0 V; BW limit,
//   acquisition type and persistence have no effect on the data.
// - MATH uses the points of CH1 and CH2 index by index (under the alternating
//   trigger each from its own time base); MATH scale = CH1 volts/div. While
//   the FFT is on, the setup block's MATH function is 3 (FFT), whatever
//   arithmetic function MATH keeps for later.
// - FFT: 1024 samples of CH1 at the sample rate of ":ACQUIRE:SAMP?", Hann
//   window; block byte j is bin j (frequency j x rate / 1024), in dBV rms at
//   20 dB/div with 0 dBV at the middle of the lower half.
// - DIGITAL: word w (0..599) of the block is (counterStart + w) & 0xFFFF, a
//   counter that advances once per point (counterStart 0 unless set).
// - Roll (format SCANNING): the screen fills one column per 2/50 division of
//   time from the moment the format was chosen or the run restarted; the
//   setup block's LastPoint tells how far. Points past it still carry the
//   signal.
// - Measurements are computed from the channel's 600 points before
//   quantisation but clipped to the 0..255 level range, without invert; a
//   channel whose display is OFF answers "****" to every measurement. Top and
//   base are the mean of the points at the most frequent level of the upper
//   and lower half (max/min when no level holds 5 % of the points); times use the 10/50/90 % levels of
//   the amplitude; average and rms run over whole periods when there are any.
//   Reply form "%.4e".
// - Knob keys without a step move by one fine step. ":KEY:H_POS_INC" adds to
//   the time-base delay (the alternation source's delay under ALTERNATION),
//   ":KEY:H_POS_DEC" subtracts. The trigger-level knob moves the level of the
//   current type (LEVELA for SLOPE; the alternation source's type under
//   ALTERNATION) by 1/25 of its source's volts/div (EXT 0.2 V, EXT5 1 V);
//   nothing for ACLINE, logic sources, PATTERN and DURATION. Knobs stop at
//   the limits. Every key and knob line sets the screen's menu line: a menu
//   key its menu's title (MEASURE, ACQUIRE, ..., HORIZONTAL, TRIGGER, CH1),
//   F1-F5 and the function knob an item of that menu, a knob the value it
//   moved ("CH1 POSITION 400mV", "DELAY -10.0us", "TRIG LEVEL 200mV"); the
//   keys that change no setting change nothing else.
// - ":TRIG%50" moves a SLOPE trigger's two levels so that their mean is the
//   signal's middle, keeping their distance; EXT, EXT5 and ACLINE have their
//   middle at 0 V.
// - ":AUTO": CH1 and CH2 on, offsets 0, each volts/div the 1-2-5 step nearest
//   (logarithmically) to a quarter of its displayed peak-to-peak, time/div the
//   1-2-5 step nearest to two periods of CH1 over the 12 divisions, format Y-T,
//   trigger EDGE on CH1 at the middle of CH1, run.
// - Screen, drawn from the state at every ":LCD:DATA?": waveform area of
//   300 x 200 pixels at (10, 17) with a border and a dotted graticule (per
//   ":DISPLAY:GRID"); column c of the area shows points 2c and 2c + 1; pixel
//   row = level - 25. Traces are drawn in the order logic, MATH/FFT, CH2, CH1
//   (CH1 on top). Around it, in a 5 x 7 font: the run state and the menu line
//   of the last key or knob (menuLine()) on top; the trigger position (t = 0)
//   as a marker above the graticule; each shown channel's 0 V as a marker at
//   the left, the trigger level(s) as markers at the right; under it the
//   channels' volts/div, coupling, invert and bandwidth limit, MATH/FFT and LA,
//   time/div and delay, the trigger (type, source, slope, level), the format
//   and the acquisition type. Colours (RGB 3-3-2): CH1 0xFC (yellow), CH2
//   0x1F (cyan), MATH and FFT 0xE3 (magenta), logic 0x1C (green), border
//   0x92, grid 0x49, trigger 0xF4 (orange), menu text 0xFF, other text 0xB6,
//   background 0x00. Monochrome grey levels: CH1 255, CH2 200, MATH/FFT 160,
//   logic 220, border 128, grid 64, trigger 230, menu text 240, other text
//   180.
// - ":TRIGGER:ALTERNATION:TYPE" takes EDGE, PULSE, VIDEO, SLOPE only (the
//   upload's PATTERN or DURATION there is refused). Query arguments
//   (CHANNEL1, CHANNEL2, MATH, FFT, DIGITAL) must be given in full.
// - The selected logic channel of the setup block is the k of the last
//   ":DIGITALk:TURN" or ":DIGITALk:POSITION" set command (queries do not
//   select).
// - ":CHANNELn:INVERT" is also settable (ON/OFF); ":MATH:DISPLAY" and
//   ":FFT:DISPLAY" are query-only. Set-only settings (key lock, points mode,
//   baud, alternation and measure source, slope window) have no query.
// - Faults apply from when they are set until cleared; see Faults.
// - The log stamps every line with the program clock's time (appClock()) at
//   its arrival, so tests read the pauses between lines from the log.
//
// For a transport: a Reply is one message (a VISA read that ends at the end
// of a message ends after its last byte); deliver its chunks as separate
// reads, after Reply::delayMs on the transport's clock. A device clear makes
// the transport drop any reply it still holds. The core keeps nothing
// pending between lines.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVector>
#include <array>
#include <cstdint>

class Qm4100Sim {
public:
    enum class Framing { LengthPrefix, VisaUsb, VisaSerial };

    enum class Shape { Sine, Square, Triangle, Dc };
    // One analog input: the voltage at the connector is
    // dcVolts + a wave of the given shape and peak-to-peak, rising through its
    // middle at t = 0.
    struct Signal {
        Shape shape = Shape::Sine;
        double frequencyHz = 1000.0;
        double vpp = 2.0;
        double dcVolts = 0.0;
    };

    // Faults, in force until changed. All off by default.
    struct Faults {
        bool noReply = false;        // queries are logged but get no reply
        int delayMs = 0;             // every reply is late by this (Reply::delayMs)
        int shortBlockBy = 0;        // binary replies lose this many trailing bytes
                                     // (the length prefix still announces the full size)
        int overlongBlockBy = 0;     // binary replies get this many extra 0xAA bytes
                                     // (the length prefix announces the proper size)
        bool longText = false;       // text replies padded with blanks to 300 bytes before LF
        bool garbage = false;        // every reply becomes garbageLength noise bytes
                                     // (never LF, no length prefix) and one LF
        int garbageLength = 40;
        bool splitReply = false;     // replies come in several reads: a length-prefixed
                                     // block as [2 bytes][2 bytes][payload], anything else
                                     // as [first byte][rest]
        int silentFromQuery = 0;     // > 0: the n-th query line received after the faults
                                     // were set, and every later one, gets no reply
        bool crLf = false;           // text replies end in CR LF, as behind some serial
                                     // adapters, in place of the LF alone
        QByteArray emptyReplyTo;     // a query line (as received, e.g. ":LA:LOCATION?") whose
                                     // text reply is the empty text: its line end alone
        QHash<QByteArray, QByteArray> textReplyTo; // query lines (as received) whose text
                                     // reply is the given text instead, e.g. "1e308" to
                                     // ":TRIGGER:EDGE:LEVEL?" (the line end follows)
        QByteArray lateReplyTo;      // when set, delayMs makes only the reply to this query
                                     // line (as received) late; the others come at once
        // Value replies (the text replies that are a number: settings and
        // measurements) the instrument cannot mean: valueMark (">" or "<")
        // before the number, as an instrument marks a value beyond its range
        // ("<1.000e+00", ">9.000e-01"), or the whole number replaced by
        // absurdValue ("1e308", "1e600"). valueFaultTo: the query line (as
        // received) whose value reply they change; empty: every value reply.
        QByteArray valueMark;
        QByteArray absurdValue;
        QByteArray valueFaultTo;
    };

    struct Reply {
        QList<QByteArray> chunks;    // deliver each as its own read; empty: no reply
        int delayMs = 0;             // deliver no earlier than this after the line
        bool binary = false;
        QByteArray bytes() const;    // all chunks joined
        bool isEmpty() const { return chunks.isEmpty(); }
    };

    struct LogEntry {
        QByteArray line;             // as received, without LF
        bool query = false;          // the header ended in '?'
        bool refused = false;        // not understood: nothing changed, no reply
        bool answered = false;       // a reply was produced
        qint64 atMs = 0;             // appClock() time the line arrived
    };

    Qm4100Sim();

    // Back to the reset state: settings, run state, MATH/FFT, signals, identity,
    // faults and log.
    void reset();

    // One received line (without LF); returns the reply in the given framing.
    Reply handle(const QByteArray &line, Framing framing);
    // Convenience: the reply bytes only (delay ignored).
    QByteArray handleLine(const QByteArray &line, Framing framing) { return handle(line, framing).bytes(); }
    // A device clear: counted only; a transport discards the reply it holds.
    void deviceClear() { ++deviceClears_; }
    int deviceClears() const { return deviceClears_; }

    // --- settings -------------------------------------------------------------
    // The reply form of a setting, by its long header without '?', e.g.
    // ":CHANNEL1:SCALE" -> "1.000e+00". ":TRIGGER:ALTERNATION:..." settings
    // are those of the alternation source; altSetting names the channel.
    // Set-only settings are readable here too (":KEY:LOCK" -> "ENABLE"/"DISABLE",
    // ":RS232:BAUD", ":WAVEFORM:POINTS:MODE", ":TRIGGER:ALTERNATION:SOURCE",
    // ":MEASURE:SOURCE", ":TRIGGER:SLOPE:WINDOW"). Unknown: empty.
    QByteArray setting(const QByteArray &header) const;
    QByteArray altSetting(int channel, const QByteArray &header) const;
    bool running() const { return running_; }
    void setRunning(bool run);
    bool mathDisplay() const { return mathOn_; }
    bool fftDisplay() const { return fftOn_; }
    void setMathDisplay(bool on);           // off also turns the FFT off
    void setFftDisplay(bool on);            // on also turns MATH on
    // The MATH operation the setup block reports: 3 (FFT) while the FFT is
    // on, else the arithmetic function 0 +, 1 -, 2 x.
    int mathFunction() const { return fftOn_ ? 3 : mathFunction_; }
    // 0 +, 1 -, 2 x choose the arithmetic function (kept while the FFT is on);
    // 3 turns the FFT on. Other numbers are clamped.
    void setMathFunction(int f);
    void setFftFullScreen(bool full) { fftFullScreen_ = full; }
    int activeChannel() const { return activeChannel_; }
    // The text of the screen's menu line: what the last key or knob line
    // showed (empty after reset and after ":KEY:MNUOFF").
    QByteArray menuLine() const { return menuLine_; }
    int selectedLogicChannel() const { return selectedLogic_; }

    Signal signal(int channel) const { return signals_[channel == 2 ? 1 : 0]; }
    void setSignal(int channel, const Signal &s);
    void setCounterStart(int start) { counterStart_ = start & 0xFFFF; }

    // Identity: "*IDN?" answers maker,model,serial,firmware.
    void setIdentity(const QByteArray &maker, const QByteArray &model,
                     const QByteArray &serial = "SN000001", const QByteArray &firmware = "00.04.01");
    void setIdentityText(const QByteArray &reply) { identity_ = reply; }   // any text, even empty
    void setMonochrome(bool mono);          // model "QM4102MD" / "QM4102CD"
    QByteArray identity() const { return identity_; }
    bool colourScreen() const;              // the 26th character is 'C'

    // --- data the replies carry (also for tests) ------------------------------
    QByteArray setupBlock() const;                      // 116 bytes
    QByteArray waveformBlock(const QByteArray &source) const;   // with its LF; empty if unknown
    QByteArray screenImage() const;                     // 74880 bytes, no LF
    QByteArray measurement(const QByteArray &keyword, int channel) const;   // reply text, no LF
    double sampleRate(int channel) const;
    // Displayed volts of a channel at the 600 screen points (before offset,
    // quantisation and invert).
    QVector<double> channelVolts(int channel) const;

    // --- log ------------------------------------------------------------------
    const QList<LogEntry> &log() const { return log_; }
    QList<QByteArray> lines() const;                    // every line, in order
    int count(const QByteArray &line) const;            // how often this exact line came
    // Milliseconds of appClock() between the arrivals of log entries from and
    // to (indexes into log()); -1 when either index is out of range.
    qint64 gapMs(int from, int to) const;
    int refusedCount() const;
    void clearLog() { log_.clear(); }

    // --- faults ---------------------------------------------------------------
    const Faults &faults() const { return faults_; }
    void setFaults(const Faults &f) { faults_ = f; queriesSinceFaults_ = 0; }
    void clearFaults() { setFaults(Faults()); }

private:
    enum class Kind;
    struct Def;
    void buildDefs();
    int matchHeader(const QList<QByteArray> &mnemonics) const;
    QByteArray storageKey(const Def &d) const;
    QByteArray storageKeyFor(const QByteArray &key, int altChannel) const;
    bool applySet(const Def &d, const QByteArray &arg);
    bool applySpecial(const Def &d, const QByteArray &arg, bool query, QByteArray &text,
                      QByteArray &binary, bool &hasReply, bool &isBinary);
    bool parseValue(const Def &d, const QByteArray &arg, QByteArray &stored) const;
    double num(const QByteArray &key) const;
    double channelScale(int ch) const;
    double channelOffset(int ch) const;
    double timeScale(int ch) const;
    double timeOffset(int ch) const;
    double signalAt(int ch, double t) const;
    // What the input path (coupling and probe) does to a channel's signal,
    // looked up once per block rather than once per point.
    struct InputPath {
        bool grounded = false;
        double removedDc = 0; // the DC part an AC coupling takes away
        double probe = 1;
    };
    InputPath inputPath(int ch) const;
    double displayedVolts(int ch, double t) const;
    double displayedVolts(const InputPath &path, int ch, double t) const;
    double signalMiddle(int ch) const;
    QVector<double> pointLevels(int ch) const;          // unrounded levels
    QByteArray analogBlock(int ch) const;
    QByteArray mathBlock() const;
    QByteArray fftBlock() const;
    QByteArray digitalBlock() const;
    int rollLastColumn() const;
    void setTriggerLevelsToMiddle();
    void autoSet();
    bool knob(const QByteArray &key, int step);
    void moveTriggerLevel(double divs);
    void startRollFill();
    void setValue(const QByteArray &key, double v);
    QByteArray frame(const QByteArray &payload, bool binary, bool setupBlock, Framing framing) const;
    // Clamps every setting that has a limit into it (sim/simlimits.h).
    void keepLimits();
    void clampSetting(const QByteArray &key, double lo, double hi);
    bool triggerLevelRange(const QByteArray &source, double &lo, double &hi) const;
    // The menu line after a key or knob line (word: the key word after ":KEY:").
    void noteKey(const QByteArray &word);

    QList<Def> *defs_ = nullptr;       // owned; built once
    QHash<QByteArray, QByteArray> values_;
    bool running_ = true;
    bool mathOn_ = false;
    bool fftOn_ = false;
    bool fftFullScreen_ = false;
    int mathFunction_ = 0;
    int activeChannel_ = 1;
    int altSource_ = 1;
    int measureSource_ = 1;
    int selectedLogic_ = 0;
    int counterStart_ = 0;
    std::array<int, 16> logicPos_{};
    std::array<Signal, 2> signals_{};
    QByteArray identity_;
    Faults faults_;
    int queriesSinceFaults_ = 0;
    int deviceClears_ = 0;
    qint64 rollStartMs_ = 0;
    qint64 rollFrozenMs_ = -1;         // elapsed roll time frozen at a stop; -1 while running
    QByteArray menuTitle_;             // the menu the last menu key opened
    QByteArray menuLine_;              // the menu line on the screen
    int menuItem_ = 0;                 // the item the function knob points at
    QList<LogEntry> log_;

public:
    ~Qm4100Sim();
    Qm4100Sim(const Qm4100Sim &) = delete;
    Qm4100Sim &operator=(const Qm4100Sim &) = delete;
};
