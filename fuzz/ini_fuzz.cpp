// The INI format on arbitrary bytes: what is written back reads back the same, and a key that is
// set reads back as set.
#include "common/ini.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using plendrik::ini::Document;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Document doc = Document::parse(bytes);
    const std::string once = doc.serialize();
    const Document again = Document::parse(once);
    if (once.starts_with("\xEF\xBB\xBF") || again.serialize() != once)
        std::abort();
    for (const auto& section : doc.sections())
        for (const auto& line : section.lines) {
            if (!section.hasHeader || !line.isKey)
                continue;
            const std::string* a = doc.find(section.name, line.key);
            const std::string* b = again.find(section.name, line.key);
            if ((a == nullptr) != (b == nullptr) || (a && *a != *b))
                std::abort();
        }

    // Set a key named by the last bytes to a value made of the first ones.
    const std::string value(bytes.substr(0, size / 2));
    std::string name;
    for (char c : bytes.substr(size / 2))
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name += c;
    if (name.empty())
        return 0;
    doc.set(name, name, value);
    std::string expected(value);
    for (char& c : expected)
        if (c == '\r' || c == '\n')
            c = ' ';
    const std::string written = doc.serialize();
    const Document back = Document::parse(written);
    const std::string* read = back.find(name, name);
    if (!read || *read != trimmed(expected))
        std::abort();
    return 0;
}
