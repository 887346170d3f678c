// The call notification window: a borderless topmost window painted with a
// skin bitmap, with text and title drawn over it. It never takes the focus.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

class Win32PopupWindow final : public IPopupWindow {
 public:
  Win32PopupWindow(HINSTANCE instance, IPopupEvents* events, HWND parent);
  ~Win32PopupWindow() override;

  bool LoadSkin(int bitmap, int* width, int* height) override;
  void SetLook(const PopupLook& look) override;
  void Place(int x, int y, int width, int height) override;
  void ShowNoActivate() override;
  void Hide() override;
  void Redraw() override;
  WindowHandle Handle() const override { return FromHwnd(window_.Get()); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void EraseBackground(HDC dc);
  void Paint(HWND window);
  void UpdateFont();

  HINSTANCE instance_;
  IPopupEvents* events_;
  PopupLook look_;
  UniqueBitmap skin_;
  int skinWidth_ = 0;
  int skinHeight_ = 0;
  UniqueFont font_;
  std::string fontFace_;
  int fontTenthsPt_ = -1;
  int fontStyle_ = -1;
  UniqueWindow window_;
};

}  // namespace fon::win32
