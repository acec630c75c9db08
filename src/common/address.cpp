#include "common/address.h"

namespace plendrik {

std::string_view hostPart(std::string_view address) {
    const auto scheme = address.find("://");
    if (scheme != std::string_view::npos)
        address.remove_prefix(scheme + 3);
    return address.substr(0, address.find_first_of("/?#"));
}

std::string_view withoutTrailingSlash(std::string_view address) {
    if (!address.empty() && address.back() == '/')
        address.remove_suffix(1);
    return address;
}

} // namespace plendrik
