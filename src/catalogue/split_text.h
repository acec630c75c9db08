// The one split rule for every server text and for the search, on GBK bytes: separators match only
// on character boundaries, two separators give an empty piece, a trailing separator gives no empty
// last piece, and an empty text gives no pieces.
#pragma once

#include <string_view>
#include <vector>

namespace plendrik::catalogue {

// The pieces are views into text.
std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator);

} // namespace plendrik::catalogue
