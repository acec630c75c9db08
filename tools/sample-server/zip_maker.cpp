#include "zip_maker.h"

#include <array>

namespace plendrik::sample {
namespace {

constexpr std::size_t kLocalHeader = 30;
constexpr std::size_t kCentralHeader = 46;
constexpr std::size_t kEndRecord = 22;
constexpr std::uint16_t kUtf8NameFlag = 0x0800;
// 2014-05-01 08:00 in DOS form, the same for every entry so the bytes depend on the seed only.
constexpr std::uint16_t kDosTime = 8 << 11;
constexpr std::uint16_t kDosDate = ((2014 - 1980) << 9) | (5 << 5) | 1;

const std::array<std::uint32_t, 256>& crcTable() {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Readable text first so an opened entry shows what it is, then noise that does not compress.
std::string entryData(std::string_view entryName, std::uint64_t seed, std::size_t length) {
    std::string data = "Plendrik sample resource: ";
    data.append(entryName);
    data += "\r\n";
    if (data.size() > length)
        data.resize(length);
    std::uint64_t state = seed;
    while (data.size() < length) {
        std::uint64_t word = splitmix(state);
        for (int i = 0; i < 8 && data.size() < length; ++i, word >>= 8)
            data.push_back(static_cast<char>(word & 0xFF));
    }
    return data;
}

void putEntryFields(std::string& out, std::uint32_t crc, std::size_t dataSize, std::size_t nameSize) {
    put16(out, 0); // stored
    put16(out, kDosTime);
    put16(out, kDosDate);
    put32(out, crc);
    put32(out, static_cast<std::uint32_t>(dataSize));
    put32(out, static_cast<std::uint32_t>(dataSize));
    put16(out, static_cast<std::uint32_t>(nameSize));
    put16(out, 0); // extra field
}

} // namespace

std::uint32_t crc32(std::string_view bytes) {
    const auto& table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint64_t hash64(std::string_view bytes) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 0x100000001B3ull;
    }
    return h;
}

std::size_t minimumZipSize(std::string_view entryName) {
    return kLocalHeader + kCentralHeader + kEndRecord + 2 * entryName.size();
}

std::string makeZip(std::string_view entryName, std::uint64_t seed, std::size_t totalBytes) {
    const std::size_t overhead = minimumZipSize(entryName);
    const std::size_t dataSize = totalBytes > overhead ? totalBytes - overhead : 0;
    const std::string data = entryData(entryName, seed, dataSize);
    const std::uint32_t crc = crc32(data);

    std::string out;
    out.reserve(overhead + dataSize);
    put32(out, 0x04034B50);
    put16(out, 10); // version needed
    put16(out, kUtf8NameFlag);
    putEntryFields(out, crc, dataSize, entryName.size());
    out.append(entryName);
    out += data;

    const std::size_t centralOffset = out.size();
    put32(out, 0x02014B50);
    put16(out, 0x0314); // made by: unix, 2.0
    put16(out, 10);
    put16(out, kUtf8NameFlag);
    putEntryFields(out, crc, dataSize, entryName.size());
    put16(out, 0);           // comment
    put16(out, 0);           // disk
    put16(out, 0);           // internal attributes
    put32(out, 0644u << 16); // external attributes: a plain file
    put32(out, 0);           // local header offset
    out.append(entryName);
    const std::size_t centralSize = out.size() - centralOffset;

    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    put32(out, static_cast<std::uint32_t>(centralSize));
    put32(out, static_cast<std::uint32_t>(centralOffset));
    put16(out, 0);
    return out;
}

} // namespace plendrik::sample
