// The layer's pure rules: label drawing flags, the browser's argument, the
// command line and the log line format.
#include "platform/win32/browser_command.h"
#include "platform/win32/command_line.h"
#include "platform/win32/label_format.h"
#include "platform/win32/win32_debug_output.h"
#include "platform/win32/windows_headers.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace fon::win32 {
namespace {

TEST(LabelDrawFormat, AlignmentAndWrappingFollowTheStyle) {
  EXPECT_EQ(LabelDrawFormat(SS_LEFT), static_cast<unsigned>(DT_WORDBREAK));
  EXPECT_EQ(LabelDrawFormat(SS_CENTER), static_cast<unsigned>(DT_CENTER | DT_WORDBREAK));
  EXPECT_EQ(LabelDrawFormat(SS_RIGHT), static_cast<unsigned>(DT_RIGHT | DT_WORDBREAK));
  EXPECT_EQ(LabelDrawFormat(SS_CENTER | SS_NOPREFIX), static_cast<unsigned>(DT_CENTER | DT_NOPREFIX | DT_WORDBREAK));
  // Window and notification bits change nothing.
  EXPECT_EQ(LabelDrawFormat(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY | SS_RIGHT),
            static_cast<unsigned>(DT_RIGHT | DT_WORDBREAK));
}

TEST(LabelDrawFormat, SingleLineKindsDoNotWrap) {
  EXPECT_EQ(LabelDrawFormat(SS_LEFT | SS_CENTERIMAGE), static_cast<unsigned>(DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(LabelDrawFormat(SS_CENTER | SS_CENTERIMAGE),
            static_cast<unsigned>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  EXPECT_EQ(LabelDrawFormat(SS_LEFTNOWORDWRAP), 0u);
  EXPECT_EQ(LabelDrawFormat(SS_SIMPLE) & DT_WORDBREAK, 0u);
}

TEST(LabelDrawFormat, EllipsisBits) {
  EXPECT_EQ(LabelDrawFormat(SS_ENDELLIPSIS), static_cast<unsigned>(DT_WORD_ELLIPSIS | DT_END_ELLIPSIS));
  EXPECT_EQ(LabelDrawFormat(SS_PATHELLIPSIS), static_cast<unsigned>(DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS));
  EXPECT_EQ(LabelDrawFormat(SS_WORDELLIPSIS),
            static_cast<unsigned>(DT_WORD_ELLIPSIS | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS));
  EXPECT_EQ(LabelDrawFormat(SS_CENTER | SS_ENDELLIPSIS),
            static_cast<unsigned>(DT_CENTER | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS));
}

TEST(LabelDrawFormat, OnlyTextStaticsAreLabels) {
  const std::uint32_t labels[] = {SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP,
                                  SS_CENTER | SS_CENTERIMAGE | WS_VISIBLE};
  for (std::uint32_t style : labels) {
    EXPECT_TRUE(IsTextLabelStyle(style)) << std::hex << style;
  }
  const std::uint32_t pictures[] = {SS_BITMAP, SS_BITMAP | SS_CENTERIMAGE, SS_ICON,     SS_BLACKRECT,
                                    SS_GRAYFRAME, SS_ETCHEDHORZ,            SS_OWNERDRAW, SS_ENHMETAFILE};
  for (std::uint32_t style : pictures) {
    EXPECT_FALSE(IsTextLabelStyle(style)) << std::hex << style;
  }
}

// How the browser will see its arguments: the C runtime's rules, which
// CommandLineToArgvW implements.
std::vector<std::string> ParseArguments(const std::string& commandLine) {
  int wideLength = ::MultiByteToWideChar(1252, 0, commandLine.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  ::MultiByteToWideChar(1252, 0, commandLine.c_str(), -1, wide.data(), wideLength);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    char narrow[4096] = {};
    ::WideCharToMultiByte(1252, 0, argv[i], -1, narrow, sizeof(narrow), nullptr, nullptr);
    args.push_back(narrow);
  }
  ::LocalFree(argv);
  return args;
}

TEST(BrowserCommand, QuotesTheAddressAsOneArgument) {
  EXPECT_EQ(QuoteBrowserArgument("http://crm/x?a=1&b=2"), "\"http://crm/x?a=1&b=2\"");
  EXPECT_EQ(QuoteBrowserArgument("http://x/\"a\""), "\"http://x/%22a%22\"");
  EXPECT_EQ(QuoteBrowserArgument("http://x/dir\\"), "\"http://x/dir\\\\\"");
  EXPECT_EQ(QuoteBrowserArgument("-new http://x"), "\"%2Dnew http://x\"");
  EXPECT_EQ(QuoteBrowserArgument("  -x"), "\"%2Dx\"");
  EXPECT_EQ(QuoteBrowserArgument("http://a-b/-c"), "\"http://a-b/-c\"");
  EXPECT_EQ(QuoteBrowserArgument(""), "\"\"");
}

TEST(BrowserCommand, HostileAddressesStayOneArgument) {
  struct Case {
    std::string address;
    std::string seen;  // what the browser gets as its argument
  };
  const std::vector<Case> cases = {
      {"http://crm/call?name=A B&no=0815", "http://crm/call?name=A B&no=0815"},
      {"http://x/\" --disable-security \"", "http://x/%22 --disable-security %22"},
      {"http://x/a\\\" b", "http://x/a\\%22 b"},
      {"http://x/trailing\\\\", "http://x/trailing\\\\"},
      {"http://x/\t|<>^%1 & calc.exe", "http://x/\t|<>^%1 & calc.exe"},
      {"--user-data-dir=C:\\x http://evil", "%2D-user-data-dir=C:\\x http://evil"},
      {"http://k\xf6ln.example/M\xfcller", "http://k\xf6ln.example/M\xfcller"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = ParseArguments("browser.exe " + BrowserParameters("C:\\b\\browser.exe", c.address));
    ASSERT_EQ(args.size(), 2u) << c.address;
    EXPECT_EQ(args[1], c.seen) << c.address;
  }
}

TEST(BrowserCommand, InternetExplorerIsAskedForANewWindow) {
  std::vector<std::string> args =
      ParseArguments("iexplore.exe " + BrowserParameters("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
                                                         "http://crm/?q=\" -k"));
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[1], "-new");
  EXPECT_EQ(args[2], "http://crm/?q=%22 -k");
  EXPECT_EQ(BrowserParameters("iexplore.exe", "http://a"), "-new \"http://a\"");
  EXPECT_EQ(BrowserParameters("C:\\x\\firefox.exe", "http://a"), "\"http://a\"");
}

TEST(CommandLine, LogOption) {
  EXPECT_EQ(LogFileOption(""), "");
  EXPECT_EQ(LogFileOption("--log C:\\fon.log"), "C:\\fon.log");
  EXPECT_EQ(LogFileOption("--log \"C:\\my logs\\fon.log\""), "C:\\my logs\\fon.log");
  EXPECT_EQ(LogFileOption("  other   --log\tZ:\\tmp\\a.log  more"), "Z:\\tmp\\a.log");
  EXPECT_EQ(LogFileOption("--log"), "");
  EXPECT_EQ(LogFileOption("--logfile x"), "");
  EXPECT_EQ(LogFileOption("\"--log\" x.log"), "x.log");
}

TEST(DebugOutput, LogLineFormat) {
  SYSTEMTIME t{};
  t.wYear = 2024;
  t.wMonth = 3;
  t.wDay = 5;
  t.wHour = 7;
  t.wMinute = 8;
  t.wSecond = 9;
  t.wMilliseconds = 45;
  EXPECT_EQ(FormatLogLine(t, "Connection to TSG lost\n"), "2024-03-05 07:08:09.045 Connection to TSG lost\n");
  EXPECT_EQ(FormatLogLine(t, "OnConnect error: 10061"), "2024-03-05 07:08:09.045 OnConnect error: 10061\n");
  EXPECT_EQ(FormatLogLine(t, ""), "2024-03-05 07:08:09.045 \n");
  EXPECT_EQ(FormatLogLine(t, "\n\nFonaris started\n"), "2024-03-05 07:08:09.045 \n\nFonaris started\n");
}

std::string TempFileName(const char* prefix) {
  char dir[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, dir);
  char name[MAX_PATH] = {};
  ::GetTempFileNameA(dir, prefix, 0, name);
  return name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(DebugOutput, LogFileKeepsEveryTextWholeAndAppends) {
  std::string path = TempFileName("fdo");
  std::string longText(5000, 'x');
  longText += "END";
  {
    Win32DebugOutput out(path);
    ASSERT_TRUE(out.LogOpen());
    out.Write("Message sent: GETDEVICES|7\n");
    out.Write(longText);
  }
  {
    Win32DebugOutput again(path);
    again.Write("Gr\xfc\xdf" "e\n");
  }
  std::string content = ReadFile(path);
  ::DeleteFileA(path.c_str());

  // Every line: a local time stamp, then the text. (Split by hand: the
  // standard regex recurses per character and a 5000-byte line would
  // exhaust the stack.)
  const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} )");
  const std::size_t stampLength = 24;
  std::vector<std::string> texts;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    ASSERT_NE(end, std::string::npos) << "unterminated last line";
    std::string line = content.substr(start, end - start);
    ASSERT_GE(line.size(), stampLength) << line.substr(0, 80);
    EXPECT_TRUE(std::regex_match(line.substr(0, stampLength), stamp)) << line.substr(0, 80);
    texts.push_back(line.substr(stampLength));
    start = end + 1;
  }
  ASSERT_EQ(texts.size(), 3u) << content;
  EXPECT_EQ(texts[0], "Message sent: GETDEVICES|7");
  EXPECT_EQ(texts[1], longText);
  EXPECT_EQ(texts[2], "Gr\xfc\xdf" "e");
}

TEST(DebugOutput, WithoutLogFileNothingIsOpened) {
  Win32DebugOutput out("");
  EXPECT_FALSE(out.LogOpen());
  out.Write("only the debugger sees this\n");
}

}  // namespace
}  // namespace fon::win32
