#include "storedwave/scalestep.h"

#include "storedwave/screendata.h"
#include "values/normvalue.h"
#include "values/scalesteps.h"

namespace {

QString singleText(float v) { return QString::number(double(v), 'g', 7); }
QString doubleText(double v) { return QString::number(v, 'g', 15); }

void stepVolts(float &voltDiv, float &offset, int direction, bool rescaleOffset)
{
    const float old = voltDiv;
    voltDiv = StepVolts(voltDiv, qint16(direction < 0 ? -1 : 1));
    if (rescaleOffset && old != 0.0f)
        offset = float(double(voltDiv) * double(offset) / double(old));
}

} // namespace

void StepScale(StoredWave &w, ScaleTarget target, int direction, bool rescaleOffset)
{
    const qint16 dir = direction < 0 ? -1 : 1;
    switch (target) {
    case ScaleTarget::Ch1VoltDiv: stepVolts(w.Ch1VoltDiv, w.Ch1Offset, dir, rescaleOffset); break;
    case ScaleTarget::Ch2VoltDiv: stepVolts(w.Ch2VoltDiv, w.Ch2Offset, dir, rescaleOffset); break;
    case ScaleTarget::TimeDiv: w.TimeDiv = StepTimebase(w.TimeDiv, dir); break;
    case ScaleTarget::Ch1TimeDiv: w.Ch1TimeDiv = StepTimebase(w.Ch1TimeDiv, dir); break;
    case ScaleTarget::Ch2TimeDiv: w.Ch2TimeDiv = StepTimebase(w.Ch2TimeDiv, dir); break;
    }
}

QString scaleText(const StoredWave &w, ScaleTarget target)
{
    switch (target) {
    case ScaleTarget::Ch1VoltDiv: return FormatVolt(singleText(w.Ch1VoltDiv));
    case ScaleTarget::Ch2VoltDiv: return FormatVolt(singleText(w.Ch2VoltDiv));
    case ScaleTarget::TimeDiv: return FormatTime4(doubleText(w.TimeDiv));
    case ScaleTarget::Ch1TimeDiv: return FormatTime4(doubleText(w.Ch1TimeDiv));
    case ScaleTarget::Ch2TimeDiv: return FormatTime4(doubleText(w.Ch2TimeDiv));
    }
    return {};
}

int scaleSelector(ScaleTarget target)
{
    switch (target) {
    case ScaleTarget::Ch1VoltDiv:
    case ScaleTarget::Ch1TimeDiv: return ScreenSelector::CH1;
    case ScaleTarget::Ch2VoltDiv:
    case ScaleTarget::Ch2TimeDiv: return ScreenSelector::CH2;
    case ScaleTarget::TimeDiv: return ScreenSelector::All;
    }
    return ScreenSelector::All;
}
