// The windows of the program: the hidden main frame, the notification
// popups and the skinned dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace fon {

// Messages the hidden main frame receives.
class IFrameEvents {
 public:
  virtual void OnTrayNotify(unsigned mouseMessage) = 0;
  virtual void OnHotKey(int id) = 0;
  virtual void OnCommand(int id) = 0;
  virtual void OnClose() = 0;
  virtual void OnSize(int sizeType) = 0;
  // The shell (re)created its taskbar: the tray icon must be added again.
  virtual void OnTaskbarCreated() = 0;
  // Another process of the user handed over a tel: or callto: link.
  virtual void OnPhoneLink(const std::string& link) = 0;

 protected:
  ~IFrameEvents() = default;
};

class IFrameWindow {
 public:
  virtual ~IFrameWindow() = default;
  virtual WindowHandle Handle() const = 0;
  // Shows or hides the frame window (without activating it).
  virtual void Show(bool visible) = 0;
  // Destroying the main frame ends the message loop and the process.
  virtual void Destroy() = 0;
};

// Painting state of a notification popup; the platform draws from it.
struct PopupLook {
  int skin = 0;                 // bitmap resource
  std::string text;             // message text
  std::string title;            // title band text
  std::string fontFace = "Arial";
  int fontTenthsPt = 75;
  int fontStyle = 0;            // bit 0 bold, bit 1 italic
  std::uint32_t textColor = 0;  // COLORREF
  Rect textRect;
  // DrawText flags: centred, word-wrapped, ellipsis at the end. DT_NOPREFIX
  // (0x800) as well: a caller named "Smith & Co" must not lose its "&" to
  // an underline.
  unsigned textFormat = 0x8815;
  unsigned titleFormat = 0x8814;
  int visibleWidth = 0;         // part of the skin shown (grows while appearing)
  int visibleHeight = 0;
};

class IPopupEvents {
 public:
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonDblClk(int x, int y) = 0;

 protected:
  ~IPopupEvents() = default;
};

class IPopupWindow {
 public:
  virtual ~IPopupWindow() = default;
  // Loads a skin; returns false when it does not exist. Size in *w, *h.
  virtual bool LoadSkin(int bitmap, int* width, int* height) = 0;
  virtual void SetLook(const PopupLook& look) = 0;
  // Topmost, never activated.
  virtual void Place(int x, int y, int width, int height) = 0;
  virtual void ShowNoActivate() = 0;
  virtual void Hide() = 0;
  virtual void Redraw() = 0;
  virtual WindowHandle Handle() const = 0;
};

class IDialogEvents {
 public:
  virtual void OnInitDialog() = 0;
  virtual void OnCommand(int id) = 0;

 protected:
  ~IDialogEvents() = default;
};

enum : int { kIdOk = 1, kIdCancel = 2 };

class IDialogWindow {
 public:
  virtual ~IDialogWindow() = default;
  // Whether a press anywhere on the dialog's face drags it (the default),
  // as for a caption-less skinned dialog; set before the dialog is created.
  virtual void SetDragByFace(bool drags) = 0;
  virtual bool CreateModeless(int templateId, WindowHandle parent) = 0;
  // Runs the dialog in a nested loop until EndDialog; returns its code
  // (-1 when the template cannot be shown).
  virtual int DoModal(int templateId, WindowHandle parent) = 0;
  virtual void EndDialog(int code) = 0;
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) = 0;
  // Labels drawn transparently on the skin; white for titles on dark bands.
  virtual void SetLabelWhite(int id, bool white) = 0;
  virtual void Center() = 0;
  virtual void Show(bool visible) = 0;
  virtual void RedrawNow() = 0;
  virtual void BringToFront() = 0;
  virtual void Destroy() = 0;
  virtual WindowHandle Handle() const = 0;
};

}  // namespace fon
