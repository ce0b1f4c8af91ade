#include "analysis/Sensitivity.h"

#include "analysis/BalanceText.h"
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

DimensionEffect Effect(int code, const Gear& design, const NotchEvents& nominal, const RowTrial& up,
                       const RowTrial& down)
{
    DimensionEffect e;
    e.code = code;
    e.value = GetDimension(design, code);
    const LD step = StoredStep(code, up.stored, down.stored);
    e.step = ToModelFloat(step);
    e.clamped = up.clamped || down.clamped;
    e.noStep = !e.clamped && step == 0;
    if (e.clamped || e.noStep) return e;
    std::array<LD, kEventQuantities> change{};
    for (int q = 0; q < kEventQuantities; ++q) {
        LD n = 0, a = 0, b = 0;
        if (!QuantityValue(nominal, q, n)) continue;
        if (!QuantityValue(up.events, q, a) || !QuantityValue(down.events, q, b)) {
            e.lost = true;
            continue;
        }
        change[static_cast<size_t>(q)] = a - b;
        e.derivative[static_cast<size_t>(q)] = ToModelFloat((a - b) / step);
        e.known[static_cast<size_t>(q)] = true;
    }
    const size_t front = EventQuantityOf(endFront, veCutOff), rear = EventQuantityOf(endRear, veCutOff);
    e.differenceKnown = e.known[front] && e.known[rear];
    if (e.differenceKnown) e.cutOffDifference = ToModelFloat((change[front] - change[rear]) / step);
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

SensitivityResult MeasureSensitivity(const Gear& design, const EventsRow& row, BalanceControl* control)
{
    SensitivityResult r;
    r.row = row;
    const std::vector<int> codes = BalanceDimensionCodes();
    // Trial 0 the design as it is (re-centred as every trial), then each
    // dimension up and down.
    std::vector<RowTrial> trials(1 + 2 * codes.size());
    std::atomic<int> done{0};
    ForEachTrial(trials.size(), [&](size_t i) {
        if (StopAsked(control)) return;
        std::vector<DimensionValue> values;
        if (i > 0) {
            const int code = codes[(i - 1) / 2];
            const LD v = GetDimension(design, code), h = SensitivityStep(design, code);
            values.push_back({code, ToModelFloat(i % 2 ? v + h : v - h)});
        }
        trials[i] = MeasureTrialRow(design, values, row);
        if (control) control->progress.store(++done * 1000 / static_cast<int>(trials.size()));
    });
    r.stopped = StopAsked(control);
    if (r.stopped) return r;
    r.nominal = trials[0].events;
    r.nominalClamped = trials[0].clamped;
    for (size_t k = 0; k < codes.size(); ++k)
        r.effects.push_back(Effect(codes[k], design, r.nominal, trials[1 + 2 * k], trials[2 + 2 * k]));
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
    header.push_back("Notes");
    std::vector<TextRow> rows = {header};
    for (const DimensionEffect& e : r.effects) {
        TextRow row = {DimensionName(e.code), ShortestText(e.value)};
        for (int q = 0; q < kEventQuantities; ++q)
            row.push_back(Derivative(e.known[static_cast<size_t>(q)], e.derivative[static_cast<size_t>(q)]));
        row.push_back(EffectNotes(e));
        rows.push_back(std::move(row));
    }
    return rows;
}

TextRow SensitivityTableHeader(const Gear& design)
{
    TextRow h = {"Dimension", "Value", "Front - rear cut-off (% stroke)"};
    for (const std::string& n : QuantityNames(design)) h.push_back(n);
    h.push_back("Notes");
    return h;
}

TextRow SensitivityTableCells(const DimensionEffect& e)
{
    TextRow row = {BalanceDimensionLabel(e.code), ShortestText(e.value)};
    for (int c = kSensitivityDifferenceColumn; c < kSensitivityColumns - 1; ++c) {
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
        if (column == 0 || column == kSensitivityColumns - 1) {
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
