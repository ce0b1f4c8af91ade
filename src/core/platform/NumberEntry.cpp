#include "platform/NumberEntry.h"

#include <algorithm>

std::string FieldText::Kept() const
{
    const int size = static_cast<int>(text.size());
    const int start = std::clamp(selStart, 0, size);
    const int length = std::clamp(selLength, 0, size - start);
    return text.substr(0, static_cast<size_t>(start)) + text.substr(static_cast<size_t>(start + length));
}

std::string NumberEntryText(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

bool NumberEntryAccepted(const FieldText& field, const std::string& typedText, bool allowMinus)
{
    const auto count = [](const std::string& s, char c) { return std::count(s.begin(), s.end(), c); };
    const std::string typed = NumberEntryText(typedText);
    for (char c : typed)
        if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && allowMinus))) return false;
    const std::string kept = NumberEntryText(field.Kept());
    for (char c : {'.', '-'})
        if (count(typed, c) > 0 && count(kept, c) + count(typed, c) > 1) return false;
    return true;
}
