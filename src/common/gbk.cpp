#include "common/gbk.h"

#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>

namespace plendrik::gbk {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter c(ucnv_open(name, &status));
    if (U_FAILURE(status))
        throw std::runtime_error("ICU converter unavailable");
    return c;
}

// One converter pair per thread: ICU converters are stateful and not thread-safe.
UConverter* gbkConverter() {
    thread_local Converter c = [] {
        Converter conv = openConverter("windows-936");
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setSubstChars(conv.get(), "?", 1, &status);
        return conv;
    }();
    return c.get();
}

UConverter* utf8Converter() {
    thread_local Converter c = openConverter("UTF-8");
    return c.get();
}

std::string convert(UConverter* to, UConverter* from, std::string_view in) {
    if (in.empty())
        return {};
    // Short texts (the loader decodes hundreds of thousands of fields) convert in a scratch buffer
    // kept per thread, so each call allocates only its exact result; long ones get their own.
    constexpr std::size_t kScratchLimit = 4096;
    thread_local std::string scratch;
    std::string own;
    std::string& buffer = in.size() <= kScratchLimit ? scratch : own;
    if (buffer.size() < in.size() * 3 + 16)
        buffer.resize(in.size() * 3 + 16);
    for (;;) {
        char* target = buffer.data();
        const char* source = in.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetToUnicode(from);
        ucnv_resetFromUnicode(to);
        ucnv_convertEx(to, from, &target, buffer.data() + buffer.size(), &source, in.data() + in.size(), nullptr,
                       nullptr, nullptr, nullptr, true, true, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (U_FAILURE(status))
            return {};
        return std::string(buffer.data(), static_cast<std::size_t>(target - buffer.data()));
    }
}

} // namespace

std::string toUtf8(std::string_view gbk) {
    // Plain ASCII needs no conversion: the common case for addresses and numbers.
    bool ascii = true;
    for (unsigned char c : gbk)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(gbk);
    return convert(utf8Converter(), gbkConverter(), gbk);
}

std::string fromUtf8(std::string_view utf8) {
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(utf8);
    return convert(gbkConverter(), utf8Converter(), utf8);
}

std::string_view untilZero(std::string_view bytes) {
    const auto zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::size_t prefixLength(std::string_view gbk, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < gbk.size()) {
        const std::size_t step = static_cast<unsigned char>(gbk[i]) >= 0x80 ? 2 : 1;
        if (i + step > maxBytes)
            break;
        i += step;
    }
    return i > gbk.size() ? gbk.size() : i;
}

} // namespace plendrik::gbk
