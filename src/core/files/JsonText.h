// Pieces of the JSON texts the program writes (the design as JSON, motion
// data): texts quoted and escaped by the JSON library, floats in the shortest
// form that reads back to the same float.
#pragma once

#include <string>
#include <string_view>

// `text` as a JSON string, quoted and escaped; bytes that are not UTF-8 are
// written as U+FFFD.
std::string JsonQuoted(const std::string& text);

// A float as the design text keeps it, so that it reads back bit for bit: a
// finite value as a JSON number in the shortest form (ShortestText; a negative
// zero as "-0.0", since a JSON reader takes "-0" for an integer); a value that
// is no number as a JSON string: "inf", "-inf", "nan" (the usual quiet NaN) or
// "nan:7fa00001" (any other NaN, by its bit pattern in hexadecimal).
std::string JsonFloat(float v);

// The value of one of the strings JsonFloat writes for values that are no
// number; false for any other text.
bool FloatFromJsonString(std::string_view text, float& v);
