// Valve events in numbers: for one notch of the reverse arm and one direction
// of running, the lead of both cylinder ends and the admission, cut-off,
// release and compression of each end, as driver angle and as percent of the
// stroke, found exactly rather than read off a graph.
//
// Every measurement reads the design and never writes it (each solve is the
// design's as if solved on a copy of it), so a search may measure thousands of
// trial copies, each with one dimension changed, from any number of threads.
// The unit of work is one notch in one direction; the full table is built from
// it. A caller that needs less asks for less (`NotchMeasure`): the leads alone
// cost two solves, the cut-offs alone the sampled turn and two refinements.
// The solves are those of SolveLinkage + ComputePistonAndOpenings, bit for bit,
// through the finder's cut-down solver (ValveSolve.h); the rows of the table
// and the parts of a notch run on a thread pool (ThreadPool.h).
//
// How an event is found:
// - one turn of the driver from angle 0 in the direction of running (forward:
//   angle increasing, reverse: decreasing), sampled every degree;
// - the event kinds and sign rules are those of the port graph: an opening
//   happens where the opening is >= 0 and was < 0 at the sample before, a
//   closing where it is <= 0 and was > 0 before. Admission and cut-off are the
//   opening and closing of an end's steam opening (FrontSteamOpen,
//   RearSteamOpen), release and compression the opening and closing of its
//   exhaust opening (FrontExhOpen, RearExhOpen);
// - the bracketing pair of samples is refined by bisection on the driver
//   angle, solving the linkage at every step, until the two angles are
//   adjacent floats or 1e-5 degrees apart; the event is reported at the angle
//   on the "after" side (where the port has just opened or closed), with the
//   piston position there;
// - a kind that happens more than once in the turn is reported at its first
//   occurrence counted from angle 0 in the direction of running, and the
//   notch is marked as having repeated events.
#pragma once

#include "analysis/ThreadPool.h"
#include "model/AppState.h"

#include <array>
#include <vector>

enum class Running { Forward, Reverse };

// The two ends of the cylinder. The front end's stroke begins at driver angle
// 0 (PistonPx 0), the rear end's at 180 (PistonPx 640).
enum CylinderEnd : int { endFront = 0, endRear = 1 };
inline constexpr int kCylinderEnds = 2;

// The events of one end, with the opening each is found on.
enum ValveEventKind : int {
    veAdmission = 0,   // the end's steam opening opens
    veCutOff = 1,      // the end's steam opening closes
    veRelease = 2,     // the end's exhaust opening opens
    veCompression = 3, // the end's exhaust opening closes
};
inline constexpr int kValveEventKinds = 4;

struct ValveEvent {
    bool occurs = false; // false: the event does not happen in the turn
    float angle = 0;     // driver angle in degrees, 0 <= angle < 360
    float percent = 0;   // percent of the stroke from the end's dead centre
};

// What a measurement computes.
enum NotchMeasure : unsigned {
    nmLeads = 1u,    // the two leads (two solves)
    nmEvents = 2u,   // the eight events (the sampled turn and the refinement)
    nmExtremes = 4u, // largest steam openings and valve travel (the sampled turn)
    nmAll = 7u,
    nmCutOffs = 8u, // the two cut-off events alone (the sampled turn, two refinements)
};

struct NotchEvents {
    float revArmPos = 0;
    Running running = Running::Forward;
    // Steam opening at the dead centre where the end's stroke begins: front
    // at driver angle 0, rear at 180; negative = blind.
    float leadFront = 0, leadRear = 0;
    std::array<std::array<ValveEvent, kValveEventKinds>, kCylinderEnds> event{}; // [end][kind]
    // Largest steam opening of each end over the turn.
    float maxSteamOpenFront = 0, maxSteamOpenRear = 0;
    // Largest minus smallest ValveCen over the turn.
    float valveTravel = 0;
    bool repeated = false; // some event kind happens more than once
    bool clamped = false;  // the solver clamped a value during the measurement
};

// Measures one notch: the design with RevArmPos = revArmPos, turned in the
// given direction. Only the parts in `what` are computed; the rest stay 0.
// The samples of the turn, then the refinements, are spread over `pool` (run
// on the caller alone inside a task of a pool, e.g. a row of the table); the
// result is the same whatever the pool.
NotchEvents MeasureNotch(const Gear& design, float revArmPos, Running running, unsigned what = nmAll,
                         ThreadPool& pool = ThreadPool::Shared());

// The leads of the design at mid gear (RevArmCentre).
NotchEvents MidGearLeads(const Gear& design);

// The reverse arm position of notch i (0..18) of the port graph,
// RevArmCentre +- i * RevArmMax / 18, as the port graph computes it.
float NotchPosition(const Gear& design, int i, Running running);
// The normal notch, RevArmCentre +- RevArmNormal.
float NormalNotchPosition(const Gear& design, Running running);

inline constexpr int kGraphNotches = 19;
inline constexpr int kNormalNotch = -1;

struct ValveEventsRow {
    int notch = 0; // 0..18, or kNormalNotch
    NotchEvents events;
};

// The whole table: forward, then reverse; in each direction the 19 notches
// of the port graph from mid gear outwards with the normal notch placed by its
// distance from mid gear (after the notches no farther out). The rows are
// measured in parallel on `pool`, one task a row (ThreadPool::Serial() measures
// them one after the other on the caller); the result is the same either way.
std::vector<ValveEventsRow> BuildValveEventsTable(const Gear& design, ThreadPool& pool = ThreadPool::Shared());
