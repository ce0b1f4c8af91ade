// The valve events table as text cells: one header row naming each column
// and its unit, then one row per notch and direction. Percentages and angles
// have 2 decimals, lengths 4; an event that does not happen is an empty cell.
#pragma once

#include "analysis/ValveEvents.h"
#include "files/TextTable.h"

#include <string>
#include <vector>

inline constexpr int kValveEventsColumns = 25;

// Notes of a row, in the last column.
inline constexpr const char* kNoteRepeated = "repeated events";
inline constexpr const char* kNoteClamped = "solver clamped";
// The notch column of the normal notch.
inline constexpr const char* kNormalNotchText = "normal";

// An event's driver angle with 2 decimals, within 0 <= a < 360 after the
// rounding: 359.997 is written "0.00", never "360.00".
std::string EventAngleText(float degrees);

TextRow ValveEventsHeader();

// The cells of one row.
TextRow ValveEventsCells(const ValveEventsRow& row);

// The header and every row.
std::vector<TextRow> ValveEventsText(const std::vector<ValveEventsRow>& rows);

// The whole table of a design as it opens from its file (DesignAsOpened:
// mid gear recomputed on the copy), ready for CSV or tab-separated text.
std::vector<TextRow> ValveEventsTextOf(const Gear& design);
