// The INI profile format as the platform's profile services read and write it, on GBK bytes:
// "[section]" and "key=value" lines ended by CR LF. Section and key names compare without regard
// to the case of Latin letters; the first section and the first key of a name win; leading and
// trailing spaces of names and values are dropped on read; lines without '=' hold no key.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plendrik::ini {

struct Line {
    std::string key; // empty with isKey false: a line kept as it was (a comment, for instance)
    std::string value;
    bool isKey = true;
};

struct Section {
    std::string name; // the lines before the first section header have no name and no header
    bool hasHeader = true;
    std::vector<Line> lines;
};

class Document final {
public:
    // A UTF-8 byte order mark is taken as a file saved as UTF-8 and its text is turned into GBK.
    static Document parse(std::string_view bytes);

    // The value's GBK bytes as stored, or nullptr when the section or the key is missing.
    const std::string* find(std::string_view section, std::string_view key) const;
    // Replaces the key's value, adding the section at the end and the key at the section's end
    // when missing. Line breaks inside any of the three become spaces: a value never adds lines.
    void set(std::string_view section, std::string_view key, std::string_view value);
    std::string serialize() const;

    const std::vector<Section>& sections() const { return m_sections; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t sectionIndex(std::string_view name) const; // kNone when missing
    void index(std::size_t section);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_byName; // folded name -> first such section
};

// The name with Latin letters lowered, taking double-byte GBK characters whole (their second byte
// may look like a Latin letter).
std::string foldName(std::string_view gbkName);

} // namespace plendrik::ini
