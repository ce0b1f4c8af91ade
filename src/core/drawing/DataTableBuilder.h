// The pivot data table: the six pivot slots listed over one driver revolution.
#pragma once

#include "files/TextTable.h"
#include "model/AppState.h"

#include <string>
#include <vector>

// The four header lines.
std::vector<std::string> DataTableHeader(const AppState& s, const std::string& date, const std::string& time);

// The whole table: the header lines, then one line per driver angle from 0 to
// 360 degrees in steps of SelectedStep (floor(360 / step) + 1 lines), each
// solved at the current reverse arm position. DriverAngle and ActiveStep are
// saved and restored; the solved points are left at the last angle.
std::vector<std::string> BuildDataTable(AppState& s, const std::string& date, const std::string& time);

// Number of angle lines the table lists for a step; 0 for a step that is not
// a positive number. A step below 0.01 is taken as 0.01 so that a table is
// never longer than 36001 lines.
long DataTableLineCount(float step);

// Str(v, w, 2 or 3) as the table writes it; the same text as FormatFixed10.
std::string TableNumber(float v, int width, int decimals);

// The same numbers as cells for CSV: a header row, then one row per angle
// (the angle with 2 decimals, each pivot's vertical and horizontal coordinate
// with 3). Works on a copy of the state.
std::vector<TextRow> DataTableCells(const AppState& s);

// The memo's text: the lines joined by line feeds.
std::string JoinLines(const std::vector<std::string>& lines);
