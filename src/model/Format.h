// Number texts as the program writes and reads them.
#pragma once

#include <string>

// f(v, w, d): v with d decimals, right-aligned, padded with spaces on the left
// to at least w characters. Non-finite values are written as "NaN", "+Inf",
// "-Inf" so that a broken design never crashes a readout.
std::string FormatFixed(long double v, int width, int decimals);

// Str(v, w, d): FormatFixed cut to at most 10 characters.
std::string FormatFixed10(long double v, int width, int decimals);

// i(v, w): an integer right-aligned in at least w characters.
std::string FormatInt(long long v, int width);

// Decimal conversion of typed text: optional blanks, optional sign, digits,
// optional point and digits, optional exponent. The conversion stops at the
// first character that does not fit and keeps what was read so far; an empty
// text (or one with no digits) gives 0.
long double ParseNumber(const std::string& text);

// Shortest fixed form with one decimal at most, e.g. 0.5, -1, 1.2 (the oval and
// sine diagrams' scale labels).
std::string FormatShort1(long double v);
