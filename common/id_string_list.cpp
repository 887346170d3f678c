#include "common/id_string_list.h"

#include <algorithm>
#include <utility>

int CIdStringList::GetCount() const { return static_cast<int>(m_entries.size()); }

void CIdStringList::AddHead(int nData, int nId, std::string text) {
  m_entries.push_front(IdStringEntry{nData, nId, std::move(text)});
}

void CIdStringList::AddTail(int nData, int nId, std::string text) {
  m_entries.push_back(IdStringEntry{nData, nId, std::move(text)});
}

IdStringEntry CIdStringList::TakeTail() {
  if (m_entries.empty()) {
    return IdStringEntry{};
  }
  IdStringEntry entry = std::move(m_entries.back());
  m_entries.pop_back();
  return entry;
}

bool CIdStringList::RemoveById(int nId) {
  const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [nId](const IdStringEntry& e) { return e.nId == nId; });
  if (it == m_entries.end()) {
    return false;
  }
  m_entries.erase(it);
  return true;
}

int CIdStringList::HeadId() const { return m_entries.empty() ? -1 : m_entries.front().nId; }

int CIdStringList::TailId() const { return m_entries.empty() ? -1 : m_entries.back().nId; }

void CIdStringList::RemoveAll() { m_entries.clear(); }
