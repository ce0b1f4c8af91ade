#include "analysis/Sensitivity.h"

#include "analysis/BalanceText.h"
#include "analysis/SteamEngine.h"
#include "model/EngineData.h"
#include "model/Model.h"
#include "model/NumberText.h"

#include <algorithm>
#include <atomic>
#include <cmath>

using LD = long double;

namespace {

constexpr int kDerivativeDecimals = 4;
constexpr int kAngleCode = 6;

// The difference of two stored values of a dimension; two eccentric angles
// differ by less than half a turn.
LD StoredStep(int code, float up, float down)
{
    LD d = static_cast<LD>(up) - down;
    if (code == kAngleCode) {
        if (d > 180) d -= 360;
        if (d <= -180) d += 360;
    }
    return d;
}

// The trials of a dimension: its value + step, - step, + 2 steps, - 2 steps.
constexpr int kTrialsPerDimension = 4;
constexpr int kStepsOfTrial[kTrialsPerDimension] = {1, -1, 2, -2};

// The engine figures of a trial: power and steam rate in the design's units.
struct EngineTrial {
    bool ok = false;
    std::array<LD, 2> figure{};
};

EngineTrial RunEngineTrial(const Gear& trial, const EventsRow& row, double rpm)
{
    EngineTrial e;
    const PointResult p = RunEnginePoint(SolveEngineTurn(trial, row.notch, row.running),
                                         MakeEngineSetup(trial, EngineDataOf(trial)), rpm);
    e.ok = p.ok && p.power > 0;
    e.figure[0] = p.power / EngineUnitToSI(EngineQuantity::Power, trial.Unit);
    e.figure[1] = p.steamRate / EngineUnitToSI(EngineQuantity::SteamRate, trial.Unit);
    return e;
}

DimensionEffect Effect(int code, const Gear& design, const NotchEvents& nominal, const RowTrial* t,
                       const EngineTrial* engine)
{
    DimensionEffect e;
    e.code = code;
    e.value = GetDimension(design, code);
    // The two central differences' spans, as the trials store the values.
    const LD inner = StoredStep(code, t[0].stored, t[1].stored), outer = StoredStep(code, t[2].stored, t[3].stored);
    e.step = ToModelFloat(inner / 2);
    for (int k = 0; k < kTrialsPerDimension; ++k) e.clamped = e.clamped || t[k].clamped;
    e.noStep = !e.clamped && (inner == 0 || outer == 0);
    if (e.clamped || e.noStep) return e;
    std::array<LD, kEventQuantities> d{};
    for (int q = 0; q < kEventQuantities; ++q) {
        LD n = 0, f[kTrialsPerDimension] = {};
        if (!QuantityValue(nominal, q, n)) continue;
        bool all = true;
        for (int k = 0; k < kTrialsPerDimension; ++k) all = QuantityValue(t[k].events, q, f[k]) && all;
        if (!all) {
            e.lost = true;
            continue;
        }
        // Richardson's extrapolation of the two central differences: the
        // error of the step squared cancels.
        d[static_cast<size_t>(q)] = (4 * (f[0] - f[1]) / inner - (f[2] - f[3]) / outer) / 3;
        e.derivative[static_cast<size_t>(q)] = ToModelFloat(d[static_cast<size_t>(q)]);
        e.known[static_cast<size_t>(q)] = true;
    }
    const size_t front = EventQuantityOf(endFront, veCutOff), rear = EventQuantityOf(endRear, veCutOff);
    e.differenceKnown = e.known[front] && e.known[rear];
    if (e.differenceKnown) e.cutOffDifference = ToModelFloat(d[front] - d[rear]);
    if (engine) {
        bool all = true;
        for (int k = 0; k < kTrialsPerDimension; ++k) all = all && engine[k].ok;
        for (size_t q = 0; all && q < 2; ++q) {
            LD f[kTrialsPerDimension];
            for (int k = 0; k < kTrialsPerDimension; ++k) f[k] = engine[k].figure[q];
            e.engineDerivative[q] = ToModelFloat((4 * (f[0] - f[1]) / inner - (f[2] - f[3]) / outer) / 3);
            e.engineKnown[q] = true;
        }
    }
    return e;
}

std::string Derivative(bool known, float v) { return known ? DecimalText(v, kDerivativeDecimals) : std::string(); }

} // namespace

float SensitivityStep(const Gear& design, int code)
{
    if (code == kAngleCode) return kAngleStep;
    const LD stroke = std::fabs(static_cast<LD>(design.Stroke));
    return ToModelFloat((std::isfinite(stroke) && stroke > 0 ? stroke : 1.0L) * kStrokeStepFraction);
}

SensitivityResult MeasureSensitivity(const Gear& design, const EventsRow& row, BalanceControl* control,
                                     ThreadPool& pool, double engineRpm)
{
    SensitivityResult r;
    r.row = row;
    r.engineRpm = engineRpm > 0 ? engineRpm : 0;
    const std::vector<int> codes = BalanceDimensionCodes();
    // Trial 0 the design as it is (re-centred as every trial), then the four
    // trials of each dimension.
    std::vector<RowTrial> trials(1 + kTrialsPerDimension * codes.size());
    std::vector<EngineTrial> engine(r.engineRpm > 0 ? trials.size() : 0);
    std::atomic<int> done{0};
    pool.ParallelFor(trials.size(), [&](size_t i) {
        if (StopAsked(control)) return;
        std::vector<DimensionValue> values;
        if (i > 0) {
            const int code = codes[(i - 1) / kTrialsPerDimension];
            const LD v = GetDimension(design, code), h = SensitivityStep(design, code);
            values.push_back({code, ToModelFloat(v + kStepsOfTrial[(i - 1) % kTrialsPerDimension] * h)});
        }
        trials[i] = MeasureTrialRow(design, values, row);
        if (!engine.empty() && !trials[i].clamped)
            engine[i] = RunEngineTrial(TrialDesign(design, values), row, r.engineRpm);
        if (control) control->progress.store(++done * 1000 / static_cast<int>(trials.size()));
    });
    r.stopped = StopAsked(control);
    if (r.stopped) return r;
    r.nominal = trials[0].events;
    r.nominalClamped = trials[0].clamped;
    for (size_t k = 0; k < codes.size(); ++k)
        r.effects.push_back(Effect(codes[k], design, r.nominal, &trials[1 + kTrialsPerDimension * k],
                                   engine.empty() ? nullptr : &engine[1 + kTrialsPerDimension * k]));
    return r;
}

std::string EffectNotes(const DimensionEffect& e)
{
    if (e.clamped) return kNoteTrialsClamp;
    if (e.noStep) return kNoteNoStep;
    return e.lost ? kNoteEventLost : "";
}

std::vector<TextRow> SensitivityCsvRows(const Gear& design, const SensitivityResult& r)
{
    TextRow header = {"Dimension", "Value"};
    for (const std::string& n : QuantityNames(design)) header.push_back(n);
    const bool engine = r.engineRpm > 0;
    if (engine) {
        header.push_back("Power (" + EngineUnitText(EngineQuantity::Power, design.Unit) + ")");
        header.push_back("Steam rate (" + EngineUnitText(EngineQuantity::SteamRate, design.Unit) + ")");
    }
    header.push_back("Notes");
    std::vector<TextRow> rows = {header};
    for (const DimensionEffect& e : r.effects) {
        TextRow row = {DimensionName(e.code), ShortestText(e.value)};
        for (int q = 0; q < kEventQuantities; ++q)
            row.push_back(Derivative(e.known[static_cast<size_t>(q)], e.derivative[static_cast<size_t>(q)]));
        for (size_t q = 0; engine && q < 2; ++q) row.push_back(Derivative(e.engineKnown[q], e.engineDerivative[q]));
        row.push_back(EffectNotes(e));
        rows.push_back(std::move(row));
    }
    return rows;
}

int SensitivityColumns(const SensitivityResult& r) { return kSensitivityColumns + (r.engineRpm > 0 ? 2 : 0); }

TextRow SensitivityTableHeader(const Gear& design, bool engine)
{
    TextRow h = {"Dimension", "Value", "Front - rear cut-off (% stroke)"};
    for (const std::string& n : QuantityNames(design)) h.push_back(n);
    if (engine) {
        h.push_back("Power (" + EngineUnitText(EngineQuantity::Power, design.Unit) + ")");
        h.push_back("Steam rate (" + EngineUnitText(EngineQuantity::SteamRate, design.Unit) + ")");
    }
    h.push_back("Notes");
    return h;
}

TextRow SensitivityTableCells(const DimensionEffect& e, bool engine)
{
    TextRow row = {BalanceDimensionLabel(e.code), ShortestText(e.value)};
    for (int c = kSensitivityDifferenceColumn; c < kSensitivityColumns - 1 + (engine ? 2 : 0); ++c) {
        float v = 0;
        const bool known = EffectInColumn(e, c, v);
        row.push_back(Derivative(known, v));
    }
    row.push_back(EffectNotes(e));
    return row;
}

bool EffectInColumn(const DimensionEffect& e, int column, float& value)
{
    if (column == kSensitivityDifferenceColumn) {
        value = e.cutOffDifference;
        return e.differenceKnown;
    }
    const int q = column - kSensitivityFirstFigureColumn;
    if (q >= kEventQuantities && q < kEventQuantities + 2) {
        value = e.engineDerivative[static_cast<size_t>(q - kEventQuantities)];
        return e.engineKnown[static_cast<size_t>(q - kEventQuantities)];
    }
    if (q < 0 || q >= kEventQuantities) return false;
    value = e.derivative[static_cast<size_t>(q)];
    return e.known[static_cast<size_t>(q)];
}

std::vector<size_t> SensitivityOrder(const SensitivityResult& r, int column, bool descending)
{
    std::vector<size_t> order(r.effects.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    // Each effect's key: known or not, and a number or a text.
    struct Key {
        bool known = false;
        LD number = 0;
        std::string text;
    };
    std::vector<Key> keys(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        const DimensionEffect& e = r.effects[k];
        Key& key = keys[k];
        if (column == 0 || column == SensitivityColumns(r) - 1) {
            key.known = true;
            key.text = column == 0 ? BalanceDimensionLabel(e.code) : EffectNotes(e);
        } else if (column == 1) {
            key.known = true;
            key.number = e.value;
        } else {
            float v = 0;
            key.known = EffectInColumn(e, column, v);
            key.number = std::fabs(static_cast<LD>(v));
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const Key &ka = keys[a], &kb = keys[b];
        if (ka.known != kb.known) return ka.known;
        if (!ka.known) return false;
        if (ka.text != kb.text) return descending ? ka.text > kb.text : ka.text < kb.text;
        if (ka.number != kb.number) return descending ? ka.number > kb.number : ka.number < kb.number;
        return false;
    });
    return order;
}

float LargestEffect(const SensitivityResult& r, int column)
{
    LD most = 0;
    for (const DimensionEffect& e : r.effects) {
        float v = 0;
        if (EffectInColumn(e, column, v)) most = std::max(most, std::fabs(static_cast<LD>(v)));
    }
    return ToModelFloat(most);
}
