#include "calls/taskbar_edge.h"

#include <algorithm>
#include <cstdlib>

#include "calls/popup.h"

namespace fon {

namespace {

bool AtBorder(int coordinate) { return std::abs(coordinate) < kScreenBorderSlack; }

// At the top or left border, or past it.
bool AtOrBeforeBorder(int coordinate) { return coordinate < kScreenBorderSlack; }

}  // namespace

Rect TaskbarRectOrDefault(IDesktop& desktop) {
  Rect taskbar;
  if (desktop.GetTaskbarRect(&taskbar) && !taskbar.IsEmpty()) return taskbar;
  const Rect work = desktop.WorkArea();
  return Rect{work.left, work.bottom, work.right, work.bottom};
}

bool IsHorizontalTaskbar(const Rect& taskbar, int screenWidth) {
  return AtBorder(taskbar.left) && AtBorder(taskbar.right - screenWidth);
}

int HorizontalEdge(const Rect& taskbar) { return AtOrBeforeBorder(taskbar.top) ? EDGE_TOP : EDGE_BOTTOM; }

int VerticalEdge(const Rect& taskbar) { return AtOrBeforeBorder(taskbar.left) ? EDGE_LEFT : EDGE_RIGHT; }

int PopupDpi(IDesktop& desktop) {
  const int dpi = desktop.DpiAt(TaskbarRectOrDefault(desktop));
  return dpi > 0 ? dpi : kDefaultDpi;
}

int TaskbarEdge(const Rect& taskbar, int screenWidth) {
  return IsHorizontalTaskbar(taskbar, screenWidth) ? HorizontalEdge(taskbar) : VerticalEdge(taskbar);
}

int RoomFromTaskbar(const Rect& taskbar, const Rect& workArea, int edge) {
  switch (edge) {
    case EDGE_BOTTOM:
      return taskbar.top - workArea.top;
    case EDGE_TOP:
      return workArea.bottom - taskbar.bottom;
    case EDGE_RIGHT:
      return taskbar.left - workArea.left;
    default:  // EDGE_LEFT
      return workArea.right - taskbar.right;
  }
}

AnimationSteps ComputeSteps(int durationMs, int minIntervalMs, int extent) {
  const int interval = std::max(minIntervalMs, 1);
  const int pixels = std::max(extent, 1);
  if (durationMs <= interval) return AnimationSteps{interval, pixels};
  const int ticks = std::max(1, std::min(durationMs / interval, pixels));
  return AnimationSteps{durationMs / ticks, std::max(1, pixels / ticks)};
}

}  // namespace fon
