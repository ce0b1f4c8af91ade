// The native design file (.vgw): 71 records of five little-endian IEEE single
// reals holding the dimension set, the reverse arm, the view and presets, the
// graph settings and the lines and circles overlay. A short variant of 18 to
// 20 records carries everything but the overlay.
//
// Save and open never leave anything half done: a save goes to a temporary
// file that replaces the target only when it is complete, and an open reads
// every record it needs and judges its values before it changes the design. A
// failure reports the standard input/output message (or the value that makes
// the file no design) and changes nothing.
#pragma once

#include "model/AppState.h"
#include "platform/RecordFile.h"

#include <array>
#include <string>
#include <vector>

inline constexpr int kNativeFields = 5;
inline constexpr int kNativeRecordCount = 71;
inline constexpr int kNativeShortRecords = 18; // shortest readable file
inline constexpr int kNativeNoOverlayMax = 20; // longest file without the overlay
using NativeRecord = std::array<float, kNativeFields>;

// Little-endian IEEE single encoding of one record (bit patterns kept, NaN too).
RecordBytes EncodeRecord(const NativeRecord& r);
NativeRecord DecodeRecord(const RecordBytes& b);

// Reads the first `count` records of an open file into `out`, decoded. On a
// failure `error` holds the standard message and false is returned.
bool ReadLeadingRecords(RecordReader& in, int count, std::vector<NativeRecord>& out, std::string& error);

// The data set name for a chosen path: the characters after the last "/" or
// "\", less the last four characters (the extension with its dot).
std::string DataSetNameFromPath(const std::string& path);

// How the values a load would keep are judged (see CheckDesignRecords).
enum class ValueVerdict {
    Sound,
    Huge,      // finite, but beyond any gear (more than 1e6 in size)
    NotFinite, // not a number, or infinite: the file is no design
};
struct ValueCheck {
    ValueVerdict verdict = ValueVerdict::Sound;
    std::string name; // the first offending value as the user knows it, e.g. "Stroke Length"
    float value = 0;
};

// What a load does with a file whose values are huge but finite: refuse it
// (so that the caller may ask first) or load it all the same. Files with a
// value that is not finite are always refused.
enum class HugeValues { Refuse, Accept };

// What a load or a save tells the main window.
struct DesignFileResult {
    bool ok = false;
    // An input/output failure: the standard message and the error behind it.
    // Empty when the values were refused.
    std::string error;
    FileError cause;
    long long fileBytes = -1; // size of the file opened, once known
    // A design written as text (JSON) that is no design, in plain words ("it
    // is not a design (the key "dimensions.Stroke" is missing)"); empty for
    // the other failures.
    std::string reason;
    ValueCheck values;        // a load: the verdict on the file's values
    bool overlayRead = false; // the overlay items and the current item were read
    // Reverse arm bar after a load: range from RevArmMax, position 0 at mid
    // gear (rounded with ToPixel, so no file value can overflow them).
    int revArmMin = 0;
    int revArmMax = 0;
    int revArmPosition = 0;
};

// The unit of the design's lengths, kept in field 1 of record 71 (which files
// written before it hold as 0, and which a reader that knows nothing of it
// passes over, keeping field 5 only): 0 unspecified, 1 inches, 2 millimetres.
// Any other value reads as unspecified, as does a file of fewer than 71
// records.
float UnitFieldValue(LengthUnit u);
LengthUnit UnitOfField(float v);

// The engine data (Gear::HasEngine) follow record 71, in records of their
// own that only a design with engine data has: a reader of the 71 records
// reads the leading 71 of any longer file and passes over the rest, and a
// design without engine data keeps the bytes it always had. Record 72 starts
// with the block's layout (1) and the number of values that follow (11);
// the values follow in the order of model/EngineData.h, five to a record
// (after those two fields in record 72), the last record padded with zeros:
// records 72 to 74. A reader takes the values the file holds; a value the
// block does not reach takes its default, and a block of another layout
// counts as no engine data.
inline constexpr int kEngineBlockLayout = 1;
inline constexpr int kEngineRecordCount = 3;
inline constexpr int kNativeEngineRecordsMax = kNativeRecordCount + kEngineRecordCount;

// The engine block's records for engine data (see above).
std::vector<NativeRecord> EngineRecords(const EngineData& e);
// The engine data in the records after record 71 (`records` is the whole
// file's), if any: false when there is no block this program knows. Values the
// block does not reach are left as they are in `e`. `field` (when given)
// receives, for each value read, its place as record * 5 + field (0-based).
bool ReadEngineRecords(const std::vector<NativeRecord>& records, EngineData& e, int* field = nullptr);

// The records a save writes, from the current state: 71, and the engine
// block after them when the design has engine data.
std::vector<NativeRecord> BuildNativeRecords(const AppState& s);

// Writes the full file to `path` (through a temporary file), whatever its
// name; the state is left as it is. A failure leaves an existing file as it
// was.
DesignFileResult WriteNativeFile(const AppState& s, const std::string& path, FileSystem& files = SystemFileSystem());

// Writes the full file to `path` (through a temporary file). On success the
// data set name follows the path; on failure nothing changes at all and an
// existing file keeps its contents.
DesignFileResult SaveNativeFile(AppState& s, const std::string& path, FileSystem& files = SystemFileSystem());

// Stores the records of a file (18 to 71 of them, and the engine block after
// them) into the state, field by field, so that where a value has several
// fields the last one wins. Records 19 to 71 are used only when all of them
// are present; the current item is then record 71's last field, rounded and
// kept within 1..20 (else 1), and the unit its first field (unspecified
// without it). The engine data are read from the block after record 71 (the
// design has none without it).
void StoreNativeRecords(AppState& s, const std::vector<NativeRecord>& records);

// After-load steps shared by the open and the import: the reverse arm
// re-centred at mid gear and the bar values computed.
void FinishDesignLoad(AppState& s, DesignFileResult& result);

// The bar values alone (FinishDesignLoad's last step), for a load that keeps
// the reverse arm and mid gear as its file has them.
void SetRevArmBarValues(const AppState& s, DesignFileResult& result);

// Reads the file at `path` (a UTF-8 path, like every path the files take). A
// file of fewer than 18 records or of 21 to 70 records, or one that cannot be
// read (a folder, a pipe or a device among them), fails with the standard message and
// leaves the state exactly as it was; so does a file with a value that is not
// finite, or (unless `huge` accepts them) with huge values, with the verdict
// in `values`. Otherwise the records are stored, the data set name follows
// the path and FinishDesignLoad runs.
DesignFileResult OpenNativeFile(AppState& s, const std::string& path, HugeValues huge = HugeValues::Refuse,
                                FileSystem& files = SystemFileSystem());
