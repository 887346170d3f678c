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

// What the hotkey's round trip relies on: every format's data read out as
// bytes and put back makes the same clipboard again, named formats keep
// their ids, and each change shows in the sequence number.
TEST(ClipboardContract, EveryFormatComesBackAsItWas) {
  auto harness = MakeHarness();
  IClipboard& clipboard = harness->Platform().Clipboard();
  const unsigned html = clipboard.RegisterFormat("HTML Format");
  ASSERT_NE(html, 0u);
  EXPECT_EQ(clipboard.RegisterFormat("HTML Format"), html);
  // A 2 x 1 picture of 24 bits (header, one row padded to 8 bytes), and a
  // list of one file (DROPFILES, then the names).
  std::string dib(40, '\0'), files(20, '\0');
  dib[0] = 40, dib[4] = 2, dib[8] = 1, dib[12] = 1, dib[14] = 24, files[0] = 20;
  const std::vector<ClipboardItem> put = {{kClipboardText, std::string("0301234\0", 8)},
                                          {html, std::string("<b>0301234</b>\0", 15)},
                                          {kClipboardDib, dib + std::string("\x10\x20\x30\x40\x50\x60\0\0", 8)},
                                          {kClipboardFileList, files + std::string("C:\\call.txt\0\0", 13)}};
  ASSERT_TRUE(clipboard.Open());
  clipboard.Empty();
  for (const ClipboardItem& item : put) EXPECT_TRUE(clipboard.SetData(item.format, item.data)) << item.format;
  const std::vector<ClipboardItem> saved = clipboard.GetAll();
  const unsigned before = clipboard.SequenceNumber();
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_NE(clipboard.SequenceNumber(), before);
  EXPECT_TRUE(clipboard.GetAll().empty());
  for (const ClipboardItem& item : saved) clipboard.SetData(item.format, item.data);
  clipboard.Close();
  ASSERT_TRUE(clipboard.Open());
  for (const ClipboardItem& item : put) EXPECT_EQ(clipboard.GetData(item.format), item.data) << item.format;
  EXPECT_EQ(clipboard.GetText(), "0301234");
  clipboard.Close();
}

}  // namespace
}  // namespace fon::contract
