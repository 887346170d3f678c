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
#include <sstream>
#include <string>
#include <tuple>
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

// Every dialog's size, style, skin and the controls its code binds, read back from the compiled templates.
TEST(RcScript, DialogTemplatesHoldTheirControls)
{
#ifndef FONARIS_TEST_WINDRES
    GTEST_SKIP() << "no windres on this machine";
#else
    const std::uint32_t off = 0x08000000;  // WS_DISABLED; kinds: window class, style mask, expected bits
    const std::map<char, std::tuple<std::string, std::uint32_t, std::uint32_t>> kinds{
        {'L', {"STATIC", 0x1F | off, 0}}, {'E', {"EDIT", 0x820 | off, 0}}, {'P', {"EDIT", 0x820 | off, 0x20}},
        {'R', {"EDIT", 0x820 | off, 0x800}}, {'X', {"BUTTON", 0xF | off, 3}}, {'B', {"BUTTON", 0xE | off, 0}},
        {'C', {"COMBOBOX", 0x103 | off, 0x102}}, {'D', {"COMBOBOX", 0x103 | off, 0x103}},  // sorted
        {'O', {"COMBOBOX", 0x103 | off, 0x103 | off}}, {'H', {"MSCTLS_HOTKEY32", off, 0}}};
    struct Template { int id, cx, cy; std::uint32_t extraStyle; int bitmap, backgroundId; std::string controls; };
    const Template templates[] = {
        {107, 178, 102, 0x200, 164, 1077, "1013L 1011L 1012L 1014C 1016D 1015C 1B 2B"},
        {183, 178, 102, 0, 164, -1, "1054L 1050L 1016E 1051L 1017P 1B 2B"},
        {181, 178, 102, 0x80000, 164, -1, "1078L 1062L 1B 2B"},
        {108, 188, 241, 0x80000, 142, -1, "1054L 1062L 1050L 1016E 1051L 1017P 1063L 1052L 1018E 1053L 1019E 1B 2B"},
        {111, 187, 241, 0x80000, 142, -1, "1053L 1073L 1016R 1074L 1063D 1B 2B"},
        {133, 386, 268, 0x4, 161, 1078, "1076L 1051L 1001E 1052L 1002E 1054L 1008E 1060L 1009C 1011D 1058L "
                                        "1049H 1057L 1010E 1061L 1063D 1079X 1066L 1068X 1075L 1073D 1065X "
                                        "1074L 1062L 1004E 1070L 1071D 1064L 1077O 1059L 1006E 1080X 1081L 1082X 1083L 1084X 1085L 1086L 1087B 1B 2B"},
        {110, 142, 74, 0x80000, 165, -1, "1061L"}};

    const std::string dir = std::filesystem::temp_directory_path() / ("res_dialogs_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/d.rc") << "#include \"dialogs.rc\"\n";
    const std::string cmd = std::string(FONARIS_TEST_WINDRES) + " -I \"" FONARIS_TEST_RES_DIR "\" -O res \"" +
                            dir + "/d.rc\" \"" + dir + "/d.res\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream in(dir + "/d.res", std::ios::binary);
    const std::vector<std::uint8_t> res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);
    auto u16 = [&](std::size_t p) { return static_cast<unsigned>(res[p] | (res[p + 1] << 8)); };
    auto u32 = [&](std::size_t p) { return u16(p) | u16(p + 2) << 16; };
    const std::map<unsigned, std::string> known{{128, "BUTTON"}, {129, "EDIT"}, {130, "STATIC"}, {133, "COMBOBOX"}};
    std::size_t at = 0;
    auto field = [&] {  // class, caption or menu: a name, or "#ordinal" (predefined classes by name)
        std::string f = u16(at) != 0xFFFF ? "" : known.count(u16(at + 2)) ? known.at(u16(at + 2))
                                                                           : "#" + std::to_string(u16(at + 2));
        if (!f.empty()) return at += 4, f;
        for (; u16(at) != 0; at += 2) f += static_cast<char>(u16(at));
        return at += 2, f;
    };
    std::map<unsigned, std::size_t> dialogs;  // RT_DIALOG resources (ordinal type and name): id -> data
    for (std::size_t p = 0; p + 32 <= res.size(); p = (p + u32(p + 4) + u32(p) + 3) & ~std::size_t{3})
        if (u32(p + 8) == 0x0005FFFF && u16(p + 12) == 0xFFFF) dialogs[u16(p + 14)] = p + u32(p + 4);
    for (const auto& t : templates) {
        SCOPED_TRACE("template " + std::to_string(t.id));
        ASSERT_EQ(dialogs.count(t.id), 1u);
        const std::size_t start = at = dialogs[t.id];
        EXPECT_EQ(std::make_tuple(u32(at + 12), u16(at + 22), u16(at + 24)),  // popup, border, font; no caption
                  std::make_tuple(0x80800048u | t.extraStyle, unsigned(t.cx), unsigned(t.cy)));
        at += 26, field(), field(), field(), at += 6, field();  // menu, class, caption, font size, face
        std::map<int, std::pair<std::string, std::uint32_t>> found;  // id -> class, style
        for (unsigned i = 0; i < u16(start + 16); ++i) {
            at = start + ((at - start + 3) & ~std::size_t{3});
            const std::uint32_t style = u32(at + 8);
            const std::array<unsigned, 4> rect{u16(at + 12), u16(at + 14), u16(at + 16), u16(at + 18)};
            const int id = static_cast<std::int16_t>(u16(at + 20));
            at += 24;
            const std::string cls = field(), title = field();
            at += 2 + u16(at);  // creation data
            if (i > 0) { found[id] = {cls, style}; continue; }
            // The skin comes first, so that everything else lies on top of it, and covers the face.
            EXPECT_EQ(std::make_tuple(id, cls, title, style & 0x1F),  // SS_BITMAP
                      std::make_tuple(t.backgroundId, std::string("STATIC"), "#" + std::to_string(t.bitmap), 0xEu));
            EXPECT_EQ(rect, (std::array<unsigned, 4>{0, 0, unsigned(t.cx), unsigned(t.cy)}));
        }
        std::istringstream list(t.controls);
        int id = 0;
        for (char kind = 0; list >> id >> kind; found.erase(id)) {
            const auto& [cls, mask, bits] = kinds.at(kind);
            EXPECT_EQ(std::make_pair(found[id].first, found[id].second & mask), std::make_pair(cls, bits))
                << "control " << id;
        }
        EXPECT_TRUE(found.empty()) << "controls beyond the list, first " << found.begin()->first;
    }
#endif
}

}  // namespace
