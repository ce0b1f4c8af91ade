#include "model/GearParts.h"

#include "model/PointIndex.h"

#include <cmath>

using LD = long double;

const char* PartLayer(GearPart p)
{
    switch (p) {
    case GearPart::Frame: return "FRAME";
    case GearPart::CrankMainRod: return "CRANK-MAIN-ROD";
    case GearPart::EccentricStrap: return "ECCENTRIC-STRAP";
    case GearPart::ReverseHead: return "REVERSE-HEAD";
    case GearPart::EccentricRod: return "ECCENTRIC-ROD";
    case GearPart::Rocker: return "ROCKER";
    case GearPart::ValveRod: return "VALVE-ROD";
    case GearPart::Cylinder: return "CYLINDER";
    }
    return "";
}

const char* PartName(GearPart p)
{
    switch (p) {
    case GearPart::Frame: return "frame and fixed pivots";
    case GearPart::CrankMainRod: return "crank and main rod";
    case GearPart::EccentricStrap: return "eccentric and strap";
    case GearPart::ReverseHead: return "reverse head and arm";
    case GearPart::EccentricRod: return "eccentric rod";
    case GearPart::Rocker: return "rocker";
    case GearPart::ValveRod: return "valve rod and valve";
    case GearPart::Cylinder: return "cylinder section and ports";
    }
    return "";
}

namespace {

bool Finite(const WorldPt& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

class Builder {
public:
    explicit Builder(const Gear& g) : g_(g), dc_(g.CrankDiskDia) {}

    WorldPt P(int i) const { return {g_.PointX[static_cast<size_t>(i)], g_.PointY[static_cast<size_t>(i)]}; }
    void Segment(WorldPt a, WorldPt b)
    {
        if (Finite(a) && Finite(b)) out.segments.push_back({a, b});
    }
    void Link(int i, int j) { Segment(P(i), P(j)); }
    void Circle(WorldPt c, LD r, int point = -1)
    {
        r = std::fabs(r);
        if (Finite(c) && std::isfinite(r) && r > 0) out.circles.push_back({c, r, point});
    }
    void Pin(int i, LD fraction) { Circle(P(i), fraction * dc_, i); }
    void Polyline(std::vector<WorldPt> pts, bool closed)
    {
        for (const WorldPt& p : pts)
            if (!Finite(p)) return;
        out.polylines.push_back({std::move(pts), closed});
    }

    PartShapes out;
    const Gear& g_;
    const LD dc_;
};

} // namespace

PartShapes ShapesOfPart(const Gear& g, GearPart p, PinSet pins)
{
    Builder b(g);
    const bool ends = pins == PinSet::Ends;
    const LD dc = g.CrankDiskDia;
    // The piston and valve as BuildPistonValveOutline places them.
    const LD y0 = g.PointY[3];
    const LD R = static_cast<LD>(g.Cyl(ciCylBoreDia)) / 2;
    const LD ys = y0 + g.Cyl(ciValveSurfaceToCylCl);
    switch (p) {
    case GearPart::Frame:
        b.Pin(1, kAxleRadius);
        b.Pin(8, kPinRadius);
        b.Pin(15, kPinRadius);
        break;
    case GearPart::CrankMainRod: {
        b.Circle(b.P(1), dc / 2, 1);
        const LD theta = g.DriverAngle;
        const LD r = kCrankArcRadius * std::fabs(dc);
        if (std::isfinite(theta) && std::isfinite(r) && r > 0 && Finite(b.P(1)))
            b.out.arcs.push_back({b.P(1), r, 110 - theta, 250 - theta});
        b.Link(1, 2); // crank
        b.Link(2, 3); // main rod
        b.Pin(2, kCrankPinRadius);
        b.Pin(3, kCrossheadRadius);
        if (ends) b.Pin(1, kAxleRadius);
        const LD pc = static_cast<LD>(g.PointX[3]) + g.Cyl(ciPistonCtrToCrosshead);
        const LD k = static_cast<LD>(g.Cyl(ciPistonWidth)) / 2;
        b.Segment(b.P(3), {pc + k, y0}); // piston rod
        b.Polyline({{pc - k, y0 + R}, {pc - k, y0 - R}, {pc + k, y0 - R}, {pc + k, y0 + R}}, true);
        break;
    }
    case GearPart::EccentricStrap:
        b.Circle(b.P(5), static_cast<LD>(g.EccentricDiam) / 2, 5);
        b.Link(1, 5);  // eccentric crank (the throw)
        b.Link(5, 7);  // strap
        b.Link(6, 14); // strap arm
        b.Pin(7, kPinRadius);
        if (ends) b.Pin(14, kPinRadius);
        break;
    case GearPart::ReverseHead:
        b.Link(10, 18);
        b.Pin(9, kPinRadius);
        b.Pin(18, kPinRadius);
        break;
    case GearPart::EccentricRod:
        b.Link(14, 16);
        b.Pin(14, kPinRadius);
        b.Pin(16, kPinRadius);
        break;
    case GearPart::Rocker:
        b.Link(16, 15);
        b.Link(15, 17);
        b.Pin(17, kPinRadius);
        if (ends) {
            b.Pin(15, kPinRadius);
            b.Pin(16, kPinRadius);
        }
        break;
    case GearPart::ValveRod: {
        b.Link(4, 17); // valve rod
        b.Pin(4, kPinRadius);
        if (ends) b.Pin(17, kPinRadius);
        const LD vc = static_cast<LD>(g.PointX[4]) + g.Cyl(ciValveCtrToJoint);
        const LD rearEdge = vc - g.Cyl(ciValveLengthRearHalf);
        const LD frontEdge = vc + g.Cyl(ciValveLengthFrontHalf);
        const LD cavFront = vc + g.Cyl(ciValveExhCavityFrontHalf);
        const LD cavRear = vc - g.Cyl(ciValveExhCavityRearHalf);
        const LD yv = ys + g.Cyl(ciValveHeight);
        const LD cavityTop = yv + (ys - yv) / 3;
        b.Segment({rearEdge, g.PointY[13]}, b.P(13)); // valve stem
        b.Link(13, 4);                                // spindle to the valve rod joint
        b.Polyline({{rearEdge, yv},
                    {frontEdge, yv},
                    {frontEdge, ys},
                    {cavFront, ys},
                    {cavFront, cavityTop},
                    {cavRear, cavityTop},
                    {cavRear, ys},
                    {rearEdge, ys}},
                   true);
        break;
    }
    case GearPart::Cylinder: {
        // As BuildCylinderOutline draws it.
        const LD e = g.Cyl(ciCylCtrToDriverCtr);
        const LD h = static_cast<LD>(g.Cyl(ciExhaustPortWidth)) / 2;
        const LD yt = ys + g.Cyl(ciValveChamberHeight);
        const LD B = static_cast<LD>(g.Cyl(ciCylBoreLength)) / 2;
        const LD n = g.Cyl(ciExhaustPortWidth);
        const LD hc = static_cast<LD>(g.Cyl(ciValveChamberLength)) / 2;
        const LD rearInner = e - h - g.Cyl(ciBridgeWidthRear);
        const LD rearOuter = rearInner - g.Cyl(ciSteamPortWidthRear);
        const LD frontInner = e + h + g.Cyl(ciBridgeWidthFront);
        const LD frontOuter = frontInner + g.Cyl(ciSteamPortWidthFront);
        b.Polyline({{e - h, yt},
                    {e - hc, yt},
                    {e - hc, ys},
                    {rearOuter, ys},
                    {rearOuter, ys - n / 3},
                    {e - B, y0 + R},
                    {e - B, y0 - R},
                    {e + B, y0 - R},
                    {e + B, y0 + R},
                    {frontOuter, ys - n / 3},
                    {frontOuter, ys},
                    {e + hc, ys},
                    {e + hc, yt},
                    {e + h, yt}},
                   false);
        const LD spr = g.Cyl(ciSteamPortWidthRear);
        const LD cspw = g.Cyl(ciCylSteamPortWidth);
        b.Polyline({{e - h, ys - spr},
                    {e - h, ys},
                    {rearInner, ys},
                    {rearInner, ys - n / 1.5L},
                    {e - B + cspw, y0 + R},
                    {e + B - cspw, y0 + R},
                    {frontInner, ys - n / 1.5L},
                    {frontInner, ys},
                    {e + h, ys},
                    {e + h, ys - spr}},
                   false);
        break;
    }
    }
    return std::move(b.out);
}

std::optional<OverlayShape> OverlayItemShape(const OverlayItem& it, const Gear& g)
{
    const bool line = it.Kind == 0, circle = it.Kind == 1;
    if (!line && !circle) return std::nullopt;
    const LD x1 = it.X1, y1 = it.Y1, x2 = it.X2, y2 = it.Y2;
    OverlayShape s;
    s.circle = circle;
    if (it.Reference == 0) {
        s.a = {x1, y1};
        if (line)
            s.b = {x2, y2};
        else
            s.r = x2;
        return s;
    }
    // Attached items: a pivot index that names no point draws nothing.
    const bool pivoted = it.Reference == 1 || (line && (it.Reference == 2 || it.Reference == 3));
    if (!pivoted) return std::nullopt;
    const int p1 = SafePointIndex(it.Pivot1Index);
    if (p1 < 0) return std::nullopt;
    const LD p1x = g.PointX[static_cast<size_t>(p1)], p1y = g.PointY[static_cast<size_t>(p1)];
    s.a = {p1x + x1, p1y + y1};
    if (circle) {
        s.r = x2;
    } else if (it.Reference == 1) {
        s.b = {p1x + x2, p1y + y2};
    } else if (it.Reference == 2) {
        s.b = {x2, y2};
    } else {
        const int p2 = SafePointIndex(it.Pivot2Index);
        if (p2 < 0) return std::nullopt;
        s.b = {g.PointX[static_cast<size_t>(p2)] + x2, g.PointY[static_cast<size_t>(p2)] + y2};
    }
    return s;
}

std::uint32_t KeepOutMask(const Overlay& ov)
{
    std::uint32_t mask = 0;
    for (int k = 1; k <= kOverlayItems; ++k)
        if (ov.Item[static_cast<size_t>(k)].KeepOut) mask |= 1u << (k - 1);
    return mask;
}

void SetKeepOutMask(Overlay& ov, std::uint32_t mask)
{
    for (int k = 1; k <= kOverlayItems; ++k) ov.Item[static_cast<size_t>(k)].KeepOut = (mask >> (k - 1)) & 1u;
}

std::vector<int> KeepOutItems(const Overlay& ov)
{
    std::vector<int> items;
    for (int k = 1; k <= kOverlayItems; ++k) {
        const OverlayItem& it = ov.Item[static_cast<size_t>(k)];
        if (it.KeepOut && (it.Kind == 0 || it.Kind == 1)) items.push_back(k);
    }
    return items;
}
