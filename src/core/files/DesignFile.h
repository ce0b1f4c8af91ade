// Writing a design to a file whose name chooses the format: ".vgw" the native
// design file, ".json" the design as JSON (any case); any other name is
// refused before anything is written. Every place that writes a design — the
// main window's saves and export, the command line's --export-design,
// --scale-design and --optimise --out — goes through here, so that a file
// always opens again as what its name says.
#pragma once

#include "files/NativeFile.h"

#include <string>

enum class DesignFormat { Native, Json, Unknown };

// The format the name of `path` asks for, from its extension.
DesignFormat DesignFormatOfPath(const std::string& path);

// Why a name of no known format is refused, in plain words: "its name must
// end in .vgw (a design file) or .json (the design as JSON)".
std::string UnknownDesignFormatReason();

// Writes the design of `s` to `path` in the format its name asks for, through
// a temporary file that replaces the target only when complete. A name of no
// known format writes nothing and fails with UnknownDesignFormatReason in
// `reason`; other failures report as SaveNativeFile does. The data set name
// is left as it is.
DesignFileResult WriteDesignFile(const AppState& s, const std::string& path, FileSystem& files = SystemFileSystem());

// A save: WriteDesignFile, after which the data set name follows the path of
// a native file, as SaveNativeFile leaves it (a design saved as JSON keeps its
// name, as an export does).
DesignFileResult SaveDesignFile(AppState& s, const std::string& path, FileSystem& files = SystemFileSystem());
