// The partial file a transfer writes into, and the step that gives it its final name. The only
// file-system code of the engine: a Windows build replaces part_file.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plendrik::downloads::curl {

class PartFile final {
public:
    PartFile() = default;
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Opens or creates the file for appending; `fresh` empties it. False when it cannot be written.
    bool open(const std::string& path, bool fresh);
    // Bytes taken, whether already in the file or still in the write buffer.
    std::int64_t size() const { return m_size; }
    bool empty();
    // Collects small pieces into large writes; false when the file cannot take them.
    bool append(const char* data, std::size_t length);
    // Writes out what is still buffered.
    bool flush();
    // Syncs the data, closes the file and renames it to finalPath (replacing an older file there),
    // then syncs the folder so the new name survives a crash.
    bool commit(const std::string& finalPath);
    void close();
    // Closes the file and removes it when it holds nothing: no empty leftovers beside the downloads.
    void closeDiscardingEmpty();

private:
    bool writeOut(const char* data, std::size_t length);

    int m_fd = -1;
    std::string m_path;
    std::int64_t m_size = 0;
    std::vector<char> m_buffer;
};

bool fileExists(const std::string& path);

} // namespace plendrik::downloads::curl
