#include "platform/win32/popup_accessible.h"

#include <string>

namespace fon::win32 {

namespace {

// The buttons of every skin's title band, client coordinates.
constexpr RECT kInfoRect{176, 0, 200, 14};
constexpr RECT kCloseRect{200, 0, 213, 14};

BSTR ToBstr(const std::string& text) {
  if (text.empty()) return nullptr;
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return nullptr;
  BSTR out = ::SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (out) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, n);
  return out;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

}  // namespace

PopupAccessible::PopupAccessible(HWND window, std::function<void(int, int)> press)
    : window_(window), press_(std::move(press)) {}

void PopupAccessible::Disconnect() {
  window_ = nullptr;
  press_ = nullptr;
}

long PopupAccessible::ButtonOf(const VARIANT& child) const {
  if (child.vt != VT_I4) return -1;
  const bool hasInfo = !content_.infoButton.empty();
  if (child.lVal == 1) return hasInfo ? kInfo : kClose;
  if (child.lVal == 2 && hasInfo) return kClose;
  return -1;
}

bool PopupAccessible::ScreenRect(long which, RECT* rect) const {
  if (!window_) return false;
  if (which == kSelf) return ::GetWindowRect(window_, rect) != FALSE;
  *rect = which == kInfo ? kInfoRect : kCloseRect;
  POINT corner{0, 0};
  if (!::ClientToScreen(window_, &corner)) return false;
  ::OffsetRect(rect, corner.x, corner.y);
  return true;
}

HRESULT PopupAccessible::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidAccessible) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG PopupAccessible::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG PopupAccessible::Release() {
  const LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT PopupAccessible::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}
HRESULT PopupAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT PopupAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT PopupAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT PopupAccessible::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!window_) return CO_E_OBJNOTCONNECTED;
  return ::CreateStdAccessibleObject(window_, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT PopupAccessible::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = content_.infoButton.empty() ? 1 : 2;
  return window_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT PopupAccessible::get_accChild(VARIANT, IDispatch** out) {
  // The buttons are simple elements of this object, not objects of their own.
  if (out) *out = nullptr;
  return S_FALSE;
}

HRESULT PopupAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (!window_) return CO_E_OBJNOTCONNECTED;
  if (IsSelf(child)) {
    *name = ToBstr(content_.name);
  } else {
    const long button = ButtonOf(child);
    if (button < 0) return E_INVALIDARG;
    *name = ToBstr(button == kInfo ? content_.infoButton : content_.closeButton);
  }
  return *name ? S_OK : S_FALSE;
}

HRESULT PopupAccessible::get_accValue(VARIANT, BSTR* value) {
  if (value) *value = nullptr;
  return S_FALSE;
}
HRESULT PopupAccessible::get_accDescription(VARIANT, BSTR* text) {
  if (text) *text = nullptr;
  return S_FALSE;
}

HRESULT PopupAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  ::VariantInit(role);
  if (!window_) return CO_E_OBJNOTCONNECTED;
  if (!IsSelf(child) && ButtonOf(child) < 0) return E_INVALIDARG;
  role->vt = VT_I4;
  role->lVal = IsSelf(child) ? ROLE_SYSTEM_ALERT : ROLE_SYSTEM_PUSHBUTTON;
  return S_OK;
}

HRESULT PopupAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  ::VariantInit(state);
  if (!window_) return CO_E_OBJNOTCONNECTED;
  if (!IsSelf(child) && ButtonOf(child) < 0) return E_INVALIDARG;
  state->vt = VT_I4;
  state->lVal = ::IsWindowVisible(window_) ? 0 : STATE_SYSTEM_INVISIBLE;
  return S_OK;
}

HRESULT PopupAccessible::get_accHelp(VARIANT, BSTR* help) {
  if (help) *help = nullptr;
  return S_FALSE;
}
HRESULT PopupAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
  if (file) *file = nullptr;
  if (topic) *topic = 0;
  return S_FALSE;
}
HRESULT PopupAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
  if (shortcut) *shortcut = nullptr;
  return S_FALSE;
}

HRESULT PopupAccessible::get_accFocus(VARIANT* focus) {
  // The popup never has the focus.
  if (focus) focus->vt = VT_EMPTY;
  return S_FALSE;
}
HRESULT PopupAccessible::get_accSelection(VARIANT* selection) {
  if (selection) selection->vt = VT_EMPTY;
  return S_FALSE;
}

HRESULT PopupAccessible::get_accDefaultAction(VARIANT, BSTR* action) {
  if (action) *action = nullptr;
  return S_FALSE;
}

HRESULT PopupAccessible::accSelect(long, VARIANT) { return S_FALSE; }

HRESULT PopupAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  const long which = IsSelf(child) ? static_cast<long>(kSelf) : ButtonOf(child);
  if (which < 0) return E_INVALIDARG;
  RECT r{};
  if (!ScreenRect(which, &r)) return CO_E_OBJNOTCONNECTED;
  *left = r.left;
  *top = r.top;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT PopupAccessible::accNavigate(long, VARIANT, VARIANT* end) {
  if (end) end->vt = VT_EMPTY;
  return S_FALSE;
}

HRESULT PopupAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  child->vt = VT_EMPTY;
  if (!window_) return CO_E_OBJNOTCONNECTED;
  RECT self{};
  const POINT at{x, y};
  if (!ScreenRect(kSelf, &self) || !::PtInRect(&self, at)) return S_FALSE;
  const bool hasInfo = !content_.infoButton.empty();
  child->vt = VT_I4;
  child->lVal = CHILDID_SELF;
  RECT button{};
  if (hasInfo && ScreenRect(kInfo, &button) && ::PtInRect(&button, at)) child->lVal = 1;
  if (ScreenRect(kClose, &button) && ::PtInRect(&button, at)) child->lVal = hasInfo ? 2 : 1;
  return S_OK;
}

HRESULT PopupAccessible::accDoDefaultAction(VARIANT child) {
  if (!window_) return CO_E_OBJNOTCONNECTED;
  const long button = ButtonOf(child);
  if (button < 0) return IsSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
  const RECT& r = button == kInfo ? kInfoRect : kCloseRect;
  // The click may end the popup; nothing of this object is used after it.
  std::function<void(int, int)> press = press_;
  if (press) press((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return S_OK;
}

HRESULT PopupAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT PopupAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace fon::win32
