// The string table: completeness, the "German|1|English|2" form the text
// lookup relies on, and the exact bytes of the entries that are easy to get
// wrong (line breaks, leading blanks, umlauts, the trailing blank of 220).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "res/resource.h"
#include "res/string_table.h"

namespace {

using fonaris::res::findString;
using fonaris::res::kStringTable;

std::string_view entry(int id)
{
    const auto* row = findString(id);
    return row != nullptr ? row->text : std::string_view{};
}

bool isBilingual(int id)
{
    return id >= IDS_LANG_FIRST && id <= IDS_LANG_LAST;
}

TEST(StringTable, HoldsEachIdOnceAndNothingElse)
{
    std::map<int, int> seen;
    for (const auto& row : kStringTable) ++seen[row.id];

    std::set<int> expected{IDS_OLE_INIT_FAILED, IDS_SOCKETS_INIT_FAILED};
    for (int id = IDS_LANG_FIRST; id <= IDS_LANG_LAST; ++id) expected.insert(id);

    std::set<int> ids;
    for (const auto& [id, count] : seen) {
        EXPECT_EQ(count, 1) << "id " << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids, expected);
}

TEST(StringTable, BilingualEntriesHaveBothMarkersInOrder)
{
    for (const auto& row : kStringTable) {
        if (!isBilingual(row.id)) continue;
        SCOPED_TRACE("entry " + std::to_string(row.id));
        const std::string_view t = row.text;

        const std::size_t one = t.find("|1|");
        ASSERT_NE(one, std::string_view::npos);
        EXPECT_EQ(t.find("|1|", one + 1), std::string_view::npos);
        EXPECT_GT(one, 0u) << "empty German text";

        const std::string_view closing = row.id == 220 ? "|2 " : "|2";
        ASSERT_GE(t.size(), closing.size());
        EXPECT_EQ(t.substr(t.size() - closing.size()), closing);
        const std::size_t two = t.size() - closing.size();
        EXPECT_GT(two, one + 3) << "empty English text";

        // The lookup cuts at the first '1' or '2' of the whole entry, so
        // neither digit may appear before its own marker.
        EXPECT_EQ(t.find('1'), one + 1);
        EXPECT_EQ(t.find('2'), two + 1);
        // No '|' besides those of the markers.
        EXPECT_EQ(std::count(t.begin(), t.end(), '|'), 3);
        EXPECT_LE(t.size(), 1023u);
    }
}

TEST(StringTable, StartFailureTextsArePlain)
{
    for (int id : {IDS_OLE_INIT_FAILED, IDS_SOCKETS_INIT_FAILED}) {
        const std::string_view t = entry(id);
        EXPECT_FALSE(t.empty()) << id;
        EXPECT_EQ(t.find('|'), std::string_view::npos) << id;
    }
    EXPECT_NE(entry(IDS_OLE_INIT_FAILED).find("OLE"), std::string_view::npos);
    EXPECT_NE(entry(IDS_SOCKETS_INIT_FAILED).find("Sockets"), std::string_view::npos);
}

TEST(StringTable, BytesAreWindows1252Text)
{
    // Only printable ASCII, CR LF pairs and the German letters; UTF-8
    // sequences or a swallowed hex escape would show up here.
    const std::string_view german = "\xE4\xF6\xFC\xC4\xD6\xDC\xDF";
    for (const auto& row : kStringTable) {
        const std::string_view t = row.text;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const auto c = static_cast<unsigned char>(t[i]);
            if (c == '\r') {
                EXPECT_TRUE(i + 1 < t.size() && t[i + 1] == '\n') << "entry " << row.id << " at " << i;
            } else if (c == '\n') {
                EXPECT_TRUE(i > 0 && t[i - 1] == '\r') << "entry " << row.id << " at " << i;
            } else if (c >= 0x80) {
                EXPECT_NE(german.find(t[i]), std::string_view::npos) << "entry " << row.id << " byte " << int(c);
            } else {
                EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "entry " << row.id << " byte " << int(c);
            }
        }
    }
}

TEST(StringTable, EntriesWithLineBreaksBlanksAndUmlautsAreExact)
{
    EXPECT_EQ(entry(173), "Deutsch|1|English|2");
    EXPECT_EQ(entry(177), "W\xE4hlen|1|Call|2");
    EXPECT_EQ(entry(203),
              "Bitte haben Sie einen Moment Geduld. Der Fonaris versucht eine Ver- bindung zum Server aufzubauen."
              "|1|Please wait a moment. The Fonaris is trying to connect to the server.|2");
    EXPECT_EQ(entry(209), "\r\nDer Anruf erfolgt|1|\r\nThe call takes place|2");
    EXPECT_EQ(entry(212), "Beim Aktivieren des Profiles ist ein Fehler aufgetreten|1|\r\nError at activating the profile|2");
    EXPECT_EQ(entry(214), "\r\nDie Anmeldung ist fehlgeschlagen|1|\r\nError at login|2");
    EXPECT_EQ(entry(216),
              "\r\nInaktivit\xE4ts-Timer konnte nicht aktiviert werden.|1|\r\nCould not activate idle timer|2");
    EXPECT_EQ(entry(220),
              "\r\nInaktivit\xE4ts-Timer konnte nicht aktiviert werden.|1|\r\nCould not activate idle timer|2 ");
    EXPECT_EQ(entry(230),
              "Fehler beim Verbinden. Bitte \xFC"
              "berpr\xFC"
              "fen Sie die Konfiguration.|1|Error at connecting. Please check the configuration|2");
    EXPECT_EQ(entry(235),
              "Warnung: Die Verbindung zum Server kann im Moment nicht hergestellt werden. Wenn Sie jetzt den "
              "Fonaris beenden, kann Ihr Profil nicht ge\xE4ndert werden. \r\nWollen Sie wirklich beenden?"
              "|1|Warning! Can't connect to the server. If you exit the program now, your profile can't be "
              "changed. \r\n\r\nDo you really want to exit?|2");
    EXPECT_EQ(entry(240), " Kein Profil aktivieren|1| Deactivate profile|2");
    EXPECT_EQ(entry(245), "\xFC"
                          "ber: |1|over: |2");
}

}  // namespace
