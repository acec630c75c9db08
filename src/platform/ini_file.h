// The INI profile file that keeps the download page: GBK bytes, CR LF lines, byte-compatible with
// what the platform's profile services write. Sections, keys and values are UTF-8 in this interface.
#pragma once

#include "common/ini_entry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plendrik::platform {

// Values are read through a buffer of this many bytes, the terminating zero byte included.
inline constexpr std::size_t kIniReadBuffer = 10240;

// The stored value read through a 10,240-byte buffer (zero byte included), cut on a character
// boundary; "" when the file, section or key is missing.
std::string readIni(std::string_view file, std::string_view section, std::string_view key);
// Many keys read from one version of the file, in the order asked, each as readIni gives it.
std::vector<std::string> readIniEntries(std::string_view file, const std::vector<IniKey>& keys);
// Creates the file and section when missing; replaces the key's value. False on failure.
bool writeIni(std::string_view file, std::string_view section, std::string_view key, std::string_view value);
// Many keys in one atomic step (written beside and renamed over); sections not named stay.
bool writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries);

namespace testing {
// Makes the next save fail after writing this many bytes of the new file, as a full disk would.
void failNextIniSaveAfter(std::size_t bytes);
} // namespace testing

} // namespace plendrik::platform
