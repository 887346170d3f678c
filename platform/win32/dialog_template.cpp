#include "platform/win32/dialog_template.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

namespace fon::win32 {

namespace {

// Reads a DLGTEMPLATEEX and its items, never past the end of the bytes.
class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

  bool Word(std::uint16_t* value) {
    if (!data_ || at_ + 2 > size_) return false;
    std::memcpy(value, data_ + at_, 2);
    at_ += 2;
    return true;
  }
  bool Dword(std::uint32_t* value) {
    if (!data_ || at_ + 4 > size_) return false;
    std::memcpy(value, data_ + at_, 4);
    at_ += 4;
    return true;
  }
  bool Skip(std::size_t bytes) {
    if (at_ + bytes > size_) return false;
    at_ += bytes;
    return true;
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<std::size_t>(3); }
  // A name or an ordinal (0xFFFF and the number); *ordinal is -1 for a
  // name or nothing, and the name (its ASCII letters in lower case) goes to
  // *name when asked for.
  bool NameOrOrdinal(int* ordinal, std::string* name = nullptr) {
    *ordinal = -1;
    if (name) name->clear();
    std::uint16_t first = 0;
    if (!Word(&first)) return false;
    if (first == 0xFFFF) {
      std::uint16_t number = 0;
      if (!Word(&number)) return false;
      *ordinal = number;
      return true;
    }
    for (std::uint16_t ch = first; ch != 0;) {
      if (name) name->push_back(static_cast<char>(ch < 0x80 ? std::tolower(ch) : '?'));
      if (!Word(&ch)) return false;
    }
    return true;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The static class, by its ordinal or (as resource compilers write it for a
// CONTROL statement) by its name.
constexpr int kStaticClassOrdinal = 0x0082;
constexpr char kStaticClassName[] = "static";

}  // namespace

int TemplateBackgroundBitmap(const unsigned char* data, std::size_t size) {
  TemplateReader in(data, size);
  std::uint16_t version = 0;
  std::uint16_t signature = 0;
  std::uint32_t style = 0;
  std::uint16_t items = 0;
  int ordinal = -1;
  if (!in.Word(&version) || !in.Word(&signature) || version != 1 || signature != 0xFFFF) return 0;
  if (!in.Skip(8) || !in.Dword(&style) || !in.Word(&items) || !in.Skip(8)) return 0;  // help id, ex-style; x y cx cy
  if (!in.NameOrOrdinal(&ordinal) || !in.NameOrOrdinal(&ordinal) || !in.NameOrOrdinal(&ordinal)) return 0;
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    if (!in.Skip(6) || !in.NameOrOrdinal(&ordinal)) return 0;  // size, weight, italic, charset; face
  }
  for (std::uint16_t i = 0; i < items; ++i) {
    in.AlignDword();
    std::uint32_t itemStyle = 0;
    std::uint16_t extra = 0;
    int itemClass = -1;
    std::string className;
    int title = -1;
    if (!in.Skip(8) || !in.Dword(&itemStyle) || !in.Skip(12)) return 0;  // help id, ex-style; x y cx cy id
    if (!in.NameOrOrdinal(&itemClass, &className) || !in.NameOrOrdinal(&title) || !in.Word(&extra) ||
        !in.Skip(extra))
      return 0;
    const bool isStatic = itemClass == kStaticClassOrdinal || className == kStaticClassName;
    if (isStatic && (itemStyle & SS_TYPEMASK) == SS_BITMAP && title > 0) return title;
  }
  return 0;
}

int TemplateBackgroundBitmap(HINSTANCE instance, int templateId) {
  HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (!found) return 0;
  HGLOBAL loaded = ::LoadResource(instance, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return 0;
  return TemplateBackgroundBitmap(static_cast<const unsigned char*>(bytes), ::SizeofResource(instance, found));
}

}  // namespace fon::win32
