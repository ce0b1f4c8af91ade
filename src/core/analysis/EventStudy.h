// What the sensitivity and tolerance studies share: the thirteen figures of a
// row of the valve events table that they follow, the rows themselves and a
// trial design measured at a row.
//
// The figures are the events table's own: the two leads, the admission,
// cut-off, release and compression of each end as percent of the stroke, the
// largest steam opening of each end and the valve travel (the driver angles
// are left out: a percent of the stroke says the same and does not wrap at
// 360). Their names are the table's column names, taken from its header.
#pragma once

#include "analysis/Balance.h"
#include "analysis/ValveEvents.h"
#include "model/AppState.h"

#include <string>
#include <vector>

enum EventQuantity : int {
    eqLeadFront = 0,
    eqLeadRear = 1,
    eqFrontAdmission = 2, // then cut-off, release, compression of the front end,
    eqRearAdmission = 6,  // ... and of the rear end
    eqMaxOpeningFront = 10,
    eqMaxOpeningRear = 11,
    eqValveTravel = 12,
};
inline constexpr int kEventQuantities = 13;

// The quantity of an end's event.
inline int EventQuantityOf(int end, int kind) { return eqFrontAdmission + end * kValveEventKinds + kind; }

// Leads, openings and travel are lengths (units of the design); the events
// are percents of the stroke.
bool QuantityIsLength(int q);

// The column of the events table (ValveEventsHeader) a quantity is.
int QuantityColumn(int q);

// The names of the quantities, in their order, as the events table's header
// of the design names its columns ("Lead front (units)", "Front cut-off (%
// stroke)", ...).
std::vector<std::string> QuantityNames(const Gear& design);

// The value of a quantity in a measured notch; false for an event that does
// not happen.
bool QuantityValue(const NotchEvents& e, int q, long double& value);

// A row of the events table: a direction and a notch (0..18 or kNormalNotch).
struct EventsRow {
    Running running = Running::Forward;
    int notch = kNormalNotch;
    bool operator==(const EventsRow& o) const { return running == o.running && notch == o.notch; }
};

// The row's direction and notch as the events table writes them: "Forward"
// or "Reverse"; "0".."18" or "normal".
std::string RowDirectionText(const EventsRow& row);
std::string RowNotchText(const EventsRow& row);

// The rows of the table in its order (BuildValveEventsTable of the design).
std::vector<EventsRow> TableRows(const std::vector<ValveEventsRow>& table);

// The reverse arm position of a row on a design (its own mid gear).
float RowPosition(const Gear& design, const EventsRow& row);

// A trial as the balance makes it: a copy with the values stored as typed
// ones and mid gear re-centred (TrialDesign), measured at one row. `clamped`
// when the re-centring or the measurement clamped.
struct RowTrial {
    float stored = 0; // the first value as the trial design stores it
    NotchEvents events;
    bool clamped = false;
};
RowTrial MeasureTrialRow(const Gear& design, const std::vector<DimensionValue>& values, const EventsRow& row);

// The control's stop flag, safe to call without one.
inline bool StopAsked(const BalanceControl* control) { return control && control->stop.load(); }
