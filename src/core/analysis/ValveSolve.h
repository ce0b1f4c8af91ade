// The solve of the linkage that the valve events finder repeats hundreds of
// times a notch, cut down to what it reads: the valve joint (PointX[4]), the
// four openings and ValveCen, the piston position, and whether the solver
// clamped.
//
// It is SolveLinkage + ComputePistonAndOpenings (model/Model.cpp) step for
// step, with the same long double expressions in the same order and the same
// roundings to float, so every value is bit-identical to theirs; what it saves:
// - the points the valve does not depend on (crosshead, crank pin x, strap end
//   12, rocker elbow 11) are not computed; their clamp tests still are;
// - what depends on the reverse arm alone (points 18 and 10, the reverse head's
//   inclination and its sine and cosine) is solved once a notch (the constructor);
// - what depends on the driver angle alone (the eccentric centre, the piston,
//   their clamp tests; `CrankTerms`) is solved once an angle, shared by every
//   notch, and for the whole degrees of a turn kept between measurements
//   (`TurnCrankTerms`);
// - no Gear is copied or written.
// The differential test (tests/core/ValveEventsDiffTest.cpp) holds it to the
// full solve: any change to SolveLinkage must be made here too.
//
// One subtlety kept from the full solve: SolveLinkage reads PointY[3] (for the
// crosshead) and PointY[4] (for the valve rod) before it sets both to 0, so the
// first solve of a design copy sees the design's values and every later solve
// sees 0 (`FirstSolve`, `Solve`).
#pragma once

#include "model/AppState.h"

#include <array>

// The openings as the events finder indexes them.
enum ValveOpening : int { voFrontSteam = 0, voFrontExh = 1, voRearSteam = 2, voRearExh = 3 };

// What one solve gives the events finder, as the full solve leaves it in the Gear.
struct ValveSample {
    float piston = 0;            // PistonPx
    std::array<float, 4> open{}; // FrontSteamOpen, FrontExhOpen, RearSteamOpen, RearExhOpen
    float valveCen = 0;          // ValveCen
};

// The part of a solve that depends on the driver angle and the design only.
struct CrankTerms {
    float y2 = 0;         // crank pin height (the crosshead's clamp test)
    float x5 = 0, y5 = 0; // eccentric centre
    float piston = 0;     // PistonPx
    bool clamped = false; // a clamp of the crosshead (PointY[3] = 0) or the piston
};

inline constexpr int kWholeDegrees = 360;

class ValveSolver {
public:
    // The design at the reverse arm position `revArmPos` (the notch).
    ValveSolver(const Gear& design, float revArmPos);

    CrankTerms CrankAt(float angle) const;
    // CrankAt(k) for k = 0..359, faster.
    CrankTerms CrankAtWholeDegree(int k) const;
    // The first solve of a design copy (the design's PointY[3] and PointY[4]).
    ValveSample FirstSolve(float angle);
    // Every later solve; `crank` is CrankAt(angle) of this design.
    ValveSample Solve(const CrankTerms& crank);
    ValveSample Solve(float angle) { return Solve(CrankAt(angle)); }

    // A solve so far clamped a value (as Gear::SolveError with ErrorBeepOn).
    bool Clamped() const { return clamped_; }

    // A driver angle in radians with its sine and cosine.
    struct AngleTrig;

    // The design values CrankAt reads, as one key (compared bit for bit).
    using CrankKey = std::array<float, 6>;
    CrankKey CrankKeyOf() const;

private:
    void SetRevArmPos(float revArmPos);
    CrankTerms CrankFrom(float angle, const AngleTrig& trig, float y3) const;
    float ValveJoint(float x5, float y5, float y4);
    ValveSample SampleAt(float x4, float piston) const;

    // Design.
    float x1_, y1_, x9_, y9_, x15_, y15_;
    float y3Design_, y4Design_;
    float stroke_, mainRod_, eccCircle_, eccAngle_;
    float revHeadUpper_, revHeadLower_, strapLower_, strapUpper_, strapHorz_, eccRod_;
    float rockerLower_, rockerVert_, rockerHorz_, valveRod_;
    long double strapSum_, strapDen_; // EccStrapLower + EccStrapUpper; the same clamped (a denominator)
    long double eccRodDen_;           // EccRodLength, clamped
    long double rockerAtan_;          // atan(RockerUpperHorz / clamped RockerUpperVert)
    long double strokeDen_;           // Stroke, clamped
    long double pistonRodTerm_;       // 2 * MainRodLength / Stroke
    long double vcj_, e_, h_, bwf_, bwr_, vcf_, vcr_;
    long double frontSteamBase_, rearSteamBase_;
    bool designClamped_ = false; // a clamp of a denominator that is a dimension
    // Notch.
    float x18_ = 0, y18_ = 0, revHeadAngle_ = 0;
    long double sinRevHead_ = 0, cosRevHead_ = 0;
    bool notchClamped_ = false;
    bool clamped_ = false;
};

// CrankAt at the whole degrees 0..359 of the solver's design, kept per thread
// for the last design seen (a search measures many designs that differ in a
// dimension CrankAt does not read).
const std::array<CrankTerms, kWholeDegrees>& TurnCrankTerms(const ValveSolver& solver);
