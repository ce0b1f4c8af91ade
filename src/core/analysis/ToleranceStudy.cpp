#include "analysis/ToleranceStudy.h"

#include "analysis/ValveEventsTable.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

using LD = long double;

namespace {

// Samples measured at once before their figures are added up in order.
constexpr size_t kChunk = 512;
constexpr int kPercentDecimals = 4;
constexpr int kLengthDecimals = 6;

std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A measured table as its figures, row by row.
struct TableFigures {
    bool recentreClamped = false;
    std::vector<unsigned char> rowClamped; // per row
    std::vector<float> value;              // row * kEventQuantities + figure
    std::vector<unsigned char> known;      // ... the figure was measured
    size_t Rows() const { return rowClamped.size(); }
};

TableFigures Figures(const std::vector<ValveEventsRow>& table)
{
    TableFigures f;
    f.rowClamped.resize(table.size());
    f.value.resize(table.size() * kEventQuantities);
    f.known.resize(table.size() * kEventQuantities);
    for (size_t r = 0; r < table.size(); ++r) {
        f.rowClamped[r] = table[r].events.clamped;
        for (int q = 0; q < kEventQuantities; ++q) {
            LD v = 0;
            const size_t at = r * kEventQuantities + static_cast<size_t>(q);
            f.known[at] = QuantityValue(table[r].events, q, v);
            f.value[at] = ToModelFloat(v);
        }
    }
    return f;
}

TableFigures MeasureTable(const Gear& design, const std::vector<DimensionValue>& values)
{
    bool clamped = false;
    TableFigures f = Figures(BuildValveEventsTable(TrialDesign(design, values, &clamped)));
    f.recentreClamped = clamped;
    return f;
}

// A trial clamps at a row where the design as it is does not.
bool ClampsAt(const TableFigures& t, const TableFigures& nominal, size_t row)
{
    return t.recentreClamped || (t.rowClamped[row] && !nominal.rowClamped[row]);
}

enum class SampleState { NotRun, Valid, Clamped, Lost };

SampleState Judge(const TableFigures& s, const TableFigures& nominal)
{
    if (s.Rows() != nominal.Rows()) return SampleState::Clamped;
    for (size_t r = 0; r < s.Rows(); ++r)
        if (ClampsAt(s, nominal, r)) return SampleState::Clamped;
    for (size_t k = 0; k < s.known.size(); ++k)
        if (nominal.known[k] && !s.known[k]) return SampleState::Lost;
    return SampleState::Valid;
}

// Running statistics of one figure, added to in sample order (Welford).
struct Accumulator {
    long long n = 0;
    LD mean = 0, m2 = 0;
    LD min = std::numeric_limits<LD>::infinity(), max = -std::numeric_limits<LD>::infinity();
    void Add(LD x)
    {
        ++n;
        const LD d = x - mean;
        mean += d / static_cast<LD>(n);
        m2 += d * (x - mean);
        min = std::min(min, x);
        max = std::max(max, x);
    }
};

// A dimension tried at the edges of its tolerance.
struct Edge {
    int code = 0;
    LD value = 0, edge = 0;
};

// The worst case of figure k (row r) over the parts at their edges.
void WorstOfEdges(QuantitySpread& s, const std::vector<Edge>& edges, const std::vector<TableFigures>& tables,
                  const TableFigures& nominal, size_t r, size_t k)
{
    s.worstKnown = true;
    s.worstLow = s.worstHigh = s.nominal;
    LD farthest = 0; // a part that moves nothing is no worst part
    for (size_t i = 0; i < tables.size(); ++i) {
        const TableFigures& t = tables[i];
        const int code = edges[i / 2].code, side = i % 2 ? -1 : 1;
        const bool clamps = ClampsAt(t, nominal, r);
        if (clamps || !t.known[k]) {
            if (s.worstKnown) {
                s.worstKnown = false;
                s.worstCode = code;
                s.worstSide = side;
                s.worstFails = clamps ? WorstFails::Clamps : WorstFails::Loses;
            }
            continue;
        }
        if (!s.worstKnown) continue;
        const float v = t.value[k];
        s.worstLow = std::min(s.worstLow, v);
        s.worstHigh = std::max(s.worstHigh, v);
        const LD away = std::fabs(static_cast<LD>(v) - s.nominal);
        if (away > farthest) {
            farthest = away;
            s.worstCode = code;
            s.worstSide = side;
        }
    }
    if (!s.worstKnown) s.worstLow = s.worstHigh = 0;
}

std::string WorstPart(const QuantitySpread& s)
{
    if (!s.nominalKnown || s.worstCode == 0) return "";
    std::string t = DimensionName(s.worstCode) + (s.worstSide > 0 ? " +" : " -");
    if (!s.worstKnown) t += s.worstFails == WorstFails::Clamps ? " clamps" : " loses the event";
    return t;
}

std::string Figure(bool known, long double v, int q)
{
    return known ? DecimalText(v, QuantityIsLength(q) ? kLengthDecimals : kPercentDecimals) : std::string();
}

std::vector<TextRow> Rows(const Gear& design, const ToleranceResult& r, bool worst)
{
    TextRow header = {"Direction", "Notch", "Event", "Nominal", "Min", "Max", "Mean", "StdDev"};
    if (worst) {
        header.push_back("Worst low");
        header.push_back("Worst high");
        header.push_back("Worst part");
    }
    std::vector<TextRow> out = {header};
    const std::vector<std::string> names = QuantityNames(design);
    for (const ToleranceRow& row : r.rows)
        for (int q = 0; q < kEventQuantities; ++q) {
            const QuantitySpread& s = row.figure[static_cast<size_t>(q)];
            const bool stats = s.nominalKnown && s.count > 0;
            TextRow cells = {RowDirectionText(row.row),     RowNotchText(row.row),
                             names[static_cast<size_t>(q)], Figure(s.nominalKnown, s.nominal, q),
                             Figure(stats, s.min, q),       Figure(stats, s.max, q),
                             Figure(stats, s.mean, q),      Figure(stats && s.count > 1, s.stdDev, q)};
            if (worst) {
                cells.push_back(Figure(s.nominalKnown && s.worstKnown, s.worstLow, q));
                cells.push_back(Figure(s.nominalKnown && s.worstKnown, s.worstHigh, q));
                cells.push_back(WorstPart(s));
            }
            out.push_back(std::move(cells));
        }
    return out;
}

} // namespace

std::vector<int> ToleranceDimensionCodes()
{
    return {2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 15, 16, 17, 20, 110, 111, 112, 113, 114, 118, 119, 120, 121, 122};
}

bool IsToleranceAngle(int code) { return code == 6; }

bool IsPinnedLink(int code)
{
    return std::find(std::begin(kPinnedLinks), std::end(kPinnedLinks), code) != std::end(kPinnedLinks);
}

ToleranceSettings UniformTolerances(float lengths, float angle)
{
    ToleranceSettings settings;
    for (int code : ToleranceDimensionCodes()) settings.tolerance.push_back(IsToleranceAngle(code) ? angle : lengths);
    return settings;
}

std::string CheckToleranceSettings(const ToleranceSettings& settings)
{
    const std::vector<int> codes = ToleranceDimensionCodes();
    if (settings.tolerance.size() != codes.size()) return "Give a tolerance for every dimension.";
    for (size_t k = 0; k < codes.size(); ++k)
        if (!std::isfinite(settings.tolerance[k]) || settings.tolerance[k] < 0)
            return "The tolerance of " + DimensionName(codes[k]) + " must be a number of 0 or more.";
    if (!std::isfinite(settings.pinClearance) || settings.pinClearance < 0)
        return "The pin clearance must be a number of 0 or more.";
    if (settings.samples < 1 || settings.samples > kMaxSamples)
        return "The samples must be a whole number from 1 to " + std::to_string(kMaxSamples) + ".";
    return "";
}

SampleRandom::SampleRandom(std::uint64_t seed, std::uint64_t index)
    : state_(Mix(seed) ^ Mix(index * 0xD1B54A32D192ED03ULL + 0x8BB84B93962EACC9ULL))
{}

std::uint64_t SampleRandom::Next()
{
    state_ += 0x9E3779B97F4A7C15ULL;
    return Mix(state_);
}

double SampleRandom::Unit()
{
    const auto k = static_cast<std::int64_t>(Next() >> 11) - (std::int64_t{1} << 52);
    return static_cast<double>(k) * 0x1p-52;
}

std::vector<DimensionValue> SampleValues(const Gear& design, const ToleranceSettings& settings, std::uint64_t index)
{
    SampleRandom random(settings.seed, index);
    const std::vector<int> codes = ToleranceDimensionCodes();
    std::vector<LD> value(codes.size());
    for (size_t k = 0; k < codes.size(); ++k)
        value[k] =
            static_cast<LD>(GetDimension(design, codes[k])) + static_cast<LD>(settings.tolerance[k]) * random.Unit();
    for (int link : kPinnedLinks) {
        const LD play = random.Unit() < 0 ? -static_cast<LD>(settings.pinClearance) : settings.pinClearance;
        const size_t k = static_cast<size_t>(std::find(codes.begin(), codes.end(), link) - codes.begin());
        value[k] += play;
    }
    std::vector<DimensionValue> values;
    for (size_t k = 0; k < codes.size(); ++k) {
        const float v = ToModelFloat(value[k]);
        if (v != GetDimension(design, codes[k])) values.push_back({codes[k], v});
    }
    return values;
}

ToleranceResult RunToleranceStudy(const Gear& design, const ToleranceSettings& settings, BalanceControl* control,
                                  ThreadPool& pool)
{
    ToleranceResult out;
    out.error = CheckToleranceSettings(settings);
    if (!out.error.empty()) return out;
    const std::vector<int> codes = ToleranceDimensionCodes();
    // The design as it is, re-centred as every trial is.
    bool clamped = false;
    const std::vector<ValveEventsRow> table = BuildValveEventsTable(TrialDesign(design, {}, &clamped), pool);
    TableFigures nominal = Figures(table);
    nominal.recentreClamped = clamped;
    const std::vector<EventsRow> rows = TableRows(table);
    const size_t figures = nominal.value.size();

    std::vector<Edge> edges;
    for (size_t k = 0; k < codes.size(); ++k) {
        const LD edge =
            static_cast<LD>(settings.tolerance[k]) + (IsPinnedLink(codes[k]) ? settings.pinClearance : 0.0f);
        if (edge > 0) edges.push_back({codes[k], GetDimension(design, codes[k]), edge});
    }
    const size_t samples = static_cast<size_t>(settings.samples);
    const int units = static_cast<int>(2 * edges.size() + samples);
    std::atomic<int> done{0};
    const auto tick = [&] {
        if (control) control->progress.store(std::min(999, ++done * 1000 / std::max(1, units)));
    };

    // Each edge alone, up and down.
    std::vector<TableFigures> edgeTables(2 * edges.size());
    pool.ParallelFor(edgeTables.size(), [&](size_t i) {
        if (StopAsked(control)) return;
        const Edge& e = edges[i / 2];
        edgeTables[i] = MeasureTable(design, {{e.code, ToModelFloat(e.value + (i % 2 ? -e.edge : e.edge))}});
        tick();
    });

    // The samples, a chunk at a time, added up in sample order.
    std::vector<Accumulator> acc(figures);
    for (size_t first = 0; first < samples && !StopAsked(control); first += kChunk) {
        const size_t n = std::min(kChunk, samples - first);
        std::vector<TableFigures> got(n);
        std::vector<SampleState> state(n, SampleState::NotRun);
        pool.ParallelFor(n, [&](size_t i) {
            if (StopAsked(control)) return;
            got[i] = MeasureTable(design, SampleValues(design, settings, first + i));
            state[i] = Judge(got[i], nominal);
            tick();
        });
        for (size_t i = 0; i < n; ++i) {
            if (state[i] == SampleState::Clamped) ++out.clamped;
            if (state[i] == SampleState::Lost) ++out.lost;
            if (state[i] != SampleState::Valid) continue;
            ++out.valid;
            for (size_t k = 0; k < figures; ++k)
                if (got[i].known[k]) acc[k].Add(got[i].value[k]);
        }
    }
    if (StopAsked(control)) {
        out.outcome = ToleranceOutcome::Stopped;
        out.valid = out.clamped = out.lost = 0;
        return out;
    }
    out.samples = settings.samples;

    for (size_t r = 0; r < rows.size(); ++r) {
        ToleranceRow row;
        row.row = rows[r];
        row.nominalClamped = nominal.rowClamped[r];
        for (int q = 0; q < kEventQuantities; ++q) {
            const size_t k = r * kEventQuantities + static_cast<size_t>(q);
            QuantitySpread& s = row.figure[static_cast<size_t>(q)];
            s.nominalKnown = nominal.known[k];
            if (!s.nominalKnown) continue;
            s.nominal = nominal.value[k];
            const Accumulator& a = acc[k];
            s.count = static_cast<int>(a.n);
            if (a.n > 0) {
                s.min = ToModelFloat(a.min);
                s.max = ToModelFloat(a.max);
                s.mean = ToModelFloat(a.mean);
                s.stdDev = ToModelFloat(a.n > 1 ? std::sqrt(a.m2 / static_cast<LD>(a.n - 1)) : 0.0L);
            }
            WorstOfEdges(s, edges, edgeTables, nominal, r, k);
            if (!s.worstKnown) ++out.worstLeftOut;
        }
        out.rows.push_back(row);
    }
    out.outcome = out.valid > 0 ? ToleranceOutcome::Done : ToleranceOutcome::NoValidSample;
    if (control) control->progress.store(1000);
    return out;
}

std::vector<TextRow> ToleranceCsvRows(const Gear& design, const ToleranceResult& r) { return Rows(design, r, false); }

std::vector<TextRow> ToleranceTableRows(const Gear& design, const ToleranceResult& r) { return Rows(design, r, true); }

std::string ToleranceSummary(const ToleranceResult& r)
{
    std::string s = std::to_string(r.samples) + (r.samples == 1 ? " sample: " : " samples: ") +
                    std::to_string(r.valid) + " used, " + std::to_string(r.clamped) + " clamped, " +
                    std::to_string(r.lost) + " lost an event.";
    if (r.worstLeftOut > 0)
        s += " " + std::to_string(r.worstLeftOut) +
             " figures have no worst case (a part at the edge of its tolerance clamps the gear or loses the event).";
    return s;
}

bool StudySecondsLeft(long double elapsedSeconds, int progress, long double& left)
{
    if (progress < 1 || !(elapsedSeconds >= 0.5L)) return false;
    left = elapsedSeconds * (1000 - std::min(progress, 1000)) / progress;
    return true;
}
