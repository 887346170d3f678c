#include "common/id_string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
  int nData;
  int nId;
  std::string text;
  bool operator==(const Seen&) const = default;
};

// The readers' walk: take the tail and add it again at the head, once per
// entry.
std::vector<Seen> RotateWalk(CIdStringList& list) {
  std::vector<Seen> seen;
  const int count = list.GetCount();
  for (int i = 0; i < count; ++i) {
    IdStringEntry e = list.TakeTail();
    seen.push_back({e.nData, e.nId, e.strText});
    list.AddHead(e.nData, e.nId, e.strText);
  }
  return seen;
}

std::vector<Seen> Snapshot(const CIdStringList& list) {
  std::vector<Seen> seen;
  list.ForEachFromTail([&](const IdStringEntry& e) { seen.push_back({e.nData, e.nId, e.strText}); });
  return seen;
}

TEST(IdStringList, EmptyList) {
  CIdStringList list;
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.HeadId(), -1);
  EXPECT_EQ(list.TailId(), -1);
  EXPECT_FALSE(list.RemoveById(0));

  const IdStringEntry e = list.TakeTail();
  EXPECT_EQ(e.nData, 0);
  EXPECT_EQ(e.nId, 0);
  EXPECT_EQ(e.strText, "");
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_TRUE(RotateWalk(list).empty());
}

TEST(IdStringList, AddHeadInServerOrderWalksInServerOrder) {
  // A profile answer "+OK|1|Home|2|Office|7|Away" parsed front to back.
  CIdStringList list;
  list.AddHead(0, 1, "Home");
  list.AddHead(0, 2, "Office");
  list.AddHead(0, 7, "Away");

  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.TailId(), 1);
  EXPECT_EQ(list.HeadId(), 7);

  const std::vector<Seen> serverOrder = {{0, 1, "Home"}, {0, 2, "Office"}, {0, 7, "Away"}};
  EXPECT_EQ(RotateWalk(list), serverOrder);
  // After a full walk the list is unchanged, so a second walk agrees.
  EXPECT_EQ(RotateWalk(list), serverOrder);
  EXPECT_EQ(Snapshot(list), serverOrder);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.TailId(), 1);
  EXPECT_EQ(list.HeadId(), 7);
}

TEST(IdStringList, PopupSlotsStartWithSlotZeroAtTail) {
  CIdStringList slots;
  for (int slot = 0; slot < 5; ++slot) {
    slots.AddHead(0, slot, "");
  }
  EXPECT_EQ(slots.TailId(), 0);
  EXPECT_EQ(slots.HeadId(), 4);

  // Taking the least recently used slot and putting it back as most recent.
  const IdStringEntry lru = slots.TakeTail();
  EXPECT_EQ(lru.nId, 0);
  slots.AddHead(0, lru.nId, "");
  EXPECT_EQ(slots.TailId(), 1);
  EXPECT_EQ(slots.HeadId(), 0);
  EXPECT_EQ(slots.GetCount(), 5);
}

TEST(IdStringList, TakeTailReturnsCopyAndShrinks) {
  CIdStringList list;
  list.AddHead(10, 1, "first");
  list.AddHead(20, 2, "second");

  const IdStringEntry e = list.TakeTail();
  EXPECT_EQ(e.nData, 10);
  EXPECT_EQ(e.nId, 1);
  EXPECT_EQ(e.strText, "first");
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.TailId(), 2);
  EXPECT_EQ(list.HeadId(), 2);
}

TEST(IdStringList, AddTailAppendsBehindTheTail) {
  CIdStringList list;
  list.AddHead(0, 1, "a");
  list.AddTail(0, 9, "z");
  EXPECT_EQ(list.TailId(), 9);
  EXPECT_EQ(list.HeadId(), 1);
  EXPECT_EQ(Snapshot(list), (std::vector<Seen>{{0, 9, "z"}, {0, 1, "a"}}));
}

TEST(IdStringList, RemoveByIdRemovesFirstFromHead) {
  CIdStringList list;
  list.AddHead(1, 7, "older");
  list.AddHead(2, 3, "other");
  list.AddHead(3, 7, "newer");

  EXPECT_TRUE(list.RemoveById(7));
  EXPECT_EQ(Snapshot(list), (std::vector<Seen>{{1, 7, "older"}, {2, 3, "other"}}));
  EXPECT_FALSE(list.RemoveById(42));
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_TRUE(list.RemoveById(7));
  EXPECT_EQ(Snapshot(list), (std::vector<Seen>{{2, 3, "other"}}));
}

TEST(IdStringList, MoveHeadToTailByCopyAndRemove) {
  // The popup stack walk moves the head entry to the tail by adding a copy
  // at the tail and removing the first entry with that id.
  CIdStringList slots;
  for (int slot = 0; slot < 5; ++slot) {
    slots.AddHead(0, slot, "");
  }
  const int head = slots.HeadId();
  slots.AddTail(0, head, "");
  EXPECT_TRUE(slots.RemoveById(head));
  EXPECT_EQ(slots.GetCount(), 5);
  EXPECT_EQ(slots.TailId(), 4);
  EXPECT_EQ(slots.HeadId(), 3);
}

TEST(IdStringList, RemoveAllEmpties) {
  CIdStringList list;
  list.AddHead(0, 1, "x");
  list.AddTail(0, 2, "y");
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.HeadId(), -1);
  EXPECT_EQ(list.TailId(), -1);
}

}  // namespace
