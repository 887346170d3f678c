#include "platform/win32/gdi_cache.h"

#include <cstring>

namespace fon::win32 {

SharedSkin GdiCache::Skin(int id) {
  auto it = skins_.find(id);
  if (it != skins_.end()) return it->second;
  UniqueBitmap loaded(::LoadBitmapA(instance_, MAKEINTRESOURCEA(id)));
  if (!loaded) return nullptr;
  BITMAP info{};
  if (::GetObjectA(loaded.Get(), sizeof(info), &info) == 0) return nullptr;
  auto skin = std::make_shared<SkinBitmap>();
  skin->bitmap = std::move(loaded);
  skin->width = info.bmWidth;
  skin->height = info.bmHeight;
  skins_.emplace(id, skin);
  return skin;
}

int GdiCache::PixelsPerInch() {
  // The system resolution is fixed for the session of a program that does
  // not declare itself aware of per-monitor resolutions.
  if (pixelsPerInch_ > 0) return pixelsPerInch_;
  ScopedWindowDc screen(nullptr);
  int value = screen.Dc() ? ::GetDeviceCaps(screen.Dc(), LOGPIXELSY) : 0;
  if (value <= 0) return 96;
  pixelsPerInch_ = value;
  return value;
}

SharedFont GdiCache::Font(const std::string& face, int tenthsPt, int style) {
  FontKey key{face, tenthsPt, style};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;

  LOGFONTA lf{};
  lf.lfHeight = -(PixelsPerInch() * tenthsPt / 720);
  lf.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & 2) ? TRUE : FALSE;
  lf.lfUnderline = FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  auto font = std::make_shared<UniqueFont>(::CreateFontIndirectA(&lf));
  if (!*font) return nullptr;

  if (fonts_.size() >= kMaxFonts) {
    for (auto old = fonts_.begin(); old != fonts_.end();) {
      old = old->second.use_count() == 1 ? fonts_.erase(old) : std::next(old);
    }
  }
  // Still full: every font is in use. The new one is not kept then; its
  // popup owns it alone.
  if (fonts_.size() < kMaxFonts) fonts_.emplace(std::move(key), font);
  return font;
}

}  // namespace fon::win32
