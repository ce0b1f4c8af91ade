// The words and numbers of a balance search as the window and the command line
// show them: the targets and dimensions to choose from, the before/after rows
// (event values with the decimals of the valve events table) and a plain
// sentence on the outcome.
#pragma once

#include "analysis/Balance.h"
#include "files/TextTable.h"

#include <string>
#include <vector>

// The 44 dimension codes in the order of the dimension dialogs.
std::vector<int> BalanceDimensionCodes();
// A dimension by its dialog label with the layout blanks taken out, e.g.
// "Valve Rod Length".
std::string BalanceDimensionLabel(int code);
// The code of an identifier such as "ValveRodLength" (any letter case); 0 for
// none.
int DimensionCodeOf(const std::string& identifier);

// "Equal leads, mid gear" and so on.
std::string TargetCaption(BalanceTarget t);

// f(v, 8, 4), the way a found value is shown.
std::string BalanceValueText(float v);

// Rows of three cells, label, before and after: first each dimension's value,
// then each goal's events and difference(s). After-cells are empty when the
// result has no values. Lengths say the design's unit ("Lead front (in)").
std::vector<TextRow> BalanceRows(const Gear& design, const std::vector<BalanceGoal>& goals, const BalanceResult& r);

// The difference rows alone (label, before, after), for the command line.
std::vector<TextRow> BalanceDifferenceRows(const std::vector<BalanceGoal>& goals, const BalanceResult& r,
                                           LengthUnit unit = LengthUnit::Unspecified);

// One or two sentences on the outcome, e.g. "Found: the difference is now
// 0.00001 units." ("in", "mm" for a design in those) or "The range holds no
// solution: ...".
std::string BalanceSummary(const std::vector<BalanceGoal>& goals, const BalanceResult& r,
                           LengthUnit unit = LengthUnit::Unspecified);
