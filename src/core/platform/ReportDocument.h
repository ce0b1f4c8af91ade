// A document as plain data: sections of texts, tables and pictures under a
// title block that every page repeats. The design report is built as one
// (mainwin/DesignReport) and laid out on pages by a writer (QtReport: PDF).
#pragma once

#include "platform/DisplayList.h"

#include <string>
#include <utility>
#include <vector>

struct ReportTable {
    std::vector<std::string> header;            // one title per column (wrapped to the column's width)
    std::vector<std::vector<std::string>> rows; // cells, as many as the header has
    std::vector<bool> rightAligned;             // per column (numbers); missing: left
};

struct ReportBlock {
    enum class Kind { Text, Table, Picture };
    Kind kind = Kind::Text;
    std::string text;    // Text: a paragraph; Table and Picture: the caption above them
    ReportTable table;   // Table
    DisplayList picture; // Picture: drawn from its operations, at most at 96 pixels an inch
};

struct ReportSection {
    std::string title; // starts a new page
    std::vector<ReportBlock> blocks;
};

struct ReportDocument {
    std::string title; // the first line of the title block, and the document's name
    // The title block's fields after the title: label and value ("Date", "08/12/2026").
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<ReportSection> sections;
};

// Blocks, for the builders.
inline ReportBlock TextBlock(std::string text)
{
    ReportBlock b;
    b.text = std::move(text);
    return b;
}
inline ReportBlock TableBlock(std::string caption, ReportTable table)
{
    ReportBlock b;
    b.kind = ReportBlock::Kind::Table;
    b.text = std::move(caption);
    b.table = std::move(table);
    return b;
}
inline ReportBlock PictureBlock(std::string caption, DisplayList picture)
{
    ReportBlock b;
    b.kind = ReportBlock::Kind::Picture;
    b.text = std::move(caption);
    b.picture = std::move(picture);
    return b;
}
