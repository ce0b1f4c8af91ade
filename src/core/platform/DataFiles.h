// Where the program finds its sounds and instruction texts, wherever it was
// started from: the working directory first, then the data folder of an
// installed program (beside its bin folder), then the folder of the
// executable itself (a build tree, or an unpacked folder).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The data folder of an installed program, relative to the executable's folder.
std::filesystem::path InstalledDataFromExecutable();

// The folders searched, in order. An empty `executableDir` (not known) leaves
// out the two folders that depend on it.
std::vector<std::filesystem::path> DataFolders(const std::filesystem::path& workingDir,
                                               const std::filesystem::path& executableDir);

// The first of `folders` that holds a regular file called `name`, joined with
// the name; empty when none does.
std::filesystem::path FindDataFile(const std::string& name, const std::vector<std::filesystem::path>& folders);
