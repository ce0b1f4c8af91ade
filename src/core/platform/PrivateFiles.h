// Files the program keeps for itself in a folder of the user's alone (the
// recovery files). The folder is used only when it is a folder itself (not a
// link), the user's own and closed to everyone else (mode 0700); its files
// are read only when they are regular files, never through a link and never
// by waiting on a pipe. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <string>

// Makes `folder` when it is missing (its parents as the system makes them,
// the folder itself for the user alone) and tells whether it may be used.
// When not, `why` says so in words that name the folder ("… may be read by
// others (mode 0755)"), and the folder is left as it was. On Windows a folder
// that is not a link is the user's.
bool UsePrivateFolder(const std::string& folder, std::string& why);

// True when `path` is a regular file itself: not a link, a pipe, a device or
// a folder.
bool IsPrivateRegularFile(const std::string& path);

// Reads such a file whole, at most `limit` bytes; false for anything else.
bool ReadPrivateFile(const std::string& path, std::string& text, std::size_t limit = 1 << 16);
