// The windows of the program: the hidden main frame, the notification
// popups and the skinned dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/tray.h"
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
  // The user's session was locked (true) or unlocked (false).
  virtual void OnSessionChange(bool locked) = 0;
  // Another process of the user handed over a tel: or callto: link.
  virtual void OnPhoneLink(const std::string& link) = 0;
  // The user's session ends (log-off or shut-down); the process goes with
  // it once this returns.
  virtual void OnEndSession() = 0;

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
  int dpi = kDefaultDpi;        // scale of the skin, the font and the title band
};

class IPopupEvents {
 public:
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonDblClk(int x, int y) = 0;
  // The window now lies on a monitor of another scale (dots per inch).
  virtual void OnDpiChanged(int /*dpi*/) {}
  // The right button was released over the popup (client point).
  virtual void OnRButtonUp(int /*x*/, int /*y*/) {}

 protected:
  ~IPopupEvents() = default;
};

// What assistive technology learns of a popup: its name (the whole message in
// one line) and the names of its buttons; an empty button name means the
// popup has no such button.
struct PopupAccessibility {
  std::string name;
  std::string infoButton;
  std::string closeButton;
  friend bool operator==(const PopupAccessibility&, const PopupAccessibility&) = default;
};

class IPopupWindow {
 public:
  virtual ~IPopupWindow() = default;
  // Loads a skin drawn for `dpi`; returns false when it does not exist.
  // Size in pixels in *w, *h: the 100 % size scaled by dpi / 96.
  virtual bool LoadSkin(int bitmap, int dpi, int* width, int* height) = 0;
  virtual void SetLook(const PopupLook& look) = 0;
  // Topmost, never activated.
  virtual void Place(int x, int y, int width, int height) = 0;
  virtual void ShowNoActivate() = 0;
  virtual void Hide() = 0;
  virtual void Redraw() = 0;
  virtual WindowHandle Handle() const = 0;
  // The popup shows itself to screen readers as an alert with this content.
  virtual void SetAccessibility(const PopupAccessibility& accessibility) = 0;
  // Tells screen readers that the alert has just appeared.
  virtual void AnnounceAlert() = 0;
  // A context menu at a screen point; the chosen command, 0 when dismissed.
  // Runs a nested loop and leaves the focus where it is.
  virtual int TrackContextMenu(Point at, const std::vector<MenuItem>& items) = 0;
};

class IDialogEvents {
 public:
  virtual void OnInitDialog() = 0;
  // A button was clicked: push buttons, and check boxes after they toggled
  // (by the mouse or the space bar); Enter and Escape arrive as kIdOk and
  // kIdCancel.
  virtual void OnCommand(int id) = 0;
  // The user chose another entry of a combo box.
  virtual void OnSelectionChange(int /*id*/) {}

 protected:
  ~IDialogEvents() = default;
};

enum : int { kIdOk = 1, kIdCancel = 2 };

// Modifier flags of a hotkey control (not those of RegisterHotKey).
enum : unsigned { kHotkeyShift = 1, kHotkeyControl = 2, kHotkeyAlt = 4, kHotkeyExtended = 8 };

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
  // Text of a control: a label, an edit, the edit part of an editable
  // combo box, or the chosen entry of a drop-down list.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) = 0;

  // ---- single controls
  virtual void EnableItem(int id, bool enabled) = 0;
  virtual bool IsItemEnabled(int id) = 0;
  virtual void ShowItem(int id, bool visible) = 0;
  virtual bool IsItemVisible(int id) = 0;
  virtual void FocusItem(int id) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual void SetChecked(int id, bool checked) = 0;

  // ---- combo boxes; the templates keep their entries sorted (without
  // regard to case), so an entry's index is known only after adding it.
  virtual void ComboReset(int id) = 0;
  // Index the entry went to, -1 when it could not be added.
  virtual int ComboAdd(int id, const std::string& text) = 0;
  virtual int ComboCount(int id) = 0;
  virtual std::string ComboText(int id, int index) = 0;
  // Index of the entry equal to `text` without regard to case, -1 if none.
  virtual int ComboFindExact(int id, const std::string& text) = 0;
  // -1 when no entry is chosen.
  virtual int ComboSelection(int id) = 0;
  // Chooses an entry (-1: none) without notifying the dialog.
  virtual void ComboSelect(int id, int index) = 0;

  // ---- hotkey control: virtual key and the control's modifier flags
  // (kHotkeyShift, kHotkeyControl, kHotkeyAlt, kHotkeyExtended).
  virtual void SetHotkey(int id, unsigned virtualKey, unsigned flags) = 0;
  virtual void GetHotkey(int id, unsigned* virtualKey, unsigned* flags) = 0;

  // A field's value was refused: tells the user with `message` in a message
  // box over the dialog, then puts the focus back in the field with its
  // text selected. The dialog stays open.
  virtual void RejectInput(int id, const std::string& message) = 0;
  // Keeps the dialog above every window that is not topmost.
  virtual void SetTopmost(bool topmost) = 0;

  // Labels drawn transparently on the skin; white for titles on dark bands.
  virtual void SetLabelWhite(int id, bool white) = 0;
  // A text painted straight onto the skin, in client pixels, in the colour
  // 0xBBGGRR, broken into words and cut with an ellipsis where it does not
  // fit. One per dialog; set it before or while the dialog is shown.
  virtual void SetFaceText(Rect rect, const std::string& text, std::uint32_t colour) = 0;
  virtual void Center() = 0;
  virtual void Show(bool visible) = 0;
  virtual void RedrawNow() = 0;
  virtual void BringToFront() = 0;
  virtual void Destroy() = 0;
  virtual WindowHandle Handle() const = 0;
};

}  // namespace fon
