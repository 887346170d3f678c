#include "platform/win32/label_format.h"

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

unsigned LabelDrawFormat(std::uint32_t style) {
  unsigned format = 0;
  if (style & SS_RIGHT) format |= DT_RIGHT;
  if (style & SS_CENTER) format |= DT_CENTER;
  if (style & SS_CENTERIMAGE) format |= DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_ELLIPSISMASK) {
    format |= DT_WORD_ELLIPSIS;
    if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
    if (style & SS_PATHELLIPSIS) format |= DT_PATH_ELLIPSIS;
  }
  // Ellipses, single-line centring and the no-wrap kinds (bits 0x0C of the
  // type) all mean one line; everything else wraps.
  if ((style & (SS_ELLIPSISMASK | SS_CENTERIMAGE | 0x0Cu)) == 0) format |= DT_WORDBREAK;
  return format;
}

void DrawTextNotingFit(HWND window, HDC dc, const std::string& text, RECT rect, unsigned format) {
  // Measured as drawn, but without cutting: on one line, or broken into
  // words at the rectangle's width.
  RECT needed = rect;
  const unsigned measure = (format & ~(DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS | DT_VCENTER |
                                       DT_BOTTOM | DT_CENTER | DT_RIGHT)) |
                           DT_CALCRECT;
  ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &needed, measure);
  const bool fits = needed.right <= rect.right && needed.bottom <= rect.bottom;
  ::SetPropA(window, kTextFitProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(fits ? 1 : 2)));
  ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

bool IsTextLabelStyle(std::uint32_t style) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      return true;
    default:
      return false;
  }
}

}  // namespace fon::win32
