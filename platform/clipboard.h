// The system clipboard: its text, and every format's data as bytes so that
// what the user had copied can be put back as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fon {

// Standard formats (the system's numbers).
enum : unsigned { kClipboardText = 1, kClipboardDib = 8, kClipboardUnicodeText = 13, kClipboardFileList = 15 };

// One format's data as the clipboard holds it.
struct ClipboardItem {
  unsigned format = 0;
  std::string data;
  friend bool operator==(const ClipboardItem&, const ClipboardItem&) = default;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool Empty() = 0;
  virtual std::optional<std::string> GetText() = 0;
  virtual bool SetText(const std::string& text) = 0;
  // Changes whenever any program changes the clipboard; needs no session.
  virtual unsigned SequenceNumber() = 0;

  // ---- every format (within a session). The id of a named format, the
  // same for every program of the session; 0 when it cannot be had.
  virtual unsigned RegisterFormat(const std::string& name) = 0;
  virtual std::optional<std::string> GetData(unsigned format) = 0;
  virtual bool SetData(unsigned format, const std::string& data) = 0;
  // The data of every format that can be copied out, in the clipboard's
  // order. Left out: data that exists only as a handle meaningful to the
  // program that put it there (owner-drawn and private formats), and formats
  // the system makes from others on demand where the other is kept.
  virtual std::vector<ClipboardItem> GetAll() = 0;
};

}  // namespace fon
