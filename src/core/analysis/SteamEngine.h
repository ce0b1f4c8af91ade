// What the gear does to the engine: one revolution of the cylinder in real
// units, at a notch, a direction and a speed, for both ends.
//
// Each end is a control volume: its volume from the piston position the
// solver gives (the exact obliquity of the main rod) and its clearance; steam
// enters from the chest and leaves to it through the steam-port opening the
// gear gives, and leaves to the exhaust (or is drawn back) through the exhaust
// opening, by the compressible flow of a nozzle, choked or not; the steam's
// properties from IAPWS-IF97 (SteamProperties.h). Each step in crank angle
// conserves mass and energy exactly: the mass and internal energy of the end
// change by what the openings carry and the work the piston takes. The ideal
// diagram (`PointOptions::ideal`) is the textbook reference drawn from the
// events as the events table measures them. README, "The steam performance
// model", gives the equations, the assumptions and what is left out.
//
// The work is split so that what the speed does not change is done once:
// `SolveEngineTurn` solves the linkage over a revolution for one notch and
// direction (piston, openings, events); `RunEnginePoint` runs the cycle on it
// at a speed; `RunPerformanceMap` does both over notches, directions and
// speeds on a thread pool, with progress and a stop flag.
//
// Arithmetic in double, as SteamProperties.h explains; figures are SI
// (m, m³, Pa, kg, J, W, N, s) until the texts turn them into the design's
// units (PerformanceText.h).
#pragma once

#include "analysis/SteamProperties.h"
#include "analysis/ThreadPool.h"
#include "analysis/ValveEvents.h"
#include "model/AppState.h"

#include <array>
#include <atomic>
#include <string>
#include <vector>

// ---------------------------------------------------------------- the engine
// The design's engine in SI, with the chest steam.
struct EngineSetup {
    LengthUnit unit = LengthUnit::Inch;                // the unit system of the figures
    bool unitAssumed = false;                          // the design states no unit: inches taken
    double lengthUnit = 0.0254;                        // m per length of the design (its openings)
    double stroke = 0;                                 // m
    double pistonArea = 0;                             // m² (the piston rod is not deducted)
    double sweptVolume = 0;                            // m³, each end
    std::array<double, kCylinderEnds> clearance{};     // share of the swept volume
    double steamPortLength = 0, exhaustPortLength = 0; // m
    double dischargeCoefficient = 0;
    // The widest opening of each end's port: the narrower of the port at the
    // valve face and the passage into the cylinder (m).
    std::array<double, kCylinderEnds> portWidth{};
    double wheel = 0; // m
    double cylinders = 0;
    double atmosphere = 0;   // Pa
    double backPressure = 0; // Pa, absolute
    SteamState chest;        // absolute pressure
    std::string problem;     // why the engine cannot run (empty when it can)
};

// The engine of design `g` with engine data `e` (the design's own, defaults,
// or either with changes).
EngineSetup MakeEngineSetup(const Gear& g, const EngineData& e);

// ---------------------------------------------------------------- a turn of the gear
// Points of a revolution per default: a point every degree.
inline constexpr int kDefaultTurnSteps = 360;

// One notch and direction of the gear over a revolution, for any speed: the
// points of the turn (every 360 / steps degrees, and the eight events of the
// events table exactly), in the order of running from driver angle 0.
struct EngineTurn {
    int notch = kNormalNotch; // 0..18, or the normal notch
    float revArmPos = 0;
    Running running = Running::Forward;
    NotchEvents events;                     // as the events table measures them
    std::vector<double> angle;              // driver angle of each point, 0 <= angle < 360
    std::vector<double> progress;           // degrees turned since angle 0, increasing from 0
    std::vector<double> piston;             // the piston's way from the front dead centre, share of the stroke
    std::vector<std::array<float, 4>> open; // the openings (ValveOpening order), design lengths
    // The point of each event, -1 for an event that does not happen.
    std::array<std::array<int, kValveEventKinds>, kCylinderEnds> eventPoint{};
    int frontStart = 0, rearStart = 0; // each end's start: the dead centre at the end of its stroke
    bool clamped = false;              // the linkage clamped somewhere in the turn
};

EngineTurn SolveEngineTurn(const Gear& design, int notch, Running running, int steps = kDefaultTurnSteps);

// ---------------------------------------------------------------- one point
struct PointOptions {
    bool ideal = false; // the ideal diagram instead of the cycle
    double n = 1;       // the ideal diagram's expansion and compression: p V^n = const
    int maxRevolutions = 40;
    double tolerance = 1e-4; // revolutions until the mean effective pressure changes by less (0.01 %)
    // Start each end from the state a point of the same turn ended in (a
    // neighbouring speed of a map) instead of the stated start: fewer
    // revolutions, the same result within the tolerance.
    const struct PointResult* from = nullptr;
};

// An event on the loop: where it is, and (for the ideal diagram's release and
// admission) the pressure just before it.
struct LoopEvent {
    bool occurs = false;
    int point = -1;
    double volume = 0, pressure = 0, pressureBefore = 0;
};

struct EndFigures {
    // The loop: volume (m³) and absolute pressure (Pa) at each point of the turn.
    std::vector<double> volume, pressure;
    std::array<LoopEvent, kValveEventKinds> event{};
    double work = 0;                                                     // J a revolution: the integral of p dV
    double mep = 0;                                                      // Pa
    double cutOffPressure = 0, releasePressure = 0, compressionPeak = 0; // Pa absolute (NaN: no such event)
    // What the openings carried in the revolution (kg, J): in from the chest,
    // back into it, out to the exhaust, drawn back from it.
    double massIn = 0, massBack = 0, massOut = 0, massDrawn = 0;
    double energyIn = 0, energyBack = 0, energyOut = 0, energyDrawn = 0;
    // The end's steam at the end of the revolution less at its start.
    double massChange = 0, energyChange = 0;
    // The start of the last revolution: the steam in the end (kg, J).
    double startMass = 0, startEnergy = 0;
};

struct PointResult {
    bool ok = false;
    std::string problem; // why not
    bool ideal = false;
    int notch = kNormalNotch;
    Running running = Running::Forward;
    double rpm = 0;
    int revolutions = 0;
    bool converged = false;
    std::array<EndFigures, kCylinderEnds> end{};
    double pistonSpeed = 0;                    // m/s
    double cutOff = 0;                         // % of stroke, the mean of the ends
    double mep = 0, mepFront = 0, mepRear = 0; // Pa
    double power = 0;                          // W, all cylinders
    double tractiveEffort = 0;                 // N at the rail
    double steamPerRevolution = 0;             // kg, all cylinders
    double steamPerHour = 0;                   // kg/h
    double steamRate = 0;                      // kg per joule of work (SI: kg/J)
    double cutOffPressureRatio = 0;            // the mean of the ends
    double releasePressure = 0;                // Pa absolute, the mean of the ends
    double compressionPeak = 0;                // Pa absolute, the higher end
    bool compressionAboveChest = false;        // the valve would lift, or the loop crosses
};

PointResult RunEnginePoint(const EngineTurn& turn, const EngineSetup& engine, double rpm,
                           const PointOptions& options = {});

// ---------------------------------------------------------------- a map
struct MapRequest {
    std::vector<Running> directions{Running::Forward};
    std::vector<int> notches{kNormalNotch};
    std::vector<double> rpms{120};
    PointOptions options;
    int steps = kDefaultTurnSteps;
};

// Progress and stop, shared with the thread that watches.
struct MapControl {
    std::atomic<bool> stop{false};
    std::atomic<int> done{0}; // points run so far
    int total = 0;            // points the map has
};

// Every point, direction by direction, notch by notch, speed by speed; each
// notch's turn solved once. A stopped map returns the points run (the others
// not ok, "stopped").
std::vector<PointResult> RunPerformanceMap(const Gear& design, const EngineSetup& engine, const MapRequest& request,
                                           MapControl* control = nullptr, ThreadPool& pool = ThreadPool::Shared());
