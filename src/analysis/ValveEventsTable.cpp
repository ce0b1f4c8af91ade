#include "analysis/ValveEventsTable.h"

#include "model/DesignEdit.h"
#include "model/NumberText.h"

#include <cmath>
#include <string>

namespace {

constexpr int kPercentDecimals = 2;
constexpr int kAngleDecimals = 2;
constexpr int kLengthDecimals = 4;

const char* const kKindNames[kValveEventKinds] = {"admission", "cut-off", "release", "compression"};
const char* const kEndNames[kCylinderEnds] = {"Front", "Rear"};

std::string Length(float v) { return DecimalText(v, kLengthDecimals); }

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

TextRow ValveEventsHeader()
{
    TextRow h = {"Direction", "Notch", "Reverse arm (units)", "Lead front (units)", "Lead rear (units)"};
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            const std::string name = std::string(kEndNames[end]) + " " + kKindNames[kind];
            h.push_back(name + " (% stroke)");
            h.push_back(name + " (deg)");
        }
    h.push_back("Max opening front (units)");
    h.push_back("Max opening rear (units)");
    h.push_back("Valve travel (units)");
    h.push_back("Notes");
    return h;
}

TextRow ValveEventsCells(const ValveEventsRow& row)
{
    const NotchEvents& e = row.events;
    TextRow r;
    r.reserve(kValveEventsColumns);
    r.push_back(e.running == Running::Forward ? "Forward" : "Reverse");
    r.push_back(row.notch == kNormalNotch ? kNormalNotchText : std::to_string(row.notch));
    r.push_back(Length(e.revArmPos));
    r.push_back(Length(e.leadFront));
    r.push_back(Length(e.leadRear));
    for (int end = 0; end < kCylinderEnds; ++end)
        for (int kind = 0; kind < kValveEventKinds; ++kind) {
            const ValveEvent& v = e.event[static_cast<size_t>(end)][static_cast<size_t>(kind)];
            r.push_back(v.occurs ? DecimalText(v.percent, kPercentDecimals) : std::string());
            r.push_back(v.occurs ? EventAngleText(v.angle) : std::string());
        }
    r.push_back(Length(e.maxSteamOpenFront));
    r.push_back(Length(e.maxSteamOpenRear));
    r.push_back(Length(e.valveTravel));
    std::string notes;
    if (e.repeated) notes = kNoteRepeated;
    if (e.clamped) notes += std::string(notes.empty() ? "" : "; ") + kNoteClamped;
    r.push_back(notes);
    return r;
}

std::vector<TextRow> ValveEventsText(const std::vector<ValveEventsRow>& rows)
{
    std::vector<TextRow> out;
    out.reserve(rows.size() + 1);
    out.push_back(ValveEventsHeader());
    for (const ValveEventsRow& row : rows) out.push_back(ValveEventsCells(row));
    return out;
}

std::vector<TextRow> ValveEventsTextOf(const Gear& design)
{
    return ValveEventsText(BuildValveEventsTable(DesignAsOpened(design)));
}
