#include "common/ini.h"

#include "common/gbk.h"

namespace plendrik::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isGbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

std::string_view trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A line break inside a name or value would start a line of its own, which a later read would take
// as a section or key: a hostile resource name could then rewrite the saved page.
std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

std::string foldName(std::string_view gbkName) {
    std::string out(gbkName);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (isGbkLead(c) && i + 1 < out.size())
            ++i; // the trail byte belongs to the character
        else if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

Document Document::parse(std::string_view bytes) {
    std::string converted;
    if (bytes.starts_with(kUtf8Bom)) {
        converted = gbk::fromUtf8(bytes.substr(kUtf8Bom.size()));
        bytes = converted;
    }
    Document doc;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = trim(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos) {
                doc.m_sections.push_back(Section{std::string(trim(line.substr(1, close - 1))), true, {}});
                doc.index(doc.m_sections.size() - 1);
                continue;
            }
        }
        if (doc.m_sections.empty())
            doc.m_sections.push_back(Section{{}, false, {}});
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            doc.m_sections.back().lines.push_back(Line{std::string(line), {}, false});
        else
            doc.m_sections.back().lines.push_back(Line{std::string(trim(line.substr(0, equals))),
                                                       std::string(trim(line.substr(equals + 1))), true});
    }
    return doc;
}

void Document::index(std::size_t section) {
    // emplace keeps the first section of a name
    m_byName.emplace(foldName(m_sections[section].name), section);
}

std::size_t Document::sectionIndex(std::string_view name) const {
    const auto it = m_byName.find(foldName(name));
    return it == m_byName.end() ? kNone : it->second;
}

const std::string* Document::find(std::string_view section, std::string_view key) const {
    const std::size_t at = sectionIndex(section);
    if (at == kNone)
        return nullptr;
    const Section* found = &m_sections[at];
    const std::string folded = foldName(key);
    for (const Line& line : found->lines)
        if (line.isKey && foldName(line.key) == folded)
            return &line.value;
    return nullptr;
}

void Document::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = oneLine(trim(section));
    const std::string keyName = oneLine(trim(key));
    std::size_t at = sectionIndex(sectionName);
    if (at == kNone) {
        m_sections.push_back(Section{sectionName, true, {}});
        at = m_sections.size() - 1;
        index(at);
    }
    Section* target = &m_sections[at];
    const std::string folded = foldName(keyName);
    for (Line& line : target->lines)
        if (line.isKey && foldName(line.key) == folded) {
            line.value = oneLine(value);
            return;
        }
    target->lines.push_back(Line{keyName, oneLine(value), true});
}

std::string Document::serialize() const {
    std::string out;
    for (const Section& section : m_sections) {
        if (section.hasHeader) {
            out += '[';
            out += section.name;
            out += "]\r\n";
        }
        for (const Line& line : section.lines) {
            out += line.key;
            if (line.isKey) {
                out += '=';
                out += line.value;
            }
            out += "\r\n";
        }
    }
    // A first line that begins with the bytes of a byte order mark would make the file read back as
    // UTF-8; such a line holds no key (keys before the first section belong to none): keep it as a
    // comment.
    if (out.starts_with(kUtf8Bom))
        out.insert(out.begin(), ';');
    return out;
}

} // namespace plendrik::ini
