// Addresses on the wire: the program builds them from UTF-8 names, HTTP wants ASCII.
#pragma once

#include <string>
#include <string_view>

namespace plendrik {

// Percent-encodes, after "scheme://host", every byte that may not stand in an address as it is:
// bytes of 0x80 and above (UTF-8 characters), controls, space and "\"<>\\^`{|}". Existing "%XX",
// "/", "?" and "#" are left alone, so an address that is already valid comes back unchanged.
std::string encodeUrlPath(std::string_view address);

} // namespace plendrik
