#include "analysis/MotionData.h"

#include "files/JsonDesign.h"
#include "files/JsonText.h"
#include "files/TextTable.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>

using LD = long double;

namespace {

const char* const kPointNames[kMotionPoints] = {
    "origin (fixed, at the driver centre)",
    "driver centre (axle)",
    "crank pin",
    "crosshead",
    "valve rod front joint",
    "eccentric centre",
    "eccentric strap lower point (start of its horizontal arm)",
    "eccentric strap guide (slides in the reverse head)",
    "reverse head pivot (fixed)",
    "reverse head pivot as the solver turns the head (normally at 8)",
    "reverse head upper end",
    "rocker elbow (upper arm)",
    "eccentric rim on the strap's centre line",
    "valve spindle end on the valve stem centre line",
    "eccentric rod back pin (end of the strap's horizontal arm)",
    "rocker pivot (fixed)",
    "eccentric rod front pin (rocker upper arm)",
    "rocker lower end (valve rod back joint)",
    "reverse arm end (reach rod pin)",
};

std::string Cell(float v) { return DecimalTextAtLeast(v, kMotionDecimals); }

std::string JsonCell(float v)
{
    const std::string t = Cell(v);
    return t.empty() ? "null" : t;
}

std::string PointId(int i) { return "P" + std::to_string(i); }

} // namespace

const char* MotionPointName(int index) { return index >= 0 && index < kMotionPoints ? kPointNames[index] : ""; }

bool IsMotionStep(long double step) { return step >= kSmallestMotionStep && step <= 360.0L; }

long MotionRowCount(float step)
{
    if (!IsMotionStep(step)) return 0;
    return static_cast<long>(std::floor((360.0L - 1e-4L) / step)) + 1;
}

MotionTable SweepMotion(const Gear& design, float revArmPos, float step)
{
    MotionTable t;
    t.revArmPos = revArmPos;
    t.step = step;
    Gear g = design;
    g.RevArmPos = revArmPos;
    g.ErrorBeepOn = true; // so that a clamp shows in SolveError
    const long count = MotionRowCount(step);
    t.rows.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        MotionRow r;
        // Each angle from its index, so that rounding does not build up.
        g.DriverAngle = ToModelFloat(static_cast<LD>(i) * step);
        g.SolveError = false;
        SolveLinkage(g);
        ComputePistonAndOpenings(g);
        r.driverAngle = g.DriverAngle;
        for (int p = 0; p < kMotionPoints; ++p) {
            r.x[p] = g.PointX[p];
            r.y[p] = g.PointY[p];
        }
        r.pistonPercent = ToModelFloat(static_cast<LD>(g.PistonPx) / 6.4L);
        r.valveCen = g.ValveCen;
        r.clamped = g.SolveError;
        if (r.clamped) ++t.clampedRows;
        t.rows.push_back(r);
    }
    return t;
}

std::string MotionCsvText(const MotionTable& t)
{
    std::vector<TextRow> rows;
    rows.reserve(t.rows.size() + 1);
    TextRow header = {"DriverAngle"};
    for (int p = 0; p < kMotionPoints; ++p) {
        header.push_back(PointId(p) + ".x");
        header.push_back(PointId(p) + ".y");
    }
    header.push_back("Piston %");
    header.push_back("ValveCen");
    rows.push_back(std::move(header));
    for (const MotionRow& r : t.rows) {
        TextRow row;
        row.reserve(2 * kMotionPoints + 3);
        row.push_back(Cell(r.driverAngle));
        for (int p = 0; p < kMotionPoints; ++p) {
            row.push_back(Cell(r.x[p]));
            row.push_back(Cell(r.y[p]));
        }
        row.push_back(Cell(r.pistonPercent));
        row.push_back(Cell(r.valveCen));
        rows.push_back(std::move(row));
    }
    return CsvText(rows);
}

std::string MotionJsonText(const MotionTable& t, const std::string& designName, LengthUnit unit)
{
    std::string out = "{\n";
    out += "  \"format\": \"QUELF motion\",\n";
    out += "  \"version\": 1,\n";
    out += "  \"design\": " + JsonQuoted(designName) + ",\n";
    out += std::string("  \"units\": \"") + (unit == LengthUnit::Unspecified ? "unspecified" : LengthUnitText(unit)) +
           "\",\n";
    out += "  \"revArm\": " + JsonCell(t.revArmPos) + ",\n";
    out += "  \"step\": " + JsonCell(t.step) + ",\n";
    out += "  \"points\": [\n";
    for (int p = 0; p < kMotionPoints; ++p) {
        out += "    {\"index\": " + std::to_string(p) + ", \"id\": \"" + PointId(p) +
               "\", \"name\": " + JsonQuoted(kPointNames[p]) + "}" + (p + 1 < kMotionPoints ? ",\n" : "\n");
    }
    out += "  ],\n";
    out += "  \"rows\": [\n";
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        const MotionRow& r = t.rows[i];
        out += "    {\"DriverAngle\": " + JsonCell(r.driverAngle);
        for (int p = 0; p < kMotionPoints; ++p)
            out += ", \"" + PointId(p) + "\": [" + JsonCell(r.x[p]) + ", " + JsonCell(r.y[p]) + "]";
        out += ", \"Piston %\": " + JsonCell(r.pistonPercent) + ", \"ValveCen\": " + JsonCell(r.valveCen) + "}";
        out += i + 1 < t.rows.size() ? ",\n" : "\n";
    }
    out += "  ]\n}\n";
    return out;
}

bool IsJsonMotionPath(const std::string& path) { return IsJsonDesignPath(path); }
