// Malformed, hostile and overwhelming input: nothing crashes, nothing grows
// without bound.
#include <gtest/gtest.h>

#include "calls_fixture.h"

namespace fon::test {
namespace {

class RobustnessTest : public CallsTest {};

TEST_F(RobustnessTest, MessageWithoutSeparatorsIsTheCalledNumberOfUserZero) {
  Call("hello\n");
  EXPECT_EQ(frame->PopupStack().PopupCount(), 0);
  sim.registry.SetDword(kMainKey, "User ID", 0);  // changed after the start
  Call("hello\n");
  ASSERT_EQ(frame->PopupStack().PopupCount(), 1);
  EXPECT_EQ(Lines(Current().Look().text)[0], "Von: Unbekannt");
  EXPECT_EQ(Lines(Current().Look().text)[1], "An: hello");
  Call("");  // nothing at all, not even the terminator
  EXPECT_EQ(frame->PopupStack().PopupCount(), 2);
}

TEST_F(RobustnessTest, LongestReadAndEveryByteValue) {
  std::string longest = "X|1|" + std::string(4000, 'N') + "|0301|0302|5|";
  longest += std::string(4095 - longest.size() - 1, 'R') + "\n";
  ASSERT_EQ(longest.size(), 4095u);
  SendEvent(longest);
  ASSERT_EQ(frame->PopupStack().PopupCount(), 1);
  EXPECT_EQ(Lines(Current().Look().text)[3].size(), 7u + 77u);

  std::string all;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    all += c;
    Call(std::string("X|1|") + c + "|" + c + "|" + c + "|5|" + c + "|" + c + "\n");
    Call(std::string(1, c));
  }
  Call(all);
  Call(all + "|" + all + "|" + all + "|5|" + all + "\n");
  EXPECT_GE(frame->PopupStack().PopupCount(), 255);
  ExpectSoundStack();
}

TEST_F(RobustnessTest, BurstOfTenThousandEventsKeepsFivePopups) {
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/?n={CALLERNAME}&id={CALLID}");
  const std::size_t eventsBefore = sim.loop.PendingEvents();
  for (int i = 0; i < 10000; ++i) {
    const int user = (i % 3 == 0) ? kUser + 1 : kUser;
    SendEvent("X|" + std::to_string(i) + "|Caller " + std::to_string(i) + "|0301|0302|" +
              std::to_string(user) + "|\n");
    if (i % 997 == 0) frame->ShowInfoPopup(2, "note", i % 2);
  }
  EXPECT_EQ(WindowsAlive(), kPopupSlots);
  EXPECT_LE(OnScreen(), kPopupSlots);
  ExpectSoundStack();
  // Five popups with at most a handful of timers each.
  EXPECT_LE(sim.loop.PendingEvents(), eventsBefore + 5 * 5);
  EXPECT_EQ(frame->PopupStack().LastCallerName(), "Caller 9998");
  sim.loop.RunFor(100000000);
  EXPECT_EQ(OnScreen(), 0);
}

TEST_F(RobustnessTest, LongestRulesAndTemplates) {
  const std::string rule(1023, 'q');
  sim.registry.SetString(kColorsKey, "RED", rule);
  sim.registry.SetString(kColorsKey, "BLUE", rule + "q");  // too long to read: no rule
  Call("X|1|A|1|2|5|" + rule + "\n");
  EXPECT_EQ(Window(&Current())->skin, 193);
  sim.registry.SetString(kColorsKey, "RED", "");
  Call("X|1|A|1|2|5|" + rule + "q\n");
  EXPECT_EQ(Window(&Current())->skin, 143);

  std::string tmpl;
  while (tmpl.size() + 12 <= 1023) tmpl += "{CALLERNAME}";
  tmpl.resize(1023, '-');
  sim.registry.SetString(kMainKey, "CRM HTML Request", tmpl);
  Call("X|1|A|1|2|5|\n");
  const std::string name(300, '\xFF');
  Call("X|{CALLID}|" + name + "|1|2|5|\n");
  EXPECT_EQ(Current().Url().size(), 85u * 900 + 3);
  // A value holding a placeholder is encoded, never filled in.
  Call("X|7|{CALLID}|1|2|5|\n");
  EXPECT_EQ(Current().Url().substr(0, 14), "%7BCALLID%7D%7");

  sim.registry.SetString(kMainKey, "CRM HTML Request", tmpl + "x");  // unreadable: kept
  Call("X|1|A|1|2|5|\n");
  EXPECT_EQ(frame->m_strCrmRequest, tmpl);
}

}  // namespace
}  // namespace fon::test
