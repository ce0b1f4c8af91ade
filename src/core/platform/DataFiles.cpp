#include "platform/DataFiles.h"

#include <system_error>

// The build sets it from the install layout (bin and share/quelf by default).
#ifndef QUELF_DATA_FROM_BIN
#define QUELF_DATA_FROM_BIN "../share/quelf"
#endif

namespace fs = std::filesystem;

fs::path InstalledDataFromExecutable() { return fs::path(QUELF_DATA_FROM_BIN); }

std::vector<fs::path> DataFolders(const fs::path& workingDir, const fs::path& executableDir)
{
    std::vector<fs::path> out{workingDir};
    if (!executableDir.empty()) {
        out.push_back((executableDir / InstalledDataFromExecutable()).lexically_normal());
        out.push_back(executableDir);
    }
    return out;
}

fs::path FindDataFile(const std::string& name, const std::vector<fs::path>& folders)
{
    if (name.empty()) return {};
    for (const fs::path& folder : folders) {
        const fs::path candidate = folder / name;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}
