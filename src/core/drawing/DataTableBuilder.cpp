#include "drawing/DataTableBuilder.h"

#include "model/Model.h"
#include "model/NumberText.h"
#include "model/PointIndex.h"

#include <cfenv>
#include <cmath>

using LD = long double;

namespace {

constexpr float kSmallestStep = 0.01f;

// Appends Str(v, width, decimals) to `out` without going through printf for
// ordinary values: the value times 10^decimals is exact in long double (a
// float has 24 significant bits), and rounding it to the nearest integer with
// ties to even gives the digits printf would print.
void AppendNumber(std::string& out, float v, int width, int decimals)
{
    if (!std::isfinite(v) || std::fabs(v) >= 1e9f || decimals < 0 || decimals > 3 ||
        std::fegetround() != FE_TONEAREST) {
        out += FormatFixed10(v, width, decimals);
        return;
    }
    static const long long pow10[4] = {1, 10, 100, 1000};
    const long long q = std::llrint(static_cast<LD>(v) * pow10[decimals]);
    const bool negative = q < 0;
    unsigned long long a = static_cast<unsigned long long>(negative ? -q : q);
    char buf[32];
    int n = 0;
    // Digits from the right: the decimals, the point, the integer part.
    for (int i = 0; i < decimals; ++i) {
        buf[n++] = static_cast<char>('0' + a % 10);
        a /= 10;
    }
    if (decimals > 0) buf[n++] = '.';
    do {
        buf[n++] = static_cast<char>('0' + a % 10);
        a /= 10;
    } while (a != 0);
    if (negative) buf[n++] = '-';
    std::string text;
    text.reserve(static_cast<size_t>(n > width ? n : width));
    if (n < width) text.append(static_cast<size_t>(width - n), ' ');
    while (n > 0) text += buf[--n];
    if (text.size() > 10) text.resize(10);
    out += text;
}

float EffectiveStep(float step) { return step < kSmallestStep ? kSmallestStep : step; }

} // namespace

std::string TableNumber(float v, int width, int decimals)
{
    std::string s;
    AppendNumber(s, v, width, decimals);
    return s;
}

long DataTableLineCount(float step)
{
    if (!std::isfinite(step) || !(step > 0)) return 1;
    // The step is a single-precision copy of a decimal value; the small
    // allowance keeps the angle 360 itself in the table.
    const LD n = std::floor((360.0L + 1e-4L) / EffectiveStep(step));
    return static_cast<long>(n) + 1;
}

std::vector<std::string> DataTableHeader(const AppState& s, const std::string& date, const std::string& time)
{
    return {
        "Pivot Data   " + s.display.DataSetName + "     " + date + "   " + time,
        "       Reverse Arm " + FormatFixed10(s.gear.RevArmPos, 7, 3) + "      Step Angle " +
            FormatFixed10(s.anim.SelectedStep, 7, 3),
        "  Driver         No.1                   No.2                   No.3                  No.4             "
        "      No.5                  No.6",
        "  Angle     Vert   Horz         Vert   Horz          Vert   Horz         Vert   Horz          Vert   "
        "Horz         Vert   Horz",
    };
}

namespace {

// Solves the design at each angle of the table (0, step, 2·step, ... as many as
// the table has lines) and hands the solved gear and the point index of each
// of the six pivot slots (slot[1..6]) to `row`.
template <class RowFn>
void SweepTableAngles(AppState& s, RowFn&& row)
{
    Gear& g = s.gear;
    int slot[7] = {};
    for (int k = 1; k <= 6; ++k) slot[k] = PointIndexOrOrigin(s.pivots.PivotOfSlot[k]);
    const long count = DataTableLineCount(s.anim.SelectedStep);
    const LD step = std::isfinite(s.anim.SelectedStep) && s.anim.SelectedStep > 0
                        ? static_cast<LD>(EffectiveStep(s.anim.SelectedStep))
                        : 0.0L;
    for (long i = 0; i < count; ++i) {
        // Each angle from its index, so that rounding does not build up over
        // thousands of steps.
        g.DriverAngle = ToModelFloat(static_cast<LD>(i) * step);
        SolveLinkage(g);
        row(static_cast<const Gear&>(g), static_cast<const int*>(slot));
    }
}

} // namespace

std::vector<std::string> BuildDataTable(AppState& s, const std::string& date, const std::string& time)
{
    Gear& g = s.gear;
    std::vector<std::string> lines = DataTableHeader(s, date, time);
    const float savedAngle = g.DriverAngle;
    const float savedStep = s.anim.ActiveStep;
    g.DriverAngle = 0;
    s.anim.ActiveStep = 0;

    lines.reserve(lines.size() + static_cast<size_t>(DataTableLineCount(s.anim.SelectedStep)));
    SweepTableAngles(s, [&](const Gear& solved, const int* slot) {
        std::string line;
        line.reserve(160);
        AppendNumber(line, solved.DriverAngle, 7, 2);
        for (int k = 1; k <= 6; ++k) {
            line += "   ";
            AppendNumber(line, solved.PointY[slot[k]], k == 1 ? 7 : 9, 3);
            line += "  ";
            AppendNumber(line, solved.PointX[slot[k]], 7, 3);
        }
        lines.push_back(std::move(line));
    });

    g.DriverAngle = savedAngle;
    s.anim.ActiveStep = savedStep;
    return lines;
}

std::vector<TextRow> DataTableCells(const AppState& state)
{
    AppState s = state;
    TextRow header = {"Driver angle (deg)"};
    const std::string unit = std::string(" (") + LengthUnitText(s.gear.Unit) + ")";
    for (int k = 1; k <= 6; ++k) {
        const std::string n = "No." + std::to_string(k);
        header.push_back(n + " vert" + unit);
        header.push_back(n + " horz" + unit);
    }
    std::vector<TextRow> rows;
    rows.reserve(static_cast<size_t>(DataTableLineCount(s.anim.SelectedStep)) + 1);
    rows.push_back(std::move(header));
    SweepTableAngles(s, [&](const Gear& solved, const int* slot) {
        TextRow row;
        row.reserve(13);
        row.push_back(DecimalText(solved.DriverAngle, 2));
        for (int k = 1; k <= 6; ++k) {
            row.push_back(DecimalText(solved.PointY[slot[k]], 3));
            row.push_back(DecimalText(solved.PointX[slot[k]], 3));
        }
        rows.push_back(std::move(row));
    });
    return rows;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    size_t total = 0;
    for (const std::string& l : lines) total += l.size() + 1;
    std::string text;
    text.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += lines[i];
    }
    return text;
}
