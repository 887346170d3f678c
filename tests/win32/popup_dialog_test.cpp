// The popup and the skinned dialogs: window kinds, messages, and what ends
// up on the screen.
#include "platform/win32/monitor_dpi.h"
#include "test_resources.h"
#include "test_support.h"

#include <functional>
#include <string>
#include <vector>

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::RunUntilOr;
using testing::NullFrame;
using testing::TakeQuit;

constexpr COLORREF kBand = RGB(0, 0, 128);
constexpr COLORREF kBody = RGB(236, 233, 216);
constexpr COLORREF kDialogSkin = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Pixels of a window as they are on the screen, in client coordinates.
int CountPixels(HWND window, RECT area, const std::function<bool(COLORREF)>& match) {
  ScopedWindowDc dc(window);
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) n += match(::GetPixel(dc.Dc(), x, y)) ? 1 : 0;
  }
  return n;
}

COLORREF PixelAt(HWND window, int x, int y) {
  ScopedWindowDc dc(window);
  return ::GetPixel(dc.Dc(), x, y);
}

std::function<bool(COLORREF)> Is(COLORREF color) {
  return [color](COLORREF c) { return c == color; };
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = MakePlatform();
    ASSERT_TRUE(platform_);
    frame_ = platform_->CreateFrameWindow(&frameEvents_);
    ASSERT_TRUE(frame_ && frame_->Handle());
  }
  void TearDown() override {
    frame_.reset();
    TakeQuit();
  }

  NullFrame frameEvents_;
  std::unique_ptr<Win32Platform> platform_;
  std::unique_ptr<IFrameWindow> frame_;
};

// ------------------------------------------------------------------ popup --

class PopupClicks final : public IPopupEvents {
 public:
  void OnLButtonDown(int x, int y) override { log.push_back("down " + std::to_string(x) + "," + std::to_string(y)); }
  void OnLButtonDblClk(int x, int y) override { log.push_back("dbl " + std::to_string(x) + "," + std::to_string(y)); }
  std::vector<std::string> log;
};

class PopupTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    popup_ = platform_->CreatePopupWindow(&clicks_, frame_->Handle());
    ASSERT_TRUE(popup_);
    window_ = ToHwnd(popup_->Handle());
    ASSERT_TRUE(window_);
  }
  void TearDown() override {
    popup_.reset();
    WindowTest::TearDown();
  }

  PopupClicks clicks_;
  std::unique_ptr<IPopupWindow> popup_;
  HWND window_ = nullptr;
};

TEST_F(PopupTest, IsATopmostBorderlessWindowOfClassCPopup) {
  char name[32] = {};
  ::GetClassNameA(window_, name, sizeof(name));
  EXPECT_STREQ(name, "CPopup");
  auto classStyle = static_cast<UINT>(::GetClassLongPtrA(window_, GCL_STYLE));
  EXPECT_EQ(classStyle & (CS_DBLCLKS | CS_SAVEBITS), static_cast<UINT>(CS_DBLCLKS | CS_SAVEBITS));
  EXPECT_TRUE(::GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  LONG style = ::GetWindowLongA(window_, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_FALSE(::IsWindowVisible(window_));
  EXPECT_EQ(::GetWindow(window_, GW_OWNER), ToHwnd(frame_->Handle()));
}

TEST_F(PopupTest, LoadSkinReportsTheBitmapSize) {
  int w = -1, h = -1;
  ASSERT_TRUE(popup_->LoadSkin(IDB_TEST_POPUP, fon::kDefaultDpi, &w, &h));
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 48);
  int w2 = -1, h2 = -1;
  EXPECT_FALSE(popup_->LoadSkin(12345, fon::kDefaultDpi, &w2, &h2));
  EXPECT_EQ(w2, -1);
  EXPECT_EQ(h2, -1);
}

TEST_F(PopupTest, ClicksReachTheCoreInClientCoordinates) {
  ::SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(205, 5));
  ::SendMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(12, 100));
  ::SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 7));
  EXPECT_EQ(clicks_.log, (std::vector<std::string>{"down 205,5", "dbl 12,100", "down -3,7"}));
}

TEST_F(PopupTest, NeverTakesTheFocusAndShowsAHandOverItsFace) {
  EXPECT_EQ(::SendMessageA(window_, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(ToHwnd(frame_->Handle())),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  HWND before = ::GetForegroundWindow();
  popup_->Place(40, 40, 64, 48);
  popup_->ShowNoActivate();
  PumpFor(*platform_, 30);
  EXPECT_TRUE(::IsWindowVisible(window_));
  EXPECT_NE(::GetForegroundWindow(), window_);
  EXPECT_EQ(::GetForegroundWindow(), before);

  EXPECT_EQ(::SendMessageA(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
  popup_->Hide();
  EXPECT_FALSE(::IsWindowVisible(window_));
}

TEST_F(PopupTest, PaintsTheVisiblePartOfTheSkinWithTextAndTitle) {
  int w = 0, h = 0;
  ASSERT_TRUE(popup_->LoadSkin(IDB_TEST_POPUP, fon::kDefaultDpi, &w, &h));
  PopupLook look;
  look.skin = IDB_TEST_POPUP;
  look.text = "MMMM";
  look.title = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
  look.fontTenthsPt = 90;
  look.fontStyle = 1;
  look.textColor = kRed;
  look.textRect = Rect{2, 16, 62, 30};
  look.textFormat = 0x8815;
  look.titleFormat = 0x8814;
  look.visibleWidth = w;
  look.visibleHeight = 32;  // still growing out of the taskbar
  popup_->SetLook(look);
  popup_->Place(200, 200, w, h);
  popup_->ShowNoActivate();
  popup_->Redraw();
  PumpFor(*platform_, 50);

  EXPECT_EQ(PixelAt(window_, 1, 1), kBand);     // skin, top-left corner first
  EXPECT_EQ(PixelAt(window_, 1, 31), kBody);
  EXPECT_NE(PixelAt(window_, 1, 40), kBody);    // below the visible height: no skin
  EXPECT_GT(CountPixels(window_, RECT{2, 16, 62, 30}, Is(kRed)), 10);
  EXPECT_GT(CountPixels(window_, RECT{2, 16, 62, 30}, Is(kBody)), 10);  // transparent text background
  EXPECT_GT(CountPixels(window_, RECT{8, 20, 54, 32}, Is(kWhite)), 10);
  EXPECT_EQ(CountPixels(window_, RECT{0, 0, 8, 14}, Is(kWhite)), 0);    // the title stays in its band
}

// ---------------------------------------------------------------- dialogs --

class DialogEvents final : public IDialogEvents {
 public:
  void OnInitDialog() override {
    ++inits;
    if (onInit) onInit();
  }
  void OnCommand(int id) override {
    commands.push_back(id);
    if (onCommand) onCommand(id);
  }
  void OnSelectionChange(int id) override { selections.push_back(id); }
  int inits = 0;
  std::vector<int> commands;
  std::vector<int> selections;
  std::function<void()> onInit;
  std::function<void(int)> onCommand;
};

class DialogTest : public WindowTest {
 protected:
  void TearDown() override {
    dialog_.reset();
    WindowTest::TearDown();
  }
  HWND Open(int templateId) {
    dialog_ = platform_->CreateDialogWindow(&events_);
    EXPECT_TRUE(dialog_->CreateModeless(templateId, frame_->Handle()));
    return ToHwnd(dialog_->Handle());
  }
  HWND Item(int id) { return ::GetDlgItem(ToHwnd(dialog_->Handle()), id); }
  // Client rectangle of a control in its dialog's client coordinates.
  RECT ItemRect(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  DialogEvents events_;
  std::unique_ptr<IDialogWindow> dialog_;
};

TEST_F(DialogTest, ModelessDialogFromItsTemplate) {
  std::string textDuringInit;
  events_.onInit = [&] {
    dialog_->SetItemText(IDC_TEST_EDIT, "set in init");
    textDuringInit = dialog_->GetItemText(IDC_TEST_EDIT);
  };
  HWND dialog = Open(IDD_TEST_SKINNED);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(events_.inits, 1);
  EXPECT_EQ(textDuringInit, "set in init");
  EXPECT_EQ(::GetParent(dialog), ToHwnd(frame_->Handle()));

  dialog_->SetItemText(IDC_TEST_EDIT, "0221 M\xfcller");
  EXPECT_EQ(dialog_->GetItemText(IDC_TEST_EDIT), "0221 M\xfcller");
  EXPECT_EQ(dialog_->GetItemText(9999), "");

  dialog_->Destroy();
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(dialog_->Handle(), 0u);
}

TEST_F(DialogTest, ClicksAreCommandsSelectionChangesTheirOwnAndEditsNeither) {
  HWND dialog = Open(IDD_TEST_SKINNED);
  ASSERT_TRUE(dialog);
  ::SendMessageA(Item(IDC_TEST_BUTTON), BM_CLICK, 0, 0);
  dialog_->SetItemText(IDC_TEST_EDIT, "typing");  // EN_CHANGE
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_TEST_COMBO)));
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(Item(IDC_TEST_COMBO)));
  ::SendMessageA(Item(IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(events_.commands, (std::vector<int>{IDC_TEST_BUTTON, IDOK}));
  EXPECT_EQ(events_.selections, (std::vector<int>{IDC_TEST_COMBO}));
  // An accelerator's command (code 1, no control) is no selection change.
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, 1), 0);
  EXPECT_EQ(events_.commands.back(), IDC_TEST_BUTTON);
  EXPECT_EQ(events_.selections.size(), 1u);
}

TEST_F(DialogTest, KeyboardReachesTheDialogThroughTheLoop) {
  HWND dialog = Open(IDD_TEST_SKINNED);
  ASSERT_TRUE(dialog);
  dialog_->Show(true);
  HWND edit = Item(IDC_TEST_EDIT);
  ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(RunUntilOr(*platform_, [&] { return events_.commands.size() >= 2; }, 2000));
  EXPECT_EQ(events_.commands, (std::vector<int>{IDOK, IDCANCEL}));
}

TEST_F(DialogTest, TheFaceDragsTheDialogUnlessTheDialogSaysNot) {
  // Whatever the template: the option decides.
  HWND dialog = Open(IDD_TEST_FIXED);
  ASSERT_TRUE(dialog);
  dialog_->Show(true);
  RECT r{};
  ::GetWindowRect(dialog, &r);
  LPARAM face = MAKELPARAM(r.left + 60, r.top + 40);
  LPARAM border = MAKELPARAM(r.left, (r.top + r.bottom) / 2);
  EXPECT_EQ(::SendMessageA(dialog, WM_NCHITTEST, 0, face), HTCAPTION);
  EXPECT_EQ(::SendMessageA(dialog, WM_NCHITTEST, 0, border), HTCAPTION);

  dialog_ = platform_->CreateDialogWindow(&events_);
  dialog_->SetDragByFace(false);
  ASSERT_TRUE(dialog_->CreateModeless(IDD_TEST_SKINNED, frame_->Handle()));
  HWND fixed = ToHwnd(dialog_->Handle());
  dialog_->Show(true);
  ::GetWindowRect(fixed, &r);
  EXPECT_EQ(::SendMessageA(fixed, WM_NCHITTEST, 0, MAKELPARAM(r.left + 60, r.top + 40)), HTCLIENT);
}

TEST_F(DialogTest, LabelsAreDrawnOverTheSkinInTheirColour) {
  dialog_ = platform_->CreateDialogWindow(&events_);
  dialog_->SetLabelWhite(IDC_TEST_WHITE_LABEL, true);  // before the window exists, as a constructor does
  ASSERT_TRUE(dialog_->CreateModeless(IDD_TEST_SKINNED, frame_->Handle()));
  HWND dialog = ToHwnd(dialog_->Handle());
  dialog_->Center();
  dialog_->Show(true);
  dialog_->RedrawNow();
  PumpFor(*platform_, 50);

  RECT white = ItemRect(dialog, IDC_TEST_WHITE_LABEL);
  RECT black = ItemRect(dialog, IDC_TEST_BLACK_LABEL);
  EXPECT_GT(CountPixels(dialog, white, Is(kWhite)), 10);
  EXPECT_GT(CountPixels(dialog, white, Is(kDialogSkin)), 10);  // the skin shows through
  EXPECT_GT(CountPixels(dialog, black, Is(kBlack)), 10);
  EXPECT_EQ(CountPixels(dialog, black, Is(kWhite)), 0);
  EXPECT_GT(CountPixels(dialog, black, Is(kDialogSkin)), 10);

  // Only text labels get the transparent treatment, not the skin itself.
  ScopedWindowDc dc(dialog);
  HGDIOBJ nullBrush = ::GetStockObject(NULL_BRUSH);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Dc()),
                                                     reinterpret_cast<LPARAM>(Item(IDC_TEST_WHITE_LABEL)))),
            nullBrush);
  EXPECT_NE(reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Dc()),
                                                     reinterpret_cast<LPARAM>(Item(IDC_TEST_BACKGROUND)))),
            nullBrush);

  // Switching the colour later shows on the next paint.
  dialog_->SetLabelWhite(IDC_TEST_WHITE_LABEL, false);
  dialog_->RedrawNow();
  PumpFor(*platform_, 50);
  EXPECT_EQ(CountPixels(dialog, white, Is(kWhite)), 0);
}

// The face is the skin, drawn for the dialog's scale: however many pixels
// the template's dialog units come to, the client area is the skin's size.
TEST_F(DialogTest, TheFaceIsExactlyTheSkinAtTheDialogsScale) {
  HWND dialog = Open(IDD_TEST_SKINNED);
  ASSERT_TRUE(dialog);
  const int dpi = WindowDpi(dialog);
  RECT client{};
  RECT skin{};
  ::GetClientRect(dialog, &client);
  ::GetClientRect(Item(IDC_TEST_BACKGROUND), &skin);
  EXPECT_EQ(std::pair(int{client.right}, int{client.bottom}), std::pair(ScaleToDpi(160, dpi), ScaleToDpi(100, dpi)));
  EXPECT_EQ(std::pair(skin.right, skin.bottom), std::pair(client.right, client.bottom));
}

TEST_F(DialogTest, CenterPutsTheDialogInTheMiddleOfTheWorkArea) {
  HWND dialog = Open(IDD_TEST_SKINNED);
  ASSERT_TRUE(dialog);
  dialog_->Center();
  RECT r{};
  ::GetWindowRect(dialog, &r);
  Rect work = platform_->Desktop().WorkArea();
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 2);
  EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 2);
}

TEST_F(DialogTest, ModalRunKeepsTimersGoingAndDisablesTheOwner) {
  HWND owner = ToHwnd(frame_->Handle());
  testing::Ticker ticker;
  platform_->Timers().SetTimer(&ticker, 1, 10);
  bool ownerDisabledMeanwhile = false;
  bool visibleMeanwhile = false;
  class Ender final : public TimerSink {
   public:
    std::function<void()> action;
    void OnTimer(unsigned) override { action(); }
  } ender;
  ender.action = [&] {
    if (ticker.ticks < 5) return;
    platform_->Timers().KillAllTimers(&ender);
    ownerDisabledMeanwhile = !::IsWindowEnabled(owner);
    visibleMeanwhile = ::IsWindowVisible(ToHwnd(dialog_->Handle())) != FALSE;
    dialog_->EndDialog(42);
  };
  platform_->Timers().SetTimer(&ender, 1, 10);
  dialog_ = platform_->CreateDialogWindow(&events_);
  int code = dialog_->DoModal(IDD_TEST_SKINNED, frame_->Handle());
  platform_->Timers().KillAllTimers(&ticker);
  platform_->Timers().KillAllTimers(&ender);
  EXPECT_EQ(code, 42);
  EXPECT_EQ(events_.inits, 1);
  EXPECT_GE(ticker.ticks, 5);
  EXPECT_TRUE(ownerDisabledMeanwhile);
  EXPECT_TRUE(visibleMeanwhile);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(dialog_->Handle(), 0u);
}

TEST_F(DialogTest, ModalRunEndsOnTheDialogsOwnCommand) {
  dialog_ = platform_->CreateDialogWindow(&events_);
  events_.onInit = [&] { ::PostMessageA(Item(IDC_TEST_BUTTON), BM_CLICK, 0, 0); };
  events_.onCommand = [&](int id) { dialog_->EndDialog(id == IDC_TEST_BUTTON ? kIdOk : kIdCancel); };
  EXPECT_EQ(dialog_->DoModal(IDD_TEST_SKINNED, 0), kIdOk);
  EXPECT_TRUE(::IsWindowEnabled(ToHwnd(frame_->Handle())));
}

TEST_F(DialogTest, ModalEdgeCases) {
  dialog_ = platform_->CreateDialogWindow(&events_);
  EXPECT_EQ(dialog_->DoModal(4711, frame_->Handle()), -1);  // no such template
  EXPECT_TRUE(::IsWindowEnabled(ToHwnd(frame_->Handle())));

  events_.onInit = [&] { dialog_->EndDialog(7); };  // ended before it was shown
  EXPECT_EQ(dialog_->DoModal(IDD_TEST_SKINNED, frame_->Handle()), 7);

  // The dialog object deleted from inside its own modal loop.
  events_.onInit = nullptr;
  IDialogWindow* doomed = dialog_.release();
  platform_->Loop().Post([doomed] { delete doomed; });
  EXPECT_EQ(doomed->DoModal(IDD_TEST_SKINNED, frame_->Handle()), -1);
  EXPECT_TRUE(::IsWindowEnabled(ToHwnd(frame_->Handle())));
}

}  // namespace
}  // namespace fon::win32
