// The design as JSON (.json): a text people can read, keep in version control
// and hand on, holding everything the native file keeps (docs/DESIGN-JSON.md
// describes it). It maps onto the very records of the native file: the reader
// fills the records a native file would hold and judges and stores them
// through the native reader's own steps, so a design goes .vgw -> .json ->
// .vgw byte for byte as a save writes it, and a JSON file is refused for the
// same values, with the same messages, as a native one.
//
// The JSON library parses the text; nothing it throws reaches a caller.
#pragma once

#include "files/NativeFile.h"

#include <string>

inline constexpr int kJsonDesignVersion = 1;
inline constexpr const char* kJsonDesignFormat = "QUELF design";

// True for a path that ends in ".json" (any case).
bool IsJsonDesignPath(const std::string& path);

// The data set name of a design opened from `path`: the file name less its
// ".json".
std::string JsonDataSetName(const std::string& path);

// The design of `s` as JSON text (UTF-8, LF line ends, a final LF).
std::string DesignJsonText(const AppState& s);

// Writes DesignJsonText to `path` through a temporary file that replaces it
// only when complete. The data set name stays: the design is exported, not
// saved under another name. A failure leaves any existing file as it was and
// reports as SaveNativeFile does.
DesignFileResult ExportJsonDesign(const AppState& s, const std::string& path, FileSystem& files = SystemFileSystem());

// Loads a design from JSON text, as OpenNativeFile loads the records of a
// file: the text is read into the 71 records a native file would hold (a text
// that is not JSON, misses a key, has a value of the wrong type or a version
// this program does not know fails with `reason`); the records are judged
// (`values`; huge ones load only when `huge` accepts them) and then stored and
// the length unit set. A text that gives mid gear ("RevArmCentre") keeps it
// and the reverse arm where the text has them (the gear is solved once at
// angle 0, as the native open's re-centring solves it), so that a design
// written and read again is the same bit for bit; one without it has mid
// gear found and the arm put there by FinishDesignLoad, as a native open
// does. A failure changes nothing. The data set name is left to the caller.
DesignFileResult LoadJsonDesignText(AppState& s, const std::string& text, HugeValues huge = HugeValues::Refuse);

// Reads the file at `path` and loads it with LoadJsonDesignText; the data
// set name follows the path. A file that cannot be read fails with the
// standard message, as OpenNativeFile does.
DesignFileResult OpenJsonDesign(AppState& s, const std::string& path, HugeValues huge = HugeValues::Refuse,
                                FileSystem& files = SystemFileSystem());
