// Addresses on the wire: the program builds them from UTF-8 names, HTTP wants ASCII.
#pragma once

#include <string>
#include <string_view>

namespace plendrik {

// Percent-encodes, after "scheme://host", every byte that may not stand in an address as it is:
// bytes of 0x80 and above (UTF-8 characters), controls, space and "\"<>\\^`{|}". Everything else,
// "%", "/", "?" and "#" included, is left alone, so an address that is already valid comes back
// unchanged.
std::string encodeUrlPath(std::string_view address);

// Percent-encodes one path piece (a file or folder name): every byte except letters, digits and
// "-._~!$&'()*+,;=:@". "/", "%", "?" and "#" are encoded, so the piece stays one piece.
std::string encodeUrlPathPiece(std::string_view piece);

} // namespace plendrik
