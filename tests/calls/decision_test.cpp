// Which call events make a popup, and what it says.
#include <gtest/gtest.h>

#include "calls_fixture.h"

namespace fon::test {
namespace {

constexpr char kUe[] = "\xFC";  // u umlaut, Windows-1252

class DecisionTest : public CallsTest {
 protected:
  void SetIds(int user, int parent) {
    sim.registry.SetDword(kMainKey, "User ID", user);
    if (parent >= 0) sim.registry.SetDword(kMainKey, "Parent User ID", parent);
  }
  std::string DecisionLine(int user, int message, int parent) {
    return "Do we have to make a PopUp? (nCurrentUserId == nMessageUserId [" + std::to_string(user) +
           "==" + std::to_string(message) + "]) || ((nCurrentParentUserId == nMessageUserId [" +
           std::to_string(parent) + "==" + std::to_string(message) + "]) && (nCurrentParentUserId > 0 [" +
           std::to_string(parent) + ">0])) || (reg[Show Calls RadioButton]==0 [1==0])";
  }
};

TEST_F(DecisionTest, MessagesUsersAndPopupLines) {
  const std::string ueber = std::string(kUe) + "ber:  ";
  const struct {
    const char* what;
    std::string message;
    int user, parent;                // parent -1: left as it is (not stored at first)
    std::vector<std::string> lines;  // empty: no popup
  } cases[] = {
      {"own call",
       "X|17|Anna|0301234|0302222|5|\n",
       5,
       -1,
       {"Von: Anna", "An: 0302222", "Zeit:  09:05:03 ", ueber}},
      {"user id not closed by a bar", "X|17|Anna|0301234|0302222|5\n", 5, -1, {}},
      {"parent's call",
       "X|17|Anna|0301234|0302222|5|\n",
       6,
       5,
       {"Von: Anna", "An: 0302222", "Zeit:  09:05:03 ", ueber}},
      {"parent 0 never matches", "X|17|Anna|0301234|0302222|0|\n", 6, 0, {}},
      {"someone else's call", "X|17|Anna|0301234|0302222|7|\n", 6, 5, {}},
      {"redirection shown",
       "X|17|Anna|0301234|0302222|5|Hotline\n",
       5,
       -1,
       {"Von: Anna", "An: 0302222", "Zeit:  09:05:03 ", ueber + "Hotline"}},
      {"redirection to the called number",
       "X|17|Anna|0301234|0302222|5|0302222\n",
       5,
       -1,
       {"Von: Anna", "An: 0302222", "Zeit:  09:05:03 ", ueber}},
      {"empty name and number",
       "X|17||0301234||5|\n",
       5,
       -1,
       {"Von: Unbekannt", "An: Unbekannt", "Zeit:  09:05:03 ", ueber}},
      {"error message", "X|17|Anna|0301234|+ERR|5|\n", 5, -1, {}},
      {"bare error", "+ERR\n", 0, -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetIds(c.user, c.parent);
    const int before = frame->PopupStack().PopupCount();
    Call(c.message);
    if (c.lines.empty()) {
      EXPECT_EQ(frame->PopupStack().PopupCount(), before);
      continue;
    }
    ASSERT_EQ(frame->PopupStack().PopupCount(), before + 1);
    EXPECT_EQ(Lines(Current().Look().text), c.lines);
    EXPECT_EQ(Current().Look().title, "Eingehender Ruf");
    EXPECT_EQ(frame->PopupStack().LastCallerName(), c.lines[0].substr(5));
    sim.loop.RunFor(20000);
  }
}

TEST_F(DecisionTest, DebugLinesAndFocus) {
  SetIds(6, 0);
  sim.registry.SetDword(kMainKey, "Show Calls RadioButton", 0);
  sim.debug.lines.clear();
  sim.shell.foregroundSets.clear();
  Call("X|17|Anna|0301234|0302222|5|\n");
  ASSERT_EQ(sim.debug.lines.size(), 2u);
  EXPECT_EQ(sim.debug.lines[0],
            "Message from CTI-Port: X|17|Anna|0301234|0302222|5|\n at " + std::string(kTuesday8th));
  EXPECT_EQ(sim.debug.lines[1], DecisionLine(6, 5, 0));
  EXPECT_EQ(frame->PopupStack().PopupCount(), 0);
  EXPECT_EQ(sim.shell.foregroundSets, std::vector<WindowHandle>{0x5000});
  EXPECT_EQ(frame->PopupStack().LastCallerName(), "---");

  // A non-numeric user id counts as user 0.
  Call("X|17|Anna|0301234|0302222|abc|\n");
  EXPECT_TRUE(Logged(DecisionLine(6, 0, 0)));

  // Error messages stop before the decision and leave the focus alone.
  sim.debug.lines.clear();
  Call("X|18|Bob|1|+ERR|5|x\n");
  EXPECT_EQ(sim.debug.lines.size(), 1u);
  EXPECT_EQ(frame->m_strCallId, "18");
  EXPECT_EQ(frame->m_strRedirInfo, "");
  EXPECT_EQ(sim.shell.foregroundSets.size(), 2u);

  // Without a foreground window the message is dropped at once.
  sim.shell.foreground = 0;
  sim.debug.lines.clear();
  SetIds(5, 0);
  Call("X|17|Anna|0301234|0302222|5|\n");
  EXPECT_EQ(sim.debug.lines.back(), "Avoid null window\n");
  EXPECT_EQ(sim.debug.lines.size(), 2u);
  EXPECT_EQ(frame->PopupStack().PopupCount(), 0);
}

TEST_F(DecisionTest, ThroughTheSocketWithEnglishTexts) {
  sim.registry.SetDword(kMainKey, "Language Index", 2);
  sim.loop.RunFor(60000 - sim.loop.NowMs());  // virtual clock at 09:06:03
  SendEvent("X|17||0301234|0302222|5|Sales\n");
  ASSERT_EQ(frame->PopupStack().PopupCount(), 1);
  EXPECT_EQ(Lines(Current().Look().text),
            (std::vector<std::string>{"From: Unknown", "To: 0302222", "Time:  09:06:03 ", "over:  Sales"}));
  EXPECT_EQ(Current().Look().title, "Incoming Call");
  // Names are shown as sent: an "&" must not turn into an underline.
  EXPECT_NE(Current().Look().textFormat & 0x800u, 0u);
  EXPECT_NE(Current().Look().titleFormat & 0x800u, 0u);
  EXPECT_EQ(frame->PopupStack().LastTime(), " 09:06:03 ");
  EXPECT_TRUE(Logged(
      "void CPopup::Show(LPCTSTR szCaption,DWORD dwTimeToStay, DWORD dwTimeToShow, DWORD dwTimeToHide)\n"));
}

TEST_F(DecisionTest, ReceiveTimeOfSingleAndDoubleDigitDays) {
  Call("X|1|A|1|2|5|\n", "Mon Dec  7 23:59:58 2026\n");
  EXPECT_EQ(frame->PopupStack().LastTime(), " 23:59:58 ");
  Call("X|1|A|1|2|5|\n", "Thu Dec 17 00:00:01 2026\n");
  EXPECT_EQ(frame->PopupStack().LastTime(), " 00:00:01 ");
}

TEST_F(DecisionTest, IdsAreReadAtEveryMessage) {
  CallFor(9);
  EXPECT_EQ(frame->PopupStack().PopupCount(), 0);
  sim.registry.SetDword(kMainKey, "User ID", 9);
  CallFor(9);
  EXPECT_EQ(frame->PopupStack().PopupCount(), 1);
  sim.registry.SetDword(kMainKey, "Parent User ID", 4);
  CallFor(4);
  EXPECT_EQ(frame->PopupStack().PopupCount(), 2);
  EXPECT_EQ(frame->m_strParentUserIdText, "4");
}

TEST_F(DecisionTest, DisplayTimes) {
  const struct {
    int stored;
    int callMs, infoMs;
  } cases[] = {
      {0, 5000, 5000}, {10000, 5000, 5000}, {-1, 5000, 5000}, {1, 1000, 3000}, {9999, 9999000, 9999000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    sim.registry.SetDword(kMainKey, "Display Time", c.stored);
    CallFor(kUser);
    EXPECT_EQ(Current().m_nStayLeft, c.callMs);
    frame->ShowInfoPopup(2, "note", 0);
    EXPECT_EQ(Current().m_nStayLeft, c.infoMs);
  }
}

TEST_F(DecisionTest, CallPopupLeavesAfterItsDisplayTime) {
  sim.registry.SetDword(kMainKey, "Display Time", -1);
  CallFor(kUser);
  CPopup* popup = &Current();
  // 210 ms to come out, five one-second ticks, then it slides back.
  sim.loop.RunFor(5200);
  EXPECT_TRUE(popup->IsAlive());
  sim.loop.RunFor(20);
  EXPECT_FALSE(popup->IsAlive());
  EXPECT_EQ(popup->State(), PS_HIDING);
  sim.loop.RunFor(300);
  EXPECT_EQ(OnScreen(), 0);
}

TEST_F(DecisionTest, LastCallIsShownOneAtATime) {
  frame->ShowInfoPopup(0, "", 0);
  EXPECT_EQ(Lines(Current().Look().text)[0], "Von: ---");
  CallFor(kUser, "Carla");
  CallFor(kUser + 1, "Dora");  // not for the user: the last call stays
  sim.loop.RunFor(20000);
  ASSERT_EQ(OnScreen(), 0);

  frame->ShowInfoPopup(0, "", 0);
  CPopup* last = &Current();
  EXPECT_EQ(last->Kind(), POPUP_LAST_CALL);
  EXPECT_EQ(last->Look().title, "Letzter Anruf");
  EXPECT_EQ(Lines(last->Look().text)[0], "Von: Carla");
  EXPECT_EQ(frame->PopupStack().LastCallClosed(), false);
  const int count = frame->PopupStack().PopupCount();
  frame->ShowInfoPopup(0, "", 0);
  frame->ShowInfoPopup(2, "info", 0);
  EXPECT_EQ(frame->PopupStack().PopupCount(), count);

  sim.loop.RunFor(300);
  last->OnLButtonDblClk(50, 50);
  EXPECT_EQ(frame->PopupStack().LastCallClosed(), true);
  frame->ShowInfoPopup(0, "", 0);
  EXPECT_EQ(frame->PopupStack().PopupCount(), count + 1);
}

TEST_F(DecisionTest, LastCallPopupReplacedWhileOpenDoesNotBlockTheNext) {
  frame->ShowInfoPopup(0, "", 0);
  ASSERT_EQ(frame->PopupStack().LastCallClosed(), false);
  for (int i = 0; i < 5; ++i) CallFor(kUser);  // all alive: the oldest goes
  EXPECT_EQ(frame->PopupStack().LastCallClosed(), true);
  frame->ShowInfoPopup(0, "", 0);
  EXPECT_EQ(Current().Kind(), POPUP_LAST_CALL);
}

}  // namespace
}  // namespace fon::test
