#include "downloads/engine/curl/resume_state.h"

namespace plendrik::downloads::curl {
namespace {

// "PLRS", a format version, two 64-bit numbers, then four length-prefixed texts; little endian.
constexpr std::string_view kMagic = "PLRS";
constexpr unsigned char kVersion = 1;
constexpr std::uint32_t kMaxText = 64 * 1024;

void putNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putText(std::string& out, std::string_view text) {
    putNumber(out, text.size(), 4);
    out += text;
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool number(std::uint64_t& value, int bytes) {
        if (m_bytes.size() < static_cast<std::size_t>(bytes))
            return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint64_t{static_cast<unsigned char>(m_bytes[i])} << (8 * i);
        m_bytes.remove_prefix(bytes);
        return true;
    }

    bool text(std::string& out) {
        std::uint64_t length = 0;
        if (!number(length, 4) || length > kMaxText || length > m_bytes.size())
            return false;
        out.assign(m_bytes.substr(0, length));
        m_bytes.remove_prefix(length);
        return true;
    }

    bool atEnd() const { return m_bytes.empty(); }

private:
    std::string_view m_bytes;
};

} // namespace

TaskState encodeState(const ResumeState& state) {
    std::string out(kMagic);
    out += static_cast<char>(kVersion);
    putNumber(out, static_cast<std::uint64_t>(state.offset), 8);
    putNumber(out, static_cast<std::uint64_t>(state.total), 8);
    putText(out, state.address);
    putText(out, state.savePath);
    putText(out, state.etag);
    putText(out, state.lastModified);
    return out;
}

std::optional<ResumeState> decodeState(std::string_view bytes) {
    if (!bytes.starts_with(kMagic) || bytes.size() < kMagic.size() + 1 ||
        static_cast<unsigned char>(bytes[kMagic.size()]) != kVersion)
        return std::nullopt;
    Reader in(bytes.substr(kMagic.size() + 1));
    ResumeState state;
    std::uint64_t offset = 0;
    std::uint64_t total = 0;
    if (!in.number(offset, 8) || !in.number(total, 8) || !in.text(state.address) ||
        !in.text(state.savePath) || !in.text(state.etag) || !in.text(state.lastModified) || !in.atEnd())
        return std::nullopt;
    state.offset = static_cast<std::int64_t>(offset);
    state.total = static_cast<std::int64_t>(total);
    if (state.address.empty() || state.savePath.empty() || state.offset < 0 || state.total < -1 ||
        (state.total >= 0 && state.offset > state.total))
        return std::nullopt;
    return state;
}

} // namespace plendrik::downloads::curl
