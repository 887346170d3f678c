// The display scales the popup skins and dialog backgrounds are drawn for,
// and where each scale's image of a bitmap lies among the resources: the
// bitmap's own id plus the scale's offset. Read by the resource generator
// and by the Win32 layer, which picks the image nearest the monitor's scale.
#pragma once

namespace fonaris::res {

struct DisplayScale {
  int percent;   // 100 = 96 dots per inch
  int idOffset;  // added to the 100 % image's resource id
};

// Ascending; 100 % first, under the bitmaps' own ids.
inline constexpr DisplayScale kDisplayScales[] = {{100, 0}, {125, 1000}, {150, 2000}, {200, 3000}};

}  // namespace fonaris::res
