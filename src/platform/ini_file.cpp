#include "platform/ini_file.h"

namespace plendrik::platform {

// Placeholders until the INI file lands.
std::string readIni(std::string_view, std::string_view, std::string_view) { return {}; }
bool writeIni(std::string_view, std::string_view, std::string_view, std::string_view) { return false; }
bool writeIniEntries(std::string_view, const std::vector<IniEntry>&) { return false; }

} // namespace plendrik::platform
