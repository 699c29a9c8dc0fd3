#pragma once
// The two rounding rules of the program. Every caller names the one it
// needs: half-to-even where a value is turned into a level or a whole count
// (raw levels, microvolt steps), half-away-from-zero where a number is
// written for the user (digit patterns, unit ladders).

// Nearest whole number; an exact half goes to the even neighbour (12.5 -> 12,
// 13.5 -> 14, -2.5 -> -2). NaN and infinities come back unchanged.
double RoundHalfEven(double x);

// Nearest whole number; an exact half goes away from zero (12.5 -> 13,
// -2.5 -> -3). NaN and infinities come back unchanged.
double RoundHalfAway(double x);
