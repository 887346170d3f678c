// The clipboard for the hotkey's copy of the selection: its CF_TEXT, and
// every format's data as bytes to put the user's contents back.
#pragma once

#include "platform/platform.h"

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Clipboard final : public IClipboard {
 public:
  Win32Clipboard() = default;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;
  // A clipboard left open by the core is closed here: an open clipboard
  // blocks every other program's copy and paste.
  ~Win32Clipboard() override { Close(); }

  // The clipboard is opened for the frame once it exists.
  void SetOwner(HWND owner) { owner_ = owner; }

  bool Open() override;
  void Close() override;
  bool Empty() override;
  std::optional<std::string> GetText() override;
  bool SetText(const std::string& text) override;
  unsigned SequenceNumber() override { return ::GetClipboardSequenceNumber(); }
  unsigned RegisterFormat(const std::string& name) override { return ::RegisterClipboardFormatA(name.c_str()); }
  std::optional<std::string> GetData(unsigned format) override;
  bool SetData(unsigned format, const std::string& data) override;
  std::vector<ClipboardItem> GetAll() override;

 private:
  HWND owner_ = nullptr;
  bool open_ = false;
};

}  // namespace fon::win32
