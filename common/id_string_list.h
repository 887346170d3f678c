#pragma once

#include <deque>
#include <string>

// One record of the frame's lists: profiles, devices, extra callers, popup
// slots and the CTI receive queue all use the same three fields.
struct IdStringEntry {
  int nData = 0;
  int nId = 0;
  std::string strText;
};

// Ordered list with a head (most recent AddHead) and a tail (oldest).
//
// Readers that must keep the list intact walk it by taking the tail entry and
// adding it again at the head, GetCount() times: the entries are visited from
// tail to head and the list ends as it started. Lists filled from a server
// answer are built with AddHead in the order of the answer, so that walk sees
// the server's order.
class CIdStringList {
 public:
  int GetCount() const;

  void AddHead(int nData, int nId, std::string text);
  void AddTail(int nData, int nId, std::string text);

  // Removes the tail entry and returns it; an empty list yields a
  // default-constructed entry.
  IdStringEntry TakeTail();

  // Removes the first entry with this id, searching from the head.
  // Returns whether an entry was removed.
  bool RemoveById(int nId);

  // Id of the head / tail entry, -1 when the list is empty.
  int HeadId() const;
  int TailId() const;

  void RemoveAll();

  // Read-only visit from tail to head, the same order as the rotate walk,
  // for readers that do not need to move entries.
  template <class F>
  void ForEachFromTail(F f) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
      f(*it);
    }
  }

 private:
  // front() is the head, back() the tail.
  std::deque<IdStringEntry> m_entries;
};
