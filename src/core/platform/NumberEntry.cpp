#include "platform/NumberEntry.h"

#include <algorithm>

std::string FieldText::Kept() const
{
    const int size = static_cast<int>(text.size());
    const int start = std::clamp(selStart, 0, size);
    const int length = std::clamp(selLength, 0, size - start);
    return text.substr(0, static_cast<size_t>(start)) + text.substr(static_cast<size_t>(start + length));
}

bool NumberEntryAccepted(const FieldText& field, const std::string& typed, bool allowMinus)
{
    const auto count = [](const std::string& s, char c) { return std::count(s.begin(), s.end(), c); };
    for (char c : typed)
        if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && allowMinus))) return false;
    const std::string kept = field.Kept();
    for (char c : {'.', '-'})
        if (count(typed, c) > 0 && count(kept, c) + count(typed, c) > 1) return false;
    return true;
}
