// DXF files (the AutoCAD 2000 text format, which every CAD program reads),
// written with dxflib (Debian's libdxflib-dev; GPL-2.0-or-later, so it may be
// used in this GPL-3.0-or-later program). Debian has no dxflib for MinGW: the
// Windows build of the plain layers leaves this writer out (its drawings are
// still built there, see files/DxfDrawing).
#pragma once

#include "files/DxfDrawing.h"
#include "platform/FileSystem.h"

#include <string>

// The drawing as the text of a DXF file: the header with the unit ($INSUNITS
// 0 unitless, 1 inches, 4 millimetres; $MEASUREMENT 1 for millimetres), the
// layers with their colours, then the entities, each on its layer and in its
// layer's colour; numbers in the shortest form that reads back to the same
// double, "." whatever the locale.
std::string DxfText(const DxfDrawing& drawing);

// Writes the drawing to `path` through a temporary file that replaces it only
// when complete; on failure nothing is left behind and `error` holds the
// standard message.
bool SaveDxfFile(const std::string& path, const DxfDrawing& drawing, std::string& error,
                 FileSystem& files = SystemFileSystem());

// True for a path that ends in ".dxf" (any case).
inline bool IsDxfPath(const std::string& path)
{
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return end == ".dxf";
}
