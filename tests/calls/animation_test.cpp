// How popups slide out of the taskbar, stack, and slide back, in virtual
// time, read from the window placements the platform records.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "calls/taskbar_edge.h"
#include "calls_fixture.h"

namespace fon::test {
namespace {

struct Placement {
  int x, y, w, h;
  friend bool operator==(const Placement&, const Placement&) = default;
};
void PrintTo(const Placement& p, std::ostream* os) {
  *os << "(" << p.x << "," << p.y << " " << p.w << "x" << p.h << ")";
}

class AnimationTest : public CallsTest {
 protected:
  Placement Last(const CPopup* popup) const {
    const Rect r = Window(popup)->rect;
    return Placement{r.left, r.top, r.Width(), r.Height()};
  }
  // Runs `ticks` steps of 10 ms and checks the placement after each.
  template <class F>
  void ExpectSteps(const CPopup* popup, int ticks, F expected) {
    for (int k = 1; k <= ticks; ++k) {
      sim.loop.RunFor(10);
      ASSERT_EQ(Last(popup), expected(k)) << "tick " << k;
    }
  }
};

TEST(TaskbarGeometry, StepsAndEdges) {
  const struct {
    int duration, extent, interval, step;
  } steps[] = {{200, 120, 10, 6}, {200, 213, 10, 10}, {10, 120, 10, 120}, {5, 120, 10, 120},
               {200, 5, 40, 1},   {200, 0, 200, 1},   {1000, 120, 10, 1}};
  for (const auto& s : steps) {
    const AnimationSteps got = ComputeSteps(s.duration, 10, s.extent);
    EXPECT_EQ(got.intervalMs, s.interval) << s.duration << "/" << s.extent;
    EXPECT_EQ(got.step, s.step) << s.duration << "/" << s.extent;
  }
  const struct {
    Rect taskbar;
    int edge;
  } edges[] = {{{0, 994, 1280, 1024}, EDGE_BOTTOM}, {{-2, -2, 1282, 28}, EDGE_TOP},
               {{0, 0, 60, 1024}, EDGE_LEFT},       {{1220, 0, 1280, 1024}, EDGE_RIGHT},
               {{0, 0, 1265, 30}, EDGE_TOP},        {{0, 0, 1200, 30}, EDGE_LEFT},
               // Auto-hidden: a sliver on the screen, the rest beyond its border.
               {{0, -38, 1280, 2}, EDGE_TOP},       {{-60, 0, 2, 1024}, EDGE_LEFT},
               {{1278, 0, 1340, 1024}, EDGE_RIGHT}, {{0, 1022, 1280, 1062}, EDGE_BOTTOM}};
  for (const auto& e : edges) EXPECT_EQ(TaskbarEdge(e.taskbar, 1280), e.edge) << e.taskbar.right;
}

TEST_F(AnimationTest, EachEdgeGrowsOutAndSlidesBack) {
  // Appear ticks up to the one that ends the appearance; hide ticks up to
  // the one before the close; where the window was when it closed.
  const struct {
    const char* what;
    Rect taskbar;
    int appearTicks;
    Placement (*appear)(int k);
    int hideTicks;
    Placement (*hide)(int k);
    Placement lastSpot;
  } cases[] = {
      {"bottom",
       {0, 994, 1280, 1024},
       21,
       [](int k) {
         return Placement{1067, 994 - 6 * std::min(k, 20), 213, 6 * std::min(k, 20)};
       },
       20,
       [](int k) {
         return Placement{1067, 874 + 6 * k, 213, 120};
       },
       {1067, 994, 213, 120}},
      {"top",
       {0, 0, 1280, 30},
       21,
       [](int k) {
         return Placement{1067, 30, 213, 6 * std::min(k, 20)};
       },
       20,
       [](int k) {
         return Placement{1067, 30 - 6 * k, 213, 120};
       },
       {1067, -90, 213, 120}},
      {"left",
       {0, 0, 60, 1024},
       22,
       [](int k) {
         return Placement{60, 904, k < 22 ? 10 * k : 213, 120};
       },
       21,
       [](int k) {
         return Placement{60 - 10 * k, 904, 213, 120};
       },
       {-153, 904, 213, 120}},
      {"right",
       {1220, 0, 1280, 1024},
       22,
       [](int k) {
         return k < 22 ? Placement{1220 - 10 * k, 904, 10 * k, 120} : Placement{1007, 904, 213, 120};
       },
       21,
       [](int k) {
         return Placement{1007 + 10 * k, 904, 213, 120};
       },
       {1220, 904, 213, 120}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sim.shell.taskbar = c.taskbar;
    sim.registry.SetDword(kMainKey, "Display Time", 1);
    CallFor(kUser);
    CPopup* popup = &Current();
    auto window = Window(popup);
    EXPECT_EQ(Last(popup), c.appear(0));
    EXPECT_TRUE(window->visible);
    ExpectSteps(popup, c.appearTicks, c.appear);
    EXPECT_EQ(popup->State(), PS_STAYING);
    EXPECT_EQ(window->look.visibleWidth, 213);
    EXPECT_EQ(window->look.visibleHeight, 120);
    sim.loop.RunFor(1000);  // stay over; the slide back starts
    ExpectSteps(popup, c.hideTicks, c.hide);
    sim.loop.RunFor(10);
    EXPECT_FALSE(window->visible);
    EXPECT_EQ(popup->State(), PS_IDLE);
    EXPECT_EQ(Last(popup), (Placement{0, 0, 0, 0}));
    const Rect spot = window->placements[window->placements.size() - 2];
    EXPECT_EQ((Placement{spot.left, spot.top, spot.Width(), spot.Height()}), c.lastSpot);
  }
}

TEST_F(AnimationTest, NewerPopupPushesOlderAwayAndItClosesTheGapAfter) {
  CallFor(kUser);
  CPopup* older = &Current();
  sim.loop.RunFor(300);
  CallFor(kUser);
  CPopup* newer = &Current();
  EXPECT_EQ(newer->m_pOlder, older);
  ExpectSteps(older, 20, [](int k) { return Placement{1067, 874 - 6 * k, 213, 120}; });
  EXPECT_EQ(Last(newer), (Placement{1067, 874, 213, 120}));
  sim.loop.RunFor(300);

  newer->OnLButtonDown(205, 5);  // the close button
  EXPECT_FALSE(Window(newer)->visible);
  ExpectSteps(older, 20, [](int k) { return Placement{1067, 754 + 6 * k, 213, 120}; });
  sim.loop.RunFor(100);
  EXPECT_EQ(Last(older), (Placement{1067, 874, 213, 120}));
}

TEST_F(AnimationTest, SecondPopupWhileTheFirstAppearsWaitsForTheRetryTick) {
  CallFor(kUser);
  CPopup* first = &Current();
  sim.loop.RunFor(50);
  CallFor(kUser);
  sim.loop.RunFor(190);  // first done at 210 ms; the retry ticks at 150 and 250 ms
  EXPECT_EQ(first->State(), PS_STAYING);
  EXPECT_EQ(Last(first), (Placement{1067, 874, 213, 120}));
  sim.loop.RunFor(10);
  EXPECT_EQ(Last(first), (Placement{1067, 874, 213, 120}));
  ExpectSteps(first, 20, [](int k) { return Placement{1067, 874 - 6 * k, 213, 120}; });
}

TEST_F(AnimationTest, OlderPopupsMoveDownWhenANewerOneTimesOut) {
  sim.registry.SetDword(kMainKey, "Display Time", 9);
  CallFor(kUser);
  CPopup* oldest = &Current();
  sim.loop.RunFor(300);
  CallFor(kUser);
  CPopup* middle = &Current();
  sim.loop.RunFor(300);
  sim.registry.SetDword(kMainKey, "Display Time", 1);
  CallFor(kUser);
  sim.loop.RunFor(300);
  EXPECT_EQ(Last(oldest).y, 634);
  EXPECT_EQ(Last(middle).y, 754);
  sim.loop.RunFor(1200);  // the newest leaves
  EXPECT_EQ(Last(oldest).y, 754);
  EXPECT_EQ(Last(middle).y, 874);
  // A click on a popup that is already sliding back moves nothing twice.
  sim.registry.SetDword(kMainKey, "Display Time", 1);
  CallFor(kUser);
  sim.loop.RunFor(1220);
  ASSERT_EQ(Current().State(), PS_HIDING);
  Current().OnLButtonDown(205, 5);
  sim.loop.RunFor(1000);
  EXPECT_EQ(Last(oldest).y, 754);
  EXPECT_EQ(Last(middle).y, 874);
}

TEST_F(AnimationTest, WithoutATaskbarPopupsComeOutOfTheWorkAreasBottom) {
  sim.shell.workArea = Rect{0, 0, 1280, 1000};
  for (const std::optional<Rect>& taskbar : {std::optional<Rect>{}, std::optional<Rect>{Rect{}}}) {
    sim.shell.taskbar = taskbar;
    CallFor(kUser);
    EXPECT_EQ(Current().Edge(), EDGE_BOTTOM);
    EXPECT_EQ(Last(&Current()), (Placement{1067, 1000, 213, 0}));
    sim.loop.RunFor(10000);
  }
}

// Wherever the primary monitor's taskbar is, shown or auto-hidden, five
// stacked popups end up wholly on its screen, the newest against the
// taskbar's inner edge, at 100 % and at 150 %.
TEST_F(AnimationTest, StacksStayOnTheScreenAtEveryTaskbarEdgeAndScale) {
  const struct {
    Rect taskbar;
    int edge;
  } cases[] = {{{0, 994, 1280, 1024}, EDGE_BOTTOM},  {{0, 0, 1280, 30}, EDGE_TOP},
               {{0, 0, 60, 1024}, EDGE_LEFT},        {{1220, 0, 1280, 1024}, EDGE_RIGHT},
               {{0, 1022, 1280, 1062}, EDGE_BOTTOM}, {{0, -38, 1280, 2}, EDGE_TOP},
               {{-60, 0, 2, 1024}, EDGE_LEFT},       {{1278, 0, 1340, 1024}, EDGE_RIGHT}};
  sim.registry.SetDword(kMainKey, "Display Time", 30);
  for (int dpi : {96, 144}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(dpi) + " dpi, taskbar " + std::to_string(c.taskbar.left) + "," +
                   std::to_string(c.taskbar.top));
      sim.shell.dpi = dpi;
      sim.shell.taskbar = c.taskbar;
      std::vector<CPopup*> shown;
      for (int i = 0; i < 5; ++i) {
        CallFor(kUser);
        shown.push_back(&Current());
        sim.loop.RunFor(400);
      }
      const int w = ScaleToDpi(213, dpi);
      const int h = ScaleToDpi(120, dpi);
      const Rect& t = c.taskbar;
      const Placement inner[] = {{t.right, t.bottom - h, w, h},  // left: x from the right edge
                                 {t.right - w, t.bottom, w, h},  // top
                                 {t.left - w, t.bottom - h, w, h},
                                 {t.right - w, t.top - h, w, h}};
      EXPECT_EQ(Last(shown.back()), inner[c.edge]);
      for (CPopup* popup : shown) {
        EXPECT_EQ(popup->Edge(), c.edge);
        const Placement p = Last(popup);
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.w <= 1280 && p.y + p.h <= 1024)
            << p.x << "," << p.y << " " << p.w << "x" << p.h;
      }
      for (CPopup* popup : shown) popup->ClosePopup();
    }
  }
}

// At 150 % a popup is half as large again: skin, text field, font scale and
// buttons, and it still slides out in 200 ms.
TEST_F(AnimationTest, FollowsTheScaleOfTheTaskbarsMonitor) {
  sim.shell.dpi = 144;
  CallFor(kUser);
  CPopup* popup = &Current();
  auto window = Window(popup);
  EXPECT_EQ(window->look.dpi, 144);
  EXPECT_EQ(window->look.fontTenthsPt, 75);  // points: the platform makes them pixels at 144 dpi
  EXPECT_EQ(window->look.textRect.left, 30);
  EXPECT_EQ(window->look.textRect.top, 83);
  EXPECT_EQ(window->look.textRect.right, 290);
  EXPECT_EQ(window->look.textRect.bottom, 157);
  ExpectSteps(popup, 20, [](int k) { return Placement{960, 994 - 9 * k, 320, 9 * k}; });
  sim.loop.RunFor(10);
  EXPECT_EQ(popup->State(), PS_STAYING);
  popup->OnLButtonDown(205, 5);  // the close button at 100 %: title band here
  EXPECT_TRUE(popup->IsPinned());
  popup->OnLButtonDown(305, 5);  // the close button at 150 %
  EXPECT_FALSE(window->visible);
}

// A popup whose monitor changes its scale while it is shown is drawn anew
// for it, in proportion, and the stack goes on from there.
TEST_F(AnimationTest, RescalesInPlaceWhenItsMonitorChangesScale) {
  CallFor(kUser);
  CPopup* older = &Current();
  sim.loop.RunFor(300);
  sim.shell.dpi = 192;
  older->OnDpiChanged(192);
  EXPECT_EQ(Last(older), (Placement{854, 754, 426, 240}));
  EXPECT_EQ(Window(older)->look.textRect.right, 386);
  CallFor(kUser);
  sim.loop.RunFor(400);
  EXPECT_EQ(Last(older), (Placement{854, 514, 426, 240}));
  EXPECT_EQ(Last(&Current()), (Placement{854, 754, 426, 240}));
}

TEST_F(AnimationTest, ShortHideTimeHidesInOneStep) {
  CPopup popup(sim);
  ASSERT_TRUE(popup.Create(&frame->PopupStack(), 0));
  ASSERT_TRUE(popup.SetSkin(143));
  popup.Show("text", 1, 200, 10);
  sim.loop.RunFor(1225);
  EXPECT_EQ(Last(&popup), (Placement{1067, 994, 213, 120}));
  EXPECT_EQ(popup.State(), PS_HIDING);
  sim.loop.RunFor(10);
  EXPECT_EQ(popup.State(), PS_IDLE);

  popup.Show("text", 0, 200, 200);  // no stay: nothing to show
  EXPECT_FALSE(Window(&popup)->visible);
  EXPECT_FALSE(sim.timers.IsTimerRunning(&popup, ID_TIMER_APPEAR));
}

}  // namespace
}  // namespace fon::test
