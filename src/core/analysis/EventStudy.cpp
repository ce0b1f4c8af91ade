#include "analysis/EventStudy.h"

#include "analysis/ValveEventsTable.h"
#include "model/Model.h"

namespace {

// Columns of the events table: 3 and 4 the leads, from 5 a percent and an
// angle for each event of each end, then the openings and the travel.
constexpr int kLeadColumn = 3;
constexpr int kFirstEventColumn = 5;
constexpr int kOpeningColumn = 21;

// The first two cells of the events table's row.
TextRow RowCells(const EventsRow& row)
{
    ValveEventsRow r;
    r.notch = row.notch;
    r.events.running = row.running;
    return ValveEventsCells(r);
}

} // namespace

bool QuantityIsLength(int q) { return q == eqLeadFront || q == eqLeadRear || q >= eqMaxOpeningFront; }

int QuantityColumn(int q)
{
    if (q <= eqLeadRear) return kLeadColumn + q;
    if (q >= eqMaxOpeningFront) return kOpeningColumn + (q - eqMaxOpeningFront);
    return kFirstEventColumn + 2 * (q - eqFrontAdmission);
}

std::vector<std::string> QuantityNames(const Gear& design)
{
    const TextRow header = ValveEventsHeader(design.Unit);
    std::vector<std::string> names;
    for (int q = 0; q < kEventQuantities; ++q) names.push_back(header[static_cast<size_t>(QuantityColumn(q))]);
    return names;
}

bool QuantityValue(const NotchEvents& e, int q, long double& value)
{
    switch (q) {
    case eqLeadFront: value = e.leadFront; return true;
    case eqLeadRear: value = e.leadRear; return true;
    case eqMaxOpeningFront: value = e.maxSteamOpenFront; return true;
    case eqMaxOpeningRear: value = e.maxSteamOpenRear; return true;
    case eqValveTravel: value = e.valveTravel; return true;
    default: break;
    }
    const int k = q - eqFrontAdmission;
    const ValveEvent& v = e.event[static_cast<size_t>(k / kValveEventKinds)][static_cast<size_t>(k % kValveEventKinds)];
    value = v.percent;
    return v.occurs;
}

std::string RowDirectionText(const EventsRow& row) { return RowCells(row)[0]; }

std::string RowNotchText(const EventsRow& row) { return RowCells(row)[1]; }

std::vector<EventsRow> TableRows(const std::vector<ValveEventsRow>& table)
{
    std::vector<EventsRow> rows;
    rows.reserve(table.size());
    for (const ValveEventsRow& r : table) rows.push_back({r.events.running, r.notch});
    return rows;
}

float RowPosition(const Gear& design, const EventsRow& row)
{
    return row.notch == kNormalNotch ? NormalNotchPosition(design, row.running)
                                     : NotchPosition(design, row.notch, row.running);
}

RowTrial MeasureTrialRow(const Gear& design, const std::vector<DimensionValue>& values, const EventsRow& row)
{
    RowTrial t;
    bool clamped = false;
    const Gear trial = TrialDesign(design, values, &clamped);
    if (!values.empty()) t.stored = GetDimension(trial, values.front().code);
    t.events = MeasureNotch(trial, RowPosition(trial, row), row.running);
    t.clamped = clamped || t.events.clamped;
    return t;
}
