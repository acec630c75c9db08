// The catalogue parse on arbitrary server bytes: every row has four cells, the size cell ends in
// "KB", every cell is valid UTF-8, and the batched parse gives the same rows as the whole one.
#include "catalogue/loader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto rows = plendrik::catalogue::parseCatalogue(bytes);
    for (const auto& row : rows) {
        if (row.size() != 4 || row[1].size() < 2 || row[1].compare(row[1].size() - 2, 2, "KB") != 0)
            std::abort();
        for (const auto& cell : row)
            if (!validUtf8(cell))
                std::abort();
    }
    std::vector<plendrik::ui::Row> batched;
    plendrik::catalogue::parseCatalogue(bytes, 3, [&](std::vector<plendrik::ui::Row>&& batch) {
        if (batch.empty() || batch.size() > 3)
            std::abort();
        for (auto& r : batch)
            batched.push_back(std::move(r));
        return true;
    });
    if (batched != rows)
        std::abort();
    return 0;
}
