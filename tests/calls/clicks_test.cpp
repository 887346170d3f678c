// What a click on a popup does: pin, close, and the Info button.
#include <gtest/gtest.h>

#include "calls_fixture.h"

namespace fon::test {
namespace {

class ClicksTest : public CallsTest {
 protected:
  CPopup& ShownCall() {
    CallFor(kUser);
    CPopup& popup = Current();
    sim.loop.RunFor(300);
    return popup;
  }
};

TEST_F(ClicksTest, FirstClickPinsSecondCloses) {
  CPopup& popup = ShownCall();
  popup.OnLButtonDown(100, 80);
  EXPECT_TRUE(popup.IsPinned());
  EXPECT_EQ(popup.m_nStayLeft, kPopupStayPinnedMs);
  sim.loop.RunFor(600000);
  EXPECT_TRUE(Window(&popup)->visible);
  // The title band outside the buttons counts as body.
  popup.OnLButtonDown(150, 5);
  EXPECT_FALSE(Window(&popup)->visible);
  EXPECT_FALSE(popup.IsAlive());
  // A click queued before the close finds nothing to act on.
  popup.OnLButtonDown(100, 80);
  EXPECT_FALSE(popup.IsAlive());
}

TEST_F(ClicksTest, ButtonsAndDoubleClick) {
  const struct {
    int x, y;
    bool closes, pins;
  } cases[] = {{180, 5, false, false}, {199, 13, false, false}, {200, 0, true, false},
               {212, 13, true, false}, {175, 5, false, true},   {205, 14, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    CPopup& popup = ShownCall();
    popup.OnLButtonDown(c.x, c.y);
    EXPECT_EQ(!Window(&popup)->visible, c.closes);
    EXPECT_EQ(popup.IsPinned(), c.pins);
    popup.ClosePopup();
  }
  CPopup& popup = ShownCall();
  popup.OnLButtonDblClk(50, 50);
  EXPECT_FALSE(Window(&popup)->visible);
  // Without a CRM template the Info area never opened anything.
  EXPECT_TRUE(sim.shell.browserOpened.empty());
}

TEST_F(ClicksTest, InfoButtonOpensTheAddressEvenWhenEmpty) {
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/?c={CALLERNO}");
  CPopup& call = ShownCall();
  EXPECT_EQ(call.HasUrl(), false);  // the template was read after it was set up
  CPopup& next = ShownCall();
  EXPECT_EQ(Window(&next)->skin, 203);
  next.OnLButtonDown(180, 5);
  EXPECT_EQ(sim.shell.browserOpened, std::vector<std::string>{"http://crm/?c=0301234"});
  EXPECT_TRUE(Window(&next)->visible);

  frame->ShowInfoPopup(2, "Profil aktiv", 0);
  CPopup& info = Current();
  EXPECT_EQ(Window(&info)->skin, 203);
  info.OnLButtonDown(190, 2);
  EXPECT_EQ(sim.shell.browserOpened.back(), "");
}

}  // namespace
}  // namespace fon::test
