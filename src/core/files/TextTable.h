// Tables of text cells for other programs: CSV as RFC 4180 describes it, and
// tab-separated text that pastes into a spreadsheet as cells. Numbers are
// written by model/NumberText, with "." as the decimal separator whatever the
// locale.
#pragma once

#include <string>
#include <vector>

using TextRow = std::vector<std::string>;

// RFC 4180: fields separated by commas, every record (the last one too) ended
// by CR LF; a field that holds a comma, a double quote, CR or LF is enclosed
// in double quotes, its own double quotes doubled.
std::string CsvText(const std::vector<TextRow>& rows);

// Tab-separated: fields separated by tabs, records ended by LF; a field that
// holds a tab, a double quote, CR or LF is quoted as in CSV.
std::string TabSeparatedText(const std::vector<TextRow>& rows);
