// Skinned dialogs from the program's templates: modeless, or modal through a
// nested loop of our own so that timers and sockets keep running. Their text
// labels are drawn transparently over the skin bitmap, and the face drags
// the dialog.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

#include <functional>
#include <map>
#include <memory>
#include <set>

namespace fon::win32 {

class Win32EventLoop;

class Win32DialogWindow final : public IDialogWindow {
 public:
  // `defaultOwner` gives the owner of a modal dialog made without a parent
  // (the main frame, as for every dialog of the program).
  Win32DialogWindow(HINSTANCE instance, Win32EventLoop& loop, IDialogEvents* events,
                    std::function<HWND()> defaultOwner);
  ~Win32DialogWindow() override;

  void SetDragByFace(bool drags) override { dragByFace_ = drags; }
  bool CreateModeless(int templateId, WindowHandle parent) override;
  int DoModal(int templateId, WindowHandle parent) override;
  void EndDialog(int code) override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) override;
  void EnableItem(int id, bool enabled) override;
  bool IsItemEnabled(int id) override;
  void ShowItem(int id, bool visible) override;
  bool IsItemVisible(int id) override;
  void FocusItem(int id) override;
  bool IsChecked(int id) override;
  void SetChecked(int id, bool checked) override;
  void ComboReset(int id) override;
  int ComboAdd(int id, const std::string& text) override;
  int ComboCount(int id) override;
  std::string ComboText(int id, int index) override;
  int ComboFindExact(int id, const std::string& text) override;
  int ComboSelection(int id) override;
  void ComboSelect(int id, int index) override;
  void SetHotkey(int id, unsigned virtualKey, unsigned flags) override;
  void GetHotkey(int id, unsigned* virtualKey, unsigned* flags) override;
  void RejectInput(int id, const std::string& message) override;
  void SetTopmost(bool topmost) override;
  void SetLabelWhite(int id, bool white) override;
  void SetFaceText(Rect rect, const std::string& text, std::uint32_t colour) override;
  void Center() override;
  void Show(bool visible) override;
  void RedrawNow() override;
  void BringToFront() override;
  void Destroy() override;
  WindowHandle Handle() const override { return FromHwnd(window_.Get()); }

 private:
  bool Create(int templateId, HWND parent);
  void EnableOwner();
  HWND Item(int id) const;
  LRESULT SendItem(int id, UINT message, WPARAM wParam, LPARAM lParam) const;
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void SubclassLabels(HWND dialog);
  static LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR refData);
  void PaintLabel(HWND label);
  static LRESULT CALLBACK SkinProc(HWND skin, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR refData);
  void PaintFaceText(HWND skin);
  // The skin static shows the background drawn for the dialog's scale, and
  // the dialog's face is exactly as large as it.
  void FitSkin(HWND dialog);

  HINSTANCE instance_;
  Win32EventLoop& loop_;
  IDialogEvents* events_;
  std::function<HWND()> defaultOwner_;
  bool dragByFace_ = true;
  bool modal_ = false;
  bool ended_ = false;
  // The dialog's initialisation chose the focus itself: WM_INITDIALOG then
  // returns FALSE, or the dialog manager would move it to the first tab stop.
  bool initialising_ = false;
  bool focusSetInInit_ = false;
  int result_ = 0;
  HWND disabledOwner_ = nullptr;  // the owner a modal run disabled
  std::map<int, bool> whiteLabels_;
  std::set<HWND> labels_;
  // The template's background bitmap (0: none), the static showing it, the
  // image of it for another scale that the static shows now, and that scale.
  int skinBitmapId_ = 0;
  HWND skinWindow_ = nullptr;
  UniqueBitmap skinBitmap_;
  int skinDpi_ = 0;
  Rect faceRect_;
  std::string faceText_;
  COLORREF faceColour_ = 0;
  // Cleared by the destructor: a modal run whose dialog object is deleted
  // inside its own loop must not touch it afterwards.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  UniqueWindow window_;
};

}  // namespace fon::win32
