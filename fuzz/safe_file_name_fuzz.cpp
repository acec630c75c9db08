// Safe file names on arbitrary bytes: never empty, no way out of the folder, nothing Windows would
// refuse or read otherwise, and cleaning a clean name changes nothing.
#include "downloads/paths.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isDevice(std::string stem) {
    for (char& c : stem)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul")
        return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const std::string safe = plendrik::downloads::safeFileName(name);
    if (safe.empty() || safe.find("..") != std::string::npos || safe.back() == '.' || safe.back() == ' ')
        std::abort();
    for (unsigned char c : safe)
        if (c < 0x20 || c == 0x7F ||
            std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            std::abort();
    if (isDevice(safe.substr(0, safe.find('.'))))
        std::abort();
    if (plendrik::downloads::safeFileName(safe) != safe)
        std::abort();
    return 0;
}
