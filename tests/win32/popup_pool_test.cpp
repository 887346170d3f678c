// Popup windows kept for reuse, and the skins and fonts they share: a
// reused window must behave like a new one, and the animation's cheap
// redraws must leave exactly the pixels of a full repaint.
#include <string>
#include <vector>

#include "platform/win32/dialog_template.h"
#include "platform/win32/gdi_cache.h"
#include "platform/win32/popup_window_pool.h"
#include "platform/win32/win32_popup_window.h"
#include "control_ids.h"
#include "test_resources.h"
#include "test_support.h"

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::NullFrame;
using testing::TakeQuit;

class Clicks final : public IPopupEvents {
 public:
  void OnLButtonDown(int x, int y) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnLButtonDblClk(int x, int y) override {
    log.push_back("dbl " + std::to_string(x) + "," + std::to_string(y));
  }
  std::vector<std::string> log;
};

RECT WindowRect(HWND window) {
  RECT r{-1, -1, -1, -1};
  ::GetWindowRect(window, &r);
  return r;
}

bool IsFreshWindow(HWND window, HWND owner) {
  RECT r = WindowRect(window);
  return ::IsWindow(window) && !::IsWindowVisible(window) && r.left == 0 && r.top == 0 && r.right == 0 &&
         r.bottom == 0 && ::GetWindow(window, GW_OWNER) == owner &&
         (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// ------------------------------------------------------------ GDI cache --

TEST(GdiCache, SkinsAreLoadedOnceAndMissingOnesAreNotRemembered) {
  GdiCache cache(::GetModuleHandleA(nullptr));
  SharedSkin first = cache.Skin(IDB_TEST_POPUP);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->width, 64);
  EXPECT_EQ(first->height, 48);
  EXPECT_EQ(cache.Skin(IDB_TEST_POPUP), first);
  EXPECT_FALSE(cache.Skin(12345));
  EXPECT_FALSE(cache.Skin(12345));
  EXPECT_EQ(cache.SkinCount(), 1u);
}

// The image drawn for a scale when there is one; else the next larger one
// (the largest above it) resized to the 100 % size times the scale.
TEST(GdiCache, SkinsFollowTheScale) {
  GdiCache cache(::GetModuleHandleA(nullptr));
  const struct {
    int dpi, width, height;
  } cases[] = {{96, 64, 48}, {144, 160, 100}, {120, 80, 60}, {192, 128, 96}, {168, 112, 84}};
  for (const auto& c : cases) {
    SharedSkin skin = cache.Skin(IDB_TEST_POPUP, c.dpi);
    ASSERT_TRUE(skin) << c.dpi;
    BITMAP info{};
    ASSERT_NE(::GetObjectA(skin->bitmap.Get(), sizeof(info), &info), 0);
    EXPECT_EQ(std::pair(skin->width, skin->height), std::pair(c.width, c.height)) << c.dpi;
    EXPECT_EQ(std::pair(int{info.bmWidth}, int{info.bmHeight}), std::pair(c.width, c.height)) << c.dpi;
  }
  // The dialog templates name their backgrounds.
  EXPECT_EQ(TemplateBackgroundBitmap(::GetModuleHandleA(nullptr), IDD_TEST_SKINNED), IDB_TEST_DIALOG);
  EXPECT_EQ(TemplateBackgroundBitmap(::GetModuleHandleA(nullptr), IDD_CONTRACT_CONTROLS), 0);
}

TEST(GdiCache, FontsAreSharedByFaceSizeAndStyle) {
  GdiCache cache(::GetModuleHandleA(nullptr));
  SharedFont plain = cache.Font("Arial", 75, 0);
  ASSERT_TRUE(plain && *plain);
  EXPECT_EQ(cache.Font("Arial", 75, 0), plain);
  SharedFont bold = cache.Font("Arial", 75, 1);
  SharedFont bigger = cache.Font("Arial", 90, 0);
  ASSERT_TRUE(bold && bigger);
  EXPECT_NE(bold, plain);
  EXPECT_NE(bigger, plain);

  LOGFONTA lf{};
  ASSERT_NE(::GetObjectA(bold->Get(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_FALSE(lf.lfItalic);
  ASSERT_NE(::GetObjectA(cache.Font("Arial", 75, 2)->Get(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_TRUE(lf.lfItalic);
  // Point sizes: a larger size is a taller font.
  LOGFONTA small{};
  LOGFONTA large{};
  ::GetObjectA(plain->Get(), sizeof(small), &small);
  ::GetObjectA(bigger->Get(), sizeof(large), &large);
  EXPECT_LT(large.lfHeight, small.lfHeight);  // negative: character heights
}

TEST(GdiCache, KeepsAtMostItsLimitButNeverDropsAFontInUse) {
  GdiCache cache(::GetModuleHandleA(nullptr));
  SharedFont held = cache.Font("Arial", 75, 0);
  ASSERT_TRUE(held);
  for (int size = 80; size < 80 + 3 * static_cast<int>(GdiCache::kMaxFonts); ++size) {
    ASSERT_TRUE(cache.Font("Arial", size, 0));
  }
  EXPECT_LE(cache.FontCount(), GdiCache::kMaxFonts);
  LOGFONTA lf{};
  EXPECT_NE(::GetObjectA(held->Get(), sizeof(lf), &lf), 0);  // still a live font
  EXPECT_EQ(cache.Font("Arial", 75, 0), held);
}

// ----------------------------------------------------------------- pool --

class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = MakePlatform();
    ASSERT_TRUE(platform_);
    frame_ = platform_->CreateFrameWindow(&frameEvents_);
    ASSERT_TRUE(frame_ && frame_->Handle());
    owner_ = ToHwnd(frame_->Handle());
  }
  void TearDown() override {
    frame_.reset();
    TakeQuit();
  }
  std::unique_ptr<IPopupWindow> NewPopup(IPopupEvents* events) {
    auto popup = platform_->CreatePopupWindow(events, frame_->Handle());
    EXPECT_TRUE(popup && popup->Handle());
    return popup;
  }
  // A popup on the screen with the test skin and some text.
  std::unique_ptr<IPopupWindow> ShownPopup(IPopupEvents* events, int x, int y) {
    auto popup = NewPopup(events);
    int w = 0, h = 0;
    EXPECT_TRUE(popup->LoadSkin(IDB_TEST_POPUP, fon::kDefaultDpi, &w, &h));
    PopupLook look;
    look.skin = IDB_TEST_POPUP;
    look.text = "MMMM";
    look.textColor = RGB(255, 0, 0);
    look.textRect = Rect{2, 16, 62, 46};
    look.visibleWidth = w;
    look.visibleHeight = h;
    popup->SetLook(look);
    popup->Place(x, y, w, h);
    popup->ShowNoActivate();
    popup->Redraw();
    return popup;
  }

  NullFrame frameEvents_;
  std::unique_ptr<Win32Platform> platform_;
  std::unique_ptr<IFrameWindow> frame_;
  HWND owner_ = nullptr;
};

TEST_F(PoolTest, AReleasedWindowComesBackAsANewOne) {
  Clicks first;
  auto popup = ShownPopup(&first, 300, 300);
  HWND window = ToHwnd(popup->Handle());
  ASSERT_TRUE(::IsWindowVisible(window));
  popup.reset();
  PumpFor(*platform_, 30);
  EXPECT_TRUE(IsFreshWindow(window, owner_));

  Clicks second;
  auto next = NewPopup(&second);
  EXPECT_EQ(ToHwnd(next->Handle()), window);
  EXPECT_TRUE(IsFreshWindow(window, owner_));
  ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  EXPECT_TRUE(first.log.empty());
  EXPECT_EQ(second.log, (std::vector<std::string>{"down 5,6"}));
  EXPECT_EQ(::SendMessageA(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_), 0), MA_NOACTIVATE);
}

TEST_F(PoolTest, AReusedWindowPaintsNothingOfThePreviousPopup) {
  Clicks clicks;
  auto popup = ShownPopup(&clicks, 300, 300);
  HWND window = ToHwnd(popup->Handle());
  popup.reset();
  PumpFor(*platform_, 30);

  // Placed and shown without a skin: the class background, as a new window
  // shows it, and neither the old skin nor the old text.
  auto next = NewPopup(&clicks);
  ASSERT_EQ(ToHwnd(next->Handle()), window);
  next->Place(300, 300, 64, 48);
  next->ShowNoActivate();
  next->Redraw();
  PumpFor(*platform_, 30);
  const COLORREF background = ::GetSysColor(COLOR_WINDOW);
  ScopedWindowDc dc(window);
  int other = 0;
  for (int y = 0; y < 48; y += 3) {
    for (int x = 0; x < 64; x += 3) other += ::GetPixel(dc.Dc(), x, y) != background;
  }
  EXPECT_EQ(other, 0);
}

TEST_F(PoolTest, TheOldWindowLeavesTheScreenOnceTheCurrentMessageIsDone) {
  Clicks clicks;
  auto popup = ShownPopup(&clicks, 300, 300);
  HWND window = ToHwnd(popup->Handle());
  popup.reset();
  EXPECT_TRUE(::IsWindowVisible(window));  // put away from the loop, not in the caller's time
  EXPECT_TRUE(::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0) == 0 && clicks.log.empty());
  PumpFor(*platform_, 30);
  EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(PoolTest, AClickQueuedForTheOldPopupReachesNoOne) {
  Clicks first;
  auto popup = ShownPopup(&first, 300, 300);
  HWND window = ToHwnd(popup->Handle());
  popup.reset();
  // Queued after the release, behind the message that puts the window away.
  ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
  ::PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(7, 7));
  MSG msg{};
  ASSERT_TRUE(::PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  ::DispatchMessageA(&msg);
  // The next popup gets the window while the clicks would still be queued.
  Clicks second;
  auto next = NewPopup(&second);
  ASSERT_EQ(ToHwnd(next->Handle()), window);
  PumpFor(*platform_, 30);
  EXPECT_TRUE(first.log.empty());
  EXPECT_TRUE(second.log.empty());
}

TEST_F(PoolTest, KeepsOnlyAFewSpareWindows) {
  Clicks clicks;
  std::vector<std::unique_ptr<IPopupWindow>> popups;
  std::vector<HWND> windows;
  const std::size_t many = PopupWindowPool::kMaxSpare + 3;
  for (std::size_t i = 0; i < many; ++i) {
    popups.push_back(NewPopup(&clicks));
    windows.push_back(ToHwnd(popups.back()->Handle()));
  }
  popups.clear();
  PumpFor(*platform_, 30);
  std::size_t alive = 0;
  for (HWND window : windows) alive += ::IsWindow(window) ? 1 : 0;
  EXPECT_EQ(alive, PopupWindowPool::kMaxSpare);
  EXPECT_EQ(platform_->PopupWindows().ReadyCount(), PopupWindowPool::kMaxSpare);
}

TEST_F(PoolTest, WindowsOfAnotherOwnerAreNotHandedOut) {
  Clicks clicks;
  auto popup = NewPopup(&clicks);
  HWND window = ToHwnd(popup->Handle());
  popup.reset();
  PumpFor(*platform_, 30);
  auto unowned = platform_->CreatePopupWindow(&clicks, 0);
  ASSERT_TRUE(unowned && unowned->Handle());
  EXPECT_NE(ToHwnd(unowned->Handle()), window);
  EXPECT_EQ(::GetWindow(ToHwnd(unowned->Handle()), GW_OWNER), nullptr);
}

TEST_F(PoolTest, SpareWindowsDieWithTheirOwnerAndAreNotHandedOutAfterwards) {
  Clicks clicks;
  auto popup = NewPopup(&clicks);
  HWND window = ToHwnd(popup->Handle());
  popup.reset();
  PumpFor(*platform_, 30);
  ASSERT_EQ(platform_->PopupWindows().ReadyCount(), 1u);
  frame_.reset();
  TakeQuit();
  EXPECT_FALSE(::IsWindow(window));

  frame_ = platform_->CreateFrameWindow(&frameEvents_);
  ASSERT_TRUE(frame_ && frame_->Handle());
  auto next = NewPopup(&clicks);
  EXPECT_TRUE(IsFreshWindow(ToHwnd(next->Handle()), ToHwnd(frame_->Handle())));
  EXPECT_EQ(platform_->PopupWindows().ReadyCount(), 0u);
}

TEST_F(PoolTest, PrewarmedWindowsServeTheFirstPopups) {
  PopupWindowPool& pool = platform_->PopupWindows();
  pool.Prewarm(owner_, 2);
  EXPECT_EQ(pool.ReadyCount(), 2u);
  pool.Prewarm(owner_, 2);  // already there
  EXPECT_EQ(pool.ReadyCount(), 2u);
  Clicks clicks;
  auto a = NewPopup(&clicks);
  auto b = NewPopup(&clicks);
  EXPECT_EQ(pool.ReadyCount(), 0u);
  EXPECT_TRUE(IsFreshWindow(ToHwnd(a->Handle()), owner_));
  EXPECT_TRUE(IsFreshWindow(ToHwnd(b->Handle()), owner_));
  pool.Prewarm(nullptr, 2);  // no owner: nothing
  EXPECT_EQ(pool.ReadyCount(), 0u);
}

TEST(PoolPrewarm, APlatformMakesItsSparesOnceTheFrameExists) {
  Win32Platform::Options options;
  options.instance = ::GetModuleHandleA(nullptr);
  options.sparePopupWindows = 3;
  auto platform = Win32Platform::Create(options);
  ASSERT_TRUE(platform);
  NullFrame events;
  auto frame = platform->CreateFrameWindow(&events);
  ASSERT_TRUE(frame);
  EXPECT_EQ(platform->PopupWindows().ReadyCount(), 0u);  // not in the frame's own start-up
  PumpFor(*platform, 30);
  EXPECT_EQ(platform->PopupWindows().ReadyCount(), 3u);
  frame.reset();
  TakeQuit();
}

// ---------------------------------------------------------- cheap redraws --

// Two popups side by side, given the same calls; the reference is repainted
// in full after each step, as every redraw used to be. After every step the
// two must show the same pixels.
class RedrawTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    fast_ = NewPopup(&clicks_);
    reference_ = NewPopup(&clicks_);
    int w = 0, h = 0;
    ASSERT_TRUE(fast_->LoadSkin(IDB_TEST_POPUP, fon::kDefaultDpi, &w, &h));
    ASSERT_TRUE(reference_->LoadSkin(IDB_TEST_POPUP, fon::kDefaultDpi, &w, &h));
    look_.skin = IDB_TEST_POPUP;
    look_.text = "MW MW MW MW";
    look_.title = "Incoming";
    look_.textColor = RGB(255, 0, 0);
    look_.textRect = Rect{2, 16, 62, 46};
  }
  void Step(int x, int y, int width, int height) {
    fast_->SetLook(look_);
    reference_->SetLook(look_);
    fast_->Place(x, y, width, height);
    reference_->Place(x + kApart, y, width, height);
    fast_->ShowNoActivate();
    reference_->ShowNoActivate();
    fast_->Redraw();
    ::RedrawWindow(ToHwnd(reference_->Handle()), nullptr, nullptr,
                   RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    ++steps_;
  }
  // Pixels that differ between the two windows, over `width` x `height`.
  int Differences(int width, int height) {
    ScopedWindowDc a(ToHwnd(fast_->Handle()));
    ScopedWindowDc b(ToHwnd(reference_->Handle()));
    int n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) n += ::GetPixel(a.Dc(), x, y) != ::GetPixel(b.Dc(), x, y);
    }
    return n;
  }
  unsigned FullRedraws() { return static_cast<const Win32PopupWindow&>(*fast_).Surface().FullRedraws(); }

  static constexpr int kApart = 200;
  Clicks clicks_;
  std::unique_ptr<IPopupWindow> fast_;
  std::unique_ptr<IPopupWindow> reference_;
  PopupLook look_;
  unsigned steps_ = 0;
};

TEST_F(RedrawTest, GrowingOutOfTheTaskbarAndMovingLookLikeFullRepaints) {
  // Out of a bottom taskbar at y = 500: the window grows upwards over the
  // skin, which is drawn from its top-left corner.
  look_.visibleWidth = 64;
  for (int h = 0; h <= 48; h += 6) {
    look_.visibleHeight = h;
    Step(300, 500 - h, 64, h);
    ASSERT_EQ(Differences(64, h), 0) << "visible height " << h;
  }
  // Pushed away by a newer popup: the whole skin moves up, the look stays.
  for (int dy = 6; dy <= 48; dy += 6) {
    Step(300, 452 - dy, 64, 48);
    ASSERT_EQ(Differences(64, 48), 0) << "moved by " << dy;
  }
  // The look changes: a full repaint again.
  look_.text = "other";
  look_.textColor = RGB(0, 0, 255);
  Step(300, 404, 64, 48);
  EXPECT_EQ(Differences(64, 48), 0);
  // Most steps only painted what had been invalidated.
  EXPECT_LT(FullRedraws(), steps_ / 2);
}

TEST_F(RedrawTest, AWindowLargerThanItsVisiblePartIsRepaintedInFullWhenThatPartChanges) {
  look_.visibleWidth = 64;
  look_.visibleHeight = 48;
  Step(300, 300, 64, 48);
  ASSERT_EQ(Differences(64, 48), 0);
  // Full size while less of the skin is visible, then more again: the rows
  // in between are not skin any more, then skin again.
  const unsigned before = FullRedraws();
  look_.visibleHeight = 20;
  Step(300, 300, 64, 48);
  look_.visibleHeight = 40;
  Step(300, 300, 64, 48);
  EXPECT_EQ(FullRedraws(), before + 2);
  EXPECT_EQ(Differences(64, 40), 0);
}

TEST_F(RedrawTest, WhatTheSystemInvalidatesIsPaintedWithItsBackground) {
  look_.visibleWidth = 64;
  look_.visibleHeight = 48;
  Step(300, 300, 64, 48);
  // Something spoilt a part and invalidated it without asking for the
  // background: the part must come back whole, not as text over the spoil.
  RECT part{0, 10, 64, 40};
  for (HWND window : {ToHwnd(fast_->Handle()), ToHwnd(reference_->Handle())}) {
    {
      ScopedWindowDc dc(window);
      ::FillRect(dc.Dc(), &part, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ::InvalidateRect(window, &part, FALSE);
  }
  Step(300, 300, 64, 48);
  EXPECT_EQ(Differences(64, 48), 0);
}

}  // namespace
}  // namespace fon::win32
