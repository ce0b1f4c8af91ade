// Why a design cannot be assembled: which link cannot take its place, and over
// which driver angles.
//
// The solver notes every guard that clamps (Gear::SolveClamps, one bit per
// SolveGuard). SweepAssembly turns the driver once on a copy of the design, a
// solve every degree at the design's reverse arm setting, and keeps the angles
// at which each guard clamped; AssemblyExplanation says it in one line:
// "Eccentric rod cannot reach the rocker between 80° and 124°".
#pragma once

#include "model/AppState.h"
#include "model/Model.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

inline constexpr int kSweepDegrees = 360;

// The whole degrees 0..359 of a turn at which each guard clamped.
struct AssemblyClamps {
    std::array<std::bitset<kSweepDegrees>, kSolveGuardCount> at{};
    bool Any() const;
};

// One turn of a copy of the design (the live design is never touched): a
// solve and the openings at every whole degree, at its RevArmPos.
AssemblyClamps SweepAssembly(const Gear& design);

// Adds what one solve noted (its SolveClamps) at a driver angle, rounded to
// the whole degree within 0..359.
void AddClampSample(AssemblyClamps& clamps, float driverAngle, std::uint32_t solveClamps);

// What a guard means, as a user names the parts: "Eccentric rod cannot reach
// the rocker".
std::string SolveGuardText(SolveGuard guard);

// The angles of one guard: "between 80° and 124°" for each run of clamped
// degrees ("from 350° through 0° to 10°" for a run through 0°), "at 90°" for
// a single degree, joined with " and "; "at every driver angle" for the
// whole turn. Empty when the guard never clamped.
std::string ClampAnglesText(const std::bitset<kSweepDegrees>& degrees);

// Every guard that clamped, in guard order, each as "<what> <angles>" (a
// guard that is no matter of angle, such as a link of no length, without the
// angles), joined with "; ". Empty when none clamped.
std::string AssemblyExplanation(const AssemblyClamps& clamps);

// The two in one: SweepAssembly, then AssemblyExplanation.
std::string ExplainAssembly(const Gear& design);
