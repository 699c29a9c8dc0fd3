#include "storedwave/infopanel.h"

#include "storedwave/scalestep.h"
#include "storedwave/screendata.h"

InfoRowPlace infoRowAt(int x, const InfoPanelDesign &d)
{
    InfoRowPlace r;
    r.label = x;
    r.box = r.label + 450;
    r.dec = r.box + d.boxWidth + 60;
    r.inc = r.dec + d.buttonWidth + 40;
    return r;
}

InfoPanelPlace LayoutMemoryWaveInfo(const StoredWave &w, const InfoPanelDesign &d)
{
    InfoPanelPlace p;
    const int L = d.voltFrameLeft;
    if (isAlternate(w)) {
        p.altFrameShown = true;
        p.timeFrameShown = false;
        p.moved = p.ch1Moved = p.ch2Moved = true;
        p.voltFrameWidth = (d.labelWidth + 420 + d.boxWidth + d.buttonWidth) * 2;
        p.ch1 = infoRowAt(L + 50, d);
        p.ch2 = infoRowAt(L + p.voltFrameWidth / 2 - 50, d);
        p.refreshWidth = d.altFrameWidth + p.voltFrameWidth + 600 + d.resetWidth;
        p.altFrameLeft = L + p.voltFrameWidth + 1500;
        p.resetLeft = p.altFrameLeft + d.altFrameWidth - 1500 + 300;
        return p;
    }
    p.altFrameShown = false;
    p.timeFrameShown = true;
    const int oneRow = d.labelWidth + 50 + 450 + d.boxWidth + 60 + d.buttonWidth + 50;
    if (w.ShowCH1 && w.ShowCH2) {
        p.voltFrameWidth = (d.labelWidth + 450 + d.boxWidth + 60 + d.buttonWidth) * 2;
        p.ch1 = infoRowAt(L + 50, d);
        p.ch2 = infoRowAt(L + p.voltFrameWidth / 2, d);
        p.ch1Moved = p.ch2Moved = true;
    } else if (w.ShowCH1) {
        p.voltFrameWidth = oneRow;
        p.ch1 = infoRowAt(L + 50, d);
        p.ch1Moved = true;
    } else if (w.ShowCH2) {
        p.voltFrameWidth = oneRow;
        p.ch2 = infoRowAt(L + 50, d);
        p.ch2Moved = true;
    } else if (w.ShowLA) {
        // Logic channels only: no volts/div frame; the time/div group and
        // Reset take its place.
        p.voltFrameShown = false;
        p.moved = true;
        p.refreshWidth = d.timeFrameWidth + 600 + d.resetWidth;
        p.timeFrameLeft = L;
        p.resetLeft = p.timeFrameLeft + d.timeFrameWidth + 120;
        return p;
    } else {
        p.voltFrameShown = false;
        return p;
    }
    p.moved = true;
    p.refreshWidth = d.timeFrameWidth + p.voltFrameWidth + 600 + d.resetWidth;
    p.timeFrameLeft = L + p.voltFrameWidth + 200;
    p.resetLeft = p.timeFrameLeft + d.timeFrameWidth + 120;
    return p;
}

InfoPanelTexts FillMemoryWaveInfo(const StoredWave &w)
{
    InfoPanelTexts t;
    t.ch1Shown = w.ShowCH1;
    t.ch2Shown = w.ShowCH2;
    if (w.ShowCH1)
        t.ch1VoltDiv = scaleText(w, ScaleTarget::Ch1VoltDiv);
    if (w.ShowCH2)
        t.ch2VoltDiv = scaleText(w, ScaleTarget::Ch2VoltDiv);
    t.alternate = isAlternate(w);
    if (!t.alternate) {
        t.timeShown = w.ShowCH1 || w.ShowCH2 || w.ShowLA;
        if (t.timeShown)
            t.timeDiv = scaleText(w, ScaleTarget::TimeDiv);
    } else {
        t.ch1TimeDiv = scaleText(w, ScaleTarget::Ch1TimeDiv);
        t.ch2TimeDiv = scaleText(w, ScaleTarget::Ch2TimeDiv);
    }
    return t;
}
