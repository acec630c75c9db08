#include "catalogue/split_text.h"

#include <cstring>

namespace plendrik::catalogue {
namespace {

bool isLead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// The rule as it reads: walk character by character. Used for separators that begin with a
// byte of 0x80 or above, which the fast walk below cannot handle.
std::vector<std::string_view> splitByCharacters(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < n && n - i >= m) {
        if (text.compare(i, m, separator) == 0) {
            pieces.push_back(text.substr(start, i - start));
            i += m;
            start = i;
        } else {
            // a lead byte of a double-byte character takes its second byte with it
            i += isLead(text[i]) ? 2 : 1;
        }
    }
    if (start < n)
        pieces.push_back(text.substr(start));
    return pieces;
}

// True when position p is a character boundary, given that `from` (<= p) is one. Every byte below
// 0x80 ends a character (a single byte or a second byte), so only the run of bytes of 0x80 and
// above just before p matters: its bytes pair up from its start.
bool onBoundary(std::string_view text, std::size_t from, std::size_t p) {
    std::size_t q = p;
    while (q > from && isLead(text[q - 1]))
        --q;
    return (p - q) % 2 == 0;
}

} // namespace

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator) {
    if (text.empty() || separator.empty())
        return {};
    if (isLead(separator[0]))
        return splitByCharacters(text, separator);

    // The separator's first byte is a single-byte character, so it is found with memchr and only
    // the candidates need the boundary test. After a candidate that is not a split, the byte after
    // it is a boundary either way (the candidate was a whole character or a second byte).
    std::vector<std::string_view> pieces;
    const char* data = text.data();
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    std::size_t start = 0;    // current piece
    std::size_t boundary = 0; // a known character boundary at or after start
    while (n - boundary >= m) {
        const void* hit = std::memchr(data + boundary, separator[0], n - boundary - m + 1);
        if (!hit)
            break;
        const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
        if (onBoundary(text, boundary, p) && std::memcmp(data + p, separator.data(), m) == 0) {
            pieces.push_back(text.substr(start, p - start));
            start = boundary = p + m;
        } else {
            boundary = p + 1;
        }
    }
    if (start < n)
        pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace plendrik::catalogue
