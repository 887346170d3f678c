// The string table script: quoting rules, and a round trip through the
// resource compiler proving that the compiled table holds exactly the bytes
// of res/string_table.inc (what LoadStringA hands out in code page 1252).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "rcwriter.h"
#include "res/string_table.h"

namespace {

using resgen::quoteRcString;

TEST(RcQuoting, EscapesWhatTheResourceCompilerWouldReadDifferently)
{
    EXPECT_EQ(quoteRcString("Ok"), "\"Ok\"");
    EXPECT_EQ(quoteRcString("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(quoteRcString("\r\nline"), "\"\\r\\nline\"");
    EXPECT_EQ(quoteRcString("a\\b"), "\"a\\\\b\"");
    EXPECT_EQ(quoteRcString("tab\there"), "\"tab\\there\"");
    EXPECT_EQ(quoteRcString(std::string_view("\x01", 1)), "\"\\001\"");
    // Code page 1252 bytes pass unchanged: the script is read as 1252.
    EXPECT_EQ(quoteRcString("\xFC" "ber: "), "\"\xFC" "ber: \"");
    EXPECT_EQ(quoteRcString(""), "\"\"");
}

TEST(RcQuoting, ScriptHasOneLinePerRowAndItsCodePage)
{
    const std::string script = resgen::stringTableScript({{209, "\r\nDer Anruf"}, {220, "x|2 "}});
    EXPECT_NE(script.find("#pragma code_page(1252)\n"), std::string::npos);
    const auto begin = script.find("STRINGTABLE\nBEGIN\n");
    ASSERT_NE(begin, std::string::npos);
    EXPECT_EQ(script.substr(begin),
              "STRINGTABLE\nBEGIN\n"
              "    209 \"\\r\\nDer Anruf\"\n"
              "    220 \"x|2 \"\n"
              "END\n");
}

// Windows-1252 to UTF-16, the conversion the resource compiler applies.
[[maybe_unused]] std::u16string fromCp1252(std::string_view s)
{
    static constexpr std::array<char16_t, 32> k80{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::u16string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        out += (c >= 0x80 && c < 0xA0) ? k80[c - 0x80] : static_cast<char16_t>(c);
    }
    return out;
}

// The string resources of a .res file: id -> text.
[[maybe_unused]] std::map<int, std::u16string> readStringTables(const std::vector<std::uint8_t>& res)
{
    auto u16 = [&](std::size_t at) { return static_cast<unsigned>(res[at] | (res[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at) | (u16(at + 2) << 16)); };
    // A type or name field: 0xFFFF and an ordinal, or a zero-terminated
    // UTF-16 string.  Returns the ordinal (-1 for a name) and moves `at`.
    auto ordinal = [&](std::size_t& at) {
        if (u16(at) == 0xFFFF) {
            const int v = static_cast<int>(u16(at + 2));
            at += 4;
            return v;
        }
        while (u16(at) != 0) at += 2;
        at += 2;
        return -1;
    };

    std::map<int, std::u16string> out;
    std::size_t pos = 0;
    while (pos + 32 <= res.size()) {
        const std::uint32_t dataSize = u32(pos);
        const std::uint32_t headerSize = u32(pos + 4);
        std::size_t at = pos + 8;
        const int type = ordinal(at);
        const int name = ordinal(at);
        const std::size_t data = pos + headerSize;
        if (type == 6 && name > 0) {  // RT_STRING, block of 16 ids
            std::size_t p = data;
            for (int i = 0; i < 16; ++i) {
                const unsigned len = u16(p);
                p += 2;
                std::u16string text;
                for (unsigned k = 0; k < len; ++k, p += 2) text += static_cast<char16_t>(u16(p));
                if (len > 0) out[(name - 1) * 16 + i] = text;
            }
        }
        pos = (data + dataSize + 3) & ~std::size_t{3};
    }
    return out;
}

TEST(RcScript, ResourceCompilerYieldsTheTableBytes)
{
#ifndef FONARIS_TEST_WINDRES
    GTEST_SKIP() << "no windres on this machine";
#else
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("res_strings_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);

    std::vector<resgen::RcString> rows;
    for (const auto& row : fonaris::res::kStringTable) rows.push_back({row.id, row.text});
    {
        std::ofstream rc(dir / "strings.rc", std::ios::binary);
        rc << resgen::stringTableScript(rows);
    }
    const std::string cmd = std::string(FONARIS_TEST_WINDRES) + " -O res \"" + (dir / "strings.rc").string() +
                            "\" \"" + (dir / "strings.res").string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;

    std::ifstream in(dir / "strings.res", std::ios::binary);
    const std::vector<std::uint8_t> res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove_all(dir);

    const auto compiled = readStringTables(res);
    EXPECT_EQ(compiled.size(), fonaris::res::kStringTableSize);
    for (const auto& row : fonaris::res::kStringTable) {
        const auto it = compiled.find(row.id);
        ASSERT_NE(it, compiled.end()) << "entry " << row.id;
        EXPECT_TRUE(it->second == fromCp1252(row.text)) << "entry " << row.id;
    }
#endif
}

}  // namespace
