#include "calls/taskbar_edge.h"

#include <algorithm>
#include <cstdlib>

#include "calls/popup.h"

namespace fon {

namespace {

bool AtBorder(int coordinate) { return std::abs(coordinate) < kScreenBorderSlack; }

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

int HorizontalEdge(const Rect& taskbar) { return AtBorder(taskbar.top) ? EDGE_TOP : EDGE_BOTTOM; }

int VerticalEdge(const Rect& taskbar) { return AtBorder(taskbar.left) ? EDGE_LEFT : EDGE_RIGHT; }

int TaskbarEdge(const Rect& taskbar, int screenWidth) {
  return IsHorizontalTaskbar(taskbar, screenWidth) ? HorizontalEdge(taskbar) : VerticalEdge(taskbar);
}

AnimationSteps ComputeSteps(int durationMs, int minIntervalMs, int extent) {
  const int interval = std::max(minIntervalMs, 1);
  const int pixels = std::max(extent, 1);
  if (durationMs <= interval) return AnimationSteps{interval, pixels};
  const int ticks = std::max(1, std::min(durationMs / interval, pixels));
  return AnimationSteps{durationMs / ticks, std::max(1, pixels / ticks)};
}

}  // namespace fon
