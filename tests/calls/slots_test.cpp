// The five popup slots: which one a new popup takes, and the stack links.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>

#include "app/frame_ids.h"
#include "calls_fixture.h"

namespace fon::test {
namespace {

class SlotsTest : public CallsTest {
 protected:
  // Makes n call popups and returns them in the order shown.
  std::vector<CPopup*> Calls(int n) {
    std::vector<CPopup*> shown;
    for (int i = 0; i < n; ++i) {
      CallFor(kUser);
      shown.push_back(&Current());
    }
    return shown;
  }
};

// Reference: a slot whose popup is gone (or going) is preferred; only when
// all five are alive is the least recently shown one replaced.
TEST_F(SlotsTest, RandomSequencesMatchLeastRecentlyUsedWithAlivePreference) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::array<long, kPopupSlots> shownAt{};
    long clock = 0;
    for (int step = 0; step < 300; ++step) {
      const unsigned action = rng() % 10;
      if (action < 5) {
        std::set<int> acceptable;
        for (int s = 0; s < kPopupSlots; ++s)
          if (!Popup(s)->IsAlive()) acceptable.insert(s);
        if (acceptable.empty()) {
          int oldest = 0;
          for (int s = 1; s < kPopupSlots; ++s)
            if (shownAt[s] < shownAt[oldest]) oldest = s;
          acceptable.insert(oldest);
        }
        const int count = frame->PopupStack().PopupCount();
        if (action < 3)
          CallFor(kUser);
        else
          frame->ShowInfoPopup(action == 3 ? 0 : 2, "note", rng() % 5 == 0);
        if (frame->PopupStack().PopupCount() == count) continue;  // a last-call popup is open
        EXPECT_TRUE(acceptable.count(frame->PopupStack().CurPopup()))
            << "step " << step << " took " << frame->PopupStack().CurPopup();
        shownAt[frame->PopupStack().CurPopup()] = ++clock;
      } else if (action < 8) {
        sim.loop.RunFor(rng() % 2500);
      } else {
        CPopup* popup = Popup(static_cast<int>(rng() % kPopupSlots));
        auto window = Window(popup);
        if (window && window->visible) {
          if (rng() % 2)
            popup->OnLButtonDown(205, 5);
          else
            popup->OnLButtonDown(60, 60);
        }
        sim.registry.SetDword(kMainKey, "Display Time", static_cast<int>(rng() % 4));
      }
      ExpectSoundStack();
    }
    sim.loop.RunFor(100000000);  // a day and more: even pinned popups leave
    EXPECT_EQ(OnScreen(), 0);
  }
}

// Among closed slots the least recently used one is taken, whatever the
// order they closed in; with none closed, the least recently used of all.
TEST_F(SlotsTest, ANewPopupTakesTheLeastRecentlyUsedClosedSlot) {
  struct Case {
    std::vector<int> closed;  // by the order the popups were shown
    std::vector<int> taken;
  } cases[] = {
      {{1, 3}, {1, 3, 0}},
      {{3, 1}, {1, 3, 0}},
      {{4, 0}, {0, 4, 1}},
      {{}, {0, 1}},
  };
  for (const Case& c : cases) {
    sim.loop.RunFor(100000000);  // every popup has left
    std::vector<int> slots;
    for (CPopup* popup : Calls(5)) slots.push_back(popup->Slot());
    sim.loop.RunFor(300);
    for (int i : c.closed) Popup(slots[i])->OnLButtonDown(205, 5);
    for (int i : c.taken) {
      CallFor(kUser);
      EXPECT_EQ(frame->PopupStack().CurPopup(), slots[i]) << "shown " << i;
    }
    ExpectSoundStack();
  }
}

TEST_F(SlotsTest, SixthCallReplacesTheOldestAtOnce) {
  const auto shown = Calls(5);
  ASSERT_EQ(WindowsAlive(), 5);
  auto oldestWindow = Window(shown[0]);
  const int oldestSlot = shown[0]->Slot();
  CallFor(kUser);
  EXPECT_EQ(frame->PopupStack().CurPopup(), oldestSlot);
  EXPECT_FALSE(oldestWindow->alive);
  EXPECT_EQ(WindowsAlive(), 5);
  EXPECT_EQ(shown[1]->m_pOlder, nullptr);
  EXPECT_EQ(Current().m_pOlder, shown[4]);
  ExpectSoundStack();
}

TEST_F(SlotsTest, ReusingASlotInTheMiddleJoinsItsNeighbours) {
  const auto shown = Calls(5);
  sim.loop.RunFor(300);
  const int middleSlot = shown[2]->Slot();
  shown[2]->OnLButtonDown(205, 5);
  EXPECT_EQ(shown[3]->m_pOlder, shown[1]);
  CallFor(kUser);
  EXPECT_EQ(frame->PopupStack().CurPopup(), middleSlot);
  EXPECT_EQ(Current().m_pOlder, shown[4]);
  ExpectSoundStack();
}

// A popup still sliding back when a newer one is stacked above its older
// neighbour must not unlink that newer one when it finally closes.
TEST_F(SlotsTest, HidingPopupLeavesTheStackCleanly) {
  sim.registry.SetDword(kMainKey, "Display Time", 30);
  const auto kept = Calls(2);
  sim.registry.SetDword(kMainKey, "Display Time", 1);
  CPopup* leaving = Calls(1)[0];
  sim.loop.RunFor(1300);
  ASSERT_EQ(leaving->State(), PS_HIDING);
  CPopup* newest = Calls(1)[0];
  EXPECT_EQ(newest->m_pOlder, kept[1]);
  ExpectSoundStack();
  sim.loop.RunFor(500);
  ASSERT_EQ(leaving->State(), PS_IDLE);
  EXPECT_EQ(kept[1]->m_pNewer, newest);
  kept[1]->OnLButtonDown(205, 5);
  EXPECT_EQ(newest->m_pOlder, kept[0]);
  ExpectSoundStack();
}

TEST_F(SlotsTest, StickyInformationReplacesTheEarlierSticky) {
  frame->ShowInfoPopup(2, "first", 1);
  CPopup* first = &Current();
  EXPECT_EQ(first->m_nStayLeft, kPopupStayPinnedMs);
  EXPECT_EQ(first->Kind(), POPUP_INFO);
  EXPECT_EQ(first->Look().title, "Information");
  sim.loop.RunFor(60000);
  EXPECT_TRUE(first->IsAlive());
  frame->ShowInfoPopup(2, "plain", 0);
  frame->ShowInfoPopup(2, "second", 1);
  EXPECT_FALSE(first->IsAlive());
  EXPECT_FALSE(Window(first)->visible);
  EXPECT_EQ(frame->PopupStack().StickyPopup(), frame->PopupStack().CurPopup());
  EXPECT_EQ(Current().m_bSticky, 1);
}

TEST_F(SlotsTest, MinimisingHidesTheFrameAndShowsThePopupsStillOnScreen) {
  const auto shown = Calls(5);
  sim.frame->visible = true;
  sim.loop.RunFor(300);
  shown[2]->OnLButtonDown(205, 5);
  std::vector<int> before;
  for (CPopup* popup : shown) before.push_back(Window(popup)->showCount);
  frame->OnSize(SIZE_MINIMIZED);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Window(shown[i])->showCount, before[i] + (i == 2 ? 0 : 1)) << i;
  EXPECT_FALSE(Window(shown[2])->visible);
  EXPECT_FALSE(sim.frame->visible);
}

}  // namespace
}  // namespace fon::test
