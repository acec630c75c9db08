// POSIX file calls: the Windows build replaces the stamp and the atomic replace in this file
// (MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
#include "platform/ini_file.h"

#include "common/gbk.h"
#include "common/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace plendrik::platform {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(std::string_view p) {
    return fs::path(std::u8string(p.begin(), p.end()));
}

// What tells one version of a file from another without reading it.
struct Stamp {
    off_t size = 0;
    timespec mtime{};
    ino_t inode = 0;
    bool operator==(const Stamp& o) const {
        return size == o.size && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               inode == o.inode;
    }
};

std::optional<Stamp> stampOf(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Stamp{st.st_size, st.st_mtim, st.st_ino};
}

// A parsed file ready for look-ups in UTF-8: names folded, values decoded and already cut to what
// the read buffer holds.
struct ReadView {
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> values;
};

std::string foldUtf8(std::string_view name) {
    // In UTF-8 every byte below 0x80 is a character of its own, so lowering them is safe.
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string cutToReadBuffer(std::string_view gbkValue) {
    return std::string(gbkValue.substr(0, gbk::prefixLength(gbkValue, kIniReadBuffer - 1)));
}

std::shared_ptr<const ReadView> makeView(const ini::Document& doc) {
    auto view = std::make_shared<ReadView>();
    for (const ini::Section& section : doc.sections()) {
        if (!section.hasHeader)
            continue;
        // emplace keeps the first section and the first key of a name, as look-ups in the file do
        auto& keys = view->values.try_emplace(foldUtf8(gbk::toUtf8(section.name))).first->second;
        for (const ini::Line& line : section.lines)
            if (line.isKey)
                keys.try_emplace(foldUtf8(gbk::toUtf8(line.key)), gbk::toUtf8(cutToReadBuffer(line.value)));
    }
    return view;
}

// Restoring a page reads five keys per row: the file is parsed once per version, not per key. The
// look-up view is built on the first read; a save needs only the document.
std::mutex g_mutex;
struct Cached {
    std::string path;
    Stamp stamp;
    std::shared_ptr<const ini::Document> doc;
    std::shared_ptr<const ReadView> view; // null until a read asks for it
};
std::optional<Cached> g_cache;
std::atomic<long long> g_failAfter{-1};

std::optional<std::string> readWhole(std::string_view path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

// The current version of the file, parsed; nullptr when there is no readable file. When it
// returns the cached document, g_cache names this file. Call locked.
std::shared_ptr<const ini::Document> docLocked(std::string_view file) {
    // One look at the file per call: the cached path spares building the name again.
    const bool samePath = g_cache && g_cache->path == file;
    const std::string path = samePath ? std::string() : std::string(file);
    const char* name = samePath ? g_cache->path.c_str() : path.c_str();
    const std::optional<Stamp> stamp = stampOf(name);
    if (!stamp) {
        g_cache.reset();
        return nullptr;
    }
    if (samePath && g_cache->stamp == *stamp)
        return g_cache->doc;
    const std::optional<std::string> bytes = readWhole(file);
    if (!bytes)
        return nullptr;
    auto doc = std::make_shared<const ini::Document>(ini::Document::parse(*bytes));
    // A file changed while it was read is parsed again next time.
    if (stampOf(name) == stamp)
        g_cache = Cached{std::string(file), *stamp, doc, nullptr};
    else
        g_cache.reset();
    return doc;
}

std::shared_ptr<const ReadView> viewLocked(std::string_view file) {
    const auto doc = docLocked(file);
    if (!doc)
        return nullptr;
    if (!g_cache || g_cache->doc != doc)
        return makeView(*doc);
    if (!g_cache->view)
        g_cache->view = makeView(*doc);
    return g_cache->view;
}

bool writeAll(int fd, std::string_view bytes) {
    // The test hook: write part of the file, then fail as a full disk would.
    const long long failAfter = g_failAfter.exchange(-1);
    const bool fail = failAfter >= 0;
    if (fail)
        bytes = bytes.substr(0, std::min(bytes.size(), static_cast<std::size_t>(failAfter)));
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return !fail;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the whole file beside the old one and renames it over: a failure or a crash at any
// point leaves the old file or the new one, never part of one.
bool replaceFile(const std::string& path, std::string_view bytes) {
    const fs::path target = pathOf(path);
    const fs::path folder = target.parent_path();
    std::error_code ec;
    if (!folder.empty())
        fs::create_directories(folder, ec);
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    struct stat old {};
    ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

std::string lookUp(const ReadView& view, std::string_view section, std::string_view key) {
    const auto s = view.values.find(foldUtf8(section));
    if (s == view.values.end())
        return {};
    const auto k = s->second.find(foldUtf8(key));
    return k == s->second.end() ? std::string() : k->second;
}

} // namespace

std::string readIni(std::string_view file, std::string_view section, std::string_view key) {
    std::lock_guard lock(g_mutex);
    const auto view = viewLocked(file);
    return view ? lookUp(*view, section, key) : std::string();
}

std::vector<std::string> readIniEntries(std::string_view file, const std::vector<IniKey>& keys) {
    std::lock_guard lock(g_mutex);
    const auto view = viewLocked(file);
    std::vector<std::string> values(keys.size());
    if (view)
        for (std::size_t i = 0; i < keys.size(); ++i)
            values[i] = lookUp(*view, keys[i].section, keys[i].key);
    return values;
}

bool writeIni(std::string_view file, std::string_view section, std::string_view key, std::string_view value) {
    return writeIniEntries(file, {IniEntry{std::string(section), std::string(key), std::string(value)}});
}

bool writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries) {
    if (file.empty())
        return false; // no file named: nothing to write, not even a temporary file
    std::lock_guard lock(g_mutex);
    const std::string path(file);
    auto doc = std::make_shared<ini::Document>();
    if (const auto old = docLocked(path))
        *doc = *old;
    else if (std::error_code ec; fs::exists(pathOf(path), ec) || ec)
        return false; // a file that cannot be read is not overwritten with a page of our own
    std::string section, gbkSection;
    for (const IniEntry& e : entries) {
        if (e.section != section) { // a row's keys come together: convert its section name once
            section = e.section;
            gbkSection = gbk::fromUtf8(section);
        }
        doc->set(gbkSection, gbk::fromUtf8(e.key), gbk::fromUtf8(e.value));
    }
    if (!replaceFile(path, doc->serialize())) {
        g_cache.reset();
        return false;
    }
    // What was written is the current version: the next save or read need not parse it again.
    if (const std::optional<Stamp> stamp = stampOf(path.c_str()))
        g_cache = Cached{path, *stamp, std::move(doc), nullptr};
    else
        g_cache.reset();
    return true;
}

namespace testing {
void failNextIniSaveAfter(std::size_t bytes) {
    g_failAfter = static_cast<long long>(bytes);
}
} // namespace testing

} // namespace plendrik::platform
