// The version file's judgement on arbitrary bytes: it never crashes, and "current" only when the
// text before any zero byte holds "|V2.5|" as its second piece.
#include "web/update_check.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto verdict = plendrik::web::judgeVersionFile(body);
    const std::string_view text = body.substr(0, body.find('\0'));
    if (verdict == plendrik::web::VersionVerdict::Current && text.find("|V2.5|") == std::string_view::npos)
        std::abort();
    if (verdict != plendrik::web::VersionVerdict::NoAnswer && text.find('|') == std::string_view::npos)
        std::abort();
    return 0;
}
