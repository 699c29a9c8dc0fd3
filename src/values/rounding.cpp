#include "values/rounding.h"

#include <cmath>

double RoundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double lower = std::floor(x);
    const double diff = x - lower; // exact for every double below 2^52
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

double RoundHalfAway(double x)
{
    if (!std::isfinite(x))
        return x;
    return std::round(x);
}
