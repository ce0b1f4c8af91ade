#include "files/TextTable.h"

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

std::string CsvText(const std::vector<TextRow>& rows) { return JoinRows(rows, ',', "\r\n"); }

std::string TabSeparatedText(const std::vector<TextRow>& rows) { return JoinRows(rows, '\t', "\n"); }
