// The split rule on GBK bytes: pieces, empty pieces, the trailing separator, and separators that
// are really the second byte of a double-byte character.
#include "catalogue/split_text.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace plendrik::catalogue {
namespace {

using Pieces = std::vector<std::string>;

Pieces split(std::string_view text, std::string_view separator) {
    Pieces out;
    for (std::string_view piece : SplitText(text, separator))
        out.emplace_back(piece);
    return out;
}

// "亅" in GBK: a lead byte followed by 0x7C, the byte of "|".
const std::string kBarSecondByte = "\x81\x7C";

struct SplitCase {
    const char* what;
    std::string text;
    std::string separator;
    Pieces expected;
};

class SplitTextTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTable, givesThePiecesOfTheRule) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(split(c.text, c.separator), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Consequences, SplitTextTable,
    ::testing::Values(
        SplitCase{"plain", "a|b|c", "|", {"a", "b", "c"}},
        SplitCase{"trailing separator gives no empty last piece", "a|b|", "|", {"a", "b"}},
        SplitCase{"two separators give an empty piece", "a||b", "|", {"a", "", "b"}},
        SplitCase{"leading separator gives an empty first piece", "|a", "|", {"", "a"}},
        SplitCase{"only the separator gives one empty piece", "|", "|", {""}},
        SplitCase{"two separators alone", "||", "|", {"", ""}},
        SplitCase{"empty text gives no pieces", "", "|", {}}, SplitCase{"no separator", "abc", "|", {"abc"}},
        SplitCase{"separator at the very end", "abc\r\n", "\r\n", {"abc"}},
        SplitCase{"lines at CR LF", "x|1\r\ny|2\r\n", "\r\n", {"x|1", "y|2"}},
        SplitCase{"a lone LF stays inside", "a\nb\r\nc", "\r\n", {"a\nb", "c"}},
        SplitCase{"a lone CR stays inside", "a\rb\r\n", "\r\n", {"a\rb"}},
        SplitCase{"two CR LF give an empty line", "a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        SplitCase{"separator longer than the text", "ab", "abc", {"ab"}},
        SplitCase{"separator longer than the rest", "a|bc", "bcd", {"a|bc"}},
        SplitCase{"half a separator at the end", "a\r\nb\r", "\r\n", {"a", "b\r"}},
        SplitCase{"second byte 0x7C is no separator", kBarSecondByte + "|b", "|", {kBarSecondByte, "b"}},
        SplitCase{"inside a name", "a" + kBarSecondByte + "c|d", "|", {"a" + kBarSecondByte + "c", "d"}},
        SplitCase{"a lead byte takes the separator with it", "a\x81|b", "|", {"a\x81|b"}},
        SplitCase{"0x80 is a lead byte too", "\x80|b|c", "|", {"\x80|b", "c"}},
        SplitCase{"a lead byte takes CR with it", "a\x81\r\nb", "\r\n", {"a\x81\r\nb"}},
        SplitCase{"a lead byte at the very end", "a|\x81", "|", {"a", "\x81"}},
        SplitCase{"double-byte separator on boundaries only",
                  "\xB0\xA1\xB0\xA1x",
                  "\xA1\xB0",
                  {"\xB0\xA1\xB0\xA1x"}},
        SplitCase{"double-byte separator",
                  "a\xB0\xA1"
                  "b",
                  "\xB0\xA1",
                  {"a", "b"}}));

TEST(SplitText, theBarCaseIsARealGbkCharacter) {
    EXPECT_EQ(gbk::toUtf8(kBarSecondByte), "亅");
    EXPECT_EQ(gbk::fromUtf8("亅"), kBarSecondByte);
}

// The rule as written, one character at a time: the oracle for texts nobody thought of.
Pieces byTheRule(std::string_view text, std::string_view separator) {
    Pieces pieces;
    std::size_t start = 0, i = 0;
    while (text.size() - i >= separator.size()) {
        if (text.substr(i, separator.size()) == separator) {
            pieces.emplace_back(text.substr(start, i - start));
            i += separator.size();
            start = i;
        } else {
            i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
            if (i > text.size())
                break;
        }
    }
    if (start < text.size())
        pieces.emplace_back(text.substr(start));
    return pieces;
}

TEST(SplitText, agreesWithTheRuleOnMixedBytes) {
    const std::string alphabet = "a|\r\n\x81\x7C\xB0\xA1";
    const std::vector<std::string> separators = {"|", "\r\n", "a|", "\xB0\xA1"};
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        for (const std::string& separator : separators)
            ASSERT_EQ(split(text, separator), byTheRule(text, separator))
                << "text bytes: " << ::testing::PrintToString(text) << " separator " << separator;
    }
}

} // namespace
} // namespace plendrik::catalogue
