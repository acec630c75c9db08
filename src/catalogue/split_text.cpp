#include "catalogue/split_text.h"

namespace plendrik::catalogue {

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    if (text.empty() || separator.empty())
        return pieces;
    std::size_t start = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    while (n - i >= m) {
        if (text.compare(i, m, separator) == 0) {
            pieces.push_back(text.substr(start, i - start));
            i += m;
            start = i;
        } else {
            // a lead byte of a double-byte character takes its second byte with it
            i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
        }
        if (i > n)
            break;
    }
    if (start < n)
        pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace plendrik::catalogue
