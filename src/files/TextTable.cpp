#include "files/TextTable.h"

#include <charconv>
#include <cmath>

namespace {

void AppendField(std::string& out, const std::string& field, char separator)
{
    const bool quote = field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string::npos;
    if (!quote) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string JoinRows(const std::vector<TextRow>& rows, char separator, const char* lineEnd)
{
    std::string out;
    for (const TextRow& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) out += separator;
            AppendField(out, row[i], separator);
        }
        out += lineEnd;
    }
    return out;
}

} // namespace

std::string DecimalText(long double v, int decimals)
{
    if (!std::isfinite(v)) return {};
    // to_chars is locale-independent and rounds the exact binary value, as
    // printf does; a long double holds every model float exactly.
    char buf[128];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return {};
    std::string text(buf, r.ptr);
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string CsvText(const std::vector<TextRow>& rows) { return JoinRows(rows, ',', "\r\n"); }

std::string TabSeparatedText(const std::vector<TextRow>& rows) { return JoinRows(rows, '\t', "\n"); }
