#include "downloads/paths.h"

#include "common/paths.h"

#include <algorithm>
#include <array>

namespace plendrik::downloads {
namespace {

// Characters no file name may hold on either platform: separators, and the ones Windows keeps for
// drive prefixes (':' also opens a second data stream of a file), wildcards and redirection.
bool isForbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
           c == '<' || c == '>' || c == '|';
}

char lowerLatin(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, whatever follows the first dot.
bool isDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    std::transform(stem.begin(), stem.end(), stem.begin(), lowerLatin);
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end())
        return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

} // namespace

std::string safeFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // C1 control characters are two bytes in UTF-8: U+0080 to U+009F.
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(name[i + 1]) >= 0x80) {
            out += '_';
            ++i;
        } else {
            out += isForbidden(c) ? '_' : static_cast<char>(c);
        }
    }
    // No ".." anywhere: dots next to each other become '_'.
    for (std::size_t i = 0; i + 1 < out.size(); ++i)
        if (out[i] == '.' && out[i + 1] == '.')
            out[i] = out[i + 1] = '_';
    // Windows drops trailing dots and spaces, which would give two names one file.
    while (!out.empty() && (out.back() == '.' || out.back() == ' '))
        out.pop_back();
    if (out.empty())
        return "_";
    if (isDeviceName(out))
        out = "_" + out;
    return out;
}

std::string zipPath(const app::Paths& paths, std::string_view name) {
    return joinPath(paths.downloadFolder, safeFileName(name) + ".zip");
}

std::string partPath(const app::Paths& paths, std::string_view name) {
    return zipPath(paths, name) + ".part";
}

} // namespace plendrik::downloads
