// SplitText on arbitrary bytes: pieces lie inside the text, in order, never overlap a separator, and
// joining them back with the separator gives the text less at most one trailing separator.
#include "catalogue/split_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // the first byte picks the separator
    static constexpr std::string_view kSeparators[] = {"|", "\r\n", "ab", "\x81\x7c"};
    const std::string_view separator = kSeparators[data[0] % 4];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto pieces = plendrik::catalogue::SplitText(text, separator);
    const char* cursor = text.data();
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].data() < cursor || pieces[i].data() + pieces[i].size() > text.data() + text.size())
            std::abort();
        cursor = pieces[i].data() + pieces[i].size();
        if (i)
            joined += separator;
        joined += pieces[i];
    }
    if (joined != text && joined + std::string(separator) != text)
        std::abort();
    return 0;
}
