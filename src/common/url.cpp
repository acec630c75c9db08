#include "common/url.h"

namespace plendrik {
namespace {

void appendEscaped(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

bool neverLiteral(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F)
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

bool pieceLiteral(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
        return true;
    default:
        return false;
    }
}

// Where the path begins: after "scheme://authority", or 0 for an address without a scheme.
std::size_t pathStart(std::string_view address) {
    const std::size_t scheme = address.find("://");
    if (scheme == std::string_view::npos)
        return 0;
    const std::size_t slash = address.find('/', scheme + 3);
    return slash == std::string_view::npos ? address.size() : slash;
}

} // namespace

std::string encodeUrlPath(std::string_view address) {
    const std::size_t start = pathStart(address);
    std::string out(address.substr(0, start));
    out.reserve(address.size());
    for (unsigned char c : address.substr(start)) {
        if (neverLiteral(c))
            appendEscaped(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

std::string encodeUrlPathPiece(std::string_view piece) {
    std::string out;
    out.reserve(piece.size());
    for (unsigned char c : piece) {
        if (pieceLiteral(c))
            out += static_cast<char>(c);
        else
            appendEscaped(out, c);
    }
    return out;
}

} // namespace plendrik
