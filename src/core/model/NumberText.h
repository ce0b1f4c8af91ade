// Number texts as the program writes and reads them, and the one way a
// computed value becomes a model float.
//
// Every number text of the program — dimension fields, readouts, captions,
// diagram labels, tables, CSV, messages, the command line — goes through this
// module. Texts are written with std::to_chars and read with std::from_chars:
// the decimal separator is "." whatever the locale of the desktop, and a text
// the program wrote reads back to the same value on any machine.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- model floats
// A computed value stored as a model float, the one rule for every store:
// - a finite value within the float range rounds to the nearest float;
// - a finite value beyond it becomes the largest float of its sign
//   (FLT_MAX or -FLT_MAX), so a huge input never turns into an infinity;
// - an infinity stays an infinity of its sign, and NaN stays NaN: a value
//   that is already broken is kept broken, never made to look sound.
inline float ToModelFloat(long double v)
{
    constexpr long double kMax = std::numeric_limits<float>::max();
    if (v > kMax) return std::isinf(v) ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::max();
    if (v < -kMax) return std::isinf(v) ? -std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::max();
    return static_cast<float>(v); // NaN stays NaN
}

// ---------------------------------------------------------------- texts for people
// f(v, w, d): v with d decimals, right-aligned, padded with spaces on the left
// to at least w characters. Non-finite values are written as "NaN", "+Inf",
// "-Inf" so that a broken design never crashes a readout; values of 1e60 and
// beyond are written with an exponent ("1.000e+60"); "-0.000" is written
// "0.000". Rounding is of the exact binary value, half to even.
std::string FormatFixed(long double v, int width, int decimals);

// Str(v, w, d): FormatFixed cut to at most 10 characters.
std::string FormatFixed10(long double v, int width, int decimals);

// i(v, w): an integer right-aligned in at least w characters.
std::string FormatInt(long long v, int width);

// Shortest fixed form with one decimal at most, e.g. 0.5, -1, 1.2 (the oval and
// sine diagrams' scale labels).
std::string FormatShort1(long double v);

// ---------------------------------------------------------------- texts for tables and machines
// v with exactly `decimals` decimals and no padding ("-0.00" is written
// "0.00"); an empty text for a value that is not a finite number (a table
// cell that has no value).
std::string DecimalText(long double v, int decimals);

// The shortest text that reads back to the same float (std::to_chars), e.g.
// "0.1", "3.75", "1e-07", "3.4028235e+38"; "nan", "inf", "-inf" for the
// values that are no numbers. For values written for a machine.
std::string ShortestText(float v);

// v in fixed notation with at least `decimals` decimals, and with more where
// the float needs them to read back to the same float (0.1f with 6 decimals:
// "0.100000"; 1.2345678e-7f: "0.00000012345678"); "-0" is written as 0. An
// empty text for a value that is not a finite number. For data tables.
std::string DecimalTextAtLeast(float v, int decimals);

// A length of time for people, rounded up: "40 s" below a minute, "12 min"
// below an hour, "2 h 5 min" from there on.
std::string DurationText(long double seconds);

// A search bound or limit as its field shows it: up to 4 decimals (8 for
// values below 0.01), without trailing zeros ("3.375", "0.4229").
std::string BoundText(float v);

// ShortestText in the compact form of messages: the exponent without "+" and
// leading zeros ("3.4e38", "1e-7").
std::string CompactText(float v);

// ---------------------------------------------------------------- reading
// Decimal conversion of typed text (fields): optional blanks, optional sign,
// digits, optional point and digits, optional exponent. The conversion stops
// at the first character that does not fit and keeps what was read so far; an
// empty text (or one with no digits) gives 0. A value beyond the range of a
// long double gives the largest long double of its sign, one too small to
// hold gives 0: the result is always finite.
long double ParseNumber(const std::string& text);

// Strict reading (command line, files of text): the whole text, without
// blanks, must be one decimal number as ParseNumber describes it (a leading
// "+" allowed). False for anything else — an empty text, a comma, trailing
// characters, "nan", "inf" — and for a value beyond the range of a long
// double.
bool ReadNumber(std::string_view text, long double& value);

// A number typed into a field that judges its whole text (a search window's
// bounds, limits, tolerances; the scale window's factor): blanks around it
// are ignored and a comma is the decimal point as "." is ("3,6" is 3.6);
// otherwise as ReadNumber. False for anything else ("3a", "1,234.5", "").
bool ReadTypedNumber(std::string_view text, long double& value);

// Strict reading of a float, as ReadNumber reads the text, rounded once to the
// nearest float, so that every text ShortestText writes reads back to its
// float. A value beyond the float range becomes the largest float of its sign
// and one too small for it a zero of its sign (as ToModelFloat stores them).
bool ReadFloat(std::string_view text, float& value);

// Strict reading of a whole number (a count, a seed, a notch): decimal
// digits only, no sign, no blanks, within 0 .. 2^64 - 1. False for anything
// else.
bool ReadWholeNumber(std::string_view text, std::uint64_t& value);
