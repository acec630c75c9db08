#pragma once

#include <string>

namespace plendrik {

// One key of an INI file to write: section, key and value (UTF-8).
struct IniEntry {
    std::string section, key, value;
};

// One key of an INI file to read.
struct IniKey {
    std::string section, key;
};

} // namespace plendrik
