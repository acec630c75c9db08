// File paths inside the logic. The separator is the platform's; a Windows build changes it here.
#pragma once

#include <string>
#include <string_view>

namespace plendrik {

inline constexpr char kPathSeparator = '/';

inline std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != kPathSeparator)
        out += kPathSeparator;
    out += name;
    return out;
}

} // namespace plendrik
