// Deterministic zip archives of an exact size: one stored entry whose data fills the archive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plendrik::sample {

std::uint32_t crc32(std::string_view bytes);
std::uint64_t hash64(std::string_view bytes);

// A valid zip of exactly totalBytes bytes holding one stored file named entryName (UTF-8),
// its contents derived from seed. totalBytes must be at least minimumZipSize(entryName).
std::string makeZip(std::string_view entryName, std::uint64_t seed, std::size_t totalBytes);
std::size_t minimumZipSize(std::string_view entryName);

} // namespace plendrik::sample
