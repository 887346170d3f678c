// The one sender of profile switches. The end of the session, the exit,
// the user's choice in the active-profile dialog, the return from away and
// the switch to the idle profile all change what the server forwards, and
// their requests must not overtake or answer each other. This part knows
// which request is out and for whom: a higher purpose preempts a lower one
// (which is told so), a lower one waits its turn, nothing but the end of the
// session follows the exit, and every request ends in exactly one outcome.
#pragma once

#include <optional>
#include <string>

#include "net/user_request.h"

// In rising rank.
enum class SwitchPurpose : int {
  kNone = 0,
  kIdle = 1,        // the switch to the idle profile
  kRestore = 2,     // back from away: what was forced before
  kChoice = 3,      // the user's choice in the active-profile dialog
  kExit = 4,        // the end profile at exit
  kSessionEnd = 5,  // the end profile when Windows ends the session
};

enum class SwitchOutcome {
  kOk,         // the server said "+OK"
  kError,      // the server answered with an error
  kTimedOut,   // no answer in time: whether it took effect is unknown
  kNotSent,    // could not be connected or sent
  kPreempted,  // a higher purpose took its place before it was answered
  kRefused,    // not sent: the exit is under way or done
};

const char* SwitchPurposeName(SwitchPurpose purpose);

// How the switch reaches the server: the frame's force request.
class IForceChannel {
 public:
  // Connects and sends `request` (blocking, the message loop keeps running).
  // true when it went out; then exactly one of ForceAnswered / ForceFailed
  // follows, unless DropForce comes first.
  virtual bool SendForce(const UserRequest& request, unsigned connectTimeoutMs) = 0;
  // The request out (or being connected) is void: no answer or timeout of
  // it may arrive any more.
  virtual void DropForce() = 0;

 protected:
  ~IForceChannel() = default;
};

// Who hears the outcome of each request.
class ISwitchClient {
 public:
  virtual void OnSwitchDone(SwitchPurpose purpose, SwitchOutcome outcome, const std::string& answer) = 0;

 protected:
  ~ISwitchClient() = default;
};

class CProfileSwitch {
 public:
  CProfileSwitch(IForceChannel& channel, ISwitchClient& client) : channel_(channel), client_(client) {}
  CProfileSwitch(const CProfileSwitch&) = delete;
  CProfileSwitch& operator=(const CProfileSwitch&) = delete;

  // Asks for `request` to go out for `purpose`. Whatever happens, exactly
  // one outcome follows through the client, possibly before this returns.
  void Request(SwitchPurpose purpose, UserRequest request, unsigned connectTimeoutMs);
  // The request of `purpose` is no longer wanted: one waiting, or one still
  // being connected, ends as preempted; one already sent stays (its answer
  // decides).
  void Withdraw(SwitchPurpose purpose);
  // The dialog sends its choice itself: it holds the switch while its
  // request is out, as a request of kChoice would. false when refused.
  bool Claim(SwitchPurpose purpose);
  void Release(SwitchPurpose purpose);

  // The channel's news of the request out.
  void OnAnswer(bool ok, const std::string& answer);
  void OnFailure(bool timedOut);

  // The exit was given up (the user chose to stay): others may switch again.
  void ReopenAfterExit();

  SwitchPurpose Current() const { return current_.purpose; }
  bool IsOut(SwitchPurpose purpose) const { return current_.purpose == purpose; }
  bool IsWaiting(SwitchPurpose purpose) const { return waiting_ && waiting_->purpose == purpose; }
  // The exit (or the session end) has claimed the switch for good.
  bool Closed() const { return closedBy_ != SwitchPurpose::kNone; }

 private:
  struct Entry {
    SwitchPurpose purpose = SwitchPurpose::kNone;
    UserRequest request;
    unsigned connectTimeoutMs = 0;
    // Sent through the channel (a claim sends nothing itself).
    bool viaChannel = false;
  };
  // Ends the request out with `outcome` and starts the one waiting.
  void Finish(SwitchOutcome outcome, const std::string& answer);
  void Preempt();
  void Start(Entry entry);
  void StartWaiting();
  void Tell(SwitchPurpose purpose, SwitchOutcome outcome, const std::string& answer = std::string());

  IForceChannel& channel_;
  ISwitchClient& client_;
  Entry current_;
  std::optional<Entry> waiting_;
  SwitchPurpose closedBy_ = SwitchPurpose::kNone;
  // Counts starts: a blocking send that returns to find another request in
  // its place leaves it alone.
  unsigned generation_ = 0;
  // The request out is still being connected or sent.
  bool connecting_ = false;
};
