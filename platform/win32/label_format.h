// How a transparent dialog label turns its static-control style into
// DrawText flags.
#pragma once

#include <cstdint>

namespace fon::win32 {

// DrawText flags for a label of static style `style`: alignment, single-line
// vertical centring, prefix handling and ellipses as the style asks, and
// word wrapping for the plain multi-line kinds.
unsigned LabelDrawFormat(std::uint32_t style);

// Whether a static control of this style shows text (and so is drawn as a
// transparent label); pictures, frames and owner-drawn statics are not.
bool IsTextLabelStyle(std::uint32_t style);

}  // namespace fon::win32
