#include "platform/win32/gdi_cache.h"

#include <cstring>

#include "res/display_scales.h"

namespace fon::win32 {

namespace {

SkinBitmap LoadBitmapResource(HINSTANCE instance, int id) {
  SkinBitmap out;
  out.bitmap.Reset(::LoadBitmapA(instance, MAKEINTRESOURCEA(id)));
  BITMAP info{};
  if (!out.bitmap || ::GetObjectA(out.bitmap.Get(), sizeof(info), &info) == 0) return SkinBitmap{};
  out.width = info.bmWidth;
  out.height = info.bmHeight;
  return out;
}

// `source` smoothly resized to width x height.
UniqueBitmap Resized(const SkinBitmap& source, int width, int height) {
  ScopedWindowDc screen(nullptr);
  if (!screen.Dc() || width <= 0 || height <= 0) return UniqueBitmap();
  UniqueBitmap target(::CreateCompatibleBitmap(screen.Dc(), width, height));
  UniqueMemoryDc from(::CreateCompatibleDC(screen.Dc()));
  UniqueMemoryDc to(::CreateCompatibleDC(screen.Dc()));
  if (!target || !from || !to) return UniqueBitmap();
  ScopedSelect selectFrom(from.Get(), source.bitmap.Get());
  ScopedSelect selectTo(to.Get(), target.Get());
  ::SetStretchBltMode(to.Get(), HALFTONE);
  ::SetBrushOrgEx(to.Get(), 0, 0, nullptr);
  ::StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, source.width, source.height, SRCCOPY);
  return target;
}

}  // namespace

SkinBitmap LoadScaledBitmap(HINSTANCE instance, int id, int dpi) {
  using fonaris::res::kDisplayScales;
  if (dpi <= 0) dpi = kDefaultDpi;
  // A scale the program carries an image for.
  for (const auto& scale : kDisplayScales) {
    if (scale.percent * kDefaultDpi != dpi * 100) continue;
    SkinBitmap exact = LoadBitmapResource(instance, id + scale.idOffset);
    if (exact.bitmap) return exact;
  }
  SkinBitmap base = LoadBitmapResource(instance, id);
  if (!base.bitmap || dpi == kDefaultDpi) return base;
  // Between them: shrink the next larger image, so that edges stay sharp;
  // above the largest, enlarge that.
  SkinBitmap source;
  for (const auto& scale : kDisplayScales) {
    if (scale.idOffset == 0) continue;
    SkinBitmap candidate = LoadBitmapResource(instance, id + scale.idOffset);
    if (!candidate.bitmap) continue;
    source = std::move(candidate);
    if (scale.percent * kDefaultDpi >= dpi * 100) break;
  }
  const SkinBitmap& from = source.bitmap ? source : base;
  SkinBitmap out;
  out.width = ScaleToDpi(base.width, dpi);
  out.height = ScaleToDpi(base.height, dpi);
  out.bitmap = Resized(from, out.width, out.height);
  return out.bitmap ? std::move(out) : std::move(base);
}

SharedSkin GdiCache::Skin(int id, int dpi) {
  const std::pair<int, int> key{id, dpi};
  auto it = skins_.find(key);
  if (it != skins_.end()) return it->second;
  SkinBitmap loaded = LoadScaledBitmap(instance_, id, dpi);
  if (!loaded.bitmap) return nullptr;
  auto skin = std::make_shared<SkinBitmap>(std::move(loaded));
  skins_.emplace(key, skin);
  return skin;
}

int GdiCache::PixelsPerInch() {
  // The system resolution, fixed for the session; a font for one monitor
  // names that monitor's resolution instead.
  if (pixelsPerInch_ > 0) return pixelsPerInch_;
  ScopedWindowDc screen(nullptr);
  int value = screen.Dc() ? ::GetDeviceCaps(screen.Dc(), LOGPIXELSY) : 0;
  if (value <= 0) return 96;
  pixelsPerInch_ = value;
  return value;
}

SharedFont GdiCache::Font(const std::string& face, int tenthsPt, int style, int dpi) {
  FontKey key{face, tenthsPt, style, dpi};
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;

  LOGFONTA lf{};
  lf.lfHeight = -((dpi > 0 ? dpi : PixelsPerInch()) * tenthsPt / 720);
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
