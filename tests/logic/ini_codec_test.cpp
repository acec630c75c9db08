// The INI format on GBK bytes: how a file is read, looked up, changed and written back.
#include "common/gbk.h"
#include "common/ini.h"

#include <gtest/gtest.h>

namespace plendrik::ini {
namespace {

// "[资源表1]" "内容=安卓" "大小=12KB" in GBK, as the profile services lay a file out.
constexpr std::string_view kSection1 = "\xD7\xCA\xD4\xB4\xB1\xED\x31"; // 资源表1
constexpr std::string_view kContent = "\xC4\xDA\xC8\xDD";              // 内容
constexpr std::string_view kSize = "\xB4\xF3\xD0\xA1";                 // 大小
constexpr std::string_view kAnzhuo = "\xB0\xB2\xD7\xBF";               // 安卓

std::string valueOf(const Document& doc, std::string_view section, std::string_view key) {
    const std::string* v = doc.find(section, key);
    return v ? *v : std::string("<missing>");
}

TEST(IniCodecTest, readsTheLayoutOfTheProfileServices) {
    const std::string bytes = std::string("[") + std::string(kSection1) + "]\r\n" + std::string(kContent) +
                              "=" + std::string(kAnzhuo) + "\r\n" + std::string(kSize) + "=12KB\r\n";
    const Document doc = Document::parse(bytes);
    EXPECT_EQ(valueOf(doc, kSection1, kContent), kAnzhuo);
    EXPECT_EQ(valueOf(doc, kSection1, kSize), "12KB");
    EXPECT_EQ(valueOf(doc, kSection1, "missing"), "<missing>");
    EXPECT_EQ(valueOf(doc, "missing", kSize), "<missing>");
    EXPECT_EQ(doc.serialize(), bytes) << "an unchanged file is written back byte for byte";
}

struct LookupCase {
    const char* what;
    std::string file;
    std::string section, key;
    std::string expected; // "<missing>" when not found
};

class IniLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniLookupTest, findsWhatTheProfileServicesWouldFind) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(valueOf(Document::parse(c.file), c.section, c.key), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLookupTest,
    ::testing::Values(
        LookupCase{"section and key ignore Latin case", "[Rows]\r\nCount=3\r\n", "rOWS", "COUNT", "3"},
        LookupCase{"a GBK trail byte is no Latin letter", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k",
                   "<missing>"},
        LookupCase{"the same GBK character matches", "[\x81\x41]\r\nk=1\r\n", "\x81\x41", "K", "1"},
        LookupCase{"spaces around names and values go", "  [ s ]  \r\n  k  =  v w  \r\n", "s", "k", "v w"},
        LookupCase{"tabs around a value go", "[s]\r\nk=\tv\t\r\n", "s", "k", "v"},
        LookupCase{"an empty value", "[s]\r\nk=\r\n", "s", "k", ""},
        LookupCase{"the first '=' splits", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        LookupCase{"a line without '=' holds no key", "[s]\r\nk\r\n", "s", "k", "<missing>"},
        LookupCase{"keys before any section belong to none", "k=1\r\n[s]\r\n", "", "k", "<missing>"},
        LookupCase{"the first section of a name wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "k", "1"},
        LookupCase{"the first key of a name wins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        LookupCase{"a later section of the name is not searched", "[s]\r\na=1\r\n[s]\r\nk=2\r\n", "s", "k",
                   "<missing>"},
        LookupCase{"LF line ends", "[s]\nk=1\n", "s", "k", "1"},
        LookupCase{"CR line ends", "[s]\rk=1\r", "s", "k", "1"},
        LookupCase{"no line end at the end", "[s]\r\nk=1", "s", "k", "1"},
        LookupCase{"a header without ']' is no section", "[s\r\nk=1\r\n", "s", "k", "<missing>"},
        LookupCase{"a UTF-8 byte order mark: the text is UTF-8",
                   "\xEF\xBB\xBF[\xE8\xAE\xB0\xE5\xBD\x95\x31]\r\nk=\xE5\xAE\x89\xE5\x8D\x93\r\n",
                   "\xBC\xC7\xC2\xBC\x31", "k", std::string(kAnzhuo)},
        LookupCase{"a byte order mark before plain ASCII", "\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", "1"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(IniCodecTest, setReplacesInPlaceAndAppendsWhatIsMissing) {
    Document doc = Document::parse("; kept\r\n[a]\r\nx=1\r\nnote\r\ny=2\r\n[b]\r\nz=3\r\n");
    doc.set("A", "X", "10"); // the existing key keeps its spelling and place
    doc.set("a", "w", "");   // a new key goes to the end of its section
    doc.set("c", "v", "5");  // a new section goes to the end of the file
    EXPECT_EQ(doc.serialize(), "; kept\r\n[a]\r\nx=10\r\nnote\r\ny=2\r\nw=\r\n[b]\r\nz=3\r\n[c]\r\nv=5\r\n");
}

TEST(IniCodecTest, aValueWithLineBreaksCannotAddSectionsOrKeys) {
    Document doc;
    doc.set("row1", "name", "x\r\n[count]\r\nvalue=99999\nend");
    doc.set("count", "value", "1");
    const Document back = Document::parse(doc.serialize());
    EXPECT_EQ(valueOf(back, "count", "value"), "1");
    EXPECT_EQ(valueOf(back, "row1", "name"), "x  [count]  value=99999 end");
    EXPECT_EQ(back.sections().size(), 2u);
}

TEST(IniCodecTest, manySectionsRoundTripInOrder) {
    Document doc;
    for (int i = 1; i <= 300; ++i) {
        doc.set("s" + std::to_string(i), "a", std::to_string(i));
        doc.set("s" + std::to_string(i), "b", gbk::fromUtf8("值" + std::to_string(i)));
    }
    const Document back = Document::parse(doc.serialize());
    ASSERT_EQ(back.sections().size(), 300u);
    EXPECT_EQ(back.sections()[299].name, "s300");
    EXPECT_EQ(valueOf(back, "S150", "A"), "150");
    EXPECT_EQ(gbk::toUtf8(valueOf(back, "s7", "b")), "值7");
    EXPECT_EQ(back.serialize(), doc.serialize());
}

TEST(IniCodecTest, aFileWrittenBackNeverStartsLikeUtf8) {
    // Leading spaces trimmed, the first line begins with the bytes of a byte order mark.
    const Document doc = Document::parse(" \xEF\xBB\xBF\xB0\xA1\r\n[s]\r\nk=\xB0\xB2\r\n");
    const std::string written = doc.serialize();
    EXPECT_FALSE(written.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(valueOf(Document::parse(written), "s", "k"), "\xB0\xB2");
}

TEST(IniCodecTest, emptyInputGivesAnEmptyFile) {
    EXPECT_EQ(Document::parse("").serialize(), "");
    EXPECT_EQ(Document::parse("\r\n\r\n").serialize(), "");
}

} // namespace
} // namespace plendrik::ini
