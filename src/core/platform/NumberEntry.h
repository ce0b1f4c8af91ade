// The one rule of every number field, for a typed key as for a pasted,
// dropped or input-method text: what comes in replaces the field's selection,
// and the text it leaves holds digits, at most one "." and, where allowed, at
// most one "-". A comma is the decimal point as much as "." is (it is what
// many desktops type): it counts as one and the field shows it as ".".
#pragma once

#include <string>
#include <utility>

// A field's text and its selection, as an insertion meets them.
struct FieldText {
    std::string text;
    int selStart = 0;  // first selected character (any value when nothing is selected)
    int selLength = 0; // 0: nothing selected
    FieldText(std::string t = {}, int start = 0, int length = 0)
        : text(std::move(t)), selStart(start), selLength(length)
    {}
    FieldText(const char* t) : FieldText(std::string(t)) {}
    // The text with the selection taken out: what an insertion joins.
    std::string Kept() const;
};

// Whether `typed` may replace the selection of `field`: each of its characters
// is a digit, "." (or ",") or, where allowMinus, "-", and it brings no second
// decimal point or "-" into the text. An empty `typed` (the selection only
// deleted) passes.
bool NumberEntryAccepted(const FieldText& field, const std::string& typed, bool allowMinus);

// The text as a number field keeps it: every comma a ".".
std::string NumberEntryText(std::string text);
