// The valve events table as text cells: one header row naming each column
// and its unit, then one row per notch and direction. Percentages and angles
// have 2 decimals, lengths 4; an event that does not happen is an empty cell.
// The table of the difference between two designs has the same cells, each
// the difference of the two designs' numbers (this − reference).
#pragma once

#include "analysis/ValveEvents.h"
#include "files/TextTable.h"

#include <array>
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

// What a column holds.
enum class EventsColumn { Word, Length, Percent, Angle };
EventsColumn ValveEventsColumnKind(int column);
// The decimals of a column's numbers (0 for words).
int ValveEventsDecimals(int column);

// The header; lengths say their unit: "Lead front (units)", "(in)", "(mm)".
TextRow ValveEventsHeader(LengthUnit unit = LengthUnit::Unspecified);

// The numbers of a row, one per column: NaN for the word columns and for an
// event that does not happen.
std::array<long double, kValveEventsColumns> ValveEventsNumbers(const ValveEventsRow& row);

// The cells of one row.
TextRow ValveEventsCells(const ValveEventsRow& row);

// The header and every row.
std::vector<TextRow> ValveEventsText(const std::vector<ValveEventsRow>& rows,
                                     LengthUnit unit = LengthUnit::Unspecified);

// The whole table of a design, ready for CSV or tab-separated text.
std::vector<TextRow> ValveEventsTextOf(const Gear& design);

// The rows of a design with the mid gear it holds (the one its open computed,
// or the one a dimension dialog's Close re-centred; never one computed again):
// what the table window, the command line and the comparison measure.
std::vector<ValveEventsRow> ValveEventsRowsOf(const Gear& design);

// The difference of two tables, row by row in the order of `rows` (each
// matched with the reference's row of the same direction and notch): every
// number this − reference, computed from the numbers and written with the
// column's decimals, an angle brought into (−180, 180]; empty where either
// cell is empty. The direction and notch are this design's; the notes are
// this design's, then the reference's after "reference: ".
TextRow ValveEventsDifferenceCells(const ValveEventsRow& row, const ValveEventsRow& reference);
std::vector<TextRow> ValveEventsDifferenceText(const std::vector<ValveEventsRow>& rows,
                                               const std::vector<ValveEventsRow>& reference,
                                               LengthUnit unit = LengthUnit::Unspecified);

// An angle difference brought into (−180, 180].
long double AngleDifference(long double a, long double b);
