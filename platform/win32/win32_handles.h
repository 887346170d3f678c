// Owning wrappers for the Win32 handles the platform layer holds. Every
// handle we create is released by exactly one of these, so early returns and
// callbacks that destroy their owner cannot leak a window, GDI object, key,
// socket or kernel object.
#pragma once

#include "platform/win32/windows_headers.h"

#include <cstdint>
#include <utility>

namespace fon::win32 {

// A move-only owner of one handle. Traits supply the empty value and the
// release call.
template <typename Traits>
class Unique {
 public:
  using Type = typename Traits::Type;

  Unique() = default;
  explicit Unique(Type value) : value_(value) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~Unique() { Reset(); }

  Type Get() const { return value_; }
  bool Valid() const { return value_ != Traits::Empty(); }
  explicit operator bool() const { return Valid(); }

  // Gives up ownership without releasing (the system took the handle over).
  Type Release() {
    Type value = value_;
    value_ = Traits::Empty();
    return value;
  }
  void Reset(Type value = Traits::Empty()) {
    Type old = value_;
    value_ = value;
    if (old != Traits::Empty()) Traits::Close(old);
  }

 private:
  Type value_ = Traits::Empty();
};

struct WindowTraits {
  using Type = HWND;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DestroyWindow(h); }
};

template <typename Gdi>
struct GdiTraits {
  using Type = Gdi;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};

struct MenuTraits {
  using Type = HMENU;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DestroyMenu(h); }
};

struct KeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};

// Kernel objects whose "no handle" value is NULL (mutexes, events).
struct KernelTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};

// Files, whose "no handle" value is INVALID_HANDLE_VALUE.
struct FileTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};

struct SocketTraits {
  using Type = SOCKET;
  static Type Empty() { return INVALID_SOCKET; }
  static void Close(Type h) { ::closesocket(h); }
};

struct GlobalTraits {
  using Type = HGLOBAL;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::GlobalFree(h); }
};

struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteDC(h); }
};

using UniqueWindow = Unique<WindowTraits>;
using UniqueBitmap = Unique<GdiTraits<HBITMAP>>;
using UniqueFont = Unique<GdiTraits<HFONT>>;
using UniqueMenu = Unique<MenuTraits>;
using UniqueKey = Unique<KeyTraits>;
using UniqueKernelHandle = Unique<KernelTraits>;
using UniqueFile = Unique<FileTraits>;
using UniqueSocket = Unique<SocketTraits>;
using UniqueGlobal = Unique<GlobalTraits>;
using UniqueMemoryDc = Unique<MemoryDcTraits>;

// Selects a GDI object into a device context and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (old_) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint/EndPaint around one WM_PAINT.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { dc_ = ::BeginPaint(window_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  ~ScopedPaint() { ::EndPaint(window_, &ps_); }
  HDC Dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// GetDC/ReleaseDC of a window (or of the screen for NULL).
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  ~ScopedWindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC Dc() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// GlobalLock/GlobalUnlock of a memory block.
class ScopedGlobalLock {
 public:
  explicit ScopedGlobalLock(HGLOBAL memory) : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
  ~ScopedGlobalLock() {
    if (data_) ::GlobalUnlock(memory_);
  }
  void* Data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

inline HWND ToHwnd(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }
inline std::uintptr_t FromHwnd(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

}  // namespace fon::win32
