#include "net/cti_event_framer.h"

#include <cstring>

void CCtiEventFramer::Append(const char* data, std::size_t length) {
  // Drop what was handed out before, so the buffer never holds more than
  // the tail and one read.
  if (start_ > 0) {
    buffer_.erase(0, start_);
    searched_ -= start_;
    start_ = 0;
  }
  const char* end = data + length;
  while (data < end) {
    const char* nul = static_cast<const char*>(std::memchr(data, '\0', static_cast<std::size_t>(end - data)));
    const char* stop = nul ? nul : end;
    buffer_.append(data, static_cast<std::size_t>(stop - data));
    data = nul ? nul + 1 : end;
  }
}

bool CCtiEventFramer::NextEvent(std::string* event) {
  const std::size_t waiting = buffer_.size() - start_;
  if (waiting == 0) return false;
  const std::size_t limit = waiting < kMaxEvent ? buffer_.size() : start_ + kMaxEvent;
  std::size_t cut = 0;
  if (const void* lf = std::memchr(buffer_.data() + searched_, '\n', limit - searched_)) {
    cut = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data()) + 1;
  } else if (waiting >= kMaxEvent) {
    cut = start_ + kMaxEvent;
  } else {
    searched_ = buffer_.size();
    return false;
  }
  event->assign(buffer_, start_, cut - start_);
  start_ = searched_ = cut;
  return true;
}

std::string CCtiEventFramer::TakeTail() {
  std::string tail = buffer_.substr(start_);
  buffer_.clear();
  start_ = searched_ = 0;
  return tail;
}
