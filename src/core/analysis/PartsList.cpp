#include "analysis/PartsList.h"

#include "model/DesignEdit.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <cmath>
#include <numeric>

using LD = long double;

namespace {

struct Pin {
    int point;
    const char* name;
};

struct Link {
    const char* part;
    std::vector<Pin> pins; // the first two set the link's frame
};

// The links of the gear and their pins, as the solver joins them.
const std::vector<Link>& Links()
{
    static const std::vector<Link> links = {
        {"Crank", {{1, "axle"}, {2, "crank pin"}}},
        {"Main rod", {{2, "crank pin"}, {3, "crosshead pin"}}},
        {"Eccentric strap", {{5, "eccentric centre"}, {7, "guide"}, {6, "arm root"}, {14, "eccentric rod pin"}}},
        {"Reverse head", {{9, "pivot"}, {10, "upper end"}, {18, "arm end"}}},
        {"Eccentric rod", {{14, "back pin"}, {16, "front pin"}}},
        {"Rocker", {{15, "pivot"}, {17, "lower pin"}, {16, "upper pin"}}},
        {"Valve rod", {{17, "back pin"}, {4, "front pin"}}},
    };
    return links;
}

std::string PinText(const Pin& p) { return std::string(p.name) + " (P" + std::to_string(p.point) + ")"; }

} // namespace

std::vector<PartsListRow> BuildPartsList(const Gear& design)
{
    Gear g = design;
    g.ErrorBeepOn = false;
    g.DriverAngle = 0;
    g.RevArmPos = g.RevArmCentre();
    SolveLinkage(g);
    auto X = [&g](int i) { return static_cast<LD>(g.PointX[static_cast<size_t>(i)]); };
    auto Y = [&g](int i) { return static_cast<LD>(g.PointY[static_cast<size_t>(i)]); };

    std::vector<PartsListRow> rows;
    for (const Link& link : Links()) {
        const std::vector<Pin>& pins = link.pins;
        // The link's frame: from the first pin along the line to the second.
        const LD ox = X(pins[0].point), oy = Y(pins[0].point);
        const LD dx = X(pins[1].point) - ox, dy = Y(pins[1].point) - oy;
        const LD len = std::hypot(dx, dy);
        const LD ux = len > 0 ? dx / len : 1, uy = len > 0 ? dy / len : 0;
        for (size_t k = 2; k < pins.size(); ++k) {
            const LD px = X(pins[k].point) - ox, py = Y(pins[k].point) - oy;
            rows.push_back({link.part, PinText(pins[k]) + ", along", px * ux + py * uy});
            rows.push_back({link.part, PinText(pins[k]) + ", across", -px * uy + py * ux});
        }
        for (size_t a = 0; a < pins.size(); ++a)
            for (size_t b = a + 1; b < pins.size(); ++b)
                rows.push_back({link.part, PinText(pins[a]) + " to " + PinText(pins[b]),
                                std::hypot(X(pins[b].point) - X(pins[a].point), Y(pins[b].point) - Y(pins[a].point))});
    }

    rows.push_back({"Eccentric", "throw: axle (P1) to eccentric centre (P5)", std::hypot(X(5) - X(1), Y(5) - Y(1))});
    rows.push_back({"Eccentric", "sheave diameter", g.EccentricDiam});

    // The laps as the valve events are computed from them (ComputeEndOfSolveValues).
    rows.push_back({"Valve", "steam lap, front", g.FrontSteamLap});
    rows.push_back({"Valve", "steam lap, rear", g.RearSteamLap});
    rows.push_back({"Valve", "exhaust lap, front", g.FrontExhClear});
    rows.push_back({"Valve", "exhaust lap, rear", g.RearExhClear});
    rows.push_back({"Valve", "length, centre to front edge", g.Cyl(ciValveLengthFrontHalf)});
    rows.push_back({"Valve", "length, centre to rear edge", g.Cyl(ciValveLengthRearHalf)});
    rows.push_back({"Valve", "exhaust cavity, centre to front edge", g.Cyl(ciValveExhCavityFrontHalf)});
    rows.push_back({"Valve", "exhaust cavity, centre to rear edge", g.Cyl(ciValveExhCavityRearHalf)});

    rows.push_back({"Ports", "steam port, front", g.Cyl(ciSteamPortWidthFront)});
    rows.push_back({"Ports", "steam port, rear", g.Cyl(ciSteamPortWidthRear)});
    rows.push_back({"Ports", "exhaust port", g.Cyl(ciExhaustPortWidth)});
    rows.push_back({"Ports", "bridge, front", g.Cyl(ciBridgeWidthFront)});
    rows.push_back({"Ports", "bridge, rear", g.Cyl(ciBridgeWidthRear)});
    rows.push_back({"Ports", "steam port in the bore", g.Cyl(ciCylSteamPortWidth)});

    const char* fixed = "Fixed, from the driver centre";
    rows.push_back({fixed, "reverse head pivot (P8), x", X(8)});
    rows.push_back({fixed, "reverse head pivot (P8), y", Y(8)});
    rows.push_back({fixed, "rocker pivot (P15), x", X(15)});
    rows.push_back({fixed, "rocker pivot (P15), y", Y(15)});
    rows.push_back({fixed, "cylinder centre, x", g.Cyl(ciCylCtrToDriverCtr)});
    rows.push_back({fixed, "cylinder centre line, y", Y(3)});
    rows.push_back({fixed, "valve stem centre line, y", Y(13)});
    return rows;
}

std::string NearestSixtyFourth(long double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 1e15L) return {};
    long long n = std::llround(v * 64);
    const bool negative = n < 0;
    if (negative) n = -n;
    const long long whole = n / 64, part = n % 64;
    std::string t = negative ? "-" : "";
    if (whole > 0 || part == 0) t += std::to_string(whole);
    if (part > 0) {
        const long long d = std::gcd(part, 64LL);
        if (whole > 0) t += ' ';
        t += std::to_string(part / d) + "/" + std::to_string(64 / d);
    }
    return t;
}

std::vector<std::vector<std::string>> PartsListCells(const std::vector<PartsListRow>& rows, LengthUnit unit)
{
    const bool inches = unit == LengthUnit::Inch;
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> header = {"Part", "Item", "Value (" + std::string(LengthUnitText(unit)) + ")"};
    if (inches) header.push_back("Nearest 1/64 in");
    cells.push_back(header);
    for (const PartsListRow& r : rows) {
        std::vector<std::string> row = {r.part, r.item, DecimalText(r.value, 4)};
        if (inches) row.push_back(NearestSixtyFourth(r.value));
        cells.push_back(row);
    }
    return cells;
}
