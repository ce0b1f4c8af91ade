#include "files/JsonText.h"

#include "model/NumberText.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

const std::uint32_t kQuietNaN = std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN());
constexpr std::string_view kNaNPrefix = "nan:";

} // namespace

std::string JsonQuoted(const std::string& text)
{
    // Keys and most texts are plain ASCII that needs no escape.
    bool plain = true;
    for (char c : text) plain = plain && c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
    if (plain) return "\"" + text + "\"";
    // The string constructor and a dump that replaces bad bytes throw nothing
    // but a failed allocation.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string JsonFloat(float v)
{
    if (std::isinf(v)) return v < 0 ? "\"-inf\"" : "\"inf\"";
    if (std::isnan(v)) {
        const auto bits = std::bit_cast<std::uint32_t>(v);
        if (bits == kQuietNaN) return "\"nan\"";
        char hex[9];
        const auto r = std::to_chars(hex, hex + sizeof hex, bits, 16);
        std::string digits(hex, r.ptr);
        digits.insert(0, 8 - digits.size(), '0');
        return "\"" + std::string(kNaNPrefix) + digits + "\"";
    }
    if (v == 0 && std::signbit(v)) return "-0.0";
    return ShortestText(v);
}

bool FloatFromJsonString(std::string_view text, float& v)
{
    if (text == "inf" || text == "-inf") {
        v = text[0] == '-' ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
        return true;
    }
    if (text == "nan") {
        v = std::bit_cast<float>(kQuietNaN);
        return true;
    }
    if (text.size() != kNaNPrefix.size() + 8 || text.substr(0, kNaNPrefix.size()) != kNaNPrefix) return false;
    const std::string_view digits = text.substr(kNaNPrefix.size());
    std::uint32_t bits = 0;
    for (char c : digits)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return false;
    const float f = std::bit_cast<float>(bits);
    if (!std::isnan(f)) return false;
    v = f;
    return true;
}
