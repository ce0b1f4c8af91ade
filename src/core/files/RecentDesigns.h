// The "File" menu's list of recently used designs: most recent first, each
// path once, at most eight.
#pragma once

#include <string>
#include <vector>

inline constexpr int kRecentDesignsMax = 8;

// The list with `path` put first (an earlier entry of it moves up), cut to
// kRecentDesignsMax; empty paths are never listed.
std::vector<std::string> WithRecentDesign(std::vector<std::string> list, const std::string& path);

// The list without `path`.
std::vector<std::string> WithoutRecentDesign(std::vector<std::string> list, const std::string& path);

// The menu text of entry `n` (1-based): "&n " and the file name, its
// ampersands doubled so that they show.
std::string RecentDesignCaption(int n, const std::string& path);
