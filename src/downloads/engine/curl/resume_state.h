// What a stopped transfer needs to continue: where from, where to, how far, and the validators that
// tell whether the server still has the same file. Carried to the program as an opaque TaskState.
#pragma once

#include "downloads/engine/download_engine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plendrik::downloads::curl {

struct ResumeState {
    std::string address;      // as the record gave it
    std::string savePath;     // the final name; bytes go to savePath + ".part" until whole
    std::int64_t offset = 0;  // bytes in the partial file when the transfer stopped
    std::int64_t total = -1;  // size of the whole file; -1 while unknown
    std::string etag;         // as the server sent it, quotes included
    std::string lastModified; // as the server sent it

    bool operator==(const ResumeState&) const = default;
};

TaskState encodeState(const ResumeState& state);
// Nothing for a state this engine did not write or that was damaged on the way.
std::optional<ResumeState> decodeState(std::string_view bytes);

} // namespace plendrik::downloads::curl
