#include "platform/win32/win32_clipboard.h"

#include "platform/win32/win32_handles.h"

#include <cstring>

namespace fon::win32 {

bool Win32Clipboard::Open() {
  if (!::OpenClipboard(owner_)) return false;
  // Opening twice without closing is one session for the system; keep it so.
  open_ = true;
  return true;
}

void Win32Clipboard::Close() {
  if (!open_) return;
  open_ = false;
  ::CloseClipboard();
}

bool Win32Clipboard::Empty() { return ::EmptyClipboard() != FALSE; }

std::optional<std::string> Win32Clipboard::GetText() {
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  ScopedGlobalLock lock(data);
  const char* text = static_cast<const char*>(lock.Data());
  if (!text) return std::nullopt;
  // Bounded by the block: a text without its terminator must not run past it.
  std::size_t size = ::GlobalSize(data);
  std::size_t length = 0;
  while (length < size && text[length] != '\0') ++length;
  return std::string(text, length);
}

bool Win32Clipboard::SetText(const std::string& text) {
  // Shared, movable global memory with the terminator; the system owns it
  // once SetClipboardData succeeds.
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory) return false;
  {
    ScopedGlobalLock lock(memory.Get());
    if (!lock.Data()) return false;
    std::memcpy(lock.Data(), text.c_str(), text.size() + 1);
  }
  if (!::SetClipboardData(CF_TEXT, memory.Get())) return false;
  memory.Release();
  return true;
}

}  // namespace fon::win32
