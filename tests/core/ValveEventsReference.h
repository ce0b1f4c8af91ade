// The valve events finder as it was before it was made fast (see the .cpp).
#pragma once

#include "analysis/ValveEvents.h"

#include <vector>

NotchEvents ReferenceMeasureNotch(const Gear& design, float revArmPos, Running running, unsigned what = nmAll);
NotchEvents ReferenceMidGearLeads(const Gear& design);
float ReferenceNotchPosition(const Gear& design, int i, Running running);
float ReferenceNormalNotchPosition(const Gear& design, Running running);
std::vector<ValveEventsRow> ReferenceBuildValveEventsTable(const Gear& design);
