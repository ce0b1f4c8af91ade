#include "analysis/ValveEventsTable.h"

#include "model/DesignEdit.h"
#include "model/NumberText.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int kPercentDecimals = 2;
constexpr int kAngleDecimals = 2;
constexpr int kLengthDecimals = 4;
constexpr int kFirstEventColumn = 5;
constexpr long double kNone = std::numeric_limits<long double>::quiet_NaN();

const char* const kKindNames[kValveEventKinds] = {"admission", "cut-off", "release", "compression"};
const char* const kEndNames[kCylinderEnds] = {"Front", "Rear"};

std::string Notes(const NotchEvents& e)
{
    std::string notes;
    if (e.repeated) notes = kNoteRepeated;
    if (e.clamped) notes += std::string(notes.empty() ? "" : "; ") + kNoteClamped;
    return notes;
}

std::string NotchText(const ValveEventsRow& row)
{
    return row.notch == kNormalNotch ? kNormalNotchText : std::to_string(row.notch);
}

// The row's first two cells.
TextRow RowStart(const ValveEventsRow& row)
{
    TextRow r;
    r.reserve(kValveEventsColumns);
    r.push_back(row.events.running == Running::Forward ? "Forward" : "Reverse");
    r.push_back(NotchText(row));
    return r;
}

// A cell's text: the column's decimals, an angle within 0 <= a < 360 after
// the rounding, empty for no number.
std::string CellText(int column, long double v)
{
    if (ValveEventsColumnKind(column) == EventsColumn::Angle && !std::isnan(v)) return EventAngleText(v);
    return DecimalText(v, ValveEventsDecimals(column));
}

} // namespace

std::string EventAngleText(float degrees)
{
    // Whole turns taken off first, then a text that rounds up to a whole turn
    // is the angle 0.
    long double a = std::fmod(static_cast<long double>(degrees), 360.0L);
    if (a < 0) a += 360;
    std::string t = DecimalText(a, kAngleDecimals);
    if (t == DecimalText(360, kAngleDecimals)) t = DecimalText(0, kAngleDecimals);
    return t;
}

EventsColumn ValveEventsColumnKind(int column)
{
    if (column <= 1 || column >= kValveEventsColumns - 1) return EventsColumn::Word;
    if (column < kFirstEventColumn || column >= kFirstEventColumn + 2 * kCylinderEnds * kValveEventKinds)
        return EventsColumn::Length;
    return (column - kFirstEventColumn) % 2 == 0 ? EventsColumn::Percent : EventsColumn::Angle;
}

int ValveEventsDecimals(int column)
{
    switch (ValveEventsColumnKind(column)) {
    case EventsColumn::Length: return kLengthDecimals;
    case EventsColumn::Percent: return kPercentDecimals;
    case EventsColumn::Angle: return kAngleDecimals;
    case EventsColumn::Word: break;
    }
    return 0;
}

TextRow ValveEventsHeader(LengthUnit unit)
{
    const std::string u = std::string(" (") + LengthUnitText(unit) + ")";
    TextRow h = {"Direction", "Notch", "Reverse arm" + u, "Lead front" + u, "Lead rear" + u};
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            const std::string name = std::string(kEndNames[end]) + " " + kKindNames[kind];
            h.push_back(name + " (% stroke)");
            h.push_back(name + " (deg)");
        }
    h.push_back("Max opening front" + u);
    h.push_back("Max opening rear" + u);
    h.push_back("Valve travel" + u);
    h.push_back("Notes");
    return h;
}

std::array<long double, kValveEventsColumns> ValveEventsNumbers(const ValveEventsRow& row)
{
    const NotchEvents& e = row.events;
    std::array<long double, kValveEventsColumns> n;
    n.fill(kNone);
    n[2] = e.revArmPos;
    n[3] = e.leadFront;
    n[4] = e.leadRear;
    int c = kFirstEventColumn;
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            const ValveEvent& v = e.event[static_cast<size_t>(end)][static_cast<size_t>(kind)];
            n[static_cast<size_t>(c++)] = v.occurs ? v.percent : kNone;
            n[static_cast<size_t>(c++)] = v.occurs ? v.angle : kNone;
        }
    n[static_cast<size_t>(c++)] = e.maxSteamOpenFront;
    n[static_cast<size_t>(c++)] = e.maxSteamOpenRear;
    n[static_cast<size_t>(c)] = e.valveTravel;
    return n;
}

TextRow ValveEventsCells(const ValveEventsRow& row)
{
    TextRow r = RowStart(row);
    const auto numbers = ValveEventsNumbers(row);
    for (int c = 2; c < kValveEventsColumns - 1; ++c)
        r.push_back(CellText(c, numbers[static_cast<size_t>(c)])); // NaN: empty
    r.push_back(Notes(row.events));
    return r;
}

std::vector<TextRow> ValveEventsText(const std::vector<ValveEventsRow>& rows, LengthUnit unit)
{
    std::vector<TextRow> out;
    out.reserve(rows.size() + 1);
    out.push_back(ValveEventsHeader(unit));
    for (const ValveEventsRow& row : rows) out.push_back(ValveEventsCells(row));
    return out;
}

std::vector<TextRow> ValveEventsTextOf(const Gear& design)
{
    return ValveEventsText(ValveEventsRowsOf(design), design.Unit);
}

std::vector<ValveEventsRow> ValveEventsRowsOf(const Gear& design) { return BuildValveEventsTable(design); }

long double AngleDifference(long double a, long double b)
{
    long double d = std::fmod(a - b, 360.0L);
    if (d > 180) d -= 360;
    if (d <= -180) d += 360;
    return d;
}

TextRow ValveEventsDifferenceCells(const ValveEventsRow& row, const ValveEventsRow& reference)
{
    TextRow r = RowStart(row);
    const auto a = ValveEventsNumbers(row);
    const auto b = ValveEventsNumbers(reference);
    for (int c = 2; c < kValveEventsColumns - 1; ++c) {
        const long double x = a[static_cast<size_t>(c)], y = b[static_cast<size_t>(c)];
        const long double d = ValveEventsColumnKind(c) == EventsColumn::Angle ? AngleDifference(x, y) : x - y;
        r.push_back(DecimalText(d, ValveEventsDecimals(c))); // either one missing: NaN, empty
    }
    std::string notes = Notes(row.events);
    const std::string theirs = Notes(reference.events);
    if (!theirs.empty()) notes += (notes.empty() ? "" : "; ") + std::string("reference: ") + theirs;
    r.push_back(notes);
    return r;
}

std::vector<TextRow> ValveEventsDifferenceText(const std::vector<ValveEventsRow>& rows,
                                               const std::vector<ValveEventsRow>& reference, LengthUnit unit)
{
    std::vector<TextRow> out;
    out.reserve(rows.size() + 1);
    out.push_back(ValveEventsHeader(unit));
    for (const ValveEventsRow& row : rows) {
        const ValveEventsRow* match = nullptr;
        for (const ValveEventsRow& r : reference)
            if (r.notch == row.notch && r.events.running == row.events.running) match = &r;
        if (match) {
            out.push_back(ValveEventsDifferenceCells(row, *match));
        } else {
            // Never for two tables of the same build; a row of words only.
            TextRow empty = RowStart(row);
            empty.resize(kValveEventsColumns);
            out.push_back(empty);
        }
    }
    return out;
}
