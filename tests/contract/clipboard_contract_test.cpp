// The clipboard's text: a session between Open and Close.
#include <gtest/gtest.h>

#include "harness.h"

namespace fon::contract {
namespace {

TEST(ClipboardContract, TextRoundTripsWithinASession) {
  auto harness = MakeHarness();
  IClipboard& clipboard = harness->Platform().Clipboard();
  const std::string text = "Gr\xfc\xdf" "e +49 (0)221 0815";
  ASSERT_TRUE(clipboard.Open());
  EXPECT_TRUE(clipboard.Open());  // opening again while open is the same session
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_FALSE(clipboard.GetText().has_value());
  EXPECT_TRUE(clipboard.SetText(text));
  EXPECT_EQ(clipboard.GetText().value_or("<none>"), text);
  clipboard.Close();

  // Closed, nothing can be read, written or emptied.
  EXPECT_FALSE(clipboard.GetText().has_value());
  EXPECT_FALSE(clipboard.SetText("other"));
  EXPECT_FALSE(clipboard.Empty());

  ASSERT_TRUE(clipboard.Open());
  EXPECT_EQ(clipboard.GetText().value_or("<none>"), text);
  clipboard.Close();
}

}  // namespace
}  // namespace fon::contract
