// The space the gear sweeps: every moving part turned through one revolution
// at every notch of the reverse arm in both directions (or the notches asked
// for), on a copy of the design.
//
// - Pivot extremes: for each point 0 to 18 of the point table, its least and
//   greatest x and y and the driver angle and notch where each occurs. The
//   turn is sampled every degree; the best sample of each notch is then
//   refined by golden-section search on the driver angle between its two
//   neighbours (the solver at every step), so an extreme is the solver's own
//   to a millionth of a degree, not the nearest whole degree's.
// - Outlines: for each moving part (GearParts: its links as centre lines, its
//   pins and disks as the circles the main window draws), the outer boundary
//   of all the places it takes, as closed polylines. The places are marked on
//   a grid of 1000 cells along the longer side of the part's extent: every
//   cell that a link or a circle's rim passes through (every 4 degrees), or
//   the path of a link's end or the band a circle sweeps between two samples
//   (every sample). What the marks enclose is filled, widened by a cell, and
//   its boundary traced and simplified to within 0.75 of a cell. So an outline
//   holds every place of the part, and lies within three cells of one (0.3 %
//   of the part's extent).
// - Clearance: for each moving part and each keep-out line or circle of the
//   overlay (KeepOutItems), the least distance between them at any sample,
//   refined like an extreme, with its driver angle and notch. A part's pins and
//   disks count as filled circles; a keep-out shape is its line or curve (a
//   circle's rim, not its inside). 0 means they touch or cross.
//
// Notches are counted from mid gear: 0 mid gear, 1 to 18 forward (the port
// graph's notches, NotchPosition), -1 to -18 the same in reverse.
#pragma once

#include "analysis/Balance.h"
#include "analysis/DesignCheck.h"
#include "analysis/MotionData.h"
#include "analysis/ThreadPool.h"
#include "model/AppState.h"
#include "model/GearParts.h"

#include <array>
#include <string>
#include <vector>

inline constexpr int kEnvelopeNotchMax = 18;
inline constexpr int kEnvelopeNotches = 2 * kEnvelopeNotchMax + 1; // -18..18

struct EnvelopeSettings {
    // Ticked notches, index notch + kEnvelopeNotchMax; all to begin with.
    std::array<bool, kEnvelopeNotches> notch{};
    int samples = 360; // per revolution, from 8 to 36000
    EnvelopeSettings() { notch.fill(true); }
    bool Ticked(int n) const { return notch[static_cast<size_t>(n + kEnvelopeNotchMax)]; }
};

// The ticked notches in the order they are measured and ties are settled:
// mid gear, then outwards, forward before reverse (0, 1, -1, 2, -2, ...).
std::vector<int> EnvelopeNotchOrder(const EnvelopeSettings& settings);
// The reverse arm position of notch `n`.
float EnvelopeNotchPosition(const Gear& design, int n);
// "mid gear", "forward notch 6", "reverse notch 6".
std::string EnvelopeNotchText(int n);
// "forward", "reverse"; "mid gear" for 0.
std::string EnvelopeDirectionText(int n);

struct EnvelopeExtreme {
    float value = 0;
    float angle = 0; // driver angle, 0 <= angle < 360
    int notch = 0;
};
struct PivotExtremes {
    EnvelopeExtreme minX, maxX, minY, maxY;
};

struct PartClearance {
    GearPart part = GearPart::CrankMainRod;
    int item = 0;          // the keep-out line or circle, 1..20
    bool measured = false; // false: the shape was never drawn (a pivot index that names no point)
    float distance = 0;    // least distance, design units
    float angle = 0;
    int notch = 0;
};

struct SweptEnvelope {
    bool stopped = false; // stopped from outside: nothing else holds
    std::vector<int> notches;
    int samples = 0;         // per revolution
    long solves = 0;         // samples solved (notches x samples)
    long clampedSamples = 0; // of them, where the solver clamped
    std::array<PivotExtremes, kMotionPoints> pivots{};
    std::vector<PartOutline> outlines;    // the moving parts, in part order
    std::vector<PartClearance> clearance; // each moving part with each keep-out item
};

// Sweeps `design` (as given, with the mid gear it holds) with the overlay's
// keep-out shapes. `control` (may be null) stops it and receives progress
// 0..1000. The work runs on `pool`; the result is the same on any pool.
SweptEnvelope SweepEnvelope(const Gear& design, const Overlay& overlay, const EnvelopeSettings& settings,
                            BalanceControl* control = nullptr, ThreadPool& pool = ThreadPool::Shared());

// The least distance between a part's shapes and a keep-out shape (both where
// they stand): 0 when they touch or cross.
long double ShapeDistance(const PartShapes& part, const OverlayShape& shape);

// The extremes as CSV cells: the header Point, Name, MinX, MinXAngle,
// MinXNotch, MaxX, MaxXAngle, MaxXNotch, MinY, MinYAngle, MinYNotch, MaxY,
// MaxYAngle, MaxYNotch, then one row per point 0..18 ("P5", "eccentric
// centre"); lengths with 6 decimals, angles with 4.
std::vector<std::vector<std::string>> EnvelopeCsvRows(const SweptEnvelope& e);

// The clearance as table cells: Part, Item, Shape ("line", "circle"),
// Distance, Angle, Notch, Direction, Result (PASS / FAIL against `least`;
// a shape never drawn has only its name and "not drawn").
std::vector<std::vector<std::string>> ClearanceRows(const SweptEnvelope& e, const Overlay& overlay, float least);
// The clearance's header.
std::vector<std::string> ClearanceHeader(LengthUnit unit);

// The least clearance a design should keep, unless stated otherwise: 1/32 in,
// or 1 mm for a design in millimetres.
float DefaultLeastClearance(LengthUnit unit);

// The design check's rule "every part clears every keep-out shape by at least
// limits[Clearance]": one line with the least clearance found and where
// ("crank and main rod from item 2 (circle), reverse notch 6 at 123.45°");
// nothing when the envelope met no keep-out shape.
void AddClearanceCheck(DesignCheckResult& r, const SweptEnvelope& e, const Overlay& overlay, const CheckLimits& limits);

// The whole check of the design with the mid gear it holds: its events table
// (the engine rules at `topRpm`, 0: the top speed), and when its overlay has
// keep-out shapes, its envelope over every notch.
DesignCheckResult CheckDesignWithClearance(const AppState& s, const CheckLimits& limits, double topRpm = 0);
