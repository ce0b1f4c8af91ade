// Import of the older design file layout (.vgd): the first 12 records of the
// native layout, holding the dimension set, the view scale and offsets and
// the graphs' vertical scale. Presets, graphic zoom, graph positions and the
// overlay stay as they are. Nothing is ever written in this layout.
#pragma once

#include "files/NativeFile.h"

#include <string>
#include <vector>

inline constexpr int kOlderRecordCount = 12;

// Stores the 12 records: records 1 to 10 as in the native file; record 11
// field 3 lands in ViewOffsetX (after field 2, so it wins) and record 12
// field 2 is not used.
void StoreOlderRecords(AppState& s, const std::vector<NativeRecord>& records);

// Reads the first 12 records of the file at `path`. A file that cannot be
// read or has fewer than 12 records fails with the standard message and
// leaves the state exactly as it was; values are judged as by OpenNativeFile.
// Otherwise the records are stored, the data set name follows the path and
// FinishDesignLoad runs.
DesignFileResult ImportOlderFile(AppState& s, const std::string& path, HugeValues huge = HugeValues::Refuse,
                                 FileSystem& files = SystemFileSystem());
