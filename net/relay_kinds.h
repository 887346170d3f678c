// The relay request kinds, described once: which timer bounds the wait for
// the answer, how the line is framed, and what the user and the debug
// output are told when the relay port cannot be reached or does not answer.
// The object that sends a kind (the frame or a dialog) keeps the pending
// socket and handles the answer; this table is what every sender shares.
#pragma once

// Request kinds: who asked, and so which answer handler and timer apply.
enum RelayKind : int {
  kRelayDialout = 1,
  kRelayRegistration = 2,
  kRelayForce = 3,
  kRelayActiveProfile = 4,
  kRelayProfileList = 5,
  kRelayInformForce = 6,
  kRelayLogin = 7,
  kRelayDevices = 8,
};

struct RelayKindInfo {
  int kind;
  // The sender's window timer that bounds the wait for the answer.
  unsigned timerId;
  // The line goes out with the C string's terminating zero byte.
  bool sendsZero;
  // Written when the relay port cannot be reached; nullptr: nothing.
  const char* connectFailureDebug;
  // Text entry shown then; 0: nothing is shown.
  int connectFailureText;
  // Written when the answer did not come in time; nullptr: nothing.
  const char* timeoutDebug;
  // Text entry shown then; 0: nothing is shown.
  int timeoutText;
};

// The description of `kind`, or nullptr for an unknown kind.
const RelayKindInfo* FindRelayKind(int kind);
