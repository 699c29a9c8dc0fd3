#include "storedwave/storedmouse.h"

#include "storedwave/screendata.h"
#include "wave/wavecursors.h"

#include <cmath>
#include <functional>

namespace {

constexpr int LastColumn = 299;

int nint(double v) { return int(std::nearbyint(v)); }

// Within 3 picture pixels, both bounds excluded.
bool nearLine(double coordinate, double line) { return line - 3 < coordinate && coordinate < line + 3; }

// The bounds the mouse is compared with, held in single precision.
struct Bounds {
    float right, bottom, middle;
    explicit Bounds(double Z)
        : right(float(Z * 300 + 25)), bottom(float(Z * 200 + 25)), middle(float(Z * 200 / 2 + 25))
    {
    }
};

// Element k of a column pair stands at row v(k); is row r on the trace?
bool traceAt(int r, int i, int c, int f, int l, const std::function<double(int)> &v)
{
    const auto near = [&](int k, bool rounded) {
        const double vk = rounded ? double(nint(v(k))) : v(k);
        return vk - 3 < r && r < vk + 3;
    };
    if (near(i, false) || near(i + 1, true))
        return true;
    if (c + 1 <= l && (near(i + 2, false) || near(i + 3, true) || IsBetween(r, nint(v(i + 2)), nint(v(i)))))
        return true;
    if (c - 1 >= f && (near(i - 2, false) || near(i - 1, true) || IsBetween(r, nint(v(i - 1)), nint(v(i + 1)))))
        return true;
    return false;
}

MouseOutcome hover(StoredMouse &m, const StoredWave &w, double Z, float x, float y)
{
    MouseOutcome o;
    const Bounds b(Z);
    if (x < 25 || x > b.right || y < 25 || y > b.bottom) {
        o.pointer = StoredPointer::Arrow;
        return o;
    }
    HitTestAllTraces(m, w, Z, x, y);
    o.pointer = (m.HitCH1 || m.HitCH2 || m.HitLA) ? StoredPointer::OpenHand : StoredPointer::Arrow;
    return o;
}

// The new position of a horizontal drag from the press.
double dragged(double pressPosition, float pressX, float x, double Z, double timeDiv)
{
    return pressPosition - (double(pressX) - double(x)) / Z * timeDiv / 25;
}

float draggedOffset(float pressOffset, float pressY, float y, double Z, double voltDiv, double rowsPerDiv)
{
    return float(double(pressOffset) - (double(y) - double(pressY)) / Z * voltDiv / rowsPerDiv);
}

} // namespace

bool IsBetween(int value, int a, int b) { return std::min(a, b) <= value && value <= std::max(a, b); }

bool HitTestTrace(int kind, int r, const StoredWave::ScreenArray &S, int c, int f, int l, bool alternate,
                  const SetupBlock &setup, quint8 *laChannel)
{
    // A window that lies outside the graticule shows nothing to hit.
    if (f < 0 || l > LastColumn || f > l)
        return false;
    if (c < f || c > l)
        return false;
    const int i = 2 * (c - f);
    if (kind == 0 || kind == 1) {
        const double d = alternate ? 2.0 : 1.0;
        const double o = (alternate && kind == 1) ? 100.0 : 0.0;
        return traceAt(r, i, c, f, l, [&](int k) { return o + double(S[size_t(k)]) / d; });
    }
    for (int n = 0; n < 16; ++n) {
        const double row = setup.LARow[size_t(n)];
        const auto v = [&](int k) { return row - 10.0 * ((quint16(S[size_t(k)]) >> n) & 1u) - 25.0; };
        if (traceAt(r, i, c, f, l, v)) {
            if (laChannel)
                *laChannel = quint8(n);
            return true;
        }
    }
    return false;
}

void HitTestAllTraces(StoredMouse &m, const StoredWave &w, double Z, float x, float y)
{
    m.HitCH1 = m.HitCH2 = m.HitLA = false;
    const int c = nint((double(x) - 25) / Z);
    const int r = nint((double(y) - 25) / Z);
    const bool alt = isAlternate(w);
    const SetupBlock &s = w.Setup;
    if (w.ShowCH1) {
        m.HitCH1 = alt ? HitTestTrace(0, r, w.Ch1Screen, c, s.CH1FirstPoint, s.CH1LastPoint, true, s)
                       : HitTestTrace(0, r, w.Ch1Screen, c, s.FirstPoint, s.LastPoint, false, s);
        if (m.HitCH1)
            return;
    }
    if (w.ShowCH2) {
        m.HitCH2 = alt ? HitTestTrace(1, r, w.Ch2Screen, c, s.CH2FirstPoint, s.CH2LastPoint, true, s)
                       : HitTestTrace(1, r, w.Ch2Screen, c, s.FirstPoint, s.LastPoint, false, s);
        if (m.HitCH2)
            return;
    }
    if (w.ShowLA)
        m.HitLA = HitTestTrace(2, r, w.LaScreen, c, s.FirstPoint, s.LastPoint, alt, s, &m.DragLaChannel);
}

MouseOutcome storedMouseDown(StoredMouse &m, const StoredCursors &c, const StoredWave &w, double Z, float x, float y)
{
    MouseOutcome o;
    const bool upper = !w.SplitScreen || y < Bounds(Z).middle;
    const StoredCursorLines l = storedCursorLines(c, w.SplitScreen, Z);
    if (c.ShowCursorX) {
        if (upper) {
            if (nearLine(x, l.x1))
                m.DragX1 = true;
            else if (nearLine(x, l.x2))
                m.DragX2 = true;
        } else {
            if (nearLine(x, l.x1Low))
                m.DragX1Low = true;
            else if (nearLine(x, l.x2Low))
                m.DragX2Low = true;
        }
    }
    if (c.ShowCursorY) {
        if (upper) {
            if (nearLine(y, l.y1))
                m.DragY1 = true;
            else if (nearLine(y, l.y2))
                m.DragY2 = true;
        } else {
            if (nearLine(y, l.y1Low))
                m.DragY1Low = true;
            else if (nearLine(y, l.y2Low))
                m.DragY2Low = true;
        }
    }
    const bool alt = isAlternate(w);
    bool picked = false;
    if (m.HitCH1) {
        m.DragCH1 = picked = true;
        m.PressOffsetCH1 = w.Ch1Offset;
        m.PressPosition = alt ? w.Ch1Position : w.Position;
    } else if (m.HitCH2) {
        m.DragCH2 = picked = true;
        m.PressOffsetCH2 = w.Ch2Offset;
        m.PressPosition = alt ? w.Ch2Position : w.Position;
    } else if (!w.SplitScreen && m.HitLA) {
        m.DragLA = picked = true;
        m.PressPosition = w.Position;
    }
    if (picked) {
        m.PressX = x;
        m.PressY = y;
        o.pointer = StoredPointer::ClosedHand;
    }
    return o;
}

MouseOutcome storedMouseMove(StoredMouse &m, StoredCursors &c, StoredWave &w, double Z, float x, float y)
{
    MouseOutcome o;
    const Bounds b(Z);
    const bool split = w.SplitScreen;
    if ((c.ShowCursorX || c.ShowCursorY) && !m.draggingTrace()) {
        o.redraw = true;
        const auto dx = [Z](double px) { return CursorDivisionsOfX(px, Z); };
        const auto dy = [Z](double py) { return CursorDivisionsOfY(py, Z); };
        if (m.DragX1 || m.DragX2) {
            (m.DragX1 ? c.X1 : c.X2) = dx(x);
            o.pointer = StoredPointer::SizeWE;
            return o;
        }
        if (m.DragX1Low || m.DragX2Low) {
            (m.DragX1Low ? c.X1Low : c.X2Low) = dx(x);
            o.pointer = StoredPointer::SizeWE;
            return o;
        }
        if (m.DragY1 || m.DragY2) {
            (m.DragY1 ? c.Y1 : c.Y2) = dy(y);
            o.pointer = StoredPointer::SizeNS;
            return o;
        }
        if (m.DragY1Low || m.DragY2Low) {
            if (m.DragY1Low)
                c.Y1Low = dy(y);
            else
                c.Y2Low = dy(std::nearbyint(double(y)));
            o.pointer = StoredPointer::SizeNS;
            return o;
        }
        o.redraw = false;
        const StoredCursorLines l = storedCursorLines(c, split, Z);
        if (c.ShowCursorY && 25 < x && x < b.right
            && (nearLine(y, l.y1) || nearLine(y, l.y2) || (split && (nearLine(y, l.y1Low) || nearLine(y, l.y2Low))))) {
            o.pointer = StoredPointer::SizeNS;
            return o;
        }
        if (c.ShowCursorX && !split && 25 < y && y < b.bottom && (nearLine(x, l.x1) || nearLine(x, l.x2))) {
            o.pointer = StoredPointer::SizeWE;
            return o;
        }
        if (c.ShowCursorX && split && 25 < y && y < b.middle && (nearLine(x, l.x1) || nearLine(x, l.x2))) {
            o.pointer = StoredPointer::SizeWE;
            return o;
        }
        if (c.ShowCursorX && split && b.middle < y && y < b.bottom && (nearLine(x, l.x1Low) || nearLine(x, l.x2Low))) {
            o.pointer = StoredPointer::SizeWE;
            return o;
        }
        return hover(m, w, Z, x, y);
    }
    if (!m.draggingTrace())
        return hover(m, w, Z, x, y);

    // A trace drag: every move marks the sheet, whether or not a value changes.
    o.modified = true;
    o.redraw = true;
    const bool alt = isAlternate(w);
    const bool acrossOk = 25 <= x && x <= b.right;
    if (m.DragCH1 || m.DragCH2) {
        const bool ch1 = m.DragCH1;
        float &offset = ch1 ? w.Ch1Offset : w.Ch2Offset;
        const float pressOffset = ch1 ? m.PressOffsetCH1 : m.PressOffsetCH2;
        const double voltDiv = ch1 ? w.Ch1VoltDiv : w.Ch2VoltDiv;
        if (!alt) {
            if (25 <= y && y <= b.bottom)
                offset = draggedOffset(pressOffset, m.PressY, y, Z, voltDiv, 25);
            if (acrossOk)
                w.Position = dragged(m.PressPosition, m.PressX, x, Z, w.TimeDiv);
            o.refresh = ScreenSelector::All;
        } else {
            const bool inHalf = ch1 ? (25 <= y && y <= b.middle) : (b.middle <= y && y <= b.bottom);
            if (inHalf)
                offset = draggedOffset(pressOffset, m.PressY, y, Z, voltDiv * 2, 25);
            if (acrossOk) {
                double &position = ch1 ? w.Ch1Position : w.Ch2Position;
                position = dragged(m.PressPosition, m.PressX, x, Z, ch1 ? w.Ch1TimeDiv : w.Ch2TimeDiv);
            }
            o.refresh = ch1 ? ScreenSelector::CH1 : ScreenSelector::CH2;
        }
        return o;
    }
    // A digital channel: it becomes the selected one and snaps to a row.
    const quint8 n = std::min<quint8>(m.DragLaChannel, 15);
    w.Setup.LASelected = n;
    const int r = nint((double(y) - 25) / Z + 25);
    int row = 222 - 12 * nint((222.0 - r) / 12.0);
    row = std::clamp(row, 42, 222);
    w.Setup.LARow[n] = qint16(row);
    if (acrossOk)
        w.Position = dragged(m.PressPosition, m.PressX, x, Z, w.TimeDiv);
    o.refresh = ScreenSelector::All;
    return o;
}

void storedMouseUp(StoredMouse &m)
{
    m.DragX1 = m.DragX2 = m.DragY1 = m.DragY2 = false;
    m.DragX1Low = m.DragX2Low = m.DragY1Low = m.DragY2Low = false;
    m.DragCH1 = m.DragCH2 = m.DragLA = false;
    m.HitCH1 = m.HitCH2 = m.HitLA = false;
}
