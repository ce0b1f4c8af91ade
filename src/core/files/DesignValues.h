// The values a design file holds, by name: which of them a load judges before
// it stores anything, and which of them make up the design when the program
// looks for unsaved changes.
#pragma once

#include "files/NativeFile.h"

#include <cstdint>
#include <string>
#include <vector>

// A value beyond this size (either sign) is one no gear can have.
inline constexpr float kHugeDesignValue = 1e6f;

// Native: the records of a native file, or of a JSON text without mid gear
// (the load finds mid gear afresh). NativeMidGearKept: the records of a JSON
// text that gives mid gear, which the load keeps as written with reverse arm
// positions 1 to 3, so that they are judged too.
enum class RecordLayout { Native, Older, NativeMidGearKept };

// Judges the records a load has read (18 to 71 of a native file, 12 of an
// older one) before anything is stored. Only what the load keeps and uses
// counts: the dimensions, the reverse arm values and positions, the view and
// presets, the graphs' vertical scale and the overlay items. A field that a
// later copy of the same value replaces, and the values the load recomputes
// or nothing reads (the mid-gear centre and reverse arm positions 1 to 3,
// unless the load keeps them, the valve rod joint height, the spare cylinder
// value, the graph windows' last position, the current item) are not judged. A value that is not finite
// anywhere wins over a huge one; the first offending value in file order is
// named. The graphs' vertical scale may be huge (the program takes scales up
// to 1e30) and a colour may go up to 0xFFFFFF. The engine data after record
// 71 are judged as the dimensions are ("Engine Data, steam-chest pressure").
ValueCheck CheckDesignRecords(const std::vector<NativeRecord>& records, RecordLayout layout);

// The verdict on the records of a load, kept in `result.values`: true when
// the load may store them (sound values, or huge ones that `huge` accepts).
bool AcceptValues(const std::vector<NativeRecord>& records, RecordLayout layout, HugeValues huge,
                  DesignFileResult& result);

// The design part of the state as bit patterns: the dimensions, the reverse arm
// values and positions 4 to 9 (all that a save and an open keep), the graphs'
// vertical scale, the overlay items, the unit and the engine data. Not the view, the reverse arm setting,
// the mid-gear centre and the values derived from it, or the current item.
// Two snapshots differ exactly when a save would keep a different design.
std::vector<std::uint32_t> DesignSnapshot(const AppState& s);
