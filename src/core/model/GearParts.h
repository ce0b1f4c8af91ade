// The gear as the workshop sees it: its parts, each a set of shapes in world
// coordinates (design units, y up, the driver centre at the origin), taken
// from a solved gear as the main window draws it: links as the centre lines
// between their pin centres, pins and disks as circles of the drawn size, the
// piston, valve and cylinder section as outlines. The DXF drawing, the swept
// envelope, the clearance of the keep-out shapes and the parts list all read
// the gear through these.
#pragma once

#include "model/AppState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

enum class GearPart : int {
    Frame = 0,      // the fixed pivots: axle, reverse head pivot, rocker pivot
    CrankMainRod,   // crank disk, crank, crank pin, main rod, crosshead, piston rod and piston
    EccentricStrap, // eccentric crank and sheave, strap and its arm, the strap guide
    ReverseHead,    // reverse head and arm
    EccentricRod,   // eccentric rod and its two pins
    Rocker,         // rocker's two arms
    ValveRod,       // valve rod, valve spindle and stem, slide valve
    Cylinder,       // cylinder section and ports
};
inline constexpr int kGearParts = 8;

// The parts that move as the gear runs, in part order.
inline constexpr std::array<GearPart, 6> kMovingParts = {GearPart::CrankMainRod, GearPart::EccentricStrap,
                                                         GearPart::ReverseHead,  GearPart::EccentricRod,
                                                         GearPart::Rocker,       GearPart::ValveRod};

// The layer a part is drawn on in a DXF drawing ("CRANK-MAIN-ROD").
const char* PartLayer(GearPart p);
// The part in words ("crank and main rod").
const char* PartName(GearPart p);

struct WorldPt {
    long double x = 0, y = 0;
};
struct PartSegment {
    WorldPt a, b;
};
// A pin or disk: `point` is the index of the solved point at its centre (-1: none).
struct PartCircle {
    WorldPt c;
    long double r = 0;
    int point = -1;
};
// An arc counter-clockwise from `startDeg` to `endDeg` (degrees, y up).
struct PartArc {
    WorldPt c;
    long double r = 0, startDeg = 0, endDeg = 0;
};
struct PartPolyline {
    std::vector<WorldPt> points;
    bool closed = false;
};
struct PartShapes {
    std::vector<PartSegment> segments;
    std::vector<PartCircle> circles;
    std::vector<PartArc> arcs;
    std::vector<PartPolyline> polylines;
};

// Which pins a part carries: a pin joins two parts, and a drawing shows it once,
// on the layer of the part it is listed under (`Own`); the space a part sweeps
// holds every pin at the ends of its links (`Ends`).
enum class PinSet { Own, Ends };

// The drawn radius of the pins, as fractions of the crank disk diameter
// (the main window draws them so).
inline constexpr long double kAxleRadius = 0.06L;
inline constexpr long double kCrankPinRadius = 0.05L;
inline constexpr long double kCrossheadRadius = 0.04L;
inline constexpr long double kPinRadius = 0.02L;
inline constexpr long double kCrankArcRadius = 0.35L;

// The shapes of part `p` of `solved` (a gear after SolveLinkage and
// ComputePistonAndOpenings). Shapes with a coordinate that is not a number are
// left out.
PartShapes ShapesOfPart(const Gear& solved, GearPart p, PinSet pins = PinSet::Own);

// The outline of the space a moving part sweeps (analysis/SweptEnvelope).
struct EnvelopePoint {
    float x = 0, y = 0;
};
struct PartOutline {
    GearPart part = GearPart::CrankMainRod;
    std::vector<std::vector<EnvelopePoint>> loops; // closed, counter-clockwise, the first point not repeated
};

// ---------------------------------------------------------------- the user's lines and circles
// A line or circle of the overlay where it stands for a solved gear: a line
// from `a` to `b`, or a circle about `a` of radius `r` (the stored value,
// which may be negative: its size is |r|).
struct OverlayShape {
    bool circle = false;
    WorldPt a, b;
    long double r = 0;
};
// The shape item `it` draws (as the main window draws it), or none: an unused
// item, a combination the overlay does not draw, a pivot index that names no
// point.
std::optional<OverlayShape> OverlayItemShape(const OverlayItem& it, const Gear& solved);

// The keep-out flags of the 20 items as a bit mask (bit k - 1 for item k).
inline constexpr std::uint32_t kAllKeepOutBits = (1u << kOverlayItems) - 1;
std::uint32_t KeepOutMask(const Overlay& ov);
void SetKeepOutMask(Overlay& ov, std::uint32_t mask);
// The items that are keep-out shapes: flagged and drawn (a line or a circle).
std::vector<int> KeepOutItems(const Overlay& ov);
