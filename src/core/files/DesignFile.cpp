#include "files/DesignFile.h"

#include "files/JsonDesign.h"

namespace {

// The extension of the last part of a path, in lower case ("" without one).
std::string Extension(const std::string& path)
{
    const auto sep = path.find_last_of("/\\");
    const std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return "";
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

} // namespace

DesignFormat DesignFormatOfPath(const std::string& path)
{
    const std::string ext = Extension(path);
    if (ext == "vgw") return DesignFormat::Native;
    if (ext == "json") return DesignFormat::Json;
    return DesignFormat::Unknown;
}

std::string UnknownDesignFormatReason()
{
    return "its name must end in .vgw (a design file) or .json (the design as JSON)";
}

DesignFileResult WriteDesignFile(const AppState& s, const std::string& path, FileSystem& files)
{
    switch (DesignFormatOfPath(path)) {
    case DesignFormat::Native: return WriteNativeFile(s, path, files);
    case DesignFormat::Json: return ExportJsonDesign(s, path, files);
    case DesignFormat::Unknown: break;
    }
    DesignFileResult refused;
    refused.reason = UnknownDesignFormatReason();
    return refused;
}

DesignFileResult SaveDesignFile(AppState& s, const std::string& path, FileSystem& files)
{
    DesignFileResult r = WriteDesignFile(s, path, files);
    if (r.ok && DesignFormatOfPath(path) == DesignFormat::Native) s.display.DataSetName = DataSetNameFromPath(path);
    return r;
}
