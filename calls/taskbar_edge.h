// Where the taskbar is, and how a popup animation is cut into timer steps.
#pragma once

#include "platform/platform.h"

namespace fon {

// A taskbar coordinate within this many pixels of a screen border counts as
// lying on that border.
inline constexpr int kScreenBorderSlack = 20;

// The taskbar window's rectangle. Without a taskbar window (or with an empty
// rectangle, as an auto-hidden or vanished one may report) popups come out
// of the bottom edge of the work area: that edge is taken as a taskbar of
// no height lying along it.
Rect TaskbarRectOrDefault(IDesktop& desktop);

// The scale popups are drawn for: that of the monitor whose taskbar they
// come out of (the primary one, where the taskbar window is).
int PopupDpi(IDesktop& desktop);

// A taskbar spanning the screen's width from its left border lies along the
// top or the bottom; any other lies along the left or the right.
bool IsHorizontalTaskbar(const Rect& taskbar, int screenWidth);

// The edge (PopupEdge) popups come out of: top or bottom for a horizontal
// taskbar, left or right for a vertical one. A taskbar lies on the top (left)
// edge when its top (left) is at that border or beyond it: an auto-hidden
// taskbar keeps a sliver of itself on the screen and the rest outside, and
// popups must come out of the sliver, never out of the part off the screen.
int TaskbarEdge(const Rect& taskbar, int screenWidth);
int HorizontalEdge(const Rect& taskbar);
int VerticalEdge(const Rect& taskbar);

// How far popups may stack from the taskbar's inner edge toward the far side
// of the work area, for popups coming out of `edge`.
int RoomFromTaskbar(const Rect& taskbar, const Rect& workArea, int edge);

struct AnimationSteps {
  int intervalMs;
  int step;  // pixels per tick, at least 1
};

// Cuts a movement of `extent` pixels lasting `durationMs` into timer ticks no
// shorter than `minIntervalMs`, with no more ticks than pixels. A duration not
// above the minimum interval moves the whole extent in one tick.
AnimationSteps ComputeSteps(int durationMs, int minIntervalMs, int extent);

}  // namespace fon
