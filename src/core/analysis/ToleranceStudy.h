// How exact each part must be, and what a worn gear does: the dimensions
// varied at random within their tolerances, the spread of every figure of
// the valve events table (EventStudy.h) over the notches of both directions.
//
// What is varied:
// - lengths: the sizes of the parts the valve's motion and events depend on,
//   codes 2, 3, 5, 7-12, 15-17, 20 (crank throw, main rod, eccentric throw,
//   strap, eccentric rod, reverse head, rocker, valve rod), 110-114 (exhaust
//   port, bridges, steam ports) and 118-122 (the valve's halves, cavities and
//   spindle), in the design's unit;
// - the angle: the eccentric angle, code 6, in degrees;
// - left out: where the frame holds the fixed pivots and the cylinder
//   (13, 14, 18, 19, 101, 102: positions set out when the gear is erected,
//   not the size of a part), the reverse arm's travel settings (21, 22:
//   settings of the reversing gear, not parts), and the sizes that are only
//   drawn (1, 4, 103-109, 115-117: crank disk, eccentric sheave, bore, piston,
//   valve chamber and heights), which no valve event depends on (their
//   sensitivity is exactly 0): two tables a study fewer for each.
// Each varied dimension has its own tolerance (ToleranceSettings::tolerance),
// one value for all lengths to begin with; a value is drawn uniformly within
// +-tolerance of the design's.
//
// Wear: "pin clearance" is the play of a link between two pins: the main rod
// (3), the eccentric rod (10) and the valve rod (20) — the links pinned at
// both ends, which carry their load along their length, so that the slack of
// their pins makes them longer or shorter. The levers (reverse head, rocker)
// and the eccentric strap are loaded across their arms: slack in their pins
// moves a pivot, not a length, and is not modelled. The play is applied both
// ways, each link in each sample at +play or -play (one fair coin per link,
// on top of its tolerance): a worn joint under load sits against one side of
// its clearance, never in the middle, and which side depends on the
// direction of the load, which a kinematic model does not know. A link with
// two pins of diametral clearance c each has a play of c (c/2 at each end).
//
// Random numbers: each sample k has its own generator seeded from the seed
// and k (SampleRandom, a 64-bit mixing generator with its own mapping to
// [-1, 1)), so a run gives the same figures, bit for bit, on every platform
// and whatever the number of threads. A sample draws, in this order, one
// number for every varied dimension (in code order, also when its tolerance
// is 0) and one per pinned link: changing one tolerance changes no other
// draw, and doubling every tolerance doubles every sample's deviation.
//
// A sample is a trial as the balance makes it (copy, values stored as typed
// ones, mid gear re-centred) whose whole table is measured. A sample whose
// trial clamps (in the re-centring, or in a row where the design as it is does
// not) or that loses an event (one the design has in a row and the sample
// does not) is counted and left out of every figure.
//
// The statistics of each row and figure over the samples left: min, max,
// mean and the standard deviation sqrt(sum (x - mean)^2 / (n - 1)) (none for
// one sample: its cell is empty), accumulated in sample order.
//
// The worst case that a part made at the edge of its tolerance gives: each
// varied dimension alone at +edge and at -edge (its tolerance, plus the play
// for a pinned link), every other part as designed, the whole table measured
// (two tables per part). "Worst low" and "worst high" of a row and figure are
// the lowest and highest figure any one part at either edge gives, and the
// worst part the part and edge that moves it farthest from the design's
// figure: which part's tolerance matters for which event, measured, nothing
// extrapolated. The samples show what all parts at once do. When a part at an
// edge makes the gear clamp there, or loses the event, the figure has no worst
// case (the worst part names it) and is counted.
//
// The edge trials and the samples (512 at a time) go to the thread pool: on two
// cores the calling thread (the window's worker, or the command line's main
// thread) and the pool's worker each take the next trial or sample and
// measure its whole table on their own (the table's rows then run inline on
// that thread). Each writes only its own slot and the figures are added up in
// sample order after each batch, so they do not depend on the number of
// threads.
#pragma once

#include "analysis/Balance.h"
#include "analysis/EventStudy.h"
#include "analysis/ThreadPool.h"
#include "files/TextTable.h"
#include "model/AppState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The 24 varied dimensions in code order (lengths and the eccentric angle).
std::vector<int> ToleranceDimensionCodes();
bool IsToleranceAngle(int code);
// The links between two pins that pin clearance lengthens or shortens.
bool IsPinnedLink(int code);
inline constexpr int kPinnedLinks[] = {3, 10, 20};

inline constexpr int kDefaultSamples = 500;
inline constexpr int kMaxSamples = 100000;

struct ToleranceSettings {
    std::vector<float> tolerance; // one per code of ToleranceDimensionCodes(), in that order
    float pinClearance = 0;       // the play of each pinned link, in the design's unit
    int samples = kDefaultSamples;
    std::uint64_t seed = 1;
};

// Every length at +-lengths, the eccentric angle at +-angle (degrees).
ToleranceSettings UniformTolerances(float lengths, float angle = 0);

// Empty when the settings make a study: a tolerance for every varied dimension,
// each finite and >= 0, a finite pin clearance >= 0, 1..kMaxSamples samples.
std::string CheckToleranceSettings(const ToleranceSettings& settings);

// The generator of one sample.
class SampleRandom {
public:
    SampleRandom(std::uint64_t seed, std::uint64_t index);
    std::uint64_t Next();
    // Uniform on [-1, 1): the top 53 bits of Next() as k / 2^52 - 1, exact in
    // a double.
    double Unit();

private:
    std::uint64_t state_;
};

// The values of sample `index` (each varied dimension and pinned link whose
// value differs from the design's), as they are stored in its trial.
std::vector<DimensionValue> SampleValues(const Gear& design, const ToleranceSettings& settings, std::uint64_t index);

enum class WorstFails { None, Clamps, Loses };

struct QuantitySpread {
    bool nominalKnown = false; // the event happens in the design as it is
    float nominal = 0;
    int count = 0; // samples measured (the valid ones)
    float min = 0, max = 0, mean = 0, stdDev = 0;
    // Every part at either edge measures the figure (no edges: the design's).
    bool worstKnown = false;
    float worstLow = 0, worstHigh = 0;
    int worstCode = 0; // the part whose edge moves the figure farthest, or the first that fails it; 0: none
    int worstSide = 0; // ... at +edge (1) or -edge (-1)
    WorstFails worstFails = WorstFails::None; // how that part fails it
};

struct ToleranceRow {
    EventsRow row;
    bool nominalClamped = false;
    std::array<QuantitySpread, kEventQuantities> figure{};
};

enum class ToleranceOutcome {
    Done,          // figures for the valid samples
    NoValidSample, // every sample clamped or lost an event
    Stopped,       // stopped from outside: no figures
    Invalid,       // the settings make no study (error says why)
};

struct ToleranceResult {
    ToleranceOutcome outcome = ToleranceOutcome::Invalid;
    std::string error;
    std::vector<ToleranceRow> rows; // the events table's rows in its order
    int samples = 0, valid = 0, clamped = 0, lost = 0;
    int worstLeftOut = 0; // figures without a worst case
};

// The study of (a copy of) the design as it opens from its file.
ToleranceResult RunToleranceStudy(const Gear& design, const ToleranceSettings& settings,
                                  BalanceControl* control = nullptr, ThreadPool& pool = ThreadPool::Shared());

// "Direction,Notch,Event,Nominal,Min,Max,Mean,StdDev" and one row per row of
// the table and figure (Direction and Notch as the events table writes them,
// Event its column name); percents with 4 decimals, lengths with 6; the
// statistics empty without a valid sample, every cell empty for an event
// that does not happen in the design; StdDev empty with one valid sample.
std::vector<TextRow> ToleranceCsvRows(const Gear& design, const ToleranceResult& r);
// The window's rows: the same with "Worst low", "Worst high" and "Worst part"
// after StdDev; the part as its identifier and edge ("ValveRodLength +"),
// with " clamps" or " loses the event" when it fails the figure.
std::vector<TextRow> ToleranceTableRows(const Gear& design, const ToleranceResult& r);

// The time a study has left, from the time it has taken so far and its
// progress (0..1000, in trials, which take about the same time each):
// elapsed * (1000 - progress) / progress. False while too little is done to
// tell (nothing yet, or less than half a second).
bool StudySecondsLeft(long double elapsedSeconds, int progress, long double& left);

// "500 samples: 480 used, 15 clamped, 5 lost an event." and the worst cases
// left out, when there are.
std::string ToleranceSummary(const ToleranceResult& r);
