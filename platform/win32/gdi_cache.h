// The skin bitmaps and text fonts of the popups, made once and shared.
//
// Every call notification gets a fresh popup, and all of them paint with the
// same few skins and one font. Loading the bitmap and making the font again
// for each popup costs the user-interface thread time while the popup is set
// up, in the path between the server's event and the popup on the screen, so
// they are kept here for the life of the process. A popup holds its own
// reference, so nothing it paints with can go away under it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/types.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

struct SkinBitmap {
  UniqueBitmap bitmap;
  int width = 0;
  int height = 0;
};

using SharedSkin = std::shared_ptr<const SkinBitmap>;
using SharedFont = std::shared_ptr<const UniqueFont>;

// The bitmap resource `id` drawn for `dpi`: the image the program carries
// for that scale (res/display_scales.h), or else, for a scale between them,
// the next larger image (the largest above 200 %) smoothly resized to the
// 100 % size times dpi / 96. Null when `id` is no bitmap of the program.
SkinBitmap LoadScaledBitmap(HINSTANCE instance, int id, int dpi);

class GdiCache {
 public:
  explicit GdiCache(HINSTANCE instance) : instance_(instance) {}
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // The bitmap resource `id` of the program drawn for `dpi` (see
  // LoadScaledBitmap); null when there is none. A missing resource is not
  // remembered: it is looked up again next time.
  SharedSkin Skin(int id, int dpi = kDefaultDpi);

  // A point font (`tenthsPt` tenths of a point at `dpi` dots per inch,
  // 0 for the screen's; style bit 0 bold, bit 1 italic); null when it
  // cannot be made.
  SharedFont Font(const std::string& face, int tenthsPt, int style, int dpi = 0);

  std::size_t SkinCount() const { return skins_.size(); }
  std::size_t FontCount() const { return fonts_.size(); }

  // Fonts kept at most; past that, the ones no popup uses any more go.
  static constexpr std::size_t kMaxFonts = 16;

 private:
  using FontKey = std::tuple<std::string, int, int, int>;

  int PixelsPerInch();

  HINSTANCE instance_;
  std::map<std::pair<int, int>, SharedSkin> skins_;  // by id and dpi
  std::map<FontKey, SharedFont> fonts_;
  int pixelsPerInch_ = 0;
};

}  // namespace fon::win32
