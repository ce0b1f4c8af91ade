#include "analysis/ToleranceStudy.h"

#include "analysis/ValveEventsTable.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <map>

using LD = long double;

namespace {

// Samples measured at once before their figures are added up in order.
constexpr size_t kChunk = 64;
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
    std::vector<unsigned char> rowClamped;        // per row
    std::vector<float> value;                     // row * kEventQuantities + figure
    std::vector<unsigned char> known;             // ... the figure was measured
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

std::vector<DimensionValue> CornerValues(const std::vector<Edge>& edges, const std::vector<signed char>& signs)
{
    std::vector<DimensionValue> values;
    for (size_t j = 0; j < edges.size(); ++j)
        if (signs[j] != 0) values.push_back({edges[j].code, ToModelFloat(edges[j].value + signs[j] * edges[j].edge)});
    return values;
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
    }
    std::vector<TextRow> out = {header};
    const std::vector<std::string> names = QuantityNames(design);
    for (const ToleranceRow& row : r.rows)
        for (int q = 0; q < kEventQuantities; ++q) {
            const QuantitySpread& s = row.figure[static_cast<size_t>(q)];
            const bool stats = s.nominalKnown && s.count > 0;
            TextRow cells = {RowDirectionText(row.row), RowNotchText(row.row), names[static_cast<size_t>(q)],
                             Figure(s.nominalKnown, s.nominal, q),
                             Figure(stats, s.min, q),
                             Figure(stats, s.max, q),
                             Figure(stats, s.mean, q),
                             Figure(stats, s.stdDev, q)};
            if (worst) {
                cells.push_back(Figure(s.nominalKnown && s.lowKnown, s.worstLow, q));
                cells.push_back(Figure(s.nominalKnown && s.highKnown, s.worstHigh, q));
            }
            out.push_back(std::move(cells));
        }
    return out;
}

} // namespace

std::vector<int> ToleranceDimensionCodes()
{
    std::vector<int> codes;
    for (int c = 1; c <= 20; ++c)
        if (c != 13 && c != 14 && c != 18 && c != 19) codes.push_back(c);
    for (int c = 103; c <= 122; ++c) codes.push_back(c);
    return codes;
}

bool IsToleranceAngle(int code) { return code == 6; }

bool IsPinnedLink(int code) { return std::find(std::begin(kPinnedLinks), std::end(kPinnedLinks), code) != std::end(kPinnedLinks); }

ToleranceSpec UniformTolerances(float lengths, float angle)
{
    ToleranceSpec spec;
    for (int code : ToleranceDimensionCodes()) spec.tolerance.push_back(IsToleranceAngle(code) ? angle : lengths);
    return spec;
}

std::string CheckToleranceSpec(const ToleranceSpec& spec)
{
    const std::vector<int> codes = ToleranceDimensionCodes();
    if (spec.tolerance.size() != codes.size()) return "Give a tolerance for every dimension.";
    for (size_t k = 0; k < codes.size(); ++k)
        if (!std::isfinite(spec.tolerance[k]) || spec.tolerance[k] < 0)
            return "The tolerance of " + DimensionName(codes[k]) + " must be a number of 0 or more.";
    if (!std::isfinite(spec.pinClearance) || spec.pinClearance < 0)
        return "The pin clearance must be a number of 0 or more.";
    if (spec.samples < 1 || spec.samples > kMaxSamples)
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

std::vector<DimensionValue> SampleValues(const Gear& design, const ToleranceSpec& spec, std::uint64_t index)
{
    SampleRandom random(spec.seed, index);
    const std::vector<int> codes = ToleranceDimensionCodes();
    std::vector<LD> value(codes.size());
    for (size_t k = 0; k < codes.size(); ++k)
        value[k] = static_cast<LD>(GetDimension(design, codes[k])) + static_cast<LD>(spec.tolerance[k]) * random.Unit();
    for (int link : kPinnedLinks) {
        const LD play = random.Unit() < 0 ? -static_cast<LD>(spec.pinClearance) : spec.pinClearance;
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

ToleranceResult RunToleranceStudy(const Gear& design, const ToleranceSpec& spec, BalanceControl* control,
                                  ThreadPool& pool)
{
    ToleranceResult out;
    out.error = CheckToleranceSpec(spec);
    if (!out.error.empty()) return out;
    const std::vector<int> codes = ToleranceDimensionCodes();
    const TableFigures nominal = MeasureTable(design, {});
    const std::vector<EventsRow> rows = TableRows(BuildValveEventsTable(TrialDesign(design, {})));
    const size_t figures = nominal.value.size();

    std::vector<Edge> edges;
    for (size_t k = 0; k < codes.size(); ++k) {
        const LD edge = static_cast<LD>(spec.tolerance[k]) + (IsPinnedLink(codes[k]) ? spec.pinClearance : 0.0f);
        if (edge > 0) edges.push_back({codes[k], GetDimension(design, codes[k]), edge});
    }
    const size_t samples = static_cast<size_t>(spec.samples);
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
            got[i] = MeasureTable(design, SampleValues(design, spec, first + i));
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
    out.samples = spec.samples;

    // The corners: for each row and figure the signs of the effects, each
    // distinct corner of a row measured once.
    struct Corner {
        size_t row;
        std::vector<signed char> signs;
    };
    std::vector<Corner> corners;
    std::vector<std::map<std::vector<signed char>, size_t>> cornerOf(rows.size());
    // [figure][0: low, 1: high]: the corner measured, or none.
    constexpr size_t kNone = static_cast<size_t>(-1);
    std::vector<std::array<size_t, 2>> cornerAt(figures, {kNone, kNone});
    for (size_t r = 0; r < rows.size(); ++r)
        for (int q = 0; q < kEventQuantities; ++q) {
            const size_t k = r * kEventQuantities + static_cast<size_t>(q);
            if (!nominal.known[k]) continue;
            std::vector<signed char> signs(edges.size(), 0);
            bool measurable = true;
            for (size_t j = 0; j < edges.size() && measurable; ++j) {
                const TableFigures &up = edgeTables[2 * j], &down = edgeTables[2 * j + 1];
                measurable = !ClampsAt(up, nominal, r) && !ClampsAt(down, nominal, r) && up.known[k] && down.known[k];
                if (measurable) signs[j] = static_cast<signed char>((up.value[k] > down.value[k]) - (up.value[k] < down.value[k]));
            }
            if (!measurable) continue;
            for (size_t side = 0; side < 2; ++side) {
                std::vector<signed char> s = signs;
                if (side == 0)
                    for (signed char& x : s) x = static_cast<signed char>(-x);
                auto [it, fresh] = cornerOf[r].emplace(s, corners.size());
                if (fresh) corners.push_back({r, s});
                cornerAt[k][side] = it->second;
            }
        }
    std::vector<RowTrial> cornerTrials(corners.size());
    pool.ParallelFor(corners.size(), [&](size_t i) {
        if (StopAsked(control)) return;
        cornerTrials[i] = MeasureTrialRow(design, CornerValues(edges, corners[i].signs), rows[corners[i].row]);
    });
    if (StopAsked(control)) {
        out = ToleranceResult{};
        out.outcome = ToleranceOutcome::Stopped;
        return out;
    }

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
            for (size_t side = 0; side < 2; ++side) {
                bool known = false;
                LD v = 0;
                if (cornerAt[k][side] != kNone) {
                    const RowTrial& t = cornerTrials[cornerAt[k][side]];
                    const bool clamps = t.clamped && !nominal.rowClamped[r];
                    known = !clamps && QuantityValue(t.events, q, v);
                }
                if (!known) ++out.worstLeftOut;
                (side == 0 ? s.lowKnown : s.highKnown) = known;
                (side == 0 ? s.worstLow : s.worstHigh) = ToModelFloat(v);
            }
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
        s += " " + std::to_string(r.worstLeftOut) + " worst cases could not be measured (the gear clamps or loses "
                                                     "the event at the edges).";
    return s;
}
