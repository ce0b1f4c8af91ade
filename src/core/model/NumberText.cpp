#include "model/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal point as ".". Some standard libraries (MinGW-w64's) write a long
// double with a precision through printf, in the C library's locale, which
// may write "," or a point of several bytes; with glibc nothing changes.
void PointAsDot(std::string& body)
{
    size_t i = 0;
    if (i < body.size() && body[i] == '-') ++i;
    while (i < body.size() && IsDigit(body[i])) ++i;
    if (i == body.size() || body[i] == '.' || body[i] == 'e') return;
    size_t end = i;
    while (end < body.size() && !IsDigit(body[end])) ++end;
    body[i] = '.';
    body.erase(i + 1, end - i - 1);
}

// "-0.000" reads as 0 to a user.
void DropNegativeZero(std::string& body)
{
    if (body.size() > 1 && body[0] == '-' && body.find_first_not_of("-0.") == std::string::npos) body.erase(0, 1);
}

// v with `decimals` decimals, fixed or (from 1e60 on) with an exponent.
std::string FixedBody(long double v, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    // Fixed notation is used below 1e60 only: at most 61 digits, the point and 30 decimals.
    char buf[160];
    const auto format = std::fabs(v) >= 1e60L ? std::chars_format::scientific : std::chars_format::fixed;
    const auto r = std::to_chars(buf, buf + sizeof buf, v, format, decimals);
    if (r.ec != std::errc()) return {};
    std::string body(buf, r.ptr);
    PointAsDot(body);
    DropNegativeZero(body);
    return body;
}

// The longest prefix of `text` from `i` that ParseNumber reads: sign, digits,
// point and digits, and an exponent only when it has digits. `digits` tells
// whether the mantissa had any.
std::string_view NumberPrefix(std::string_view text, size_t i, bool& digits)
{
    const size_t start = i;
    const size_t n = text.size();
    digits = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < n && IsDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (digits && i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        const size_t first = j;
        while (j < n && IsDigit(text[j])) ++j;
        if (j > first) i = j;
    }
    return text.substr(start, i - start);
}

// A number whose digits and power of ten are both exact long doubles, as
// every typed value is: one multiplication or division then rounds it
// correctly, as from_chars does where it reads long doubles in full (glibc;
// MinGW-w64's reads them only as doubles). False for any other text.
bool ExactlyConverted(std::string_view number, long double& v)
{
    constexpr int kBits = std::numeric_limits<long double>::digits;
    // The largest power of ten that is exact: 5^k must fit in the significand.
    constexpr int kPowers = kBits >= 64 ? 27 : kBits >= 53 ? 22 : 0;
    std::uint64_t digits = 0;
    int exponent = 0;
    size_t i = 0;
    bool point = false;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            point = true;
            continue;
        }
        if (point) --exponent;
        if (digits == 0 && number[i] == '0') continue;
        if (digits > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) return false;
        digits = digits * 10 + static_cast<std::uint64_t>(number[i] - '0');
        if (kBits < 64 && (digits >> kBits) != 0) return false;
    }
    if (i < number.size()) { // the exponent NumberPrefix let through
        const char* first = number.data() + i + 1;
        const char* last = number.data() + number.size();
        if (first < last && *first == '+') ++first;
        int e = 0;
        const auto r = std::from_chars(first, last, e);
        if (r.ec != std::errc() || r.ptr != last || e > 1000 || e < -1000) return false;
        exponent += e;
    }
    if (digits == 0) {
        v = 0;
        return true;
    }
    if (exponent > kPowers || exponent < -kPowers) return false;
    long double power = 1;
    for (int k = 0; k < (exponent < 0 ? -exponent : exponent); ++k) power *= 10;
    const long double m = static_cast<long double>(digits);
    v = exponent < 0 ? m / power : m * power;
    return true;
}

// The value of a prefix NumberPrefix found (with digits). from_chars takes
// no "+" and no bare "." before the digits as strtold would, so the text is
// shaped first; out-of-range values are brought to the largest long double or
// to 0 as the header says.
long double ConvertPrefix(std::string_view number, bool& inRange)
{
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    std::string shaped;
    if (!number.empty() && number[0] == '.') {
        shaped = "0";
        shaped += number;
        number = shaped;
    }
    long double v = 0;
    inRange = true;
    if (ExactlyConverted(number, v)) return negative ? -v : v;
    const auto r = std::from_chars(number.data(), number.data() + number.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Either far too large or far too small: the exponent tells which.
        const size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        v = tiny ? 0.0L : std::numeric_limits<long double>::max();
        inRange = tiny;
    }
    return negative ? -v : v;
}

} // namespace

std::string FormatFixed(long double v, int width, int decimals)
{
    std::string body;
    if (std::isnan(v)) {
        body = "NaN";
    } else if (std::isinf(v)) {
        body = v > 0 ? "+Inf" : "-Inf";
    } else {
        body = FixedBody(v, decimals);
    }
    if (static_cast<int>(body.size()) < width) body.insert(0, static_cast<size_t>(width) - body.size(), ' ');
    return body;
}

std::string FormatFixed10(long double v, int width, int decimals)
{
    std::string s = FormatFixed(v, width, decimals);
    if (s.size() > 10) s.resize(10);
    return s;
}

std::string FormatInt(long long v, int width)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

std::string FormatShort1(long double v)
{
    if (!std::isfinite(v)) return FormatFixed(v, 0, 1);
    long double r = std::round(v * 10.0L) / 10.0L;
    if (r == 0) return "0";
    if (std::fabs(r - std::round(r)) < 1e-9L) return FormatFixed(std::round(r), 0, 0);
    return FormatFixed(r, 0, 1);
}

std::string DecimalText(long double v, int decimals)
{
    if (!std::isfinite(v)) return {};
    return FixedBody(v, decimals);
}

std::string ShortestText(float v)
{
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string DecimalTextAtLeast(float v, int decimals)
{
    if (!std::isfinite(v)) return {};
    if (decimals < 0) decimals = 0;
    // The shortest fixed text that reads back, for the decimals it needs; then
    // the value correctly rounded to at least that many (the nearest text of
    // those decimals reads back too). A float needs at most 149 decimals and
    // 39 digits before the point.
    char buf[256];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (r.ec != std::errc()) return {};
    const std::string_view shortest(buf, static_cast<size_t>(r.ptr - buf));
    const size_t point = shortest.find('.');
    const int needed = point == std::string_view::npos ? 0 : static_cast<int>(shortest.size() - point - 1);
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, needed > decimals ? needed : decimals);
    if (r.ec != std::errc()) return {};
    std::string text(buf, r.ptr);
    if (v == 0) DropNegativeZero(text);
    return text;
}

std::string CompactText(float v)
{
    const std::string s = ShortestText(v);
    const auto e = s.find('e');
    if (e == std::string::npos) return s;
    // "3.4e+38" -> "3.4e38", "1e-07" -> "1e-7".
    std::string exponent = s.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    return s.substr(0, e + 1) + (negative ? "-" : "") + exponent;
}

long double ParseNumber(const std::string& text)
{
    const std::string_view t(text);
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool digits = false;
    const std::string_view number = NumberPrefix(t, i, digits);
    if (!digits) return 0.0L;
    bool inRange = true;
    return ConvertPrefix(number, inRange);
}

bool ReadNumber(std::string_view text, long double& value)
{
    bool digits = false;
    const std::string_view number = NumberPrefix(text, 0, digits);
    if (!digits || number.size() != text.size()) return false;
    bool inRange = true;
    const long double v = ConvertPrefix(number, inRange);
    if (!inRange) return false;
    value = v;
    return true;
}

bool ReadTypedNumber(std::string_view text, long double& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::string number(text);
    for (char& c : number)
        if (c == ',') c = '.';
    return ReadNumber(number, value);
}

bool ReadFloat(std::string_view text, float& value)
{
    bool digits = false;
    const std::string_view number = NumberPrefix(text, 0, digits);
    if (!digits || number.size() != text.size()) return false;
    std::string_view body = number;
    const bool negative = !body.empty() && body[0] == '-';
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) body.remove_prefix(1);
    std::string shaped;
    if (!body.empty() && body[0] == '.') {
        shaped = "0";
        shaped += body;
        body = shaped;
    }
    float v = 0;
    const auto r = std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::general);
    if (r.ec == std::errc()) {
        value = negative ? -v : v;
        return true;
    }
    // Beyond the float range either way: through a long double, stored by
    // the one rule (the largest float, or a zero).
    bool inRange = true;
    const long double wide = ConvertPrefix(number, inRange);
    if (!inRange) return false;
    value = ToModelFloat(wide);
    if (value == 0 && negative) value = -0.0f;
    return true;
}

bool ReadWholeNumber(std::string_view text, std::uint64_t& value)
{
    if (text.empty()) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    std::uint64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    value = v;
    return true;
}

std::string BoundText(float v)
{
    std::string t = DecimalText(v, std::fabs(v) >= 0.01f || v == 0 ? 4 : 8);
    if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
    }
    return t;
}

std::string DurationText(long double seconds)
{
    if (!(seconds < 1e9L)) return "a very long time";
    const auto up = [](long double v) { return static_cast<long long>(std::ceil(std::max(v, 1.0L))); };
    if (seconds < 60) return std::to_string(up(seconds)) + " s";
    if (seconds < 3600) return std::to_string(up(seconds / 60)) + " min";
    const long long minutes = up(seconds / 60);
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}
