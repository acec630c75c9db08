#include "common/url.h"

namespace plendrik {
namespace {

bool needsEncoding(unsigned char c) {
    if (c >= 0x80 || c <= 0x20 || c == 0x7F)
        return true;
    switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string encodeUrlPath(std::string_view address) {
    // the scheme and host stay as they are; only what follows the host is encoded
    std::size_t start = 0;
    if (const auto scheme = address.find("://"); scheme != std::string_view::npos) {
        const auto pathStart = address.find('/', scheme + 3);
        start = pathStart == std::string_view::npos ? address.size() : pathStart;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(address.substr(0, start));
    for (const char ch : address.substr(start)) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEncoding(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace plendrik
