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

bool Win32Clipboard::SetText(const std::string& text) { return SetData(CF_TEXT, text + '\0'); }

namespace {

// Formats whose data is no global memory block: a GDI handle the system
// makes from a format that is kept (CF_BITMAP and CF_PALETTE from CF_DIB,
// CF_METAFILEPICT from CF_ENHMETAFILE), or a handle that only its owner
// understands. CF_ENHMETAFILE is copied through its bits.
bool IsCopiedAsMemory(UINT format) {
  switch (format) {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
      return false;
    default:
      return !(format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
  }
}

}  // namespace

std::optional<std::string> Win32Clipboard::GetData(unsigned format) {
  HANDLE data = ::GetClipboardData(format);
  if (!data) return std::nullopt;
  if (format == CF_ENHMETAFILE) {
    auto metafile = static_cast<HENHMETAFILE>(data);
    UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
    std::string bits(size, '\0');
    if (size == 0 || ::GetEnhMetaFileBits(metafile, size, reinterpret_cast<BYTE*>(bits.data())) != size)
      return std::nullopt;
    return bits;
  }
  if (!IsCopiedAsMemory(format)) return std::nullopt;
  ScopedGlobalLock lock(data);
  if (!lock.Data()) return std::nullopt;
  return std::string(static_cast<const char*>(lock.Data()), ::GlobalSize(data));
}

bool Win32Clipboard::SetData(unsigned format, const std::string& data) {
  if (format == CF_ENHMETAFILE) {
    HENHMETAFILE metafile = ::SetEnhMetaFileBits(static_cast<UINT>(data.size()),
                                                 reinterpret_cast<const BYTE*>(data.data()));
    if (!metafile) return false;
    if (::SetClipboardData(format, metafile)) return true;
    ::DeleteEnhMetaFile(metafile);
    return false;
  }
  if (!IsCopiedAsMemory(format)) return false;
  // Shared, movable global memory; the system owns it once
  // SetClipboardData succeeds. A block has at least one byte.
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size()));
  if (!memory) return false;
  {
    ScopedGlobalLock lock(memory.Get());
    if (!lock.Data()) return false;
    std::memcpy(lock.Data(), data.data(), data.size());
  }
  if (!::SetClipboardData(format, memory.Get())) return false;
  memory.Release();
  return true;
}

std::vector<ClipboardItem> Win32Clipboard::GetAll() {
  std::vector<ClipboardItem> items;
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    // A delayed format is rendered by its owner now; one whose owner has
    // gone without rendering it has no data and is lost.
    if (std::optional<std::string> data = GetData(format)) items.push_back({format, std::move(*data)});
  }
  return items;
}

}  // namespace fon::win32
