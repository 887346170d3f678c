// Colour rules and the CRM address, through the frame.
#include <gtest/gtest.h>

#include <map>

#include "calls/colour_rules.h"
#include "calls_fixture.h"

namespace fon::test {
namespace {

class ColourCrmTest : public CallsTest {
 protected:
  void SetRules(const std::map<std::string, std::string>& rules) {
    for (const char* name : kColourRuleNames) {
      auto it = rules.find(name);
      sim.registry.SetString(kColorsKey, name, it == rules.end() ? "" : it->second);
    }
  }
};

TEST_F(ColourCrmTest, FirstMatchingRuleColoursTheCallPopup) {
  const struct {
    const char* what;
    std::map<std::string, std::string> rules;
    std::string message;
    int skin;
  } cases[] = {
      {"no rules", {}, "X|1|A|1|0302222|5|\n", 143},
      {"case-insensitive, table order",
       {{"RED", "Sales"}, {"BLUE", "SAL"}},
       "X|1|A|1|0302222|5|Hotline sales\n",
       193},
      {"called number without redirection", {{"GREEN", "222"}}, "X|1|A|1|0302222|5|\n", 191},
      {"redirection alone is the subject", {{"GREEN", "0301"}}, "X|1|A|1|0301999|5|0302222\n", 143},
      {"unknown called number", {{"GREY", "unbek"}}, "X|1|A|1||5|\n", 200},
      {"last rule", {{"VIOLET", "x"}}, "X|1|A|1|2|5|X\n", 194},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetRules(c.rules);
    Call(c.message);
    const PopupLook& look = Window(&Current())->look;
    EXPECT_EQ(look.skin, c.skin);
    // A colour skin resets the text rectangle; it is set again.
    EXPECT_EQ(look.textRect.left, 20);
    EXPECT_EQ(look.textRect.top, 55);
    EXPECT_EQ(look.textRect.right, 193);
    EXPECT_EQ(look.textRect.bottom, 105);
    EXPECT_EQ(look.fontFace, "Arial");
    EXPECT_EQ(look.fontTenthsPt, 75);
    EXPECT_EQ(look.textColor, 0u);
  }
  // Information popups keep the plain skin.
  frame->ShowInfoPopup(2, "Sales", 0);
  EXPECT_EQ(Window(&Current())->skin, 143);
}

TEST_F(ColourCrmTest, ColoursKeepTheInfoButtonWhenThePopupHasAnAddress) {
  SetRules({{"RED", "Sales"}});
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/");
  Call("X|1|A|1|2|5|Sales\n");  // set up before the template was read
  EXPECT_EQ(Window(&Current())->skin, 193);
  Call("X|1|A|1|2|5|Sales\n");
  EXPECT_EQ(Window(&Current())->skin, 209);
}

TEST_F(ColourCrmTest, MissingColoursKeyLeavesTheDefaultSkin) {
  sim.registry.DenyAccess(kColorsKey);
  sim.registry.SetString(kColorsKey, "RED", "Sales");
  Call("X|1|A|1|2|5|Sales\n");
  EXPECT_EQ(Window(&Current())->skin, 143);
  EXPECT_EQ(Window(&Current())->look.textRect.right, 193);
}

TEST_F(ColourCrmTest, AddressFromTheCallAndTheFramesCopies) {
  sim.registry.SetString(kMainKey, "CRM HTML Request",
                         "http://crm/?no={CALLERNO}&n={CALLERNAME}&to={CALLEDNO}&r={REDIRINFO}&id={CALLID}"
                         "&u={CALLEDUSERID}&p={CALLEDPARENTUSERID}&me={USERID}&h={MTHOST}&x={callerno}");
  sim.registry.SetDword(kMainKey, "Parent User ID", 3);
  // The user id and host are the frame's copies from its last relay
  // request, not the stored values.
  sim.registry.SetDword(kMainKey, "User ID", -77);
  ASSERT_EQ(frame->SendRelayRequest({"GETDEVICES", ""}, ID_TIMER_RELAY_DEVICES), 1);
  sim.registry.SetDword(kMainKey, "User ID", kUser);
  sim.registry.SetString(kMainKey, "Server IP Address", "somewhere.else");
  CallFor(kUser);  // reads the template for the next call
  Call(
      "X|c 1|M\xFC"
      "ller & Co|0301234|0302222|5|Sales/EU\n");
  const std::string expected =
      "http://crm/?no=0301234&n=M%FCller%20%26%20Co&to=0302222&r=Sales%2FEU&id=c%201&u=5&p=3&me=-77"
      "&h=127.0.0.1&x={callerno}";
  EXPECT_EQ(Current().Url(), expected);
  EXPECT_EQ(Window(&Current())->skin, 203);

  sim.loop.RunFor(20000);
  frame->ShowInfoPopup(0, "", 0);
  EXPECT_EQ(Current().Url(), expected);
  EXPECT_EQ(Window(&Current())->skin, 203);

  // A template that can no longer be read stays in use until the next start.
  sim.registry.SetDword(kMainKey, "CRM HTML Request", 0);
  Call("X|2|B|1|2|5|\n");
  Call("X|3|B|1|2|5|\n");
  EXPECT_EQ(Current().Url().substr(0, 20), "http://crm/?no=1&n=B");
  EXPECT_EQ(frame->m_bCrmRequest, 1);
}

}  // namespace
}  // namespace fon::test
