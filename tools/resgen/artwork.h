// The look of Fonaris: call popup skins, dialog backgrounds and icons, all
// drawn from code.  Layout rules the windows rely on:
//  - popup skins are 213 x 120: title band over rows 0..44 (the window
//    writes its white title at (8, 20, 203, 40) on the dark left part), the
//    variant colour on the right part of the band, the close button in
//    columns 200..212 and the "Info" button in columns 176..199 of rows
//    0..13, a light body with a framed field around the text rectangle
//    (20, 55)-(193, 105);
//  - the small dialog background has a dark band behind its white title,
//    the others a light header behind their black titles.
#pragma once

#include "canvas.h"

namespace resgen {

namespace palette {
constexpr Rgb kBody{236, 233, 216};
constexpr Rgb kBandTop{40, 56, 82};
constexpr Rgb kBandBottom{22, 33, 52};
constexpr Rgb kBrand{0, 128, 196};
constexpr Rgb kFrame{52, 64, 84};
}  // namespace palette

namespace popup {
constexpr int kWidth = 213;
constexpr int kHeight = 120;
constexpr int kBandBottom = 45;  // first row below the band
constexpr int kButtonRows = 14;  // rows 0..13 carry the buttons
constexpr int kCloseLeft = 200;
constexpr int kInfoLeft = 176;
}  // namespace popup

// A popup skin: `accent` on the right part of the title band. Every image
// is drawn for a display scale (1.5 for 150 %): its layout, in the units
// above, covers that many pixels per unit.
Canvas paintPopupSkin(Rgb accent, bool withInfoButton, double scale = 1.0);

// Dialog backgrounds.
Canvas paintSmallDialog(int width, int height, double scale = 1.0);   // white title on the band
Canvas paintHeaderDialog(int width, int height, double scale = 1.0);  // black title on a light header
Canvas paintWaitDialog(int width, int height, double scale = 1.0);

enum class TrayState { Offline, Online, Away };

// Square icon images with alpha.
Canvas paintTrayIcon(TrayState state, int size);
Canvas paintAppIcon(int size);

}  // namespace resgen
