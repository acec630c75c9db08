// GBK at the edges of the program: server files and the INI file are GBK bytes, everything inside
// is UTF-8. The tables are ICU's "windows-936" (0x80 is the euro sign, as the system code page has it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plendrik::gbk {

// Invalid or truncated sequences decode to U+FFFD.
std::string toUtf8(std::string_view gbk);
// Characters GBK cannot hold become '?'.
std::string fromUtf8(std::string_view utf8);
// The text up to its first zero byte.
std::string_view untilZero(std::string_view bytes);
// Length of the longest prefix of gbk that fits in maxBytes without cutting a double-byte character.
std::size_t prefixLength(std::string_view gbk, std::size_t maxBytes);

} // namespace plendrik::gbk
