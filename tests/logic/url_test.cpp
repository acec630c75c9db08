// Addresses built from UTF-8 names become ASCII on the wire; valid addresses stay as they are.
#include "common/url.h"

#include <gtest/gtest.h>

namespace plendrik {
namespace {

struct UrlCase {
    std::string in;
    std::string expected;
};

class EncodeUrlPath : public ::testing::TestWithParam<UrlCase> {};

TEST_P(EncodeUrlPath, encodesOnlyWhatCannotStand) {
    EXPECT_EQ(encodeUrlPath(GetParam().in), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, EncodeUrlPath,
    ::testing::Values(UrlCase{"http://h:1/files/jar/123.txt", "http://h:1/files/jar/123.txt"},
                      UrlCase{"http://h/a/资源.zip", "http://h/a/%E8%B5%84%E6%BA%90.zip"},
                      UrlCase{"http://h/a b|c.zip", "http://h/a%20b%7Cc.zip"},
                      UrlCase{"http://h/already%20encoded?x=1#f", "http://h/already%20encoded?x=1#f"},
                      UrlCase{"http://h", "http://h"}, UrlCase{"", ""},
                      UrlCase{"http://h/\x01\x7F", "http://h/%01%7F"}));

TEST(EncodeUrlPathPiece, keepsAPieceOnePiece) {
    EXPECT_EQ(encodeUrlPathPiece("a/b?c#d%e f"), "a%2Fb%3Fc%23d%25e%20f");
    EXPECT_EQ(encodeUrlPathPiece("例程-1.2_x~"), "%E4%BE%8B%E7%A8%8B-1.2_x~");
    EXPECT_EQ(encodeUrlPathPiece(""), "");
}

} // namespace
} // namespace plendrik
