// Cuts the byte stream of the CTI port into events.
//
// The server ends every event with a line feed, but TCP keeps no write
// boundaries: one read may bring several events, the end of one event and
// the start of the next, or a single byte. The framer collects what the
// reads bring and gives back whole events, line feed included, in order.
//
// Rules, which together keep every byte of text exactly once:
// - a line feed ends an event;
// - a NUL byte is dropped: it is no text, and an event handed on as text
//   could not carry it (some servers end their writes with one);
// - an event that grows to kMaxEvent bytes without a line feed is given
//   back in pieces of kMaxEvent bytes, so a server that never writes a line
//   feed cannot make the client hold more than two reads' worth of bytes;
// - what is left after the last line feed (the tail) waits for the next
//   read; its owner takes it alone (TakeTail) when nothing more comes.
#pragma once

#include <cstddef>
#include <string>

class CCtiEventFramer {
 public:
  // The largest event handed on in one piece: as much as one read brings.
  static constexpr std::size_t kMaxEvent = 4095;

  // Adds the bytes of one read.
  void Append(const char* data, std::size_t length);
  // The next whole event (or full piece) into `event`; false when none is
  // complete yet.
  bool NextEvent(std::string* event);
  // Whether bytes wait for their line feed.
  bool HasTail() const { return buffer_.size() > start_; }
  // Hands out the bytes waiting for their line feed as an event of their own.
  std::string TakeTail();

 private:
  std::string buffer_;
  // Where the next event starts in buffer_, and where the search for its
  // line feed goes on (what lies before was searched already).
  std::size_t start_ = 0;
  std::size_t searched_ = 0;
};
