// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace plendrik::test {

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("plendrik-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A path inside the folder, as the program's UTF-8 text.
    std::string path(std::string_view relative = {}) const {
        const auto p = relative.empty() ? m_path : m_path / fsPath(relative);
        const std::u8string s = p.u8string();
        return std::string(s.begin(), s.end());
    }

    static std::filesystem::path fsPath(std::string_view utf8) {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }
    static void writeBytes(std::string_view file, std::string_view bytes) {
        std::ofstream out(fsPath(file), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string readBytes(std::string_view file) {
        std::ifstream in(fsPath(file), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static bool exists(std::string_view file) { return std::filesystem::exists(fsPath(file)); }

private:
    std::filesystem::path m_path;
};

} // namespace plendrik::test
