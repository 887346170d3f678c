// How a transparent dialog label turns its static-control style into
// DrawText flags.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

// DrawText flags for a label of static style `style`: alignment, single-line
// vertical centring, prefix handling and ellipses as the style asks, and
// word wrapping for the plain multi-line kinds.
unsigned LabelDrawFormat(std::uint32_t style);

// Whether a static control of this style shows text (and so is drawn as a
// transparent label); pictures, frames and owner-drawn statics are not.
bool IsTextLabelStyle(std::uint32_t style);

// The window property under which a window that draws text notes whether
// its text fitted, for diagnostic tools: 1 when the last text it drew fitted
// its rectangle, 2 when part of it was cut off.
inline constexpr char kTextFitProperty[] = "FonarisTextFit";

// Draws `text` into `rect` of `dc` with DrawText `format` (its font and
// colours already chosen) and notes on `window` whether it fitted.
void DrawTextNotingFit(HWND window, HDC dc, const std::string& text, RECT rect, unsigned format);

}  // namespace fon::win32
