// File encoders for the resource compiler: 24-bit BMP (BITMAPFILEHEADER +
// BITMAPINFOHEADER, bottom-up rows padded to 4 bytes) and ICO with 32-bit
// images and an AND mask.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace resgen {

using Bytes = std::vector<std::uint8_t>;

// The canvas' colours; alpha is ignored (skins are opaque).
Bytes encodeBmp24(const Canvas& canvas);

// One icon image per canvas (each square, at most 256 pixels).  The AND mask
// marks pixels with alpha below 128 as transparent; fully transparent pixels
// are written black so that the mask alone gives a clean result.
Bytes encodeIco(const std::vector<Canvas>& images);

}  // namespace resgen
