// What a screen reader sees of a popup window: an alert whose name is the
// whole message, with its Info and close buttons as named push buttons that
// can be pressed. The popup never takes the focus, so this object is the
// only way assistive technology reaches it.
#pragma once

#include <functional>

#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

#include <oleacc.h>

namespace fon::win32 {

// IID_IAccessible. The MinGW import library of oleacc resolves that name
// to an import thunk rather than to the GUID, so the value is spelled here.
inline constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

class PopupAccessible final : public IAccessible {
 public:
  // `press` clicks a client point as the mouse would.
  PopupAccessible(HWND window, std::function<void(int, int)> press);
  PopupAccessible(const PopupAccessible&) = delete;
  PopupAccessible& operator=(const PopupAccessible&) = delete;

  void SetContent(const PopupAccessibility& content) { content_ = content; }
  // The window is gone: every later call fails as for a dead object.
  void Disconnect();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch (not offered: clients use the IAccessible methods directly)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  ~PopupAccessible() = default;
  // The child ids of the buttons shown, in reading order (1-based).
  enum Child : long { kSelf = CHILDID_SELF, kInfo = 1, kClose = 2 };
  // Which button a child id names; -1 when none (or no such button).
  long ButtonOf(const VARIANT& child) const;
  bool ScreenRect(long which, RECT* rect) const;

  LONG refs_ = 1;
  HWND window_;
  std::function<void(int, int)> press_;
  PopupAccessibility content_;
};

}  // namespace fon::win32
