#include "files/RecentDesigns.h"

#include <algorithm>

std::vector<std::string> WithRecentDesign(std::vector<std::string> list, const std::string& path)
{
    list = WithoutRecentDesign(std::move(list), path);
    std::erase(list, std::string());
    if (!path.empty()) list.insert(list.begin(), path);
    if (list.size() > static_cast<std::size_t>(kRecentDesignsMax)) list.resize(kRecentDesignsMax);
    return list;
}

std::vector<std::string> WithoutRecentDesign(std::vector<std::string> list, const std::string& path)
{
    std::erase(list, path);
    return list;
}

std::string RecentDesignCaption(int n, const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string shown;
    for (char c : name) {
        if (c == '&') shown += '&';
        shown += c;
    }
    return "&" + std::to_string(n) + " " + shown;
}
