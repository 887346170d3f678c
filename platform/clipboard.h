// The system clipboard, text only.
#pragma once

#include <optional>
#include <string>

namespace fon {

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
};

}  // namespace fon
