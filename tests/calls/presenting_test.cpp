// Quiet while presenting, what screen readers read of a popup, and the
// popup's context menu.
#include <gtest/gtest.h>

#include "calls/popup_speech.h"
#include "calls/quiet_hold.h"
#include "calls_fixture.h"
#include "dialogs/conect_settings.h"
#include "dialout/recent_calls.h"
#include "res/resource.h"

namespace fon::test {
namespace {

using S = UserNotificationState;

TEST(QuietDecision, EveryStateFullScreenOrNotOptionOnOrOff) {
  const struct {
    S state;
    bool quietAlone;  // quiet without a full-screen window in front
  } states[] = {{S::kUnknown, false},          {S::kNotPresent, false},        {S::kBusy, true},
                {S::kRunningD3dFullScreen, true}, {S::kPresentationMode, true}, {S::kAcceptsNotifications, false},
                {S::kQuietTime, true},         {S::kApp, false}};
  for (const auto& s : states) {
    for (bool fullScreen : {false, true}) {
      SCOPED_TRACE(::testing::Message() << static_cast<int>(s.state) << " full screen " << fullScreen);
      EXPECT_FALSE(IsQuietState(s.state, fullScreen, false));
      EXPECT_EQ(IsQuietState(s.state, fullScreen, true), s.quietAlone || fullScreen);
    }
  }
}

class PresentingTest : public CallsTest {
 protected:
  void English() { sim.registry.SetDword(kMainKey, "Language Index", 2); }
  std::vector<std::string> InfoTexts() const {
    std::vector<std::string> out;
    for (const auto& r : sim.popups)
      if (r->visible && r->look.title == "Information") out.push_back(r->look.text);
    return out;
  }
};

TEST_F(PresentingTest, CallsWaitCountedAndOnePopupNamesThemWhenTheShowEnds) {
  English();
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/?c={CALLERNO}");
  sim.shell.fullScreenInFront = true;
  for (const char* name : {"Anna", "Bert", "Cora"}) CallFor(kUser, name);
  frame->ShowInfoPopup(2, "Relay error", 0);  // the client's own message waits too
  sim.loop.RunFor(3000);
  EXPECT_EQ(OnScreen(), 0);
  const auto& recent = frame->RecentCalls().Calls();
  ASSERT_EQ(recent.size(), 3u);
  EXPECT_TRUE(recent[0].unseen && recent[1].unseen && recent[2].unseen);
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - online\n3 calls while you were presenting");
  // A click on the tray shows the last of them, asked for.
  frame->ShowInfoPopup(0, "", 0);
  ASSERT_EQ(OnScreen(), 1);
  EXPECT_EQ(Lines(Current().Look().text)[0], "From: Cora");
  Current().ClosePopup();

  sim.shell.fullScreenInFront = false;
  sim.loop.RunFor(1000);
  EXPECT_EQ(InfoTexts(), (std::vector<std::string>{"3 calls while you were presenting:\r\nCora, Bert, Anna",
                                                   "Relay error"}));
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - online\nLast Call: Cora 09:05:03");
  // Switched off, nothing waits.
  sim.registry.SetDword(kMainKey, kQuietValue, 0);
  sim.shell.fullScreenInFront = true;
  CallFor(kUser, "Dora");
  EXPECT_EQ(Lines(Current().Look().text)[0], "From: Dora");
  EXPECT_FALSE(frame->RecentCalls().Calls()[0].unseen);
}

TEST_F(PresentingTest, AShowThatNeverEndsHoldsOneCounterAndTheLastFewNames) {
  sim.shell.notificationState = S::kPresentationMode;
  for (int i = 0; i < 300; ++i) CallFor(kUser, "Caller " + std::to_string(i));
  for (int i = 0; i < 50; ++i) frame->ShowInfoPopup(2, "Note " + std::to_string(i), 0);
  EXPECT_EQ(frame->Quiet().UnseenCount(), 300);
  EXPECT_EQ(frame->Quiet().Names().size(), kQuietNamesKept);
  EXPECT_EQ(frame->Quiet().Names().front(), "Caller 299");
  EXPECT_EQ(frame->Quiet().Infos().size(), kQuietInfosKept);
  EXPECT_EQ(frame->RecentCalls().Calls().size(), kRecentCallsKept);
  EXPECT_EQ(OnScreen(), 0);
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - online\n300 Anrufe w\xE4hrend der Pr\xE4sentation");
}

TEST_F(PresentingTest, ScreenReadersHearTheFourLinesInTheCurrentLanguage) {
  const std::string call = "X|17|Anna Schmidt|0301234|0302222|5|Hotline Berlin\n";
  const std::string time = "Wed Dec  9 11:20:12 2026\n";
  const struct {
    int language;
    std::string name, close;
  } cases[] = {
      {1, "Eingehender Ruf von Anna Schmidt, an 0302222, um 11:20:12, \xFC" "ber Hotline Berlin", "Schlie\xDF" "en"},
      {2, "Incoming call from Anna Schmidt, to 0302222, at 11:20:12, over Hotline Berlin", "Close"},
  };
  for (const auto& c : cases) {
    sim.registry.SetDword(kMainKey, "Language Index", c.language);
    Call(call, time);
    const auto window = Window(&Current());
    EXPECT_EQ(window->accessibility, (PopupAccessibility{c.name, "", c.close}));
    EXPECT_EQ(window->alerts, 1);
  }
  // Whatever the server sends, the name stays one bounded line.
  Call("X|17|" + std::string(5000, 'N') + "\t\x01\xE9|" + std::string(5000, '7') + "|\x1b|5|\n", time);
  const std::string& name = Window(&Current())->accessibility.name;
  EXPECT_LT(name.size(), 3 * kSpokenFieldChars + 100);
  EXPECT_EQ(name.find_first_of(std::string("\t\x01\x1b\r\n", 5)), std::string::npos);
  Call("X|17||0301||5|\n", time);
  EXPECT_EQ(Window(&Current())->accessibility.name, "Incoming call from Unknown, to Unknown, at 11:20:12");
}

TEST_F(PresentingTest, TheMenuCallsBackCopiesOpensTheCrmAndPins) {
  English();
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/?c={CALLERNO}");
  CallFor(kUser);  // reads the template for the next call
  Call("X|17|Anna|+49 (30) 1234-5|0302222|5|\n");
  CPopup& popup = Current();
  const auto window = Window(&popup);
  window->menuChoice = kPopupMenuCopyNumber;
  popup.OnRButtonUp(10, 60);
  ASSERT_EQ(window->menus.size(), 1u);
  EXPECT_EQ(window->menus[0], (std::vector<MenuItem>{{kPopupMenuCallBack, "Call back"},
                                                     {kPopupMenuCopyNumber, "Copy number"},
                                                     {kPopupMenuOpenInCrm, "Open in CRM"}}));
  EXPECT_EQ(sim.clipboard.Text(), "+49 (30) 1234-5");
  EXPECT_TRUE(popup.IsPinned());
  EXPECT_EQ(sim.shell.foregroundSets.size(), 2u);  // only the calls gave the focus back
  window->menuChoice = kPopupMenuOpenInCrm;
  popup.OnRButtonUp(10, 60);
  EXPECT_EQ(sim.shell.browserOpened.back(), "http://crm/?c=%2B49%20(30)%201234-5");
  window->menuChoice = kPopupMenuCallBack;
  popup.OnRButtonUp(10, 60);
  EXPECT_TRUE(window->visible);  // a right click never closes
  sim.loop.RunFor(10);
  ASSERT_FALSE(sim.dialogs.empty());
  EXPECT_EQ(sim.dialogs.back()->templateId, IDD_DIALOUT);
  EXPECT_EQ(sim.dialogs.back()->items[IDC_DIALOUT_CALLED], "00493012345");
  // An information popup has nothing to offer.
  frame->ShowInfoPopup(2, "Note", 0);
  Current().OnRButtonUp(10, 60);
  EXPECT_TRUE(Window(&Current())->menus.empty());
}

}  // namespace
}  // namespace fon::test
