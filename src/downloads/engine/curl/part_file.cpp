#include "downloads/engine/curl/part_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plendrik::downloads::curl {
namespace {

// Pieces arrive in read-block sizes; the disk sees them in writes of this size.
constexpr std::size_t kWriteSize = 1024 * 1024;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

PartFile::~PartFile() {
    close();
}

bool PartFile::open(const std::string& path, bool fresh) {
    close();
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (fresh ? O_TRUNC : 0);
    m_fd = ::open(path.c_str(), flags, 0644);
    if (m_fd < 0)
        return false;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close();
        return false;
    }
    m_path = path;
    m_size = info.st_size;
    return true;
}

bool PartFile::empty() {
    m_buffer.clear();
    if (m_fd < 0 || ::ftruncate(m_fd, 0) != 0)
        return false;
    m_size = 0;
    return true;
}

bool PartFile::append(const char* data, std::size_t length) {
    if (m_fd < 0)
        return false;
    if (m_buffer.size() + length > kWriteSize && !flush())
        return false;
    if (length >= kWriteSize) {
        if (!writeOut(data, length))
            return false;
    } else {
        m_buffer.insert(m_buffer.end(), data, data + length);
    }
    m_size += static_cast<std::int64_t>(length);
    return true;
}

bool PartFile::flush() {
    if (m_buffer.empty())
        return true;
    const bool written = writeOut(m_buffer.data(), m_buffer.size());
    if (!written)
        m_size -= static_cast<std::int64_t>(m_buffer.size()); // those bytes never reached the file
    m_buffer.clear();
    return written;
}

bool PartFile::writeOut(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(m_fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool PartFile::commit(const std::string& finalPath) {
    if (m_fd < 0 || !flush())
        return false;
    const bool synced = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed || std::rename(m_path.c_str(), finalPath.c_str()) != 0)
        return false;
    syncFolder(finalPath);
    return true;
}

void PartFile::close() {
    if (m_fd >= 0) {
        flush();
        ::close(m_fd);
    }
    m_fd = -1;
}

void PartFile::closeDiscardingEmpty() {
    const bool wasOpen = m_fd >= 0;
    close();
    if (wasOpen && m_size == 0)
        ::unlink(m_path.c_str());
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace plendrik::downloads::curl
